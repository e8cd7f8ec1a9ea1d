#include "FrameHook.h"

#include <dlfcn.h>
#include <strings.h>

#include <mutex>

#include "AVUtilHlpr.h"
#include "CodecLibraries.h"

namespace mf {

namespace {

// Only the set-up thread adds modules, but a lock costs nothing next to a dlopen and keeps
// the list sound if a second component sets tasks up elsewhere.
std::mutex& ModulesLock() {
  static std::mutex lock;
  return lock;
}

std::vector<TLoadedHookModule>& Modules() {
  static std::vector<TLoadedHookModule> modules;
  return modules;
}

void LogError(const char* format, const char* text) {
  ff::av_log(nullptr, AvLevelFromLibrary(0), format, text);
}

// The handle of path, loading it on first use; null (and logged) when it cannot be loaded.
void* ModuleHandle(const char* path) {
  std::lock_guard<std::mutex> guard(ModulesLock());
  for (const TLoadedHookModule& module : Modules())
    if (strcasecmp(module.Path.c_str(), path) == 0) return module.Handle;
  dlerror();
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* reason = dlerror();
    LogError("%s\n", reason ? reason : "cannot load module");
    return nullptr;
  }
  Modules().push_back({path, handle});
  return handle;
}

struct TRecordDeleter {
  void operator()(TFrameHookRecord* record) const { ff::av_free(record); }
};

}  // namespace

std::vector<TLoadedHookModule> LoadedHookModules() {
  std::lock_guard<std::mutex> guard(ModulesLock());
  return Modules();
}

int AddFrameHook(TFrameHookRecord** list, int argc, char* argv[]) {
  if (argc < 1 || !argv || !argv[0]) return -2;
  void* handle = ModuleHandle(argv[0]);
  if (!handle) return -1;

  std::unique_ptr<TFrameHookRecord, TRecordDeleter> record(
      static_cast<TFrameHookRecord*>(ff::av_mallocz(sizeof(TFrameHookRecord))));
  if (!record) return -12;
  record->Configure = reinterpret_cast<MfHookConfigureFunc>(dlsym(handle, "Configure"));
  record->Process = reinterpret_cast<MfHookProcessFunc>(dlsym(handle, "Process"));
  record->Release = reinterpret_cast<MfHookReleaseFunc>(dlsym(handle, "Release"));

  if (!record->Process) {
    LogError("Failed to find Process entrypoint in %s\n", argv[0]);
    return -2;
  }
  if (!record->Configure && argc > 1) {
    LogError("Failed to find Configure entrypoint in %s\n", argv[0]);
    return -2;
  }
  if (record->Configure && record->Configure(&record->Context, argc, argv) != 0) {
    LogError("Failed to Configure %s\n", argv[0]);
    return -22;
  }

  TFrameHookRecord** last = list;
  while (*last) last = &(*last)->Next;
  *last = record.release();
  return 0;
}

void ProcessFrameHooks(TFrameHookRecord* head, MfHookPicture* picture, int pixelFormat, int width, int height,
                       int64_t pts) {
  for (TFrameHookRecord* record = head; record; record = record->Next)
    record->Process(record->Context, picture, pixelFormat, width, height, pts);
}

void ReleaseFrameHooks(TFrameHookRecord** list) {
  TFrameHookRecord* record = *list;
  *list = nullptr;
  while (record) {
    TFrameHookRecord* next = record->Next;
    if (record->Release) record->Release(record->Context);
    ff::av_free(record);
    record = next;
  }
}

}  // namespace mf
