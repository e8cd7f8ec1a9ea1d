#include <climits>
#include <cmath>
#include <regex>

#include "EngineTestSupport.h"
#include "OptionParsing.h"

namespace {

using mftest::EngineTest;
using mftest::RaisedMessage;

const std::string InvalidDuration = "Invalid duration specification for ";
const std::string InvalidDate = "Invalid date specification for ";
const std::string IncorrectAspect = "Incorrect aspect ratio specification.";

std::string Raised(const std::function<void()>& action) { return RaisedMessage<mf::FFMpegException>(action); }

// ---- Picture geometry -------------------------------------------------------------------

// Crops subtract from the size known at the moment; each check uses the size left over.
TEST_F(EngineTest, CropsSubtractFromTheCurrentSize) {
  Engine.SetOption("s", "320x240");
  const struct {
    const char* Name;
    const char* Value;
    const char* Error;
    int Width, Height;
  } steps[] = {
      {"croptop", "10", "", 320, 230},
      {"croptop", "-4", "", 320, 230},  // negative: ignored
      {"cropbottom", "230",
       "Vertical crop dimensions are outside the range of the original image.\nRemember to crop first and scale second.",
       320, 230},
      {"cropbottom", "7", "Bottom crop size must be a multiple of 2", 320, 230},
      {"cropbottom", "228", "", 320, 2},
      {"cropleft", "3", "Left crop size must be a multiple of 2", 320, 2},
      {"cropleft", "100", "", 220, 2},
      {"cropright", "220",
       "Horizontal crop dimensions are outside the range of the original image.\nRemember to crop first and scale second.",
       220, 2},
      {"cropright", "218", "", 2, 2},
      {"croptop", "1", "Top crop size must be a multiple of 2", 2, 2},
      {"cropright", "5", "Right crop size must be a multiple of 2", 2, 2},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(std::string(s.Name) + "=" + s.Value);
    if (*s.Error)
      EXPECT_EQ(Raised([&] { Engine.SetOption(s.Name, s.Value); }), s.Error);
    else
      Engine.SetOption(s.Name, s.Value);
    EXPECT_EQ(Engine.FrameWidth, s.Width);
    EXPECT_EQ(Engine.FrameHeight, s.Height);
  }
  EXPECT_EQ(Engine.CropTop, 10);
  EXPECT_EQ(Engine.CropBottom, 228);
  EXPECT_EQ(Engine.CropLeft, 100);
  EXPECT_EQ(Engine.CropRight, 218);
}

TEST_F(EngineTest, PadsMustBeEvenAndHaveNoUpperBound) {
  const struct {
    const char* Name;
    const char* Value;
    const char* Error;
    int mf::TEngineOptionState::*Field;
    int Expected;
  } cases[] = {
      {"padtop", "4000", "", &mf::TEngineOptionState::PadTop, 4000},
      {"padbottom", "-2", "", &mf::TEngineOptionState::PadBottom, 0},
      {"padleft", "3", "Left pad size must be a multiple of 2", &mf::TEngineOptionState::PadLeft, 0},
      {"padright", "9", "Right pad size must be a multiple of 2", &mf::TEngineOptionState::PadRight, 0},
      {"padtop", "1", "Top pad size must be a multiple of 2", &mf::TEngineOptionState::PadTop, 4000},
      {"padbottom", "5", "Bottom pad size must be a multiple of 2", &mf::TEngineOptionState::PadBottom, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + "=" + c.Value);
    if (*c.Error)
      EXPECT_EQ(Raised([&] { Engine.SetOption(c.Name, c.Value); }), c.Error);
    else
      Engine.SetOption(c.Name, c.Value);
    EXPECT_EQ(Engine.*c.Field, c.Expected);
  }
}

TEST_F(EngineTest, PadColorBecomesYCbCr) {
  const struct {
    const char* Name;
    int Rgb;  // red in the low byte
    std::array<int, 3> YCbCr;
  } cases[] = {
      {"red", 0x0000FF, {76, 85, 255}},
      {"black", 0x000000, {0, 128, 128}},
      {"white", 0xFFFFFF, {255, 128, 128}},
      {"blue", 0xFF0000, {29, 255, 107}},
      {"green", 0x00FF00, {150, 43, 21}},
      {"high byte ignored", 0x7F0000FF, {76, 85, 255}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.SetOption("padcolor", std::to_string(c.Rgb));
    EXPECT_EQ(Engine.PadColor, c.YCbCr);
  }
}

TEST_F(EngineTest, FrameSizeRateAndAspect) {
  const struct {
    const char* Name;
    const char* Value;
    const char* Error;
    std::function<void()> Check;
  } cases[] = {
      {"s", "cif", "", [&] { EXPECT_EQ(Engine.FrameWidth, 352); EXPECT_EQ(Engine.FrameHeight, 288); }},
      {"s", "640x480", "", [&] { EXPECT_EQ(Engine.FrameWidth, 640); }},
      // An odd size is stored and then refused.
      {"s", "175x144", "Frame size must be a multiple of 2", [&] { EXPECT_EQ(Engine.FrameWidth, 175); EXPECT_EQ(Engine.FrameHeight, 144); }},
      {"s", "huge", "Incorrect frame size", [&] { EXPECT_EQ(Engine.FrameWidth, 175); }},
      {"s", "", "", [&] { EXPECT_EQ(Engine.FrameWidth, 175); }},
      {"r", "ntsc", "", [&] { EXPECT_EQ(Engine.FrameRate.num, 30000); EXPECT_EQ(Engine.FrameRate.den, 1001); }},
      {"r", "25", "", [&] { EXPECT_EQ(av_q2d(Engine.FrameRate), 25.0); }},
      {"r", "fast", "Incorrect frame rate", [&] { EXPECT_EQ(av_q2d(Engine.FrameRate), 25.0); }},
      {"aspect", "16:9", "", [&] { EXPECT_FLOAT_EQ(Engine.FrameAspectRatio, 16.0f / 9); }},
      {"aspect", "1.5", "", [&] { EXPECT_FLOAT_EQ(Engine.FrameAspectRatio, 1.5f); }},
      {"aspect", "4:0", IncorrectAspect.c_str(), [&] { EXPECT_FLOAT_EQ(Engine.FrameAspectRatio, 1.5f); }},
      {"aspect", "wide", IncorrectAspect.c_str(), [] {}},
      {"aspect", "1,5", IncorrectAspect.c_str(), [] {}},  // "." whatever the locale
      {"aspect", "x:3", IncorrectAspect.c_str(), [] {}},
      {"aspect", "", "", [&] { EXPECT_FLOAT_EQ(Engine.FrameAspectRatio, 1.5f); }},
      {"pix_fmt", "yuv422p", "", [&] { EXPECT_EQ(Engine.FramePixelFormat, AV_PIX_FMT_YUV422P); }},
      {"pix_fmt", "no_such_format", "", [&] { EXPECT_EQ(Engine.FramePixelFormat, AV_PIX_FMT_NONE); }},
      {"qscale", "3.5", "", [&] { EXPECT_EQ(Engine.VideoQScale, 3.5f); }},
      {"qscale", "255", "", [&] { EXPECT_EQ(Engine.VideoQScale, 255.0f); }},
      {"qscale", "0", "qscale must be > 0.0 and <= 255", [&] { EXPECT_EQ(Engine.VideoQScale, 255.0f); }},
      {"qscale", "255.5", "qscale must be > 0.0 and <= 255", [] {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + "=" + c.Value);
    if (*c.Error)
      EXPECT_EQ(Raised([&] { Engine.SetOption(c.Name, c.Value); }), c.Error);
    else
      Engine.SetOption(c.Name, c.Value);
    c.Check();
  }
}

TEST_F(EngineTest, PixelFormatListIsLoggedNotStored) {
  CaptureLog();
  Engine.SetOption("pix_fmt", "list");
  EXPECT_EQ(Engine.FramePixelFormat, -1);
  ASSERT_GT(Log.size(), 40u);
  EXPECT_EQ(Log[0].Text.rfind("name", 0), 0u) << Log[0].Text;
  EXPECT_EQ(Log[1].Text.rfind("yuv420p", 0), 0u) << Log[1].Text;
  for (const auto& line : Log) EXPECT_EQ(line.Level, 1);
}

// ---- Times ---------------------------------------------------------------------------------

TEST_F(EngineTest, TimesAreParsedToMicroseconds) {
  const struct {
    const char* Name;
    const char* Value;
    std::string Error;
    std::function<void()> Check;
  } cases[] = {
      {"t", "10", "", [&] { EXPECT_EQ(Engine.RecordingTime, 10000000); EXPECT_EQ(Engine.TotalOutputDurationMs, 10000); }},
      // Above 2147 s the microseconds no longer fit 32 bits.
      {"t", "1:00:00", "", [&] { EXPECT_EQ(Engine.RecordingTime, 3600000000); EXPECT_EQ(Engine.TotalOutputDurationMs, 3600000); }},
      {"t", "0", "", [&] { EXPECT_EQ(Engine.RecordingTime, 3600000000); }},
      {"t", "0.0009", "", [&] { EXPECT_EQ(Engine.TotalOutputDurationMs, 3600000); }},  // below a millisecond
      {"t", "later", InvalidDuration + "t: later", [&] { EXPECT_EQ(Engine.RecordingTime, 3600000000); }},
      {"ss", "00:01:02.5", "", [&] { EXPECT_EQ(Engine.StartTime, 62500000); }},
      {"ss", "soon", InvalidDuration + "ss: soon", [&] { EXPECT_EQ(Engine.StartTime, 62500000); }},
      {"itsoffset", "-1.5", "", [&] { EXPECT_EQ(Engine.InputTsOffset, -1500000); }},
      {"itsoffset", "x", InvalidDuration + "itsoffset: x", [] {}},
      // Half a second goes to the even neighbour.
      {"timestamp", "2007-01-02T03:04:05.5Z", "", [&] { EXPECT_EQ(Engine.RecordTimestamp, 1167707046); }},
      {"timestamp", "2007-01-02T03:04:06.5Z", "", [&] { EXPECT_EQ(Engine.RecordTimestamp, 1167707046); }},
      {"timestamp", "2007-01-02T03:04:06.7Z", "", [&] { EXPECT_EQ(Engine.RecordTimestamp, 1167707047); }},
      {"timestamp", "yesterday", InvalidDate + "timestamp: yesterday", [&] { EXPECT_EQ(Engine.RecordTimestamp, 1167707047); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + "=" + c.Value);
    if (!c.Error.empty())
      EXPECT_EQ(Raised([&] { Engine.SetOption(c.Name, c.Value); }), c.Error);
    else
      Engine.SetOption(c.Name, c.Value);
    c.Check();
  }
}

// ---- Formats ------------------------------------------------------------------------------

TEST_F(EngineTest, FormatsAreLookedUpByDirection) {
  const AVInputFormat* avi = ff::av_find_input_format("avi");
  const struct {
    const char* Name;
    std::function<void()> Set;
    std::string Error;
    bool Input, Output;
  } cases[] = {
      {"f avi: both", [&] { Engine.SetOption("f", "avi"); }, "", true, true},
      {"f ipod: muxer only", [&] { Engine.SetOption("f", "ipod"); }, "", false, true},
      {"f ape: demuxer only", [&] { Engine.SetOption("f", "ape"); }, "", true, false},
      {"f unknown", [&] { Engine.SetOption("f", "nosuch"); }, "Unknown input or output format: nosuch", true, false},
      {"input unknown", [&] { Engine.SetInputFormat("nosuch"); }, "Unknown input format: nosuch", true, false},
      {"output unknown", [&] { Engine.SetOutputFormat("nosuch"); }, "Unknown output format: nosuch", true, false},
      {"output of a demuxer-only name", [&] { Engine.SetOutputFormat("ape"); }, "Unknown output format: ape", true, false},
      {"input avi", [&] { Engine.SetInputFormat("avi"); }, "", true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    if (!c.Error.empty())
      EXPECT_EQ(Raised(c.Set), c.Error);
    else
      c.Set();
    // A refused name keeps what was set before.
    EXPECT_EQ(Engine.InputFormat != nullptr, c.Input);
    EXPECT_EQ(Engine.OutputFormat != nullptr, c.Output);
  }
  EXPECT_EQ(Engine.InputFormat, avi);
}

TEST_F(EngineTest, PgmyuvIsTakenAsImage2WithANotice) {
  CaptureLog();
  Engine.SetOption("f", "pgmyuv");
  EXPECT_EQ(Engine.PgmyuvCompatibility, 1);
  EXPECT_STREQ(Engine.OutputFormat->name, "image2");
  EXPECT_STREQ(Engine.InputFormat->name, "image2");
  ASSERT_EQ(Log.size(), 1u);
  EXPECT_EQ(Log[0].Level, 1);
  EXPECT_EQ(Log[0].Text, "pgmyuv format is deprecated, use image2");
}

// ---- Codecs, tags, bit rates ------------------------------------------------------------------

TEST_F(EngineTest, CodecNamesAndCopy) {
  Engine.SetOption("vcodec", "copy");
  EXPECT_EQ(Engine.VideoStreamCopy, 1);
  EXPECT_FALSE(Engine.VideoCodecName);

  // A later name does not undo an earlier copy; a later copy drops an earlier name.
  Engine.SetOption("vcodec", "mpeg4");
  EXPECT_STREQ(Engine.VideoCodecName.get(), "mpeg4");
  EXPECT_EQ(Engine.VideoStreamCopy, 1);
  Engine.SetOption("acodec", "mp2");
  Engine.SetOption("acodec", "copy");
  EXPECT_FALSE(Engine.AudioCodecName);
  EXPECT_EQ(Engine.AudioStreamCopy, 1);
  Engine.SetOption("scodec", "mov_text");
  EXPECT_STREQ(Engine.SubtitleCodecName.get(), "mov_text");
  EXPECT_EQ(Engine.SubtitleStreamCopy, 0);
  Engine.SetOption("acodec", "");
  EXPECT_EQ(Engine.AudioStreamCopy, 1);
}

TEST_F(EngineTest, TagsAreFourCharactersLowByteFirst) {
  Engine.SetOption("vtag", "XVID");
  EXPECT_EQ(Engine.VideoCodecTag, 'X' | 'V' << 8 | 'I' << 16 | 'D' << 24);
  Engine.SetOption("atag", "\xff" "abc");
  EXPECT_EQ(Engine.AudioCodecTag, 0xFFu | 'a' << 8 | 'b' << 16 | 'c' << 24);
  EXPECT_EQ(RaisedMessage<mf::TAssertionFailed>([&] { Engine.SetOption("vtag", "DIV"); }),
            "video tag parameter must be 4 chars");
  EXPECT_EQ(RaisedMessage<mf::TAssertionFailed>([&] { Engine.SetAudioTag("mp4a1"); }),
            "audio tag parameter must be 4 chars");
  Engine.SetOption("vtag", "");
  EXPECT_EQ(Engine.VideoCodecTag, 'X' | 'V' << 8 | 'I' << 16 | 'D' << 24);
}

TEST_F(EngineTest, LowBitRateIsStoredWithAWarning) {
  const std::string warning = "WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s";
  const struct {
    const char* Name;
    const char* Value;
    bool Handler;
    AVMediaType Context;
    int64_t BitRate;
    bool Warns;
  } cases[] = {
      {"ab", "64", true, AVMEDIA_TYPE_AUDIO, 64, true},
      {"ab", "128000", true, AVMEDIA_TYPE_AUDIO, 128000, false},
      {"vb", "999", true, AVMEDIA_TYPE_VIDEO, 999, true},
      {"b", "1000", true, AVMEDIA_TYPE_VIDEO, 1000, false},
      {"b", "64", false, AVMEDIA_TYPE_VIDEO, 64, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + "=" + c.Value);
    Log.clear();
    Engine.LogHandler = nullptr;
    if (c.Handler) CaptureLog();
    Engine.SetOption(c.Name, c.Value);
    EXPECT_EQ(Engine.CodecOptionContexts[c.Context]->bit_rate, c.BitRate);
    if (c.Warns) {
      ASSERT_EQ(Log.size(), 1u);
      EXPECT_EQ(Log[0].Text, warning);
      EXPECT_EQ(Log[0].Level, 1);
    } else {
      EXPECT_TRUE(Log.empty());
    }
  }
}

// ---- Maps, scales, matrices ------------------------------------------------------------------

TEST_F(EngineTest, StreamAndMetaDataMaps) {
  const struct {
    const char* Text;
    mf::TStreamMap Expected;
  } maps[] = {
      {"0:1", {0, 1, 0, 1}},
      {"0:1:0:0", {0, 1, 0, 0}},
      {"2.3", {2, 3, 2, 3}},  // any character separates
      {"1", {1, 0, 1, 0}},
      {"0x1:010", {1, 8, 1, 8}},  // strtol's base 0
      {"1:2:3", {1, 2, 3, 0}},
      {"99999999999:1", {INT_MAX, 1, INT_MAX, 1}},
  };
  for (const auto& m : maps) {
    SCOPED_TRACE(m.Text);
    Engine.SetOption("map", m.Text);
    const mf::TStreamMap& got = Engine.StreamMaps[Engine.StreamMapCount - 1];
    EXPECT_EQ(got.FileIndex, m.Expected.FileIndex);
    EXPECT_EQ(got.StreamIndex, m.Expected.StreamIndex);
    EXPECT_EQ(got.SyncFileIndex, m.Expected.SyncFileIndex);
    EXPECT_EQ(got.SyncStreamIndex, m.Expected.SyncStreamIndex);
  }
  EXPECT_EQ(Engine.StreamMapCount, 7);
  Engine.SetOption("map", "");  // an empty text is no map
  EXPECT_EQ(Engine.StreamMapCount, 7);

  Engine.SetOption("map_meta_data", "1:0");
  Engine.SetOption("map_meta_data", "3");
  ASSERT_EQ(Engine.MetaDataMapCount, 2);
  EXPECT_EQ(Engine.MetaDataMaps[0].OutFile, 1);
  EXPECT_EQ(Engine.MetaDataMaps[0].InFile, 0);
  EXPECT_EQ(Engine.MetaDataMaps[1].OutFile, 3);
  EXPECT_EQ(Engine.MetaDataMaps[1].InFile, 0);
}

TEST_F(EngineTest, InputTimestampScalesApplyToTheNextInput) {
  Engine.SetOption("itsscale", "1:0.5");
  EXPECT_EQ(Engine.InputFileTsScales[0][1], 0.5);
  Engine.InputFileCount = 1;
  Engine.SetOption("itsscale", "19:2");
  EXPECT_EQ(Engine.InputFileTsScales[1][19], 2.0);
  Engine.InputFileCount = 0;
  for (const char* text : {"25:1", "20:1", "-1:1", "4294967297:1"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Raised([&] { Engine.SetOption("itsscale", text); }), "stream index over MAX_STREAMS(20)");
  }
  EXPECT_EQ(Engine.InputFileTsScales[0][1], 0.5);
}

TEST_F(EngineTest, QuantisationMatrices) {
  Engine.SetOption("intra_matrix", mftest::MatrixText(64));
  ASSERT_TRUE(Engine.IntraMatrix);
  EXPECT_EQ(Engine.IntraMatrix.get()[0], 1);
  EXPECT_EQ(Engine.IntraMatrix.get()[63], 64);

  // Blanks before a number are skipped; text after the 64th is ignored; a missing number is 0.
  Engine.SetOption("inter_matrix", " 7,," + mftest::MatrixText(62) + ",9,10,11");
  ASSERT_TRUE(Engine.InterMatrix);
  EXPECT_EQ(Engine.InterMatrix.get()[0], 7);
  EXPECT_EQ(Engine.InterMatrix.get()[1], 0);
  EXPECT_EQ(Engine.InterMatrix.get()[2], 1);
  EXPECT_EQ(Engine.InterMatrix.get()[63], 62);

  // A syntax error keeps the matrix set before.
  const std::string short63 = mftest::MatrixText(63);
  EXPECT_EQ(Raised([&] { Engine.SetOption("intra_matrix", short63); }),
            "Syntax error in matrix \"" + short63 + "\" at coeff 62");
  EXPECT_EQ(Raised([&] { Engine.SetIntraMatrix("16"); }), "Syntax error in matrix \"16\" at coeff 0");
  EXPECT_EQ(Engine.IntraMatrix.get()[63], 64);
}

// ---- Everything else -----------------------------------------------------------------------

TEST_F(EngineTest, PassAndStatistics) {
  EXPECT_EQ(Raised([&] { Engine.SetOption("pass", "3"); }), "pass number can be only 1 or 2");
  EXPECT_EQ(Raised([&] { Engine.SetOption("pass", "0"); }), "pass number can be only 1 or 2");
  EXPECT_EQ(Engine.Pass, 0);
  Engine.SetOption("pass", "2");
  EXPECT_EQ(Engine.Pass, 2);

  Engine.SetOption("passlogfile", "first");
  EXPECT_EQ(Engine.PassLogFileName, "first");
  Engine.SetOption("passlogfile", "");
  EXPECT_EQ(Engine.PassLogFileName, "");

  Engine.SetOption("vstats", "");
  ASSERT_TRUE(Engine.VstatsFileName);
  const std::string binFolder = std::string(MF_BIN_DIR) + "/";
  EXPECT_TRUE(std::regex_match(Engine.VstatsFileName.get(), std::regex(binFolder + "vstats_[0-2][0-9][0-5][0-9][0-5][0-9]\\.log")))
      << Engine.VstatsFileName.get();
  Engine.SetOption("vstats_file", "/tmp/mine.log");
  EXPECT_STREQ(Engine.VstatsFileName.get(), "/tmp/mine.log");
}

TEST_F(EngineTest, VerbositySetsTheProcessWideLevel) {
  Engine.SetOption("v", "2");
  EXPECT_EQ(Engine.Verbosity, 2);
  EXPECT_EQ(mf::LibraryLogLevel, 2);
  EXPECT_EQ(ff::av_log_get_level(), AV_LOG_DEBUG);
  Engine.SetOption("v", "-1");
  EXPECT_EQ(mf::LibraryLogLevel, -1);
  EXPECT_EQ(ff::av_log_get_level(), AV_LOG_QUIET);
}

// The preset itself belongs to output creation; the option only decides target and norm.
class TargetRecorder : public mf::TCustomFFmpeg {
 public:
  void ApplyTargetPreset(const std::string& target, const std::string& norm, const std::string& fallback) override {
    Calls.push_back(target + "|" + norm + "|" + fallback);
  }
  std::vector<std::string> Calls;
};

TEST_F(EngineTest, TargetSplitsTheNormPrefix) {
  TargetRecorder engine;
  engine.ResetOptions();
  for (const char* text : {"pal-dvd", "ntsc-vcd", "film-svcd", "  vcd  ", "PAL-dvd", "pal-", ""}) engine.SetOption("target", text);
  EXPECT_EQ(engine.Calls, (std::vector<std::string>{"dvd|pal|ntsc", "vcd|ntsc|ntsc", "svcd|film|ntsc", "vcd|auto|ntsc",
                                                    "PAL-dvd|auto|ntsc", "|pal|ntsc"}));
}

TEST_F(EngineTest, IgnoredRejectedAndOutputBoundRows) {
  CaptureLog();
  for (const char* name : {"L", "h", "version", "formats", "i", "y", "benchmark", "apre", "vpre", "spre"}) {
    SCOPED_TRACE(name);
    Log.clear();
    Engine.SetOption(name, "anything");
    ASSERT_EQ(Log.size(), 1u);
    EXPECT_EQ(Log[0].Text, std::string("Do nothing: option - ") + name);
    EXPECT_EQ(Log[0].Level, 1);
  }
  for (const char* name : {"threads", "absf", "vbsf", "sbsf"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Raised([&] { Engine.SetOption(name, "2"); }), std::string("TODO: option - ") + name);
  }
  for (const char* name : {"newvideo", "newaudio", "newsubtitle"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Raised([&] { Engine.SetOption(name, ""); }), "At least one output file must be specified");
  }
  EXPECT_TRUE(Engine.OptionNames.empty());
}

// Names are compared exactly; what neither the table nor a library context knows leaves no trace.
TEST_F(EngineTest, UnknownNamesChangeNothingAndSayNothing) {
  CaptureLog();
  mftest::TLibraryLogCapture libraryLog;
  for (const char* name : {"no_such_option", "VCODEC", "Croptop", "-vcodec", " s", ""}) {
    SCOPED_TRACE(name);
    Engine.SetOption(name, "12");
  }
  EXPECT_TRUE(Log.empty());
  EXPECT_TRUE(libraryLog.Texts().empty());
  EXPECT_TRUE(Engine.OptionNames.empty());
  EXPECT_FALSE(Engine.VideoCodecName);
  EXPECT_EQ(Engine.CropTop, 0);
  EXPECT_EQ(Engine.FrameWidth, 0);
}

TEST_F(EngineTest, NumberArgumentsUseTheRuntimeConversions) {
  const struct {
    const char* Name;
    const char* Value;
    const char* Error;
  } cases[] = {
      {"croptop", "ten", "'ten' is not a valid integer value"},
      {"vframes", "1.5", "'1.5' is not a valid integer value"},
      {"fs", "", "'' is not a valid integer value"},
      {"qscale", "1,5", "'1,5' is not a valid floating point value"},
      {"muxdelay", "soon", "'soon' is not a valid floating point value"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(RaisedMessage<mf::TConvertError>([&] { Engine.SetOption(c.Name, c.Value); }), c.Error);
  }
  Engine.SetOption("vframes", "$10");
  EXPECT_EQ(Engine.MaxFrames[AVMEDIA_TYPE_VIDEO], 16);
}

// Every row that names a field reaches that field, unchecked.
TEST_F(EngineTest, FieldRowsReachTheirFields) {
  const struct {
    const char* Name;
    const char* Value;
    std::function<bool()> Holds;
  } cases[] = {
      {"fs", "5000000000", [&] { return Engine.LimitFileSize == 5000000000; }},
      {"dframes", "3", [&] { return Engine.MaxFrames[AVMEDIA_TYPE_DATA] == 3; }},
      {"vframes", "4", [&] { return Engine.MaxFrames[AVMEDIA_TYPE_VIDEO] == 4; }},
      {"aframes", "5", [&] { return Engine.MaxFrames[AVMEDIA_TYPE_AUDIO] == 5; }},
      {"dump", "", [&] { return Engine.PacketDump == 1; }},
      {"hex", "", [&] { return Engine.HexDump == 1; }},
      {"re", "", [&] { return Engine.RateEmulation == 1; }},
      {"loop_input", "", [&] { return Engine.LoopInput == 1; }},
      {"loop_output", "3", [&] { return Engine.LoopOutput == 3; }},
      {"vsync", "2", [&] { return Engine.VideoSyncMethod == 2; }},
      {"async", "-5", [&] { return Engine.AudioSyncMethod == -5; }},
      {"adrift_threshold", "0.25", [&] { return Engine.AudioDriftThreshold == 0.25f; }},
      {"vglobal", "2", [&] { return Engine.VideoGlobalHeader == 2; }},
      {"copyts", "", [&] { return Engine.CopyTimestamps; }},
      {"shortest", "", [&] { return Engine.Shortest == 1; }},
      {"dts_delta_threshold", "5", [&] { return Engine.DtsDeltaThreshold == 5.0f; }},
      {"programid", "-3", [&] { return Engine.ProgramId == -3; }},
      {"intra", "", [&] { return Engine.IntraOnly == 1; }},
      {"vn", "", [&] { return Engine.VideoDisable == 1; }},
      {"vdt", "48", [&] { return Engine.VideoDiscard == 48; }},
      {"rc_override", "0,100,-50", [&] { return std::string(Engine.VideoRcOverride.get()) == "0,100,-50"; }},
      {"rc_override", "", [&] { return std::string(Engine.VideoRcOverride.get()) == "0,100,-50"; }},
      {"me_threshold", "7", [&] { return Engine.MeThreshold == 7; }},
      {"sameq", "", [&] { return Engine.SameQuality == 1; }},
      {"deinterlace", "", [&] { return Engine.Deinterlace == 1; }},
      {"psnr", "", [&] { return Engine.Psnr == 1; }},
      {"top", "0", [&] { return Engine.TopFieldFirst == 0; }},
      {"dc", "10", [&] { return Engine.IntraDcPrecision == 10; }},
      {"qphist", "", [&] { return Engine.QpHistogram == 1; }},
      {"aq", "2.5", [&] { return Engine.AudioQScale == 2.5f; }},
      {"ar", "22050", [&] { return Engine.AudioSampleRate == 22050; }},
      {"ar", "0", [&] { return Engine.AudioSampleRate == 22050; }},
      {"ac", "1", [&] { return Engine.AudioChannels == 1; }},
      {"ac", "-1", [&] { return Engine.AudioChannels == 1; }},
      {"an", "", [&] { return Engine.AudioDisable == 1; }},
      {"vol", "512", [&] { return Engine.AudioVolume == 512; }},
      {"alang", "eng", [&] { return Engine.AudioLanguage == "eng"; }},
      {"alang", "", [&] { return Engine.AudioLanguage.empty(); }},
      {"sn", "", [&] { return Engine.SubtitleDisable == 1; }},
      {"slang", "deu", [&] { return Engine.SubtitleLanguage == "deu"; }},
      {"vc", "2", [&] { return Engine.VideoChannel == 2; }},
      {"tvstd", "pal", [&] { return std::string(Engine.VideoStandard.get()) == "pal"; }},
      {"isync", "", [&] { return Engine.InputSync == 1; }},
      {"muxdelay", "-0.3", [&] { return Engine.MuxMaxDelay == -0.3f; }},
      {"muxpreload", "0.2", [&] { return Engine.MuxPreload == 0.2f; }},
      {"title", "T", [&] { return Engine.Title == "T"; }},
      {"title", "", [&] { return Engine.Title == "T"; }},
      {"author", "A", [&] { return Engine.Author == "A"; }},
      {"copyright", "C", [&] { return Engine.Copyright == "C"; }},
      {"comment", "N", [&] { return Engine.Comment == "N"; }},
      {"genre", "G", [&] { return Engine.Genre == "G"; }},
      {"album", "L", [&] { return Engine.Album == "L"; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + "=" + c.Value);
    Engine.SetOption(c.Name, c.Value);
    EXPECT_TRUE(c.Holds());
  }
}

// The setters the component calls directly check what the option rows leave unchecked.
TEST_F(EngineTest, DirectSettersStoreOnlyMeaningfulValues) {
  Engine.SetRecordingTimeMs(0);
  Engine.SetStartTimeUs(0);
  Engine.SetProgramId(-1);
  Engine.SetAudioVolume(-1);
  Engine.SetMuxMaxDelay(0);
  Engine.SetMuxPreload(-1);
  Engine.SetYear(0);
  Engine.SetTrack(-2);
  EXPECT_EQ(Engine.RecordingTime, INT64_MAX);
  EXPECT_EQ(Engine.TotalOutputDurationMs, -1);
  EXPECT_EQ(Engine.StartTime, 0);
  EXPECT_EQ(Engine.ProgramId, 0);
  EXPECT_EQ(Engine.AudioVolume, 256);
  EXPECT_EQ(Engine.MuxMaxDelay, 0.7f);
  EXPECT_EQ(Engine.MuxPreload, 0.5f);
  EXPECT_EQ(Engine.Year + Engine.Track, 0);

  Engine.SetRecordingTimeMs(60000);
  Engine.SetStartTimeUs(1500000);
  Engine.SetProgramId(0);
  Engine.SetYear(2007);
  Engine.SetTrack(3);
  EXPECT_EQ(Engine.RecordingTime, 60000000);
  EXPECT_EQ(Engine.TotalOutputDurationMs, 60000);
  EXPECT_EQ(Engine.StartTime, 1500000);
  EXPECT_EQ(Engine.Year, 2007);
  EXPECT_EQ(Engine.Track, 3);

  Engine.SetHookTimeRanges({{5000000, 10000000}, {0, 2000000}, {-1000, 2000000}});
  ASSERT_EQ(Engine.HookRangeCount, 3);
  EXPECT_EQ(Engine.HookRangeCursor, 0);
  EXPECT_EQ(Engine.HookTimeRanges[0].Start, 0);  // equal ends keep their order
  EXPECT_EQ(Engine.HookTimeRanges[1].Start, -1000);
  EXPECT_EQ(Engine.HookTimeRanges[2].End, 10000000);
}

}  // namespace
