#pragma once
// A list layout is static data written by hand; a wrong one would make the list write line
// numbers into the wrong cells or print a cell with a format that does not fit it. Binding a
// list checks its layout against the table once.

#include <string>

#include "ulib/table_store.h"
#include "ulib/ui/list_layout.h"

// True when fmt (NUL-terminated within its 8 characters) holds exactly one conversion that
// fits a cell of the type: an integer conversion for CellInt and CellExist, a floating one for
// CellFloat and CellDouble. The other types print no format, so any fmt fits them.
bool FormatFitsCellType(const char (&fmt)[kListFormatChars], CellType type);

// Empty when the layout fits the table; otherwise what is wrong, for FatalError.
std::string CheckListLayout(const ListLayout& layout, const TableDescriptor& descriptor);
