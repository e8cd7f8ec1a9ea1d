// What an encoder is known to refuse, said before it is opened and in words a user of the
// choices understands. The library's own refusal names its internal terms ("bitrate 40 is not
// allowed in mp2"); this names the choice and what would be taken instead.
#pragma once

#include <string>

#include "AVCodecHlpr.h"

namespace mf {

// Why codec will refuse to open with enc's parameters; empty when nothing we know of stands in
// the way (the library may still refuse, in its own words).
std::string EncoderRefusal(const AVCodec& codec, const AVCodecContext& enc);

}  // namespace mf
