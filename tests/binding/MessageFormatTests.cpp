#include <gtest/gtest.h>

#include <cstdint>

#include "MessageFormat.h"

namespace {

TEST(MessageFormat, Conversions) {
  const struct {
    const char* Name;
    std::string Actual;
    const char* Expected;
  } cases[] = {
      {"32-bit", mf::FormatMessage("%d frames", {25}), "25 frames"},
      {"64-bit", mf::FormatMessage("%d", {int64_t{1} << 40}), "1099511627776"},
      {"negative", mf::FormatMessage("offset %d", {int64_t{-30000000}}), "offset -30000000"},
      {"text", mf::FormatMessage("%s: Unknown format", {"in.xyz"}), "in.xyz: Unknown format"},
      {"two decimals", mf::FormatMessage("%f", {1.0 / 3}), "0.33"},
      {"no decimals", mf::FormatMessage("%1.0f", {2.5}), "2"},
      {"no decimals up", mf::FormatMessage("%1.0f", {99.7}), "100"},
      {"percent", mf::FormatMessage("%d%%", {50}), "50%"},
      {"several", mf::FormatMessage("Load function %s@%s error: %s", {"f", "lib.so", "gone"}),
       "Load function f@lib.so error: gone"},
      {"missing argument", mf::FormatMessage("a%sb%d", {"x"}), "axb"},
      {"width", mf::FormatMessage("[%5d|%-3s]", {42, "a"}), "[   42|a  ]"},
      {"unknown conversion kept", mf::FormatMessage("%q", {1}), "%q"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(c.Actual, c.Expected);
  }
}

}  // namespace
