#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "groundmap/map_file_loader.h"
#include "groundmap/map_image.h"
#include "groundmap/map_projection.h"
#include "groundmap/map_renderer.h"
#include "params/app_params.h"
#include "platform/scripted_platform.h"

namespace groundmap {
namespace {

constexpr int kLand = 12;  // the one land level of the shipped map

// The level under (lon, lat) in degrees, or -1 outside the map.
int LevelAt(double lon, double lat) {
  double x, y;
  if (!GmapLonLatToPixel(lon, lat, &x, &y)) return -1;
  const int px = static_cast<int>(x), py = static_cast<int>(y);
  return mapProjection.raster[static_cast<std::size_t>(py) * mapProjection.CX + px];
}

class ShippedMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string path = std::string(NV4_SOURCE_DIR) + "/data/GMe136n34_16.DAT";
    ASSERT_EQ(LoadGroundMap(path.c_str()), 1);
    EXPECT_TRUE(scripted_->Calls().empty());
  }
  platform::ScopedScriptedPlatform scripted_;
};

TEST_F(ShippedMapTest, IsTheDefaultMapAtTheLargestSize) {
  EXPECT_EQ(mapProjection.CX, 3200);
  EXPECT_EQ(mapProjection.CY, 2400);
  EXPECT_EQ(mapProjection.centreLon, 136.0);
  EXPECT_EQ(mapProjection.centreLat, 34.0);
  EXPECT_EQ(mapProjection.halfFov, 16.0);
}

TEST_F(ShippedMapTest, KnownPlacesFallOnLandOrSea) {
  struct Place {
    const char* name;
    double lon, lat;
    int level;  // kLand, 0 sea or lake
  };
  const Place places[] = {
      {"Tokyo", 139.752, 35.685, kLand},
      {"Osaka", 135.526, 34.687, kLand},
      {"Kyoto, south-west of Lake Biwa", 135.768, 35.011, kLand},
      {"Koka, south-east of Lake Biwa", 136.167, 34.966, kLand},
      {"Nagahama hills, north-east of Lake Biwa", 136.35, 35.45, kLand},
      {"Takashima, west of Lake Biwa", 135.95, 35.35, kLand},
      {"Sapporo", 141.35, 43.06, kLand},
      {"Seoul", 126.98, 37.57, kLand},
      {"Lake Biwa, a lake shown as water", 136.08, 35.25, 0},
      {"Pacific south of Honshu", 140.0, 30.0, 0},
      {"Pacific east of Honshu", 145.0, 36.0, 0},
      {"Sea of Japan", 135.0, 39.0, 0},
      {"Sea of Japan off Korea", 131.0, 38.0, 0},
  };
  for (const Place& place : places) {
    EXPECT_EQ(LevelAt(place.lon, place.lat), place.level) << place.name;
  }
}

TEST_F(ShippedMapTest, HoldsOnlySeaAndOneLandLevel) {
  long counts[16] = {};
  for (std::size_t i = 0; i < 3200u * 2400u; ++i) ++counts[mapProjection.raster[i] & 15];
  for (int level = 1; level < 16; ++level) {
    if (level != kLand) {
      EXPECT_EQ(counts[level], 0) << level;
    }
  }
  // Mostly ocean, with a good share of land.
  EXPECT_GT(counts[kLand], 3200 * 2400 / 10);
  EXPECT_GT(counts[0], 3200 * 2400 / 2);
}

TEST_F(ShippedMapTest, LandShowsClearlyLighterThanTheSeaUnderItsLabels) {
  SetDefaultAppParams();  // colour mode, zoom 5, the view on the map centre
  MapRenderer renderer;
  renderer.W = 640;
  renderer.H = 480;
  renderer.Redraw();
  // The grey under a place, read from the picture as the page shows it.
  auto shade = [&](double lon, double lat) {
    double sx, sy;
    renderer.GmapLonLatToScreen(lon, lat, &sx, &sy);
    const std::uint8_t* p = ImagePixel(static_cast<int>(sx + 0.5), static_cast<int>(sy + 0.5), 640);
    EXPECT_EQ(p[0], p[1]);
    EXPECT_EQ(p[1], p[2]);
    return static_cast<int>(p[0]);
  };
  const int land = shade(135.526, 34.687);  // Osaka
  const int sea = shade(137.5, 33.3);       // off the Kii peninsula
  EXPECT_EQ(sea, 120);
  // Before, land was grey 140, hardly told from the sea at a glance; white and yellow labels,
  // painted over stations on land, must still read on it.
  EXPECT_GE(land - sea, 50);
  EXPECT_LE(land, 190);
}

}  // namespace
}  // namespace groundmap
