// The video path end to end: inputs made by the ffmpeg tool, converted by the engine, read
// back with ffprobe and, where pixels matter, decoded again by the ffmpeg tool.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "EngineTestSupport.h"
#include "MediaFixtures.h"
#include "counting_hook.h"

namespace fs = std::filesystem;

namespace {

using mftest::CountFrames;
using mftest::IntField;
using mftest::MakeMedia;
using mftest::Probe;
using mftest::RaisedMessage;

using TOptions = std::vector<std::pair<std::string, std::string>>;

// ---- Inputs -------------------------------------------------------------------------------

// 2 s of 320x240 at 25 fps with stereo sound beside it.
std::string SourceClip() {
  return MakeMedia("video-path-source.mkv",
                   "-f lavfi -i testsrc=size=320x240:rate=25:duration=2 -f lavfi -i sine=frequency=440:sample_rate=44100:duration=2 "
                   "-ac 2 -c:v mpeg4 -q:v 3 -c:a pcm_s16le");
}

// Small 25 fps pictures of the given length.
std::string PlainClip(int seconds, int rate = 25) {
  return MakeMedia("video-path-plain-" + std::to_string(seconds) + "s-" + std::to_string(rate) + "fps.mkv",
                   "-f lavfi -i testsrc=size=160x120:rate=" + std::to_string(rate) + ":duration=" + std::to_string(seconds) +
                       " -c:v mpeg4 -q:v 3");
}

// 2 s at 25 fps whose pictures from the 11th on come gap frame durations late.
std::string GapClip(int gap) {
  return MakeMedia("video-path-gap-" + std::to_string(gap) + ".mkv",
                   "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -vf \"setpts='PTS+gte(N,10)*" + std::to_string(gap) +
                       "/(25*TB)'\" -fps_mode passthrough -c:v mpeg4 -q:v 3");
}

// Lines alternate between white and black: a picture made of two very different fields.
std::string CombClip() {
  return MakeMedia("video-path-comb.mkv",
                   "-f lavfi -i color=c=black:size=64x48:rate=25:duration=1 "
                   "-vf \"geq=lum='if(mod(Y,2),16,235)':cb=128:cr=128,format=yuv420p\" -c:v ffv1");
}

// One second of 320x240 and one of 176x144 (in the given order) in one MPEG-TS stream.
std::string SizeChangeClip(bool largeFirst) {
  const std::string large = MakeMedia("video-path-part-320x240.ts", "-f lavfi -i testsrc=size=320x240:rate=25:duration=1 -c:v mpeg2video -q:v 3");
  const std::string small = MakeMedia("video-path-part-176x144.ts", "-f lavfi -i testsrc=size=176x144:rate=25:duration=1 -c:v mpeg2video -q:v 3");
  const std::string name = largeFirst ? "video-path-large-small" : "video-path-small-large";
  const std::string list = mftest::MakeTextFile(name + ".txt", "file '" + (largeFirst ? large : small) + "'\nfile '" +
                                                                   (largeFirst ? small : large) + "'\n");
  return MakeMedia(name + ".ts", "-f concat -safe 0 -i " + list + " -c copy");
}

// ---- Reading pictures back ------------------------------------------------------------------

// Picture number index of a file as the ffmpeg tool decodes it, in pixFmt (planes one after
// another, no padding). filter is applied before the conversion ("" for none).
std::string DecodedPicture(const std::string& path, int index, const std::string& pixFmt, const std::string& filter = "") {
  std::string bytes;
  const std::string select = "select=eq(n\\," + std::to_string(index) + ")" + (filter.empty() ? "" : "," + filter);
  mftest::Run("ffmpeg -nostdin -v error -i '" + path + "' -vf '" + select + "' -frames:v 1 -f rawvideo -pix_fmt " + pixFmt + " -",
              &bytes);
  return bytes;
}

// Mean of the bytes of a rectangle of one plane (stride bytes a row).
double MeanOf(const std::string& plane, int stride, int x, int y, int w, int h) {
  double sum = 0;
  for (int row = y; row < y + h; ++row)
    for (int col = x; col < x + w; ++col) sum += static_cast<unsigned char>(plane[static_cast<size_t>(row) * stride + col]);
  return sum / (w * h);
}

// ---- The fixture ----------------------------------------------------------------------------

class VideoPathTest : public mftest::EngineTest {
 protected:
  void TearDown() override {
    Engine.ResetOptions();
    if (!HasFailure()) fs::remove_all(Folder());
  }

  // Each test process writes into its own folder.
  static fs::path Folder() {
    const fs::path folder = fs::path(mftest::DataDir()) / ("video-path-" + std::to_string(getpid()));
    fs::create_directories(folder);
    return folder;
  }
  static std::string OutputPath(const std::string& name) { return (Folder() / name).string(); }

