#include "geo/horizontal.h"

#include <erfa.h>
#include <erfam.h>
#include <gtest/gtest.h>

#include <cmath>

#include "geo/angles.h"

namespace {

constexpr double kJ2000 = 51544.5;
constexpr double kArcsec = 1.0 / 3600;

struct Horizontal {
  double az, el;
};

Horizontal ToHorizontal(double tt, double lst, double lat, double ra, double dec) {
  Horizontal h{};
  EquatorialToHorizontal(tt, lst, lat, ra, dec, &h.az, &h.el);
  return h;
}

// Right ascension and declination (degrees) of a J2000 place after a column-major matrix.
void Precess(const double m[9], double ra, double dec, double* raDate, double* decDate) {
  const double x = std::cos(dec * kDegToRad) * std::cos(ra * kDegToRad);
  const double y = std::cos(dec * kDegToRad) * std::sin(ra * kDegToRad);
  const double z = std::sin(dec * kDegToRad);
  const double xd = m[0] * x + m[3] * y + m[6] * z;
  const double yd = m[1] * x + m[4] * y + m[7] * z;
  const double zd = m[2] * x + m[5] * y + m[8] * z;
  *raDate = std::atan2(yd, xd) * ERFA_DR2D;
  if (*raDate < 0) *raDate += 360;
  *decDate = std::asin(zd) * ERFA_DR2D;
}

// Angle in degrees between two directions given by longitude-like and latitude-like angles.
double Separation(double lon1, double lat1, double lon2, double lat2) {
  return eraSeps(lon1 * ERFA_DD2R, lat1 * ERFA_DD2R, lon2 * ERFA_DD2R, lat2 * ERFA_DD2R) *
         ERFA_DR2D;
}

TEST(EquatorialToHorizontalTest, WorkedValues) {
  double m[9];
  BuildPrecessionMatrix(58000.0, m);
  // The three angles back from the matrix: P31 = sin(theta) cos(zeta), P32 = -sin(theta) sin(zeta),
  // P13 = -sin(theta) cos(z), P23 = -sin(theta) sin(z), P33 = cos(theta).
  const double zeta = std::atan2(-m[5], m[2]) * ERFA_DR2D * 3600;
  const double z = std::atan2(-m[7], -m[6]) * ERFA_DR2D * 3600;
  const double theta = std::atan2(std::hypot(m[2], m[5]), m[8]) * ERFA_DR2D * 3600;
  EXPECT_NEAR(zeta, 407.5179, 5e-5);
  EXPECT_NEAR(z, 407.5426, 5e-5);
  EXPECT_NEAR(theta, 354.1551, 5e-5);
  double raDate, decDate;
  Precess(m, 120, 20, &raDate, &decDate);
  EXPECT_NEAR(raDate, 120.257333, 5e-7);
  EXPECT_NEAR(decDate, 19.950621, 5e-7);
  const Horizontal h = ToHorizontal(58000.0, 100.0, 35.0, 120.0, 20.0);
  EXPECT_NEAR(h.az, 124.812299, 5e-7);
  EXPECT_NEAR(h.el, 66.646422, 5e-7);
}

TEST(EquatorialToHorizontalTest, NoPrecessionAtJ2000) {
  double m[9];
  BuildPrecessionMatrix(kJ2000, m);
  const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(m[i], identity[i]) << i;
}

TEST(EquatorialToHorizontalTest, CacheIsKeptForTheSameTime) {
  const Horizontal first = ToHorizontal(59000.25, 40, 35, 10, 20);
  EXPECT_EQ(precessionCache.key, 59000.25);
  double built[9];
  BuildPrecessionMatrix(59000.25, built);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(precessionCache.matrix[i], built[i]) << i;
  const Horizontal second = ToHorizontal(59000.25, 40, 35, 10, 20);
  EXPECT_EQ(first.az, second.az);
  EXPECT_EQ(first.el, second.el);

  // A matrix planted under the key is used as it is: no rebuild for the same time.
  const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  std::copy(identity, identity + 9, precessionCache.matrix);
  const Horizontal planted = ToHorizontal(59000.25, 40, 35, 10, 20);
  const Horizontal unprecessed = ToHorizontal(kJ2000, 40, 35, 10, 20);
  EXPECT_EQ(planted.az, unprecessed.az);
  EXPECT_EQ(planted.el, unprecessed.el);
  // Another time rebuilds.
  ToHorizontal(59000.5, 40, 35, 10, 20);
  EXPECT_EQ(precessionCache.key, 59000.5);
  BuildPrecessionMatrix(59000.5, built);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(precessionCache.matrix[i], built[i]) << i;
}

TEST(EquatorialToHorizontalTest, AzimuthConventions) {
  // At J2000 the place of date is the J2000 place; lst - ra is the hour angle.
  struct Case {
    double lst, lat, ra, dec, az, el, tol;
  };
  constexpr Case kCases[] = {
      {100, 35, 100, 10, 180, 65, 1e-9},      // on the meridian, south of the zenith
      {100, 35, 100, 60, 0, 65, 1e-9},        // on the meridian, north of the zenith (0 or 360)
      {100, 35, 100, 35, 0, 90, 1e-6},        // the zenith (its azimuth is arbitrary)
      {130, 35, 100, 10, 270, 0, 200},        // west of the meridian: 180 < az < 360
      {70, 35, 100, 10, 90, 0, 200},          // east of the meridian: 0 < az < 180
      {190, 0, 100, 0, 270, 0, 1e-9},         // due west on the horizon at the equator
      {130, 0, 100, 0, 270, 60, 1e-9},        // due west, 60 degrees up
      {70, 0, 100, 0, 90, 60, 1e-9},          // due east, 60 degrees up
      {100 + 720, 35, 100 - 360, 10, 180, 65, 1e-9},  // whole turns are absorbed
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.lst << " " << c.lat << " " << c.ra << " " << c.dec);
    const Horizontal h = ToHorizontal(kJ2000, c.lst, c.lat, c.ra, c.dec);
    EXPECT_GE(h.az, 0);
    EXPECT_LE(h.az, 360);
    EXPECT_GE(h.el, -90);
    EXPECT_LE(h.el, 90);
    if (c.el != 90) {
      EXPECT_NEAR(std::remainder(h.az - c.az, 360.0), 0, c.tol < 100 ? c.tol : 89.999);
    }
    if (c.tol < 100) {
      EXPECT_NEAR(h.el, c.el, c.tol);
    }
  }
}

