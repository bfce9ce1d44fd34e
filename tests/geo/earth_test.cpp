#include "geo/earth.h"

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geo/angles.h"

namespace {

// GeographicLib on the same ellipsoid: flattening from the first eccentricity.
const GeographicLib::Geocentric& Oracle() {
  static const GeographicLib::Geocentric oracle(kEarthA,
                                                1 - std::sqrt(1 - kEarthE * kEarthE));
  return oracle;
}

double LonDiff(double a, double b) { return std::remainder(a - b, 360.0); }

struct Geodetic {
  double lon, lat, h;
};

Geodetic ToGeodetic(double x, double y, double z) {
  Geodetic g{};
  EcefToGeodetic(x, y, z, &g.lon, &g.lat, &g.h);
  return g;
}

TEST(GeodeticToEcefTest, KnownPoints) {
  double x, y, z;
  GeodeticToEcef(0, 0, 0, &x, &y, &z);
  EXPECT_DOUBLE_EQ(x, 6378137);
  EXPECT_DOUBLE_EQ(y, 0);
  EXPECT_DOUBLE_EQ(z, 0);
  GeodeticToEcef(0, 90, 0, &x, &y, &z);
  EXPECT_NEAR(x, 0, 1e-8);  // the last bits of cos(90 * kDegToRad) times the radius
  EXPECT_NEAR(y, 0, 1e-8);
  EXPECT_NEAR(z, 6356752.314, 1e-3);
  GeodeticToEcef(135, 35, 100, &x, &y, &z);
  EXPECT_NEAR(x, -3698528.21, 0.01);
  EXPECT_NEAR(y, 3698528.21, 0.01);
  EXPECT_NEAR(z, 3637924.27, 0.01);
}

TEST(GeodeticToEcefTest, MatchesGeographicLibAndRoundTrips) {
  for (double lat = -90; lat <= 90; lat += 7.5) {
    for (double lon = -179; lon <= 180; lon += 23) {
      for (double h : {-430.0, 0.0, 1000.0, 85000.0, 400000.0, 3.6e7}) {
        SCOPED_TRACE(testing::Message() << lon << " " << lat << " " << h);
        double x, y, z, ox, oy, oz;
        GeodeticToEcef(lon, lat, h, &x, &y, &z);
        Oracle().Forward(lat, lon, h, ox, oy, oz);
        EXPECT_NEAR(x, ox, 1e-6);
        EXPECT_NEAR(y, oy, 1e-6);
        EXPECT_NEAR(z, oz, 1e-6);

        const Geodetic back = ToGeodetic(x, y, z);
        EXPECT_NEAR(back.lat, lat, 1e-12 * kRadToDeg);
        EXPECT_NEAR(back.h, h, 1e-3);
        if (std::fabs(lat) < 90) {
          EXPECT_NEAR(LonDiff(back.lon, lon), 0, 1e-12);
        }
      }
    }
  }
  double x, y, z;
  GeodeticToEcef(-120, 40, 1000, &x, &y, &z);
  const Geodetic back = ToGeodetic(x, y, z);
  EXPECT_NEAR(back.lon, -120, 1e-12);
  EXPECT_NEAR(back.lat, 40, 1e-10);
  EXPECT_NEAR(back.h, 1000, 1e-3);
}

TEST(EcefToGeodeticTest, LongitudeQuadrants) {
  EXPECT_NEAR(ToGeodetic(-6378137, 0.0, 1000).lon, 180, 1e-12);
  EXPECT_NEAR(ToGeodetic(-6378137, -0.0, 1000).lon, 180, 1e-12);  // -0 is still the 180th meridian
  EXPECT_LT(ToGeodetic(-6378137, -1, 0).lon, 0);
  EXPECT_NEAR(ToGeodetic(0, -6378137, 0).lon, -90, 1e-12);
  EXPECT_NEAR(ToGeodetic(0, 6378137, 0).lon, 90, 1e-12);
}

// Before, a point on the north polar axis came out at latitude -90 with a height of about
// -6400 km; points close to the axis lost their height.
TEST(EcefToGeodeticTest, PolarAxisAndItsNeighbourhood) {
  constexpr double kPolarRadius = 6356752.314245;
  struct Case {
    double p, z;
  };
  constexpr Case kCases[] = {
      {0, kPolarRadius},         {0, -kPolarRadius},       {0, kPolarRadius + 100000},
      {0, 100},                  {1e-13, kPolarRadius},    {1e-9, kPolarRadius},
      {1e-6, -kPolarRadius - 5}, {1e-3, kPolarRadius + 1000}, {1, kPolarRadius},
      {1000, kPolarRadius},      {50000, -kPolarRadius},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "p " << c.p << " z " << c.z);
    const Geodetic g = ToGeodetic(c.p, 0, c.z);
    double lat, lon, h;
    Oracle().Reverse(c.p, 0, c.z, lat, lon, h);
    EXPECT_NEAR(g.lat, lat, 1e-10);
    EXPECT_NEAR(g.h, h, 1e-3);
  }
  EXPECT_EQ(ToGeodetic(0, 0, kPolarRadius).lat, 90);
  EXPECT_EQ(ToGeodetic(0, 0, -kPolarRadius).lat, -90);
  const Geodetic centre = ToGeodetic(0, 0, 0);
  EXPECT_EQ(centre.lat, 90);
  EXPECT_NEAR(centre.h, -kPolarRadius, 1e-3);
}

