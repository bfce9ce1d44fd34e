#pragma once
// CellBuf, the node pool: 24-byte nodes (on this 64-bit build) carved from blocks of 1,600,000
// data bytes. The program primes it with one node at start-up and releases it at shut-down.
// One process-wide pool; exhaustion is fatal.

#include <cstddef>
#include <cstdint>

struct CellBufNode {
  CellBufNode* next;   // null when handed out
  CellBufNode* self;   // the node's own address
  std::uint32_t word0; // 0
  std::uint32_t word1; // 0
};

inline constexpr std::size_t kCellBufDataBytes = 1'600'000;
// The carving limit stops this many bytes before the end of the data area.
inline constexpr std::size_t kCellBufTailBytes = 16;

struct CellBufBlock {
  CellBufBlock* prev;  // null for the first block
  CellBufBlock* next;  // null for the last block
  char* carve;         // next node to hand out
  char* end;           // no node starts at or beyond here, nor runs past it
  // kCellBufDataBytes of nodes follow the header.
  char* Data() { return reinterpret_cast<char*>(this) + sizeof(CellBufBlock); }
};
static_assert(sizeof(CellBufBlock) % alignof(CellBufNode) == 0, "nodes are aligned");

inline constexpr std::size_t kCellBufBlockBytes = sizeof(CellBufBlock) + kCellBufDataBytes;
inline constexpr std::size_t kCellBufNodesPerBlock =
    (kCellBufDataBytes - kCellBufTailBytes) / sizeof(CellBufNode);

struct CellBufPool {
  CellBufBlock* firstBlock = nullptr;
  CellBufBlock* lastBlock = nullptr;
};

extern CellBufPool CellBuf;

// Hands out a node from block or a block after it, appending a block when none has room (a null
// block appends one at once). Fatal "Cannot allocate CellBuf" when a block cannot be allocated.
CellBufNode* CellBufAllocFrom(CellBufBlock* block);
// CellBufAllocFrom from the first block, creating it when there is none.
CellBufNode* CellBufAlloc();
// Frees every block, last first; the pool can be used again afterwards.
void CellBufFreeAll();
