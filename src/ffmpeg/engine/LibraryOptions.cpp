#include "EncoderNames.h"
#include "FFmpeg.h"
#include "MessageFormat.h"
#include "OptionParsing.h"

namespace mf {

namespace {

// The option flag each codec option context answers to, by media type: video, audio, data
// (any), subtitle, attachment (any).
constexpr int CodecContextFlags[CodecOptionContextCount] = {AV_OPT_FLAG_VIDEO_PARAM, AV_OPT_FLAG_AUDIO_PARAM, 0,
                                                            AV_OPT_FLAG_SUBTITLE_PARAM, 0};

// Sets name on obj; the option's descriptor on success, null otherwise.
const AVOption* SetOn(void* obj, const char* name, const char* value) {
  if (ff::av_opt_set(obj, name, value, 0) < 0) return nullptr;
  return ff::av_opt_find(obj, name, nullptr, 0, 0);
}

}  // namespace

bool TCustomFFmpeg::SetLibraryOption(const std::string& name, const std::string& value) {
  if (TrimBlanks(name).empty() || TrimBlanks(value).empty()) return false;
  // Without contexts (libraries not bound, or no reset yet) there is nothing to store into.
  if (!CodecOptionContexts[0] || !FormatOptionContext || !ScalerOptionContext) return false;

  const AVOption* option = nullptr;
  // One name may belong to several media types ("b" is a video and an audio option).
  for (int type = 0; type < CodecOptionContextCount; ++type) {
    const int mask = CodecContextFlags[type];
    if (!ff::av_opt_find(CodecOptionContexts[0].get(), name.c_str(), nullptr, mask, 0)) continue;
    if (ff::av_opt_set(CodecOptionContexts[type].get(), name.c_str(), value.c_str(), 0) >= 0)
      option = ff::av_opt_find(CodecOptionContexts[type].get(), name.c_str(), nullptr, mask, 0);
  }
  if (!option) option = SetOn(FormatOptionContext.get(), name.c_str(), value.c_str());
  if (!option) option = SetOn(ScalerOptionContext.get(), name.c_str(), value.c_str());
  if (!option && name.size() > 1) {
    // "ab", "vb", "sxyz": the option without its type letter, on that type's context.
    const int type = name[0] == 'a' ? AVMEDIA_TYPE_AUDIO : name[0] == 'v' ? AVMEDIA_TYPE_VIDEO : name[0] == 's' ? AVMEDIA_TYPE_SUBTITLE : -1;
    if (type >= 0) option = SetOn(CodecOptionContexts[type].get(), name.c_str() + 1, value.c_str());
  }
  if (!option) {
    // Settings that only particular encoders or muxers have (the ISO muxers' "movflags",
    // libx264's "preset") are unknown to the option contexts: they are kept for the encoders
    // and muxers created later, each of which takes those it has. A known name whose value a
    // context refused is not kept.
    const bool known = ff::av_opt_find(CodecOptionContexts[0].get(), name.c_str(), nullptr, 0, 0) ||
                       ff::av_opt_find(FormatOptionContext.get(), name.c_str(), nullptr, 0, 0) ||
                       ff::av_opt_find(ScalerOptionContext.get(), name.c_str(), nullptr, 0, 0);
    if (!known) SetPrivateOption(name, value);
    return false;
  }

  OptionNames.emplace_back(option->name);
  if (CodecOptionContexts[AVMEDIA_TYPE_VIDEO]->debug != 0 || FormatOptionContext->debug != 0) {
    ff::av_log_set_level(AvLevelFromLibrary(2));
    LibraryLogLevel = 2;
    Verbosity = 2;
  }
  return true;
}

bool TCustomFFmpeg::SetLibraryOptionInt(const std::string& name, int value) {
  return SetLibraryOption(name, std::to_string(value));
}

void TCustomFFmpeg::ApplyStoredOptions(void* target, void* source, int flags) {
  if (!target || !source) return;
  for (const std::string& name : OptionNames) {
    uint8_t* raw = nullptr;
    if (ff::av_opt_get(source, name.c_str(), 0, &raw) < 0) continue;
    const TAvPtr<uint8_t> value(raw);
    const AVOption* option = ff::av_opt_find(source, name.c_str(), nullptr, 0, 0);
    if (!value || !option || (option->flags & flags) != flags) continue;
    ff::av_opt_set(target, name.c_str(), reinterpret_cast<const char*>(value.get()), 0);
  }
}

bool TCustomFFmpeg::CheckCodecName(const char* name, AVMediaType mediaType, bool encoder, AVCodecID& id) {
  if (!name) {
    id = AV_CODEC_ID_NONE;
    return true;
  }
  AVMediaType foundType = AVMEDIA_TYPE_UNKNOWN;
  AVCodecID foundId = AV_CODEC_ID_NONE;
  bool found = false;
  if (encoder) {
    const TEncoderChoice choice = FindEncoderByName(name);
    found = choice.Found();
    foundType = choice.MediaType();
    foundId = choice.CodecId();
  } else if (const AVCodec* codec = ff::avcodec_find_decoder_by_name(name)) {
    found = true;
    foundType = codec->type;
    foundId = codec->id;
  }
  const char* kind = encoder ? "encoder" : "decoder";
  if (!found) {
    ErrorMessage = FormatMessage("Unknown %s '%s'", {kind, name});
    return false;
  }
  if (foundType != mediaType) {
    ErrorMessage = FormatMessage("Invalid %s type '%s'", {kind, name});
    return false;
  }
  id = foundId;
  return true;
}

}  // namespace mf
