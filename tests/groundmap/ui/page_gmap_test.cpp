#include "groundmap/ui/page_gmap.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/window_link.h"
#include "params/app_dirs.h"
#include "params/app_params.h"
#include "groundmap/map_file_encoder.h"
#include "groundmap/map_image.h"
#include "groundmap/map_projection.h"
#include "groundmap/map_view.h"
#include "groundmap/ui/map_picture.h"
#include "platform/c_locale.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_platform.h"
#include "platform/scripted_platform.h"
#include "tests/support/hang_guard.h"
#include "tests/support/locale_guard.h"
#include "ulib/string_pool.h"
#include "ulib/table_cell.h"
#include "ulib/ui/grid_scale.h"
#include "ulib/ui/spin_arrows.h"

namespace {

using platform::ScriptedPlatform;
using CallKind = ScriptedPlatform::CallKind;
using groundmap::mapImage;
using groundmap::mapProjection;
using groundmap::mapView;

// The scripted platform, also noting how many wait cursors were open at each chooser.
class RecordingPlatform : public ScriptedPlatform {
 public:
  std::optional<std::string> ChooseFile(const platform::FileRequest& request) override {
    waitDepthAtChooser.push_back(waitDepth);
    return ScriptedPlatform::ChooseFile(request);
  }
  std::vector<int> waitDepthAtChooser;
};

class StatusLineCounter : public analysis::WindowLink {
 public:
  void UpdateStatusLine() override { ++statusLines; }
  int statusLines = 0;
};

// An image read back from a 24-bit BMP file: B, G, R per pixel, rows bottom-up.
struct Bmp {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

std::uint32_t U32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

Bmp ReadBmp(const std::string& path) {
  const std::string bytes = nv4test::ReadFileBytes(path);
  Bmp bmp;
  if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) return bmp;
  bmp.width = static_cast<int>(U32(bytes, 18));
  bmp.height = static_cast<int>(U32(bytes, 22));
  const std::size_t offset = U32(bytes, 10);
  const std::size_t rowBytes = static_cast<std::size_t>(bmp.width) * 3;
  const std::size_t stride = (rowBytes + 3) & ~static_cast<std::size_t>(3);
  if (bytes.size() < offset + stride * bmp.height) return Bmp{};
  for (int row = 0; row < bmp.height; ++row) {
    const char* from = bytes.data() + offset + stride * row;
    bmp.pixels.insert(bmp.pixels.end(), from, from + rowBytes);
  }
  return bmp;
}

std::vector<std::uint8_t> ImageBytes() {
  const std::size_t n = static_cast<std::size_t>(mapImage.header.biWidth) *
                        mapImage.header.biHeight * groundmap::kImageBytesPerPixel;
  return std::vector<std::uint8_t>(mapImage.pixels, mapImage.pixels + n);
}

// The drawing image as the screen would show it without labels.
QImage PlainImage() {
  return platform::ImageFromBgrBottomUp(mapImage.pixels, mapImage.header.biWidth,
                                        mapImage.header.biHeight)
      .convertToFormat(QImage::Format_RGB32);
}

// B, G, R bottom-up bytes as a top-down image, for comparing with the screen.
QImage ImageOf(const std::vector<std::uint8_t>& pixels, int width, int height) {
  return platform::ImageFromBgrBottomUp(pixels.data(), width, height)
      .convertToFormat(QImage::Format_RGB32);
}

// A 1600 x 1200 map about 136 E 34 N, 8 degrees to its side edges: land west of the middle and
// south of the top third, sea elsewhere.
std::string MapBytes(int cx = 1600, int cy = 1200, int landLevel = 12) {
  std::vector<std::uint8_t> raster(static_cast<std::size_t>(cx) * cy, 0);
  for (int y = cy / 3; y < cy; ++y) {
    for (int x = 0; x < cx / 2; ++x) raster[static_cast<std::size_t>(y) * cx + x] = landLevel;
  }
  std::string bytes, error;
  EXPECT_TRUE(groundmap::EncodeGroundMap(groundmap::MakeMapHeader(cx, cy, 136.0, 34.0, 8.0),
                                         raster.data(), &bytes, &error))
      << error;
  return bytes;
}

class PageGmapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousPlatform_ = platform::Install(&scripted_);
    scripted_.SetMissingAnswerHandler(
        [](const std::string& what) { ADD_FAILURE() << "no scripted answer for " << what; });
    previousLink_ = analysis::InstallWindowLink(&status_);
    SetDefaultAppParams();
    std::snprintf(AP.outdir, sizeof AP.outdir, "%s", outDir_.path().c_str());
    std::snprintf(startDir, sizeof startDir, "%s", startDir_.path().c_str());
    selectionState = SelectionState{};
    SetDateRange(2024, 8, 12, 2024, 8, 13);
    pairTable = new CUTable(&PairTable);
    resultTable = new CUTable(&ResultTable);
    theRecordStore().recordCount = 0;
    mapView = groundmap::MapView();
    groundmap::ResetMapImage();

