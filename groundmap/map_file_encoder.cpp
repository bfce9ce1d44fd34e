#include "groundmap/map_file_encoder.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "groundmap/map_file_format.h"
#include "groundmap/map_projection.h"
#include "platform/c_locale.h"

namespace groundmap {
namespace {

// The range of integers that "%8d" writes in 8 characters.
constexpr int kFieldMin = -9999999;
constexpr int kFieldMax = 99999999;

// Degrees in header units, rounded half away from zero. An angle no int can hold (or NaN) gives
// a value outside every field's range, so that EncodeGroundMap refuses it.
int ToUnits(double degrees) {
  const double units = std::round(degrees * kMapDegreeUnits);
  if (!(units > kFieldMin - 1.0 && units < kFieldMax + 1.0)) return kFieldMin - 1;
  return static_cast<int>(units);
}

void AppendRun(unsigned level, int length, std::string* out) {
  while (length > 0) {
    const int run = length < kMapLongRunMax ? length : kMapLongRunMax;
    if (run <= kMapShortRunMax) {
      out->push_back(static_cast<char>((level << 4) | static_cast<unsigned>(run - 1)));
    } else {
      const unsigned n = static_cast<unsigned>(run - 1);
      out->push_back(static_cast<char>((level << 4) | kMapLongCodeBit | (n >> 8)));
      out->push_back(static_cast<char>(n & 0xFFu));
    }
    length -= run;
  }
}

}  // namespace

MapHeaderFields MakeMapHeader(int cx, int cy, double centreLonDeg, double centreLatDeg,
                              double halfFovDeg) {
  MapHeaderFields header;
  header.values[0] = cx;
  header.values[1] = cy;
  header.values[2] = ToUnits(centreLonDeg);
  header.values[3] = ToUnits(centreLatDeg);
  header.values[4] = ToUnits(halfFovDeg);
  return header;
}

void EncodeMapRow(const std::uint8_t* row, int cx, std::string* out) {
  int x = 0;
  while (x < cx) {
    const std::uint8_t level = row[x];
    int end = x + 1;
    while (end < cx && row[end] == level) ++end;
    AppendRun(level, end - x, out);
    x = end;
  }
}

bool EncodeGroundMap(const MapHeaderFields& header, const std::uint8_t* raster, std::string* bytes,
                     std::string* error) {
  const int cx = header.values[0];
  const int cy = header.values[1];
  if (cx < 1 || cx > kMaxMapWidth || cy < 1 || cy > kMaxMapHeight) {
    *error = platform::StringPrintfC("map size %d x %d outside 1..%d x 1..%d", cx, cy, kMaxMapWidth,
                                     kMaxMapHeight);
    return false;
  }
  for (int i = 0; i < kMapHeaderFields; ++i) {
    if (header.values[i] < kFieldMin || header.values[i] > kFieldMax) {
      *error = platform::StringPrintfC("header field %d (%d) does not fit 8 characters", i + 1,
                                       header.values[i]);
      return false;
    }
  }
  const std::size_t pixels = static_cast<std::size_t>(cx) * cy;
  for (std::size_t i = 0; i < pixels; ++i) {
    if (raster[i] > 15) {
      *error = platform::StringPrintfC("level %d at pixel %zu exceeds 15", raster[i], i);
      return false;
    }
  }

  const int* v = header.values;
  std::string text =
      platform::StringPrintfC(kMapHeaderFormat, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
  bytes->assign(text);
  bytes->push_back('\0');
  for (int y = 0; y < cy; ++y) {
    EncodeMapRow(raster + static_cast<std::size_t>(y) * cx, cx, bytes);
  }
  return true;
}

bool WriteMapFile(const char* path, const std::string& bytes, std::string* error) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) {
    *error = platform::StringPrintfC("cannot create %s: %s", path, std::strerror(errno));
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    *error = platform::StringPrintfC("cannot write %s", path);
    return false;
  }
  return true;
}

}  // namespace groundmap
