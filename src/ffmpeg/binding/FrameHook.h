// Video hook modules: the process-wide list of loaded modules and the per-task list of hook
// instances that every decoded picture passes through.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#define MARROWFIN_HOOK_HOST
#include "marrowfin/videohook.h"

namespace mf {

// One hook instance. Allocated zeroed with av_mallocz and freed with av_free, so the whole
// list can be walked and released by plain C code as well.
struct TFrameHookRecord {
  TFrameHookRecord* Next;
  MfHookConfigureFunc Configure;
  MfHookProcessFunc Process;
  MfHookReleaseFunc Release;
  void* Context;
};

struct TLoadedHookModule {
  std::string Path;  // as the option named it
  void* Handle;
};

// Modules are loaded once per process and stay loaded: instances of other tasks may still
// run their code. Looked up without regard to letter case.
std::vector<TLoadedHookModule> LoadedHookModules();

inline constexpr int MaxHookTokens = 63;

// Loads argv[0] (once per process), creates one instance configured with argc/argv and
// appends it to *list. Returns 0, or -1 (module not loadable), -2 (argc below 1, or a
// missing Process/Configure), -12 (no memory), -22 (Configure refused). Failures are
// logged at error level through the library log.
int AddFrameHook(TFrameHookRecord** list, int argc, char* argv[]);

// Calls every instance of the list in order; each sees the changes of the ones before.
void ProcessFrameHooks(TFrameHookRecord* head, MfHookPicture* picture, int pixelFormat, int width, int height,
                       int64_t pts);

// Releases every instance and empties the list.
void ReleaseFrameHooks(TFrameHookRecord** list);

// Owner of a whole list: releasing the head releases every instance after it.
struct TFrameHookChainDeleter {
  void operator()(TFrameHookRecord* head) const { ReleaseFrameHooks(&head); }
};
using TFrameHookChain = std::unique_ptr<TFrameHookRecord, TFrameHookChainDeleter>;

}  // namespace mf
