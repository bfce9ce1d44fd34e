#include "ulib/string_pool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/scripted_platform.h"
#include "ulib/block_chain.h"

namespace {

class StringPoolTest : public ::testing::Test {
 protected:
  ~StringPoolTest() override { UcbufFreeAll(); }
  // Offset of a piece from the first data byte of its block.
  static std::ptrdiff_t Offset(const UcbufBlock* block, const char* piece) {
    return piece - const_cast<UcbufBlock*>(block)->Data();
  }
};

TEST_F(StringPoolTest, TheFirstAllocationCreatesAnEmptyBlock) {
  char* piece = UcbufAlloc("initial str");
  UcbufBlock* block = UCBUF.firstBlock;
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block, UCBUF.lastBlock);
  EXPECT_EQ(block->prev, nullptr);
  EXPECT_EQ(block->next, nullptr);
  EXPECT_EQ(Offset(block, piece), 0);
  EXPECT_STREQ(piece, "initial str");
  EXPECT_EQ(block->end - piece, 1'047'551);
  for (char* head : block->freeHeads) EXPECT_EQ(head, nullptr);
}

TEST_F(StringPoolTest, SizeClassesAre8BytesApart) {
  struct Case {
    int length;
    std::ptrdiff_t bytes;
  };
  const Case kCases[] = {{0, 8}, {7, 8}, {8, 16}, {15, 16}, {16, 24}, {1016, 1024}, {1023, 1024}};
  UcbufAlloc("initial str");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.length);
    const std::string text(static_cast<std::size_t>(c.length), 'q');
    char* first = UcbufAlloc(text.c_str());
    char* next = UcbufAlloc("x");
    EXPECT_EQ(next - first, c.bytes);
    EXPECT_EQ(Offset(UCBUF.firstBlock, first) % 8, 0);
    EXPECT_EQ(std::string(first), text);
  }
}

TEST_F(StringPoolTest, FreeingTheLastPieceRewindsTheCarve) {
  UcbufAlloc("initial str");
  char* last = UcbufAlloc("twenty characters!!!");
  UcbufFree(UCBUF.firstBlock, last);
  EXPECT_EQ(UCBUF.firstBlock->carve, last);
  EXPECT_EQ(UcbufAlloc("a"), last);
  for (char* head : UCBUF.firstBlock->freeHeads) EXPECT_EQ(head, nullptr);
}

TEST_F(StringPoolTest, FreedPiecesAreReusedByTheirClassOnly) {
  UcbufAlloc("initial str");
  char* older = UcbufAlloc("twenty characters!!!");  // 20 characters: class 2, 24 bytes
  char* older2 = UcbufAlloc("another twenty chars");
  UcbufAlloc("keeps the others from being last");
  UcbufFree(UCBUF.firstBlock, older);
  UcbufFree(UCBUF.firstBlock, older2);
  EXPECT_EQ(UCBUF.firstBlock->freeHeads[2], older2);
  char* carve = UCBUF.firstBlock->carve;
  // Another class is carved afresh.
  EXPECT_EQ(UcbufAlloc("fifteen chars.."), carve);
  // Lengths 16 to 23 take the freed pieces, the latest first.
  EXPECT_EQ(UcbufAlloc("sixteen chars..."), older2);
  EXPECT_EQ(UcbufAlloc("twenty-three characters"), older);
  EXPECT_STREQ(older, "twenty-three characters");
  EXPECT_EQ(UCBUF.firstBlock->freeHeads[2], nullptr);
}

