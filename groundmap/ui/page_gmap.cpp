#include "groundmap/ui/page_gmap.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/output_name_prefix.h"
#include "analysis/window_link.h"
#include "params/app_dirs.h"
#include "params/app_params.h"
#include "groundmap/map_file_loader.h"
#include "groundmap/map_image.h"
#include "groundmap/map_projection.h"
#include "groundmap/map_view.h"
#include "groundmap/ui/header_fit.h"
#include "groundmap/ui/image_kind.h"
#include "groundmap/ui/map_picture.h"
#include "groundmap/ui/picture_size.h"
#include "platform/platform.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/window_frame.h"
#include "ulib/choosers.h"
#include "ulib/image_writers.h"
#include "ulib/messages.h"
#include "ulib/ui/spin_arrows.h"
#include "ulib/ui/toggle_check.h"

CPageGmap* theGmapPage = nullptr;

namespace {

constexpr int kPathChars = 1024;  // the choosers' path buffers
constexpr double kZoomSpinStep = 0.5;

// "zm": picture pixels per 10 map pixels.
NumFieldDescriptor zoomField = {kFieldFloat, 30, 218, 0, "zm", -1, 0, &AP.g_zoom, 1, 100,
                                kZoomSpinStep, LimitClamp, 20, nullptr, 0};

// Both choosers' filters: shown text, then patterns, ended by an empty text.
constexpr char kMapFilter[] = "*.DAT\0*.DAT;*.dat\0";
constexpr char kImageFilter[] = "BMP(*.bmp)\0*.bmp\0";

// folder + "/" + name when it fits the path buffer, else the bare name: a proposal cut short
// would point the chooser at a folder that does not exist.
void ProposePath(char* buffer, const char* folder, const std::string& name) {
  const int written = std::snprintf(buffer, kPathChars, "%s/%s", folder, name.c_str());
  if (written < 0 || written >= kPathChars) {
    std::snprintf(buffer, kPathChars, "%s", name.c_str());
  }
}

QString Text(const char* text) { return QString::fromLocal8Bit(text); }

}  // namespace

CPageGmap::CPageGmap(QWidget* parent) : QWidget(parent) {
  setWindowTitle("Ground Map");
  // The template's controls, in dialog units of the application font.
  using platform::DialogUnitsToPixels;
  auto* baseMap = new QLabel("base map", this);
  // Up to the edit box rather than the template's 31 units: the text is a little wider in the
  // fonts here, and the gap is the label's to take.
  baseMap->setGeometry(DialogUnitsToPixels(1, 2, 33, 8));

  mapName_ = new QLineEdit(this);
  mapName_->setReadOnly(true);
  mapName_->setGeometry(DialogUnitsToPixels(34, 0, 74, 12));
  platform::SetItemId(mapName_, kIdGmapMapName);

  AddButton(kIdGmapBrowse, "...", DialogUnitsToPixels(108, 0, 12, 12), false);

  panH_ = new SpinArrows(Qt::Horizontal, this);
  panH_->setGeometry(DialogUnitsToPixels(166, 0, 26, 12));
  platform::SetItemId(panH_, kIdGmapPanH);
  connect(panH_, &SpinArrows::arrowClicked, this,
          [this](ArrowDirection direction) { OnPan(kIdGmapPanH, direction); });
  panV_ = new SpinArrows(Qt::Vertical, this);
  panV_->setGeometry(DialogUnitsToPixels(194, 0, 11, 26));
  platform::SetItemId(panV_, kIdGmapPanV);
  connect(panV_, &SpinArrows::arrowClicked, this,
          [this](ArrowDirection direction) { OnPan(kIdGmapPanV, direction); });

  save_ = AddButton(kIdGmapSave, "save", DialogUnitsToPixels(236, 0, 25, 13), false);
  textCheck_ = static_cast<QCheckBox*>(
      AddButton(kIdGmapText, "txt", DialogUnitsToPixels(34, 15, 23, 10), true));
  lineCheck_ = static_cast<QCheckBox*>(
      AddButton(kIdGmapLine, "line", DialogUnitsToPixels(64, 15, 23, 10), true));
  monoCheck_ = static_cast<QCheckBox*>(
      AddButton(kIdGmapMono, "mono chrome", DialogUnitsToPixels(93, 15, 55, 10), true));
  center_ = AddButton(kIdGmapCenter, "center", DialogUnitsToPixels(166, 14, 25, 13), false);

  picture_ = new GmapPicture(this, this);
  picture_->setGeometry(DialogUnitsToPixels(0, 28, 257, 104));
  platform::SetItemId(picture_, kIdGmapPicture);
}

CPageGmap::~CPageGmap() {
  if (theGmapPage == this) theGmapPage = nullptr;
}

