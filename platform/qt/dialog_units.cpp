#include "platform/qt/dialog_units.h"

#include <QApplication>
#include <QFontMetricsF>
#include <cmath>

namespace platform {

DialogBaseUnits CurrentDialogBaseUnits() {
  QFontMetricsF metrics(QApplication::font());
  // A font's average character width: the mean advance of the 52 Latin letters.
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  double width = metrics.horizontalAdvance(letters) / letters.size();
  return DialogBaseUnits{width, metrics.height()};
}

QRect DialogUnitsToPixels(int x, int y, int width, int height, DialogBaseUnits units) {
  auto across = [&](int du) { return static_cast<int>(std::lround(du * units.charWidth / 4.0)); };
  auto down = [&](int du) { return static_cast<int>(std::lround(du * units.charHeight / 8.0)); };
  // Corners, not sizes, are converted: two controls that meet in dialog units meet in pixels,
  // never overlapping or leaving a gap by a rounded pixel.
  const int left = across(x), top = down(y);
  return QRect(left, top, across(x + width) - left, down(y + height) - top);
}

QRect DialogUnitsToPixels(int x, int y, int width, int height) {
  return DialogUnitsToPixels(x, y, width, height, CurrentDialogBaseUnits());
}

}  // namespace platform
