#pragma once
// The first layer of every render: the ground map's levels as shades in mapImage.

#include <cstdint>

#include "groundmap/map_image.h"

namespace groundmap {

class BaseMapPainter {
 public:
  // Writes every pixel of the width x height image. Picture pixel (c, r), r counted from the
  // top, shows map pixel (trunc(c * mapPerScreen + originX), trunc(r * mapPerScreen + originY))
  // of mapProjection (origin not negative) and is stored in image row height - 1 - r. Off the
  // map (or with no map) it is blue 80, green 0, red 0. On the map, grey: in colour mode 120
  // for sea (level 0) and 60 + 10 x level for land; in mono chrome 240 for sea and 250 for land,
  // but 0 for land with sea among its eight neighbours (the coastline), and 180 for land on the
  // outermost rows and columns. width and height within the image's maximum.
  void Paint(int width, int height, double mapPerScreen, int originX, int originY, bool mono);

 private:
  // Fills columnMap_; returns how many of the first columns show the map.
  int MapColumns(int width, double mapPerScreen, int originX);
  // onMap: the number of first columns that show the map.
  void PaintColour(int width, int height, double mapPerScreen, int originY, int onMap);
  void PaintMono(int width, int height, double mapPerScreen, int originY, int onMap);

  // Map column of each picture column, -1 off the map.
  std::int32_t columnMap_[kMaxImageWidth] = {};
  // The step between the map columns of neighbouring picture columns on the map when it is
  // always 1 or always 2, else 0.
  int columnStride_ = 0;
  // Mono chrome: what three consecutive picture rows show of the map (sea, land or outside),
  // whether each of their pixels has sea in its column or one beside it, and each pixel's shade
  // colour indices, 4 pixels to a byte; 16 bytes more, as they are worked on 8 at a time.
  std::uint8_t kindRows_[3][kMaxImageWidth + 16] = {};
  std::uint8_t seaNearRows_[3][kMaxImageWidth + 16] = {};
  std::uint8_t groupIndex_[kMaxImageWidth / 4 + 4] = {};
};

}  // namespace groundmap
