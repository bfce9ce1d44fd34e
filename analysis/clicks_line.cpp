#include "analysis/clicks_line.h"

#include <cmath>
#include <cstring>

#include "analysis/c_number_scan.h"
#include "analysis/scrambler.h"

int NextCsvToken(const char** cursor, char* token, int tokenSize) {
  const char* p = *cursor;
  int count = 0;
  token[0] = '\0';
  for (;;) {
    char ch = *p;
    if (ch == '\0') {
      token[count] = '\0';
      *cursor = p;
      return -1;
    }
    if (ch == '\n') break;
    ++p;
    if (ch == ',') break;
    if (ch == ' ') continue;
    if (count < tokenSize - 1) token[count++] = ch;
  }
  token[count] = '\0';
  *cursor = p;
  return count;
}

namespace {

// Field names as the files' header spells them (without its '_'), for the words of a refusal.
constexpr const char* kFieldNames[] = {
    "Y_ut", "M_ut", "D_ut", "h_ut", "m_ut", "s_ut", "pos", "x",    "y",      "az",   "ev", "ra",
    "dec",  "lid",  "sid",  "long", "lat",  "alt",  "a",   "b",    "c",      "gioidh", "ddeg"};
constexpr int kFieldCount = sizeof kFieldNames / sizeof kFieldNames[0];

// Walks the fields of one line; at the end of the line every further field is empty.
class FieldCursor {
 public:
  explicit FieldCursor(const char* line) : cursor_(line) {}
  // The next field's text and its length.
  const char* Next(int* length) {
    ++number_;
    int n = NextCsvToken(&cursor_, token_, sizeof token_);
    *length = n >= 0 ? n : static_cast<int>(std::strlen(token_));
    return token_;
  }
  int number() const { return number_; }

 private:
  const char* cursor_;
  char token_[kMaxLineChars + 1];
  int number_ = 0;
};

// Decimals written in a clear field ("135.12" has 2, "1.5e-1" has 2, "135" has 0).
int DecimalsOf(const char* text) {
  const char* dot = std::strchr(text, '.');
  int decimals = 0;
  const char* p = text;
  if (dot) {
    for (p = dot + 1; *p >= '0' && *p <= '9'; ++p) ++decimals;
  } else {
    while (*p && *p != 'e' && *p != 'E') ++p;
  }
  if (*p == 'e' || *p == 'E') {
    int32_t exponent = 0;
    if (ScanInt32(p + 1, &exponent) && exponent > -100 && exponent < 100) decimals -= exponent;
  }
  return decimals > 0 ? decimals : 0;
}

// The decoded location must lie within half a unit of the clear field's last decimal, plus the
// 5-decimal truncation and the fixed point's unit, plus the rounding of the clear float.
bool Agrees(double decoded, float clear, int decimals) {
  double tolerance = 0.5 * std::pow(10.0, -decimals) + 1.0 / kScrambleTruncation +
                     1.0 / kScrambleUnitsPerDeg + 1e-7 * std::fabs(clear) + 1e-9;
  return std::fabs(decoded - static_cast<double>(clear)) <= tolerance;
}

LineOutcome Bad(int field, bool idTooLong = false) {
  return LineOutcome{LineKind::kBad, field, idTooLong};
}

}  // namespace

bool IsBlankLine(const char* line) {
  for (; *line; ++line) {
    if (*line != ' ' && *line != '\t') return false;
  }
  return true;
}

LineOutcome ParseClicksLine(const char* line, ClicksLine* out) {
  bool decoded = false;
  uint32_t stateAfter = 0;
  const LineOutcome outcome = ParseClicksLineApart(line, out, &decoded, &stateAfter);
  if (decoded) scrambleState = stateAfter;
  return outcome;
}