// The data area is 1,047,552 bytes and its carving limit its last byte; a string is carved only
// while more than its length plus one bytes lie before that limit, so the last few bytes of a
// block are never used by long strings.
TEST_F(StringPoolTest, HowManyPiecesOneBlockHolds) {
  struct Case {
    int length;
    int pieces;  // ceil((1,047,550 - length) / piece bytes)
  };
  const Case kCases[] = {{0, 130944}, {7, 130943}, {8, 65472}, {1016, 1023}, {1023, 1022}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.length);
    const std::string text(static_cast<std::size_t>(c.length), 'p');
    char* first = UcbufAlloc(text.c_str());
    UcbufBlock* block = UCBUF.firstBlock;
    int pieces = 1;
    char* last = first;
    for (;;) {
      char* piece = UcbufAlloc(text.c_str());
      if (UCBUF.lastBlock != block) break;
      last = piece;
      ++pieces;
    }
    EXPECT_EQ(pieces, c.pieces);
    EXPECT_EQ(last - first, static_cast<std::ptrdiff_t>(c.pieces - 1) *
                                static_cast<std::ptrdiff_t>(UcbufPieceBytes(text.size())));
    EXPECT_LE(last + UcbufPieceBytes(text.size()), first + 1'047'552);
    UcbufFreeAll();
  }
}

// Filling the first block sends a long string to a new block; short strings still fit first.
TEST_F(StringPoolTest, ABlockThatIsFullOverflowsIntoTheNext) {
  const std::string longText(1023, 'L');
  UcbufAlloc("initial str");
  UcbufBlock* first = UCBUF.firstBlock;
  // Fill to within 40 bytes of the carving limit.
  while (first->end - first->carve > 1024 + 40) UcbufAlloc(longText.c_str());
  while (first->end - first->carve > 40) UcbufAlloc("");
  char* inSecond = UcbufAlloc(longText.c_str());
  ASSERT_NE(UCBUF.lastBlock, first);
  EXPECT_EQ(first->next, UCBUF.lastBlock);
  EXPECT_EQ(UCBUF.lastBlock->prev, first);
  EXPECT_EQ(inSecond, UCBUF.lastBlock->Data());
  char* shortOne = UcbufAlloc("short");
  EXPECT_GE(shortOne, first->Data());
  EXPECT_LE(shortOne, first->end);
  // Freeing walks on to the block that holds the piece.
  UcbufFree(UCBUF.firstBlock, inSecond);
  EXPECT_EQ(UCBUF.lastBlock->carve, UCBUF.lastBlock->Data());
}

// Carves long strings into the last block until it can take no more of them, and returns the
// last one carved there; the next long string opens a new block.
char* FillLastBlockWithLongStrings(const std::string& longText) {
  UcbufBlock* block = UCBUF.lastBlock;
  char* last = nullptr;
  while (block->end - block->carve > static_cast<std::ptrdiff_t>(longText.size() + 1)) {
    last = UcbufAlloc(longText.c_str());
  }
  return last;
}

bool Holds(UcbufBlock* block, const char* piece) {
  return piece >= block->Data() && piece <= block->end;
}

// Every string goes to the first block that takes it, by a free piece of its class or by
// carving, however many blocks come after it.
TEST_F(StringPoolTest, AStringGoesToTheFirstBlockThatTakesIt) {
  const std::string longText(1023, 'L');
  UcbufAlloc("initial str");
  UcbufBlock* first = UCBUF.firstBlock;
  char* longInFirst = UcbufAlloc(longText.c_str());
  FillLastBlockWithLongStrings(longText);
  char* longInSecond = UcbufAlloc(longText.c_str());
  UcbufBlock* second = UCBUF.lastBlock;
  ASSERT_NE(second, first);
  FillLastBlockWithLongStrings(longText);
  char* inThird = UcbufAlloc(longText.c_str());
  UcbufBlock* third = UCBUF.lastBlock;
  ASSERT_TRUE(Holds(third, inThird));

  // A free piece in the second block comes before carving in the third.
  UcbufFree(UCBUF.firstBlock, longInSecond);
  EXPECT_EQ(UcbufAlloc(longText.c_str()), longInSecond);
  // With free pieces in both, the first block's is taken first.
  UcbufFree(UCBUF.firstBlock, longInSecond);
  UcbufFree(UCBUF.firstBlock, longInFirst);
  EXPECT_EQ(UcbufAlloc(longText.c_str()), longInFirst);
  EXPECT_EQ(UcbufAlloc(longText.c_str()), longInSecond);
  char* carved = UcbufAlloc(longText.c_str());
  EXPECT_TRUE(Holds(third, carved));
  EXPECT_EQ(carved, inThird + 1024);
  // A short string still fits the end of the first block, before a free piece of its class in
  // the third.
  char* shortInThird = UcbufAllocFrom(third, "tiny");
  UcbufAllocFrom(third, "keeps the tiny one from being the last carved");
  UcbufFree(UCBUF.firstBlock, shortInThird);
  ASSERT_EQ(third->freeHeads[0], shortInThird);
  EXPECT_TRUE(Holds(first, UcbufAlloc("short")));
  // A free piece of another class does not take the string.
  UcbufFree(UCBUF.firstBlock, longInFirst);
  EXPECT_FALSE(Holds(first, UcbufAlloc(std::string(1015, 'm').c_str())));
}

