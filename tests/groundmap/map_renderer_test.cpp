#include "groundmap/map_renderer.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "groundmap/map_image.h"
#include "groundmap/map_projection.h"
#include "groundmap/map_view.h"
#include "params/app_params.h"
#include "platform/scripted_platform.h"
#include "ulib/string_pool.h"
#include "ulib/table_cell.h"

namespace groundmap {
namespace {

using Bgr = std::array<int, 3>;
constexpr Bgr kOutside = {80, 0, 0};
constexpr Bgr kWhite = {255, 255, 255};
constexpr Bgr kYellow = {0, 255, 255};
constexpr Bgr kGreen = {0, 180, 0};
constexpr Bgr kDarkBlue = {80, 0, 0};
constexpr Bgr kLightGreen = {80, 200, 0};
constexpr Bgr kBlack = {0, 0, 0};
constexpr double kDeg = 0.01745329251994329;

class CountingRenderer : public MapRenderer {
 public:
  int repaints = 0;

 protected:
  void RepaintPicture() override { ++repaints; }
};

class MapRendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDefaultAppParams();  // zoom 5, colour mode, lines on, offsets 0
    selectionState = SelectionState{};
    SetDateRange(2024, 8, 12, 2024, 8, 13);
    pairTable = new CUTable(&PairTable);
    resultTable = new CUTable(&ResultTable);
    theRecordStore().recordCount = 0;
    mapView = MapView();
  }
  void TearDown() override {
    delete resultTable;
    delete pairTable;
    resultTable = pairTable = nullptr;
    UcbufFreeAll();
    theRecordStore().recordCount = 0;
    mapProjection = MapProjection();
  }

  // A map whose level at map pixel (x, y) is level(x, y).
  template <typename LevelOf>
  void UseMap(int cx, int cy, double lon, double lat, double halfFov, LevelOf level) {
    raster_.assign(static_cast<std::size_t>(cx) * cy, 0);
    for (int y = 0; y < cy; ++y) {
      for (int x = 0; x < cx; ++x) {
        raster_[static_cast<std::size_t>(y) * cx + x] = static_cast<std::uint8_t>(level(x, y));
      }
    }
    SetMapGeometry(cx, cy, lon, lat, halfFov, raster_.data());
  }
  // 64 x 48 map pixels spanning 0.8 degree, so that no grid line crosses it; at zoom 5 a 32 x 24
  // picture shows it whole, picture pixel (c, r from the top) showing map pixel (2c, 2r).
  template <typename LevelOf>
  void UseGridlessMap(LevelOf level) {
    UseMap(64, 48, 0.5, 0.5, 0.4, level);
    renderer_.W = 32;
    renderer_.H = 24;
  }
  // An equatorial map of 640 x 480 pixels and 3 degrees half field of view, shown at 320 x 240.
  void UseEquatorialMap() {
    UseMap(640, 480, 0.0, 0.0, 3.0, [](int, int) { return 0; });
    renderer_.W = 320;
    renderer_.H = 240;
  }

  static void FillImage(std::uint8_t value) {
    std::memset(mapImage.pixels, value, sizeof mapImage.pixels);
  }
  Bgr Pixel(int x, int row) const {
    const std::uint8_t* p = mapImage.pixels + (row * renderer_.W + x) * 3;
    return {p[0], p[1], p[2]};
  }
  // The pixel at picture coordinates (x, y from the bottom), rounded as the drawing rounds them.
  Bgr PixelNear(double x, double y) const {
    return Pixel(static_cast<int>(x + 0.5), static_cast<int>(y + 0.5));
  }
  std::pair<double, double> Screen(double lon, double lat) const {
    double sx, sy;
    renderer_.GmapLonLatToScreen(lon, lat, &sx, &sy);
    return {sx, sy};
  }
  int CountPixels(const Bgr& colour) const {
    int n = 0;
    for (int row = 0; row < renderer_.H; ++row) {
      for (int x = 0; x < renderer_.W; ++x) n += Pixel(x, row) == colour;
    }
    return n;
  }

  static std::int32_t AddPair(double lon1, double lat1, double lon2, double lat2,
                              const char* id1 = "ST1", const char* id2 = "ST2",
                              const char* localtime = "20240812_213456") {
    const std::int32_t row = pairTable->AddRow();
    WriteCellFloat(pairTable->CellForWrite(row, kPairLng1), static_cast<float>(lon1));
    WriteCellFloat(pairTable->CellForWrite(row, kPairLat1), static_cast<float>(lat1));
    WriteCellFloat(pairTable->CellForWrite(row, kPairLng2), static_cast<float>(lon2));
    WriteCellFloat(pairTable->CellForWrite(row, kPairLat2), static_cast<float>(lat2));
    pairTable->SetString(row, kPairId1, id1);
    pairTable->SetString(row, kPairId2, id2);
    pairTable->SetString(row, kPairLocaltime, localtime);
    return row;
  }
  static std::int32_t AddResult(std::int32_t pairRow, double lon, double lat,
                                std::uint32_t mark = 1) {
    const std::int32_t row = resultTable->AddRow();
    WriteCellUint(resultTable->CellForWrite(row, kResultMark), mark);
    WriteCellInt(resultTable->CellForWrite(row, kResultRline), pairRow);
    WriteCellFloat(resultTable->CellForWrite(row, kResultLng), static_cast<float>(lon));
    WriteCellFloat(resultTable->CellForWrite(row, kResultLat), static_cast<float>(lat));
    return row;
  }

