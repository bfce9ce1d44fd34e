#pragma once
// What part of the map the picture shows, and the extent of what the last render drew.

#include <cstdint>

namespace groundmap {

struct MapView {
  double viewCentreLon = 0.0;  // degrees at the middle of the picture
  double viewCentreLat = 0.0;
  double mapPerScreen = 0.0;  // map pixels per picture pixel: 10 / AP.g_zoom
  std::int32_t topLeftX = 0;  // map pixel under the picture's top-left corner, never negative
  std::int32_t topLeftY = 0;
  // Degrees: the result events and stations drawn by the last render, started from the view
  // centre's clamp limits, so that "center" can go to their middle.
  double minLon = 0.0;
  double maxLon = 0.0;
  double minLat = 0.0;
  double maxLat = 0.0;
};

extern MapView mapView;

}  // namespace groundmap
