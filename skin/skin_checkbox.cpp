// The skin's check and radio marks over the platform's.
#include "skin/skin_checkbox.h"

#include <QCheckBox>
#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include "skin/skin_data.h"

namespace kelpo::skin {

const QImage* TSkinCheckBox::strip(int& frames) const {
  if (!skin() || !skin()->button) return nullptr;
  const TDataSkinButton& b = *skin()->button;
  const QImage& image = radio() ? b.radioBitmap : b.checkBitmap;
  frames = std::max(1, radio() ? b.radioFrame : b.checkFrame);
  return image.isNull() ? nullptr : &image;
}

int TSkinCheckBox::stateFrame() const {
  const auto* button = qobject_cast<const QAbstractButton*>(control_);
  if (!button) return 1;
  bool checked = button->isChecked();
  // A published "Checked" property decides over the control's own state.
  const QVariant published = control_->property("Checked");
  if (published.isValid())
    checked = published.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
  else if (const auto* box = qobject_cast<const QCheckBox*>(control_);
           box && !radio() && box->checkState() == Qt::PartiallyChecked)
    return 4;
  return (checked ? 2 : 1) + (control_->isEnabled() ? 0 : 2);
}

QRect TSkinCheckBox::boxRect() const {
  int frames = 1;
  const QImage* image = strip(frames);
  if (!image || !control_) return {};
  const int w = image->width() / frames, h = image->height();
  const QRect r = control_->rect();
  const int inset = w < 15 ? (14 - w) / 2 : -1;
  const int y = r.top() + (r.height() - h) / 2;
  // Right-to-left controls carry the box on the right.
  if (control_->layoutDirection() == Qt::RightToLeft) {
    const int right = r.right() + 1 - (inset >= 0 ? inset : 1);
    return QRect(right - w, y, w, h);
  }
  return QRect(r.left() + std::max(inset, 0), y, w, h);
}

bool TSkinCheckBox::wantsAfter(int type) const {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      return true;
    default:
      return TSkinControl::wantsAfter(type);
  }
}

void TSkinCheckBox::afterMessage(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      control_->update();
      break;
    default:
      TSkinControl::afterMessage(event);
  }
}

void TSkinCheckBox::draw(QPainter& p, const QRect&) {
  int frames = 1;
  const QImage* image = strip(frames);
  if (!image) return;
  const QRect box = boxRect();
  const QColor face = toQColor(skin()->colours.buttonFace);
  // The platform's own box goes under the face colour first, wherever its style put it.
  QStyleOptionButton option;
  option.initFrom(control_);
  const QRect platformBox = control_->style()->subElementRect(
      radio() ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, control_);
  p.fillRect(platformBox, face);
  p.fillRect(box, face);
  const QRect from = TSkinPainter::frameRect(*image, frames, stateFrame());
  p.drawImage(box, TSkinPainter::keyed(image->copy(from)));
}

}  // namespace kelpo::skin
