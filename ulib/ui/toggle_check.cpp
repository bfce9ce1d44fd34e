#include "ulib/ui/toggle_check.h"

int ToggleCheck(QAbstractButton* button, std::int32_t* flag) {
  *flag = (*flag == 0) ? 1 : 0;
  if (button) button->setChecked(*flag != 0);
  return *flag;
}