// An earlier block takes a string only while more than its length plus one bytes are left
// to carve, as when it is the only block.
TEST_F(StringPoolTest, AnEarlierBlockTakesAStringOnlyWithRoomToSpare) {
  const std::string longText(1023, 'L');
  UcbufAlloc("initial str");
  UcbufBlock* first = UCBUF.firstBlock;
  while (first->end - first->carve >= 1024 + 23) UcbufAlloc(longText.c_str());
  while (first->end - first->carve > 23) UcbufAlloc("");
  ASSERT_EQ(first->end - first->carve, 23);
  UcbufAlloc(longText.c_str());
  UcbufBlock* second = UCBUF.lastBlock;
  ASSERT_NE(second, first);
  EXPECT_TRUE(Holds(second, UcbufAlloc(std::string(22, 'n').c_str())));
  EXPECT_TRUE(Holds(first, UcbufAlloc(std::string(21, 'y').c_str())));
}

// Freeing the last piece carved in a full block gives it back its room: the next string of
// that length goes there again and not to the block after it.
TEST_F(StringPoolTest, AFullBlockTakesStringsAgainOnceItsLastPieceIsFreed) {
  const std::string longText(1023, 'L');
  UcbufAlloc("initial str");
  UcbufBlock* first = UCBUF.firstBlock;
  char* lastInFirst = FillLastBlockWithLongStrings(longText);
  char* inSecond = UcbufAlloc(longText.c_str());
  ASSERT_FALSE(Holds(first, inSecond));
  UcbufFree(UCBUF.firstBlock, lastInFirst);
  EXPECT_EQ(first->carve, lastInFirst);
  EXPECT_EQ(UcbufAlloc(longText.c_str()), lastInFirst);
  EXPECT_EQ(UcbufAlloc(longText.c_str()), inSecond + 1024);
}

// Seventy blocks: the first block that takes a string can lie far down the chain.
TEST_F(StringPoolTest, FreePiecesFarDownALongChainAreFoundInChainOrder) {
  const std::string longText(1023, 'L');
  UcbufAlloc("initial str");
  std::vector<char*> firstPieces;  // the first long piece of each block
  for (int b = 0; b < 70; ++b) {
    firstPieces.push_back(UcbufAlloc(longText.c_str()));
    ASSERT_TRUE(Holds(UCBUF.lastBlock, firstPieces.back())) << b;
    FillLastBlockWithLongStrings(longText);
  }
  char* next = UcbufAlloc(longText.c_str());
  UcbufBlock* last = UCBUF.lastBlock;
  ASSERT_TRUE(Holds(last, next));
  UcbufFree(UCBUF.firstBlock, firstPieces[66]);
  UcbufFree(UCBUF.firstBlock, firstPieces[3]);
  UcbufFree(UCBUF.firstBlock, firstPieces[65]);
  EXPECT_EQ(UcbufAlloc(longText.c_str()), firstPieces[3]);
  EXPECT_EQ(UcbufAlloc(longText.c_str()), firstPieces[65]);
  EXPECT_EQ(UcbufAlloc(longText.c_str()), firstPieces[66]);
  EXPECT_EQ(UcbufAlloc(longText.c_str()), next + 1024);
  // A short string still goes to the end of the first block.
  EXPECT_TRUE(Holds(UCBUF.firstBlock, UcbufAlloc("abc")));
}

