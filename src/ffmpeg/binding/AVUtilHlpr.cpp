#include "AVUtilHlpr.h"

#include <string>

namespace mf {

TLibraryModule& AVUtilHlpr() {
  static TLibraryModule module(
      [](bool versioned) -> std::string {
        return versioned ? "libavutil.so." + std::to_string(LIBAVUTIL_VERSION_MAJOR) : std::string("libavutil.so");
      },
      {MF_AVUTIL_ENTRIES(MF_ENTRY_ROW)});
  return module;
}

bool LoadLibAVUtil(std::string& errorText, bool versioned) {
  return AVUtilHlpr().Load(errorText, versioned);
}

void UnloadLibAVUtil() { AVUtilHlpr().Unload(); }

bool LibAVUtilLoaded() { return AVUtilHlpr().Loaded(); }

}  // namespace mf
