#pragma once
// UCBUF, the pool behind every CellString cell: strings of at most 1023 characters kept in
// pieces of size classes 8 bytes apart, carved from 1 MB blocks, with a free list per class and
// block, so that storing a cell never calls the heap. One process-wide pool; exhaustion and
// misuse are fatal. Pieces never move; a stored string must not be changed in place, since a
// piece is identified again by its address and its string's length.

#include <cstddef>

inline constexpr int kUcbufMaxChars = 1023;
inline constexpr int kUcbufClassCount = 128;      // size class k holds lengths 8k to 8k + 7
inline constexpr std::size_t kUcbufDataBytes = 1'047'552;

struct UcbufBlock {
  UcbufBlock* prev;                     // null for the first block
  UcbufBlock* next;                     // null for the last block
  char* carve;                          // first data byte not yet carved
  char* end;                            // carving limit: the block's last byte
  char* freeHeads[kUcbufClassCount];    // free list of each size class; a free piece holds
                                        // the link to the next one in its first bytes
  // kUcbufDataBytes of pieces follow the header, each on an 8-byte boundary.
  char* Data() { return reinterpret_cast<char*>(this) + sizeof(UcbufBlock); }
};
static_assert(sizeof(UcbufBlock) % 8 == 0, "pieces start on 8-byte boundaries");

inline constexpr std::size_t kUcbufBlockBytes = sizeof(UcbufBlock) + kUcbufDataBytes;

// Bytes a string of `length` characters occupies: (length / 8 + 1) * 8.
inline constexpr std::size_t UcbufPieceBytes(std::size_t length) { return (length / 8 + 1) * 8; }

struct UcbufPool {
  UcbufBlock* firstBlock = nullptr;  // both null before the first allocation
  UcbufBlock* lastBlock = nullptr;
};

extern UcbufPool UCBUF;

// Stores a copy of text, trying block and then the blocks after it: the free list of the
// string's class first, then the carving area; appends a block when none can take it (a null
// block appends one at once). Fatal "Too long str to UCBUF" above 1023 characters,
// "Cannot allocate UCBUF" when a block cannot be allocated.
char* UcbufAllocFrom(UcbufBlock* block, const char* text);
// UcbufAllocFrom from the pool's first block.
char* UcbufAlloc(const char* text);
// Returns a piece found in block or a block after it (callers pass the first block). The last
// piece carved is carved again; any other goes onto its class's free list. Fatal
// "Delete string not found" for an address that is not a piece of the chain.
void UcbufFree(UcbufBlock* block, char* piece);
// Frees every block, last first; the pool can be used again afterwards.
void UcbufFreeAll();
