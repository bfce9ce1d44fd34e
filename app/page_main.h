#pragma once
// The "Main" page: folders, date range and pairing thresholds, the read and write commands, and
// the result list "UP".

#include <QWidget>
#include <cstdint>

#include "ulib/ui/cu_dedit.h"
#include "ulib/ui/cu_list.h"
#include "ulib/ui/page_commands.h"
#include "ulib/ui/sheet_page.h"

class QLineEdit;
class QRadioButton;

// Control ids of the page.
inline constexpr int kIdInDirEdit = 1165;
inline constexpr int kIdOutDirEdit = 1017;
inline constexpr int kIdBrowseInDir = 1121;
inline constexpr int kIdBrowseOutDir = 1122;
inline constexpr int kIdReadClicks = 1166;
inline constexpr int kIdWriteClicks = 1170;
inline constexpr int kIdWriteResults = 1171;
inline constexpr int kIdAll = 1020;
inline constexpr int kIdRange = 1021;
inline constexpr int kIdAllOn = 1172;
inline constexpr int kIdAllOff = 1173;

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
  QRadioButton* allButton() const { return allButton_; }
  QRadioButton* rangeButton() const { return rangeButton_; }
  CUDEdit& field(int i) { return fields_[i]; }
  std::int32_t updating() const { return updating_; }
  std::int32_t initialised() const { return initialised_; }
  std::int32_t active() const { return active_; }

 protected:
  void customEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FirstActivation();
  void OnResultSelect();
  void OnResultRightClick(std::intptr_t line);
  void MarkEveryListedPair(std::uint32_t value);
  void SetDatesToDataSpan();

  std::int32_t updating_ = 1;
  std::int32_t initialised_ = 0;
  std::int32_t active_ = 0;
  CUDEdit fields_[10];
  CUList resultList_;
  QRadioButton* allButton_ = nullptr;
  QRadioButton* rangeButton_ = nullptr;
  QLineEdit* inDirEdit_ = nullptr;   // 1165
  QLineEdit* outDirEdit_ = nullptr;  // 1017
  bool changingPos_ = false;         // Change Pos is open
};

// The page while it exists (set by OnInitDialog), else null.
extern CPageMain* theMainPage;