  std::vector<std::uint8_t> raster_;
  CountingRenderer renderer_;
  platform::ScopedScriptedPlatform scripted_;
};

TEST_F(MapRendererTest, ColourModeShadesEveryPixelByItsLevel) {
  UseGridlessMap([](int x, int y) { return (x / 2 + 3 * (y / 2)) % 16; });
  FillImage(0x5A);
  renderer_.Redraw();
  for (int r = 0; r < 24; ++r) {
    for (int c = 0; c < 32; ++c) {
      const int level = (c + 3 * r) % 16;
      const int shade = level == 0 ? 120 : 60 + 10 * level;
      ASSERT_EQ(Pixel(c, 23 - r), (Bgr{shade, shade, shade})) << c << "," << r;
    }
  }
  EXPECT_EQ(mapImage.header.biWidth, 32);
  EXPECT_EQ(mapImage.header.biHeight, 24);
  EXPECT_EQ(mapView.mapPerScreen, 2.0);
  EXPECT_EQ(scripted_->waitCursorsShown, 1);
  EXPECT_EQ(scripted_->waitDepth, 0);
}

TEST_F(MapRendererTest, MonoChromeDrawsCoastlineInlandSeaAndFrame) {
  // Land on map pixels x 20..39, y 16..31: picture columns 10..19, rows 8..15 from the top.
  UseGridlessMap([](int x, int y) { return x >= 20 && x < 40 && y >= 16 && y < 32 ? 5 : 0; });
  AP.bw = 1;
  FillImage(0x5A);
  renderer_.Redraw();
  for (int r = 0; r < 24; ++r) {
    for (int c = 0; c < 32; ++c) {
      const bool land = c >= 10 && c <= 19 && r >= 8 && r <= 15;
      const bool coast = land && (c == 10 || c == 19 || r == 8 || r == 15);
      const bool frame = c == 0 || c == 31 || r == 0 || r == 23;
      Bgr expected = land ? Bgr{250, 250, 250} : Bgr{240, 240, 240};
      if (coast || frame) expected = kBlack;
      ASSERT_EQ(Pixel(c, 23 - r), expected) << c << "," << r;
    }
  }
}

TEST_F(MapRendererTest, ViewWiderThanTheMapStartsAtItsTopLeftWithOutsideColourBeyond) {
  UseGridlessMap([](int, int) { return 3; });
  AP.g_zoom = 2.5f;  // 4 map pixels per picture pixel: the picture spans 128 x 96 map pixels
  AP.g_ofh = -3.0f;
  AP.g_ofv = 7.0f;
  renderer_.Redraw();
  EXPECT_EQ(mapView.mapPerScreen, 4.0);
  EXPECT_EQ(mapView.topLeftX, 0);
  EXPECT_EQ(mapView.topLeftY, 0);
  // Whatever the offsets were, the clamps leave the centre east and north of the map centre.
  EXPECT_GT(AP.g_ofh, 0.0f);
  EXPECT_GT(AP.g_ofv, 0.0f);
  EXPECT_NEAR(mapView.viewCentreLon, 0.5 + AP.g_ofh, 1e-6);
  for (int r = 0; r < 24; ++r) {
    for (int c = 0; c < 32; ++c) {
      const Bgr expected = c < 16 && r < 12 ? Bgr{90, 90, 90} : kOutside;
      ASSERT_EQ(Pixel(c, 23 - r), expected) << c << "," << r;
    }
  }
}

TEST_F(MapRendererTest, PanningStopsAtTheClampLimitsAndWritesThemBack) {
  UseEquatorialMap();
  const double scale = mapProjection.scale;
  // hx = trunc((640 - 320 * 2) / 2.1) ... with a 160 x 120 picture: trunc(320 / 2.1) = 152.
  renderer_.W = 160;
  renderer_.H = 120;
  const double d = std::atan(152.0 / scale) / kDeg;  // longitude of map pixel 320 - 152
  const double e = std::atan(120.0 / scale) / kDeg;  // latitude of map pixel 240 - 120
  struct Case {
    float ofh, ofv;
    double lon, lat;  // view centre afterwards
  };
  const Case cases[] = {{100.0f, 0.0f, d, 0.0},
                        {-100.0f, 0.0f, -d, 0.0},
                        {0.0f, 50.0f, 0.0, e},
                        {0.0f, -50.0f, 0.0, -e},
                        {0.5f, -0.25f, 0.5, -0.25}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ofh << " " << c.ofv);
    AP.g_ofh = c.ofh;
    AP.g_ofv = c.ofv;
    renderer_.Redraw();
    EXPECT_NEAR(mapView.viewCentreLon, c.lon, 1e-6);
    EXPECT_NEAR(mapView.viewCentreLat, c.lat, 1e-6);
    EXPECT_NEAR(AP.g_ofh, c.lon, 1e-6);
    EXPECT_NEAR(AP.g_ofv, c.lat, 1e-6);
  }
}

