#include "groundmap/map_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "geo/earth.h"
#include "groundmap/map_projection.h"
#include "params/app_params.h"
#include "platform/c_locale.h"
#include "platform/platform.h"
#include "ulib/parallel_chunks.h"
#include "ulib/table_cell.h"

namespace groundmap {
namespace {

constexpr double kRayArcDeg = 30.0;  // length of a ray of sight in pair view
constexpr int kCoarseGridStep = 2;   // degrees, below zoom 3
// Below this many marked results one core draws them all; a band is at least this many rows.
constexpr std::size_t kMinResultsForBands = 2000;
constexpr std::int32_t kBandRows = 16;
constexpr int kRowExtentMargin = 8;
constexpr std::int32_t kMinResultsPerProjectionPart = 4096;

// Truncation toward zero of a value that may lie far outside the int range (a far point, an
// extreme zoom): clamped first, so no out-of-range double is ever converted. NaN gives 0.
int TruncToInt(double value) {
  constexpr double kLimit = 1 << 30;
  if (std::isnan(value)) return 0;
  if (value <= -kLimit) return -static_cast<int>(kLimit);
  if (value >= kLimit) return static_cast<int>(kLimit);
  return static_cast<int>(value);
}

// Blue, green and red of the codes 0 to 5 in colour mode; 4, like any other code, draws nothing.
constexpr std::uint8_t kCodeColours[6][3] = {{255, 255, 255}, {0, 255, 255}, {0, 180, 0},
                                             {80, 0, 0},      {0, 0, 0},     {80, 200, 0}};

bool CodeDraws(int code) { return code >= 0 && code <= kCodeLightGreen && code != 4; }

float CellFloat(const CUTable* table, std::int32_t row, std::int32_t column) {
  return ReadCellFloat(table->LiveCell(row, column));
}

std::int32_t CellInt(const CUTable* table, std::int32_t row, std::int32_t column) {
  return ReadCellInt(table->LiveCell(row, column));
}

bool LivePair(std::int32_t row) { return pairTable != nullptr && pairTable->RowExists(row) != 0; }

bool LiveResult(std::int32_t row) {
  return resultTable != nullptr && resultTable->RowExists(row) != 0;
}

const ObservationRecord* RecordAt(std::int32_t index) {
  RecordStore& store = theRecordStore();
  if (index < 0 || index >= store.recordCount || index >= kMaxRecords) return nullptr;
  return &store.records[index];
}

}  // namespace

bool MapRenderer::PictureSizeValid() const {
  return W > 0 && W <= kMaxImageWidth && H > 0 && H <= kMaxImageHeight;
}

void MapRenderer::Redraw() {
  if (!(AP.g_zoom > 0.0f) || !std::isfinite(AP.g_zoom)) return;
  platform::WaitCursor wait;
  mapImage.header.biWidth = W;
  mapImage.header.biHeight = H;
  mapView.mapPerScreen = 10.0 / AP.g_zoom;
  if (!std::isfinite(AP.g_ofh)) AP.g_ofh = 0.0f;
  if (!std::isfinite(AP.g_ofv)) AP.g_ofv = 0.0f;
  mapView.viewCentreLon = mapProjection.centreLon + AP.g_ofh;
  mapView.viewCentreLat = mapProjection.centreLat + AP.g_ofv;
  if (placeViewOnly) {
    PlaceView();
  } else {
    Render();
  }
}

bool MapRenderer::BeginRender(bool* haveMap) {
  labelCount = 0;
  if (pairTable != nullptr) {
    for (std::int32_t row = 0; row < pairTable->rowCount; ++row) {
      if (pairTable->RowExists(row)) WriteCellInt(pairTable->CellForWrite(row, kPairWork), 0);
    }
  }
  *haveMap = false;
  const double s = mapView.mapPerScreen;
  if (!PictureSizeValid() || !(s > 0.0) || !std::isfinite(s)) return false;

  if (!(mapProjection.scale > 0.0)) {
    // No map: nothing to place anything on.
    mapView.minLon = mapView.maxLon = mapProjection.centreLon;
    mapView.minLat = mapView.maxLat = mapProjection.centreLat;
    mapView.topLeftX = mapView.topLeftY = 0;
    return true;
  }
  *haveMap = true;
  double d, e;
  ClampViewCentre(&d, &e);
  // Each extreme starts at the opposite clamp limit, so the first drawn point sets both.
  mapView.minLon = mapProjection.centreLon + d;
  mapView.maxLon = mapProjection.centreLon - d;
  mapView.minLat = mapProjection.centreLat + e;
  mapView.maxLat = mapProjection.centreLat - e;
  PlaceOrigin();
  return true;
}

void MapRenderer::Render() {
  bool haveMap;
  if (!BeginRender(&haveMap)) return;
  const double s = mapView.mapPerScreen;
  const bool mono = AP.bw != 0;
  if (!haveMap) {
    basePainter_.Paint(W, H, s, 0, 0, false);
  } else {
    basePainter_.Paint(W, H, s, mapView.topLeftX, mapView.topLeftY, mono);
    DrawGrid();
    DrawContent();
    if (mono) DrawFrame();
  }
  if (active) RepaintPicture();
}

void MapRenderer::PlaceView() {
  bool haveMap;
  if (!BeginRender(&haveMap) || !haveMap) return;
  // Only the results widen the box; pair view leaves it at its start.
  if (!selectionState.pairView) WidenBoxByResults();
}

void MapRenderer::WidenBoxByResults() {
  if (resultTable == nullptr) return;
  for (std::int32_t row = 0; row < resultTable->rowCount; ++row) {
    if (!resultTable->RowExists(row)) continue;
    if (ReadCellUint(resultTable->LiveCell(row, kResultMark)) == 0) continue;
    WidenBox(CellFloat(resultTable, row, kResultLng), CellFloat(resultTable, row, kResultLat));
    const std::int32_t pairRow = CellInt(resultTable, row, kResultRline);
    if (!LivePair(pairRow)) continue;
    WidenBox(CellFloat(pairTable, pairRow, kPairLng1), CellFloat(pairTable, pairRow, kPairLat1));
    WidenBox(CellFloat(pairTable, pairRow, kPairLng2), CellFloat(pairTable, pairRow, kPairLat2));
  }
}

void MapRenderer::ClampViewCentre(double* d, double* e) {
  const MapProjection& map = mapProjection;
  const double s = mapView.mapPerScreen;
  double lon, lat;
  // 2.1, not 2: the view stops a little short of the map's east and west edges.
  const int hx = TruncToInt((map.CX - W * s) / 2.1);
  GmapPixelToLonLat(TruncToInt(map.CX * 0.5 - hx), TruncToInt(map.CY * 0.5), &lon, &lat);
  *d = map.centreLon - lon;
  if (mapView.viewCentreLon > map.centreLon + *d) {
    mapView.viewCentreLon = map.centreLon + *d;
    AP.g_ofh = static_cast<float>(*d);
  }
  if (mapView.viewCentreLon < map.centreLon - *d) {
    mapView.viewCentreLon = map.centreLon - *d;
    AP.g_ofh = static_cast<float>(-*d);
  }

  const int hy = TruncToInt((map.CY - H * s) * 0.5);
  GmapPixelToLonLat(TruncToInt(map.CX * 0.5), TruncToInt(map.CY * 0.5 - hy), &lon, &lat);
  *e = lat - map.centreLat;
  if (mapView.viewCentreLat > map.centreLat + *e) {
    mapView.viewCentreLat = map.centreLat + *e;
    AP.g_ofv = static_cast<float>(*e);
  }
  if (mapView.viewCentreLat < map.centreLat - *e) {
    mapView.viewCentreLat = map.centreLat - *e;
    AP.g_ofv = static_cast<float>(-*e);
  }
}

void MapRenderer::PlaceOrigin() {
  const MapProjection& map = mapProjection;
  const double s = mapView.mapPerScreen;
  double x, y;
  int cx, cy;
  if (GmapLonLatToPixel(mapView.viewCentreLon, mapView.viewCentreLat, &x, &y)) {
    cx = TruncToInt(x + 0.5);
    cy = TruncToInt(y + 0.5);
  } else {
    cx = TruncToInt(map.CX * 0.5);
    cy = TruncToInt(map.CY * 0.5);
  }
  mapView.topLeftX = std::max(0, TruncToInt(cx - W * 0.5 * s + 0.5));
  mapView.topLeftY = std::max(0, TruncToInt(cy - H * 0.5 * s + 0.5));
}

void MapRenderer::DrawGrid() {
  const MapProjection& map = mapProjection;
  const int corners[6][2] = {{0, 0},      {0, map.CY},     {map.CX / 2, 0}, {map.CX / 2, map.CY},
                             {map.CX, 0}, {map.CX, map.CY}};
  double lonMax = -180.0, lonMin = 180.0, latMin = 90.0, latMax = -90.0;
  for (const auto& corner : corners) {
    double lon, lat;
    GmapPixelToLonLat(corner[0], corner[1], &lon, &lat);
    lonMax = std::max(lonMax, lon);
    lonMin = std::min(lonMin, lon);
    latMin = std::min(latMin, lat);
    latMax = std::max(latMax, lat);
  }
  const int lonHi = TruncToInt(lonMax + 1);
  const int lonLo = TruncToInt(lonMin - 1);
  const int latLo = TruncToInt(latMin - 1);
  const int latHi = TruncToInt(latMax + 1);
  const int step = AP.g_zoom < 3.0f ? kCoarseGridStep : 1;
  // lonLo rounded toward zero to a multiple of the step; the parallels start at latLo itself.
  const int lonStart = lonLo - lonLo % step;
  for (int lon = lonStart; lon < lonHi; lon += step) {
    DrawLine(lon, latLo, lon, latHi, kCodeDarkBlue);
  }
  // Parallels are not straight in this projection: chords of one step each.
  for (int lat = latLo; lat < latHi; lat += step) {
    for (int lon = lonStart; lon < lonHi + 1; lon += step) {
      DrawLine(lon, lat, lon + step, lat, kCodeDarkBlue);
    }
  }
}

void MapRenderer::DrawContent() {
  const SelectionState& selection = selectionState;
  if (selection.pairView) {
    // Only a live selected result of a live pair has records to show.
    if (!LiveResult(selection.selectedResult)) return;
    const std::int32_t pairRow = CellInt(resultTable, selection.selectedResult, kResultRline);
    if (!LivePair(pairRow)) return;
    const ObservationRecord* first = RecordAt(CellInt(pairTable, pairRow, kPairRec1));
    const ObservationRecord* second = RecordAt(CellInt(pairTable, pairRow, kPairRec2));
    if (first != nullptr) DrawStationRays(first, selection.highlight1, 0);
    if (second != nullptr) DrawStationRays(second, selection.highlight2, 1);
    return;
  }
  DrawResults();
  DrawInfoLabel();
}

void MapRenderer::DrawInfoLabel() {
  MapLabel* label = NextLabel();
  if (label == nullptr) return;
  label->x = 10;
  label->y = H - 24;
  label->color = kLabelWhite;
  const std::int32_t result = selectionState.selectedResult;
  const std::int32_t pair = selectionState.selectedPair;
  char* text = label->text;
  const std::size_t size = sizeof label->text;
  if (result >= 0 && LiveResult(result) && LivePair(CellInt(resultTable, result, kResultRline))) {
    const std::int32_t pairRow = CellInt(resultTable, result, kResultRline);
    platform::FormatC(
        text, size, "%s lng=%.4f lat=%.4f H1=%.1f H2=%.1f dH=%.2f LD1=%.1f LD2=%.1f",
        pairTable->GetStringOrEmpty(pairRow, kPairLocaltime),
        CellFloat(resultTable, result, kResultLng), CellFloat(resultTable, result, kResultLat),
        CellFloat(resultTable, result, kResultH1), CellFloat(resultTable, result, kResultH2),
        CellFloat(resultTable, result, kResultDH), CellFloat(resultTable, result, kResultLd1),
        CellFloat(resultTable, result, kResultLd2));
  } else if (pair >= 0 && LivePair(pair)) {
    platform::FormatC(text, size, "%s %s %s", pairTable->GetStringOrEmpty(pair, kPairLocaltime),
                      pairTable->GetStringOrEmpty(pair, kPairId1),
                      pairTable->GetStringOrEmpty(pair, kPairId2));
  } else {
    const DateRange& range = dateRange;
    platform::FormatC(text, size, "%04d/%02d/%02d .. %04d/%02d/%02d", range.date1.year,
                      range.date1.month, range.date1.day, range.date2.year, range.date2.month,
                      range.date2.day);
  }
}

void MapRenderer::DrawFrame() {
  for (int row = 0; row < H; ++row) {
    PlotPixel(0, row, kCodeYellow);
    PlotPixel(W - 1, row, kCodeYellow);
  }
  for (int x = 0; x < W; ++x) {
    PlotPixel(x, 0, kCodeYellow);
    PlotPixel(x, H - 1, kCodeYellow);
  }
}

void MapRenderer::WidenBox(double lon, double lat) {
  if (mapView.minLon > lon) mapView.minLon = lon;
  if (lon > mapView.maxLon) mapView.maxLon = lon;
  if (mapView.minLat > lat) mapView.minLat = lat;
  if (lat > mapView.maxLat) mapView.maxLat = lat;
}

void MapRenderer::DrawResults() {
  if (resultTable == nullptr) return;
  if (++renderNumber_ == 0) ++renderNumber_;
  if (pairTable != nullptr && pairStations_.size() < static_cast<std::size_t>(pairTable->rowCount)) {
    pairStations_.resize(static_cast<std::size_t>(pairTable->rowCount));
  }
  drawRows_.clear();
  for (std::int32_t row = 0; row < resultTable->rowCount; ++row) {
    if (!resultTable->RowExists(row)) continue;
    if (ReadCellUint(resultTable->LiveCell(row, kResultMark)) == 0) continue;
    drawRows_.push_back(row);
  }
  // The events' picture positions on all cores (the projection is most of a result's layout),
  // then the rest of the layout in row order, as the labels and crosses depend on it.
  resultDraws_.resize(drawRows_.size());
  {
    // What the workers read, handed to them before they start.
    const CUTable& results = *resultTable;
    const ScreenPlacement placement = Placement();
    const std::vector<std::int32_t>& rows = drawRows_;
    std::vector<ResultDraw>& draws = resultDraws_;
    const auto count = static_cast<std::int32_t>(rows.size());
    RunInBatches(count, BatchPerCore(count, kMinResultsPerProjectionPart),
                 [&results, &placement, &rows, &draws](const Batch& batch) {
                   for (std::int32_t n = batch.begin; n < batch.end; ++n) {
                     PlaceEvent(results, placement, rows[n], &draws[n]);
                   }
                 });
  }
  for (std::size_t n = 0; n < drawRows_.size(); ++n) {
    const std::int32_t row = drawRows_[n];
    const std::int32_t pairRow = CellInt(resultTable, row, kResultRline);
    PairStations* stations = nullptr;
    if (LivePair(pairRow)) {
      stations = &pairStations_[static_cast<std::size_t>(pairRow)];
      if (stations->render != renderNumber_) {
        LoadPairStations(pairRow, stations);
        stations->render = renderNumber_;
      }
    }
    LayOutResult(row, pairRow, stations, &resultDraws_[n]);
  }
  // The pixels in bands of rows, taken up by the cores one band after another: within a band
  // every pixel is written in the order of the whole picture, so the bands together are the
  // picture drawn in one go. Thin bands share out the rows the lines crowd; a few results are
  // not worth the threads.
  const std::int32_t bands = (H + kBandRows - 1) / kBandRows;
  const ResultPens pens = PensOfResults();
  const std::vector<ResultDraw>& draws = resultDraws_;
  PictureCanvas canvas = Canvas();
  const std::int32_t rows = H;
  auto drawBands = [&pens, &draws, &canvas, rows](const Batch& batch) {
    for (std::int32_t b = batch.begin; b < batch.end; ++b) {
      const Band band{b * kBandRows, std::min(rows, (b + 1) * kBandRows)};
      for (const ResultDraw& draw : draws) {
        if (draw.rowHi < band.lo || draw.rowLo >= band.hi) continue;
        DrawResultPixels(draw, band, pens, &canvas);
      }
    }
  };
  if (draws.size() < kMinResultsForBands) {
    drawBands(Batch{0, 0, 0, bands});
  } else {
    RunInBatches(bands, 1, drawBands);
  }
}

void MapRenderer::LoadPairStations(std::int32_t pairRow, PairStations* stations) const {
  constexpr PairColumn kLng[2] = {kPairLng1, kPairLng2};
  constexpr PairColumn kLat[2] = {kPairLat1, kPairLat2};
  for (int k = 0; k < 2; ++k) {
    stations->lon[k] = CellFloat(pairTable, pairRow, kLng[k]);
    stations->lat[k] = CellFloat(pairTable, pairRow, kLat[k]);
    GmapLonLatToScreen(stations->lon[k], stations->lat[k], &stations->sx[k], &stations->sy[k]);
    stations->crossDrawn[k] = false;
  }
}

void MapRenderer::DrawResult(std::int32_t row) {
  if (!LiveResult(row)) return;
  const std::int32_t pairRow = CellInt(resultTable, row, kResultRline);
  PairStations stations;
  if (!LivePair(pairRow)) {
    DrawResultWith(row, pairRow, nullptr);
    return;
  }
  LoadPairStations(pairRow, &stations);
  DrawResultWith(row, pairRow, &stations);
}

void MapRenderer::SetRowExtent(ResultDraw* draw) {
  // Rows a result's marker, lines and crosses can touch: its points' rows, widened well past
  // what a marker or the walk's rounding adds. Points that are not finite draw nothing.
  double lo = std::numeric_limits<double>::infinity(), hi = -lo;
  auto take = [&lo, &hi](double x, double y) {
    if (!Finite(x, y)) return;
    lo = std::min(lo, y);
    hi = std::max(hi, y);
  };
  take(draw->ex, draw->ey);
  if (draw->stations != nullptr) {
    for (int k = 0; k < 2; ++k) take(draw->stations->sx[k], draw->stations->sy[k]);
  }
  if (lo > hi) {
    draw->rowLo = 1, draw->rowHi = 0;
    return;
  }
  draw->rowLo = TruncToInt(lo) - kRowExtentMargin;
  draw->rowHi = TruncToInt(hi) + kRowExtentMargin;
}

void MapRenderer::PlaceEvent(const CUTable& results, const ScreenPlacement& placement,
                             std::int32_t row, ResultDraw* draw) {
  *draw = ResultDraw{};
  draw->eventLon = CellFloat(&results, row, kResultLng);
  draw->eventLat = CellFloat(&results, row, kResultLat);
  placement.ToScreen(draw->eventLon, draw->eventLat, &draw->ex, &draw->ey);
}

// stations: the pair's, null when the pair row is not live (only the event is drawn then).
void MapRenderer::LayOutResult(std::int32_t row, std::int32_t pairRow, PairStations* stations,
                               ResultDraw* placed) {
  ResultDraw& draw = *placed;
  WidenBox(draw.eventLon, draw.eventLat);
  draw.stations = stations;
  SetRowExtent(&draw);
  if (stations == nullptr) return;

  draw.selected = pairRow == selectionState.selectedPair || row == selectionState.selectedResult;
  constexpr PairColumn kIds[2] = {kPairId1, kPairId2};
  void* work = pairTable->CellForWrite(pairRow, kPairWork);
  for (int k = 0; k < 2; ++k) {
    WidenBox(stations->lon[k], stations->lat[k]);
    draw.cross[k] = !stations->crossDrawn[k];
    // Only within one render: a lone DrawResult keeps no record of what it drew.
    stations->crossDrawn[k] = stations->render != 0;
    // Each pair's two names once per render, at its first drawn result.
    if (ReadCellInt(work) == 0) {
      if (k == 1) WriteCellInt(work, 1);
      AddLabel(stations->sx[k] - 2, H - 1 - stations->sy[k] + 4, kLabelWhite,
               pairTable->GetStringOrEmpty(pairRow, kIds[k]));
    }
  }
}

MapRenderer::ResultPens MapRenderer::PensOfResults() const {
  const bool mono = AP.bw != 0;
  ResultPens pens;
  pens.eventSize = mono ? 3 : -1;  // a disc in mono chrome, else a cross
  pens.event = PenOf(kCodeYellow);
  pens.station = PenOf(mono ? kCodeWhite : kCodeYellow);
  pens.line = PenOf(kCodeGreen);
  pens.selectedLine = PenOf(kCodeLightGreen);
  pens.lines = AP.g_line != 0;
  return pens;
}

// The event's marker, then for each station its line (AP.g_line) and cross.
void MapRenderer::DrawResultPixels(const ResultDraw& draw, const Band& band,
                                   const ResultPens& pens, PictureCanvas* canvas) {
  canvas->DrawMarker(draw.ex, draw.ey, pens.event, pens.eventSize, band);
  const PairStations* stations = draw.stations;
  if (stations == nullptr) return;
  const Pen& linePen = draw.selected ? pens.selectedLine : pens.line;
  for (int k = 0; k < 2; ++k) {
    const double sx = stations->sx[k], sy = stations->sy[k];
    if (pens.lines) canvas->WalkLine(draw.ex, draw.ey, sx, sy, linePen, band);
    if (draw.cross[k]) canvas->DrawMarker(sx, sy, pens.station, -1, band);
  }
}

void MapRenderer::DrawResultWith(std::int32_t row, std::int32_t pairRow,
                                 PairStations* stations) {
  ResultDraw draw;
  PlaceEvent(*resultTable, Placement(), row, &draw);
  LayOutResult(row, pairRow, stations, &draw);
  PictureCanvas canvas = Canvas();
  DrawResultPixels(draw, canvas.WholeImage(), PensOfResults(), &canvas);
}

void MapRenderer::DrawStationRays(const ObservationRecord* record, int highlight, int which) {
  if (record == nullptr) return;
  const double lon = record->lng;
  const double lat = record->lat;
  const int clicks = std::clamp(record->clickCount, 0, kMaxClicksPerRecord);
  for (int i = 0; i < clicks; ++i) {
    double farLon, farLat;
    DestinationPoint(lon, lat, record->clicks.az[i], kRayArcDeg, &farLon, &farLat);
    DrawLine(farLon, farLat, lon, lat, i == highlight ? which : kCodeGreen);
  }
  double sx, sy;
  GmapLonLatToScreen(lon, lat, &sx, &sy);
  DrawMarker(sx, sy, AP.bw ? kCodeWhite : kCodeYellow, -1);
  char name[kMaxLabelChars + 1];
  platform::FormatC(name, sizeof name, "%s_%s", record->lid, record->sid);
  AddLabel(sx - 2, H - 1 - sy + 4, which == 0 ? kLabelWhite : kLabelYellow, name);
}

void MapRenderer::GmapLonLatToScreen(double lon, double lat, double* sx, double* sy) const {
  Placement().ToScreen(lon, lat, sx, sy);
}

MapRenderer::ScreenPlacement MapRenderer::Placement() const {
  return ScreenPlacement{mapProjection, mapView.topLeftX, mapView.topLeftY, mapView.mapPerScreen,
                         H};
}

void MapRenderer::ScreenPlacement::ToScreen(double lon, double lat, double* sx,
                                            double* sy) const {
  double mx, my;
  MapLonLatToPixel(map, lon, lat, &mx, &my);
  *sx = (mx - topLeftX) / mapPerScreen;
  *sy = (H - 1) - (my - topLeftY) / mapPerScreen;
}

PictureCanvas MapRenderer::Canvas() const { return PictureCanvas(mapImage.pixels, W, H); }

void MapRenderer::DrawLine(double lon1, double lat1, double lon2, double lat2, int code) {
  double x1, y1, x2, y2;
  GmapLonLatToScreen(lon1, lat1, &x1, &y1);
  GmapLonLatToScreen(lon2, lat2, &x2, &y2);
  PictureCanvas canvas = Canvas();
  canvas.WalkLine(x1, y1, x2, y2, PenOf(code), canvas.WholeImage());
}

Pen MapRenderer::PenOf(int code) const {
  Pen pen;
  pen.draws = CodeDraws(code);
  if (!pen.draws) return pen;
  if (AP.bw) return pen;  // black, over everything
  // White and yellow marks stay on top of the green lines.
  pen.keepsRed = code == kCodeGreen || code == kCodeLightGreen;
  std::memcpy(pen.bgr, kCodeColours[code], kImageBytesPerPixel);
  return pen;
}

void MapRenderer::DrawMarker(double x, double y, int code, int size) {
  PictureCanvas canvas = Canvas();
  canvas.DrawMarker(x, y, PenOf(code), size, canvas.WholeImage());
}

void MapRenderer::PlotPixel(int x, int row, int code) {
  const Pen pen = PenOf(code);
  if (!pen.draws) return;
  PictureCanvas canvas = Canvas();
  canvas.Plot(x, row, pen, canvas.WholeImage());
}

MapLabel* MapRenderer::NextLabel() {
  if (labelCount < 0 || labelCount >= kMaxMapLabels) return nullptr;
  MapLabel* label = &labels[labelCount++];
  label->text[0] = '\0';
  return label;
}

void MapRenderer::AddLabel(double x, double y, std::uint32_t color, const char* text) {
  MapLabel* label = NextLabel();
  if (label == nullptr) return;
  label->x = TruncToInt(x);
  label->y = TruncToInt(y);
  label->color = color;
  std::strncpy(label->text, text != nullptr ? text : "", kMaxLabelChars);
  label->text[kMaxLabelChars] = '\0';
}

}  // namespace groundmap
