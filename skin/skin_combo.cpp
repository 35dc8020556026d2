// The combo box's skin: sunken-edge ring, drop button and its glyph, or the simple look.
#include "skin/skin_combo.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include "skin/skin_data.h"

namespace kelpo::skin {
namespace {

int scrollExtent(const QWidget* w) { return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

}  // namespace

int TSkinComBox::stateFrame() const {
  if (!control_->isEnabled()) return 3;
  // The list shown counts as pressed; so does a press still held on the control.
  const auto* combo = qobject_cast<const QComboBox*>(control_);
  const bool listShown = combo && combo->view() && combo->view()->isVisible();
  if (listShown || ((state_ & Pressed) && (QGuiApplication::mouseButtons() & Qt::LeftButton)))
    return 2;
  if (control_->hasFocus() || (state_ & Hot)) return 4;
  return 1;
}

QRect TSkinComBox::buttonRect() const {
  const int b = scrollExtent(control_);
  const int W = control_->width(), H = control_->height();
  if (control_->layoutDirection() == Qt::RightToLeft) return QRect(0, 0, b + 2, H);
  return QRect(W - b - 2, 0, b + 2, H);
}

bool TSkinComBox::wantsAfter(int type) const {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
      return true;
    default:
      return TSkinControl::wantsAfter(type);
  }
}

void TSkinComBox::afterMessage(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      state_ |= Pressed;
      repaintNow();
      break;
    case QEvent::MouseButtonRelease:
      state_ &= ~Pressed;
      repaintNow();
      break;
    default:
      TSkinControl::afterMessage(event);
  }
}

void TSkinComBox::onEnter() {
  if (!control_->isEnabled()) return;
  state_ |= Hot;
  repaintNow();
}

void TSkinComBox::onLeave() {
  if (!control_->isEnabled()) return;
  state_ &= ~Hot;
  repaintNow();
}

void TSkinComBox::draw(QPainter& p, const QRect& rect) {
  const SkinObjects* s = skin();
  if (!s || !s->comboButton || s->comboButton->bitmap.isNull()) return;
  const TDataSkinBorder& button = *s->comboButton;
  const int frame = stateFrame();
  const int W = rect.width(), H = rect.height();
  const int b = scrollExtent(control_);
  const bool rtl = control_->layoutDirection() == Qt::RightToLeft;
  TSkinPainter& painter = data_->painter();
  if (button.style == 1) {
    // The simple look: the control's own background one pixel in, the button image copied at
    // the right, a shadow-coloured line around everything.
    p.setPen(control_->palette().color(control_->backgroundRole()));
    p.drawRect(rect.adjusted(1, 1, -2, -2));
    // The platform's thumb is as long as its bars are thick.
    const int width = b;
    const QRect inner = rect.adjusted(2, 2, -2, -2);
    const QRect area(inner.right() + 1 - width, inner.top(), width, inner.height());
    p.fillRect(area, toQColor(s->colours.buttonFace));
    const QRect from = TSkinPainter::frameRect(button.bitmap, button.frameCount, frame);
    const QImage keyed = TSkinPainter::keyed(button.bitmap.copy(from));
    p.drawImage(area.topLeft(), keyed,
                QRect(0, 0, std::min(area.width(), keyed.width()),
                      std::min(area.height(), keyed.height())));
    p.setPen(toQColor(s->colours.buttonShadow));
    p.drawRect(rect.adjusted(0, 0, -1, -1));
    return;
  }
  if (!s->sunkEdge || s->sunkEdge->bitmap.isNull()) return;
  // The text area keeps what the control drew; the ring and the button area take the skin.
  const QRect text = rtl ? QRect(QPoint(b + 4, 2), QPoint(W - 2 - 1, H - 2 - 1))
                         : QRect(QPoint(2, 2), QPoint(W - b - 4 - 1, H - 2 - 1));
  p.save();
  p.setClipRegion(QRegion(rect).subtracted(QRegion(text)));
  painter.drawNine(p, *s->sunkEdge, frame, rect);
  p.restore();
  const QRect area = buttonRect();
  const QImage& image = rtl ? button.bitmap2 : button.bitmap;
  int f = frame;
  if (rtl) f = button.frameCount + 1 - frame;  // the mirrored strip runs backwards
  const QRect from = TSkinPainter::frameRect(image, button.frameCount, f);
  p.drawImage(area, TSkinPainter::keyed(image.copy(from)));
  if (s->extraImages && !s->extraImages->bitmap.isNull()) {
    const QRect glyphArea =
        rtl ? QRect(2, 0, area.width() - 2, H) : QRect(area.left(), 0, area.width() - 2, H);
    const QImage& extra = s->extraImages->bitmap;
    const QRect g = TSkinPainter::frameRect(extra, s->extraImages->frameCount, frame);
    const QRect to(glyphArea.left() + (glyphArea.width() - g.width()) / 2,
                   glyphArea.top() + (glyphArea.height() - g.height()) / 2, g.width(), g.height());
    p.drawImage(to, TSkinPainter::keyed(extra.copy(g)));
  }
}

}  // namespace kelpo::skin
