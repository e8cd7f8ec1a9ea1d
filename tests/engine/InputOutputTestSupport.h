// Shared by the tests of input opening, output creation and the disc presets: the media they
// open, fresh output paths, and reads of the library objects the engine keeps.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "EngineTestSupport.h"
#include "MediaFixtures.h"

namespace mftest {

// 640x480 square pixels at 25 fps with a mono 22050 Hz tone, 1 s.
inline std::string SquareClip() {
  return MakeMedia("io-square-640x480.mp4",
                   "-f lavfi -i testsrc=size=640x480:rate=25:duration=1 -f lavfi -i sine=sample_rate=22050:duration=1 "
                   "-c:v mpeg4 -c:a aac -ac 1 -shortest");
}

// 640x480 whose pixel shape is not recorded anywhere.
inline std::string UnknownAspectClip() {
  return MakeMedia("io-nosar-640x480.avi", "-f lavfi -i testsrc=size=640x480:rate=5:duration=1 -vf setsar=0 -c:v mjpeg");
}

// 720x576 with wide pixels: a 16:9 picture.
inline std::string WideClip() {
  return MakeMedia("io-wide-720x576.mkv", "-f lavfi -i testsrc=size=720x576:rate=5:duration=1 -vf setsar=64/45 -c:v mpeg4");
}

// Small video at a given rate ("25", "24000/1001", ...), 1 s, with a stereo tone.
inline std::string SmallClip(const std::string& name, const std::string& rate) {
  return MakeMedia(name, "-f lavfi -i testsrc=size=160x120:rate=" + rate +
                             ":duration=1 -f lavfi -i sine=sample_rate=44100:duration=1 -c:v mpeg4 -c:a aac -ac 2 -shortest");
}

inline std::string Clip25() { return SmallClip("io-160x120-25fps.mp4", "25"); }

// A mono 22050 Hz tone, 1 s: an input without video.
inline std::string MonoTone() { return MakeMedia("io-tone-22k-mono.wav", "-f lavfi -i sine=sample_rate=22050:duration=1 -c:a pcm_s16le"); }

// Silence of the given length, cheap to store (8 kHz, 8-bit); starts at 0.
inline std::string LongSilence(int seconds) {
  return MakeMedia("io-silence-" + std::to_string(seconds) + "s.wav",
                   "-f lavfi -i anullsrc=r=8000:cl=mono -t " + std::to_string(seconds) + " -c:a pcm_u8");
}

// A still picture of the given length at one frame a second.
inline std::string LongStill(int seconds) {
  return MakeMedia("io-still-" + std::to_string(seconds) + "s.mkv",
                   "-f lavfi -i color=size=16x16:rate=1:duration=" + std::to_string(seconds) + " -c:v mpeg4");
}

// A fresh output path of this test; an old file of the same name removed.
inline std::string FreshOutput(const std::string& name) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string stem = std::string(info->test_suite_name()) + "-" + info->name();
  for (char& c : stem)
    if (c == '/') c = '_';
  const std::string path = DataDir() + "/io-out-" + stem + "-" + name;
  std::filesystem::remove(path);
  return path;
}

// An integer option of a library object (a context or its private data); -1 when absent.
inline int64_t OptionInt(void* object, const char* name) {
  int64_t value = -1;
  if (!object || ff::av_opt_get_int(object, name, 0, &value) < 0) return -1;
  return value;
}

}  // namespace mftest
