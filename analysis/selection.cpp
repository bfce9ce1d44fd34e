#include "analysis/selection.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "analysis/pairing.h"
#include "analysis/result_tables.h"
#include "analysis/window_link.h"
#include "geo/calendar.h"
#include "params/app_params.h"
#include "platform/platform.h"
#include "ulib/messages.h"

SelectedRecords selectedRecords;
int32_t nextPairNumber = 1;

void SortSelectionByKey(int32_t lo, int32_t hi) {
  lo = std::max(lo, 0);
  hi = std::min(hi, kMaxRecords - 1);
  if (lo >= hi) return;
  const ObservationRecord* records = theRecordStore().records;
  // Keys are not unique (records are told apart by stamp, lid and sid as separate fields, and
  // "ab"+"c" meets "a"+"bc"), so equal keys are ordered by record index: the order is then the
  // same whatever sort runs.
  std::sort(selectedRecords.selected + lo, selectedRecords.selected + hi + 1,
            [records](int32_t a, int32_t b) {
              const int c = std::strncmp(records[a].key, records[b].key, sizeof records[a].key);
              return c != 0 ? c < 0 : a < b;
            });
}

void SelectAndPair() {
  RecordStore& store = theRecordStore();
  if (store.busy != 0) return;
  store.busy = 1;
  platform::WaitCursor waitCursor;

  // The records of the date range are picked and their pairs' points triangulated on the other
  // cores while the lists empty; nothing of that reads the lists or their tables. What the user
  // sees keeps its order: the lists empty before a "Too Many records" is told.
  const double t1 = DateToMjd(AP.y1, AP.m1, AP.d1, 0, 0, 0);
  const double t2 = DateToMjd(AP.y2, AP.m2, AP.d2, 0, 0, 0);
  selectedRecords.selectedCount = 0;
  bool tooMany = false;
  for (int32_t i = 0; i < store.recordCount; ++i) {
    const double mjd = store.records[i].mjd;
    if (!(t1 <= mjd && mjd < t2)) continue;
    selectedRecords.selected[selectedRecords.selectedCount++] = i;
    if (selectedRecords.selectedCount == kMaxRecords) {
      tooMany = true;
      break;
    }
  }
  std::optional<PairingRun> pairing;
  if (!tooMany && selectedRecords.selectedCount > 0) {
    SortSelectionByKey(0, selectedRecords.selectedCount - 1);
    pairing.emplace();
  }

  analysis::Windows().ClearResultLists();
  // The lists empty their tables row by row, which can leave dead rows counted; the pass starts
  // from empty tables whatever the lists did.
  pairTable->Clear();
  resultTable->Clear();
  // The selected rows are gone with the tables.
  selectionState.selectedPair = -1;
  selectionState.selectedResult = -1;
  nextPairNumber = 1;

  if (tooMany) {
    ReportError("Too Many records");
  } else if (selectedRecords.selectedCount == 0) {
    ApplyDateRange();
    analysis::Windows().RedrawMapAndStatus();
  } else {
    pairing->AddRows();
    pairing.reset();
    analysis::Windows().ReloadResultLists();
    analysis::Windows().RedrawMapAndStatus();
  }

  analysis::Windows().UpdateStatusLine();
  store.busy -= 1;
}
