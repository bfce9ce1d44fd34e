#include "groundmap/base_map_painter.h"

#include <array>
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

// For 8 levels, 1 in each byte whose level (low 4 bits) is 0, sea, else 0. A nibble plus 15
// has bit 4 set exactly when the nibble is not 0, and cannot carry into the next byte.
std::uint64_t SeaOf8(std::uint64_t levels) {
  constexpr std::uint64_t kNibbles = 0x0F0F0F0F0F0F0F0Full;
  constexpr std::uint64_t kLowBits = 0x0101010101010101ull;
  return (((levels & kNibbles) + kNibbles) >> 4 & kLowBits) ^ kLowBits;
}

// Bytes 0, 2, 4 and 6 of v as bytes 0 to 3.
std::uint64_t EvenBytes(std::uint64_t v) {
  v &= 0x00FF00FF00FF00FFull;
  v = (v | v >> 8) & 0x0000FFFF0000FFFFull;
  return (v | v >> 16) & 0xFFFFFFFFull;
}

// Mono chrome colours of the inner pixels by index: inland, sea, outside, coast.
constexpr std::uint32_t kMonoColours[4] = {kMonoInland, kMonoSea, kOutside, kMonoCoast};

// The 12 bytes of 4 consecutive inner pixels for each byte of their 2-bit colour indices
// (the first pixel in the low bits), padded to 16 so that a group is one store.
constexpr std::array<std::array<std::uint8_t, 16>, 256> MonoGroups() {
  std::array<std::array<std::uint8_t, 16>, 256> groups{};
  for (int index = 0; index < 256; ++index) {
    for (int pixel = 0; pixel < 4; ++pixel) {
      const std::uint32_t bgr = kMonoColours[(index >> (2 * pixel)) & 3];
      for (int byte = 0; byte < 3; ++byte) {
        groups[index][pixel * 3 + byte] = static_cast<std::uint8_t>(bgr >> (8 * byte));
      }
    }
  }
  return groups;
}
constexpr std::array<std::array<std::uint8_t, 16>, 256> kMonoGroups = MonoGroups();

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
  columnStride_ = 0;
  for (const int stride : {1, 2}) {
    bool even = true;
    for (int c = 1; c < onMap && even; ++c) even = columnMap_[c] - columnMap_[c - 1] == stride;
    if (even) {
      columnStride_ = stride;
      break;
    }
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
  // written once, without branches, as coasts defeat branch prediction; the neighbour tests run
  // on 8 pixels at a time. Kinds: land 0, sea 1 (the bit the neighbour test ors), outside 2.
  constexpr std::uint8_t kOutsideKind = 2;
  constexpr std::uint64_t kLowBits = 0x0101010101010101ull;
  constexpr std::uint32_t kEdge[3] = {kMonoLand, kMonoSea, kOutside};

  // Row r's kinds, and whether each column or one beside it shows sea.
  auto classify = [&](int r) {
    std::uint8_t* kinds = kindRows_[r % 3];
    std::uint8_t* seaNear = seaNearRows_[r % 3];
    const std::uint8_t* mapRow = MapRowOf(r, mapPerScreen, originY);
    const int rowOnMap = mapRow != nullptr ? onMap : 0;
    int c = 0;
    if (rowOnMap > 0) {
      // At 1 or 2 map pixels per picture pixel the row's levels lie side by side or every other
      // byte, so 8 of them are tested at once; the loads stay within the columns shown.
      const std::uint8_t* levels = mapRow + columnMap_[0];
      if (columnStride_ == 1) {
        for (; c + 8 <= rowOnMap; c += 8) Store8(kinds + c, SeaOf8(Load8(levels + c)));
      } else if (columnStride_ == 2) {
        for (; c + 9 <= rowOnMap; c += 8) {
          const std::uint64_t low = EvenBytes(SeaOf8(Load8(levels + 2 * c)));
          const std::uint64_t high = EvenBytes(SeaOf8(Load8(levels + 2 * c + 8)));
          Store8(kinds + c, low | high << 32);
        }
      }
    }
    for (; c < rowOnMap; ++c) {
      kinds[c] = static_cast<std::uint8_t>((mapRow[columnMap_[c]] & 15) == 0);
    }
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
    // Colour indices (see kMonoGroups), 2 bits each, packed 4 pixels to a byte. Land with sea
    // near is coast (3); the kinds are the indices of everything else. Column 0 and the bytes
    // past the row's end may be stale: the first and last pixels are rewritten below.
    for (int c = 0; c < width; c += 8) {
      const std::uint64_t kind = Load8(kinds + c);
      const std::uint64_t seaNear = Load8(above + c) | Load8(here + c) | Load8(below + c);
      const std::uint64_t land = ~(kind | kind >> 1) & kLowBits;
      const std::uint64_t colour = kind | (seaNear & land) * 3;
      const std::uint64_t pairs = colour | colour >> 6;  // byte k: pixels k and k + 1
      const std::uint64_t quads = pairs | pairs >> 12;   // byte k: pixels k to k + 3
      groupIndex_[c / 4] = static_cast<std::uint8_t>(quads);
      groupIndex_[c / 4 + 1] = static_cast<std::uint8_t>(quads >> 32);
    }
    // One 16-byte store per 4 pixels; its last 4 bytes are overwritten by the next group, so
    // it may only run while the store ends within the row.
    int c = 0;
    for (; c + 6 <= width; c += 4) {
      std::memcpy(out + c * kImageBytesPerPixel, kMonoGroups[groupIndex_[c / 4]].data(), 16);
    }
    for (; c < width; ++c) {
      StorePixel(out + c * kImageBytesPerPixel,
                 kMonoColours[(groupIndex_[c / 4] >> (2 * (c % 4))) & 3]);
    }
    StorePixel(out, kEdge[kinds[0]]);
    StorePixel(out + (width - 1) * kImageBytesPerPixel, kEdge[kinds[width - 1]]);
  }
}

}  // namespace groundmap
