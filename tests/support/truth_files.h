#pragma once
// The true positions tools/clicks_gen writes beside the clicks files of each synthetic event,
// "<UT stamp>_truth.csv" with _pos,_lng,_lat,_height_m,_x_m,_y_m,_z_m, read back for the tests
// that hold triangulated results against them. The generator writes every number in the C
// locale, so they are read in it too.

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "geo/calendar.h"
#include "platform/c_locale.h"

namespace nv4test {

struct TruePoint {
  double lng = 0, lat = 0, heightM = 0;
  double xM = 0, yM = 0, zM = 0;  // earth-centred, earth-fixed
};
// One event's points by pos.
using EventTruth = std::map<int, TruePoint>;
// Events by their UT stamp, "YYYYMMDD_hhmmss" (the first 15 characters of the file name).
using Truth = std::map<std::string, EventTruth>;

inline EventTruth ReadTruthFile(const std::filesystem::path& file) {
  EventTruth points;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '_') continue;
    double v[7] = {};
    const char* p = line.c_str();
    for (double& value : v) {
      char* end = nullptr;
      value = platform::ParseDoubleC(p, &end);
      p = *end == ',' ? end + 1 : end;
    }
    points[static_cast<int>(v[0])] = {v[1], v[2], v[3], v[4], v[5], v[6]};
  }
  return points;
}

// Every truth file of a folder and, when recursive, of the folders below it.
inline Truth ReadTruthFolder(const std::filesystem::path& dir, bool recursive = false) {
  Truth truth;
  auto take = [&](const std::filesystem::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    if (name.size() < 10 || name.substr(name.size() - 10) != "_truth.csv") return;
    truth[name.substr(0, 15)] = ReadTruthFile(entry.path());
  };
  if (recursive) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) take(entry);
  } else {
    for (const auto& entry : std::filesystem::directory_iterator(dir)) take(entry);
  }
  return truth;
}

// The MJD of a "YYYYMMDD_hhmmss" stamp; the calendar tables must have been filled.
inline double StampMjd(const std::string& stamp) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  std::sscanf(stamp.c_str(), "%4d%2d%2d_%2d%2d%2d", &y, &mo, &d, &h, &mi, &s);
  return DateToMjd(y, mo, d, h, mi, static_cast<float>(s));
}

// The event that started nearest to a UT instant, if one started within two seconds of it
// (station clocks differ by less than that); null otherwise.
inline const EventTruth* EventNear(const Truth& truth, double utMjd) {
  const EventTruth* nearest = nullptr;
  double nearestSec = 2;
  for (const auto& [stamp, points] : truth) {
    const double sec = std::fabs(StampMjd(stamp) - utMjd) * 86400;
    if (sec < nearestSec) nearestSec = sec, nearest = &points;
  }
  return nearest;
}

}  // namespace nv4test
