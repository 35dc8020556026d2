// The line view: a horizontal or vertical line chosen by its shape, drawn as its frame.
#include <QPainter>

#include "report/core/view.h"

namespace kelpo::report {

namespace {
enum : std::uint16_t { frLeft = 4, frTop = 8 };
}  // namespace

TfrLineView::TfrLineView() {
  typ = gtLine;
  baseName = "Line";
  frameTyp = frLeft;
  fillColor = 0xFFFFFF;
}

void TfrLineView::Paint(QPainter& canvas) {
  PrepareDrawing();
  const std::int32_t dx0 = dx, dy0 = dy;
  const std::uint16_t lines0 = frameTyp;
  // Flatter than high: a line along the top edge; otherwise along the left edge.
  if (dy < dx) {
    dy = 0;
    frameTyp = frTop;
  } else {
    dx = 0;
    frameTyp = frLeft;
  }
  ApplyScale();
  PaintFrame(canvas);
  RestoreGeometry();
  dx = dx0, dy = dy0, frameTyp = lines0;
}

}  // namespace kelpo::report
