#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>

#include "EngineTestSupport.h"
#include "MediaFixtures.h"

namespace fs = std::filesystem;

namespace {

using namespace std::chrono_literals;

// One terminate report as the host sees it.
struct TReport {
  bool Finished = false;
  bool Exception = false;
  std::string Message;
  std::thread::id Thread;
};

class LifecycleTest : public mftest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    Engine.TerminateHandler = [this](mf::TCustomFFmpeg* sender) {
      std::lock_guard<std::mutex> lock(ReportsLock);
      Reports.push_back({sender->FinishedNormally, sender->ExceptionRaised, sender->ExceptionMessage,
                         std::this_thread::get_id()});
    };
  }
  static std::string LongClip() {
    return mftest::MakeMedia("lifecycle-long.mp4",
                             "-f lavfi -i testsrc=size=320x240:rate=25:duration=20 -f lavfi -i sine=duration=20 "
                             "-c:v mpeg4 -q:v 5 -c:a aac -shortest");
  }
  std::string Output(const std::string& name) {
    const std::string path = mftest::DataDir() + "/" + name;
    fs::remove(path);
    return path;
  }
  void Open(const std::string& output) {
    ASSERT_TRUE(Engine.OpenInputFile(LongClip())) << Engine.ErrorMessage;
    ASSERT_TRUE(Engine.OpenOutputFile(output)) << Engine.ErrorMessage;
  }
  std::vector<TReport> WaitForReports(size_t count) {
    for (int i = 0; i < 600; ++i) {
      {
        std::lock_guard<std::mutex> lock(ReportsLock);
        if (Reports.size() >= count) return Reports;
      }
      std::this_thread::sleep_for(10ms);
    }
    std::lock_guard<std::mutex> lock(ReportsLock);
    return Reports;
  }

  std::mutex ReportsLock;
  std::vector<TReport> Reports;
};

