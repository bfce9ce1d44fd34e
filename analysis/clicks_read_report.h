#pragma once
// Lines that a read command skips or refuses (a field that does not scan, a line too long, an id
// too long, a date outside the calendar, a click beyond a record's 50) are counted over the whole
// command and reported once at its end: the count, and the first such file and line with the
// reason. One box per read, however many files it read.

#include <string>

// Open for the length of a read: of one file, or of a whole folder walk. Scopes nest; the
// outermost one starts the count and, when it closes, reports it if any line was refused:
// "Lines not read: %d\nFirst: %s line %d: %s".
class ClicksReadReport {
 public:
  ClicksReadReport();
  ~ClicksReadReport();
  ClicksReadReport(const ClicksReadReport&) = delete;
  ClicksReadReport& operator=(const ClicksReadReport&) = delete;
};

// Counts one line that was not read.
void NoteLineNotRead(const char* path, int lineNumber, const std::string& reason);
