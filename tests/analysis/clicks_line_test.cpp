#include "analysis/clicks_line.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/c_number_scan.h"
#include "analysis/scrambler.h"
#include "platform/c_locale.h"
#include "tests/support/locale_guard.h"

namespace {

struct TokenCase {
  const char* line;
  std::vector<std::pair<int, std::string>> tokens;  // (result, token) of successive calls
};

TEST(NextCsvToken, SplitsFieldsAsTheFileFormatDoes) {
  const TokenCase kCases[] = {
      {"12,34\n", {{2, "12"}, {2, "34"}, {0, ""}, {0, ""}}},  // LF: every later field empty
      {"1 2, x", {{2, "12"}, {-1, "x"}}},                       // blanks dropped
      {"\t5,\n", {{2, "\t5"}, {0, ""}}},                        // a tab is kept
      {",,", {{0, ""}, {0, ""}, {-1, ""}, {-1, ""}}},           // empty fields; NUL stays
      {"a\rb,c", {{3, "a\rb"}, {-1, "c"}}},                     // CR is an ordinary character
      {"", {{-1, ""}}},
      {"   ,7", {{0, ""}, {-1, "7"}}},
  };
  for (const TokenCase& c : kCases) {
    SCOPED_TRACE(testing::Message() << "line \"" << c.line << "\"");
    const char* cursor = c.line;
    for (const auto& [result, text] : c.tokens) {
      char token[64];
      std::strcpy(token, "junk");
      EXPECT_EQ(NextCsvToken(&cursor, token, sizeof token), result);
      EXPECT_EQ(std::string(token), text);
    }
  }
}

TEST(NextCsvToken, NeverWritesBeyondTheToken) {
  const char* cursor = "abcdefghij,k";
  char token[5];
  EXPECT_EQ(NextCsvToken(&cursor, token, sizeof token), 4);
  EXPECT_STREQ(token, "abcd");
  EXPECT_STREQ(cursor, "k");  // the rest of the long field is passed over
}

constexpr const char* kHead =
    "2007,01,01,20,00,12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,_ST1,_A,139.70,35.70,40.0";

struct LineCase {
  const char* what;
  std::string line;
  LineKind kind;
  int badField = 0;          // kBad
  const char* badWords = "";  // kBad
  float lng = 0, lat = 0;     // kData
  float gioidh = 0, ddeg = 0;
  const char* lid = "";    // kData
  const char* sid = "";
  bool scrambledUsed = false;
};

// The scrambled fields of the floats 139.7 and 35.7 with scrambling number 123456789.
constexpr const char* kScrambled = "2276356073,1057341138,123456789";

std::vector<LineCase> LineCases() {
  const std::string head = kHead;
  const std::string s = kScrambled;
  return {
      {"no tail", head, LineKind::kData, 0, "", 139.70f, 35.70f, 35.0f, 0.06f, "ST1", "A", false},
      {"empty scrambled fields: the rest is not read", head + ",,,,36.5,0.05", LineKind::kData, 0,
       "", 139.70f, 35.70f, 35.0f, 0.06f, "ST1", "A", false},
      {"scrambled and geoid height, no ddeg", head + "," + s + ",36.5", LineKind::kData, 0, "",
       139.7f, 35.7f, 36.5f, 0.06f, "ST1", "A", true},
      {"the whole tail", head + "," + s + ",36.5,0.05", LineKind::kData, 0, "", 139.7f, 35.7f,
       36.5f, 0.05f, "ST1", "A", true},
      {"two of three scrambled fields: clear location kept",
       head + ",2276356073,1057341138,,36.5,0.05", LineKind::kData, 0, "", 139.70f, 35.70f, 36.5f,
       0.05f, "ST1", "A", false},
      {"scrambled location far from the clear one: clear kept",
       "2007,01,01,20,00,12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,_ST1,_A,139.80,35.70,40.0," + s,
       LineKind::kData, 0, "", 139.80f, 35.70f, 35.0f, 0.06f, "ST1", "A", false},
      // These were refused as "long does not scan" although the scrambled location was there.
      {"empty clear location: the scrambled one is taken",
       "2007,01,01,20,00,12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,_ST1,_A,,,40.0," + s + ",36.5",
       LineKind::kData, 0, "", 139.7f, 35.7f, 36.5f, 0.06f, "ST1", "A", true},
      {"empty clear latitude: the scrambled location agrees with the clear longitude",
       "2007,01,01,20,00,12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,_ST1,_A,139.70,,40.0," + s,
       LineKind::kData, 0, "", 139.7f, 35.7f, 35.0f, 0.06f, "ST1", "A", true},
      {"empty clear longitude, clear latitude far from the scrambled one",
       "2007,01,01,20,00,12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,_ST1,_A,,36.70,40.0," + s,
       LineKind::kBad, 16, "long does not scan"},
      {"empty clear location and no scrambled location",
       "2007,01,01,20,00,12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,_ST1,_A,,,40.0",
       LineKind::kBad, 16, "long does not scan"},
      {"empty clear location and two of three scrambled fields",
       "2007,01,01,20,00,12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,_ST1,_A,,,40.0,"
       "2276356073,1057341138,,36.5",
       LineKind::kBad, 16, "long does not scan"},
      {"empty clear latitude and no scrambled location",
       "2007,01,01,20,00,12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,_ST1,_A,139.70,,40.0,,,,36.5",
       LineKind::kBad, 17, "lat does not scan"},
      {"blanks inside fields are dropped",
       "2007,01,01,20,00,12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,_S T 1,_A,13 9.70,35.70,40.0",
       LineKind::kData, 0, "", 139.70f, 35.70f, 35.0f, 0.06f, "ST1", "A", false},
      {"a tab stays in an id",
       "2007,01,01,20,00,12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,_S\t1,_A,139.70,35.70,40.0",
       LineKind::kData, 0, "", 139.70f, 35.70f, 35.0f, 0.06f, "S\t1", "A", false},
      {"empty ids", "2007,01,01,20,00,12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,,_,139.70,35.70,40",
       LineKind::kData, 0, "", 139.70f, 35.70f, 35.0f, 0.06f, "", "", false},
      {"31-character id",
       "2007,01,01,20,00,12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,_abcdefghijklmnopqrstuvwxyz01234,"
       "_A,139.70,35.70,40.0",
       LineKind::kData, 0, "", 139.70f, 35.70f, 35.0f, 0.06f, "abcdefghijklmnopqrstuvwxyz01234",
       "A", false},
      {"32-character id",
       "2007,01,01,20,00,12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,_ST1,"
       "_abcdefghijklmnopqrstuvwxyz012345,139.70,35.70,40.0",
       LineKind::kBad, 15, "sid longer than 31 characters"},
      {"seconds that do not scan",
       "2007,01,01,20,00,x12.2,3,10.5,20.5,100.25,30.5,80.125,25.5,_ST1,_A,139.70,35.70,40.0",
       LineKind::kBad, 6, "s_ut does not scan"},
      {"empty point number",
       "2007,01,01,20,00,12.2,,10.5,20.5,100.25,30.5,80.125,25.5,_ST1,_A,139.70,35.70,40.0",
       LineKind::kBad, 7, "pos does not scan"},
      {"short line", "2007,01,01,20,00", LineKind::kBad, 6, "s_ut does not scan"},
      {"only commas", ",,,,,,", LineKind::kBad, 1, "Y_ut does not scan"},
      {"scrambled field that does not scan", head + ",x1,2,3", LineKind::kBad, 19,
       "a does not scan"},
      {"geoid height that does not scan", head + "," + s + ",m", LineKind::kBad, 22,
       "gioidh does not scan"},
      {"line beginning with a blank is a data line", " _Y_ut,_M_ut", LineKind::kBad, 1,
       "Y_ut does not scan"},
      {"header", "_Y_ut,_M_ut,_D_ut", LineKind::kHeader},
      {"empty line", "", LineKind::kBlank},
      {"blanks and tabs only", "  \t ", LineKind::kBlank},
  };
}

TEST(ParseClicksLine, TableOfLines) {
  for (const LineCase& c : LineCases()) {
    SCOPED_TRACE(c.what);
    ClicksLine parsed{};
    LineOutcome outcome = ParseClicksLine(c.line.c_str(), &parsed);
    ASSERT_EQ(outcome.kind, c.kind);
    if (c.kind == LineKind::kBad) {
      EXPECT_EQ(outcome.field, c.badField);
      EXPECT_EQ(DescribeBadLine(outcome), c.badWords);
      continue;
    }
    if (c.kind != LineKind::kData) continue;
    EXPECT_EQ(parsed.Y_ut, 2007);
    EXPECT_EQ(parsed.m_ut, 0);
    EXPECT_EQ(parsed.s_ut, 12.2f);
    EXPECT_EQ(parsed.pos, 3);
    EXPECT_EQ(parsed.az, 100.25f);
    EXPECT_EQ(parsed.ra, 80.125f);
    EXPECT_EQ(parsed.dec, 25.5f);
    EXPECT_EQ(parsed.lng, c.lng);
    EXPECT_EQ(parsed.lat, c.lat);
    EXPECT_EQ(parsed.alt, 40.0f);
    EXPECT_EQ(parsed.gioidh, c.gioidh);
    EXPECT_EQ(parsed.ddeg, c.ddeg);
    EXPECT_STREQ(parsed.lid, c.lid);
    EXPECT_STREQ(parsed.sid, c.sid);
    EXPECT_EQ(parsed.scrambledUsed, c.scrambledUsed);
  }
}

TEST(ParseClicksLine, EveryLineStartsFromTheDefaultTail) {
  // The parsed line is reused from line to line, as the reader does.
  struct Step {
    std::string line;
    float gioidh, ddeg;
    bool scrambled;
  };
  const std::string head = kHead;
  const Step kSteps[] = {
      {head + "," + kScrambled + ",36.5,0.05", 36.5f, 0.05f, true},
      {head, 35.0f, 0.06f, false},
      {head + "," + kScrambled + ",37.5,0.04", 37.5f, 0.04f, true},
      {head + "," + kScrambled + ",36.5", 36.5f, 0.06f, true},
      {head + ",,,,38.5,0.03", 35.0f, 0.06f, false},
  };
  ClicksLine parsed{};
  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.line);
    ASSERT_EQ(ParseClicksLine(step.line.c_str(), &parsed).kind, LineKind::kData);
    EXPECT_EQ(parsed.gioidh, step.gioidh);
    EXPECT_EQ(parsed.ddeg, step.ddeg);
    EXPECT_EQ(parsed.scrambled, step.scrambled);
  }
}

