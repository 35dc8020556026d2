// Edit borders in the skin's shadow colour, and the arrows of spin edits.
#include "skin/skin_edit.h"

#include <QAbstractSpinBox>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>

#include "skin/skin_data.h"

namespace kelpo::skin {

bool TSkinEdit::hasBorder() const {
  if (const auto* edit = qobject_cast<const QLineEdit*>(control_)) return edit->hasFrame();
  if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(control_)) return spin->hasFrame();
  return false;
}

bool TSkinEdit::hasUpDown() const {
  const auto* spin = qobject_cast<const QAbstractSpinBox*>(control_);
  return spin && spin->buttonSymbols() != QAbstractSpinBox::NoButtons;
}

bool TSkinEdit::beforeMessage(QEvent* event) {
  if (hasUpDown()) return TSkinUpDown::beforeMessage(event);
  return true;
}

void TSkinEdit::afterMessage(QEvent* event) {
  if (event->type() != QEvent::Paint) return TSkinUpDown::afterMessage(event);
  if (hasUpDown()) paintArrows();
  if (!hasBorder() || !skin()) return;
  QPainter p(control_);
  const QRect r = control_->rect();
  p.setPen(toQColor(skin()->colours.buttonShadow));
  p.drawRect(r.adjusted(0, 0, -1, -1));
  p.setPen(Qt::white);
  p.drawRect(r.adjusted(1, 1, -2, -2));
}

}  // namespace kelpo::skin
