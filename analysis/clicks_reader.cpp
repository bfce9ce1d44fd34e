#include "analysis/clicks_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "analysis/clicks_line.h"
#include "analysis/clicks_read_report.h"
#include "analysis/local_stamp.h"
#include "analysis/record_index.h"
#include "analysis/scrambler.h"
#include "analysis/text_lines.h"
#include "geo/calendar.h"
#include "geo/earth.h"
#include "geo/horizontal.h"
#include "params/app_params.h"
#include "platform/c_locale.h"
#include "ulib/messages.h"

namespace {

using Run = ParsedClicksFile::Run;

// The record the line makes, but for its clicks.
void MakeRun(const ClicksLine& l, double mjd, const LocalStamp& stamp, const char* localtime,
             Run* run) {
  run->Y_ut = l.Y_ut;
  run->M_ut = l.M_ut;
  run->D_ut = l.D_ut;
  run->h_ut = l.h_ut;
  run->m_ut = l.m_ut;
  run->s_ut = l.s_ut;
  std::memcpy(run->lid, l.lid, sizeof run->lid);
  std::memcpy(run->sid, l.sid, sizeof run->sid);
  run->lng = l.lng;
  run->lat = l.lat;
  run->alt = l.alt;
  run->gioidh = l.gioidh;
  run->mjd = mjd;
  run->ttMjd = DateToTtMjd(l.Y_ut, l.M_ut, l.D_ut, l.h_ut, l.m_ut, l.s_ut);
  run->lstDeg = LocalSiderealDeg(l.Y_ut, l.M_ut, l.D_ut, l.h_ut, l.m_ut, l.s_ut, l.lng);
  const float height = l.alt + l.gioidh;
  GeodeticToEcef(l.lng, l.lat, height, &run->ecef[0], &run->ecef[1], &run->ecef[2]);
  std::memcpy(run->localtime, localtime, sizeof run->localtime);
  platform::FormatC(run->key, sizeof run->key, "%04d%02d%02d%02d%02d%02d%s%s", stamp.year,
                    stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second, run->lid,
                    run->sid);
}

bool SameRecord(const Run& run, const char* localtime, const ClicksLine& l) {
  return std::strcmp(run.localtime, localtime) == 0 && std::strcmp(run.lid, l.lid) == 0 &&
         std::strcmp(run.sid, l.sid) == 0;
}

// Whether the sights computed for the run hold for a record: the same station and time, bit
// for bit.
bool SightsHoldFor(const Run& run, const ObservationRecord& r) {
  return std::memcmp(&run.lng, &r.lng, sizeof r.lng) == 0 &&
         std::memcmp(&run.lat, &r.lat, sizeof r.lat) == 0 &&
         std::memcmp(&run.ttMjd, &r.ttMjd, sizeof r.ttMjd) == 0 &&
         std::memcmp(&run.lstDeg, &r.lstDeg, sizeof r.lstDeg) == 0;
}

class FileParse {
 public:
  FileParse(int32_t tzSeconds, ParsedClicksFile* file) : tz_(tzSeconds), file_(*file) {}

  void Read(int fd, TextLines::Room* room, long long from, long long to) {
    TextLines lines(fd, kMaxLineChars, room, from, to);
    TextLines::Line line;
    while (lines.Next(&line)) {
      if (line.text[0] == '_') continue;
      // A zero byte (a UTF-16 file, a damaged one) would end the line early, or make it look
      // blank and vanish without a word.
      if (std::strlen(line.text) < static_cast<std::size_t>(line.length)) {
        Refuse(line.number, "zero byte in line");
        continue;
      }
      if (!line.tooLong && IsBlankLine(line.text)) continue;
      if (line.tooLong) {
        Refuse(line.number, "line longer than " + std::to_string(kMaxLineChars) + " characters");
        continue;
      }
      Take(line.number, line.text);
    }
    file_.lineCount = line.number;
    file_.readFailed = lines.readFailed();
  }

 private:
  void Refuse(int32_t number, std::string reason) {
    file_.lines.push_back({number, -1, static_cast<int32_t>(file_.refusals.size()), decoded_,
                           stateAfter_});
    file_.refusals.push_back(std::move(reason));
  }

