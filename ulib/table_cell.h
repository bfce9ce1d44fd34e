#pragma once
// Reading and writing the 8 bytes of one table cell as its column's type. Cells are raw bytes
// of a block, so every access copies the value's bits (memcpy) instead of casting the pointer:
// a float stored this way reads back with the same bits, whatever the compiler assumes about
// aliasing.

#include <cstdint>
#include <cstring>

// CellInt, CellRawInt: int32 in the first 4 bytes.
inline std::int32_t ReadCellInt(const void* cell) {
  std::int32_t value;
  std::memcpy(&value, cell, sizeof value);
  return value;
}
inline void WriteCellInt(void* cell, std::int32_t value) { std::memcpy(cell, &value, sizeof value); }

// CellCheck, CellMark, CellExist: uint32 in the first 4 bytes.
inline std::uint32_t ReadCellUint(const void* cell) {
  std::uint32_t value;
  std::memcpy(&value, cell, sizeof value);
  return value;
}
inline void WriteCellUint(void* cell, std::uint32_t value) {
  std::memcpy(cell, &value, sizeof value);
}

// CellFloat: IEEE single in the first 4 bytes; the other 4 bytes are left as they are.
inline float ReadCellFloat(const void* cell) {
  float value;
  std::memcpy(&value, cell, sizeof value);
  return value;
}
inline void WriteCellFloat(void* cell, float value) { std::memcpy(cell, &value, sizeof value); }

// CellDouble: IEEE double in all 8 bytes.
inline double ReadCellDouble(const void* cell) {
  double value;
  std::memcpy(&value, cell, sizeof value);
  return value;
}
inline void WriteCellDouble(void* cell, double value) { std::memcpy(cell, &value, sizeof value); }

// CellString: the pointer to a pooled string, null for an empty cell. Write it only through
// CUTable::SetString, which returns the old string to the pool.
inline char* ReadCellPointer(const void* cell) {
  char* value;
  std::memcpy(&value, cell, sizeof value);
  return value;
}
inline void WriteCellPointer(void* cell, char* value) { std::memcpy(cell, &value, sizeof value); }
