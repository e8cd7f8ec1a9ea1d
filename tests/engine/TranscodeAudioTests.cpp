// Whole conversions through the engine: audio re-encoded into the containers the profiles
// use, and streams copied without decoding; every output read back by ffprobe.
#include <cmath>
#include <cstring>

#include "TranscodeTestSupport.h"

namespace mftest {
namespace {

using TOptions = std::vector<std::pair<std::string, std::string>>;

struct TAudioCase {
  const char* Name;
  std::string (*Input)();
  const char* Output;
  TOptions Options;
  const char* Codec;
  int Rate;
  int Channels;
  int FrameSamples;  // of the output's encoder: the tolerance of the duration
  bool PrimingCounted = false;  // the container's duration includes the encoder's priming
};

class AudioConversionTest : public TranscodeTest {};

TEST_F(AudioConversionTest, ConvertsIntoEachAudioFormatWithItsCodecRateChannelsAndDuration) {
  const TAudioCase cases[] = {
      {"mp3 to wav", Tone3sMp3, "a.wav", {}, "pcm_s16le", 44100, 2, 1152},
      {"wav to mp3", Tone3sWav, "a.mp3", {{"acodec", "libmp3lame"}, {"ab", "128000"}}, "mp3", 44100, 2, 1152, true},
      {"mp3 to m4a", Tone3sMp3, "a.m4a", {{"acodec", "libfaac"}, {"ab", "128000"}}, "aac", 44100, 2, 1024},
      {"wav to wma", Tone3sWav, "a.wma", {{"acodec", "wmav2"}, {"ab", "128000"}}, "wmav2", 44100, 2, 2048},
      {"wav to 3gp", Tone3sWav, "a.3gp", {{"acodec", "libamr_nb"}, {"ar", "8000"}, {"ac", "1"}, {"ab", "12200"}}, "amr_nb",
       8000, 1, 160},
  };
  for (const TAudioCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    const std::string input = c.Input();
    const std::string output = OutputPath(c.Output);
    ASSERT_EQ(Convert(input, c.Options, output), "");
    EXPECT_TRUE(Engine.FinishedNormally);
    ExpectNothingLeft();

    // Both inputs hold 3 s of sound. An MP3 file's duration counts its encoder's priming
    // too: the tool's own MP3 of the same sound tells how much.
    const double expected = c.PrimingCounted ? Probe(Tone3sMp3()).Duration() : 3.0;
    const TProbe out = Probe(output);
    ASSERT_TRUE(out.Ok);
    ASSERT_EQ(out.CountOf("audio"), 1);
    const auto& stream = out.StreamOf("audio");
    EXPECT_EQ(stream.at("codec_name"), c.Codec);
    EXPECT_EQ(IntField(stream, "sample_rate"), c.Rate);
    EXPECT_EQ(IntField(stream, "channels"), c.Channels);
    EXPECT_NEAR(out.Duration(), expected, static_cast<double>(c.FrameSamples) / c.Rate + 0.001);
  }
}

TEST_F(AudioConversionTest, CopiesVideoAndAudioIntoOtherContainersUnchanged) {
  const std::string input = VideoAudioMp4();
  const TProbe in = Probe(input);
  ASSERT_TRUE(in.Ok);
  for (const char* name : {"copy.mkv", "copy.avi"}) {
    SCOPED_TRACE(name);
    Engine.ResetOptions();
    const std::string output = OutputPath(name);
    ASSERT_EQ(Convert(input, {{"vcodec", "copy"}, {"acodec", "copy"}}, output), "");
    EXPECT_TRUE(Engine.FinishedNormally);
    ExpectNothingLeft();

    const TProbe out = Probe(output);
    ASSERT_TRUE(out.Ok);
    const auto &video = out.StreamOf("video"), &audio = out.StreamOf("audio");
    EXPECT_EQ(video.at("codec_name"), "mpeg4");
    EXPECT_EQ(IntField(video, "width"), 160);
    EXPECT_EQ(IntField(video, "height"), 120);
    EXPECT_EQ(video.at("r_frame_rate"), "25/1");
    EXPECT_EQ(audio.at("codec_name"), "aac");
    EXPECT_EQ(IntField(audio, "sample_rate"), 44100);
    EXPECT_EQ(IntField(audio, "channels"), 2);
    EXPECT_EQ(CountFrames(output, "video"), CountFrames(input, "video"));
    // The MP4 marks its first AAC frame as the encoder's priming, to be decoded and dropped;
    // these containers cannot say so, and play it (the tool's own copy does the same).
    EXPECT_EQ(CountFrames(output, "audio"), CountFrames(input, "audio") + 1);
    EXPECT_NEAR(out.Duration(), in.Duration(), 2 * 1024.0 / 44100 + 0.001);
  }
}


// Samples of the first channels of a WAV file made from constant levels, before and after a
// conversion with a volume.
TEST_F(AudioConversionTest, OneStreamCanBeCopiedAndReencodedAtOnce) {
  const std::string input = VideoAudioMp4();
  OpenInput(input);
  SetOptions({{"vn", ""}, {"acodec", "copy"}});
  const std::string copied = OutputPath("copied.mkv");
  CreateOutput(copied);
  const std::string encoded = OutputPath("encoded.wav");
  CreateOutput(encoded);
  ASSERT_EQ(RunTranscode(), "");
  EXPECT_EQ(CountFrames(copied, "audio"), CountFrames(input, "audio") + 1);
  EXPECT_EQ(Probe(copied).StreamOf("audio").at("codec_name"), "aac");
  // The decoder keeps the last frame's padding, as the tool's decoding of this file does.
  EXPECT_NEAR(Probe(encoded).Duration(), 2.0, 1024.0 / 44100);
}

TEST_F(AudioConversionTest, VolumeScalesEverySampleWithRoundingAndClamping) {
  // 1000, 20000 and -3 on three channels.
  const std::string input =
      MakeMedia("levels-3ch.wav", "-f lavfi -i 'aevalsrc=1000/32768|20000/32768|-3/32768:s=8000:d=0.5' -c:a pcm_s16le");
  struct {
    const char* Volume;
    int16_t Expected[3];
  } cases[] = {{"512", {2000, 32767, -6}}, {"128", {500, 10000, -1}}, {"256", {1000, 20000, -3}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Volume);
    Engine.ResetOptions();
    const std::string output = OutputPath(std::string("vol") + c.Volume + ".wav");
    ASSERT_EQ(Convert(input, {{"vol", c.Volume}}, output), "");
    const std::vector<int16_t> samples = WavSamples(output);
    ASSERT_EQ(samples.size(), 3u * 4000);
    for (size_t i = 0; i < samples.size(); i += 3)
      ASSERT_TRUE(samples[i] == c.Expected[0] && samples[i + 1] == c.Expected[1] && samples[i + 2] == c.Expected[2])
          << "at sample " << i / 3 << ": " << samples[i] << " " << samples[i + 1] << " " << samples[i + 2];
  }
}

TEST_F(AudioConversionTest, RateAndChannelConversionKeepsEverySample) {
  // 3 s at 44100 Hz stereo are 24000 samples at 8000 Hz mono, the resampler's last ones too.
  const std::string output = OutputPath("8k-mono.wav");
  ASSERT_EQ(Convert(Tone3sWav(), {{"ar", "8000"}, {"ac", "1"}}, output), "");
  const TProbe out = Probe(output);
  EXPECT_EQ(IntField(out.StreamOf("audio"), "sample_rate"), 8000);
  EXPECT_EQ(IntField(out.StreamOf("audio"), "channels"), 1);
  EXPECT_EQ(WavSamples(output).size(), 24000u);
}

// One stage of a run at a time: the tables of a prepared run of a 44100 Hz stereo input.
class AudioPathTest : public TranscodeTest {
 protected:
  void Prepare(const std::string& input, const std::string& output, const TOptions& options) {
    OpenInput(input);
    SetOptions(options);
    CreateOutput(OutputPath(output));
    Engine.PrepareTranscode();
  }
  void TearDown() override { Engine.ReleaseTranscodeState(); }

