// The "Main" page alone in a test window, over real tables, the real selection pass and the
// application's window link: its controls, its fields, the read and write commands, the date
// modes and the result list's selection.

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/output_name_prefix.h"
#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "analysis/window_link.h"
#include "app/app_window_link.h"
#include "app/cu_dlg.h"
#include "app/list_layouts.h"
#include "app/main_page_fields.h"
#include "app/page_main.h"
#include "geo/calendar.h"
#include "params/app_params.h"
#include "platform/c_locale.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/window_message.h"
#include "platform/scripted_platform.h"
#include "tests/app/main_window_support.h"
#include "tests/support/hang_guard.h"
#include "tests/support/locale_guard.h"
#include "ulib/messages.h"
#include "ulib/table_cell.h"
#include "ulib/ui/grid_scale.h"
#include "ulib/ui/list_messages.h"
#include "ulib/ui/list_placement.h"
#include "ulib/ui/page_commands.h"

namespace {

using CallKind = platform::ScriptedPlatform::CallKind;

const std::string kDemoClicks = std::string(NV4_SOURCE_DIR) + "/data/clicks";

// The application's link, counting the selection passes (each empties the lists first) and the
// status lines written.
class CountingLink : public analysis::WindowLink {
 public:
  void ClearResultLists() override {
    ++passes;
    app.ClearResultLists();
  }
  void ReloadResultLists() override { app.ReloadResultLists(); }
  void RedrawMapAndStatus() override { app.RedrawMapAndStatus(); }
  void UpdateStatusLine() override {
    ++statusLines;
    app.UpdateStatusLine();
  }

  AppWindowLink app;
  int passes = 0;
  int statusLines = 0;
};

// The size of the Main page in the main dialog's left holder.
constexpr int kPageWidth = 497;
constexpr int kPageHeight = 462;

class MainPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitCalendarTables();
    savedParams_ = AP;
    savedSelection_ = selectionState;
    savedRange_ = dateRange;
    savedScaleX_ = gridScaleX;
    savedScaleY_ = gridScaleY;
    gridScaleX = 1.4;
    gridScaleY = 2.05;
    SetDefaultAppParams();
    selectionState = SelectionState{};
    EmptyRecordStore();
    theRecordStore().busy = 0;
    previousLink_ = analysis::InstallWindowLink(&link);
    MainDialog = &window;

    // The pair list lives in the main dialog; here in a window of its own that is never shown.
    thePairList.Bind(&pairWindow, &layoutUR, pairTable);
    thePairList.Place(QRect(0, 0, 800, 300));
    thePairList.Reload(0, 0);

