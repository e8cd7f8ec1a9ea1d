#include <climits>
#include <cstring>

#include "EngineTestSupport.h"
#include "OptionParsing.h"

namespace {

using mftest::EngineTest;
using mftest::RaisedMessage;

struct TFieldCheck {
  const char* Name;
  std::function<bool(const mf::TCustomFFmpeg&)> Holds;
};

// Every default a reset promises, as one list so both a fresh and a used engine are held to it.
const std::vector<TFieldCheck>& Defaults() {
  static const std::vector<TFieldCheck> checks = {
      {"AudioChannels 2", [](auto& e) { return e.AudioChannels == 2; }},
      {"AudioSampleRate 44100", [](auto& e) { return e.AudioSampleRate == 44100; }},
      {"VideoSyncMethod -1", [](auto& e) { return e.VideoSyncMethod == -1; }},
      {"AudioSyncMethod 0", [](auto& e) { return e.AudioSyncMethod == 0; }},
      {"TopFieldFirst -1", [](auto& e) { return e.TopFieldFirst == -1; }},
      {"LoopOutput -1", [](auto& e) { return e.LoopOutput == -1; }},
      {"PadColor 16/128/128", [](auto& e) { return e.PadColor == std::array<int, 3>{16, 128, 128}; }},
      {"MaxFrames unlimited", [](auto& e) { return e.MaxFrames == std::array<int, 4>{INT_MAX, INT_MAX, INT_MAX, INT_MAX}; }},
      {"RecordingTime unlimited", [](auto& e) { return e.RecordingTime == INT64_MAX; }},
      {"TotalOutputDurationMs -1", [](auto& e) { return e.TotalOutputDurationMs == -1; }},
      {"AudioQScale none", [](auto& e) { return e.AudioQScale == -99999.0f; }},
      {"MuxPreload 0.5", [](auto& e) { return e.MuxPreload == 0.5f; }},
      {"MuxMaxDelay 0.7", [](auto& e) { return e.MuxMaxDelay == 0.7f; }},
      {"AudioDriftThreshold 0.1", [](auto& e) { return e.AudioDriftThreshold == 0.1f; }},
      {"DtsDeltaThreshold 10", [](auto& e) { return e.DtsDeltaThreshold == 10.0f; }},
      {"IntraDcPrecision 8", [](auto& e) { return e.IntraDcPrecision == 8; }},
      {"AudioVolume 256", [](auto& e) { return e.AudioVolume == 256; }},
      {"Verbosity 1", [](auto& e) { return e.Verbosity == 1; }},
      {"ThreadCount 1", [](auto& e) { return e.ThreadCount == 1; }},
      {"SwsFlags bicubic", [](auto& e) { return e.SwsFlags == 4; }},
      {"FramePixelFormat none", [](auto& e) { return e.FramePixelFormat == -1; }},
      {"frame size unset", [](auto& e) { return e.FrameWidth == 0 && e.FrameHeight == 0 && e.FrameAspectRatio == 0; }},
      {"FrameRate unset", [](auto& e) { return e.FrameRate.num == 0 && e.FrameRate.den == 0; }},
      {"crops and pads 0",
       [](auto& e) {
         return e.CropTop + e.CropBottom + e.CropLeft + e.CropRight + e.PadTop + e.PadBottom + e.PadLeft + e.PadRight == 0;
       }},
      {"no codec names", [](auto& e) { return !e.VideoCodecName && !e.AudioCodecName && !e.SubtitleCodecName; }},
      {"no stream copy", [](auto& e) { return e.VideoStreamCopy + e.AudioStreamCopy + e.SubtitleStreamCopy == 0; }},
      {"no matrices", [](auto& e) { return !e.IntraMatrix && !e.InterMatrix; }},
      {"no maps", [](auto& e) { return e.StreamMapCount == 0 && e.MetaDataMapCount == 0; }},
      {"no formats", [](auto& e) { return !e.InputFormat && !e.OutputFormat; }},
      {"texts empty",
       [](auto& e) { return e.Title.empty() && e.AudioLanguage.empty() && e.PassLogFileName.empty() && !e.VstatsFileName; }},
      {"no library options", [](auto& e) { return e.OptionNames.empty(); }},
      {"no hooks", [](auto& e) { return !e.FirstHook && !e.UsingVideoHooks && e.HookRangeCount == 0; }},
      {"no scales", [](auto& e) { return e.InputFileTsScales[0][1] == 0.0; }},
      {"no error", [](auto& e) { return e.ErrorMessage.empty(); }},
  };
  return checks;
}

void ExpectDefaults(const mf::TCustomFFmpeg& engine) {
  for (const TFieldCheck& check : Defaults()) {
    SCOPED_TRACE(check.Name);
    EXPECT_TRUE(check.Holds(engine));
  }
}

// Without the libraries the engine has its defaults but no contexts, and nothing that needs
// the libraries may touch them.
TEST(EngineWithoutLibraries, HasDefaultsAndRefusesLibraryWork) {
  mf::TCustomFFmpeg engine;
  ExpectDefaults(engine);
  engine.ResetOptions();
  EXPECT_FALSE(engine.CodecOptionContexts[0]);
  EXPECT_FALSE(engine.FormatOptionContext);
  EXPECT_FALSE(engine.SetLibraryOption("g", "12"));
  engine.SetOption("no_such_option", "1");
  engine.SetOption("croptop", "-2");  // needs no library
  EXPECT_EQ(RaisedMessage<mf::FFMpegException>([&] { engine.SetOption("f", "avi"); }),
            "The codec libraries are not loaded");
}

TEST_F(EngineTest, ResetGivesDefaultsAndContextsEvenAfterUse) {
  ExpectDefaults(Engine);
  for (int type = 0; type < mf::CodecOptionContextCount; ++type) {
    SCOPED_TRACE(type);
    ASSERT_TRUE(Engine.CodecOptionContexts[type]);
    EXPECT_EQ(Engine.CodecOptionContexts[type]->codec_type, type);
  }
  ASSERT_TRUE(Engine.FormatOptionContext);
  ASSERT_TRUE(Engine.ScalerOptionContext);

  for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
           {"s", "320x240"}, {"croptop", "10"}, {"padcolor", "255"}, {"vcodec", "mpeg4"}, {"acodec", "copy"},
           {"intra_matrix", mftest::MatrixText(64)}, {"map", "0:1"}, {"vb", "64000"},
           {"alang", "eng"}, {"t", "10"}, {"vstats_file", "stats.log"}, {"itsscale", "1:0.5"}, {"title", "x"},
           {"ac", "1"}, {"vsync", "2"}, {"aq", "3"}, {"v", "2"}})
    Engine.SetOption(name, value);
  Engine.ErrorMessage = "old failure";
  Engine.ResetOptions();
  ExpectDefaults(Engine);
  // The fresh contexts hold library defaults again, not the earlier bit rate.
  EXPECT_NE(Engine.CodecOptionContexts[AVMEDIA_TYPE_VIDEO]->bit_rate, 64000);
}

