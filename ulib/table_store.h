#pragma once
// Typed in-memory tables: rows of 8-byte cells in blocks that never move, so a cell pointer and
// a row index stay valid for the life of the table. Column 0 of every table is "exist": a row
// whose exist cell is 0 is dead. Every broken invariant ends the program through FatalError.
// Cell values are read and written with the helpers of ulib/table_cell.h.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ulib/table_cell.h"

// Column type codes; every cell is 8 bytes.
enum CellType : std::uint32_t {
  CellInt = 1,     // int32 in the first 4 bytes; CSV ",%d"
  CellCheck = 2,   // uint32, 0 clear, non-zero set; list "*" when set; CSV ",%u"
  CellMark = 3,    // uint32 state 0..7: 0 "", 1 "*", 2-3 "-", 4-7 "+"; CSV ",%u"
  CellExist = 4,   // uint32, 0 dead row; only column 0; CSV ",%u"
  CellRawInt = 5,  // int32, no list text, not editable or sortable; CSV ",%d"
  CellFloat = 6,   // IEEE single in the first 4 bytes; CSV ",%f" of the value widened to double
  CellDouble = 7,  // IEEE double; CSV ",%f"
  CellString = 8,  // pointer to a pooled string of at most 1023 characters, null = empty; ",_%s"
  CellChars = 9,   // at most 7 characters and their NUL inside the cell; CSV ",_%s"
  CellHidden = 10, // nothing; never written to CSV
};

inline constexpr int kMaxTableColumns = 100;
inline constexpr int kTableColumnNameChars = 32;
inline constexpr int kTableFileNameChars = 1024;
inline constexpr int kMaxCellStringChars = 1023;  // longest text of a CellString cell
inline constexpr int kMaxCellChars = 7;           // longest text of a CellChars cell
inline constexpr int kTableCellBytes = 8;

struct TableColumn {
  CellType type;
  std::uint32_t csv;                  // 1 = written by CUTable::WriteCsv, 0 = not
  char name[kTableColumnNameChars];   // CSV header name after its "_", and the list header
};

// Static description of one table kind; never built or changed at run time. Column 0 must be
// "exist" of type CellExist with csv 0, and a CellHidden column has csv 0; CUTable's
// constructor refuses a descriptor that breaks this.
struct TableDescriptor {
  char fileName[kTableFileNameChars];  // "NVpair.csv", ...; also the Edit record dialog's title
  std::uint32_t version;               // first field of every CSV data line ("_Version")
  std::int32_t rowsPerBlock;           // rows per allocation (10000 in the program's tables)
  std::int32_t columnCount;            // 1 to kMaxTableColumns
  TableColumn columns[kMaxTableColumns];
};

// One allocation of rowsPerBlock rows; allocated zeroed. Row r lies in the block whose endRow
// is the smallest one above r, at r - (endRow - rowsPerBlock) inside it.
struct TableBlock {
  TableBlock* prev;      // null for the first block
  TableBlock* next;      // null for the last block
  std::int32_t endRow;   // one past the last row held, counted over the whole table
  // rowsPerBlock * columnCount cells of 8 bytes, row after row, follow on an 8-byte boundary.
  unsigned char* Cells() { return reinterpret_cast<unsigned char*>(this) + CellsOffset(); }
  static constexpr std::size_t CellsOffset() { return (sizeof(TableBlock) + 7) / 8 * 8; }
};

class CUTable {
 public:
  // Checks the descriptor (fatal "CUTable bad descriptor %s" with its file name) and allocates
  // the first block; rowCount 0. The descriptor is not owned and must outlive the table.
  explicit CUTable(const TableDescriptor* descriptor);
  // Frees the blocks, last first. Pooled strings still held are not returned: the string pool
  // is released whole at shut-down.
  ~CUTable();
  CUTable(const CUTable&) = delete;
  CUTable& operator=(const CUTable&) = delete;

  // Appends a live row (exist 1, every other cell zero, 0.0 or null) and returns its index,
  // the old rowCount. Grows by a block when needed; earlier cells never move.
  std::int32_t AddRow();

  // The row's exist cell: non-zero for a live row, 0 for a dead one and for any row outside
  // 0 to rowCount - 1.
  std::uint32_t RowExists(std::int32_t row) const;

  // The cell of a live row. Fatal "CUTABLE invalid access" for a row outside 0 to rowCount - 1
  // or a column outside the descriptor, "UT recored was deteled" for a dead row.
  void* LiveCell(std::int32_t row, std::int32_t column);
  const void* LiveCell(std::int32_t row, std::int32_t column) const;

  // For a CellChars column the characters inside the cell; for a CellString column the stored
  // pointer, null when empty. Through LiveCell.
  const char* GetString(std::int32_t row, std::int32_t column) const;
  // As GetString, but "" instead of null.
  const char* GetStringOrEmpty(std::int32_t row, std::int32_t column) const;

  // The cell for writing: appends blocks until the row lies inside one. Does not test exist
  // and does not change rowCount. Fatal "CUTABLE underflow" for a negative row,
  // "CUTABLE invalid access" for a column outside the descriptor.
  void* CellForWrite(std::int32_t row, std::int32_t column);

  // Stores text into a CellString cell (a copy in the string pool, the old string returned to
  // it; null or "" leave the cell null; fatal "CUTable too long str" from 1024 characters) or
  // into a CellChars cell (fatal "CUTable too long chars" above 7 characters).
  void SetString(std::int32_t row, std::int32_t column, const char* text);

  // Returns the row's strings to the pool and marks it dead (exist 0). The last row also
  // shortens the table by one; any other keeps its index and is never reused.
  void DeleteRow(std::int32_t row);

  // Returns the strings of the live rows to the pool and sets rowCount to 0; blocks are kept.
  void Clear();

  // Writes the table CSV file (lines end CR LF, numbers in the C locale): the header, then the
  // live rows from firstRow on; with filterColumn not 0, only rows whose int32 cell of that
  // column lies in lo to hi. On a file that cannot be created or written the user is told
  // "Cannot write %s" with the path, and false is returned.
  bool WriteCsv(const char* path, std::int32_t filterColumn, std::int32_t lo, std::int32_t hi,
                std::int32_t firstRow) const;

  // Read these; only the table's own operations change them.
  std::int32_t rowCount = 0;                   // rows in use, dead rows included
  const TableDescriptor* descriptor = nullptr; // the table kind
  TableBlock* firstBlock = nullptr;            // first block of the chain; owned
  TableBlock* lastBlock = nullptr;             // last block of the chain

 private:
  void AppendBlock();
  TableBlock* BlockForRead(std::int32_t row) const;
  TableBlock* BlockForGrow(std::int32_t row);
  unsigned char* CellIn(TableBlock* block, std::int32_t row, std::int32_t column) const;
  void CheckColumn(std::int32_t column) const;
  void FreeStringCell(void* cell);

  // The blocks of the chain in order, so that row r is found in blocks_[r / rowsPerBlock]
  // directly: walking the chain to it would touch the header of every block before it.
  std::vector<TableBlock*> blocks_;
};
