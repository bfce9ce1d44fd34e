#include "groundmap/base_map_painter.h"

#include <cstddef>
#include <cstring>

#include "groundmap/map_projection.h"

namespace groundmap {
namespace {

constexpr std::uint32_t Grey(std::uint32_t v) { return v | v << 8 | v << 16; }

// Colours as 0x00RRGGBB, which stores as blue, green, red.
constexpr std::uint32_t kOutside = 80;  // blue 80, green 0, red 0
constexpr std::uint32_t kSeaShade = Grey(120);
constexpr std::uint32_t kMonoSea = Grey(240);
constexpr std::uint32_t kMonoLand = Grey(180);  // land on the picture's outermost pixels
constexpr std::uint32_t kMonoInland = Grey(250);
constexpr std::uint32_t kMonoCoast = 0;

void StorePixel(std::uint8_t* out, std::uint32_t bgr) {
  out[0] = static_cast<std::uint8_t>(bgr);
  out[1] = static_cast<std::uint8_t>(bgr >> 8);
  out[2] = static_cast<std::uint8_t>(bgr >> 16);
}

// Writes a row of pixels, each given by colourOf(c). Every pixel but the last is stored as 4
// bytes whose last one the next pixel overwrites: one store for each of the up to 2.3 million
// pixels of a render.
template <typename ColourOf>
void StoreRow(std::uint8_t* out, int width, ColourOf colourOf) {
  for (int c = 0; c + 1 < width; ++c) {
    const std::uint32_t bgr = colourOf(c);
    std::memcpy(out + c * kImageBytesPerPixel, &bgr, 4);
  }
  StorePixel(out + (width - 1) * kImageBytesPerPixel, colourOf(width - 1));
}

std::uint64_t Load8(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

void Store8(std::uint8_t* p, std::uint64_t v) { std::memcpy(p, &v, 8); }

// The raster row that picture row r shows, or null off the map.
const std::uint8_t* MapRowOf(int r, double mapPerScreen, int originY) {
  const MapProjection& map = mapProjection;
  if (!(map.scale > 0.0) || map.raster == nullptr) return nullptr;
  const double my = r * mapPerScreen + originY;  // never negative
  if (!(my < map.CY)) return nullptr;
  return map.raster + static_cast<std::size_t>(my) * static_cast<std::size_t>(map.CX);
}

}  // namespace

void BaseMapPainter::Paint(int width, int height, double mapPerScreen, int originX, int originY,
                           bool mono) {
  if (width <= 0 || width > kMaxImageWidth || height <= 0 || height > kMaxImageHeight) return;
  const int onMap = MapColumns(width, mapPerScreen, originX);
  if (mono) {
    PaintMono(width, height, mapPerScreen, originY, onMap);
  } else {
    PaintColour(width, height, mapPerScreen, originY, onMap);
  }
}

int BaseMapPainter::MapColumns(int width, double mapPerScreen, int originX) {
  const MapProjection& map = mapProjection;
  const bool haveMap = map.scale > 0.0 && map.raster != nullptr;
  // The origin is never negative, so the columns on the map come first.
  int onMap = 0;
  for (int c = 0; c < width; ++c) {
    const double mx = c * mapPerScreen + originX;
    columnMap_[c] = haveMap && mx < map.CX ? static_cast<std::int32_t>(mx) : -1;
    if (columnMap_[c] >= 0) onMap = c + 1;
  }
  return onMap;
}

void BaseMapPainter::PaintColour(int width, int height, double mapPerScreen, int originY,
                                 int onMap) {
  std::uint32_t shades[16];
  for (int level = 0; level < 16; ++level) {
    shades[level] = level == 0 ? kSeaShade : Grey(static_cast<std::uint32_t>(60 + 10 * level));
  }
  // A copy that the image stores cannot alias, so that the loop need not reload it.
  std::int32_t columns[kMaxImageWidth];
  std::memcpy(columns, columnMap_, sizeof(std::int32_t) * static_cast<std::size_t>(width));
  for (int r = 0; r < height; ++r) {
    const std::uint8_t* mapRow = MapRowOf(r, mapPerScreen, originY);
    const int rowOnMap = mapRow != nullptr ? onMap : 0;
    StoreRow(ImagePixel(0, height - 1 - r, width), width,
             [&](int c) { return c < rowOnMap ? shades[mapRow[columns[c]] & 15] : kOutside; });
  }
}

void BaseMapPainter::PaintMono(int width, int height, double mapPerScreen, int originY, int onMap) {
  // Each row is decided from what it and its neighbour rows show of the map, so the image is
  // written once, by table lookups, as coasts defeat branch prediction; the neighbour tests run
  // on 8 pixels at a time. Kinds: land 0, sea 1 (the bit the neighbour test ors), outside 2.
  constexpr std::uint8_t kLandKind = 0, kSeaKind = 1, kOutsideKind = 2;
  constexpr std::uint64_t kLowBits = 0x0101010101010101ull;
  // By kind * 2 + (sea near), inside the picture; only the first six can occur.
  constexpr std::uint32_t kInner[8] = {kMonoInland, kMonoCoast, kMonoSea, kMonoSea,
                                       kOutside,    kOutside,   kOutside, kOutside};
  constexpr std::uint32_t kEdge[3] = {kMonoLand, kMonoSea, kOutside};
  std::uint8_t kindOfLevel[16];
  for (int level = 0; level < 16; ++level) kindOfLevel[level] = level == 0 ? kSeaKind : kLandKind;

  // Row r's kinds, and whether each column or one beside it shows sea.
  auto classify = [&](int r) {
    std::uint8_t* kinds = kindRows_[r % 3];
    std::uint8_t* seaNear = seaNearRows_[r % 3];
    const std::uint8_t* mapRow = MapRowOf(r, mapPerScreen, originY);
    const int rowOnMap = mapRow != nullptr ? onMap : 0;
    for (int c = 0; c < rowOnMap; ++c) kinds[c] = kindOfLevel[mapRow[columnMap_[c]] & 15];
    std::memset(kinds + rowOnMap, kOutsideKind, static_cast<std::size_t>(width - rowOnMap));
    for (int c = 1; c < width - 1; c += 8) {
      Store8(seaNear + c,
             (Load8(kinds + c - 1) | Load8(kinds + c) | Load8(kinds + c + 1)) & kLowBits);
    }
  };

  classify(0);
  for (int r = 0; r < height; ++r) {
    if (r + 1 < height) classify(r + 1);
    const std::uint8_t* kinds = kindRows_[r % 3];
    std::uint8_t* out = ImagePixel(0, height - 1 - r, width);
    if (r == 0 || r == height - 1 || width < 3) {
      StoreRow(out, width, [&](int c) { return kEdge[kinds[c]]; });
      continue;
    }
    const std::uint8_t* above = seaNearRows_[(r + 2) % 3];
    const std::uint8_t* here = seaNearRows_[r % 3];
    const std::uint8_t* below = seaNearRows_[(r + 1) % 3];
    for (int c = 1; c < width - 1; c += 8) {
      Store8(lookup_ + c,
             (Load8(kinds + c) << 1) | Load8(above + c) | Load8(here + c) | Load8(below + c));
    }
    const std::uint8_t* lookup = lookup_;
    StoreRow(out, width, [&](int c) { return kInner[lookup[c] & 7]; });
    StorePixel(out, kEdge[kinds[0]]);
    StorePixel(out + (width - 1) * kImageBytesPerPixel, kEdge[kinds[width - 1]]);
  }
}

}  // namespace groundmap