TEST(ParseClicksLine, ScrambledLocationsOfEveryQuadrantReplaceTheClearOnes) {
  struct Loc {
    double lng, lat;
  };
  const Loc kLocs[] = {{139.12345, 35.54321}, {-122.41942, 37.77493}, {-58.38156, -34.60372},
                       {18.42406, -33.92487}, {-0.00005, -0.00007},    {359.99999, 89.99999}};
  for (const Loc& loc : kLocs) {
    SCOPED_TRACE(testing::Message() << loc.lng << ", " << loc.lat);
    uint32_t a = 0, b = 0;
    const uint32_t c = 4000000007u;
    ScrambleLocation(loc.lng, loc.lat, c, &a, &b);
    std::string line = platform::StringPrintfC(
        "2007,1,1,0,0,0,1,0,0,0,0,0,0,_X,_Y,%.2f,%.2f,0,%u,%u,%u", loc.lng, loc.lat, a, b, c);
    ClicksLine parsed{};
    ASSERT_EQ(ParseClicksLine(line.c_str(), &parsed).kind, LineKind::kData);
    EXPECT_TRUE(parsed.scrambledUsed);
    EXPECT_NEAR(parsed.lng, loc.lng, 2e-5);
    EXPECT_NEAR(parsed.lat, loc.lat, 2e-5);
  }
}

