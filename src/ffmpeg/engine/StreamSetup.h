// What opening an input and creating an output leave for the transcode, beside the format
// contexts: the streams carry parameters only, so the engine keeps a codec context per stream.
#pragma once

#include <array>
#include <vector>

#include "EnginePointers.h"

namespace mf {

// One per stream of an output file, in stream order. The stream creators make the encoder
// context and fill it from the option state; the transcode opens it (or, for a copied
// stream, takes the source's parameters instead).
struct TOutputStreamSetup {
  TCodecContextPtr Encoder;
  bool StreamCopy = false;
  float Quality = 0.0f;      // the stream's fixed quality in lambda units (0: none)
  bool EngineAmrNb = false;  // encoded by the engine's own AMR-NB encoder, not the library's
};

// Per input file: one decoder context per stream, made from the stream's parameters when the
// file is opened (index = stream index); opened by the transcode when a stream is decoded.
using TInputDecoders = std::vector<TCodecContextPtr>;

}  // namespace mf
