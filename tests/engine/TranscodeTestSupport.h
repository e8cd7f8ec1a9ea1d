// Shared by the transcode tests: fixture media, a conversion through the engine in its usual
// order, and the engine's tables as the tests inspect them.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "EngineTestSupport.h"
#include "MediaFixtures.h"

namespace mftest {

// Two tones, left 440 Hz and right 660 Hz, as 16-bit PCM in a WAV file.
inline std::string StereoWav(const std::string& name, int rate, double seconds) {
  return MakeMedia(name, "-f lavfi -i 'aevalsrc=0.5*sin(440*2*PI*t)|0.5*sin(660*2*PI*t):s=" + std::to_string(rate) +
                             ":d=" + std::to_string(seconds) + "' -c:a pcm_s16le");
}

inline std::string Tone3sWav() { return StereoWav("tone-44k-stereo-3s.wav", 44100, 3); }

inline std::string Tone3sMp3() {
  return MakeMedia("tone-44k-stereo-3s.mp3",
                   "-f lavfi -i 'aevalsrc=0.5*sin(440*2*PI*t)|0.5*sin(660*2*PI*t):s=44100:d=3' -c:a libmp3lame -b:a 128k");
}

// MPEG-4 video (160x120, 25 fps) and AAC audio, 2 s.
inline std::string VideoAudioMp4() {
  return MakeMedia("testsrc-aac-2s.mp4",
                   "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -f lavfi -i "
                   "'aevalsrc=0.5*sin(440*2*PI*t)|0.5*sin(660*2*PI*t):s=44100:d=2' -c:v mpeg4 -g 12 -c:a aac -b:a 96k "
                   "-shortest");
}

// A fresh output path of this test, an old file of the same name removed.
inline std::string OutputPath(const std::string& name) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string stem = std::string(info->test_suite_name()) + "-" + info->name();
  for (char& c : stem)
    if (c == '/') c = '_';
  const std::string path = DataDir() + "/out-" + stem + "-" + name;
  std::filesystem::remove(path);
  return path;
}

// The 16-bit samples of a canonical PCM WAV file (the data chunk), or none.
inline std::vector<int16_t> WavSamples(const std::string& path) {
  std::vector<int16_t> samples;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return samples;
  std::vector<unsigned char> bytes;
  unsigned char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(file);
  size_t pos = 12;
  while (pos + 8 <= bytes.size()) {
    const uint32_t size = bytes[pos + 4] | bytes[pos + 5] << 8 | bytes[pos + 6] << 16 | static_cast<uint32_t>(bytes[pos + 7]) << 24;
    if (std::equal(bytes.begin() + static_cast<long>(pos), bytes.begin() + static_cast<long>(pos) + 4, "data")) {
      const size_t end = std::min(bytes.size(), pos + 8 + size);
      for (size_t i = pos + 8; i + 1 < end; i += 2) samples.push_back(static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8));
      break;
    }
    pos += 8 + size + (size & 1);
  }
  return samples;
}

class TranscodeTest : public EngineTest {
 protected:
  void OpenInput(const std::string& path) { ASSERT_TRUE(Engine.OpenInputFile(path)) << Engine.ErrorMessage; }

  void CreateOutput(const std::string& path) { ASSERT_TRUE(Engine.OpenOutputFile(path)) << Engine.ErrorMessage; }

  void SetOptions(const std::vector<std::pair<std::string, std::string>>& options) {
    for (const auto& [name, value] : options) Engine.SetOption(name, value);
  }

  // Input, options, output, transcode; the message of a failure, or empty.
  std::string Convert(const std::string& input, const std::vector<std::pair<std::string, std::string>>& options,
                      const std::string& output) {
    if (!Engine.OpenInputFile(input)) return "input: " + Engine.ErrorMessage;
    SetOptions(options);
    if (!Engine.OpenOutputFile(output)) return "output: " + Engine.ErrorMessage;
    return RunTranscode();
  }

  // Transcode as the task's run does it: after a failure the codecs still open are closed.
  std::string RunTranscode() {
    try {
      Engine.Transcode();
    } catch (const mf::FFMpegException& e) {
      Engine.CloseOpenCodecs();
      return e.what();
    }
    return "";
  }

  // Nothing of a run may be left behind once it has ended, whatever the outcome.
  void ExpectNothingLeft() {
    EXPECT_TRUE(Engine.OpenEncoders.empty());
    EXPECT_TRUE(Engine.OpenDecoders.empty());
    EXPECT_TRUE(Engine.OutputStreams.empty());
    EXPECT_TRUE(Engine.InputStreams.empty());
    EXPECT_TRUE(Engine.InputFileStates.empty());
  }
};

}  // namespace mftest
