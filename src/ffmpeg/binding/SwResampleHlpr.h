// Run-time binding of libswresample.
#pragma once

extern "C" {
#include <libswresample/swresample.h>
}

#include <string>

#include "SwResampleEntries.h"
#include "LibraryModule.h"

namespace ff {
MF_SWRESAMPLE_ENTRIES(MF_DECLARE_ENTRY)
}  // namespace ff

namespace mf {

TLibraryModule& SwResampleHlpr();
bool LoadLibSwResample(std::string& errorText, bool versioned);
void UnloadLibSwResample();
bool LibSwResampleLoaded();

}  // namespace mf
