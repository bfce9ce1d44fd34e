// Stand-in until the spin arrows land.
#include "ulib/ui/spin_arrows.h"

SpinArrows::SpinArrows(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {}
void SpinArrows::Click(int direction) { emit arrowClicked(direction); }
void SpinArrows::paintEvent(QPaintEvent*) {}
void SpinArrows::mousePressEvent(QMouseEvent*) {}
void SpinArrows::keyPressEvent(QKeyEvent*) {}
