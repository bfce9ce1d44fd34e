#include "ulib/string_pool.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "ulib/block_chain.h"
#include "ulib/messages.h"

UcbufPool UCBUF;

namespace {

// Addresses of different blocks are compared as integers: comparing pointers into unrelated
// allocations with < is undefined.
std::uintptr_t Address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

constexpr std::size_t kNone = SIZE_MAX;
constexpr std::size_t kClasses = kUcbufClassCount;

// What each block of the chain can take, kept beside the chain. Walking the chain to the block
// that takes or holds a string reads the header of every block before it, each a megabyte from
// the next and so a cache and TLB miss of its own: the strings of a result table of half a
// million rows fill some twenty blocks, and once the table is cleared and filled again each
// string walked past every block whose free pieces of its class were used up. The index gives
// the same block as the walk from a few words of its own. Blocks are only appended, and freed
// all together, so a block's position in the chain never changes.
class ChainIndex {
 public:
  // Whether the index still describes UCBUF's chain. Blocks are linked and freed only here;
  // comparing the ends is enough to notice the chain freed or grown by anything else.
  bool Matches() const {
    if (blocks_.empty()) return UCBUF.firstBlock == nullptr;
    return blocks_.front() == UCBUF.firstBlock && blocks_.back() == UCBUF.lastBlock;
  }

  [[gnu::noinline]] void Rebuild() {
    Clear();
    for (UcbufBlock* block = UCBUF.firstBlock; block; block = block->next) Add(block);
  }

  void Clear() {
    blocks_.clear();
    byAddress_.clear();
    freeBits_.clear();
    room_.clear();
    leaves_ = 0;
  }

  // Records a block just linked last into the chain, with what its header says it can take.
  void Add(UcbufBlock* block) {
    const std::size_t position = blocks_.size();
    try {
      blocks_.push_back(block);
      const std::pair<std::uintptr_t, std::size_t> entry{Address(block), position};
      byAddress_.insert(std::upper_bound(byAddress_.begin(), byAddress_.end(), entry), entry);
      if (position / 64 >= freeBits_.size() / kClasses) {
        freeBits_.resize(freeBits_.size() + kClasses, 0);
      }
      if (position >= leaves_) GrowRoomTree();
    } catch (const std::bad_alloc&) {
      FatalError("Cannot allocate UCBUF");
    }
    for (std::size_t k = 0; k < kClasses; ++k) FreeListChanged(position, k);
    CarveMoved(position);
  }

  std::size_t Size() const { return blocks_.size(); }
  UcbufBlock* At(std::size_t position) const { return blocks_[position]; }

  // The position of a block of the chain; kNone for any other address.
  std::size_t Position(const UcbufBlock* block) const {
    if (!blocks_.empty() && blocks_.front() == block) return 0;
    const std::size_t at = Holding(Address(block) + sizeof(UcbufBlock));
    return at != kNone && blocks_[at] == block ? at : kNone;
  }

  // The position of the block whose data area (its first data byte to its end) holds the
  // address; kNone if none does. Blocks do not overlap, so only the last block starting at or
  // below the address can.
  std::size_t Holding(std::uintptr_t at) const {
    auto next = std::upper_bound(
        byAddress_.begin(), byAddress_.end(), at,
        [](std::uintptr_t a, const auto& entry) { return a < entry.first; });
    if (next == byAddress_.begin()) return kNone;
    const std::size_t position = std::prev(next)->second;
    UcbufBlock* block = blocks_[position];
    return at >= Address(block->Data()) && at <= Address(block->end) ? position : kNone;
  }

  // The first position from `from` on whose block takes a string of `length` characters, by
  // the same test as the walk: a free piece of its class, or more than length + 1 bytes of
  // carving room. kNone when no block does.
  std::size_t FirstTaking(std::size_t from, std::size_t length) const {
    const std::size_t withPiece = FirstWithFreePiece(from, length / 8);
    if (withPiece == from) return from;  // no room can come earlier
    return std::min(withPiece, FirstWithRoomAbove(from, static_cast<std::ptrdiff_t>(length + 1)));
  }

  // Takes up a change of the block's free list of class k.
  void FreeListChanged(std::size_t position, std::size_t k) {
    std::uint64_t& word = freeBits_[position / 64 * kClasses + k];
    const std::uint64_t bit = std::uint64_t{1} << (position % 64);
    word = blocks_[position]->freeHeads[k] ? word | bit : word & ~bit;
  }

  // Takes up a move of the block's carving point.
  void CarveMoved(std::size_t position) {
    const UcbufBlock* block = blocks_[position];
    std::size_t node = leaves_ + position;
    room_[node] = block->end - block->carve;
    for (node /= 2; node >= 1; node /= 2) {
      room_[node] = std::max(room_[2 * node], room_[2 * node + 1]);
    }
  }

 private:
  static constexpr std::ptrdiff_t kNoBlock = PTRDIFF_MIN;  // room of a leaf past the last block

  std::size_t FirstWithFreePiece(std::size_t from, std::size_t k) const {
    const std::size_t words = freeBits_.size() / kClasses;
    std::size_t w = from / 64;
    if (w >= words) return kNone;
    std::uint64_t word = freeBits_[w * kClasses + k] & (~std::uint64_t{0} << (from % 64));
    while (word == 0) {
      if (++w >= words) return kNone;
      word = freeBits_[w * kClasses + k];
    }
    return w * 64 + static_cast<std::size_t>(std::countr_zero(word));
  }

