// Run-time binding of libavcodec.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
}

#include <string>

#include "AVCodecEntries.h"
#include "LibraryModule.h"

namespace ff {
MF_AVCODEC_ENTRIES(MF_DECLARE_ENTRY)
}  // namespace ff

namespace mf {

TLibraryModule& AVCodecHlpr();
bool LoadLibAVCodec(std::string& errorText, bool versioned, bool registerAll);
void UnloadLibAVCodec();
bool LibAVCodecLoaded();

}  // namespace mf
