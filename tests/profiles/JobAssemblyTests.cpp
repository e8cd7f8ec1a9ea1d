// Job assembly: the fields written for every profile with its defaults, the dispatch by
// profile id, the known examples, failures half-way, and "Auto" keeping the source's size.
// Expected values are written out by hand, not taken from the code.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "BoxModel.h"
#include "CaptionTranslation.h"
#include "Catalogue.h"
#include "JobAssembly.h"
#include "OptionSets.h"
#include "TaskOptions.h"

namespace mf {
// Readable failures for the record comparisons: the fields job assembly writes.
void PrintTo(const TOutputOptions& o, std::ostream* os) {
  *os << "{VideoCodec \"" << o.VideoCodec << "\", AudioCodec \"" << o.AudioCodec << "\", FrameSize \""
      << o.FrameSize << "\", VideoBitrate " << o.VideoBitrate << ", AudioBitrate " << o.AudioBitrate
      << ", AudioSampleRate " << o.AudioSampleRate << ", AudioChannels " << o.AudioChannels
      << ", DisableVideo " << o.DisableVideo << ", ExtOptions \"" << o.ExtOptions << "\", FileFormat \"" << o.FileFormat
      << "\", MaxRate " << o.MaxRate << ", BufferSize " << o.BufferSize << "}";
}
}  // namespace mf

namespace mf::test {
namespace {

constexpr int Unset = -1;

struct TExpectedJob {
  const char* Caption;
  TAssemblyVariant Variant;
  const char* VideoCodec;
  const char* AudioCodec;
  const char* FrameSize;  // "" = unset
  int VideoBitrate;
  int AudioBitrate;
  int AudioSampleRate;
  int AudioChannels;  // Unset = not written
  bool DisableVideo;