  // Opens the input, applies the options in order, creates the output and runs the whole
  // conversion; a failure closes what the transcode left open, as the task runner does, and
  // is raised again. The output is closed afterwards, as the end of a task does.
  void Convert(const std::string& input, const TOptions& options, const std::string& output) {
    ASSERT_TRUE(Engine.OpenInputFile(input)) << Engine.ErrorMessage;
    for (const auto& [name, value] : options) Engine.SetOption(name, value);
    ASSERT_TRUE(Engine.OpenOutputFile(output)) << Engine.ErrorMessage;
    try {
      Engine.Transcode();
    } catch (...) {
      Engine.CloseOpenCodecs();
      throw;
    }
    Engine.OutputFiles[0].reset();
  }

  int CountLogged(const std::string& text) const {
    int count = 0;
    for (const auto& line : Log) count += line.Text == text;
    return count;
  }
  bool Logged(const std::string& text) const { return CountLogged(text) > 0; }
};

// ---- Encoders -------------------------------------------------------------------------------

// One conversion per video encoder the profiles use, in the profile's container.
TEST_F(VideoPathTest, EveryProfileEncoderWritesItsCodecSizeFramesAndSound) {
  struct TCase {
    const char* VideoCodec;
    const char* AudioCodec;
    const char* Extension;
    const char* Size;
    const char* ExpectedVideo;
    const char* ExpectedAudio;
    TOptions Extra;
  };
  const TCase cases[] = {
      {"mpeg4", "libfaac", "mp4", "320x240", "mpeg4", "aac", {}},
      {"libx264", "libfaac", "mp4", "320x240", "h264", "aac", {}},
      {"libxvid", "libmp3lame", "avi", "320x240", "mpeg4", "mp3", {}},
      {"h263", "libamr_nb", "3gp", "176x144", "h263", "amr_nb", {{"ar", "8000"}, {"ac", "1"}, {"ab", "12200"}}},
      {"mpeg1video", "mp2", "mpg", "320x240", "mpeg1video", "mp2", {}},
      {"mpeg2video", "mp2", "mpg", "320x240", "mpeg2video", "mp2", {}},
      {"wmv2", "wmav2", "wmv", "320x240", "wmv2", "wmav2", {}},
  };
  const std::string source = SourceClip();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.VideoCodec);
    Engine.ResetOptions();
    const std::string output = OutputPath(std::string("encoder-") + c.VideoCodec + "." + c.Extension);
    TOptions options{{"vcodec", c.VideoCodec}, {"acodec", c.AudioCodec}, {"s", c.Size},
                     {"r", "25"},              {"vb", "600000"},         {"ab", "64000"}};
    options.insert(options.end(), c.Extra.begin(), c.Extra.end());
    ASSERT_NO_THROW(Convert(source, options, output));

    const mftest::TProbe probe = Probe(output);
    ASSERT_TRUE(probe.Ok);
    const auto& video = probe.StreamOf("video");
    EXPECT_EQ(video.at("codec_name"), c.ExpectedVideo);
    EXPECT_EQ(std::to_string(IntField(video, "width")) + "x" + std::to_string(IntField(video, "height")), c.Size);
    EXPECT_NEAR(CountFrames(output, "video"), 50, 1);
    ASSERT_EQ(probe.CountOf("audio"), 1);
    EXPECT_EQ(probe.StreamOf("audio").at("codec_name"), c.ExpectedAudio);
    EXPECT_NEAR(probe.Duration(), 2.0, 0.2);
  }
}

// An encoder that refuses its parameters (H.263 knows five frame sizes only) fails the
// preparation with the long message and the reason in words; the encoders opened before it are
// closed again and no table survives.
TEST_F(VideoPathTest, EncoderThatRejectsItsParametersFailsThePreparationAndLeavesNothingOpen) {
  const std::string source = SourceClip();
  ASSERT_TRUE(Engine.OpenInputFile(source)) << Engine.ErrorMessage;
  Engine.SetOption("vcodec", "mpeg4");
  Engine.SetOption("an", "");
  ASSERT_TRUE(Engine.OpenOutputFile(OutputPath("accepted.mp4"))) << Engine.ErrorMessage;
  Engine.SetOption("vcodec", "h263");
  Engine.SetOption("s", "320x240");
  Engine.SetOption("an", "");
  ASSERT_TRUE(Engine.OpenOutputFile(OutputPath("refused.3gp"))) << Engine.ErrorMessage;

  EXPECT_EQ(RaisedMessage<mf::FFMpegException>([&] { Engine.Transcode(); }),
            "Error while opening codec for output stream #1.0 - maybe incorrect parameters such as bit_rate, rate, width or height "
            "(H.263 takes the frame sizes 128x96, 176x144, 352x288, 704x576 or 1408x1152 only, not 320x240)");
  EXPECT_TRUE(Engine.OpenEncoders.empty());
  EXPECT_TRUE(Engine.OpenDecoders.empty());
  EXPECT_TRUE(Engine.OutputStreams.empty());
  EXPECT_TRUE(Engine.InputStreams.empty());
  // The first output's encoder had been opened: it is closed again.
  EXPECT_EQ(Engine.OutputStreamSetups[0][0].Encoder->internal, nullptr);
}

// ---- Crop, scale, pad -----------------------------------------------------------------------