QAbstractButton* CPageGmap::AddButton(int id, const char* text, const QRect& place, bool check) {
  QAbstractButton* button = nullptr;
  if (check) {
    button = new QCheckBox(Text(text), this);
  } else {
    button = new QPushButton(Text(text), this);
  }
  button->setGeometry(place);
  if (check) {
    // A box whose text is a little wider in the fonts here takes some of the gap to its right,
    // which is at least 5 units on both rows.
    const int most = place.width() + platform::DialogUnitsToPixels(0, 0, 4, 0).width();
    button->resize(std::clamp(button->sizeHint().width(), place.width(), most), place.height());
  }
  platform::SetItemId(button, id);
  connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(BN_CLICKED, id); });
  return button;
}

bool CPageGmap::OnInitDialog() {
  theGmapPage = this;
  // Its first display comes back as an edit change, which initializing keeps from redrawing.
  zoomEdit.CreateControls(this, &zoomField, kIdGmapZoomBase, 0);
  ShowMapName();
  textCheck_->setChecked(AP.g_text != 0);
  lineCheck_->setChecked(AP.g_line != 0);
  monoCheck_->setChecked(AP.bw != 0);
  KeepHeaderPlaces();
  PlaceHeader();
  return true;
}

void CPageGmap::ShowMapName() {
  mapName_->setText(Text(AP.g_map));
  // From its first letter, as a box too narrow for the whole name shows it.
  mapName_->setCursorPosition(0);
}

void CPageGmap::KeepHeaderPlaces() {
  headerPlaces_.clear();
  // The controls of the two rows right of the map-name box, the zoom field's among them.
  const int from = mapName_->geometry().right() + 1;
  for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const QRect place = control->geometry();
    if (control != picture_ && place.left() >= from && place.top() < picture_->y()) {
      headerPlaces_.push_back({control, place});
    }
  }
  nameWidth_ = mapName_->width();
}

void CPageGmap::PlaceHeader() {
  if (headerPlaces_.empty()) return;
  int keptRight = 0;
  int saveRight = 0;
  int centerLeft = 0;
  for (const HeaderPlace& kept : headerPlaces_) {
    const int right = kept.place.left() + kept.place.width();
    if (kept.control == panV_) keptRight = right;
    if (kept.control == save_) saveRight = right;
    if (kept.control == center_) centerLeft = kept.place.left();
  }
  // "center" keeps a gap of 2 pixels to "mono chrome", which stays.
  const int secondRowGap = centerLeft - (monoCheck_->x() + monoCheck_->width()) - 2;
  const GmapHeaderFit fit =
      FitGmapHeader(width(), keptRight, saveRight, nameWidth_, secondRowGap);
  mapName_->resize(nameWidth_ - fit.shift, mapName_->height());
  for (const HeaderPlace& kept : headerPlaces_) {
    kept.control->setGeometry(kept.place.translated(-fit.shift, 0));
  }
  // Under "base map", left of "txt": the one free place of the second row.
  if (fit.saveWrapped) save_->setGeometry(platform::DialogUnitsToPixels(1, 14, 25, 13));
}

bool CPageGmap::OnSetActive() {
  initializing = 0;
  active = 1;
  Redraw();
  return true;
}

bool CPageGmap::OnKillActive() {
  active = 0;
  return true;
}

void CPageGmap::OnCommand(int notifyCode, int controlId) {
  if (notifyCode == EN_CHANGE) {
    if (initializing == 0 && controlId >= kIdGmapZoomBase && controlId <= kIdGmapZoomBase + 4) {
      // The value as typed, limits or not; a zoom of 0 or less is left to Redraw to skip.
      zoomEdit.ReadValue();
      Redraw();
    }
    return;
  }
  if (notifyCode != BN_CLICKED) return;
  switch (controlId) {
    case kIdGmapSave: OnSave(); break;
    case kIdGmapBrowse: OnBrowseMap(); break;
    case kIdGmapText: OnText(); break;
    case kIdGmapCenter: OnCenter(); break;
    case kIdGmapMono: OnMonoChrome(); break;
    case kIdGmapLine: OnLine(); break;
    default: break;
  }
}

void CPageGmap::OnVScroll(int code, int position, int spinId) {
  const NumFieldDescriptor* field = zoomEdit.descriptor();
  // The step writes the new value into the edit box, whose change then redraws.
  if (code == SB_THUMBPOSITION && field != nullptr && spinId == field->controlId + 1) {
    zoomEdit.Step(position, kZoomSpinStep);
  }
}

void CPageGmap::OnPan(int controlId, ArrowDirection direction) {
  // A tenth of the picture's map pixels per picture pixel: 1 / zoom degree on the shipped map.
  const double d = groundmap::mapView.mapPerScreen / 10.0;
  const double step = direction == ArrowDirection::kUpOrRight ? d : -d;
  if (controlId == kIdGmapPanH) {
    AP.g_ofh = static_cast<float>(static_cast<double>(AP.g_ofh) + step);
  } else if (controlId == kIdGmapPanV) {
    AP.g_ofv = static_cast<float>(static_cast<double>(AP.g_ofv) + step);
  } else {
    return;
  }
  Redraw();
}

