#pragma once
// Pairing of the sorted selection: two records become a pair when the later in key order lies
// at most AP.dt seconds after the earlier and their stations at least AP.GD km apart. Only
// that distance tells two stations apart; station ids are not compared.

// Slack on AP.dt, s: record times carry the rounding of their seconds, so two records exactly
// AP.dt apart would otherwise fail to pair about half the time.
inline constexpr double kPairTimeSlackSec = 1e-4;

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "analysis/triangulation.h"
#include "ulib/parallel_chunks.h"

// A pair the scan found, before it has a row: A and B by record index, their ground distance
// (km) and B's time after A's (s).
struct PairFound {
  int32_t recA, recB;
  double gdKm, dtSec;
};

// The pairing of the sorted selection in two steps, so that the caller can do other work while
// the pairs' points are triangulated on the machine's cores: construction finds the pairs, A the
// earlier in the selection and B the later, in the order of A, then of B (a pair whose time
// difference, ground distance or station values are not finite is no pair), and starts their
// triangulation; AddRows adds a pairTable row for every pair, numbered from nextPairNumber on,
// each followed by its resultTable rows, taking up the pairs' points in pair order as they are
// done. Construction reads selectedRecords, the records, AP.dt, AP.GD and AP.Qc; the workers
// get the records and AP.Qc from it, read the pairs found and write only the run's own point
// lists. The records may not change before AddRows or destruction, which waits for every batch.
class PairingRun {
 public:
  PairingRun();
  ~PairingRun();
  PairingRun(const PairingRun&) = delete;
  PairingRun& operator=(const PairingRun&) = delete;

  void AddRows();

 private:
  void FindPairs(double maxDtSec, double minGdKm);

  std::vector<PairFound> found_;
  // The points of each batch of pairs, and per pair one past its last point in its batch's.
  std::vector<std::vector<TriangulatedPoint>> batchPoints_;
  std::vector<std::size_t> pointsEnd_;
  // Last, so that it is gone, its threads joined, before what they write into.
  std::unique_ptr<ParallelBatches> batches_;
};
