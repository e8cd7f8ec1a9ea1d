#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "TaskOptionText.h"

namespace {

using TPairs = std::vector<std::pair<std::string, std::string>>;

TEST(ExtOptions, LinesNamesAndValues) {
  const struct {
    const char* Name;
    const char* Text;
    TPairs Expected;
  } cases[] = {
      {"empty", "", {}},
      {"blank", " \t\r\n ", {}},
      {"one line", "vb=800000", {{"vb", "800000"}}},
      {"every line end", "  a=1\r\nb=2\rc=3\nd=4  \r\n", {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}}},
      {"first equals splits", "vhook=/x/hook.so|k=v", {{"vhook", "/x/hook.so|k=v"}}},
      {"no equals", "shortest", {{"shortest", ""}}},
      {"empty name and empty lines", "=5\n\nab=64", {{"ab", "64"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(mf::ParseExtOptions(c.Text), c.Expected);
  }
}

TEST(HookTimeRanges, ItemsKeptInOrderFound) {
  using R = std::pair<int64_t, int64_t>;
  const struct {
    const char* Text;
    std::vector<R> Expected;
  } cases[] = {
      {"", {}},
      {"5000-10000,0-2000", {{5000000, 10000000}, {0, 2000000}}},
      {"3000-1000", {}},
      {"abc-5000", {{-1000, 5000000}}},
      {" 1000 - 2000 , 7000", {{1000000, 2000000}}},
      {"0-0", {{0, 0}}},
      {"-5-10", {}},
      {"2000-x", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    std::vector<R> actual;
    for (const mf::THookTimeRange& range : mf::ParseHookTimeRanges(c.Text)) actual.emplace_back(range.Start, range.End);
    EXPECT_EQ(actual, c.Expected);
  }
}

TEST(RecordingDate, LocalDaysToUnixSeconds) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(mf::LocalDaysToUnixSeconds(25569.0), 0);
  EXPECT_EQ(mf::LocalDaysToUnixSeconds(25569.5), 43200);
  EXPECT_EQ(mf::LocalDaysToUnixSeconds(46204.0), 1782864000);  // 2026-07-01 00:00

  // Berlin: one hour ahead in winter, two in summer.
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  EXPECT_EQ(mf::LocalDaysToUnixSeconds(46023.5), 1767225600 + 43200 - 3600);  // 2026-01-01 12:00
  EXPECT_EQ(mf::LocalDaysToUnixSeconds(46204.5), 1782864000 + 43200 - 7200);  // 2026-07-01 12:00

  const double now = mf::NowLocalDays();
  EXPECT_NEAR(static_cast<double>(mf::LocalDaysToUnixSeconds(now)), static_cast<double>(std::time(nullptr)), 2.0);
}

}  // namespace
