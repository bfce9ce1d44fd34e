// How the program ends when it does not end through its main window's close command: a fatal
// error with the main window open, and the system's requests to close (signals, the session's
// end), for the program itself run as a child and for the windows of one run in this process.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QTableView>
#include <QTest>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/cu_dlg.h"
#include "app/page_main.h"
#include "params/app_params.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/system_close_requests.h"
#include "tests/app/main_window_support.h"
#include "tests/app/settings_file_bytes.h"
#include "tests/support/hang_guard.h"
#include "ulib/messages.h"

#include <signal.h>

namespace {

namespace fs = std::filesystem;

constexpr const char* kMapName = "GMe136n34_16.DAT";
const std::string kSourceDir = NV4_SOURCE_DIR;

using apptest::FloatRecord;
using apptest::IntRecord;
using apptest::Records;
using apptest::TextRecord;

// A start-up folder as a person's would be: the shipped map, an input and an output folder, and
// a settings file of the person's own values.
class StartFolder {
 public:
  StartFolder() {
    fs::copy_file(kSourceDir + "/data/" + kMapName, dir_.File(kMapName));
    fs::create_directories(input());
    fs::create_directories(output());
    fs::create_directories(home());
  }
  std::string input() const { return dir_.File("in"); }
  std::string output() const { return dir_.File("out"); }
  std::string home() const { return dir_.File("home"); }
  std::string SettingsPath() const { return dir_.File(kSettingsFileName); }
  const std::string& path() const { return dir_.path(); }

  // The values a person left: none of them the defaults.
  std::string OwnSettings() const {
    return IntRecord("VERSION", 400) + IntRecord("AP.dlgrect.top", 40) +
           IntRecord("AP.dlgrect.left", 50) + IntRecord("AP.dlgrect.bottom", 700) +
           IntRecord("AP.dlgrect.right", 1000) + TextRecord("AP.indir", input()) +
           TextRecord("AP.outdir", output()) + FloatRecord("AP.GD", 25.5f) +
           IntRecord("AP.y1", 2019) + IntRecord("UR_w3", 77);
  }

 private:
  nv4test::TempDir dir_;
};

// The written file is a whole one of this program's: 111 records, "VERSION" 400 first, and the
// records named in expected as given.
void ExpectWholeSettingsFile(const std::string& path, const std::string& expected) {
  const apptest::SettingsRecords written = Records(nv4test::ReadFileBytes(path));
  ASSERT_EQ(written.size(), 111u);
  EXPECT_EQ(written[0].first, "VERSION");
  EXPECT_EQ(written[0].second, apptest::LittleEndian32(400));
  const std::map<std::string, std::string> byKey(written.begin(), written.end());
  for (const auto& [key, data] : Records(expected)) {
    SCOPED_TRACE(key);
    ASSERT_EQ(byKey.count(key), 1u);
    EXPECT_EQ(byKey.at(key), data);
  }
}

// ---- a fatal error with the main window open ---------------------------------------------------

// Qt's own objects are torn down before the program's static objects are destroyed: a window
// destroyed then crashed the process on a display (its accessibility update ran into what was
// gone). Here, where that crash need not come, a window destroyed once the process's exit has
// begun ends it as the crash did, with the status of a segmentation fault.
bool exitBegun = false;
void EndAsCrashedWhenAWindowIsDestroyedAtExit() {
  std::atexit([] { exitBegun = true; });  // the last registered runs first
  for (QWidget* widget : QApplication::allWidgets()) {
    QObject::connect(widget, &QObject::destroyed, [] {
      if (exitBegun) std::_Exit(128 + SIGSEGV);
    });
  }
}

// Before, the static pair list deleted its view after Qt's own end and the process died of a
// segmentation fault instead of ending with the fatal error's code.
TEST(ProgramEndTest, AFatalErrorWithTheMainWindowOpenEndsWithItsExitCodeAndNothingElse) {
  apptest::ScopedStartFolder folder;
  fs::copy_file(kSourceDir + "/data/" + kMapName, folder.File(kMapName));
  apptest::ShowingPlatform shown;
  shown.documentsFolder = folder.path();
  apptest::ModalWatchdog watchdog;
  const apptest::ProgramRun run = apptest::RunProgram([&](CUDlg&) {
    for (int i = 1; i <= 3; ++i) apptest::AddPair(i);
    thePairList.Reload(0, 0);
    // The pairs go from under the list, which still shows them: the click on one is a broken
    // invariant of the list.
    pairTable->Clear();
    QTableView* view = thePairList.View();
    const QPoint line1 = view->visualRect(view->model()->index(1, 0)).center();
    EXPECT_EXIT(
        {
          EndAsCrashedWhenAWindowIsDestroyedAtExit();
          QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, line1);
          QCoreApplication::processEvents();
        },
        ::testing::ExitedWithCode(247), "CUTABLE invalid access");
  });
  EXPECT_TRUE(run.windowShown);
}

