#pragma once
// Window layouts are written in dialog units: a quarter of the average character width across
// and an eighth of the character height down, of the application's font.

#include <QRect>

namespace platform {

// Base units of the application font in pixels: average character width and line height.
struct DialogBaseUnits {
  double charWidth;
  double charHeight;
};
DialogBaseUnits CurrentDialogBaseUnits();

// A rectangle of dialog units (x, y, width, height) in pixels.
QRect DialogUnitsToPixels(int x, int y, int width, int height);
QRect DialogUnitsToPixels(int x, int y, int width, int height, DialogBaseUnits units);

}  // namespace platform
