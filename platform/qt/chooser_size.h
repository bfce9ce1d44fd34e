#pragma once
// The size the file and folder choosers open at: Qt's own default is so small that the name,
// size, type and date columns are cut ("127…KiB"), so they open large enough to read each
// column whole, and never larger than the screen they open on.

#include <QRect>
#include <QSize>

#include "platform/qt/dialog_units.h"

namespace platform {

// available: the screen's available geometry; units: the application font's base units.
QSize ChooserSize(const QRect& available, DialogBaseUnits units);

}  // namespace platform
