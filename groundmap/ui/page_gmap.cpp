// Stand-in until the map page lands.
#include "groundmap/ui/page_gmap.h"

CPageGmap* theGmapPage = nullptr;

CPageGmap::CPageGmap(QWidget* parent) : QWidget(parent) { setWindowTitle("Ground Map"); }
CPageGmap::~CPageGmap() {
  if (theGmapPage == this) theGmapPage = nullptr;
}
bool CPageGmap::OnInitDialog() {
  theGmapPage = this;
  return true;
}
bool CPageGmap::OnSetActive() {
  initializing = 0;
  active = 1;
  return true;
}
bool CPageGmap::OnKillActive() {
  active = 0;
  return true;
}
void CPageGmap::OnCommand(int, int) {}
void CPageGmap::OnVScroll(int, int, int) {}
void CPageGmap::OnCenter() {}
void CPageGmap::OnBrowseMap() {}
void CPageGmap::OnSave() {}
void CPageGmap::OnText() {}
void CPageGmap::OnLine() {}
void CPageGmap::OnMonoChrome() {}
void CPageGmap::OnPan(int, int) {}
void CPageGmap::RepaintPicture() { update(); }
void CPageGmap::resizeEvent(QResizeEvent*) {}

void RedrawMapAndStatus() {}
