#pragma once
// The loaded ground map and its gnomonic (central) projection about the map centre, both ways.
// Map pixel x grows eastward and y southward (north up); row 0 is the northern edge.

#include <cstdint>

namespace groundmap {

inline constexpr int kMaxMapWidth = 3200;
inline constexpr int kMaxMapHeight = 2400;
inline constexpr int kMaxMapPixels = kMaxMapWidth * kMaxMapHeight;

// The one loaded map. Written only by LoadGroundMap (and by tests that set up a geometry).
struct MapProjection {
  std::int32_t CX = 0;     // width in map pixels, at most kMaxMapWidth
  std::int32_t CY = 0;     // height in map pixels, at most kMaxMapHeight
  double centreLon = 0.0;  // degrees, east positive, -180 .. 180
  double centreLat = 0.0;  // degrees, north positive
  double halfFov = 0.0;    // degrees from the centre to the middle of the left and right edges
  double scale = 0.0;      // map pixels per unit of tangent; 0 while no map is loaded
  // CX x CY levels (0 sea, 1..15 land), pixel (x, y) at y * CX + x. Points into one of the two
  // fixed buffers of kMaxMapPixels bytes that the loader alternates between.
  const std::uint8_t* raster = nullptr;
};

extern MapProjection mapProjection;

// (CX / 2, halved by integer division) / tan(halfFov): the scale the loader gives a map.
double MapScale(int cx, double halfFovDeg);

// Sets the geometry of mapProjection (scale from MapScale) over a raster of at least cx * cy
// bytes that the caller keeps alive: for tools that sample a map before it exists. A centre
// longitude beyond +-180 is taken as the same meridian within -180 .. 180 (exactly: x - n * 360).
void SetMapGeometry(int cx, int cy, double centreLonDeg, double centreLatDeg, double halfFovDeg,
                    const std::uint8_t* raster);

// Map pixel of (lon, lat) in degrees; x and y are written in every case. 1 when the point lies
// inside the map (0 <= x < CX, 0 <= y < CY), else 0. A point within a tenth of a pixel of the
// centre (every point, with no map) lands on (CX / 2, CY / 2) by integer halving. A point 90
// degrees or more from the centre has no image: it is reported outside, 1e6 pixels from the
// centre in its direction, so that lines toward it leave the picture the right way; so is a point
// whose image lies farther than that (within about 0.3 degree of 90 on the shipped map).
int GmapLonLatToPixel(double lon, double lat, double* x, double* y);
// The same on the map given: for any thread, on a copy of mapProjection.
int MapLonLatToPixel(const MapProjection& map, double lon, double lat, double* x, double* y);

// Longitude and latitude (degrees) under map pixel (px, py). The longitude is centreLon plus a
// difference in (-180, 180], not folded: a map across 180 degrees gives longitudes beyond it.
// With no map (scale 0) every pixel gives the centre.
void GmapPixelToLonLat(int px, int py, double* lon, double* lat);

}  // namespace groundmap
