#include "ulib/ui/cell_parse.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/support/locale_guard.h"

namespace {

template <typename T>
struct ParseCase {
  const char* text;
  std::optional<T> value;
};

TEST(CellParseTest, SignedIntegers) {
  const ParseCase<std::int32_t> kCases[] = {
      {"17", 17},          {"17x", 17},          {"  -5", -5},       {"+8", 8},
      {"\t 0012", 12},     {"0x10", 0},          {"", std::nullopt}, {"x17", std::nullopt},
      {"+", std::nullopt}, {"- 3", std::nullopt}, {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      // Too long for 32 bits: it used to wrap around into some other number.
      {"2147483648", std::nullopt}, {"99999999999999999999", std::nullopt},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseIntPrefix(c.text), c.value);
  }
}

TEST(CellParseTest, UnsignedIntegers) {
  const ParseCase<std::uint32_t> kCases[] = {
      {"3", 3u}, {"3 stars", 3u}, {"4294967295", 4294967295u}, {"-0", 0u}, {"", std::nullopt},
      // "-1" used to be stored as 4294967295.
      {"-1", std::nullopt}, {"4294967296", std::nullopt},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseUnsignedPrefix(c.text), c.value);
  }
}

TEST(CellParseTest, RealNumbers) {
  nv4test::ScopedLocale german("de_DE.UTF-8");  // a decimal comma must not change anything
  EXPECT_EQ(ParseFloatPrefix("1.5"), 1.5f);
  EXPECT_EQ(ParseFloatPrefix(" 2.5km"), 2.5f);
  EXPECT_EQ(ParseFloatPrefix("1,5"), 1.0f) << "reading stops at the comma";
  EXPECT_EQ(ParseFloatPrefix("km"), std::nullopt);
  EXPECT_EQ(ParseFloatPrefix("1e40"), std::nullopt) << "beyond single precision";
  EXPECT_EQ(ParseFloatPrefix("inf"), std::nullopt);
  EXPECT_EQ(ParseFloatPrefix("nan"), std::nullopt);
  // A double keeps double precision: it used to go through a single-precision read.
  EXPECT_EQ(ParseDoublePrefix("0.1"), 0.1);
  EXPECT_EQ(ParseDoublePrefix("1.2e-7"), 1.2e-7);
  EXPECT_EQ(ParseDoublePrefix("123456789.123"), 123456789.123);
  EXPECT_EQ(ParseDoublePrefix("1e400"), std::nullopt);
  EXPECT_EQ(ParseDoublePrefix("-"), std::nullopt);
  EXPECT_EQ(ParseDoublePrefix(""), std::nullopt);
}

}  // namespace
