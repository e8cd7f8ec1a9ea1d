// Creating outputs: the container, the streams with their encoder settings, the metadata, the
// file, and what a failure leaves (nothing).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "InputOutputTestSupport.h"

namespace {

namespace fs = std::filesystem;
using mftest::EngineTest;

class OutputCreationTest : public EngineTest {
 protected:
  AVFormatContext* Output(int file) { return Engine.OutputFiles[file].get(); }
  AVCodecContext* Encoder(int file, int stream) { return Engine.OutputStreamSetups[file][stream].Encoder.get(); }

  // The media types of an output's streams, in order, as its setups record them.
  std::vector<AVMediaType> StreamTypes(int file) {
    std::vector<AVMediaType> types;
    EXPECT_EQ(Engine.OutputStreamSetups[file].size(), Output(file)->nb_streams);
    for (const auto& setup : Engine.OutputStreamSetups[file]) types.push_back(setup.Encoder->codec_type);
    return types;
  }

  // One video stream made from the option state, into a fresh output of the given name.
  AVCodecContext* CreateVideoOutput(const std::string& name) {
    const std::string path = mftest::FreshOutput(name);
    if (!Engine.OpenOutputFile(path)) {
      ADD_FAILURE() << Engine.ErrorMessage;
      return nullptr;
    }
    const int file = Engine.OutputFileCount - 1;
    if (Output(file)->nb_streams < 1 || Encoder(file, 0)->codec_type != AVMEDIA_TYPE_VIDEO) {
      ADD_FAILURE() << "no video stream first";
      return nullptr;
    }
    return Encoder(file, 0);
  }
};

const std::string ImageNameText =
    ": Incorrect image filename syntax.\r\nUse '%d' to specify the image number:\r\n  for img1.jpg, img2.jpg, ..., "
    "use 'img%d.jpg';\r\n  for img001.jpg, img002.jpg, ..., use 'img%03d.jpg'.";

TEST_F(OutputCreationTest, FailuresLeaveTheOutputsAndTheDiskAsTheyWere) {
  ASSERT_TRUE(Engine.OpenInputFile(mftest::SquareClip())) << Engine.ErrorMessage;
  const std::string unknown = mftest::FreshOutput("out.qqq");
  const std::string missingFolder = mftest::DataDir() + "/io-no-such-folder/out.mp4";
  const std::string imageName = mftest::FreshOutput("frame.jpg");
  const std::string mp4 = mftest::FreshOutput("failed.mp4");

  const struct {
    const char* Name;
    std::string File;
    std::function<void(mf::TCustomFFmpeg&)> Options;
    std::string Expected;
  } cases[] = {
      {"unknown extension", unknown, nullptr, "Unable to find a suitable output format for '" + unknown + "'"},
      {"feed of a streaming server", "http://localhost:8090/feed1.ffm", nullptr,
       "Unable to find a suitable output format for 'http://localhost:8090/feed1.ffm'"},
      {"missing folder", missingFolder, nullptr, "Could not open '" + missingFolder + "'"},
      {"image sequence without a number", imageName, nullptr, imageName + ImageNameText},
      {"unknown video encoder", mp4, [](mf::TCustomFFmpeg& e) { e.SetVideoCodec("nosuchcodec"); },
       "new_video_stream fail: Unknown encoder 'nosuchcodec'"},
      {"video encoder named as audio", mp4, [](mf::TCustomFFmpeg& e) { e.SetAudioCodec("mpeg4"); },
       "new_audio_stream fail: Invalid encoder type 'mpeg4'"},
      {"rate-control override without its end frame", mp4, [](mf::TCustomFFmpeg& e) { e.SetOption("rc_override", "0,100"); },
       "new_video_stream fail: error parsing rc_override"},
  };

  const std::string first = mftest::FreshOutput("first.mp4");
  ASSERT_TRUE(Engine.OpenOutputFile(first)) << Engine.ErrorMessage;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.Options) c.Options(Engine);

