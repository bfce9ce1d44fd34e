// The user's road through the real windows: start in a folder holding the shipped map and a
// settings file pointing at the demo clicks, read, look at the pairs, mark, write the results
// and the merged clicks, change a threshold, close; then check what was written.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/clicks_reader.h"
#include "analysis/record_store.h"
#include "analysis/selection.h"
#include "app/cu_dlg.h"
#include "app/page_main.h"
#include "params/app_params.h"
#include "platform/c_locale.h"
#include "platform/qt/qt_platform.h"
#include "tests/app/main_window_support.h"
#include "tests/support/truth_files.h"
#include "ulib/settings_store.h"

namespace {

namespace fs = std::filesystem;

const std::string kSourceDir = NV4_SOURCE_DIR;
const std::string kClicksDir = kSourceDir + "/data/clicks";
constexpr const char* kMapName = "GMe136n34_16.DAT";
constexpr int kDemoRecords = 8 * 3 + 3 * 2;  // eleven events: eight seen by three stations
constexpr int kDemoPairs = 8 * 3 + 3;

// The truth of the event that started nearest (within two seconds) to a local time stamp.
const nv4test::EventTruth* EventOf(const nv4test::Truth& truth, const std::string& localStamp,
                                   int tzSeconds) {
  return nv4test::EventNear(truth, nv4test::StampMjd(localStamp) - tzSeconds / 86400.0);
}

// A CSV file's lines split at commas, line ends dropped.
std::vector<std::vector<std::string>> ReadCsv(const std::string& path) {
  std::vector<std::vector<std::string>> rows;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::stringstream split(line);
    std::string field;
    while (std::getline(split, field, ',')) fields.push_back(field);
    rows.push_back(fields);
  }
  return rows;
}

int ColumnOf(const std::vector<std::string>& header, const std::string& name) {
  for (std::size_t i = 0; i < header.size(); ++i) {
    if (header[i] == name) return static_cast<int>(i);
  }
  ADD_FAILURE() << "no column " << name;
  return 0;
}

std::string Caption(int records, int inDate, int pairs, int positions) {
  return platform::StringPrintfC("NortavelV4 --  %d rec  / %d indate rec / %d pair / %d pos",
                                 records, inDate, pairs, positions);
}

class EndToEndTest : public ::testing::Test {
 protected:
  EndToEndTest() {
    out = folder.File("out");
    fs::create_directories(out);
    fs::copy_file(kSourceDir + "/data/" + kMapName, folder.File(kMapName));
    // The settings file a person would have after choosing both folders once.
    theAppUty.BeginWrite();
    theAppUty.WriteInt("VERSION", 400);
    theAppUty.WriteString("AP.indir", kClicksDir.c_str());
    theAppUty.WriteString("AP.outdir", out.c_str());
    theAppUty.Save(folder.path().c_str(), kSettingsFileName);
    shown.documentsFolder = folder.path();
  }

  // Runs the program; script runs once the main window is up, then the window is closed
  // through its close command.
  void Run(const std::function<void(CUDlg&)>& script) {
    const apptest::ProgramRun run = apptest::RunProgram(script);
    EXPECT_FALSE(run.keepsRunning);
    EXPECT_TRUE(run.windowShown) << "the main window never opened: "
                                 << ::testing::PrintToString(shown.Messages());
  }

  QAbstractButton* Button(CUDlg& dialog, int id) {
    auto* button = qobject_cast<QAbstractButton*>(platform::FindItem(dialog.mainPage(), id));
    EXPECT_NE(button, nullptr) << "no button " << id;
    return button;
  }
  void Press(CUDlg& dialog, int id) {
    if (QAbstractButton* button = Button(dialog, id)) {
      EXPECT_TRUE(button->isVisible() && button->isEnabled()) << id;
      QTest::mouseClick(button, Qt::LeftButton);
      QCoreApplication::processEvents();
    }
  }
  std::string CaptionOf(CUDlg& dialog) { return dialog.windowTitle().toStdString(); }