    const std::string map = startDir_.File("GMtest.DAT");
    nv4test::WriteFileBytes(map, MapBytes());
    ASSERT_EQ(groundmap::LoadGroundMap(map.c_str()), 1);
    std::snprintf(AP.g_map, sizeof AP.g_map, "GMtest.DAT");
  }

  void TearDown() override {
    window_.reset();
    EXPECT_EQ(theGmapPage, nullptr);
    delete resultTable;
    delete pairTable;
    resultTable = pairTable = nullptr;
    UcbufFreeAll();
    theRecordStore().recordCount = 0;
    analysis::InstallWindowLink(previousLink_);
    platform::Install(previousPlatform_);
  }

  // The page alone in a window of the given size, initialised and activated as its sheet does.
  void ShowPage(int width = 660, int height = 500) {
    window_ = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    page_ = new CPageGmap(window_.get());
    layout->addWidget(page_);
    window_->resize(width, height);
    page_->OnInitDialog();
    page_->OnSetActive();
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get(), nv4test::kHangGuardMs));
    QCoreApplication::processEvents();
    scripted_.ClearCalls();
  }

  // Two stations and two results of their pair, well inside the map.
  static void AddResults() {
    const std::int32_t pair = pairTable->AddRow();
    WriteCellFloat(pairTable->CellForWrite(pair, kPairLng1), 135.5f);
    WriteCellFloat(pairTable->CellForWrite(pair, kPairLat1), 34.5f);
    WriteCellFloat(pairTable->CellForWrite(pair, kPairLng2), 136.6f);
    WriteCellFloat(pairTable->CellForWrite(pair, kPairLat2), 34.9f);
    pairTable->SetString(pair, kPairId1, "ST1");
    pairTable->SetString(pair, kPairId2, "ST2");
    pairTable->SetString(pair, kPairLocaltime, "20240812_213456");
    const float events[2][2] = {{136.1f, 35.2f}, {136.3f, 34.2f}};
    for (const auto& event : events) {
      const std::int32_t row = resultTable->AddRow();
      WriteCellUint(resultTable->CellForWrite(row, kResultMark), 1);
      WriteCellInt(resultTable->CellForWrite(row, kResultRline), pair);
      WriteCellFloat(resultTable->CellForWrite(row, kResultLng), event[0]);
      WriteCellFloat(resultTable->CellForWrite(row, kResultLat), event[1]);
    }
  }

  // Every render writes every pixel: a mark in the first one tells whether one ran since.
  static void MarkImage() { std::memset(mapImage.pixels, 7, 3); }
  static bool RenderedSinceMark() {
    return !(mapImage.pixels[0] == 7 && mapImage.pixels[1] == 7 && mapImage.pixels[2] == 7);
  }

  QWidget* Item(int id) const {
    QWidget* item = platform::FindItem(page_, id);
    EXPECT_NE(item, nullptr) << id;
    return item;
  }
  QCheckBox* Check(int id) const { return qobject_cast<QCheckBox*>(Item(id)); }
  void Click(int id) {
    QWidget* item = Item(id);
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(item, Qt::LeftButton);
  }
  void Pan(int id, ArrowDirection direction) {
    static_cast<SpinArrows*>(Item(id))->Click(direction);
  }
  // The picture as the page paints it, one pixel per picture pixel: a grab would be scaled by
  // the screen's device pixel ratio and no longer compare with the image.
  QImage Screen() const {
    QWidget* picture = Item(kIdGmapPicture);
    QImage shot(picture->size(), QImage::Format_RGB32);
    shot.setDevicePixelRatio(1.0);
    picture->render(&shot);
    return shot;
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& call : scripted_.CallsOf(CallKind::kMessage)) texts.push_back(call.text);
    return texts;
  }
  int Redraws() const { return scripted_.waitCursorsShown; }

  RecordingPlatform scripted_;
  platform::Platform* previousPlatform_ = nullptr;
  StatusLineCounter status_;
  analysis::WindowLink* previousLink_ = nullptr;
  nv4test::TempDir startDir_;
  nv4test::TempDir outDir_;
  nv4test::TempDir elsewhere_;
  std::unique_ptr<QWidget> window_;
  CPageGmap* page_ = nullptr;
};

