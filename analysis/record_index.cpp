#include "analysis/record_index.h"

#include <cstdint>
#include <cstring>

namespace {

// A power of two well above the store's size keeps probe chains short.
constexpr uint32_t kSlotCount = 32768;
static_assert(kSlotCount >= 2 * kMaxRecords);

struct Index {
  int32_t slots[kSlotCount];  // record index + 1; 0 is an empty slot
  int32_t indexedCount = 0;   // records 0 .. indexedCount-1 are in the table
  const RecordStore* store = nullptr;
};

Index theIndex;

uint32_t HashText(uint32_t h, const char* text) {
  // FNV-1a, with the terminating NUL so that the three texts stay apart.
  for (;; ++text) {
    h = (h ^ static_cast<unsigned char>(*text)) * 16777619u;
    if (*text == '\0') return h;
  }
}

uint32_t HashOf(const char* localtime, const char* lid, const char* sid) {
  return HashText(HashText(HashText(2166136261u, localtime), lid), sid);
}

bool Matches(const ObservationRecord& r, const char* localtime, const char* lid,
             const char* sid) {
  return std::strcmp(r.localtime, localtime) == 0 && std::strcmp(r.lid, lid) == 0 &&
         std::strcmp(r.sid, sid) == 0;
}

void Insert(const ObservationRecord& r, int32_t recordIndex) {
  uint32_t slot = HashOf(r.localtime, r.lid, r.sid) & (kSlotCount - 1);
  while (theIndex.slots[slot] != 0) slot = (slot + 1) & (kSlotCount - 1);
  theIndex.slots[slot] = recordIndex + 1;
}

// Brings the table up to the store: records appended since are added; a store that shrank
// (emptied for a new read) or another store starts the table afresh.
void Follow(const RecordStore& store) {
  if (theIndex.store != &store || theIndex.indexedCount > store.recordCount) {
    std::memset(theIndex.slots, 0, sizeof theIndex.slots);
    theIndex.indexedCount = 0;
    theIndex.store = &store;
  }
  int32_t count = store.recordCount < kMaxRecords ? store.recordCount : kMaxRecords;
  for (; theIndex.indexedCount < count; ++theIndex.indexedCount) {
    Insert(store.records[theIndex.indexedCount], theIndex.indexedCount);
  }
}

}  // namespace

int FindRecord(const RecordStore& store, const char* localtime, const char* lid,
               const char* sid) {
  Follow(store);
  uint32_t slot = HashOf(localtime, lid, sid) & (kSlotCount - 1);
  for (; theIndex.slots[slot] != 0; slot = (slot + 1) & (kSlotCount - 1)) {
    int32_t i = theIndex.slots[slot] - 1;
    if (Matches(store.records[i], localtime, lid, sid)) return i;
  }
  return -1;
}

void ForgetRecordIndex() { theIndex.store = nullptr; }