    window.resize(kPageWidth, kPageHeight);
    page = new CPageMain(&window);
    page->setGeometry(0, 0, kPageWidth, kPageHeight);
  }

  void TearDown() override {
    delete page;
    MainDialog = nullptr;
    analysis::InstallWindowLink(previousLink_);
    EmptyRecordStore();
    gridScaleX = savedScaleX_;
    gridScaleY = savedScaleY_;
    dateRange = savedRange_;
    selectionState = savedSelection_;
    AP = savedParams_;
  }

  // What the sheet does when it first shows the page.
  void Activate() {
    page->OnInitDialog();
    page->OnSetActive();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, nv4test::kHangGuardMs));
  }

  QWidget* Item(int id) { return platform::FindItem(page, id); }
  void ClickButton(int id) {
    auto* button = qobject_cast<QAbstractButton*>(Item(id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
  }
  QString EditText(int id) { return qobject_cast<QLineEdit*>(Item(id))->text(); }
  QString FieldText(int field) { return page->field(field).edit()->text(); }

  // A copy of the demo clicks tree, read with "read clicls".
  void ReadDemo() {
    std::filesystem::copy(kDemoClicks, clicksDir.File("clicks"),
                          std::filesystem::copy_options::recursive);
    std::snprintf(AP.indir, sizeof AP.indir, "%s", clicksDir.File("clicks").c_str());
    ClickButton(kIdReadClicks);
    ASSERT_GT(page->resultList().lineCount(), 6);
  }

  // A clicks file of its own in a fresh folder, read with "read clicls".
  void ReadLines(const std::vector<std::string>& lines) {
    std::string bytes =
        "_Y_ut,_M_ut,_D_ut,_h_ut,_m_ut,_s_ut,_pos,_x,_y,_az,_ev,_ra,_dec,_lid,_sid,_long,_lat,"
        "_alt,,,,_gioidh,_ddeg\n";
    for (const std::string& line : lines) bytes += line + "\n";
    std::filesystem::create_directories(clicksDir.File("own"));
    nv4test::WriteFileBytes(clicksDir.File("own/20070310_ST1_clicks.csv"), bytes);
    std::snprintf(AP.indir, sizeof AP.indir, "%s", clicksDir.File("own").c_str());
    ClickButton(kIdReadClicks);
  }

  // A click on a line of the result list as the window system delivers it (so that the
  // modifiers reach the application's keyboard state), then the list's posted message.
  void ClickLine(int line, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                 Qt::MouseButton button = Qt::LeftButton) {
    QTableView* view = page->resultList().View();
    const QPoint at = view->visualRect(view->model()->index(line, 1)).center();
    QTest::mouseClick(window.windowHandle(), button, modifiers, view->viewport()->mapTo(&window, at));
    QCoreApplication::processEvents();
  }

  std::int32_t RowOfLine(int line) { return page->resultList().RowOfLine(line); }
  std::vector<std::uint32_t> ResultMarks() {
    std::vector<std::uint32_t> marks;
    for (int line = 0; line < page->resultList().lineCount(); ++line) {
      marks.push_back(apptest::ResultMarkOf(RowOfLine(line)));
    }
    return marks;
  }
  std::vector<std::uint32_t> PairMarks() {
    std::vector<std::uint32_t> marks;
    for (int line = 0; line < thePairList.lineCount(); ++line) {
      marks.push_back(apptest::PairMarkOf(thePairList.RowOfLine(line)));
    }
    return marks;
  }
  std::vector<int> Dates() { return {AP.y1, AP.m1, AP.d1, AP.y2, AP.m2, AP.d2}; }
  std::string Caption() { return scripted->windowTexts[MainDialog]; }

  apptest::ScopedTables tables;
  platform::ScopedScriptedPlatform scripted;
  nv4test::TempDir clicksDir;
  CountingLink link;
  QWidget pairWindow;
  QWidget window;
  CPageMain* page = nullptr;

 private:
  AppParams savedParams_{};
  SelectionState savedSelection_{};
  DateRange savedRange_{};
  double savedScaleX_ = 0;
  double savedScaleY_ = 0;
  analysis::WindowLink* previousLink_ = nullptr;
};

// ---- Controls ------------------------------------------------------------------------------

TEST_F(MainPageTest, TemplateControlsStandWhereTheTemplatePutsThem) {
  EXPECT_EQ(page->windowTitle(), "Main");
  struct Case {
    int id;
    const char* text;
    int x, y, width, height;
  };
  const Case kCases[] = {
      {kIdInDirEdit, "", 23, 0, 105, 12},
      {kIdOutDirEdit, "", 23, 14, 105, 12},
      {kIdBrowseInDir, "...", 129, 1, 12, 12},
      {kIdBrowseOutDir, "...", 129, 15, 12, 12},
      {kIdReadClicks, "read clicls", 143, 0, 43, 12},
      {kIdWriteClicks, "write clicks", 143, 15, 43, 9},
      {kIdWriteResults, "write results", 143, 26, 43, 9},
      {kIdAll, "all", 111, 34, 23, 10},
      {kIdRange, "range", 111, 42, 35, 10},
      {kIdAllOn, "all on", 129, 64, 29, 10},
      {kIdAllOff, "all off", 160, 64, 28, 10},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.id);
    QWidget* item = Item(c.id);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->geometry(), platform::DialogUnitsToPixels(c.x, c.y, c.width, c.height));
    if (auto* edit = qobject_cast<QLineEdit*>(item)) {
      EXPECT_TRUE(edit->isReadOnly());
    } else {
      EXPECT_EQ(qobject_cast<QAbstractButton*>(item)->text(), c.text);
    }
  }
  // The two statics.
  std::vector<std::pair<QString, QRect>> statics;
  for (QLabel* label : page->findChildren<QLabel*>()) {
    statics.push_back({label->text(), label->geometry()});
  }
  EXPECT_EQ(statics, (std::vector<std::pair<QString, QRect>>{
                         {"in dir", platform::DialogUnitsToPixels(0, 3, 21, 8)},
                         {"out dir", platform::DialogUnitsToPixels(0, 16, 21, 8)}}));
  // The program sets the radios' marks: they are no group that a click would move.
  EXPECT_FALSE(page->allButton()->autoExclusive());
  EXPECT_FALSE(page->rangeButton()->autoExclusive());
  EXPECT_EQ(page->allButton()->group(), nullptr);
}

