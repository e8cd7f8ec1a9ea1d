#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

#include "CodecLibraries.h"
#include "LogRouting.h"
#include "MediaConverter.h"
#include "MediaFixtures.h"
#include "TaskThreads.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct TEnd {
  int Index;
  bool Finished, Exception;
  std::string Message;
  unsigned Thread;
};

// A component with its events recorded, and a main-thread queue the test pumps.
class MediaConverterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    mf::TMediaConverter loader;
    ASSERT_TRUE(loader.LoadCodecLibraries(MF_LIB_DIR, true)) << loader.LastError;
  }
  void SetUp() override {
    Converter.OnTerminate = [this](int index, bool finished, bool exception, const std::string& message) {
      std::lock_guard<std::mutex> lock(EventsLock);
      Ends.push_back({index, finished, exception, message, mf::CurrentThreadId()});
      EventsChanged.notify_all();
    };
    Converter.OnProgress = [this](int index, int, int, int duration, float, float, int64_t, int total) {
      std::lock_guard<std::mutex> lock(EventsLock);
      Progress.emplace_back(index, duration, total);
    };
    Converter.RunOnMainThreadLater = [this](int delayMs, std::function<void()> work) {
      std::lock_guard<std::mutex> lock(EventsLock);
      MainQueue.push_back({std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs), std::move(work)});
    };
  }
  static std::string Clip(double seconds = 1) {
    const std::string name = "component-clip-" + std::to_string(static_cast<int>(seconds * 10)) + ".mp4";
    return mftest::MakeMedia(name, "-f lavfi -i testsrc=size=160x120:rate=25:duration=" + std::to_string(seconds) +
                                       " -f lavfi -i sine=duration=" + std::to_string(seconds) +
                                       " -c:v mpeg4 -c:a aac -shortest");
  }
  std::string Output(const std::string& name) {
    const std::string path = mftest::DataDir() + "/" + name;
    fs::remove(path);
    return path;
  }
  int Register(const std::string& output, mf::TOutputOptions* options = nullptr) {
    const int index = Converter.RegisterTask(Clip(), nullptr);
    EXPECT_GE(index, 0) << Converter.LastError;
    EXPECT_TRUE(Converter.AssignTaskOutput(index, output, options)) << Converter.LastError;
    return index;
  }
  // Waits for count end reports, running what the component put on the main thread.
  bool WaitForEnds(size_t count, std::chrono::seconds limit = 60s) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
      std::function<void()> work;
      {
        std::unique_lock<std::mutex> lock(EventsLock);
        if (Ends.size() >= count) return true;
        if (!MainQueue.empty() && MainQueue.front().first <= std::chrono::steady_clock::now()) {
          work = std::move(MainQueue.front().second);
          MainQueue.pop_front();
        } else {
          EventsChanged.wait_for(lock, 5ms);
        }
      }
      if (work) work();
    }
    return false;
  }

  mf::TMediaConverter Converter;
  std::mutex EventsLock;
  std::condition_variable EventsChanged;
  std::vector<TEnd> Ends;
  std::vector<std::tuple<int, int, int>> Progress;
  std::deque<std::pair<std::chrono::steady_clock::time_point, std::function<void()>>> MainQueue;
};

TEST_F(MediaConverterTest, PropertiesAndEmptyRuns) {
  const struct {
    int Set, Stored;
  } intervals[] = {{50, 100}, {100, 100}, {101, 101}};
  for (const auto& c : intervals) {
    Converter.SetProgressInterval(c.Set);
    EXPECT_EQ(Converter.ProgressInterval(), c.Stored);
  }
  EXPECT_STREQ(mf::TMediaConverter::Version, "2.0b");
  Converter.RunTasks(1);
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(Ends.empty()) << "no task, no report";
  EXPECT_TRUE(Converter.LoadCodecLibraries("/no/such/folder", true)) << "a second load returns at once";
}

