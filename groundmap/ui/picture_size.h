#pragma once
// How large the map picture may be so that it ends just inside the main window, whose size
// limits hold only while the user drags its frame.

#include <cstdint>

struct PictureSize {
  std::int32_t W;  // a multiple of 4 (each 24-bit row a whole number of 4-byte words), 0..1920
  std::int32_t H;  // 0..1200
};

// outerRight and outerBottom: the main window's frame edges just past its last pixel column and
// row (left + width, top + height); pictureLeft and pictureTop: the picture's top-left corner.
// All four from one origin: the screen's, or the frame's top-left corner (then outerRight and
// outerBottom are the outer width and height). The picture ends 9 to 12 pixels short of the right edge and
// 16 short of the bottom, within the image's largest size; a window too small for any picture
// gives 0.
PictureSize GmapPictureSize(int outerRight, int outerBottom, int pictureLeft, int pictureTop);
