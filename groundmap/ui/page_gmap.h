#pragma once
// The "Ground Map" page: the map picture with its labels, and the map's controls (base map
// chooser, zoom, pan, "center", "txt", "line", "mono chrome", "save"). Every change redraws at
// once. Zoom, offsets and options live in AP, the view in mapView.

#include <QWidget>
#include <cstdint>

#include "groundmap/map_renderer.h"
#include "ulib/ui/cu_dedit.h"
#include "ulib/ui/page_commands.h"
#include "ulib/ui/sheet_page.h"

class CPageGmap : public QWidget,
                  public groundmap::MapRenderer,
                  public SheetPage,
                  public CommandTarget {
  Q_OBJECT

 public:
  explicit CPageGmap(QWidget* parent = nullptr);
  ~CPageGmap() override;

  bool OnInitDialog() override;
  bool OnSetActive() override;
  bool OnKillActive() override;
  void OnCommand(int notifyCode, int controlId) override;
  void OnVScroll(int code, int position, int spinId) override;

  // "center": the view goes to the middle of what the last render drew (Render, not Redraw).
  void OnCenter();
  // The other commands, as their controls run them.
  void OnBrowseMap();
  void OnSave();
  void OnText();
  void OnLine();
  void OnMonoChrome();
  // A pan arrow: 1077 horizontal, 1078 vertical; direction 0 the right or up arrow.
  void OnPan(int controlId, int direction);

  std::int32_t initializing = 1;  // until the first activation; zoom edits are ignored meanwhile
  CUDEdit zoomEdit;

 protected:
  void RepaintPicture() override;
  void resizeEvent(QResizeEvent* event) override;
};

// The page while it exists (set by OnInitDialog), else null.
extern CPageGmap* theGmapPage;

// Redraws the map when the page is active, then writes the status line.
void RedrawMapAndStatus();
