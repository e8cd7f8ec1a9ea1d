// The main loop and its ends: limits, the shortest input, a stop request, progress reports,
// damaged inputs and outputs that cannot be written.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "TranscodeTestSupport.h"

namespace mftest {
namespace {

namespace fs = std::filesystem;

struct TReport {
  int FrameNumber;
  int Fps;
  int CurrentDurationMs;
  float Quality;
  float BitRate;
  int64_t CurrentSize;
  int TotalOutputDurationMs;
};

class LoopTest : public TranscodeTest {
 protected:
  void RecordReports() {
    Engine.ProgressHandler = [this](mf::TCustomFFmpeg* sender, int frameNumber, int fps, int currentDurationMs,
                                    float quality, float bitRate, int64_t currentSize, int totalOutputDurationMs) {
      EXPECT_EQ(sender, &Engine);
      Reports.push_back({frameNumber, fps, currentDurationMs, quality, bitRate, currentSize, totalOutputDurationMs});
    };
  }

  int CountLines(const std::string& prefix) {
    int count = 0;
    for (const TLogLine& line : Log) count += line.Text.rfind(prefix, 0) == 0;
    return count;
  }

  std::vector<TReport> Reports;
};

TEST_F(LoopTest, RecordingTimeEndsTheRunWithItsTrailer) {
  const std::string input = StereoWav("tone-44k-stereo-10s.wav", 44100, 10);
  const std::string output = OutputPath("five.m4a");
  ASSERT_EQ(Convert(input, {{"t", "5"}, {"acodec", "libfaac"}}, output), "");
  EXPECT_TRUE(Engine.FinishedNormally);
  ExpectNothingLeft();
  // Without its trailer an M4A file has no index and cannot be read at all.
  const TProbe out = Probe(output);
  ASSERT_TRUE(out.Ok);
  EXPECT_NEAR(out.Duration(), 5.0, 0.1);
}

TEST_F(LoopTest, ShortestEndsWithTheFirstInputToEnd) {
  const std::string longer = StereoWav("tone-44k-stereo-3s.wav", 44100, 3);
  const std::string shorter = StereoWav("tone-44k-stereo-1s.wav", 44100, 1);
  for (bool shortest : {false, true}) {
    SCOPED_TRACE(shortest ? "shortest" : "longest");
    Engine.ResetOptions();
    OpenInput(longer);
    OpenInput(shorter);
    if (shortest) Engine.SetOption("shortest", "");
    const std::string output = OutputPath(shortest ? "shortest.mkv" : "longest.mkv");
    SetOptions({{"acodec", "pcm_s16le"}});
    CreateOutput(output);
    SetOptions({{"acodec", "pcm_s16le"}});
    Engine.SetOption("newaudio", "");
    ASSERT_EQ(RunTranscode(), "");
    EXPECT_TRUE(Engine.FinishedNormally);
    const TProbe out = Probe(output);
    ASSERT_EQ(out.CountOf("audio"), 2);
    EXPECT_NEAR(out.Duration(), shortest ? 1.0 : 3.0, 0.1);
  }
}

TEST_F(LoopTest, AFrameLimitEndsTheRunAfterThatManyFrames) {
  const std::string output = OutputPath("ten.mkv");
  ASSERT_EQ(Convert(Tone3sMp3(), {{"acodec", "copy"}, {"aframes", "10"}}, output), "");
  EXPECT_TRUE(Engine.FinishedNormally);
  EXPECT_EQ(CountFrames(output, "audio"), 10);
}

TEST_F(LoopTest, AStopRequestStillDrainsAndWritesTheTrailer) {
  const std::string input = StereoWav("tone-44k-stereo-10s.wav", 44100, 10);
  const std::string output = OutputPath("stopped.m4a");
  OpenInput(input);
  SetOptions({{"acodec", "libfaac"}});
  CreateOutput(output);
  // Asked from the progress report, after a few packets.
  Engine.ReportInterval = 0;
  int reports = 0;
  Engine.ProgressHandler = [&](mf::TCustomFFmpeg* sender, int, int, int, float, float, int64_t, int) {
    if (++reports == 20) sender->StopRequested = true;
  };
  ASSERT_EQ(RunTranscode(), "");
  EXPECT_FALSE(Engine.FinishedNormally);
  ExpectNothingLeft();
  const TProbe out = Probe(output);
  ASSERT_TRUE(out.Ok);
  EXPECT_GT(out.Duration(), 0.1);
  EXPECT_LT(out.Duration(), 5.0);
  EXPECT_GT(CountFrames(output, "audio"), 0);
}

TEST_F(LoopTest, RateEmulationReadsTheInputNoFasterThanItPlays) {
  Engine.SetOption("re", "");
  OpenInput(StereoWav("tone-44k-stereo-1s.wav", 44100, 1));
  CreateOutput(OutputPath("paced.wav"));
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunTranscode(), "");
  // The last block is due at about 0.98 s and waits until it is at most 50 ms ahead of the clock.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
}

TEST_F(LoopTest, ProgressOfAnAudioOutputHasNoFramesAndTheTimeOfTheAudio) {
  // 8 s of 32768 Hz 16-bit stereo: 1048576 bytes of raw samples.
  const std::string input = StereoWav("tone-32k-stereo-8s.wav", 32768, 8);
  OpenInput(input);
  SetOptions({{"f", "s16le"}});
  CreateOutput(OutputPath("raw.pcm"));
  RecordReports();
  CaptureLog();
  // Before anything is written.
  Engine.PrepareTranscode();
  Engine.ReportProgress(false);
  Engine.ReleaseTranscodeState();
  ASSERT_EQ(Reports.size(), 1u);
  EXPECT_EQ(Reports[0].FrameNumber, -1);
  EXPECT_EQ(Reports[0].Fps, -1);
  EXPECT_EQ(Reports[0].Quality, -1.0f);
  EXPECT_EQ(Reports[0].CurrentDurationMs, 10);
  EXPECT_EQ(Reports[0].TotalOutputDurationMs, 8000);

  // The last report of the whole run.
  Engine.ResetOptions();
  Reports.clear();
  Engine.ReportInterval = 100000000;
  OpenInput(input);
  SetOptions({{"f", "s16le"}});
  CreateOutput(OutputPath("raw.pcm"));
  ASSERT_EQ(RunTranscode(), "");
  ASSERT_EQ(Reports.size(), 1u);
  const TReport& last = Reports.back();
  EXPECT_EQ(last.FrameNumber, -1);
  EXPECT_EQ(last.Fps, -1);
  EXPECT_EQ(last.Quality, -1.0f);
  EXPECT_EQ(last.CurrentSize, 1048576);
  EXPECT_EQ(last.CurrentDurationMs, 8000);
  EXPECT_EQ(last.BitRate, 1048.576f);
  // With a progress handler the line is not logged; the final statistics are.
  EXPECT_EQ(CountLines("size="), 0);
  EXPECT_EQ(CountLines("video:0kB audio:1024kB global headers:0kB muxing overhead 0.00%\r\n"), 1);
}

TEST_F(LoopTest, WithoutAProgressHandlerTheProgressLineIsLogged) {
  CaptureLog();
  Engine.ReportInterval = 100000000;
  ASSERT_EQ(Convert(StereoWav("tone-32k-stereo-8s.wav", 32768, 8), {{"f", "s16le"}}, OutputPath("raw.pcm")), "");
  ASSERT_EQ(CountLines("size="), 1);
  for (const TLogLine& line : Log) {
    if (line.Text.rfind("size=", 0) != 0) continue;
    EXPECT_EQ(line.Level, 1);
    EXPECT_EQ(line.Text, "size=    1024kB time=8.00 bitrate=1048.6kbits/s");
  }
}

TEST_F(LoopTest, ABackwardJumpOfTheInputClockIsFoldedIntoTheFileOffset) {
  // Two 2 s MPEG-TS pieces back to back, the first 30 s later on the clock than the second.
  const std::string later = MakeMedia("sine-mp2-at-30s.ts", "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=2 "
                                                            "-c:a mp2 -output_ts_offset 30");
  const std::string earlier =
      MakeMedia("sine-mp2.ts", "-f lavfi -i sine=frequency=660:sample_rate=44100:duration=2 -c:a mp2");
  const std::string input = DataDir() + "/jump-back.ts";
  {
    std::ofstream out(input, std::ios::binary);
    out << std::ifstream(later, std::ios::binary).rdbuf() << std::ifstream(earlier, std::ios::binary).rdbuf();
  }
  CaptureLog();
  const std::string output = OutputPath("joined.mkv");
  ASSERT_EQ(Convert(input, {{"acodec", "copy"}, {"v", "3"}}, output), "");
  const int64_t offsetBefore = Engine.InputFileTsOffsets[0];
  int corrections = 0;
  for (const TLogLine& line : Log) {
    long long delta = 0, offset = 0;
    if (std::sscanf(line.Text.c_str(), "timestamp discontinuity %lld, new offset= %lld", &delta, &offset) != 2) continue;
    ++corrections;
    EXPECT_EQ(line.Level, 1);
    // About 32 s back: the end of the first piece to the start of the second.
    EXPECT_NEAR(static_cast<double>(delta), -32e6, 0.2e6);
    EXPECT_EQ(offset, offsetBefore);
  }
  EXPECT_EQ(corrections, 1);
  // The second piece continues the first.
  const TProbe out = Probe(output);
  ASSERT_TRUE(out.Ok);
  EXPECT_NEAR(out.Duration(), 4.0, 0.1);
}

// A copy of a file with its middle overwritten by noise and its end cut off.
std::string DamagedCopy(const std::string& source, const std::string& name, unsigned pattern) {
  const std::string path = DataDir() + "/" + name;
  std::ifstream in(source, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::minstd_rand noise(pattern);
  const size_t size = bytes.size();
  for (size_t i = size / 4; i < size / 2; i += 97) {
    for (size_t j = i; j < i + 13 && j < size; ++j) bytes[j] = static_cast<char>(noise());
  }
  bytes.resize(size * 3 / 4);
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

TEST_F(LoopTest, DamagedInputsAreDecodedAsFarAsTheyGoAndFinished) {
  const std::string mkv = MakeMedia("testsrc-aac-3s.mkv",
                                    "-f lavfi -i testsrc=size=160x120:rate=25:duration=3 -f lavfi -i "
                                    "'aevalsrc=0.5*sin(440*2*PI*t):s=44100:d=3' -c:v mpeg4 -c:a aac -shortest");
  const struct {
    const char* Name;
    std::string Input;
    std::vector<std::pair<std::string, std::string>> Options;
    const char* Output;
    const char* DecodeError;
  } cases[] = {
      {"mp3 to wav", DamagedCopy(Tone3sMp3(), "damaged.mp3", 1), {}, "damaged-mp3.wav", "Error while decoding stream #0.0"},
      {"mkv audio to mp3", DamagedCopy(mkv, "damaged.mkv", 2), {{"vn", ""}, {"acodec", "libmp3lame"}}, "damaged-mkv.mp3",
       "Error while decoding stream #0.1"},
      {"mkv copied", DamagedCopy(mkv, "damaged-copy.mkv", 3), {{"vcodec", "copy"}, {"acodec", "copy"}}, "damaged-copy.mkv",
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    Log.clear();
    CaptureLog();
    const std::string output = OutputPath(c.Output);
    ASSERT_EQ(Convert(c.Input, c.Options, output), "");
    EXPECT_TRUE(Engine.FinishedNormally);
    ExpectNothingLeft();
    const TProbe out = Probe(output);
    ASSERT_TRUE(out.Ok);
    EXPECT_GT(out.Duration(), 0.5);
    // Packets that failed to decode were logged and skipped; copies are not decoded at all.
    if (c.DecodeError) {
      EXPECT_GT(CountLines(c.DecodeError), 0);
    } else {
      EXPECT_EQ(CountLines("Error while decoding"), 0);
    }
  }
}

TEST_F(LoopTest, AWriteErrorEndsTheRunWithTheWriteErrorText) {
  // Raw samples go to the device as they come: more than the writer's buffer fails on a
  // packet, less only when the trailer flushes it.
  const struct {
    const char* Name;
    std::string Input;
    const char* Message;
  } cases[] = {
      {"packet", Tone3sWav(),
       "av_interleaved_write_frame(): I/O error occurred\r\nUsually that means that input file is truncated and/or "
       "corrupted."},
      {"trailer", StereoWav("tone-44k-stereo-0.1s.wav", 44100, 0.1),
       "av_write_trailer(): I/O error occurred\r\nUsually that means that input file is truncated and/or corrupted."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    EXPECT_EQ(Convert(c.Input, {{"f", "s16le"}}, "/dev/full"), c.Message);
    EXPECT_FALSE(Engine.FinishedNormally);
    ExpectNothingLeft();
  }
}

}  // namespace
}  // namespace mftest
