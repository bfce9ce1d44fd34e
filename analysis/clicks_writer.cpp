#include "analysis/clicks_writer.h"

#include <cstdio>

#include "analysis/record_store.h"
#include "analysis/scrambler.h"
#include "analysis/selection.h"
#include "params/app_params.h"
#include "platform/c_locale.h"
#include "platform/platform.h"
#include "ulib/choosers.h"
#include "ulib/messages.h"

namespace {

constexpr int kPathChars = 1024;

constexpr const char* kHeaderLine =
    "_Y_ut,_M_ut,_D_ut,_h_ut,_m_ut,_s_ut,_pos,_x,_y,_az,_ev,_ra,_dec,_lid,_sid,_long,_lat,_alt,"
    ",,,_gioidh,_ddeg\r\n";

// Writes the lines of one record's clicks; false on a write error.
bool WriteRecordLines(std::FILE* file, const ObservationRecord& r, uint32_t a, uint32_t b,
                      uint32_t c) {
  const Click& k = r.clicks;
  const int count = r.clickCount < 0                     ? 0
                    : r.clickCount > kMaxClicksPerRecord ? kMaxClicksPerRecord
                                                         : r.clickCount;
  for (int i = 0; i < count; ++i) {
    std::string line = platform::StringPrintfC(
        "%4d,%02d,%02d,%02d,%02d,%.3f,%d,%.1f,%.1f,%.2f,%.2f,%.3f,%.3f,_%s,_%s,%.2f,%.2f,%.1f,"
        "%u,%u,%u,%.2f,%.4f\r\n",
        r.Y_ut, r.M_ut, r.D_ut, r.h_ut, r.m_ut, r.s_ut, k.pos[i], k.x[i], k.y[i], k.az[i],
        k.ev[i], k.ra[i], k.dec[i], r.lid, r.sid, r.lng, r.lat, r.alt, a, b, c, r.gioidh,
        k.ddeg[i]);
    if (std::fwrite(line.data(), 1, line.size(), file) != line.size()) return false;
  }
  return true;
}

}  // namespace

bool WriteMergedClicksFile(const char* path, const int32_t* indices, int32_t count) {
  std::FILE* file = std::fopen(path, "wb");
  if (!file) {
    ReportError("Cannot open %s", path);
    return false;
  }
  const RecordStore& store = theRecordStore();
  uint32_t writerSeed = WriterSeedFromClock(ReadScrambleClock());
  bool ok = std::fputs(kHeaderLine, file) >= 0;
  for (int32_t i = 0; ok && i < count; ++i) {
    const int32_t index = indices[i];
    if (index < 0 || index >= store.recordCount) continue;
    const ObservationRecord& r = store.records[index];
    const uint32_t c = NextScramblingNumber(&writerSeed);
    uint32_t a = 0, b = 0;
    ScrambleLocation(r.lng, r.lat, c, &a, &b);
    ok = WriteRecordLines(file, r, a, b, c);
  }
  // A full disk often shows only when the last block is flushed.
  if (std::fflush(file) != 0 || std::ferror(file)) ok = false;
  if (std::fclose(file) != 0) ok = false;
  if (!ok) ReportError("Cannot write %s", path);
  return ok;
}

void WriteClicksCsv(const char* outputNamePrefix) {
  char path[kPathChars];
  char name[kPathChars];
  const int length = platform::FormatC(path, sizeof path, "%s/M%s_ALL_clicksb.csv", AP.outdir,
                                       outputNamePrefix);
  // A cut name would be offered to the chooser as if it were the one meant.
  if (length < 0 || length >= static_cast<int>(sizeof path)) {
    ReportError("File name too long: M%s_ALL_clicksb.csv in %s", outputNamePrefix, AP.outdir);
    return;
  }
  if (!ChooseFile("Write M*_clicksb.csv", "CSV(*.csv)\0*.csv\0", "csv", path, name, kPathChars,
                  'w')) {
    return;
  }
  platform::WaitCursor wait;
  int32_t count = selectedRecords.selectedCount;
  if (count < 0) count = 0;
  if (count > kMaxRecords) count = kMaxRecords;
  WriteMergedClicksFile(path, selectedRecords.selected, count);
}
