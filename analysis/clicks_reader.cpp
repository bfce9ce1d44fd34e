#include "analysis/clicks_reader.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "analysis/click_sight.h"
#include "analysis/clicks_line.h"
#include "analysis/clicks_read_report.h"
#include "analysis/local_stamp.h"
#include "analysis/record_index.h"
#include "analysis/record_store.h"
#include "analysis/text_lines.h"
#include "app/params/app_params.h"
#include "geo/calendar.h"
#include "geo/earth.h"
#include "platform/c_locale.h"
#include "ulib/messages.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

ObservationRecord& NewRecord(RecordStore& store, const ClicksLine& l, double mjd,
                             const LocalStamp& stamp, const char* localtime) {
  ObservationRecord& r = store.records[store.recordCount++];
  r.Y_ut = l.Y_ut;
  r.M_ut = l.M_ut;
  r.D_ut = l.D_ut;
  r.h_ut = l.h_ut;
  r.m_ut = l.m_ut;
  r.s_ut = l.s_ut;
  std::memcpy(r.lid, l.lid, sizeof r.lid);
  std::memcpy(r.sid, l.sid, sizeof r.sid);
  r.lng = l.lng;
  r.lat = l.lat;
  r.alt = l.alt;
  r.gioidh = l.gioidh;
  r.clickCount = 0;
  r.mjd = mjd;
  r.ttMjd = DateToTtMjd(l.Y_ut, l.M_ut, l.D_ut, l.h_ut, l.m_ut, l.s_ut);
  r.lstDeg = LocalSiderealDeg(l.Y_ut, l.M_ut, l.D_ut, l.h_ut, l.m_ut, l.s_ut, l.lng);
  const float height = l.alt + l.gioidh;
  GeodeticToEcef(l.lng, l.lat, height, &r.ecef[0], &r.ecef[1], &r.ecef[2]);
  std::memcpy(r.localtime, localtime, sizeof r.localtime);
  platform::FormatC(r.key, sizeof r.key, "%04d%02d%02d%02d%02d%02d%s%s", stamp.year, stamp.month,
                    stamp.day, stamp.hour, stamp.minute, stamp.second, r.lid, r.sid);
  if (mjd < store.minMjd) store.minMjd = mjd;
  if (mjd > store.maxMjd) store.maxMjd = mjd;
  return r;
}

constexpr const char* kStoreFull = "store full";

// Adds the click of one parsed line to its record; the words of the refusal when it cannot, or
// kStoreFull when the line needs a record of its own and the store has no room.
const char* AddClick(RecordStore& store, const ClicksLine& l) {
  if (l.Y_ut < kCalendarFirstYear || l.Y_ut > kCalendarLastYear) return "date outside 1900-2099";
  const double mjd = DateToMjd(l.Y_ut, l.M_ut, l.D_ut, l.h_ut, l.m_ut, l.s_ut);
  LocalStamp stamp;
  if (!MakeLocalStamp(mjd, AP.tz, &stamp)) return "date outside 1900-2099";
  char localtime[16];
  FormatLocalStamp(stamp, localtime);

  int index = FindRecord(store, localtime, l.lid, l.sid);
  ObservationRecord* r = nullptr;
  if (index >= 0) {
    r = &store.records[index];
    if (r->clickCount >= kMaxClicksPerRecord) return "more than 50 clicks in one record";
  } else {
    if (store.recordCount >= kMaxRecords) return kStoreFull;
    r = &NewRecord(store, l, mjd, stamp, localtime);
  }
  const int k = r->clickCount;
  Click& c = r->clicks;
  c.pos[k] = l.pos;
  c.x[k] = l.x;
  c.y[k] = l.y;
  c.az[k] = l.az;
  c.ev[k] = l.ev;
  c.ra[k] = l.ra;
  c.dec[k] = l.dec;
  c.ddeg[k] = l.ddeg;
  ComputeClickSight(r, k);
  r->clickCount = k + 1;
  return nullptr;
}

}  // namespace

void ReadClicksCsv(const char* path) {
  RecordStore& store = theRecordStore();
  if (store.stopReading) return;
  ClicksReadReport report;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
  if (!file) {
    ReportError("file %s cannot open", path);
    return;
  }
  TextLines lines(file.get(), kMaxLineChars);
  TextLines::Line line;
  ClicksLine parsed;
  while (lines.Next(&line)) {
    if (line.text[0] == '_') continue;
    // A zero byte (a UTF-16 file, a damaged one) would end the line early, or make it look
    // blank and vanish without a word.
    if (std::strlen(line.text) < static_cast<std::size_t>(line.length)) {
      NoteLineNotRead(path, line.number, "zero byte in line");
      continue;
    }
    if (!line.tooLong && IsBlankLine(line.text)) continue;
    if (line.tooLong) {
      NoteLineNotRead(path, line.number, "line longer than 1122 characters");
      continue;
    }
    LineOutcome outcome = ParseClicksLine(line.text, &parsed);
    if (outcome.kind != LineKind::kData) {
      if (outcome.kind == LineKind::kBad) {
        NoteLineNotRead(path, line.number, DescribeBadLine(outcome));
      }
      continue;
    }
    const char* refusal = AddClick(store, parsed);
    if (refusal == kStoreFull) {
      // Lines of records already stored are still taken; the first line that needs a new
      // record ends the reading.
      ReportError("Too Many Records, Please change dir");
      store.stopReading = 1;
      return;
    }
    if (refusal) NoteLineNotRead(path, line.number, refusal);
  }
  if (lines.readFailed()) ReportError("file %s cannot read", path);
}
