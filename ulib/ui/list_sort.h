#pragma once
// Sorting a list's lines by one table column. The sort is not stable: the order of equal keys
// is what this quicksort makes of the current line order, and descending is exactly the
// reverse of ascending, so lines come out the same every time a list is sorted again.

#include <cstdint>

#include "ulib/table_store.h"
#include "ulib/ui/list_layout.h"

// Sort idx[0..n-1] ascending by key[idx[.]]. Integers and unsigned integers compare as 32-bit
// values, doubles as IEEE doubles (-0.0 equals 0.0; the keys hold no NaN), strings byte by
// byte as unsigned characters, a proper prefix first.
void SortKeysInt(std::int32_t* idx, const std::int32_t* key, std::int32_t n);
void SortKeysUnsigned(std::int32_t* idx, const std::uint32_t* key, std::int32_t n);
void SortKeysDouble(std::int32_t* idx, const double* key, std::int32_t n);
void SortKeysString(std::int32_t* idx, const char* const* key, std::int32_t n);

// A float or double cell's sort key: NaN and infinities count as -0.0, among the zeros.
double SortKeyOfReal(double value);

// Reorders lines 0..lineCount-1 by table column `column` (direction > 0 ascending, otherwise
// descending), rewriting both line maps. Keys are read through CUTable::LiveCell, so a listed
// row that died without a reload ends the program ("UT recored was deteled"). Raw and hidden
// columns have no order: their lines stay as they are.
void SortLineMaps(CUTable& table, const ListLayout& layout, std::int32_t lineCount,
                  std::int32_t column, std::int32_t direction);
