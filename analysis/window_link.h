#pragma once
// What the analysis asks of the windows, and nothing more: the analysis links no Qt, and the
// application installs the real link when its main dialog exists. Until then (and in tests that
// install none) every call does nothing.

namespace analysis {

class WindowLink {
 public:
  virtual ~WindowLink() = default;
  // Empties the pair and result lists (which empties their tables).
  virtual void ClearResultLists() {}
  // Reloads the pair and result lists from their tables.
  virtual void ReloadResultLists() {}
  // Redraws the ground map when its page is active (the view stays where it is; only the read
  // command re-centres it) and writes the status line.
  virtual void RedrawMapAndStatus() {}
  // Writes the status line (the main window's caption) from the current counts.
  virtual void UpdateStatusLine() {}
};

// The link in use; a link that does nothing until one is installed.
WindowLink& Windows();
// Installs a link (not owned); null restores the one that does nothing. Returns the previous.
WindowLink* InstallWindowLink(WindowLink* link);

}  // namespace analysis
