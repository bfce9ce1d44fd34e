#include "analysis/pairing.h"

#include <cmath>
#include <limits>

#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "analysis/triangulation.h"
#include "app/params/app_params.h"
#include "geo/earth.h"
#include "ulib/table_cell.h"

namespace {

// Signed time of B after A, s. The early end of the scan below depends on this being the one
// expression used and on its growing with b.
double SecondsAfter(double aMjd, double bMjd) { return (bMjd - aMjd) * 24 * 3600; }

bool StationFinite(const ObservationRecord& r) {
  return std::isfinite(r.lng) && std::isfinite(r.lat) && std::isfinite(r.alt) &&
         std::isfinite(r.gioidh);
}

void AddPairRow(int32_t recA, int32_t recB, const ObservationRecord& A,
                const ObservationRecord& B, double gdKm, double dtSec) {
  CUTable* table = pairTable;
  const int32_t row = table->AddRow();
  auto putFloat = [&](int32_t column, float value) {
    WriteCellFloat(table->CellForWrite(row, column), value);
  };
  auto putInt = [&](int32_t column, int32_t value) {
    WriteCellInt(table->CellForWrite(row, column), value);
  };
  putInt(kPairNumber, nextPairNumber++);
  table->SetString(row, kPairLocaltime, A.localtime);
  table->SetString(row, kPairId1, A.lid);
  table->SetString(row, kPairS1, A.sid);
  table->SetString(row, kPairId2, B.lid);
  table->SetString(row, kPairS2, B.sid);
  putFloat(kPairGd, static_cast<float>(gdKm));
  putFloat(kPairDt, static_cast<float>(dtSec));
  putFloat(kPairLng1, A.lng);
  putFloat(kPairLat1, A.lat);
  putFloat(kPairAlt1, A.alt);
  putFloat(kPairGioidh1, A.gioidh);
  putFloat(kPairLng2, B.lng);
  putFloat(kPairLat2, B.lat);
  putFloat(kPairAlt2, B.alt);
  putFloat(kPairGioidh2, B.gioidh);
  WriteCellUint(table->CellForWrite(row, kPairMark), 1);
  putInt(kPairWork, 0);
  putInt(kPairRec1, recA);
  putInt(kPairRec2, recB);
  putInt(kPairDline, 0);
  putInt(kPairItemdata, 0);

  TriangulatePair(resultTable, *table, row, A, B);
}

}  // namespace

void PairRecords() {
  const RecordStore& store = theRecordStore();
  const int32_t* selected = selectedRecords.selected;
  const int32_t n = selectedRecords.selectedCount;
  const double maxDtSec = static_cast<double>(AP.dt) + kPairTimeSlackSec;
  const double minGdKm = AP.GD;

  // earliestFrom[j]: the smallest finite mjd of selected[j..n-1]. Once even that lies too far
  // after A, no later record can pair with A, so the scan over j ends there. The pairs are
  // exactly those of the full scan for any order of times; for a selection sorted by time stamp
  // the scan looks at a handful of records instead of all of them.
  static double earliestFrom[kMaxRecords + 1];
  earliestFrom[n] = std::numeric_limits<double>::infinity();
  for (int32_t j = n - 1; j >= 0; --j) {
    const double mjd = store.records[selected[j]].mjd;
    earliestFrom[j] = std::isfinite(mjd) && mjd < earliestFrom[j + 1] ? mjd : earliestFrom[j + 1];
  }

  for (int32_t i = 0; i + 1 < n; ++i) {
    const ObservationRecord& A = store.records[selected[i]];
    if (!std::isfinite(A.mjd) || !StationFinite(A)) continue;
    for (int32_t j = i + 1; j < n; ++j) {
      if (SecondsAfter(A.mjd, earliestFrom[j]) > maxDtSec) break;
      const ObservationRecord& B = store.records[selected[j]];
      const double dtSec = SecondsAfter(A.mjd, B.mjd);
      // A negative difference (a later key holding an earlier time) pairs whatever AP.dt is.
      if (!(dtSec <= maxDtSec) || !std::isfinite(dtSec)) continue;
      if (!StationFinite(B)) continue;
      const double gdKm = GroundDistanceKm(A.lng, A.lat, B.lng, B.lat);
      if (!(gdKm >= minGdKm) || !std::isfinite(gdKm)) continue;
      AddPairRow(selected[i], selected[j], A, B, gdKm, dtSec);
    }
  }
}
