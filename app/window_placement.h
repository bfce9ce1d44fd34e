#pragma once
// Where the main window opens and how far a drag may size it: plain logic over rectangles of
// screen pixels, so that tests need no window system.
//
// A stored rectangle is the window's normal (restored) outer rectangle, frame included, as are
// the drag limits: left + width and top + height of what the window manager draws. Where there
// is no frame (or none yet) the outer rectangle is the client area.

#include <cstdint>
#include <vector>

#include "params/app_params.h"

// Where a first run opens, and where a placement that cannot be used opens instead.
inline constexpr ScreenRect kDefaultPlacement = {20, 10, 840, 580};

// The size limits of a drag, in pixels of the outer window.
inline constexpr int kMinDragWidth = 820;
inline constexpr int kMaxDragWidth = 1900;
inline constexpr int kMinDragHeight = 570;
inline constexpr int kMaxDragHeight = 1200;

// The frame the window manager draws around the client area, in pixels on each side.
struct FrameMargins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const FrameMargins&) const = default;
};

struct WindowSize {
  int width = 0;
  int height = 0;
  bool operator==(const WindowSize&) const = default;
};

// The client area inside an outer rectangle, and the outer rectangle around a client area.
ScreenRect ClientRectOf(const ScreenRect& outer, const FrameMargins& frame);
ScreenRect OuterRectOf(const ScreenRect& client, const FrameMargins& frame);

// The least client size that keeps the outer window at its least drag size (never below 0), and
// the greatest that keeps it at its greatest.
WindowSize MinClientSize(const FrameMargins& frame);
WindowSize MaxClientSize(const FrameMargins& frame);

// The outer rectangle a drag from `before` to `proposed` is held at: within the drag limits, a
// left or top edge dragged past a limit stops there and the opposite edge stays; otherwise the
// right or bottom edge gives way. A rectangle within the limits is kept as it is.
ScreenRect HeldDragRect(const ScreenRect& before, const ScreenRect& proposed);

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
