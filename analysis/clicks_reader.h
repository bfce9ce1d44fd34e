#pragma once
// Reads clicks files into the record store. Lines of one local second (UT plus AP.tz, rounded to
// the whole second), one lid and one sid form one record, whichever file or folder they stand
// in; each line adds one click. While reading, each record gets its TT, local sidereal time and
// Earth-centred position, and each click its line of sight (see click_sight.h).
//
// Header lines (first character '_') and blank lines are skipped. Lines that cannot be taken
// (a field that does not scan, a line longer than 1122 characters, an id longer than 31, a date
// outside 1900-2099, a 51st click of a record) are counted and reported once at the end of the
// read (clicks_read_report.h); they never add a click.

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/click_sight.h"
#include "analysis/record_store.h"
#include "analysis/text_lines.h"

// Reads one clicks file. Does nothing while the store's stopReading is set. Reports
// "file %s cannot open" when the file cannot be opened, and "Too Many Records, Please change dir"
// (once; stopReading is then set) when a line needs a new record while the store holds 10000;
// until then lines of records already stored are taken.
void ReadClicksCsv(const char* path);

// ReadClicksCsv in two halves, so that many files can be parsed on the machine's cores at once:
// the file read and its lines parsed apart from the store, then added to the store as reading it
// line by line would add them.
struct ParsedClicksFile {
  // A run of lines of one local stamp, lid and sid: the record its first line makes when the
  // store holds none of that stamp and station yet. The sights of the run's clicks are computed
  // for that record's station and time.
  struct Run {
    ObservationRecord* NewRecordIn(RecordStore& store) const;
    int32_t Y_ut, M_ut, D_ut, h_ut, m_ut;
    float s_ut;
    char lid[kMaxIdChars + 1];
    char sid[kMaxIdChars + 1];
    float lng, lat, alt, gioidh;
    double ttMjd, lstDeg, ecef[3], mjd;
    char localtime[16];
    char key[100];
  };
  struct Click {
    int32_t pos;
    float x, y, az, ev, ra, dec, ddeg;
    ClickSight sight;
  };
  // A line that adds a click or is refused, in file order.
  struct Line {
    int32_t number;  // 1-based, in the part parsed
    int32_t run;     // the run of its click; -1 for a line refused for what it holds
    int32_t item;    // its click in clicks, or its reason in refusals
    bool decoded;    // its scrambled location was decoded, which moves the scrambling state ...
    uint32_t scrambleStateAfter;  // ... to this
  };
  bool opened = false;
  bool readFailed = false;
  int32_t lineCount = 0;  // lines read, header and blank ones included
  std::vector<Run> runs;
  std::vector<Click> clicks;
  std::vector<std::string> refusals;
  std::vector<Line> lines;
};

// Opens, reads and parses the file, with local stamps tzSeconds from UT, into *file (whose
// vectors keep their room, so that a file object used again allocates little): the lines that
// begin at a byte offset from `from` up to but not including `to` (to < 0: to the end of the
// file), so that a large file can be parsed in parts on several cores. Reads through the room
// given, which a reader of many files keeps from file to file. Touches nothing but the room and
// *file (no store, no message, no scrambling state, no settings): for any thread.
void ParseClicksFile(const char* path, int32_t tzSeconds, TextLines::Room* room,
                     ParsedClicksFile* file, long long from = 0, long long to = -1);

// Adds a parsed file, or a part of one, to the store on the user-interface thread: the records,
// clicks, sights, lines noted as not read, messages and scrambling state, in the same order, as
// ReadClicksCsv of the file while the store's stopReading is clear. The parts of a file are
// added one after the other, each with the lines of the parts before it; a part after the first
// that cannot be opened counts as a file that cannot be read. Returns whether the reading of
// the file goes on: false once it failed or the store filled.
bool AddParsedClicksFile(const char* path, const ParsedClicksFile& file, bool firstPart = true,
                         int32_t linesBefore = 0);