TEST_F(MediaConverterTest, ConvertsOneFileAndReportsItsEnd) {
  const std::string output = Output("component-one.mp4");
  mf::TInputOptions input;
  input.Reset();
  mf::TOutputOptions options;
  options.Reset();
  options.AudioCodec = "libfaac";
  options.FrameSize = "176x144";
  options.VideoCodec = "mpeg4";
  options.VideoBitrate = 300000;
  Converter.SetProgressInterval(100);
  const int index = Converter.RegisterTask(Clip(2), &input);
  ASSERT_EQ(index, 0) << Converter.LastError;
  EXPECT_EQ(input.FileName, Clip(2)) << "an empty file name is filled in";
  ASSERT_TRUE(Converter.AssignTaskOutput(index, output, &options)) << Converter.LastError;
  EXPECT_EQ(options.FileName, output);
  Converter.RunTasks(1);
  ASSERT_TRUE(WaitForEnds(2));
  ASSERT_EQ(Ends.size(), 2u);
  EXPECT_EQ(Ends[0].Index, 0);
  EXPECT_TRUE(Ends[0].Finished);
  EXPECT_FALSE(Ends[0].Exception) << Ends[0].Message;
  EXPECT_NE(Ends[0].Thread, mf::CurrentThreadId());
  EXPECT_EQ(Ends[1].Index, -1);
  EXPECT_TRUE(Ends[1].Finished);
  ASSERT_FALSE(Progress.empty());
  int last = -1;
  for (const auto& [task, duration, total] : Progress) {
    EXPECT_EQ(task, 0);
    EXPECT_GE(duration, last) << "durations rise";
    EXPECT_NEAR(total, 2000, 100);
    last = duration;
  }
  const mftest::TProbe probe = mftest::Probe(output);
  ASSERT_TRUE(probe.Ok);
  EXPECT_EQ(probe.StreamOf("video").at("width"), "176");
  EXPECT_EQ(probe.StreamOf("audio").at("codec_name"), "aac");
  EXPECT_NEAR(probe.Duration(), 2.0, 0.1);
}

TEST_F(MediaConverterTest, OnTheMainThreadOneAfterAnother) {
  for (int i = 0; i < 3; ++i) Register(Output("component-main-" + std::to_string(i) + ".wav"));
  Converter.RunTasks(0);
  EXPECT_TRUE(Ends.empty()) << "the first start comes 100 ms later";
  ASSERT_TRUE(WaitForEnds(4));
  std::vector<int> order;
  for (const TEnd& end : Ends) {
    order.push_back(end.Index);
    EXPECT_EQ(end.Thread, mf::CurrentThreadId());
  }
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, -1}));
}

TEST_F(MediaConverterTest, TwoAtATimeThirdOnTheThreadThatEndedFirst) {
  for (int i = 0; i < 3; ++i) Register(Output("component-two-" + std::to_string(i) + ".wav"));
  Converter.RunTasks(2);
  ASSERT_TRUE(WaitForEnds(4));
  ASSERT_EQ(Ends.size(), 4u);
  EXPECT_EQ(Ends.back().Index, -1);
  int ended = 0;
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Ends[static_cast<size_t>(i)].Finished);
    ended |= 1 << Ends[static_cast<size_t>(i)].Index;
  }
  EXPECT_EQ(ended, 7);
  for (int i = 0; i < 3; ++i) {
    const mftest::TProbe probe = mftest::Probe(mftest::DataDir() + "/component-two-" + std::to_string(i) + ".wav");
    EXPECT_NEAR(probe.Duration(), 1.0, 0.05);
  }
}

TEST_F(MediaConverterTest, FailuresLeaveTheListAsItWas) {
  const std::string missing = mftest::DataDir() + "/no-such-input.mp4";
  EXPECT_EQ(Converter.RegisterTask(missing, nullptr), -1);
  EXPECT_EQ(Converter.LastError, missing + ": no such file or directory");
  EXPECT_EQ(Converter.Tasks.Count(), 0);
  mf::TInputOptions badFormat;
  badFormat.Reset();
  badFormat.FileFormat = "nosuchformat";
  EXPECT_EQ(Converter.RegisterTask(Clip(), &badFormat), -1);
  EXPECT_EQ(Converter.LastError, "Unknown input format: nosuchformat");
  const int index = Converter.RegisterTask(Clip(), nullptr);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(Converter.LastError, "Unknown input format: nosuchformat") << "a success does not clear it";
  EXPECT_FALSE(Converter.AssignTaskOutput(5, Output("component-x.mp4"), nullptr));
  EXPECT_FALSE(Converter.LastError.empty());
  EXPECT_FALSE(Converter.AssignTaskOutput(index, "/no/such/folder/out.mp4", nullptr));
  EXPECT_EQ(Converter.LastError, "Could not open '/no/such/folder/out.mp4'");
  EXPECT_EQ(Converter.Tasks.Count(), 1) << "the task stays; the caller drops it";
  Converter.DropTask(7);
  EXPECT_EQ(Converter.Tasks.Count(), 1);
  Converter.DropAllTasks();
  EXPECT_EQ(Converter.Tasks.Count(), 0);
  EXPECT_EQ(Converter.LastError, "");
}

