#include "ulib/ui/list_sort.h"

#include <cmath>
#include <cstring>
#include <numeric>
#include <utility>
#include <vector>

#include "ulib/ui/list_line_map.h"

namespace {

// Hoare's partition around the middle key, stepped exactly as the lists have always sorted,
// since the order of equal keys depends on every step. The two stretches it leaves never
// overlap, so sorting the smaller one first (and looping on the larger) gives the same lines
// as sorting the left one first, with a stack depth of log n even on a column that rises and
// then falls.
template <typename Key, typename Less>
void QuickSort(std::int32_t* idx, const Key* key, std::int32_t lo, std::int32_t hi, Less less) {
  while (lo < hi) {
    const Key pivot = key[idx[static_cast<std::int32_t>((std::int64_t{lo} + hi) / 2)]];
    std::int32_t i = lo;
    std::int32_t j = hi;
    for (;;) {
      while (less(key[idx[i]], pivot)) ++i;
      while (less(pivot, key[idx[j]])) --j;
      if (i >= j) break;
      std::swap(idx[i], idx[j]);
      ++i;
      --j;
    }
    if ((i - 1) - lo < hi - (j + 1)) {
      if (lo < i - 1) QuickSort(idx, key, lo, i - 1, less);
      lo = j + 1;
    } else {
      if (j + 1 < hi) QuickSort(idx, key, j + 1, hi, less);
      hi = i - 1;
    }
  }
}

template <typename Key, typename Less>
void SortIndex(std::int32_t* idx, const Key* key, std::int32_t n, Less less) {
  if (n > 1) QuickSort(idx, key, 0, n - 1, less);
}

template <typename Key>
bool Less(const Key& a, const Key& b) {
  return a < b;
}

bool StringLess(const char* a, const char* b) { return std::strcmp(a, b) < 0; }

const char* StringKey(const void* cell, CellType type) {
  if (type == CellChars) return static_cast<const char*>(cell);
  const char* text = ReadCellPointer(cell);
  return text ? text : "";
}

// Sorts the lines' indices by the keys of their rows; false for a column without an order.
bool SortedLineIndex(const CUTable& table, const std::vector<std::int32_t>& rows,
                     std::int32_t column, std::vector<std::int32_t>& idx) {
  const std::int32_t n = static_cast<std::int32_t>(rows.size());
  const CellType type = table.descriptor->columns[column].type;
  switch (type) {
    case CellInt: {
      std::vector<std::int32_t> key(rows.size());
      for (std::int32_t i = 0; i < n; ++i) key[i] = ReadCellInt(table.LiveCell(rows[i], column));
      SortKeysInt(idx.data(), key.data(), n);
      return true;
    }
    case CellCheck:
    case CellMark:
    case CellExist: {
      std::vector<std::uint32_t> key(rows.size());
      for (std::int32_t i = 0; i < n; ++i) key[i] = ReadCellUint(table.LiveCell(rows[i], column));
      SortKeysUnsigned(idx.data(), key.data(), n);
      return true;
    }
    case CellFloat:
    case CellDouble: {
      std::vector<double> key(rows.size());
      for (std::int32_t i = 0; i < n; ++i) {
        const void* cell = table.LiveCell(rows[i], column);
        key[i] = SortKeyOfReal(type == CellFloat ? static_cast<double>(ReadCellFloat(cell))
                                                 : ReadCellDouble(cell));
      }
      SortKeysDouble(idx.data(), key.data(), n);
      return true;
    }
    case CellString:
    case CellChars: {
      std::vector<const char*> key(rows.size());
      for (std::int32_t i = 0; i < n; ++i) key[i] = StringKey(table.LiveCell(rows[i], column), type);
      SortKeysString(idx.data(), key.data(), n);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

void SortKeysInt(std::int32_t* idx, const std::int32_t* key, std::int32_t n) {
  SortIndex(idx, key, n, Less<std::int32_t>);
}
void SortKeysUnsigned(std::int32_t* idx, const std::uint32_t* key, std::int32_t n) {
  SortIndex(idx, key, n, Less<std::uint32_t>);
}
void SortKeysDouble(std::int32_t* idx, const double* key, std::int32_t n) {
  SortIndex(idx, key, n, Less<double>);
}
void SortKeysString(std::int32_t* idx, const char* const* key, std::int32_t n) {
  SortIndex(idx, key, n, StringLess);
}

double SortKeyOfReal(double value) { return std::isfinite(value) ? value : -0.0; }

void SortLineMaps(CUTable& table, const ListLayout& layout, std::int32_t lineCount,
                  std::int32_t column, std::int32_t direction) {
  if (lineCount < 1) return;
  std::vector<std::int32_t> rows(static_cast<std::size_t>(lineCount));
  for (std::int32_t line = 0; line < lineCount; ++line) {
    rows[line] = ReadLineRow(table, layout.itemdataColumn, line);
  }
  std::vector<std::int32_t> idx(rows.size());
  std::iota(idx.begin(), idx.end(), 0);
  if (!SortedLineIndex(table, rows, column, idx)) return;

  for (std::int32_t k = 0; k < lineCount; ++k) {
    const std::int32_t line = direction > 0 ? k : lineCount - 1 - k;
    WriteCellInt(table.CellForWrite(rows[idx[k]], layout.dlineColumn), line);
  }
  for (std::int32_t k = 0; k < lineCount; ++k) {
    const std::int32_t line = direction > 0 ? k : lineCount - 1 - k;
    WriteLineRow(table, layout.itemdataColumn, line, rows[idx[k]]);
  }
}
