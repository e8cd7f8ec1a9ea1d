#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "CodecLibraries.h"
#include "EncoderNames.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder per test, holding copies of only the libraries a case asks for.
class BindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder = fs::temp_directory_path() / ("mf-binding-" + std::to_string(getpid()));
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    StartDirectory = fs::current_path();
    StartPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  }
  void TearDown() override {
    mf::UnloadCodecLibraries();
    fs::current_path(StartDirectory);
    setenv("PATH", StartPath.c_str(), 1);
    fs::remove_all(Folder);
  }
  void CopyMyUtil() { fs::copy_file(fs::path(MF_LIB_DIR) / "libmyutil.so", Folder / "libmyutil.so"); }
  std::string Path() const { return std::getenv("PATH") ? std::getenv("PATH") : ""; }

  fs::path Folder;
  fs::path StartDirectory;
  std::string StartPath;
};

TEST_F(BindingTest, FolderWithOnlySupportLibraryBindsThroughSystemSearch) {
  CopyMyUtil();
  ASSERT_TRUE(mf::BindCodecLibraries(Folder.string(), true)) << mf::CodecLibraryError();
  EXPECT_TRUE(mf::CodecLibrariesBound());
  EXPECT_EQ(mf::CodecLibraryError(), "");
  EXPECT_EQ(fs::current_path(), StartDirectory);
  EXPECT_EQ(Path().rfind(Folder.string() + ":", 0), 0u) << Path();
  for (auto* module : {&mf::AVCodecHlpr(), &mf::AVFormatHlpr(), &mf::AVUtilHlpr(), &mf::SwScaleHlpr(),
                       &mf::SwResampleHlpr(), &mf::MyUtilHlpr()}) {
    SCOPED_TRACE(module->LibraryFileName());
    EXPECT_TRUE(module->Loaded());
    EXPECT_NE(module->Handle, nullptr);
  }
  EXPECT_EQ(mf::AVCodecHlpr().LibraryFileName(), "libavcodec.so.59");
  EXPECT_EQ(mf::SwResampleHlpr().LibraryFileName(), "libswresample.so.4");

  // A second call changes nothing, not even a log level someone set since.
  const std::string path = Path();
  mf::LibraryLogLevel = 3;
  fs::current_path(fs::temp_directory_path());
  EXPECT_TRUE(mf::BindCodecLibraries((Folder / "elsewhere").string(), true));
  EXPECT_EQ(Path(), path);
  EXPECT_EQ(fs::current_path(), fs::temp_directory_path());
  EXPECT_EQ(mf::LibraryLogLevel, 3);
}

