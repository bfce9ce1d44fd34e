#pragma once
// The texts of table cells as the list, the in-place editor and the Edit record dialog show
// them. Every text is bounded: a "%f" of a huge double or a long pooled string is cut at the
// limit, never written past it.

#include <cstddef>
#include <string>
#include <string_view>

#include "ulib/table_store.h"

inline constexpr std::size_t kListCellTextMax = 255;    // characters of a list cell's text
inline constexpr std::size_t kEditorTextMax = 255;      // of the in-place editor's first text
inline constexpr std::size_t kRecordFieldTextMax = 199;  // of an Edit record field's first text

// The text cut to at most maxBytes bytes, backed off so that no UTF-8 sequence is split.
std::string_view CutText(std::string_view text, std::size_t maxBytes);

// A list cell: CellInt and CellExist through fmt, CellCheck "*" when set, CellMark by its state
// ("", "*", "-", "+"; above 7 nothing), CellFloat (widened) and CellDouble through fmt, the
// string of CellString (null: empty) and CellChars. Other types show nothing. fmt must fit the
// cell type (CheckListLayout).
std::string ListCellText(CellType type, const void* cell, const char* fmt);

// The in-place editor's first text: CellInt and CellExist through fmt, CellFloat and CellDouble
// as "%f" whatever fmt is, the string of CellString and CellChars; nothing for other types.
std::string EditorStartText(CellType type, const void* cell, const char* fmt);

// An Edit record field's first text: CellInt "%d"; CellCheck, CellMark, CellExist "%u";
// CellFloat (widened) and CellDouble "%f"; the strings; nothing for other types.
std::string RecordFieldText(CellType type, const void* cell);
