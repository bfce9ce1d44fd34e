#include "groundmap/map_projection.h"

#include <gtest/gtest.h>

#include <cmath>

namespace groundmap {
namespace {

constexpr double kDeg = 0.01745329251994329;

struct MapCase {
  const char* what;
  int cx, cy;
  double lon, lat, halfFov;
};

// The shipped map, and maps where a division or a range limit used to bite.
constexpr MapCase kMaps[] = {
    {"default", 3200, 2400, 136.0, 34.0, 16.0},   {"equatorial", 800, 600, 0.0, 0.0, 30.0},
    {"southern", 1000, 700, 150.0, -35.0, 10.0},  {"north pole", 1000, 1000, 0.0, 90.0, 20.0},
    {"south pole", 640, 480, -60.0, -90.0, 35.0}, {"across 180", 1200, 900, 175.0, 50.0, 20.0},
    {"odd size", 801, 601, -70.25, 12.5, 5.0},    {"wide field", 1600, 1200, 20.0, 60.0, 60.0},
};

// The point distDeg of arc from (lon, lat) along azDeg, on the sphere: an oracle of its own.
void Destination(double lon, double lat, double azDeg, double distDeg, double* lonOut,
                 double* latOut) {
  const double phi = lat * kDeg, az = azDeg * kDeg, d = distDeg * kDeg;
  const double sinPhi2 = std::sin(phi) * std::cos(d) + std::cos(phi) * std::sin(d) * std::cos(az);
  *latOut = std::asin(sinPhi2) / kDeg;
  *lonOut = lon + std::atan2(std::sin(az) * std::sin(d) * std::cos(phi),
                             std::cos(d) - std::sin(phi) * sinPhi2) /
                      kDeg;
}

class MapProjectionTest : public ::testing::Test {
 protected:
  void TearDown() override { mapProjection = MapProjection(); }
};

TEST_F(MapProjectionTest, PixelsComeBackWithinAMillionthOfAPixel) {
  for (const MapCase& map : kMaps) {
    SCOPED_TRACE(map.what);
    SetMapGeometry(map.cx, map.cy, map.lon, map.lat, map.halfFov, nullptr);
    for (int py = 0; py <= map.cy; py += map.cy / 12) {
      for (int px = 0; px <= map.cx; px += map.cx / 16) {
        double lon, lat, x, y;
        GmapPixelToLonLat(px, py, &lon, &lat);
        ASSERT_TRUE(std::isfinite(lon) && std::isfinite(lat));
        GmapLonLatToPixel(lon, lat, &x, &y);
        ASSERT_NEAR(x, px, 1e-6) << px << "," << py;
        ASSERT_NEAR(y, py, 1e-6) << px << "," << py;
      }
    }
  }
}

TEST_F(MapProjectionTest, CentreLiesOnTheHalvedSizeBothWays) {
  for (const MapCase& map : kMaps) {
    SCOPED_TRACE(map.what);
    SetMapGeometry(map.cx, map.cy, map.lon, map.lat, map.halfFov, nullptr);
    double x, y;
    EXPECT_EQ(GmapLonLatToPixel(map.lon, map.lat, &x, &y), 1);
    EXPECT_EQ(x, map.cx / 2);
    EXPECT_EQ(y, map.cy / 2);
    double lon, lat;
    GmapPixelToLonLat(map.cx / 2, map.cy / 2, &lon, &lat);
    if (map.cx % 2 == 0 && map.cy % 2 == 0) {
      EXPECT_NEAR(lat, map.lat, 1e-12);
      if (std::fabs(map.lat) < 90.0) {
        EXPECT_NEAR(lon, map.lon, 1e-12);
      }
    }
  }
}

TEST_F(MapProjectionTest, AngularDistanceAlongAnAzimuthIsScaleTimesItsTangent) {
  for (const MapCase& map : kMaps) {
    SCOPED_TRACE(map.what);
    SetMapGeometry(map.cx, map.cy, map.lon, map.lat, map.halfFov, nullptr);
    const double scale = mapProjection.scale;
    for (double az : {0.0, 45.0, 90.0, 135.0, 180.0, 250.0, 315.0}) {
      for (double dist : {0.5, 5.0, map.halfFov}) {
        SCOPED_TRACE(testing::Message() << "azimuth " << az << ", distance " << dist);
        double lon, lat, x, y;
        Destination(map.lon, map.lat, az, dist, &lon, &lat);
        if (std::fabs(map.lat) == 90.0) {
          // From a pole every direction is along a meridian: north up means the meridian
          // opposite the centre's at the north pole, the centre's own at the south pole.
          lon = map.lat > 0 ? map.lon + 180.0 - az : map.lon + az;
        }
        GmapLonLatToPixel(lon, lat, &x, &y);
        const double u = x - map.cx * 0.5, v = map.cy * 0.5 - y;
        EXPECT_NEAR(std::hypot(u, v), scale * std::tan(dist * kDeg), 1e-6 * scale);
        EXPECT_NEAR(std::remainder(std::atan2(u, v) / kDeg - az, 360.0), 0.0, 1e-8);
      }
    }
  }
}

TEST_F(MapProjectionTest, InsideMeansWithinTheMapsPixels) {
  SetMapGeometry(800, 600, 0.0, 0.0, 30.0, nullptr);
  struct Case {
    int px, py;
    int inside;
  };
  const Case cases[] = {{1, 1, 1},     {799, 599, 1}, {400, 1, 1},  {-1, 300, 0},
                        {801, 300, 0}, {400, -1, 0},  {400, 601, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.px << "," << c.py);
    double lon, lat, x, y;
    GmapPixelToLonLat(c.px, c.py, &lon, &lat);
    EXPECT_EQ(GmapLonLatToPixel(lon, lat, &x, &y), c.inside);
  }
}

// Before, the arcsine of the inverse capped the longitude difference at 90 degrees and a map
// centred on a pole divided by zero.
TEST_F(MapProjectionTest, LongitudeDifferencesBeyond90DegreesAndPoleCentresWork) {
  // Looking across the north pole from 80 N: the far side is on the opposite meridian.
  SetMapGeometry(1000, 1000, 10.0, 80.0, 30.0, nullptr);
  double lon, lat, x, y;
  GmapLonLatToPixel(190.0, 85.0, &x, &y);
  GmapPixelToLonLat(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), &lon, &lat);
  EXPECT_NEAR(std::remainder(lon - 190.0, 360.0), 0.0, 0.05);
  EXPECT_NEAR(lat, 85.0, 0.05);

