#include "ulib/string_pool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/scripted_platform.h"

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
