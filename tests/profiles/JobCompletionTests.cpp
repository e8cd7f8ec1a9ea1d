#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "Catalogue.h"
#include "JobCompletion.h"

namespace fs = std::filesystem;

namespace {

TEST(JobCompletion, VolumeSlider) {
  const struct {
    int Position, Level;
    const char* Label;
  } cases[] = {{0, 1, "0%"}, {1, 50, "20%"}, {5, 255, "100%"}, {9, 450, "180%"}, {10, 600, "200%"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Position);
    EXPECT_EQ(mf::VolumeLevel(c.Position), c.Level);
    EXPECT_EQ(mf::VolumeLabel(c.Position), c.Label);
  }
}

TEST(JobCompletion, OriginalAspectFromTheRowsSize) {
  const struct {
    const char* Size;
    const char* Aspect;
  } cases[] = {{"720x576", "1.25"}, {"640x480", "1.3333"}, {"1280x720", "1.7778"}, {" 352x288 ", "1.2222"},
               {"", "1.3333"},      {" ", "1.3333"},      {"abc", "1.3333"},      {"640x0", "1.3333"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Size);
    EXPECT_EQ(mf::AspectFromVideoSize(c.Size), c.Aspect);
  }
}

TEST(JobCompletion, FrameRateCaptions) {
  const struct {
    const char* Caption;
    const char* Rate;
  } cases[] = {{"Auto", ""},          {"29.97 fps", "30000/1001"}, {"14.985 fps", "15000/1001"}, {"23.976 fps", "24000/1001"},
               {"23.975 fps", "24000/1001"}, {"25 fps", "25"},     {"30 fps", "30"},             {"15", "15"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Caption);
    EXPECT_EQ(mf::FrameRateFromCaption(c.Caption), c.Rate);
  }
}

TEST(JobCompletion, OutputNames) {
  const fs::path folder = fs::temp_directory_path() / ("mf-names-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const std::string clip = (folder / "clip").string();
  EXPECT_EQ(mf::UniqueOutputName(clip + ".avi", ".mp4"), clip + ".mp4");
  std::ofstream(clip + ".mp4") << "x";
  std::ofstream(clip + "-1.mp4") << "x";
  EXPECT_EQ(mf::UniqueOutputName(clip + ".avi", ".mp4"), clip + "-2.mp4");
  EXPECT_EQ(mf::ReplaceExtension((folder / "movie.avi").string(), ".mp4"), (folder / "movie.mp4").string());
  EXPECT_EQ(mf::ReplaceExtension((folder / "movie").string(), ".mp4"), (folder / "movie.mp4").string());
  fs::remove_all(folder);
}

TEST(JobCompletion, LetterBoxKeepsTheShape) {
  const struct {
    const char* Name;
    const char* Frame;
    const char* Source;
    int AspectIndex;
    const char* Inner;
    int Top, Bottom, Left, Right;
  } cases[] = {
      {"wide into 4:3", "320x240", "1280x720", 0, "320x180", 30, 30, 0, 0},
      {"4:3 into 3:2", "480x320", "640x480", 0, "426x320", 0, 0, 26, 28},
      {"same shape", "320x240", "640x480", 0, "320x240", 0, 0, 0, 0},
      {"16:9 chosen", "320x240", "720x576", 2, "320x180", 30, 30, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    mf::TOutputOptions job;
    job.Reset();
    job.FrameSize = c.Frame;
    mf::CompleteJob(job, {255, c.AspectIndex, c.Source, "Auto", true, -1, ""});
    EXPECT_EQ(job.FrameSize, c.Inner);
    EXPECT_EQ(job.PadTop, c.Top);
    EXPECT_EQ(job.PadBottom, c.Bottom);
    EXPECT_EQ(job.PadLeft, c.Left);
    EXPECT_EQ(job.PadRight, c.Right);
    EXPECT_EQ(job.FrameRate, "");
    EXPECT_EQ(job.AudioVolume, 255);
  }
  mf::TOutputOptions stretched;
  stretched.Reset();
  stretched.FrameSize = "320x240";
  mf::CompleteJob(stretched, {600, 0, "1280x720", "29.97 fps", false, -1, ""});
  EXPECT_EQ(stretched.FrameSize, "320x240");
  EXPECT_EQ(stretched.PadTop, -1);
  EXPECT_EQ(stretched.FrameAspectRatio, "1.7778");
  EXPECT_EQ(stretched.FrameRate, "30000/1001");
  EXPECT_EQ(stretched.AudioVolume, 600);
}

// "Auto" keeps the source's rate, except that a device shows 30 pictures a second at most:
// faster sources lose whole pictures evenly, and the NTSC family keeps its exact ratio.
TEST(JobCompletion, AutoFrameRateOnADeviceStaysWithinWhatItShows) {
  const struct {
    const char* Name;
    int ProfileId;
    const char* Caption;
    const char* Source;
    const char* Rate;  // the job's frame rate afterwards
  } cases[] = {
      {"50 fps on an iPod", mf::ProfileIds::IPod, "Auto", "50", "25"},
      {"59.94 fps on an iPhone", mf::ProfileIds::IPhone, "Auto", "59.94", "30000/1001"},
      {"60 fps on an Archos", mf::ProfileIds::ArchosAV500, "Auto", "60", "30"},
      {"120 fps on a 3GP phone", mf::ProfileIds::ThreeGP, "Auto", "120", "30"},
      {"29.97 fps stays the source's", mf::ProfileIds::IPod, "Auto", "29.97", ""},
      {"30.4 fps stays the source's", mf::ProfileIds::IPod, "Auto", "30.4", ""},
      {"unknown rate", mf::ProfileIds::IPod, "Auto", " ", ""},
      {"a generic container keeps 60 fps", mf::ProfileIds::MP4, "Auto", "60", ""},
      {"a chosen rate holds", mf::ProfileIds::IPod, "25.0 fps", "60", "25.0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    mf::TOutputOptions job;
    job.Reset();
    mf::CompleteJob(job, {255, 0, "640x480", c.Caption, false, c.ProfileId, c.Source});
    EXPECT_EQ(job.FrameRate, c.Rate);
  }
}

// An odd source size that the job keeps becomes even (4:2:0 pictures have none); sizes the
// profile fixes, copied pictures and sound-only jobs are left alone.
TEST(JobCompletion, AKeptOddPictureSizeBecomesEven) {
  const struct {
    const char* Name;
    const char* FrameSize;  // the profile's
    const char* Source;
    const char* VideoCodec;
    bool LetterBox;
    const char* Expected;
  } cases[] = {
      {"odd both ways", "", "321x241", "libx264", false, "320x240"},
      {"odd width only, letterbox asked", "", "321x240", "mpeg4", true, "320x240"},
      {"even already", "", "320x240", "libx264", false, ""},
      {"a size the profile fixes", "480x320", "321x241", "libx264", false, "480x320"},
      {"copied pictures", "", "321x241", "copy", false, ""},
      {"unknown source size", "", " ", "libx264", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    mf::TOutputOptions job;
    job.Reset();
    job.FrameSize = c.FrameSize;
    job.VideoCodec = c.VideoCodec;
    mf::CompleteJob(job, {255, 0, c.Source, "Auto", c.LetterBox, -1, ""});
    EXPECT_EQ(job.FrameSize, c.Expected);
    EXPECT_EQ(job.PadLeft + job.PadRight + job.PadTop + job.PadBottom, -4) << "no bars";
  }
}

TEST(JobCompletion, FrameRateCellTextHasTwoDecimalsAtMost) {
  EXPECT_EQ(mf::FrameRateCellText(30000, 1001), "29.97");
  EXPECT_EQ(mf::FrameRateCellText(25, 1), "25");
  EXPECT_EQ(mf::FrameRateCellText(15, 2), "7.5");
  EXPECT_EQ(mf::FrameRateCellText(0, 1), "");
  EXPECT_EQ(mf::FrameRateCellText(25, 0), "");
}

}  // namespace
