#pragma once
// What the analysis asks of the windows, answered by the main dialog's lists, the map page and
// the caption. Installed while the main dialog runs (and by window tests).

#include "analysis/window_link.h"

class AppWindowLink final : public analysis::WindowLink {
 public:
  void ClearResultLists() override;
  void ReloadResultLists() override;
  void RedrawMapAndStatus() override;
  void UpdateStatusLine() override;
};

// Installs an AppWindowLink for the life of the object and restores the previous link after.
class ScopedAppWindowLink {
 public:
  ScopedAppWindowLink();
  ~ScopedAppWindowLink();
  ScopedAppWindowLink(const ScopedAppWindowLink&) = delete;
  ScopedAppWindowLink& operator=(const ScopedAppWindowLink&) = delete;

 private:
  AppWindowLink link_;
  analysis::WindowLink* previous_;
};
