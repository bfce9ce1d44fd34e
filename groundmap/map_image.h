#pragma once
// The 24-bit drawing image that the renderer draws the map into and the page shows.

#include <cstddef>
#include <cstdint>

namespace groundmap {

inline constexpr int kMaxImageWidth = 1920;
inline constexpr int kMaxImageHeight = 1200;
inline constexpr int kImageBytesPerPixel = 3;

// The image's description, laid out like the 40-byte device-independent bitmap header: a
// positive height means rows stored bottom-up; 24 bits per pixel, no compression.
struct ImageHeader {
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 24;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(ImageHeader) == 40);

// Pixel (x, row) of a W x H image, x from the left and row from the bottom, is the 3 bytes
// blue, green, red at (row * W + x) * 3; rows are W * 3 bytes with no padding.
struct MapImage {
  ImageHeader header;
  std::uint8_t pixels[kMaxImageWidth * kMaxImageHeight * kImageBytesPerPixel];
};

extern MapImage mapImage;

// The first byte (blue) of pixel (x, row from the bottom) of pixels laid out as mapImage's,
// width pixels wide.
inline std::uint8_t* PixelOf(std::uint8_t* pixels, int x, int row, int width) {
  return pixels + (static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x)) *
                      kImageBytesPerPixel;
}

// The same pixel of mapImage.
inline std::uint8_t* ImagePixel(int x, int row, int width) {
  return PixelOf(mapImage.pixels, x, row, width);
}

// The image as the program starts with it: 640 x 480, black.
void ResetMapImage();

}  // namespace groundmap