// Before, these looped for ever: deep inside the Earth the iteration circles without settling.
TEST(EcefToGeodeticTest, PointsNearTheCentreEndAndMatchTheClosedForm) {
  struct Case {
    double x, y, z;
  };
  constexpr Case kCases[] = {{20000, 0, 20000}, {1000, 0, 30000}, {-20000, 5000, -20000},
                             {30000, 30000, 15000}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.x << " " << c.y << " " << c.z);
    const Geodetic g = ToGeodetic(c.x, c.y, c.z);
    double lat, lon, h;
    Oracle().Reverse(c.x, c.y, c.z, lat, lon, h);
    EXPECT_NEAR(g.lat, lat, 1e-9);
    EXPECT_NEAR(LonDiff(g.lon, lon), 0, 1e-12);
    EXPECT_NEAR(g.h, h, 1e-3);
  }
  // Any point of a cube around the centre gives a finite answer in range.
  for (double x = -60000; x <= 60000; x += 7000) {
    for (double z = -60000; z <= 60000; z += 3000) {
      const Geodetic g = ToGeodetic(x, 0.5 * x, z);
      ASSERT_TRUE(std::isfinite(g.lat) && std::isfinite(g.h)) << x << " " << z;
      ASSERT_LE(std::fabs(g.lat), 90);
      ASSERT_LE(std::fabs(g.lon), 180);
    }
  }
}

// Before, the equatorial point at p = e^2 a gave NaN (its first quotient was 0 / 0).
TEST(EcefToGeodeticTest, EquatorialPlaneIsLatitudeZero) {
  for (double p : {kEarthE2 * kEarthA, 0.5 * kEarthE2 * kEarthA, 1000.0, kEarthA, 2 * kEarthA}) {
    for (double z : {0.0, -0.0}) {
      SCOPED_TRACE(testing::Message() << "p " << p << " z " << z);
      const Geodetic g = ToGeodetic(p, 0, z);
      EXPECT_EQ(g.lat, 0);
      EXPECT_NEAR(g.h, p - kEarthA, 1e-9);
      const Geodetic turned = ToGeodetic(-p * 0.6, p * 0.8, z);
      EXPECT_EQ(turned.lat, 0);
      EXPECT_NEAR(turned.h, p - kEarthA, 1e-6);
    }
  }
}

TEST(EcefToGeodeticTest, NonFiniteInputEnds) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const double nan = std::nan("");
  for (double v : {nan, kInf, -kInf}) {
    ToGeodetic(v, 0, 0);
    ToGeodetic(0, 0, v);
    ToGeodetic(1e6, v, 1e6);
    ToGeodetic(v, v, v);
  }
}

TEST(GeodeticDistanceTest, ChordThroughTheEarth) {
  EXPECT_NEAR(GeodeticDistanceKm(135, 35, 100, 135, 35, 100100), 100, 1e-9);
  EXPECT_NEAR(GeodeticDistanceKm(0, 0, 0, 180, 0, 0), 2 * 6378.137, 1e-9);
  EXPECT_NEAR(GeodeticDistanceKm(0, 90, 0, 0, -90, 0), 2 * 6356.752314, 1e-6);
  EXPECT_EQ(GeodeticDistanceKm(10, 20, 30, 10, 20, 30), 0);
}