TEST_F(MapRendererTest, BoundingBoxCoversTheDrawnResultsAndStationsOnly) {
  UseEquatorialMap();
  renderer_.W = 160;  // smaller than the map, so that the clamp limits lie apart
  renderer_.H = 120;
  const std::int32_t pair = AddPair(-0.5, 0.25, 0.75, -0.5);
  AddResult(pair, -1.0, 1.0);
  AddResult(pair, 1.2, 0.1);
  AddResult(pair, 2.5, 2.0, /*mark=*/0);  // not drawn, not counted
  renderer_.Redraw();
  EXPECT_NEAR(mapView.minLon, -1.0, 1e-6);
  EXPECT_NEAR(mapView.maxLon, 1.2, 1e-6);
  EXPECT_NEAR(mapView.minLat, -0.5, 1e-6);
  EXPECT_NEAR(mapView.maxLat, 1.0, 1e-6);

  // Nothing drawn: the box is the clamp limits around the map centre, whose middle is the centre.
  resultTable->Clear();
  renderer_.Redraw();
  EXPECT_NEAR((mapView.minLon + mapView.maxLon) * 0.5, 0.0, 1e-12);
  EXPECT_NEAR((mapView.minLat + mapView.maxLat) * 0.5, 0.0, 1e-12);
  EXPECT_GT(mapView.minLon, mapView.maxLon);
}

TEST_F(MapRendererTest, GridStepFollowsTheZoom) {
  UseEquatorialMap();
  const double scale = mapProjection.scale;
  // On an equatorial gnomonic map meridians are the columns x = CX / 2 + scale * tan(lon), and
  // along the central meridian a parallel lies at y = CY / 2 - scale * tan(lat).
  auto meridianColumn = [&](double lon) {
    return (320.0 + scale * std::tan(lon * kDeg) - mapView.topLeftX) / mapView.mapPerScreen;
  };
  auto parallelRow = [&](double lat) {
    return 239.0 - (240.0 - scale * std::tan(lat * kDeg) - mapView.topLeftY) / mapView.mapPerScreen;
  };
  auto blueNear = [&](double x, double y, bool alongRow) {
    for (int k = -1; k <= 1; ++k) {
      if (PixelNear(alongRow ? x + k : x, alongRow ? y : y + k) == kDarkBlue) return true;
    }
    return false;
  };
  struct Case {
    float zoom;
    int step;
  };
  for (const Case& c : {Case{5.0f, 1}, Case{3.0f, 1}, Case{2.5f, 2}}) {
    SCOPED_TRACE(testing::Message() << "zoom " << c.zoom);
    AP.g_zoom = c.zoom;
    renderer_.Redraw();
    const double betweenRows = parallelRow(0.5);
    for (int lon = -2; lon <= 2; ++lon) {
      // Meridians on multiples of the step.
      const bool drawn = lon % c.step == 0;
      EXPECT_EQ(blueNear(meridianColumn(lon), betweenRows, true), drawn) << "meridian " << lon;
    }
    // Parallels from latLo = -3 on: on odd degrees with the 2-degree step.
    const double betweenColumns = meridianColumn(0.5);
    for (int lat = -2; lat <= 2; ++lat) {
      const bool drawn = c.step == 1 || lat % 2 != 0;
      EXPECT_EQ(blueNear(betweenColumns, parallelRow(lat), false), drawn) << "parallel " << lat;
    }
  }
}

// Before, a centre longitude far beyond 180 (a header allows up to 9999.9999) walked the grid over
// every meridian from 180 up to it, hundreds of thousands of segments, and started the bounding
// box thousands of degrees away from the results, so that "center" left them.
TEST_F(MapRendererTest, CentreLongitudesBeyond180DrawTheSamePictureAsTheirPlace) {
  const std::int32_t pair = AddPair(-0.5, 0.25, 1.5, 1.0);
  AddResult(pair, 0.75, 0.5);
  auto render = [&](double centreLon) {
    UseMap(640, 480, centreLon, 0.5, 3.0, [](int x, int y) { return (x / 40 + y / 30) % 3; });
    renderer_.W = 160;  // narrower than the map, so that the offset stays as it is
    renderer_.H = 120;
    AP.g_ofh = 0.25f;
    FillImage(0x5A);
    renderer_.Redraw();
    return std::vector<std::uint8_t>(mapImage.pixels, mapImage.pixels + 160 * 120 * 3);
  };
  const std::vector<std::uint8_t> expected = render(0.5);
  const MapView expectedView = mapView;
  ASSERT_GT(CountPixels(kDarkBlue), 0);  // the grid is part of the picture
  for (double centreLon : {360.5, -719.5, 3600.5, 9720.5}) {
    SCOPED_TRACE(centreLon);
    EXPECT_TRUE(render(centreLon) == expected);
    EXPECT_NEAR(mapView.minLon, expectedView.minLon, 1e-9);
    EXPECT_NEAR(mapView.maxLon, expectedView.maxLon, 1e-9);
    EXPECT_NEAR(mapView.viewCentreLon - mapProjection.centreLon, 0.25, 1e-9);
    EXPECT_NEAR(AP.g_ofh, 0.25f, 1e-9);
  }
}

