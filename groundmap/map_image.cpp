#include "groundmap/map_image.h"

#include <cstring>

namespace groundmap {

MapImage mapImage;

void ResetMapImage() {
  constexpr int kStartWidth = 640;
  constexpr int kStartHeight = 480;
  mapImage.header = ImageHeader();
  mapImage.header.biWidth = kStartWidth;
  mapImage.header.biHeight = kStartHeight;
  std::memset(mapImage.pixels, 0, kStartWidth * kStartHeight * kImageBytesPerPixel);
}

}  // namespace groundmap
