// What a read of a few hundred records writes and draws, pinned byte for byte: the results file,
// the merged clicks file (but for its scrambled locations, drawn from the clock), and the map picture in colour and mono chrome after the read (drawn by
// the re-centre) and after a threshold typed on the loaded store (drawn by the pass). The hashes
// were taken from the program before its pass and map were made faster; a change that alters
// any written digit or any pixel shows here.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "app/cu_dlg.h"
#include "app/main_page_fields.h"
#include "app/page_main.h"
#include "groundmap/map_image.h"
#include "groundmap/ui/page_gmap.h"
#include "params/app_params.h"
#include "platform/qt/qt_platform.h"
#include "tests/app/main_window_support.h"
#include "tools/clicks_gen/sample_sets.h"
#include "ulib/settings_store.h"

namespace {

namespace fs = std::filesystem;

const std::string kSourceDir = NV4_SOURCE_DIR;
constexpr const char* kMapName = "GMe136n34_16.DAT";
constexpr int kEvents = 300;  // two stations each: 600 records, 300 pairs of 50 points

// 64-bit FNV-1a.
std::uint64_t Fnv1a(const unsigned char* bytes, std::size_t size) {
  std::uint64_t hash = 14695981039346656037ull;
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

std::uint64_t FileHash(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_FALSE(bytes.empty()) << path;
  return Fnv1a(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

// The merged clicks file but for the three scrambled location fields of every line, which come
// from a number the writer draws from the clock.
std::uint64_t ClicksHashBesideScrambling(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string kept;
  std::string line;
  while (std::getline(in, line)) {
    int field = 0;
    for (char c : line) {
      if (c == ',') ++field;
      if (c == ',' || field < 18 || field > 20) kept += c;
    }
    kept += '\n';
  }
  EXPECT_FALSE(kept.empty()) << path;
  return Fnv1a(reinterpret_cast<const unsigned char*>(kept.data()), kept.size());
}

// The drawing image as the page shows it.
std::uint64_t PictureHash() {
  const groundmap::ImageHeader& header = groundmap::mapImage.header;
  return Fnv1a(groundmap::mapImage.pixels,
               static_cast<std::size_t>(header.biWidth) * header.biHeight * 3);
}

std::string Hex(std::uint64_t value) {
  char text[19];
  std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(value));
  return text;
}

class LargeTreeOutputTest : public ::testing::Test {
 protected:
  LargeTreeOutputTest() {
    tree = folder.File("tree");
    out = folder.File("out");
    fs::create_directories(out);
    const std::string failure = WriteLargeTree(tree, kEvents);
    EXPECT_TRUE(failure.empty()) << failure;
    fs::copy_file(kSourceDir + "/data/" + kMapName, folder.File(kMapName));
    theAppUty.BeginWrite();
    theAppUty.WriteInt("VERSION", 400);
    theAppUty.WriteString("AP.indir", tree.c_str());
    theAppUty.WriteString("AP.outdir", out.c_str());
    theAppUty.Save(folder.path().c_str(), kSettingsFileName);
    shown.documentsFolder = folder.path();
  }

  void Press(QWidget* page, int id) {
    auto* button = qobject_cast<QAbstractButton*>(platform::FindItem(page, id));
    ASSERT_NE(button, nullptr) << "no button " << id;
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
  }

  apptest::ScopedStartFolder folder;
  apptest::ShowingPlatform shown;
  apptest::ModalWatchdog watchdog;
  std::string tree;
  std::string out;
};

TEST_F(LargeTreeOutputTest, ReadAndThresholdChangeWriteAndDrawAsBefore) {
  const std::string resultsPath = out + "/NV4_large.csv";
  const std::string resultsAfterGdPath = out + "/NV4_large_gd1.csv";
  const std::string clicksPath = out + "/M_large_clicks.csv";
  const apptest::ProgramRun run = apptest::RunProgram([&](CUDlg& dialog) {
    dialog.resize(1300, 800);
    QCoreApplication::processEvents();
    CPageMain* main = dialog.mainPage();
    CPageGmap* gmap = dialog.gmapPage();
    ASSERT_TRUE(gmap->active) << "the map page draws only while it is shown";

    Press(main, kIdReadClicks);
    EXPECT_TRUE(shown.Messages().empty()) << ::testing::PrintToString(shown.Messages());
    ASSERT_EQ(theRecordStore().recordCount, 2 * kEvents);
    ASSERT_EQ(pairTable->rowCount, kEvents);
    ASSERT_EQ(resultTable->rowCount, 50 * kEvents);
    // The picture size comes from the window; the hashes hold for this one.
    ASSERT_EQ(groundmap::mapImage.header.biWidth, gmap->W);
    ASSERT_EQ(groundmap::mapImage.header.biHeight, gmap->H);
    const std::string size = std::to_string(gmap->W) + " x " + std::to_string(gmap->H);
    EXPECT_EQ(Hex(PictureHash()), "0x22f9ccfda8bf8a03") << "colour picture after the read, " << size;

    shown.AnswerPath(resultsPath);
    Press(main, kIdWriteResults);
    shown.AnswerPath(clicksPath);
    Press(main, kIdWriteClicks);
    EXPECT_EQ(Hex(FileHash(resultsPath)), "0xf0317d6ce04d5f83");
    EXPECT_EQ(Hex(ClicksHashBesideScrambling(clicksPath)), "0x37be43a6b47fd9e0");

    Press(gmap, kIdGmapMono);
    ASSERT_EQ(AP.bw, 1);
    EXPECT_EQ(Hex(PictureHash()), "0xc8aaef387100018f") << "mono chrome picture after the read, " << size;
    Press(gmap, kIdGmapMono);
    ASSERT_EQ(AP.bw, 0);

    // GD 10 to 1: every pair stays; the pass draws the map where the read left the view.
    auto* gd = qobject_cast<QLineEdit*>(platform::FindItem(main, kMainFieldBaseId + 5 * kFieldGD));
    ASSERT_NE(gd, nullptr);
    gd->setFocus();
    gd->setCursorPosition(gd->text().size());
    QTest::keyClick(gd, Qt::Key_Backspace);
    QCoreApplication::processEvents();
    ASSERT_EQ(AP.GD, 1.0f);
    ASSERT_EQ(resultTable->rowCount, 50 * kEvents);
    EXPECT_EQ(Hex(PictureHash()), "0x22f9ccfda8bf8a03") << "colour picture after GD 1, " << size;
    shown.AnswerPath(resultsAfterGdPath);
    Press(main, kIdWriteResults);
    EXPECT_EQ(Hex(FileHash(resultsAfterGdPath)), "0xf0317d6ce04d5f83") << "the same results at GD 1";
  });
  EXPECT_TRUE(run.windowShown);
}

}  // namespace
