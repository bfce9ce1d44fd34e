#pragma once
// The program's four list layouts. They are static data that the settings overwrite in place:
// each column's shown flag and width are kept under "%s_d%d" and "%s_w%d" of the layout's prefix.

#include "ulib/ui/list_layout.h"

extern ListLayout layoutUR;  // pair list of the main dialog (placed in pixels)
extern ListLayout layoutUP;  // result list of the Main page (grid units)
extern ListLayout layoutC1;  // station 1's clicks in Change Pos (grid units)
extern ListLayout layoutC2;  // station 2's clicks in Change Pos (grid units)

struct SettingsLayout {
  ListLayout* layout;
  const char* prefix;  // "UR", "UP", "C1", "C2"
};

// In the order in which their keys stand in the settings file.
inline constexpr int kSettingsLayoutCount = 4;
extern const SettingsLayout kSettingsLayouts[kSettingsLayoutCount];