TEST_F(MainPageTest, FirstActivationMakesTheFieldsAndTheResultList) {
  // Before it is first shown the page has neither.
  for (int i = 0; i < kMainFieldCount; ++i) EXPECT_EQ(Item(kMainFieldBaseId + 5 * i), nullptr);
  EXPECT_EQ(page->resultList().View(), nullptr);
  EXPECT_EQ(page->updating(), 1);

  Activate();
  EXPECT_EQ(theMainPage, page);
  EXPECT_EQ(page->updating(), 0);
  EXPECT_EQ(page->initialised(), 1);
  EXPECT_EQ(page->active(), 1);

  // The grid is measured on "all off".
  const QRect allOff = Item(kIdAllOff)->geometry();
  EXPECT_DOUBLE_EQ(gridScaleX, (allOff.left() - 1) / 280.0);
  EXPECT_DOUBLE_EQ(gridScaleY, (allOff.top() - 3) / 100.0);

  const char* kLabels[] = {"y1", "m1", "d1", "y2", "m2", "d2", "GD", "dT", "Qc", "TZ"};
  const char* kValues[] = {"2007", "1", "1", "2007", "1", "1", "10", "3", "30.0", "32400"};
  for (int i = 0; i < kMainFieldCount; ++i) {
    SCOPED_TRACE(kLabels[i]);
    EXPECT_EQ(page->field(i).descriptor(), &mainFields[i]);
    EXPECT_EQ(Item(2001 + 5 * i), page->field(i).edit());
    EXPECT_EQ(Item(2002 + 5 * i), page->field(i).spin());
    EXPECT_EQ(page->field(i).labelControl()->text(), kLabels[i]);
    EXPECT_EQ(page->field(i).check(), nullptr);
    EXPECT_EQ(FieldText(i), kValues[i]);
  }
  EXPECT_EQ(page->field(kFieldTz).edit()->geometry().left(),
            GridToPixels(255 + 16 + 2, gridScaleX));

  EXPECT_EQ(Caption(), "NortavelV4 V4.04");
  EXPECT_EQ(page->resultList().layout(), &layoutUP);
  EXPECT_EQ(page->resultList().table(), resultTable);
  // Filling the fields ran no selection.
  EXPECT_EQ(link.passes, 0);

  page->OnKillActive();
  EXPECT_EQ(page->active(), 0);
  page->OnSetActive();
  EXPECT_EQ(page->active(), 1);
  EXPECT_EQ(page->field(0).edit(), Item(2001));  // made once only
}

TEST_F(MainPageTest, ResultListFollowsThePageSize) {
  Activate();
  for (QSize size : {QSize(kPageWidth, kPageHeight), QSize(420, 600)}) {
    page->resize(size);
    const ListRect r = PlaceScaledRect(layoutUP, size.width(), size.height(), gridScaleX,
                                       gridScaleY);
    EXPECT_EQ(page->resultList().View()->geometry(), QRect(r.x, r.y, r.width, r.height));
  }
}

// ---- Fields --------------------------------------------------------------------------------

TEST_F(MainPageTest, TypedChangesRunTheSelectionTheProgramsOwnWritesDoNot) {
  Activate();
  page->RefreshControls();
  EXPECT_EQ(link.passes, 0);

  QLineEdit* gd = page->field(kFieldGD).edit();
  gd->setFocus();
  QTest::keyClick(gd, Qt::Key_End);
  QTest::keyClicks(gd, "5");
  EXPECT_FLOAT_EQ(AP.GD, 105.0f);
  EXPECT_EQ(link.passes, 1);
  QTest::keyClick(gd, Qt::Key_Backspace);
  EXPECT_FLOAT_EQ(AP.GD, 10.0f);
  EXPECT_EQ(link.passes, 2);
  // "10." holds the same value: the change still runs a pass.
  QTest::keyClicks(gd, ".");
  EXPECT_FLOAT_EQ(AP.GD, 10.0f);
  EXPECT_EQ(link.passes, 3);
}

