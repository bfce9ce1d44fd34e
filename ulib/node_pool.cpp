#include "ulib/node_pool.h"

#include <new>

#include "ulib/messages.h"

CellBufPool CellBuf;

namespace {

CellBufBlock* AppendBlock() {
  void* memory = ::operator new(kCellBufBlockBytes, std::nothrow);
  if (!memory) FatalError("Cannot allocate CellBuf");
  auto* block = new (memory) CellBufBlock{};
  block->prev = CellBuf.lastBlock;
  block->next = nullptr;
  block->carve = block->Data();
  block->end = block->Data() + kCellBufNodesPerBlock * sizeof(CellBufNode);
  if (CellBuf.lastBlock) {
    CellBuf.lastBlock->next = block;
  } else {
    CellBuf.firstBlock = block;
  }
  CellBuf.lastBlock = block;
  return block;
}

}  // namespace

CellBufNode* CellBufAllocFrom(CellBufBlock* block) {
  for (;;) {
    if (!block) block = AppendBlock();
    if (block->carve < block->end) {
      auto* node = new (block->carve) CellBufNode{};
      block->carve += sizeof(CellBufNode);
      node->next = nullptr;
      node->self = node;
      return node;
    }
    block = block->next;
  }
}

CellBufNode* CellBufAlloc() { return CellBufAllocFrom(CellBuf.firstBlock); }

void CellBufFreeAll() {
  CellBufBlock* block = CellBuf.lastBlock;
  while (block) {
    CellBufBlock* prev = block->prev;
    block->~CellBufBlock();
    ::operator delete(block);
    block = prev;
  }
  CellBuf.firstBlock = nullptr;
  CellBuf.lastBlock = nullptr;
}
