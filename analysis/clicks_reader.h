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

// Reads one clicks file. Does nothing while the store's stopReading is set. Reports
// "file %s cannot open" when the file cannot be opened, and "Too Many Records, Please change dir"
// (once; stopReading is then set) when a line needs a new record while the store holds 10000;
// until then lines of records already stored are taken.
void ReadClicksCsv(const char* path);
