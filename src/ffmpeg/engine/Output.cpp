#include "FFmpeg.h"

namespace mf {

// The presets and the stream creators read the opened inputs and the output's format; they
// come with output creation. Until then asking for them is an error, never a silent no-op.

void TCustomFFmpeg::ApplyTargetPreset(const std::string&, const std::string&, const std::string&) {
  throw FFMpegException("Target presets come with output creation");
}

void TCustomFFmpeg::NewVideoStream(AVFormatContext*) {
  throw FFMpegException("Stream creation comes with output creation");
}

void TCustomFFmpeg::NewAudioStream(AVFormatContext*) {
  throw FFMpegException("Stream creation comes with output creation");
}

void TCustomFFmpeg::NewSubtitleStream(AVFormatContext*) {
  throw FFMpegException("Stream creation comes with output creation");
}

}  // namespace mf
