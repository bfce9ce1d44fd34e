#include "app/cu_app.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "analysis/record_store.h"
#include "app/credit_dlg.h"
#include "app/cu_dlg.h"
#include "params/app_dirs.h"
#include "params/app_params.h"
#include "groundmap/map_file_encoder.h"
#include "groundmap/map_projection.h"
#include "platform/c_locale.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_platform.h"
#include "tests/app/main_window_support.h"
#include "tests/app/settings_file_bytes.h"
#include "ulib/messages.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kMapName = "GMe136n34_16.DAT";
constexpr int kMapCx = 64;
constexpr int kMapCy = 48;

// ---- settings files as bytes ------------------------------------------------------------------

using apptest::FloatRecord;
using apptest::IntRecord;
using apptest::Records;
using apptest::TextRecord;

std::int32_t IntOf(const std::string& data) {
  if (data.size() < 4) return -12345;  // no such record
  std::int32_t value = 0;
  std::memcpy(&value, data.data(), 4);
  return value;
}
std::string TextOf(const std::string& data) { return std::string(data.c_str()); }

// ---- map files -------------------------------------------------------------------------------

std::string GoodMapBytes() {
  std::vector<std::uint8_t> raster(kMapCx * kMapCy, 0);
  for (int y = 0; y < kMapCy; ++y) {
    for (int x = kMapCx / 2; x < kMapCx; ++x) raster[y * kMapCx + x] = 3;
  }
  std::string bytes;
  std::string error;
  EXPECT_TRUE(groundmap::EncodeGroundMap(groundmap::MakeMapHeader(kMapCx, kMapCy, 136.0, 34.0, 16.0),
                                         raster.data(), &bytes, &error))
      << error;
  return bytes;
}

std::string MapWithHeader(const std::string& text) {
  std::string header = text;
  header.resize(80, '\0');
  return header + std::string(200, '\x07');
}

// ---- one run of the program ------------------------------------------------------------------

// What was seen while the main window was open.
struct OpenWindow {
  bool seen = false;
  QRect frame;  // the outer rectangle, frame included
  QString title;
  bool splashLeft = false;
  AppParams ap = {};
  int mapWidth = 0;
  bool tablesExist = false;
};

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() {
    documents = folder.File("Documents");
    fs::create_directories(documents);
    shown.documentsFolder = documents;
    theRecordStore().recordCount = 5;  // what a run before left behind
    groundmap::mapProjection.scale = 0.0;
  }

  void WriteMap(const std::string& bytes) { nv4test::WriteFileBytes(folder.File(kMapName), bytes); }
  void WriteSettings(const std::string& bytes) {
    nv4test::WriteFileBytes(SettingsPath(), bytes);
    // An hour old, so that any write would show in the time stamp.
    fs::last_write_time(SettingsPath(), fs::file_time_type::clock::now() - std::chrono::hours(1));
  }
  std::string SettingsPath() const { return folder.File(kSettingsFileName); }
  std::string StartPath(const std::string& name) const {
    return (fs::current_path() / name).string();
  }

  // Runs start-up to its end; the main window, once up, is looked at and then closed through
  // its close command.
  OpenWindow Run(const std::function<void(CUDlg&)>& whileOpen = {}) {
    OpenWindow open;
    const apptest::ProgramRun run = apptest::RunProgram([&](CUDlg& dialog) {
      open.frame = dialog.frameGeometry();
      open.title = dialog.windowTitle();
      open.splashLeft = SplashCount() != 0;
      open.ap = AP;
      open.mapWidth = groundmap::mapProjection.CX;
      open.tablesExist = pairTable && resultTable && clickTable1 && clickTable2;
      if (whileOpen) whileOpen(dialog);
    });
    open.seen = run.windowShown;
    EXPECT_FALSE(run.keepsRunning);
    return open;
  }

  static int SplashCount() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (qobject_cast<CCreditDlg*>(w)) ++count;
    }
    return count;
  }

  apptest::ScopedStartFolder folder;
  apptest::ShowingPlatform shown;
  apptest::ModalWatchdog watchdog;
  std::string documents;
};

// A run that stopped before the main window: no window, no tables, no splash left, and the
// settings file as it was.
void ExpectStoppedBeforeTheWindow(const OpenWindow& open) {
  EXPECT_FALSE(open.seen);
  EXPECT_EQ(pairTable, nullptr);
  EXPECT_EQ(resultTable, nullptr);
  EXPECT_EQ(clickTable1, nullptr);
  EXPECT_EQ(clickTable2, nullptr);
}