  void Take(int32_t number, const char* text) {
    const LineOutcome outcome = ParseClicksLineApart(text, &l_, &decoded_, &stateAfter_);
    if (outcome.kind != LineKind::kData) {
      if (outcome.kind == LineKind::kBad) Refuse(number, DescribeBadLine(outcome));
      decoded_ = false;
      return;
    }
    TakeClick(number);
    decoded_ = false;
  }

  void TakeClick(int32_t number) {
    if (!time_.SameAs(l_)) time_.Of(l_, tz_);
    if (!time_.inCalendar) {
      Refuse(number, "date outside 1900-2099");
      return;
    }
    if (file_.runs.empty() || !SameRecord(file_.runs.back(), time_.localtime, l_)) {
      Run& run = file_.runs.emplace_back();
      MakeRun(l_, time_.mjd, time_.stamp, time_.localtime, &run);
      station_ = MakeSightStation(run.lng, run.lat, run.ttMjd, run.lstDeg);
    }
    ParsedClicksFile::Click& c = file_.clicks.emplace_back();
    c.pos = l_.pos;
    c.x = l_.x;
    c.y = l_.y;
    c.az = l_.az;
    c.ev = l_.ev;
    c.ra = l_.ra;
    c.dec = l_.dec;
    c.ddeg = l_.ddeg;
    ComputeSight(station_, c.ra, c.dec, c.ddeg, &c.sight);
    file_.lines.push_back({number, static_cast<int32_t>(file_.runs.size()) - 1,
                           static_cast<int32_t>(file_.clicks.size()) - 1, decoded_,
                           stateAfter_});
  }

  // The UT time of a line and its local stamp, kept for the next line: the clicks of one frame
  // share them.
  struct LineTime {
    bool SameAs(const ClicksLine& l) const {
      return known && l.Y_ut == Y_ut && l.M_ut == M_ut && l.D_ut == D_ut && l.h_ut == h_ut &&
             l.m_ut == m_ut && std::memcmp(&l.s_ut, &s_ut, sizeof s_ut) == 0;
    }
    void Of(const ClicksLine& l, int32_t tz) {
      known = true;
      Y_ut = l.Y_ut, M_ut = l.M_ut, D_ut = l.D_ut, h_ut = l.h_ut, m_ut = l.m_ut, s_ut = l.s_ut;
      inCalendar = false;
      if (l.Y_ut < kCalendarFirstYear || l.Y_ut > kCalendarLastYear) return;
      mjd = DateToMjd(l.Y_ut, l.M_ut, l.D_ut, l.h_ut, l.m_ut, l.s_ut);
      if (!MakeLocalStamp(mjd, tz, &stamp)) return;
      inCalendar = true;
      FormatLocalStamp(stamp, localtime);
    }

    bool known = false;
    int32_t Y_ut = 0, M_ut = 0, D_ut = 0, h_ut = 0, m_ut = 0;
    float s_ut = 0;
    bool inCalendar = false;  // the UT and local dates lie in 1900-2099
    double mjd = 0;
    LocalStamp stamp{};
    char localtime[16] = {};
  };

  const int32_t tz_;
  ParsedClicksFile& file_;
  ClicksLine l_{};
  LineTime time_;
  bool decoded_ = false;
  uint32_t stateAfter_ = 0;
  SightStation station_{};
};

constexpr const char* kStoreFull = "store full";

// Adds the lines of a parsed file to the store, as reading them one by one would.
class FileAdd {
 public:
  FileAdd(const char* path, const ParsedClicksFile& file, int32_t linesBefore)
      : path_(path), file_(file), linesBefore_(linesBefore), records_(file.runs.size(), -1) {}

  // False when the store filled and the reading ended.
  bool AddLines() {
    for (const ParsedClicksFile::Line& line : file_.lines) {
      if (line.decoded) scrambleState = line.scrambleStateAfter;
      const char* refusal =
          line.run < 0 ? file_.refusals[static_cast<std::size_t>(line.item)].c_str()
                       : AddClick(line);
      if (refusal == kStoreFull) {
        // Lines of records already stored are still taken; the first line that needs a new
        // record ends the reading.
        ReportError("Too Many Records, Please change dir");
        store_.stopReading = 1;
        return false;
      }
      if (refusal) NoteLineNotRead(path_, linesBefore_ + line.number, refusal);
    }
    return true;
  }

  // Leaves the precession cache as computing every sight in the store itself would: with the
  // TT of the last click added.
  void KeepPrecessionCache() const {
    if (lastTt_) PrecessionMatrixOf(*lastTt_);
  }

