#include "report/ui/preview_glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace kelpo::report {
namespace {

const QColor kInk(40, 48, 64);

void magnifier(QPainter& p, QPointF centre, double r) {
  p.setPen(QPen(kInk, 2));
  p.setBrush(QColor(200, 228, 250));
  p.drawEllipse(centre, r, r);
  p.setPen(QPen(kInk, 4, Qt::SolidLine, Qt::RoundCap));
  const double d = r * 0.72;
  p.drawLine(QPointF(centre.x() + d, centre.y() + d), QPointF(centre.x() + d + 8, centre.y() + d + 8));
}

void sheet(QPainter& p, QRectF r) {
  p.setPen(QPen(kInk, 1.5));
  p.setBrush(Qt::white);
  p.drawRect(r);
  p.setPen(QPen(QColor(150, 160, 175), 1));
  for (double y = r.top() + 4; y < r.bottom() - 2; y += 3)
    p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

}  // namespace

QImage previewGlyph(PreviewGlyph glyph) {
  const bool small = glyph == PreviewGlyph::PageUp || glyph == PreviewGlyph::PageDown;
  const int side = small ? 12 : 32;
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  switch (glyph) {
    case PreviewGlyph::Zoom:
      magnifier(p, {13, 13}, 9);
      p.setPen(QPen(kInk, 2));
      p.drawLine(QPointF(9, 13), QPointF(17, 13));
      p.drawLine(QPointF(13, 9), QPointF(13, 17));
      break;
    case PreviewGlyph::Open: {
      p.setPen(QPen(kInk, 1.5));
      p.setBrush(QColor(230, 190, 90));
      p.drawRect(QRectF(3, 8, 22, 18));
      p.drawRect(QRectF(3, 6, 9, 3));
      QPainterPath front;
      front.moveTo(3, 26);
      front.lineTo(9, 13);
      front.lineTo(30, 13);
      front.lineTo(25, 26);
      front.closeSubpath();
      p.setBrush(QColor(250, 214, 120));
      p.drawPath(front);
      break;
    }
    case PreviewGlyph::Save:
      p.setPen(QPen(kInk, 1.5));
      p.setBrush(QColor(70, 110, 180));
      p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(8, 4, 16, 10));
      p.setBrush(QColor(210, 215, 225));
      p.drawRect(QRectF(9, 19, 14, 9));
      p.setBrush(kInk);
      p.drawRect(QRectF(18, 6, 3, 6));
      break;
    case PreviewGlyph::Print:
      sheet(p, QRectF(9, 3, 14, 11));
      p.setPen(QPen(kInk, 1.5));
      p.setBrush(QColor(190, 196, 206));
      p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
      p.setBrush(QColor(90, 200, 90));
      p.drawEllipse(QPointF(24, 16), 1.5, 1.5);
      sheet(p, QRectF(8, 19, 16, 10));
      break;
    case PreviewGlyph::Find:
      sheet(p, QRectF(4, 3, 18, 24));
      magnifier(p, {18, 17}, 7);
      break;
    case PreviewGlyph::Help: {
      p.setPen(QPen(kInk, 1.5));
      p.setBrush(QColor(70, 130, 210));
      p.drawEllipse(QRectF(3, 3, 26, 26));
      QFont f = p.font();
      f.setPixelSize(20);
      f.setBold(true);
      p.setFont(f);
      p.setPen(Qt::white);
      p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
      break;
    }
    case PreviewGlyph::Exit:
      // A door with an arrow leading out of it.
      p.setPen(QPen(kInk, 1.5));
      p.setBrush(QColor(160, 110, 70));
      p.drawRect(QRectF(13, 3, 15, 26));
      p.setBrush(QColor(230, 190, 90));
      p.drawEllipse(QPointF(24, 16), 1.6, 1.6);
      p.setPen(QPen(QColor(200, 40, 40), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawLine(QPointF(18, 16), QPointF(4, 16));
      p.drawPolyline(QPolygonF{QPointF(9, 11), QPointF(4, 16), QPointF(9, 21)});
      break;
    case PreviewGlyph::PageUp:
    case PreviewGlyph::PageDown: {
      QPolygonF arrow;
      if (glyph == PreviewGlyph::PageUp)
        arrow << QPointF(2, 8) << QPointF(6, 3) << QPointF(10, 8);
      else
        arrow << QPointF(2, 4) << QPointF(6, 9) << QPointF(10, 4);
      p.setPen(Qt::NoPen);
      p.setBrush(kInk);
      p.drawPolygon(arrow);
      break;
    }
  }
  return image;
}

}  // namespace kelpo::report
