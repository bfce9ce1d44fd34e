#include "params/app_params.h"

#include <cstring>

AppParams AP;
DateRange dateRange;
SelectionState selectionState;

namespace {

constexpr SettingsKey Int(const char* key, std::int32_t* value, std::int32_t byDefault,
                          bool written = true) {
  return {key, SettingType::kInt32, value, byDefault, 0.0f, nullptr, 0, written};
}
constexpr SettingsKey Float(const char* key, float* value, float byDefault) {
  return {key, SettingType::kFloat, value, 0, byDefault, nullptr, 0, true};
}
constexpr SettingsKey Text(const char* key, char* value, std::int32_t size,
                           const char* byDefault) {
  return {key, SettingType::kText, value, 0, 0.0f, byDefault, size, true};
}

}  // namespace

const SettingsKey kSettingsKeys[kSettingsKeyCount] = {
    Int("VERSION", nullptr, kSettingsVersion),
    Int("AP.dlgrect.top", &AP.dlgrect.top, 10),
    Int("AP.dlgrect.left", &AP.dlgrect.left, 20),
    Int("AP.dlgrect.bottom", &AP.dlgrect.bottom, 580),
    Int("AP.dlgrect.right", &AP.dlgrect.right, 840),
    Int("AP.showcmd", &AP.showcmd, 1),
    Text("AP.indir", AP.indir, kDirChars, ""),
    Text("AP.outdir", AP.outdir, kDirChars, ""),
    Int("AP.y1", &AP.y1, 2007),
    Int("AP.m1", &AP.m1, 1),
    Int("AP.d1", &AP.d1, 1),
    Int("AP.y2", &AP.y2, 2007),
    Int("AP.m2", &AP.m2, 1),
    Int("AP.d2", &AP.d2, 1),
    Int("AP.latest", &AP.latest, 0),
    Float("AP.GD", &AP.GD, 10.0f),
    Float("AP.dt", &AP.dt, 3.0f),
    Float("AP.Qc", &AP.Qc, 30.0f),
    Int("AP.tz", &AP.tz, 32400),
    Int("AP.bw", &AP.bw, 0),
    Text("AP.g_map", AP.g_map, kMapNameChars, "GMe136n34_16.DAT"),
    Float("AP.g_zoom", &AP.g_zoom, 5.0f),
    Float("AP.g_ofh", &AP.g_ofh, 0.0f),
    Float("AP.g_ofv", &AP.g_ofv, 0.0f),
    Int("AP.g_text", &AP.g_text, 1, /*written=*/false),
    Int("AP.g_line", &AP.g_line, 1),
};

void SetDefaultAppParams() {
  for (const SettingsKey& key : kSettingsKeys) {
    if (!key.value) continue;
    switch (key.type) {
      case SettingType::kInt32:
        std::memcpy(key.value, &key.intDefault, sizeof key.intDefault);
        break;
      case SettingType::kFloat:
        std::memcpy(key.value, &key.floatDefault, sizeof key.floatDefault);
        break;
      case SettingType::kText:
        std::memset(key.value, 0, static_cast<std::size_t>(key.textSize));
        std::strncpy(static_cast<char*>(key.value), key.textDefault,
                     static_cast<std::size_t>(key.textSize) - 1);
        break;
    }
  }
}

void SetDateRange(std::int32_t y1, std::int32_t m1, std::int32_t d1, std::int32_t y2,
                  std::int32_t m2, std::int32_t d2) {
  dateRange.date1 = {y1, m1, d1};
  dateRange.date2 = {y2, m2, d2};
}

void ApplyDateRange() { SetDateRange(AP.y1, AP.m1, AP.d1, AP.y2, AP.m2, AP.d2); }

void ApplyDateRangeSwapped() { SetDateRange(AP.y2, AP.m2, AP.d2, AP.y1, AP.m1, AP.d1); }
