// Progress bars from the skin's progress image.
#include "skin/skin_progress.h"

#include <QEvent>
#include <QPainter>
#include <QProgressBar>

#include "skin/skin_data.h"

namespace kelpo::skin {

int TSkinProgress::filledLength(int position, int maximum, int length) {
  // An empty range (upper limit 0 or below) fills nothing instead of dividing by zero.
  if (maximum <= 0 || position <= 0) return 0;
  return static_cast<int>(static_cast<long long>(std::min(position, maximum)) * length / maximum);
}

bool TSkinProgress::beforeMessage(QEvent* event) {
  if (event->type() != QEvent::Paint) return true;
  const SkinObjects* s = skin();
  if (!s || !s->progress || s->progress->bitmap.isNull()) return true;
  paint();
  return false;
}

void TSkinProgress::draw(QPainter& p, const QRect& rect) {
  const SkinObjects* s = skin();
  const auto* bar = qobject_cast<const QProgressBar*>(control_);
  if (!bar) return;
  const TDataSkinBorder& image = *s->progress;
  p.fillRect(rect, toQColor(s->colours.buttonFace));
  TSkinPainter& painter = data_->painter();
  painter.drawNine(p, image, 1, rect);
  const bool vertical = bar->orientation() == Qt::Vertical;
  const int filled = filledLength(bar->value() - bar->minimum(), bar->maximum() - bar->minimum(),
                                  vertical ? rect.height() : rect.width());
  if (filled > 0) {
    QRect part = vertical ? QRect(rect.left(), rect.bottom() + 1 - filled, rect.width(), filled)
                          : QRect(rect.left(), rect.top(), filled, rect.height());
    if (bar->invertedAppearance() && !vertical) part.moveRight(rect.right());
    if (image.style == 1 && !image.bitmap2.isNull()) {
      // Chunks side by side from the start of the bar, cut at the filled part's end.
      p.save();
      p.setClipRect(part);
      const QImage chunk = image.trans ? TSkinPainter::keyed(image.bitmap2) : image.bitmap2;
      const int step = vertical ? chunk.height() : chunk.width();
      for (int at = 0; step > 0 && at < filled; at += step) {
        const QPoint to = vertical ? QPoint(rect.left(), rect.bottom() + 1 - at - step)
                                   : QPoint(part.left() + at, rect.top());
        p.drawImage(QRect(to, vertical ? QSize(rect.width(), step) : QSize(step, rect.height())),
                    chunk);
      }
      p.restore();
    } else {
      painter.drawNine(p, image, 2, part);
    }
  }
  if (bar->isTextVisible() && !bar->text().isEmpty()) {
    p.setPen(toQColor(s->colours.buttonText));
    p.setFont(control_->font());
    p.drawText(rect, Qt::AlignCenter, bar->text());
  }
}

}  // namespace kelpo::skin
