#include "OptionParsing.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>

#include "CodecLibraries.h"
#include "MessageFormat.h"

namespace mf {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads text as a signed integer of `bits` bits; false when it is no such number.
bool ParseInteger(const std::string& text, int bits, int64_t& value) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size()) return false;

  const uint64_t unsignedMax = bits == 64 ? std::numeric_limits<uint64_t>::max() : (uint64_t{1} << bits) - 1;
  uint64_t magnitude = 0;
  if (text[i] == '$') {
    if (++i >= text.size()) return false;
    for (; i < text.size(); ++i) {
      const int d = HexDigit(text[i]);
      if (d < 0 || magnitude > (unsignedMax >> 4)) return false;
      magnitude = (magnitude << 4) | static_cast<uint64_t>(d);
    }
    // Hexadecimal spells the bit pattern: the upper half of the unsigned range is negative.
    const uint64_t signBit = uint64_t{1} << (bits - 1);
    const int64_t pattern = bits == 64 || !(magnitude & signBit)
                                ? static_cast<int64_t>(magnitude)
                                : static_cast<int64_t>(magnitude) - (int64_t{1} << bits);
    const int64_t minimum = bits == 64 ? INT64_MIN : -static_cast<int64_t>(signBit);
    if (negative && pattern == minimum) return false;
    value = negative ? -pattern : pattern;
    return true;
  }
  const uint64_t limit = (uint64_t{1} << (bits - 1)) - (negative ? 0 : 1);
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    const uint64_t d = static_cast<uint64_t>(c - '0');
    if (magnitude > (limit - d) / 10) return false;
    magnitude = magnitude * 10 + d;
  }
  value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

[[noreturn]] void NotAnInteger(const std::string& text) {
  throw TConvertError(FormatMessage("'%s' is not a valid integer value", {text}));
}

}  // namespace

std::string TrimBlanks(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

bool TryStrToInt(const std::string& text, int& value) {
  int64_t v = 0;
  if (!ParseInteger(text, 32, v)) return false;
  value = static_cast<int>(v);
  return true;
}

int StrToInt(const std::string& text) {
  int value = 0;
  if (!TryStrToInt(text, value)) NotAnInteger(text);
  return value;
}

int64_t StrToInt64(const std::string& text) {
  int64_t value = 0;
  if (!ParseInteger(text, 64, value)) NotAnInteger(text);
  return value;
}

bool TryStrToFloat(const std::string& text, double& value) {
  std::string t = TrimBlanks(text);
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  if (i != t.size()) return false;
  // from_chars reads in the "C" locale and takes no "+".
  const char* begin = t.data() + (t[0] == '+' ? 1 : 0);
  double v = 0;
  const auto result = std::from_chars(begin, t.data() + t.size(), v);
  if (result.ec != std::errc() || result.ptr != t.data() + t.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

double StrToFloat(const std::string& text) {
  double value = 0;
  if (!TryStrToFloat(text, value))
    throw TConvertError(FormatMessage("'%s' is not a valid floating point value", {text}));
  return value;
}

int StrtolInt32(const char* text, char** end) {
  const long v = ff::my_strtol(text, end, 0);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

int64_t DivideRoundHalfEven(int64_t value, int64_t divisor) {
  int64_t quotient = value / divisor;
  int64_t remainder = value % divisor;  // same sign as value
  if (remainder < 0) {
    remainder += divisor;
    --quotient;
  }
  // Now value = quotient * divisor + remainder with 0 <= remainder < divisor.
  const int64_t twice = 2 * remainder;
  if (twice > divisor || (twice == divisor && (quotient & 1) != 0)) ++quotient;
  return quotient;
}

}  // namespace mf