TEST_F(StartupTest, AFirstRunOpensAtTheDefaultsAndLeavesAWholeSettingsFile) {
  WriteMap(GoodMapBytes());
  const OpenWindow open = Run();

  ASSERT_TRUE(open.seen);
  EXPECT_TRUE(shown.Messages().empty());
  EXPECT_TRUE(open.title.startsWith("NortavelV4"));
  EXPECT_FALSE(open.splashLeft) << "the splash is gone once the main window is up";
  EXPECT_TRUE(open.tablesExist);
  EXPECT_EQ(open.mapWidth, kMapCx);
  EXPECT_EQ(open.frame.topLeft(), QPoint(20, 10));
  EXPECT_EQ(open.frame.size(), QSize(820, 570)) << "outside, frame included";
  EXPECT_EQ(open.ap.showcmd, 1);
  EXPECT_EQ(std::string(open.ap.indir), documents);
  EXPECT_EQ(std::string(open.ap.outdir), documents);
  EXPECT_EQ(open.ap.y1, 2007);
  EXPECT_EQ(open.ap.m1, 1);
  EXPECT_EQ(open.ap.d1, 1);
  EXPECT_EQ(open.ap.y2, 2007);
  EXPECT_EQ(open.ap.d2, 1);
  EXPECT_EQ(open.ap.latest, 0);
  EXPECT_EQ(std::string(startDir), fs::current_path().string());
  EXPECT_EQ(std::string(myDocumentsDir), documents);

  EXPECT_EQ(pairTable, nullptr) << "the tables are deleted at shut-down";
  EXPECT_EQ(SplashCount(), 0);
  const auto records = Records(nv4test::ReadFileBytes(SettingsPath()));
  ASSERT_EQ(records.size(), 111u);
  EXPECT_EQ(records[0].first, "VERSION");
  EXPECT_EQ(IntOf(records[0].second), 400);
  std::map<std::string, std::string> byKey(records.begin(), records.end());
  EXPECT_EQ(IntOf(byKey["AP.dlgrect.top"]), 10);
  EXPECT_EQ(IntOf(byKey["AP.dlgrect.left"]), 20);
  // Keys are kept by their first 15 characters.
  EXPECT_EQ(IntOf(byKey["AP.dlgrect.righ"]), 840);
  EXPECT_EQ(IntOf(byKey["AP.dlgrect.bott"]), 580);
  EXPECT_EQ(IntOf(byKey["AP.showcmd"]), 1);
  EXPECT_EQ(TextOf(byKey["AP.indir"]), documents);
  EXPECT_EQ(TextOf(byKey["AP.g_map"]), kMapName);
  EXPECT_EQ(byKey.count("AP.g_text"), 0u);
}

struct SettingsCase {
  const char* what;
  std::string file;                 // settings file bytes
  std::vector<std::string> messages;
  ScreenRect rect;                  // AP.dlgrect while the window is open
  float gd;                         // AP.GD while the window is open
  bool indirKept;                   // AP.indir is the stored folder, not the documents folder
};

