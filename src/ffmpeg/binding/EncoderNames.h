// Encoder names as the profiles and options write them, resolved to what this library build
// offers. Every look-up of an encoder by name goes through here.
#pragma once

#include <string>
#include <string_view>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace mf {

// The encoder of the AMR narrow-band library used directly by the engine, for builds whose
// codec library has no AMR-NB encoder of its own.
inline constexpr std::string_view EngineAmrNbEncoderName = "marrowfin_amrnb";

struct TEncoderChoice {
  const AVCodec* Codec = nullptr;  // the library's encoder, or null
  bool EngineAmrNb = false;        // the engine's own AMR-NB encoder stands in
  std::string LibraryName;         // the name actually looked up

  bool Found() const { return Codec != nullptr || EngineAmrNb; }
  AVMediaType MediaType() const { return Codec ? Codec->type : (EngineAmrNb ? AVMEDIA_TYPE_AUDIO : AVMEDIA_TYPE_UNKNOWN); }
  AVCodecID CodecId() const { return Codec ? Codec->id : (EngineAmrNb ? AV_CODEC_ID_AMR_NB : AV_CODEC_ID_NONE); }
};

// Needs the bound codec library.
TEncoderChoice FindEncoderByName(std::string_view name);

}  // namespace mf
