// The sub-report view: the frame a band prints another template page in. It has a record of
// its own in templates but is never output: the band plays the page it names instead.
#include <QFont>
#include <QPainter>

#include "platform/text.h"
#include "report/core/view.h"
#include "report/core/view_painting.h"

namespace kelpo::report {

TfrSubReportView::TfrSubReportView() {
  typ = gtSubReport;
  baseName = "SubReport";
}

void TfrSubReportView::loadFromStream(TfrReader& r, const TfrStreamContext& ctx) {
  TfrView::loadFromStream(r, ctx);
  subPage = r.i32();
}

void TfrSubReportView::saveToStream(TfrWriter& w) const {
  TfrView::saveToStream(w);
  w.i32(subPage);
}

void TfrSubReportView::EmitPrepared(TfrWriter&) {
  // Nothing of the frame reaches a prepared page, whatever its script or a split band asks.
}

void TfrSubReportView::Paint(QPainter& canvas) {
  if (frDocMode() != TfrDocMode::Template) return;
  ApplyScale();
  canvas.save();
  canvas.setRenderHint(QPainter::Antialiasing, false);
  canvas.setPen(QPen(Qt::black, 0));
  canvas.setBrush(Qt::white);
  canvas.drawRect(QRect(x, y, dx - 1, dy - 1));
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(roundEven(8 * 96 / 72.0));  // 8 points on the 96-dpi layout
  canvas.setFont(font);
  canvas.drawText(QRect(x + 2, y + 2, dx - 4, dy - 4), Qt::AlignLeft | Qt::AlignTop,
                  toQString(name));
  canvas.restore();
  RestoreGeometry();
}

}  // namespace kelpo::report
