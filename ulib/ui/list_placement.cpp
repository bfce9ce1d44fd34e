#include "ulib/ui/list_placement.h"

#include <algorithm>

#include "ulib/ui/grid_scale.h"

namespace {

ListRect Clamped(ListRect rect) {
  rect.width = std::max(rect.width, 0);
  rect.height = std::max(rect.height, 0);
  return rect;
}

}  // namespace

ListRect PlaceRect(const ListLayout& layout, int clientWidth, int clientHeight) {
  ListRect rect{layout.left, layout.top, layout.right - layout.left, layout.bottom - layout.top};
  if (layout.right < 0) rect.width += clientWidth;
  if (layout.bottom < 0) rect.height += clientHeight;
  return Clamped(rect);
}

ListRect PlaceScaledRect(const ListLayout& layout, int clientWidth, int clientHeight,
                         double scaleX, double scaleY) {
  ListRect rect{GridToPixels(layout.left, scaleX), GridToPixels(layout.top, scaleY),
                GridToPixels(layout.right - layout.left, scaleX),
                GridToPixels(layout.bottom - layout.top, scaleY)};
  if (layout.right < 0) rect.width += clientWidth;
  if (layout.bottom < 0) rect.height += clientHeight;
  return Clamped(rect);
}
