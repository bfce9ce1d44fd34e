#pragma once
// The map picture of the "Ground Map" page: the drawing image as the last render left it and,
// when "AP.g_text" is set, the render's text labels over it. The same painting makes the screen
// and the saved file, so a saved map shows what the page shows.

#include <QWidget>
#include <cstdint>
#include <vector>

#include "groundmap/map_label.h"

class QFont;
class QPainter;

namespace groundmap {
class MapRenderer;
}

// Paints mapImage at its header's size with its top-left corner at the painter's origin, then,
// with withLabels, labels[0 .. count) on it: each text's top-left corner at the label's (x, y),
// no background, in the label's colour (0x00BBGGRR), or every one black with monoChrome.
void PaintMapPicture(QPainter& painter, const groundmap::MapLabel* labels, int count,
                     bool withLabels, bool monoChrome);

// The drawing image at its header's size with the labels painted in (as PaintMapPicture, in
// font), as 24-bit B, G, R pixels with rows bottom-up, like the image itself. mapImage is left
// as it is. Empty when the header's size is not a valid picture size.
std::vector<std::uint8_t> ComposeMapPicture(const groundmap::MapLabel* labels, int count,
                                            bool withLabels, bool monoChrome, const QFont& font);

// The picture control: paints through PaintMapPicture with the renderer's labels and the
// settings "AP.g_text" and "AP.bw" as they are when it paints.
class GmapPicture : public QWidget {
  Q_OBJECT

 public:
  GmapPicture(const groundmap::MapRenderer* renderer, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const groundmap::MapRenderer* renderer_;
};
