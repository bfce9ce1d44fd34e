#include "ulib/node_pool.h"

#include <new>

#include "ulib/block_chain.h"
#include "ulib/messages.h"

CellBufPool CellBuf;

namespace {

CellBufBlock* AppendBlock() {
  void* memory = ::operator new(kCellBufBlockBytes, std::nothrow);
  if (!memory) FatalError("Cannot allocate CellBuf");
  auto* block = new (memory) CellBufBlock{};
  block->carve = block->Data();
  block->end = block->Data() + kCellBufNodesPerBlock * sizeof(CellBufNode);
  LinkLastBlock(CellBuf, block);
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

void CellBufFreeAll() { FreeBlockChain(CellBuf); }
