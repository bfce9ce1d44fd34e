#include "ulib/ui/list_sort.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "tests/ulib/ui/list_fixture.h"
#include "ulib/ui/list_line_map.h"

namespace {

using namespace listtest;

// The quicksort as the lists have always run it, recursing into the left stretch first: the
// reference for the order of equal keys.
template <typename Key, typename Less>
void ReferenceSort(std::int32_t* idx, const Key* key, int lo, int hi, Less less) {
  do {
    const Key pivot = key[idx[(lo + hi) / 2]];
    int i = lo, j = hi;
    for (;;) {
      while (less(key[idx[i]], pivot)) ++i;
      while (less(pivot, key[idx[j]])) --j;
      if (i >= j) break;
      std::swap(idx[i], idx[j]);
      ++i;
      --j;
    }
    if (lo < i - 1) ReferenceSort(idx, key, lo, i - 1, less);
    lo = j + 1;
  } while (lo < hi);
}

std::vector<std::int32_t> Iota(int n) {
  std::vector<std::int32_t> idx(n);
  std::iota(idx.begin(), idx.end(), 0);
  return idx;
}

TEST(ListSortTest, EqualKeysComeOutAsTheReferenceSortLeavesThem) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    const int n = 1 + static_cast<int>(random() % 400);
    const int spread = 1 + static_cast<int>(random() % 20);  // few distinct keys: many ties
    std::vector<std::int32_t> ints(n);
    std::vector<double> reals(n);
    std::vector<std::string> texts(n);
    std::vector<const char*> strings(n);
    for (int i = 0; i < n; ++i) {
      ints[i] = static_cast<std::int32_t>(random() % spread) - spread / 2;
      reals[i] = (random() % 3 == 0) ? -0.0 : ints[i] * 0.5;
      texts[i] = std::string(random() % 3, static_cast<char>('a' + random() % 3));
    }
    for (int i = 0; i < n; ++i) strings[i] = texts[i].c_str();

    auto expect = [&](auto sortKeys, const auto* key, auto less) {
      std::vector<std::int32_t> got = Iota(n), want = Iota(n);
      sortKeys(got.data(), key, n);
      ReferenceSort(want.data(), key, 0, n - 1, less);
      ASSERT_EQ(got, want) << "round " << round;
      for (int i = 1; i < n; ++i) ASSERT_FALSE(less(key[got[i]], key[got[i - 1]]));
    };
    expect(SortKeysInt, ints.data(), [](std::int32_t a, std::int32_t b) { return a < b; });
    expect(SortKeysDouble, reals.data(), [](double a, double b) { return a < b; });
    expect(SortKeysString, strings.data(),
           [](const char* a, const char* b) { return std::strcmp(a, b) < 0; });
  }
}

TEST(ListSortTest, UnsignedAndStringOrders) {
  const std::uint32_t kUnsigned[] = {3, 0xFFFFFFFFu, 0, 1};
  std::vector<std::int32_t> idx = Iota(4);
  SortKeysUnsigned(idx.data(), kUnsigned, 4);
  EXPECT_EQ(idx, (std::vector<std::int32_t>{2, 3, 0, 1})) << "above 2^31 sorts last";
  const char* kStrings[] = {"b", "", "B", "ab", "a", "\xC3\xA9"};
  idx = Iota(6);
  SortKeysString(idx.data(), kStrings, 6);
  EXPECT_EQ(idx, (std::vector<std::int32_t>{1, 2, 4, 3, 0, 5}))
      << "C order: empty first, capitals before small letters, a prefix before its longer word, "
         "bytes above 127 last";
  EXPECT_EQ(SortKeyOfReal(std::nan("")), 0.0);
  EXPECT_TRUE(std::signbit(SortKeyOfReal(std::numeric_limits<double>::infinity())));
  EXPECT_EQ(SortKeyOfReal(-std::numeric_limits<double>::infinity()), 0.0);
  EXPECT_EQ(SortKeyOfReal(2.5), 2.5);
}

// A column that rises and then falls drives the middle pivot to its worst case: each pass
// splits off one line. Recursing into the left stretch first went one level deeper per line
// (50000 levels for 100000 lines, a stack overflow); now it needs a few dozen.
TEST(ListSortTest, RiseAndFallSortsInASmallStack) {
  constexpr int kLines = 20000;
  struct Job {
    std::vector<std::int32_t> key, idx;
  } job;
  for (int i = 0; i < kLines; ++i) job.key.push_back(i < kLines / 2 ? i : kLines - i);
  job.idx = Iota(kLines);
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, 256 * 1024), 0);
  pthread_t thread;
  ASSERT_EQ(pthread_create(
                &thread, &attributes,
                [](void* p) -> void* {
                  auto* j = static_cast<Job*>(p);
                  SortKeysInt(j->idx.data(), j->key.data(), static_cast<std::int32_t>(j->key.size()));
                  return nullptr;
                },
                &job),
            0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
  for (int i = 1; i < kLines; ++i) ASSERT_LE(job.key[job.idx[i - 1]], job.key[job.idx[i]]);
}

