#pragma once
// The program's one main window: the pair list at the bottom left, the "Main" page above it and
// the "Ground Map" page on the right. Its caption is the status line. Runs modally from start-up.

#include <QDialog>
#include <cstdint>

#include "ulib/ui/cu_list.h"

class CUSheet;
class CPageMain;
class CPageGmap;

// The pair list, bound to pairTable and layout "UR" by CUDlg::OnInitDialog.
extern CUList thePairList;

class CUDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CUDlg(QWidget* parent);
  ~CUDlg() override;

  // The pages and holders, for tests and for the window link.
  CPageMain* mainPage() const { return mainPage_; }
  CPageGmap* gmapPage() const { return gmapPage_; }
  CUSheet* sheet(int index) const { return sheets_[index]; }

 private:
  CUSheet* sheets_[2] = {nullptr, nullptr};
  CPageMain* mainPage_ = nullptr;
  CPageGmap* gmapPage_ = nullptr;
};

// Sets the "*" of a pair row, repaints its line and copies the pair marks onto the results.
void SetPairMark(std::int32_t row, std::uint32_t value);
// Every live result's "*" := its pair's "*" (0 or 1); reloads the Main page's result list.
void SyncResultMarks();
