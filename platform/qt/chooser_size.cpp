#include "platform/qt/chooser_size.h"

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

// Room for the side bar and the four columns of a long file name, "127.4 KiB", "CSV File" and
// a date with seconds, in average characters and lines of the font.
constexpr double kWidthChars = 150.0;
constexpr double kHeightLines = 34.0;
// A frame and a margin of the screen stay visible round the chooser.
constexpr double kScreenShare = 0.9;

}  // namespace

QSize ChooserSize(const QRect& available, DialogBaseUnits units) {
  const int wantedWidth = static_cast<int>(std::lround(kWidthChars * units.charWidth));
  const int wantedHeight = static_cast<int>(std::lround(kHeightLines * units.charHeight));
  const int roomWidth = static_cast<int>(available.width() * kScreenShare);
  const int roomHeight = static_cast<int>(available.height() * kScreenShare);
  return QSize(std::max(1, std::min(wantedWidth, roomWidth)), std::max(1, std::min(wantedHeight, roomHeight)));
}

}  // namespace platform
