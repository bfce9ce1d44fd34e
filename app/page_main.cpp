#include "app/page_main.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <cstring>

#include "analysis/clicks_scan.h"
#include "analysis/clicks_writer.h"
#include "analysis/output_name_prefix.h"
#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "app/chang_dlg.h"
#include "app/cu_dlg.h"
#include "app/date_fields.h"
#include "app/list_layouts.h"
#include "app/list_selection.h"
#include "app/main_page_fields.h"
#include "app/program_version.h"
#include "groundmap/ui/page_gmap.h"
#include "params/app_params.h"
#include "platform/c_locale.h"
#include "platform/platform.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/window_message.h"
#include "ulib/choosers.h"
#include "ulib/messages.h"
#include "ulib/table_cell.h"
#include "ulib/ui/grid_scale.h"
#include "ulib/ui/list_messages.h"

CPageMain* theMainPage = nullptr;

namespace {

// A radio button whose check mark only the program sets: a click reports the command and
// leaves the mark to the handler, which sets both buttons from "AP.latest".
class ProgramCheckedRadio : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  void nextCheckState() override {}
};

enum class ControlKind { kStatic, kReadOnlyEdit, kButton, kRadio };

struct ControlSpec {
  int id;  // 0: a static that nothing refers to
  ControlKind kind;
  const char* text;
  int x, y, width, height;  // dialog units
};

// The page's own controls (the numeric fields and the result list come at first activation).
constexpr ControlSpec kControls[] = {
    {0, ControlKind::kStatic, "in dir", 0, 3, 21, 8},
    {0, ControlKind::kStatic, "out dir", 0, 16, 21, 8},
    {kIdInDirEdit, ControlKind::kReadOnlyEdit, "", 23, 0, 105, 12},
    {kIdOutDirEdit, ControlKind::kReadOnlyEdit, "", 23, 14, 105, 12},
    {kIdBrowseInDir, ControlKind::kButton, "...", 129, 1, 12, 12},
    {kIdBrowseOutDir, ControlKind::kButton, "...", 129, 15, 12, 12},
    {kIdReadClicks, ControlKind::kButton, "read clicls", 143, 0, 43, 12},
    {kIdWriteClicks, ControlKind::kButton, "write clicks", 143, 15, 43, 9},
    {kIdWriteResults, ControlKind::kButton, "write results", 143, 26, 43, 9},
    {kIdAll, ControlKind::kRadio, "all", 111, 34, 23, 10},
    {kIdRange, ControlKind::kRadio, "range", 111, 42, 35, 10},
    {kIdAllOn, ControlKind::kButton, "all on", 129, 64, 29, 10},
    {kIdAllOff, ControlKind::kButton, "all off", 160, 64, 28, 10},
};

// The grid units of the fields and the result list are measured on this button.
constexpr int kGridButtonLeft = 280;
constexpr int kGridButtonTop = 100;

QString Local8Bit(const char* text, std::size_t size) {
  return QString::fromLocal8Bit(text, static_cast<qsizetype>(strnlen(text, size)));
}

void ShowFolder(QLineEdit* edit, const char* folder) {
  edit->setText(Local8Bit(folder, kDirChars));
  edit->setCursorPosition(0);
}

}  // namespace

CPageMain::CPageMain(QWidget* parent) : QWidget(parent) {
  setWindowTitle("Main");
  for (const ControlSpec& spec : kControls) {
    QWidget* control = nullptr;
    switch (spec.kind) {
      case ControlKind::kStatic:
        control = new QLabel(spec.text, this);
        break;
      case ControlKind::kReadOnlyEdit: {
        auto* edit = new QLineEdit(this);
        edit->setReadOnly(true);
        control = edit;
        if (spec.id == kIdInDirEdit) inDirEdit_ = edit;
        if (spec.id == kIdOutDirEdit) outDirEdit_ = edit;
        break;
      }
      case ControlKind::kButton:
      case ControlKind::kRadio: {
        QAbstractButton* button = nullptr;
        if (spec.kind == ControlKind::kButton) {
          button = new QPushButton(spec.text, this);
        } else {
          auto* radio = new ProgramCheckedRadio(spec.text, this);
          radio->setAutoExclusive(false);
          button = radio;
          if (spec.id == kIdAll) allButton_ = radio;
          if (spec.id == kIdRange) rangeButton_ = radio;
        }
        const int id = spec.id;
        connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(BN_CLICKED, id); });
        control = button;
        break;
      }
    }
    control->setGeometry(platform::DialogUnitsToPixels(spec.x, spec.y, spec.width, spec.height));
    if (spec.id != 0) platform::SetItemId(control, spec.id);
  }
}

CPageMain::~CPageMain() {
  if (theMainPage == this) theMainPage = nullptr;
}

bool CPageMain::OnInitDialog() {
  theMainPage = this;
  updating_ = 0;
  return true;
}

bool CPageMain::OnSetActive() {
  if (initialised_ == 0) FirstActivation();
  active_ = 1;
  return true;
}