  TOutputOptions Record() const;
};

// What the profile's players need besides the boxes, added by AssembleProfileJob: 4:2:0
// pictures wherever there is video, the index first in ISO files, the PSP's file type, and for
// H.264 the players' profile with the rate limits of the level the picture needs (Apple TV H264:
// 640x480 at 29.97 fps is level 3.0, 10 Mbit/s and a 10 Mbit buffer; PS3: 720x480 likewise).
struct TExpectedPlayerSettings {
  const char* Caption;
  const char* ExtOptions;
  const char* FileFormat;
  int MaxRate, BufferSize;
};

constexpr const char* Pictures = "pix_fmt=yuv420p";
constexpr const char* IsoPictures = "pix_fmt=yuv420p\nmovflags=+faststart";

const TExpectedPlayerSettings ExpectedPlayerSettings[] = {
    {"iPhone (*.mp4)", IsoPictures, "", -1, -1},
    {"iPhone Extra (640 x 480) (*.mp4)", IsoPictures, "", -1, -1},
    {"iPhone Wide Screen (*.mp4)", IsoPictures, "", -1, -1},
    {"iPod (*.mp4)", IsoPictures, "", -1, -1},
    {"iPod Extra (640 x 480) (*.mp4)", IsoPictures, "", -1, -1},
    {"iPod Video For TV (*.mp4)", IsoPictures, "", -1, -1},
    {"iPod Touch (*.mp4)", IsoPictures, "", -1, -1},
    {"iPod Touch Extra (640 x 480) (*.mp4)", IsoPictures, "", -1, -1},
    {"iPod Touch Wide Screen (*.mp4)", IsoPictures, "", -1, -1},
    {"Apple TV (*.mp4)", IsoPictures, "", -1, -1},
    {"Apple TV H264 (640 x 480) (*.mp4)", "pix_fmt=yuv420p\nmovflags=+faststart\nvprofile=77", "", 10000000, 10000000},
    {"M4A - Mpeg4 Audio File (*.m4a)", "movflags=+faststart", "", -1, -1},
    {"MP3 - Mpeg Layer3 Audio (*.mp3)", "", "", -1, -1},
    {"WAV - Waveform Audio (*.wav)", "", "", -1, -1},
    {"WMA - Windows Media Audio (*.wma)", "", "", -1, -1},
    {"3GP - Mobile Video Format (*.3gp)", IsoPictures, "", -1, -1},
    {"3G2 - Mobile Video Format (*.3g2)", IsoPictures, "", -1, -1},
    {"AVI - Audio Video Interleave (*.avi)", Pictures, "", -1, -1},
    {"AVI - DivX Video (*.avi)", Pictures, "", -1, -1},
    {"AVI - XviD Video (*.avi)", Pictures, "", -1, -1},
    {"MOV - QuickTime Video (*.mov)", IsoPictures, "", -1, -1},
    {"MP4 - MPEG4 Video (*.mp4)", IsoPictures, "", -1, -1},
    {"MPEG-1 Movie (*.mpg)", Pictures, "", -1, -1},
    {"MPEG-2 Movie (*.mpg)", Pictures, "", -1, -1},
    {"WMV - Windows Media Video (*.wmv)", Pictures, "", -1, -1},
    {"Archos AV500/GMini402 (*.avi)", Pictures, "", -1, -1},
    {"Archos AV700 (*.avi)", Pictures, "", -1, -1},
    {"BlackBerry MPEG-4 Video (*.mp4)", IsoPictures, "", -1, -1},
    {"BlackBerry AVI Video (*.avi)", Pictures, "", -1, -1},
    {"BlackBerry 3GP Video (*.3gp)", IsoPictures, "", -1, -1},
    {"Creative Zen Vision (*.avi)", Pictures, "", -1, -1},
    {"iRiver PMP100 (*.avi)", Pictures, "", -1, -1},
    {"PSP Video (*.mp4)", IsoPictures, "psp", -1, -1},
    {"PS3 Video (*.mp4)", "pix_fmt=yuv420p\nmovflags=+faststart\nvprofile=77", "", 10000000, 10000000},
};

TOutputOptions TExpectedJob::Record() const {
  TOutputOptions record;
  record.VideoCodec = VideoCodec;
  record.AudioCodec = AudioCodec;
  record.FrameSize = FrameSize;
  record.VideoBitrate = VideoBitrate;
  record.AudioBitrate = AudioBitrate;
  record.AudioSampleRate = AudioSampleRate;
  record.AudioChannels = AudioChannels;
  record.DisableVideo = DisableVideo;
  for (const TExpectedPlayerSettings& player : ExpectedPlayerSettings) {
    if (std::string_view(player.Caption) != Caption) continue;
    record.ExtOptions = player.ExtOptions;
    record.FileFormat = player.FileFormat;
    record.MaxRate = player.MaxRate;
    record.BufferSize = player.BufferSize;
  }
  return record;
}

using enum TAssemblyVariant;

// Every profile with the defaults its option set selects, the channel box at "Stereo".
const TExpectedJob ExpectedJobs[] = {
    {"iPhone (*.mp4)", Generic, "mpeg4", "libfaac", "480x320", 1200000, 80000, 44100, 2, false},
    {"iPhone Extra (640 x 480) (*.mp4)", Generic, "mpeg4", "libfaac", "640x480", 1500000, 128000, 44100, 2, false},
    {"iPhone Wide Screen (*.mp4)", Generic, "mpeg4", "libfaac", "720x480", 1500000, 128000, 44100, 2, false},
    {"iPod (*.mp4)", Aac, "mpeg4", "libfaac", "320x240", 512000, 64000, 44100, Unset, false},
    {"iPod Extra (640 x 480) (*.mp4)", Aac, "mpeg4", "libfaac", "640x480", 1500000, 64000, 44100, Unset, false},
    {"iPod Video For TV (*.mp4)", Aac, "mpeg4", "libfaac", "640x480", 1500000, 64000, 44100, Unset, false},
    {"iPod Touch (*.mp4)", Aac, "mpeg4", "libfaac", "480x320", 1200000, 80000, 44100, Unset, false},
    {"iPod Touch Extra (640 x 480) (*.mp4)", Aac, "mpeg4", "libfaac", "640x480", 1500000, 80000, 44100, Unset, false},
    {"iPod Touch Wide Screen (*.mp4)", Aac, "mpeg4", "libfaac", "720x406", 1500000, 128000, 44100, Unset, false},
    {"Apple TV (*.mp4)", Aac, "mpeg4", "libfaac", "640x480", 1500000, 128000, 44100, Unset, false},
    {"Apple TV H264 (640 x 480) (*.mp4)", Aac, "libx264", "libfaac", "640x480", 2000000, 64000, 48000, Unset, false},
    {"M4A - Mpeg4 Audio File (*.m4a)", Generic, "", "libfaac", "", 0, 128000, 48000, 2, true},
    {"MP3 - Mpeg Layer3 Audio (*.mp3)", Generic, "", "libmp3lame", "", 0, 192000, 48000, 2, true},
    {"WAV - Waveform Audio (*.wav)", Generic, "", "pcm_s16le", "", 0, 128000, 44100, 2, true},
    {"WMA - Windows Media Audio (*.wma)", Generic, "", "wmav2", "", 0, 128000, 48000, 2, true},
    {"3GP - Mobile Video Format (*.3gp)", Amr, "mpeg4", "libamr_nb", "176x144", 128000, 7400, 8000, 1, false},
    {"3G2 - Mobile Video Format (*.3g2)", Amr, "mpeg4", "libamr_nb", "176x144", 128000, 7400, 8000, 1, false},
    {"AVI - Audio Video Interleave (*.avi)", Generic, "mpeg4", "pcm_s16le", "", 1200000, 128000, 48000, 2, false},
    {"AVI - DivX Video (*.avi)", Generic, "mpeg4", "libmp3lame", "", 1200000, 128000, 48000, 2, false},
    {"AVI - XviD Video (*.avi)", Generic, "libxvid", "libmp3lame", "", 1200000, 128000, 48000, 2, false},
    {"MOV - QuickTime Video (*.mov)", Generic, "mpeg4", "libfaac", "", 1200000, 128000, 44100, 2, false},
    {"MP4 - MPEG4 Video (*.mp4)", Generic, "mpeg4", "libfaac", "", 1200000, 128000, 44100, 2, false},
    {"MPEG-1 Movie (*.mpg)", Generic, "mpeg1video", "mp2", "320x240", 1600000, 192000, 44100, 2, false},
    {"MPEG-2 Movie (*.mpg)", Generic, "mpeg2video", "mp2", "320x240", 2000000, 192000, 44100, 2, false},
    {"WMV - Windows Media Video (*.wmv)", Generic, "wmv2", "wmav2", "320x240", 1200000, 128000, 48000, 2, false},
    {"Archos AV500/GMini402 (*.avi)", Generic, "mpeg4", "libmp3lame", "480x272", 1200000, 128000, 48000, 2, false},
    {"Archos AV700 (*.avi)", Generic, "mpeg4", "libmp3lame", "720x480", 2000000, 128000, 48000, 2, false},
    {"BlackBerry MPEG-4 Video (*.mp4)", Generic, "mpeg4", "libfaac", "320x240", 300000, 80000, 44100, 2, false},
    {"BlackBerry AVI Video (*.avi)", Generic, "h263", "libmp3lame", "176x144", 300000, 80000, 44100, 2, false},
    {"BlackBerry 3GP Video (*.3gp)", Generic, "mpeg4", "libamr_nb", "176x144", 120000, 4750, 8000, 1, false},
    {"Creative Zen Vision (*.avi)", Generic, "mpeg4", "libmp3lame", "640x480", 1200000, 128000, 48000, 2, false},
    {"iRiver PMP100 (*.avi)", Generic, "mpeg4", "libmp3lame", "640x480", 1200000, 128000, 48000, 2, false},
    {"PSP Video (*.mp4)", Generic, "mpeg4", "libfaac", "368x208", 768000, 64000, 24000, 2, false},
    {"PS3 Video (*.mp4)", Generic, "libx264", "libfaac", "720x480", 1200000, 96000, 44100, 2, false},
};

// A model with the profile's option set applied, the channel box first at "Stereo".
TBoxModel ModelFor(const char* caption) {
  TBoxModel model;
  FillComboOutputFormat(model);
  model.ChooseFormat(caption);
  model.Boxes[TOptionBox::AudioChannels].Selected = 0;
  EXPECT_NE(ApplyProfileControls(model), nullptr) << caption;
  return model;
}

TOutputOptions Assemble(const TBoxModel& model) {
  TOutputOptions job;
  job.Reset();
  AssembleProfileJob(model, job);
  return job;
}

TEST(ProfilesAssembly, EveryProfileWithItsDefaults) {
  ASSERT_EQ(std::size(ExpectedJobs), 34u);
  ASSERT_EQ(std::size(ExpectedPlayerSettings), 34u);
  for (const TExpectedJob& expected : ExpectedJobs) {
    TBoxModel model = ModelFor(expected.Caption);
    TOutputOptions job;
    const TheAVCodec* entry = AssembleProfileJob(model, job);
    ASSERT_NE(entry, nullptr) << expected.Caption;
    EXPECT_EQ(entry->Caption, expected.Caption);
    // Every other field keeps its default.
    EXPECT_EQ(job, expected.Record()) << expected.Caption;
  }
}

TEST(ProfilesAssembly, DispatchByProfileId) {
  for (const TExpectedJob& expected : ExpectedJobs) {
    const TheAVCodec* entry = FindProfileByCaption(expected.Caption);
    ASSERT_NE(entry, nullptr) << expected.Caption;
    TAssemblyVariant variant{};
    ASSERT_TRUE(AssemblyVariantOf(entry->ProfileId, variant)) << expected.Caption;
    EXPECT_EQ(variant, expected.Variant) << expected.Caption;
  }
  TAssemblyVariant variant{};
  EXPECT_FALSE(AssemblyVariantOf(2, variant));
  EXPECT_FALSE(AssemblyVariantOf(-1, variant));
}

TEST(ProfilesAssembly, IPhoneWorkedExampleAndH264) {
  TBoxModel model = ModelFor("iPhone (*.mp4)");
  TOutputOptions job = Assemble(model);
  EXPECT_EQ(job.VideoCodec, "mpeg4");
  EXPECT_EQ(job.AudioCodec, "libfaac");
  EXPECT_EQ(job.FrameSize, "480x320");
  EXPECT_EQ(job.AudioChannels, 2);
  EXPECT_EQ(job.VideoBitrate, 1200000);
  EXPECT_EQ(job.AudioBitrate, 80000);
  EXPECT_EQ(job.AudioSampleRate, 44100);
  EXPECT_FALSE(job.DisableVideo);
  model.Choose(TOptionBox::VideoCodec, "H264");
  EXPECT_EQ(Assemble(model).VideoCodec, "libx264");
  model.Choose(TOptionBox::AudioChannels, "Mono");
  EXPECT_EQ(Assemble(model).AudioChannels, 1);
}

TEST(ProfilesAssembly, Mp3WithItsDefaults) {
  TOutputOptions job = Assemble(ModelFor("MP3 - Mpeg Layer3 Audio (*.mp3)"));
  EXPECT_EQ(job.VideoCodec, "");
  EXPECT_EQ(job.FrameSize, "");
  EXPECT_EQ(job.VideoBitrate, 0);
  EXPECT_TRUE(job.DisableVideo);
  EXPECT_EQ(job.AudioCodec, "libmp3lame");
  EXPECT_EQ(job.AudioBitrate, 192000);
  EXPECT_EQ(job.AudioSampleRate, 48000);
}

TEST(ProfilesAssembly, BlackBerry3gpIsGenericAndMonoBecauseOfItsExtension) {
  TBoxModel model = ModelFor("BlackBerry 3GP Video (*.3gp)");
  ASSERT_EQ(model.BoxText(TOptionBox::AudioChannels), "Stereo");
  TOutputOptions job = Assemble(model);
  EXPECT_EQ(job.AudioCodec, "libamr_nb");
  EXPECT_EQ(job.AudioBitrate, 4750);
  EXPECT_EQ(job.AudioSampleRate, 8000);
  EXPECT_EQ(job.AudioChannels, 1);
  // Generic: the audio codec box is read (the AMR variant would ignore it).
  model.Choose(TOptionBox::AudioCodec, "mpeg4aac");
  EXPECT_EQ(Assemble(model).AudioCodec, "libfaac");
}

TEST(ProfilesAssembly, ThreeGpUsesTheAmrVariantWhateverTheAudioCodecBox) {
  TBoxModel model = ModelFor("3GP - Mobile Video Format (*.3gp)");
  model.Choose(TOptionBox::AudioCodec, "mpeg4aac");
  model.Choose(TOptionBox::AudioChannels, "Stereo");
  TOutputOptions job = Assemble(model);
  EXPECT_EQ(job.AudioCodec, "libamr_nb");
  EXPECT_EQ(job.AudioBitrate, 7400);
  EXPECT_EQ(job.AudioSampleRate, 8000);
  EXPECT_EQ(job.AudioChannels, 1);
  model.Choose(TOptionBox::AudioBitrate, "12200 bps");
  model.Choose(TOptionBox::SamplingRate, "16000 bps");
  job = Assemble(model);
  EXPECT_EQ(job.AudioBitrate, 12200);
  // AMR-NB is narrow band whatever the box offers: the encoder takes 8 kHz only.
  EXPECT_EQ(job.AudioSampleRate, 8000);
}

TEST(ProfilesAssembly, IPodVideoForTvAssemblesLikeIPodExtra) {
  TOutputOptions forTv = Assemble(ModelFor("iPod Video For TV (*.mp4)"));
  TOutputOptions extra = Assemble(ModelFor("iPod Extra (640 x 480) (*.mp4)"));
  EXPECT_EQ(forTv, extra);
  EXPECT_EQ(forTv.FrameSize, "640x480");
  EXPECT_EQ(forTv.VideoBitrate, 1500000);
  EXPECT_EQ(forTv.AudioBitrate, 64000);
  EXPECT_EQ(forTv.AudioSampleRate, 44100);
  EXPECT_EQ(forTv.AudioCodec, "libfaac");
  EXPECT_EQ(forTv.AudioChannels, -1);
}

TEST(ProfilesAssembly, AacVariantIgnoresTheAudioCodecAndChannelBoxes) {
  TBoxModel model = ModelFor("Apple TV (*.mp4)");
  model.Force(TOptionBox::AudioCodec, "mp3");
  model.Choose(TOptionBox::AudioChannels, "Mono");
  TOutputOptions job = Assemble(model);
  EXPECT_EQ(job.AudioCodec, "libfaac");
  EXPECT_EQ(job.AudioChannels, -1);
  // The kilo rule whatever the unit text.
  model.Force(TOptionBox::AudioBitrate, "96 bps");
  EXPECT_EQ(Assemble(model).AudioBitrate, 96000);
}

TEST(ProfilesAssembly, AviWithItsDefaults) {
  TOutputOptions job = Assemble(ModelFor("AVI - Audio Video Interleave (*.avi)"));
  EXPECT_EQ(job.AudioCodec, "pcm_s16le");
  EXPECT_EQ(job.VideoBitrate, 1200000);
  EXPECT_EQ(job.AudioBitrate, 128000);
  EXPECT_EQ(job.AudioSampleRate, 48000);
  EXPECT_EQ(job.FrameSize, "");
}

TEST(ProfilesAssembly, Mpeg1WithItsDefaults) {
  TOutputOptions job = Assemble(ModelFor("MPEG-1 Movie (*.mpg)"));
  EXPECT_EQ(job.VideoCodec, "mpeg1video");
  EXPECT_EQ(job.AudioCodec, "mp2");
  EXPECT_EQ(job.FrameSize, "320x240");
  EXPECT_EQ(job.VideoBitrate, 1600000);
  EXPECT_EQ(job.AudioBitrate, 192000);
  EXPECT_EQ(job.AudioSampleRate, 44100);
}

TEST(ProfilesAssembly, GenericSizeCaptions) {
  TBoxModel model = ModelFor("MP4 - MPEG4 Video (*.mp4)");
  model.Choose(TOptionBox::VideoSize, "704 x 576 (4CIF)");
  EXPECT_EQ(Assemble(model).FrameSize, "704x576");
  model.Choose(TOptionBox::VideoSize, "Original Video Size");
  EXPECT_EQ(Assemble(model).FrameSize, "");
}

// "Auto" keeps the source's size, as "Original Video Size" does: as a frame size the engine
// would reject it, and the file would fail.
TEST(ProfilesAssembly, AutoSizeKeepsTheSourceSizeInEverySetThatOffersIt) {
  for (const char* caption : {"Archos AV500/GMini402 (*.avi)", "Archos AV700 (*.avi)",
                              "Creative Zen Vision (*.avi)", "iRiver PMP100 (*.avi)"}) {
    TBoxModel model = ModelFor(caption);
    model.Choose(TOptionBox::VideoSize, "Auto");
    TOutputOptions job = Assemble(model);
    EXPECT_EQ(job.FrameSize, "") << caption;
    EXPECT_EQ(job.VideoCodec, "mpeg4") << caption;
  }
}

TEST(ProfilesAssembly, AutoAndOriginalSizeKeepTheSourceSizeInEveryVariant) {
  for (const char* size : {"Auto", "Original Video Size"}) {
    TBoxModel aac = ModelFor("iPod (*.mp4)");
    aac.Force(TOptionBox::VideoSize, size);
    EXPECT_EQ(Assemble(aac).FrameSize, "") << size;
    TBoxModel amr = ModelFor("3GP - Mobile Video Format (*.3gp)");
    amr.Force(TOptionBox::VideoSize, size);
    EXPECT_EQ(Assemble(amr).FrameSize, "") << size;
    TBoxModel generic = ModelFor("PS3 Video (*.mp4)");
    generic.Force(TOptionBox::VideoSize, size);
    EXPECT_EQ(Assemble(generic).FrameSize, "") << size;
  }
  EXPECT_TRUE(SizeCaptionKeepsSourceSize("Auto"));
  EXPECT_TRUE(SizeCaptionKeepsSourceSize("Original Video Size"));
  EXPECT_FALSE(SizeCaptionKeepsSourceSize("auto"));
  EXPECT_FALSE(SizeCaptionKeepsSourceSize("640 x 480"));
}

TEST(ProfilesAssembly, AnEmptySampleRateFailsAfterTheEarlierFieldsAreWritten) {
  TBoxModel model = ModelFor("MPEG-1 Movie (*.mpg)");
  model.ClearBox(TOptionBox::SamplingRate);
  TOutputOptions job;
  EXPECT_THROW(AssembleProfileJob(model, job), EConvertError);
  EXPECT_EQ(job.VideoCodec, "mpeg1video");
  EXPECT_EQ(job.AudioCodec, "mp2");
  EXPECT_EQ(job.FrameSize, "320x240");
  EXPECT_EQ(job.AudioChannels, 2);
  EXPECT_EQ(job.VideoBitrate, 1600000);
  EXPECT_EQ(job.AudioBitrate, 192000);
  EXPECT_EQ(job.AudioSampleRate, -1);
}

TEST(ProfilesAssembly, ABadAudioBitRateFailsAfterTheVideoBitRateIsWritten) {
  TBoxModel model = ModelFor("WAV - Waveform Audio (*.wav)");
  model.Force(TOptionBox::AudioBitrate, "x Kbps");
  TOutputOptions job;
  EXPECT_THROW(AssembleProfileJob(model, job), EConvertError);
  EXPECT_EQ(job.AudioCodec, "pcm_s16le");
  EXPECT_TRUE(job.DisableVideo);
  EXPECT_EQ(job.VideoBitrate, 0);
  EXPECT_EQ(job.AudioBitrate, -1);
  EXPECT_EQ(job.AudioSampleRate, -1);
}

TEST(ProfilesAssembly, AnAmrFailureLeavesTheChannelsUnwritten) {
  TBoxModel model = ModelFor("3G2 - Mobile Video Format (*.3g2)");
  model.ClearBox(TOptionBox::AudioBitrate);
  TOutputOptions job;
  EXPECT_THROW(AssembleProfileJob(model, job), EConvertError);
  EXPECT_EQ(job.AudioCodec, "libamr_nb");
  EXPECT_EQ(job.FrameSize, "176x144");
  EXPECT_EQ(job.VideoBitrate, 128000);
  EXPECT_EQ(job.AudioBitrate, -1);
  EXPECT_EQ(job.AudioChannels, -1);
}

TEST(ProfilesAssembly, AnAacFailureLeavesTheEarlierFieldsWritten) {
  TBoxModel model = ModelFor("iPod Touch (*.mp4)");
  model.Force(TOptionBox::VideoBitrate, "fast Kbps");
  TOutputOptions job;
  EXPECT_THROW(AssembleProfileJob(model, job), EConvertError);
  EXPECT_EQ(job.VideoCodec, "mpeg4");
  EXPECT_EQ(job.AudioCodec, "libfaac");
  EXPECT_EQ(job.FrameSize, "480x320");
  EXPECT_EQ(job.VideoBitrate, -1);
}

TEST(ProfilesAssembly, NoMatchingCaptionWritesNothing) {
  TBoxModel model = ModelFor("MPEG-1 Movie (*.mpg)");
  model.Boxes[TOptionBox::OutputFormat].Selected = 19;  // a separator row
  TOutputOptions job;
  EXPECT_EQ(AssembleProfileJob(model, job), nullptr);
  EXPECT_EQ(job, TOutputOptions{});
}

TEST(ProfilesAssembly, OnlyTheExtensionDecidesMonoAndAudioOnly) {
  TBoxModel model = ModelFor("MP4 - MPEG4 Video (*.mp4)");
  TOutputOptions job;
  model.Extension = "3G2";
  AssembleGenericJob(model, job);
  EXPECT_EQ(job.AudioChannels, 1);
  EXPECT_FALSE(job.DisableVideo);
  job.Reset();
  model.Extension = "3gp";  // exact case only
  AssembleGenericJob(model, job);
  EXPECT_EQ(job.AudioChannels, 2);
  job.Reset();
  model.Extension = "Wma";  // any case
  AssembleGenericJob(model, job);
  EXPECT_TRUE(job.DisableVideo);
}

}  // namespace
}  // namespace mf::test
