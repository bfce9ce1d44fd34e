#pragma once

class QWidget;

// Makes the window the owner of the program's boxes and choosers and the target of the status
// line until it closes (a dialog that finished) or is destroyed: then MainDialog is cleared, so
// later boxes have no owner.
void BindMainDialog(QWidget* window);
