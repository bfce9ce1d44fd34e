#include "groundmap/map_file_loader.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "groundmap/map_file_format.h"
#include "groundmap/map_projection.h"
#include "ulib/messages.h"

namespace groundmap {
namespace {

// The map being shown and the one being decoded: a map replaces the shown one only when it has
// loaded whole.
std::uint8_t rasterBuffers[2][kMaxMapPixels];

std::uint8_t* ScratchRaster() {
  return mapProjection.raster == rasterBuffers[0] ? rasterBuffers[1] : rasterBuffers[0];
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// One "%8d": blanks skipped, then an optional sign and digits, at most 8 characters in all.
bool ParseField(const char*& p, int* value) {
  while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p))) ++p;
  int width = 0;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
    ++width;
  }
  int digits = 0;
  long long magnitude = 0;
  while (width < 8 && *p >= '0' && *p <= '9') {
    magnitude = magnitude * 10 + (*p - '0');
    ++p;
    ++width;
    ++digits;
  }
  if (digits == 0) return false;
  *value = static_cast<int>(negative ? -magnitude : magnitude);
  return true;
}

// Decodes the rows of a CX x CY map from the file, whose first window (the header and what
// follows it) is already in window[0 .. have). False when the file ends before the last pixel,
// a run passes the end of its row, or a row's codes overrun the window.
bool DecodeRows(std::FILE* file, std::uint8_t* window, std::size_t have, int cx, int cy,
                std::uint8_t* raster) {
  std::size_t pos = kMapHeaderBytes;
  for (int y = 0; y < cy; ++y) {
    // Slide the window so that it starts at this row's first code.
    const std::size_t keep = have - pos;
    std::memmove(window, window + pos, keep);
    have = keep + std::fread(window + keep, 1, kMapRowWindowBytes - keep, file);
    pos = 0;

    std::uint8_t* row = raster + static_cast<std::size_t>(y) * cx;
    int x = 0;
    while (x < cx) {
      if (pos >= have) return false;
      const unsigned code = window[pos++];
      int length;
      if (code & kMapLongCodeBit) {
        if (pos >= have) return false;
        length = static_cast<int>(((code & 7u) << 8) | window[pos++]) + 1;
      } else {
        length = static_cast<int>(code & 7u) + 1;
      }
      if (length > cx - x) return false;
      std::memset(row + x, static_cast<int>(code >> 4), static_cast<std::size_t>(length));
      x += length;
    }
  }
  return true;
}

}  // namespace

bool ParseMapHeader(const char* text, MapHeaderFields* fields) {
  const std::size_t magicLength = std::strlen(kMapHeaderMagic);
  if (std::strncmp(text, kMapHeaderMagic, magicLength) != 0) return false;
  const char* p = text + magicLength;
  for (int i = 0; i < kMapHeaderFields; ++i) {
    if (i > 0) {
      if (*p != ',') return false;
      ++p;
    }
    if (!ParseField(p, &fields->values[i])) return false;
  }
  return true;
}

int LoadGroundMap(const char* path) {
  if (path == nullptr) path = "";
  FilePtr file(std::fopen(path, "rb"));
  if (!file) {
    ReportError("Cannot Open GroundMap %s", path);
    return 0;
  }

  std::uint8_t window[kMapRowWindowBytes];
  const std::size_t have = std::fread(window, 1, sizeof window, file.get());
  // The header is the text before the first zero byte that was read, exactly 79 characters.
  const void* end = std::memchr(window, 0, have);
  if (end != window + kMapHeaderTextChars) {
    ReportError("GroundMap Broken header %s", path);
    return 0;
  }
  MapHeaderFields header;
  if (!ParseMapHeader(reinterpret_cast<const char*>(window), &header)) {
    ReportError("GroundMap Broken header %s", path);
    return 0;
  }
  const int cx = header.values[0];
  const int cy = header.values[1];
  const double centreLon = header.values[2] / kMapDegreeUnits;
  const double centreLat = header.values[3] / kMapDegreeUnits;
  const double halfFov = header.values[4] / kMapDegreeUnits;
  if (cx < 1 || cx > kMaxMapWidth || cy < 1 || cy > kMaxMapHeight) {
    ReportError("GroundMap Broken CX,CY %s", path);
    return 0;
  }
  // Outside these the projection is not defined.
  if (!(halfFov > 0.0 && halfFov < 90.0) || !(centreLat >= -90.0 && centreLat <= 90.0)) {
    ReportError("GroundMap Broken header %s", path);
    return 0;
  }

  std::uint8_t* raster = ScratchRaster();
  if (!DecodeRows(file.get(), window, have, cx, cy, raster)) {
    // The shown map stays, so without a word a damaged choice would seem to do nothing.
    ReportError("GroundMap Broken data %s", path);
    return 0;
  }

  SetMapGeometry(cx, cy, centreLon, centreLat, halfFov, raster);
  return 1;
}

std::string GroundMapPath(const char* dir, const char* mapName) {
  if (mapName == nullptr || *mapName == '\0') return std::string();
  std::string path;
  if (mapName[0] == '/' || dir == nullptr || *dir == '\0') {
    path = mapName;
  } else {
    path = dir;
    if (path.back() != '/') path += '/';
    path += mapName;
  }
  if (path.size() > static_cast<std::size_t>(kMaxMapPathChars)) return std::string();
  return path;
}

std::string GroundMapName(const char* dir, const char* path) {
  namespace fs = std::filesystem;
  if (path == nullptr) return std::string();
  const fs::path chosen(path);
  // The normal form of a folder ends in a separator; a file's never does.
  auto folderText = [](const fs::path& folder) {
    std::string text = folder.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
  };
  if (dir != nullptr && *dir != '\0' && chosen.has_filename() && chosen.has_parent_path() &&
      folderText(chosen.parent_path()) == folderText(fs::path(dir))) {
    return chosen.filename().string();
  }
  return path;
}

}  // namespace groundmap
