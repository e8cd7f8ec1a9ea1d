// The task option records as the profiles use them: every field at its "not given" default after
// a reset.
#include <gtest/gtest.h>

#include <algorithm>

#include "TaskOptions.h"

namespace mf::test {
namespace {

template <std::size_t N>
bool AllZero(const TTagText<N>& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == 0; });
}

TEST(ProfilesTaskOptionRecords, InputDefaults) {
  TInputOptions in;
  in.FileName = "a.avi";
  in.FileFormat = "avi";
  in.StartTime = 5;
  in.ProgramId = 2;
  in.ExtOptions = "x=1";
  in.Reset();
  EXPECT_EQ(in.FileName, "");
  EXPECT_EQ(in.FileFormat, "");
  EXPECT_EQ(in.StartTime, -1);
  EXPECT_EQ(in.ProgramId, -1);
  EXPECT_EQ(in.ExtOptions, "");
  EXPECT_EQ(in, TInputOptions{});
}

TEST(ProfilesTaskOptionRecords, OutputDefaults) {
  TOutputOptions out;
  out.VideoCodec = "mpeg4";
  out.AudioBitrate = 128000;
  out.Title[0] = 'T';
  out.Target = 3;
  out.Reset();
  EXPECT_EQ(out, TOutputOptions{});

  const TOutputOptions o;
  for (const std::string* text : {&o.FileName, &o.Reserved, &o.FileFormat, &o.AudioCodec, &o.AudioLanguage,
                                  &o.AudioTag, &o.VideoCodec, &o.FrameRate, &o.FrameSize, &o.FrameAspectRatio,
                                  &o.VideoTag, &o.SubtitleLanguage, &o.HookTimeRanges, &o.ExtOptions})
    EXPECT_EQ(*text, "");
  for (int number : {o.PacketSize, o.MuxRate, o.AudioVolume, o.AudioChannels, o.AudioSampleRate,
                     o.AudioBitrate, o.AudioBitrateTolerance, o.CropTop, o.CropBottom, o.CropLeft,
                     o.CropRight, o.PadTop, o.PadBottom, o.PadLeft, o.PadRight, o.GopSize, o.VideoBitrate,
                     o.MaxRate, o.MinRate, o.VideoBitrateTolerance, o.BufferSize, o.VideoSyncMethod,
                     o.RecordingTime, o.Year, o.Track})
    EXPECT_EQ(number, -1);
  EXPECT_EQ(o.MuxDelay, -1.0f);
  EXPECT_EQ(o.MuxPreload, -1.0f);
  EXPECT_EQ(o.Timestamp, -1.0);
  EXPECT_EQ(o.AudioSyncMethod, 0);
  EXPECT_EQ(o.PadColor, 0);
  EXPECT_EQ(o.Target, 0);
  EXPECT_EQ(o.TargetNorm, 0);
  EXPECT_EQ(o.TargetFallbackNorm, 1);
  for (bool flag : {o.DisableAudio, o.DisableVideo, o.DisableSubtitle, o.CopyTimestamps, o.CustomHook,
                    o.BeforeHook})
    EXPECT_FALSE(flag);
  EXPECT_EQ(o.Title.size(), 512u);
  EXPECT_EQ(o.Genre.size(), 32u);
  EXPECT_TRUE(AllZero(o.Title) && AllZero(o.Author) && AllZero(o.Copyright) && AllZero(o.Comment) &&
              AllZero(o.Album) && AllZero(o.Genre));
}

}  // namespace
}  // namespace mf::test