  // Climbs from the leaf of `from` while nothing at or after it within the current subtree has
  // more room than `need`, then descends into the first subtree to its right that has.
  std::size_t FirstWithRoomAbove(std::size_t from, std::ptrdiff_t need) const {
    if (from >= leaves_) return kNone;
    std::size_t node = 1;  // from the first block (as nearly always): straight from the root
    if (from > 0) {
      node = leaves_ + from;
      if (room_[node] > need) return from;
      for (;;) {
        if (node == 1) return kNone;
        if (node % 2 == 0 && room_[node + 1] > need) break;
        node /= 2;
      }
      ++node;
    } else if (room_[1] <= need) {
      return kNone;
    }
    while (node < leaves_) {
      node *= 2;
      if (room_[node] <= need) ++node;
    }
    return node - leaves_;
  }

  // Doubles the leaves of the room tree (at least one), keeping the rooms it has.
  void GrowRoomTree() {
    const std::size_t leaves = std::max<std::size_t>(1, 2 * leaves_);
    std::vector<std::ptrdiff_t> room(2 * leaves, kNoBlock);
    for (std::size_t p = 0; p < leaves_; ++p) room[leaves + p] = room_[leaves_ + p];
    for (std::size_t node = leaves - 1; node >= 1; --node) {
      room[node] = std::max(room[2 * node], room[2 * node + 1]);
    }
    room_ = std::move(room);
    leaves_ = leaves;
  }

  std::vector<UcbufBlock*> blocks_;                                // in chain order
  std::vector<std::pair<std::uintptr_t, std::size_t>> byAddress_;  // address, position; sorted
  // Bit p % 64 of word (p / 64) * kClasses + k: block p's free list of class k is not empty.
  std::vector<std::uint64_t> freeBits_;
  // A tree of maxima over the blocks' carving rooms (end - carve): node 1 is the root, node n
  // has children 2n and 2n + 1, and leaf leaves_ + p is block p.
  std::vector<std::ptrdiff_t> room_;
  std::size_t leaves_ = 0;
};

constinit ChainIndex chainIndex;

// The index of UCBUF's chain, rebuilt should the chain have changed behind it.
ChainIndex& Index() {
  if (!chainIndex.Matches()) chainIndex.Rebuild();
  return chainIndex;
}

UcbufBlock* AppendBlock() {
  void* memory = ::operator new(kUcbufBlockBytes, std::nothrow);
  if (!memory) FatalError("Cannot allocate UCBUF");
  auto* block = new (memory) UcbufBlock{};
  block->carve = block->Data();
  block->end = reinterpret_cast<char*>(block) + kUcbufBlockBytes - 1;
  LinkLastBlock(UCBUF, block);
  chainIndex.Add(block);
  return block;
}

// Stores the text into the block by its free list of class k, or else by carving, and tells
// the index; position is the block's in the index, kNone for a block it does not hold. The
// caller has made sure that the block takes the text.
char* StoreIn(ChainIndex& index, UcbufBlock* block, std::size_t position, const char* text,
              std::size_t length, std::size_t k) {
  char* piece = block->freeHeads[k];
  if (piece) {
    std::memcpy(&block->freeHeads[k], piece, sizeof(char*));
    if (position != kNone && !block->freeHeads[k]) index.FreeListChanged(position, k);
  } else {
    piece = block->carve;
    block->carve += UcbufPieceBytes(length);
    if (position != kNone) index.CarveMoved(position);
  }
  std::memcpy(piece, text, length + 1);
  return piece;
}

bool Takes(const UcbufBlock* block, std::size_t length, std::size_t k) {
  return block->freeHeads[k] ||
         block->end - block->carve > static_cast<std::ptrdiff_t>(length + 1);
}

}  // namespace

char* UcbufAllocFrom(UcbufBlock* block, const char* text) {
  const std::size_t length = std::strlen(text);
  if (length > static_cast<std::size_t>(kUcbufMaxChars)) FatalError("Too long str to UCBUF");
  const std::size_t k = length / 8;
  ChainIndex& index = Index();
  std::size_t position = block ? index.Position(block) : kNone;
  if (block && position == kNone) {
    // Not a block of the chain: walk on from it as asked.
    while (block && !Takes(block, length, k)) block = block->next;
    if (block) return StoreIn(index, block, index.Position(block), text, length, k);
  } else if (block) {
    position = index.FirstTaking(position, length);
  }
  if (position == kNone) {
    AppendBlock();
    position = index.Size() - 1;
  }
  return StoreIn(index, index.At(position), position, text, length, k);
}

char* UcbufAlloc(const char* text) { return UcbufAllocFrom(UCBUF.firstBlock, text); }

void UcbufFree(UcbufBlock* block, char* piece) {
  const std::uintptr_t at = Address(piece);
  ChainIndex& index = Index();
  const std::size_t from = block ? index.Position(block) : kNone;
  std::size_t position = kNone;
  if (from != kNone) {
    position = index.Holding(at);
    if (position != kNone && position < from) position = kNone;
    block = position != kNone ? index.At(position) : nullptr;
  } else {
    // Not a block of the chain: walk on from it as asked.
    while (block && !(at >= Address(block->Data()) && at <= Address(block->end))) {
      block = block->next;
    }
    if (block) position = index.Position(block);
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
    if (position != kNone) index.CarveMoved(position);
  } else {
    std::memcpy(piece, &block->freeHeads[k], sizeof(char*));
    block->freeHeads[k] = piece;
    if (position != kNone) index.FreeListChanged(position, k);
  }
}

void UcbufFreeAll() {
  FreeBlockChain(UCBUF);
  chainIndex.Clear();
}
