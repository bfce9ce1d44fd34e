#pragma once
// The demo tree read, paired and triangulated as the read command does it, the four tables of
// the program, the ground map loaded into a map page, and the Change Pos dialog run modally with
// a test body driving it from inside its event loop.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "analysis/clicks_scan.h"
#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "app/app_window_link.h"
#include "app/chang_dlg.h"
#include "app/click_table.h"
#include "geo/calendar.h"
#include "groundmap/map_file_loader.h"
#include "groundmap/map_image.h"
#include "groundmap/ui/page_gmap.h"
#include "params/app_params.h"
#include "platform/c_locale.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_platform.h"
#include "platform/scripted_platform.h"
#include "tests/app/main_window_support.h"
#include "tests/support/hang_guard.h"
#include "ulib/table_cell.h"
#include "ulib/ui/cell_edit.h"
#include "ulib/ui/grid_scale.h"

namespace changtest {

namespace fs = std::filesystem;
using CallKind = platform::ScriptedPlatform::CallKind;

// Rewrites a clicks file so that its line of point number "from" carries "to" instead.
inline void RenumberPoint(const fs::path& file, int from, int to) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  in.close();
  std::string text = all.str(), out;
  std::size_t start = 0;
  int changed = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    std::string line = text.substr(start, end - start);
    // _Y_ut,_M_ut,_D_ut,_h_ut,_m_ut,_s_ut,_pos,...
    std::size_t field = 0;
    for (int comma = 0; comma < 6 && field != std::string::npos; ++comma) {
      field = line.find(',', field);
      if (field != std::string::npos) ++field;
    }
    if (line[0] != '_' && field != std::string::npos) {
      const std::size_t fieldEnd = line.find(',', field);
      if (line.substr(field, fieldEnd - field) == std::to_string(from)) {
        line = line.substr(0, field) + std::to_string(to) + line.substr(fieldEnd);
        ++changed;
      }
    }
    out += line;
    start = end;
  }
  ASSERT_EQ(changed, 1) << file;
  std::ofstream(file, std::ios::binary) << out;
}

// One result row as the tests compare them.
struct ResultLine {
  int pos, rline, c1, c2;
  float lng, lat, h1, h2;
  bool operator==(const ResultLine&) const = default;
};

class ChangDlgTest : public ::testing::Test {
 protected:
  double savedScaleX_ = 0.0;
  double savedScaleY_ = 0.0;
  static constexpr const char* kMapFile = NV4_SOURCE_DIR "/data/GMe136n34_16.DAT";

  void SetUp() override {
    // The lists are placed in grid units, which the Main page measures from its "all off"
    // button once it stands: the dialog is tested at the scale the program runs with.
    savedScaleX_ = gridScaleX;
    savedScaleY_ = gridScaleY;
    const QRect allOff = platform::DialogUnitsToPixels(160, 64, 28, 10);
    gridScaleX = (allOff.x() - 1) / 280.0;
    gridScaleY = (allOff.y() - 3) / 100.0;
    InitCalendarTables();
    SetDefaultAppParams();
    AP.latest = 1;
    AP.y1 = 2023, AP.m1 = 8, AP.d1 = 1;
    AP.y2 = 2024, AP.m2 = 1, AP.d2 = 1;
    selectionState = SelectionState{};
    theRecordStore().busy = 0;

    demo = fs::path(::testing::TempDir()) / ("nv4_chang_" + std::to_string(::getpid()));
    fs::remove_all(demo);
    fs::copy(NV4_SOURCE_DIR "/data/clicks", demo, fs::copy_options::recursive);

    ASSERT_EQ(groundmap::LoadGroundMap(kMapFile), 1);
    page.OnInitDialog();
    page.resize(660, 500);
    // The picture the tests look at, whatever size the page gives itself.
    page.W = 640;
    page.H = 480;
  }

  void TearDown() override {
    gridScaleX = savedScaleX_;
    gridScaleY = savedScaleY_;
    EmptyRecordStore();
    selectionState = SelectionState{};
    std::error_code ignored;
    fs::remove_all(demo, ignored);
  }

  // The read command's work on the copy of the demo tree, then the selection pass.
  void ReadDemo() {
    EmptyRecordStore();
    nextPairNumber = 1;
    ASSERT_EQ(ScanClicksDir(demo.string().c_str()), 0);
    SelectAndPair();
    ASSERT_TRUE(scripted.CallsOf(CallKind::kMessage).empty())
        << scripted.CallsOf(CallKind::kMessage)[0].text;
    ASSERT_GT(resultTable->rowCount, 0);
  }

  static std::string PairText(int pairRow, int column) {
    return pairTable->GetStringOrEmpty(pairRow, column);
  }
  static int PairInt(int pairRow, int column) {
    return ReadCellInt(pairTable->LiveCell(pairRow, column));
  }
  static int ResultInt(int row, int column) {
    return ReadCellInt(resultTable->LiveCell(row, column));
  }
  static float ResultFloat(int row, int column) {
    return ReadCellFloat(resultTable->LiveCell(row, column));
  }
  static ObservationRecord& Record(int index) { return theRecordStore().records[index]; }
  static ObservationRecord& Record1Of(int pairRow) { return Record(PairInt(pairRow, kPairRec1)); }
  static ObservationRecord& Record2Of(int pairRow) { return Record(PairInt(pairRow, kPairRec2)); }

