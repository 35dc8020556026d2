// Status bars and size grips from the skin.
#include "skin/skin_statusbar.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QSizeGrip>
#include <QStatusBar>

#include "skin/skin_data.h"

namespace kelpo::skin {

TSkinStatusBar::~TSkinStatusBar() { restore(); }

void TSkinStatusBar::attachToControl(QWidget* control, TSkinData* data, bool colour) {
  if (attached()) return;
  TSkinControl::attachToControl(control, data, colour);
  // The grip keeps working; the bar draws its look in the grip's corner instead.
  if (auto* bar = qobject_cast<QStatusBar*>(control)) hadSizeGrip_ = bar->isSizeGripEnabled();
  for (QSizeGrip* grip : control->findChildren<QSizeGrip*>()) watch(grip);
  for (QLabel* label : panels()) watch(label);
}

// The bar's panels are the labels placed on it.
std::vector<QLabel*> TSkinStatusBar::panels() const {
  std::vector<QLabel*> out;
  if (!control_) return out;
  for (QLabel* label : control_->findChildren<QLabel*>())
    if (label->parentWidget() && label->isVisibleTo(control_)) out.push_back(label);
  return out;
}

bool TSkinStatusBar::eventFilter(QObject* watched, QEvent* event) {
  // A panel's (and the grip's) own painting gives way to the bar's, which draws the panel and its
  // text.
  if (attached() && watched != control_ && event->type() == QEvent::Paint) return true;
  return TSkinControl::eventFilter(watched, event);
}

bool TSkinStatusBar::beforeMessage(QEvent* event) {
  if (event->type() != QEvent::Paint) return true;
  paint();
  return false;
}

void TSkinStatusBar::drawPanel(QPainter& p, const QRect& r, int frame, const QString& text,
                               int alignment) {
  const SkinObjects* s = skin();
  if (s->statusBar && !s->statusBar->bitmap.isNull()) {
    data_->painter().drawNine(p, *s->statusBar, frame, r);
  } else if (frame != 3) {
    // Without the panel image a one-pixel bevel, lowered or raised.
    const QColor light = toQColor(s->colours.buttonHilight);
    const QColor dark = toQColor(s->colours.buttonShadow);
    p.setPen(frame == 1 ? dark : light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(frame == 1 ? light : dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
  }
  const QString shown = text.isEmpty() ? QStringLiteral(" ") : text;
  p.drawText(r.adjusted(2, 0, -2, 0), alignment | Qt::AlignVCenter, shown);
}

void TSkinStatusBar::draw(QPainter& p, const QRect& rect) {
  const SkinObjects* s = skin();
  if (!s) return;
  QImage work(rect.size(), QImage::Format_RGB32);
  work.fill(toQColor(s->colours.buttonFace));
  {
    QPainter w(&work);
    w.setFont(control_->font());
    w.setPen(s->statusBar ? toQColor(s->statusBar->normalColour2)
                          : toQColor(s->colours.buttonText));
    auto* bar = qobject_cast<QStatusBar*>(control_.data());
    const QString message = bar ? bar->currentMessage() : QString();
    const std::vector<QLabel*> labels = panels();
    if (!message.isEmpty() || labels.empty()) {
      drawPanel(w, work.rect(), 1, message, Qt::AlignLeft);
    } else {
      for (QLabel* label : labels) {
        const QRect r(label->mapTo(control_, QPoint(0, 0)), label->size());
        const int frame = label->frameShadow() == QFrame::Sunken   ? 1
                          : label->frameShadow() == QFrame::Raised ? 2
                                                                   : 3;
        int align = label->alignment() & Qt::AlignHorizontal_Mask;
        // Right-to-left panels swap their left and right alignments.
        if (label->layoutDirection() == Qt::RightToLeft) {
          if (align & Qt::AlignLeft)
            align = Qt::AlignRight;
          else if (align & Qt::AlignRight)
            align = Qt::AlignLeft;
        }
        if (!align) align = Qt::AlignLeft;
        drawPanel(w, r, frame, label->text(), align);
      }
    }
    if (hadSizeGrip_ && s->extraImages && !s->extraImages->bitmap.isNull()) {
      const QRect g =
          TSkinPainter::frameRect(s->extraImages->bitmap, s->extraImages->frameCount, 5);
      w.drawImage(QPoint(work.width() - 1 - g.width(), work.height() - 1 - g.height()),
                  TSkinPainter::keyed(s->extraImages->bitmap.copy(g)));
    }
  }
  p.drawImage(rect.topLeft(), work);
}

bool TSkinSizer::beforeMessage(QEvent* event) {
  if (event->type() != QEvent::Paint || !skin()) return true;
  QPainter p(control_);
  p.setPen(toQColor(skin()->colours.buttonShadow));
  p.drawRect(control_->rect().adjusted(0, 0, -1, -1));
  return false;
}

}  // namespace kelpo::skin