  SetMapGeometry(1000, 1000, 0.0, 90.0, 20.0, nullptr);
  ASSERT_EQ(GmapLonLatToPixel(90.0, 80.0, &x, &y), 1);
  EXPECT_TRUE(std::isfinite(x) && std::isfinite(y));
  GmapPixelToLonLat(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), &lon, &lat);
  EXPECT_NEAR(lon, 90.0, 0.05);  // within the half pixel that rounding moved it
  EXPECT_NEAR(lat, 80.0, 0.05);
}

// The two-argument forms give the same answers as the textbook formulas where those hold.
TEST_F(MapProjectionTest, MatchesTheSingleArgumentFormulasOnOrdinaryMaps) {
  for (const MapCase& map : {kMaps[0], kMaps[2], kMaps[6]}) {
    SCOPED_TRACE(map.what);
    SetMapGeometry(map.cx, map.cy, map.lon, map.lat, map.halfFov, nullptr);
    const double scale = mapProjection.scale;
    const double theta0 = (90.0 - map.lat) * kDeg;
    for (int py = 0; py < map.cy; py += map.cy / 10) {
      for (int px = 0; px < map.cx; px += map.cx / 10) {
        const double u = px - map.cx * 0.5, v = map.cy * 0.5 - py;
        const double a =
            std::fabs(v) > 0.1 ? std::atan2(u, v) : (u > 0 ? 1 : -1) * 1.5707963267948961;
        const double c = std::atan(std::hypot(u, v) / scale);
        const double cosTheta =
            std::sin(c) * std::sin(theta0) * std::cos(a) + std::cos(c) * std::cos(theta0);
        const double oldLat = 90.0 - std::acos(cosTheta) / kDeg;
        const double oldLon =
            map.lon +
            std::asin(std::sin(c) * std::sin(a) / std::sqrt(1.0 - cosTheta * cosTheta)) / kDeg;
        double lon, lat;
        GmapPixelToLonLat(px, py, &lon, &lat);
        ASSERT_NEAR(lon, oldLon, 1e-13);
        ASSERT_NEAR(lat, oldLat, 1e-13);

        // Forward y in its old form, dividing by the sine of the centre's colatitude.
        const double theta = (90.0 - lat) * kDeg, dLon = (lon - map.lon) * kDeg;
        const double cosC = std::sin(theta) * std::sin(theta0) * std::cos(dLon) +
                            std::cos(theta) * std::cos(theta0);
        const double sinC = std::sqrt(1.0 - cosC * cosC);
        if (sinC * scale / cosC <= 0.1) continue;
        const double rho = sinC * scale / cosC;
        const double oldY = map.cy * 0.5 - rho * (std::cos(theta) - std::cos(theta0) * cosC) /
                                               (std::sin(theta0) * sinC);
        double x, y;
        GmapLonLatToPixel(lon, lat, &x, &y);
        ASSERT_NEAR(y, oldY, 1e-7);
      }
    }
  }
}

