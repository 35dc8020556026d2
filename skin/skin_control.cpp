// The framework every skinned control shares: attach, the event order, painting, restore.
#include "skin/skin_control.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QWidget>
#include <exception>

#include "skin/skin_control_set.h"
#include "skin/skin_data.h"

namespace kelpo::skin {

TSkinControl::TSkinControl(TSkinControlSet* owner) : owner_(owner) {}

TSkinControl::~TSkinControl() { restore(); }

const SkinObjects* TSkinControl::skin() const { return data_ ? data_->skin() : nullptr; }

void TSkinControl::attachToControl(QWidget* control, TSkinData* data, bool colour) {
  if (attached_ || !control) return;
  colour_ = colour;
  data_ = data;
  control_ = control;
  control->installEventFilter(this);
  focused_ = control->hasFocus();
  enabled_ = control->isEnabled();
  if (colour_) {
    hadOwnPalette_ = control->testAttribute(Qt::WA_SetPalette);
    previousPalette_ = control->palette();
    applyColour();
  }
  control->update();
  attached_ = true;
}

void TSkinControl::applyColour() {
  if (!control_ || !skin()) return;
  QPalette palette = control_->palette();
  const QColor face = toQColor(skin()->colours.buttonFace);
  palette.setColor(QPalette::Window, face);
  palette.setColor(QPalette::Button, face);
  control_->setPalette(palette);
}

void TSkinControl::watch(QWidget* widget) {
  if (!widget) return;
  widget->installEventFilter(this);
  watched_.emplace_back(widget);
}

void TSkinControl::restore() {
  if (!attached_) return;
  attached_ = false;
  for (const QPointer<QWidget>& w : watched_)
    if (w) w->removeEventFilter(this);
  watched_.clear();
  if (owner_ && owner_->hotControl() == this) owner_->setHotControl(nullptr);
  if (!control_) return;
  control_->removeEventFilter(this);
  if (colour_) {
    // A control that inherited its palette inherits again; an own palette comes back as it was.
    if (hadOwnPalette_)
      control_->setPalette(previousPalette_);
    else
      control_->setPalette(QPalette());
  }
  state_ = 0;
  control_->update();
}

void TSkinControl::refresh() {
  if (colour_) applyColour();
  if (control_) control_->update();
}

bool TSkinControl::deliver(QEvent* event) {
  // The control's handling may end this object (a click that closes the window).
  QPointer<TSkinControl> self(this);
  inControl_ = true;
  // QObject::event is public; the call skips every event filter, ours included.
  const bool result = static_cast<QObject*>(control_.data())->event(event);
  if (self) inControl_ = false;
  return result;
}

bool TSkinControl::eventFilter(QObject* watched, QEvent* event) {
  if (inControl_ || !attached_ || watched != control_) return false;
  if (event->type() == QEvent::Destroy) {
    restore();
    return false;
  }
  if (!beforeMessage(event)) return true;
  if (!wantsAfter(event->type())) return false;
  QPointer<TSkinControl> self(this);
  deliver(event);
  if (self && attached_ && control_) afterMessage(event);
  return true;
}

bool TSkinControl::beforeMessage(QEvent*) { return true; }

bool TSkinControl::wantsAfter(int type) const {
  switch (type) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::EnabledChange:
    case QEvent::Paint:
    case QEvent::Enter:
    case QEvent::Leave:
      return true;
    default:
      return false;
  }
}

void TSkinControl::afterMessage(QEvent* event) {
  switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::EnabledChange:
      if (control_->parentWidget()) control_->update();
      break;
    case QEvent::Paint:
      paint();
      break;
    case QEvent::Enter:
      onEnter();
      break;
    case QEvent::Leave:
      onLeave();
      break;
    default:
      break;
  }
}

void TSkinControl::onEnter() {}
void TSkinControl::onLeave() {}

void TSkinControl::setHot(bool on) {
  if (on) {
    if (owner_) {
      TSkinControl* previous = owner_->hotControl();
      if (previous && previous != this) previous->mouseLeave();
      owner_->setHotControl(this);
    }
    state_ |= Hot;
  } else {
    state_ &= ~(Hot | Pressed);
    if (owner_ && owner_->hotControl() == this) owner_->setHotControl(nullptr);
  }
}

void TSkinControl::mouseEnter() { onEnter(); }
void TSkinControl::mouseLeave() { onLeave(); }

void TSkinControl::paint() {
  if (!control_) return;
  focused_ = control_->hasFocus();
  enabled_ = control_->isEnabled();
  try {
    QPainter p(control_);
    draw(p, control_->rect());
  } catch (const std::exception&) {
    // A failed paint leaves the control's own drawing; the next paint tries again.
  }
}

void TSkinControl::draw(QPainter&, const QRect&) {}

void TSkinControl::repaintNow() {
  if (control_ && control_->isVisible()) control_->repaint();
}

}  // namespace kelpo::skin
