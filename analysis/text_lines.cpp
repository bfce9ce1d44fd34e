#include "analysis/text_lines.h"

#include <cstring>

namespace {
constexpr size_t kBlockBytes = 256 * 1024;
}

TextLines::TextLines(std::FILE* file, int maxChars)
    : file_(file), maxChars_(maxChars), block_(kBlockBytes), line_(maxChars + 1) {}

bool TextLines::Fill() {
  if (atEof_) return false;
  size_t n = std::fread(block_.data(), 1, block_.size(), file_);
  if (n < block_.size()) {
    atEof_ = true;
    if (std::ferror(file_)) readFailed_ = true;
  }
  begin_ = 0;
  end_ = n;
  return n > 0;
}

bool TextLines::Next(Line* line) {
  size_t length = 0;
  bool tooLong = false;
  bool any = false;  // a byte of this line (or its end) was seen
  for (;;) {
    if (begin_ == end_ && !Fill()) break;
    const char* p = block_.data() + begin_;
    const char* stop = block_.data() + end_;
    if (skipLf_) {
      skipLf_ = false;
      if (*p == '\n') {
        ++begin_;
        continue;
      }
    }
    const char* q = p;
    while (q < stop && *q != '\n' && *q != '\r') ++q;
    size_t take = static_cast<size_t>(q - p);
    if (take > 0) any = true;
    size_t room = static_cast<size_t>(maxChars_) - length;
    if (take > room) {
      tooLong = true;
      std::memcpy(line_.data() + length, p, room);
      length += room;
    } else {
      std::memcpy(line_.data() + length, p, take);
      length += take;
    }
    begin_ += take;
    if (q < stop) {
      // The line end: one byte, or CR LF (whose LF may start the next block).
      any = true;
      ++begin_;
      if (*q == '\r') skipLf_ = true;
      break;
    }
  }
  if (!any) return false;
  line_[length] = '\0';
  line->text = line_.data();
  line->length = static_cast<int>(length);
  line->number = ++lineNumber_;
  line->tooLong = tooLong;
  return true;
}
