// Run-time binding of libavformat.
#pragma once

extern "C" {
#include <libavformat/avformat.h>
}

#include <string>

#include "AVFormatEntries.h"
#include "LibraryModule.h"

namespace ff {
MF_AVFORMAT_ENTRIES(MF_DECLARE_ENTRY)
}  // namespace ff

namespace mf {

TLibraryModule& AVFormatHlpr();
bool LoadLibAVFormat(std::string& errorText, bool versioned, bool registerAll);
void UnloadLibAVFormat();
bool LibAVFormatLoaded();

}  // namespace mf
