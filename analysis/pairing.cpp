#include "analysis/pairing.h"

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "analysis/triangulation.h"
#include "params/app_params.h"
#include "geo/earth.h"
#include "ulib/parallel_chunks.h"
#include "ulib/table_cell.h"

namespace {

// Signed time of B after A, s. The early end of the scan below depends on this being the one
// expression used and on its growing with b.
double SecondsAfter(double aMjd, double bMjd) { return (bMjd - aMjd) * 24 * 3600; }

bool StationFinite(const ObservationRecord& r) {
  return std::isfinite(r.lng) && std::isfinite(r.lat) && std::isfinite(r.alt) &&
         std::isfinite(r.gioidh);
}

// Pairs at least this many to a core before the triangulation is shared out: below it, starting
// threads costs more than it saves (the demo tree has a few dozen pairs).
constexpr int32_t kMinPairsPerPart = 32;

int32_t AddPairRow(const PairFound& pair, const ObservationRecord& A, const ObservationRecord& B) {
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
  putFloat(kPairGd, static_cast<float>(pair.gdKm));
  putFloat(kPairDt, static_cast<float>(pair.dtSec));
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
  putInt(kPairRec1, pair.recA);
  putInt(kPairRec2, pair.recB);
  putInt(kPairDline, 0);
  putInt(kPairItemdata, 0);
  return row;
}

}  // namespace

void PairingRun::FindPairs() {
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

  std::vector<PairFound>& found = Found();
  found.clear();
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
      found.push_back(PairFound{selected[i], selected[j], gdKm, dtSec});
    }
  }
}

PairingRun::PairingRun() {
  FindPairs();
  const std::vector<PairFound>& found = Found();
  const ObservationRecord* records = theRecordStore().records;
  PointsEnd().resize(found.size());
  parts_ = std::make_unique<ParallelParts>(
      static_cast<int32_t>(found.size()), kMinPairsPerPart,
      [&found, records](int part, int32_t begin, int32_t end) {
        std::vector<TriangulatedPoint>& points = PartPoints(part);
        std::vector<std::size_t>& pointsEnd = PointsEnd();
        points.clear();
        for (int32_t p = begin; p < end; ++p) {
          TriangulatePoints(records[found[p].recA], records[found[p].recB], &points);
          pointsEnd[p] = points.size();
        }
      });
}

PairingRun::~PairingRun() = default;

void PairingRun::AddRows() {
  const std::vector<PairFound>& found = Found();
  const std::vector<std::size_t>& pointsEnd = PointsEnd();
  const ObservationRecord* records = theRecordStore().records;
  for (int part = 0; part < parts_->parts(); ++part) {
    parts_->WaitFor(part);
    const TriangulatedPoint* points = PartPoints(part).data();
    std::size_t first = 0;
    for (int32_t p = parts_->Begin(part); p < parts_->Begin(part + 1); ++p) {
      const ObservationRecord& A = records[found[p].recA];
      const ObservationRecord& B = records[found[p].recB];
      const int32_t row = AddPairRow(found[p], A, B);
      AppendResultRows(resultTable, *pairTable, row, points + first, pointsEnd[p] - first);
      first = pointsEnd[p];
    }
  }
}

// Kept from pass to pass: a full store's points fill tens of megabytes.
std::vector<PairFound>& PairingRun::Found() {
  static std::vector<PairFound> found;
  return found;
}

std::vector<TriangulatedPoint>& PairingRun::PartPoints(int part) {
  static std::vector<TriangulatedPoint> points[kMaxParallelParts];
  return points[part];
}

std::vector<std::size_t>& PairingRun::PointsEnd() {
  static std::vector<std::size_t> pointsEnd;
  return pointsEnd;
}

void PairRecords() {
  PairingRun run;
  run.AddRows();
}
