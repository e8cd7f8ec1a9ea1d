#include "CodecLibraries.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cfenv>
#include <cstdlib>
#include <filesystem>

namespace mf {

std::atomic<int> LibraryLogLevel{1};

namespace {

bool AllBound = false;
std::string LastError;

// Floating-point exceptions stay masked while the libraries run (their arithmetic relies on
// quiet NaNs and infinities); the environment found at start-up is put back at the end.
struct TFloatingPointSetup {
  std::fenv_t Saved;
  TFloatingPointSetup() {
    std::fegetenv(&Saved);
    fedisableexcept(FE_ALL_EXCEPT);
  }
  ~TFloatingPointSetup() { std::fesetenv(&Saved); }
} FloatingPointSetup;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// Restores the current directory on every way out of the scope, exceptions included.
class TDirectoryGuard {
 public:
  explicit TDirectoryGuard(const std::string& folder) {
    if (folder.empty()) return;
    std::error_code ec;
    Saved = std::filesystem::current_path(ec);
    if (ec) Saved.clear();
    std::filesystem::current_path(folder, ec);
  }
  ~TDirectoryGuard() {
    if (Saved.empty()) return;
    std::error_code ec;
    std::filesystem::current_path(Saved, ec);
  }
  TDirectoryGuard(const TDirectoryGuard&) = delete;
  TDirectoryGuard& operator=(const TDirectoryGuard&) = delete;

 private:
  std::filesystem::path Saved;
};

}  // namespace

void AddFolderToPath(const std::string& folder) {
  const char* current = std::getenv("PATH");
  const std::string path = current ? current : "";
  if (Lower(path).find(Lower(folder)) != std::string::npos) return;
  const std::string updated = path.empty() ? folder : folder + ":" + path;
  setenv("PATH", updated.c_str(), 1);
}

bool BindCodecLibraries(const std::string& folder, bool versioned) {
  if (AllBound) return true;
  LastError.clear();
  bool ok = false;
  {
    TDirectoryGuard directory(folder);
    if (!folder.empty()) AddFolderToPath(folder);
    try {
      ok = LoadLibAVCodec(LastError, versioned, true) && LoadLibAVFormat(LastError, versioned, true) &&
           LoadLibAVUtil(LastError, versioned) && LoadLibSwScale(LastError, versioned) &&
           LoadLibSwResample(LastError, versioned) && LoadMyUtil(LastError);
      if (ok) {
        std::string ignored;  // the AMR-NB library is optional: its absence is no failure
        LoadLibAmrNb(ignored, true);
      }
    } catch (...) {
      ok = false;
      if (LastError.empty()) LastError = "Load libraries error";
    }
  }
  AllBound = ok;
  if (AllBound)
    LibraryLogLevel = LibraryLevelFromAv(ff::av_log_get_level());
  else
    UnloadCodecLibraries();
  return AllBound;
}

std::string CodecLibraryError() { return LastError; }
bool CodecLibrariesBound() { return AllBound; }

void UnloadCodecLibraries() {
  AllBound = false;
  UnloadLibAVCodec();
  UnloadLibAVFormat();
  UnloadLibAVUtil();
  UnloadLibSwScale();
  UnloadLibSwResample();
  UnloadMyUtil();
  UnloadLibAmrNb();
}

int LibraryLevelFromAv(int avLevel) {
  if (avLevel <= AV_LOG_QUIET) return -1;
  if (avLevel <= AV_LOG_ERROR) return 0;
  if (avLevel <= AV_LOG_VERBOSE) return 1;
  if (avLevel <= AV_LOG_DEBUG) return 2;
  return 3;
}

int AvLevelFromLibrary(int level) {
  if (level < 0) return AV_LOG_QUIET;
  switch (level) {
    case 0: return AV_LOG_ERROR;
    case 1: return AV_LOG_INFO;
    case 2: return AV_LOG_DEBUG;
    default: return AV_LOG_TRACE;
  }
}

std::recursive_mutex& CodecLock() {
  static std::recursive_mutex lock;
  return lock;
}

}  // namespace mf
