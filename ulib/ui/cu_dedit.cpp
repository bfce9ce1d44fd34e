// Stand-in until the numeric field lands.
#include "ulib/ui/cu_dedit.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include "ulib/ui/spin_arrows.h"

CUDEdit::CUDEdit() = default;
CUDEdit::~CUDEdit() = default;
void CUDEdit::CreateControls(QWidget*, NumFieldDescriptor* descriptor, int baseId, int index) {
  descriptor_ = descriptor;
  descriptor->controlId = baseId + 5 * index;
}
void CUDEdit::ShowValue() {}
int CUDEdit::ReadValue() { return 0; }
int CUDEdit::Step(int, double) { return -1; }
void CUDEdit::Enable(int) {}
