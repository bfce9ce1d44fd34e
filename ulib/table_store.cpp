#include "ulib/table_store.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "ulib/messages.h"
#include "ulib/string_pool.h"

namespace {

// Checked once here so that no later operation needs to doubt the descriptor: a missing exist
// column or a column written to the CSV without a field of its own would corrupt every file.
bool DescriptorIsSound(const TableDescriptor& d) {
  if (d.columnCount < 1 || d.columnCount > kMaxTableColumns || d.rowsPerBlock < 1) return false;
  if (d.columns[0].type != CellExist || d.columns[0].csv != 0) return false;
  for (int c = 1; c < d.columnCount; ++c) {
    const TableColumn& column = d.columns[c];
    if (column.type < CellInt || column.type > CellHidden || column.type == CellExist) {
      return false;
    }
    if (column.type == CellHidden && column.csv != 0) return false;
  }
  return true;
}

}  // namespace

CUTable::CUTable(const TableDescriptor* descriptorIn) : descriptor(descriptorIn) {
  if (!descriptor || !DescriptorIsSound(*descriptor)) {
    FatalError("CUTable bad descriptor %.64s", descriptor ? descriptor->fileName : "(null)");
  }
  AppendBlock();
}

CUTable::~CUTable() {
  TableBlock* block = lastBlock;
  while (block) {
    TableBlock* prev = block->prev;
    std::free(block);
    block = prev;
  }
}

void CUTable::AppendBlock() {
  const std::int32_t startRow = lastBlock ? lastBlock->endRow : 0;
  // Rows are int32 indices: a block whose rows would lie beyond that range cannot be had, and
  // its endRow must not wrap.
  if (startRow > INT32_MAX - descriptor->rowsPerBlock) FatalError("Cannot allocate UTABLE");
  const std::size_t cellBytes = static_cast<std::size_t>(descriptor->rowsPerBlock) *
                                static_cast<std::size_t>(descriptor->columnCount) *
                                kTableCellBytes;
  // Room for the block's entry first, so that a block once linked is always found.
  try {
    blocks_.reserve(blocks_.size() + 1);
  } catch (const std::bad_alloc&) {
    FatalError("Cannot allocate UTABLE");
  }
  // Zeroed, so that a cell reached before its row was added never holds a stray pointer.
  auto* block = static_cast<TableBlock*>(std::calloc(1, TableBlock::CellsOffset() + cellBytes));
  if (!block) FatalError("Cannot allocate UTABLE");
  block->prev = lastBlock;
  block->next = nullptr;
  block->endRow = startRow + descriptor->rowsPerBlock;
  if (lastBlock) {
    lastBlock->next = block;
  } else {
    firstBlock = block;
  }
  lastBlock = block;
  blocks_.push_back(block);
}

// Every block holds rowsPerBlock rows and the first starts at row 0, so block i holds rows
// i * rowsPerBlock to (i + 1) * rowsPerBlock - 1.
TableBlock* CUTable::BlockForRead(std::int32_t row) const {
  if (row >= 0) {
    const std::size_t index = static_cast<std::size_t>(row / descriptor->rowsPerBlock);
    if (index < blocks_.size()) return blocks_[index];
  }
  FatalError("CUTABLE invalid access");
}

TableBlock* CUTable::BlockForGrow(std::int32_t row) {
  if (row < 0) FatalError("CUTABLE underflow");
  while (row >= lastBlock->endRow) AppendBlock();
  return blocks_[static_cast<std::size_t>(row / descriptor->rowsPerBlock)];
}

unsigned char* CUTable::CellIn(TableBlock* block, std::int32_t row, std::int32_t column) const {
  const std::size_t rowInBlock =
      static_cast<std::size_t>(row - (block->endRow - descriptor->rowsPerBlock));
  return block->Cells() +
         (rowInBlock * static_cast<std::size_t>(descriptor->columnCount) +
          static_cast<std::size_t>(column)) * kTableCellBytes;
}

void CUTable::CheckColumn(std::int32_t column) const {
  if (column < 0 || column >= descriptor->columnCount) FatalError("CUTABLE invalid access");
}

