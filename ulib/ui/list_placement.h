#pragma once
// Where a list sits in its parent's client area, from its layout's placement.

#include "ulib/ui/list_layout.h"

struct ListRect {
  int x;
  int y;
  int width;
  int height;
};

// Placement in pixels. A negative right or bottom counts from the client's right or bottom
// edge. A parent smaller than the list leaves it 0 wide or high, never negative.
ListRect PlaceRect(const ListLayout& layout, int clientWidth, int clientHeight);
// The same with top, bottom, left and right in grid units (scaleX, scaleY: gridScaleX and
// gridScaleY).
ListRect PlaceScaledRect(const ListLayout& layout, int clientWidth, int clientHeight,
                         double scaleX, double scaleY);
