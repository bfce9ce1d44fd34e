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
// the pairs' points are triangulated on the machine's cores: construction finds the pairs (as
// PairRecords) and starts their triangulation; AddRows adds the rows, in pair order, taking up
// each part of the pairs as soon as it is done. Reads selectedRecords, the records, AP.dt, AP.GD
// and AP.Qc, none of which may change before AddRows or destruction; nothing else it touches
// is shared with its threads. Destruction waits for every part.
class PairingRun {
 public:
  PairingRun();
  ~PairingRun();
  PairingRun(const PairingRun&) = delete;
  PairingRun& operator=(const PairingRun&) = delete;

  // The pair rows numbered from nextPairNumber on, each followed by its result rows.
  void AddRows();

 private:
  void FindPairs();
  static std::vector<PairFound>& Found();
  static std::vector<TriangulatedPoint>& PartPoints(int part);
  static std::vector<std::size_t>& PointsEnd();  // per pair: one past its last point in its part

  std::unique_ptr<ParallelParts> parts_;
};

// Appends a pairTable row for every pair of selectedRecords (A the earlier in the selection, B
// the later; pairs in the order of A, then of B), numbered from nextPairNumber on, and
// triangulates each into resultTable at once. A pair whose time difference, ground distance or
// station values are not finite is no pair. Reads AP.dt and AP.GD.
void PairRecords();
