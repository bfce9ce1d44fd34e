#include "groundmap/ui/picture_size.h"

#include <algorithm>
#include <cstdint>

#include "groundmap/map_image.h"

PictureSize GmapPictureSize(int outerRight, int outerBottom, int pictureLeft, int pictureTop) {
  // In 64 bits: screen coordinates far apart must not overflow before the caps apply.
  const std::int64_t across = static_cast<std::int64_t>(outerRight) - pictureLeft - 9;
  const std::int64_t down = static_cast<std::int64_t>(outerBottom) - pictureTop - 16;
  // Truncating division, then the caps. 0 below: the main window's size limits hold only while
  // its frame is dragged, not when it is placed by the program.
  const std::int64_t w = std::clamp<std::int64_t>(across / 4 * 4, 0, groundmap::kMaxImageWidth);
  const std::int64_t h = std::clamp<std::int64_t>(down, 0, groundmap::kMaxImageHeight);
  return PictureSize{static_cast<std::int32_t>(w), static_cast<std::int32_t>(h)};
}
