// The texts inside the task option records: extra engine options, hook time ranges, and the
// recording date.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "FFmpeg.h"

namespace mf {

// "name=value" lines after trimming the whole text and normalising line ends. A line without
// "=" is a name with an empty value; lines with an empty name are left out.
std::vector<std::pair<std::string, std::string>> ParseExtOptions(const std::string& text);

// "start-end,start-end" in milliseconds, in the order found; items with start > end or a
// negative end are dropped, and a start that is not a number counts as -1 ms.
std::vector<THookTimeRange> ParseHookTimeRanges(const std::string& text);

// A local date-time in days since 1899-12-30 to seconds since 1970-01-01 UTC, rounded to the
// nearest second. The zone's offset in force at that date is used, daylight saving included,
// so a summer date is not stored an hour off.
int64_t LocalDaysToUnixSeconds(double localDays);

// The current local date-time in days since 1899-12-30.
double NowLocalDays();

}  // namespace mf
