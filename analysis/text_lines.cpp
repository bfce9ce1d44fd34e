#include "analysis/text_lines.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
constexpr size_t kBlockBytes = 256 * 1024;
}  // namespace

TextLines::TextLines(int fd, int maxChars, Room* room, long long from, long long to)
    : fd_(fd), maxChars_(maxChars), block_(room->block), line_(room->line), to_(to) {
  if (block_.size() < kBlockBytes) block_.resize(kBlockBytes);
  if (line_.size() < static_cast<size_t>(maxChars) + 1) {
    line_.resize(static_cast<size_t>(maxChars) + 1);
  }
  if (from > 0) {
    // The part's first line begins after the line end that follows the byte before it: from
    // there on, the lines fall as a reading of the whole file divides them.
    passOver_ = true;
    blockOffset_ = from - 1;
    if (::lseek(fd, static_cast<off_t>(from - 1), SEEK_SET) < 0) {
      atEof_ = true;
      readFailed_ = true;
    }
  }
}

bool TextLines::Fill() {
  if (atEof_) return false;
  size_t want = block_.size();
  if (to_ >= 0) {
    // The part's own bytes, then those of its last line, which runs on into the next part: read
    // a little at first and more each time, so that the parts of a file read about each byte
    // once between them, however long that line is.
    const long long toEnd = to_ - NextOffset();
    if (toEnd > 0) {
      want = static_cast<size_t>(std::min<long long>(toEnd, static_cast<long long>(want)));
    } else {
      want = std::min(want, tailBytes_);
      tailBytes_ = std::min(2 * tailBytes_, block_.size());
    }
  }
  // Up to a whole block: a short read ends only at the end of the file or at a failure.
  size_t n = 0;
  while (n < want) {
    const ssize_t got = ::read(fd_, block_.data() + n, want - n);
    if (got > 0) {
      n += static_cast<size_t>(got);
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      atEof_ = true;
      if (got < 0) readFailed_ = true;
      break;
    }
  }
  bytesRead_ += static_cast<long long>(n);
  blockOffset_ += static_cast<long long>(end_);
  begin_ = 0;
  end_ = n;
  return n > 0;
}

bool TextLines::Next(Line* line) {
  size_t length = 0;
  bool tooLong = false;
  if (passOver_) {
    passOver_ = false;
    if (!PassOverLineBefore()) {
      // The part holds no line of its own: its bytes all belong to a line begun before it.
      atEof_ = true;
      begin_ = end_;
      return false;
    }
  }
  // The next line begins here, or after the LF of a CR LF: at the part's end or past it, it is
  // a later part's (and the LF need not be read).
  auto pastPart = [this] {
    return to_ >= 0 && blockOffset_ + static_cast<long long>(begin_) >= to_;
  };
  if (pastPart()) return false;
  if (skipLf_) {
    if (begin_ == end_ && !Fill()) return false;
    skipLf_ = false;
    if (block_[begin_] == '\n') ++begin_;
    if (pastPart()) return false;
  }
  if (!TakeLine(&length, &tooLong)) return false;
  line_[length] = '\0';
  line->text = line_.data();
  line->length = static_cast<int>(length);
  line->number = ++lineNumber_;
  line->tooLong = tooLong;
  return true;
}

bool TextLines::TakeLine(size_t* lengthOut, bool* tooLongOut) {
  size_t length = 0;
  bool tooLong = false;
  bool any = false;  // a byte of this line (or its end) was seen
  for (;;) {
    if (begin_ == end_ && !Fill()) break;
    const char* p = block_.data() + begin_;
    const char* stop = block_.data() + end_;
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
  *lengthOut = length;
  *tooLongOut = tooLong;
  return any;
}

bool TextLines::PassOverLineBefore() {
  // Only the part's own bytes are looked at: a line end at or past `to` would begin a line of a
  // later part, and a file with no line end would otherwise be read to its end by every part.
  for (;;) {
    if (begin_ == end_ && ((to_ >= 0 && NextOffset() >= to_) || !Fill())) return false;
    const char* p = block_.data() + begin_;
    const char* stop = block_.data() + end_;
    const char* q = p;
    while (q < stop && *q != '\n' && *q != '\r') ++q;
    begin_ = static_cast<size_t>(q - block_.data());
    if (q < stop) {
      ++begin_;
      if (*q == '\r') skipLf_ = true;
      return true;
    }
  }
}
