#pragma once
// The two tables the selection pass fills: PairTable (one row per pair of records seen as one
// event from two stations) and ResultTable (one row per point both stations marked). The map,
// the lists and the result CSV read their cells by the column numbers below; they are part of
// the result CSV's format and of the settings of the list layouts, so they never change order.
//
// Units: ground and station distances and heights in km, angles in degrees, time differences
// in seconds; station altitudes and geoid heights in metres.

#include <cstdint>

#include "ulib/table_store.h"

// Columns of PairTable ("NVpair.csv", version 512). Record A is the earlier of the pair in the
// sorted selection, record B the later.
enum PairColumn : std::int32_t {
  kPairExist = 0,     // exist
  kPairNumber,        // "#": the pair's number, 1, 2, 3 in the order of the pass
  kPairLocaltime,     // "localtime": A's local time stamp
  kPairId1,           // "ID1": A's station id
  kPairS1,            // "s1": A's sub id
  kPairId2,           // "ID2": B's station id
  kPairS2,            // "s2": B's sub id
  kPairGd,            // "GD": ground distance of the two stations, km
  kPairDt,            // "DT": time of B minus time of A, s (signed)
  kPairLng1,          // "lng1": A's station longitude
  kPairLat1,          // "lat1"
  kPairAlt1,          // "alt1", m
  kPairGioidh1,       // "gioidh1", m
  kPairLng2,          // "lng2": B's station longitude
  kPairLat2,          // "lat2"
  kPairAlt2,          // "alt2", m
  kPairGioidh2,       // "gioidh2", m
  kPairMark,          // "*": the pair's mark, 1 for a new pair; its results follow it
  kPairWork,          // "work": the map renderer's label flag
  kPairRec1,          // "rec1": index of record A in the record store
  kPairRec2,          // "rec2": index of record B
  kPairDline,         // "dline": the list view's line of the row
  kPairItemdata,      // "itemdata": the list view's row at each line
  kPairColumnCount    // 23
};

// Columns of ResultTable ("NVResult.csv", version 210). A is the pair's first record and c1
// its click, B the second record and c2 its click.
enum ResultColumn : std::int32_t {
  kResultExist = 0,   // exist
  kResultMark,        // "*": 1 on creation, then the mark of the pair and result lists
  kResultNumber,      // "#": the pair row's "#"
  kResultLocaltime,   // "localtime": the pair row's
  kResultId1,         // "ID1": the pair row's
  kResultId2,         // "ID2": the pair row's
  kResultPos,         // "pos": the point number
  kResultLng,         // "lng": longitude of the point on A's line of sight
  kResultLat,         // "lat": its latitude
  kResultH1,          // "H1": height above the ellipsoid of the point on A's line, km
  kResultH2,          // "H2": height of the point on B's line, km
  kResultDH,          // "dH": |H1 - H2|, km
  kResultQc,          // "Qc": convergence angle of the two vertical planes, 0..90
  kResultLd1,         // "ld1": straight distance from station A to its point, km
  kResultLd2,         // "ld2": straight distance from station B to its point, km
  kResultDlng,        // "dlng": longitude error estimate
  kResultDlat,        // "dlat": latitude error estimate
  kResultDh1,         // "dh1": error estimate of H1, km
  kResultDh2,         // "dh2": error estimate of H2, km
  kResultDl1,         // "dl1": error estimate of ld1, km
  kResultDl2,         // "dl2": error estimate of ld2, km
  kResultRline,       // "rline": the PairTable row of the pair
  kResultC1,          // "c1": click index in A
  kResultC2,          // "c2": click index in B
  kResultDline,       // "dline": the list view's line of the row
  kResultItemdata,    // "itemdata": the list view's row at each line
  kResultColumnCount  // 26
};

// The table kinds, for new CUTable(&PairTable) and new CUTable(&ResultTable).
extern const TableDescriptor PairTable;
extern const TableDescriptor ResultTable;

// The two tables of the running program: created at start-up over the descriptors above and
// deleted at shut-down by the application; null while they do not exist. The selection pass
// empties and fills them; everything else only reads them, except the marks ("*") and the
// list views' own columns (dline, itemdata).
extern CUTable* pairTable;
extern CUTable* resultTable;
