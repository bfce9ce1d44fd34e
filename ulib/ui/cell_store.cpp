#include "ulib/ui/cell_store.h"

#include <string>

#include "ulib/ui/cell_parse.h"
#include "ulib/ui/cell_text.h"

namespace {

// Returns true when the type was a number and has been handled (written or left unchanged).
bool StoreNumber(CUTable& table, std::int32_t row, std::int32_t column, CellType type,
                 const std::string& text) {
  switch (type) {
    case CellInt:
      if (auto value = ParseIntPrefix(text.c_str())) {
        WriteCellInt(table.LiveCell(row, column), *value);
      }
      return true;
    case CellFloat:
      if (auto value = ParseFloatPrefix(text.c_str())) {
        WriteCellFloat(table.LiveCell(row, column), *value);
      }
      return true;
    case CellDouble:
      if (auto value = ParseDoublePrefix(text.c_str())) {
        WriteCellDouble(table.LiveCell(row, column), *value);
      }
      return true;
    default:
      return false;
  }
}

void StoreString(CUTable& table, std::int32_t row, std::int32_t column, std::string_view text,
                 std::size_t maxChars) {
  table.LiveCell(row, column);  // a dead row ends the program before anything is written
  table.SetString(row, column, std::string(CutText(text, maxChars)).c_str());
}

CellType TypeOf(const CUTable& table, std::int32_t column) {
  return table.descriptor->columns[column].type;
}

}  // namespace

void StoreEditorText(CUTable& table, std::int32_t row, std::int32_t column,
                     std::string_view text) {
  const CellType type = TypeOf(table, column);
  if (StoreNumber(table, row, column, type, std::string(text))) return;
  if (type == CellString) StoreString(table, row, column, text, kEditorStringChars);
  if (type == CellChars) StoreString(table, row, column, text, kMaxCellChars);
}

void StoreRecordFieldText(CUTable& table, std::int32_t row, std::int32_t column,
                          std::string_view text) {
  const CellType type = TypeOf(table, column);
  const std::string copy(text);
  if (StoreNumber(table, row, column, type, copy)) return;
  switch (type) {
    case CellCheck:
    case CellMark:
      if (copy.empty()) {
        WriteCellUint(table.LiveCell(row, column), 0);
      } else if (auto value = ParseUnsignedPrefix(copy.c_str())) {
        WriteCellUint(table.LiveCell(row, column), *value);
      }
      break;
    case CellString: StoreString(table, row, column, text, kMaxCellStringChars); break;
    case CellChars: StoreString(table, row, column, text, kMaxCellChars); break;
    default: break;  // the exist column, raw and hidden cells are never written
  }
}