// Before, points 90 degrees or more away were reported inside, at the centre.
TEST_F(MapProjectionTest, PointsWithNoImageAreOutsideFarAwayInTheirDirection) {
  SetMapGeometry(3200, 2400, 136.0, 34.0, 16.0, nullptr);
  struct Case {
    const char* what;
    double lon, lat;
    double dirX, dirY;  // expected direction on the map (x east, y south); 0 0: any
  };
  const Case cases[] = {
      {"east", 136.0 + 120.0, 0.0, 1.0, 0.0},
      {"west", 136.0 - 120.0, 0.0, -1.0, 0.0},
      {"south", 136.0, -60.0, 0.0, 1.0},
      {"antipode", 136.0 - 180.0, -34.0, 0.0, 0.0},
      {"exactly 90 degrees", 136.0, -56.0, 0.0, 1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    double x, y;
    EXPECT_EQ(GmapLonLatToPixel(c.lon, c.lat, &x, &y), 0);
    ASSERT_TRUE(std::isfinite(x) && std::isfinite(y));
    const double dx = x - 1600.0, dy = y - 1200.0;
    EXPECT_NEAR(std::hypot(dx, dy), 1e6, 1.0);
    if (c.dirX != 0.0 || c.dirY != 0.0) {
      EXPECT_GT((dx * c.dirX + dy * c.dirY) / 1e6, 0.5);
    }
  }
}

// Before, the inverse divided by a scale of 0 and gave NaN.
TEST_F(MapProjectionTest, WithNoMapEveryPointIsTheCentreAndNothingIsNaN) {
  mapProjection.CX = 0;
  mapProjection.CY = 0;
  mapProjection.centreLon = 12.0;
  mapProjection.centreLat = 34.0;
  mapProjection.scale = 0.0;
  for (int p : {0, 5, -7}) {
    double lon, lat;
    GmapPixelToLonLat(p, p, &lon, &lat);
    EXPECT_EQ(lon, 12.0);
    EXPECT_EQ(lat, 34.0);
  }
  double x, y;
  EXPECT_EQ(GmapLonLatToPixel(13.0, 35.0, &x, &y), 1);
  EXPECT_EQ(x, 0.0);
  EXPECT_EQ(y, 0.0);
}

}  // namespace
}  // namespace groundmap
