#include "analysis/record_store.h"

#include <cstdlib>
#include <new>

#include "analysis/record_index.h"
#include "geo/calendar.h"
#include "ulib/messages.h"

namespace {

// Zero pages from the system, so the 70 MB cost nothing until records are written; the
// construction then sets only the store's own counters and leaves the records as they are.
RecordStore* NewZeroFilledStore() {
  void* memory = std::calloc(1, sizeof(RecordStore));
  if (!memory) FatalError("Cannot allocate the record store");
  return new (memory) RecordStore;
}

}  // namespace

RecordStore& theRecordStore() {
  // Kept for the life of the process.
  static RecordStore* const store = NewZeroFilledStore();
  return *store;
}

void EmptyRecordStore() {
  RecordStore& store = theRecordStore();
  store.recordCount = 0;
  store.stopReading = 0;
  store.minMjd = DateToMjd(2099, 1, 1, 0, 0, 0);
  store.maxMjd = DateToMjd(1900, 1, 1, 0, 0, 0);
  ForgetRecordIndex();
}
