#include <cctype>
#include <climits>
#include <cstring>
#include <new>

#include "EngineMessages.h"
#include "FFmpeg.h"
#include "MessageFormat.h"
#include "OptionParsing.h"

namespace mf {

void TCustomFFmpeg::SetFrameSize(const std::string& text) {
  if (text.empty()) return;
  RequireCodecLibraries();
  int width = 0, height = 0;
  if (ff::av_parse_video_size(&width, &height, text.c_str()) < 0) throw FFMpegException("Incorrect frame size");
  FrameWidth = width;
  FrameHeight = height;
  if (width % 2 != 0 || height % 2 != 0) throw FFMpegException("Frame size must be a multiple of 2");
}

// Crops are taken from the size known at the moment, so the size must be set first and
// crops accumulate.
void TCustomFFmpeg::SetCrop(int n, int& crop, int& size, const char* side, bool vertical) {
  if (n < 0) return;
  if (n % 2 != 0) throw FFMpegException(FormatMessage("%s crop size must be a multiple of 2", {side}));
  if (n >= size)
    throw FFMpegException(FormatMessage(
        "%s crop dimensions are outside the range of the original image.\nRemember to crop first and scale second.",
        {vertical ? "Vertical" : "Horizontal"}));
  crop = n;
  size -= n;
}

void TCustomFFmpeg::SetCropTop(int n) { SetCrop(n, CropTop, FrameHeight, "Top", true); }
void TCustomFFmpeg::SetCropBottom(int n) { SetCrop(n, CropBottom, FrameHeight, "Bottom", true); }
void TCustomFFmpeg::SetCropLeft(int n) { SetCrop(n, CropLeft, FrameWidth, "Left", false); }
void TCustomFFmpeg::SetCropRight(int n) { SetCrop(n, CropRight, FrameWidth, "Right", false); }

void TCustomFFmpeg::SetPad(int n, int& pad, const char* side) {
  if (n < 0) return;
  if (n % 2 != 0) throw FFMpegException(FormatMessage("%s pad size must be a multiple of 2", {side}));
  pad = n;
}

void TCustomFFmpeg::SetPadTop(int n) { SetPad(n, PadTop, "Top"); }
void TCustomFFmpeg::SetPadBottom(int n) { SetPad(n, PadBottom, "Bottom"); }
void TCustomFFmpeg::SetPadLeft(int n) { SetPad(n, PadLeft, "Left"); }
void TCustomFFmpeg::SetPadRight(int n) { SetPad(n, PadRight, "Right"); }

// Integer BT.601 conversion in 10-bit fixed point; ">>" floors negative sums.
void TCustomFFmpeg::SetPadColor(int rgb) {
  const int r = rgb & 0xFF;
  const int g = (rgb >> 8) & 0xFF;
  const int b = (rgb >> 16) & 0xFF;
  PadColor[0] = (307 * r + 602 * g + 117 * b + 512) >> 10;
  PadColor[1] = ((-173 * r - 340 * g + 512 * b + 511) >> 10) + 128;
  PadColor[2] = ((512 * r - 429 * g - 84 * b + 511) >> 10) + 128;
}

void TCustomFFmpeg::SetAspectRatio(const std::string& text) {
  if (text.empty()) return;
  double ratio = 0;
  const size_t colon = text.find(':');
  if (colon != std::string::npos) {
    int x = 0, y = 0;
    if (!TryStrToInt(text.substr(0, colon), x)) x = 0;
    if (!TryStrToInt(text.substr(colon + 1), y)) y = 0;
    ratio = y > 0 ? static_cast<double>(x) / y : 0.0;
  } else if (!TryStrToFloat(text, ratio)) {
    ratio = 0;
  }
  if (ratio == 0) throw FFMpegException(IncorrectAspectMessage);
  FrameAspectRatio = static_cast<float>(ratio);
}

void TCustomFFmpeg::SetPixelFormat(const std::string& name) {
  RequireCodecLibraries();
  if (name != "list") {
    FramePixelFormat = ff::av_get_pix_fmt(name.c_str());
    return;
  }
  // The header line, then every format the loaded library describes.
  for (int format = -1; format < 0 || ff::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(format)); ++format) {
    char line[128] = {};
    ff::av_get_pix_fmt_string(line, sizeof line, static_cast<AVPixelFormat>(format));
    Log(1, TrimBlanks(line));
  }
}

void TCustomFFmpeg::SetFrameRate(const std::string& text) {
  if (text.empty()) return;
  RequireCodecLibraries();
  AVRational rate{0, 0};
  if (ff::av_parse_video_rate(&rate, text.c_str()) < 0) throw FFMpegException("Incorrect frame rate");
  FrameRate = rate;
}

void TCustomFFmpeg::SetVideoQScale(double q) {
  if (!(q > 0 && q <= 255)) throw FFMpegException("qscale must be > 0.0 and <= 255");
  VideoQScale = static_cast<float>(q);
}

namespace {

// atoi's reading: leading white space, a sign, digits; clamped instead of overflowing.
int ReadCoefficient(const char* p) {
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  long long value = 0;
  while (*p >= '0' && *p <= '9') {
    value = value * 10 + (*p++ - '0');
    if (value > INT_MAX) value = INT_MAX;
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace

// The new matrix replaces the stored one only when the whole text was read, so a syntax
// error leaves the previous matrix in place.
void TCustomFFmpeg::SetMatrix(const std::string& text, TAvPtr<uint16_t>& matrix) {
  RequireCodecLibraries();
  TAvPtr<uint16_t> block(static_cast<uint16_t*>(ff::av_mallocz(64 * sizeof(uint16_t))));
  if (!block) throw std::bad_alloc();
  const char* p = text.c_str();
  for (int i = 0; i < 64; ++i) {
    block.get()[i] = static_cast<uint16_t>(ReadCoefficient(p));
    if (i == 63) break;
    p = std::strchr(p, ',');
    if (!p) throw FFMpegException(FormatMessage("Syntax error in matrix \"%s\" at coeff %d", {text, i}));
    ++p;
  }
  matrix = std::move(block);
}

void TCustomFFmpeg::SetIntraMatrix(const std::string& text) { SetMatrix(text, IntraMatrix); }
void TCustomFFmpeg::SetInterMatrix(const std::string& text) { SetMatrix(text, InterMatrix); }

}  // namespace mf
