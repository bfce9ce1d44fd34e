#include "app/window_placement.h"

namespace {

bool HasArea(const ScreenRect& r) { return r.right > r.left && r.bottom > r.top; }

bool Meets(const ScreenRect& a, const ScreenRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

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
