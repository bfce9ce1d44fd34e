#include "analysis/output_name_prefix.h"

#include <cstdio>

#include "analysis/result_tables.h"
#include "params/app_params.h"

namespace {

constexpr int kPrefixChars = 100;
char prefix[kPrefixChars];

}  // namespace

const char* GetOutputNamePrefix() {
  const std::int32_t row = selectionState.selectedPair;
  if (row >= 0 && pairTable && row < pairTable->rowCount && pairTable->RowExists(row)) {
    std::snprintf(prefix, sizeof prefix, "%s", pairTable->GetStringOrEmpty(row, kPairLocaltime));
    return prefix;
  }
  std::snprintf(prefix, sizeof prefix, "%04d%02d%02d_", dateRange.date1.year,
                dateRange.date1.month, dateRange.date1.day);
  return prefix;
}