// Starting from a later block passes over the blocks before it, for storing and for freeing.
TEST_F(StringPoolTest, StartingFromALaterBlockPassesOverTheEarlierOnes) {
  platform::ScopedScriptedPlatform scripted;
  const std::string longText(1023, 'L');
  UcbufAlloc("initial str");
  char* inFirst = UcbufAlloc(longText.c_str());
  FillLastBlockWithLongStrings(longText);
  char* inSecond = UcbufAlloc(longText.c_str());
  UcbufBlock* second = UCBUF.lastBlock;
  UcbufFree(UCBUF.firstBlock, inFirst);
  char* fromSecond = UcbufAllocFrom(second, longText.c_str());
  EXPECT_EQ(fromSecond, inSecond + 1024);
  UcbufFree(second, fromSecond);
  EXPECT_EXIT(UcbufFree(second, UcbufAlloc(longText.c_str())), ::testing::ExitedWithCode(247),
              "Delete string not found");
  // A null block opens a new one at once.
  char* inThird = UcbufAllocFrom(nullptr, "x");
  EXPECT_EQ(inThird, UCBUF.lastBlock->Data());
  EXPECT_EQ(second->next, UCBUF.lastBlock);
}

// After UcbufFreeAll the pool starts again from nothing.
TEST_F(StringPoolTest, FreeAllLeavesThePoolReady) {
  UcbufAlloc("initial str");
  UcbufFreeAll();
  EXPECT_EQ(UCBUF.firstBlock, nullptr);
  EXPECT_EQ(UCBUF.lastBlock, nullptr);
  char* piece = UcbufAlloc("again");
  ASSERT_NE(UCBUF.firstBlock, nullptr);
  EXPECT_EQ(piece, UCBUF.firstBlock->Data());
}

// The chain is the pool: freed by the generic chain helper instead of UcbufFreeAll, it is
// still taken up again from nothing.
TEST_F(StringPoolTest, AChainFreedOutsideThePoolStartsAgainFromNothing) {
  UcbufAlloc("initial str");
  UcbufAlloc(std::string(1023, 'L').c_str());
  FreeBlockChain(UCBUF);
  char* piece = UcbufAlloc("again");
  ASSERT_NE(UCBUF.firstBlock, nullptr);
  EXPECT_EQ(UCBUF.firstBlock, UCBUF.lastBlock);
  EXPECT_EQ(piece, UCBUF.firstBlock->Data());
  UcbufFree(UCBUF.firstBlock, piece);
  EXPECT_EQ(UCBUF.firstBlock->carve, UCBUF.firstBlock->Data());
}

TEST_F(StringPoolTest, MisuseEndsTheProgram) {
  platform::ScopedScriptedPlatform scripted;
  UcbufAlloc("initial str");
  char outside[16] = "not pooled";
  EXPECT_EXIT(UcbufFree(UCBUF.firstBlock, outside), ::testing::ExitedWithCode(247),
              "Delete string not found");
  // Inside a block but not the start of a piece.
  char* piece = UcbufAlloc("a pooled string");
  EXPECT_EXIT(UcbufFree(UCBUF.firstBlock, piece + 3), ::testing::ExitedWithCode(247),
              "Delete string not found");
  EXPECT_EXIT(UcbufFree(UCBUF.firstBlock, UCBUF.firstBlock->carve), ::testing::ExitedWithCode(247),
              "Delete string not found");
  EXPECT_EXIT(UcbufAlloc(std::string(1024, 'z').c_str()), ::testing::ExitedWithCode(247),
              "Too long str to UCBUF");
}

}  // namespace