TEST_F(PageGmapTest, StartsWithTheSettingsShownAndRedrawsOnlyWhenActivated) {
  window_ = std::make_unique<QWidget>();
  auto* layout = new QVBoxLayout(window_.get());
  layout->setContentsMargins(0, 0, 0, 0);
  AP.g_line = 0;
  AP.bw = 1;
  page_ = new CPageGmap(window_.get());
  EXPECT_EQ(page_->windowTitle(), "Ground Map");
  EXPECT_EQ(page_->initializing, 1);
  EXPECT_EQ(page_->active, 0);
  EXPECT_EQ(page_->labelCount, 0);
  EXPECT_EQ(page_->W, 0);
  EXPECT_EQ(page_->H, 0);
  EXPECT_EQ(theGmapPage, nullptr);
  layout->addWidget(page_);
  window_->resize(660, 500);
  window_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get(), nv4test::kHangGuardMs));

  MarkImage();
  const int redraws = Redraws();
  ASSERT_TRUE(page_->OnInitDialog());
  EXPECT_EQ(theGmapPage, page_);
  // The zoom field's first display comes back as an edit change, which must not redraw.
  EXPECT_EQ(Redraws(), redraws);
  EXPECT_FALSE(RenderedSinceMark());
  ASSERT_NE(page_->zoomEdit.descriptor(), nullptr);
  EXPECT_EQ(page_->zoomEdit.descriptor()->controlId, 2401);
  EXPECT_STREQ(page_->zoomEdit.descriptor()->label, "zm");
  ASSERT_NE(page_->zoomEdit.edit(), nullptr);
  EXPECT_FALSE(page_->zoomEdit.edit()->text().isEmpty());
  EXPECT_EQ(static_cast<QLineEdit*>(Item(kIdGmapMapName))->text(), "GMtest.DAT");
  EXPECT_TRUE(static_cast<QLineEdit*>(Item(kIdGmapMapName))->isReadOnly());
  EXPECT_TRUE(Check(kIdGmapText)->isChecked());
  EXPECT_FALSE(Check(kIdGmapLine)->isChecked());
  EXPECT_TRUE(Check(kIdGmapMono)->isChecked());

  ASSERT_TRUE(page_->OnSetActive());
  EXPECT_EQ(page_->initializing, 0);
  EXPECT_EQ(page_->active, 1);
  EXPECT_EQ(Redraws(), redraws + 1);
  EXPECT_TRUE(RenderedSinceMark());
  ASSERT_TRUE(page_->OnKillActive());
  EXPECT_EQ(page_->active, 0);
}

TEST_F(PageGmapTest, EveryControlOfTheTemplateHasItsIdAndText) {
  ShowPage();
  struct Control {
    int id;
    const char* text;  // null: none to check
  };
  const Control controls[] = {{kIdGmapMapName, nullptr}, {kIdGmapBrowse, "..."},
                              {kIdGmapPanH, nullptr},    {kIdGmapPanV, nullptr},
                              {kIdGmapSave, "save"},     {kIdGmapText, "txt"},
                              {kIdGmapLine, "line"},     {kIdGmapMono, "mono chrome"},
                              {kIdGmapCenter, "center"}, {kIdGmapPicture, nullptr}};
  for (const Control& c : controls) {
    SCOPED_TRACE(c.id);
    QWidget* item = Item(c.id);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isVisible());
    if (c.text) {
      EXPECT_EQ(static_cast<QAbstractButton*>(item)->text(), c.text);
    }
  }
  EXPECT_EQ(static_cast<SpinArrows*>(Item(kIdGmapPanH))->orientation(), Qt::Horizontal);
  EXPECT_EQ(static_cast<SpinArrows*>(Item(kIdGmapPanV))->orientation(), Qt::Vertical);
  // The controls' row lies above the picture.
  const int pictureTop = Item(kIdGmapPicture)->geometry().top();
  for (int id : {kIdGmapBrowse, kIdGmapSave, kIdGmapText, kIdGmapCenter}) {
    EXPECT_LE(Item(id)->geometry().bottom(), pictureTop) << id;
  }
}

// The page is as wide as its window's page holder: 660 pixels at its widest here, 312 in the
// least main window, and narrower still where a window manager draws a thick frame. Before, at
// the least size "save" and the vertical pan arrows were cut off at the right edge.
TEST_F(PageGmapTest, WithTheGridOfTheProgramNoControlsOverlapOrLeaveThePageAndTheLabelReadsWhole) {
  // The grid as the Main page measures it before this page is made: from its button "all off"
  // at (160, 64) dialog units. With the start values the zoom field would cover the pans.
  const double savedX = gridScaleX, savedY = gridScaleY;
  const QRect allOff = platform::DialogUnitsToPixels(160, 64, 28, 10);
  for (int width : {660, 312, 280}) {
    SCOPED_TRACE(width);
    gridScaleX = (allOff.x() - 1) / 280.0;
    gridScaleY = (allOff.y() - 3) / 100.0;
    ShowPage(width);
    gridScaleX = savedX;
    gridScaleY = savedY;
    std::vector<QWidget*> controls;
    for (QWidget* child : page_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (child->isVisible()) controls.push_back(child);
    }
    ASSERT_GE(controls.size(), 14u);  // the template's 11 and the zoom's label, edit and spin
    for (std::size_t i = 0; i < controls.size(); ++i) {
      auto name = [](const QWidget* w) {
        return std::string(w->metaObject()->className()) + " " +
               std::to_string(w->property("itemId").toInt());
      };
      for (std::size_t j = i + 1; j < controls.size(); ++j) {
        EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
            << name(controls[i]) << " and " << name(controls[j]);
      }
      // The narrowest page keeps its controls clear of each other; it may cut the last off.
      if (width >= 312) {
        EXPECT_LE(controls[i]->geometry().right(), page_->width() - 1) << name(controls[i]);
      }
    }
    for (QLabel* label : page_->findChildren<QLabel*>()) {
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
          << label->text().toStdString();
    }
  }
}

