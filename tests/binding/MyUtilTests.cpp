#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "CodecLibraries.h"

namespace {

class MyUtilTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(mf::BindCodecLibraries(MF_LIB_DIR, true)) << mf::CodecLibraryError(); }
};

int CallVsprintf(char* buffer, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int written = ff::my_vsprintf(buffer, format, args);
  va_end(args);
  return written;
}

TEST_F(MyUtilTest, PrintfFormattingIntoBuffers) {
  char buffer[64];
  const int written = CallVsprintf(buffer, "[%s @ %p] %d%%", "mp3", nullptr, 42);
  EXPECT_EQ(written, static_cast<int>(std::strlen(buffer)));
  EXPECT_STREQ(buffer, "[mp3 @ (nil)] 42%");

  // At most size bytes, terminator included; the result is the length it wanted.
  char small[8];
  EXPECT_EQ(ff::my_snprintf(small, sizeof small, "frame=%5d q=%4.1f", 123, 2.5), 18);
  EXPECT_STREQ(small, "frame= ");
  EXPECT_EQ(ff::my_snprintf(buffer, sizeof buffer, "%8.2f|%-4s|%03d|%lld", 3.14159, "ab", 7, 1LL << 40), 31);
  EXPECT_STREQ(buffer, "    3.14|ab  |007|1099511627776");
}

TEST_F(MyUtilTest, StreamFileInputOutput) {
  const std::string name = (std::filesystem::temp_directory_path() / ("mf-myutil-" + std::to_string(getpid()))).string();
  FILE* file = ff::my_fopen(name.c_str(), "w");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ff::my_fprintf(file, "pass %d of %s\n", 1, "two"), 14);
  const char raw[] = "0123456789";
  EXPECT_EQ(ff::my_fwrite(raw, 1, 10, file), 10u);
  EXPECT_EQ(ff::my_ftell(file), 24);
  EXPECT_EQ(ff::my_fclose(file), 0);

  file = ff::my_fopen(name.c_str(), "r");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ff::my_fseek(file, 0, SEEK_END), 0);
  const long size = ff::my_ftell(file);
  EXPECT_EQ(size, 24);
  EXPECT_EQ(ff::my_fseek(file, 0, SEEK_SET), 0);
  std::vector<char> content(static_cast<size_t>(size));
  EXPECT_EQ(ff::my_fread(content.data(), 1, content.size(), file), content.size());
  EXPECT_EQ(std::string(content.begin(), content.end()), "pass 1 of two\n0123456789");
  EXPECT_EQ(ff::my_fclose(file), 0);
  std::filesystem::remove(name);

  EXPECT_EQ(ff::my_fopen("/no/such/folder/file.log", "r"), nullptr);
}

TEST_F(MyUtilTest, TokenizerKeepsItsPlace) {
  char text[] = "hook.so|-a 1||b";
  std::vector<std::string> tokens;
  for (char* token = ff::my_strtok(text, "|"); token; token = ff::my_strtok(nullptr, "|")) tokens.push_back(token);
  EXPECT_EQ(tokens, (std::vector<std::string>{"hook.so", "-a 1", "b"}));
}

TEST_F(MyUtilTest, NumberParsing) {
  const struct {
    const char* Text;
    long Value;
    size_t Consumed;
  } integers[] = {
      {"42", 42, 2}, {"  -17x", -17, 5}, {"0x1F", 31, 4}, {"010", 8, 3}, {"abc", 0, 0}, {"99999999999", 2147483647, 11},
  };
  for (const auto& c : integers) {
    SCOPED_TRACE(c.Text);
    char* end = nullptr;
    EXPECT_EQ(ff::my_strtol(c.Text, &end, 0), c.Value);
    EXPECT_EQ(static_cast<size_t>(end - c.Text), c.Consumed);
  }
  const struct {
    const char* Text;
    double Value;
    size_t Consumed;
  } reals[] = {{"1.5", 1.5, 3}, {"-2e3,", -2000.0, 4}, {".25", 0.25, 3}, {"x", 0.0, 0}};
  for (const auto& c : reals) {
    SCOPED_TRACE(c.Text);
    char* end = nullptr;
    EXPECT_DOUBLE_EQ(ff::my_strtod(c.Text, &end), c.Value);
    EXPECT_EQ(static_cast<size_t>(end - c.Text), c.Consumed);
  }
}

TEST_F(MyUtilTest, SeveralThreadsFormatAtOnce) {
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      char buffer[64];
      for (int i = 0; i < 2000; ++i) {
        ff::my_snprintf(buffer, sizeof buffer, "%d:%d", t, i);
        if (std::string(buffer) != std::to_string(t) + ":" + std::to_string(i)) ++failures[static_cast<size_t>(t)];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
