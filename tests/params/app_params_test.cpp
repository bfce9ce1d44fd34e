#include "params/app_params.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct ExpectedKey {
  const char* key;
  SettingType type;
  const void* field;
  const char* byDefault;  // as text: "%d", "%g" or the text itself
  bool written;
};

std::string DefaultText(const SettingsKey& k) {
  switch (k.type) {
    case SettingType::kInt32:
      return std::to_string(k.intDefault);
    case SettingType::kFloat: {
      char text[32];
      std::snprintf(text, sizeof text, "%g", static_cast<double>(k.floatDefault));
      return text;
    }
    case SettingType::kText:
      return k.textDefault;
  }
  return "";
}

// Every settings key in file order, with its global, its default and whether it is written.
TEST(AppParamsTest, TheKeyTable) {
  using T = SettingType;
  const ExpectedKey kExpected[] = {
      {"VERSION", T::kInt32, nullptr, "400", true},
      {"AP.dlgrect.top", T::kInt32, &AP.dlgrect.top, "10", true},
      {"AP.dlgrect.left", T::kInt32, &AP.dlgrect.left, "20", true},
      {"AP.dlgrect.bottom", T::kInt32, &AP.dlgrect.bottom, "580", true},
      {"AP.dlgrect.right", T::kInt32, &AP.dlgrect.right, "840", true},
      {"AP.showcmd", T::kInt32, &AP.showcmd, "1", true},
      {"AP.indir", T::kText, AP.indir, "", true},
      {"AP.outdir", T::kText, AP.outdir, "", true},
      {"AP.y1", T::kInt32, &AP.y1, "2007", true},
      {"AP.m1", T::kInt32, &AP.m1, "1", true},
      {"AP.d1", T::kInt32, &AP.d1, "1", true},
      {"AP.y2", T::kInt32, &AP.y2, "2007", true},
      {"AP.m2", T::kInt32, &AP.m2, "1", true},
      {"AP.d2", T::kInt32, &AP.d2, "1", true},
      {"AP.latest", T::kInt32, &AP.latest, "0", true},
      {"AP.GD", T::kFloat, &AP.GD, "10", true},
      {"AP.dt", T::kFloat, &AP.dt, "3", true},
      {"AP.Qc", T::kFloat, &AP.Qc, "30", true},
      {"AP.tz", T::kInt32, &AP.tz, "32400", true},
      {"AP.bw", T::kInt32, &AP.bw, "0", true},
      {"AP.g_map", T::kText, AP.g_map, "GMe136n34_16.DAT", true},
      {"AP.g_zoom", T::kFloat, &AP.g_zoom, "5", true},
      {"AP.g_ofh", T::kFloat, &AP.g_ofh, "0", true},
      {"AP.g_ofv", T::kFloat, &AP.g_ofv, "0", true},
      {"AP.g_text", T::kInt32, &AP.g_text, "1", false},
      {"AP.g_line", T::kInt32, &AP.g_line, "1", true},
  };
  static_assert(std::size(kExpected) == kSettingsKeyCount);
  int written = 0;
  for (int i = 0; i < kSettingsKeyCount; ++i) {
    const SettingsKey& k = kSettingsKeys[i];
    const ExpectedKey& e = kExpected[i];
    SCOPED_TRACE(e.key);
    EXPECT_STREQ(k.key, e.key);
    EXPECT_EQ(k.type, e.type);
    EXPECT_EQ(k.value, e.field);
    EXPECT_EQ(DefaultText(k), e.byDefault);
    EXPECT_EQ(k.written, e.written);
    if (k.written) ++written;
  }
  EXPECT_EQ(written, 25);  // "VERSION" and 24 "AP." keys
  EXPECT_EQ(kSettingsKeys[6].textSize, 1024);
  EXPECT_EQ(kSettingsKeys[7].textSize, 1024);
  EXPECT_EQ(kSettingsKeys[20].textSize, 256);
  EXPECT_EQ(kSettingsKeys[0].intDefault, kSettingsVersion);
  EXPECT_STREQ(kSettingsFileName, "NV4_PARAM.QRD");
}