TEST_F(PageGmapTest, TypingAZoomRedrawsAtEachKeystrokeWithTheValueSoFar) {
  ShowPage();
  QLineEdit* edit = page_->zoomEdit.edit();
  ASSERT_NE(edit, nullptr);
  struct Step {
    const char* keys;  // typed after what came before; "\b" erases one character
    float zoom;
    bool redraws;  // a zoom of 0 or less leaves the picture as it was
  };
  const Step steps[] = {{"8", 8.0f, true},  {"5", 85.0f, true},  {"\b", 8.0f, true},
                        {"\b", 0.0f, false}, {"0", 0.0f, false}, {".", 0.0f, false},
                        {"5", 0.5f, true},  {"0", 0.5f, true}};
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.keys);
    const int redraws = Redraws();
    MarkImage();
    if (step.keys[0] == '\b') {
      QTest::keyClick(edit, Qt::Key_Backspace);
    } else {
      QTest::keyClicks(edit, step.keys);
    }
    // As typed: below the field's least value 1 too.
    EXPECT_EQ(AP.g_zoom, step.zoom);
    EXPECT_EQ(Redraws(), redraws + (step.redraws ? 1 : 0));
    EXPECT_EQ(RenderedSinceMark(), step.redraws);
    if (step.redraws) {
      EXPECT_DOUBLE_EQ(mapView.mapPerScreen, 10.0 / step.zoom);
    }
  }
}

TEST_F(PageGmapTest, ZoomSpinStepsByAHalfWithinItsLimitsAndRedrawsOnce) {
  ShowPage();
  SpinArrows* spin = page_->zoomEdit.spin();
  ASSERT_NE(spin, nullptr);
  using enum ArrowDirection;
  struct Case {
    float before;
    ArrowDirection direction;
    float after;
  };
  const Case cases[] = {{5.0f, kUpOrRight, 5.5f},    {5.0f, kDownOrLeft, 4.5f},
                        {1.5f, kDownOrLeft, 1.0f},   {1.0f, kDownOrLeft, 1.0f},
                        {99.5f, kUpOrRight, 100.0f}, {100.0f, kUpOrRight, 100.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.before << " " << static_cast<int>(c.direction));
    AP.g_zoom = c.before;
    page_->zoomEdit.ShowValue();
    const int redraws = Redraws();
    spin->Click(c.direction);
    EXPECT_EQ(AP.g_zoom, c.after);
    EXPECT_EQ(Redraws(), redraws + 1);
    EXPECT_DOUBLE_EQ(mapView.mapPerScreen, 10.0 / c.after);
  }
  // Another spin's or another code's scroll is not the zoom's.
  const float zoom = AP.g_zoom;
  page_->OnVScroll(SB_THUMBPOSITION, 0, 2407);
  page_->OnVScroll(SB_THUMBPOSITION + 1, 0, 2402);
  EXPECT_EQ(AP.g_zoom, zoom);
}

TEST_F(PageGmapTest, PanStepAtZoom5MovesTheViewByAFifthOfADegreeEachArrowItsWay) {
  ShowPage();
  ASSERT_EQ(mapView.mapPerScreen, 2.0);
  using enum ArrowDirection;
  struct Case {
    int id;
    ArrowDirection direction;
    double dLon, dLat;
  };
  const Case cases[] = {{kIdGmapPanH, kUpOrRight, 0.2, 0.0},
                        {kIdGmapPanH, kDownOrLeft, -0.2, 0.0},
                        {kIdGmapPanV, kUpOrRight, 0.0, 0.2},
                        {kIdGmapPanV, kDownOrLeft, 0.0, -0.2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.id << " " << static_cast<int>(c.direction));
    AP.g_ofh = 0.1f;
    AP.g_ofv = -0.3f;
    page_->Redraw();
    const double lon = mapView.viewCentreLon, lat = mapView.viewCentreLat;
    const int redraws = Redraws();
    Pan(c.id, c.direction);
    EXPECT_EQ(Redraws(), redraws + 1);
    EXPECT_NEAR(mapView.viewCentreLon - lon, c.dLon, 1e-6);
    EXPECT_NEAR(mapView.viewCentreLat - lat, c.dLat, 1e-6);
    // Summed in double, stored as float.
    EXPECT_EQ(AP.g_ofh, static_cast<float>(0.1f + c.dLon));
    EXPECT_EQ(AP.g_ofv, static_cast<float>(-0.3f + c.dLat));
  }
  // The step follows the zoom of the last redraw: 0.1 degree at zoom 10.
  AP.g_zoom = 10.0f;
  AP.g_ofh = 0.0f;
  page_->Redraw();
  Pan(kIdGmapPanH, kUpOrRight);
  EXPECT_EQ(AP.g_ofh, 0.1f);
}

