#pragma once
// Writing an edited text back into a table cell, by the cell's type. Numbers are read with the
// prefix rules of cell_parse.h; a text that gives no number in range leaves the cell as it was.
// The exist column is never written: a 0 there would kill a listed row.

#include <cstdint>
#include <string_view>

#include "ulib/table_store.h"

inline constexpr std::size_t kEditorStringChars = 60;  // a CellString cell keeps this much

// The in-place editor: CellInt, CellFloat, CellDouble numbers; CellString cut to 60 characters
// and CellChars to 7 (empty text: a null string cell). Other types are not written.
void StoreEditorText(CUTable& table, std::int32_t row, std::int32_t column,
                     std::string_view text);

// The Edit record dialog: as the editor, and CellCheck and CellMark take an unsigned number
// (an empty text stores 0); a CellString cell takes the whole text.
void StoreRecordFieldText(CUTable& table, std::int32_t row, std::int32_t column,
                          std::string_view text);