bool CPageMain::OnKillActive() {
  active_ = 0;
  return true;
}

void CPageMain::FirstActivation() {
  ++updating_;
  // The fields and the scaled lists were drawn for the template's font: their grid is measured
  // on a control of the template, so they grow and shrink with it.
  if (QWidget* button = platform::FindItem(this, kIdAllOff)) {
    const QPoint at = button->mapToGlobal(QPoint(0, 0));
    const QPoint page = mapToGlobal(QPoint(0, 0));
    gridScaleX = (at.x() - page.x() - 1) / static_cast<double>(kGridButtonLeft);
    gridScaleY = (at.y() - page.y() - 3) / static_cast<double>(kGridButtonTop);
  }
  initialised_ = 1;
  for (int i = 0; i < kMainFieldCount; ++i) {
    fields_[i].CreateControls(this, &mainFields[i], kMainFieldBaseId, i);
  }
  SetMainCaptionF("NortavelV4 V%.2f", ProgramVersion);
  resultList_.Bind(this, &layoutUP, resultTable);
  resultList_.PlaceScaled(rect());
  RefreshControls();
  --updating_;
}

void CPageMain::OnCommand(int notifyCode, int controlId) {
  if (notifyCode == EN_CHANGE) {
    const int first = kMainFieldBaseId;
    const int last = kMainFieldBaseId + 5 * kMainFieldCount - 1;
    if (controlId < first || controlId > last || updating_ != 0 || initialised_ == 0) return;
    // A typed change runs the pass even when the value stayed the same.
    fields_[(controlId - first) / 5].ReadValue();
    SelectAndPair();
    return;
  }
  if (notifyCode != BN_CLICKED) return;
  switch (controlId) {
    case kIdReadClicks:
      OnReadClicks();
      break;
    case kIdWriteClicks:
      OnWriteClicks();
      break;
    case kIdBrowseInDir:
      OnBrowseInDir();
      break;
    case kIdBrowseOutDir:
      OnBrowseOutDir();
      break;
    case kIdAllOn:
      OnAllOn();
      break;
    case kIdAllOff:
      OnAllOff();
      break;
    case kIdAll:
      OnAll();
      break;
    case kIdRange:
      OnRange();
      break;
    case kIdWriteResults:
      OnWriteResults();
      break;
    default:
      break;
  }
}

void CPageMain::OnVScroll(int code, int position, int spinId) {
  if (code != SB_THUMBPOSITION || initialised_ == 0) return;
  int field = -1;
  for (int i = 0; i < kMainFieldCount; ++i) {
    if (fields_[i].descriptor() && spinId == fields_[i].descriptor()->controlId + 1) field = i;
  }
  if (field < 0) return;

  ++updating_;
  const DateFields first{&AP.y1, &AP.m1, &AP.d1, kFieldY1, kFieldM1, kFieldD1};
  const DateFields second{&AP.y2, &AP.m2, &AP.d2, kFieldY2, kFieldM2, kFieldD2};
  SpinDateFields(
      field, position, first, second,
      [this](int k, int direction) {
        if (k < 0 || k >= kMainFieldCount) return -1;
        return fields_[k].Step(direction, -1.0);
      },
      [this](int k) { fields_[k].ShowValue(); });
  --updating_;
  SelectAndPair();
}

void CPageMain::RefreshControls() {
  ++updating_;
  if (initialised_ != 0) {
    for (CUDEdit& field : fields_) field.ShowValue();
  }
  resultList_.Reload(0, 0);
  ShowRangeMode();
  ShowFolder(inDirEdit_, AP.indir);
  ShowFolder(outDirEdit_, AP.outdir);
  --updating_;
}

void CPageMain::ShowRangeMode() {
  bool all = false;
  bool range = false;
  switch (AP.latest) {
    case 0:
      all = true;
      break;
    case 1:
      range = true;
      break;
    case 2:
      break;
    default:
      return;
  }
  allButton_->setChecked(all);
  rangeButton_->setChecked(range);
  if (initialised_ == 0) return;
  for (int i = kFieldY1; i <= kFieldD2; ++i) fields_[i].Enable(range ? 1 : 0);
}

void CPageMain::SetDatesToDataSpan() {
  const RecordStore& store = theRecordStore();
  CalendarDay first{};
  CalendarDay end{};
  DataSpanDates(store.recordCount, store.minMjd, store.maxMjd, &first, &end);
  AP.y1 = first.year;
  AP.m1 = first.month;
  AP.d1 = first.day;
  AP.y2 = end.year;
  AP.m2 = end.month;
  AP.d2 = end.day;
}

