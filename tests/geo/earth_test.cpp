#include "geo/earth.h"

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <ios>
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

// Latitudes and heights are stored and compared with those of earlier passes, so a change in how
// the iteration is computed must leave every bit of its results as it was. These were computed
// by the plain iteration (with the platform's maths library) for points of every kind: all
// latitudes from 10 km below the surface to 3000 km above it, the triangulation's region, the
// poles (height from Z), the neighbourhood of the axis, points near the centre where the
// iteration is cut off for the closed form, the equatorial plane and points far out.
struct PinnedPoint {
  double x, y, z, lon, lat, h;
};
constexpr PinnedPoint kPinnedPoints[] = {
  {-0x1.16cc5636a0e69p+10, -0x1.f245fe7ed3eadp+0, -0x1.836000de06827p+22,
   -0x1.67cccccccccccp+7, -0x1.67f5c28f5c291p+6, -0x1.388p+13},  // 2 steps
  {-0x1.173c25843d0dep+9, -0x1.e3a62c7b7273dp+9, -0x1.83fc40ddde953p+22,
   -0x1.ep+6, -0x1.67f5c28f5c28ep+6, 0x0p+0},  // 0 steps
  {0x1.90c28e816ef1cp+9, -0x1.90c28e816ef17p+9, -0x1.89c8a0dc63473p+22,
   -0x1.67fffffffffffp+5, -0x1.67f5c28f5c27ap+6, 0x1.7318p+16},  // 2 steps
  {0x1.9a2277cffc21ep+10, 0x0p+0, -0x1.1d8ba0578a44ep+23,
   0x0p+0, -0x1.67f5c28f5c28fp+6, 0x1.6e35ffffffffep+21},  // 3 steps
  {0x1.6a2b85c46b5b5p+11, 0x1.a232a9ed76221p+10, -0x1.835ffdc0c99eap+22,
   0x1.ep+4, -0x1.67e147ae147b4p+6, -0x1.388p+13},  // 2 steps
  {-0x1.2a3bdbb09dffap+11, 0x1.261936e8d6081p+11, -0x1.83fc3dbf62474p+22,
   0x1.0ecccccccccccp+7, -0x1.67e147ae147adp+6, 0x0p+0},  // 0 steps
  {-0x1.a911f4a13c269p+11, 0x1.5c1b89c9bd5a6p-38, -0x1.89c89db20c893p+22,
   0x1.67fffffffffffp+7, -0x1.67e147ae147adp+6, 0x1.7318p+16},  // 3 steps
  {-0x1.3399ba534f248p+12, -0x1.12dfede321f5ap+3, -0x1.1d8b9e0d23f0ep+23,
   -0x1.67cccccccccccp+7, -0x1.67e147ae147afp+6, 0x1.6e36000000002p+21},  // 3 steps
  {-0x1.93a7ec30e6c92p+19, -0x1.5d9388bba89aap+20, -0x1.761749b229d76p+22,
   -0x1.ep+6, -0x1.2bfffffffffedp+6, -0x1.388000000e2p+13},  // 3 steps
  {0x1.1ddfea20e2922p+20, -0x1.1ddfea20e291ep+20, -0x1.76ae36ba9fe89p+22,
   -0x1.67fffffffffffp+5, -0x1.2bfffffffffffp+6, 0x1p-30},  // 0 steps
  {0x1.9a4a6c2fd1b79p+20, 0x0p+0, -0x1.7c48028b018c1p+22,
   0x0p+0, -0x1.2bffffffffffep+6, 0x1.7317ffffffecp+16},  // 4 steps
  {0x1.01254cb57f376p+21, 0x1.28ed20b39ab68p+20, -0x1.13c5fe527e095p+23,
   0x1.dfffffffffffep+4, -0x1.2bffffffffffbp+6, 0x1.6e35fffffffc6p+21},  // 4 steps
  {-0x1.880abcb10914bp+21, 0x1.829b1a0c2ab1p+21, -0x1.1174555d20435p+22,
   0x1.0ecccccccccccp+7, -0x1.67ffffffffff3p+5, -0x1.38800000014p+13},  // 3 steps
  {-0x1.13bb5b83faaaap+22, 0x1.c39dd4b1d620ep-28, -0x1.11e2d1a290bc9p+22,
   0x1.67fffffffffffp+7, -0x1.67fffffffffffp+5, 0x0p+0},  // 0 steps
  {-0x1.17d4dc29109bbp+22, -0x1.f41ec14b7bb1p+12, -0x1.15fc6e363d3c8p+22,
   -0x1.67cccccccccccp+7, -0x1.67fffffffffffp+5, 0x1.7318p+16},  // 4 steps
  {-0x1.9534fce3c8c37p+21, -0x1.5eeb6716a355cp+22, -0x1.935c73025ed5dp+22,
   -0x1.ep+6, -0x1.67ffffffffffdp+5, 0x1.6e35ffffffffcp+21},  // 4 steps
  {0x1.025d6fbe28c17p+22, -0x1.025d6fbe28c14p+22, -0x1.0831a4b0ccf71p+21,
   -0x1.67fffffffffffp+5, -0x1.3ffffffffffffp+4, -0x1.38800000002p+13},  // 3 steps
  {0x1.6df4f1891f202p+22, 0x0p+0, -0x1.089c864d56012p+21,
   0x0p+0, -0x1.3ffffffffffffp+4, 0x0p+0},  // 0 steps
  {0x1.41a5859ed9b58p+22, 0x1.7367ccbb4589ep+21, -0x1.0c93e59c6be0bp+21,
   0x1.ep+4, -0x1.4000000000001p+4, 0x1.7318p+16},  // 3 steps
  {-0x1.7f1582256502dp+22, 0x1.79c5abccb4216p+22, -0x1.85dce9bdedcap+21,
   0x1.0ecccccccccccp+7, -0x1.4p+4, 0x1.6e36p+21},  // 4 steps
  {-0x1.84aa609613ef4p+22, 0x1.3e4b5953fec7dp-27, -0x1.af3e5eae38718p+15,
   0x1.67fffffffffffp+7, -0x1.ffffffffffeb5p-2, -0x1.388p+13},  // 1 step
  {-0x1.85467834f191fp+22, -0x1.5bdc2ddd515aep+13, -0x1.afece68ad4338p+15,
   -0x1.67cccccccccccp+7, -0x1.fffffffffffffp-2, 0x0p+0},  // 0 steps
  {-0x1.8b12f0980bb46p+21, -0x1.5624e4256b5dep+22, -0x1.b666f13a9be65p+15,
   -0x1.ep+6, -0x1.00000000005e3p-1, 0x1.7317fffffffcp+16},  // 1 step
  {0x1.94bad3a9da948p+22, -0x1.94bad3a9da942p+22, -0x1.3e3a0e88adc3p+16,
   -0x1.67ffffffffffep+5, -0x1.ffffffffffffbp-2, 0x1.6e36000000002p+21},  // 2 steps
  {0x1.84ae23fffd797p+22, 0x0p+0, 0x1.61477829232abp+3,
   0x0p+0, 0x1.a36e2eb1c432dp-14, -0x1.388p+13},  // 1 step
  {0x1.5122b2aee8957p+22, 0x1.854a63fffd785p+21, 0x1.61d6725e35bf4p+3,
   0x1.ep+4, 0x1.a36e2eb1c432cp-14, 0x0p+0},  // 0 steps
  {-0x1.19504892b305ep+22, 0x1.1569b3a0c45d8p+22, 0x1.6724bb566643p+3,
   0x1.0ecccccccccccp+7, 0x1.a36e2eb1c432cp-14, 0x1.7318p+16},  // 1 step
  {-0x1.1e32b1fffe22ep+23, 0x1.d4c245cc17832p-27, 0x1.04b1d447fdf1dp+4,
   0x1.67fffffffffffp+7, 0x1.a36e2eb1c432dp-14, 0x1.6e36p+21},  // 1 step
  {-0x1.7ed03ccc0545cp+22, -0x1.5615f112afda5p+13, 0x1.0c31010e055ffp+20,
   -0x1.67cccccccccccp+7, 0x1.3ffffffffffffp+3, -0x1.388p+13},  // 3 steps
  {-0x1.7f6a435184603p+21, -0x1.4c0c15d0ac5c4p+22, 0x1.0c9d88c360d3dp+20,
   -0x1.ep+6, 0x1.3ffffffffffffp+3, 0x0p+0},  // 0 steps
  {0x1.132735eab28b4p+22, -0x1.132735eab28bp+22, 0x1.10a491fe45a1p+20,
   -0x1.67fffffffffffp+5, 0x1.3ffffffffffffp+3, 0x1.7318p+16},  // 3 steps
  {0x1.19de902d62a32p+23, 0x0p+0, 0x1.8bcc914a8caa3p+20,
   0x0p+0, 0x1.3ffffffffffffp+3, 0x1.6e35ffffffffep+21},  // 3 steps
  {0x1.15b4983660283p+22, 0x1.40aaa8409dbcbp+21, 0x1.b5d21f06b87d4p+21,
   0x1.ep+4, 0x1.13ffffffffffdp+5, -0x1.38800000006p+13},  // 3 steps
  {-0x1.c95cbf385ec0bp+21, 0x1.c3053e48fa02p+21, 0x1.b6831f8673f01p+21,
   0x1.0ecccccccccccp+7, 0x1.13fffffffffffp+5, 0x0p+0},  // 0 steps
  {-0x1.45f2bd406ab38p+22, 0x1.0aeeb88b60412p-27, 0x1.bd14a443e8b2bp+21,
   0x1.67fffffffffffp+7, 0x1.13fffffffffffp+5, 0x1.7318p+16},  // 4 steps
  {-0x1.d81228715088fp+22, -0x1.a5d8d8ec8e0f8p+13, 0x1.42f7da9b0f3d2p+22,
   -0x1.67cccccccccccp+7, 0x1.13fffffffffffp+5, 0x1.6e35ffffffffep+21},  // 4 steps
  {-0x1.85a944b219cbp+20, -0x1.5174dd4f8f06ap+21, 0x1.4f31a384e7154p+22,
   -0x1.ep+6, 0x1.dffffffffffdfp+5, -0x1.3880000006p+13},  // 3 steps
  {0x1.13f6b2ab38c09p+21, -0x1.13f6b2ab38c05p+21, 0x1.4fb8f48909946p+22,
   -0x1.67fffffffffffp+5, 0x1.ep+5, 0x0p+0},  // 0 steps
  {0x1.8c11e4b219cb8p+21, 0x0p+0, 0x1.54be7630514c5p+22,
   0x0p+0, 0x1.dfffffffffffep+5, 0x1.7317fffffffcp+16},  // 4 steps
  {0x1.f08f1f2c1e86cp+21, 0x1.1eb042590ce5bp+21, 0x1.ee4be56176955p+22,
   0x1.ep+4, 0x1.dfffffffffffap+5, 0x1.6e35fffffffeap+21},  // 4 steps
  {-0x1.81b6bd17e3a87p+19, 0x1.7c5d90f975d4cp+19, 0x1.7d737b8898153p+22,
   0x1.0ecccccccccccp+7, 0x1.3fffffffffff2p+6, -0x1.38800000102p+13},  // 3 steps
  {-0x1.0f47cdeee9098p+20, 0x1.bc536054bd3dp-30, 0x1.7e0d5bd7fc23ap+22,
   0x1.67fffffffffffp+7, 0x1.3ffffffffffffp+6, -0x1p-30},  // 0 steps
  {-0x1.134ebbaed11efp+20, -0x1.ec08edc2f46c5p+10, 0x1.83c32eca32ac9p+22,
   -0x1.67cccccccccccp+7, 0x1.3ffffffffffffp+6, 0x1.7317ffffffep+16},  // 4 steps
  {-0x1.8e76d67614dfcp+19, -0x1.591483499beaap+20, 0x1.19301c709e849p+23,
   -0x1.ep+6, 0x1.3fffffffffffdp+6, 0x1.6e35fffffffbp+21},  // 4 steps
  {0x1.ecd9d5b44bcf1p+11, -0x1.ecd9d5b44bceap+11, 0x1.835ff7864fddep+22,
   -0x1.67fffffffffffp+5, 0x1.67cccccccccd8p+6, -0x1.388p+13},  // 2 steps
  {0x1.5d0b2c0d5188fp+12, 0x0p+0, 0x1.83fc378269b24p+22,
   0x0p+0, 0x1.67cccccccccccp+6, 0x0p+0},  // 0 steps
  {0x1.32c496a366f27p+12, 0x1.62399f44a85b8p+11, 0x1.89c8975d5f142p+22,
   0x1.ep+4, 0x1.67ccccccccccdp+6, 0x1.7318p+16},  // 3 steps
  {-0x1.6d087bbcb4e0ep+12, 0x1.67f8b8b0e2f83p+12, 0x1.1d8b9978574dcp+23,
   0x1.0ecccccccccccp+7, 0x1.67ccccccccccfp+6, 0x1.6e36000000002p+21},  // 3 steps
  {-0x1.be13e9d18a144p+6, 0x1.6d4fc55da5c0bp-43, 0x1.83600140af016p+22,
   0x1.67fffffffffffp+7, 0x1.67fef9db22d0dp+6, -0x1.388p+13},  // 2 steps
  {-0x1.bec675fb58855p+6, -0x1.8f3e1a5e529cap-3, 0x1.83fc4140ae9b2p+22,
   -0x1.67cccccccccccp+7, 0x1.67fef9db22d0dp+6, 0x0p+0},  // 0 steps
  {-0x1.c5687dca1d97dp+5, -0x1.88a9b9e86ec14p+6, 0x1.89c8a140aad02p+22,
   -0x1.ep+6, 0x1.67fef9db22d0cp+6, 0x1.7318p+16},  // 2 steps
  {0x1.d003ae5e32aap+6, -0x1.d003ae5e32a9ap+6, 0x1.1d8ba0a01b69bp+23,
   -0x1.67fffffffffffp+5, 0x1.67fef9db22cffp+6, 0x1.6e36000000002p+21},  // 2 steps
  {-0x1.d82a1c387fcf4p+21, 0x1.c4ca1aaddb216p+21, 0x1.bcfb560cd193cp+21,
   0x1.1066666666665p+7, 0x1.1333333333332p+5, 0x1.adaffffffffcp+16},  // 4 steps
  {-0x1.d816e25b80bbep+21, 0x1.c3c4f761a4774p+21, 0x1.bccb8a3c844f5p+21,
   0x1.10851eb851eb8p+7, 0x1.135c28f5c28f5p+5, 0x1.964000000004p+16},  // 4 steps
  {-0x1.d803485f6e87fp+21, 0x1.c2c008715517cp+21, 0x1.bc9b9f44a4167p+21,
   0x1.10a3d70a3d709p+7, 0x1.13851eb851eb7p+5, 0x1.7edp+16},  // 4 steps
  {-0x1.d7ef4e646d448p+21, 0x1.c1bb4dfdca189p+21, 0x1.bc6b952743a96p+21,
   0x1.10c28f5c28f5bp+7, 0x1.13ae147ae147ap+5, 0x1.676p+16},  // 4 steps
  {-0x1.d7daf48aac4b9p+21, 0x1.c0b6c827d0abfp+21, 0x1.bc3b6be6763f1p+21,
   0x1.10e147ae147adp+7, 0x1.13d70a3d70a3cp+5, 0x1.4feffffffffcp+16},  // 4 steps
  {-0x1.d7c63af2663a8p+21, 0x1.bfb27710261c4p+21, 0x1.bc0b23844f868p+21,
   0x1.11p+7, 0x1.13fffffffffffp+5, 0x1.388p+16},  // 4 steps
  {0x1.0624dd2f1a9fcp-10, 0x1.0624dd2f1a9fcp-9, 0x1.83fc4p+22,
   0x1.fb7ac672cf12p+5, 0x1.67fffffea811p+6, -0x1.41ae1f1p-2},  // 0 steps
  {0x1.0c6f7a0b5ed8dp-20, 0x0p+0, -0x1.86ap+22,
   0x0p+0, -0x1.68p+6, 0x1.51df5f28f078p+15},  // on the axis
  {0x0p+0, 0x0p+0, 0x0p+0,
   0x0p+0, 0x1.68p+6, -0x1.83fc4141ae1f1p+22},  // the centre
  {0x0p+0, 0x0p+0, -0x1.4p+2,
   0x0p+0, -0x1.68p+6, -0x1.83fc2d41ae1f1p+22},  // on the axis
  {0x1.388p+14, 0x0p+0, 0x1.388p+14,
   0x0p+0, 0x1.1f0678509568bp+6, -0x1.82926ddca0ed8p+22},  // closed form
  {-0x1.d4cp+13, 0x1.f4p+12, -0x1.d4cp+14,
   0x1.2fdae2fe0a3fcp+7, -0x1.32a143fcbf875p+6, -0x1.8208ae7f88p+22},  // closed form
  {0x1.f4p+9, 0x1.f4p+9, 0x1.f4p+9,
   0x1.6800000000002p+5, -0x1.63549b447547cp+0, -0x1.85347b976c5f4p+22},  // 5 steps
  {0x1p-1, 0x0p+0, 0x1p-2,
   0x0p+0, -0x1.5fc614c717bd2p-12, -0x1.854a620000312p+22},  // 3 steps
  {0x1.ab3fp+22, 0x0p+0, 0x0p+0,
   0x0p+0, 0x0p+0, 0x1.2fa4ep+19},  // equatorial plane
  {-0x1.854a64p+22, 0x0p+0, 0x0p+0,
   0x1.6800000000002p+7, 0x0p+0, 0x0p+0},  // equatorial plane
  {0x1.854a64p+22, -0x0p+0, 0x0p+0,
   0x0p+0, 0x0p+0, 0x0p+0},  // equatorial plane
  {0x1.854a64p+22, 0x0p+0, 0x1.0624dd2f1a9fcp-10,
   0x0p+0, 0x1.36bd2e332dac2p-27, 0x0p+0},  // 0 steps
  {0x1.4d93570a3d70ap+15, 0x0p+0, 0x1.12e0be826d695p-30,
   0x0p+0, -0x1.49bbe515ea485p-16, -0x1.82af3d51eb852p+22},  // 1 step
  {0x1.312dp+25, 0x1.c9c38p+24, 0x1.312dp+24,
   0x1.26f58ce59e23ep+5, 0x1.5d12cdb7b2574p+4, 0x1.6a3775379557ap+25},  // 3 steps
  {0x1.dcd65p+29, -0x1.dcd65p+29, 0x1.dcd65p+28,
   -0x1.6800000000002p+5, 0x1.378c384f512b8p+4, 0x1.641b96ae6088dp+30},  // 3 steps
  {-0x1.6e36p+21, -0x1.e848p+21, 0x1.ab3fp+21,
   -0x1.fb7ac672cf12p+6, 0x1.1972aad99c317p+5, -0x1.05865cc5fd8dp+18},  // 4 steps
};

