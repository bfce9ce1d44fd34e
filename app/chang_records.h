#pragma once
// What Change Pos reads and writes outside its window: the result's pair with its two records
// and clicks, and the click tables as copies of the records' clicks (row k is click k).

#include <cstdint>

#include "analysis/record_store.h"
#include "ulib/table_store.h"

// The pair and clicks behind one result row.
struct ChangTarget {
  std::int32_t pairRow = -1;              // the result's "rline"
  ObservationRecord* record1 = nullptr;  // record store element "rec1" of the pair row
  ObservationRecord* record2 = nullptr;  // element "rec2"
  std::int32_t click1 = 0;                // the result's "c1": its click in record1
  std::int32_t click2 = 0;                // "c2": its click in record2
};

// Reads the result row and its pair row from resultTable and pairTable through LiveCell, so a
// dead or missing row ends the program with the table's message.
ChangTarget ReadChangTarget(std::int32_t resultRow);

// Appends one row per click of the record: its pos, az and ev as they are.
void FillClickTable(const ObservationRecord& record, CUTable* table);

// Click i's pos := the pos cell of row i, for every click of the record; nothing else changes.
void CopyPositionsBack(const CUTable& table, ObservationRecord* record);
