#pragma once
// Splits a text file into lines, whatever system wrote it: LF, CR LF and a lone CR each end one
// line, so no empty line and no CR inside a line appears. A last line without a line end is
// still a line. Reads in large blocks; a line is handed out NUL-terminated without its end.

#include <cstddef>
#include <vector>

class TextLines {
 public:
  // Room for the blocks read and the line handed out; a reader of many files keeps one from file
  // to file instead of allocating it for each.
  struct Room {
    std::vector<char> block, line;
  };

  // Reads an open file descriptor (left open), in the room given. Lines longer than maxChars
  // are handed out cut to maxChars, marked tooLong. Only the lines that begin at a byte offset
  // from `from` up to but not including `to` (to < 0: to the end of the file), so that the parts
  // of one file cut at any offsets hand out every line once. A line begun in the part is handed
  // out whole, however far it reaches past `to`; a part that lies wholly inside a line begun
  // before it has no line, and reads no further than `to`, so that the parts of a file with no
  // line end read it once between them. Line numbers count from the part's first line.
  TextLines(int fd, int maxChars, Room* room, long long from = 0, long long to = -1);
  TextLines(const TextLines&) = delete;
  TextLines& operator=(const TextLines&) = delete;

  struct Line {
    const char* text = "";  // valid until the next call of Next
    int length = 0;
    int number = 0;         // 1-based line number
    bool tooLong = false;
  };
  // The next line, or false at the end of the file or on a read error (see readFailed).
  bool Next(Line* line);
  bool readFailed() const { return readFailed_; }
  // Bytes taken from the file so far.
  long long bytesRead() const { return bytesRead_; }

 private:
  // The bytes after block_ into block_; false at the end of the file.
  bool Fill();
  // The file offset of the first byte not yet read into block_.
  long long NextOffset() const { return blockOffset_ + static_cast<long long>(end_); }
  // Reads one line into line_ (cut to maxChars_); false at the end of the file.
  bool TakeLine(size_t* length, bool* tooLong);
  // Passes over the rest of the line that holds the byte before the part; false when it runs
  // on to the part's end, so that no line begins in the part.
  bool PassOverLineBefore();

  int fd_ = -1;
  int maxChars_;
  std::vector<char>& block_;
  std::vector<char>& line_;
  size_t begin_ = 0, end_ = 0;  // unread bytes of block_
  bool atEof_ = false;
  bool readFailed_ = false;
  bool skipLf_ = false;  // the last line ended with a CR: a LF right after it belongs to it
  int lineNumber_ = 0;
  long long blockOffset_ = 0;  // the file offset of block_[0]
  long long to_ = -1;
  long long bytesRead_ = 0;
  size_t tailBytes_ = 4096;  // the next read past the part's end
  bool passOver_ = false;  // the rest of the line before the part is still to be passed over
};
