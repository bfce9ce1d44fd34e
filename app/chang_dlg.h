#pragma once
// "Change Pos": the clicks of a result's two records side by side, whose point numbers the user
// corrects in place; OK writes them back into the records. While it is open the map shows the
// two records' rays, with the click selected in each list highlighted.

#include <QDialog>
#include <cstdint>

#include "ulib/ui/cu_list.h"

struct ObservationRecord;

// Items of the window, by their ids.
inline constexpr int kChangPairItem = 1199;  // "#%d  %s": the pair's number and local time
inline constexpr int kChangId1Item = 1200;   // "ID1= %s %s": station 1's id and sub id
inline constexpr int kChangId2Item = 1201;   // "ID2= %s %s": station 2's

class CChangDlg : public QDialog {
  Q_OBJECT

 public:
  // For the result row selectionState.selectedResult; the window is built by OnInitDialog when
  // it runs (DoModal).
  explicit CChangDlg(QWidget* parent);
  ~CChangDlg() override;

  // Runs the dialog modally, over the main dialog when there is one and no parent was given;
  // QDialog::Accepted after OK.
  int DoModal();

  CUList& clickList1() { return clickList1_; }
  CUList& clickList2() { return clickList2_; }
  std::int32_t pairRow() const { return pairRow_; }
  ObservationRecord* record1() const { return record1_; }
  ObservationRecord* record2() const { return record2_; }
  std::int32_t click1() const { return click1_; }
  std::int32_t click2() const { return click2_; }

  // OK (the button or Enter): an edit still open is stored first, then every click's pos goes
  // back into its record.
  void accept() override;
  // Every way of closing ends here: both click tables are emptied and the map leaves the pair
  // view. Nothing is written back.
  void done(int result) override;

 protected:
  void customEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  bool OnInitDialog();
  void BuildWindow();
  // The list's selected line moved: its row (the click) becomes the station's highlight.
  void FollowSelection(CUList& list, std::int32_t* highlight);
  // Empties both click tables and leaves the pair view, once per opening.
  void CloseOut();

  CUList clickList1_;
  CUList clickList2_;
  std::int32_t pairRow_ = -1;
  ObservationRecord* record1_ = nullptr;
  ObservationRecord* record2_ = nullptr;
  std::int32_t click1_ = 0;
  std::int32_t click2_ = 0;
  bool open_ = false;  // the click tables hold this opening's clicks
  bool shiftWhenShown_ = false;
};