// Before, a point due east or west (north component exactly 0) came out at elevation 90
// whatever its true elevation.
TEST(EquatorialToHorizontalTest, DueEastAndWestKeepTheirElevation) {
  // An exact hour angle of 0 at the north: azimuth +0, never -0 or 360.
  const Horizontal north = ToHorizontal(kJ2000, 0, 35, 0, 60);
  EXPECT_EQ(north.az, 0);
  EXPECT_FALSE(std::signbit(north.az));

  for (double hourAngle : {30.0, 60.0, 90.0, 120.0, -45.0, -90.0}) {
    SCOPED_TRACE(hourAngle);
    const Horizontal h = ToHorizontal(kJ2000, 100 + hourAngle, 0, 100, 0);
    EXPECT_NEAR(h.el, 90 - std::fabs(hourAngle), 1e-9);
    EXPECT_NEAR(h.az, hourAngle > 0 ? 270 : 90, 1e-9);
  }
}

// ERFA's IAU 1976 precession: the shorter century and rounded rates stay within 1.5 arcseconds
// over 1950-2100.
TEST(EquatorialToHorizontalTest, PrecessionMatchesErfaIau1976) {
  double worst = 0;
  for (int year = 1950; year <= 2100; year += 5) {
    const double tt = kJ2000 + (year - 2000) * 365.25;
    double ours[9], erfa[3][3];
    BuildPrecessionMatrix(tt, ours);
    eraPmat76(2400000.5, tt, erfa);
    const double erfaColumnMajor[9] = {erfa[0][0], erfa[1][0], erfa[2][0], erfa[0][1], erfa[1][1],
                                       erfa[2][1], erfa[0][2], erfa[1][2], erfa[2][2]};
    for (double ra = 0; ra < 360; ra += 45) {
      for (double dec : {-80.0, -30.0, 0.0, 25.0, 70.0, 89.0}) {
        double ra1, dec1, ra2, dec2;
        Precess(ours, ra, dec, &ra1, &dec1);
        Precess(erfaColumnMajor, ra, dec, &ra2, &dec2);
        const double sep = Separation(ra1, dec1, ra2, dec2);
        worst = std::max(worst, sep);
        ASSERT_LT(sep, 1.5 * kArcsec) << year << " " << ra << " " << dec;
      }
    }
  }
  RecordProperty("worstArcsec", std::to_string(worst * 3600));
}

// The whole conversion against ERFA: IAU 1976 precession, then its hour angle to azimuth and
// elevation for the same sidereal time.
TEST(EquatorialToHorizontalTest, MatchesErfaHourAngleToAzimuthElevation) {
  for (int year = 1950; year <= 2100; year += 15) {
    const double tt = kJ2000 + (year - 2000) * 365.25 + 0.3;
    double erfa[3][3];
    eraPmat76(2400000.5, tt, erfa);
    for (double lat : {-60.0, 0.0, 35.0, 52.5}) {
      for (double lst : {0.0, 95.0, 250.0}) {
        for (double ra = 5; ra < 360; ra += 50) {
          for (double dec : {-50.0, 0.0, 20.0, 75.0}) {
            SCOPED_TRACE(testing::Message()
                         << year << " lat " << lat << " lst " << lst << " " << ra << " " << dec);
            double p[3];
            eraS2c(ra * ERFA_DD2R, dec * ERFA_DD2R, p);
            double q[3];
            eraRxp(erfa, p, q);
            double raDate, decDate;
            eraC2s(q, &raDate, &decDate);
            double az, el;
            eraHd2ae(lst * ERFA_DD2R - raDate, decDate, lat * ERFA_DD2R, &az, &el);
            const Horizontal h = ToHorizontal(tt, lst, lat, ra, dec);
            // Azimuth and elevation as a direction: the separation is free of the azimuth's
            // blow-up at the zenith.
            EXPECT_LT(Separation(h.az, h.el, az * ERFA_DR2D, el * ERFA_DR2D), 1.5 * kArcsec);
            EXPECT_NEAR(h.el, el * ERFA_DR2D, 1.5 * kArcsec);
          }
        }
      }
    }
  }
}

}  // namespace