TEST_F(MainPageTest, SpinsWalkTheCalendarWithOnePassEach) {
  AP.latest = 1;
  Activate();
  struct Case {
    const char* what;
    std::vector<int> before;
    int field;
    int direction;  // spin position: 0 the up arrow, 1 the down arrow
    std::vector<int> after;
  };
  const Case kCases[] = {
      {"day up", {2007, 2, 28, 2007, 6, 15}, kFieldD1, 0, {2007, 3, 1, 2007, 6, 15}},
      {"day up carries", {2007, 1, 31, 2007, 6, 15}, kFieldD1, 0, {2007, 2, 1, 2007, 6, 15}},
      {"day down", {2007, 3, 1, 2007, 6, 15}, kFieldD1, 1, {2007, 2, 28, 2007, 6, 15}},
      {"month up", {2007, 1, 31, 2007, 6, 15}, kFieldM1, 0, {2007, 2, 28, 2007, 6, 15}},
      {"day up at the year's end", {2007, 12, 31, 2007, 6, 15}, kFieldD1, 0,
       {2008, 1, 1, 2007, 6, 15}},
      {"second date", {2007, 1, 1, 2007, 12, 31}, kFieldD2, 0, {2007, 1, 1, 2008, 1, 1}},
      {"a threshold", {2007, 1, 1, 2007, 2, 30}, kFieldGD, 0, {2007, 1, 1, 2007, 2, 28}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    AP.y1 = c.before[0], AP.m1 = c.before[1], AP.d1 = c.before[2];
    AP.y2 = c.before[3], AP.m2 = c.before[4], AP.d2 = c.before[5];
    page->RefreshControls();
    const int passes = link.passes;
    page->OnVScroll(SB_THUMBPOSITION, c.direction, mainFields[c.field].controlId + 1);
    EXPECT_EQ(Dates(), c.after);
    for (int i = kFieldY1; i <= kFieldD2; ++i) EXPECT_EQ(FieldText(i).toInt(), c.after[i]) << i;
    EXPECT_EQ(link.passes, passes + 1);
  }

  // The spin's own arrows reach the page the same way.
  AP.y1 = 2007, AP.m1 = 2, AP.d1 = 28;
  page->RefreshControls();
  page->field(kFieldD1).spin()->Click(ArrowDirection::kUpOrRight);
  EXPECT_EQ(Dates()[1], 3);
  EXPECT_EQ(Dates()[2], 1);

  // Other scroll codes, and spins that are no field's, do nothing.
  const std::vector<int> before = Dates();
  const int passes = link.passes;
  page->OnVScroll(SB_THUMBPOSITION + 1, 0, mainFields[kFieldD1].controlId + 1);
  page->OnVScroll(SB_THUMBPOSITION, 0, 2401 + 1);
  EXPECT_EQ(Dates(), before);
  EXPECT_EQ(link.passes, passes);
}

// ---- Read command and date modes -----------------------------------------------------------

TEST_F(MainPageTest, ReadClicksFillsTheListsWithTheDemoEvents) {
  Activate();
  ReadDemo();
  const RecordStore& store = theRecordStore();
  EXPECT_EQ(store.busy, 0);
  EXPECT_EQ(store.recordCount, 30);
  // Mode "all": from the first night to the day after the last.
  EXPECT_EQ(Dates(), (std::vector<int>{2023, 8, 12, 2023, 12, 15}));
  EXPECT_EQ(FieldText(kFieldD2), "15");
  EXPECT_TRUE(page->allButton()->isChecked());
  EXPECT_EQ(EditText(kIdInDirEdit).toStdString(), AP.indir);
  EXPECT_EQ(selectedRecords.selectedCount, 30);
  // Eight events seen by three stations (three pairs each) and three by two.
  EXPECT_EQ(thePairList.lineCount(), 27);
  int results = 0;
  for (int row = 0; row < resultTable->rowCount; ++row) results += resultTable->RowExists(row) != 0;
  EXPECT_EQ(page->resultList().lineCount(), results);
  EXPECT_EQ(Caption(), platform::StringPrintfC(
                           "NortavelV4 --  30 rec  / 30 indate rec / 27 pair / %d pos",
                           resultTable->rowCount));
  EXPECT_TRUE(scripted->CallsOf(CallKind::kMessage).empty());

  // Each listed result lies near the true point of its event (by the first station's time).
  std::map<std::string, std::map<int, std::vector<double>>> truth;  // stamp, pos: lng lat height
  for (const auto& entry : std::filesystem::recursive_directory_iterator(kDemoClicks)) {
    const std::string name = entry.path().filename().string();
    if (name.find("_truth.csv") == std::string::npos) continue;
    std::ifstream in(entry.path());
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '_') continue;
      int pos = 0;
      double lng = 0, lat = 0, height = 0;
      std::sscanf(line.c_str(), "%d,%lf,%lf,%lf", &pos, &lng, &lat, &height);
      truth[name.substr(0, 15)][pos] = {lng, lat, height};
    }
  }
  for (int line = 0; line < page->resultList().lineCount(); ++line) {
    SCOPED_TRACE(line);
    const int row = RowOfLine(line);
    const int pair = ReadCellInt(resultTable->LiveCell(row, kResultRline));
    const ObservationRecord& a =
        store.records[ReadCellInt(pairTable->LiveCell(pair, kPairRec1))];
    const std::vector<double>* point = nullptr;
    for (const auto& [stamp, points] : truth) {
      int y, mo, d, h, mi, s;
      std::sscanf(stamp.c_str(), "%4d%2d%2d_%2d%2d%2d", &y, &mo, &d, &h, &mi, &s);
      const int pos = ReadCellInt(resultTable->LiveCell(row, kResultPos));
      if (std::fabs(DateToMjd(y, mo, d, h, mi, s) - a.mjd) * 86400 < 2 && points.count(pos)) {
        point = &points.at(pos);
      }
    }
    ASSERT_NE(point, nullptr);
    EXPECT_NEAR(ReadCellFloat(resultTable->LiveCell(row, kResultLng)), (*point)[0], 0.02);
    EXPECT_NEAR(ReadCellFloat(resultTable->LiveCell(row, kResultLat)), (*point)[1], 0.02);
    EXPECT_NEAR(ReadCellFloat(resultTable->LiveCell(row, kResultH1)) * 1000, (*point)[2], 1000);
  }
}

