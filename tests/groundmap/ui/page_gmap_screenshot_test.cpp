// Writes a picture of the "Ground Map" page over the shipped map with the demo results to the
// build folder, for a person to look at; it is not compared with anything.

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <QVBoxLayout>
#include <filesystem>
#include <string>

#include "analysis/clicks_scan.h"
#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "params/app_dirs.h"
#include "params/app_params.h"
#include "geo/calendar.h"
#include "groundmap/map_file_loader.h"
#include "groundmap/map_image.h"
#include "groundmap/map_view.h"
#include "groundmap/ui/page_gmap.h"
#include "platform/qt/dialog_units.h"
#include "platform/scripted_platform.h"
#include "tests/support/hang_guard.h"
#include "ulib/string_pool.h"
#include "ulib/ui/cu_sheet.h"
#include "ulib/ui/grid_scale.h"

namespace {

class PageGmapScreenshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitCalendarTables();
    SetDefaultAppParams();
    EmptyRecordStore();
    selectionState = SelectionState{};
    pairTable = new CUTable(&PairTable);
    resultTable = new CUTable(&ResultTable);
    groundmap::mapView = groundmap::MapView();
    groundmap::ResetMapImage();
    std::snprintf(startDir, sizeof startDir, "%s/data", NV4_SOURCE_DIR);
    const std::string map = groundmap::GroundMapPath(startDir, AP.g_map);
    ASSERT_EQ(groundmap::LoadGroundMap(map.c_str()), 1) << map;
    // The zoom field's grid as the Main page measures it in the program, which it does before
    // this page is made: from its button "all off" at (160, 64) dialog units.
    const QRect allOff = platform::DialogUnitsToPixels(160, 64, 28, 10);
    savedScaleX_ = gridScaleX;
    savedScaleY_ = gridScaleY;
    gridScaleX = (allOff.x() - 1) / 280.0;
    gridScaleY = (allOff.y() - 3) / 100.0;
  }
  void TearDown() override {
    gridScaleX = savedScaleX_;
    gridScaleY = savedScaleY_;
    delete resultTable;
    delete pairTable;
    resultTable = pairTable = nullptr;
    UcbufFreeAll();
    EmptyRecordStore();
  }

  // The demo clicks tree, read and paired as the read command does it.
  void ReadDemo() {
    const std::string clicks = std::string(NV4_SOURCE_DIR) + "/data/clicks";
    ASSERT_EQ(ScanClicksDir(clicks.c_str()), 0);
    AP.y1 = 2023, AP.m1 = 8, AP.d1 = 1, AP.y2 = 2024, AP.m2 = 1, AP.d2 = 1;
    ApplyDateRange();
    SelectAndPair();
    ASSERT_GT(resultTable->rowCount, 0);
    EXPECT_TRUE(scripted_->CallsOf(platform::ScriptedPlatform::CallKind::kMessage).empty());
  }

  // The page as the main window holds it: the only page of a sheet that fills the window.
  void Shoot(const char* fileName) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* page = new CPageGmap;
    auto* sheet = new CUSheet({page}, "", &window, 0);
    layout->addWidget(sheet);
    window.resize(1300, 800);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, nv4test::kHangGuardMs));
    QCoreApplication::processEvents();
    // As the read command leaves it: centred on what was drawn.
    page->OnCenter();
    QCoreApplication::processEvents();
    EXPECT_GT(page->W, 1000);
    EXPECT_GT(page->H, 600);

    const std::string path = std::string(NV4_BINARY_DIR) + "/" + fileName;
    ASSERT_TRUE(window.grab().toImage().save(QString::fromStdString(path), "PNG"));
    EXPECT_GT(std::filesystem::file_size(path), 10000u);
  }

  platform::ScopedScriptedPlatform scripted_;
  double savedScaleX_ = 0.0;
  double savedScaleY_ = 0.0;
};

TEST_F(PageGmapScreenshotTest, WritesAPictureOfTheShippedMapWithTheDemoResults) {
  ReadDemo();
  Shoot("groundmap_ui_page_gmap_screenshot.png");
}

TEST_F(PageGmapScreenshotTest, WritesAPictureOfTheShippedMapInMonoChrome) {
  ReadDemo();
  AP.bw = 1;
  Shoot("groundmap_ui_page_gmap_mono_screenshot.png");
}

}  // namespace
