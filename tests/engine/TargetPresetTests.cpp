// Disc presets: the norm they settle on, the settings of each, and those settings arriving in
// the encoders and the muxer of the output created afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "InputOutputTestSupport.h"

namespace {

using mftest::EngineTest;
using mftest::OptionInt;

constexpr int64_t Unchanged = -2;

class TargetPresetTest : public EngineTest {
 protected:
  const std::string* PrivateOption(const std::string& name) {
    for (const auto& option : Engine.PrivateOptions)
      if (option.first == name) return &option.second;
    return nullptr;
  }
  void* VideoOptions() { return Engine.CodecOptionContexts[AVMEDIA_TYPE_VIDEO].get(); }
  void* AudioOptions() { return Engine.CodecOptionContexts[AVMEDIA_TYPE_AUDIO].get(); }

  bool LogHas(const std::string& text) {
    return std::any_of(Log.begin(), Log.end(), [&](const mftest::TLogLine& line) { return line.Text == text; });
  }
};

TEST_F(TargetPresetTest, EachPresetSetsItsColumnAndItReachesTheEncodersAndTheMuxer) {
  const struct {
    const char* Target;
    const char* Norm;
    const char* Extension;
    const char* VideoCodec;  // null: unchanged
    const char* AudioCodec;
    const char* Format;
    int Width, Height;
    AVRational Rate;
    AVPixelFormat PixelFormat;  // AV_PIX_FMT_NONE: unchanged
    int64_t Gop, BitRate, MaxRate, MinRate, BufferSize, AudioBitRate;
    int SampleRate;
    int64_t PacketSize, MuxRate, PreloadUs;
    bool ScanOffset;
    double Aspect;  // 0: unchanged
  } cases[] = {
      {"vcd", "pal", "mpg", "mpeg1video", "mp2", "vcd", 352, 288, {25, 1}, AV_PIX_FMT_NONE, 15, 1150000, 1150000, 1150000,
       327680, 224000, 44100, 2324, 1411200, 440000, false, 4.0 / 3.0},
      {"vcd", "ntsc", "mpg", "mpeg1video", "mp2", "vcd", 352, 240, {30000, 1001}, AV_PIX_FMT_NONE, 18, 1150000, 1150000,
       1150000, 327680, 224000, 44100, 2324, 1411200, 440000, false, 4.0 / 3.0},
      {"svcd", "pal", "mpg", "mpeg2video", "mp2", "svcd", 480, 576, {25, 1}, AV_PIX_FMT_NONE, 15, 2040000, 2516000, 0,
       1835008, 224000, 44100, 2324, Unchanged, Unchanged, true, 4.0 / 3.0},
      {"dvd", "pal", "vob", "mpeg2video", "ac3", "dvd", 720, 576, {25, 1}, AV_PIX_FMT_NONE, 15, 6000000, 9000000, 0,
       1835008, 448000, 48000, 2048, 10080000, Unchanged, false, 16.0 / 9.0},
      {"dvd", "film", "vob", "mpeg2video", "ac3", "dvd", 720, 480, {24000, 1001}, AV_PIX_FMT_NONE, 18, 6000000, 9000000,
       0, 1835008, 448000, 48000, 2048, 10080000, Unchanged, false, 16.0 / 9.0},
      {"dv", "pal", "dv", nullptr, nullptr, "dv", 720, 576, {25, 1}, AV_PIX_FMT_YUV420P, Unchanged, Unchanged, Unchanged,
       Unchanged, Unchanged, Unchanged, 48000, Unchanged, Unchanged, Unchanged, false, 0},
      {"dv", "ntsc", "dv", nullptr, nullptr, "dv", 720, 480, {30000, 1001}, AV_PIX_FMT_YUV411P, Unchanged, Unchanged,
       Unchanged, Unchanged, Unchanged, Unchanged, 48000, Unchanged, Unchanged, Unchanged, false, 0},
      {"dv50", "film", "dv", nullptr, nullptr, "dv", 720, 480, {24000, 1001}, AV_PIX_FMT_YUV422P, Unchanged, Unchanged,
       Unchanged, Unchanged, Unchanged, Unchanged, 48000, Unchanged, Unchanged, Unchanged, false, 0},
  };

  // What "unchanged" means: the values of a freshly reset engine.
  const int64_t defaultGop = OptionInt(VideoOptions(), "g");
  const int64_t defaultBitRate = OptionInt(VideoOptions(), "b");
  const int64_t defaultMaxRate = OptionInt(VideoOptions(), "maxrate");
  const int64_t defaultMinRate = OptionInt(VideoOptions(), "minrate");
  const int64_t defaultBufferSize = OptionInt(VideoOptions(), "bufsize");
  const int64_t defaultAudioBitRate = OptionInt(AudioOptions(), "b");
  const int64_t defaultPacketSize = OptionInt(Engine.FormatOptionContext.get(), "packetsize");
  auto expected = [](int64_t value, int64_t unchanged) { return value == Unchanged ? unchanged : value; };

  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Norm) + "-" + c.Target);
    Engine.ResetOptions();
    Engine.AudioChannels = 1;
    Engine.ApplyTargetPreset(c.Target, c.Norm, "ntsc");

    // The option state.
    EXPECT_STREQ(Engine.VideoCodecName.get(), c.VideoCodec);
    EXPECT_STREQ(Engine.AudioCodecName.get(), c.AudioCodec);
    ASSERT_NE(Engine.OutputFormat, nullptr);
    EXPECT_STREQ(Engine.OutputFormat->name, c.Format);
    EXPECT_EQ(Engine.FrameWidth, c.Width);
    EXPECT_EQ(Engine.FrameHeight, c.Height);
    EXPECT_EQ(Engine.FrameRate.num, c.Rate.num);
    EXPECT_EQ(Engine.FrameRate.den, c.Rate.den);
    EXPECT_EQ(Engine.FramePixelFormat, c.PixelFormat);
    EXPECT_EQ(OptionInt(VideoOptions(), "g"), expected(c.Gop, defaultGop));
    EXPECT_EQ(OptionInt(VideoOptions(), "b"), expected(c.BitRate, defaultBitRate));
    EXPECT_EQ(OptionInt(VideoOptions(), "maxrate"), expected(c.MaxRate, defaultMaxRate));
    EXPECT_EQ(OptionInt(VideoOptions(), "minrate"), expected(c.MinRate, defaultMinRate));
    EXPECT_EQ(OptionInt(VideoOptions(), "bufsize"), expected(c.BufferSize, defaultBufferSize));
    EXPECT_EQ(OptionInt(AudioOptions(), "b"), expected(c.AudioBitRate, defaultAudioBitRate));
    EXPECT_EQ(Engine.AudioSampleRate, c.SampleRate);
    EXPECT_EQ(Engine.AudioChannels, 2) << "mono becomes stereo in every preset";
    EXPECT_EQ(OptionInt(Engine.FormatOptionContext.get(), "packetsize"), expected(c.PacketSize, defaultPacketSize));
    EXPECT_NEAR(Engine.FrameAspectRatio, c.Aspect, 1e-6);

    // The encoders and the muxer of the output made next (no input: the format's own codecs).
    ASSERT_TRUE(Engine.OpenOutputFile(mftest::FreshOutput(std::string(c.Target) + "." + c.Extension))) << Engine.ErrorMessage;
    AVFormatContext* output = Engine.OutputFiles[0].get();
    ASSERT_EQ(output->nb_streams, 2u);
    const AVCodecContext* video = Engine.OutputStreamSetups[0][0].Encoder.get();
    const AVCodecContext* audio = Engine.OutputStreamSetups[0][1].Encoder.get();
    ASSERT_EQ(video->codec_type, AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(audio->codec_type, AVMEDIA_TYPE_AUDIO);
    if (c.VideoCodec) { EXPECT_STREQ(ff::avcodec_get_name(video->codec_id), c.VideoCodec); }
    EXPECT_EQ(video->width, c.Width);
    EXPECT_EQ(video->height, c.Height);
    EXPECT_EQ(video->time_base.num, c.Rate.den);
    EXPECT_EQ(video->time_base.den, c.Rate.num);
    if (c.PixelFormat != AV_PIX_FMT_NONE) { EXPECT_EQ(video->pix_fmt, c.PixelFormat); }
    if (c.Gop != Unchanged) { EXPECT_EQ(video->gop_size, c.Gop); }
    if (c.BitRate != Unchanged) { EXPECT_EQ(video->bit_rate, c.BitRate); }
    if (c.MaxRate != Unchanged) { EXPECT_EQ(video->rc_max_rate, c.MaxRate); }
    if (c.MinRate != Unchanged) { EXPECT_EQ(video->rc_min_rate, c.MinRate); }
    if (c.BufferSize != Unchanged) { EXPECT_EQ(video->rc_buffer_size, c.BufferSize); }
    if (c.VideoCodec && std::string(c.VideoCodec) == "mpeg2video") {
      EXPECT_EQ(OptionInt(video->priv_data, "scan_offset"), c.ScanOffset ? 1 : 0);
    }
    if (c.AudioCodec) { EXPECT_STREQ(ff::avcodec_get_name(audio->codec_id), c.AudioCodec); }
    if (c.AudioBitRate != Unchanged) { EXPECT_EQ(audio->bit_rate, c.AudioBitRate); }
    EXPECT_EQ(audio->sample_rate, c.SampleRate);
    EXPECT_EQ(audio->ch_layout.nb_channels, 2);
    if (c.PacketSize != Unchanged) { EXPECT_EQ(static_cast<int64_t>(output->packet_size), c.PacketSize); }
    if (c.MuxRate != Unchanged) { EXPECT_EQ(OptionInt(output->priv_data, "muxrate"), c.MuxRate); }
    if (c.PreloadUs != Unchanged) { EXPECT_EQ(OptionInt(output->priv_data, "preload"), c.PreloadUs); }
  }
}

