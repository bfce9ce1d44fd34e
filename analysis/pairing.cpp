#include "analysis/pairing.h"

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "analysis/triangulation.h"
#include "geo/earth.h"
#include "params/app_params.h"
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

// Pairs a core takes at a time: enough to outweigh taking them up (a tree as small as the demo's,
// a few dozen pairs, is triangulated where it is waited for, with no thread), few enough that
// the cores share the pairs evenly, the caller among them once it has emptied the lists.
constexpr int32_t kPairsPerBatch = 64;

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

void PairingRun::FindPairs(double maxDtSec, double minGdKm) {
  const RecordStore& store = theRecordStore();
  const int32_t* selected = selectedRecords.selected;
  const int32_t n = selectedRecords.selectedCount;

  // earliestFrom[j]: the smallest finite mjd of selected[j..n-1]. Once even that lies too far
  // after A, no later record can pair with A, so the scan over j ends there. The pairs are
  // exactly those of the full scan for any order of times; for a selection sorted by time stamp
  // the scan looks at a handful of records instead of all of them.
  std::vector<double> earliestFrom(static_cast<std::size_t>(n) + 1);
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
      found_.push_back(PairFound{selected[i], selected[j], gdKm, dtSec});
    }
  }
}

PairingRun::PairingRun() {
  FindPairs(static_cast<double>(AP.dt) + kPairTimeSlackSec, AP.GD);
  // What the workers read, handed to them before they start.
  const ObservationRecord* records = theRecordStore().records;
  const double minQcDeg = AP.Qc;
  const auto pairs = static_cast<int32_t>(found_.size());
  pointsEnd_.resize(found_.size());
  batchPoints_.resize(static_cast<std::size_t>(pairs / kPairsPerBatch + 1));
  batches_ = std::make_unique<ParallelBatches>(
      pairs, kPairsPerBatch, [this, records, minQcDeg](const Batch& batch) {
        auto& points = batchPoints_[static_cast<std::size_t>(batch.index)];
        for (int32_t p = batch.begin; p < batch.end; ++p) {
          TriangulatePoints(records[found_[p].recA], records[found_[p].recB], minQcDeg, &points);
          pointsEnd_[p] = points.size();
        }
      });
}

PairingRun::~PairingRun() = default;

void PairingRun::AddRows() {
  const ObservationRecord* records = theRecordStore().records;
  for (int32_t batch = 0; batch < batches_->batches(); ++batch) {
    const int32_t begin = batches_->Begin(batch), end = batches_->Begin(batch + 1);
    if (!batches_->WaitFor(begin)) return;  // never: the pairing is not stopped
    const TriangulatedPoint* points = batchPoints_[static_cast<std::size_t>(batch)].data();
    std::size_t first = 0;
    for (int32_t p = begin; p < end; ++p) {
      const ObservationRecord& A = records[found_[p].recA];
      const ObservationRecord& B = records[found_[p].recB];
      const int32_t row = AddPairRow(found_[p], A, B);
      AppendResultRows(resultTable, *pairTable, row, points + first, pointsEnd_[p] - first);
      first = pointsEnd_[p];
    }
  }
}
