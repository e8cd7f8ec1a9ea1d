// Run-time binding of libswscale.
#pragma once

extern "C" {
#include <libswscale/swscale.h>
}

#include <string>

#include "SwScaleEntries.h"
#include "LibraryModule.h"

namespace ff {
MF_SWSCALE_ENTRIES(MF_DECLARE_ENTRY)
}  // namespace ff

namespace mf {

TLibraryModule& SwScaleHlpr();
bool LoadLibSwScale(std::string& errorText, bool versioned);
void UnloadLibSwScale();
bool LibSwScaleLoaded();

}  // namespace mf
