// The first half of a run: every refusal with its text and nothing left behind; the choice of
// sources; the two-pass statistics files; the session description of rtp outputs.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "TranscodeTestSupport.h"

namespace mftest {
namespace {

namespace fs = std::filesystem;
using TOptions = std::vector<std::pair<std::string, std::string>>;

class PreparationTest : public TranscodeTest {
 protected:
  int CountLines(const std::string& prefix) {
    int count = 0;
    for (const TLogLine& line : Log) count += line.Text.rfind(prefix, 0) == 0;
    return count;
  }
};

struct TRefusal {
  std::string Message;
  std::string (*Input)();
  TOptions Options;
  const char* Output;
  std::function<void(mf::TCustomFFmpeg&)> Tamper;  // after the files are open
};

TEST_F(PreparationTest, EveryRefusalHasItsTextAndLeavesNothingOpen) {
  const TRefusal refusals[] = {
      {"Output file does not contain any stream", Tone3sWav, {{"an", ""}}, "none.wav", nullptr},
      {"Number of stream maps must match number of output streams", Tone3sWav, {{"map", "0:0"}, {"map", "0:0"}}, "maps.wav",
       nullptr},
      {"Could not find input stream #0.5", Tone3sWav, {{"map", "0:5"}}, "nostream.wav", nullptr},
      {"Could not find sync stream #0.7", Tone3sWav, {{"map", "0:0:0:7"}}, "nosync.wav", nullptr},
      {"Codec type mismatch for mapping #0.0 -> #0.0", VideoAudioMp4, {{"vn", ""}, {"map", "0:0"}}, "mismatch.wav", nullptr},
      {"Could not find input stream matching output stream #0.0", Tone3sWav, {{"programid", "5"}}, "program.wav", nullptr},
      {"-acodec copy and -vol are incompatible (frames are not decoded)", Tone3sMp3, {{"acodec", "copy"}, {"vol", "200"}},
       "vol.mp3", nullptr},
      {"-vcodec copy and CustomHook are incompatible (frames are not decoded)", VideoAudioMp4, {{"vcodec", "copy"}},
       "hook.mkv",
       [](mf::TCustomFFmpeg& e) { e.CustomHookHandler = [](mf::TCustomFFmpeg*, mf::THookBitmap&, int, int64_t, bool&, bool&) {}; }},
      {"-vcodec copy and -vhook are incompatible (frames are not decoded)", VideoAudioMp4, {{"vcodec", "copy"}}, "vhook.mkv",
       [](mf::TCustomFFmpeg& e) { e.UsingVideoHooks = true; }},
      // No AMR-NB encoder in the library, and none named: the container's default is unknown.
      {"Unsupported codec for output stream #0.0", Tone3sWav, {}, "noencoder.amr", nullptr},
      {"Error while opening codec for output stream #0.0 - maybe incorrect parameters such as bit_rate, rate, width or "
       "height",
       Tone3sWav, {{"acodec", "wmav2"}, {"ab", "128"}}, "lowrate.wma", nullptr},
      {"Unsupported codec (id=" + std::to_string(AV_CODEC_ID_CELT) + ") for input stream #0.0", Tone3sWav, {}, "nodecoder.wav",
       [](mf::TCustomFFmpeg& e) {
         e.InputFiles[0]->streams[0]->codecpar->codec_id = AV_CODEC_ID_CELT;
         e.InputDecoders[0][0]->codec_id = AV_CODEC_ID_CELT;
       }},
      {"Error while opening codec for input stream #0.0", Tone3sWav, {}, "baddecoder.wav",
       [](mf::TCustomFFmpeg& e) { e.InputDecoders[0][0]->sample_rate = -1; }},
      {"Invalid output file index 1 map_meta_data(1,0)", Tone3sWav, {{"map_meta_data", "1:0"}}, "metaout.wav", nullptr},
      {"Invalid input file index 3 map_meta_data(0,3)", Tone3sWav, {{"map_meta_data", "0:3"}}, "metain.wav", nullptr},
      // The MP3 muxer takes MP3 only.
      {"Could not write header for output file #0 (incorrect codec parameters ?)", VideoAudioMp4,
       {{"vn", ""}, {"acodec", "copy"}}, "aac.mp3", nullptr},
  };
  for (const TRefusal& r : refusals) {
    SCOPED_TRACE(r.Message);
    Engine.ResetOptions();
    Engine.CustomHookHandler = nullptr;
    Engine.UsingVideoHooks = false;
    OpenInput(r.Input());
    SetOptions(r.Options);
    CreateOutput(OutputPath(r.Output));
    if (r.Tamper) r.Tamper(Engine);
    EXPECT_EQ(RunTranscode(), r.Message);
    ExpectNothingLeft();
    EXPECT_FALSE(Engine.FinishedNormally);
  }
}

TEST_F(PreparationTest, AFailingEncoderOpenClosesTheEncodersOpenedBefore) {
  OpenInput(Tone3sWav());
  SetOptions({{"acodec", "libmp3lame"}});
  CreateOutput(OutputPath("first.mp3"));
  SetOptions({{"acodec", "mp2"}, {"ar", "8000"}});
  CreateOutput(OutputPath("second.mp2"));
  EXPECT_EQ(RunTranscode(),
            "Error while opening codec for output stream #1.0 - maybe incorrect parameters such as bit_rate, rate, width or "
            "height (MP2 (MPEG audio layer 2) takes the sample rates 16000, 22050, 24000, 32000, 44100 or 48000 Hz only, not "
            "8000 Hz)");
  ExpectNothingLeft();
  // The first output's encoder was opened and closed again: a closed context has no codec.
  EXPECT_EQ(Engine.OutputStreamSetups[0][0].Encoder->codec, nullptr);
}

// The limits the encoders are known to have are named before they are opened: what was asked
// and what the encoder would take instead, after the long message.
TEST_F(PreparationTest, AKnownEncoderLimitIsNamedInWords) {
  const struct {
    const char* Name;
    TOptions Options;
    const char* Output;
    const char* Reason;
  } cases[] = {
      {"a sample rate not in the encoder's list", {{"acodec", "libmp3lame"}, {"ar", "54000"}}, "rate.mp3",
       "MP3 (MPEG audio layer 3) takes the sample rates 8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100 or 48000 Hz "
       "only, not 54000 Hz"},
      {"Windows Media Audio above its highest rate", {{"acodec", "wmav2"}, {"ar", "96000"}}, "rate.wma",
       "Windows Media Audio 2 takes sample rates up to 48000 Hz only, not 96000 Hz"},
      {"a layer II bit rate between the table's", {{"acodec", "mp2"}, {"ab", "40000"}}, "between.mp2",
       "MP2 (MPEG audio layer 2) at 44100 Hz takes the bit rates 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320 "
       "or 384 Kbps only, not 40 Kbps"},
      {"a layer II bit rate beyond the half rates' table", {{"acodec", "mp2"}, {"ar", "22050"}, {"ab", "192000"}},
       "half.mp2",
       "MP2 (MPEG audio layer 2) at 22050 Hz takes the bit rates 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144 or "
       "160 Kbps only, not 192 Kbps"},
      {"more channels than the encoder has", {{"acodec", "mp2"}, {"ac", "6"}}, "surround.mp2",
       "MP2 (MPEG audio layer 2) takes 1 or 2 channels only, not 6"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Engine.ResetOptions();
    OpenInput(Tone3sWav());
    SetOptions(c.Options);
    CreateOutput(OutputPath(c.Output));
    EXPECT_EQ(RunTranscode(),
              std::string("Error while opening codec for output stream #0.0 - maybe incorrect parameters such as bit_rate, "
                          "rate, width or height (") +
                  c.Reason + ")");
    ExpectNothingLeft();
  }
}

TEST_F(PreparationTest, OutputStreamsTakeUnusedSourcesFirstThenShareTheLastOne) {
  // Two audio inputs, two audio streams in one output: one each. A third stream shares.
  OpenInput(Tone3sWav());
  OpenInput(StereoWav("tone-44k-stereo-1s.wav", 44100, 1));
  CreateOutput(OutputPath("two.mkv"));
  Engine.SetOption("newaudio", "");
  Engine.SetOption("newaudio", "");
  CaptureLog();
  Engine.PrepareTranscode();
  ASSERT_EQ(Engine.OutputStreams.size(), 3u);
  EXPECT_EQ(Engine.OutputStreams[0]->SourceIndex, 0);
  EXPECT_EQ(Engine.OutputStreams[1]->SourceIndex, 1);
  EXPECT_EQ(Engine.OutputStreams[2]->SourceIndex, 1);
  EXPECT_EQ(CountLines("Stream mapping:"), 1);
  EXPECT_EQ(CountLines("  Stream #0.0 -> #0.0"), 1);
  EXPECT_EQ(CountLines("  Stream #1.0 -> #0.1"), 1);
  EXPECT_EQ(CountLines("  Stream #1.0 -> #0.2"), 1);
  EXPECT_EQ(CountLines(" [sync"), 0);
  Engine.ReleaseTranscodeState();
  ExpectNothingLeft();
}

TEST_F(PreparationTest, AStreamMapNamesTheSourceAndTheSyncStream) {
  OpenInput(Tone3sWav());
  OpenInput(StereoWav("tone-44k-stereo-1s.wav", 44100, 1));
  SetOptions({{"map", "1:0:0:0"}});
  CreateOutput(OutputPath("mapped.wav"));
  CaptureLog();
  Engine.PrepareTranscode();
  ASSERT_EQ(Engine.OutputStreams.size(), 1u);
  EXPECT_EQ(Engine.OutputStreams[0]->SourceIndex, 1);
  EXPECT_EQ(Engine.OutputStreams[0]->SyncSource, Engine.InputStreams[0].get());
  EXPECT_TRUE(Engine.InputStreams[0]->Discard);
  EXPECT_FALSE(Engine.InputStreams[1]->Discard);
  EXPECT_EQ(CountLines("  Stream #1.0 -> #0.0"), 1);
  EXPECT_EQ(CountLines(" [sync #0.0]"), 1);
  Engine.ReleaseTranscodeState();
}

TEST_F(PreparationTest, TwoPassRunsNameTheirStatisticsFilesAfterTheGlobalStreamIndex) {
  // The default name is relative: the run works in a folder of its own.
  const fs::path folder = fs::path(DataDir()) / "two-pass";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  struct TRestore {
    fs::path Folder;
    ~TRestore() { fs::current_path(Folder); }
  } restore{previous};

  // Output 0 has one stream (audio); the video stream of output 1 is global stream 1.
  const std::string input = VideoAudioMp4();
  for (const char* pass : {"1", "2"}) {
    SCOPED_TRACE(std::string("pass ") + pass);
    Engine.ResetOptions();
    OpenInput(input);
    CreateOutput((folder / (std::string("audio") + pass + ".wav")).string());
    SetOptions({{"vcodec", "mpeg4"}, {"an", ""}, {"pass", pass}});
    CreateOutput((folder / (std::string("video") + pass + ".avi")).string());
    ASSERT_EQ(RunTranscode(), "");
    EXPECT_TRUE(fs::exists(folder / "ffmpeg2pass-1.log"));
    EXPECT_FALSE(fs::exists(folder / "ffmpeg2pass-0.log"));
  }
  EXPECT_GT(fs::file_size(folder / "ffmpeg2pass-1.log"), 0u);
  EXPECT_EQ(Probe((folder / "video2.avi").string()).StreamOf("video").at("codec_name"), "mpeg4");

  // A name of the task's own; a file that cannot be made, or is missing, ends the run.
  const std::string unwritable = (folder / "missing" / "stats").string();
  for (const char* pass : {"1", "2"}) {
    SCOPED_TRACE(std::string("missing folder, pass ") + pass);
    Engine.ResetOptions();
    OpenInput(input);
    SetOptions({{"vcodec", "mpeg4"}, {"an", ""}, {"pass", pass}, {"passlogfile", unwritable}});
    CreateOutput((folder / "unwritable.avi").string());
    EXPECT_EQ(RunTranscode(), std::string(pass[0] == '1' ? "creat file fail: " : "creat open fail: ") + unwritable + "-0.log");
    ExpectNothingLeft();
  }
}

TEST_F(PreparationTest, RtpOutputsAloneLogOneSessionDescription) {
  for (bool mixed : {false, true}) {
    SCOPED_TRACE(mixed ? "rtp and wav" : "two rtp");
    Engine.ResetOptions();
    Log.clear();
    CaptureLog();
    OpenInput(Tone3sWav());
    const TOptions rtp = {{"f", "rtp"}, {"acodec", "pcm_mulaw"}, {"ar", "8000"}, {"ac", "1"}};
    SetOptions(rtp);
    CreateOutput("rtp://127.0.0.1:45670");
    if (mixed) {
      CreateOutput(OutputPath("mixed.wav"));
    } else {
      SetOptions(rtp);
      CreateOutput("rtp://127.0.0.1:45672");
    }
    Engine.PrepareTranscode();
    // The rtp muxer frees its buffers only in its trailer.
    for (int file = 0; file < Engine.OutputFileCount; ++file) ff::av_write_trailer(Engine.OutputFiles[file].get());
    Engine.ReleaseTranscodeState();
    ASSERT_EQ(CountLines("SDP: "), mixed ? 0 : 1);
    if (!mixed) {
      for (const TLogLine& line : Log) {
        if (line.Text.rfind("SDP: ", 0) != 0) continue;
        EXPECT_EQ(line.Level, 1);
        EXPECT_EQ(line.Text.rfind("SDP: v=0", 0), 0u) << line.Text;
        EXPECT_NE(line.Text.find("m=audio 45672 RTP/AVP 0"), std::string::npos) << line.Text;
        EXPECT_NE(line.Text.back(), '\n');
      }
    }
  }
}

}  // namespace
}  // namespace mftest
