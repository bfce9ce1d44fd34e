#pragma once
// The private messages the program's four lists post to their parents (word parameter the list
// column, long parameter the line), and the command ids of the list header's popup menu.

#include "platform/qt/window_message.h"

// Pair list "UR" of the main dialog.
inline constexpr unsigned UM_UR_RCLICK = platform::kWmUser + 0x190;
inline constexpr unsigned UM_UR_SELECT = platform::kWmUser + 0x191;
// Result list "UP" of the Main page.
inline constexpr unsigned UM_UP_SELECT = platform::kWmUser + 0x193;
inline constexpr unsigned UM_UP_RCLICK = platform::kWmUser + 0x194;
// Click lists "C1" and "C2" of the Change Pos dialog.
inline constexpr unsigned UM_C1_SELECT = platform::kWmUser + 0x195;
inline constexpr unsigned UM_C1_RCLICK = platform::kWmUser + 0x196;
inline constexpr unsigned UM_C2_SELECT = platform::kWmUser + 0x197;
inline constexpr unsigned UM_C2_RCLICK = platform::kWmUser + 0x198;

// Header popup menu commands.
inline constexpr int kHeaderCmdSortUp = 136;
inline constexpr int kHeaderCmdSortDown = 137;
inline constexpr int kHeaderCmdRowSelect = 138;
inline constexpr int kHeaderCmdHide = 139;
inline constexpr int kHeaderCmdAllOn = 890;
inline constexpr int kHeaderCmdAllOff = 891;
inline constexpr int kHeaderCmdReset = 892;
inline constexpr int kHeaderCmdExtra = 893;