TEST_F(StartupTest, SettingsFilesAreReadOrIgnoredAsTheirVersionSays) {
  const std::string input = folder.File("input");
  fs::create_directories(input);
  const std::string body = IntRecord("AP.dlgrect.top", 40) + IntRecord("AP.dlgrect.left", 50) +
                           IntRecord("AP.dlgrect.bottom", 700) +
                           IntRecord("AP.dlgrect.right", 1000) + TextRecord("AP.indir", input) +
                           FloatRecord("AP.GD", 25.5f);
  const ScreenRect stored = {50, 40, 1000, 700};
  const ScreenRect defaults = {20, 10, 840, 580};
  const std::vector<SettingsCase> kCases = {
      {"version 400", IntRecord("VERSION", 400) + body, {}, stored, 25.5f, true},
      {"version 399", IntRecord("VERSION", 399) + body, {}, stored, 25.5f, true},
      {"no version reads as our own", body, {}, stored, 25.5f, true},
      {"version 401",
       IntRecord("VERSION", 401) + body,
       {"Version of Settings file is newer than program\n...ignored"},
       defaults,
       10.0f,
       false},
      {"top above the screen",
       IntRecord("VERSION", 400) + IntRecord("AP.dlgrect.top", -1) +
           IntRecord("AP.dlgrect.left", 50) + IntRecord("AP.dlgrect.right", 1000),
       {},
       {20, 100, 920, 680},
       10.0f,
       false},
      {"folders that are gone",
       IntRecord("VERSION", 400) + TextRecord("AP.indir", folder.File("gone/in")) +
           TextRecord("AP.outdir", folder.File("gone/out")),
       {},
       defaults,
       10.0f,
       false},
  };
  WriteMap(GoodMapBytes());
  for (const SettingsCase& c : kCases) {
    SCOPED_TRACE(c.what);
    WriteSettings(c.file);
    shown.ClearCalls();
    const OpenWindow open = Run();
    ASSERT_TRUE(open.seen);
    EXPECT_EQ(shown.Messages(), c.messages);
    EXPECT_EQ(apptest::Sides(open.ap.dlgrect), apptest::Sides(c.rect));
    EXPECT_EQ(open.frame.topLeft(), QPoint(c.rect.left, c.rect.top));
    EXPECT_EQ(open.frame.size(), QSize(c.rect.right - c.rect.left, c.rect.bottom - c.rect.top));
    EXPECT_EQ(open.ap.GD, c.gd);
    EXPECT_EQ(std::string(open.ap.indir), c.indirKept ? input : documents);
    EXPECT_EQ(std::string(open.ap.outdir), documents);

    // Whatever was read, the file is this program's own after the close.
    const auto records = Records(nv4test::ReadFileBytes(SettingsPath()));
    ASSERT_EQ(records.size(), 111u);
    EXPECT_EQ(IntOf(records[0].second), 400);
  }
}

struct MapCase {
  const char* what;
  std::string bytes;  // empty: no map file
  std::string loaderMessage;  // with %s for the map's path
};

TEST_F(StartupTest, AMapThatCannotBeLoadedEndsTheRunBeforeTheWindowAndKeepsTheSettings) {
  std::string cut = GoodMapBytes();
  cut.resize(80 + (cut.size() - 80) / 2);
  const std::vector<MapCase> kCases = {
      {"missing", "", "Cannot Open GroundMap %s"},
      {"bad header", MapWithHeader("Xorvanta      64,      48, 1360000,  340000,  160000,0,0,0"),
       "GroundMap Broken header %s"},
      {"bad size",
       MapWithHeader(platform::StringPrintfC(groundmap::kMapHeaderFormat, 4000, 48, 1360000,
                                             340000, 160000, 0, 0, 0)),
       "GroundMap Broken CX,CY %s"},
      {"cut raster", cut, "GroundMap Broken data %s"},
  };
  const std::string settings = IntRecord("VERSION", 400) + IntRecord("AP.dlgrect.top", 44);
  for (const MapCase& c : kCases) {
    SCOPED_TRACE(c.what);
    fs::remove(folder.File(kMapName));
    if (!c.bytes.empty()) WriteMap(c.bytes);
    WriteSettings(settings);
    const auto stamp = fs::last_write_time(SettingsPath());
    shown.ClearCalls();

    const OpenWindow open = Run();
    ExpectStoppedBeforeTheWindow(open);
    const std::string path = StartPath(kMapName);
    EXPECT_EQ(shown.Messages(),
              (std::vector<std::string>{platform::StringPrintfC(c.loaderMessage.c_str(),
                                                                path.c_str()),
                                        "Cannot load Ground Map .... abort"}));
    for (const auto& call : shown.CallsOf(platform::ScriptedPlatform::CallKind::kMessage)) {
      EXPECT_EQ(call.owner, nullptr) << "no main window owns the boxes";
    }
    EXPECT_EQ(nv4test::ReadFileBytes(SettingsPath()), settings);
    EXPECT_EQ(fs::last_write_time(SettingsPath()), stamp);
    EXPECT_EQ(SplashCount(), 0);
  }
}

// Watches the splash's "Ground Map" item being painted, and what showed when the first box came.
class SplashWatch : public QObject {
 public:
  SplashWatch() { qApp->installEventFilter(this); }
  ~SplashWatch() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      auto* label = qobject_cast<QLabel*>(watched);
      if (label && qobject_cast<CCreditDlg*>(label->parentWidget()) &&
          label->property(platform::kItemIdProperty).toInt() == kCreditGroundMapItem) {
        painted.push_back(label->text().toStdString());
      }
    }
    return false;
  }
  std::vector<std::string> painted;
};

