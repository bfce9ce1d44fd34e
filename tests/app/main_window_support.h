#pragma once
// What the tests of the running program share: the four tables with their pools, pair and
// result rows, a start-up folder to run in, a scripted platform that also writes the real
// window texts, a watchdog for boxes that no test step answers, and the program run with a
// body working its main window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "analysis/result_tables.h"
#include "app/click_table.h"
#include "app/cu_app.h"
#include "app/cu_dlg.h"
#include "params/app_params.h"
#include "platform/qt/qt_platform.h"
#include "platform/scripted_platform.h"
#include "tests/support/locale_guard.h"
#include "tests/support/modal_watchdog.h"
#include "ulib/node_pool.h"
#include "ulib/string_pool.h"
#include "ulib/table_cell.h"

namespace apptest {

// The four tables as start-up makes them, deleted (with the pools) at the end.
class ScopedTables {
 public:
  ScopedTables() {
    UcbufAlloc("initial str");
    CellBufAlloc();
    pairTable = new CUTable(&PairTable);
    resultTable = new CUTable(&ResultTable);
    clickTable1 = new CUTable(&ClickTable);
    clickTable2 = new CUTable(&ClickTable);
  }
  ~ScopedTables() {
    delete clickTable2;
    delete clickTable1;
    delete resultTable;
    delete pairTable;
    clickTable2 = clickTable1 = resultTable = pairTable = nullptr;
    CellBufFreeAll();
    UcbufFreeAll();
  }
  ScopedTables(const ScopedTables&) = delete;
  ScopedTables& operator=(const ScopedTables&) = delete;
};

// A pair row as pairing makes it: numbered, marked 1.
inline std::int32_t AddPair(std::int32_t number, std::uint32_t mark = 1) {
  const std::int32_t row = pairTable->AddRow();
  WriteCellInt(pairTable->CellForWrite(row, kPairNumber), number);
  pairTable->SetString(row, kPairLocaltime, ("20230812_0000" + std::to_string(10 + number)).c_str());
  WriteCellUint(pairTable->CellForWrite(row, kPairMark), mark);
  return row;
}

// A result row of a pair row.
inline std::int32_t AddResult(std::int32_t pairRow, std::uint32_t mark = 1) {
  const std::int32_t row = resultTable->AddRow();
  WriteCellInt(resultTable->CellForWrite(row, kResultRline), pairRow);
  WriteCellUint(resultTable->CellForWrite(row, kResultMark), mark);
  return row;
}

inline std::uint32_t PairMarkOf(std::int32_t row) {
  return ReadCellUint(pairTable->LiveCell(row, kPairMark));
}
inline std::uint32_t ResultMarkOf(std::int32_t row) {
  return ReadCellUint(resultTable->LiveCell(row, kResultMark));
}

// A window rectangle as left, top, right, bottom: one comparison checks and shows all four.
inline std::array<std::int32_t, 4> Sides(const ScreenRect& r) {
  return {r.left, r.top, r.right, r.bottom};
}

// Runs the test in a fresh folder, as if the program were started there; the previous current
// folder comes back after.
class ScopedStartFolder {
 public:
  ScopedStartFolder() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
  }
  ~ScopedStartFolder() { std::filesystem::current_path(previous_); }
  ScopedStartFolder(const ScopedStartFolder&) = delete;
  ScopedStartFolder& operator=(const ScopedStartFolder&) = delete;
  const std::string& path() const { return dir_.path(); }
  std::string File(const std::string& name) const { return dir_.File(name); }

 private:
  nv4test::TempDir dir_;
  std::filesystem::path previous_;
};

// Records every call like the scripted platform and answers from its queue, but also writes
// captions and item texts into the real windows, so that what a person would see can be
// looked at.
class ShowingPlatform : public platform::ScriptedPlatform {
 public:
  ShowingPlatform() : previous_(platform::Install(this)) {
    SetMissingAnswerHandler(
        [](const std::string& what) { ADD_FAILURE() << "no scripted answer for " << what; });
  }
  ~ShowingPlatform() override { platform::Install(previous_); }
  ShowingPlatform(const ShowingPlatform&) = delete;
  ShowingPlatform& operator=(const ShowingPlatform&) = delete;

  bool SetWindowText(platform::WindowHandle window, const std::string& text) override {
    ScriptedPlatform::SetWindowText(window, text);
    return qt_.SetWindowText(window, text);
  }
  bool SetItemText(platform::WindowHandle window, int itemId, const std::string& text) override {
    ScriptedPlatform::SetItemText(window, itemId, text);
    return qt_.SetItemText(window, itemId, text);
  }

  // The texts of the message boxes shown so far, in order.
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& call : CallsOf(CallKind::kMessage)) texts.push_back(call.text);
    return texts;
  }

 private:
  platform::QtPlatform qt_;
  platform::Platform* previous_;
};

// The watchdog of the program's windows: the main dialog is the window every step drives, for
// as long as the program runs, and is never judged.
class ModalWatchdog : public nv4test::ModalWatchdog {
 public:
  ModalWatchdog() {
    Own([](const QWidget* window) { return qobject_cast<const CUDlg*>(window) != nullptr; });
  }
};

// How a run of the program went.
struct ProgramRun {
  bool windowShown = false;  // the main window came up and whileOpen ran
  bool keepsRunning = true;  // what InitInstance answered: false, the program has ended
};

// Runs start-up to its end. Once the main window shows, whileOpen works it from inside its
// event loop, then the window is closed through its close command, as a person would close it,
// unless it was closed already.
// Polls for the window every pollMs milliseconds.
inline ProgramRun RunProgram(const std::function<void(CUDlg&)>& whileOpen, int pollMs = 5) {
  ProgramRun run;
  QTimer poll;
  poll.setInterval(pollMs);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<CUDlg*>(w);
      if (!dialog || !dialog->isVisible()) continue;
      poll.stop();
      run.windowShown = true;
      if (whileOpen) {
        nv4test::StepScope step;
        whileOpen(*dialog);
      }
      // A window that whileOpen has seen closed stays closed.
      if (dialog->isVisible()) dialog->close();
      return;
    }
  });
  poll.start();
  run.keepsRunning = CUApp().InitInstance();
  return run;
}

}  // namespace apptest
