// Stand-in until the Main page lands.
#include "app/page_main.h"

CPageMain* theMainPage = nullptr;

CPageMain::CPageMain(QWidget* parent) : QWidget(parent) { setWindowTitle("Main"); }
CPageMain::~CPageMain() {
  if (theMainPage == this) theMainPage = nullptr;
}
bool CPageMain::OnInitDialog() {
  theMainPage = this;
  updating_ = 0;
  return true;
}
bool CPageMain::OnSetActive() {
  active_ = 1;
  return true;
}
bool CPageMain::OnKillActive() {
  active_ = 0;
  return true;
}
void CPageMain::OnCommand(int, int) {}
void CPageMain::OnVScroll(int, int, int) {}
void CPageMain::RefreshControls() {}
void CPageMain::ShowRangeMode() {}
void CPageMain::OnReadClicks() {}
void CPageMain::OnWriteClicks() {}
void CPageMain::OnWriteResults() {}
void CPageMain::OnBrowseInDir() {}
void CPageMain::OnBrowseOutDir() {}
void CPageMain::OnAllOn() {}
void CPageMain::OnAllOff() {}
void CPageMain::OnAll() {}
void CPageMain::OnRange() {}
void CPageMain::customEvent(QEvent*) {}
void CPageMain::resizeEvent(QResizeEvent*) {}
