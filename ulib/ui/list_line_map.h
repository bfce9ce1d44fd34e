#pragma once
// The two line maps of a listed table, kept in its own integer columns: the itemdata column of
// table row L holds the row shown on line L (the rows used as a plain array, live or dead, and
// reaching past rowCount when needed), and the dline column of each listed row holds its line.

#include <cstdint>

#include "ulib/table_store.h"
#include "ulib/ui/list_layout.h"

// The row shown on a line. Fatal "CUTABLE invalid access" for a line beyond every block.
std::int32_t ReadLineRow(const CUTable& table, std::int32_t itemdataColumn, std::int32_t line);
// Sets the row shown on a line, growing the table's blocks as needed. Fatal
// "CUTABLE setidemdata underflow" for a negative line.
void WriteLineRow(CUTable& table, std::int32_t itemdataColumn, std::int32_t line,
                  std::int32_t row);

// Gives every live row a line, in row order, leaving out rows whose filterColumn cell equals
// filterValue (filterColumn 0: no filter). Dead rows get no line and their dline cell is not
// touched. Returns the number of lines.
std::int32_t BuildLineMaps(CUTable& table, const ListLayout& layout, std::int32_t filterColumn,
                           std::int32_t filterValue);
