#include "app/app_window_link.h"

#include "app/cu_dlg.h"
#include "app/page_main.h"
#include "app/status_line.h"
#include "groundmap/ui/page_gmap.h"

void AppWindowLink::ClearResultLists() {
  thePairList.DeleteAllRows();
  if (theMainPage) theMainPage->resultList().DeleteAllRows();
}

void AppWindowLink::ReloadResultLists() {
  // The selection pass fills the tables behind the lists' backs, so both rebuild their lines.
  if (thePairList.layout()) thePairList.Reload(0, 0);
  if (theMainPage && theMainPage->resultList().layout()) theMainPage->resultList().Reload(0, 0);
}

void AppWindowLink::RedrawMapAndStatus() { ::RedrawMapAndStatus(); }

void AppWindowLink::UpdateStatusLine() { ::UpdateStatusLine(); }

ScopedAppWindowLink::ScopedAppWindowLink() : previous_(analysis::InstallWindowLink(&link_)) {}

ScopedAppWindowLink::~ScopedAppWindowLink() { analysis::InstallWindowLink(previous_); }