void CPageMain::OnReadClicks() {
  RecordStore& store = theRecordStore();
  if (AP.indir[0] == '\0' || store.busy != 0) return;
  store.busy = 1;
  platform::WaitCursor wait;
  thePairList.DeleteAllRows();
  resultList_.DeleteAllRows();
  EmptyRecordStore();
  nextPairNumber = 1;
  ScanClicksDir(AP.indir);
  if (AP.latest == 0) SetDatesToDataSpan();
  RefreshControls();
  store.busy -= 1;
  // The map is re-centred on what was read right after the pass: the pass's own redraw would be
  // painted over before anyone saw it, so it only places the view that the re-centre starts from.
  if (theGmapPage) theGmapPage->placeViewOnly = true;
  SelectAndPair();
  if (theGmapPage) theGmapPage->placeViewOnly = false;
  if (theGmapPage && theGmapPage->active) theGmapPage->OnCenter();
}

void CPageMain::OnWriteClicks() { WriteClicksCsv(GetOutputNamePrefix()); }

void CPageMain::OnWriteResults() {
  char path[kDirChars];
  char name[kDirChars];
  const char* prefix = GetOutputNamePrefix();
  const int length = platform::FormatC(path, sizeof path, "%s/NV4_%s.csv", AP.outdir, prefix);
  if (length < 0 || length >= static_cast<int>(sizeof path)) {
    ReportError("File name too long: NV4_%s.csv in %s", prefix, AP.outdir);
    return;
  }
  if (!ChooseFile("Save NV4*CSV", "CSV(*.csv)\0*.csv\0", "csv", path, name, kDirChars, 'w')) {
    return;
  }
  if (!resultTable) return;
  platform::WaitCursor wait;
  resultTable->WriteCsv(path, kResultMark, 1, 2, 0);
}

void CPageMain::OnBrowseInDir() {
  // A cancelled chooser leaves the folder as it was; the edit shows it again either way.
  ChooseFolder("Input M CSV directory", AP.indir, kDirChars);
  ShowFolder(inDirEdit_, AP.indir);
}

void CPageMain::OnBrowseOutDir() {
  ChooseFolder("Output directory", AP.outdir, kDirChars);
  ShowFolder(outDirEdit_, AP.outdir);
}

void CPageMain::MarkEveryListedPair(std::uint32_t value) {
  ApplyDateRange();
  SetListedMarks(thePairList, kPairMark, value);
  SyncResultMarks();
  RedrawMapAndStatus();
}

void CPageMain::OnAllOn() { MarkEveryListedPair(1); }

void CPageMain::OnAllOff() { MarkEveryListedPair(0); }

void CPageMain::OnAll() {
  AP.latest = 0;
  SetDatesToDataSpan();
  RefreshControls();
  SelectAndPair();
}

void CPageMain::OnRange() {
  AP.latest = 1;
  ShowRangeMode();
  SelectAndPair();
}

void CPageMain::OnResultSelect() {
  const std::int32_t line = resultList_.SelectedLine();
  CUTable* table = resultList_.table();
  if (!table || line < 0 || line >= resultList_.lineCount()) {
    selectionState.selectedResult = -1;
    return;
  }
  platform::WaitCursor wait;
  const std::int32_t row = resultList_.RowOfLine(line);
  void* mark = table->CellForWrite(row, kResultMark);

  if (CtrlKeyDown()) {
    if (ReadCellUint(mark) != 0) {
      WriteCellUint(mark, 0);
      resultList_.DeselectLine(line);
      selectionState.selectedResult = -1;
    } else {
      WriteCellUint(mark, 1);
      selectionState.selectedResult = row;
    }
    resultList_.RedrawLine(line);
    RedrawMapAndStatus();
    return;
  }
  if (row == selectionState.selectedResult) {
    resultList_.DeselectLine(line);
    selectionState.selectedResult = -1;
    RedrawMapAndStatus();
    return;
  }
  // Only this result stays marked: the map then shows it alone.
  ClearListedMarks(thePairList, kPairMark);
  ClearListedMarks(resultList_, kResultMark);
  WriteCellUint(mark, 1);
  resultList_.RedrawLine(line);
  selectionState.selectedResult = row;
  RedrawMapAndStatus();
}

void CPageMain::OnResultRightClick(std::intptr_t line) {
  // Posted messages get past a modal dialog: a right-click queued behind the one that opened
  // Change Pos would open a second one inside it, over the same click tables.
  if (changingPos_ || line < 0 || line >= resultList_.lineCount()) return;
  selectionState.selectedResult = resultList_.RowOfLine(static_cast<std::int32_t>(line));
  {
    changingPos_ = true;
    CChangDlg dialog(nullptr);
    dialog.DoModal();
    changingPos_ = false;
  }
  // The dialog may have renumbered clicks: pairs and results are built again from the records.
  SelectAndPair();
}

void CPageMain::customEvent(QEvent* event) {
  if (event->type() != platform::WindowMessageEvent::EventType()) {
    QWidget::customEvent(event);
    return;
  }
  const auto* message = static_cast<platform::WindowMessageEvent*>(event);
  switch (message->message()) {
    case UM_UP_SELECT:
      OnResultSelect();
      break;
    case UM_UP_RCLICK:
      OnResultRightClick(message->lParam());
      break;
    default:
      break;
  }
}

void CPageMain::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (resultList_.View()) resultList_.PlaceScaled(rect());
}
