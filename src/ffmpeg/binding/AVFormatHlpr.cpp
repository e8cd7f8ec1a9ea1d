#include "AVFormatHlpr.h"

#include <string>

namespace mf {

TLibraryModule& AVFormatHlpr() {
  static TLibraryModule module(
      [](bool versioned) -> std::string {
        return versioned ? "libavformat.so." + std::to_string(LIBAVFORMAT_VERSION_MAJOR) : std::string("libavformat.so");
      },
      {MF_AVFORMAT_ENTRIES(MF_ENTRY_ROW)});
  return module;
}

bool LoadLibAVFormat(std::string& errorText, bool versioned, bool registerAll) {
  // Every codec and format is registered by the library itself; there is no register-all
  // call left to make, whatever registerAll asks.
  (void)registerAll;
  return AVFormatHlpr().Load(errorText, versioned);
}

void UnloadLibAVFormat() { AVFormatHlpr().Unload(); }

bool LibAVFormatLoaded() { return AVFormatHlpr().Loaded(); }

}  // namespace mf
