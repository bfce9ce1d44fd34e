#pragma once
// The pixels of a render: lines, markers and single pixels drawn in a pen, each within a band of
// rows, into the image it was given. What a worker of a banded render draws through: it touches
// nothing but the rows of its band.

#include <cstdint>

namespace groundmap {

// How one colour code draws: resolved once per line or marker instead of once per pixel.
struct Pen {
  bool draws = false;
  bool keepsRed = false;  // leaves a pixel whose red is 255 as it is
  std::uint8_t bgr[3] = {};
};

// Image rows lo .. hi - 1 (from the bottom): where one part of a render may draw.
struct Band {
  int lo, hi;
};

// A W x H image of 3-byte pixels, rows from the bottom, as mapImage holds it.
class PictureCanvas {
 public:
  PictureCanvas(std::uint8_t* pixels, int W, int H) : pixels_(pixels), W_(W), H_(H) {}

  Band WholeImage() const { return Band{0, H_}; }
  // The straight picture line between two points, walked one pixel per column (or per row when
  // steep), the steps that land in the band. Coincident ends draw nothing.
  void WalkLine(double x1, double y1, double x2, double y2, const Pen& pen, const Band& band);
  // At picture coordinates (x, y from the bottom): a filled disc of radius size for size 2 or
  // more, a three-pixel cross for a negative size.
  void DrawMarker(double x, double y, const Pen& pen, int size, const Band& band);
  // One pixel (row from the bottom); off the picture or the band nothing.
  void Plot(int x, int row, const Pen& pen, const Band& band);

 private:
  void PlotRounded(double x, double y, const Pen& pen, const Band& band);

  std::uint8_t* pixels_;
  int W_, H_;
};

}  // namespace groundmap
