#include "app/list_layouts.h"

#include <cstdint>

#include "analysis/result_tables.h"
#include "app/click_table.h"
#include "ulib/ui/list_messages.h"

namespace {

constexpr std::int32_t Msg(unsigned message) { return static_cast<std::int32_t>(message); }

// One column as it starts: the menu text empty, the run-time fields zero until the first
// CUList::Reload.
constexpr ListColumn Column(std::int32_t tableColumn, std::int32_t shown, std::int32_t readOnly,
                            std::int32_t width, const char* fmt, std::int32_t dblClickMsg,
                            std::int32_t rclickMsg) {
  ListColumn column{};
  column.tableColumn = tableColumn;
  column.shown = shown;
  column.readOnly = readOnly;
  column.width = width;
  for (int i = 0; i < kListFormatChars - 1 && fmt[i] != '\0'; ++i) column.fmt[i] = fmt[i];
  column.dblClickMsg = dblClickMsg;
  column.rclickMsg = rclickMsg;
  return column;
}

// The pair list: read-only, every double-click selects. A right-click on the check column
// opens the record editor; on any other column it posts UM_UR_RCLICK, which nobody handles.
constexpr ListColumn PairListColumn(std::int32_t tableColumn, std::int32_t width,
                                    const char* fmt) {
  return Column(tableColumn, 1, 1, width, fmt, Msg(UM_UR_SELECT),
                tableColumn == kPairMark ? 0 : Msg(UM_UR_RCLICK));
}

// The result list: every click selects and every right-click opens Change Pos; only the
// mark can be changed in place.
constexpr ListColumn ResultListColumn(std::int32_t tableColumn, std::int32_t shown,
                                      std::int32_t width, const char* fmt) {
  return Column(tableColumn, shown, tableColumn == kResultMark ? 0 : 1, width, fmt,
                Msg(UM_UP_SELECT), Msg(UM_UP_RCLICK));
}

// Both click lists: the point number is edited in place (no double-click message), the angles
// select; every right-click posts the layout's own message, which nobody handles.
constexpr ListLayout ClickLayout(std::int32_t left, std::int32_t right, unsigned rclickMsg,
                                 unsigned selectMsg, std::int32_t dlineColumn,
                                 std::int32_t itemdataColumn) {
  return {50, -1, left, right, 3, 0, Msg(rclickMsg), Msg(selectMsg), 0, 0, 1, dlineColumn,
          itemdataColumn, 0,
          {
              Column(kClickPos, 1, 0, 30, "%d", 0, Msg(rclickMsg)),
              Column(kClickAz, 1, 1, 50, "%.2f", Msg(selectMsg), Msg(rclickMsg)),
              Column(kClickEv, 1, 1, 50, "%.2f", Msg(selectMsg), Msg(rclickMsg)),
          }};
}

}  // namespace

// Placed in pixels: from y = 500 to the dialog's bottom, from x = -1 to 498.
constinit ListLayout layoutUR = {
    500, -1, -1, 498, 17, 0, Msg(UM_UR_RCLICK), Msg(UM_UR_SELECT), 0, 0, 1, kPairDline,
    kPairItemdata, 0,
    {
        PairListColumn(kPairMark, 16, "%b"),
        PairListColumn(kPairNumber, 28, "%d"),
        PairListColumn(kPairLocaltime, 100, "%s"),
        PairListColumn(kPairId1, 70, "%s"),
        PairListColumn(kPairS1, 28, "%s"),
        PairListColumn(kPairId2, 70, "%s"),
        PairListColumn(kPairS2, 28, "%s"),
        PairListColumn(kPairGd, 40, "%.1f"),
        PairListColumn(kPairDt, 50, "%.1f"),
        PairListColumn(kPairLng1, 50, "%.2f"),
        PairListColumn(kPairLat1, 50, "%.2f"),
        PairListColumn(kPairAlt1, 40, "%.1f"),
        PairListColumn(kPairGioidh1, 40, "%.1f"),
        PairListColumn(kPairLng2, 50, "%.2f"),
        PairListColumn(kPairLat2, 50, "%.2f"),
        PairListColumn(kPairAlt2, 40, "%.1f"),
        PairListColumn(kPairGioidh2, 40, "%.1f"),
    }};

// Placed in grid units, below the Main page's fields down to the page's bottom.
constinit ListLayout layoutUP = {
    120, -1, -1, -1, 20, 0, Msg(UM_UP_RCLICK), Msg(UM_UP_SELECT), 0, 0, 1, kResultDline,
    kResultItemdata, 0,
    {
        ResultListColumn(kResultMark, 1, 16, "%b"),
        ResultListColumn(kResultNumber, 1, 28, "%d"),
        ResultListColumn(kResultLocaltime, 0, 100, "%s"),
        ResultListColumn(kResultId1, 1, 70, "%s"),
        ResultListColumn(kResultId2, 1, 70, "%s"),
        ResultListColumn(kResultPos, 1, 30, "%d"),
        ResultListColumn(kResultLng, 1, 60, "%.4f"),
        ResultListColumn(kResultLat, 1, 50, "%.4f"),
        ResultListColumn(kResultH1, 1, 40, "%.1f"),
        ResultListColumn(kResultH2, 1, 40, "%.1f"),
        ResultListColumn(kResultDH, 1, 40, "%.2f"),
        ResultListColumn(kResultQc, 1, 40, "%.1f"),
        ResultListColumn(kResultLd1, 1, 40, "%.1f"),
        ResultListColumn(kResultLd2, 1, 40, "%.1f"),
        ResultListColumn(kResultDlng, 1, 60, "%.6f"),
        ResultListColumn(kResultDlat, 1, 60, "%.6f"),
        ResultListColumn(kResultDh1, 1, 60, "%.6f"),
        ResultListColumn(kResultDh2, 1, 60, "%.6f"),
        ResultListColumn(kResultDl1, 1, 60, "%.6f"),
        ResultListColumn(kResultDl2, 1, 60, "%.6f"),
    }};

// Grid units: station 1's clicks on the left, station 2's beside them to the dialog's right.
constinit ListLayout layoutC1 =
    ClickLayout(-1, 150, UM_C1_RCLICK, UM_C1_SELECT, kClickDline, kClickItemdata);
constinit ListLayout layoutC2 =
    ClickLayout(154, -1, UM_C2_RCLICK, UM_C2_SELECT, kClickDline2, kClickItemdata2);

const SettingsLayout kSettingsLayouts[kSettingsLayoutCount] = {
    {&layoutUR, "UR"}, {&layoutUP, "UP"}, {&layoutC1, "C1"}, {&layoutC2, "C2"}};