TEST_F(MediaConverterTest, DropTaskRenumbers) {
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Converter.RegisterTask(Clip(), nullptr), i);
  Converter.DropTask(0);
  ASSERT_EQ(Converter.Tasks.Count(), 2);
  EXPECT_EQ(Converter.Tasks.Items(0)->Index, 0);
  EXPECT_EQ(Converter.Tasks.Items(1)->Index, 1);
}

TEST_F(MediaConverterTest, HaltWithOneRunningAndTwoPending) {
  mf::TOutputOptions slow;
  slow.Reset();
  slow.VideoCodec = "libx264";
  Register(Output("component-halt-0.mp4"), &slow);
  Register(Output("component-halt-1.mp4"));
  Register(Output("component-halt-2.mp4"));
  Converter.RunTasks(1);
  Converter.HaltAllTasks();
  ASSERT_TRUE(WaitForEnds(4));
  ASSERT_EQ(Ends.size(), 4u);
  EXPECT_EQ(Ends.back().Index, -1) << "the all-ended notice comes last";
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_FALSE(Ends[i].Finished);
    EXPECT_FALSE(Ends[i].Exception) << Ends[i].Message;
  }
}

// The library explains a refusal only in its log: the reason reaches the task's end report
// even when the log shows nothing, and the next task does not inherit it.
TEST_F(MediaConverterTest, ALibraryRefusalReportsTheLibrarysReason) {
  const struct {
    const char* Name;
    void (*Choose)(mf::TOutputOptions&);
    const char* Output;
    const char* Message;  // the first words
    const char* Reason;   // the library's, in part
  } cases[] = {
      {"an encoder's", [](mf::TOutputOptions& o) { o.DisableVideo = true; o.AudioCodec = "wmav2"; o.AudioBitrate = 128; },
       "component-refused.wma",
       "Error while opening codec for output stream #0.0 - maybe incorrect parameters such as bit_rate, rate, width or "
       "height (",
       "bitrate too low"},
      {"a muxer's", [](mf::TOutputOptions& o) { o.DisableVideo = true; o.FileFormat = "psp"; }, "component-refused.mp4",
       "Could not write header for output file #0 (incorrect codec parameters ?) (", "one video and one audio stream"},
  };
  Converter.SetLogLevel(mf::llQuiet);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Ends.clear();
    mf::TOutputOptions refused;
    refused.Reset();
    c.Choose(refused);
    const std::string refusedOutput = Output(c.Output);
    const int refusedIndex = Register(refusedOutput, &refused);
    const int nextIndex = Register(Output("component-after-refusal.wav"));
    Converter.RunTasks(1);
    ASSERT_TRUE(WaitForEnds(3));
    ASSERT_EQ(Ends[0].Index, refusedIndex);
    EXPECT_TRUE(Ends[0].Exception);
    EXPECT_EQ(Ends[0].Message.rfind(c.Message, 0), 0u) << Ends[0].Message;
    EXPECT_NE(Ends[0].Message.find(c.Reason), std::string::npos) << Ends[0].Message;
    EXPECT_FALSE(fs::exists(refusedOutput));
    ASSERT_EQ(Ends[1].Index, nextIndex);
    EXPECT_FALSE(Ends[1].Exception) << Ends[1].Message;
    EXPECT_EQ(Ends[1].Message.find('('), std::string::npos) << Ends[1].Message;
    Converter.DropAllTasks();
  }
}

// The failed task's output stops in the middle: it is not left to pass for a result.
TEST_F(MediaConverterTest, AHandlerThatRaisesFailsItsTask) {
  const std::string output = Output("component-raise.wav");
  Register(output);
  Converter.OnProgress = [](int, int, int, int, float, float, int64_t, int) { throw std::runtime_error("handler broke"); };
  Converter.SetProgressInterval(100);
  Converter.RunTasks(1);
  ASSERT_TRUE(WaitForEnds(2));
  EXPECT_TRUE(Ends[0].Exception);
  EXPECT_EQ(Ends[0].Message, "handler broke");
  EXPECT_FALSE(fs::exists(output));
}