TEST_F(MainPageTest, ReadClicksDoesNothingWithoutAFolderOrWhileBusy) {
  Activate();
  const int waitCursors = scripted->waitCursorsShown;
  ClickButton(kIdReadClicks);  // AP.indir is empty
  EXPECT_EQ(link.passes, 0);

  std::snprintf(AP.indir, sizeof AP.indir, "%s", kDemoClicks.c_str());
  theRecordStore().busy = 1;
  ClickButton(kIdReadClicks);
  theRecordStore().busy = 0;
  EXPECT_EQ(link.passes, 0);
  EXPECT_EQ(theRecordStore().recordCount, 0);
  EXPECT_EQ(scripted->waitCursorsShown, waitCursors);
}

TEST_F(MainPageTest, ModeAllEndsTheDayAfterARecordJustPastMidnight) {
  Activate();
  // Before, the end date was the day of maxMjd + 0.99999, 2007-03-10 itself, and the record
  // half a second after its midnight fell out of the range.
  ReadLines({"2007,03,08,12,00,00.000,1,1,1,1,1,1,1,_ST1,_A,139.70,35.70,40.0",
             "2007,03,10,00,00,00.500,1,1,1,1,1,1,1,_ST2,_A,139.90,35.70,40.0"});
  EXPECT_EQ(theRecordStore().recordCount, 2);
  EXPECT_EQ(Dates(), (std::vector<int>{2007, 3, 8, 2007, 3, 11}));
  EXPECT_EQ(selectedRecords.selectedCount, 2);

  // Radio "all" spans the same records.
  ClickButton(kIdRange);
  AP.d2 = 9;
  page->RefreshControls();
  ClickButton(kIdAll);
  EXPECT_EQ(Dates(), (std::vector<int>{2007, 3, 8, 2007, 3, 11}));
  EXPECT_EQ(selectedRecords.selectedCount, 2);
}

TEST_F(MainPageTest, ModeAllWithNoRecordKeepsTheEmptyStoresDates) {
  Activate();
  // Before any read the store holds its start-up span.
  RecordStore& store = theRecordStore();
  store.minMjd = 15020.0;
  store.maxMjd = 87704.0;
  ClickButton(kIdAll);
  EXPECT_EQ(Dates(), (std::vector<int>{1900, 1, 1, 2099, 1, 1}));

  // A read that finds no record leaves the swapped span.
  ReadLines({});
  EXPECT_EQ(store.recordCount, 0);
  EXPECT_EQ(Dates(), (std::vector<int>{2099, 1, 1, 1900, 1, 1}));
  EXPECT_EQ(FieldText(kFieldY1), "2099");
  EXPECT_EQ(selectedRecords.selectedCount, 0);
}

TEST_F(MainPageTest, RadiosFollowTheDateMode) {
  Activate();
  auto enabledDates = [&] {
    std::vector<bool> enabled;
    for (int i = kFieldY1; i <= kFieldD2; ++i) {
      enabled.push_back(page->field(i).edit()->isEnabled() && page->field(i).spin()->isEnabled());
    }
    return enabled;
  };
  const std::vector<bool> kAll(6, true);
  const std::vector<bool> kNone(6, false);

  EXPECT_TRUE(page->allButton()->isChecked());
  EXPECT_FALSE(page->rangeButton()->isChecked());
  EXPECT_EQ(enabledDates(), kNone);
  EXPECT_TRUE(page->field(kFieldGD).edit()->isEnabled());

  AP.y1 = 2020, AP.m1 = 5, AP.d1 = 6;
  ClickButton(kIdRange);
  EXPECT_EQ(AP.latest, 1);
  EXPECT_FALSE(page->allButton()->isChecked());
  EXPECT_TRUE(page->rangeButton()->isChecked());
  EXPECT_EQ(enabledDates(), kAll);
  EXPECT_EQ(AP.y1, 2020);  // "range" keeps the dates
  EXPECT_EQ(link.passes, 1);

  // A click on the checked radio leaves it checked.
  ClickButton(kIdRange);
  EXPECT_TRUE(page->rangeButton()->isChecked());
  EXPECT_EQ(link.passes, 2);

  ClickButton(kIdAll);
  EXPECT_EQ(AP.latest, 0);
  EXPECT_TRUE(page->allButton()->isChecked());
  EXPECT_FALSE(page->rangeButton()->isChecked());
  EXPECT_EQ(enabledDates(), kNone);
  EXPECT_EQ(link.passes, 3);
  ClickButton(kIdAll);
  EXPECT_TRUE(page->allButton()->isChecked());

  // "AP.latest" 2 clears both; any other value changes nothing.
  AP.latest = 2;
  page->RefreshControls();
  EXPECT_FALSE(page->allButton()->isChecked());
  EXPECT_FALSE(page->rangeButton()->isChecked());
  EXPECT_EQ(enabledDates(), kNone);
  AP.latest = 1;
  page->ShowRangeMode();
  AP.latest = 7;
  page->ShowRangeMode();
  EXPECT_TRUE(page->rangeButton()->isChecked());
  EXPECT_EQ(enabledDates(), kAll);
}