TEST_F(MapRendererTest, PlotPixelColoursCodesAndKeepsMarksUnderGreen) {
  UseGridlessMap([](int, int) { return 0; });
  struct Case {
    int code;
    Bgr over;  // the pixel before
    Bgr colour, mono;
  };
  const Bgr grey = {120, 120, 120};
  const Case cases[] = {
      {0, grey, kWhite, kBlack},    {1, grey, kYellow, kBlack},      {2, grey, kGreen, kBlack},
      {3, grey, kDarkBlue, kBlack}, {5, grey, kLightGreen, kBlack},  {4, grey, grey, grey},
      {6, grey, grey, grey},        {-1, grey, grey, grey},          {2, kYellow, kYellow, kBlack},
      {5, kWhite, kWhite, kBlack},  {3, kYellow, kDarkBlue, kBlack}, {0, kYellow, kWhite, kBlack},
  };
  for (int mono = 0; mono <= 1; ++mono) {
    AP.bw = mono;
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "code " << c.code << (mono ? " mono" : " colour"));
      std::uint8_t* p = mapImage.pixels + (5 * 32 + 7) * 3;
      p[0] = static_cast<std::uint8_t>(c.over[0]);
      p[1] = static_cast<std::uint8_t>(c.over[1]);
      p[2] = static_cast<std::uint8_t>(c.over[2]);
      renderer_.PlotPixel(7, 5, c.code);
      EXPECT_EQ(Pixel(7, 5), mono ? c.mono : c.colour);
    }
  }
  // Off the picture nothing is written, not even in the bytes beyond it.
  FillImage(0);
  for (auto [x, row] : {std::pair{-1, 0}, {32, 0}, {0, -1}, {0, 24}, {32, 23}, {-1, 24}}) {
    renderer_.PlotPixel(x, row, 0);
  }
  for (std::size_t i = 0; i < 40 * 32 * 3; ++i) ASSERT_EQ(mapImage.pixels[i], 0) << i;
}

TEST_F(MapRendererTest, MarkersAreCrossesAndDiscs) {
  UseGridlessMap([](int, int) { return 0; });
  auto pixelsOf = [&](auto draw) {
    FillImage(0);
    draw();
    std::set<std::pair<int, int>> set;
    for (int row = 0; row < 24; ++row) {
      for (int x = 0; x < 32; ++x) {
        if (Pixel(x, row) != kBlack) set.insert({x, row});
      }
    }
    return set;
  };
  using Set = std::set<std::pair<int, int>>;
  EXPECT_EQ(pixelsOf([&] { renderer_.DrawMarker(10.3, 7.6, 1, -1); }),
            (Set{{10, 6}, {10, 7}, {10, 8}, {9, 7}, {11, 7}}));
  // A fraction above 0.9 gives the cross a fourth pixel each way.
  EXPECT_EQ(pixelsOf([&] { renderer_.DrawMarker(10.95, 7.95, 1, -1); }),
            (Set{{10, 6}, {10, 7}, {10, 8}, {10, 9}, {9, 7}, {10, 7}, {11, 7}, {12, 7}}));
  // A disc of radius 3 about a whole pixel: distances strictly below 3.
  Set disc;
  for (int dx = -2; dx <= 2; ++dx) {
    for (int dy = -2; dy <= 2; ++dy) disc.insert({10 + dx, 10 + dy});
  }
  EXPECT_EQ(pixelsOf([&] { renderer_.DrawMarker(10.0, 10.0, 1, 3); }), disc);
  // Far away, not a number, or cut by the edge.
  EXPECT_TRUE(pixelsOf([&] { renderer_.DrawMarker(1e12, 5.0, 1, 3); }).empty());
  EXPECT_TRUE(pixelsOf([&] { renderer_.DrawMarker(NAN, 5.0, 1, -1); }).empty());
  EXPECT_EQ(pixelsOf([&] { renderer_.DrawMarker(31.2, 23.4, 1, -1); }),
            (Set{{31, 22}, {31, 23}, {30, 23}, {31, 23}}));
}

TEST_F(MapRendererTest, LinesWalkOnePixelPerStepAndCoincidentEndsDrawNothing) {
  UseGridlessMap([](int, int) { return 0; });
  renderer_.Redraw();
  // Picture (c, row) shows map pixel (2c, 2 * (23 - row)).
  auto lonLat = [](int c, int row) {
    double lon, lat;
    GmapPixelToLonLat(2 * c, 2 * (23 - row), &lon, &lat);
    return std::pair{lon, lat};
  };
  auto drawn = [&](int c1, int r1, int c2, int r2) {
    FillImage(0);
    auto [lon1, lat1] = lonLat(c1, r1);
    auto [lon2, lat2] = lonLat(c2, r2);
    renderer_.DrawLine(lon1, lat1, lon2, lat2, 0);
    std::set<std::pair<int, int>> set;
    for (int row = 0; row < 24; ++row) {
      for (int x = 0; x < 32; ++x) {
        if (Pixel(x, row) == kWhite) set.insert({x, row});
      }
    }
    return set;
  };
  using Set = std::set<std::pair<int, int>>;
  // Shallow: one pixel per column, y = 3 + 0.4 (x - 2) rounded.
  Set shallow;
  for (int x = 2; x <= 12; ++x) shallow.insert({x, static_cast<int>(3 + 0.4 * (x - 2) + 0.5)});
  EXPECT_EQ(drawn(2, 3, 12, 7), shallow);
  EXPECT_EQ(drawn(12, 7, 2, 3), shallow);
  // Steep: one pixel per row.
  Set steep;
  for (int row = 1; row <= 21; ++row)
    steep.insert({static_cast<int>(5 + 0.2 * (row - 1) + 0.5), row});
  EXPECT_EQ(drawn(5, 1, 9, 21), steep);
  // Before, coincident ends divided by zero.
  EXPECT_TRUE(drawn(6, 6, 6, 6).empty());
}

