#pragma once
// The "Main" page: folders, date range and pairing thresholds, the read and write commands, and
// the result list "UP".

#include <QWidget>
#include <cstdint>

#include "ulib/ui/cu_dedit.h"
#include "ulib/ui/cu_list.h"
#include "ulib/ui/page_commands.h"
#include "ulib/ui/sheet_page.h"

class QRadioButton;

class CPageMain : public QWidget, public SheetPage, public CommandTarget {
  Q_OBJECT

 public:
  explicit CPageMain(QWidget* parent = nullptr);
  ~CPageMain() override;

  bool OnInitDialog() override;
  bool OnSetActive() override;
  bool OnKillActive() override;
  void OnCommand(int notifyCode, int controlId) override;
  void OnVScroll(int code, int position, int spinId) override;

  // Every field shows its value, the result list reloads, radios and folders follow AP.
  void RefreshControls();
  void ShowRangeMode();

  // The commands, as their buttons run them.
  void OnReadClicks();
  void OnWriteClicks();
  void OnWriteResults();
  void OnBrowseInDir();
  void OnBrowseOutDir();
  void OnAllOn();
  void OnAllOff();
  void OnAll();
  void OnRange();

  CUList& resultList() { return resultList_; }
  CUDEdit& field(int i) { return fields_[i]; }
  std::int32_t updating() const { return updating_; }
  std::int32_t initialised() const { return initialised_; }
  std::int32_t active() const { return active_; }

 protected:
  void customEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::int32_t updating_ = 1;
  std::int32_t initialised_ = 0;
  std::int32_t active_ = 0;
  CUDEdit fields_[10];
  CUList resultList_;
  QRadioButton* allButton_ = nullptr;
  QRadioButton* rangeButton_ = nullptr;
};

// The page while it exists (set by OnInitDialog), else null.
extern CPageMain* theMainPage;