  // The pair of the two stations whose first record has the local time stamp's minute
  // ("YYYYMMDD_hhmm"), or -1.
  static int FindPair(const char* minute, const char* id1, const char* id2) {
    for (int row = 0; row < pairTable->rowCount; ++row) {
      if (PairText(row, kPairLocaltime).rfind(minute, 0) == 0 && PairText(row, kPairId1) == id1 &&
          PairText(row, kPairId2) == id2) {
        return row;
      }
    }
    return -1;
  }
  // The result of a pair with a point number, or -1.
  static int FindResult(int pairRow, int pos) {
    for (int row = 0; row < resultTable->rowCount; ++row) {
      if (ResultInt(row, kResultRline) == pairRow && ResultInt(row, kResultPos) == pos) return row;
    }
    return -1;
  }
  static std::vector<ResultLine> Results() {
    std::vector<ResultLine> lines;
    for (int row = 0; row < resultTable->rowCount; ++row) {
      lines.push_back({ResultInt(row, kResultPos), ResultInt(row, kResultRline),
                       ResultInt(row, kResultC1), ResultInt(row, kResultC2),
                       ResultFloat(row, kResultLng), ResultFloat(row, kResultLat),
                       ResultFloat(row, kResultH1), ResultFloat(row, kResultH2)});
    }
    return lines;
  }
  static std::vector<int> Positions(const ObservationRecord& record) {
    return std::vector<int>(record.clicks.pos, record.clicks.pos + record.clickCount);
  }

  // Opens Change Pos on the result row and runs body inside the dialog's modal loop once the
  // window is up. A body that leaves the dialog open has it cancelled. Returns DoModal's result.
  int RunDialog(int resultRow, const std::function<void(CChangDlg&)>& body) {
    selectionState.selectedResult = resultRow;
    CChangDlg dialog(nullptr);
    bool ran = false;
    QTimer::singleShot(0, &dialog, [&] {
      ran = true;
      EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog, nv4test::kHangGuardMs));
      body(dialog);
      if (dialog.isVisible()) {
        ADD_FAILURE() << "the test left Change Pos open";
        dialog.reject();
      }
    });
    const int result = dialog.DoModal();
    EXPECT_TRUE(ran);
    return result;
  }

  // --- the lists, as the user works them

  static QPoint CellCenter(CUList& list, int line, int listColumn) {
    QTableView* view = list.View();
    return view->visualRect(view->model()->index(line, listColumn)).center();
  }
  static void ClickLine(CUList& list, int line, int listColumn = 1) {
    QTest::mouseClick(list.View()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      CellCenter(list, line, listColumn));
  }
  // A double-click as the window system delivers it, on the window.
  static void DoubleClick(QWidget* window, CUList& list, int line, int listColumn) {
    QWidget* viewport = list.View()->viewport();
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       viewport->mapTo(window, CellCenter(list, line, listColumn)));
  }
  static CCellEdit* Editor(CUList& list) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (CCellEdit* editor : list.View()->viewport()->findChildren<CCellEdit*>()) {
      if (editor->isVisible()) return editor;
    }
    return nullptr;
  }
  // Opens the in-place editor on the pos of a line and types the number over the old one; the
  // edit stays open.
  static CCellEdit* TypePos(QWidget* window, CUList& list, int line, const char* number) {
    DoubleClick(window, list, line, 0);
    CCellEdit* editor = Editor(list);
    if (editor) QTest::keyClicks(editor, number);
    return editor;
  }
  static int LineShowingPos(CUList& list, int pos) {
    for (int line = 0; line < list.lineCount(); ++line) {
      if (list.CellTextAt(line, 0) == std::to_string(pos)) return line;
    }
    return -1;
  }

  // --- the map picture

  // The map page in use: the fixture's own, or a main window's once that exists.
  static CPageGmap& Map() { return *theGmapPage; }
  static std::vector<std::uint8_t> Picture() {
    const auto* p = groundmap::mapImage.pixels;
    return std::vector<std::uint8_t>(p, p + static_cast<std::size_t>(Map().W) * Map().H * 3);
  }
  // The picture of the pair view with these highlighted clicks, drawn for comparison; the map
  // is drawn again as it was after.
  static std::vector<std::uint8_t> PictureOfRays(int highlight1, int highlight2) {
    const SelectionState saved = selectionState;
    selectionState.pairView = 1;
    selectionState.highlight1 = highlight1;
    selectionState.highlight2 = highlight2;
    Map().Redraw();
    std::vector<std::uint8_t> picture = Picture();
    selectionState = saved;
    Map().Redraw();
    return picture;
  }
  // Pixels of a colour (blue, green, red) in a picture.
  static int CountColour(const std::vector<std::uint8_t>& picture, std::uint8_t b, std::uint8_t g,
                         std::uint8_t r) {
    int n = 0;
    for (std::size_t i = 0; i + 2 < picture.size(); i += 3) {
      n += picture[i] == b && picture[i + 1] == g && picture[i + 2] == r;
    }
    return n;
  }

  // Also puts the item texts into the window, so the labels show what the user would read.
  apptest::ShowingPlatform scripted;
  apptest::ScopedTables tables;
  ScopedAppWindowLink link;
  CPageGmap page;
  fs::path demo;
};

}  // namespace changtest