class SplashSeeingPlatform : public apptest::ShowingPlatform {
 public:
  void ShowMessage(platform::WindowHandle owner, const std::string& text,
                   const std::string& caption, platform::MessageKind kind) override {
    ShowingPlatform::ShowMessage(owner, text, caption, kind);
    bool visible = false;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (qobject_cast<CCreditDlg*>(w) && w->isVisible()) visible = true;
    }
    splashUpAtMessage.push_back(visible);
    paintedAtMessage.push_back(watch ? watch->painted : std::vector<std::string>{});
  }
  SplashWatch* watch = nullptr;
  std::vector<bool> splashUpAtMessage;
  std::vector<std::vector<std::string>> paintedAtMessage;
};

TEST(StartupSplashTest, TheSplashIsPaintedBeforeTheMapLoadsAndStaysUpForTheAbortMessage) {
  apptest::ScopedStartFolder folder;
  SplashSeeingPlatform seeing;
  seeing.documentsFolder = folder.path();
  SplashWatch watch;
  seeing.watch = &watch;
  EXPECT_FALSE(CUApp().InitInstance());  // no map in the folder

  ASSERT_EQ(seeing.Messages().size(), 2u);
  EXPECT_EQ(seeing.splashUpAtMessage, (std::vector<bool>{true, true}));
  ASSERT_FALSE(seeing.paintedAtMessage[0].empty()) << "painted before the loader spoke";
  EXPECT_EQ(seeing.paintedAtMessage[0].back(), "Ground Map : GMe136n34_16.DAT  --->  loading");
  EXPECT_EQ((seeing.itemTexts[{seeing.CallsOf(platform::ScriptedPlatform::CallKind::kSetItemText)
                                   .at(0)
                                   .owner,
                               kCreditVersionItem}]),
            "NortavelV4 V4.04");
}

TEST(CreditDlgTest, AFramelessWindowOfItsTemplateSizeWithItsFourItems) {
  QPointer<CCreditDlg> splash = new CCreditDlg(nullptr);
  EXPECT_TRUE(splash->isVisible());
  EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(splash->windowTitle().isEmpty());
  EXPECT_EQ(splash->size(), platform::DialogUnitsToPixels(0, 0, 242, 94).size());
  struct Item {
    int id;
    const char* text;
  };
  for (const Item& item : {Item{1069, "NortavelV4"}, Item{1070, "Star Map : "},
                           Item{1071, "Ground Map :"}, Item{1072, kCreditLine}}) {
    SCOPED_TRACE(item.id);
    auto* label = qobject_cast<QLabel*>(platform::FindItem(splash, item.id));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text().toStdString(), item.text);
    EXPECT_TRUE(splash->rect().contains(label->geometry())) << "nothing runs off the window";
    EXPECT_GE(label->width(), label->sizeHint().width()) << "the text is not cut";
  }
  // As start-up fills it, for a person to look at.
  {
    platform::QtPlatform qt;
    platform::Platform* previous = platform::Install(&qt);
    SetDlgItemTextF(splash.data(), kCreditVersionItem, "NortavelV4 V%4.2f", 4.04);
    SetDlgItemTextF(splash.data(), kCreditGroundMapItem, "Ground Map : %s  --->  loading",
                    kMapName);
    platform::Install(previous);
    auto* loading = qobject_cast<QLabel*>(platform::FindItem(splash, kCreditGroundMapItem));
    EXPECT_GE(loading->width(), loading->sizeHint().width());
    EXPECT_TRUE(splash->grab().save(QString(NV4_BINARY_DIR) + "/splash.png"));
  }
  // Escape does not close it: only start-up does.
  splash->reject();
  EXPECT_TRUE(splash->isVisible());
  splash->OnCancel();
  EXPECT_TRUE(splash.isNull());
}

