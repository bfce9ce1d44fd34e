// The program as its user meets it: from start-up to the main window on the shipped
// 3200 x 2400 map, and "read clicls" pressed in the real window, on the demo tree and on a tree
// that fills the record store (50 clicks a record). Runs offscreen with a scripted platform, so
// that no box waits for a person.

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
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
#include "app/page_main.h"
#include "app/params/app_params.h"
#include "platform/c_locale.h"
#include "platform/qt/qt_platform.h"
#include "platform/scripted_platform.h"
#include "tests/app/main_window_support.h"
#include "tools/clicks_gen/synthetic_event.h"
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

// Events 20 s apart, each seen by two stations with 50 clicks: 2 records an event.
std::string LargeTree(int events) {
  const fs::path dir = fs::temp_directory_path() / ("nv4bench-clicks-" + std::to_string(events));
  if (fs::exists(dir / "done")) return dir.string();
  fs::remove_all(dir);
  fs::create_directories(dir);
  SyntheticStation a;
  a.lid = "NV01", a.sid = "A", a.lngDeg = 135.5, a.latDeg = 34.7, a.altM = 60;
  SyntheticStation b;
  b.lid = "NV02", b.sid = "A", b.lngDeg = 136.9, b.latDeg = 35.15, b.altM = 50;
  b.clockOffsetSec = 0.3;
  for (int i = 0; i < events; ++i) {
    SyntheticEvent event;
    const int seconds = 20 * i;
    event.start = {2023, 8, 12 + seconds / 86400, (seconds / 3600) % 24, (seconds / 60) % 60,
                   static_cast<double>(seconds % 60) + 0.25};
    event.flight.beginLngDeg = 136.2 + 0.001 * (i % 100);
    event.flight.beginLatDeg = 34.6;
    event.flight.beginHeightKm = 110;
    event.flight.headingDeg = 210;
    event.flight.descentDeg = 40;
    event.flight.speedKmS = 58;
    event.flight.durationSec = 0.9;
    event.flight.pointCount = 50;
    event.stations = {a, b};
    event.style.noiseDeg = 0.02;
    event.style.seed = static_cast<std::uint32_t>(i + 1);
    const fs::path night = dir / std::to_string(i / 1000);
    fs::create_directories(night);
    const std::string failure =
        WriteSyntheticEvent(event, night.string(), EventFileStem(event.start));
    if (!failure.empty()) {
      std::fprintf(stderr, "cannot write the large tree: %s\n", failure.c_str());
      return std::string();
    }
  }
  std::FILE* done = std::fopen((dir / "done").c_str(), "w");
  if (done) std::fclose(done);
  return dir.string();
}

// A full store: the selection finds its 10000th record and says "Too Many records".
void ReadFullStore(benchmark::State& state) { ReadClicksInWindow(state, LargeTree(5000)); }
BENCHMARK(ReadFullStore)->Unit(benchmark::kMillisecond)->Iterations(3);

// One record short of the limit: everything is read, paired, triangulated and drawn.
void ReadLargestPairedTree(benchmark::State& state) { ReadClicksInWindow(state, LargeTree(4999)); }
BENCHMARK(ReadLargestPairedTree)->Unit(benchmark::kMillisecond)->Iterations(3);

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
