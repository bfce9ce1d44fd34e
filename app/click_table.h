#pragma once
// The clicks of one record as the Change Pos dialog shows and edits them: row k is click k of
// the record. Two tables of this kind exist while the main dialog can exist; both are empty
// whenever the dialog is closed. Never written to a file.

#include <cstdint>

#include "ulib/table_store.h"

enum ClickColumn : std::int32_t {
  kClickExist = 0,  // exist
  kClickPos,        // "pos": point number of the click (edited in place)
  kClickAz,         // "az": azimuth, degrees, as in the record
  kClickEv,         // "ev": elevation, degrees, as in the record
  kClickDline,      // "dline": line of the row in list "C1"
  kClickDline2,     // "dline2": line of the row in list "C2"
  kClickItemdata,   // "itemdata": row shown at each line of list "C1"
  kClickItemdata2,  // "itemdata2": row shown at each line of list "C2"
  kClickColumnCount
};

// "NVclick.csv", version 512, 10000 rows a block.
extern const TableDescriptor ClickTable;

// Station 1's and station 2's clicks; created at start-up after the pair and result tables.
extern CUTable* clickTable1;
extern CUTable* clickTable2;