TEST_F(BindingTest, FolderAlreadyInPathLeavesPathUnchanged) {
  CopyMyUtil();
  std::string upper = Folder.string();
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const struct {
    const char* Name;
    std::string Path;
  } cases[] = {
      {"other letter case", "/usr/bin:" + upper},
      {"part of a longer entry", "/usr/bin:" + Folder.string() + "/sub/dir"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    setenv("PATH", c.Path.c_str(), 1);
    mf::AddFolderToPath(Folder.string());
    EXPECT_EQ(Path(), c.Path);
  }
  setenv("PATH", cases[0].Path.c_str(), 1);
  ASSERT_TRUE(mf::BindCodecLibraries(Folder.string(), true)) << mf::CodecLibraryError();
  EXPECT_EQ(Path(), cases[0].Path);
}

TEST_F(BindingTest, EmptyFolderLeavesCurrentDirectoryAlone) {
  // Nothing puts the support library on the system's search path, so this load fails; the
  // current directory is still never touched.
  fs::current_path(Folder);
  const std::string path = Path();
  EXPECT_FALSE(mf::BindCodecLibraries("", true));
  EXPECT_EQ(fs::current_path(), Folder);
  EXPECT_EQ(Path(), path);
  EXPECT_EQ(mf::CodecLibraryError().rfind("Load libraray libmyutil.so error: ", 0), 0u) << mf::CodecLibraryError();
}

TEST_F(BindingTest, NonLibraryFileFailsAndUnloadsWhatLoaded) {
  CopyMyUtil();
  std::ofstream(Folder / "libswscale.so.6") << "this is not a shared library\n";
  EXPECT_FALSE(mf::BindCodecLibraries(Folder.string(), true));
  EXPECT_EQ(mf::CodecLibraryError().rfind("Load libraray libswscale.so.6 error: ", 0), 0u) << mf::CodecLibraryError();
  EXPECT_NE(mf::CodecLibraryError().find((Folder / "libswscale.so.6").string()), std::string::npos);
  EXPECT_FALSE(mf::CodecLibrariesBound());
  for (auto* module : {&mf::AVCodecHlpr(), &mf::AVFormatHlpr(), &mf::AVUtilHlpr(), &mf::SwScaleHlpr()}) {
    SCOPED_TRACE(module->LibraryFileName());
    EXPECT_EQ(module->Handle, nullptr);
    EXPECT_FALSE(module->Loaded());
  }
  EXPECT_EQ(fs::current_path(), StartDirectory);
}

TEST_F(BindingTest, MissingEntryPointNamesFunctionAndFile) {
  CopyMyUtil();
  fs::copy_file(MF_STUB_AVCODEC, Folder / "libavcodec.so.59");
  EXPECT_FALSE(mf::BindCodecLibraries(Folder.string(), true));
  const std::string expected = std::string("Load function ") + MF_STUB_MISSING_ENTRY + "@libavcodec.so.59 error: ";
  EXPECT_EQ(mf::CodecLibraryError().rfind(expected, 0), 0u) << mf::CodecLibraryError();
  EXPECT_EQ(mf::AVCodecHlpr().Handle, nullptr);
  EXPECT_EQ(mf::AVFormatHlpr().Handle, nullptr) << "nothing after the failing module is loaded";
  EXPECT_EQ(fs::current_path(), StartDirectory);
}

TEST_F(BindingTest, FailedBindingOfOneModuleRetriesFromTheFirstEntry) {
  fs::copy_file(MF_STUB_AVCODEC, Folder / "libavcodec.so.59");
  fs::current_path(Folder);
  std::string error;
  EXPECT_FALSE(mf::LoadLibAVCodec(error, true, true));
  EXPECT_NE(mf::AVCodecHlpr().Handle, nullptr) << "the library stays loaded after a failed look-up";
  EXPECT_FALSE(mf::LibAVCodecLoaded());
  error.clear();
  EXPECT_FALSE(mf::LoadLibAVCodec(error, true, true));
  EXPECT_NE(error.find(MF_STUB_MISSING_ENTRY), std::string::npos);
  mf::UnloadLibAVCodec();
  EXPECT_EQ(mf::AVCodecHlpr().Handle, nullptr);
}

TEST_F(BindingTest, PlainNamesWhenNotVersioned) {
  CopyMyUtil();
  ASSERT_TRUE(mf::BindCodecLibraries(Folder.string(), false)) << mf::CodecLibraryError();
  EXPECT_EQ(mf::AVCodecHlpr().LibraryFileName(), "libavcodec.so");
  EXPECT_EQ(mf::AVFormatHlpr().LibraryFileName(), "libavformat.so");
  EXPECT_EQ(mf::AVUtilHlpr().LibraryFileName(), "libavutil.so");
  EXPECT_EQ(mf::SwScaleHlpr().LibraryFileName(), "libswscale.so");
  EXPECT_EQ(mf::MyUtilHlpr().LibraryFileName(), "libmyutil.so");
  mf::UnloadCodecLibraries();
  ASSERT_TRUE(mf::BindCodecLibraries(Folder.string(), true));
  EXPECT_EQ(mf::MyUtilHlpr().LibraryFileName(), "libmyutil.so");
}

TEST_F(BindingTest, EncoderNamesResolveToThisBuild) {
  CopyMyUtil();
  ASSERT_TRUE(mf::BindCodecLibraries(Folder.string(), true)) << mf::CodecLibraryError();
  const struct {
    const char* Name;
    AVCodecID Id;
    AVMediaType Type;
  } cases[] = {
      {"libfaac", AV_CODEC_ID_AAC, AVMEDIA_TYPE_AUDIO},     {"libamr_nb", AV_CODEC_ID_AMR_NB, AVMEDIA_TYPE_AUDIO},
      {"libmp3lame", AV_CODEC_ID_MP3, AVMEDIA_TYPE_AUDIO},  {"libx264", AV_CODEC_ID_H264, AVMEDIA_TYPE_VIDEO},
      {"libxvid", AV_CODEC_ID_MPEG4, AVMEDIA_TYPE_VIDEO},   {"mpeg4", AV_CODEC_ID_MPEG4, AVMEDIA_TYPE_VIDEO},
      {"h263", AV_CODEC_ID_H263, AVMEDIA_TYPE_VIDEO},       {"mpeg1video", AV_CODEC_ID_MPEG1VIDEO, AVMEDIA_TYPE_VIDEO},
      {"mpeg2video", AV_CODEC_ID_MPEG2VIDEO, AVMEDIA_TYPE_VIDEO}, {"wmv2", AV_CODEC_ID_WMV2, AVMEDIA_TYPE_VIDEO},
      {"mp2", AV_CODEC_ID_MP2, AVMEDIA_TYPE_AUDIO},         {"ac3", AV_CODEC_ID_AC3, AVMEDIA_TYPE_AUDIO},
      {"pcm_s16le", AV_CODEC_ID_PCM_S16LE, AVMEDIA_TYPE_AUDIO}, {"wmav2", AV_CODEC_ID_WMAV2, AVMEDIA_TYPE_AUDIO},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const mf::TEncoderChoice choice = mf::FindEncoderByName(c.Name);
    ASSERT_TRUE(choice.Found());
    EXPECT_EQ(choice.CodecId(), c.Id);
    EXPECT_EQ(choice.MediaType(), c.Type);
  }
  EXPECT_FALSE(mf::FindEncoderByName("no_such_encoder").Found());
}

}  // namespace