TEST_F(PageGmapTest, CenterGoesToTheMiddleOfWhatWasDrawnWithoutARedraw) {
  AddResults();
  ShowPage();
  const groundmap::MapView drawn = mapView;
  // The two stations span the box: 135.5 .. 136.6 E, 34.2 .. 35.2 N.
  EXPECT_NEAR(drawn.minLon, 135.5, 1e-5);
  EXPECT_NEAR(drawn.maxLon, 136.6, 1e-5);
  EXPECT_NEAR(drawn.minLat, 34.2, 1e-5);
  EXPECT_NEAR(drawn.maxLat, 35.2, 1e-5);
  MarkImage();
  const int redraws = Redraws();
  Click(kIdGmapCenter);
  EXPECT_EQ(Redraws(), redraws);  // Render, without the wait cursor of Redraw
  EXPECT_TRUE(RenderedSinceMark());
  const double lon = (drawn.minLon + drawn.maxLon) * 0.5;
  const double lat = (drawn.minLat + drawn.maxLat) * 0.5;
  EXPECT_DOUBLE_EQ(mapView.viewCentreLon, lon);
  EXPECT_DOUBLE_EQ(mapView.viewCentreLat, lat);
  EXPECT_EQ(AP.g_ofh, static_cast<float>(lon - 136.0));
  EXPECT_EQ(AP.g_ofv, static_cast<float>(lat - 34.0));
  EXPECT_EQ(mapView.mapPerScreen, 2.0);
}

TEST_F(PageGmapTest, CenterWithNothingDrawnReturnsToTheMapCentre) {
  ShowPage();
  Pan(kIdGmapPanH, ArrowDirection::kUpOrRight);
  Pan(kIdGmapPanV, ArrowDirection::kDownOrLeft);
  ASSERT_NE(AP.g_ofh, 0.0f);
  MarkImage();
  Click(kIdGmapCenter);
  EXPECT_TRUE(RenderedSinceMark());
  EXPECT_NEAR(AP.g_ofh, 0.0f, 1e-6);
  EXPECT_NEAR(AP.g_ofv, 0.0f, 1e-6);
  EXPECT_NEAR(mapView.viewCentreLon, 136.0, 1e-6);
  EXPECT_NEAR(mapView.viewCentreLat, 34.0, 1e-6);
}

TEST_F(PageGmapTest, TxtShowsOrHidesTheLabelsWithoutRendering) {
  AddResults();
  ShowPage();
  ASSERT_EQ(page_->labelCount, 3);  // the two station names and the date range
  EXPECT_NE(Screen(), PlainImage());
  struct Step {
    std::int32_t text;
  };
  for (const Step& step : {Step{0}, Step{1}, Step{0}}) {
    SCOPED_TRACE(step.text);
    MarkImage();
    const int redraws = Redraws();
    Click(kIdGmapText);
    EXPECT_EQ(AP.g_text, step.text);
    EXPECT_EQ(Check(kIdGmapText)->isChecked(), step.text != 0);
    EXPECT_EQ(Redraws(), redraws);
    EXPECT_FALSE(RenderedSinceMark());
    EXPECT_EQ(Screen() == PlainImage(), step.text == 0);
  }
}

TEST_F(PageGmapTest, LineAndMonoChromeRenderAgainAndWriteTheStatusLine) {
  ShowPage();
  struct Case {
    int id;
    std::int32_t* flag;
  };
  const Case cases[] = {{kIdGmapLine, &AP.g_line}, {kIdGmapMono, &AP.bw}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    for (int round = 0; round < 2; ++round) {
      const std::int32_t before = *c.flag;
      MarkImage();
      const int redraws = Redraws();
      const int statusLines = status_.statusLines;
      Click(c.id);
      EXPECT_EQ(*c.flag, before ? 0 : 1);
      EXPECT_EQ(Check(c.id)->isChecked(), *c.flag != 0);
      EXPECT_EQ(Redraws(), redraws + 1);
      EXPECT_TRUE(RenderedSinceMark());
      EXPECT_EQ(status_.statusLines, statusLines + 1);
    }
  }
  // Mono chrome shows in the image: the sea becomes 240, which no colour shade is.
  Click(kIdGmapMono);
  ASSERT_EQ(AP.bw, 1);
  int sea = 0;
  for (const std::uint8_t b : ImageBytes()) sea += b == 240;
  EXPECT_GT(sea, page_->W * page_->H / 4 * 3);

  // An inactive page is not redrawn; the status line is written all the same.
  page_->OnKillActive();
  MarkImage();
  const int statusLines = status_.statusLines;
  Click(kIdGmapLine);
  EXPECT_FALSE(RenderedSinceMark());
  EXPECT_EQ(status_.statusLines, statusLines + 1);
}

TEST_F(PageGmapTest, RedrawMapAndStatusWithoutAPageOnlyWritesTheStatusLine) {
  ASSERT_EQ(theGmapPage, nullptr);
  MarkImage();
  RedrawMapAndStatus();
  EXPECT_FALSE(RenderedSinceMark());
  EXPECT_EQ(status_.statusLines, 1);
  ShowPage();
  MarkImage();
  RedrawMapAndStatus();
  EXPECT_TRUE(RenderedSinceMark());
  EXPECT_EQ(status_.statusLines, 2);
  // The view stays where it is.
  EXPECT_EQ(AP.g_ofh, 0.0f);
}