// ---- Folders -------------------------------------------------------------------------------

TEST_F(MainPageTest, FolderChoosersSetTheFoldersAndTheirEdits) {
  Activate();
  std::snprintf(AP.indir, sizeof AP.indir, "/data/in");
  std::snprintf(AP.outdir, sizeof AP.outdir, "/data/out");
  struct Case {
    int button;
    int edit;
    const char* title;
    char* folder;
    const char* initial;
  };
  const Case kCases[] = {{kIdBrowseInDir, kIdInDirEdit, "Input M CSV directory", AP.indir,
                          "/data/in"},
                         {kIdBrowseOutDir, kIdOutDirEdit, "Output directory", AP.outdir,
                          "/data/out"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.title);
    scripted->ClearCalls();
    scripted->AnswerPath("/elsewhere/chosen");
    ClickButton(c.button);
    const auto calls = scripted->CallsOf(CallKind::kChooseFolder);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].folder.title, c.title);
    EXPECT_EQ(calls[0].folder.initial, c.initial);
    EXPECT_STREQ(c.folder, "/elsewhere/chosen");
    EXPECT_EQ(EditText(c.edit), "/elsewhere/chosen");

    // Cancel keeps the folder.
    scripted->AnswerCancel();
    ClickButton(c.button);
    EXPECT_STREQ(c.folder, "/elsewhere/chosen");
    EXPECT_EQ(EditText(c.edit), "/elsewhere/chosen");
  }
  EXPECT_EQ(link.passes, 0);
}

// ---- Writing -------------------------------------------------------------------------------

TEST_F(MainPageTest, WriteResultsWritesTheMarkedResults) {
  Activate();
  ReadDemo();
  nv4test::TempDir out;
  std::snprintf(AP.outdir, sizeof AP.outdir, "%s", out.path().c_str());
  ClickButton(kIdAllOff);
  ClickLine(0, Qt::ControlModifier);
  ClickLine(2, Qt::ControlModifier);
  std::vector<int> marked = {RowOfLine(0), RowOfLine(2)};
  std::sort(marked.begin(), marked.end());

  const std::string path = out.File("chosen.csv");
  scripted->AnswerPath(path);
  ClickButton(kIdWriteResults);
  const auto calls = scripted->CallsOf(CallKind::kChooseFile);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].file.title, "Save NV4*CSV");
  ASSERT_EQ(calls[0].file.filters.size(), 1u);
  EXPECT_EQ(calls[0].file.filters[0].text, "CSV(*.csv)");
  EXPECT_EQ(calls[0].file.filters[0].pattern, "*.csv");
  EXPECT_EQ(calls[0].file.defaultExtension, "csv");
  EXPECT_TRUE(calls[0].file.save);
  EXPECT_EQ(calls[0].file.proposed, out.path() + "/NV4_" + GetOutputNamePrefix() + ".csv");

  // The header, then the two marked results in row order.
  std::vector<std::string> lines;
  std::istringstream text(nv4test::ReadFileBytes(path));
  for (std::string line; std::getline(text, line);) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r');
    line.pop_back();
    lines.push_back(line);
  }
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("_Version,_#,_localtime,_ID1,_ID2,_pos,_lng,_lat,", 0), 0u) << lines[0];
  for (int i = 0; i < 2; ++i) {
    const int row = marked[i];
    const std::string start = platform::StringPrintfC(
        "210,%d,_%s,_%s,_%s,%d,", ReadCellInt(resultTable->LiveCell(row, kResultNumber)),
        resultTable->GetStringOrEmpty(row, kResultLocaltime),
        resultTable->GetStringOrEmpty(row, kResultId1),
        resultTable->GetStringOrEmpty(row, kResultId2),
        ReadCellInt(resultTable->LiveCell(row, kResultPos)));
    EXPECT_EQ(lines[i + 1].rfind(start, 0), 0u) << lines[i + 1];
  }

  // Cancel writes nothing.
  scripted->AnswerCancel();
  ClickButton(kIdWriteResults);
  EXPECT_FALSE(std::filesystem::exists(out.File("NV4_" + std::string(GetOutputNamePrefix()) +
                                                ".csv")));

  // No marked result: the header alone.
  ClickButton(kIdAllOff);
  const std::string empty = out.File("empty.csv");
  scripted->AnswerPath(empty);
  ClickButton(kIdWriteResults);
  EXPECT_EQ(nv4test::ReadFileBytes(empty), lines[0] + "\r\n");
  EXPECT_TRUE(scripted->CallsOf(CallKind::kMessage).empty());
}

