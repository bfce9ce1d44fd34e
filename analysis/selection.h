#pragma once
// The selection pass: the records whose UT time lies in the date range, sorted by key, paired
// and triangulated into pairTable and resultTable. It runs after every read and after every
// change of the dates or of a pairing threshold.

#include <cstdint>

#include "analysis/record_store.h"

// The records of the date range: indices into theRecordStore().records, in ascending key order
// once the pass has sorted them. At most kMaxRecords - 1 are ever paired: the pass stops at the
// kMaxRecords-th record in range.
struct SelectedRecords {
  int32_t selected[kMaxRecords];
  int32_t selectedCount = 0;  // entries in use ("indate rec" of the status line)
};

extern SelectedRecords selectedRecords;

// The "#" of the next pair row; 1 at the start of every pass (and of every read).
extern int32_t nextPairNumber;

// The whole pass; does nothing while the store's busy flag is set. Reads AP.y1/m1/d1 and
// AP.y2/m2/d2 (midnight UT of each: the first date in, the second out), AP.GD and AP.dt;
// triangulation reads AP.Qc. Empties both tables and lists first, clears the selected pair and
// result (their rows are gone), and ends with the lists reloaded, the map redrawn and the status
// line written, all through the window link. The 10000th record in range is reported
// ("Too Many records") and leaves both tables empty. pairTable and resultTable must exist.
void SelectAndPair();

// Sorts selected[lo..hi] (both inclusive) by the records' keys as byte strings (strcmp order);
// equal keys keep the order of their record indices.
void SortSelectionByKey(int32_t lo, int32_t hi);
