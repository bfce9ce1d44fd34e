#include "ulib/ui/list_line_map.h"

#include "ulib/messages.h"

std::int32_t ReadLineRow(const CUTable& table, std::int32_t itemdataColumn, std::int32_t line) {
  const std::int32_t rowsPerBlock = table.descriptor->rowsPerBlock;
  const TableBlock* block = table.firstBlock;
  while (block && (line < 0 || block->endRow <= line)) block = block->next;
  if (!block || line < 0) FatalError("CUTABLE invalid access");
  const std::int32_t inBlock = line - (block->endRow - rowsPerBlock);
  const unsigned char* cells =
      reinterpret_cast<const unsigned char*>(block) + TableBlock::CellsOffset();
  const std::size_t offset =
      (static_cast<std::size_t>(inBlock) * table.descriptor->columnCount + itemdataColumn) *
      kTableCellBytes;
  return ReadCellInt(cells + offset);
}

void WriteLineRow(CUTable& table, std::int32_t itemdataColumn, std::int32_t line,
                  std::int32_t row) {
  if (line < 0) FatalError("CUTABLE setidemdata underflow");
  WriteCellInt(table.CellForWrite(line, itemdataColumn), row);
}

std::int32_t BuildLineMaps(CUTable& table, const ListLayout& layout, std::int32_t filterColumn,
                           std::int32_t filterValue) {
  std::int32_t lineCount = 0;
  for (std::int32_t r = 0; r < table.rowCount; ++r) {
    if (table.RowExists(r) == 0) continue;
    if (filterColumn != 0 && ReadCellInt(table.LiveCell(r, filterColumn)) == filterValue) {
      continue;
    }
    WriteCellInt(table.LiveCell(r, layout.dlineColumn), lineCount);
    WriteLineRow(table, layout.itemdataColumn, lineCount, r);
    ++lineCount;
  }
  return lineCount;
}
