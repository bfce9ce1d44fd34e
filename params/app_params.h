#pragma once
// The values the analysis, the map and the windows share for the whole run: the settings
// globals (AP, one field per "AP." settings key), the date range of the map's label and the
// output names, and what the user has selected in the lists. Only the user-interface thread
// touches them.

#include <cstdint>

inline constexpr int kDirChars = 1024;     // AP.indir, AP.outdir
inline constexpr int kMapNameChars = 256;  // AP.g_map

// A window rectangle in screen pixels.
struct ScreenRect {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;
  bool operator==(const ScreenRect&) const = default;
};

// The settings globals; each field is named after its key without "AP.". Defaults come from
// kSettingsKeys through SetDefaultAppParams.
struct AppParams {
  ScreenRect dlgrect;        // main dialog's normal (restored) rectangle, screen pixels
  std::int32_t showcmd;      // show command at the last closing (1 = normal)
  char indir[kDirChars];     // input folder walked by the read command
  char outdir[kDirChars];    // output folder offered by every save dialog
  std::int32_t y1, m1, d1;   // date 1: the first day selected, from 0:00 UT
  std::int32_t y2, m2, d2;   // date 2: the first day no longer selected
  std::int32_t latest;       // date mode: 0 "all" (span of the data), 1 "range" (as entered)
  float GD;                  // least ground distance between the stations of a pair, km
  float dt;                  // greatest time difference between the records of a pair, s
  float Qc;                  // least convergence angle of a result, degrees
  std::int32_t tz;           // time-zone offset added to UT for local time stamps, s
  std::int32_t bw;           // map "mono chrome" mode, 0 or 1
  char g_map[kMapNameChars]; // ground-map file name, loaded from the start-up folder
  float g_zoom;              // map zoom
  float g_ofh;               // view centre offset from the map centre in longitude, degrees
  float g_ofv;               // the same in latitude, degrees
  std::int32_t g_text;       // draw the map's text labels, 0 or 1 (read, never written)
  std::int32_t g_line;       // draw the lines between events and stations, 0 or 1
};

extern AppParams AP;

// ---- The settings file's keys ----------------------------------------------------------------

inline constexpr const char* kSettingsFileName = "NV4_PARAM.QRD";
inline constexpr std::int32_t kSettingsVersion = 400;  // written as "VERSION"; newer files ignored

enum class SettingType { kInt32, kFloat, kText };

// One settings key. int32 and float values are 4-byte records (a float as its IEEE bits);
// texts are stored with their terminating zero and read with textSize as the limit.
struct SettingsKey {
  const char* key;
  SettingType type;
  void* value;              // the global it fills; null for "VERSION", which is no global
  std::int32_t intDefault;  // kInt32
  float floatDefault;       // kFloat
  const char* textDefault;  // kText
  std::int32_t textSize;    // kText: room in the global, the read limit
  bool written;             // false for "AP.g_text": read when present, never written
};

// "VERSION" then every "AP." key, in the order in which they stand in the settings file. The
// list layouts' keys follow them in the file and belong to the layouts.
inline constexpr int kSettingsKeyCount = 26;
extern const SettingsKey kSettingsKeys[kSettingsKeyCount];

// Gives every AP field its default from kSettingsKeys.
void SetDefaultAppParams();

// ---- Date range ------------------------------------------------------------------------------

struct CalendarDay {
  std::int32_t year;
  std::int32_t month;
  std::int32_t day;
};

// The two dates of the map's range label ("%04d/%02d/%02d .. %04d/%02d/%02d", date1 first) and
// of the output-name prefix (date1 only). Written only by SetDateRange.
struct DateRange {
  CalendarDay date1;
  CalendarDay date2;
};

extern DateRange dateRange;

// date1 := (y1, m1, d1), date2 := (y2, m2, d2); nothing else is derived.
void SetDateRange(std::int32_t y1, std::int32_t m1, std::int32_t d1, std::int32_t y2,
                  std::int32_t m2, std::int32_t d2);
// The dates as entered: date1 from AP.y1/m1/d1, date2 from AP.y2/m2/d2.
void ApplyDateRange();
// The end date first: date1 from AP.y2/m2/d2, date2 from AP.y1/m1/d1 (a pair is selected).
void ApplyDateRangeSwapped();

// ---- Selection -------------------------------------------------------------------------------

// What the user has selected in the lists. A value-initialised SelectionState holds the start
// values.
struct SelectionState {
  std::int32_t selectedPair = -1;    // pairTable row of the selected pair, -1 = none
  std::int32_t selectedResult = -1;  // resultTable row of the selected result, -1 = none
  std::int32_t pairView = 0;         // 1 while the Change Pos dialog is open
  std::int32_t highlight1 = 0;       // click index highlighted in the pair's first record
  std::int32_t highlight2 = 0;       // the same in its second record
};

extern SelectionState selectionState;