// Line maps rewritten by a sort of the table, both ways.
class SortLineMapsTest : public ::testing::Test {
 protected:
  SortLineMapsTest() : table(&kEveryType), layout(MakeLayout()) {}
  std::vector<int> Rows(int lines) {
    std::vector<int> rows;
    for (int line = 0; line < lines; ++line) rows.push_back(ReadLineRow(table, kItemdata, line));
    return rows;
  }
  void ExpectDlinesMatch(int lines) {
    for (int line = 0; line < lines; ++line) {
      const int row = ReadLineRow(table, kItemdata, line);
      EXPECT_EQ(ReadCellInt(table.LiveCell(row, kDline)), line) << "line " << line;
    }
  }
  CUTable table;
  ListLayout layout;
};

TEST_F(SortLineMapsTest, EveryTypeBothWays) {
  // Rows 0..5; row 2 dead so that the rows and lines differ.
  const int nums[] = {30, -5, 0, 12, 11, 7};
  const float floats[] = {1.5f, std::nanf(""), 0, -2.0f, INFINITY, 0.25f};
  const char* names[] = {"delta", nullptr, "x", "Alpha", "alpha", "beta"};
  for (int i = 0; i < 6; ++i) {
    AddRow(table, nums[i], floats[i], names[i]);
    WriteCellUint(table.CellForWrite(i, kMark), static_cast<std::uint32_t>(6 - i));
    WriteCellDouble(table.CellForWrite(i, kDouble), -nums[i] * 0.1);
    table.SetString(i, kTag, std::string(1, static_cast<char>('f' - i)).c_str());
  }
  table.DeleteRow(2);
  const int lines = BuildLineMaps(table, layout, 0, 0);
  ASSERT_EQ(lines, 5);
  ASSERT_EQ(Rows(lines), (std::vector<int>{0, 1, 3, 4, 5}));

  struct Case {
    const char* name;
    int column;
    std::vector<int> ascendingRows;  // -1: one of a tie, in whatever order the sort left them
  };
  const Case kCases[] = {
      {"int", kNum, {1, 5, 4, 3, 0}},
      {"float: NaN and infinity count as zero", kFloat, {3, -1, -1, 5, 0}},
      {"double", kDouble, {0, 3, 4, 5, 1}},
      {"string: null as empty, C order", kName, {1, 3, 4, 5, 0}},
      {"chars", kTag, {5, 4, 3, 1, 0}},
      {"mark unsigned", kMark, {5, 4, 3, 1, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    BuildLineMaps(table, layout, 0, 0);
    SortLineMaps(table, layout, lines, c.column, 1);
    const std::vector<int> up = Rows(lines);
    for (int line = 0; line < lines; ++line) {
      if (c.ascendingRows[line] >= 0) {
        EXPECT_EQ(up[line], c.ascendingRows[line]) << line;
      }
    }
    std::vector<int> sortedRows = up;
    std::sort(sortedRows.begin(), sortedRows.end());
    EXPECT_EQ(sortedRows, (std::vector<int>{0, 1, 3, 4, 5}));
    ExpectDlinesMatch(lines);
    BuildLineMaps(table, layout, 0, 0);
    SortLineMaps(table, layout, lines, c.column, -1);
    std::vector<int> down = Rows(lines);
    std::reverse(down.begin(), down.end());
    EXPECT_EQ(down, up) << "descending is exactly ascending reversed";
    ExpectDlinesMatch(lines);
  }
}

TEST_F(SortLineMapsTest, RawColumnsKeepTheirOrderAndEmptyListsAreLeftAlone) {
  for (int i = 0; i < 3; ++i) AddRow(table, 3 - i);
  const int lines = BuildLineMaps(table, layout, 0, 0);
  SortLineMaps(table, layout, lines, kRaw, 1);
  EXPECT_EQ(Rows(lines), (std::vector<int>{0, 1, 2}));
  SortLineMaps(table, layout, 0, kNum, 1);
  EXPECT_EQ(Rows(lines), (std::vector<int>{0, 1, 2}));
}

TEST_F(SortLineMapsTest, AListedRowThatDiedWithoutAReloadEndsTheProgram) {
  for (int i = 0; i < 3; ++i) AddRow(table, i);
  const int lines = BuildLineMaps(table, layout, 0, 0);
  table.DeleteRow(1);
  EXPECT_EXIT(SortLineMaps(table, layout, lines, kNum, 1), ::testing::ExitedWithCode(247),
              "UT recored was deteled");
}

}  // namespace
