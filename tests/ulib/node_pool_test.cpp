#include "ulib/node_pool.h"

#include <gtest/gtest.h>

namespace {

class NodePoolTest : public ::testing::Test {
 protected:
  ~NodePoolTest() override { CellBufFreeAll(); }
};

TEST_F(NodePoolTest, NodesAreCarvedInOrderAndSetUp) {
  CellBufNode* first = CellBufAlloc();
  ASSERT_NE(CellBuf.firstBlock, nullptr);
  EXPECT_EQ(reinterpret_cast<char*>(first), CellBuf.firstBlock->Data());
  CellBufNode* second = CellBufAlloc();
  EXPECT_EQ(second, first + 1);
  EXPECT_EQ(second->next, nullptr);
  EXPECT_EQ(second->self, second);
  EXPECT_EQ(second->word0, 0u);
  EXPECT_EQ(second->word1, 0u);
}

// The data area is 1,600,000 bytes and its last 16 are never handed out, which leaves room
// for 66,666 nodes of 24 bytes; the next one comes from a new block.
TEST_F(NodePoolTest, AFullBlockOverflowsIntoANewOne) {
  CellBufNode* firstNode = CellBufAlloc();
  CellBufNode* last = firstNode;
  for (int i = 1; i < 66'666; ++i) last = CellBufAlloc();
  CellBufBlock* first = CellBuf.firstBlock;
  EXPECT_EQ(CellBuf.lastBlock, first);
  EXPECT_EQ(reinterpret_cast<char*>(last + 1) - reinterpret_cast<char*>(firstNode), 1'599'984);
  CellBufNode* next = CellBufAlloc();
  ASSERT_NE(CellBuf.lastBlock, first);
  EXPECT_EQ(first->next, CellBuf.lastBlock);
  EXPECT_EQ(CellBuf.lastBlock->prev, first);
  EXPECT_EQ(reinterpret_cast<char*>(next), CellBuf.lastBlock->Data());
}

TEST_F(NodePoolTest, FreeAllLeavesThePoolReady) {
  CellBufAlloc();
  CellBufFreeAll();
  EXPECT_EQ(CellBuf.firstBlock, nullptr);
  EXPECT_EQ(CellBuf.lastBlock, nullptr);
  CellBufNode* node = CellBufAlloc();
  EXPECT_EQ(reinterpret_cast<char*>(node), CellBuf.firstBlock->Data());
}

}  // namespace
