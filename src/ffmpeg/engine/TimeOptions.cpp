#include <algorithm>
#include <climits>

#include "EngineMessages.h"
#include "FFmpeg.h"
#include "MessageFormat.h"

namespace mf {

int64_t TCustomFFmpeg::ParseTimeOption(const std::string& optionName, const std::string& text, bool isDuration) {
  RequireCodecLibraries();
  int64_t us = 0;
  if (ff::av_parse_time(&us, text.c_str(), isDuration ? 1 : 0) < 0)
    throw FFMpegException(
        FormatMessage(InvalidTimeMessage, {isDuration ? "duration" : "date", optionName, text}));
  return us;
}

void TCustomFFmpeg::SetRecordingTime(const std::string& text) {
  const int64_t ms = ParseTimeOption("t", text, true) / 1000;
  // Beyond 24 days the milliseconds no longer fit; the limit is then as far as they reach.
  SetRecordingTimeMs(static_cast<int>(std::clamp<int64_t>(ms, INT_MIN, INT_MAX)));
}

void TCustomFFmpeg::SetRecordingTimeMs(int ms) {
  if (ms <= 0) return;
  RecordingTime = int64_t{ms} * 1000;
  TotalOutputDurationMs = ms;
}

void TCustomFFmpeg::SetStartTimeUs(int64_t us) {
  if (us > 0) StartTime = us;
}

}  // namespace mf
