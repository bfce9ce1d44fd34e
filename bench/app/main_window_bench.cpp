// The program as its user meets it: from start-up to the main window on the shipped
// 3200 x 2400 map, "read clicls" pressed in the real window, on the demo tree and on a tree
// that fills the record store (50 clicks a record), and a pairing threshold typed on that store. Runs offscreen with a scripted platform, so
// that no box waits for a person.

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "app/cu_dlg.h"
#include "app/main_page_fields.h"
#include "app/page_main.h"
#include "bench/support/large_clicks_tree.h"
#include "params/app_params.h"
#include "platform/c_locale.h"
#include "platform/qt/qt_platform.h"
#include "platform/scripted_platform.h"
#include "tests/app/main_window_support.h"
#include "ulib/settings_store.h"

namespace {

namespace fs = std::filesystem;

const std::string kSourceDir = NV4_SOURCE_DIR;

// A start-up folder holding the shipped map and a settings file that names the input folder.
class StartFolder {
 public:
  explicit StartFolder(const std::string& inputDir) {
    path_ = fs::temp_directory_path() / ("nv4bench-" + std::to_string(::getpid()));
    fs::remove_all(path_);
    fs::create_directories(path_ / "out");
    fs::copy_file(kSourceDir + "/data/GMe136n34_16.DAT", path_ / "GMe136n34_16.DAT");
    theAppUty.BeginWrite();
    theAppUty.WriteInt("VERSION", 400);
    theAppUty.WriteString("AP.indir", inputDir.c_str());
    theAppUty.WriteString("AP.outdir", (path_ / "out").c_str());
    theAppUty.Save(path_.c_str(), kSettingsFileName);
    previous_ = fs::current_path();
    fs::current_path(path_);
  }
  ~StartFolder() {
    fs::current_path(previous_);
    fs::remove_all(path_);
  }

 private:
  fs::path path_;
  fs::path previous_;
};

// Runs the program; whileOpen runs as soon as the main window shows (polled without a pause,
// so that the wait adds nothing to the time measured), then the window closes.
void RunProgramAtOnce(const std::function<void(CUDlg&)>& whileOpen) {
  apptest::RunProgram(whileOpen, 0);
}

void StartToMainWindow(benchmark::State& state) {
  platform::ScopedScriptedPlatform scripted;
  StartFolder folder(kSourceDir + "/data/clicks");
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    double seconds = 0;
    RunProgramAtOnce([&](CUDlg& dialog) {
      if (!QTest::qWaitForWindowExposed(&dialog)) state.SkipWithError("never shown");
      seconds = clock.nsecsElapsed() * 1e-9;
    });
    state.SetIterationTime(seconds);
  }
  if (!scripted->CallsOf(platform::ScriptedPlatform::CallKind::kMessage).empty()) {
    state.SkipWithError("start-up reported a message");
  }
}
BENCHMARK(StartToMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Presses "read clicls" in a 1300 x 800 window over the folder, once per iteration.
void ReadClicksInWindow(benchmark::State& state, const std::string& inputDir) {
  platform::ScopedScriptedPlatform scripted;
  StartFolder folder(inputDir);
  RunProgramAtOnce([&](CUDlg& dialog) {
    dialog.resize(1300, 800);
    QCoreApplication::processEvents();
    auto* read =
        qobject_cast<QAbstractButton*>(platform::FindItem(dialog.mainPage(), kIdReadClicks));
    if (!read) {
      state.SkipWithError("no read button");
      return;
    }
    for (auto _ : state) {
      read->click();
      QCoreApplication::processEvents();
    }
    state.counters["records"] = theRecordStore().recordCount;
    state.counters["inDate"] = selectedRecords.selectedCount;
    state.counters["pairs"] = pairTable->rowCount;
    state.counters["positions"] = resultTable->rowCount;
  });
  const auto messages = scripted->CallsOf(platform::ScriptedPlatform::CallKind::kMessage);
  if (!messages.empty()) state.SetLabel("told: " + messages.back().text);
}

void ReadDemoTree(benchmark::State& state) { ReadClicksInWindow(state, kSourceDir + "/data/clicks"); }
BENCHMARK(ReadDemoTree)->Unit(benchmark::kMillisecond);

// A full store: the selection finds its 10000th record and says "Too Many records".
void ReadFullStore(benchmark::State& state) { ReadClicksInWindow(state, bench::LargeTree(5000)); }
BENCHMARK(ReadFullStore)->Unit(benchmark::kMillisecond)->Iterations(3);

// One record short of the limit: everything is read, paired, triangulated and drawn.
void ReadLargestPairedTree(benchmark::State& state) { ReadClicksInWindow(state, bench::LargeTree(4999)); }
BENCHMARK(ReadLargestPairedTree)->Unit(benchmark::kMillisecond)->Iterations(3);

// One keystroke in the GD field of a window that has read the largest paired tree: the pass,
// both lists and the map, as every typed character of a threshold gives them. The keystrokes
// alternate between taking the last digit away and typing it again (GD 1 and 10: both pair every
// event of the tree).
void ThresholdChangeOnFullStore(benchmark::State& state) {
  platform::ScopedScriptedPlatform scripted;
  StartFolder folder(bench::LargeTree(4999));
  RunProgramAtOnce([&](CUDlg& dialog) {
    dialog.resize(1300, 800);
    QCoreApplication::processEvents();
    auto* read =
        qobject_cast<QAbstractButton*>(platform::FindItem(dialog.mainPage(), kIdReadClicks));
    auto* gd = qobject_cast<QLineEdit*>(
        platform::FindItem(dialog.mainPage(), kMainFieldBaseId + 5 * kFieldGD));
    if (!read || !gd) {
      state.SkipWithError("no read button or GD field");
      return;
    }
    read->click();
    QCoreApplication::processEvents();
    gd->setFocus();
    gd->setCursorPosition(gd->text().size());
    bool typedAway = false;
    for (auto _ : state) {
      if (typedAway) {
        QTest::keyClick(gd, Qt::Key_0);
      } else {
        QTest::keyClick(gd, Qt::Key_Backspace);
      }
      typedAway = !typedAway;
      QCoreApplication::processEvents();
    }
    state.counters["records"] = theRecordStore().recordCount;
    state.counters["inDate"] = selectedRecords.selectedCount;
    state.counters["pairs"] = pairTable->rowCount;
    state.counters["positions"] = resultTable->rowCount;
  });
  const auto messages = scripted->CallsOf(platform::ScriptedPlatform::CallKind::kMessage);
  if (!messages.empty()) state.SetLabel("told: " + messages.back().text);
}
BENCHMARK(ThresholdChangeOnFullStore)->Unit(benchmark::kMillisecond)->Iterations(6);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  platform::UseCNumericLocale();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
