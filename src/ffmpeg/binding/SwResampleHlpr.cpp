#include "SwResampleHlpr.h"

#include <string>

namespace mf {

TLibraryModule& SwResampleHlpr() {
  static TLibraryModule module(
      [](bool versioned) -> std::string {
        return versioned ? "libswresample.so." + std::to_string(LIBSWRESAMPLE_VERSION_MAJOR) : std::string("libswresample.so");
      },
      {MF_SWRESAMPLE_ENTRIES(MF_ENTRY_ROW)});
  return module;
}

bool LoadLibSwResample(std::string& errorText, bool versioned) {
  return SwResampleHlpr().Load(errorText, versioned);
}

void UnloadLibSwResample() { SwResampleHlpr().Unload(); }

bool LibSwResampleLoaded() { return SwResampleHlpr().Loaded(); }

}  // namespace mf
