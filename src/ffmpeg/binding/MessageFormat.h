// The one formatter of the messages the engine and the component build themselves.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace mf {

class TFormatArg {
 public:
  TFormatArg(int v) : Value(static_cast<int64_t>(v)) {}
  TFormatArg(unsigned v) : Value(static_cast<int64_t>(v)) {}
  TFormatArg(long v) : Value(static_cast<int64_t>(v)) {}
  TFormatArg(long long v) : Value(static_cast<int64_t>(v)) {}
  TFormatArg(unsigned long v) : Value(static_cast<int64_t>(v)) {}
  TFormatArg(double v) : Value(v) {}
  TFormatArg(const char* v) : Value(std::string(v ? v : "")) {}
  TFormatArg(std::string v) : Value(std::move(v)) {}
  TFormatArg(std::string_view v) : Value(std::string(v)) {}

  std::variant<int64_t, double, std::string> Value;
};

// "%d" decimal integer (32- or 64-bit), "%s" text, "%f" fixed point with two decimals unless
// a precision is given ("%1.0f": none), "%x" hexadecimal, "%%" a percent sign; width and "-"
// flag as in C. Arguments of another kind are printed in their own natural form rather than
// reinterpreted, and a missing argument prints nothing.
std::string FormatMessage(std::string_view format, std::initializer_list<TFormatArg> args);

}  // namespace mf
