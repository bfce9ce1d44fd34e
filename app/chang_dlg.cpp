// Stand-in until Change Pos lands.
#include "app/chang_dlg.h"

CChangDlg::CChangDlg(QWidget* parent) : QDialog(parent) {}
CChangDlg::~CChangDlg() = default;
int CChangDlg::DoModal() { return QDialog::Rejected; }