// "write clicks" used to offer a default name cut to fit its buffer without a word.
TEST_F(MainPageTest, WriteCommandsRefuseADefaultNameTooLongForItsBuffer) {
  Activate();
  struct Case {
    int button;
    std::string name;
  };
  const std::string prefix = GetOutputNamePrefix();
  const Case kCases[] = {{kIdWriteResults, "NV4_" + prefix + ".csv"},
                         {kIdWriteClicks, "M" + prefix + "_ALL_clicksb.csv"}};
  const std::string folder = "/" + std::string(1010, 'd');
  std::snprintf(AP.outdir, sizeof AP.outdir, "%s", folder.c_str());
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    scripted->ClearCalls();
    ClickButton(c.button);
    EXPECT_TRUE(scripted->CallsOf(CallKind::kChooseFile).empty());
    const auto messages = scripted->CallsOf(CallKind::kMessage);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text.rfind("File name too long: " + c.name + " in /ddd", 0), 0u)
        << messages[0].text;
  }
}

TEST_F(MainPageTest, WriteClicksOffersTheMergedFileInTheOutputFolder) {
  Activate();
  std::snprintf(AP.outdir, sizeof AP.outdir, "/data/out");
  scripted->AnswerCancel();
  ClickButton(kIdWriteClicks);
  const auto calls = scripted->CallsOf(CallKind::kChooseFile);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].file.title, "Write M*_clicksb.csv");
  EXPECT_EQ(calls[0].file.proposed,
            std::string("/data/out/M") + GetOutputNamePrefix() + "_ALL_clicksb.csv");
}

// ---- Marks and selection -------------------------------------------------------------------

TEST_F(MainPageTest, AllOnAndAllOffMarkEveryListedPairAndItsResults) {
  Activate();
  ReadDemo();
  const int results = page->resultList().lineCount();
  const int pairs = thePairList.lineCount();
  SetDateRange(1, 1, 1, 1, 1, 1);
  const int statusLines = link.statusLines;

  ClickButton(kIdAllOff);
  EXPECT_EQ(PairMarks(), std::vector<std::uint32_t>(pairs, 0));
  EXPECT_EQ(ResultMarks(), std::vector<std::uint32_t>(results, 0));
  EXPECT_EQ(dateRange.date1.year, AP.y1);
  EXPECT_EQ(dateRange.date2.day, AP.d2);
  EXPECT_EQ(link.statusLines, statusLines + 1);

  ClickButton(kIdAllOn);
  EXPECT_EQ(PairMarks(), std::vector<std::uint32_t>(pairs, 1));
  EXPECT_EQ(ResultMarks(), std::vector<std::uint32_t>(results, 1));
  EXPECT_EQ(page->resultList().lineCount(), results);
}

TEST_F(MainPageTest, AllOnWithNoPairsStillAppliesTheDatesAndRedraws) {
  Activate();
  SetDateRange(1, 1, 1, 1, 1, 1);
  ClickButton(kIdAllOn);
  EXPECT_EQ(dateRange.date1.year, 2007);
  EXPECT_EQ(link.statusLines, 1);
  EXPECT_EQ(link.passes, 0);
}