void CPageGmap::OnCenter() {
  groundmap::MapView& view = groundmap::mapView;
  view.viewCentreLon = (view.minLon + view.maxLon) * 0.5;
  view.viewCentreLat = (view.minLat + view.maxLat) * 0.5;
  AP.g_ofh = static_cast<float>(view.viewCentreLon - groundmap::mapProjection.centreLon);
  AP.g_ofv = static_cast<float>(view.viewCentreLat - groundmap::mapProjection.centreLat);
  // At the scale of the last redraw.
  Render();
}

void CPageGmap::OnBrowseMap() {
  char path[kPathChars];
  char name[kPathChars];
  ProposePath(path, startDir, "*.DAT");
  name[0] = '\0';
  if (!ChooseFile("Base Ground Map", kMapFilter, "DAT", path, name, kPathChars, 'r')) return;

  // Start-up finds a bare name in startDir; a map from anywhere else is kept by its full path.
  const std::string stored = groundmap::GroundMapName(startDir, path);
  if (stored.size() >= sizeof AP.g_map) {
    ReportError("GroundMap path longer than %d characters %s",
                static_cast<int>(sizeof AP.g_map) - 1, path);
    return;
  }
  // A failed load has told the user why and keeps the shown map, and so the setting too: a name
  // that does not load would stop the next start.
  if (groundmap::LoadGroundMap(path)) {
    std::snprintf(AP.g_map, sizeof AP.g_map, "%s", stored.c_str());
    ShowMapName();
  }
  AP.g_ofh = 0.0f;
  AP.g_ofv = 0.0f;
  Redraw();
}

void CPageGmap::OnSave() {
  char file[kPathChars];
  char name[kPathChars];
  ProposePath(file, AP.outdir, std::string("B") + GetOutputNamePrefix() + "GMAP.bmp");
  name[0] = '\0';
  if (!ChooseFile("Save Image", kImageFilter, "bmp", file, name, kPathChars, 'w')) return;

  const SavedImageKind kind = SavedImageKindOf(name);
  if (kind == SavedImageKind::kNone) {
    ReportError("Cannot save image %s: the name must end in .bmp, .jpg or .jpeg", file);
    return;
  }
  platform::WaitCursor wait;
  // The labels go into a copy: the drawing image stays as the last render left it, so that "txt"
  // off still shows it without them.
  const int width = groundmap::mapImage.header.biWidth;
  const int height = groundmap::mapImage.header.biHeight;
  const std::vector<std::uint8_t> pixels =
      ComposeMapPicture(labels, labelCount, AP.g_text != 0, AP.bw != 0, picture_->font());
  const std::uint8_t* data = pixels.empty() ? groundmap::mapImage.pixels : pixels.data();
  // The writers tell the user of their own failures, a size that is no picture included.
  if (kind == SavedImageKind::kBmp) {
    WriteBmp24(file, data, width, height);
  } else {
    SaveImageAs(file, data, width, height);
  }
}

void CPageGmap::OnText() {
  ToggleCheck(textCheck_, &AP.g_text);
  // The labels are painted over the image, so the image need not be drawn again.
  picture_->update();
}

void CPageGmap::OnLine() {
  ToggleCheck(lineCheck_, &AP.g_line);
  RedrawMapAndStatus();
}

void CPageGmap::OnMonoChrome() {
  ToggleCheck(monoCheck_, &AP.bw);
  RedrawMapAndStatus();
}

void CPageGmap::RepaintPicture() {
  if (picture_) picture_->update();
}

void CPageGmap::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!picture_) return;
  PlaceHeader();
  const PictureSize size = FittedSize();
  W = size.W;
  H = size.H;
  picture_->resize(W, H);
  Redraw();
}

void CPageGmap::RefitToFrame() {
  if (!picture_) return;
  const PictureSize size = FittedSize();
  if (size.W == W && size.H == H) return;
  W = size.W;
  H = size.H;
  picture_->resize(W, H);
  Redraw();
}

PictureSize CPageGmap::FittedSize() const {
  // The picture reaches toward the main window's outer edges, wherever the page sits in it.
  // Measured from the frame's own corner, so that where the window is on the screen, and when
  // the window manager tells it, does not matter.
  const QWidget* top = window();
  const QMargins frame = WindowFrameMargins(top);
  const QSize outer = top->size().grownBy(frame);
  const QPoint corner = QPoint(frame.left(), frame.top()) + picture_->mapTo(top, QPoint(0, 0));
  return GmapPictureSize(outer.width(), outer.height(), corner.x(), corner.y());
}

void RedrawMapAndStatus() {
  if (theGmapPage != nullptr && theGmapPage->active) theGmapPage->Redraw();
  analysis::Windows().UpdateStatusLine();
}
