#pragma once
// "Change Pos": the clicks of a result's two records side by side, whose point numbers the user
// corrects in place; OK writes them back into the records. While it is open the map shows the
// two records' rays.

#include <QDialog>
#include <cstdint>

#include "ulib/ui/cu_list.h"

struct ObservationRecord;

class CChangDlg : public QDialog {
  Q_OBJECT

 public:
  // For the result row selectionState.selectedResult; the window is built by OnInitDialog when
  // it runs (DoModal).
  explicit CChangDlg(QWidget* parent);
  ~CChangDlg() override;

  // Runs the dialog modally; QDialog::Accepted after OK.
  int DoModal();

  CUList& clickList1() { return clickList1_; }
  CUList& clickList2() { return clickList2_; }

 private:
  CUList clickList1_;
  CUList clickList2_;
  std::int32_t pairRow_ = -1;
  ObservationRecord* record1_ = nullptr;
  ObservationRecord* record2_ = nullptr;
  std::int32_t click1_ = 0;
  std::int32_t click2_ = 0;
};
