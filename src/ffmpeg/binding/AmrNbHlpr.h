// Optional run-time binding of the AMR narrow-band speech encoder library. Its absence only
// makes the encoder names that need it unknown.
#pragma once

extern "C" {
#include <opencore-amrnb/interf_enc.h>
}

#include <string>

#include "LibraryModule.h"

#define MF_AMRNB_ENTRIES(X) \
  X(Encoder_Interface_init) \
  X(Encoder_Interface_Encode) \
  X(Encoder_Interface_exit) \
  /* end */

namespace ff {
MF_AMRNB_ENTRIES(MF_DECLARE_ENTRY)
}  // namespace ff

namespace mf {

TLibraryModule& AmrNbHlpr();
bool LoadLibAmrNb(std::string& errorText, bool versioned);
void UnloadLibAmrNb();
bool LibAmrNbLoaded();

}  // namespace mf
