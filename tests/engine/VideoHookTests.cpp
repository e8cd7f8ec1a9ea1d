#include <dlfcn.h>
#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "EngineTestSupport.h"
#include "counting_hook.h"

namespace fs = std::filesystem;

namespace {

using mftest::RaisedMessage;

// Each case gets its own folder and leaves the current directory and PATH as it found them.
class VideoHookTest : public mftest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    Folder = fs::temp_directory_path() / ("mf-hooks-" + std::to_string(getpid()));
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    StartDirectory = fs::current_path();
    StartPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  }
  void TearDown() override {
    Engine.ResetOptions();
    fs::current_path(StartDirectory);
    setenv("PATH", StartPath.c_str(), 1);
    fs::remove_all(Folder);
  }

  // A copy of a built module under another name and folder, made once per test.
  std::string CopyModule(const char* built, const std::string& relative) {
    const fs::path target = Folder / relative;
    fs::create_directories(target.parent_path());
    fs::copy_file(built, target);
    return target.string();
  }

  int HookCount() const {
    int count = 0;
    for (auto* record = Engine.FirstHook.get(); record; record = record->Next) ++count;
    return count;
  }
  const TCountingHookContext& Context(int index) const {
    auto* record = Engine.FirstHook.get();
    for (int i = 0; i < index; ++i) record = record->Next;
    return *static_cast<const TCountingHookContext*>(record->Context);
  }
  static void CountingCalls(const std::string& path, int& configures, int& releases) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr) << path;
    auto calls = reinterpret_cast<TCountingHookCallsFunc>(dlsym(handle, "CountingHookCalls"));
    calls(&configures, &releases);
    dlclose(handle);
  }
  static int LoadedCount(const std::string& path) {
    int count = 0;
    for (const auto& module : mf::LoadedHookModules()) count += strcasecmp(module.Path.c_str(), path.c_str()) == 0;
    return count;
  }
  uint8_t ProcessOnePicture(uint8_t first, int64_t pts = 40000) {
    uint8_t pixels[16] = {first};
    MfHookPicture picture{{pixels, nullptr, nullptr, nullptr}, {4, 0, 0, 0}};
    mf::ProcessFrameHooks(Engine.FirstHook.get(), &picture, AV_PIX_FMT_GRAY8, 4, 4, pts);
    return pixels[0];
  }
  std::string Path() const { return std::getenv("PATH") ? std::getenv("PATH") : ""; }

  fs::path Folder;
  fs::path StartDirectory;
  std::string StartPath;
};

TEST_F(VideoHookTest, ModuleIsConfiguredInItsFolderCalledAndReleased) {
  const std::string module = CopyModule(MF_COUNTING_HOOK, "hooks/counting.so");
  const std::string folder = (Folder / "hooks").string() + "/";
  Engine.SetOption("vhook", module + " first second");

  EXPECT_TRUE(Engine.UsingVideoHooks);
  ASSERT_EQ(HookCount(), 1);
  const TCountingHookContext& context = Context(0);
  EXPECT_EQ(context.Argc, 3);
  EXPECT_STREQ(context.FirstArgument, "first");
  EXPECT_STREQ(context.LastArgument, "second");
  EXPECT_EQ(std::string(context.Directory) + "/", folder);
  EXPECT_EQ(fs::current_path(), StartDirectory);
  EXPECT_EQ(Path().rfind(folder + ":", 0), 0u) << Path();

  EXPECT_EQ(ProcessOnePicture(4, 123456), 41);
  EXPECT_EQ(context.ProcessCalls, 1);
  EXPECT_EQ(context.LastPts, 123456);
  EXPECT_EQ(context.LastPixelFormat, AV_PIX_FMT_GRAY8);
  EXPECT_EQ(context.LastWidth, 4);
  EXPECT_EQ(context.LastHeight, 4);

  Engine.ResetOptions();
  int configures = 0, releases = 0;
  CountingCalls(module, configures, releases);
  EXPECT_EQ(configures, 1);
  EXPECT_EQ(releases, 1);
  EXPECT_FALSE(Engine.FirstHook);
  EXPECT_FALSE(Engine.UsingVideoHooks);
}

// Named again in other letter case (a file that does not exist as such): loaded once,
// configured twice, called in the order added, each later instance seeing the earlier change.
TEST_F(VideoHookTest, SameModuleInOtherLetterCaseIsLoadedOnce) {
  const std::string module = CopyModule(MF_COUNTING_HOOK, "hooks/counting.so");
  const std::string otherCase = (Folder / "hooks/Counting.SO").string();
  Engine.SetOption("vhook", module + " a");
  Engine.SetOption("vhook", otherCase + " b");

  EXPECT_EQ(LoadedCount(module), 1);
  ASSERT_EQ(HookCount(), 2);
  EXPECT_EQ(Context(0).Instance, 1);
  EXPECT_EQ(Context(1).Instance, 2);
  EXPECT_NE(&Context(0), &Context(1));
  EXPECT_EQ(ProcessOnePicture(0), 12);
  EXPECT_EQ(ProcessOnePicture(2), 212);
  EXPECT_EQ(Context(1).ProcessCalls, 2);
}

