#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

#include "CodecLibraries.h"
#include "TaskOptionApply.h"

namespace {

class TaskOptionApplyTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(mf::BindCodecLibraries(MF_LIB_DIR, true)) << mf::CodecLibraryError(); }
  void SetUp() override {
    Engine.ResetOptions();
    Engine.CustomHookHandler = nullptr;
    Engine.BeforeHookHandler = nullptr;
    Input.Reset();
    Output.Reset();
  }
  void ApplyOutput() { mf::ApplyOutputOptions(Engine, Output, CustomHook, BeforeHook); }
  std::string Raised(const std::function<void()>& action) {
    try {
      action();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "";
  }

  mf::TCustomFFmpeg Engine;
  mf::TInputOptions Input;
  mf::TOutputOptions Output;
  mf::TCustomHookHandler CustomHook = [](mf::TCustomFFmpeg*, mf::THookBitmap&, int, int64_t, bool&, bool&) {};
  mf::TBeforeHookHandler BeforeHook = [](mf::TCustomFFmpeg*, int64_t, mf::THookAction&) {};
};

TEST_F(TaskOptionApplyTest, InputStartTimeAndProgram) {
  const struct {
    int StartMs, ProgramId;
    int64_t StartUs;
    int Program;
  } cases[] = {{-1, -1, 0, 0}, {0, 0, 0, 0}, {1500, 3, 1500000, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.StartMs);
    Engine.ResetOptions();
    Input.StartTime = c.StartMs;
    Input.ProgramId = c.ProgramId;
    mf::ApplyInputOptions(Engine, Input);
    EXPECT_EQ(Engine.StartTime, c.StartUs);
    EXPECT_EQ(Engine.ProgramId, c.Program);
  }
  Input.FileFormat = "nosuchformat";
  EXPECT_EQ(Raised([&] { mf::ApplyInputOptions(Engine, Input); }), "Unknown input format: nosuchformat");
}

TEST_F(TaskOptionApplyTest, RecordFieldsOverrideTheExtraText) {
  Output.ExtOptions = "alang=fre\nvsync=2\r\nasync=5\nvb=800000\ncopyts=1";
  Output.VideoBitrate = 500000;
  ApplyOutput();
  EXPECT_EQ(Engine.AudioLanguage, "") << "the always-written fields come after the text";
  EXPECT_EQ(Engine.VideoSyncMethod, -1);
  EXPECT_EQ(Engine.AudioSyncMethod, 0);
  EXPECT_FALSE(Engine.CopyTimestamps);
  EXPECT_EQ(Engine.CodecOptionContexts[AVMEDIA_TYPE_VIDEO]->bit_rate, 500000);
}

TEST_F(TaskOptionApplyTest, FieldsAtTheirDefaultsSetNothingButTheAlwaysWrittenOnes) {
  ApplyOutput();
  EXPECT_EQ(Engine.RecordingTime, INT64_MAX);
  EXPECT_EQ(Engine.TotalOutputDurationMs, -1);
  EXPECT_EQ(Engine.RecordTimestamp, 0);
  EXPECT_EQ(Engine.AudioVolume, 256);
  EXPECT_EQ(Engine.AudioCodecTag, 0u);
  // Black written as the record gives it, not the engine's own default black.
  EXPECT_EQ(Engine.PadColor, (std::array<int, 3>{0, 128, 128}));
}

TEST_F(TaskOptionApplyTest, RecordingTimeTimestampAndTags) {
  Output.RecordingTime = 60000;
  Output.AudioTag = "mp4a";
  std::strcpy(Output.Title.data(), "A title");
  std::strcpy(Output.Genre.data(), "Speech");
  Output.Year = 2026;
  Output.Timestamp = 0.0;
  const int64_t before = std::time(nullptr);
  ApplyOutput();
  EXPECT_EQ(Engine.RecordingTime, 60000000);
  EXPECT_EQ(Engine.TotalOutputDurationMs, 60000);
  EXPECT_EQ(Engine.AudioCodecTag, 0x6134706du);
  EXPECT_EQ(Engine.Title, "A title");
  EXPECT_EQ(Engine.Genre, "Speech");
  EXPECT_EQ(Engine.Year, 2026);
  EXPECT_NEAR(static_cast<double>(Engine.RecordTimestamp), static_cast<double>(before), 2.0) << "0 records now";

  SetUp();
  Output.Timestamp = 25569.5;  // 1970-01-01 12:00 local time
  setenv("TZ", "UTC", 1);
  tzset();
  ApplyOutput();
  EXPECT_EQ(Engine.RecordTimestamp, 43200);
}

TEST_F(TaskOptionApplyTest, FailureStopsTheRest) {
  const struct {
    const char* Name;
    std::function<void(mf::TOutputOptions&)> Set;
    std::string Message;
  } cases[] = {
      {"three-character audio tag", [](mf::TOutputOptions& o) { o.AudioTag = "mp4"; }, "audio tag parameter must be 4 chars"},
      {"five-character video tag", [](mf::TOutputOptions& o) { o.VideoTag = "xvid5"; }, "video tag parameter must be 4 chars"},
      {"odd crop", [](mf::TOutputOptions& o) { o.FrameSize = "320x240"; o.CropTop = 3; }, "Top crop size must be a multiple of 2"},
      {"unknown format", [](mf::TOutputOptions& o) { o.FileFormat = "nosuchformat"; }, "Unknown output format: nosuchformat"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    SetUp();
    c.Set(Output);
    Output.RecordingTime = 5000;
    EXPECT_EQ(Raised([&] { ApplyOutput(); }), c.Message);
    EXPECT_EQ(Engine.RecordingTime, INT64_MAX) << "nothing after the failing field is applied";
  }
}

TEST_F(TaskOptionApplyTest, DiscPresetComesLastWithItsNorm) {
  Output.FrameRate = "25";
  Output.FrameSize = "320x240";
  Output.Target = 3;
  Output.TargetNorm = 5;  // anything else: automatic
  ApplyOutput();
  EXPECT_EQ(Engine.FrameWidth, 720) << "the preset overrides the size field";
  EXPECT_EQ(Engine.FrameHeight, 576) << "25 fps is PAL";
  EXPECT_EQ(Engine.AudioSampleRate, 48000);
  ASSERT_NE(Engine.OutputFormat, nullptr);
  EXPECT_STREQ(Engine.OutputFormat->name, "dvd");
}

TEST_F(TaskOptionApplyTest, OneKindOfHook) {
  const struct {
    bool Custom, Before;
    const char* Ranges;
    bool HasCustom, HasBefore;
    int RangeCount;
  } cases[] = {
      {true, true, "0-1000", true, false, 0},
      {false, true, "0-1000", false, true, 0},
      {false, false, "5000-10000,0-2000", false, false, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Ranges);
    SetUp();
    Output.CustomHook = c.Custom;
    Output.BeforeHook = c.Before;
    Output.HookTimeRanges = c.Ranges;
    ApplyOutput();
    EXPECT_EQ(static_cast<bool>(Engine.CustomHookHandler), c.HasCustom);
    EXPECT_EQ(static_cast<bool>(Engine.BeforeHookHandler), c.HasBefore);
    EXPECT_EQ(Engine.HookRangeCount, c.RangeCount);
  }
  EXPECT_EQ(Engine.HookTimeRanges[0].End, 2000000) << "sorted by end";
}

}  // namespace
