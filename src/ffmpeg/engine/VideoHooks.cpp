#include <array>
#include <filesystem>

#include "FFmpeg.h"

namespace mf {

namespace {

// Makes a folder current for the scope and puts the previous one back on every way out.
class TCurrentDirectoryScope {
 public:
  explicit TCurrentDirectoryScope(const std::string& folder) {
    std::error_code ec;
    Saved = std::filesystem::current_path(ec);
    if (ec) Saved.clear();
    std::filesystem::current_path(folder, ec);
  }
  ~TCurrentDirectoryScope() {
    std::error_code ec;
    if (!Saved.empty()) std::filesystem::current_path(Saved, ec);
  }
  TCurrentDirectoryScope(const TCurrentDirectoryScope&) = delete;
  TCurrentDirectoryScope& operator=(const TCurrentDirectoryScope&) = delete;

 private:
  std::filesystem::path Saved;
};

}  // namespace

void TCustomFFmpeg::AddVideoHook(const std::string& text) {
  RequireCodecLibraries();
  const std::string failure = "Failed to add video hook function: " + text;
  TAvText copy = DupText(text);
  const char* separator = text.find('|') != std::string::npos ? "|" : " ";

  std::array<char*, MaxHookTokens + 1> argv{};
  int argc = 0;
  for (char* token = ff::my_strtok(copy.get(), separator); token; token = ff::my_strtok(nullptr, separator)) {
    if (argc == MaxHookTokens) break;
    argv[argc++] = token;
  }
  if (argc < 1) throw FFMpegException(failure);

  // The module's folder is made current below, so a relative path is anchored first to the
  // folder it was meant from.
  std::string modulePath = argv[0];
  TAvText absolutePath;
  if (modulePath.find('/') != std::string::npos && modulePath[0] != '/') {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(modulePath, ec);
    if (!ec) {
      modulePath = absolute.string();
      absolutePath = DupText(modulePath);
      argv[0] = absolutePath.get();
    }
  }
  const size_t slash = modulePath.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : modulePath.substr(0, slash + 1);

  // The list is handed to the C-style list code as a bare head and taken back whatever
  // happens there.
  TFrameHookRecord* head = FirstHook.release();
  struct TTakeBack {
    TFrameHookChain& Chain;
    TFrameHookRecord*& Head;
    ~TTakeBack() { Chain.reset(Head); }
  } takeBack{FirstHook, head};

  int result = 0;
  if (folder.empty()) {
    result = AddFrameHook(&head, argc, argv.data());
  } else {
    TCurrentDirectoryScope current(folder);
    AddFolderToPath(folder);
    result = AddFrameHook(&head, argc, argv.data());
  }
  if (result != 0) throw FFMpegException(failure);

  // Instances may keep pointers into their arguments.
  HookArguments.push_back(std::move(copy));
  if (absolutePath) HookArguments.push_back(std::move(absolutePath));
  UsingVideoHooks = true;
}

}  // namespace mf