// The walk of every column between the ends, unclipped, as the line was drawn before.
std::set<std::pair<int, int>> UnclippedWalk(double x1, double y1, double x2, double y2, int w,
                                            int h) {
  std::set<std::pair<int, int>> set;
  auto plot = [&](double x, double y) {
    const long px = static_cast<long>(x + 0.5), py = static_cast<long>(y + 0.5);
    if (px >= 0 && px < w && py >= 0 && py < h)
      set.insert({static_cast<int>(px), static_cast<int>(py)});
  };
  const double m = (y2 - y1) / (x2 - x1);
  if (m > -1 && m < 1) {
    for (long x = static_cast<long>(std::min(x1, x2)); x <= std::max(x1, x2) + 0.5; ++x) {
      plot(static_cast<double>(x), y1 + (x - x1) * m);
    }
  } else {
    const double mi = (x2 - x1) / (y2 - y1);
    for (long y = static_cast<long>(std::min(y1, y2)); y <= std::max(y1, y2) + 0.5; ++y) {
      plot(x1 + (y - y1) * mi, static_cast<double>(y));
    }
  }
  return set;
}

// Before, a line to a far end walked every column up to it, for a very long time.
TEST_F(MapRendererTest, LinesToFarEndsAreCutToThePictureWithTheSamePixels) {
  UseEquatorialMap();
  renderer_.Redraw();
  struct Case {
    const char* what;
    double lon1, lat1, lon2, lat2;
  };
  const Case cases[] = {
      {"far east, shallow", 0.3, 0.2, 60.0, 5.0},
      {"far south-west", 0.3, 0.2, -70.0, -60.0},
      {"far north, steep", -0.4, 0.1, 2.0, 80.0},
      {"both ends off the picture", -20.0, -1.0, 20.0, 1.5},
      {"beyond 90 degrees", 0.3, 0.2, 150.0, 10.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto [x1, y1] = Screen(c.lon1, c.lat1);
    auto [x2, y2] = Screen(c.lon2, c.lat2);
    FillImage(0);
    renderer_.DrawLine(c.lon1, c.lat1, c.lon2, c.lat2, 0);
    std::set<std::pair<int, int>> drawnPixels;
    for (int row = 0; row < 240; ++row) {
      for (int x = 0; x < 320; ++x) {
        if (Pixel(x, row) == kWhite) drawnPixels.insert({x, row});
      }
    }
    EXPECT_FALSE(drawnPixels.empty());
    EXPECT_EQ(drawnPixels, UnclippedWalk(x1, y1, x2, y2, 320, 240));
  }
}

TEST_F(MapRendererTest, ResultsDrawEventsLinesStationsAndNamesOncePerPair) {
  UseEquatorialMap();
  // Pair 0: stations on the central meridian; pair 1: stations on the equator, its first line
  // passing through pair 0's first station.
  const std::int32_t pair0 = AddPair(0.0, 0.0, 0.0, 1.0, "AAA", "BBB");
  const std::int32_t pair1 = AddPair(-1.0, 0.0, 1.0, 0.0, "CCC", "DDD");
  AddResult(pair0, 0.0, 0.5);
  AddResult(pair0, 0.2, 0.55);
  AddResult(pair1, 0.5, 0.0);
  selectionState.selectedPair = pair0;
  renderer_.Redraw();

  // Station names once per pair, 2 pixels left of and 4 below the station; then the info label.
  ASSERT_EQ(renderer_.labelCount, 5);
  const char* names[] = {"AAA", "BBB", "CCC", "DDD"};
  const double stations[][2] = {{0.0, 0.0}, {0.0, 1.0}, {-1.0, 0.0}, {1.0, 0.0}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(names[i]);
    auto [sx, sy] = Screen(stations[i][0], stations[i][1]);
    EXPECT_STREQ(renderer_.labels[i].text, names[i]);
    EXPECT_EQ(renderer_.labels[i].x, static_cast<int>(sx - 2));
    EXPECT_EQ(renderer_.labels[i].y, static_cast<int>(240 - 1 - sy + 4));
    EXPECT_EQ(renderer_.labels[i].color, 0xFFFFFFu);
  }
  // The pair's "work" flag says its names are out.
  EXPECT_EQ(ReadCellInt(pairTable->LiveCell(pair0, kPairWork)), 1);

  // Event and station crosses in yellow, the selected pair's lines light green, the others green;
  // a green line passing a yellow cross leaves it yellow.
  auto [ex, ey] = Screen(0.0, 0.5);
  EXPECT_EQ(PixelNear(ex, ey), kYellow);
  auto [s0x, s0y] = Screen(0.0, 0.0);
  EXPECT_EQ(Pixel(static_cast<int>(s0x), static_cast<int>(s0y)), kYellow);
  EXPECT_EQ(Pixel(static_cast<int>(s0x) + 1, static_cast<int>(s0y)), kYellow);
  auto [m0x, m0y] = Screen(0.0, 0.25);
  EXPECT_EQ(PixelNear(m0x, m0y), kLightGreen);
  auto [m1x, m1y] = Screen(-0.5, 0.0);
  EXPECT_EQ(PixelNear(m1x, m1y), kGreen);

  // Without lines only the markers remain.
  AP.g_line = 0;
  renderer_.Redraw();
  EXPECT_EQ(CountPixels(kGreen), 0);
  EXPECT_EQ(CountPixels(kLightGreen), 0);
  EXPECT_EQ(CountPixels(kYellow), 5 * 7);  // three events, four stations, crosses of 5 pixels
}

TEST_F(MapRendererTest, MonoChromeResultsAreBlackDiscsAndCrosses) {
  UseEquatorialMap();
  const std::int32_t pair = AddPair(-1.0, 0.0, 1.0, 0.5);
  AddResult(pair, 0.3, 0.3);
  AP.bw = 1;
  AP.g_line = 0;
  renderer_.Redraw();
  auto [ex, ey] = Screen(0.3, 0.3);
  for (int dx = -2; dx <= 2; ++dx) {
    EXPECT_EQ(Pixel(static_cast<int>(std::lround(ex)) + dx, static_cast<int>(std::lround(ey))),
              kBlack);
  }
  auto [sx, sy] = Screen(1.0, 0.5);
  EXPECT_EQ(Pixel(static_cast<int>(sx), static_cast<int>(sy)), kBlack);
}

TEST_F(MapRendererTest, InfoLabelShowsTheSelectedResultPairOrDateRange) {
  UseEquatorialMap();
  const std::int32_t pair = AddPair(-1.0, 0.0, 1.0, 0.0, "NV01", "NV07", "20240812_213456");
  const std::int32_t result = AddResult(pair, 0.25, 0.5);
  auto set = [&](std::int32_t column, float value) {
    WriteCellFloat(resultTable->CellForWrite(result, column), value);
  };
  set(kResultH1, 95.5f);
  set(kResultH2, 94.0f);
  set(kResultDH, 1.5f);
  set(kResultLd1, 120.0f);
  set(kResultLd2, 180.5f);
  struct Case {
    std::int32_t selectedPair, selectedResult;
    const char* text;
  };
  const Case cases[] = {
      {pair, result,
       "20240812_213456 lng=0.2500 lat=0.5000 H1=95.5 H2=94.0 dH=1.50 LD1=120.0 LD2=180.5"},
      {pair, -1, "20240812_213456 NV01 NV07"},
      {-1, -1, "2024/08/12 .. 2024/08/13"},
      {-1, 57, "2024/08/12 .. 2024/08/13"},  // a result row that does not exist
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    selectionState.selectedPair = c.selectedPair;
    selectionState.selectedResult = c.selectedResult;
    renderer_.Redraw();
    const MapLabel& info = renderer_.labels[renderer_.labelCount - 1];
    EXPECT_STREQ(info.text, c.text);
    EXPECT_EQ(info.x, 10);
    EXPECT_EQ(info.y, 240 - 24);
    EXPECT_EQ(info.color, 0xFFFFFFu);
  }
  // A pair selection swaps the dates; the label follows them.
  selectionState = SelectionState{};
  SetDateRange(2024, 8, 13, 2024, 8, 12);
  renderer_.Redraw();
  EXPECT_STREQ(renderer_.labels[renderer_.labelCount - 1].text, "2024/08/13 .. 2024/08/12");
}

// Before, more than 1000 labels or a name over 255 characters wrote past the label table.
TEST_F(MapRendererTest, LabelsStopAtTheTableEndAndLongNamesAreCut) {
  UseEquatorialMap();
  const std::string longName(300, 'N');
  for (int i = 0; i < 600; ++i) {
    const std::int32_t pair = AddPair(-1.0, 0.0, 1.0, 0.0, longName.c_str(), "B");
    AddResult(pair, 0.001 * i, 0.5);
  }
  renderer_.active = 1;
  renderer_.Redraw();
  EXPECT_EQ(renderer_.labelCount, 1000);
  EXPECT_EQ(renderer_.active, 1);  // the field after the table is intact
  EXPECT_EQ(renderer_.repaints, 1);
  EXPECT_EQ(std::strlen(renderer_.labels[0].text), 255u);
  EXPECT_EQ(std::string(renderer_.labels[0].text), longName.substr(0, 255));
  EXPECT_STREQ(renderer_.labels[999].text, "B");
}

TEST_F(MapRendererTest, PairViewDrawsBothStationsRaysWithTheHighlightedOnesOnTop) {
  UseEquatorialMap();
  RecordStore& store = theRecordStore();
  store.recordCount = 2;
  ObservationRecord& first = store.records[0];
  ObservationRecord& second = store.records[1];
  first.lng = 0.0f;
  first.lat = 0.0f;
  std::strcpy(first.lid, "ST1");
  std::strcpy(first.sid, "a");
  first.clickCount = 2;
  first.clicks.az[0] = 0.0f;   // north, green
  first.clicks.az[1] = 90.0f;  // east, highlighted
  second.lng = -1.0f;
  second.lat = -1.0f;
  std::strcpy(second.lid, "ST2");
  std::strcpy(second.sid, "b");
  second.clickCount = 1;
  second.clicks.az[0] = 180.0f;  // south, highlighted
  const std::int32_t pair = AddPair(0.0, 0.0, -1.0, -1.0);
  WriteCellInt(pairTable->CellForWrite(pair, kPairRec1), 0);
  WriteCellInt(pairTable->CellForWrite(pair, kPairRec2), 1);
  const std::int32_t result = AddResult(pair, 0.5, 0.5);
  selectionState.pairView = 1;
  selectionState.selectedResult = result;
  selectionState.highlight1 = 1;
  selectionState.highlight2 = 0;
  renderer_.Redraw();

  auto [sx, sy] = Screen(0.0, 0.0);
  EXPECT_EQ(PixelNear(sx + 40, sy), kWhite);  // first station's highlighted ray
  EXPECT_EQ(PixelNear(sx, sy + 40), kGreen);  // its other ray
  auto [tx, ty] = Screen(-1.0, -1.0);
  EXPECT_EQ(PixelNear(tx, ty - 30), kYellow);  // second station's highlighted ray
  // No result is drawn in pair view, and there is no info label.
  auto [ex, ey] = Screen(0.5, 0.5);
  EXPECT_NE(PixelNear(ex, ey), kYellow);
  ASSERT_EQ(renderer_.labelCount, 2);
  EXPECT_STREQ(renderer_.labels[0].text, "ST1_a");
  EXPECT_EQ(renderer_.labels[0].color, 0xFFFFFFu);
  EXPECT_STREQ(renderer_.labels[1].text, "ST2_b");
  EXPECT_EQ(renderer_.labels[1].color, 0x00FFFFu);
  EXPECT_EQ(renderer_.labels[0].x, static_cast<int>(sx - 2));
  EXPECT_EQ(renderer_.labels[0].y, static_cast<int>(240 - 1 - sy + 4));
  // The bounding box is not touched: "center" goes back to the map centre.
  EXPECT_NEAR((mapView.minLon + mapView.maxLon) * 0.5, 0.0, 1e-12);
}

// Before, pair view read the rows of no selected result, of a dead row, or a record past the
// store.
TEST_F(MapRendererTest, PairViewWithNothingValidToShowDrawsNoRays) {
  UseEquatorialMap();
  const std::int32_t pair = AddPair(0.0, 0.0, -1.0, -1.0);
  WriteCellInt(pairTable->CellForWrite(pair, kPairRec1), 5);  // past the store's 1 record
  WriteCellInt(pairTable->CellForWrite(pair, kPairRec2), -3);
  // A pair of the store's one record with itself, deleted, and one row after it so that the
  // deletion leaves a dead row behind.
  const std::int32_t deadPair = AddPair(0.0, 0.0, -1.0, -1.0);
  WriteCellInt(pairTable->CellForWrite(deadPair, kPairRec1), 0);
  WriteCellInt(pairTable->CellForWrite(deadPair, kPairRec2), 0);
  AddPair(0.0, 0.0, -1.0, -1.0);
  pairTable->DeleteRow(deadPair);
  const std::int32_t result = AddResult(pair, 0.5, 0.5);
  const std::int32_t dead = AddResult(pair, 0.5, 0.5);
  AddResult(pair, 0.5, 0.5);
  resultTable->DeleteRow(dead);
  const std::int32_t ofDeadPair = AddResult(deadPair, 0.5, 0.5);
  const std::int32_t ofNoPair = AddResult(77, 0.5, 0.5);
  theRecordStore().recordCount = 1;
  theRecordStore().records[0].clickCount = 3;
  selectionState.pairView = 1;
  for (std::int32_t selected : {-1, dead, 99, result, ofDeadPair, ofNoPair}) {
    SCOPED_TRACE(selected);
    selectionState.selectedResult = selected;
    renderer_.Redraw();
    EXPECT_EQ(renderer_.labelCount, 0);
    EXPECT_EQ(CountPixels(kGreen) + CountPixels(kWhite) + CountPixels(kYellow), 0);
  }
}

// Before, a zoom of 0 divided by zero and a NaN offset went into the integer origin.
TEST_F(MapRendererTest, ZeroZoomNeverRendersAndNonFiniteOffsetsCountAsZero) {
  UseGridlessMap([](int, int) { return 2; });
  for (float zoom : {0.0f, -5.0f, NAN}) {
    SCOPED_TRACE(zoom);
    AP.g_zoom = zoom;
    FillImage(0x5A);
    renderer_.Redraw();
    EXPECT_EQ(Pixel(3, 3), (Bgr{0x5A, 0x5A, 0x5A}));
  }
  AP.g_zoom = 5.0f;
  AP.g_ofh = NAN;
  AP.g_ofv = INFINITY;
  renderer_.Redraw();
  EXPECT_EQ(AP.g_ofh, 0.0f);
  EXPECT_EQ(AP.g_ofv, 0.0f);
  EXPECT_DOUBLE_EQ(mapView.viewCentreLon, 0.5);
  EXPECT_DOUBLE_EQ(mapView.viewCentreLat, 0.5);
  EXPECT_EQ(Pixel(3, 3), (Bgr{80, 80, 80}));
}

TEST_F(MapRendererTest, ExtremeTypedZoomsStillRenderEveryPixel) {
  UseEquatorialMap();
  const std::int32_t pair = AddPair(-1.0, 0.0, 1.0, 0.5);
  AddResult(pair, 0.3, 0.3);
  for (float zoom : {1e-7f, 0.01f, 1e4f, 1e7f}) {
    SCOPED_TRACE(zoom);
    AP.g_zoom = zoom;
    AP.g_ofh = 0.5f;
    FillImage(0x5A);
    renderer_.Redraw();
    EXPECT_GE(mapView.topLeftX, 0);
    EXPECT_GE(mapView.topLeftY, 0);
    EXPECT_TRUE(std::isfinite(AP.g_ofh));
    EXPECT_EQ(CountPixels(Bgr{0x5A, 0x5A, 0x5A}), 0);
  }
}

TEST_F(MapRendererTest, WithNoMapOnlyTheBaseShadeIsDrawn) {
  mapProjection = MapProjection();
  mapProjection.centreLon = 136.0;
  mapProjection.centreLat = 34.0;
  renderer_.W = 64;
  renderer_.H = 48;
  const std::int32_t pair = AddPair(135.0, 34.0, 137.0, 35.0);
  AddResult(pair, 136.0, 34.5);
  FillImage(0x5A);
  renderer_.Redraw();
  EXPECT_EQ(CountPixels(kOutside), 64 * 48);
  EXPECT_EQ(renderer_.labelCount, 0);
  EXPECT_EQ(mapView.minLon, 136.0);
  EXPECT_EQ(mapView.maxLat, 34.0);
}

TEST_F(MapRendererTest, RepaintsOnlyWhenActiveAndDrawsNothingBeforeItHasASize) {
  UseGridlessMap([](int, int) { return 1; });
  renderer_.Redraw();
  EXPECT_EQ(renderer_.repaints, 0);
  renderer_.active = 1;
  renderer_.Redraw();
  EXPECT_EQ(renderer_.repaints, 1);

  renderer_.W = 0;
  renderer_.H = 0;
  FillImage(0x5A);
  renderer_.Redraw();
  EXPECT_EQ(mapImage.pixels[0], 0x5A);
  EXPECT_EQ(renderer_.repaints, 1);
}

}  // namespace
}  // namespace groundmap

