// A pass over enough pairs to be shared out across cores gives the rows that triangulating the
// pairs one after the other into the table gives: the same rows, cell for cell, in pair order.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "analysis/clicks_scan.h"
#include "analysis/triangulation.h"
#include "tests/analysis/selection_pass_fixture.h"
#include "tests/support/locale_guard.h"
#include "tools/clicks_gen/sample_sets.h"

namespace nv4test {
namespace {

class PairingTest : public SelectionPassTest {};

TEST_F(PairingTest, PairsSharedOutAcrossCoresGiveTheRowsOfOnePairAfterTheOther) {
  TempDir dir;
  constexpr int kEvents = 150;  // 300 records, 150 pairs of 50 points
  ASSERT_EQ(WriteLargeTree(dir.path(), kEvents), "");
  ScanClicksDir(dir.path().c_str());
  ASSERT_EQ(theRecordStore().recordCount, 2 * kEvents);
  SetDates(2023, 8, 12, 2023, 8, 14);
  // Some points fail the convergence test, so that pairs differ in their number of rows.
  AP.Qc = 66;

  SelectAndPair();
  ASSERT_EQ(pairTable->rowCount, kEvents);
  ASSERT_GT(resultTable->rowCount, 0);
  ASSERT_LT(resultTable->rowCount, 50 * kEvents) << "no point failed the convergence test";

  CUTable reference(&ResultTable);
  const ObservationRecord* records = theRecordStore().records;
  for (int32_t row = 0; row < pairTable->rowCount; ++row) {
    EXPECT_EQ(ReadCellInt(pairTable->LiveCell(row, kPairNumber)), row + 1);
    const ObservationRecord& a = records[ReadCellInt(pairTable->LiveCell(row, kPairRec1))];
    const ObservationRecord& b = records[ReadCellInt(pairTable->LiveCell(row, kPairRec2))];
    TriangulatePair(&reference, *pairTable, row, a, b);
  }
  ASSERT_EQ(resultTable->rowCount, reference.rowCount);
  for (int32_t row = 0; row < reference.rowCount; ++row) {
    for (int32_t column = 0; column < ResultTable.columnCount; ++column) {
      SCOPED_TRACE("row " + std::to_string(row) + " column " + std::to_string(column));
      if (ResultTable.columns[column].type == CellString) {
        EXPECT_STREQ(resultTable->GetStringOrEmpty(row, column),
                     reference.GetStringOrEmpty(row, column));
      } else {
        EXPECT_EQ(std::memcmp(resultTable->LiveCell(row, column), reference.LiveCell(row, column),
                              kTableCellBytes),
                  0);
      }
    }
  }
}

}  // namespace
}  // namespace nv4test