TEST_F(EngineTest, PerFileAndPerStreamResetsTouchOnlyTheirFields) {
  auto configure = [this] {
    Engine.ResetOptions();
    Engine.SetOption("f", "avi");
    Engine.SetOption("vcodec", "copy");
    Engine.SetOption("vcodec", "mpeg4");
    Engine.SetOption("acodec", "copy");
    Engine.SetOption("acodec", "mp2");
    Engine.SetOption("scodec", "copy");
    Engine.SetOption("scodec", "mov_text");
    Engine.SetOption("alang", "eng");
    Engine.SetOption("slang", "deu");
    Engine.SetOption("vn", "");
    Engine.SetOption("an", "");
    Engine.SetOption("sn", "");
    Engine.SetOption("vc", "3");
    Engine.SetOption("re", "");
  };
  const struct {
    const char* Name;
    void (mf::TCustomFFmpeg::*Reset)();
    std::function<void(const mf::TCustomFFmpeg&)> Check;
  } cases[] = {
      {"input file", &mf::TCustomFFmpeg::ResetInputFileOptions,
       [](auto& e) {
         EXPECT_FALSE(e.InputFormat || e.OutputFormat || e.VideoCodecName || e.AudioCodecName || e.SubtitleCodecName);
         EXPECT_EQ(e.VideoChannel + e.RateEmulation, 0);
         EXPECT_EQ(e.VideoStreamCopy, 1);  // stream fields wait for their streams
         EXPECT_EQ(e.AudioDisable, 1);
       }},
      {"output file", &mf::TCustomFFmpeg::ResetOutputFileOptions,
       [](auto& e) {
         EXPECT_FALSE(e.InputFormat || e.OutputFormat);
         EXPECT_TRUE(e.VideoCodecName);
         EXPECT_EQ(e.VideoChannel, 3);
       }},
      {"video stream", &mf::TCustomFFmpeg::ResetVideoStreamOptions,
       [](auto& e) {
         EXPECT_FALSE(e.VideoCodecName);
         EXPECT_EQ(e.VideoDisable + e.VideoStreamCopy, 0);
         EXPECT_TRUE(e.AudioCodecName && e.SubtitleCodecName && e.OutputFormat);
         EXPECT_EQ(e.AudioStreamCopy + e.AudioDisable, 2);
       }},
      {"audio stream", &mf::TCustomFFmpeg::ResetAudioStreamOptions,
       [](auto& e) {
         EXPECT_FALSE(e.AudioCodecName);
         EXPECT_EQ(e.AudioDisable + e.AudioStreamCopy, 0);
         EXPECT_EQ(e.AudioLanguage, "");
         EXPECT_EQ(e.SubtitleLanguage, "deu");
         EXPECT_TRUE(e.VideoCodecName);
       }},
      {"subtitle stream", &mf::TCustomFFmpeg::ResetSubtitleStreamOptions,
       [](auto& e) {
         EXPECT_FALSE(e.SubtitleCodecName);
         EXPECT_EQ(e.SubtitleDisable + e.SubtitleStreamCopy, 0);
         EXPECT_EQ(e.SubtitleLanguage, "");
         EXPECT_EQ(e.AudioLanguage, "eng");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    configure();
    (Engine.*c.Reset)();
    c.Check(Engine);
  }
}

// The tables hold 20 entries; one more is refused before anything is written.
TEST_F(EngineTest, TableBoundsRefuseTheEntryBeyondTheLast) {
  for (int i = 0; i < mf::MaxStreamMaps; ++i) Engine.SetOption("map", "0:" + std::to_string(i));
  for (int i = 0; i < mf::MaxMetaDataMaps; ++i) Engine.SetOption("map_meta_data", "0:" + std::to_string(i));
  const auto mapsBefore = Engine.StreamMaps;
  const auto metaBefore = Engine.MetaDataMaps;

  EXPECT_EQ(RaisedMessage<mf::FFMpegException>([&] { Engine.SetOption("map", "5:5"); }),
            "Too many stream maps (at most 20)");
  EXPECT_EQ(RaisedMessage<mf::FFMpegException>([&] { Engine.SetOption("map_meta_data", "5:5"); }),
            "Too many meta data maps (at most 20)");
  EXPECT_EQ(Engine.StreamMapCount, 20);
  EXPECT_EQ(Engine.MetaDataMapCount, 20);
  EXPECT_EQ(Engine.StreamMaps[19].StreamIndex, 19);
  EXPECT_EQ(std::memcmp(&mapsBefore, &Engine.StreamMaps, sizeof mapsBefore), 0);
  EXPECT_EQ(std::memcmp(&metaBefore, &Engine.MetaDataMaps, sizeof metaBefore), 0);

  // A scale for the input after the twentieth has nowhere to go.
  Engine.InputFileCount = mf::MaxFiles;
  EXPECT_EQ(RaisedMessage<mf::FFMpegException>([&] { Engine.SetOption("itsscale", "1:0.5"); }),
            "Too many input files (at most 20)");
  EXPECT_EQ(RaisedMessage<mf::FFMpegException>([&] { Engine.CheckInputFileRoom(); }),
            "Too many input files (at most 20)");
  Engine.InputFileCount = 0;
  Engine.OutputFileCount = mf::MaxFiles;
  EXPECT_EQ(RaisedMessage<mf::FFMpegException>([&] { Engine.CheckOutputFileRoom(); }),
            "Too many output files (at most 20)");
  Engine.OutputFileCount = 0;
}

}  // namespace
