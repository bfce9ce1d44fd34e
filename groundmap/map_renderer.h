#pragma once
// Draws the picture of the "Ground Map" page into mapImage: the ground map as grey levels, a
// longitude and latitude grid, and either the marked results (event, lines of sight to both
// stations, station crosses and names) or, while the Change Pos dialog is open, the two
// stations' rays; and fills the label table that the page paints over the image. Window-free:
// the page derives from it, sets the picture size and the active flag, and repaints when told.
//
// Reads mapProjection, the pair and result tables, the record store, selectionState, dateRange
// and AP (bw, g_line, g_zoom, g_ofh, g_ofv); writes the pairs' "work" cells, mapView and, when it
// brings the view back inside the map, AP.g_ofh and AP.g_ofv.

#include <cstdint>

#include "groundmap/base_map_painter.h"
#include "groundmap/map_image.h"
#include "groundmap/map_label.h"
#include "groundmap/map_view.h"

struct ObservationRecord;

namespace groundmap {

// Colour codes of PlotPixel (blue, green, red in colour mode; black in mono chrome).
enum PixelCode : int {
  kCodeWhite = 0,       // 255 255 255
  kCodeYellow = 1,      // 0 255 255
  kCodeGreen = 2,       // 0 180 0, never over a pixel whose red is 255
  kCodeDarkBlue = 3,    // 80 0 0
  kCodeLightGreen = 5,  // 80 200 0, never over a pixel whose red is 255
};

class MapRenderer {
 public:
  MapRenderer() = default;
  virtual ~MapRenderer() = default;
  MapRenderer(const MapRenderer&) = delete;
  MapRenderer& operator=(const MapRenderer&) = delete;

  // Under the wait cursor: the image takes the picture size, the zoom and the view centre come
  // from AP (the map centre plus the offsets), then Render. A zoom of 0 or less (only typing can
  // give one) renders nothing and leaves the last picture; a non-finite offset is taken as 0.
  void Redraw();
  // Draws the whole W x H image for the current mapView zoom and view centre (clamped into the
  // map first), fills the labels and restarts the bounding box; with no map loaded only the
  // outside shade. Repaints the picture when the page is active.
  void Render();

  // Picture coordinates of (lon, lat): x from the left, y from the bottom, both fractional;
  // points off the picture give coordinates off it.
  void GmapLonLatToScreen(double lon, double lat, double* sx, double* sy) const;

  // One result row: its event marker, the lines to both stations (AP.g_line), the station
  // crosses and, at the pair's first drawn result, the station names; widens the bounding box.
  void DrawResult(std::int32_t row);
  // The rays of sight of one record, 30 degrees of arc long; the highlighted click's ray in white
  // (which 0, the first station) or yellow (which 1), the others green; its cross and name.
  void DrawStationRays(const ObservationRecord* record, int highlight, int which);
  // The straight picture line between two points, walked one pixel per column (or per row when
  // steep). Coincident ends draw nothing.
  void DrawLine(double lon1, double lat1, double lon2, double lat2, int code);
  // At picture coordinates (x, y from the bottom): a filled disc of radius size for size 2 or
  // more, a three-pixel cross for a negative size.
  void DrawMarker(double x, double y, int code, int size);
  // One pixel (row from the bottom) in the code's colour; off the picture nothing.
  void PlotPixel(int x, int row, int code);

  // The picture: W a multiple of 4 and at most 1920, H at most 1200; nothing is drawn until
  // both are positive.
  std::int32_t W = 0;
  std::int32_t H = 0;
  MapLabel labels[kMaxMapLabels];
  std::int32_t labelCount = 0;
  std::int32_t active = 0;  // 1 while the page is the active page of its holder

 protected:
  // Asks the page to paint the picture again (the whole of it); the page overrides it.
  virtual void RepaintPicture() {}

 private:
  bool PictureSizeValid() const;
  void ClampViewCentre(double* d, double* e);
  void PlaceOrigin();
  void DrawGrid();
  void DrawContent();
  void DrawInfoLabel();
  void DrawFrame();
  void WidenBox(double lon, double lat);
  void WalkLine(double x1, double y1, double x2, double y2, int code);
  void PlotRounded(double x, double y, int code);
  // A label at picture (x, y from the top); dropped once the table is full, text cut at 255.
  void AddLabel(double x, double y, std::uint32_t color, const char* text);
  MapLabel* NextLabel();

  BaseMapPainter basePainter_;
};

}  // namespace groundmap
