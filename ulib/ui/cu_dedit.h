#pragma once
// A labelled field for one numeric (or short text) setting: an optional check box, a label, an
// edit box and a spin arrow pair, laid out on a page from a static NumFieldDescriptor and bound
// to one global. The controls are children of the page, so their notifications go to the page
// (a CommandTarget), which calls back into the field: on EN_CHANGE ReadValue, on a spin click
// Step, after changing the global by other means ShowValue. A click on the check box reaches the
// page as BN_CLICKED; the box does not tick itself, the page shows what it decides.
//
// Ids: the edit box is base + 5 * index (controlId), the spin controlId + 1, the check box
// controlId + 3; each field owns a block of five ids. Grid units become pixels through
// gridScaleX and gridScaleY (GridToPixels). Numbers are written and read in the C locale.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <cstdint>

#include "ulib/ui/num_field_text.h"
#include "ulib/ui/spin_arrows.h"

class CommandTarget;

// Value types.
inline constexpr std::int32_t kFieldInt = 1;         // int32 variable, "%d"
inline constexpr std::int32_t kFieldFloat = 6;       // float variable, format by step
inline constexpr std::int32_t kFieldText = 8;        // char buffer, no spin
inline constexpr std::int32_t kFieldFloatWhole = 11; // float shown "%.0f", never stepped

// Limit modes: LimitNone, LimitClamp, LimitWrap (ulib/ui/num_field_text.h).

inline constexpr int kFieldLabelChars = 32;

// Static description of one field; every member is data except controlId, which
// CUDEdit::CreateControls writes.
struct NumFieldDescriptor {
  std::int32_t type;        // kFieldInt, kFieldFloat, kFieldFloatWhole, kFieldText
  std::int32_t editWidth;   // grid units
  std::int32_t x;           // left edge of the field, grid units
  std::int32_t y;           // top, grid units
  char label[kFieldLabelChars];
  std::int32_t carryIndex;  // field to step after this one wraps; -1 none
  std::int32_t index;       // the field's place in its page's array (not read by the field)
  void* value;              // std::int32_t*, float* or char*
  std::int32_t min;         // limits, compared as float for decimal fields
  std::int32_t max;
  double step;              // per spin click; 0 for a decimal field: the amount follows the value
  std::int32_t limitMode;   // LimitNone, LimitClamp, LimitWrap
  std::int32_t labelWidth;  // grid units; 0 = no label
  std::int32_t* checkFlag;  // non-null: a check box before the label, ticked when non-zero
  std::int32_t controlId;   // run time: the edit box's id
};

class CUDEdit {
 public:
  CUDEdit();
  ~CUDEdit();
  CUDEdit(const CUDEdit&) = delete;
  CUDEdit& operator=(const CUDEdit&) = delete;

  // Binds the descriptor, sets its controlId (base + 5 * index), creates and shows the controls
  // on the page (which must be a CommandTarget to hear them), then ShowValue.
  void CreateControls(QWidget* page, NumFieldDescriptor* descriptor, int baseId, int index);
  // Writes the bound value into the edit box. The page hears EN_CHANGE for it, also when the
  // text did not change.
  void ShowValue();
  // Parses the edit box's text (at most 15 characters) into the bound variable, with no limits.
  // A lone "-" in a decimal field is -1e-8; a text that begins with no number, or with one
  // outside the variable's range or not finite, reads as 0. 1 when the variable changed, else 0
  // (a text field never reports a change).
  int ReadValue();
  // One spin step from the edit box's text (read as ReadValue reads it): direction 0 up,
  // non-zero down; stepOverride > 0 replaces the step of a decimal field. An integer stops at
  // the int32 range before the limits apply. Stores, ShowValue. Returns the index of the field
  // to step next (a wrap's carry) or -1. Text fields and kFieldFloatWhole only show again.
  int Step(int direction, double stepOverride);
  // Enables or disables the edit box and the spin (label and check box unchanged).
  void Enable(int flag);

  // The field's state, for its page and for tests.
  const NumFieldDescriptor* descriptor() const { return descriptor_; }
  QLineEdit* edit() const { return edit_; }
  SpinArrows* spin() const { return spin_; }
  QLabel* labelControl() const { return label_; }
  QCheckBox* check() const { return check_; }

 private:
  // The bound value as the edit box shows it.
  QString ValueText() const;
  // Tells the page that the edit box's text changed.
  void NotifyChange();
  void DestroyControls();

  NumFieldDescriptor* descriptor_ = nullptr;
  QPointer<QWidget> page_;
  CommandTarget* target_ = nullptr;  // the page as a listener; null when it is none
  int editId_ = 0;                   // the edit box's id when the controls were made
  bool showing_ = false;             // ShowValue is writing the text and tells the page itself
  QPointer<QLabel> label_;
  QPointer<QLineEdit> edit_;
  QPointer<SpinArrows> spin_;
  QPointer<QCheckBox> check_;
};