TEST(GroundDistanceTest, KnownValuesAndArgumentOrder) {
  EXPECT_NEAR(GroundDistanceKm(0, 0, 1, 0), 111.3195, 5e-5);
  EXPECT_NEAR(GroundDistanceKm(135, 35, 135, 36), 111.1974, 5e-5);
  EXPECT_NEAR(GroundDistanceKm(135, 36, 135, 35), 111.1913, 5e-5);
}

TEST(GroundDistanceTest, MatchesSphereOfTheLocalRadius) {
  for (double lat1 = -80; lat1 <= 80; lat1 += 16) {
    for (double dLon : {-120.0, -3.0, 0.01, 0.5, 45.0, 179.0}) {
      for (double dLat : {-5.0, 0.0, 0.2, 30.0}) {
        const double lon1 = 135.25;
        const double lat2 = std::clamp(lat1 + dLat, -90.0, 90.0);
        SCOPED_TRACE(testing::Message() << lat1 << " " << dLon << " " << dLat);
        const double phi = lat1 * kDegToRad;
        const double radiusM =
            6378140 * (0.9983271 + 0.0016764 * std::cos(2 * phi) - 0.0000035 * std::cos(4 * phi));
        const GeographicLib::Geodesic sphere(radiusM, 0);
        double s12, azi1, azi2;
        sphere.Inverse(lat1, lon1, lat2, lon1 + dLon, s12, azi1, azi2);
        EXPECT_NEAR(GroundDistanceKm(lon1, lat1, lon1 + dLon, lat2), s12 / 1000,
                    1e-9 * s12 + 1e-6);
      }
    }
  }
}

// The accuracy the declaration promises, against the geodesic on the ellipsoid itself.
TEST(GroundDistanceTest, WithinSevenPerMilleOfTheEllipsoidalGeodesic) {
  const GeographicLib::Geodesic ellipsoid(kEarthA, 1 - std::sqrt(1 - kEarthE * kEarthE));
  for (double lat1 = -69; lat1 <= 69; lat1 += 11.5) {
    for (double az = 0; az < 360; az += 30) {
      for (double km : {20.0, 150.0, 600.0, 1000.0}) {
        double lat2, lon2;
        ellipsoid.Direct(lat1, 20, az, km * 1000, lat2, lon2);
        if (std::fabs(lat2) > 70) continue;
        SCOPED_TRACE(testing::Message() << lat1 << " " << az << " " << km);
        EXPECT_NEAR(GroundDistanceKm(20, lat1, lon2, lat2), km, 0.007 * km);
      }
    }
  }
}

// Before, rounding could carry the cosine of a zero distance past 1 and give NaN (these
// latitudes did).
TEST(GroundDistanceTest, SamePointIsZero) {
  for (double lat : {-45.66, 0.0, 35.0, -75.8, 89.9, 90.0, -90.0}) {
    for (double lon : {-180.0, -172.7, 0.0, 135.0}) {
      SCOPED_TRACE(testing::Message() << lon << " " << lat);
      EXPECT_EQ(GroundDistanceKm(lon, lat, lon, lat), 0);
    }
  }
  EXPECT_LT(GroundDistanceKm(135, 35, 135 + 1e-9, 35), 1e-6);
}

struct AzDist {
  double az, dist;
};

AzDist AzimuthDistance(double lat1, double dLon, double dLat) {
  AzDist r{};
  AzimuthAndDistance(lat1, dLon, dLat, &r.az, &r.dist);
  return r;
}

TEST(AzimuthAndDistanceTest, KnownValuesAndSignRule) {
  struct Case {
    double lat1, dLon, dLat, az, azTol, dist, distTol;
  };
  constexpr Case kCases[] = {
      {0, 90, 0, 90, 1e-9, 90, 1e-9},         {0, -90, 0, -90, 1e-9, 90, 1e-9},
      {35, 0, 1, 0, 1e-9, 1, 1e-9},           {35, 0, -1, -180, 1e-9, 1, 1e-9},
      {35, 181, 0, -0.87, 0.005, 110, 0.05},  {35, -181, 0, 0.87, 0.005, 110, 0.05},
      {35, 180, 0, 0, 1e-6, 110, 1e-6},       {35, 359, 0, -90, 0.5, 0.82, 0.005},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.lat1 << " " << c.dLon << " " << c.dLat);
    const AzDist r = AzimuthDistance(c.lat1, c.dLon, c.dLat);
    EXPECT_NEAR(r.az, c.az, c.azTol);
    EXPECT_NEAR(r.dist, c.dist, c.distTol);
  }
  EXPECT_TRUE(std::signbit(AzimuthDistance(35, 0, 1).az));  // the meridian takes the minus sign
}

