#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "MediaFixtures.h"

namespace fs = std::filesystem;

namespace {

const std::string Cli = std::string(MF_BIN_DIR) + "/marrowfin-cli";

struct TResult {
  int Status;
  std::string Output;
};

TResult RunCli(const std::string& arguments) {
  std::string output;
  const int status = mftest::Run(Cli + " " + arguments + " 2>&1", &output);
  return {status, output};
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder = mftest::DataDir() + "/cli-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(Folder);
    fs::create_directories(Folder);
  }
  static std::string Clip() {
    return mftest::MakeMedia("cli-clip.mp4",
                             "-f lavfi -i testsrc=size=320x240:rate=25:duration=2 -f lavfi -i sine=duration=2 "
                             "-c:v mpeg4 -c:a aac -shortest");
  }
  std::string Folder;
};

TEST_F(CliTest, ArgumentsAndExitCodes) {
  const struct {
    const char* Name;
    std::string Arguments;
    int Status;
    const char* Says;
  } cases[] = {
      {"help", "--help", 0, "Usage: marrowfin-cli"},
      {"version", "--version", 0, "marrowfin-cli "},
      {"list", "--list-profiles", 0, "MP3 - Mpeg Layer3 Audio (*.mp3)\tMP3"},
      {"unknown option", "--frobnicate", 2, "unknown option --frobnicate"},
      {"no profile", "-o " + Folder + " x.mp4", 2, "no --profile given"},
      {"unknown profile", "--profile Nope -o " + Folder + " x.mp4", 2, "accepted: \"iPhone (*.mp4)\""},
      {"caption not offered", "--profile \"iPhone (*.mp4)\" --size \"999 x 1\" -o " + Folder + " x.mp4", 2,
       "accepted: \"480 x 320\""},
      {"bad volume", "--profile \"iPhone (*.mp4)\" --volume 11 -o " + Folder + " x.mp4", 2, "--volume takes 0 to 10"},
      {"missing folder", "--profile \"iPhone (*.mp4)\" -o /no/such/folder x.mp4", 2, "does not exist"},
      {"no files", "--profile \"iPhone (*.mp4)\" -o " + Folder, 2, "no input files"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TResult result = RunCli(c.Arguments);
    EXPECT_EQ(result.Status, c.Status) << result.Output;
    EXPECT_NE(result.Output.find(c.Says), std::string::npos) << result.Output;
  }
}

TEST_F(CliTest, OneFileWithOverrides) {
  const TResult result = RunCli("--profile \"iPhone (*.mp4)\" --video-codec H264 --channels Mono -o " + Folder + " " + Clip());
  ASSERT_EQ(result.Status, 0) << result.Output;
  EXPECT_NE(result.Output.find("Done\t"), std::string::npos) << result.Output;
  const mftest::TProbe probe = mftest::Probe(Folder + "/cli-clip.mp4");
  ASSERT_TRUE(probe.Ok) << result.Output;
  EXPECT_EQ(probe.StreamOf("video").at("codec_name"), "h264");
  EXPECT_EQ(mftest::IntField(probe.StreamOf("video"), "width"), 480);
  EXPECT_EQ(mftest::IntField(probe.StreamOf("audio"), "channels"), 1);
  EXPECT_NEAR(probe.Duration(), 2.0, 0.1);
}

TEST_F(CliTest, SeveralFilesAtOnceWithABadOneAmongThem) {
  const std::string tone = mftest::MakeMedia("cli-tone.wav", "-f lavfi -i sine=duration=2 -ac 2");
  const std::string text = mftest::MakeTextFile("cli-notes.txt", "no media here\n");
  const TResult result =
      RunCli("--profile \"MP3 - Mpeg Layer3 Audio (*.mp3)\" --jobs 2 -o " + Folder + " " + Clip() + " " + text + " " + tone);
  EXPECT_EQ(result.Status, 1) << result.Output;
  EXPECT_NE(result.Output.find("Fail: " + text + ": Unknown format"), std::string::npos) << result.Output;
  for (const char* name : {"cli-clip.mp3", "cli-tone.mp3"}) {
    SCOPED_TRACE(name);
    const mftest::TProbe probe = mftest::Probe(Folder + "/" + name);
    ASSERT_TRUE(probe.Ok) << result.Output;
    EXPECT_EQ(probe.StreamOf("audio").at("codec_name"), "mp3");
    EXPECT_NEAR(probe.Duration(), 2.0, 0.1);
  }
  EXPECT_FALSE(fs::exists(Folder + "/cli-notes.mp3"));
}

TEST_F(CliTest, InterruptFinishesTheFileCleanly) {
  const std::string longClip = mftest::MakeMedia(
      "cli-long.mp4", "-f lavfi -i testsrc=size=640x480:rate=25:duration=60 -f lavfi -i sine=duration=60 -c:v mpeg4 "
                      "-q:v 8 -c:a aac -shortest");
  const std::string output = Folder + "/cli-long.mp4";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    execl(Cli.c_str(), Cli.c_str(), "--profile", "iPhone (*.mp4)", "--video-codec", "H264", "-o", Folder.c_str(),
          longClip.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 200 && (!fs::exists(output) || fs::file_size(output) < 20000); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  kill(child, SIGINT);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const mftest::TProbe probe = mftest::Probe(output);
  ASSERT_TRUE(probe.Ok) << "the stopped file has its trailer";
  EXPECT_GT(probe.Duration(), 0.0);
  EXPECT_LT(probe.Duration(), 59.0);
}

}  // namespace