LineOutcome ParseClicksLineApart(const char* line, ClicksLine* out, bool* decoded,
                                 uint32_t* stateAfter) {
  *decoded = false;
  if (line[0] == '_') return LineOutcome{LineKind::kHeader};
  if (IsBlankLine(line)) return LineOutcome{LineKind::kBlank};

  FieldCursor fields(line);
  int length = 0;
  auto intField = [&](int32_t* value) { return ScanInt32(fields.Next(&length), value); };
  auto floatField = [&](float* value) { return ScanFloat(fields.Next(&length), value); };
  auto idField = [&](char* id) {
    const char* text = fields.Next(&length);
    if (length > kMaxIdChars + 1) return false;
    // The first character only marks the field as text ('_' in the program's own files).
    std::strcpy(id, length > 0 ? text + 1 : "");
    return true;
  };

  ClicksLine& l = *out;
  int32_t* const ints[] = {&l.Y_ut, &l.M_ut, &l.D_ut, &l.h_ut, &l.m_ut};
  for (int32_t* value : ints) {
    if (!intField(value)) return Bad(fields.number());
  }
  if (!floatField(&l.s_ut)) return Bad(fields.number());
  if (!intField(&l.pos)) return Bad(fields.number());
  float* const floats[] = {&l.x, &l.y, &l.az, &l.ev, &l.ra, &l.dec};
  for (float* value : floats) {
    if (!floatField(value)) return Bad(fields.number());
  }
  if (!idField(l.lid)) return Bad(fields.number(), true);
  if (!idField(l.sid)) return Bad(fields.number(), true);

  // The clear location; its decimals tell how closely a scrambled location must agree. A
  // station that publishes its location only scrambled leaves the clear fields empty: the
  // scrambled one is then taken as it decodes, and without it the line has no location.
  const char* text = fields.Next(&length);
  const int lngField = fields.number();
  const bool lngEmpty = length == 0;
  if (!lngEmpty && !ScanFloat(text, &l.lng)) return Bad(lngField);
  const int lngDecimals = DecimalsOf(text);
  text = fields.Next(&length);
  const int latField = fields.number();
  const bool latEmpty = length == 0;
  if (!latEmpty && !ScanFloat(text, &l.lat)) return Bad(latField);
  const int latDecimals = DecimalsOf(text);
  if (!floatField(&l.alt)) return Bad(fields.number());
  // With a clear field empty, the line has a location only once the scrambled one is taken;
  // without it the line is refused at that field.
  const int missingField = lngEmpty ? lngField : latField;
  auto located = [&] { return (!lngEmpty && !latEmpty) || l.scrambledUsed; };

  // The optional tail, nested: no scrambled field, no geoid height; no geoid height, no ddeg.
  l.scrambled = false;
  l.scrambledUsed = false;
  l.a = l.b = l.c = 0;
  l.gioidh = kDefaultGioidh;
  l.ddeg = kDefaultDdeg;
  text = fields.Next(&length);
  if (length == 0) return located() ? LineOutcome{LineKind::kData} : Bad(missingField);
  if (!ScanUint32(text, &l.a)) return Bad(fields.number());
  bool complete = true;
  uint32_t* const rest[] = {&l.b, &l.c};
  for (uint32_t* value : rest) {
    text = fields.Next(&length);
    if (length == 0) {
      complete = false;
    } else if (!ScanUint32(text, value)) {
      return Bad(fields.number());
    }
  }
  if (complete) {
    l.scrambled = true;
    double lng = 0, lat = 0;
    UnscrambleLocationApart(l.a, l.b, kScrambleScaleAngleDeg, l.c, &lng, &lat, stateAfter);
    *decoded = true;
    if ((lngEmpty || Agrees(lng, l.lng, lngDecimals)) &&
        (latEmpty || Agrees(lat, l.lat, latDecimals))) {
      l.lng = static_cast<float>(lng);
      l.lat = static_cast<float>(lat);
      l.scrambledUsed = true;
    }
  }
  if (!located()) return Bad(missingField);
  text = fields.Next(&length);
  if (length == 0) return LineOutcome{LineKind::kData};
  if (!ScanFloat(text, &l.gioidh)) return Bad(fields.number());
  text = fields.Next(&length);
  if (length == 0) return LineOutcome{LineKind::kData};
  if (!ScanFloat(text, &l.ddeg)) return Bad(fields.number());
  return LineOutcome{LineKind::kData};
}

std::string DescribeBadLine(const LineOutcome& outcome) {
  const char* name = outcome.field >= 1 && outcome.field <= kFieldCount
                         ? kFieldNames[outcome.field - 1]
                         : "line";
  std::string words = name;
  if (outcome.idTooLong) {
    words += " longer than 31 characters";
  } else {
    words += " does not scan";
  }
  return words;
}
