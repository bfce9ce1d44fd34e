#pragma once
// Splits a text file into lines, whatever system wrote it: LF, CR LF and a lone CR each end one
// line, so no empty line and no CR inside a line appears. A last line without a line end is
// still a line. Reads in large blocks; a line is handed out NUL-terminated without its end.

#include <cstdio>
#include <vector>

class TextLines {
 public:
  // Room for the blocks read and the line handed out; a reader of many files keeps one from file
  // to file instead of allocating it for each.
  struct Room {
    std::vector<char> block, line;
  };

  // Lines longer than maxChars are handed out cut to maxChars, marked tooLong.
  TextLines(std::FILE* file, int maxChars);
  // The same from an open file descriptor (left open), in the room given.
  TextLines(int fd, int maxChars, Room* room);
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

 private:
  bool Fill();

  std::FILE* file_ = nullptr;
  int fd_ = -1;
  int maxChars_;
  Room ownRoom_;
  std::vector<char>& block_;
  std::vector<char>& line_;
  size_t begin_ = 0, end_ = 0;  // unread bytes of block_
  bool atEof_ = false;
  bool readFailed_ = false;
  bool skipLf_ = false;  // the last line ended with a CR: a LF right after it belongs to it
  int lineNumber_ = 0;
};
