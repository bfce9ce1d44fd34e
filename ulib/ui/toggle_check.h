#pragma once

#include <QAbstractButton>
#include <cstdint>

// Flips flag between 0 and 1 (any non-zero counts as 1), shows it on the button, and returns
// the new flag.
int ToggleCheck(QAbstractButton* button, std::int32_t* flag);
