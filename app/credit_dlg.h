#pragma once
// The splash shown while start-up reads the settings and loads the ground map: a small window
// without caption, made and shown by its constructor, gone (and deleted) once OnCancel ran.

#include <QDialog>

inline constexpr int kCreditVersionItem = 1069;
inline constexpr int kCreditStarMapItem = 1070;
inline constexpr int kCreditGroundMapItem = 1071;
inline constexpr int kCreditLineItem = 1072;

class CCreditDlg : public QDialog {
  Q_OBJECT

 public:
  // Creates and shows the window, unowned; create with new, it deletes itself.
  explicit CCreditDlg(QWidget* parent);
  // Destroys the window; the object is deleted with it.
  void OnCancel();
};
