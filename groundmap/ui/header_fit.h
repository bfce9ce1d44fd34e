#pragma once
// How the map page's two rows of controls fit a page narrower than the page they were laid out
// for. The least main window leaves the page narrower than its template: the map-name box gives
// up some of its width so that the controls right of it move left and stay whole, and "save",
// the last control of the first row, goes to the free place at the start of the second.

struct GmapHeaderFit {
  int shift = 0;             // pixels the controls right of the map-name box move left
  bool saveWrapped = false;  // "save" at the start of the second row instead of its own place
};

// pageWidth: the page's width; keptRight: the right edge of the last control that stays on the
// first row (the vertical pan arrows) and saveRight that of "save", both at their own places;
// nameWidth: the map-name box's own width; secondRowGap: the room between the last control of
// the second row that stays ("mono chrome") and the first that moves ("center"). All in pixels.
// The box keeps at least half its width (it scrolls a longer name) and the moved controls never
// reach the ones that stay; a page too narrow even then leaves the rest cut off.
GmapHeaderFit FitGmapHeader(int pageWidth, int keptRight, int saveRight, int nameWidth,
                            int secondRowGap);