// Before, the picture was measured from its place on the screen and the frame's, which the
// window manager reports from different moments while it moves the window: maximised from a
// window away from the screen's corner, the picture overran the window by that old offset.
TEST_F(PageGmapTest, PictureReachesTowardTheWindowsOuterEdgesWhereverTheWindowIs) {
  ShowPage(1300, 800);
  QWidget* picture = Item(kIdGmapPicture);
  // The picture's corner inside the outer window: the frame, then the page's place.
  auto expectFormula = [&](const char* step) {
    SCOPED_TRACE(step);
    const QMargins frame = window_->windowHandle()->frameMargins();
    const QSize outer = window_->size().grownBy(frame);
    const QPoint corner = QPoint(frame.left(), frame.top()) + page_->pos() + picture->pos();
    const int w = std::min((outer.width() - corner.x() - 9) / 4 * 4, 1920);
    const int h = std::min(outer.height() - corner.y() - 16, 1200);
    EXPECT_EQ(page_->W, w);
    EXPECT_EQ(page_->H, h);
    EXPECT_EQ(picture->size(), QSize(w, h));
    EXPECT_EQ(mapImage.header.biWidth, w);
    EXPECT_EQ(mapImage.header.biHeight, h);
  };
  window_->move(100, 81);
  QCoreApplication::processEvents();
  expectFormula("moved");
  for (const QSize size : {QSize(1300, 800), QSize(901, 655), QSize(700, 400)}) {
    window_->resize(size);
    QCoreApplication::processEvents();
    expectFormula("resized");
  }
  window_->showMaximized();
  QTRY_VERIFY(window_->isMaximized());
  QCoreApplication::processEvents();
  expectFormula("maximised");
  EXPECT_LE(page_->W, window_->width()) << "the picture stays inside its window";
  EXPECT_LE(page_->H, window_->height());
  window_->showNormal();
  QTRY_VERIFY(!window_->isMaximized());
  QCoreApplication::processEvents();
  expectFormula("restored");

  // Smaller than the picture's place: no picture rather than a negative one.
  window_->setMinimumSize(0, 0);
  page_->setMinimumSize(0, 0);
  window_->resize(8, 30);
  QCoreApplication::processEvents();
  EXPECT_EQ(page_->W, 0);
  EXPECT_EQ(page_->H, 0);
  EXPECT_EQ(picture->size(), QSize(0, 0));
}

// ---- "..." --------------------------------------------------------------------------------------

TEST_F(PageGmapTest, ChoosingAMapInTheStartFolderStoresItsBareName) {
  ShowPage();
  const std::string path = startDir_.File("other.dat");
  nv4test::WriteFileBytes(path, MapBytes(2000, 1500, 3));
  AP.g_ofh = 0.5f;
  AP.g_ofv = -0.5f;
  scripted_.AnswerPath(path);
  const int redraws = Redraws();
  Click(kIdGmapBrowse);

  const auto choosers = scripted_.CallsOf(CallKind::kChooseFile);
  ASSERT_EQ(choosers.size(), 1u);
  const platform::FileRequest& request = choosers[0].file;
  EXPECT_EQ(request.title, "Base Ground Map");
  ASSERT_EQ(request.filters.size(), 1u);
  EXPECT_EQ(request.filters[0].text, "*.DAT");
  EXPECT_EQ(request.filters[0].pattern, "*.DAT;*.dat");
  EXPECT_EQ(request.defaultExtension, "DAT");
  EXPECT_EQ(request.proposed, startDir_.path() + "/*.DAT");
  EXPECT_FALSE(request.save);

  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(mapProjection.CX, 2000);
  EXPECT_STREQ(AP.g_map, "other.dat");
  EXPECT_EQ(static_cast<QLineEdit*>(Item(kIdGmapMapName))->text(), "other.dat");
  EXPECT_EQ(AP.g_ofh, 0.0f);
  EXPECT_EQ(AP.g_ofv, 0.0f);
  EXPECT_EQ(Redraws(), redraws + 1);
}

TEST_F(PageGmapTest, ChoosingAMapElsewhereStoresItsFullPath) {
  ShowPage();
  const std::string path = elsewhere_.File("far.DAT");
  nv4test::WriteFileBytes(path, MapBytes(800, 600, 5));
  scripted_.AnswerPath(path);
  Click(kIdGmapBrowse);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(mapProjection.CX, 800);
  // Before, only the name was kept, and the next start looked for it in the start folder.
  EXPECT_EQ(std::string(AP.g_map), path);
  EXPECT_EQ(static_cast<QLineEdit*>(Item(kIdGmapMapName))->text().toStdString(), path);
}