TEST(StartupFoldersTest, AStartUpFolderTooLongForItsBufferIsRefusedByName) {
  apptest::ScopedStartFolder folder;
  std::string deep = folder.path();
  while (deep.size() < kStartDirChars + 10) deep += "/" + std::string(200, 'd');
  fs::create_directories(deep);
  const fs::path previous = fs::current_path();
  fs::current_path(deep);
  apptest::ShowingPlatform shown;
  const bool result = CUApp().InitInstance();
  fs::current_path(previous);
  EXPECT_FALSE(result);
  const std::string real = fs::canonical(deep).string();
  ASSERT_EQ(shown.Messages().size(), 1u);
  const std::string message = shown.Messages()[0];
  EXPECT_EQ(message.rfind("Start-up folder too long (", 0), 0u) << message;
  // Both ends of the folder are named; the middle gives way to fit the message.
  EXPECT_NE(message.find(real.substr(0, 300)), std::string::npos);
  EXPECT_NE(message.find(real.substr(real.size() - 300)), std::string::npos);
  EXPECT_LT(message.size(), 1023u);
  EXPECT_EQ(pairTable, nullptr);
}

// A documents folder too long for its buffer is named once; start-up goes on without it, and
// folders that do not exist fall back to nothing rather than to a cut-off path.
TEST(StartupFoldersTest, ADocumentsFolderTooLongForItsBufferIsNamedAndLeftEmpty) {
  apptest::ScopedStartFolder folder;
  apptest::ShowingPlatform shown;
  shown.documentsFolder = "/" + std::string(kStartDirChars + 10, 'x');
  EXPECT_FALSE(CUApp().InitInstance());  // no map in the folder: the run ends at the map
  ASSERT_EQ(shown.Messages().size(), 3u);
  EXPECT_EQ(shown.Messages()[0].rfind("Documents folder too long (over 1023 characters): /xxx", 0),
            0u)
      << shown.Messages()[0];
  EXPECT_EQ(shown.Messages()[2], "Cannot load Ground Map .... abort");
  EXPECT_STREQ(myDocumentsDir, "");
  EXPECT_STREQ(AP.indir, "");
  EXPECT_STREQ(AP.outdir, "");
}

TEST(StartupFoldersTest, AnEmptyMapNameIsAMapThatCannotBeOpened) {
  apptest::ScopedStartFolder folder;
  const std::string settings = IntRecord("VERSION", 400) + TextRecord("AP.g_map", "");
  nv4test::WriteFileBytes(folder.File(kSettingsFileName), settings);
  apptest::ShowingPlatform shown;
  shown.documentsFolder = folder.path();
  EXPECT_FALSE(CUApp().InitInstance());
  EXPECT_EQ(shown.Messages(),
            (std::vector<std::string>{"Cannot Open GroundMap " + fs::current_path().string() + "/",
                                      "Cannot load Ground Map .... abort"}));
  EXPECT_EQ(nv4test::ReadFileBytes(folder.File(kSettingsFileName)), settings);
}

TEST(StartupFoldersTest, AMapPathTooLongIsRefusedByNameAndEndsTheRun) {
  apptest::ScopedStartFolder folder;
  std::string deep = folder.path();
  while (deep.size() < 900) deep += "/" + std::string(100, 'd');
  fs::create_directories(deep);
  const fs::path previous = fs::current_path();
  fs::current_path(deep);
  const std::string mapName = std::string(200, 'm') + ".DAT";
  const std::string settings = IntRecord("VERSION", 400) + TextRecord("AP.g_map", mapName);
  nv4test::WriteFileBytes(deep + "/" + kSettingsFileName, settings);
  apptest::ShowingPlatform shown;
  shown.documentsFolder = folder.path();
  const bool result = CUApp().InitInstance();
  const std::string real = fs::current_path().string();
  fs::current_path(previous);
  EXPECT_FALSE(result);
  ASSERT_EQ(shown.Messages().size(), 2u);
  const std::string message = shown.Messages()[0];
  EXPECT_EQ(message.rfind("Ground Map path too long (", 0), 0u) << message;
  EXPECT_NE(message.find(mapName), std::string::npos);
  EXPECT_NE(message.find(real.substr(0, 300)), std::string::npos);
  EXPECT_NE(message.find(real.substr(real.size() - 300)), std::string::npos);
  EXPECT_LT(message.size(), 1023u);
  EXPECT_EQ(shown.Messages()[1], "Cannot load Ground Map .... abort");
  EXPECT_EQ(nv4test::ReadFileBytes(deep + "/" + kSettingsFileName), settings);
}

}  // namespace