TEST_F(LifecycleTest, NoFilesEndsAtOnceWithTheReason) {
  const struct {
    const char* Name;
    bool WithOutput;
    const char* Message;
  } cases[] = {{"no output file", false, "Must supply at least one output file"},
               {"no input file", true, "Must supply at least one input file"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    Reports.clear();
    CaptureLog();
    Log.clear();
    if (c.WithOutput) {
      ASSERT_TRUE(Engine.OpenOutputFile(Output("lifecycle-noinput.mp4"))) << Engine.ErrorMessage;
    }
    EXPECT_EQ(Engine.Start(true, mf::tpNormal), nullptr) << "no thread is created";
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_TRUE(Reports[0].Exception);
    EXPECT_FALSE(Reports[0].Finished);
    EXPECT_EQ(Reports[0].Message, c.Message);
    ASSERT_FALSE(Log.empty());
    EXPECT_EQ(Log.back().Level, -1);
    EXPECT_EQ(Log.back().Text, c.Message);
    EXPECT_EQ(Engine.Start(true, mf::tpNormal), nullptr);
    EXPECT_EQ(Reports.size(), 1u) << "a terminated task is never started again";
  }
}

TEST_F(LifecycleTest, RunsOnItsThreadAndReportsOnce) {
  const std::string output = Output("lifecycle-run.mp4");
  Open(output);
  Engine.RecordingTime = 1000000;
  mf::TFFmpegThread* thread = Engine.Start(true, mf::tpLower);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(Engine.Start(true, mf::tpNormal), nullptr) << "a running task is not started twice";
  EXPECT_TRUE(Reports.empty()) << "the thread waits until it is resumed";
  thread->Resume();
  const auto reports = WaitForReports(1);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(reports[0].Finished);
  EXPECT_FALSE(reports[0].Exception) << reports[0].Message;
  EXPECT_NE(reports[0].Thread, std::this_thread::get_id());
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(WaitForReports(2).size(), 1u);
  const mftest::TProbe probe = mftest::Probe(output);
  ASSERT_TRUE(probe.Ok);
  EXPECT_NEAR(probe.Duration(), 1.0, 0.1);
}

TEST_F(LifecycleTest, HaltOfANeverStartedTaskReportsFromAnotherThread) {
  Open(Output("lifecycle-halt-unstarted.mp4"));
  Engine.Halt();
  const auto reports = WaitForReports(1);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_FALSE(reports[0].Finished);
  EXPECT_FALSE(reports[0].Exception);
  EXPECT_EQ(reports[0].Message, "");
  EXPECT_NE(reports[0].Thread, std::this_thread::get_id());
  EXPECT_EQ(Engine.Start(true, mf::tpNormal), nullptr);
  Engine.Halt();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(WaitForReports(2).size(), 1u);
}

TEST_F(LifecycleTest, PauseHoldsTheTaskAndStopWakesIt) {
  const std::string output = Output("lifecycle-paused.mp4");
  Open(output);
  std::atomic<int> progress{0};
  Engine.ReportInterval = 0;
  Engine.ProgressHandler = [&](mf::TCustomFFmpeg*, int, int, int, float, float, int64_t, int) { ++progress; };
  mf::TFFmpegThread* thread = Engine.Start(true, mf::tpNormal);
  ASSERT_NE(thread, nullptr);
  thread->Resume();
  while (progress < 3) std::this_thread::sleep_for(1ms);
  Engine.Pause();
  std::this_thread::sleep_for(100ms);
  const int held = progress;
  std::this_thread::sleep_for(200ms);
  EXPECT_LE(progress - held, 1) << "a paused task makes no progress";
  thread->Resume();
  std::this_thread::sleep_for(50ms);
  EXPECT_GT(progress, held) << "resumed where it paused";
  Engine.Pause();
  std::this_thread::sleep_for(50ms);
  Engine.Halt();  // a halted paused task wakes, sees the stop and finishes its file
  const auto reports = WaitForReports(1);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_FALSE(reports[0].Finished);
  EXPECT_FALSE(reports[0].Exception) << reports[0].Message;
  const mftest::TProbe probe = mftest::Probe(output);
  ASSERT_TRUE(probe.Ok) << "the stopped task's file has its trailer";
  EXPECT_GT(probe.Duration(), 0.0);
  EXPECT_LT(probe.Duration(), 19.0);
}

TEST_F(LifecycleTest, ExceptionInsideTheRunIsReportedOnce) {
  const std::string output = Output("lifecycle-failing.mp4");
  CaptureLog();
  // A copied audio stream cannot change its volume: preparation fails inside the run.
  ASSERT_TRUE(Engine.OpenInputFile(LongClip())) << Engine.ErrorMessage;
  Engine.SetOption("acodec", "copy");
  Engine.SetOption("vol", "512");
  ASSERT_TRUE(Engine.OpenOutputFile(output)) << Engine.ErrorMessage;
  EXPECT_EQ(Engine.Start(false, mf::tpNormal), nullptr);
  ASSERT_EQ(Reports.size(), 1u);
  EXPECT_TRUE(Reports[0].Exception);
  EXPECT_FALSE(Reports[0].Finished);
  EXPECT_EQ(Reports[0].Message, "-acodec copy and -vol are incompatible (frames are not decoded)");
  EXPECT_EQ(Reports[0].Thread, std::this_thread::get_id()) << "without a thread the caller's thread runs it";
  EXPECT_EQ(Log.back().Level, -1);
  EXPECT_FALSE(fs::exists(output)) << "the output stayed empty and is not left behind";
}

TEST_F(LifecycleTest, DestroyingARunningTaskWaitsForItsThread) {
  std::atomic<int> reports{0};
  {
    mf::TCustomFFmpeg engine;
    engine.ResetOptions();
    ASSERT_TRUE(engine.OpenInputFile(LongClip())) << engine.ErrorMessage;
    ASSERT_TRUE(engine.OpenOutputFile(Output("lifecycle-destroyed.mp4"))) << engine.ErrorMessage;
    engine.TerminateHandler = [&](mf::TCustomFFmpeg*) { ++reports; };
    mf::TFFmpegThread* thread = engine.Start(true, mf::tpNormal);
    ASSERT_NE(thread, nullptr);
    thread->Resume();
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_EQ(reports, 1) << "the thread ended and reported before the engine went";
}

}  // namespace
