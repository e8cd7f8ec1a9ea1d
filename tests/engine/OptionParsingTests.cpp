#include <gtest/gtest.h>

#include <climits>
#include <clocale>

#include "CodecLibraries.h"
#include "OptionParsing.h"

namespace {

TEST(OptionParsing, Integers) {
  const struct {
    const char* Text;
    bool Ok;
    int64_t Value;
    bool Wide;  // 64-bit conversion
  } cases[] = {
      {"12", true, 12, false},
      {"  -7", true, -7, false},
      {"+5", true, 5, false},
      {"$1F", true, 31, false},
      {"$ffffffff", true, -1, false},  // hexadecimal spells the bit pattern
      {"-$10", true, -16, false},
      {"2147483647", true, INT_MAX, false},
      {"-2147483648", true, INT_MIN, false},
      {"2147483648", false, 0, false},
      {"$100000000", false, 0, false},
      {"9223372036854775807", true, INT64_MAX, true},
      {"-9223372036854775808", true, INT64_MIN, true},
      {"9223372036854775808", false, 0, true},
      {"$FFFFFFFFFFFFFFFF", true, -1, true},
      {"", false, 0, false},
      {"-", false, 0, false},
      {"$", false, 0, false},
      {"12 ", false, 0, false},
      {"1.5", false, 0, false},
      {"0x10", false, 0, false},
      {"ten", false, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    if (!c.Ok) {
      try {
        c.Wide ? mf::StrToInt64(c.Text) : mf::StrToInt(c.Text);
        ADD_FAILURE() << "accepted";
      } catch (const mf::TConvertError& e) {
        EXPECT_EQ(e.what(), "'" + std::string(c.Text) + "' is not a valid integer value");
      }
    } else {
      EXPECT_EQ(c.Wide ? mf::StrToInt64(c.Text) : mf::StrToInt(c.Text), c.Value);
    }
  }
}

// The separator is "." even where the user's locale writes ",".
TEST(OptionParsing, FloatsIgnoreTheLocale) {
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  const struct {
    const char* Text;
    bool Ok;
    double Value;
  } cases[] = {
      {"1.5", true, 1.5}, {" -2 ", true, -2}, {".5", true, 0.5}, {"5.", true, 5}, {"+1e3", true, 1000},
      {"2.5E-1", true, 0.25}, {"1,5", false, 0}, {"", false, 0}, {".", false, 0}, {"1e", false, 0},
      {"inf", false, 0}, {"nan", false, 0}, {"1e999", false, 0}, {"0x10", false, 0}, {"1.5x", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    if (!c.Ok) {
      try {
        mf::StrToFloat(c.Text);
        ADD_FAILURE() << "accepted";
      } catch (const mf::TConvertError& e) {
        EXPECT_EQ(e.what(), "'" + std::string(c.Text) + "' is not a valid floating point value");
      }
    } else {
      EXPECT_DOUBLE_EQ(mf::StrToFloat(c.Text), c.Value);
    }
  }
  std::setlocale(LC_ALL, "C");
}

TEST(OptionParsing, RoundingHalvesToEven) {
  const struct {
    int64_t Value, Divisor, Expected;
  } cases[] = {
      {1500000, 1000000, 2}, {2500000, 1000000, 2}, {2500001, 1000000, 3}, {2499999, 1000000, 2},
      {-1500000, 1000000, -2}, {-2500000, 1000000, -2}, {-2600000, 1000000, -3}, {0, 1000000, 0},
      {INT64_MAX, 1000000, INT64_MAX / 1000000 + 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Value);
    EXPECT_EQ(mf::DivideRoundHalfEven(c.Value, c.Divisor), c.Expected);
  }
}

TEST(OptionParsing, StrtolIsClampedTo32Bits) {
  ASSERT_TRUE(mf::BindCodecLibraries(MF_LIB_DIR, true)) << mf::CodecLibraryError();
  const struct {
    const char* Text;
    int Value;
    int Consumed;
  } cases[] = {
      {"12:3", 12, 2}, {"0x1f", 31, 4}, {"010", 8, 3}, {"99999999999", INT_MAX, 11}, {"-99999999999", INT_MIN, 12}, {"x", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    char* end = nullptr;
    EXPECT_EQ(mf::StrtolInt32(c.Text, &end), c.Value);
    EXPECT_EQ(end - c.Text, c.Consumed);
  }
}

}  // namespace