// ---- the program itself, asked to close by the system ------------------------------------------

struct ChildCase {
  const char* what;
  bool ownSettings;         // the person's settings; otherwise a file too new to be read
  const char* upLine;       // the sign in the program's log that the moment has come
  int signal;               // then sent
  int secondSignal;         // sent once the main window is closing (0: none)
  std::vector<const char*> steps;  // the close's own log lines, in order
};

// The program's log line that contains text, waiting for it as long as the program runs. False
// when the program ended first.
bool WaitForLine(QProcess& child, QByteArray& output, const char* text) {
  while (!output.contains(text)) {
    if (child.state() == QProcess::NotRunning) return false;
    child.waitForReadyRead(nv4test::kHangGuardMs);
    output += child.readAll();
    if (child.state() == QProcess::NotRunning) output += child.readAll();
  }
  return true;
}

TEST(ProgramEndTest, TheProgramClosesAtTheSystemsRequestAndKeepsItsSettings) {
  const std::vector<ChildCase> kCases = {
      {"SIGTERM", true, "window up: CUDlg (main window)", SIGTERM, 0,
       {"close requested by SIGTERM", "closing CUDlg"}},
      {"SIGINT", true, "window up: CUDlg (main window)", SIGINT, 0,
       {"close requested by SIGINT", "closing CUDlg"}},
      {"SIGHUP", true, "window up: CUDlg (main window)", SIGHUP, 0,
       {"close requested by SIGHUP", "closing CUDlg"}},
      {"a second signal during shut-down", true, "window up: CUDlg (main window)", SIGTERM,
       SIGINT, {"close requested by SIGTERM", "closing CUDlg"}},
      {"a message box open at start-up", false, "window up: QMessageBox (modal)", SIGTERM, 0,
       {"close requested by SIGTERM", "dismissing QMessageBox as Cancel", "window up: CUDlg",
        "closing CUDlg"}},
  };
  for (const ChildCase& c : kCases) {
    SCOPED_TRACE(c.what);
    StartFolder folder;
    const std::string settings =
        c.ownSettings ? folder.OwnSettings() : IntRecord("VERSION", 401) + folder.OwnSettings();
    nv4test::WriteFileBytes(folder.SettingsPath(), settings);

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_LOGGING_RULES", "nv4.close.info=true");
    // The documents folder, and anything else of the person's, inside the scratch folder.
    env.insert("HOME", QString::fromStdString(folder.home()));
    env.remove("XDG_CONFIG_HOME");
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(QString::fromStdString(folder.path()));
    child.setProcessChannelMode(QProcess::MergedChannels);
    // As from a desktop or a terminal: the signals at their defaults, whatever this test's own
    // runner ignores.
    child.setChildProcessModifier([] {
      for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) ::signal(signalNumber, SIG_DFL);
    });
    child.start(QString::fromUtf8(NV4_PROGRAM), {});
    ASSERT_TRUE(child.waitForStarted(nv4test::kHangGuardMs));

    QByteArray output;
    ASSERT_TRUE(WaitForLine(child, output, c.upLine)) << output.toStdString();
    ::kill(static_cast<pid_t>(child.processId()), c.signal);
    // Not yet collected, the child is still there to receive it, however far it has come.
    if (c.secondSignal != 0 && WaitForLine(child, output, "closing CUDlg")) {
      ::kill(static_cast<pid_t>(child.processId()), c.secondSignal);
    }
    ASSERT_TRUE(child.waitForFinished(nv4test::kHangGuardMs)) << output.toStdString();
    output += child.readAll();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();

    // The close went through its steps in order.
    qsizetype at = output.indexOf(c.upLine);
    for (const char* step : c.steps) {
      const qsizetype next = output.indexOf(step, at);
      EXPECT_GE(next, at) << "no \"" << step << "\" after what came before in:\n"
                          << output.toStdString();
      if (next >= 0) at = next;
    }
    // The placement stored by the close command, and every value read at start-up.
    ExpectWholeSettingsFile(folder.SettingsPath(),
                            c.ownSettings ? folder.OwnSettings()
                                          : IntRecord("AP.dlgrect.top", 10) +
                                                IntRecord("AP.dlgrect.left", 20) +
                                                IntRecord("AP.dlgrect.bottom", 580) +
                                                IntRecord("AP.dlgrect.right", 840));
  }
}

