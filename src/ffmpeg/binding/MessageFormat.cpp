#include "MessageFormat.h"

#include <cinttypes>
#include <cstdio>
#include <vector>

namespace mf {

namespace {

std::string Pad(std::string text, int width, bool leftAlign) {
  if (width > 0 && static_cast<int>(text.size()) < width) {
    const std::string fill(static_cast<size_t>(width) - text.size(), ' ');
    text = leftAlign ? text + fill : fill + text;
  }
  return text;
}

std::string FixedPoint(double value, int precision) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*f", precision, value);
  return buffer;
}

std::string Natural(const TFormatArg& arg) {
  if (auto i = std::get_if<int64_t>(&arg.Value)) return std::to_string(*i);
  if (auto d = std::get_if<double>(&arg.Value)) return FixedPoint(*d, 2);
  return std::get<std::string>(arg.Value);
}

}  // namespace

std::string FormatMessage(std::string_view format, std::initializer_list<TFormatArg> args) {
  std::string out;
  out.reserve(format.size() + 32);
  auto next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%') {
      out += c;
      continue;
    }
    size_t j = i + 1;
    if (j < format.size() && format[j] == '%') {
      out += '%';
      i = j;
      continue;
    }
    bool leftAlign = false;
    while (j < format.size() && format[j] == '-') {
      leftAlign = true;
      ++j;
    }
    int width = 0;
    while (j < format.size() && format[j] >= '0' && format[j] <= '9') width = width * 10 + (format[j++] - '0');
    int precision = -1;
    if (j < format.size() && format[j] == '.') {
      precision = 0;
      ++j;
      while (j < format.size() && format[j] >= '0' && format[j] <= '9') precision = precision * 10 + (format[j++] - '0');
    }
    if (j >= format.size()) {
      out.append(format.substr(i));
      break;
    }
    const char conversion = format[j];
    if (conversion != 'd' && conversion != 's' && conversion != 'f' && conversion != 'x' && conversion != 'u') {
      out.append(format.substr(i, j - i + 1));
      i = j;
      continue;
    }
    i = j;
    if (next == args.end()) continue;
    const TFormatArg& arg = *next++;
    std::string text;
    switch (conversion) {
      case 'd':
      case 'u':
        if (auto d = std::get_if<double>(&arg.Value))
          text = std::to_string(static_cast<int64_t>(*d));
        else
          text = Natural(arg);
        break;
      case 'x':
        if (auto v = std::get_if<int64_t>(&arg.Value)) {
          char buffer[32];
          std::snprintf(buffer, sizeof buffer, "%" PRIx64, static_cast<uint64_t>(*v));
          text = buffer;
        } else {
          text = Natural(arg);
        }
        break;
      case 'f':
        if (auto d = std::get_if<double>(&arg.Value))
          text = FixedPoint(*d, precision < 0 ? 2 : precision);
        else if (auto v = std::get_if<int64_t>(&arg.Value))
          text = FixedPoint(static_cast<double>(*v), precision < 0 ? 2 : precision);
        else
          text = Natural(arg);
        break;
      default:
        text = Natural(arg);
        if (precision >= 0 && static_cast<int>(text.size()) > precision) text.resize(static_cast<size_t>(precision));
        break;
    }
    out += Pad(std::move(text), width, leftAlign);
  }
  return out;
}

}  // namespace mf