TEST_F(PageGmapTest, ABadMapIsReportedAndKeepsTheShownMapAndItsName) {
  ShowPage();
  std::string cutShort = MapBytes();
  cutShort.resize(cutShort.size() / 2);
  struct Case {
    const char* file;
    std::string bytes;  // empty: no file at all
    const char* message;
  };
  const Case cases[] = {
      {"cut.DAT", cutShort, "GroundMap Broken data %s"},
      {"header.DAT", "Korvanta", "GroundMap Broken header %s"},
      {"missing.DAT", "", "Cannot Open GroundMap %s"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = elsewhere_.File(c.file);
    if (!c.bytes.empty()) nv4test::WriteFileBytes(path, c.bytes);
    AP.g_ofh = 0.5f;
    scripted_.ClearCalls();
    scripted_.AnswerPath(path);
    const int redraws = Redraws();
    Click(kIdGmapBrowse);
    EXPECT_EQ(Messages(), std::vector<std::string>{
                              platform::StringPrintfC(c.message, path.c_str())});
    // Before, the name was stored whatever the load gave, and the next start stopped on it.
    EXPECT_EQ(mapProjection.CX, 1600);
    EXPECT_STREQ(AP.g_map, "GMtest.DAT");
    EXPECT_EQ(static_cast<QLineEdit*>(Item(kIdGmapMapName))->text(), "GMtest.DAT");
    // Offsets and the redraw as after any choice.
    EXPECT_EQ(AP.g_ofh, 0.0f);
    EXPECT_EQ(Redraws(), redraws + 1);
  }
}

TEST_F(PageGmapTest, CancellingTheChooserChangesNothing) {
  ShowPage();
  AP.g_ofh = 0.5f;
  scripted_.AnswerCancel();
  const int redraws = Redraws();
  Click(kIdGmapBrowse);
  EXPECT_EQ(scripted_.CallsOf(CallKind::kChooseFile).size(), 1u);
  EXPECT_EQ(AP.g_ofh, 0.5f);
  EXPECT_EQ(Redraws(), redraws);
  EXPECT_STREQ(AP.g_map, "GMtest.DAT");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(PageGmapTest, APathTooLongForTheSettingIsRefusedBeforeLoading) {
  ShowPage();
  // A folder under elsewhere_ whose map's full path is exactly 255 or 256 characters.
  auto pathOfLength = [&](std::size_t length) {
    const std::string name = "/m.DAT";
    const std::size_t folderChars = length - elsewhere_.path().size() - name.size() - 1;
    std::string folder = elsewhere_.path() + "/" + std::string(folderChars, 'f');
    std::filesystem::create_directories(folder);
    return folder + name;
  };
  const std::string fits = pathOfLength(255);
  const std::string tooLong = pathOfLength(256);
  ASSERT_EQ(fits.size(), 255u);
  nv4test::WriteFileBytes(fits, MapBytes(800, 600, 5));
  nv4test::WriteFileBytes(tooLong, MapBytes(800, 600, 5));

  AP.g_ofh = 0.5f;
  scripted_.AnswerPath(tooLong);
  const int redraws = Redraws();
  Click(kIdGmapBrowse);
  EXPECT_EQ(Messages(), std::vector<std::string>{
                            "GroundMap path longer than 255 characters " + tooLong});
  EXPECT_EQ(mapProjection.CX, 1600);  // not loaded
  EXPECT_STREQ(AP.g_map, "GMtest.DAT");
  EXPECT_EQ(AP.g_ofh, 0.5f);
  EXPECT_EQ(Redraws(), redraws);

  scripted_.ClearCalls();
  scripted_.AnswerPath(fits);
  Click(kIdGmapBrowse);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(mapProjection.CX, 800);
  EXPECT_EQ(std::string(AP.g_map), fits);
}

TEST_F(PageGmapTest, DefaultPathsTooLongForTheBufferProposeTheBareName) {
  ShowPage();
  // Before, a 1024-character folder ran past the 1024-byte buffer.
  const std::string longFolder = "/" + std::string(1020, 'x');
  std::snprintf(startDir, sizeof startDir, "%s", longFolder.c_str());
  std::snprintf(AP.outdir, sizeof AP.outdir, "%s", longFolder.c_str());
  scripted_.AnswerCancel();
  scripted_.AnswerCancel();
  Click(kIdGmapBrowse);
  Click(kIdGmapSave);
  const auto choosers = scripted_.CallsOf(CallKind::kChooseFile);
  ASSERT_EQ(choosers.size(), 2u);
  EXPECT_EQ(choosers[0].file.proposed, "*.DAT");
  EXPECT_EQ(choosers[1].file.proposed, "B20240812_GMAP.bmp");
}

// ---- "save" -------------------------------------------------------------------------------------

TEST_F(PageGmapTest, SaveProposesTheDefaultNameAndWaitsOnlyWhileWriting) {
  ShowPage();
  const std::string path = outDir_.File("map.jpeg");
  int waitDepthAtWrite = -1;
  scripted_.SetImageEncoder([&](const std::string&, const std::uint8_t*, int, int) {
    waitDepthAtWrite = scripted_.waitDepth;
    return std::string();
  });
  scripted_.AnswerPath(path);
  Click(kIdGmapSave);
  const auto choosers = scripted_.CallsOf(CallKind::kChooseFile);
  ASSERT_EQ(choosers.size(), 1u);
  const platform::FileRequest& request = choosers[0].file;
  EXPECT_EQ(request.title, "Save Image");
  ASSERT_EQ(request.filters.size(), 1u);
  EXPECT_EQ(request.filters[0].text, "BMP(*.bmp)");
  EXPECT_EQ(request.filters[0].pattern, "*.bmp");
  EXPECT_EQ(request.defaultExtension, "bmp");
  EXPECT_EQ(request.proposed, outDir_.path() + "/B20240812_GMAP.bmp");
  EXPECT_TRUE(request.save);
  EXPECT_EQ(scripted_.waitDepthAtChooser, std::vector<int>{0});
  EXPECT_EQ(waitDepthAtWrite, 1);
  EXPECT_EQ(scripted_.waitDepth, 0);
}

TEST_F(PageGmapTest, SaveChoosesTheWriterByTheExtensionInAnyCase) {
  ShowPage();
  std::vector<std::string> encoded;
  scripted_.SetImageEncoder([&](const std::string& path, const std::uint8_t*, int width,
                                int height) {
    EXPECT_EQ(width, page_->W);
    EXPECT_EQ(height, page_->H);
    encoded.push_back(path);
    return std::string();
  });
  enum Writer { kBmp, kJpeg, kNone };
  struct Case {
    const char* name;
    Writer writer;
  };
  // Before, the writer went by the third character from the end: "x.jpeg" wrote nothing and
  // said nothing, and "x.png" too.
  const Case cases[] = {{"a.bmp", kBmp},   {"b.BMP", kBmp},   {"c.jpg", kJpeg},
                        {"d.jpeg", kJpeg}, {"e.JPG", kJpeg},  {"f.JPEG", kJpeg},
                        {"g.png", kNone},  {"noext", kNone},  {"h.bmp.txt", kNone},
                        {"i.jpg/j", kNone}, {"k.", kNone}};
  std::filesystem::create_directories(outDir_.File("i.jpg"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = outDir_.File(c.name);
    scripted_.ClearCalls();
    encoded.clear();
    const int waitCursors = scripted_.waitCursorsShown;
    scripted_.AnswerPath(path);
    Click(kIdGmapSave);
    switch (c.writer) {
      case kBmp: {
        EXPECT_TRUE(Messages().empty());
        EXPECT_TRUE(encoded.empty());
        const Bmp bmp = ReadBmp(path);
        EXPECT_EQ(bmp.width, page_->W);
        EXPECT_EQ(bmp.height, page_->H);
        break;
      }
      case kJpeg:
        EXPECT_TRUE(Messages().empty());
        EXPECT_EQ(encoded, std::vector<std::string>{path});
        EXPECT_FALSE(std::filesystem::exists(path));
        break;
      case kNone:
        EXPECT_EQ(Messages(), std::vector<std::string>{
                                  "Cannot save image " + path +
                                  ": the name must end in .bmp, .jpg or .jpeg"});
        EXPECT_TRUE(encoded.empty());
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_EQ(scripted_.waitCursorsShown, waitCursors);
        break;
    }
  }
}

TEST_F(PageGmapTest, SavedPixelsHoldTheLabelsOnlyWithTxtAndLeaveTheImageAsRendered) {
  AddResults();
  ShowPage();
  ASSERT_GT(page_->labelCount, 0);
  const std::vector<std::uint8_t> rendered = ImageBytes();

  const std::string withText = outDir_.File("with.bmp");
  scripted_.AnswerPath(withText);
  Click(kIdGmapSave);
  const Bmp with = ReadBmp(withText);
  ASSERT_EQ(with.width, page_->W);
  EXPECT_NE(with.pixels, rendered);
  // The screen and the file are painted alike.
  EXPECT_EQ(ImageOf(with.pixels, with.width, with.height), Screen());
  // Before, the save grabbed the screen into the drawing image itself.
  EXPECT_EQ(ImageBytes(), rendered);

  // "txt" off after a save: no labels on the screen, none in the next file.
  Click(kIdGmapText);
  EXPECT_EQ(Screen(), PlainImage());
  const std::string without = outDir_.File("without.bmp");
  scripted_.AnswerPath(without);
  Click(kIdGmapSave);
  EXPECT_EQ(ReadBmp(without).pixels, rendered);

  // The JPEG writer gets the same pixels as the BMP writer.
  Click(kIdGmapText);
  std::vector<std::uint8_t> encoded;
  scripted_.SetImageEncoder([&](const std::string&, const std::uint8_t* pixels, int width,
                                int height) {
    encoded.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 3);
    return std::string();
  });
  scripted_.AnswerPath(outDir_.File("with.jpg"));
  Click(kIdGmapSave);
  EXPECT_EQ(encoded, with.pixels);
}

TEST_F(PageGmapTest, SaveWritesTheLastRendersSize) {
  ShowPage();
  const int width = page_->W, height = page_->H;
  // A typed zoom of 0 keeps the last picture: a resize then changes W and H, not the image.
  AP.g_zoom = 0.0f;
  window_->resize(500, 400);
  QCoreApplication::processEvents();
  ASSERT_NE(page_->W, width);
  const std::string path = outDir_.File("last.bmp");
  scripted_.AnswerPath(path);
  Click(kIdGmapSave);
  const Bmp bmp = ReadBmp(path);
  EXPECT_EQ(bmp.width, width);
  EXPECT_EQ(bmp.height, height);
}

TEST_F(PageGmapTest, ThePagePointerLastsAsLongAsThePage) {
  ShowPage();
  EXPECT_EQ(theGmapPage, page_);
  delete page_;
  EXPECT_EQ(theGmapPage, nullptr);
}

}  // namespace
