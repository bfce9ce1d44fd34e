#pragma once
// The program's one main window: the pair list at the bottom left, the "Main" page above it and
// the "Ground Map" page on the right. Its caption is the status line. Runs modally from start-up.

#include <QDialog>
#include <QRect>
#include <QTimer>
#include <cstdint>

#include "app/window_placement.h"
#include "params/app_params.h"
#include "ulib/ui/cu_list.h"

class QCloseEvent;
class QEvent;
class QKeyEvent;
class QResizeEvent;
class QShowEvent;
class QMoveEvent;
class CUSheet;
class CPageMain;
class CPageGmap;

// The pair list, bound to pairTable and layout "UR" by CUDlg::OnInitDialog. It lives for the
// whole process, its view only as long as the main dialog, which lets go of it when it goes.
extern CUList thePairList;

class CUDlg : public QDialog {
  Q_OBJECT

 public:
  // The window is built by OnInitDialog (DoModal runs it); pairTable and resultTable must exist
  // by then.
  explicit CUDlg(QWidget* parent);
  ~CUDlg() override;

  // Builds the window (OnInitDialog) and runs it until it is closed; the result is not used.
  int DoModal();

  // Publishes the dialog as the main dialog, binds the pair list, makes the two page holders
  // (the Main page's first) and restores the stored placement and show command.
  bool OnInitDialog();

  // The pair selection a select message of the pair list runs; ctrl: the Ctrl key was down.
  void OnPairSelect(bool ctrl);

  // The pages and holders, for tests and for the window link.
  CPageMain* mainPage() const { return mainPage_; }
  CPageGmap* gmapPage() const { return gmapPage_; }
  CUSheet* sheet(int index) const { return sheets_[index]; }

 public slots:
  // Escape: the main window stays open. It is closed through its close command only.
  void reject() override;

 protected:
  // The close command: stores the normal rectangle and the show command in AP, then ends.
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  void customEvent(QEvent* event) override;
  // There is no default button: Enter from a field ends nothing.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void StorePlacement();
  void RestorePlacement();
  // Follows the frame the window manager draws, which arrives some time after the window is
  // shown, and holds a normal window's outer rectangle to the drag limits.
  void FollowFrame();
  // The greatest drag size as a size hint while the window is normal, none otherwise.
  void FollowDragLimits();
  FrameMargins CurrentFrame() const;
  ScreenRect OuterRect() const;

  // The rectangle the window opened with. A window that opens maximised or minimised has never
  // had a normal rectangle of its own, and keeps this one until it is shown normal.
  ScreenRect openedRect_ = {};
  bool shownNormal_ = false;
  FrameMargins normalFrame_;  // the frame around the normal window, as last seen
  ScreenRect normalOuter_ = {};  // the normal window's outer rectangle, as last held
  QRect maximisedGeometry_;       // the client area while maximised, as last seen
  bool greatestHinted_ = false;  // the greatest drag size is the window's size hint
  // Looks at the frame again a little after each change: the window manager may tell it late.
  QTimer frameCheck_;
  CUSheet* sheets_[2] = {nullptr, nullptr};
  CPageMain* mainPage_ = nullptr;
  CPageGmap* gmapPage_ = nullptr;
};

// Sets the "*" of a pair row, repaints its line and copies the pair marks onto the results.
void SetPairMark(std::int32_t row, std::uint32_t value);
// Every live result's "*" := its pair's "*" (0 or 1); reloads the Main page's result list.
void SyncResultMarks();