std::uint64_t Bits(double v) { return std::bit_cast<std::uint64_t>(v); }

TEST(EcefToGeodeticTest, ResultsKeepEveryBit) {
  for (const PinnedPoint& c : kPinnedPoints) {
    SCOPED_TRACE(testing::Message() << std::hexfloat << c.x << " " << c.y << " " << c.z);
    const Geodetic g = ToGeodetic(c.x, c.y, c.z);
    EXPECT_EQ(Bits(g.lon), Bits(c.lon)) << std::hexfloat << g.lon;
    EXPECT_EQ(Bits(g.lat), Bits(c.lat)) << std::hexfloat << g.lat;
    EXPECT_EQ(Bits(g.h), Bits(c.h)) << std::hexfloat << g.h;
  }
}

// The triangulation converts its points two at a time: every pair of the pinned points, a point
// with itself and a special case (axis, centre, equatorial plane, closed form) beside an ordinary
// point in either place, must come out with the bits of the points one at a time.
TEST(EcefToGeodeticTest, TwoPointsAtOnceKeepEveryBit) {
  for (const PinnedPoint& a : kPinnedPoints) {
    for (const PinnedPoint& b : kPinnedPoints) {
      const double ecef[2][3] = {{a.x, a.y, a.z}, {b.x, b.y, b.z}};
      double lon[2], lat[2], h[2];
      EcefToGeodetic2(ecef, lon, lat, h);
      const PinnedPoint* expected[2] = {&a, &b};
      for (int j = 0; j < 2; ++j) {
        const PinnedPoint& c = *expected[j];
        SCOPED_TRACE(testing::Message() << std::hexfloat << "point " << j << " of (" << a.x << " "
                                        << a.y << " " << a.z << ") (" << b.x << " " << b.y << " "
                                        << b.z << ")");
        ASSERT_EQ(Bits(lon[j]), Bits(c.lon)) << std::hexfloat << lon[j];
        ASSERT_EQ(Bits(lat[j]), Bits(c.lat)) << std::hexfloat << lat[j];
        ASSERT_EQ(Bits(h[j]), Bits(c.h)) << std::hexfloat << h[j];
      }
    }
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
