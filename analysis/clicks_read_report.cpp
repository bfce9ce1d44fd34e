#include "analysis/clicks_read_report.h"

#include "ulib/messages.h"

namespace {

struct Tally {
  int depth = 0;
  int count = 0;
  std::string firstPath;
  int firstLine = 0;
  std::string firstReason;
};

Tally tally;

}  // namespace

ClicksReadReport::ClicksReadReport() {
  if (tally.depth++ > 0) return;
  tally = Tally{};
  tally.depth = 1;
}

ClicksReadReport::~ClicksReadReport() {
  if (--tally.depth > 0 || tally.count == 0) return;
  ReportError("Lines not read: %d\nFirst: %s line %d: %s", tally.count, tally.firstPath.c_str(),
              tally.firstLine, tally.firstReason.c_str());
  tally.count = 0;
}

void NoteLineNotRead(const char* path, int lineNumber, const std::string& reason) {
  if (tally.count++ == 0) {
    tally.firstPath = path;
    tally.firstLine = lineNumber;
    tally.firstReason = reason;
  }
}
