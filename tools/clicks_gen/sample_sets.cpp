#include "tools/clicks_gen/sample_sets.h"

#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

#include "tools/clicks_gen/synthetic_event.h"

namespace {

std::string MakeDir(const std::string& dir) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) return "cannot create " + dir + ": " + error.message();
  return std::string();
}

std::string WriteEvent(const SyntheticEvent& event, const std::string& dir) {
  std::string failure = MakeDir(dir);
  if (!failure.empty()) return failure;
  return WriteSyntheticEvent(event, dir, EventFileStem(event.start));
}

// ---- Demo tree -----------------------------------------------------------------------------

SyntheticStation DemoStation(int which) {
  SyntheticStation s;
  switch (which) {
    case 0:
      s.lid = "NV01";
      s.sid = "A";
      s.lngDeg = 135.50000;
      s.latDeg = 34.70000;
      s.altM = 60.0;
      s.gioidhM = 37.00;
      break;
    case 1:
      s.lid = "NV02";
      s.sid = "A";
      s.lngDeg = 136.90000;
      s.latDeg = 35.15000;
      s.altM = 50.0;
      s.gioidhM = 38.00;
      s.clockOffsetSec = 0.3;
      break;
    default:
      s.lid = "NV03";
      s.sid = "B";
      s.lngDeg = 135.95000;
      s.latDeg = 33.80000;
      s.altM = 120.0;
      s.gioidhM = 36.50;
      s.clockOffsetSec = -0.2;
      break;
  }
  return s;
}

struct DemoEvent {
  UtTime start;
  double lng, lat, heightKm, heading, descent, speed, duration;
  int points;
  bool thirdStation;
};

// Three nights: two in August (Perseids, fast) and one in December (Geminids, slower).
constexpr DemoEvent kDemoEvents[] = {
    {{2023, 8, 12, 15, 12, 4.250}, 136.20, 34.60, 112, 210, 40, 58, 0.9, 30, true},
    {{2023, 8, 12, 16, 3, 41.500}, 135.90, 34.90, 108, 245, 35, 60, 0.7, 24, true},
    {{2023, 8, 12, 17, 47, 18.125}, 136.60, 34.30, 105, 160, 55, 55, 0.8, 28, false},
    {{2023, 8, 12, 18, 30, 2.000}, 136.10, 34.20, 115, 230, 30, 61, 1.1, 40, true},
    {{2023, 8, 13, 14, 55, 10.750}, 136.40, 34.80, 110, 200, 45, 59, 0.8, 26, true},
    {{2023, 8, 13, 16, 21, 33.300}, 135.70, 34.40, 104, 250, 50, 57, 0.6, 20, true},
    {{2023, 8, 13, 19, 2, 55.900}, 136.30, 34.00, 109, 190, 38, 60, 1.0, 36, false},
    {{2023, 12, 14, 13, 40, 7.400}, 136.00, 34.50, 98, 20, 42, 35, 1.4, 45, true},
    {{2023, 12, 14, 15, 18, 49.600}, 136.50, 34.70, 95, 340, 48, 34, 1.2, 38, true},
    {{2023, 12, 14, 17, 9, 12.050}, 135.80, 34.10, 100, 15, 36, 36, 1.6, 48, true},
    {{2023, 12, 14, 18, 44, 26.800}, 136.30, 34.30, 96, 300, 52, 33, 1.0, 32, false},
};

// ---- End-to-end fixtures ------------------------------------------------------------------

SyntheticStation Station(const char* lid, const char* sid, double lng, double lat, double altM,
                         double clockOffsetSec) {
  SyntheticStation s;
  s.lid = lid;
  s.sid = sid;
  s.lngDeg = lng;
  s.latDeg = lat;
  s.altM = altM;
  s.gioidhM = 36.00;
  s.clockOffsetSec = clockOffsetSec;
  return s;
}

// Two stations about 80 km apart whose vertical planes meet the flight at about 80 degrees.
SyntheticEvent BaseEvent() {
  SyntheticEvent e;
  e.start = {2021, 3, 20, 12, 0, 0.000};
  e.flight.beginLngDeg = 136.2;
  e.flight.beginLatDeg = 34.8;
  e.flight.beginHeightKm = 105;
  e.flight.headingDeg = 200;
  e.flight.descentDeg = 50;
  e.flight.speedKmS = 35;
  e.flight.durationSec = 1.2;
  e.flight.pointCount = 25;
  e.stations = {Station("S1", "a", 135.80000, 34.60000, 100.0, 0.0),
                Station("S2", "b", 136.50000, 34.20000, 200.0, 0.4)};
  e.style.ddegDeg = 0;
  e.style.noiseDeg = 0;
  e.style.shiftDeg = 0;
  e.style.seed = 7;
  return e;
}

constexpr double kFixtureDdeg = 0.05;

}  // namespace

std::string WriteDemoTree(const std::string& dir) {
  uint32_t seed = 101;
  for (const DemoEvent& d : kDemoEvents) {
    SyntheticEvent e;
    e.start = d.start;
    e.flight = {d.lng, d.lat, d.heightKm, d.heading, d.descent, d.speed, d.duration, d.points};
    e.stations = {DemoStation(0), DemoStation(1)};
    if (d.thirdStation) e.stations.push_back(DemoStation(2));
    e.style.ddegDeg = 0.05;
    e.style.noiseDeg = 0.02;
    e.style.seed = seed++;
    const std::string night = EventFileStem(d.start).substr(0, 8);
    std::string failure = WriteEvent(e, dir + "/" + night);
    if (!failure.empty()) return failure;
  }
  return std::string();
}

