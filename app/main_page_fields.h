#pragma once
// The ten numeric fields of the "Main" page: the two dates, the pairing thresholds and the
// time-zone offset, each bound to its AP setting. Field i has the edit id kMainFieldBaseId + 5i
// and the spin id one above it.

#include "ulib/ui/cu_dedit.h"

inline constexpr int kMainFieldCount = 10;
inline constexpr int kMainFieldBaseId = 2001;

// Indexes into mainFields (and the page's field array).
enum MainField : int {
  kFieldY1 = 0,
  kFieldM1,
  kFieldD1,
  kFieldY2,
  kFieldM2,
  kFieldD2,
  kFieldGD,
  kFieldDt,
  kFieldQc,
  kFieldTz,
};

// Writable: CUDEdit::CreateControls stores each field's control id in it.
extern NumFieldDescriptor mainFields[kMainFieldCount];
