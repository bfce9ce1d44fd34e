#pragma once
// One line of a clicks file: its fields split by NextCsvToken and scanned as the file format
// defines them. A clicks line is
//   Y_ut,M_ut,D_ut,h_ut,m_ut,s_ut,pos,x,y,az,ev,ra,dec,_lid,_sid,long,lat,alt[,a,b,c[,gioidh[,ddeg]]]
// with the UT time, the point, its pixel position, azimuth and elevation, J2000 right ascension
// and declination (degrees), the station's ids (each after one character that is dropped) and
// location, then an optional tail: the scrambled location (three unsigned fields), the geoid
// height (m, default 35.0) and the click's uncertainty (degrees, default 0.06).

#include <cstdint>
#include <string>

#include "analysis/record_store.h"

// Longest line, without its line end, that the format allows (1123 bytes with a one-byte end).
inline constexpr int kMaxLineChars = 1122;
inline constexpr float kDefaultGioidh = 35.0f;
inline constexpr float kDefaultDdeg = 0.06f;

// Copies the next field of a line into token (room for tokenSize bytes, always NUL-terminated)
// and advances *cursor. Blanks (code 32 only; a tab is kept) are dropped. A ',' ends the field
// and is passed over; a line feed ends it and stays under the cursor, so every later field of
// the line is empty. Returns the number of characters copied (0 for an empty field), or -1 when
// the end of the string was reached (the cursor then stays on the NUL).
int NextCsvToken(const char** cursor, char* token, int tokenSize);

struct ClicksLine {
  int32_t Y_ut, M_ut, D_ut, h_ut, m_ut;
  float s_ut;
  int32_t pos;
  float x, y, az, ev;
  float ra, dec;
  char lid[kMaxIdChars + 1];
  char sid[kMaxIdChars + 1];
  // The clear location, replaced by the scrambled one when that was decoded and agrees (or the
  // clear field was empty).
  float lng, lat, alt;
  bool scrambled;         // the three scrambled fields were all present
  bool scrambledUsed;     // ... and their location replaced the clear one
  uint32_t a, b, c;       // the scrambled fields, when present
  float gioidh;
  float ddeg;
};

enum class LineKind {
  kData,    // a clicks line whose fields all scanned
  kHeader,  // first character '_': skipped
  kBlank,   // nothing but blanks and tabs: skipped without a word
  kBad,     // a field that does not scan or an id that is too long: refused
};

struct LineOutcome {
  LineKind kind = LineKind::kBad;
  int field = 0;           // kBad: the 1-based field at fault
  bool idTooLong = false;  // kBad: that field is an id of more than kMaxIdChars characters
};

// Nothing but blanks and tabs (or nothing at all).
bool IsBlankLine(const char* line);

// Parses one line, given without its line end (NUL-terminated, at most kMaxLineChars). The
// scrambled location is decoded (which moves the scrambling state) and replaces the clear one
// only when it agrees with it: within half a unit of the clear field's last decimal plus the
// scrambling's own rounding. An empty clear long or lat sets no bound: the decoded location is
// taken, and a line with an empty clear field and no complete scrambled location is refused at
// that field.
LineOutcome ParseClicksLine(const char* line, ClicksLine* out);

// The same without touching the scrambling state, for any thread: *decoded says whether the
// scrambled location was decoded, and *stateAfter then gets the state that moves it to.
LineOutcome ParseClicksLineApart(const char* line, ClicksLine* out, bool* decoded,
                                 uint32_t* stateAfter);

// The words for a refused line: "s_ut does not scan", "lid longer than 31 characters".
std::string DescribeBadLine(const LineOutcome& outcome);
