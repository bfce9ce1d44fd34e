#pragma once
// Finds the record of one station's view of one event: the record whose local stamp, lid and
// sid equal the given ones, compared as three separate texts (so "AB" + "C" and "A" + "BC" are
// two stations). A fixed hash table over the store's records stands in for a scan of all of
// them for every line read; it follows the store as records are appended or the store is
// emptied, and allocates nothing.

#include "analysis/record_store.h"

// Index of the record among store.records[0 .. recordCount-1], or -1.
int FindRecord(const RecordStore& store, const char* localtime, const char* lid,
               const char* sid);

// Drops the table; the next FindRecord builds it again from the store. EmptyRecordStore calls it,
// so records written into an emptied store by other means are found too.
void ForgetRecordIndex();
