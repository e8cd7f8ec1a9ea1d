// The option set of every profile, and the profile switches that have gone wrong before. The
// expected lists and selections are written out by hand, not taken from the code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BoxModel.h"
#include "Catalogue.h"
#include "OptionSets.h"

namespace mf::test {
namespace {

using L = std::vector<std::string>;

// ---- The shared caption lists ----
const L VB_A = {"512 Kbps", "800 Kbps", "1200 Kbps", "1500 Kbps", "2500 Kbps"};
const L VB_B = {"512 Kbps", "800 Kbps", "1200 Kbps", "1500 Kbps", "2000 Kbps", "2500 Kbps", "4000 Kbps", "7000 Kbps"};
const L VB_C = {"192 Kbps", "200 Kbps", "216 Kbps", "384 Kbps", "512 Kbps", "640 Kbps", "768 Kbps",
                "1000 Kbps", "1200 Kbps", "1500 Kbps", "1600 Kbps", "2000 Kbps", "2500 Kbps"};
const L VB_D = {"192 Kbps", "200 Kbps", "216 Kbps", "384 Kbps", "512 Kbps", "640 Kbps", "768 Kbps",
                "1000 Kbps", "1200 Kbps", "1500 Kbps", "2500 Kbps"};
const L VB_E = {"1000 Kbps", "1200 Kbps", "1500 Kbps", "2000 Kbps", "2500 Kbps"};
const L VB_F = {"1200 Kbps", "1500 Kbps", "2000 Kbps", "2500 Kbps", "3000 Kbps"};
const L VB_G = {"48 Kbps", "64 Kbps", "96 Kbps", "128 Kbps", "256 Kbps", "512 Kbps"};
const L VB_H = {"80 Kbps", "120 Kbps", "200 Kbps", "256 Kbps", "300 Kbps", "512 Kbps"};
const L VB_I = {"48 Kbps", "64 Kbps", "96 Kbps", "120 Kbps", "128 Kbps", "256 Kbps", "512 Kbps"};
const L AB_A = {"32 Kbps", "40 Kbps", "48 Kbps", "64 Kbps", "80 Kbps", "96 Kbps", "112 Kbps",
                "128 Kbps", "160 Kbps", "192 Kbps", "224 Kbps", "256 Kbps", "320 Kbps"};
const L AB_B = {"32 Kbps", "48 Kbps", "64 Kbps", "96 Kbps", "128 Kbps", "160 Kbps"};
const L AB_C = {"40 Kbps", "48 Kbps", "64 Kbps", "80 Kbps", "96 Kbps", "112 Kbps"};
const L AB_D = {"4750 bps", "5150 bps", "5900 bps", "6700 bps", "7400 bps", "7950 bps", "10200 bps", "12200 bps"};
const L SR_A = {"8000 Hz", "16000 Hz", "22050 Hz", "32000 Hz", "44100 Hz", "48000 Hz", "54000 Hz", "96000 Hz"};
const L SR_B = {"8000  Hz", "16000 Hz", "22050 Hz", "32000 Hz", "44100 Hz", "48000 Hz", "54000 Hz", "96000 Hz"};
const L SR_C = {"8000  bps", "16000 bps"};
const L SR_D = {"8000  Hz", "16000 Hz"};
const L FR_A = {"Auto", "14.985 fps", "15.0 fps", "23.975 fps", "25.0 fps", "29.97 fps", "30.0 fps"};
const L FR_B = {"Auto", "11 fps", "14.985 fps", "15 fps"};
const L FR_C = {"11 fps", "15 fps", "20 fps", "24 fps", "25 fps"};
const L FR_D = {"Auto", "11 fps", "15 fps", "20 fps", "24 fps", "25 fps"};
const L SZ_A = {"Original Video Size", "128 x 96 (SQCIF)", "160 x 120 (QVGA)", "176 x 120", "176 x 144 (QCIF)",
                "192 x 144", "208 x 176", "220 x 176", "240 x 180", "320 x 200", "320 x 240 (VGA)", "352 x 240",
                "352 x 288 (CIF)", "480 x 272", "480 x 360", "480 x 480", "480 x 576", "624 x 352", "640 x 352",
                "640 x 480", "704 x 576 (4CIF)", "720 x 480", "720 x 576"};
const L SZ_B = {"128 x 96 (SQCIF)", "160 x 120 (QVGA)", "176 x 144 (QCIF)", "208 x 176", "220 x 176",
                "320 x 240 (VGA)", "352 x 288 (CIF)"};
const L SZ_C = {"Auto", "160 x 120", "320 x 240", "480 x 272", "720 x 480", "640 x 480"};
const L SZ_D = {"176 x 144", "240 x 180", "320 x 240"};

// One box after the option set: its items and its text.
struct TBox {
  L Items;
  std::string Text;
};
TBox Box(L items, std::string text) { return {std::move(items), std::move(text)}; }
TBox One(std::string caption) { return {{caption}, caption}; }
const TBox Empty{{}, ""};

enum TSelect { Kept, Stereo, Mono, Original };

struct TExpectedSet {
  const char* Caption;
  const char* Extension;
  TBox VideoCodec, VideoSize, VideoBitrate, VideoFramerate, AudioCodec, AudioBitrate, SamplingRate;
  TSelect Channels, Aspect;
};

// One row per catalogue profile.
const std::vector<TExpectedSet>& ExpectedSets() {
  static const TBox IPodCodecs = Box({"MPEG4", "H264"}, "MPEG4");
  static const TBox Aac = One("mpeg4aac");
  static const std::vector<TExpectedSet> sets = {
      {"iPhone (*.mp4)", "MP4", IPodCodecs, One("480 x 320"), Box(VB_A, "1200 Kbps"), Box(FR_A, "Auto"),
       Aac, Box(AB_A, "80 Kbps"), Box(SR_A, "44100 Hz"), Stereo, Original},
      {"iPhone Extra (640 x 480) (*.mp4)", "MP4", IPodCodecs, One("640 x 480"), Box(VB_A, "1500 Kbps"),
       Box(FR_A, "Auto"), Aac, Box(AB_A, "128 Kbps"), Box(SR_A, "44100 Hz"), Stereo, Original},
      {"iPhone Wide Screen (*.mp4)", "MP4", IPodCodecs, One("720 x 480"), Box(VB_A, "1500 Kbps"),
       Box(FR_A, "Auto"), Aac, Box(AB_A, "128 Kbps"), Box(SR_A, "44100 Hz"), Stereo, Original},
      {"iPod (*.mp4)", "MP4", IPodCodecs, One("320 x 240"), Box(VB_A, "512 Kbps"), Box(FR_A, "Auto"),
       Aac, Box(AB_A, "64 Kbps"), Box(SR_A, "44100 Hz"), Kept, Kept},
      {"iPod Extra (640 x 480) (*.mp4)", "MP4", IPodCodecs, One("640 x 480"), Box(VB_A, "1500 Kbps"),
       Box(FR_A, "Auto"), Aac, Box(AB_A, "64 Kbps"), Box(SR_A, "44100 Hz"), Kept, Kept},
      {"iPod Video For TV (*.mp4)", "MP4", IPodCodecs, One("640 x 480"), Box(VB_A, "1500 Kbps"),
       Box(FR_A, "Auto"), Aac, Box(AB_A, "64 Kbps"), Box(SR_A, "44100 Hz"), Kept, Kept},
      {"iPod Touch (*.mp4)", "MP4", IPodCodecs, One("480 x 320"), Box(VB_A, "1200 Kbps"), Box(FR_A, "Auto"),
       Aac, Box(AB_A, "80 Kbps"), Box(SR_A, "44100 Hz"), Kept, Kept},
      {"iPod Touch Extra (640 x 480) (*.mp4)", "MP4", IPodCodecs, One("640 x 480"), Box(VB_A, "1500 Kbps"),
       Box(FR_A, "Auto"), Aac, Box(AB_A, "80 Kbps"), Box(SR_A, "44100 Hz"), Kept, Kept},
      {"iPod Touch Wide Screen (*.mp4)", "MP4", IPodCodecs, One("720 x 406"), Box(VB_A, "1500 Kbps"),
       Box(FR_A, "Auto"), Aac, Box(AB_A, "128 Kbps"), Box(SR_A, "44100 Hz"), Stereo, Original},
      {"Apple TV (*.mp4)", "MP4", One("MPEG4"), One("640 x 480"), Box(VB_A, "1500 Kbps"), Box(FR_A, "Auto"),
       Aac, Box(AB_A, "128 Kbps"), Box(SR_A, "44100 Hz"), Stereo, Original},
      {"Apple TV H264 (640 x 480) (*.mp4)", "MP4", One("H264"), One("640 x 480"), Box(VB_B, "2000 Kbps"),
       Box(FR_A, "29.97 fps"), Aac, Box(AB_A, "64 Kbps"), Box(SR_A, "48000 Hz"), Stereo, Original},
      {"M4A - Mpeg4 Audio File (*.m4a)", "M4A", Empty, Empty, Empty, Empty, Aac, Box(AB_A, "128 Kbps"),
       Box(SR_A, "48000 Hz"), Stereo, Original},
      {"MP3 - Mpeg Layer3 Audio (*.mp3)", "MP3", Empty, Empty, Empty, Empty, One("mp3"), Box(AB_A, "192 Kbps"),
       Box(SR_A, "48000 Hz"), Stereo, Original},
      {"WAV - Waveform Audio (*.wav)", "WAV", Empty, Empty, Empty, Empty, One("pcm_s16le"),
       Box(AB_A, "128 Kbps"), Box(SR_B, "44100 Hz"), Stereo, Original},
      {"WMA - Windows Media Audio (*.wma)", "WMA", Empty, Empty, Empty, Empty, One("wmav2"),
       Box(AB_A, "128 Kbps"), Box(SR_B, "48000 Hz"), Stereo, Original},
      {"3GP - Mobile Video Format (*.3gp)", "3GP", Box({"MPEG4", "H263", "H264"}, "MPEG4"),
       Box(SZ_B, "176 x 144 (QCIF)"), Box(VB_G, "128 Kbps"), Box(FR_B, "Auto"),
       Box({"amr_nb", "mpeg4aac"}, "amr_nb"), Box(AB_D, "7400 bps"), Box(SR_C, "8000  bps"), Mono, Kept},
      {"3G2 - Mobile Video Format (*.3g2)", "3G2", Box({"MPEG4", "H263", "H264"}, "MPEG4"),
       Box(SZ_B, "176 x 144 (QCIF)"), Box(VB_G, "128 Kbps"), Box(FR_B, "Auto"),
       Box({"amr_nb", "mpeg4aac"}, "amr_nb"), Box(AB_D, "7400 bps"), Box(SR_C, "8000  bps"), Mono, Kept},
      {"AVI - Audio Video Interleave (*.avi)", "AVI", Box({"MPEG4", "H264"}, "MPEG4"),
       Box(SZ_A, "Original Video Size"), Box(VB_D, "1200 Kbps"), Box(FR_A, "Auto"),
       Box({"pcm_s16le", "mp3", "mp2", "ac3"}, "pcm_s16le"), Box(AB_A, "128 Kbps"), Box(SR_A, "48000 Hz"),
       Stereo, Original},
      {"AVI - DivX Video (*.avi)", "AVI", One("MPEG4"), Box(SZ_A, "Original Video Size"),
       Box(VB_D, "1200 Kbps"), Box(FR_A, "Auto"), One("mp3"), Box(AB_A, "128 Kbps"), Box(SR_A, "48000 Hz"),
       Stereo, Original},
      {"AVI - XviD Video (*.avi)", "AVI", One("XVID"), Box(SZ_A, "Original Video Size"),
       Box(VB_D, "1200 Kbps"), Box(FR_A, "Auto"), One("mp3"), Box(AB_A, "128 Kbps"), Box(SR_A, "48000 Hz"),
       Stereo, Original},
      {"MOV - QuickTime Video (*.mov)", "MOV", One("MPEG4"), Box(SZ_A, "Original Video Size"),
       Box(VB_C, "1200 Kbps"), Box(FR_A, "Auto"), Aac, Box(AB_A, "128 Kbps"), Box(SR_A, "44100 Hz"), Stereo,
       Original},
      {"MP4 - MPEG4 Video (*.mp4)", "MP4", Box({"MPEG4", "H264", "XVid"}, "MPEG4"),
       Box(SZ_A, "Original Video Size"), Box(VB_C, "1200 Kbps"), Box(FR_A, "Auto"), Aac,
       Box(AB_A, "128 Kbps"), Box(SR_A, "44100 Hz"), Stereo, Original},
      {"MPEG-1 Movie (*.mpg)", "MPG", One("MPEG1VIDEO"), Box(SZ_A, "320 x 240 (VGA)"), Box(VB_C, "1600 Kbps"),
       Box(FR_A, "25.0 fps"), One("mp2"), Box(AB_A, "192 Kbps"), Box(SR_A, "44100 Hz"), Stereo, Original},
      {"MPEG-2 Movie (*.mpg)", "MPG", One("MPEG2VIDEO"), Box(SZ_A, "320 x 240 (VGA)"), Box(VB_C, "2000 Kbps"),
       Box(FR_A, "25.0 fps"), Box({"mp2", "ac3"}, "mp2"), Box(AB_A, "192 Kbps"), Box(SR_A, "44100 Hz"),
       Stereo, Original},
      {"WMV - Windows Media Video (*.wmv)", "WMV", One("WMV2"), Box(SZ_A, "320 x 240 (VGA)"),
       Box(VB_C, "1200 Kbps"), Box(FR_A, "Auto"), One("wmav2"), Box(AB_A, "128 Kbps"), Box(SR_A, "48000 Hz"),
       Stereo, Original},
      {"Archos AV500/GMini402 (*.avi)", "AVI", One("MPEG4"), Box(SZ_C, "480 x 272"), Box(VB_C, "1200 Kbps"),
       Box(FR_A, "Auto"), Box({"mp3", "mp2"}, "mp3"), Box(AB_A, "128 Kbps"), Box(SR_A, "48000 Hz"), Kept,
       Kept},
      {"Archos AV700 (*.avi)", "AVI", One("MPEG4"), Box(SZ_C, "720 x 480"), Box(VB_E, "2000 Kbps"),
       Box(FR_A, "Auto"), Box({"mp3", "mp2"}, "mp3"), Box(AB_A, "128 Kbps"), Box(SR_A, "48000 Hz"), Kept,
       Kept},
      {"BlackBerry MPEG-4 Video (*.mp4)", "MP4", One("MPEG4"), Box(SZ_D, "320 x 240"), Box(VB_H, "300 Kbps"),
       Box(FR_C, "24 fps"), Aac, Box(AB_C, "80 Kbps"), Box(SR_A, "44100 Hz"), Kept, Kept},
      {"BlackBerry AVI Video (*.avi)", "AVI", One("H263"), One("176 x 144"), Box(VB_H, "300 Kbps"),
       Box(FR_C, "24 fps"), Box({"mp3", "pcm_s16le"}, "mp3"), Box(AB_C, "80 Kbps"), Box(SR_A, "44100 Hz"),
       Kept, Kept},
      {"BlackBerry 3GP Video (*.3gp)", "3GP", Box({"MPEG4", "H263"}, "MPEG4"), Box(SZ_D, "176 x 144"),
       Box(VB_I, "120 Kbps"), Box(FR_D, "15 fps"), Box({"amr_nb", "mpeg4aac"}, "amr_nb"),
       Box(AB_D, "4750 bps"), Box(SR_D, "8000  Hz"), Kept, Kept},
      {"Creative Zen Vision (*.avi)", "AVI", One("MPEG4"), Box(SZ_C, "640 x 480"), Box(VB_C, "1200 Kbps"),
       Box(FR_A, "Auto"), Box({"mp3", "mp2"}, "mp3"), Box(AB_A, "128 Kbps"), Box(SR_A, "48000 Hz"), Kept,
       Kept},
      {"iRiver PMP100 (*.avi)", "AVI", One("MPEG4"), Box(SZ_C, "640 x 480"), Box(VB_C, "1200 Kbps"),
       Box(FR_A, "Auto"), Box({"mp3", "mp2"}, "mp3"), Box(AB_A, "128 Kbps"), Box(SR_A, "48000 Hz"), Kept,
       Kept},
      {"PSP Video (*.mp4)", "MP4", Box({"MPEG4", "H264", "XVID"}, "MPEG4"),
       Box({"160 x 112", "320 x 240", "368 x 208", "480 x 272"}, "368 x 208"), One("768 Kbps"),
       Box({"14.985 fps", "29.97 fps"}, "29.97 fps"), Aac, Box(AB_B, "64 Kbps"), One("24000 Hz"), Stereo,
       Original},
      {"PS3 Video (*.mp4)", "MP4", One("H264"), Box({"640 x 480", "720 x 480", "720 x 576"}, "720 x 480"),
       Box(VB_F, "1200 Kbps"), One("29.97 fps"), Aac, Box(AB_A, "96 Kbps"), Box(SR_B, "44100 Hz"), Stereo,
       Original},
  };
  return sets;
}

void ExpectBox(const TBoxModel& model, TOptionBox box, const TBox& expected, const std::string& profile) {
  const TBoxState& state = model.Boxes.at(box);
  EXPECT_EQ(state.Items, expected.Items) << profile << ": " << BoxName(box);
  EXPECT_EQ(state.Text(), expected.Text) << profile << ": " << BoxName(box);
}

// The state of the two select-only boxes before a profile is applied.
struct TBefore {
  int Channels;
  int Aspect;
};

// Each profile from two starting states of the select-only boxes, so that "kept" and
// "selected" cannot pass for each other.
void ExpectEveryProfileFromState(TBefore before) {
  ASSERT_EQ(ExpectedSets().size(), 34u);
  const std::vector<std::string> channels = {"Stereo", "Mono"};
  const std::vector<std::string> aspects = {"Original", "4:3 (Standard", "16:9 (Wide Screen)"};
  for (const TExpectedSet& expected : ExpectedSets()) {
    TBoxModel model;
    FillComboOutputFormat(model);
    model.ChooseFormat(expected.Caption);
    model.Boxes[TOptionBox::AudioChannels].Selected = before.Channels;
    model.Boxes[TOptionBox::AspectRatio].Selected = before.Aspect;
    model.Extension = "before";

    const TheAVCodec* applied = ApplyProfileControls(model);
    ASSERT_NE(applied, nullptr) << expected.Caption;
    EXPECT_EQ(applied->Caption, expected.Caption);
    const std::string profile = expected.Caption;
    EXPECT_EQ(model.Extension, expected.Extension) << profile;
    ExpectBox(model, TOptionBox::VideoCodec, expected.VideoCodec, profile);
    ExpectBox(model, TOptionBox::VideoSize, expected.VideoSize, profile);
    ExpectBox(model, TOptionBox::VideoBitrate, expected.VideoBitrate, profile);
    ExpectBox(model, TOptionBox::VideoFramerate, expected.VideoFramerate, profile);
    ExpectBox(model, TOptionBox::AudioCodec, expected.AudioCodec, profile);
    ExpectBox(model, TOptionBox::AudioBitrate, expected.AudioBitrate, profile);
    ExpectBox(model, TOptionBox::SamplingRate, expected.SamplingRate, profile);

    std::string channelText = expected.Channels == Stereo ? "Stereo"
                              : expected.Channels == Mono ? "Mono"
                                                          : channels[before.Channels];
    std::string aspectText = expected.Aspect == Original ? "Original" : aspects[before.Aspect];
    EXPECT_EQ(model.Boxes[TOptionBox::AudioChannels].Items, channels) << profile;
    EXPECT_EQ(model.BoxText(TOptionBox::AudioChannels), channelText) << profile;
    EXPECT_EQ(model.Boxes[TOptionBox::AspectRatio].Items, aspects) << profile;
    EXPECT_EQ(model.BoxText(TOptionBox::AspectRatio), aspectText) << profile;
    // The output-format list itself is not touched.
    EXPECT_EQ(model.BoxText(TOptionBox::OutputFormat), expected.Caption);
  }
}

TEST(ProfilesOptionSets, EveryProfileFromMonoAndWideScreen) { ExpectEveryProfileFromState({1, 2}); }

TEST(ProfilesOptionSets, EveryProfileFromStereoAndStandard) { ExpectEveryProfileFromState({0, 1}); }

// Applies the profile of a caption to a model that keeps its state between profiles.
void Apply(TBoxModel& model, const char* caption) {
  model.ChooseFormat(caption);
  ASSERT_NE(ApplyProfileControls(model), nullptr) << caption;
}

TEST(ProfilesOptionSetEdges, ThreeGpThenIPodKeepsMonoThenIPhoneSetsStereo) {
  TBoxModel model;
  FillComboOutputFormat(model);
  Apply(model, "3GP - Mobile Video Format (*.3gp)");
  EXPECT_EQ(model.BoxText(TOptionBox::AudioChannels), "Mono");
  Apply(model, "iPod (*.mp4)");
  EXPECT_EQ(model.BoxText(TOptionBox::AudioChannels), "Mono");
  Apply(model, "iPhone (*.mp4)");
  EXPECT_EQ(model.BoxText(TOptionBox::AudioChannels), "Stereo");
}

TEST(ProfilesOptionSetEdges, KeptBoxesKeepTheUsersChoice) {
  TBoxModel model;
  FillComboOutputFormat(model);
  model.Boxes[TOptionBox::AspectRatio].Selected = 2;
  Apply(model, "3GP - Mobile Video Format (*.3gp)");
  EXPECT_EQ(model.BoxText(TOptionBox::AspectRatio), "16:9 (Wide Screen)");
  Apply(model, "Archos AV700 (*.avi)");
  EXPECT_EQ(model.BoxText(TOptionBox::AspectRatio), "16:9 (Wide Screen)");
  EXPECT_EQ(model.BoxText(TOptionBox::AudioChannels), "Mono");
  Apply(model, "WMV - Windows Media Video (*.wmv)");
  EXPECT_EQ(model.BoxText(TOptionBox::AspectRatio), "Original");
}

TEST(ProfilesOptionSetEdges, Mp3EmptiesTheFourVideoBoxes) {
  TBoxModel model;
  FillComboOutputFormat(model);
  Apply(model, "AVI - Audio Video Interleave (*.avi)");
  Apply(model, "MP3 - Mpeg Layer3 Audio (*.mp3)");
  for (TOptionBox box : {TOptionBox::VideoCodec, TOptionBox::VideoSize, TOptionBox::VideoBitrate,
                         TOptionBox::VideoFramerate}) {
    EXPECT_TRUE(model.Boxes[box].Items.empty()) << BoxName(box);
    EXPECT_EQ(model.BoxText(box), "") << BoxName(box);
  }
}

TEST(ProfilesOptionSetEdges, IPodVideoForTvShowsWhatIPodExtraShows) {
  TBoxModel extra;
  FillComboOutputFormat(extra);
  Apply(extra, "iPod Extra (640 x 480) (*.mp4)");
  TBoxModel forTv;
  FillComboOutputFormat(forTv);
  Apply(forTv, "iPod Video For TV (*.mp4)");
  for (auto& [box, state] : extra.Boxes) {
    if (box == TOptionBox::OutputFormat) continue;
    EXPECT_EQ(forTv.Boxes[box], state) << BoxName(box);
  }
  EXPECT_EQ(forTv.Extension, extra.Extension);
}

TEST(ProfilesOptionSetEdges, ZenAndIRiverSelect640x480InAListBeginningWithAuto) {
  for (const char* caption : {"Creative Zen Vision (*.avi)", "iRiver PMP100 (*.avi)"}) {
    TBoxModel model;
    FillComboOutputFormat(model);
    Apply(model, caption);
    const TBoxState& size = model.Boxes[TOptionBox::VideoSize];
    ASSERT_FALSE(size.Items.empty()) << caption;
    EXPECT_EQ(size.Items.front(), "Auto") << caption;
    EXPECT_EQ(size.Text(), "640 x 480") << caption;
    EXPECT_EQ(size.Selected, 5) << caption;
  }
}

TEST(ProfilesOptionSetEdges, PspOffersOneVideoBitrateAndOneSampleRate) {
  TBoxModel model;
  FillComboOutputFormat(model);
  Apply(model, "PSP Video (*.mp4)");
  EXPECT_EQ(model.Boxes[TOptionBox::VideoBitrate].Items, L{"768 Kbps"});
  EXPECT_EQ(model.BoxText(TOptionBox::VideoBitrate), "768 Kbps");
  EXPECT_EQ(model.Boxes[TOptionBox::SamplingRate].Items, L{"24000 Hz"});
  EXPECT_EQ(model.BoxText(TOptionBox::SamplingRate), "24000 Hz");
}

TEST(ProfilesOptionSetEdges, ApplyingTwiceGivesWhatApplyingOnceGives) {
  for (const TheAVCodec& entry : OutputFormatTable) {
    TBoxModel once;
    FillComboOutputFormat(once);
    once.ChooseFormat(entry.Caption);
    ApplyProfileControls(once);
    TBoxModel twice;
    FillComboOutputFormat(twice);
    twice.ChooseFormat(entry.Caption);
    ApplyProfileControls(twice);
    ApplyProfileControls(twice);
    for (auto& [box, state] : once.Boxes) EXPECT_EQ(twice.Boxes[box], state) << entry.Caption << " " << BoxName(box);
    EXPECT_EQ(twice.Extension, once.Extension);
  }
}

TEST(ProfilesOptionSetEdges, ASeparatorOrUnknownTextChangesNothing) {
  TBoxModel model;
  FillComboOutputFormat(model);
  Apply(model, "MPEG-2 Movie (*.mpg)");
  TBoxModel before = model;
  model.Boxes[TOptionBox::OutputFormat].Selected = 30;  // a separator row
  EXPECT_EQ(ApplyProfileControls(model), nullptr);
  model.Boxes[TOptionBox::OutputFormat].Selected = 28;
  EXPECT_EQ(model.Boxes, before.Boxes);
  EXPECT_EQ(model.Extension, "MPG");

  model.Force(TOptionBox::OutputFormat, "mpeg-2 movie (*.mpg)");
  EXPECT_EQ(ApplyProfileControls(model), nullptr);
  EXPECT_EQ(model.Extension, "MPG");
}

TEST(ProfilesOptionSetEdges, Mpeg2ShowsMpgAsItsExtension) {
  TBoxModel model;
  FillComboOutputFormat(model);
  Apply(model, "MPEG-2 Movie (*.mpg)");
  EXPECT_EQ(model.Extension, "MPG");
}

}  // namespace
}  // namespace mf::test