// ---- a window over the main window, in this process --------------------------------------------

// Asks its questions in real boxes, and shows the real save chooser when asked to; every other
// call as the scripted platform answers it.
class RealBoxesPlatform : public apptest::ShowingPlatform {
 public:
  bool realChooser = false;

  bool AskOkCancel(platform::WindowHandle owner, const std::string& text,
                   const std::string& caption) override {
    return qt_.AskOkCancel(owner, text, caption);
  }
  std::optional<std::string> ChooseFile(const platform::FileRequest& request) override {
    if (!realChooser) return ShowingPlatform::ChooseFile(request);
    return qt_.ChooseFile(request);
  }

 private:
  platform::QtPlatform qt_;
};

struct OverCase {
  const char* what;
  bool realChooser;     // the save chooser itself; otherwise it chooses a file that exists
  const char* window;   // the class of the window the signal comes under
};

TEST(ProgramEndTest, ASignalUnderAWindowOverTheMainWindowCancelsItThenClosesTheProgram) {
  const std::vector<OverCase> kCases = {
      {"the overwrite question", false, "QMessageBox"},
      {"the save chooser", true, "QFileDialog"},
  };
  for (const OverCase& c : kCases) {
    SCOPED_TRACE(c.what);
    apptest::ScopedStartFolder folder;
    StartFolder own;
    fs::copy_file(kSourceDir + "/data/" + kMapName, folder.File(kMapName));
    nv4test::WriteFileBytes(folder.File(kSettingsFileName), own.OwnSettings());
    const std::string results = own.output() + "/NV4_results.csv";
    nv4test::WriteFileBytes(results, "kept\r\n");

    RealBoxesPlatform boxes;
    boxes.documentsFolder = folder.path();
    boxes.realChooser = c.realChooser;
    if (!c.realChooser) boxes.AnswerPath(results);
    apptest::ModalWatchdog watchdog;
    platform::SystemCloseRequests requests([] { return static_cast<QWidget*>(MainDialog); });

    bool closedByTheRequest = false;
    const apptest::ProgramRun run = apptest::RunProgram([&](CUDlg& dialog) {
      watchdog.WhenUp(
          [&]() -> QWidget* {
            QWidget* up = QApplication::activeModalWidget();
            return up && up->isVisible() && up->inherits(c.window) ? up : nullptr;
          },
          [](QWidget*) { std::raise(SIGTERM); });
      auto* write = qobject_cast<QAbstractButton*>(
          platform::FindItem(dialog.mainPage(), kIdWriteResults));
      ASSERT_NE(write, nullptr);
      QTest::mouseClick(write, Qt::LeftButton);
      QCoreApplication::processEvents();
      closedByTheRequest = !dialog.isVisible();
    });
    EXPECT_TRUE(run.windowShown);
    EXPECT_TRUE(closedByTheRequest);
    EXPECT_TRUE(requests.requested());
    EXPECT_EQ(nv4test::ReadFileBytes(results), "kept\r\n") << "cancelled: nothing written";
    ExpectWholeSettingsFile(folder.File(kSettingsFileName), own.OwnSettings());
  }
}

}  // namespace