TEST(AzimuthAndDistanceTest, MatchesSphericalGeodesic) {
  const GeographicLib::Geodesic sphere(6371000, 0);
  for (double lat1 = -85; lat1 <= 85; lat1 += 17) {
    for (double dLon = -175; dLon <= 175; dLon += 25) {
      for (double dLat : {-40.0, -1.0, 0.0, 0.3, 20.0}) {
        const double lat2 = lat1 + dLat;
        if (std::fabs(lat2) >= 90 || (dLon == 0 && dLat == 0)) continue;
        SCOPED_TRACE(testing::Message() << lat1 << " " << dLon << " " << dLat);
        double s12, azi1, azi2;
        const double a12 = sphere.Inverse(lat1, 10, lat2, 10 + dLon, s12, azi1, azi2);
        const AzDist r = AzimuthDistance(lat1, dLon, dLat);
        EXPECT_NEAR(r.dist, a12, 1e-9);
        // The arc cosine of the azimuth loses digits near due north and due south.
        EXPECT_NEAR(LonDiff(r.az, azi1), 0, 2e-4);
        EXPECT_GE(r.az, -180);
        EXPECT_LE(r.az, 180);
      }
    }
  }
}

// Before, the same point gave NaN for both (at -75.8 the cosine came out above 1).
TEST(AzimuthAndDistanceTest, CoincidentAndPolarPointsAreDefined) {
  for (double lat : {-75.8, 0.0, 35.0, 60.0}) {
    SCOPED_TRACE(lat);
    const AzDist r = AzimuthDistance(lat, 0, 0);
    EXPECT_EQ(r.az, 0);
    EXPECT_EQ(r.dist, 0);
    const AzDist near = AzimuthDistance(lat, 1e-10, 1e-10);
    EXPECT_FALSE(std::isnan(near.az));
    EXPECT_FALSE(std::isnan(near.dist));
  }
  // Before, the azimuth from a pole was rounding noise (-90, -135 or 45 for points due south).
  for (double dLon : {0.0, 30.0, -30.0, 90.0, 179.0, -180.0}) {
    for (double dist : {1.0, 45.0, 90.0, 135.0, 180.0}) {
      SCOPED_TRACE(testing::Message() << dLon << " " << dist);
      const AzDist north = AzimuthDistance(90, dLon, -dist);
      EXPECT_EQ(std::fabs(north.az), 180);
      EXPECT_NEAR(north.dist, dist, 1e-9);
      const AzDist south = AzimuthDistance(-90, dLon, dist);
      EXPECT_EQ(south.az, 0);
      EXPECT_NEAR(south.dist, dist, 1e-9);
    }
  }
}

TEST(AngleDiff180Test, FoldsIntoZeroTo180) {
  struct Case {
    float a, b, diff;
  };
  constexpr Case kCases[] = {{350, 10, 20}, {10, 350, 20},  {0, 180, 180},     {90, -90, 180},
                             {180, -180, 0}, {-170, 170, 20}, {720, 0, 0},       {-540, 0, 180},
                             {45, 44.5f, 0.5f}, {1e6f, 1e6f - 30, 30}, {359.5f, -0.5f, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.a << " " << c.b);
    EXPECT_FLOAT_EQ(AngleDiff180(c.a, c.b), c.diff);
  }
}

// Before, huge differences took millions of 360-degree steps and infinity never ended.
TEST(AngleDiff180Test, EndsForAnyInput) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  constexpr float kMax = std::numeric_limits<float>::max();
  for (float a : {1e30f, -1e30f, kMax, -kMax, 3.0e9f}) {
    const float d = AngleDiff180(a, 0);
    EXPECT_GE(d, 0);
    EXPECT_LE(d, 180);
  }
  EXPECT_TRUE(std::isnan(AngleDiff180(kInf, 0)));
  EXPECT_TRUE(std::isnan(AngleDiff180(std::nanf(""), 0)));
  EXPECT_TRUE(std::isnan(AngleDiff180(kInf, kInf)));
}

