// The players' settings a profile adds to its job: the H.264 profile and rate limits follow
// from the device, the picture size, the chosen frame rate and bit rate. Expected values come
// from table A-1 of the H.264 standard, written out by hand.
#include <gtest/gtest.h>

#include <string>

#include "BoxModel.h"
#include "Catalogue.h"
#include "JobAssembly.h"
#include "OptionSets.h"
#include "PlayerSettings.h"
#include "TaskOptions.h"

namespace mf::test {
namespace {

TEST(PlayerSettings, LowestH264LevelTakesSizeRateAndBitRate) {
  const struct {
    int Width, Height;
    double Rate;
    int64_t Bitrate;
    int Idc, MaxBitrateKbps, MaxBufferKbits;
  } cases[] = {
      {176, 144, 15, 128000, 11, 192, 500},         // 99 macroblocks, 1485 a second
      {176, 144, 30, 128000, 11, 192, 500},         // 2970 a second: just within 1.1
      {320, 240, 30, 512000, 13, 768, 2000},        // the iPod's 1.3
      {320, 240, 30, 800000, 20, 2000, 2000},       // the bit rate alone needs 2.0
      {320, 240, 30, 2500000, 21, 4000, 4000},
      {480, 320, 30, 1200000, 21, 4000, 4000},      // 600 macroblocks
      {640, 480, 30000.0 / 1001, 2000000, 30, 10000, 10000},
      {720, 480, 30, 1500000, 30, 10000, 10000},    // 40500 a second: the top of 3.0
      {720, 480, 60, 1500000, 31, 14000, 14000},
      {1920, 1088, 30, 8000000, 40, 20000, 25000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Width) + "x" + std::to_string(c.Height) + " at " + std::to_string(c.Rate));
    const TH264Level level = LowestH264Level(c.Width, c.Height, c.Rate, c.Bitrate);
    EXPECT_EQ(level.Idc, c.Idc);
    EXPECT_EQ(level.MaxBitrateKbps, c.MaxBitrateKbps);
    EXPECT_EQ(level.MaxBufferKbits, c.MaxBufferKbits);
  }
  EXPECT_EQ(LowestH264Level(8192, 8192, 30, 1000000).Idc, 0);
}

// A profile's boxes with some captions chosen, assembled.
TOutputOptions Assembled(const char* caption, std::initializer_list<std::pair<TOptionBox, const char*>> choices) {
  TBoxModel model;
  FillComboOutputFormat(model);
  model.ChooseFormat(caption);
  EXPECT_NE(ApplyProfileControls(model), nullptr) << caption;
  for (const auto& [box, choice] : choices) model.Choose(box, choice);
  TOutputOptions job;
  job.Reset();
  EXPECT_NE(AssembleProfileJob(model, job), nullptr);
  return job;
}

TEST(PlayerSettings, H264OfDevicesGetsTheirProfileAndTheLimitsOfTheLevelTheyNeed) {
  const struct {
    const char* Caption;
    std::initializer_list<std::pair<TOptionBox, const char*>> Choices;
    const char* Profile;  // the ExtOptions line, "" for none
    int MaxRate, BufferSize;
  } cases[] = {
      // An output at the source's rate is budgeted at the players' 30 pictures a second.
      {"iPod (*.mp4)", {{TOptionBox::VideoCodec, "H264"}}, "vprofile=66", 768000, 2000000},
      {"iPod (*.mp4)", {{TOptionBox::VideoCodec, "H264"}, {TOptionBox::VideoBitrate, "2500 Kbps"}}, "vprofile=66",
       4000000, 4000000},
      {"iPod (*.mp4)", {{TOptionBox::VideoCodec, "H264"}, {TOptionBox::VideoFramerate, "15.0 fps"}}, "vprofile=66",
       768000, 2000000},
      {"iPhone Wide Screen (*.mp4)", {{TOptionBox::VideoCodec, "H264"}}, "vprofile=66", 10000000, 10000000},
      {"3GP - Mobile Video Format (*.3gp)", {{TOptionBox::VideoCodec, "H264"}}, "vprofile=66", 192000, 500000},
      {"PSP Video (*.mp4)", {{TOptionBox::VideoCodec, "H264"}}, "vprofile=77", 768000, 2000000},
      {"PS3 Video (*.mp4)", {{TOptionBox::VideoSize, "720 x 576"}}, "vprofile=77", 14000000, 14000000},
      // Files for computers keep the encoder's own choice.
      {"MP4 - MPEG4 Video (*.mp4)", {{TOptionBox::VideoCodec, "H264"}}, "", -1, -1},
      {"AVI - Audio Video Interleave (*.avi)", {{TOptionBox::VideoCodec, "H264"}}, "", -1, -1},
      // And other encoders have nothing of H.264.
      {"iPod (*.mp4)", {}, "", -1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Caption) + " " + c.Profile);
    const TOutputOptions job = Assembled(c.Caption, c.Choices);
    if (*c.Profile) {
      EXPECT_NE(job.ExtOptions.find(std::string("\n") + c.Profile), std::string::npos) << job.ExtOptions;
    } else {
      EXPECT_EQ(job.ExtOptions.find("vprofile"), std::string::npos) << job.ExtOptions;
    }
    EXPECT_EQ(job.MaxRate, c.MaxRate);
    EXPECT_EQ(job.BufferSize, c.BufferSize);
  }
}

}  // namespace
}  // namespace mf::test