TEST_F(MediaConverterTest, DroppingEveryTaskFromTheAllEndedNotice) {
  Register(Output("component-drop-0.wav"));
  Register(Output("component-drop-1.wav"));
  Converter.OnTerminate = [this](int index, bool finished, bool exception, const std::string& message) {
    if (index == -1) Converter.DropAllTasks();
    std::lock_guard<std::mutex> lock(EventsLock);
    Ends.push_back({index, finished, exception, message, mf::CurrentThreadId()});
  };
  Converter.RunTasks(2);
  ASSERT_TRUE(WaitForEnds(3));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(Converter.Tasks.Count(), 0);
}

TEST_F(MediaConverterTest, LibraryLinesReachEveryComponentWhole) {
  mf::TMediaConverter second;
  std::vector<std::pair<int, std::string>> first, other;
  Converter.OnLog = [&](int index, mf::TLogLevel, const std::string& text) { first.emplace_back(index, text); };
  second.OnLog = [&](int index, mf::TLogLevel, const std::string& text) { other.emplace_back(index, text); };
  mf::LibraryLogLevel = 1;
  AVFormatContext* context = ff::avformat_alloc_context();
  ff::av_log(context, AV_LOG_INFO, "half a ");
  EXPECT_TRUE(first.empty()) << "nothing before the line feed";
  ff::av_log(context, AV_LOG_INFO, "line\nand the next\n");
  ff::av_log(nullptr, AV_LOG_DEBUG, "filtered out\n");
  ff::avformat_free_context(context);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0].first, -1);
  EXPECT_EQ(first[0].second.rfind("[NULL @ ", 0), 0u) << first[0].second;
  EXPECT_NE(first[0].second.find("]half a line"), std::string::npos) << first[0].second;
  EXPECT_EQ(first[1].second, "and the next") << "the tag only starts a line";
  EXPECT_EQ(other, first);
}

TEST_F(MediaConverterTest, TooLongALineIsCut) {
  std::vector<std::string> lines;
  Converter.OnLog = [&](int, mf::TLogLevel, const std::string& text) { lines.push_back(text); };
  mf::LibraryLogLevel = 1;
  const std::string big(5000, 'x');
  ff::av_log(nullptr, AV_LOG_INFO, "%s\n", big.c_str());
  ff::av_log(nullptr, AV_LOG_INFO, "after\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(2047, 'x'));
  EXPECT_EQ(lines[1], "after");
}

}  // namespace

namespace {

TEST(MediaConverterWithoutLibraries, RegisteringFailsAndTouchesNothing) {
  mf::TMediaConverter converter;
  EXPECT_EQ(converter.RegisterTask("anything.mp4", nullptr), -1);
  EXPECT_EQ(converter.LastError, "The codec libraries are not loaded");
  EXPECT_EQ(converter.Tasks.Count(), 0);
  EXPECT_FALSE(converter.AssignTaskOutput(0, "out.mp4", nullptr));
  EXPECT_FALSE(converter.LastError.empty());
}

TEST_F(MediaConverterTest, DestroyingAComponentWaitsForItsRunningTasks) {
  std::atomic<int> ends{0};
  {
    mf::TMediaConverter converter;
    const int index = converter.RegisterTask(Clip(2), nullptr);
    ASSERT_GE(index, 0) << converter.LastError;
    ASSERT_TRUE(converter.AssignTaskOutput(index, Output("component-destroyed.mp4"), nullptr)) << converter.LastError;
    converter.OnTerminate = [&](int, bool, bool, const std::string&) { ++ends; };
    converter.RunTasks(1);
    std::this_thread::sleep_for(50ms);
  }
  // The task was stopped and its thread ended before the component (and its lock) went; the
  // events were detached first, so nothing reported into a component that was going.
  EXPECT_EQ(ends, 0);
  const mftest::TProbe probe = mftest::Probe(mftest::DataDir() + "/component-destroyed.mp4");
  EXPECT_TRUE(probe.Ok) << "the stopped output still has its trailer";
}

}  // namespace
