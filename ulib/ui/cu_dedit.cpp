#include "ulib/ui/cu_dedit.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/qt/qt_platform.h"
#include "ulib/ui/grid_scale.h"
#include "ulib/ui/num_field_text.h"
#include "ulib/ui/page_commands.h"

namespace {

// A label narrower than its text ("GD" in a few pixels) is drawn narrower rather than cut off:
// the field's edit box starts right after it, so the label cannot grow.
void FitLabelText(QLabel* label) {
  const int needed = label->fontMetrics().horizontalAdvance(label->text());
  const int room = label->width();
  if (needed <= room || needed <= 0) return;
  QFont font = label->font();
  font.setStretch(std::max(50, room * 100 / needed));
  label->setFont(font);
}

// The static-control id every label shares.
constexpr int kLabelId = 0xFFFF;

// A check box that a click does not tick: the page decides what the box shows.
class ManualCheckBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
};

// A rectangle given by its corners in grid units, each corner converted by the grid rule.
QRect GridRect(int left, int top, int right, int bottom) {
  const int l = GridToPixels(left, gridScaleX);
  const int t = GridToPixels(top, gridScaleY);
  const int r = GridToPixels(right, gridScaleX);
  const int b = GridToPixels(bottom, gridScaleY);
  return QRect(l, t, r - l, b - t);
}

numfield::Limits LimitsOf(const NumFieldDescriptor& d) {
  return numfield::Limits{d.min, d.max, d.limitMode, d.carryIndex};
}

}  // namespace

CUDEdit::CUDEdit() = default;

CUDEdit::~CUDEdit() { DestroyControls(); }

void CUDEdit::DestroyControls() {
  delete check_;
  delete spin_;
  delete edit_;
  delete label_;
}

void CUDEdit::CreateControls(QWidget* page, NumFieldDescriptor* descriptor, int baseId,
                             int index) {
  DestroyControls();
  descriptor_ = descriptor;
  descriptor->controlId = baseId + 5 * index;
  editId_ = descriptor->controlId;
  page_ = page;
  target_ = dynamic_cast<CommandTarget*>(page);
  if (!page) return;

  const NumFieldDescriptor& d = *descriptor;
  int cx = d.x;
  if (d.checkFlag) {
    check_ = new ManualCheckBox(page);
    check_->setGeometry(GridRect(cx, d.y + 2, cx + 15, d.y + 17));
    check_->setChecked(*d.checkFlag != 0);
    platform::SetItemId(check_, editId_ + 3);
    QObject::connect(check_, &QAbstractButton::clicked, check_, [this] {
      if (target_ && page_) target_->OnCommand(BN_CLICKED, editId_ + 3);
    });
    check_->show();
    cx += 16;
  }
  if (d.labelWidth != 0) {
    label_ = new QLabel(QString::fromUtf8(d.label, strnlen(d.label, kFieldLabelChars)), page);
    // Drawn from the top-left corner of its rectangle, as a left-aligned dialog label is.
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setGeometry(GridRect(cx, d.y + 2, cx + d.labelWidth, d.y + 17));
    FitLabelText(label_);
    platform::SetItemId(label_, kLabelId);
    label_->show();
    cx += d.labelWidth + 2;
  }

  edit_ = new QLineEdit(page);
  edit_->setGeometry(GridRect(cx, d.y, cx + d.editWidth, d.y + 19));
  edit_->setFocusPolicy(Qt::StrongFocus);
  if (d.type != kFieldText) edit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  platform::SetItemId(edit_, editId_);
  // Typing, pasting, undo: every change the user makes reaches the page at once. ShowValue's
  // own writes are told by ShowValue, once, also when they leave the text as it was.
  QObject::connect(edit_, &QLineEdit::textChanged, edit_, [this] {
    if (!showing_) NotifyChange();
  });
  edit_->show();

  if (d.type != kFieldText) {
    spin_ = new SpinArrows(Qt::Vertical, page);
    spin_->setGeometry(GridRect(cx + d.editWidth + 1, d.y, cx + d.editWidth + 17, d.y + 19));
    platform::SetItemId(spin_, editId_ + 1);
    // The field's arrows are for the mouse only: Tab goes from edit box to edit box, and the
    // arrow keys stay with the edit box's caret.
    spin_->setFocusPolicy(Qt::NoFocus);
    QObject::connect(spin_, &SpinArrows::arrowClicked, spin_, [this](ArrowDirection direction) {
      if (target_ && page_) {
        target_->OnVScroll(SB_THUMBPOSITION, static_cast<int>(direction), editId_ + 1);
      }
    });
    spin_->show();
  }

  ShowValue();
}

