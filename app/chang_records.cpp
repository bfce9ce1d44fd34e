#include "app/chang_records.h"

#include "analysis/result_tables.h"
#include "app/click_table.h"
#include "ulib/table_cell.h"

ChangTarget ReadChangTarget(std::int32_t resultRow) {
  ChangTarget target;
  target.pairRow = ReadCellInt(resultTable->LiveCell(resultRow, kResultRline));
  RecordStore& store = theRecordStore();
  target.record1 = &store.records[ReadCellInt(pairTable->LiveCell(target.pairRow, kPairRec1))];
  target.record2 = &store.records[ReadCellInt(pairTable->LiveCell(target.pairRow, kPairRec2))];
  target.click1 = ReadCellInt(resultTable->LiveCell(resultRow, kResultC1));
  target.click2 = ReadCellInt(resultTable->LiveCell(resultRow, kResultC2));
  return target;
}

void FillClickTable(const ObservationRecord& record, CUTable* table) {
  for (std::int32_t k = 0; k < record.clickCount; ++k) {
    const std::int32_t row = table->AddRow();
    WriteCellInt(table->CellForWrite(row, kClickPos), record.clicks.pos[k]);
    WriteCellFloat(table->CellForWrite(row, kClickAz), record.clicks.az[k]);
    WriteCellFloat(table->CellForWrite(row, kClickEv), record.clicks.ev[k]);
  }
}

void CopyPositionsBack(const CUTable& table, ObservationRecord* record) {
  for (std::int32_t i = 0; i < record->clickCount; ++i) {
    record->clicks.pos[i] = ReadCellInt(table.LiveCell(i, kClickPos));
  }
}
