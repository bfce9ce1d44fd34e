#include "groundmap/base_map_painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "groundmap/map_image.h"
#include "groundmap/map_projection.h"

namespace groundmap {
namespace {

// The base map as the plain rule says it: one raster lookup per pixel, then in mono chrome
// the two coastline passes over the inner pixels (land next to sea black, remaining land 250).
std::vector<std::uint8_t> Reference(int w, int h, double s, int originX, int originY, bool mono) {
  const MapProjection& map = mapProjection;
  std::vector<std::uint8_t> image(static_cast<std::size_t>(w) * h * 3);
  auto at = [&](int x, int row) { return &image[(static_cast<std::size_t>(row) * w + x) * 3]; };
  for (int r = 0; r < h; ++r) {
    for (int c = 0; c < w; ++c) {
      const int mx = static_cast<int>(c * s + originX), my = static_cast<int>(r * s + originY);
      std::uint8_t* p = at(c, h - 1 - r);
      if (mx >= map.CX || my >= map.CY) {
        p[0] = 80, p[1] = 0, p[2] = 0;
        continue;
      }
      const int level = map.raster[static_cast<std::size_t>(my) * map.CX + mx];
      const int shade = mono ? (level == 0 ? 240 : 180) : (level == 0 ? 120 : 60 + 10 * level);
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(shade);
    }
  }
  if (!mono) return image;
  const std::vector<std::uint8_t> before = image;
  auto was = [&](int x, int row) { return before[(static_cast<std::size_t>(row) * w + x) * 3]; };
  for (int row = 1; row < h - 1; ++row) {
    for (int x = 1; x < w - 1; ++x) {
      if (was(x, row) != 180) continue;
      bool sea = false;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) sea = sea || was(x + dx, row + dy) == 240;
      }
      std::memset(at(x, row), sea ? 0 : 250, 3);
    }
  }
  return image;
}

TEST(BaseMapPainterTest, MatchesThePlainRuleForEverySizeZoomAndOrigin) {
  // Islands of every level in a sea, on a 700 x 500 map.
  std::mt19937 random(99);
  std::vector<std::uint8_t> raster(700 * 500, 0);
  std::uniform_int_distribution<int> x(0, 699), y(0, 499), radius(1, 40), level(1, 15);
  for (int island = 0; island < 120; ++island) {
    const int cx = x(random), cy = y(random), rr = radius(random), v = level(random);
    for (int py = std::max(0, cy - rr); py < std::min(500, cy + rr); ++py) {
      for (int px = std::max(0, cx - rr); px < std::min(700, cx + rr); ++px) {
        if ((px - cx) * (px - cx) + (py - cy) * (py - cy) < rr * rr) raster[py * 700 + px] = v;
      }
    }
  }
  SetMapGeometry(700, 500, 136.0, 34.0, 10.0, raster.data());
  struct Case {
    int w, h;
    double s;
    int originX, originY;
  };
  const Case cases[] = {{1920, 1200, 0.5, 0, 0},   {1920, 1200, 2.0, 0, 0}, {37, 5, 1.0, 650, 480},
                        {640, 480, 0.3, 100, 200}, {1, 1, 1.0, 3, 3},       {2, 7, 1.0, 0, 0},
                        {333, 250, 3.3333, 12, 7}, {100, 3, 1.0, 600, 0},   {64, 64, 1.0, 800, 0},
                        // The map ends inside the picture at a shifted origin, to the right and
                        // below, at 1 and at 2 map pixels per picture pixel.
                        {500, 30, 1.0, 333, 485},  {1000, 40, 2.0, 3, 450}, {997, 61, 2.0, 0, 383},
                        {1920, 1200, 1.0, 1, 1},   {401, 9, 1.0, 299, 0}};
  for (const bool mono : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << " at " << c.s << " from "
                                      << c.originX << "," << c.originY << (mono ? " mono" : ""));
      std::memset(mapImage.pixels, 0x5A, sizeof mapImage.pixels);
      BaseMapPainter painter;
      painter.Paint(c.w, c.h, c.s, c.originX, c.originY, mono);
      const std::vector<std::uint8_t> expected =
          Reference(c.w, c.h, c.s, c.originX, c.originY, mono);
      ASSERT_EQ(std::memcmp(mapImage.pixels, expected.data(), expected.size()), 0);
      // Nothing beyond the picture is written.
      if (expected.size() < sizeof mapImage.pixels) {
        ASSERT_EQ(mapImage.pixels[expected.size()], 0x5A);
      }
    }
  }
  mapProjection = MapProjection();
}

TEST(BaseMapPainterTest, WithNoMapEveryPixelIsTheOutsideColour) {
  mapProjection = MapProjection();
  BaseMapPainter painter;
  for (const bool mono : {false, true}) {
    std::memset(mapImage.pixels, 0x5A, sizeof mapImage.pixels);
    painter.Paint(20, 10, 2.0, 0, 0, mono);
    for (int i = 0; i < 20 * 10; ++i) {
      ASSERT_EQ(mapImage.pixels[3 * i], 80);
      ASSERT_EQ(mapImage.pixels[3 * i + 1], 0);
      ASSERT_EQ(mapImage.pixels[3 * i + 2], 0);
    }
  }
}

}  // namespace
}  // namespace groundmap
