#include "app/cu_app.h"

#include <QPointer>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/scrambler.h"
#include "app/app_window_link.h"
#include "app/click_table.h"
#include "app/credit_dlg.h"
#include "app/cu_dlg.h"
#include "app/folder_for_message.h"
#include "app/page_main.h"
#include "params/app_dirs.h"
#include "params/app_params.h"
#include "app/program_version.h"
#include "geo/calendar.h"
#include "groundmap/map_file_loader.h"
#include "groundmap/map_projection.h"
#include "groundmap/ui/page_gmap.h"
#include "ulib/messages.h"
#include "ulib/node_pool.h"
#include "ulib/string_pool.h"
#include "ulib/table_store.h"

namespace {

// Copies text into a buffer of size bytes; false, and the buffer left as it was, when it does
// not fit with its terminating zero.
bool CopyBounded(char* buffer, std::size_t size, const std::string& text) {
  if (text.size() >= size) return false;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}

// startDir := the current folder, myDocumentsDir := the documents folder. False, after telling
// the user, when the current folder cannot be kept: nothing could be found in it.
bool RememberFolders() {
  std::error_code error;
  const std::string current = std::filesystem::current_path(error).string();
  if (error) {
    ReportError("Cannot read the start-up folder: %s", error.message().c_str());
    return false;
  }
  if (!CopyBounded(startDir, sizeof startDir, current)) {
    ReportError("Start-up folder too long (over %d characters): %s", kStartDirChars - 1,
                FolderForMessage(current).c_str());
    return false;
  }
  const std::string documents = platform::Current().DocumentsFolder();
  if (!CopyBounded(myDocumentsDir, sizeof myDocumentsDir, documents)) {
    // The folders then fall back to nothing at all, which the read command ignores.
    ReportError("Documents folder too long (over %d characters): %s", kStartDirChars - 1,
                FolderForMessage(documents).c_str());
    myDocumentsDir[0] = '\0';
  }
  return true;
}

// What other parts hold before the settings are read: no pages, no records, no map, nothing
// selected.
void ResetRunState() {
  theMainPage = nullptr;
  theGmapPage = nullptr;
  RecordStore& store = theRecordStore();
  store.busy = 0;
  store.stopReading = 0;
  store.recordCount = 0;
  store.minMjd = DateToMjd(1900, 1, 1, 0, 0, 0);
  store.maxMjd = DateToMjd(2099, 1, 1, 0, 0, 0);
  groundmap::mapProjection.scale = 0.0;
  selectionState.selectedPair = -1;
  selectionState.selectedResult = -1;
  selectionState.pairView = 0;
}

// Loads the map named by "AP.g_map" from the start-up folder (a full path as it stands).
bool LoadStartMap() {
  // With no name there is no file to open: said in the loader's words, of the folder.
  if (AP.g_map[0] == '\0') {
    ReportError("Cannot Open GroundMap %s/", FolderForMessage(startDir).c_str());
    return false;
  }
  const std::string path = groundmap::GroundMapPath(startDir, AP.g_map);
  if (path.empty()) {
    ReportError("Ground Map path too long (over %d characters): %s\nin %s",
                groundmap::kMaxMapPathChars, AP.g_map, FolderForMessage(startDir).c_str());
    return false;
  }
  return groundmap::LoadGroundMap(path.c_str()) != 0;
}

void CreateTables() {
  pairTable = new CUTable(&PairTable);
  resultTable = new CUTable(&ResultTable);
  clickTable1 = new CUTable(&ClickTable);
  clickTable2 = new CUTable(&ClickTable);
}

void DeleteTables() {
  delete clickTable2;
  clickTable2 = nullptr;
  delete clickTable1;
  clickTable1 = nullptr;
  delete resultTable;
  resultTable = nullptr;
  delete pairTable;
  pairTable = nullptr;
}

// The main window until it is closed. The window is gone before the tables it shows.
void RunMainDialog() {
  ScopedAppWindowLink link;
  CUDlg dialog(nullptr);
  dialog.DoModal();
}

}  // namespace

bool CUApp::InitInstance() {
  // The splash may be gone before start-up closes it only if the window system destroyed it.
  QPointer<CCreditDlg> splash = new CCreditDlg(nullptr);
  SetDlgItemTextF(splash.data(), kCreditVersionItem, "NortavelV4 V%4.2f", ProgramVersion);
  splash->PaintNow();

  SeedScrambler();
  bool started = RememberFolders();
  if (started) {
    SetDefaultAppParams();
    ResetRunState();
    LoadSettings();
    InitCalendarTables();
    SetDateRange(AP.y1, AP.m1, AP.d1, AP.y2, AP.m2, AP.d2);

    if (splash) {
      SetDlgItemTextF(splash.data(), kCreditGroundMapItem, "Ground Map : %s  --->  loading",
                      AP.g_map);
      SetDlgItemTextF(splash.data(), kCreditLineItem, "%s", kCreditLine);
      splash->PaintNow();
    }
    started = LoadStartMap();
    // The loader has said why; this ends the run while the splash still shows what was loading.
    if (!started) ReportError("Cannot load Ground Map .... abort");
  }
  if (splash) splash->OnCancel();
  if (!started) return false;

  UcbufAlloc("initial str");
  CellBufAlloc();
  CreateTables();

  RunMainDialog();

  DeleteTables();
  CellBufFreeAll();
  UcbufFreeAll();
  SaveSettings();
  return false;
}