QString CUDEdit::ValueText() const {
  const NumFieldDescriptor& d = *descriptor_;
  if (!d.value) return QString();
  switch (d.type) {
    case kFieldText: {
      const char* text = static_cast<const char*>(d.value);
      const std::string_view shown(text, strnlen(text, numfield::kShowChars + 1));
      return QString::fromUtf8(text, static_cast<qsizetype>(
                                         numfield::Utf8Prefix(shown, numfield::kShowChars)));
    }
    case kFieldInt:
      return QString::fromStdString(numfield::FormatInt(*static_cast<const std::int32_t*>(d.value)));
    default:
      return QString::fromStdString(numfield::FormatDecimal(
          *static_cast<const float*>(d.value), d.step, d.type == kFieldFloatWhole));
  }
}

void CUDEdit::NotifyChange() {
  if (target_ && page_) target_->OnCommand(EN_CHANGE, editId_);
}

void CUDEdit::ShowValue() {
  if (!descriptor_ || !edit_) return;
  const QString text = ValueText();
  showing_ = true;
  edit_->setText(text);
  showing_ = false;
  edit_->deselect();
  edit_->setCursorPosition(static_cast<int>(text.size()));
  NotifyChange();
}

int CUDEdit::ReadValue() {
  if (!descriptor_ || !edit_ || !descriptor_->value) return 0;
  const QByteArray typed = edit_->text().toUtf8();
  const std::string_view text(typed.constData(), static_cast<std::size_t>(typed.size()));
  switch (descriptor_->type) {
    case kFieldText: {
      const std::size_t n = numfield::Utf8Prefix(text, numfield::kReadChars);
      char* buffer = static_cast<char*>(descriptor_->value);
      std::memcpy(buffer, text.data(), n);
      buffer[n] = '\0';
      return 0;
    }
    case kFieldInt: {
      const std::int32_t v = numfield::ParseInt(text);
      auto* bound = static_cast<std::int32_t*>(descriptor_->value);
      if (v == *bound) return 0;
      *bound = v;
      return 1;
    }
    default: {
      const float v = numfield::ParseDecimal(text);
      auto* bound = static_cast<float*>(descriptor_->value);
      if (v == *bound) return 0;
      *bound = v;
      return 1;
    }
  }
}

int CUDEdit::Step(int direction, double stepOverride) {
  if (!descriptor_ || !edit_) return -1;
  const NumFieldDescriptor& d = *descriptor_;
  int result = -1;
  if (d.value && (d.type == kFieldInt || d.type == kFieldFloat)) {
    const QByteArray typed = edit_->text().toUtf8();
    const std::string_view text(typed.constData(), static_cast<std::size_t>(typed.size()));
    if (d.type == kFieldInt) {
      const auto stepped = numfield::StepInt(numfield::ParseInt(text), d.step, direction,
                                             LimitsOf(d));
      *static_cast<std::int32_t*>(d.value) = stepped.value;
      result = stepped.carry;
    } else {
      const auto stepped = numfield::StepDecimal(numfield::ParseDecimal(text), d.step,
                                                 stepOverride, direction, LimitsOf(d));
      *static_cast<float*>(d.value) = stepped.value;
      result = stepped.carry;
    }
  }
  ShowValue();
  return result;
}

void CUDEdit::Enable(int flag) {
  if (edit_) edit_->setEnabled(flag != 0);
  if (spin_) spin_->setEnabled(flag != 0);
}