TEST_F(VideoHookTest, BlanksInThePathNeedTheBarSeparator) {
  const std::string module = CopyModule(MF_COUNTING_HOOK, "with blank/counting hook.so");
  mftest::TLibraryLogCapture libraryLog;

  const std::string blankSeparated = module + " first";
  EXPECT_EQ(RaisedMessage<mf::FFMpegException>([&] { Engine.SetOption("vhook", blankSeparated); }),
            "Failed to add video hook function: " + blankSeparated);
  EXPECT_EQ(HookCount(), 0);
  EXPECT_FALSE(Engine.UsingVideoHooks);
  ASSERT_EQ(libraryLog.Texts().size(), 1u);  // the loader's reason
  EXPECT_EQ(libraryLog.Texts()[0].back(), '\n');

  Engine.SetOption("vhook", module + "|first arg|second arg");
  ASSERT_EQ(HookCount(), 1);
  EXPECT_EQ(Context(0).Argc, 3);
  EXPECT_STREQ(Context(0).FirstArgument, "first arg");
  EXPECT_STREQ(Context(0).LastArgument, "second arg");
  EXPECT_EQ(fs::current_path(), StartDirectory);
}

TEST_F(VideoHookTest, OnlyTheFirst63TokensArePassed) {
  std::string text = MF_COUNTING_HOOK;
  for (int i = 1; i < 70; ++i) text += " a" + std::to_string(i);
  Engine.SetOption("vhook", text);
  ASSERT_EQ(HookCount(), 1);
  EXPECT_EQ(Context(0).Argc, 63);
  EXPECT_STREQ(Context(0).LastArgument, "a62");
}

// A relative path names the module from the directory current when the option is given,
// although the module's folder is made current while it is configured.
TEST_F(VideoHookTest, RelativePathIsTakenFromTheCurrentDirectory) {
  CopyModule(MF_COUNTING_HOOK, "hooks/counting.so");
  fs::current_path(Folder);
  Engine.SetOption("vhook", "hooks/counting.so x");
  ASSERT_EQ(HookCount(), 1);
  EXPECT_EQ(fs::path(Context(0).Directory), Folder / "hooks");
  EXPECT_EQ(fs::current_path(), Folder);
}

TEST_F(VideoHookTest, ProcessOnlyModuleNeedsNoConfigureWithoutArguments) {
  Engine.SetOption("vhook", MF_PROCESS_ONLY_HOOK);
  ASSERT_EQ(HookCount(), 1);
  EXPECT_EQ(Engine.FirstHook->Context, nullptr);
  EXPECT_EQ(ProcessOnePicture(5), 250);
  void* handle = dlopen(MF_PROCESS_ONLY_HOOK, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(handle, nullptr);
  int calls = 0, nullContextCalls = 0;
  reinterpret_cast<void (*)(int*, int*)>(dlsym(handle, "ProcessOnlyCalls"))(&calls, &nullContextCalls);
  dlclose(handle);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(nullContextCalls, 1);
}

TEST_F(VideoHookTest, RejectedModulesLeaveTheListAsItWas) {
  Engine.SetOption("vhook", MF_PROCESS_ONLY_HOOK);
  const std::string process_only = MF_PROCESS_ONLY_HOOK;
  const std::string no_process = MF_NO_PROCESS_HOOK;
  const std::string counting = MF_COUNTING_HOOK;
  const std::string missing = (Folder / "missing.so").string();
  const struct {
    std::string Text;
    std::string Logged;  // empty: any reason
  } cases[] = {
      {process_only + " an_argument", "Failed to find Configure entrypoint in " + process_only + "\n"},
      {no_process, "Failed to find Process entrypoint in " + no_process + "\n"},
      {no_process + " x", "Failed to find Process entrypoint in " + no_process + "\n"},
      {counting + " fail", "Failed to Configure " + counting + "\n"},
      {missing, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    mftest::TLibraryLogCapture libraryLog;
    EXPECT_EQ(RaisedMessage<mf::FFMpegException>([&] { Engine.SetOption("vhook", c.Text); }),
              "Failed to add video hook function: " + c.Text);
    const auto lines = libraryLog.Texts();
    ASSERT_EQ(lines.size(), 1u);
    if (!c.Logged.empty()) {
      EXPECT_EQ(lines[0], c.Logged);
    }
    EXPECT_EQ(HookCount(), 1);
    EXPECT_EQ(fs::current_path(), StartDirectory);
  }
  EXPECT_EQ(RaisedMessage<mf::FFMpegException>([&] { Engine.AddVideoHook("   "); }),
            "Failed to add video hook function:    ");
  mf::TFrameHookRecord* head = nullptr;
  EXPECT_EQ(mf::AddFrameHook(&head, 0, nullptr), -2);
  EXPECT_EQ(head, nullptr);
  EXPECT_TRUE(Engine.UsingVideoHooks);  // the accepted hook still runs
}

}  // namespace
