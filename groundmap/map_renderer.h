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
#include <vector>

#include "groundmap/base_map_painter.h"
#include "groundmap/map_image.h"
#include "groundmap/map_label.h"
#include "groundmap/map_projection.h"
#include "groundmap/map_view.h"
#include "groundmap/picture_canvas.h"

struct ObservationRecord;
class CUTable;

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
  // What Render would leave of the view, without drawing: the clamped view centre (and offsets),
  // the origin and the bounding box of the marked results and their stations. For a command
  // that re-centres at once, whose own render then replaces the one it would have drawn.
  void PlaceView();

  // While set, Redraw places the view (PlaceView) instead of rendering.
  bool placeViewOnly = false;

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
  // A pair's two stations as a render draws them: their degrees as the cells hold them, their
  // picture coordinates, and whether their crosses were drawn yet in this render. The crosses
  // of the pair's later results fall on pixels that are already final (yellow in colour mode,
  // black in mono chrome, and no later code of a result covers either), so drawing them once is
  // the same picture.
  struct PairStations {
    std::uint32_t render = 0;  // the render these values belong to; 0 none
    double lon[2] = {}, lat[2] = {};
    double sx[2] = {}, sy[2] = {};
    bool crossDrawn[2] = {};
  };
  // Degrees to picture coordinates as GmapLonLatToScreen turns them, as a value: the map's
  // projection and the view's origin and scale, taken before a render's workers start.
  struct ScreenPlacement {
    MapProjection map;
    std::int32_t topLeftX, topLeftY;
    double mapPerScreen;
    std::int32_t H;
    void ToScreen(double lon, double lat, double* sx, double* sy) const;
  };
  // What one marked result draws, in picture coordinates; its pair's stations or null.
  struct ResultDraw {
    double eventLon, eventLat;  // degrees as the cells hold them
    double ex, ey;
    const PairStations* stations;
    bool selected;
    bool cross[2];
    int rowLo, rowHi;  // the image rows it can touch, both included
  };

  bool PictureSizeValid() const;
  // Steps 1 to 5 of a render: labels and the pairs' work cells reset, view clamped, bounding box
  // started and origin placed. False when there is nothing to draw on (no size, no zoom, no map).
  bool BeginRender(bool* haveMap);
  void ClampViewCentre(double* d, double* e);
  void PlaceOrigin();
  void DrawGrid();
  void DrawContent();
  void DrawInfoLabel();
  void DrawFrame();
  void WidenBox(double lon, double lat);
  // The marked results in row order; each pair's stations read and projected once.
  void DrawResults();
  // Everything of a result but its pixels: the bounding box, the pair's labels and work cell,
  // and which of its station crosses are still to draw.
  static void SetRowExtent(ResultDraw* draw);
  ScreenPlacement Placement() const;
  // The event's degrees and picture position (draw's other fields cleared): for any thread.
  static void PlaceEvent(const CUTable& results, const ScreenPlacement& placement,
                         std::int32_t row, ResultDraw* draw);
  // placed: filled by PlaceEvent.
  void LayOutResult(std::int32_t row, std::int32_t pairRow, PairStations* stations,
                    ResultDraw* placed);
  // The pens of a result's parts, for the current colour mode and line setting.
  struct ResultPens {
    int eventSize;
    Pen event, station, line, selectedLine;
    bool lines;
  };
  ResultPens PensOfResults() const;
  // The pixels of one result that fall in the band: for any thread, each with a band of its own.
  static void DrawResultPixels(const ResultDraw& draw, const Band& band, const ResultPens& pens,
                               PictureCanvas* canvas);
  void DrawResultWith(std::int32_t row, std::int32_t pairRow, PairStations* stations);
  void LoadPairStations(std::int32_t pairRow, PairStations* stations) const;
  void WidenBoxByResults();
  Pen PenOf(int code) const;
  // The picture, W x H in mapImage.
  PictureCanvas Canvas() const;
  // A label at picture (x, y from the top); dropped once the table is full, text cut at 255.
  void AddLabel(double x, double y, std::uint32_t color, const char* text);
  MapLabel* NextLabel();

  BaseMapPainter basePainter_;
  // Indexed by pair row; grows with the pair table, kept between renders.
  std::vector<PairStations> pairStations_;
  std::vector<std::int32_t> drawRows_;   // the marked results of a render, in row order
  std::vector<ResultDraw> resultDraws_;  // what each of them draws
  std::uint32_t renderNumber_ = 0;
};

}  // namespace groundmap