TEST(ParseClicksLine, NumbersReadTheCWayUnderAnyLocale) {
  nv4test::ScopedLocale german(nv4test::kGermanLocale);
  ASSERT_TRUE(german.ok());
  ClicksLine parsed{};
  ASSERT_EQ(ParseClicksLine((std::string(kHead) + ",,,,1e400").c_str(), &parsed).kind,
            LineKind::kData);
  EXPECT_EQ(parsed.x, 10.5f);
  EXPECT_EQ(parsed.lng, 139.7f);
  float f = 0;
  ASSERT_TRUE(ScanFloat("1.5e3", &f));
  EXPECT_EQ(f, 1500.0f);
  ASSERT_TRUE(ScanFloat("0x1p4", &f));  // the library's way: hexadecimal too
  EXPECT_EQ(f, 16.0f);
  // What gives no usable number is no number, and leaves the value as it was.
  for (const char* text : {"inf", "-inf", "nan", "-nan", "1e999", "-3.5e39", "infinity"}) {
    SCOPED_TRACE(text);
    f = 7.0f;
    EXPECT_FALSE(ScanFloat(text, &f));
    EXPECT_EQ(f, 7.0f);
  }
}

// The quick decimal conversion must give the float strtof gives, bit for bit.
TEST(ScanFloat, AgreesWithStrtofBitForBit) {
  std::mt19937_64 random(20070101);
  std::uniform_int_distribution<int> digitCount(1, 12), pointAt(0, 12), exponent(-30, 30);
  std::uniform_int_distribution<int> digit(0, 9), coin(0, 3);
  platform::ScopedCLocale c;
  for (int i = 0; i < 200000; ++i) {
    std::string text;
    if (coin(random) == 0) text += '-';
    int n = digitCount(random), point = pointAt(random);
    for (int k = 0; k < n; ++k) {
      if (k == point) text += '.';
      text += static_cast<char>('0' + digit(random));
    }
    if (coin(random) == 0) text += "e" + std::to_string(exponent(random));
    float mine = 0;
    const float library = std::strtof(text.c_str(), nullptr);
    if (!std::isfinite(library)) {
      // Beyond the float range: no number at all, not an infinite one.
      ASSERT_FALSE(ScanFloat(text.c_str(), &mine)) << text;
      continue;
    }
    ASSERT_TRUE(ScanFloat(text.c_str(), &mine)) << text;
    ASSERT_EQ(std::memcmp(&mine, &library, sizeof mine), 0) << text;
  }
  // Half-way between two floats, where narrowing a double would round the other way.
  const char* kHard[] = {"16777217", "1.00000005960464477539062", "0.1", "3.4028235e38",
                         "1e-45", "7.038531e-26", "33554435"};
  for (const char* text : kHard) {
    float mine = 0;
    ASSERT_TRUE(ScanFloat(text, &mine));
    float library = std::strtof(text, nullptr);
    EXPECT_EQ(std::memcmp(&mine, &library, sizeof mine), 0) << text;
  }
}

TEST(ScanInt32AndUint32, AsPercentDAndPercentU) {
  int32_t i = 7;
  EXPECT_TRUE(ScanInt32("  -12x", &i));
  EXPECT_EQ(i, -12);
  EXPECT_TRUE(ScanInt32("2007.9", &i));
  EXPECT_EQ(i, 2007);
  EXPECT_FALSE(ScanInt32("", &i));
  EXPECT_FALSE(ScanInt32("x1", &i));
  EXPECT_FALSE(ScanInt32("2147483648", &i));
  EXPECT_TRUE(ScanInt32("-2147483648", &i));
  EXPECT_EQ(i, INT32_MIN);
  uint32_t u = 0;
  EXPECT_TRUE(ScanUint32("4294967295", &u));
  EXPECT_EQ(u, 4294967295u);
  EXPECT_FALSE(ScanUint32("4294967296", &u));
  EXPECT_FALSE(ScanUint32("-1", &u));
}

}  // namespace
