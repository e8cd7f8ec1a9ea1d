#include "AVCodecHlpr.h"

#include <string>

namespace mf {

TLibraryModule& AVCodecHlpr() {
  static TLibraryModule module(
      [](bool versioned) -> std::string {
        return versioned ? "libavcodec.so." + std::to_string(LIBAVCODEC_VERSION_MAJOR) : std::string("libavcodec.so");
      },
      {MF_AVCODEC_ENTRIES(MF_ENTRY_ROW)});
  return module;
}

bool LoadLibAVCodec(std::string& errorText, bool versioned, bool registerAll) {
  // Every codec and format is registered by the library itself; there is no register-all
  // call left to make, whatever registerAll asks.
  (void)registerAll;
  return AVCodecHlpr().Load(errorText, versioned);
}

void UnloadLibAVCodec() { AVCodecHlpr().Unload(); }

bool LibAVCodecLoaded() { return AVCodecHlpr().Loaded(); }

}  // namespace mf
