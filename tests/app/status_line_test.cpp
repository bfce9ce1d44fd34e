#include "app/status_line.h"

#include <gtest/gtest.h>

#include "analysis/record_store.h"
#include "analysis/selection.h"
#include "tests/app/main_window_support.h"
#include "ulib/messages.h"

namespace {

TEST(StatusLineTest, CaptionCountsRecordsSelectedRecordsPairsAndPositions) {
  platform::ScopedScriptedPlatform scripted;
  apptest::ScopedTables tables;
  int window = 0;
  MainDialog = &window;
  theRecordStore().recordCount = 12;
  selectedRecords.selectedCount = 10;
  for (int i = 0; i < 3; ++i) apptest::AddPair(i + 1);
  for (int i = 0; i < 7; ++i) apptest::AddResult(i % 3);

  UpdateStatusLine();
  EXPECT_EQ(scripted->windowTexts[&window],
            "NortavelV4 --  12 rec  / 10 indate rec / 3 pair / 7 pos");

  // Dead rows still count: the tables' row counts, as the lists were filled.
  resultTable->DeleteRow(2);
  UpdateStatusLine();
  EXPECT_EQ(scripted->windowTexts[&window],
            "NortavelV4 --  12 rec  / 10 indate rec / 3 pair / 7 pos");

  MainDialog = nullptr;
  theRecordStore().recordCount = 0;
  selectedRecords.selectedCount = 0;
}

}  // namespace
