#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include "AVProbe.h"
#include "CodecLibraries.h"
#include "FFMpegException.h"
#include "MediaFixtures.h"

namespace {

std::mutex LinesLock;
std::vector<std::string> Lines;

void CaptureLog(void*, int level, const char* format, va_list args) {
  if (level > AV_LOG_INFO) return;
  std::string text(1024, '\0');
  const int length = std::vsnprintf(text.data(), text.size(), format, args);
  text.resize(static_cast<size_t>(std::clamp(length, 0, 1023)));
  std::lock_guard<std::mutex> lock(LinesLock);
  Lines.push_back(std::move(text));
}

class AVProbeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(mf::BindCodecLibraries(MF_LIB_DIR, true)) << mf::CodecLibraryError();
    ff::av_log_set_callback(CaptureLog);
  }
  void SetUp() override { Lines.clear(); }
  static std::string Clip() {
    return mftest::MakeMedia("probe-clip.mp4",
                             "-f lavfi -i testsrc=size=640x480:rate=25:duration=2 -f lavfi -i sine=duration=2 "
                             "-c:v mpeg4 -c:a aac -shortest");
  }
  static std::string AudioOnly() { return mftest::MakeMedia("probe-tone.mp3", "-f lavfi -i sine=duration=1 -c:a libmp3lame"); }

  mf::TAVProbe Probe;
};

TEST_F(AVProbeTest, OpenFailuresSayWhy) {
  const std::string missing = mftest::DataDir() + "/no-such-file.mp4";
  const std::string text = mftest::MakeTextFile("probe-notes.txt", "plain words, not media\n");
  const std::string clip = Clip();
  const std::string truncated = mftest::DataDir() + "/probe-truncated.mp4";
  std::filesystem::copy_file(clip, truncated, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::resize_file(truncated, 600);

  const struct {
    const char* Name;
    std::string File, Format, Expected;
  } cases[] = {
      {"missing", missing, "", missing + ": no such file or directory"},
      {"unknown format name", clip, "nosuchformat", "Unknown input format: nosuchformat"},
      {"not media", text, "", text + ": Unknown format"},
      {"broken header", truncated, "", truncated + ": Error while parsing header"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    ASSERT_TRUE(Probe.Open(clip));
    EXPECT_FALSE(Probe.Open(c.File, c.Format));
    EXPECT_EQ(Probe.LastError, c.Expected);
    EXPECT_EQ(Probe.FormatContext(), nullptr) << "a failed open releases the file opened before";
    EXPECT_EQ(Probe.StreamCount, -1);
    EXPECT_EQ(Probe.FirstVideoStream, -1);
  }
}

TEST_F(AVProbeTest, CountsStreamsAndDescribesVideo) {
  ASSERT_TRUE(Probe.Open(Clip())) << Probe.LastError;
  EXPECT_EQ(Probe.StreamCount, 2);
  EXPECT_EQ(Probe.VideoStreamCount, 1);
  EXPECT_EQ(Probe.AudioStreamCount, 1);
  EXPECT_EQ(Probe.SubtitleStreamCount, 0);
  EXPECT_EQ(Probe.FirstVideoStream, 0);
  EXPECT_EQ(Probe.FirstAudioStream, 1);
  EXPECT_EQ(Probe.FirstSubtitleStream, -1);

  mf::TAVVideoInfo video;
  Probe.GetVideoInfo(-1, video);
  EXPECT_STREQ(video.CodecName.data(), "mpeg4");
  EXPECT_EQ(video.Width, 640);
  EXPECT_EQ(video.Height, 480);
  EXPECT_NEAR(video.DisplayAspectRatio, 4.0f / 3.0f, 1e-4);
  EXPECT_EQ(video.FrameRateNum, 25);
  EXPECT_EQ(video.FrameRateDen, 1);
  EXPECT_EQ(video.PixelFormat, AV_PIX_FMT_YUV420P);

  mf::TAVFileInfo file;
  Probe.GetFileInfo(file);
  EXPECT_NEAR(static_cast<double>(file.Duration), 2000000.0, 100000.0);
  EXPECT_GT(file.BitRate, 0);
  EXPECT_TRUE(Lines.empty());
}

TEST_F(AVProbeTest, QuestionsWithoutAnswersLeaveDefaultsAndSayWhy) {
  mf::TAVVideoInfo video;
  mf::TAVFileInfo file;
  Probe.GetFileInfo(file);
  Probe.GetVideoInfo(-1, video);
  EXPECT_EQ(file.Duration, -1);
  EXPECT_EQ(video.Width, -1);

  ASSERT_TRUE(Probe.Open(AudioOnly())) << Probe.LastError;
  EXPECT_EQ(Probe.VideoStreamCount, 0);
  EXPECT_EQ(Probe.FirstVideoStream, -1);
  Probe.GetVideoInfo(-1, video);
  Probe.GetVideoInfo(0, video);
  Probe.GetVideoInfo(5, video);
  EXPECT_EQ(video.Width, -1);
  EXPECT_FLOAT_EQ(video.DisplayAspectRatio, -1.0f);
  EXPECT_EQ(Lines, (std::vector<std::string>{"file not loaded.\n", "file not loaded.\n", "no video stream.\n",
                                             "stream #0 is not video stream.\n", "stream index #5 is invalid.\n"}));
}

TEST_F(AVProbeTest, UnknownSampleAspectGivesZero) {
  const std::string clip =
      mftest::MakeMedia("probe-nosar.mkv", "-f lavfi -i testsrc=size=320x240:rate=25:duration=1 -vf setsar=0 -c:v ffv1");
  ASSERT_TRUE(Probe.Open(clip)) << Probe.LastError;
  mf::TAVVideoInfo video;
  Probe.GetVideoInfo(-1, video);
  EXPECT_EQ(video.Width, 320);
  EXPECT_FLOAT_EQ(video.DisplayAspectRatio, 0.0f);
}

TEST(AVProbeWithoutLibraries, OpenRefuses) {
  mf::TAVProbe probe;
  try {
    probe.Open("anything.mp4");
    FAIL() << "no exception";
  } catch (const mf::FFMpegException& e) {
    EXPECT_STREQ(e.what(), "LibAVCodec not loaded.");
  }
}

}  // namespace