// Without scaling, the crop is a view of the decoded picture: no second picture is made, and
// what reaches the (lossless) encoder is exactly the rows below the band.
TEST_F(VideoPathTest, CropWithoutScalingIsAViewOfTheDecodedPicture) {
  const std::string source = SourceClip();
  const std::string output = OutputPath("crop.mkv");
  int observed = 0;
  Engine.ReportInterval = -1;  // a report after every packet
  Engine.ProgressHandler = [&](mf::TCustomFFmpeg*, int, int, int, float, float, int64_t, int) {
    for (const auto& ost : Engine.OutputStreams) {
      if (ost->Stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
      ++observed;
      EXPECT_FALSE(ost->VideoResample);
      EXPECT_FALSE(ost->TempPicture);
      EXPECT_FALSE(ost->ScaleContext);
    }
  };
  ASSERT_NO_THROW(Convert(source, {{"vcodec", "ffv1"}, {"an", ""}, {"croptop", "8"}}, output));
  EXPECT_GT(observed, 10);

  const mftest::TProbe probe = Probe(output);
  const auto& video = probe.StreamOf("video");
  EXPECT_EQ(IntField(video, "width"), 320);
  EXPECT_EQ(IntField(video, "height"), 232);
  EXPECT_EQ(CountFrames(output, "video"), 50);
  for (int index : {0, 37}) {
    SCOPED_TRACE(index);
    const std::string expected = DecodedPicture(source, index, "yuv420p", "crop=320:232:0:8");
    ASSERT_EQ(expected.size(), 320u * 232 * 3 / 2);
    EXPECT_TRUE(DecodedPicture(output, index, "yuv420p") == expected);
  }
}

// Crop, scale and pad in one go: the borders carry the pad colour exactly (lossless output),
// the inner area is the cropped picture scaled.
TEST_F(VideoPathTest, CropScaleAndPadPaintTheBordersInThePadColour) {
  const std::string source = SourceClip();
  const std::string output = OutputPath("crop-scale-pad.mkv");
  ASSERT_NO_THROW(Convert(source,
                          {{"vcodec", "ffv1"},
                           {"an", ""},
                           {"croptop", "20"},
                           {"cropbottom", "20"},
                           {"s", "160x100"},
                           {"padtop", "10"},
                           {"padbottom", "10"},
                           {"padleft", "16"},
                           {"padright", "16"},
                           {"padcolor", std::to_string(0x0000FF)}},  // red
                          output));
  const mftest::TProbe probe = Probe(output);
  const auto& video = probe.StreamOf("video");
  ASSERT_EQ(IntField(video, "width"), 192);
  ASSERT_EQ(IntField(video, "height"), 120);
  EXPECT_EQ(CountFrames(output, "video"), 50);

  const std::string picture = DecodedPicture(output, 10, "yuv420p");
  ASSERT_EQ(picture.size(), 192u * 120 * 3 / 2);
  const std::string luma = picture.substr(0, 192 * 120);
  const std::string cb = picture.substr(192 * 120, 96 * 60);
  const std::string cr = picture.substr(192 * 120 + 96 * 60, 96 * 60);
  // Red in the engine's BT.601 integers: Y 76, Cb 85, Cr 255.
  struct TBand {
    int X, Y, W, H;
  };
  for (const TBand& band : {TBand{0, 0, 192, 10}, TBand{0, 110, 192, 10}, TBand{0, 10, 16, 100}, TBand{176, 10, 16, 100}}) {
    SCOPED_TRACE(testing::Message() << "band at " << band.X << "," << band.Y);
    EXPECT_EQ(MeanOf(luma, 192, band.X, band.Y, band.W, band.H), 76.0);
    EXPECT_EQ(MeanOf(cb, 96, band.X / 2, band.Y / 2, band.W / 2, band.H / 2), 85.0);
    EXPECT_EQ(MeanOf(cr, 96, band.X / 2, band.Y / 2, band.W / 2, band.H / 2), 255.0);
  }
  // The inner area against the ffmpeg tool's crop and bicubic scale of the same picture.
  const std::string expected = DecodedPicture(source, 10, "yuv420p", "crop=320:200:0:20,scale=160:100:flags=bicubic");
  ASSERT_EQ(expected.size(), 160u * 100 * 3 / 2);
  double difference = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 160; ++x)
      difference += std::abs(static_cast<unsigned char>(luma[static_cast<size_t>(y + 10) * 192 + x + 16]) -
                             static_cast<unsigned char>(expected[static_cast<size_t>(y) * 160 + x]));
  EXPECT_LT(difference / (160 * 100), 2.0);
}

