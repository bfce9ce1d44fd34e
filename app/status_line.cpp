#include "app/status_line.h"

#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "ulib/messages.h"

void UpdateStatusLine() {
  SetMainCaptionF("NortavelV4 --  %d rec  / %d indate rec / %d pair / %d pos",
                  theRecordStore().recordCount, selectedRecords.selectedCount,
                  pairTable ? pairTable->rowCount : 0, resultTable ? resultTable->rowCount : 0);
}
