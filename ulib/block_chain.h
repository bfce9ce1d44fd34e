#pragma once
// The doubly linked chain of raw blocks that both pools keep: a pool has firstBlock and
// lastBlock, a block prev and next. Blocks are raw allocations of ::operator new with their
// header constructed in place.

#include <new>

// Links a new block after the pool's last one (as its first when the chain is empty).
template <typename Pool, typename Block>
void LinkLastBlock(Pool& pool, Block* block) {
  block->prev = pool.lastBlock;
  block->next = nullptr;
  if (pool.lastBlock) {
    pool.lastBlock->next = block;
  } else {
    pool.firstBlock = block;
  }
  pool.lastBlock = block;
}

// Frees every block, last first, and leaves the pool empty and ready for use.
template <typename Pool>
void FreeBlockChain(Pool& pool) {
  auto* block = pool.lastBlock;
  while (block) {
    auto* prev = block->prev;
    ::operator delete(static_cast<void*>(block));
    block = prev;
  }
  pool.firstBlock = nullptr;
  pool.lastBlock = nullptr;
}
