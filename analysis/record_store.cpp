#include "analysis/record_store.h"

#include "analysis/record_index.h"
#include "geo/calendar.h"

RecordStore& theRecordStore() {
  // Value-initialised once: every record starts zero-filled. Kept for the life of the process.
  static RecordStore* const store = new RecordStore();
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
