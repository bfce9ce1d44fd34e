#pragma once
// A page of a CUSheet. The sheet initialises a page the first time it shows it (OnInitDialog,
// then OnSetActive) and tells the page when it stops (OnKillActive) or becomes again (OnSetActive)
// the shown page. Pages that are plain widgets get no calls.

class SheetPage {
 public:
  virtual ~SheetPage() = default;
  // Once, when the sheet first shows the page; the page's controls are made here.
  virtual bool OnInitDialog() = 0;
  // The page becomes the sheet's shown page.
  virtual bool OnSetActive() = 0;
  // The page stops being the shown page.
  virtual bool OnKillActive() = 0;
};
