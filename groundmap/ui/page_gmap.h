#pragma once
// The "Ground Map" page: the map picture with its labels, and the map's controls (base map
// chooser, zoom, pan, "center", "txt", "line", "mono chrome", "save"). Every change redraws at
// once. Zoom, offsets and options live in AP, the view in mapView.

#include <QRect>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "groundmap/map_renderer.h"
#include "groundmap/ui/picture_size.h"
#include "ulib/ui/cu_dedit.h"
#include "ulib/ui/page_commands.h"
#include "ulib/ui/sheet_page.h"
#include "ulib/ui/spin_arrows.h"

class GmapPicture;
class QAbstractButton;
class QCheckBox;
class QLineEdit;

// Control ids of the page; the zoom field's edit box is 2401 and its spin 2402.
inline constexpr int kIdGmapSave = 1073;
inline constexpr int kIdGmapBrowse = 1075;
inline constexpr int kIdGmapMapName = 1076;
inline constexpr int kIdGmapPanH = 1077;
inline constexpr int kIdGmapPanV = 1078;
inline constexpr int kIdGmapMono = 1094;
inline constexpr int kIdGmapText = 1098;
inline constexpr int kIdGmapLine = 1099;
inline constexpr int kIdGmapCenter = 1121;
inline constexpr int kIdGmapPicture = 1071;
inline constexpr int kIdGmapZoomBase = 2401;

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
  // A pan arrow: 1077 horizontal, 1078 vertical.
  void OnPan(int controlId, ArrowDirection direction);

  // Sizes the picture again when the window's frame has changed since its last size event (the
  // window manager may tell the frame of a maximised window only after its size); redraws only
  // then.
  void RefitToFrame();

  std::int32_t initializing = 1;  // until the first activation; zoom edits are ignored meanwhile
  CUDEdit zoomEdit;

 protected:
  void RepaintPicture() override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  PictureSize FittedSize() const;
  QAbstractButton* AddButton(int id, const char* text, const QRect& place, bool check);
  void ShowMapName();
  // Notes where the controls right of the map-name box were made, once the zoom field exists.
  void KeepHeaderPlaces();
  // Moves those controls left, and "save" to the second row, as far as the page's width needs.
  void PlaceHeader();

  struct HeaderPlace {
    QWidget* control;
    QRect place;  // where it was made
  };
  std::vector<HeaderPlace> headerPlaces_;
  int nameWidth_ = 0;  // the map-name box's width as made
  QAbstractButton* save_ = nullptr;
  QAbstractButton* center_ = nullptr;

  QLineEdit* mapName_ = nullptr;
  SpinArrows* panH_ = nullptr;
  SpinArrows* panV_ = nullptr;
  QCheckBox* textCheck_ = nullptr;
  QCheckBox* lineCheck_ = nullptr;
  QCheckBox* monoCheck_ = nullptr;
  GmapPicture* picture_ = nullptr;
};

// The page while it exists (set by OnInitDialog), else null.
extern CPageGmap* theGmapPage;

// Redraws the map when the page is active, then writes the status line.
void RedrawMapAndStatus();