 private:
  // The words of the refusal, kStoreFull, or nullptr once the click is added.
  const char* AddClick(const ParsedClicksFile::Line& line) {
    const Run& run = file_.runs[static_cast<std::size_t>(line.run)];
    int32_t& index = records_[static_cast<std::size_t>(line.run)];
    // Records are only appended and their keys never change, so the run's record, once found
    // or made, stays the one its later lines would find.
    if (index < 0) index = FindRecord(store_, run.localtime, run.lid, run.sid);
    ObservationRecord* r = nullptr;
    if (index >= 0) {
      r = &store_.records[index];
      if (r->clickCount >= kMaxClicksPerRecord) return "more than 50 clicks in one record";
    } else {
      if (store_.recordCount >= kMaxRecords) return kStoreFull;
      index = store_.recordCount;
      r = run.NewRecordIn(store_);
    }
    const ParsedClicksFile::Click& from = file_.clicks[static_cast<std::size_t>(line.item)];
    const int k = r->clickCount;
    Click& c = r->clicks;
    c.pos[k] = from.pos;
    c.x[k] = from.x;
    c.y[k] = from.y;
    c.az[k] = from.az;
    c.ev[k] = from.ev;
    c.ra[k] = from.ra;
    c.dec[k] = from.dec;
    c.ddeg[k] = from.ddeg;
    if (SightsHoldFor(run, *r)) {
      StoreClickSight(from.sight, &c, k);
    } else {
      // A record begun by another file or run, whose first line had another time or place.
      ComputeClickSight(r, k);
    }
    lastTt_ = &r->ttMjd;
    r->clickCount = k + 1;
    return nullptr;
  }

  const char* path_;
  const ParsedClicksFile& file_;
  const int32_t linesBefore_;
  RecordStore& store_ = theRecordStore();
  std::vector<int32_t> records_;  // the record of each run; -1 until its first line is added
  const double* lastTt_ = nullptr;
};

}  // namespace

ObservationRecord* ParsedClicksFile::Run::NewRecordIn(RecordStore& store) const {
  ObservationRecord& r = store.records[store.recordCount++];
  r.Y_ut = Y_ut;
  r.M_ut = M_ut;
  r.D_ut = D_ut;
  r.h_ut = h_ut;
  r.m_ut = m_ut;
  r.s_ut = s_ut;
  std::memcpy(r.lid, lid, sizeof r.lid);
  std::memcpy(r.sid, sid, sizeof r.sid);
  r.lng = lng;
  r.lat = lat;
  r.alt = alt;
  r.gioidh = gioidh;
  r.clickCount = 0;
  r.mjd = mjd;
  r.ttMjd = ttMjd;
  r.lstDeg = lstDeg;
  std::memcpy(r.ecef, ecef, sizeof r.ecef);
  std::memcpy(r.localtime, localtime, sizeof r.localtime);
  std::memcpy(r.key, key, sizeof r.key);
  if (mjd < store.minMjd) store.minMjd = mjd;
  if (mjd > store.maxMjd) store.maxMjd = mjd;
  return &r;
}

void ParseClicksFile(const char* path, int32_t tzSeconds, TextLines::Room* room,
                     ParsedClicksFile* file, long long from, long long to) {
  file->opened = false;
  file->readFailed = false;
  file->lineCount = 0;
  file->runs.clear();
  file->clicks.clear();
  file->refusals.clear();
  file->lines.clear();
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  file->opened = true;
  FileParse(tzSeconds, file).Read(fd, room, from, to);
  ::close(fd);
}

bool AddParsedClicksFile(const char* path, const ParsedClicksFile& file, bool firstPart,
                         int32_t linesBefore) {
  if (!file.opened) {
    ReportError(firstPart ? "file %s cannot open" : "file %s cannot read", path);
    return false;
  }
  FileAdd add(path, file, linesBefore);
  const bool whole = add.AddLines();
  add.KeepPrecessionCache();
  if (!whole) return false;
  if (file.readFailed) {
    ReportError("file %s cannot read", path);
    return false;
  }
  return true;
}

void ReadClicksCsv(const char* path) {
  if (theRecordStore().stopReading) return;
  ClicksReadReport report;
  TextLines::Room room;
  ParsedClicksFile file;
  ParseClicksFile(path, AP.tz, &room, &file);
  AddParsedClicksFile(path, file);
}