  apptest::ScopedStartFolder folder;
  apptest::ShowingPlatform shown;
  apptest::ModalWatchdog watchdog;
  std::string out;
};

TEST_F(EndToEndTest, ReadMarkWriteAndCloseThroughTheWindows) {
  const nv4test::Truth truth = nv4test::ReadTruthFolder(kClicksDir, true);
  const std::string resultsPath = out + "/NV4_results.csv";
  const std::string clicksPath = out + "/M_ALL_clicksb.csv";
  std::set<std::string> readStations;  // "lid sid localtime" of every record read
  int resultCount = 0;

  Run([&](CUDlg& dialog) {
    // 1300 x 800 outside, frame included, as the settings keep it.
    dialog.resize(QSize(1300, 800).shrunkBy(dialog.windowHandle()->frameMargins()));
    QCoreApplication::processEvents();

    // "read clicls"
    Press(dialog, kIdReadClicks);
    EXPECT_TRUE(shown.Messages().empty()) << ::testing::PrintToString(shown.Messages());
    const RecordStore& store = theRecordStore();
    EXPECT_EQ(store.recordCount, kDemoRecords);
    EXPECT_EQ(selectedRecords.selectedCount, kDemoRecords) << "mode all takes in every record";
    ASSERT_EQ(pairTable->rowCount, kDemoPairs);
    ASSERT_GT(resultTable->rowCount, 100);
    resultCount = resultTable->rowCount;
    EXPECT_EQ(CaptionOf(dialog), Caption(kDemoRecords, kDemoRecords, kDemoPairs, resultCount));
    EXPECT_EQ(thePairList.lineCount(), kDemoPairs);
    EXPECT_EQ(dialog.mainPage()->resultList().lineCount(), resultCount);
    for (int i = 0; i < store.recordCount; ++i) {
      const ObservationRecord& r = store.records[i];
      readStations.insert(std::string(r.lid) + " " + r.sid + " " + r.localtime);
    }
    QCoreApplication::processEvents();
    const QString shot = QString(NV4_BINARY_DIR) + "/main_window_after_read.png";
    EXPECT_TRUE(dialog.grab().save(shot)) << shot.toStdString();

    // Selecting a pair keeps only its mark and its results' marks.
    QTableView* pairs = thePairList.View();
    QTest::mouseClick(pairs->viewport(), Qt::LeftButton, Qt::NoModifier,
                      pairs->visualRect(pairs->model()->index(2, 2)).center());
    QCoreApplication::processEvents();
    const std::int32_t selected = thePairList.RowOfLine(2);
    EXPECT_EQ(selectionState.selectedPair, selected);
    int marked = 0;
    for (int r = 0; r < pairTable->rowCount; ++r) marked += apptest::PairMarkOf(r) != 0;
    EXPECT_EQ(marked, 1);
    for (int r = 0; r < resultTable->rowCount; ++r) {
      const std::int32_t pair = ReadCellInt(resultTable->LiveCell(r, kResultRline));
      EXPECT_EQ(apptest::ResultMarkOf(r), pair == selected ? 1u : 0u);
    }
    EXPECT_EQ(CaptionOf(dialog), Caption(kDemoRecords, kDemoRecords, kDemoPairs, resultCount));

    // "all on", then "write results" into the output folder.
    Press(dialog, kIdAllOn);
    for (int r = 0; r < resultTable->rowCount; ++r) EXPECT_EQ(apptest::ResultMarkOf(r), 1u);
    shown.AnswerPath(resultsPath);
    Press(dialog, kIdWriteResults);
    const auto files = shown.CallsOf(platform::ScriptedPlatform::CallKind::kChooseFile);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].file.title, "Save NV4*CSV");
    EXPECT_TRUE(files[0].file.save);
    EXPECT_EQ(files[0].file.proposed.rfind(out + "/NV4_", 0), 0u) << files[0].file.proposed;

    // "write clicks" of the selected records.
    shown.AnswerPath(clicksPath);
    Press(dialog, kIdWriteClicks);
    EXPECT_TRUE(fs::exists(clicksPath));

    // A ground distance no two stations reach leaves no pair.
    auto* gd = qobject_cast<QLineEdit*>(platform::FindItem(dialog.mainPage(), 2031));
    ASSERT_NE(gd, nullptr);
    gd->setFocus();
    gd->selectAll();
    QTest::keyClicks(gd, "3000");
    QCoreApplication::processEvents();
    EXPECT_EQ(AP.GD, 3000.0f);
    EXPECT_EQ(pairTable->rowCount, 0);
    EXPECT_EQ(resultTable->rowCount, 0);
    EXPECT_EQ(thePairList.lineCount(), 0);
    EXPECT_EQ(CaptionOf(dialog), Caption(kDemoRecords, kDemoRecords, 0, 0));
  });

  EXPECT_TRUE(shown.Messages().empty()) << ::testing::PrintToString(shown.Messages());

  // The results: every triangulated point, near its true position.
  const auto csv = ReadCsv(resultsPath);
  ASSERT_FALSE(csv.empty());
  const auto& header = csv[0];
  EXPECT_EQ(header[0], "_Version");
  EXPECT_EQ(static_cast<int>(csv.size()) - 1, resultCount);
  const int pos = ColumnOf(header, "_pos");
  const int lng = ColumnOf(header, "_lng");
  const int lat = ColumnOf(header, "_lat");
  const int h1 = ColumnOf(header, "_H1");
  const int h2 = ColumnOf(header, "_H2");
  const int localtime = ColumnOf(header, "_localtime");
  for (std::size_t i = 1; i < csv.size(); ++i) {
    const auto& row = csv[i];
    ASSERT_EQ(row.size(), header.size());
    SCOPED_TRACE(row[localtime] + " pos " + row[pos]);
    const auto* event = EventOf(truth, row[localtime].substr(1), 32400);
    ASSERT_NE(event, nullptr);
    const int p = std::atoi(row[pos].c_str());
    ASSERT_EQ(event->count(p), 1u);
    const nv4test::TruePoint& t = event->at(p);
    EXPECT_NEAR(platform::ParseDoubleC(row[lng].c_str(), nullptr), t.lng, 0.02);
    EXPECT_NEAR(platform::ParseDoubleC(row[lat].c_str(), nullptr), t.lat, 0.02);
    EXPECT_NEAR(platform::ParseDoubleC(row[h1].c_str(), nullptr) * 1000, t.heightM, 1000);
    EXPECT_NEAR(platform::ParseDoubleC(row[h2].c_str(), nullptr) * 1000, t.heightM, 1000);
  }

  // The merged clicks read back give the same records.
  EmptyRecordStore();
  ReadClicksCsv(clicksPath.c_str());
  const RecordStore& store = theRecordStore();
  EXPECT_EQ(store.recordCount, kDemoRecords);
  std::set<std::string> merged;
  for (int i = 0; i < store.recordCount; ++i) {
    const ObservationRecord& r = store.records[i];
    merged.insert(std::string(r.lid) + " " + r.sid + " " + r.localtime);
  }
  EXPECT_EQ(merged, readStations);
  EmptyRecordStore();

  // The settings file keeps what this run changed.
  ASSERT_GT(theAppUty.Load(folder.path().c_str(), kSettingsFileName), 0);
  std::int32_t gdBits = 0;
  ASSERT_EQ(theAppUty.ReadInt("AP.GD", &gdBits), 4);
  float gdValue;
  std::memcpy(&gdValue, &gdBits, 4);
  EXPECT_EQ(gdValue, 3000.0f);
  char indir[kDirChars] = {};
  theAppUty.ReadRecord("AP.indir", indir, kDirChars);
  EXPECT_EQ(std::string(indir), kClicksDir);
  std::int32_t value = 0;
  theAppUty.ReadInt("AP.dlgrect.righ", &value);
  std::int32_t left = 0;
  theAppUty.ReadInt("AP.dlgrect.left", &left);
  EXPECT_EQ(value - left, 1300) << "the window's width at the close";
  theAppUty.ReadInt("AP.showcmd", &value);
  EXPECT_EQ(value, 1);
}

}  // namespace
