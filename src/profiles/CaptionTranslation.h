// Conversions of the option boxes' captions into what the engine takes: encoder
// names, bits per second, hertz, frame-size texts, channel counts. Pure functions of one
// caption; no codec library is consulted.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace mf {

// The conversion failure of a number that is not a decimal integer. Not caught by the
// conversions or by job assembly; the batch controller reports it for the file.
class EConvertError : public std::runtime_error {
 public:
  explicit EConvertError(std::string_view text);
  // The text that failed to convert.
  const std::string& Text() const { return FailedText; }

 private:
  std::string FailedText;
};

// The text with A-Z turned into a-z.
std::string AsciiLowerCase(std::string_view text);

// Lower-cases the caption and maps it: "mpeg4" -> "mpeg4", "h264" -> "libx264",
// "xvid" -> "libxvid", "mpeg4aac" -> "libfaac", "mp3" -> "libmp3lame",
// "amr_nb" -> "libamr_nb"; any other caption is used lower-cased ("" stays "").
std::string EncoderNameFromCaption(std::string_view caption);

// The text before the first blank; empty when the caption has no blank.
std::string_view NumberPrefix(std::string_view caption);

// A decimal integer (optional sign, digits, 32-bit range); anything else, the empty text
// included, raises EConvertError.
int32_t DecimalInteger(std::string_view text);

enum class TBitrateRule {
  Kilo,        // the number prefix followed by "000" ("1200 Kbps" -> 1200000; "" -> 0)
  ByUnitText,  // Kilo when the caption contains "Kbps" (exact case), else Plain
  Plain,       // the number prefix itself ("12200 bps" -> 12200)
};

// The decimal text a bit-rate caption stands for under a rule (no failure at this step).
std::string BitrateTextFromCaption(std::string_view caption, TBitrateRule rule);
// Bits per second: DecimalInteger of BitrateTextFromCaption.
int32_t BitrateFromCaption(std::string_view caption, TBitrateRule rule);

// Hertz: the number prefix ("44100 Hz" -> 44100, "8000  bps" -> 8000); the unit is never read.
int32_t SampleRateFromCaption(std::string_view caption);

// The text before the first "(" (when there is one) without any blank:
// "320 x 240 (VGA)" -> "320x240", "Auto" -> "Auto".
std::string FrameSizeFromCaption(std::string_view caption);

// 2 for "Stereo", 1 for anything else.
int32_t ChannelsFromCaption(std::string_view caption);

}  // namespace mf