TEST(AppParamsTest, DefaultsReplaceWhateverWasThere) {
  std::memset(&AP, 0x5A, sizeof AP);
  SetDefaultAppParams();
  EXPECT_EQ(AP.dlgrect.left, 20);
  EXPECT_EQ(AP.dlgrect.top, 10);
  EXPECT_EQ(AP.dlgrect.right, 840);
  EXPECT_EQ(AP.dlgrect.bottom, 580);
  EXPECT_EQ(AP.showcmd, 1);
  EXPECT_STREQ(AP.indir, "");
  EXPECT_STREQ(AP.outdir, "");
  EXPECT_EQ(AP.y1, 2007);
  EXPECT_EQ(AP.m1, 1);
  EXPECT_EQ(AP.d1, 1);
  EXPECT_EQ(AP.y2, 2007);
  EXPECT_EQ(AP.m2, 1);
  EXPECT_EQ(AP.d2, 1);
  EXPECT_EQ(AP.latest, 0);
  EXPECT_EQ(AP.GD, 10.0f);
  EXPECT_EQ(AP.dt, 3.0f);
  EXPECT_EQ(AP.Qc, 30.0f);
  EXPECT_EQ(AP.tz, 32400);
  EXPECT_EQ(AP.bw, 0);
  EXPECT_STREQ(AP.g_map, "GMe136n34_16.DAT");
  EXPECT_EQ(AP.g_zoom, 5.0f);
  EXPECT_EQ(AP.g_ofh, 0.0f);
  EXPECT_EQ(AP.g_ofv, 0.0f);
  EXPECT_EQ(AP.g_text, 1);
  EXPECT_EQ(AP.g_line, 1);
  // The rest of a text global is zeros, not the old bytes.
  EXPECT_EQ(AP.g_map[255], '\0');
  EXPECT_EQ(AP.indir[1023], '\0');
}

// Every field of both dates differs, so that a field taken from the wrong date shows.
TEST(AppParamsTest, DateRangeFollowsTheSettingsEitherWay) {
  AP.y1 = 2007;
  AP.m1 = 1;
  AP.d1 = 5;
  AP.y2 = 2008;
  AP.m2 = 3;
  AP.d2 = 8;
  struct Case {
    const char* name;
    void (*apply)();
    CalendarDay date1, date2;
  };
  const Case kCases[] = {
      {"as entered", ApplyDateRange, {2007, 1, 5}, {2008, 3, 8}},
      {"swapped", ApplyDateRangeSwapped, {2008, 3, 8}, {2007, 1, 5}},
      {"set directly", [] { SetDateRange(2010, 12, 31, 2011, 2, 3); }, {2010, 12, 31},
       {2011, 2, 3}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    dateRange = {};
    c.apply();
    EXPECT_EQ(dateRange.date1.year, c.date1.year);
    EXPECT_EQ(dateRange.date1.month, c.date1.month);
    EXPECT_EQ(dateRange.date1.day, c.date1.day);
    EXPECT_EQ(dateRange.date2.year, c.date2.year);
    EXPECT_EQ(dateRange.date2.month, c.date2.month);
    EXPECT_EQ(dateRange.date2.day, c.date2.day);
  }
  // The settings are not touched.
  EXPECT_EQ(AP.y1, 2007);
  EXPECT_EQ(AP.m1, 1);
  EXPECT_EQ(AP.d1, 5);
  EXPECT_EQ(AP.y2, 2008);
  EXPECT_EQ(AP.m2, 3);
  EXPECT_EQ(AP.d2, 8);
}

TEST(AppParamsTest, SelectionStartsWithNothingSelected) {
  selectionState.selectedPair = 4;
  selectionState.pairView = 1;
  selectionState = SelectionState{};
  EXPECT_EQ(selectionState.selectedPair, -1);
  EXPECT_EQ(selectionState.selectedResult, -1);
  EXPECT_EQ(selectionState.pairView, 0);
  EXPECT_EQ(selectionState.highlight1, 0);
  EXPECT_EQ(selectionState.highlight2, 0);
}

}  // namespace
