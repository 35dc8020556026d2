// Up-down arrow pairs from the skin's up-down images.
#include "skin/skin_updown.h"

#include <QAbstractSpinBox>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionSpinBox>

#include "skin/skin_data.h"

namespace kelpo::skin {

bool paintUpDownArrow(QPainter& p, TSkinData& data, const QRect& rect, bool vertical, int arrow,
                      bool pressed, bool hot, bool enabled) {
  const SkinObjects* skin = data.skin();
  if (!skin) return false;
  const TDataSkinBorder* image = vertical ? skin->upDownVert.get() : skin->upDownHorz.get();
  if (!image || image->bitmap.isNull()) return false;
  // Faces per arrow: normal, pressed, hot, disabled.
  const int face = !enabled ? 3 : pressed ? 1 : hot ? 2 : 0;
  p.fillRect(rect, toQColor(skin->colours.buttonFace));
  data.painter().drawNine(p, *image, (arrow == 1 ? 1 : 5) + face, rect);
  return true;
}

bool paintUpDown(QPainter& p, TSkinData& data, const QRect& first, const QRect& second,
                 bool vertical, int pressed, int hot, bool enabled) {
  return paintUpDownArrow(p, data, first, vertical, 1, pressed == 1, hot == 1, enabled) &&
         paintUpDownArrow(p, data, second, vertical, 2, pressed == 2, hot == 2, enabled);
}

// The stand-alone up-down is a spin box whose text is hidden, or a bar used as two arrows;
// its arrows split the control in two along its orientation.
bool TSkinUpDown::vertical() const {
  if (const auto* bar = qobject_cast<const QAbstractSlider*>(control_))
    return bar->orientation() == Qt::Vertical;
  return true;
}

void spinArrowRects(const QAbstractSpinBox* spin, QRect& up, QRect& down) {
  QStyleOptionSpinBox option;
  option.initFrom(spin);
  option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
  option.frame = spin->hasFrame();
  up = spin->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, spin);
  down = spin->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxDown, spin);
}

void TSkinUpDown::arrowRects(QRect& first, QRect& second) const {
  const QRect r = control_->rect();
  if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(control_))
    return spinArrowRects(spin, first, second);
  if (vertical()) {
    first = QRect(r.left(), r.top(), r.width(), r.height() / 2);
    second = QRect(r.left(), first.bottom() + 1, r.width(), r.height() - first.height());
  } else {
    first = QRect(r.left(), r.top(), r.width() / 2, r.height());
    second = QRect(first.right() + 1, r.top(), r.width() - first.width(), r.height());
  }
}

int TSkinUpDown::arrowAt(const QPoint& point) const {
  QRect first, second;
  arrowRects(first, second);
  return first.contains(point) ? 1 : second.contains(point) ? 2 : 0;
}

bool TSkinUpDown::beforeMessage(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      // The control steps its value; the skin shows the arrow pressed.
      QPointer<TSkinControl> self(this);
      deliver(event);
      if (!self || !control_) return false;
      pressedArrow_ = arrowAt(static_cast<QMouseEvent*>(event)->position().toPoint());
      repaintNow();
      return false;
    }
    case QEvent::MouseMove: {
      const int over = arrowAt(static_cast<QMouseEvent*>(event)->position().toPoint());
      if (over != hotArrow_) {
        hotArrow_ = over;
        control_->update();
      }
      return true;
    }
    default:
      return true;
  }
}

bool TSkinUpDown::wantsAfter(int type) const {
  return type == QEvent::MouseButtonRelease || TSkinControl::wantsAfter(type);
}

void TSkinUpDown::afterMessage(QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    pressedArrow_ = 0;
    repaintNow();
    return;
  }
  if (event->type() == QEvent::Paint) return paintArrows();
  TSkinControl::afterMessage(event);
}

void TSkinUpDown::paintArrows() {
  QRect first, second;
  arrowRects(first, second);
  QPainter p(control_);
  paintUpDown(p, *data_, first, second, vertical(), pressedArrow_, hotArrow_,
              control_->isEnabled());
}

void TSkinUpDown::onEnter() {}

void TSkinUpDown::onLeave() {
  hotArrow_ = 0;
  if (control_) control_->update();
}

}  // namespace kelpo::skin