void CUTable::FreeStringCell(void* cell) {
  if (char* text = ReadCellPointer(cell)) {
    UcbufFree(UCBUF.firstBlock, text);
    WriteCellPointer(cell, nullptr);
  }
}

std::int32_t CUTable::AddRow() {
  const std::int32_t row = rowCount;
  TableBlock* block = BlockForGrow(row);
  rowCount = row + 1;
  unsigned char* cells = CellIn(block, row, 0);
  // All bits zero is 0, 0.0f, 0.0 and null alike, whatever the column's type.
  const std::size_t rowBytes = static_cast<std::size_t>(descriptor->columnCount) * kTableCellBytes;
  std::memset(cells, 0, rowBytes);
  WriteCellUint(cells, 1);
  return row;
}

std::uint32_t CUTable::RowExists(std::int32_t row) const {
  if (row < 0 || row >= rowCount) return 0;
  return ReadCellUint(CellIn(BlockForRead(row), row, 0));
}

void* CUTable::LiveCell(std::int32_t row, std::int32_t column) {
  return const_cast<void*>(static_cast<const CUTable*>(this)->LiveCell(row, column));
}

const void* CUTable::LiveCell(std::int32_t row, std::int32_t column) const {
  CheckColumn(column);
  if (row < 0 || row >= rowCount) FatalError("CUTABLE invalid access");
  TableBlock* block = BlockForRead(row);
  if (ReadCellUint(CellIn(block, row, 0)) == 0) FatalError("UT recored was deteled");
  return CellIn(block, row, column);
}

const char* CUTable::GetString(std::int32_t row, std::int32_t column) const {
  const void* cell = LiveCell(row, column);
  switch (descriptor->columns[column].type) {
    case CellChars:
      return static_cast<const char*>(cell);
    case CellString:
      return ReadCellPointer(cell);
    default:
      FatalError("CUTable not a string column %d", column);
  }
}

const char* CUTable::GetStringOrEmpty(std::int32_t row, std::int32_t column) const {
  const char* text = GetString(row, column);
  return text ? text : "";
}

void* CUTable::CellForWrite(std::int32_t row, std::int32_t column) {
  CheckColumn(column);
  return CellIn(BlockForGrow(row), row, column);
}

void CUTable::SetString(std::int32_t row, std::int32_t column, const char* text) {
  void* cell = CellForWrite(row, column);
  const std::size_t length = text ? std::strlen(text) : 0;
  switch (descriptor->columns[column].type) {
    case CellChars: {
      if (length > static_cast<std::size_t>(kMaxCellChars)) FatalError("CUTable too long chars");
      // Through a copy: the text may be the cell's own characters.
      char chars[kTableCellBytes] = {};
      if (text) std::memcpy(chars, text, length);
      std::memcpy(cell, chars, kTableCellBytes);
      return;
    }
    case CellString: {
      if (length > static_cast<std::size_t>(kMaxCellStringChars)) {
        FatalError("CUTable too long str");
      }
      // The copy is made before the old string is freed, since the text may be the cell's own
      // string, which freeing would overwrite.
      char* copy = length > 0 ? UcbufAllocFrom(UCBUF.firstBlock, text) : nullptr;
      FreeStringCell(cell);
      WriteCellPointer(cell, copy);
      return;
    }
    default:
      FatalError("CUTable not a string column %d", column);
  }
}

void CUTable::DeleteRow(std::int32_t row) {
  for (int c = 1; c < descriptor->columnCount; ++c) {
    if (descriptor->columns[c].type == CellString) FreeStringCell(LiveCell(row, c));
  }
  // Also checks that the row is live when the table has no string column.
  void* exist = LiveCell(row, 0);
  // The last row is dead as well as cut off, so that nothing reads it as live before AddRow
  // takes its place again.
  WriteCellUint(exist, 0);
  if (row == rowCount - 1) rowCount = row;
}

void CUTable::Clear() {
  for (std::int32_t row = 0; row < rowCount; ++row) {
    TableBlock* block = BlockForRead(row);
    if (ReadCellUint(CellIn(block, row, 0)) == 0) continue;
    for (int c = 1; c < descriptor->columnCount; ++c) {
      if (descriptor->columns[c].type == CellString) FreeStringCell(CellIn(block, row, c));
    }
  }
  rowCount = 0;
}