namespace groundmap {
namespace {

// Many results are drawn in bands of rows side by side, each station cross once per pair; the
// picture must be the one that drawing every result on its own, in row order, gives: lines
// crossing the bands, steep and shallow, overlapping in both greens, and crosses under lines.
TEST_F(MapRendererTest, ManyResultsDrawTheSamePixelsAsOneResultAfterTheOther) {
  UseMap(640, 480, 0.0, 0.0, 3.0, [](int x, int y) { return (x / 40 + y / 30) % 16; });
  renderer_.W = 320;
  renderer_.H = 240;
  std::mt19937 random(11);
  std::uniform_real_distribution<double> place(-3.5, 3.5), near(-0.6, 0.6);
  std::vector<std::int32_t> pairs;
  for (int p = 0; p < 300; ++p) {
    const double lon = place(random), lat = place(random);
    pairs.push_back(AddPair(lon, lat, lon + near(random) * 4, lat + near(random) * 4));
    for (int k = 0; k < 10; ++k) {
      AddResult(pairs.back(), lon + near(random), lat + near(random), k == 3 ? 0 : 1);
    }
  }
  selectionState.selectedPair = pairs[7];
  for (const int mono : {0, 1}) {
    SCOPED_TRACE(mono ? "mono chrome" : "colour");
    AP.bw = mono;
    renderer_.Redraw();
    const std::size_t bytes = static_cast<std::size_t>(renderer_.W) * renderer_.H * 3;
    const std::vector<std::uint8_t> banded(mapImage.pixels, mapImage.pixels + bytes);

    // The same map and grid with nothing marked, then each marked result by itself.
    std::vector<std::uint32_t> marks;
    for (std::int32_t row = 0; row < resultTable->rowCount; ++row) {
      marks.push_back(ReadCellUint(resultTable->LiveCell(row, kResultMark)));
      WriteCellUint(resultTable->CellForWrite(row, kResultMark), 0);
    }
    renderer_.Redraw();
    for (std::int32_t row = 0; row < resultTable->rowCount; ++row) {
      WriteCellUint(resultTable->CellForWrite(row, kResultMark), marks[row]);
      if (marks[row] != 0) renderer_.DrawResult(row);
    }
    int differing = 0;
    for (std::size_t i = 0; i < bytes; ++i) differing += banded[i] != mapImage.pixels[i];
    EXPECT_EQ(differing, 0);
    EXPECT_GT(CountPixels(mono ? kBlack : kLightGreen), 0);
  }
}

}  // namespace
}  // namespace groundmap