TEST_F(TargetPresetTest, NormIsTheRequestedRatesThenTheInputsThenTheFallback) {
  const std::string pal = mftest::Clip25();
  const std::string film = mftest::SmallClip("io-160x120-23.976fps.mkv", "24000/1001");
  const std::string ntsc = mftest::SmallClip("io-160x120-29.97fps.mkv", "30000/1001");
  const struct {
    const char* Name;
    std::string Input;  // empty: none
    const char* Rate;   // requested after the input is open; empty: the input's
    int Verbosity;
    bool Pal;
    bool Logged;
  } cases[] = {
      {"25 fps input", pal, "", 1, true, true},
      {"25 fps input, quiet engine", pal, "", 0, true, false},
      {"23.976 fps input", film, "", 2, false, true},
      {"29.97 fps input", ntsc, "", 1, false, true},
      {"requested rate before the input's", pal, "30000/1001", 1, false, true},
      {"requested rate of no norm: the input's stream", film, "10", 1, false, true},
      {"nothing decides: the fallback", "", "10", 1, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    Log.clear();
    CaptureLog();
    if (!c.Input.empty()) {
      ASSERT_TRUE(Engine.OpenInputFile(c.Input)) << Engine.ErrorMessage;
    }
    Engine.SetOption("r", c.Rate);
    Engine.Verbosity = c.Verbosity;
    Engine.SetOption("target", "vcd");
    EXPECT_EQ(Engine.FrameHeight, c.Pal ? 288 : 240);
    EXPECT_EQ(Engine.FrameRate.num, c.Pal ? 25 : 30000);
    EXPECT_EQ(OptionInt(VideoOptions(), "g"), c.Pal ? 15 : 18);
    EXPECT_EQ(LogHas(c.Pal ? "Assuming PAL for target." : "Assuming NTSC for target."), c.Logged);
    EXPECT_EQ(Log.size(), c.Logged ? 1u : 0u);
  }

  // The fallback the caller names, when nothing else decides.
  const struct {
    const char* Fallback;
    int Height;
    int RateNum;
    const char* Logged;
  } fallbacks[] = {{"film", 480, 24000, "Assuming NTSC for target."},
                   {"ntsc", 480, 30000, "Assuming NTSC for target."},
                   {"pal", 576, 25, "Assuming PAL for target."},
                   {"secam", 576, 25, "Assuming PAL for target."}};
  for (const auto& f : fallbacks) {
    SCOPED_TRACE(f.Fallback);
    Engine.ResetOptions();
    Log.clear();
    CaptureLog();
    Engine.SetOption("r", "10");
    Engine.ApplyTargetPreset("dvd", "auto", f.Fallback);
    EXPECT_EQ(Engine.FrameHeight, f.Height);
    EXPECT_EQ(Engine.FrameRate.num, f.RateNum);
    EXPECT_TRUE(LogHas(f.Logged));
  }
}

TEST_F(TargetPresetTest, NamedNormSkipsTheDetection) {
  CaptureLog();
  ASSERT_TRUE(Engine.OpenInputFile(mftest::SmallClip("io-160x120-29.97fps.mkv", "30000/1001"))) << Engine.ErrorMessage;
  Engine.Verbosity = 2;
  Engine.SetOption("target", "pal-dvd");
  EXPECT_EQ(Engine.FrameWidth, 720);
  EXPECT_EQ(Engine.FrameHeight, 576);
  EXPECT_EQ(Engine.FrameRate.num, 25);
  EXPECT_EQ(Engine.FrameRate.den, 1);
  EXPECT_EQ(OptionInt(VideoOptions(), "g"), 15);
  EXPECT_EQ(Engine.AudioSampleRate, 48000);
  EXPECT_NEAR(Engine.FrameAspectRatio, 4.0 / 3.0, 1e-4) << "the input's aspect stays";
  EXPECT_TRUE(Log.empty());
}

TEST_F(TargetPresetTest, UnknownTargetsAndRatesAreRefused) {
  // No rate requested and no input: nothing to detect a norm from.
  EXPECT_EQ(mftest::RaisedMessage<mf::FFMpegException>([&] { Engine.SetOption("target", "vcd"); }),
            "frame_rate is invalid.");
  // A named norm needs no rate.
  Engine.SetOption("target", "ntsc-vcd");
  EXPECT_EQ(Engine.FrameHeight, 240);

  for (const char* target : {"cdi", "pal-laserdisc", "VCD"}) {
    SCOPED_TRACE(target);
    Engine.ResetOptions();
    CaptureLog();
    Log.clear();
    Engine.SetOption("r", "25");
    EXPECT_EQ(mftest::RaisedMessage<mf::FFMpegException>([&] { Engine.SetOption("target", target); }),
              "Unknown target type");
    // The norm was settled before the target was looked up.
    EXPECT_EQ(LogHas("Assuming PAL for target."), std::string(target).find('-') == std::string::npos);
    EXPECT_EQ(Engine.OutputFormat, nullptr);
  }
}

// Reads a whole file.
std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class TargetConversionTest : public TargetPresetTest {
 protected:
  void Convert(const std::string& input, const std::string& target, const std::string& output) {
    ASSERT_TRUE(Engine.OpenInputFile(input)) << Engine.ErrorMessage;
    Engine.SetOption("target", target);
    ASSERT_TRUE(Engine.OpenOutputFile(output)) << Engine.ErrorMessage;
    try {
      Engine.Transcode();
    } catch (const std::exception& e) {
      Engine.CloseOpenCodecs();
      FAIL() << e.what();
    }
  }
};

TEST_F(TargetConversionTest, VcdFileHasTheDiscsPacksAndStreams) {
  const std::string output = mftest::FreshOutput("disc.mpg");
  Convert(mftest::Clip25(), "vcd", output);
  const mftest::TProbe probe = mftest::Probe(output);
  ASSERT_TRUE(probe.Ok);
  EXPECT_EQ(probe.FormatValue("format_name"), "mpeg");
  const auto& video = probe.StreamOf("video");
  EXPECT_EQ(video.at("codec_name"), "mpeg1video");
  EXPECT_EQ(mftest::IntField(video, "width"), 352);
  EXPECT_EQ(mftest::IntField(video, "height"), 288);
  EXPECT_EQ(video.at("r_frame_rate"), "25/1");
  const auto& audio = probe.StreamOf("audio");
  EXPECT_EQ(audio.at("codec_name"), "mp2");
  EXPECT_EQ(mftest::IntField(audio, "sample_rate"), 44100);
  EXPECT_EQ(mftest::IntField(audio, "channels"), 2);
  EXPECT_EQ(mftest::IntField(audio, "bit_rate"), 224000);
  // Every pack of a video CD has the disc's sector payload.
  const auto size = std::filesystem::file_size(output);
  EXPECT_GT(size, 0u);
  EXPECT_EQ(size % 2324, 0u) << size;
}

TEST_F(TargetConversionTest, SvcdVideoReservesTheScanOffset) {
  const std::string output = mftest::FreshOutput("disc.mpg");
  Convert(mftest::Clip25(), "svcd", output);
  const mftest::TProbe probe = mftest::Probe(output);
  ASSERT_TRUE(probe.Ok);
  const auto& video = probe.StreamOf("video");
  EXPECT_EQ(video.at("codec_name"), "mpeg2video");
  EXPECT_EQ(mftest::IntField(video, "width"), 480);
  EXPECT_EQ(mftest::IntField(video, "height"), 576);
  // The user data the encoder writes as the player's placeholder for the scan offsets.
  const std::string placeholder("\x00\x00\x01\xb2\x10\x0e\x00\x80\x81\x00\x80\x81\xff\xff\xff\xff\xff\xff", 18);
  EXPECT_NE(FileBytes(output).find(placeholder), std::string::npos);
}

}  // namespace
