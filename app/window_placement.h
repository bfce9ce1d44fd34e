#pragma once
// Where the main window opens and how far a drag may size it: plain logic over rectangles of
// screen pixels, so that tests need no window system.
//
// A stored rectangle is the window's normal (restored) placement: left and top of its frame,
// right = left + width and bottom = top + height of its client area. Stored and restored the
// same way, a window comes back where it was and as large as it was, whatever the frame the
// window manager draws around it.

#include <cstdint>
#include <vector>

#include "app/params/app_params.h"

// Where a first run opens, and where a placement that cannot be used opens instead.
inline constexpr ScreenRect kDefaultPlacement = {20, 10, 840, 580};

// The size limits of a drag, in pixels of the client area. The window manager holds the edge
// being dragged at them.
inline constexpr int kMinDragWidth = 820;
inline constexpr int kMaxDragWidth = 1900;
inline constexpr int kMinDragHeight = 570;
inline constexpr int kMaxDragHeight = 1200;

// Show commands as the settings keep them ("AP.showcmd").
inline constexpr std::int32_t kShowNormal = 1;
inline constexpr std::int32_t kShowMinimised = 2;
inline constexpr std::int32_t kShowMaximised = 3;

enum class WindowShowState { kNormal, kMinimised, kMaximised };

// The stored rectangle, or kDefaultPlacement when it has no area (right <= left or bottom <= top)
// or meets none of the screens (their available areas, as left, top, right, bottom). With no
// screen known, only the area is looked at.
ScreenRect RestoredPlacement(const ScreenRect& stored, const std::vector<ScreenRect>& screens);

// How the window opens for a stored show command: 3 maximised, 2 minimised, anything else normal
// (0 would hide the program's only window).
WindowShowState ShowStateOf(std::int32_t showcmd);

// The show command stored at closing: 3 maximised, 2 minimised, else 1.
std::int32_t ShowCommandOf(bool maximised, bool minimised);
