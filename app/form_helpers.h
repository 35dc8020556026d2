// Small pieces the secondary recipe windows share: pixel-sized form fonts and photograph boxes.
#pragma once

#include <QFont>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace kelpo {

// Form fonts are given in pixels so a window looks the same whatever the screen's dpi.
inline QFont pixelFont(const QString& family, int pixels, bool bold = false) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// A photograph box shows its picture stretched to the box, keeping the picture's proportions.
inline void showStretched(QLabel* box, const QImage& image) {
  if (image.isNull()) {
    box->clear();
    return;
  }
  box->setPixmap(
      QPixmap::fromImage(image.scaled(box->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

// A caption written top to bottom, one character under the other. The lines are spread a
// little: a bold caption's glyphs are a pixel taller than the font's line spacing.
inline void setVerticalCaption(QLabel* label, int lineHeight) {
  QStringList characters;
  for (const QChar c : label->text()) characters << QString(c).toHtmlEscaped();
  label->setTextFormat(Qt::RichText);
  label->setText(QStringLiteral("<div style=\"line-height:%1px\">%2</div>")
                     .arg(lineHeight)
                     .arg(characters.join(QStringLiteral("<br>"))));
}

// The secondary windows open in the middle of the screen, not over their owner.
inline void centreOnScreen(QWidget* window) {
  const QScreen* screen = window->screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

}  // namespace kelpo
