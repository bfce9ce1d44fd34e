// Stand-in until the layouts land.
#include "app/list_layouts.h"

ListLayout layoutUR = {};
ListLayout layoutUP = {};
ListLayout layoutC1 = {};
ListLayout layoutC2 = {};
const SettingsLayout kSettingsLayouts[kSettingsLayoutCount] = {
    {&layoutUR, "UR"}, {&layoutUP, "UP"}, {&layoutC1, "C1"}, {&layoutC2, "C2"}};
