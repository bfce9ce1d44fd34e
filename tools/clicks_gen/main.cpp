// clicks_gen: writes synthetic clicks files of straight-line meteors with known positions.
//
//   clicks_gen demo <dir>        the demo clicks tree (data/clicks)
//   clicks_gen fixtures <dir>    the end-to-end test's files (tests/fixtures/analysis/e2e)
//   clicks_gen event <dir> --start 2021-03-20T12:00:00.000 --begin LNG,LAT,HKM
//              --heading DEG --descent DEG --speed KMS --duration S --points N
//              --station LID,SID,LNG,LAT,ALT[,GIOIDH[,CLOCKOFFSET]]   (two or three times)
//              [--ddeg DEG] [--noise DEG] [--shift DEG] [--seed N]

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/c_locale.h"
#include "tools/clicks_gen/sample_sets.h"
#include "tools/clicks_gen/synthetic_event.h"

namespace {

int Usage() {
  std::fputs(
      "usage: clicks_gen demo <dir>\n"
      "       clicks_gen fixtures <dir>\n"
      "       clicks_gen event <dir> --start YYYY-MM-DDThh:mm:ss.sss --begin LNG,LAT,HKM\n"
      "                  --heading DEG --descent DEG --speed KMS --duration S --points N\n"
      "                  --station LID,SID,LNG,LAT,ALT[,GIOIDH[,CLOCKOFFSET]] (2 or 3 times)\n"
      "                  [--ddeg DEG] [--noise DEG] [--shift DEG] [--seed N]\n",
      stderr);
  return 2;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t begin = 0;
  for (;;) {
    size_t end = text.find(separator, begin);
    parts.push_back(text.substr(begin, end - begin));
    if (end == std::string::npos) return parts;
    begin = end + 1;
  }
}

bool Number(const std::string& text, double* value) {
  char* end = nullptr;
  *value = platform::ParseDoubleC(text.c_str(), &end);
  return !text.empty() && end && *end == '\0';
}

bool Numbers(const std::string& text, size_t count, std::vector<double>* values) {
  std::vector<std::string> parts = Split(text, ',');
  if (parts.size() != count) return false;
  values->resize(count);
  for (size_t i = 0; i < count; ++i) {
    if (!Number(parts[i], &(*values)[i])) return false;
  }
  return true;
}

bool ParseStart(const std::string& text, UtTime* t) {
  int y, mo, d, h, mi;
  double s;
  char tail;
  platform::ScopedCLocale cLocale;
  if (std::sscanf(text.c_str(), "%d-%d-%dT%d:%d:%lf%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6)
    return false;
  *t = UtTime{y, mo, d, h, mi, s};
  return true;
}

bool ParseStation(const std::string& text, SyntheticStation* s) {
  std::vector<std::string> parts = Split(text, ',');
  if (parts.size() < 5 || parts.size() > 7) return false;
  s->lid = parts[0];
  s->sid = parts[1];
  double values[5] = {0, 0, 0, 35.0, 0};
  for (size_t i = 2; i < parts.size(); ++i) {
    if (!Number(parts[i], &values[i - 2])) return false;
  }
  s->lngDeg = values[0];
  s->latDeg = values[1];
  s->altM = values[2];
  s->gioidhM = values[3];
  s->clockOffsetSec = values[4];
  return true;
}

int RunEvent(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string dir = argv[2];
  SyntheticEvent e;
  bool haveStart = false, haveBegin = false;
  for (int i = 3; i < argc; i += 2) {
    if (i + 1 >= argc) return Usage();
    const std::string option = argv[i], value = argv[i + 1];
    std::vector<double> v;
    double x = 0;
    bool ok = true;
    if (option == "--start") {
      ok = haveStart = ParseStart(value, &e.start);
    } else if (option == "--begin") {
      ok = haveBegin = Numbers(value, 3, &v);
      if (ok) {
        e.flight.beginLngDeg = v[0];
        e.flight.beginLatDeg = v[1];
        e.flight.beginHeightKm = v[2];
      }
    } else if (option == "--station") {
      SyntheticStation s;
      ok = ParseStation(value, &s);
      e.stations.push_back(s);
    } else if (Number(value, &x)) {
      if (option == "--heading") e.flight.headingDeg = x;
      else if (option == "--descent") e.flight.descentDeg = x;
      else if (option == "--speed") e.flight.speedKmS = x;
      else if (option == "--duration") e.flight.durationSec = x;
      else if (option == "--points") e.flight.pointCount = static_cast<int32_t>(x);
      else if (option == "--ddeg") e.style.ddegDeg = x;
      else if (option == "--noise") e.style.noiseDeg = x;
      else if (option == "--shift") e.style.shiftDeg = x;
      else if (option == "--seed") e.style.seed = static_cast<uint32_t>(x);
      else ok = false;
    } else {
      ok = false;
    }
    if (!ok) {
      std::fprintf(stderr, "clicks_gen: bad %s %s\n", option.c_str(), value.c_str());
      return 2;
    }
  }
  if (!haveStart || !haveBegin || e.stations.size() < 2 || e.stations.size() > 3 ||
      e.flight.pointCount < 1 || e.flight.pointCount > 50) {
    return Usage();
  }
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  std::string failure = WriteSyntheticEvent(e, dir, EventFileStem(e.start));
  if (!failure.empty()) {
    std::fprintf(stderr, "clicks_gen: %s\n", failure.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  std::string failure;
  if (command == "event") return RunEvent(argc, argv);
  if (argc != 3) return Usage();
  if (command == "demo") {
    failure = WriteDemoTree(argv[2]);
  } else if (command == "fixtures") {
    failure = WriteEndToEndFixtures(argv[2]);
  } else {
    return Usage();
  }
  if (!failure.empty()) {
    std::fprintf(stderr, "clicks_gen: %s\n", failure.c_str());
    return 1;
  }
  return 0;
}
