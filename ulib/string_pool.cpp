#include "ulib/string_pool.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "ulib/block_chain.h"
#include "ulib/messages.h"

UcbufPool UCBUF;

namespace {

// Addresses of different blocks are compared as integers: comparing pointers into unrelated
// allocations with < is undefined.
std::uintptr_t Address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

UcbufBlock* AppendBlock() {
  void* memory = ::operator new(kUcbufBlockBytes, std::nothrow);
  if (!memory) FatalError("Cannot allocate UCBUF");
  auto* block = new (memory) UcbufBlock{};
  block->carve = block->Data();
  block->end = reinterpret_cast<char*>(block) + kUcbufBlockBytes - 1;
  LinkLastBlock(UCBUF, block);
  return block;
}

}  // namespace

char* UcbufAllocFrom(UcbufBlock* block, const char* text) {
  const std::size_t length = std::strlen(text);
  if (length > static_cast<std::size_t>(kUcbufMaxChars)) FatalError("Too long str to UCBUF");
  const std::size_t k = length / 8;
  for (;;) {
    if (!block) block = AppendBlock();
    if (char* piece = block->freeHeads[k]) {
      std::memcpy(&block->freeHeads[k], piece, sizeof(char*));
      std::memcpy(piece, text, length + 1);
      return piece;
    }
    if (block->end - block->carve > static_cast<std::ptrdiff_t>(length + 1)) {
      char* piece = block->carve;
      std::memcpy(piece, text, length + 1);
      block->carve += UcbufPieceBytes(length);
      return piece;
    }
    block = block->next;
  }
}

char* UcbufAlloc(const char* text) { return UcbufAllocFrom(UCBUF.firstBlock, text); }

void UcbufFree(UcbufBlock* block, char* piece) {
  const std::uintptr_t at = Address(piece);
  while (block && !(at >= Address(block->Data()) && at <= Address(block->end))) {
    block = block->next;
  }
  // Only the start of a carved piece can be returned; anything else would corrupt the lists.
  if (!block || at >= Address(block->carve) || (at - Address(block->Data())) % 8 != 0) {
    FatalError("Delete string not found");
  }
  const std::size_t room = static_cast<std::size_t>(Address(block->carve) - at);
  const std::size_t length = strnlen(piece, room < kUcbufMaxChars ? room : kUcbufMaxChars);
  const std::size_t k = length / 8;
  if (piece + UcbufPieceBytes(length) == block->carve) {
    block->carve = piece;
    return;
  }
  std::memcpy(piece, &block->freeHeads[k], sizeof(char*));
  block->freeHeads[k] = piece;
}

void UcbufFreeAll() { FreeBlockChain(UCBUF); }