    EXPECT_FALSE(Engine.OpenOutputFile(c.File));
    EXPECT_EQ(Engine.ErrorMessage, c.Expected);
    EXPECT_EQ(Engine.OutputFileCount, 1);
    EXPECT_EQ(Engine.OutputFiles[1], nullptr);
    EXPECT_TRUE(Engine.OutputStreamSetups[1].empty());
    EXPECT_EQ(Engine.OutputFormat, nullptr);
    EXPECT_EQ(Engine.InputFormat, nullptr);
    EXPECT_EQ(Engine.VideoCodecName, nullptr);
    EXPECT_EQ(Engine.AudioCodecName, nullptr);
    EXPECT_FALSE(fs::exists(c.File));
  }
  EXPECT_FALSE(fs::exists(fs::path(missingFolder).parent_path()));
  EXPECT_EQ(Output(0)->nb_streams, 2u) << "the output made before is untouched";

  // With its number pattern the same sequence is accepted (the override text of the last
  // case is task-wide and would refuse it again).
  Engine.VideoRcOverride.reset();
  EXPECT_TRUE(Engine.OpenOutputFile(mftest::FreshOutput("frame%03d.jpg"))) << Engine.ErrorMessage;
  EXPECT_EQ(Engine.OutputFileCount, 2);
}

