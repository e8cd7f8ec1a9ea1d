// Opening inputs: what a failure says and leaves, what a success adopts and registers.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>

#include "InputOutputTestSupport.h"
#include "OpenErrors.h"

namespace {

using mftest::EngineTest;

class InputOpeningTest : public EngineTest {
 protected:
  // The per-file settings an open consumes, set to values other than their defaults.
  void SetPerFileOptions() {
    Engine.SetInputFormat("mp4");
    Engine.VideoChannel = 3;
    Engine.RateEmulation = 1;
  }

  void ExpectPerFileOptionsReset() {
    EXPECT_EQ(Engine.InputFormat, nullptr);
    EXPECT_EQ(Engine.OutputFormat, nullptr);
    EXPECT_EQ(Engine.VideoChannel, 0);
    EXPECT_EQ(Engine.RateEmulation, 0);
    EXPECT_EQ(Engine.VideoCodecName, nullptr);
    EXPECT_EQ(Engine.AudioCodecName, nullptr);
    EXPECT_EQ(Engine.SubtitleCodecName, nullptr);
  }

  AVStream* Stream(int file, AVMediaType type) {
    AVFormatContext* input = Engine.InputFiles[file].get();
    for (unsigned s = 0; s < input->nb_streams; ++s)
      if (input->streams[s]->codecpar->codec_type == type) return input->streams[s];
    ADD_FAILURE() << "no stream of type " << type;
    return nullptr;
  }
};

// A WAV file whose signature is right and whose format chunk is too short to be one.
std::string BrokenHeaderWav() {
  std::string bytes = "RIFF";
  bytes += std::string("\x24\x00\x00\x00", 4);
  bytes += "WAVEfmt ";
  bytes += std::string("\x02\x00\x00\x00\x01\x00", 6);
  bytes += "data";
  bytes += std::string("\x10\x00\x00\x00", 4);
  bytes += std::string(16, '\0');
  return mftest::MakeTextFile("io-broken-header.wav", bytes);
}

// A Matroska file cut inside its header.
std::string TruncatedMkv() {
  const std::string whole = mftest::LongStill(60);
  const std::string cut = mftest::DataDir() + "/io-truncated.mkv";
  std::filesystem::copy_file(whole, cut, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::resize_file(cut, 100);
  return cut;
}

TEST_F(InputOpeningTest, FailuresSayWhyAndRegisterNothing) {
  const std::string missing = mftest::DataDir() + "/io-no-such-file.mp4";
  const std::string text = mftest::MakeTextFile("io-notes.mp4", "plain words, not media\n");
  const std::string truncated = TruncatedMkv();
  const std::string broken = BrokenHeaderWav();
  const std::string clip = mftest::SquareClip();

  const struct {
    const char* Name;
    std::string File;
    std::function<void(mf::TCustomFFmpeg&)> Options;
    std::string Expected;
  } cases[] = {
      {"missing file", missing, nullptr, missing + ": no such file or directory"},
      {"text file", text, nullptr, text + ": Unknown format"},
      {"truncated file", truncated, nullptr,
       truncated + ": I/O error occurred\r\nUsually that means that input file is truncated and/or corrupted."},
      {"good signature, broken header", broken, nullptr, broken + ": Error while parsing header"},
      {"unknown video decoder", clip, [](mf::TCustomFFmpeg& e) { e.SetVideoCodec("nosuchcodec"); },
       "Unknown decoder 'nosuchcodec'"},
      {"audio decoder named as video", clip, [](mf::TCustomFFmpeg& e) { e.SetVideoCodec("mp3"); },
       "Invalid decoder type 'mp3'"},
      {"unknown subtitle decoder", clip, [](mf::TCustomFFmpeg& e) { e.SetSubtitleCodec("nosuchsubs"); },
       "Unknown decoder 'nosuchsubs'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    SetPerFileOptions();
    if (c.Options) c.Options(Engine);
    // The forced container would decide the message of the file cases; these are about guessing.
    if (!c.Options) Engine.InputFormat = nullptr;

    EXPECT_FALSE(Engine.OpenInputFile(c.File));
    EXPECT_EQ(Engine.ErrorMessage, c.Expected);
    EXPECT_EQ(Engine.InputFileCount, 0);
    EXPECT_EQ(Engine.InputFiles[0], nullptr);
    EXPECT_TRUE(Engine.InputDecoders[0].empty());
    EXPECT_EQ(Engine.TotalOutputDurationMs, -1);
    ExpectPerFileOptionsReset();
  }
}

TEST(OpenErrorMeaning, SystemCodesThatEqualOldKeysKeepTheGenericText) {
  // Invalid argument, out of domain, no message: negated, they are -22, -33 and -42.
  for (int code : {EINVAL, EDOM, ENOMSG}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(mf::OpenErrorText("in.avi", mf::OpenErrorCode(-code, true)), "in.avi: Error while opening file");
  }
}

TEST_F(InputOpeningTest, AdoptsTheStreamsPropertiesAndKeepsADecoderPerStream) {
  const struct {
    const char* Name;
    std::string File;
    int Width, Height;
    double Aspect;
    AVRational Rate;
    AVPixelFormat PixelFormat;
  } cases[] = {
      {"square pixels", mftest::SquareClip(), 640, 480, 4.0 / 3.0, {25, 1}, AV_PIX_FMT_YUV420P},
      {"pixel shape unknown", mftest::UnknownAspectClip(), 640, 480, 4.0 / 3.0, {5, 1}, AV_PIX_FMT_YUVJ444P},
      {"wide pixels", mftest::WideClip(), 720, 576, 16.0 / 9.0, {5, 1}, AV_PIX_FMT_YUV420P},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    ASSERT_TRUE(Engine.OpenInputFile(c.File)) << Engine.ErrorMessage;
    EXPECT_EQ(Engine.FrameWidth, c.Width);
    EXPECT_EQ(Engine.FrameHeight, c.Height);
    EXPECT_NEAR(Engine.FrameAspectRatio, c.Aspect, 1e-4);
    EXPECT_EQ(Engine.FrameRate.num, c.Rate.num);
    EXPECT_EQ(Engine.FrameRate.den, c.Rate.den);
    EXPECT_EQ(Engine.FramePixelFormat, c.PixelFormat);

    ASSERT_EQ(Engine.InputFileCount, 1);
    const AVFormatContext* input = Engine.InputFiles[0].get();
    ASSERT_EQ(Engine.InputDecoders[0].size(), input->nb_streams);
    for (unsigned s = 0; s < input->nb_streams; ++s) {
      EXPECT_EQ(Engine.InputDecoders[0][s]->codec_type, input->streams[s]->codecpar->codec_type);
      EXPECT_EQ(Engine.InputDecoders[0][s]->codec_id, input->streams[s]->codecpar->codec_id);
    }
  }

  // The audio of the first clip: its rate and channels replace the defaults (44100, 2).
  Engine.ResetOptions();
  SetPerFileOptions();
  Engine.InputFormat = nullptr;
  ASSERT_TRUE(Engine.OpenInputFile(mftest::SquareClip())) << Engine.ErrorMessage;
  EXPECT_EQ(Engine.AudioSampleRate, 22050);
  EXPECT_EQ(Engine.AudioChannels, 1);
  EXPECT_EQ(Engine.InputFileTsOffsets[0], 0);
  EXPECT_EQ(Engine.InputRateEmulation[0], true);
  ExpectPerFileOptionsReset();
}

TEST_F(InputOpeningTest, DescribesTheFileToTheLibraryLogUnlessQuiet) {
  for (int verbosity : {1, -1}) {
    SCOPED_TRACE(verbosity);
    Engine.ResetOptions();
    mftest::TLibraryLogCapture capture;
    Engine.Verbosity = verbosity;
    ASSERT_TRUE(Engine.OpenInputFile(mftest::Clip25())) << Engine.ErrorMessage;
    bool described = false;
    for (const std::string& line : mftest::TLibraryLogCapture::Texts())
      described = described || line.find("Input #0") != std::string::npos;
    EXPECT_EQ(described, verbosity >= 0);
  }
}

TEST_F(InputOpeningTest, VideoOfUnknownSizeOpensWithUnknownAspect) {
  // Four bytes of an elementary MPEG-4 stream: a video stream, but no picture size to find.
  const std::string file = mftest::MakeTextFile("io-sizeless.m4v", std::string("\x00\x00\x00\x1c", 4));
  Engine.Verbosity = -1;
  ASSERT_TRUE(Engine.OpenInputFile(file)) << Engine.ErrorMessage;
  EXPECT_EQ(Engine.FrameWidth, 0);
  EXPECT_EQ(Engine.FrameHeight, 0);
  EXPECT_EQ(Engine.FrameAspectRatio, 0.0f);
  EXPECT_EQ(Engine.InputFileCount, 1);
}

TEST_F(InputOpeningTest, StartTimeSeeksTheFileAndOffsetsItsTimestamps) {
  const std::string file = mftest::LongSilence(40);
  const struct {
    const char* Name;
    bool CopyTimestamps;
    int64_t InputTsOffset;
    int64_t ExpectedOffset;
  } cases[] = {
      {"plain", false, 0, -30000000},
      {"copied timestamps", true, 0, 0},
      {"input offset", false, 2000000, 2000000 - 30000000},
      {"input offset, copied timestamps", true, 2000000, 2000000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    Engine.StartTime = 30000000;
    Engine.CopyTimestamps = c.CopyTimestamps;
    Engine.InputTsOffset = c.InputTsOffset;
    ASSERT_TRUE(Engine.OpenInputFile(file)) << Engine.ErrorMessage;
    EXPECT_EQ(Engine.StartTime, 0);
    EXPECT_EQ(Engine.InputFileTsOffsets[0], c.ExpectedOffset);

    // Reading goes on from the sought position, not from the start.
    AVFormatContext* input = Engine.InputFiles[0].get();
    mf::TPacketPtr packet(ff::av_packet_alloc());
    ASSERT_GE(ff::av_read_frame(input, packet.get()), 0);
    const double seconds = static_cast<double>(packet->pts) * av_q2d(input->streams[packet->stream_index]->time_base);
    EXPECT_NEAR(seconds, 30.0, 0.5);
  }
}

TEST_F(InputOpeningTest, TotalOutputDurationIsTheLongestInput) {
  const struct {
    int Seconds;
    int ExpectedMs;
  } opens[] = {{60, 60000}, {90, 90000}, {60, 90000}};
  for (const auto& open : opens) {
    SCOPED_TRACE(open.Seconds);
    ASSERT_TRUE(Engine.OpenInputFile(mftest::LongStill(open.Seconds))) << Engine.ErrorMessage;
    EXPECT_EQ(Engine.TotalOutputDurationMs, open.ExpectedMs);
  }
  EXPECT_EQ(Engine.InputFileCount, 3);
}

TEST_F(InputOpeningTest, DisabledStreamsAreDiscardedAndStillDescribeTheInput) {
  Engine.AudioDisable = 1;
  ASSERT_TRUE(Engine.OpenInputFile(mftest::SquareClip())) << Engine.ErrorMessage;
  EXPECT_EQ(Stream(0, AVMEDIA_TYPE_AUDIO)->discard, AVDISCARD_ALL);
  EXPECT_NE(Stream(0, AVMEDIA_TYPE_VIDEO)->discard, AVDISCARD_ALL);
  EXPECT_EQ(Engine.AudioSampleRate, 22050);
  EXPECT_EQ(Engine.AudioChannels, 1);

  Engine.ResetOptions();
  Engine.VideoDisable = 1;
  ASSERT_TRUE(Engine.OpenInputFile(mftest::SquareClip())) << Engine.ErrorMessage;
  EXPECT_EQ(Stream(0, AVMEDIA_TYPE_VIDEO)->discard, AVDISCARD_ALL);
  EXPECT_NE(Stream(0, AVMEDIA_TYPE_AUDIO)->discard, AVDISCARD_ALL);
  EXPECT_EQ(Engine.FrameWidth, 640);

  Engine.ResetOptions();
  Engine.VideoDiscard = AVDISCARD_NONKEY;
  ASSERT_TRUE(Engine.OpenInputFile(mftest::SquareClip())) << Engine.ErrorMessage;
  EXPECT_EQ(Stream(0, AVMEDIA_TYPE_VIDEO)->discard, AVDISCARD_NONKEY);
}

TEST_F(InputOpeningTest, RawInputsTakeTheirShapeFromThePendingOptions) {
  const std::string video = mftest::MakeMedia(
      "io-raw-160x120-10fps.yuv", "-f lavfi -i testsrc=size=160x120:rate=10:duration=1 -pix_fmt yuv420p -f rawvideo");
  Engine.SetInputFormat("rawvideo");
  Engine.SetOption("s", "160x120");
  Engine.SetOption("r", "10");
  Engine.SetOption("pix_fmt", "yuv420p");
  ASSERT_TRUE(Engine.OpenInputFile(video)) << Engine.ErrorMessage;
  EXPECT_EQ(Engine.FrameWidth, 160);
  EXPECT_EQ(Engine.FrameHeight, 120);
  EXPECT_EQ(Engine.FrameRate.num, 10);
  EXPECT_EQ(Engine.FrameRate.den, 1);
  EXPECT_EQ(Engine.FramePixelFormat, AV_PIX_FMT_YUV420P);
  EXPECT_EQ(Engine.TotalOutputDurationMs, 1000);

  Engine.ResetOptions();
  const std::string audio =
      mftest::MakeMedia("io-raw-8k-mono.pcm", "-f lavfi -i sine=sample_rate=8000:duration=1 -ac 1 -f s16le");
  Engine.SetInputFormat("s16le");
  Engine.SetOption("ar", "8000");
  Engine.SetOption("ac", "1");
  ASSERT_TRUE(Engine.OpenInputFile(audio)) << Engine.ErrorMessage;
  EXPECT_EQ(Engine.AudioSampleRate, 8000);
  EXPECT_EQ(Engine.AudioChannels, 1);
  EXPECT_EQ(Engine.TotalOutputDurationMs, 1000);
}

TEST_F(InputOpeningTest, ProgramIdDiscardsTheOtherPrograms) {
  const std::string file = mftest::MakeMedia(
      "io-two-programs.ts",
      "-f lavfi -i testsrc=size=160x120:rate=25:duration=1 -f lavfi -i testsrc2=size=176x144:rate=25:duration=1 "
      "-map 0 -map 1 -c:v mpeg2video -program program_num=1:st=0 -program program_num=2:st=1");
  Engine.SetOption("programid", "2");
  ASSERT_TRUE(Engine.OpenInputFile(file)) << Engine.ErrorMessage;
  const AVFormatContext* input = Engine.InputFiles[0].get();
  ASSERT_EQ(input->nb_programs, 2u);
  for (unsigned p = 0; p < input->nb_programs; ++p) {
    SCOPED_TRACE(input->programs[p]->id);
    EXPECT_EQ(input->programs[p]->discard == AVDISCARD_ALL, input->programs[p]->id != 2);
  }
}

TEST_F(InputOpeningTest, TwentyFirstInputIsRefusedAndTheTableKept) {
  const std::string file = mftest::MonoTone();
  for (int i = 0; i < mf::MaxFiles; ++i) ASSERT_TRUE(Engine.OpenInputFile(file)) << i << ": " << Engine.ErrorMessage;
  SetPerFileOptions();
  EXPECT_FALSE(Engine.OpenInputFile(file));
  EXPECT_EQ(Engine.ErrorMessage, "Too many input files (at most 20)");
  EXPECT_EQ(Engine.InputFileCount, mf::MaxFiles);
  ExpectPerFileOptionsReset();
}

}  // namespace
