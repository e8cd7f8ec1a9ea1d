// Number conversions of option texts, with the runtime's own messages. The decimal
// separator is "." whatever the user's locale: the texts come from option lines and from the
// shell, which write it so.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace mf {

// "'%s' is not a valid integer value" / "'%s' is not a valid floating point value".
class TConvertError : public std::invalid_argument {
 public:
  explicit TConvertError(const std::string& message) : std::invalid_argument(message) {}
};

// Leading blanks, an optional sign, then decimal digits or "$" and hexadecimal digits, and
// nothing after them. Hexadecimal covers the unsigned range of the type and wraps into it
// ("$FFFFFFFF" is -1); decimal must fit the type.
int StrToInt(const std::string& text);
int64_t StrToInt64(const std::string& text);
bool TryStrToInt(const std::string& text, int& value);

// Blanks around, an optional sign, digits with at most one ".", an optional exponent.
double StrToFloat(const std::string& text);
bool TryStrToFloat(const std::string& text, double& value);

// strtol's reading clamped to 32 bits, as the support library gives it on a platform whose
// long is 32 bits wide: base 0, the end position in *end.
int StrtolInt32(const char* text, char** end);

std::string TrimBlanks(const std::string& text);

// value / divisor to the nearest integer, a half going to the even neighbour (divisor > 0).
int64_t DivideRoundHalfEven(int64_t value, int64_t divisor);

}  // namespace mf
