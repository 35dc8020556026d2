#include "report/ui/dialog_glyphs.h"

#include <QBitmap>
#include <QFont>
#include <QPainter>

namespace kelpo::report {

namespace {

// The pictures are drawn on a key colour that is then made transparent, the way stored bitmaps
// of this kind mark their background.
QPixmap keyed(const QImage& image, QRgb key) {
  QPixmap pixmap = QPixmap::fromImage(image);
  pixmap.setMask(QBitmap::fromImage(image.createMaskFromColor(key, Qt::MaskInColor)));
  return pixmap;
}

constexpr QRgb kOlive = qRgb(128, 128, 0);
constexpr QRgb kSilver = qRgb(192, 192, 192);

// A sheet of paper with its number, dog-eared at the top right.
void drawSheet(QPainter& p, int x, int y, int w, int h, int number) {
  const int ear = 5;
  const QPoint outline[] = {{x, y}, {x + w - ear, y}, {x + w, y + ear}, {x + w, y + h}, {x, y + h}};
  p.setPen(QColor(0, 0, 0));
  p.setBrush(QColor(255, 255, 255));
  p.drawPolygon(outline, 5);
  p.drawLine(x + w - ear, y, x + w - ear, y + ear);
  p.drawLine(x + w - ear, y + ear, x + w, y + ear);
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(10);
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRect(x + 1, y + h - 13, w - 2, 12), Qt::AlignHCenter | Qt::AlignBottom,
             QString::number(number));
}

}  // namespace

QImage arrowGlyph(bool up) {
  // The bottom row stays empty: a button takes its glyph's bottom-left pixel as the transparent
  // colour, and the up arrow's base would otherwise make the whole arrow transparent.
  QImage glyph(7, 5, QImage::Format_ARGB32);
  glyph.fill(Qt::transparent);
  for (int row = 0; row < 4; ++row) {
    const int y = up ? row : 3 - row;
    for (int x = 3 - row; x <= 3 + row; ++x) glyph.setPixel(x, y, qRgb(0, 0, 0));
  }
  return glyph;
}

QPixmap printerIcon() {
  QImage image(18, 16, QImage::Format_RGB32);
  image.fill(kOlive);
  QPainter p(&image);
  p.setPen(QColor(0, 0, 0));
  // Paper standing in the feeder, the body with its slot, a sheet coming out, a lamp.
  p.setBrush(QColor(255, 255, 255));
  p.drawRect(5, 0, 8, 6);
  p.setBrush(QColor(192, 192, 192));
  p.drawRect(1, 5, 16, 7);
  p.setBrush(QColor(128, 128, 128));
  p.drawRect(1, 12, 16, 2);
  p.setBrush(QColor(255, 255, 255));
  p.drawRect(4, 10, 10, 5);
  p.setPen(QColor(0, 128, 0));
  p.drawPoint(15, 7);
  p.setPen(QColor(128, 128, 128));
  p.drawLine(6, 2, 11, 2);
  p.drawLine(6, 4, 11, 4);
  p.end();
  return keyed(image, kOlive);
}

QPixmap collationPicture(bool collated) {
  QImage image(collated ? QSize(74, 53) : QSize(92, 40), QImage::Format_RGB32);
  image.fill(kSilver);
  QPainter p(&image);
  const int w = 19, h = 25;
  if (collated) {
    // Two stacks, each 1 on top of 2 on top of 3, stepping down and to the right.
    for (int stack = 0; stack < 2; ++stack)
      for (int k = 2; k >= 0; --k) drawSheet(p, stack * 38 + k * 7, k * 13, w, h, k + 1);
  } else {
    // Three stacks of two sheets, each stack one page number.
    for (int stack = 0; stack < 3; ++stack)
      for (int k = 1; k >= 0; --k) drawSheet(p, stack * 31 + k * 7, k * 13, w, h, stack + 1);
  }
  p.end();
  return keyed(image, kSilver);
}

}  // namespace kelpo::report
