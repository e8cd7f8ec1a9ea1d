#include "SwScaleHlpr.h"

#include <string>

namespace mf {

TLibraryModule& SwScaleHlpr() {
  static TLibraryModule module(
      [](bool versioned) -> std::string {
        return versioned ? "libswscale.so." + std::to_string(LIBSWSCALE_VERSION_MAJOR) : std::string("libswscale.so");
      },
      {MF_SWSCALE_ENTRIES(MF_ENTRY_ROW)});
  return module;
}

bool LoadLibSwScale(std::string& errorText, bool versioned) {
  return SwScaleHlpr().Load(errorText, versioned);
}

void UnloadLibSwScale() { SwScaleHlpr().Unload(); }

bool LibSwScaleLoaded() { return SwScaleHlpr().Loaded(); }

}  // namespace mf
