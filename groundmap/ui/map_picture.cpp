#include "groundmap/ui/map_picture.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cstring>

#include "groundmap/map_image.h"
#include "groundmap/map_renderer.h"
#include "params/app_params.h"
#include "platform/qt/qt_platform.h"

namespace {

bool HeaderSizeValid() {
  const groundmap::ImageHeader& header = groundmap::mapImage.header;
  return header.biWidth > 0 && header.biWidth <= groundmap::kMaxImageWidth &&
         header.biHeight > 0 && header.biHeight <= groundmap::kMaxImageHeight;
}

QColor LabelColour(std::uint32_t colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

}  // namespace

void PaintMapPicture(QPainter& painter, const groundmap::MapLabel* labels, int count,
                     bool withLabels, bool monoChrome) {
  if (HeaderSizeValid()) {
    const groundmap::ImageHeader& header = groundmap::mapImage.header;
    painter.drawImage(0, 0,
                      platform::ImageFromBgrBottomUp(groundmap::mapImage.pixels, header.biWidth,
                                                     header.biHeight));
  }
  if (!withLabels || labels == nullptr) return;
  // The labels' y is the top of the text, where the painter wants the baseline.
  const int ascent = QFontMetrics(painter.font()).ascent();
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setPen(Qt::black);
  for (int i = 0; i < count && i < groundmap::kMaxMapLabels; ++i) {
    const groundmap::MapLabel& label = labels[i];
    if (!monoChrome) painter.setPen(LabelColour(label.color));
    painter.drawText(label.x, label.y + ascent, QString::fromLocal8Bit(label.text));
  }
}

std::vector<std::uint8_t> ComposeMapPicture(const groundmap::MapLabel* labels, int count,
                                            bool withLabels, bool monoChrome, const QFont& font) {
  if (!HeaderSizeValid()) return {};
  const int width = groundmap::mapImage.header.biWidth;
  const int height = groundmap::mapImage.header.biHeight;
  QImage canvas(width, height, QImage::Format_RGB32);
  {
    QPainter painter(&canvas);
    painter.setFont(font);
    PaintMapPicture(painter, labels, count, withLabels, monoChrome);
  }
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    const auto* source = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
    std::uint8_t* target = pixels.data() + static_cast<std::size_t>(height - 1 - y) * width * 3;
    for (int x = 0; x < width; ++x) {
      target[3 * x + 0] = static_cast<std::uint8_t>(qBlue(source[x]));
      target[3 * x + 1] = static_cast<std::uint8_t>(qGreen(source[x]));
      target[3 * x + 2] = static_cast<std::uint8_t>(qRed(source[x]));
    }
  }
  return pixels;
}

GmapPicture::GmapPicture(const groundmap::MapRenderer* renderer, QWidget* parent)
    : QWidget(parent), renderer_(renderer) {
  // Where the picture is larger than the last image, the page's background shows.
  setAutoFillBackground(true);
}

void GmapPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // On a screen of another scale each picture pixel becomes a block of screen pixels: smoothed,
  // the one-pixel grid lines and coasts would blur.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  PaintMapPicture(painter, renderer_->labels, renderer_->labelCount, AP.g_text != 0, AP.bw != 0);
}
