// Mouse states of the frame's objects and the title-bar buttons' strips.
#include "skin/skin_sys_button.h"

#include "skin/skin_form.h"
#include "skin/skin_objects.h"

namespace kelpo::skin {

void TNCObject::mouseDown() {
  TNCObject* current = frame_->current();
  if (current && current != this) current->mouseLeave();
  if (!visible) return;
  frame_->setCurrent(this);
  state = Pressed;
  paint();
}

void TNCObject::mouseUp() {
  if (!visible) return;
  state = Hot;
  paint();
}

void TNCObject::mouseMove() {
  TNCObject* current = frame_->current();
  if (current == this) return;
  if (current) current->mouseLeave();
  frame_->setCurrent(this);
  state = Hot;
  paint();
}

void TNCObject::mouseLeave() {
  if (!visible) return;
  if (frame_->current() == this) frame_->setCurrent(nullptr);
  state = Normal;
  paint();
}

void TNCObject::paint() { frame_->repaintObject(*this); }

TWinSysButton::TWinSysButton(TWinSkinForm* frame, const TDataSkinSysButton* skin)
    : TNCObject(frame), skin_(skin), image_(skin->bitmap), frames_(std::max(1, skin->frameCount)) {}

int TWinSysButton::action() const { return skin_->action; }

bool TWinSysButton::isIcon() const { return skin_->action == 3 || skin_->action == 11; }

void TWinSysButton::setIcon(const QImage& icon) {
  if (!isIcon() || !image_.isNull()) return;
  image_ = icon;
  frames_ = 1;
}

}  // namespace kelpo::skin
