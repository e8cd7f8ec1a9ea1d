#include "TaskOptionText.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <ctime>

namespace mf {

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlankOrControl(text[begin])) ++begin;
  while (end > begin && IsBlankOrControl(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// A signed decimal 64-bit number with optional leading blanks, or -1 when the text is not
// exactly that.
int64_t NumberOrMinusOne(const std::string& text) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return -1;
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(trimmed.c_str(), &end, 10);
  if (errno != 0 || end == trimmed.c_str() || *end != '\0') return -1;
  return value;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ParseExtOptions(const std::string& text) {
  std::string normalised;
  const std::string trimmed = Trim(text);
  normalised.reserve(trimmed.size());
  for (size_t i = 0; i < trimmed.size(); ++i) {
    if (trimmed[i] == '\r') {
      normalised += '\n';
      if (i + 1 < trimmed.size() && trimmed[i + 1] == '\n') ++i;
    } else {
      normalised += trimmed[i];
    }
  }
  std::vector<std::pair<std::string, std::string>> options;
  size_t start = 0;
  while (start < normalised.size()) {
    size_t end = normalised.find('\n', start);
    if (end == std::string::npos) end = normalised.size();
    const std::string line = normalised.substr(start, end - start);
    start = end + 1;
    const size_t eq = line.find('=');
    std::string name = eq == std::string::npos ? line : line.substr(0, eq);
    std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
    if (!name.empty()) options.emplace_back(std::move(name), std::move(value));
  }
  return options;
}

std::vector<THookTimeRange> ParseHookTimeRanges(const std::string& text) {
  std::vector<THookTimeRange> ranges;
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return ranges;
  size_t start = 0;
  while (start <= trimmed.size()) {
    size_t end = trimmed.find(',', start);
    if (end == std::string::npos) end = trimmed.size();
    const std::string item = Trim(trimmed.substr(start, end - start));
    start = end + 1;
    const size_t dash = item.find('-');
    const int64_t from = NumberOrMinusOne(dash == std::string::npos ? item : item.substr(0, dash));
    const int64_t to = dash == std::string::npos ? -1 : NumberOrMinusOne(item.substr(dash + 1));
    const THookTimeRange range{from * 1000, to * 1000};
    if (range.Start <= range.End && range.End >= 0) ranges.push_back(range);
    if (end == trimmed.size()) break;
  }
  return ranges;
}

int64_t LocalDaysToUnixSeconds(double localDays) {
  // The local wall-clock time counted as if it were UTC, split into calendar fields, then
  // mapped back through the zone rules.
  const double localSeconds = std::round((localDays - 25569.0) * 86400.0);
  const auto wall = static_cast<time_t>(localSeconds);
  std::tm fields{};
  gmtime_r(&wall, &fields);
  fields.tm_isdst = -1;
  return static_cast<int64_t>(mktime(&fields));
}

double NowLocalDays() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm local{};
  localtime_r(&now.tv_sec, &local);
  // The local wall-clock time, counted as if it were UTC, in days since the 1899 epoch.
  const double localSeconds = static_cast<double>(now.tv_sec) + local.tm_gmtoff + now.tv_nsec / 1e9;
  return localSeconds / 86400.0 + 25569.0;
}

}  // namespace mf
