#include "FFmpeg.h"
#include "MessageFormat.h"

namespace mf {

// "copy" selects stream copy and drops any name; a later name leaves an earlier "copy" set.
void TCustomFFmpeg::SetCodecName(const std::string& name, TAvText& codecName, int& streamCopy) {
  if (name.empty()) return;
  RequireCodecLibraries();
  TAvText copy = name == "copy" ? nullptr : DupText(name);
  if (!copy) streamCopy = 1;
  codecName = std::move(copy);
}

void TCustomFFmpeg::SetVideoCodec(const std::string& name) { SetCodecName(name, VideoCodecName, VideoStreamCopy); }
void TCustomFFmpeg::SetAudioCodec(const std::string& name) { SetCodecName(name, AudioCodecName, AudioStreamCopy); }
void TCustomFFmpeg::SetSubtitleCodec(const std::string& name) {
  SetCodecName(name, SubtitleCodecName, SubtitleStreamCopy);
}

// Four characters, the first in the low byte.
uint32_t TCustomFFmpeg::ParseTag(const std::string& text, const char* kind) {
  if (text.size() != 4) throw TAssertionFailed(FormatMessage("%s tag parameter must be 4 chars", {kind}));
  uint32_t tag = 0;
  for (int i = 3; i >= 0; --i) tag = (tag << 8) | static_cast<unsigned char>(text[static_cast<size_t>(i)]);
  return tag;
}

void TCustomFFmpeg::SetVideoTag(const std::string& text) {
  if (!text.empty()) VideoCodecTag = ParseTag(text, "video");
}

void TCustomFFmpeg::SetAudioTag(const std::string& text) {
  if (!text.empty()) AudioCodecTag = ParseTag(text, "audio");
}

// Bit rates are in bits/s; a value below 1000 almost always means kbit/s were meant.
void TCustomFFmpeg::SetBitRate(const std::string& name, const std::string& value) {
  if (name.empty() || value.empty()) return;
  if (!SetLibraryOption(name, value) || !LogHandler) return;
  AVCodecContext* context = CodecOptionContexts[name[0] == 'a' ? AVMEDIA_TYPE_AUDIO : AVMEDIA_TYPE_VIDEO].get();
  int64_t bitRate = 0;
  if (ff::av_opt_get_int(context, "b", 0, &bitRate) >= 0 && bitRate < 1000)
    Log(1, "WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s");
}

void TCustomFFmpeg::SetAudioSampleRate(int n) {
  if (n > 0) AudioSampleRate = n;
}

void TCustomFFmpeg::SetAudioChannels(int n) {
  if (n > 0) AudioChannels = n;
}

}  // namespace mf
