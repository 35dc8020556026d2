// Small pieces the secondary recipe windows share: pixel-sized form fonts and photograph boxes.
#pragma once

#include <QFont>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <QTreeWidget>
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

// Group box captions sit on the frame's top line, a little in from its left end, so no
// caption touches the window's edge even where the box does.
inline void captionOnFrame(QGroupBox* box) {
  box->setStyleSheet(
      QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
                     "QGroupBox::title { subcontrol-origin: margin; left: 7px; padding: 0 1px; }"));
}

// A tree shows whole node texts: its one column is as wide as the widest node and the tree
// scrolls sideways, instead of cutting long names with "…".
inline void showWholeNodeTexts(QTreeWidget* tree) {
  tree->setTextElideMode(Qt::ElideNone);
  tree->header()->setStretchLastSection(false);
  tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

// The secondary windows open in the middle of the screen, not over their owner.
inline void centreOnScreen(QWidget* window) {
  const QScreen* screen = window->screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

}  // namespace kelpo
