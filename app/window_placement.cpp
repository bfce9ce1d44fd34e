#include "app/window_placement.h"

#include <algorithm>

namespace {

bool HasArea(const ScreenRect& r) { return r.right > r.left && r.bottom > r.top; }

bool Meets(const ScreenRect& a, const ScreenRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// One axis of a drag: the low and high edge before and as proposed, held within least..greatest.
void HoldAxis(std::int32_t beforeLow, std::int32_t beforeHigh, std::int32_t* low,
              std::int32_t* high, int least, int greatest) {
  const std::int64_t size = static_cast<std::int64_t>(*high) - *low;
  if (size >= least && size <= greatest) return;
  const int held = size < least ? least : greatest;
  // The window manager moves only the dragged edge: the low one when the high one stayed.
  if (*low != beforeLow && *high == beforeHigh) {
    *low = *high - held;
  } else {
    *high = *low + held;
  }
}

}  // namespace

ScreenRect ClientRectOf(const ScreenRect& outer, const FrameMargins& frame) {
  return ScreenRect{outer.left + frame.left, outer.top + frame.top, outer.right - frame.right,
                    outer.bottom - frame.bottom};
}

ScreenRect OuterRectOf(const ScreenRect& client, const FrameMargins& frame) {
  return ScreenRect{client.left - frame.left, client.top - frame.top, client.right + frame.right,
                    client.bottom + frame.bottom};
}

WindowSize MinClientSize(const FrameMargins& frame) {
  return WindowSize{std::max(0, kMinDragWidth - frame.left - frame.right),
                    std::max(0, kMinDragHeight - frame.top - frame.bottom)};
}

WindowSize MaxClientSize(const FrameMargins& frame) {
  return WindowSize{std::max(0, kMaxDragWidth - frame.left - frame.right),
                    std::max(0, kMaxDragHeight - frame.top - frame.bottom)};
}

ScreenRect HeldDragRect(const ScreenRect& before, const ScreenRect& proposed) {
  ScreenRect held = proposed;
  HoldAxis(before.left, before.right, &held.left, &held.right, kMinDragWidth, kMaxDragWidth);
  HoldAxis(before.top, before.bottom, &held.top, &held.bottom, kMinDragHeight, kMaxDragHeight);
  return held;
}

ScreenRect RestoredPlacement(const ScreenRect& stored, const std::vector<ScreenRect>& screens) {
  if (!HasArea(stored)) return kDefaultPlacement;
  if (screens.empty()) return stored;
  for (const ScreenRect& screen : screens) {
    if (HasArea(screen) && Meets(stored, screen)) return stored;
  }
  return kDefaultPlacement;
}

WindowShowState ShowStateOf(std::int32_t showcmd) {
  if (showcmd == kShowMaximised) return WindowShowState::kMaximised;
  if (showcmd == kShowMinimised) return WindowShowState::kMinimised;
  return WindowShowState::kNormal;
}

std::int32_t ShowCommandOf(bool maximised, bool minimised) {
  if (minimised) return kShowMinimised;
  if (maximised) return kShowMaximised;
  return kShowNormal;
}
