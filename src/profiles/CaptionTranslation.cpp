#include "CaptionTranslation.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace mf {

namespace {

struct TEncoderAlias {
  std::string_view Caption;  // lower-cased
  std::string_view EncoderName;
};

constexpr TEncoderAlias EncoderAliases[] = {
    {"mpeg4", "mpeg4"},         {"h264", "libx264"},    {"xvid", "libxvid"},
    {"mpeg4aac", "libfaac"},    {"mp3", "libmp3lame"},  {"amr_nb", "libamr_nb"},
};

}  // namespace

std::string AsciiLowerCase(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

EConvertError::EConvertError(std::string_view text)
    : std::runtime_error("'" + std::string(text) + "' is not a valid integer value"),
      FailedText(text) {}

std::string EncoderNameFromCaption(std::string_view caption) {
  std::string name = AsciiLowerCase(caption);
  for (const TEncoderAlias& alias : EncoderAliases)
    if (alias.Caption == name) return std::string(alias.EncoderName);
  return name;
}

std::string_view NumberPrefix(std::string_view caption) {
  std::size_t blank = caption.find(' ');
  return blank == std::string_view::npos ? std::string_view{} : caption.substr(0, blank);
}

int32_t DecimalInteger(std::string_view text) {
  std::string_view digits = text;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty()) throw EConvertError(text);
  int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') throw EConvertError(text);
    value = value * 10 + (c - '0');
    if (value > int64_t{INT32_MAX} + 1) throw EConvertError(text);
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) throw EConvertError(text);
  return static_cast<int32_t>(value);
}

std::string BitrateTextFromCaption(std::string_view caption, TBitrateRule rule) {
  std::string prefix(NumberPrefix(caption));
  bool kilo = rule == TBitrateRule::Kilo ||
              (rule == TBitrateRule::ByUnitText && caption.find("Kbps") != std::string_view::npos);
  return kilo ? prefix + "000" : prefix;
}

int32_t BitrateFromCaption(std::string_view caption, TBitrateRule rule) {
  return DecimalInteger(BitrateTextFromCaption(caption, rule));
}

int32_t SampleRateFromCaption(std::string_view caption) {
  return DecimalInteger(NumberPrefix(caption));
}

std::string FrameSizeFromCaption(std::string_view caption) {
  std::string_view size = caption.substr(0, caption.find('('));
  std::string result;
  std::copy_if(size.begin(), size.end(), std::back_inserter(result), [](char c) { return c != ' '; });
  return result;
}

int32_t ChannelsFromCaption(std::string_view caption) { return caption == "Stereo" ? 2 : 1; }

}  // namespace mf
