// The table CSV writer: a header naming every written column, then one line per live row.
// Lines end with CR LF on every platform, since the files are read where that is the rule.

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/c_locale.h"
#include "ulib/messages.h"
#include "ulib/table_store.h"

namespace {

// Appends printf output to a line; the caller holds the C locale.
void Append(std::string& line, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& line, const char* format, ...) {
  char field[1100];  // a pooled string of 1023 characters with its ",_"
  std::va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(field, sizeof field, format, args);
  va_end(args);
  if (n > 0) line.append(field, static_cast<std::size_t>(n) < sizeof field ? n : sizeof field - 1);
}

// Appends text as the file shows it: every line feed, also one inside a stored string, is
// written as CR LF, so that the file reads the same as one written in text mode.
void AppendText(std::string& line, const char* text, std::size_t length) {
  while (const void* feed = std::memchr(text, '\n', length)) {
    const std::size_t before = static_cast<std::size_t>(static_cast<const char*>(feed) - text);
    line.append(text, before);
    line += "\r\n";
    text += before + 1;
    length -= before + 1;
  }
  line.append(text, length);
}

void AppendField(std::string& line, CellType type, const void* cell) {
  switch (type) {
    case CellInt:
    case CellRawInt:
      Append(line, ",%d", ReadCellInt(cell));
      break;
    case CellCheck:
    case CellMark:
    case CellExist:
      Append(line, ",%u", ReadCellUint(cell));
      break;
    case CellFloat:
      Append(line, ",%f", static_cast<double>(ReadCellFloat(cell)));
      break;
    case CellDouble:
      Append(line, ",%f", ReadCellDouble(cell));
      break;
    case CellString: {
      const char* text = ReadCellPointer(cell);
      line += ",_";
      if (text) AppendText(line, text, std::strlen(text));
      break;
    }
    case CellChars:
      line += ",_";
      AppendText(line, static_cast<const char*>(cell),
                 strnlen(static_cast<const char*>(cell), kMaxCellChars));
      break;
    case CellHidden:
      break;
  }
}

// 0 when the text was written, else the reason.
int WriteAll(std::FILE* file, const std::string& text) {
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), file) == text.size()) return 0;
  return errno ? errno : EIO;
}

// Writes header and rows; 0 or the errno of the first failed write.
int WriteTable(const CUTable& table, std::FILE* file, std::int32_t filterColumn, std::int32_t lo,
               std::int32_t hi, std::int32_t firstRow) {
  const TableDescriptor& descriptor = *table.descriptor;
  platform::ScopedCLocale cLocale;
  std::string text = "_Version";
  for (int c = 0; c < descriptor.columnCount; ++c) {
    if (descriptor.columns[c].csv == 1) {
      text += ",_";
      AppendText(text, descriptor.columns[c].name,
                 strnlen(descriptor.columns[c].name, kTableColumnNameChars));
    }
  }
  text += "\r\n";
  for (std::int32_t row = firstRow < 0 ? 0 : firstRow; row < table.rowCount; ++row) {
    if (!table.RowExists(row)) continue;
    if (filterColumn != 0) {
      const std::int32_t value = ReadCellInt(table.LiveCell(row, filterColumn));
      if (value < lo || value > hi) continue;
    }
    Append(text, "%u", descriptor.version);
    for (int c = 1; c < descriptor.columnCount; ++c) {
      if (descriptor.columns[c].csv == 1) {
        AppendField(text, descriptor.columns[c].type, table.LiveCell(row, c));
      }
    }
    text += "\r\n";
    // Written in pieces so that a large table never needs one large buffer.
    if (text.size() > 64 * 1024) {
      if (const int error = WriteAll(file, text)) return error;
      text.clear();
    }
  }
  return WriteAll(file, text);
}

}  // namespace

bool CUTable::WriteCsv(const char* path, std::int32_t filterColumn, std::int32_t lo,
                       std::int32_t hi, std::int32_t firstRow) const {
  if (filterColumn != 0) CheckColumn(filterColumn);
  std::FILE* file = std::fopen(path, "wb");
  if (!file) {
    ReportError("Cannot write %s\n%s", path, std::strerror(errno));
    return false;
  }
  int error = WriteTable(*this, file, filterColumn, lo, hi, firstRow);
  // A full disk often shows only when the buffer is flushed at closing.
  errno = 0;
  if (std::fclose(file) != 0 && error == 0) error = errno ? errno : EIO;
  if (error != 0) {
    ReportError("Cannot write %s\n%s", path, std::strerror(error));
    return false;
  }
  return true;
}