namespace groundmap {
namespace {

// A command that re-centres at once has the view placed without a picture; the re-centre then
// starts from the same view and bounding box as after a render, marked results only.
TEST_F(MapRendererTest, PlacingTheViewLeavesWhatARenderLeaves) {
  UseEquatorialMap();
  renderer_.active = 1;
  const std::int32_t pair0 = AddPair(-1.0, -0.5, 1.5, 0.8);
  const std::int32_t pair1 = AddPair(0.2, 2.0, -2.5, 1.0);
  AddResult(pair0, 0.3, 0.4);
  AddResult(pair0, 2.6, -1.1, 0);  // unmarked: outside the box
  AddResult(pair1, -0.7, 1.9);
  auto viewAfter = [this](bool placeOnly) {
    mapView = MapView();
    AP.g_ofh = 9.0f;  // clamped back by both
    AP.g_ofv = -0.25f;
    renderer_.placeViewOnly = placeOnly;
    renderer_.Redraw();
    renderer_.placeViewOnly = false;
    return std::vector<double>{mapView.viewCentreLon, mapView.viewCentreLat,
                               mapView.mapPerScreen,  static_cast<double>(mapView.topLeftX),
                               static_cast<double>(mapView.topLeftY), mapView.minLon,
                               mapView.maxLon,        mapView.minLat,
                               mapView.maxLat,        AP.g_ofh,
                               AP.g_ofv};
  };
  const std::vector<double> rendered = viewAfter(false);
  FillImage(7);
  const int repaints = renderer_.repaints;
  EXPECT_EQ(viewAfter(true), rendered);
  EXPECT_EQ(Pixel(100, 100), (Bgr{7, 7, 7})) << "no pixel drawn";
  EXPECT_EQ(renderer_.repaints, repaints);
  EXPECT_LT(rendered[5], -0.9) << "the box holds the first station";
}

}  // namespace
}  // namespace groundmap
