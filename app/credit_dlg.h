#pragma once
// The splash shown while start-up reads the settings and loads the ground map: a small window
// without caption, made and shown by its constructor, gone (and deleted) once OnCancel ran.

#include <QDialog>

class QPaintEvent;

inline constexpr int kCreditVersionItem = 1069;
inline constexpr int kCreditStarMapItem = 1070;
inline constexpr int kCreditGroundMapItem = 1071;
inline constexpr int kCreditLineItem = 1072;

// What the splash says of the program on item 1072.
inline constexpr const char* kCreditLine = "Triangulation of meteor observations";

class CCreditDlg : public QDialog {
  Q_OBJECT

 public:
  // Creates and shows the window, unowned; create with new, it deletes itself.
  explicit CCreditDlg(QWidget* parent);
  // Destroys the window; the object is deleted with it. Nothing may use it afterwards.
  void OnCancel();
  // Paints the window now, with the texts it holds, so that they are seen before a long step
  // that runs no event loop.
  void PaintNow();

 public slots:
  // Only start-up closes the splash: Escape and the window manager's close leave it up.
  void reject() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};
