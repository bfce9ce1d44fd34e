// Stand-in until the main dialog lands.
#include "app/cu_dlg.h"

CUList thePairList;

CUDlg::CUDlg(QWidget* parent) : QDialog(parent) {}
CUDlg::~CUDlg() = default;

void SetPairMark(std::int32_t, std::uint32_t) {}
void SyncResultMarks() {}
