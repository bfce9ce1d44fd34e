// Stand-in until the splash lands.
#include "app/credit_dlg.h"

CCreditDlg::CCreditDlg(QWidget* parent) : QDialog(parent) {}
void CCreditDlg::OnCancel() {}
