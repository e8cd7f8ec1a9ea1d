#include "AmrNbHlpr.h"

namespace mf {

TLibraryModule& AmrNbHlpr() {
  static TLibraryModule module(
      [](bool versioned) -> std::string {
        return versioned ? "libopencore-amrnb.so.0" : "libopencore-amrnb.so";
      },
      {MF_AMRNB_ENTRIES(MF_ENTRY_ROW)});
  return module;
}

bool LoadLibAmrNb(std::string& errorText, bool versioned) { return AmrNbHlpr().Load(errorText, versioned); }
void UnloadLibAmrNb() { AmrNbHlpr().Unload(); }
bool LibAmrNbLoaded() { return AmrNbHlpr().Loaded(); }

}  // namespace mf