struct LonLat {
  double lon, lat;
};

LonLat Destination(double lon, double lat, double az, double dist) {
  LonLat r{};
  DestinationPoint(lon, lat, az, dist, &r.lon, &r.lat);
  return r;
}

TEST(DestinationPointTest, KnownValues) {
  struct Case {
    double lon, lat, az, dist, lonOut, latOut, tol;
  };
  constexpr Case kCases[] = {{135, 35, 0, 30, 135, 65, 1e-9},
                             {135, 35, 180, 30, 135, 5, 1e-9},
                             {170, 10, 90, 30, -159.6187, 8.6492, 1e-4},
                             {-170, 10, -90, 30, 159.6187, 8.6492, 1e-4}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.lon << " " << c.lat << " " << c.az << " " << c.dist);
    const LonLat r = Destination(c.lon, c.lat, c.az, c.dist);
    EXPECT_NEAR(r.lon, c.lonOut, c.tol);
    EXPECT_NEAR(r.lat, c.latOut, c.tol);
  }
}

TEST(DestinationPointTest, MatchesSphericalGeodesic) {
  const GeographicLib::Geodesic sphere(6371000, 0);
  for (double lat = -80; lat <= 80; lat += 20) {
    for (double az = -170; az <= 180; az += 35) {
      for (double dist : {0.01, 1.0, 7.5, 45.0, 120.0}) {
        SCOPED_TRACE(testing::Message() << lat << " " << az << " " << dist);
        double lat2, lon2;
        sphere.ArcDirect(lat, 100, az, dist, lat2, lon2);
        const LonLat r = Destination(100, lat, az, dist);
        EXPECT_NEAR(r.lat, lat2, 1e-9);
        EXPECT_NEAR(LonDiff(r.lon, lon2), 0, 1e-7);
        EXPECT_GE(r.lon, -180);
        EXPECT_LE(r.lon, 180);
      }
    }
  }
}

// Before, a start or a destination at a pole gave NaN, and the renderer draws every ray this way.
TEST(DestinationPointTest, PolesGiveTheStartLongitude) {
  struct Case {
    double lon, lat, az, dist, latOut;
  };
  constexpr Case kCases[] = {{135, 35, 0, 55, 90},  {135, -35, 180, 55, -90}, {-20, 2, 0, 88, 90},
                             {60, 0, 0, 90, 90},    {60, 0, 180, 90, -90}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.lon << " " << c.lat << " " << c.az << " " << c.dist);
    const LonLat r = Destination(c.lon, c.lat, c.az, c.dist);
    EXPECT_NEAR(r.lat, c.latOut, 1e-6);
    EXPECT_EQ(r.lon, c.lon);
  }
  for (double lat : {90.0, -90.0}) {
    for (double az : {0.0, 45.0, 180.0}) {
      const LonLat r = Destination(135, lat, az, 10);
      EXPECT_EQ(r.lon, 135) << lat << " " << az;
      EXPECT_NEAR(std::fabs(r.lat), 80, 1e-9) << lat << " " << az;
    }
  }
}

struct Dir {
  double lon, lat;
};

Dir EarthFixed(double lon, double lat, double az, double el) {
  Dir d{};
  HorizonToEarthFixedDir(lon, lat, az, el, &d.lon, &d.lat);
  return d;
}

TEST(HorizonToEarthFixedDirTest, KnownValues) {
  struct Case {
    double lon, lat, az, el, dirLon, dirLat;
  };
  constexpr Case kCases[] = {{135, 35, 0, 90, 135, 35},  {-120, 40, 77, 90, 240, 40},
                             {135, 35, 0, 0, 315, 55},   {135, 35, 90, 0, 225, 0},
                             {135, 35, 180, 0, 135, -55}, {0, 0, 270, 0, 270, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.lon << " " << c.lat << " " << c.az << " " << c.el);
    const Dir d = EarthFixed(c.lon, c.lat, c.az, c.el);
    EXPECT_NEAR(d.lat, c.dirLat, 1e-6);
    EXPECT_NEAR(LonDiff(d.lon, c.dirLon), 0, 1e-6);
    EXPECT_GE(d.lon, 0);
    EXPECT_LE(d.lon, 360);
  }
}

