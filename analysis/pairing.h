#pragma once
// Pairing of the sorted selection: two records become a pair when the later in key order lies
// at most AP.dt seconds after the earlier and their stations at least AP.GD km apart. Only
// that distance tells two stations apart; station ids are not compared.

// Slack on AP.dt, s: record times carry the rounding of their seconds, so two records exactly
// AP.dt apart would otherwise fail to pair about half the time.
inline constexpr double kPairTimeSlackSec = 1e-4;

// Appends a pairTable row for every pair of selectedRecords (A the earlier in the selection, B
// the later; pairs in the order of A, then of B), numbered from nextPairNumber on, and
// triangulates each into resultTable at once. A pair whose time difference, ground distance or
// station values are not finite is no pair. Reads AP.dt and AP.GD.
void PairRecords();
