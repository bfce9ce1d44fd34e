#include "tools/clicks_gen/synthetic_event.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "analysis/clicks_line.h"
#include "analysis/scrambler.h"
#include "geo/angles.h"
#include "geo/calendar.h"
#include "geo/earth.h"
#include "platform/c_locale.h"
#include "tools/clicks_gen/sky_inverse.h"

namespace {

constexpr const char* kClicksHeader =
    "_Y_ut,_M_ut,_D_ut,_h_ut,_m_ut,_s_ut,_pos,_x,_y,_az,_ev,_ra,_dec,_lid,_sid,_long,_lat,_alt,,,,"
    "_gioidh,_ddeg";
constexpr double kPixelsPerDeg = 10.0;
constexpr long long kMsPerDay = 86'400'000;

struct Vec3 {
  double x, y, z;
};

Vec3 Sub(const double a[3], const double b[3]) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// East, north and up of the geodetic horizon at (lngDeg, latDeg), in ECEF axes.
void HorizonAxes(double lngDeg, double latDeg, Vec3* east, Vec3* north, Vec3* up) {
  const double l = lngDeg * kDegToRad, p = latDeg * kDegToRad;
  *east = {-std::sin(l), std::cos(l), 0};
  *north = {-std::sin(p) * std::cos(l), -std::sin(p) * std::sin(l), std::cos(p)};
  *up = {std::cos(p) * std::cos(l), std::cos(p) * std::sin(l), std::sin(p)};
}

// Azimuth in [0, 360) and elevation of target seen from a station.
void AzimuthElevation(double lngDeg, double latDeg, const double station[3],
                      const double target[3], double* azDeg, double* elDeg) {
  Vec3 east, north, up;
  HorizonAxes(lngDeg, latDeg, &east, &north, &up);
  const Vec3 d = Sub(target, station);
  const double e = Dot(d, east), n = Dot(d, north), u = Dot(d, up);
  double az = std::atan2(e, n) * kRadToDeg;
  if (az < 0) az += 360.0;
  *azDeg = az;
  *elDeg = std::atan2(u, std::hypot(e, n)) * kRadToDeg;
}

double Wrap360(double deg) {
  double r = std::fmod(deg, 360.0);
  return r < 0 ? r + 360.0 : r;
}

// The start plus an offset, carried into minutes, hours and days, to the millisecond.
UtTime AddSeconds(const UtTime& t, double offsetSec) {
  double dayMjd = DateToMjd(t.year, t.month, t.day, 0, 0, 0);
  long long ms = std::llround((t.hour * 3600.0 + t.minute * 60.0 + t.second + offsetSec) * 1000);
  while (ms < 0) {
    ms += kMsPerDay;
    dayMjd -= 1;
  }
  while (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    dayMjd += 1;
  }
  UtTime out{};
  MjdToDate(dayMjd, &out.year, &out.month, &out.day);
  out.hour = static_cast<int32_t>(ms / 3'600'000);
  out.minute = static_cast<int32_t>(ms / 60'000 % 60);
  out.second = static_cast<double>(ms % 60'000) / 1000.0;
  return out;
}

struct LineValues {
  UtTime time;
  int32_t pos;
  double x, y, az, ev, ra, dec;
  const SyntheticStation* station;
  uint32_t a, b, c;
  double ddeg;
};

std::string FormatLine(const LineValues& v) {
  const SyntheticStation& s = *v.station;
  return platform::StringPrintfC(
      "%4d,%02d,%02d,%02d,%02d,%.3f,%d,%.1f,%.1f,%.4f,%.4f,%.6f,%.6f,_%s,_%s,%.5f,%.5f,%.1f,%u,%u,"
      "%u,%.2f,%.4f",
      v.time.year, v.time.month, v.time.day, v.time.hour, v.time.minute, v.time.second, v.pos, v.x,
      v.y, v.az, v.ev, v.ra, v.dec, s.lid.c_str(), s.sid.c_str(), s.lngDeg, s.latDeg, s.altM, v.a,
      v.b, v.c, s.gioidhM, v.ddeg);
}

// A scrambling number that is never 0, different for every station of every event.
uint32_t ScramblingNumber(uint32_t seed, size_t stationIndex) {
  uint32_t x = seed * 2654435761u + static_cast<uint32_t>(stationIndex) * 40503u + 1u;
  for (int i = 0; i < 3; ++i) x = ScrambleStep(x);
  return x == 0 ? 1u : x;
}

class LineFile {
 public:
  explicit LineFile(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "wb")) {}
  ~LineFile() {
    if (file_) std::fclose(file_);
  }
  bool ok() const { return file_ != nullptr; }
  // Lines end CR LF, as the program's own CSV files do.
  void Put(const std::string& line) {
    if (std::fputs(line.c_str(), file_) < 0 || std::fputs("\r\n", file_) < 0) failed_ = true;
  }
  std::string Close() {
    if (!file_) return "cannot create " + path_ + ": " + std::strerror(errno);
    const bool closeFailed = std::fclose(file_) != 0;
    file_ = nullptr;
    if (failed_ || closeFailed) return "cannot write " + path_;
    return std::string();
  }

 private:
  std::string path_;
  std::FILE* file_;
  bool failed_ = false;
};

std::string WriteStationFile(const SyntheticEvent& event, size_t stationIndex,
                             const std::vector<TruePoint>& points, const std::string& path) {
  const SyntheticStation& station = event.stations[stationIndex];
  LineValues v{};
  v.time = AddSeconds(event.start, station.clockOffsetSec);
  v.station = &station;
  v.c = ScramblingNumber(event.style.seed, stationIndex);
  ScrambleLocation(station.lngDeg, station.latDeg, v.c, &v.a, &v.b);
  v.ddeg = event.style.ddegDeg;

  // The station and time exactly as the reader will hold them: parse a line of our own.
  ClicksLine parsed{};
  const std::string probe = FormatLine(v);
  const LineOutcome outcome = ParseClicksLine(probe.c_str(), &parsed);
  if (outcome.kind != LineKind::kData) return "station " + station.lid + ": " + DescribeBadLine(outcome);
  if (!parsed.scrambledUsed) return "station " + station.lid + ": scrambled location not taken";
  const double ttMjd = DateToTtMjd(parsed.Y_ut, parsed.M_ut, parsed.D_ut, parsed.h_ut,
                                   parsed.m_ut, parsed.s_ut);
  const double lstDeg = LocalSiderealDeg(parsed.Y_ut, parsed.M_ut, parsed.D_ut, parsed.h_ut,
                                         parsed.m_ut, parsed.s_ut, parsed.lng);
  const float stationHeightM = parsed.alt + parsed.gioidh;
  double ecef[3];
  GeodeticToEcef(parsed.lng, parsed.lat, stationHeightM, &ecef[0], &ecef[1], &ecef[2]);

  std::mt19937 rng(event.style.seed * 1000003u + static_cast<uint32_t>(stationIndex));
  std::normal_distribution<double> noise(0.0, 1.0);

  LineFile file(path);
  if (!file.ok()) return file.Close();
  file.Put(kClicksHeader);
  double azRef = 0, elRef = 0;
  for (size_t p = 0; p < points.size(); ++p) {
    double az, el;
    AzimuthElevation(parsed.lng, parsed.lat, ecef, points[p].ecef, &az, &el);
    if (event.style.noiseDeg > 0) {
      az += event.style.noiseDeg * noise(rng);
      el += event.style.noiseDeg * noise(rng);
    }
    az = Wrap360(az + event.style.shiftDeg);
    el += event.style.shiftDeg;
    if (p == 0) {
      azRef = az;
      elRef = el;
    }
    HorizontalToEquatorial(ttMjd, lstDeg, parsed.lat, az, el, &v.ra, &v.dec);
    v.pos = points[p].pos;
    v.az = Wrap360(az + station.azColumnOffsetDeg);
    v.ev = el;
    v.x = 320.0 + kPixelsPerDeg * std::remainder(az - azRef, 360.0);
    v.y = 240.0 - kPixelsPerDeg * (el - elRef);
    file.Put(FormatLine(v));
  }
  return file.Close();
}

std::string WriteTruthFile(const std::vector<TruePoint>& points, const std::string& path) {
  LineFile file(path);
  if (!file.ok()) return file.Close();
  file.Put("_pos,_lng,_lat,_height_m,_x_m,_y_m,_z_m");
  for (const TruePoint& p : points) {
    file.Put(platform::StringPrintfC("%d,%.10f,%.10f,%.4f,%.4f,%.4f,%.4f", p.pos, p.lngDeg,
                                     p.latDeg, p.heightM, p.ecef[0], p.ecef[1], p.ecef[2]));
  }
  return file.Close();
}

}  // namespace

std::vector<TruePoint> FlightPoints(const Trajectory& flight) {
  double begin[3];
  GeodeticToEcef(flight.beginLngDeg, flight.beginLatDeg, flight.beginHeightKm * 1000, &begin[0],
                 &begin[1], &begin[2]);
  Vec3 east, north, up;
  HorizonAxes(flight.beginLngDeg, flight.beginLatDeg, &east, &north, &up);
  const double h = flight.headingDeg * kDegToRad, g = flight.descentDeg * kDegToRad;
  const Vec3 dir{
      std::cos(g) * (std::sin(h) * east.x + std::cos(h) * north.x) - std::sin(g) * up.x,
      std::cos(g) * (std::sin(h) * east.y + std::cos(h) * north.y) - std::sin(g) * up.y,
      std::cos(g) * (std::sin(h) * east.z + std::cos(h) * north.z) - std::sin(g) * up.z};

  std::vector<TruePoint> points;
  for (int32_t p = 0; p < flight.pointCount; ++p) {
    const double tauSec =
        flight.pointCount > 1 ? flight.durationSec * p / (flight.pointCount - 1) : 0.0;
    const double lengthM = flight.speedKmS * 1000 * tauSec;
    TruePoint point{};
    point.pos = p + 1;
    point.ecef[0] = begin[0] + lengthM * dir.x;
    point.ecef[1] = begin[1] + lengthM * dir.y;
    point.ecef[2] = begin[2] + lengthM * dir.z;
    EcefToGeodetic(point.ecef[0], point.ecef[1], point.ecef[2], &point.lngDeg, &point.latDeg,
                   &point.heightM);
    points.push_back(point);
  }
  return points;
}

std::string EventFileStem(const UtTime& start) {
  return platform::StringPrintfC("%04d%02d%02d_%02d%02d%02d", start.year, start.month, start.day,
                                 start.hour, start.minute, static_cast<int>(start.second));
}

std::string WriteSyntheticEvent(const SyntheticEvent& event, const std::string& dir,
                                const std::string& name) {
  InitCalendarTables();
  const std::vector<TruePoint> points = FlightPoints(event.flight);
  for (size_t s = 0; s < event.stations.size(); ++s) {
    const std::string path = dir + "/" + name + "_" + event.stations[s].lid + "_clicks.csv";
    std::string failure = WriteStationFile(event, s, points, path);
    if (!failure.empty()) return failure;
  }
  return WriteTruthFile(points, dir + "/" + name + "_truth.csv");
}