// The line of sight must be the station's east-north-up vector turned into ECEF axes.
TEST(HorizonToEarthFixedDirTest, DirectionVectorIsTheRotatedLocalVector) {
  for (double lat : {-60.0, 0.0, 35.0, 89.0}) {
    for (double lon : {-170.0, 0.0, 135.0, 300.0}) {
      for (double az = 0; az < 360; az += 40) {
        for (double el : {-10.0, 0.0, 25.0, 70.0}) {
          SCOPED_TRACE(testing::Message() << lon << " " << lat << " " << az << " " << el);
          const double e = std::cos(el * kDegToRad) * std::sin(az * kDegToRad);
          const double n = std::cos(el * kDegToRad) * std::cos(az * kDegToRad);
          const double u = std::sin(el * kDegToRad);
          const double sl = std::sin(lon * kDegToRad), cl = std::cos(lon * kDegToRad);
          const double sp = std::sin(lat * kDegToRad), cp = std::cos(lat * kDegToRad);
          const double ex = -sl * e - sp * cl * n + cp * cl * u;
          const double ey = cl * e - sp * sl * n + cp * sl * u;
          const double ez = cp * n + sp * u;
          const Dir d = EarthFixed(lon, lat, az, el);
          double x, y, z;
          DirectionVector(d.lon, d.lat, &x, &y, &z);
          EXPECT_NEAR(x, ex, 1e-12);
          EXPECT_NEAR(y, ey, 1e-12);
          EXPECT_NEAR(z, ez, 1e-12);
        }
      }
    }
  }
}

TEST(DirectionVectorTest, Axes) {
  double x, y, z;
  DirectionVector(0, 0, &x, &y, &z);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(z, 0);
  DirectionVector(90, 0, &x, &y, &z);
  EXPECT_NEAR(x, 0, 1e-15);
  EXPECT_NEAR(y, 1, 1e-15);
  DirectionVector(77, 90, &x, &y, &z);
  EXPECT_NEAR(x, 0, 1e-15);
  EXPECT_NEAR(y, 0, 1e-15);
  EXPECT_NEAR(z, 1, 1e-15);
}

TEST(UnitCrossTest, NormalAndLength) {
  double nx, ny, nz;
  EXPECT_EQ(UnitCross(1, 0, 0, 0, 1, 0, &nx, &ny, &nz), 1);
  EXPECT_EQ(nx, 0);
  EXPECT_EQ(ny, 0);
  EXPECT_EQ(nz, 1);

  const double length = UnitCross(1, 2, 3, -2, 0.5, 4, &nx, &ny, &nz);
  // |a x b| = |a| |b| sin(angle): compare with the Lagrange identity.
  const double aa = 14, bb = 20.25, ab = 1 * -2 + 2 * 0.5 + 3 * 4;
  EXPECT_NEAR(length, std::sqrt(aa * bb - ab * ab), 1e-12);
  EXPECT_NEAR(nx * nx + ny * ny + nz * nz, 1, 1e-15);
  EXPECT_NEAR(nx * 1 + ny * 2 + nz * 3, 0, 1e-15);
  EXPECT_NEAR(nx * -2 + ny * 0.5 + nz * 4, 0, 1e-15);
  EXPECT_LT(UnitCross(0, 1, 0, 1, 0, 0, &nx, &ny, &nz) * nz, 0 + 1e-300);  // b x a points down
  EXPECT_EQ(nz, -1);
}

TEST(UnitCrossTest, ParallelOrZeroVectorsGiveZero) {
  double nx = 9, ny = 9, nz = 9;
  EXPECT_EQ(UnitCross(1, 2, 3, 2, 4, 6, &nx, &ny, &nz), 0);
  EXPECT_EQ(nx, 0);
  EXPECT_EQ(ny, 0);
  EXPECT_EQ(nz, 0);
  EXPECT_EQ(UnitCross(0, 0, 0, 1, 0, 0, &nx, &ny, &nz), 0);
  EXPECT_EQ(nx, 0);
}

}  // namespace