// A frame size that changes mid-stream: the scaler is rebuilt for the pictures as they
// arrive (a log line says so), in both directions, through the working copy of the hooks too;
// a picture the crop leaves nothing of is skipped with a log line.
TEST_F(VideoPathTest, FrameSizeChangingMidStreamIsScaledOrSkippedNeverOverrun) {
  struct TCase {
    const char* Name;
    bool LargeFirst;
    TOptions Options;
    const char* ChangeLine;
    bool SecondPartSkipped;
  };
  const TCase cases[] = {
      {"large then small", true, {}, "Input stream #0.0 frame changed to 176x144", false},
      {"small then large, deinterlaced and hooked", false, {{"deinterlace", ""}}, "Input stream #0.0 frame changed to 320x240", false},
      {"large then small, cropped beyond the small", true, {{"croptop", "160"}}, nullptr, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    Log.clear();
    CaptureLog();
    int hookCalls = 0;
    if (!c.LargeFirst)
      Engine.CustomHookHandler = [&](mf::TCustomFFmpeg*, mf::THookBitmap& bitmap, int, int64_t, bool&, bool&) {
        ++hookCalls;
        // Paint every pixel: a bitmap smaller than the picture would be overrun here.
        std::memset(bitmap.Pixels.data(), 0x80, bitmap.Pixels.size());
        EXPECT_EQ(bitmap.Pixels.size(), static_cast<size_t>(bitmap.Stride) * bitmap.Height);
      };
    const std::string input = SizeChangeClip(c.LargeFirst);
    const std::string output = OutputPath(std::string("size-change-") + std::to_string(&c - cases) + ".mp4");
    TOptions options{{"vcodec", "mpeg4"}, {"v", "1"}};
    options.insert(options.end(), c.Options.begin(), c.Options.end());
    ASSERT_NO_THROW(Convert(input, options, output));
    Engine.CustomHookHandler = nullptr;

    const int64_t inputFrames = CountFrames(input, "video");
    const int64_t outputFrames = CountFrames(output, "video");
    if (c.ChangeLine) {
      EXPECT_EQ(CountLogged(c.ChangeLine), 1);
    }
    if (!c.LargeFirst) {
      EXPECT_EQ(hookCalls, inputFrames);
    }
    if (c.SecondPartSkipped) {
      EXPECT_NEAR(outputFrames, 25, 1);
      EXPECT_NEAR(CountLogged("error cropping picture"), 25, 1);
    } else {
      EXPECT_NEAR(outputFrames, inputFrames, 1);
    }
  }
}

// ---- Sync -----------------------------------------------------------------------------------

// 25 fps into a 1/25 encoder. Automatic sync repeats a picture that comes 3 frames after the
// output clock (twice more) and drops a picture 1.5 frames behind it while keeping one 1.0
// behind (a 50 fps input: 0, 0.5, 1.0 written, 1.5 dropped, 2.0 written, ...); method 0 writes
// every picture exactly once.
TEST_F(VideoPathTest, VideoSyncRepeatsAndDropsPicturesAgainstTheInputClock) {
  struct TCase {
    const char* Name;
    std::string Input;
    const char* Method;
    int64_t InputFrames;
    int64_t OutputFrames;
    int Duplicated;
    int Dropped;
    const char* Line;
  };
  const TCase cases[] = {
      {"3 frames ahead, automatic", GapClip(3), "-1", 50, 52, 2, 0, "*** 2 dup!"},
      {"3 frames ahead, method 0", GapClip(3), "0", 50, 50, 0, 0, nullptr},
      {"half a frame apart, automatic", PlainClip(1, 50), "-1", 50, 26, 0, 24, "*** drop!"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    Engine.DuplicatedFrames = Engine.DroppedFrames = 0;
    Log.clear();
    CaptureLog();
    const std::string output = OutputPath("sync.mp4");
    ASSERT_NO_THROW(Convert(c.Input, {{"vcodec", "mpeg4"}, {"r", "25"}, {"vsync", c.Method}, {"v", "3"}}, output));
    EXPECT_EQ(CountFrames(c.Input, "video"), c.InputFrames);
    EXPECT_EQ(CountFrames(output, "video"), c.OutputFrames);
    EXPECT_EQ(Engine.DuplicatedFrames, c.Duplicated);
    EXPECT_EQ(Engine.DroppedFrames, c.Dropped);
    if (c.Line) {
      EXPECT_EQ(CountLogged(c.Line), c.Duplicated ? 1 : c.Dropped);
    }
    EXPECT_FALSE(Logged("*** 1 dup!"));
  }
}

TEST_F(VideoPathTest, VideoFrameLimitEndsTheStreamAtTen) {
  const std::string output = OutputPath("ten.mp4");
  ASSERT_NO_THROW(Convert(PlainClip(2), {{"vcodec", "mpeg4"}, {"vframes", "10"}}, output));
  EXPECT_EQ(CountFrames(output, "video"), 10);
}

// A stop asked for while a picture is about to be repeated 50 times writes none of the
// repeats: the run does not finish first.
TEST_F(VideoPathTest, StopDuringALongRunOfRepeatsEndsItAtOnce) {
  const std::string output = OutputPath("stopped.mp4");
  Engine.LogHandler = [&](mf::TCustomFFmpeg*, int, const std::string& text) {
    if (text == "*** 49 dup!") Engine.StopRequested = true;
  };
  ASSERT_NO_THROW(Convert(GapClip(50), {{"vcodec", "mpeg4"}, {"r", "25"}, {"v", "3"}}, output));
  EXPECT_TRUE(Engine.StopRequested);
  EXPECT_EQ(Engine.DuplicatedFrames, 49);
  EXPECT_FALSE(Engine.FinishedNormally);
  EXPECT_EQ(CountFrames(output, "video"), 10);
}

// ---- Hooks ----------------------------------------------------------------------------------

// A 32x32 white square painted at (16, 16) of every picture of frames [first, last].
struct TSquarePainter {
  int First = 1, Last = 1 << 30;
  void Paint(mf::THookBitmap& bitmap, int frameNumber) const {
    if (frameNumber < First || frameNumber > Last) return;
    for (int y = 16; y < 48; ++y) std::memset(bitmap.ScanLine(y) + 16 * 3, 0xFF, 32 * 3);
  }
};

// Mean full-range luma of the square's place in picture index of a file: 255 for white.
double SquareLuma(const std::string& path, int index) { return MeanOf(DecodedPicture(path, index, "gray"), 160, 16, 16, 32, 32); }

// The handler sees every picture as a 24-bit bitmap of the picture's size; what it paints
// reaches the output after the conversion back to 4:2:0.
TEST_F(VideoPathTest, CustomHookPaintsASquareThatReachesTheOutput) {
  const std::string output = OutputPath("square.mp4");
  int calls = 0;
  const TSquarePainter painter;
  Engine.CustomHookHandler = [&](mf::TCustomFFmpeg* sender, mf::THookBitmap& bitmap, int frameNumber, int64_t pts,
                                 bool& update, bool& stop) {
    ++calls;
    EXPECT_EQ(sender, &Engine);
    EXPECT_EQ(frameNumber, calls);
    EXPECT_EQ(pts, (calls - 1) * 40000);
    EXPECT_EQ(bitmap.Width, 160);
    EXPECT_EQ(bitmap.Height, 120);
    EXPECT_GE(bitmap.Stride, 160 * 3);
    EXPECT_FALSE(bitmap.Lock.try_lock());  // held for the whole call
    EXPECT_TRUE(update);
    EXPECT_FALSE(stop);
    painter.Paint(bitmap, frameNumber);
  };
  ASSERT_NO_THROW(Convert(PlainClip(2), {{"vcodec", "mpeg4"}, {"qscale", "2"}}, output));
  EXPECT_EQ(calls, 50);
  for (int index : {0, 25, 49}) {
    SCOPED_TRACE(index);
    EXPECT_NEAR(SquareLuma(output, index), 255, 8);
  }
  EXPECT_LT(SquareLuma(PlainClip(2), 25), 200);  // the source has no such square
}

// Stop on frame 100: that picture still carries its paint, no later picture reaches the
// handler, and the hooks are off for good.
TEST_F(VideoPathTest, CustomHookThatStopsAtFrame100KeepsThatFramesPaint) {
  const std::string output = OutputPath("stop-hook.mp4");
  int calls = 0;
  const TSquarePainter painter{99, 100};
  Engine.CustomHookHandler = [&](mf::TCustomFFmpeg*, mf::THookBitmap& bitmap, int frameNumber, int64_t, bool&, bool& stop) {
    ++calls;
    painter.Paint(bitmap, frameNumber);
    stop = frameNumber == 100;
  };
  ASSERT_NO_THROW(Convert(PlainClip(5), {{"vcodec", "mpeg4"}, {"qscale", "2"}}, output));
  EXPECT_EQ(calls, 100);
  EXPECT_FALSE(Engine.CustomHookHandler);
  EXPECT_EQ(Engine.HookAction, mf::haStop);
  EXPECT_EQ(CountFrames(output, "video"), 125);
  EXPECT_NEAR(SquareLuma(output, 98), 255, 8);
  EXPECT_NEAR(SquareLuma(output, 99), 255, 8);
  EXPECT_LT(SquareLuma(output, 100), 200);
}

// A handler that raises, or that leaves update false, changes nothing: its paint is thrown
// away, the error is logged, and the next picture calls it again.
TEST_F(VideoPathTest, CustomHookThatRaisesOrDeclinesLeavesThePictureAsDecoded) {
  for (const bool raises : {true, false}) {
    SCOPED_TRACE(raises ? "raises" : "declines");
    Engine.ResetOptions();
    Log.clear();
    CaptureLog();
    int calls = 0;
    Engine.CustomHookHandler = [&](mf::TCustomFFmpeg*, mf::THookBitmap& bitmap, int frameNumber, int64_t, bool& update, bool&) {
      ++calls;
      TSquarePainter{}.Paint(bitmap, frameNumber);
      if (raises) throw std::runtime_error("canvas is busy");
      update = false;
    };
    const std::string output = OutputPath("declined.mp4");
    ASSERT_NO_THROW(Convert(PlainClip(2), {{"vcodec", "mpeg4"}, {"qscale", "2"}}, output));
    EXPECT_EQ(calls, 50);
    EXPECT_TRUE(Engine.CustomHookHandler);
    EXPECT_EQ(CountLogged("Error occurs OnCustomHook: canvas is busy"), raises ? 50 : 0);
    for (const auto& line : Log) {
      if (line.Text.rfind("Error occurs", 0) == 0) {
        EXPECT_EQ(line.Level, 0);
      }
    }
    EXPECT_LT(SquareLuma(output, 25), 200);
  }
}

// Time ranges {0 .. 5 s} and {10 .. 12 s} without a before-hook handler: the module runs on
// the pictures inside them only, and after the last one the hooks are off for good.
TEST_F(VideoPathTest, HookModulesRunInsideTheTimeRangesOnly) {
  const std::string output = OutputPath("ranges.mp4");
  ASSERT_TRUE(Engine.OpenInputFile(PlainClip(13, 10))) << Engine.ErrorMessage;
  Engine.SetOption("vhook", MF_COUNTING_HOOK);
  Engine.SetHookTimeRanges({{0, 5000000}, {10000000, 12000000}});
  Engine.SetOption("vcodec", "mpeg4");
  ASSERT_TRUE(Engine.OpenOutputFile(output)) << Engine.ErrorMessage;
  ASSERT_NO_THROW(Engine.Transcode());
  ASSERT_TRUE(Engine.FirstHook);
  const auto& context = *static_cast<const TCountingHookContext*>(Engine.FirstHook->Context);
  EXPECT_EQ(context.ProcessCalls, 51 + 21);  // 10 fps: 0.0 .. 5.0 s and 10.0 .. 12.0 s
  EXPECT_EQ(context.LastPts, 12000000);
  EXPECT_EQ(Engine.HookFrameCounter, 130);
  EXPECT_FALSE(Engine.UsingVideoHooks);
  EXPECT_EQ(Engine.HookAction, mf::haStop);
  Engine.OutputFiles[0].reset();
  EXPECT_EQ(CountFrames(output, "video"), 130);
}

// The before-hook handler decides per picture: its verdict arrives holding the previous one
// (continue after reset), ignore skips the modules for that picture only, stop (or an error
// the handler raises, which is logged) ends the hooks for good.
TEST_F(VideoPathTest, BeforeHookVerdictsDecideWhichPicturesTheModulesSee) {
  struct TCase {
    const char* Name;
    bool Raises;
    int ExpectedCalls;
  };
  for (const TCase& c : {TCase{"continue, ignore, stop", false, 10 + 5}, TCase{"raises on the 8th", true, 7}}) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    Log.clear();
    CaptureLog();
    int calls = 0;
    std::vector<mf::THookAction> arrived;
    Engine.BeforeHookHandler = [&](mf::TCustomFFmpeg*, int64_t pts, mf::THookAction& action) {
      ++calls;
      EXPECT_EQ(pts, (calls - 1) * 40000);
      arrived.push_back(action);
      if (c.Raises && calls == 8) throw std::runtime_error("no verdict");
      // Pictures 1-10 keep the verdict as it arrives, 11-20 are ignored, 21-25 continue, 26 stops.
      if (calls == 11) action = mf::haIgnore;
      if (calls == 21) action = mf::haContinue;
      if (calls == 26) action = mf::haStop;
    };
    ASSERT_TRUE(Engine.OpenInputFile(PlainClip(2))) << Engine.ErrorMessage;
    Engine.SetOption("vhook", MF_COUNTING_HOOK);
    Engine.SetOption("vcodec", "mpeg4");
    ASSERT_TRUE(Engine.OpenOutputFile(OutputPath("verdicts.mp4"))) << Engine.ErrorMessage;
    ASSERT_NO_THROW(Engine.Transcode());
    const auto& context = *static_cast<const TCountingHookContext*>(Engine.FirstHook->Context);
    EXPECT_EQ(context.ProcessCalls, c.ExpectedCalls);
    EXPECT_EQ(calls, c.Raises ? 8 : 26);
    EXPECT_EQ(arrived.front(), mf::haContinue);
    if (!c.Raises) {
      EXPECT_EQ(arrived[11], mf::haIgnore);  // picture 12 arrives with picture 11's verdict
    }
    EXPECT_FALSE(Engine.UsingVideoHooks);
    EXPECT_EQ(Engine.HookFrameCounter, 50);
    EXPECT_EQ(CountLogged("Error occurs OnBeforeHook: no verdict"), c.Raises ? 1 : 0);
  }
}

// Deinterlacing comes before the hooks: of a picture whose fields are white and black lines,
// the handler sees the rebuilt (all light) picture, not the comb.
TEST_F(VideoPathTest, HooksSeeTheDeinterlacedPicture) {
  for (const bool deinterlace : {true, false}) {
    SCOPED_TRACE(deinterlace ? "deinterlaced" : "as decoded");
    Engine.ResetOptions();
    std::vector<int> rowMeans;
    Engine.CustomHookHandler = [&](mf::TCustomFFmpeg*, mf::THookBitmap& bitmap, int frameNumber, int64_t, bool&, bool&) {
      if (frameNumber != 1) return;
      for (int y = 0; y < 4; ++y) {
        int sum = 0;
        for (int x = 0; x < bitmap.Width * 3; ++x) sum += bitmap.ScanLine(y)[x];
        rowMeans.push_back(sum / (bitmap.Width * 3));
      }
    };
    TOptions options{{"vcodec", "mpeg4"}};
    if (deinterlace) options.emplace_back("deinterlace", "");
    ASSERT_NO_THROW(Convert(CombClip(), options, OutputPath("comb.mp4")));
    ASSERT_EQ(rowMeans.size(), 4u);
    for (int y = 0; y < 4; ++y) {
      SCOPED_TRACE(y);
      if (deinterlace || y % 2 == 0)
        EXPECT_GT(rowMeans[static_cast<size_t>(y)], 240);
      else
        EXPECT_LT(rowMeans[static_cast<size_t>(y)], 16);
    }
  }
}

// ---- Two passes and statistics --------------------------------------------------------------

// Pass 1 writes the statistics under the given prefix (or "ffmpeg2pass" in the current
// folder), pass 2 reads them and encodes at the rate asked for.
TEST_F(VideoPathTest, TwoPassEncodingWritesThenReadsTheStatistics) {
  struct TCase {
    const char* Codec;
    bool NamedPrefix;
  };
  const fs::path startFolder = fs::current_path();
  for (const TCase& c : {TCase{"mpeg4", true}, TCase{"libx264", true}, TCase{"mpeg4", false}}) {
    SCOPED_TRACE(testing::Message() << c.Codec << (c.NamedPrefix ? " with a prefix" : " in the current folder"));
    const fs::path folder = Folder() / (std::string(c.Codec) + (c.NamedPrefix ? "-named" : "-default"));
    fs::create_directories(folder);
    fs::current_path(folder);
    const std::string prefix = c.NamedPrefix ? (folder / "stats").string() : "";
    const std::string logFile = (folder / (c.NamedPrefix ? "stats-0.log" : "ffmpeg2pass-0.log")).string();
    for (int pass : {1, 2}) {
      SCOPED_TRACE(pass);
      Engine.ResetOptions();
      TOptions options{{"vcodec", c.Codec}, {"an", ""}, {"vb", "300000"}, {"pass", std::to_string(pass)}};
      if (c.NamedPrefix) options.emplace_back("passlogfile", prefix);
      const std::string output = (folder / ("pass" + std::to_string(pass) + ".mp4")).string();
      ASSERT_NO_THROW(Convert(SourceClip(), options, output));
      EXPECT_EQ(CountFrames(output, "video"), 50);
      ASSERT_TRUE(fs::exists(logFile));
      EXPECT_GT(fs::file_size(logFile), 100u);
      if (pass == 2) {
        const double rate = std::atof(Probe(output).StreamOf("video").at("bit_rate").c_str());
        EXPECT_NEAR(rate, 300000, 100000);
      }
    }
    fs::current_path(startFolder);
  }
}

// The per-frame statistics file: one line a frame, through the support library.
TEST_F(VideoPathTest, VideoStatisticsFileGetsALinePerFrame) {
  const std::string statistics = OutputPath("frames.log");
  ASSERT_NO_THROW(Convert(PlainClip(2), {{"vcodec", "mpeg4"}, {"vstats_file", statistics}}, OutputPath("vstats.mp4")));
  Engine.ResetOptions();  // closes the file
  std::ifstream file(statistics);
  std::string line;
  int lines = 0;
  while (std::getline(file, line)) {
    ++lines;
    EXPECT_EQ(line.rfind("frame= ", 0), 0u) << line;
    EXPECT_NE(line.find(" f_size= "), std::string::npos) << line;
  }
  EXPECT_EQ(lines, 50);
}

// ---- Subtitles ------------------------------------------------------------------------------

// An MPEG-TS file with one DVB subtitle, shown from 1 s for 3 s. Made through the codec
// libraries: the ffmpeg tool cannot draw bitmap subtitles.
std::string DvbSubtitleFile() {
  const std::string path = mftest::DataDir() + "/video-path-dvbsub-" + std::to_string(getpid()) + ".ts";
  AVFormatContext* output = nullptr;
  EXPECT_GE(ff::avformat_alloc_output_context2(&output, nullptr, "mpegts", path.c_str()), 0);
  AVStream* stream = ff::avformat_new_stream(output, nullptr);
  const AVCodec* codec = ff::avcodec_find_encoder(AV_CODEC_ID_DVB_SUBTITLE);
  AVCodecContext* encoder = ff::avcodec_alloc_context3(codec);
  encoder->time_base = AVRational{1, 90000};
  encoder->width = 160;
  encoder->height = 120;
  EXPECT_GE(ff::avcodec_open2(encoder, codec, nullptr), 0);
  ff::avcodec_parameters_from_context(stream->codecpar, encoder);
  stream->time_base = encoder->time_base;
  EXPECT_GE(ff::avio_open2(&output->pb, path.c_str(), AVIO_FLAG_WRITE, nullptr, nullptr), 0);
  EXPECT_GE(ff::avformat_write_header(output, nullptr), 0);

  uint8_t bitmap[16 * 8];
  for (size_t i = 0; i < sizeof bitmap; ++i) bitmap[i] = static_cast<uint8_t>(i % 4);
  uint32_t palette[4] = {0x00000000, 0xFFFFFFFF, 0xFF000000, 0xFFFF0000};
  AVSubtitleRect rect{};
  rect.x = 8;
  rect.y = 8;
  rect.w = 16;
  rect.h = 8;
  rect.nb_colors = 4;
  rect.type = SUBTITLE_BITMAP;
  rect.data[0] = bitmap;
  rect.linesize[0] = 16;
  rect.data[1] = reinterpret_cast<uint8_t*>(palette);
  rect.linesize[1] = 4 * 4;
  AVSubtitleRect* rects[1] = {&rect};
  AVSubtitle subtitle{};
  subtitle.start_display_time = 0;
  subtitle.end_display_time = 3000;
  subtitle.num_rects = 1;
  subtitle.rects = rects;
  subtitle.pts = 1000000;
  std::vector<uint8_t> buffer(65536);
  const int size = ff::avcodec_encode_subtitle(encoder, buffer.data(), static_cast<int>(buffer.size()), &subtitle);
  EXPECT_GT(size, 0);
  // The encoder gives every page a time-out of its own choosing: the page composition segment
  // (sync byte 0x0F, type 0x10) gets 3 seconds, which the decoder reports as the end time.
  bool timeOutSet = false;
  for (int i = 0; i + 6 < size && !timeOutSet; ++i) {
    if (buffer[static_cast<size_t>(i)] == 0x0F && buffer[static_cast<size_t>(i) + 1] == 0x10) {
      buffer[static_cast<size_t>(i) + 6] = 3;
      timeOutSet = true;
    }
  }
  EXPECT_TRUE(timeOutSet);
  AVPacket* packet = ff::av_packet_alloc();
  ff::av_new_packet(packet, size);
  std::memcpy(packet->data, buffer.data(), static_cast<size_t>(size));
  packet->pts = packet->dts = 90000 + 126000;  // behind the muxer's own start offset
  packet->stream_index = 0;
  EXPECT_GE(ff::av_interleaved_write_frame(output, packet), 0);
  ff::av_packet_free(&packet);
  ff::av_write_trailer(output);
  ff::avio_closep(&output->pb);
  ff::avformat_free_context(output);
  ff::avcodec_free_context(&encoder);
  return path;
}

// Subtitle packet times of the first subtitle stream, in its time base.
std::vector<int64_t> SubtitlePacketTimes(const std::string& path) {
  std::string text;
  mftest::Run("ffprobe -v error -select_streams s:0 -show_entries packet=pts -of csv=p=0 '" + path + "'", &text);
  std::vector<int64_t> times;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    if (!line.empty()) times.push_back(std::atoll(line.c_str()));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return times;
}

// A DVB subtitle shown for 3000 ms is written as two packets: one shows it, one 3000 ms later
// clears it: 270000 ticks of the 90 kHz clock of MPEG-TS, 3000 of Matroska's milliseconds.
TEST_F(VideoPathTest, DvbSubtitleIsShownAndClearedByTwoPackets) {
  const std::string input = DvbSubtitleFile();
  for (const auto& [extension, apart] : {std::pair{"ts", 270000}, std::pair{"mkv", 3000}}) {
    SCOPED_TRACE(extension);
    Engine.ResetOptions();
    const std::string output = OutputPath(std::string("dvbsub.") + extension);
    ASSERT_NO_THROW(Convert(input, {{"scodec", "dvbsub"}}, output));
    const mftest::TProbe probe = Probe(output);
    ASSERT_EQ(probe.CountOf("subtitle"), 1);
    EXPECT_EQ(probe.StreamOf("subtitle").at("codec_name"), "dvb_subtitle");
    const std::vector<int64_t> times = SubtitlePacketTimes(output);
    ASSERT_EQ(times.size(), 2u);
    EXPECT_EQ(times[1] - times[0], apart);
  }
  fs::remove(input);
}

// A text subtitle track beside the picture is carried into containers that take text.
TEST_F(VideoPathTest, TextSubtitleTrackIsCarriedIntoMkvAndMp4) {
  const std::string subtitles =
      mftest::MakeTextFile("video-path-subtitles.srt",
                           "1\n00:00:00,200 --> 00:00:00,800\nFirst line\n\n2\n00:00:01,000 --> 00:00:01,600\nSecond line\n");
  const std::string input = MakeMedia("video-path-subtitled.mkv", "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -i " +
                                                                      subtitles + " -c:v mpeg4 -q:v 3 -c:s srt");
  // The Matroska muxer names a text format of its own; MP4 gets the one it takes by name.
  for (const auto& [extension, codec] : {std::pair{"mkv", "ass"}, std::pair{"mp4", "mov_text"}}) {
    SCOPED_TRACE(extension);
    Engine.ResetOptions();
    const std::string output = OutputPath(std::string("subtitled.") + extension);
    TOptions options{{"vcodec", "mpeg4"}};
    if (std::string(extension) == "mp4") options.emplace_back("scodec", "mov_text");
    ASSERT_NO_THROW(Convert(input, options, output));
    const mftest::TProbe probe = Probe(output);
    ASSERT_EQ(probe.CountOf("subtitle"), 1);
    EXPECT_EQ(probe.StreamOf("subtitle").at("codec_name"), codec);
    EXPECT_EQ(CountFrames(output, "subtitle"), 2);
    EXPECT_EQ(CountFrames(output, "video"), 50);
  }
}

}  // namespace
