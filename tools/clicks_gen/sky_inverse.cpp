#include "tools/clicks_gen/sky_inverse.h"

#include <cmath>

#include "geo/angles.h"
#include "geo/horizontal.h"

namespace {

double Wrap180(double deg) { return std::remainder(deg, 360.0); }

// Closed-form inverse of the horizon rotation and of the precession (P is a rotation, so its
// inverse is its transpose).
void ClosedForm(double ttMjd, double lstDeg, double latDeg, double azDeg, double elDeg,
                double* raDeg, double* decDeg) {
  const double phi = latDeg * kDegToRad;
  const double a = azDeg * kDegToRad;
  const double e = elDeg * kDegToRad;
  const double sinDec = std::sin(phi) * std::sin(e) + std::cos(phi) * std::cos(e) * std::cos(a);
  const double cosDecCosH = std::cos(phi) * std::sin(e) - std::sin(phi) * std::cos(e) * std::cos(a);
  const double cosDecSinH = -std::cos(e) * std::sin(a);
  const double hourAngle = std::atan2(cosDecSinH, cosDecCosH);
  const double cosDec = std::hypot(cosDecCosH, cosDecSinH);
  const double raDate = lstDeg * kDegToRad - hourAngle;
  const double v[3] = {cosDec * std::cos(raDate), cosDec * std::sin(raDate), sinDec};

  double m[9];  // column-major: m[0] P11, m[1] P21, m[2] P31, m[3] P12, ...
  BuildPrecessionMatrix(ttMjd, m);
  const double x = m[0] * v[0] + m[1] * v[1] + m[2] * v[2];
  const double y = m[3] * v[0] + m[4] * v[1] + m[5] * v[2];
  const double z = m[6] * v[0] + m[7] * v[1] + m[8] * v[2];
  double ra = std::atan2(y, x) * kRadToDeg;
  if (ra < 0) ra += 360.0;
  *raDeg = ra;
  *decDeg = std::atan2(z, std::hypot(x, y)) * kRadToDeg;
}

}  // namespace

void HorizontalToEquatorial(double ttMjd, double lstDeg, double latDeg, double azDeg,
                            double elDeg, double* raDeg, double* decDeg) {
  double ra, dec;
  ClosedForm(ttMjd, lstDeg, latDeg, azDeg, elDeg, &ra, &dec);

  // Newton steps on the forward conversion itself remove what its own formulas (the elevation
  // by an arc tangent, the declination through degrees and back) differ from the closed form.
  constexpr double kStepDeg = 1e-6;
  for (int iteration = 0; iteration < 3; ++iteration) {
    double az0, el0;
    EquatorialToHorizontal(ttMjd, lstDeg, latDeg, ra, dec, &az0, &el0);
    const double dAz = Wrap180(azDeg - az0);
    const double dEl = elDeg - el0;
    if (std::fabs(dAz) < 1e-12 && std::fabs(dEl) < 1e-12) break;
    double azR, elR, azD, elD;
    EquatorialToHorizontal(ttMjd, lstDeg, latDeg, ra + kStepDeg, dec, &azR, &elR);
    EquatorialToHorizontal(ttMjd, lstDeg, latDeg, ra, dec + kStepDeg, &azD, &elD);
    const double j11 = Wrap180(azR - az0) / kStepDeg, j21 = (elR - el0) / kStepDeg;
    const double j12 = Wrap180(azD - az0) / kStepDeg, j22 = (elD - el0) / kStepDeg;
    const double det = j11 * j22 - j12 * j21;
    if (!(std::fabs(det) > 1e-12)) break;
    const double stepRa = (j22 * dAz - j12 * dEl) / det;
    const double stepDec = (j11 * dEl - j21 * dAz) / det;
    if (!std::isfinite(stepRa) || !std::isfinite(stepDec)) break;
    ra += stepRa;
    dec += stepDec;
  }
  ra = std::fmod(ra, 360.0);
  if (ra < 0) ra += 360.0;
  *raDeg = ra;
  *decDeg = dec;
}
