// Shared by the engine's tests: a reset engine over the real libraries, the engine's log and
// the library log as seen by a log handler, and checks of raised messages.
#pragma once

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "CodecLibraries.h"
#include "FFmpeg.h"

namespace mftest {

struct TLogLine {
  int Level;
  std::string Text;
};

// Lines the library logged through av_log, whatever the level.
class TLibraryLogCapture {
 public:
  TLibraryLogCapture() {
    Lines().clear();
    ff::av_log_set_callback(&Callback);
  }
  ~TLibraryLogCapture() { ff::av_log_set_callback(ff::av_log_default_callback); }
  static std::vector<std::string> Texts() {
    std::lock_guard<std::mutex> guard(Lock());
    return Lines();
  }

 private:
  static std::mutex& Lock() {
    static std::mutex lock;
    return lock;
  }
  static std::vector<std::string>& Lines() {
    static std::vector<std::string> lines;
    return lines;
  }
  static void Callback(void*, int, const char* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    std::lock_guard<std::mutex> guard(Lock());
    Lines().push_back(text);
  }
};

class EngineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(mf::BindCodecLibraries(MF_LIB_DIR, true)) << mf::CodecLibraryError(); }

  void SetUp() override { Engine.ResetOptions(); }

  // Engine log lines from now on.
  void CaptureLog() {
    Engine.LogHandler = [this](mf::TCustomFFmpeg* sender, int level, const std::string& text) {
      EXPECT_EQ(sender, &Engine);
      Log.push_back({level, text});
    };
  }

  mf::TCustomFFmpeg Engine;
  std::vector<TLogLine> Log;
};

// "1,2,...,count": a quantisation matrix text with count coefficients.
inline std::string MatrixText(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += (i > 1 ? "," : "") + std::to_string(i);
  return text;
}

// The message of the exception of type E that action raises; fails the test when it raises
// nothing or something else.
template <typename E>
std::string RaisedMessage(const std::function<void()>& action) {
  try {
    action();
  } catch (const E& e) {
    return e.what();
  } catch (const std::exception& e) {
    ADD_FAILURE() << "raised another exception: " << e.what();
    return "";
  }
  ADD_FAILURE() << "raised nothing";
  return "";
}

}  // namespace mftest