std::string WriteEndToEndFixtures(const std::string& dir) {
  std::vector<std::pair<std::string, SyntheticEvent>> cases;

  // Exact clicks with no uncertainty: every point must come back.
  cases.emplace_back("exact", BaseEvent());

  // The same clicks with an uncertainty: the error estimates.
  SyntheticEvent ddeg = BaseEvent();
  ddeg.style.ddegDeg = kFixtureDdeg;
  cases.emplace_back("ddeg", ddeg);

  // The same flight with every click moved by the uncertainty: what the estimates predict.
  SyntheticEvent shifted = BaseEvent();
  shifted.style.shiftDeg = kFixtureDdeg;
  cases.emplace_back("shifted", shifted);

  // Noise of the size of the uncertainty, over several flights.
  for (int i = 0; i < 8; ++i) {
    SyntheticEvent noisy = BaseEvent();
    noisy.start.minute = 5 * (i + 1);
    noisy.flight.beginLngDeg = 136.0 + 0.06 * i;
    noisy.flight.beginLatDeg = 34.65 + 0.03 * (i % 3);
    noisy.flight.headingDeg = 150 + 12 * i;
    noisy.flight.descentDeg = 35 + 3 * i;
    noisy.flight.pointCount = 40;
    noisy.style.ddegDeg = kFixtureDdeg;
    noisy.style.noiseDeg = kFixtureDdeg;
    noisy.style.seed = 1000 + i;
    cases.emplace_back("noisy", noisy);
  }

  // Stations about 46 km apart east-west seeing a flight to their north-east: the vertical
  // planes meet at about 20 degrees, below the default least convergence angle of 30.
  SyntheticEvent lowQc = BaseEvent();
  lowQc.stations = {Station("Q1", "a", 136.00000, 34.00000, 50.0, 0.0),
                    Station("Q2", "a", 136.50000, 34.00000, 50.0, 0.2)};
  lowQc.flight.beginLngDeg = 136.9;
  lowQc.flight.beginLatDeg = 34.4;
  lowQc.flight.headingDeg = 180;
  lowQc.flight.descentDeg = 60;
  lowQc.flight.durationSec = 0.5;
  cases.emplace_back("low_qc", lowQc);

  // A flight about 1070 km from the first station (and 400 km from the second).
  SyntheticEvent far = BaseEvent();
  far.stations = {Station("F1", "a", 126.00000, 34.00000, 50.0, 0.0),
                  Station("F2", "a", 136.00000, 34.00000, 50.0, 0.1)};
  far.flight.beginLngDeg = 137.0;
  far.flight.beginLatDeg = 37.5;
  far.flight.beginHeightKm = 100;
  far.flight.headingDeg = 200;
  far.flight.descentDeg = 20;
  far.flight.durationSec = 0.3;
  far.flight.pointCount = 10;
  cases.emplace_back("far", far);

  // The second station's azimuth column disagrees with its sky positions by 10.5 degrees, and
  // in the next case by 9.5 degrees.
  SyntheticEvent azimuthOff = BaseEvent();
  azimuthOff.stations[1].azColumnOffsetDeg = 10.5;
  cases.emplace_back("azimuth_off", azimuthOff);
  SyntheticEvent azimuthWithin = BaseEvent();
  azimuthWithin.stations[1].azColumnOffsetDeg = -9.5;
  cases.emplace_back("azimuth_within", azimuthWithin);

  for (const auto& [name, event] : cases) {
    std::string failure = WriteEvent(event, dir + "/" + name);
    if (!failure.empty()) return failure;
  }
  return std::string();
}

std::string WriteLargeTree(const std::string& dir, int events) {
  SyntheticStation a;
  a.lid = "NV01", a.sid = "A", a.lngDeg = 135.5, a.latDeg = 34.7, a.altM = 60;
  SyntheticStation b;
  b.lid = "NV02", b.sid = "A", b.lngDeg = 136.9, b.latDeg = 35.15, b.altM = 50;
  b.clockOffsetSec = 0.3;
  for (int i = 0; i < events; ++i) {
    SyntheticEvent event;
    const int seconds = 20 * i;
    event.start = {2023, 8, 12 + seconds / 86400, (seconds / 3600) % 24, (seconds / 60) % 60,
                   static_cast<double>(seconds % 60) + 0.25};
    event.flight.beginLngDeg = 136.2 + 0.001 * (i % 100);
    event.flight.beginLatDeg = 34.6;
    event.flight.beginHeightKm = 110;
    event.flight.headingDeg = 210;
    event.flight.descentDeg = 40;
    event.flight.speedKmS = 58;
    event.flight.durationSec = 0.9;
    event.flight.pointCount = 50;
    event.stations = {a, b};
    event.style.noiseDeg = 0.02;
    event.style.seed = static_cast<std::uint32_t>(i + 1);
    const std::string failure = WriteEvent(event, dir + "/" + std::to_string(i / 1000));
    if (!failure.empty()) return failure;
  }
  return std::string();
}
