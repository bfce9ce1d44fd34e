#include "ulib/ui/cell_text.h"

#include <algorithm>
#include <cstring>

#include "platform/c_locale.h"

namespace {

// Formats one value into a bounded buffer; the result is cut at maxChars.
template <typename Value>
std::string Formatted(const char* fmt, Value value, std::size_t maxChars) {
  char buffer[kListCellTextMax + 1];
  const std::size_t size = std::min(maxChars + 1, sizeof buffer);
  if (platform::FormatC(buffer, size, fmt, value) < 0) return std::string();
  return std::string(buffer);
}

std::string Chars(const void* cell, std::size_t maxChars) {
  const char* text = static_cast<const char*>(cell);
  return std::string(CutText(std::string_view(text, strnlen(text, kTableCellBytes)), maxChars));
}

std::string PooledString(const void* cell, std::size_t maxChars) {
  const char* text = ReadCellPointer(cell);
  if (!text) return std::string();
  return std::string(CutText(std::string_view(text, strnlen(text, maxChars + 4)), maxChars));
}

const char* MarkText(std::uint32_t state) {
  switch (state) {
    case 0: return "";
    case 1: return "*";
    case 2: case 3: return "-";
    case 4: case 5: case 6: case 7: return "+";
    default: return "";
  }
}

}  // namespace

std::string_view CutText(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t end = maxBytes;
  // Continuation bytes are 10xxxxxx; step back to the byte that starts the cut sequence.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

std::string ListCellText(CellType type, const void* cell, const char* fmt) {
  switch (type) {
    case CellInt: return Formatted(fmt, ReadCellInt(cell), kListCellTextMax);
    case CellExist: return Formatted(fmt, ReadCellUint(cell), kListCellTextMax);
    case CellCheck: return ReadCellUint(cell) != 0 ? "*" : "";
    case CellMark: return MarkText(ReadCellUint(cell));
    case CellFloat:
      return Formatted(fmt, static_cast<double>(ReadCellFloat(cell)), kListCellTextMax);
    case CellDouble: return Formatted(fmt, ReadCellDouble(cell), kListCellTextMax);
    case CellString: return PooledString(cell, kListCellTextMax);
    case CellChars: return Chars(cell, kListCellTextMax);
    default: return std::string();
  }
}

std::string EditorStartText(CellType type, const void* cell, const char* fmt) {
  switch (type) {
    case CellInt: return Formatted(fmt, ReadCellInt(cell), kEditorTextMax);
    case CellExist: return Formatted(fmt, ReadCellUint(cell), kEditorTextMax);
    case CellFloat:
      return Formatted("%f", static_cast<double>(ReadCellFloat(cell)), kEditorTextMax);
    case CellDouble: return Formatted("%f", ReadCellDouble(cell), kEditorTextMax);
    case CellString: return PooledString(cell, kEditorTextMax);
    case CellChars: return Chars(cell, kEditorTextMax);
    default: return std::string();
  }
}

std::string RecordFieldText(CellType type, const void* cell) {
  switch (type) {
    case CellInt: return Formatted("%d", ReadCellInt(cell), kRecordFieldTextMax);
    case CellCheck:
    case CellMark:
    case CellExist: return Formatted("%u", ReadCellUint(cell), kRecordFieldTextMax);
    case CellFloat:
      return Formatted("%f", static_cast<double>(ReadCellFloat(cell)), kRecordFieldTextMax);
    case CellDouble: return Formatted("%f", ReadCellDouble(cell), kRecordFieldTextMax);
    case CellString: return PooledString(cell, kRecordFieldTextMax);
    case CellChars: return Chars(cell, kRecordFieldTextMax);
    default: return std::string();
  }
}
