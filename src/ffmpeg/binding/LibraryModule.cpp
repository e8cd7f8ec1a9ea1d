#include "LibraryModule.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "MessageFormat.h"

namespace mf {

TLibraryModule::TLibraryModule(TFileNameRule fileNameRule, std::vector<TEntryPoint> entryPoints)
    : FileNameRule(fileNameRule), Entries(std::move(entryPoints)) {}

std::string ResolveLibraryPath(const std::string& fileName) {
  std::error_code ec;
  const auto local = std::filesystem::current_path(ec) / fileName;
  if (!ec && std::filesystem::exists(local, ec)) return local.string();
  return fileName;
}

static std::string LastDlError() {
  const char* text = dlerror();
  return text ? text : "unknown error";
}

bool TLibraryModule::Load(std::string& errorText, bool versioned) {
  Versioned = versioned;
  const std::string fileName = LibraryFileName();
  bool failed = false;
  if (!Handle) {
    dlerror();
    // Never unmapped: the libraries and their dependencies register exit handlers and
    // thread-local destructors that would point into freed code; unloading drops our handle.
    Handle = dlopen(ResolveLibraryPath(fileName).c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!Handle) {
      LoadError = FormatMessage("Load libraray %s error: %s", {fileName, LastDlError()});
      failed = true;
    }
  }
  if (Handle && !Bound) {
    for (const TEntryPoint& entry : Entries) {
      dlerror();
      void* address = dlsym(Handle, entry.Name);
      if (!address) {
        LoadError = FormatMessage("Load function %s@%s error: %s", {entry.Name, fileName, LastDlError()});
        failed = true;
        break;
      }
      entry.Set(address);
    }
    if (!failed) Bound = true;
  }
  if (failed || !Handle) {
    errorText = LoadError;
    return false;
  }
  return true;
}

void TLibraryModule::Unload() {
  if (!Handle) return;
  dlclose(Handle);
  Handle = nullptr;
  Bound = false;
}

}  // namespace mf
