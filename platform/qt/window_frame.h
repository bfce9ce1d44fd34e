#pragma once
// The frame the window manager draws around a top-level window, as it reports it now.
//
// Taken from the window's own margins, not from the difference of two screen positions: while
// the window manager moves a window (as when it maximises it), the frame's position and the
// client area's can be reported from different moments.

#include <QMargins>

class QWidget;

// The frame around the window that holds widget, in pixels on each side; none (all 0) before the
// window manager has framed the window, or where there is no window manager.
QMargins WindowFrameMargins(const QWidget* widget);