TEST_F(OutputCreationTest, StreamKindsFollowTheFormatTheInputsAndTheDisableFlags) {
  using V = std::vector<AVMediaType>;
  const AVMediaType video = AVMEDIA_TYPE_VIDEO, audio = AVMEDIA_TYPE_AUDIO;
  const struct {
    const char* Name;
    std::string Input;  // empty: none opened
    std::function<void(mf::TCustomFFmpeg&)> Options;
    V Expected;
    bool VideoCopied;
  } cases[] = {
      {"audio-only input", mftest::MonoTone(), nullptr, V{audio}, false},
      {"video and audio", mftest::SquareClip(), nullptr, V{video, audio}, false},
      {"video disabled", mftest::SquareClip(), [](mf::TCustomFFmpeg& e) { e.SetOption("vn", ""); }, V{audio}, false},
      {"audio disabled", mftest::SquareClip(), [](mf::TCustomFFmpeg& e) { e.SetOption("an", ""); }, V{video}, false},
      {"video copied", mftest::SquareClip(), [](mf::TCustomFFmpeg& e) { e.SetOption("vcodec", "copy"); }, V{video, audio}, true},
      {"no input: the format's own codecs", "", nullptr, V{video, audio}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    if (!c.Input.empty()) {
      ASSERT_TRUE(Engine.OpenInputFile(c.Input)) << Engine.ErrorMessage;
    }
    if (c.Options) c.Options(Engine);
    ASSERT_TRUE(Engine.OpenOutputFile(mftest::FreshOutput("kinds.mp4"))) << Engine.ErrorMessage;
    EXPECT_EQ(StreamTypes(0), c.Expected);
    EXPECT_EQ(Engine.OutputStreamSetups[0][0].StreamCopy, c.VideoCopied);
    for (unsigned s = 0; s < Output(0)->nb_streams; ++s) EXPECT_EQ(Output(0)->streams[s]->id, static_cast<int>(s));
    // What the video stream consumed is back at its default for the next one.
    EXPECT_EQ(Engine.VideoStreamCopy, 0);
  }
}

TEST_F(OutputCreationTest, FrameRateBecomesTheEncodersNearestSupportedRate) {
  // The encoder lists 24000/1001, 24, 25, 30000/1001, 30, 50, 60000/1001, 60, ...
  const struct {
    const char* Requested;
    AVRational Expected;
  } cases[] = {
      {"24", {24, 1}},
      {"49/2", {24, 1}},  // as near to 24 as to 25: the earlier entry wins
      {"27", {25, 1}},
      {"30000/1001", {30000, 1001}},
      {"31", {30, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Requested);
    Engine.ResetOptions();
    Engine.SetOption("s", "352x288");
    Engine.SetOption("r", c.Requested);
    Engine.SetOption("vcodec", "mpeg1video");
    AVCodecContext* enc = CreateVideoOutput("rate.mpg");
    ASSERT_NE(enc, nullptr);
    EXPECT_EQ(enc->time_base.num, c.Expected.den);
    EXPECT_EQ(enc->time_base.den, c.Expected.num);
  }

  // An encoder without a list keeps the rate; no rate at all gives 25.
  for (const char* rate : {"7", ""}) {
    SCOPED_TRACE(rate);
    Engine.ResetOptions();
    Engine.SetOption("s", "352x288");
    Engine.SetOption("r", rate);
    Engine.SetOption("vcodec", "mpeg4");
    AVCodecContext* enc = CreateVideoOutput("rate.mp4");
    ASSERT_NE(enc, nullptr);
    EXPECT_EQ(enc->time_base.num, 1);
    EXPECT_EQ(enc->time_base.den, *rate ? 7 : 25);
  }
}

TEST_F(OutputCreationTest, PictureShapeAndFormatFromTheOptionState) {
  const struct {
    const char* Name;
    const char* Codec;
    const char* Size;
    const char* Aspect;
    const char* PixelFormat;
    AVRational ExpectedAspect;
    AVPixelFormat ExpectedFormat;
  } cases[] = {
      {"16:9 PAL picture", "mpeg2video", "720x576", "16:9", "yuv420p", {64, 45}, AV_PIX_FMT_YUV420P},
      {"square 4:3", "mpeg2video", "640x480", "4:3", "yuv422p", {1, 1}, AV_PIX_FMT_YUV422P},
      {"format the encoder lacks", "mpeg1video", "352x288", "4:3", "yuv444p", {12, 11}, AV_PIX_FMT_YUV420P},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    Engine.SetOption("s", c.Size);
    Engine.SetOption("aspect", c.Aspect);
    Engine.SetOption("pix_fmt", c.PixelFormat);
    Engine.SetOption("r", "25");
    Engine.SetOption("vcodec", c.Codec);
    AVCodecContext* enc = CreateVideoOutput("shape.mpg");
    ASSERT_NE(enc, nullptr);
    EXPECT_EQ(enc->sample_aspect_ratio.num, c.ExpectedAspect.num);
    EXPECT_EQ(enc->sample_aspect_ratio.den, c.ExpectedAspect.den);
    EXPECT_EQ(Output(0)->streams[0]->sample_aspect_ratio.num, c.ExpectedAspect.num);
    EXPECT_EQ(enc->pix_fmt, c.ExpectedFormat);
  }

  // Padding adds to the picture the encoder receives.
  Engine.ResetOptions();
  Engine.SetOption("s", "320x240");
  Engine.SetOption("padtop", "16");
  Engine.SetOption("padbottom", "16");
  Engine.SetOption("padleft", "8");
  Engine.SetOption("padright", "8");
  AVCodecContext* enc = CreateVideoOutput("padded.mp4");
  ASSERT_NE(enc, nullptr);
  EXPECT_EQ(enc->width, 336);
  EXPECT_EQ(enc->height, 272);
}

TEST_F(OutputCreationTest, RateControlOverridesFromTheirText) {
  Engine.SetOption("s", "320x240");
  Engine.SetOption("rc_override", "0,100,-50/101,200,30");
  AVCodecContext* enc = CreateVideoOutput("overrides.mp4");
  ASSERT_NE(enc, nullptr);
  ASSERT_EQ(enc->rc_override_count, 2);
  const RcOverride* o = enc->rc_override;
  EXPECT_EQ(o[0].start_frame, 0);
  EXPECT_EQ(o[0].end_frame, 100);
  EXPECT_EQ(o[0].qscale, 0);
  EXPECT_FLOAT_EQ(o[0].quality_factor, 0.5f);
  EXPECT_EQ(o[1].start_frame, 101);
  EXPECT_EQ(o[1].end_frame, 200);
  EXPECT_EQ(o[1].qscale, 30);
  EXPECT_FLOAT_EQ(o[1].quality_factor, 1.0f);
}

TEST_F(OutputCreationTest, EncoderSettingsFromTheOptionState) {
  ASSERT_TRUE(Engine.OpenInputFile(mftest::SquareClip())) << Engine.ErrorMessage;
  const std::vector<std::pair<std::string, std::string>> options = {
      {"qscale", "4"},    {"intra", ""},       {"vtag", "XVID"}, {"psnr", ""},     {"pass", "2"},
      {"dc", "9"},        {"b", "800000"},     {"bufsize", "400000"}, {"vglobal", "3"},
      {"aq", "2"},        {"ar", "32000"},     {"ac", "1"},      {"alang", "swedish"}, {"ab", "96000"}};
  for (const auto& [name, value] : options) Engine.SetOption(name, value);
  ASSERT_TRUE(Engine.OpenOutputFile(mftest::FreshOutput("settings.avi"))) << Engine.ErrorMessage;
  ASSERT_EQ(StreamTypes(0), (std::vector<AVMediaType>{AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO}));

  const AVCodecContext* video = Encoder(0, 0);
  EXPECT_EQ(video->gop_size, 0);
  EXPECT_TRUE(video->flags & AV_CODEC_FLAG_QSCALE);
  EXPECT_EQ(video->global_quality, 4 * FF_QP2LAMBDA);
  EXPECT_FLOAT_EQ(Engine.OutputStreamSetups[0][0].Quality, 4.0f * FF_QP2LAMBDA);
  EXPECT_EQ(video->codec_tag, 'X' | 'V' << 8 | 'I' << 16 | static_cast<uint32_t>('D') << 24);
  EXPECT_TRUE(video->flags & AV_CODEC_FLAG_PSNR);
  EXPECT_TRUE(video->flags & AV_CODEC_FLAG_PASS2);
  EXPECT_FALSE(video->flags & AV_CODEC_FLAG_PASS1);
  EXPECT_TRUE(video->flags & AV_CODEC_FLAG_GLOBAL_HEADER);
  EXPECT_TRUE(video->flags2 & AV_CODEC_FLAG2_LOCAL_HEADER);
  EXPECT_EQ(video->intra_dc_precision, 1);
  EXPECT_EQ(video->bit_rate, 800000);
  EXPECT_EQ(video->rc_initial_buffer_occupancy, 300000);
  EXPECT_EQ(video->width, 640);
  EXPECT_EQ(video->height, 480);

  const AVCodecContext* audio = Encoder(0, 1);
  EXPECT_TRUE(audio->flags & AV_CODEC_FLAG_QSCALE);
  EXPECT_FLOAT_EQ(Engine.OutputStreamSetups[0][1].Quality, 2.0f * FF_QP2LAMBDA);
  EXPECT_EQ(audio->sample_rate, 32000);
  EXPECT_EQ(audio->time_base.den, 32000);
  EXPECT_EQ(audio->ch_layout.nb_channels, 1);
  EXPECT_EQ(audio->bit_rate, 96000);
  const AVDictionaryEntry* language = ff::av_dict_get(Output(0)->streams[1]->metadata, "language", nullptr, 0);
  ASSERT_NE(language, nullptr);
  EXPECT_STREQ(language->value, "swe");
  EXPECT_TRUE(Engine.AudioLanguage.empty());
}

TEST_F(OutputCreationTest, AppendedStreamsGoToTheLastOutputAndAFailedOneLeavesNoTrace) {
  EXPECT_EQ(mftest::RaisedMessage<mf::FFMpegException>([&] { Engine.SetOption("newaudio", ""); }),
            "At least one output file must be specified");

  ASSERT_TRUE(Engine.OpenInputFile(mftest::SquareClip())) << Engine.ErrorMessage;
  ASSERT_TRUE(Engine.OpenOutputFile(mftest::FreshOutput("appended.mkv"))) << Engine.ErrorMessage;
  Engine.SetOption("alang", "fin");
  Engine.SetOption("newaudio", "");
  Engine.SetOption("slang", "ger");
  Engine.SetOption("newsubtitle", "");
  Engine.SetOption("newvideo", "");
  EXPECT_EQ(StreamTypes(0), (std::vector<AVMediaType>{AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO, AVMEDIA_TYPE_AUDIO,
                                                     AVMEDIA_TYPE_SUBTITLE, AVMEDIA_TYPE_VIDEO}));
  const AVDictionaryEntry* language = ff::av_dict_get(Output(0)->streams[2]->metadata, "language", nullptr, 0);
  ASSERT_NE(language, nullptr);
  EXPECT_STREQ(language->value, "fin");
  language = ff::av_dict_get(Output(0)->streams[3]->metadata, "language", nullptr, 0);
  ASSERT_NE(language, nullptr);
  EXPECT_STREQ(language->value, "ger");

  // A stream that cannot be made adds nothing: the output keeps one setup per stream.
  const struct {
    const char* Name;
    std::vector<std::pair<std::string, std::string>> Options;
    std::string Expected;
  } failures[] = {
      {"unknown audio encoder", {{"acodec", "nosuchcodec"}, {"newaudio", ""}}, "Unknown encoder 'nosuchcodec'"},
      {"bad override", {{"rc_override", "5"}, {"newvideo", ""}}, "error parsing rc_override"},
      {"subtitle encoder named as video", {{"scodec", "mpeg4"}, {"slang", "eng"}, {"newsubtitle", ""}},
       "Invalid encoder type 'mpeg4'"},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.Name);
    const std::string message = mftest::RaisedMessage<mf::FFMpegException>([&] {
      for (const auto& [name, value] : f.Options) Engine.SetOption(name, value);
    });
    EXPECT_EQ(message, f.Expected);
    EXPECT_EQ(Output(0)->nb_streams, 5u);
    EXPECT_EQ(Engine.OutputStreamSetups[0].size(), 5u);
    EXPECT_EQ(Engine.AudioCodecName, nullptr);
    EXPECT_EQ(Engine.SubtitleCodecName, nullptr);
    EXPECT_TRUE(Engine.SubtitleLanguage.empty());
  }
}

TEST_F(OutputCreationTest, MetadataReachesTheFile) {
  ASSERT_TRUE(Engine.OpenInputFile(mftest::Clip25())) << Engine.ErrorMessage;
  const std::string longTitle(600, 't');
  Engine.SetOption("title", longTitle);
  Engine.SetOption("author", "An Author");
  Engine.SetOption("copyright", "(c) Nobody");
  Engine.SetOption("comment", "made by a test");
  Engine.SetOption("album", "An Album");
  Engine.SetOption("genre", "A genre name longer than thirty-one characters");
  Engine.SetOption("timestamp", "2001-02-03T04:05:06Z");
  Engine.SetYear(1999);
  Engine.SetTrack(7);
  const std::string path = mftest::FreshOutput("tagged.mp4");
  ASSERT_TRUE(Engine.OpenOutputFile(path)) << Engine.ErrorMessage;
  try {
    Engine.Transcode();
  } catch (const std::exception& e) {
    Engine.CloseOpenCodecs();
    FAIL() << e.what();
  }

  const mftest::TProbe probe = mftest::Probe(path);
  ASSERT_TRUE(probe.Ok);
  EXPECT_EQ(probe.FormatValue("tags_title"), std::string(511, 't'));
  EXPECT_EQ(probe.FormatValue("tags_artist"), "An Author");
  EXPECT_EQ(probe.FormatValue("tags_copyright"), "(c) Nobody");
  EXPECT_EQ(probe.FormatValue("tags_comment"), "made by a test");
  EXPECT_EQ(probe.FormatValue("tags_album"), "An Album");
  EXPECT_EQ(probe.FormatValue("tags_genre"), "A genre name longer than thirty");
  EXPECT_EQ(probe.FormatValue("tags_date"), "1999");
  EXPECT_EQ(probe.FormatValue("tags_track"), "7");
  EXPECT_EQ(probe.FormatValue("tags_creation_time"), "2001-02-03T04:05:06.000000Z");
}

TEST_F(OutputCreationTest, TwentyFirstOutputIsRefusedAndTheTableKept) {
  for (int i = 0; i < mf::MaxFiles; ++i) {
    Engine.SetOutputFormat("null");
    ASSERT_TRUE(Engine.OpenOutputFile("nothing")) << i << ": " << Engine.ErrorMessage;
  }
  Engine.SetOutputFormat("null");
  EXPECT_FALSE(Engine.OpenOutputFile("nothing"));
  EXPECT_EQ(Engine.ErrorMessage, "Too many output files (at most 20)");
  EXPECT_EQ(Engine.OutputFileCount, mf::MaxFiles);
  EXPECT_EQ(Engine.OutputFormat, nullptr);
}

TEST_F(OutputCreationTest, MuxerSettingsReachTheMuxerWhereItHasThem) {
  Engine.SetOption("muxpreload", "0.25");
  Engine.SetOption("muxdelay", "1.5");
  Engine.SetOption("packetsize", "4096");
  Engine.SetOutputFormat("vob");
  ASSERT_TRUE(Engine.OpenOutputFile(mftest::FreshOutput("settings.vob"))) << Engine.ErrorMessage;
  EXPECT_EQ(mftest::OptionInt(Output(0)->priv_data, "preload"), 250000);
  EXPECT_EQ(Output(0)->max_delay, 1500000);
  EXPECT_EQ(Output(0)->packet_size, 4096u);

  // The loop count of an animation: -1, the default, plays it once.
  for (const char* loops : {"", "3"}) {
    SCOPED_TRACE(loops);
    Engine.ResetOptions();
    if (*loops) Engine.SetOption("loop_output", loops);
    Engine.SetOption("s", "64x48");
    ASSERT_TRUE(Engine.OpenOutputFile(mftest::FreshOutput("loop.gif"))) << Engine.ErrorMessage;
    EXPECT_EQ(mftest::OptionInt(Output(0)->priv_data, "loop"), *loops ? 3 : -1);
  }
}

}  // namespace