TEST_F(MainPageTest, ResultSelectionFollowsTheCtrlRules) {
  Activate();
  ReadDemo();
  selectionState.selectedPair = 4;
  const int results = page->resultList().lineCount();

  // A plain click: this result is the only one marked, and no pair is.
  int statusLines = link.statusLines;
  ClickLine(1);
  std::vector<std::uint32_t> expected(results, 0);
  expected[1] = 1;
  EXPECT_EQ(ResultMarks(), expected);
  EXPECT_EQ(PairMarks(), std::vector<std::uint32_t>(thePairList.lineCount(), 0));
  EXPECT_EQ(selectionState.selectedResult, RowOfLine(1));
  EXPECT_EQ(selectionState.selectedPair, 4);
  EXPECT_EQ(link.statusLines, ++statusLines);

  // A second plain click lets it go and keeps its mark.
  ClickLine(1);
  EXPECT_EQ(selectionState.selectedResult, -1);
  EXPECT_EQ(page->resultList().SelectedLine(), -1);
  EXPECT_EQ(ResultMarks(), expected);
  EXPECT_EQ(link.statusLines, ++statusLines);

  // Ctrl adds a result to the marked ones...
  ClickLine(3, Qt::ControlModifier);
  expected[3] = 1;
  EXPECT_EQ(ResultMarks(), expected);
  EXPECT_EQ(selectionState.selectedResult, RowOfLine(3));
  EXPECT_EQ(page->resultList().SelectedLine(), 3);
  EXPECT_EQ(link.statusLines, ++statusLines);

  // ...and takes a marked one away.
  ClickLine(1, Qt::ControlModifier);
  expected[1] = 0;
  EXPECT_EQ(ResultMarks(), expected);
  EXPECT_EQ(selectionState.selectedResult, -1);
  EXPECT_EQ(page->resultList().SelectedLine(), -1);
  EXPECT_EQ(link.statusLines, ++statusLines);

  // Ctrl on the selected line: the list lets the line go before the page hears of it, so the
  // page finds no line and only forgets the selected result.
  ClickLine(5, Qt::ControlModifier);
  expected[5] = 1;
  EXPECT_EQ(selectionState.selectedResult, RowOfLine(5));
  ++statusLines;
  ClickLine(5, Qt::ControlModifier);
  EXPECT_EQ(page->resultList().SelectedLine(), -1);
  EXPECT_EQ(selectionState.selectedResult, -1);
  EXPECT_EQ(ResultMarks(), expected);
  EXPECT_EQ(link.statusLines, statusLines);

  // A select message with no line selected only forgets the selected result.
  selectionState.selectedResult = 5;
  platform::PostWindowMessage(page, UM_UP_SELECT, 0, 3);
  QCoreApplication::processEvents();
  EXPECT_EQ(selectionState.selectedResult, -1);
  EXPECT_EQ(ResultMarks(), expected);
  EXPECT_EQ(link.statusLines, statusLines);
}

TEST_F(MainPageTest, RightClickOpensChangePosForTheResultThenPairsAgain) {
  Activate();
  ReadDemo();
  const int line = 2;
  const int row = RowOfLine(line);
  // Change Pos runs modally: it is closed as soon as it stands, noting the result it was for.
  int seenResult = -2;
  bool dialogSeen = false;
  QTimer closer;
  closer.setInterval(20);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (QWidget* dialog = QApplication::activeModalWidget()) {
      dialogSeen = true;
      seenResult = selectionState.selectedResult;
      dialog->close();
    }
  });
  closer.start();
  const int passes = link.passes;
  ClickLine(line, Qt::NoModifier, Qt::RightButton);
  closer.stop();
  EXPECT_TRUE(dialogSeen);
  EXPECT_EQ(seenResult, row);
  EXPECT_EQ(link.passes, passes + 1);

  // A line outside the list opens nothing.
  for (std::intptr_t outside : {std::intptr_t{-1}, std::intptr_t{page->resultList().lineCount()}}) {
    platform::PostWindowMessage(page, UM_UP_RCLICK, 0, outside);
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(link.passes, passes + 1);
}

// A right-click queued behind the one that opened Change Pos opened a second one inside it.
TEST_F(MainPageTest, RightClicksQueuedBehindChangePosOpenNoSecondDialog) {
  Activate();
  ReadDemo();
  // Each dialog is closed at the second look, so that the queued message has had its chance.
  int mostOpen = 0;
  int opened = 0;
  QWidget* seen = nullptr;
  QTimer closer;
  closer.setInterval(20);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    int open = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == "CChangDlg" && w->isVisible()) ++open;
    }
    mostOpen = std::max(mostOpen, open);
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || dialog->objectName() != "CChangDlg") return;
    if (dialog == seen) {
      dialog->close();
      return;
    }
    seen = dialog;
    ++opened;
  });
  closer.start();
  const int passes = link.passes;
  platform::PostWindowMessage(page, UM_UP_RCLICK, 1, 2);
  platform::PostWindowMessage(page, UM_UP_RCLICK, 1, 3);
  QCoreApplication::processEvents();
  closer.stop();
  EXPECT_EQ(mostOpen, 1);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(link.passes, passes + 1);
  EXPECT_EQ(clickTable1->rowCount, 0);
  EXPECT_EQ(clickTable2->rowCount, 0);
}

// ---- Picture -------------------------------------------------------------------------------

TEST_F(MainPageTest, WritesAPictureOfThePageAfterARead) {
  Activate();
  ReadDemo();
  page->resultList().SelectRow(RowOfLine(0));
  QCoreApplication::processEvents();
  const std::string path = std::string(NV4_BINARY_DIR) + "/app_page_main.png";
  const QImage picture = page->grab().toImage();
  ASSERT_TRUE(picture.save(QString::fromStdString(path), "PNG"));
  EXPECT_GT(std::filesystem::file_size(path), 5000u);
}

}  // namespace