  mf::TInputStreamState& Ist() { return *Engine.InputStreams[0]; }
  mf::TOutputStreamState& Ost() { return *Engine.OutputStreams[0]; }
  size_t FifoBytes() { return ff::av_fifo_can_read(Ost().SampleFifo.get()); }

  // A block of silence of bytes (16-bit stereo) handed to the audio path at the input time ptsUs.
  void Feed(int bytes, int64_t ptsUs) {
    Ist().Pts = ptsUs;
    const std::vector<uint8_t> block(static_cast<size_t>(bytes), 0);
    Engine.OutputAudio(Ost(), Ist(), block.data(), bytes, 44100, 2);
  }

  int CountLines(const std::string& prefix) {
    int count = 0;
    for (const TLogLine& line : Log) count += line.Text.rfind(prefix, 0) == 0;
    return count;
  }
};

TEST_F(AudioPathTest, DecodedBlocksAdvanceTheStreamClockByTheirDuration) {
  ASSERT_NO_FATAL_FAILURE(Prepare(Tone3sWav(), "clock.wav", {}));
  mf::TPacketPtr packet(ff::av_packet_alloc());
  ASSERT_EQ(ff::av_new_packet(packet.get(), 4608), 0);
  std::memset(packet->data, 0, 4608);
  packet->pts = packet->dts = AV_NOPTS_VALUE;
  // 1152 stereo samples at 44100 Hz: 26122.4 microseconds, truncated.
  ASSERT_EQ(Engine.ProcessPacket(Ist(), 0, packet.get()), 0);
  EXPECT_EQ(Ist().Pts, 0);
  EXPECT_EQ(Ist().NextPts, 26122);
  ASSERT_EQ(Engine.ProcessPacket(Ist(), 0, packet.get()), 0);
  EXPECT_EQ(Ist().Pts, 26122);
  EXPECT_EQ(Ist().NextPts, 52244);
  // A packet with a decode time sets the clock.
  packet->dts = 44100;
  ASSERT_EQ(Engine.ProcessPacket(Ist(), 0, packet.get()), 0);
  EXPECT_EQ(Ist().Pts, 1000000);
  EXPECT_EQ(Ist().NextPts, 1026122);
}

TEST_F(AudioPathTest, APacketOfThreeMp3FramesGivesThreeBlocksAndTwoLogLines) {
  CaptureLog();
  ASSERT_NO_FATAL_FAILURE(Prepare(Tone3sMp3(), "three.wav", {}));
  // Three frames from the middle of the file in one packet.
  AVFormatContext* input = Engine.InputFiles[0].get();
  mf::TPacketPtr read(ff::av_packet_alloc()), packet(ff::av_packet_alloc());
  std::vector<uint8_t> data;
  for (int i = 0; i < 13; ++i) {
    ASSERT_GE(ff::av_read_frame(input, read.get()), 0);
    if (i >= 10) data.insert(data.end(), read->data, read->data + read->size);
    ff::av_packet_unref(read.get());
  }
  ASSERT_EQ(ff::av_new_packet(packet.get(), static_cast<int>(data.size())), 0);
  std::memcpy(packet->data, data.data(), data.size());
  packet->pts = packet->dts = AV_NOPTS_VALUE;
  const int64_t audioBefore = Engine.AudioBytes;
  ASSERT_EQ(Engine.ProcessPacket(Ist(), 0, packet.get()), 0);
  EXPECT_EQ(Ist().NextPts, 3 * 26122);
  EXPECT_EQ(Engine.AudioBytes - audioBefore, 3 * 4608);
  EXPECT_EQ(CountLines("Multiple frames in a packet from stream 0"), 2);
  for (const TLogLine& line : Log) {
    if (line.Text.rfind("Multiple frames", 0) == 0) {
      EXPECT_EQ(line.Level, 0);
    }
  }
}

TEST_F(AudioPathTest, TheFifoHandsWholeEncoderFramesOnAndKeepsTheRest) {
  // AAC: 1024 samples a frame, 4096 bytes of 16-bit stereo.
  ASSERT_NO_FATAL_FAILURE(Prepare(Tone3sWav(), "fifo.m4a", {{"acodec", "libfaac"}}));
  ASSERT_EQ(Ost().Encoder->frame_size, 1024);
  Feed(10000, 0);
  EXPECT_EQ(FifoBytes(), 1808u);
  EXPECT_EQ(Ost().SyncOpts, 2048);
  // The rest and the next block make two more frames: 1808 + 8000 = 2 * 4096 + 1616.
  Feed(8000, 0);
  EXPECT_EQ(FifoBytes(), 1616u);
}

struct TSyncCase {
  const char* Name;
  int64_t PtsUs;           // input time of the block
  int64_t ExpectedSyncOpts;  // output samples after a block of 1152
  const char* Logged;      // the line logged, or null
};

TEST_F(AudioPathTest, InsertOrDiscardKeepsTheOutputOnTheInputClock) {
  const TSyncCase cases[] = {
      // 0.5 s ahead: 22050 samples of silence in front of the block.
      {"silence", 500000, 22050 + 1152, "adding 22050 audio samples of silence"},
      // 40 samples is below the floor of 50: nothing is corrected.
      {"floor", 907, 1152, nullptr},
      // 60 samples is above it.
      {"above floor", 1361, 60 + 1152, "adding 60 audio samples of silence"},
  };
  for (const TSyncCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    Log.clear();
    CaptureLog();
    ASSERT_NO_FATAL_FAILURE(Prepare(Tone3sWav(), std::string("sync-") + c.Name + ".wav", {{"async", "1"}, {"v", "3"}}));
    Feed(4608, c.PtsUs);
    EXPECT_EQ(Ost().SyncOpts, c.ExpectedSyncOpts);
    EXPECT_EQ(Engine.AudioBytes, 4 * c.ExpectedSyncOpts);
    if (c.Logged) {
      EXPECT_EQ(CountLines(c.Logged), 1);
      EXPECT_FALSE(Ist().IsStart);
    } else {
      EXPECT_EQ(CountLines("adding"), 0);
      EXPECT_TRUE(Ist().IsStart);
    }
    Engine.ReleaseTranscodeState();
  }
}

TEST_F(AudioPathTest, OutputAheadOfTheInputDiscardsTheLeadingSamples) {
  CaptureLog();
  ASSERT_NO_FATAL_FAILURE(Prepare(Tone3sWav(), "discard.wav", {{"async", "1"}, {"v", "3"}}));
  Ost().SyncOpts = 1000;
  Feed(4608, 0);
  // 1000 samples (4000 bytes) dropped, 152 left.
  EXPECT_EQ(CountLines("discarding 1000 audio samples"), 1);
  EXPECT_EQ(Ost().SyncOpts, 1152);
  EXPECT_FALSE(Ist().IsStart);
  // A block that is dropped whole writes nothing.
  const int64_t before = Engine.AudioBytes;
  Ist().IsStart = true;
  Ost().SyncOpts = 10000;
  Feed(4608, 0);
  EXPECT_EQ(Engine.AudioBytes, before);
  EXPECT_EQ(Ost().SyncOpts, 10000);
}

TEST_F(AudioPathTest, SmallDriftIsStretchedByAtMostTheMethodsSamplesPerCall) {
  CaptureLog();
  ASSERT_NO_FATAL_FAILURE(Prepare(Tone3sWav(), "drift.wav", {{"async", "100"}, {"v", "3"}}));
  EXPECT_TRUE(Ost().AudioResample);
  // The start is corrected by silence: 4410 samples, and 882 of the block.
  Feed(3528, 100000);
  ASSERT_EQ(Ost().SyncOpts, 5292);
  ASSERT_FALSE(Ist().IsStart);
  // Later 0.05 s behind: 2205 samples, below the drift threshold of 0.1 s.
  Feed(4608, (5292 + 2205) * 1000000LL / 44100);
  EXPECT_EQ(CountLines("compensating audio timestamp drift:2205.00 compensation:100 in:44100"), 1) << Log.back().Text;
  EXPECT_EQ(CountLines("adding"), 1);
}

}  // namespace
}  // namespace mftest
