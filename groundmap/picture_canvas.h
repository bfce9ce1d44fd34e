#pragma once
// The pixels of a render: lines, markers and single pixels drawn in a pen, each within a band of
// rows, into the image it was given. What a worker of a banded render draws through: it touches
// nothing but the rows of its band.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "groundmap/map_image.h"

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

// Defined here, so that the renderer's loops over results and bands have them inline: they run
// for every pixel of a picture of a quarter of a million lines.

// Both coordinates of a point finite.
inline bool Finite(double a, double b) { return std::isfinite(a) && std::isfinite(b); }

inline void PictureCanvas::WalkLine(double x1, double y1, double x2, double y2, const Pen& pen,
                                    const Band& band) {
  if (!pen.draws) return;
  if (!Finite(x1, y1) || !Finite(x2, y2)) return;
  if (x1 == x2 && y1 == y2) return;
  // The walk visits whole columns (or rows) from the truncated smaller end up to the larger end
  // plus a half; only those from -1 (which rounds to 0) to the last one can land on the
  // picture, so the walk is cut to them: the same pixels, however far away an end lies. A band
  // cuts it further, to the steps that can land on its rows; each step keeps its value.
  const double m = (y2 - y1) / (x2 - x1);
  if (m > -1.0 && m < 1.0) {
    double first = std::max(std::trunc(std::min(x1, x2)), -1.0);
    double last = std::min(std::max(x1, x2) + 0.5, W_ - 1.0);
    if (m != 0.0 && (band.lo > 0 || band.hi < H_)) {
      // Row trunc(y + 0.5) lies in the band only for y in [lo - 0.5, hi - 0.5); the columns
      // where y crosses a little more than that, widened by two for rounding.
      const double xa = x1 + (band.lo - 1.5 - y1) / m;
      const double xb = x1 + (band.hi - 0.5 - y1) / m;
      first = std::max(first, std::floor(std::min(xa, xb) - 2.0));
      last = std::min(last, std::max(xa, xb) + 2.0);
    }
    for (double x = first; x <= last; x += 1.0) PlotRounded(x, y1 + (x - x1) * m, pen, band);
  } else {
    const double mInverse = (x2 - x1) / (y2 - y1);
    // Step y lands on row y (and -1 on row 0).
    const double first =
        std::max({std::trunc(std::min(y1, y2)), -1.0, band.lo > 0 ? band.lo : -1.0});
    const double last = std::min({std::max(y1, y2) + 0.5, H_ - 1.0, band.hi - 1.0});
    for (double y = first; y <= last; y += 1.0) {
      PlotRounded(x1 + (y - y1) * mInverse, y, pen, band);
    }
  }
}

inline void PictureCanvas::PlotRounded(double x, double y, const Pen& pen, const Band& band) {
  const double column = x + 0.5, row = y + 0.5;
  // trunc(column) lies in 0 .. W_ - 1 exactly when -1 < column < W_.
  if (!(column > -1.0 && column < W_ && row > -1.0 && row < H_)) return;
  Plot(static_cast<int>(column), static_cast<int>(row), pen, band);
}

inline void PictureCanvas::Plot(int x, int row, const Pen& pen, const Band& band) {
  if (x < 0 || x >= W_ || row < band.lo || row >= band.hi) return;
  std::uint8_t* p = PixelOf(pixels_, x, row, W_);
  if (pen.keepsRed && p[2] == 255) return;
  p[0] = pen.bgr[0];
  p[1] = pen.bgr[1];
  p[2] = pen.bgr[2];
}

inline void PictureCanvas::DrawMarker(double x, double y, const Pen& pen, int size,
                                      const Band& band) {
  if (!pen.draws || !Finite(x, y)) return;
  const double reach = std::abs(size) + 2.0;
  if (x < -reach || x > W_ + reach || y < band.lo - reach || y > band.hi + reach) return;
  if (size >= 2) {
    const double radius2 = static_cast<double>(size) * size;
    for (int row = static_cast<int>(y - size - 1); row < y + size + 1; ++row) {
      for (int column = static_cast<int>(x - size); column < x + size; ++column) {
        const double dx = column - x, dy = row - y;
        if (dx * dx + dy * dy < radius2) Plot(column, row, pen, band);
      }
    }
  } else if (size < 0) {
    const int column = static_cast<int>(x);
    for (int row = static_cast<int>(y - 1); row < y + 1.1; ++row) Plot(column, row, pen, band);
    const int row = static_cast<int>(y);
    for (int c = static_cast<int>(x - 1); c < x + 1.1; ++c) Plot(c, row, pen, band);
  }
}

}  // namespace groundmap
