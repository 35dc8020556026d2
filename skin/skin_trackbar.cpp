// Track bars: the style draws the channel and ticks, the skin draws the thumb.
#include "skin/skin_trackbar.h"

#include <QEvent>
#include <QPainter>
#include <QSlider>
#include <QStyleOptionSlider>

#include "skin/skin_data.h"

namespace kelpo::skin {

bool TSkinTrackBar::beforeMessage(QEvent* event) {
  if (event->type() != QEvent::Paint || !skin() || !qobject_cast<QSlider*>(control_)) return true;
  paint();
  return false;
}

void TSkinTrackBar::draw(QPainter& p, const QRect&) {
  auto* slider = qobject_cast<QSlider*>(control_.data());
  QStyleOptionSlider option;
  option.initFrom(slider);
  option.orientation = slider->orientation();
  option.minimum = slider->minimum();
  option.maximum = slider->maximum();
  option.sliderPosition = slider->sliderPosition();
  option.sliderValue = slider->value();
  option.singleStep = slider->singleStep();
  option.pageStep = slider->pageStep();
  option.upsideDown = slider->invertedAppearance() != (slider->orientation() == Qt::Vertical);
  option.tickPosition = slider->tickPosition();
  option.tickInterval = slider->tickInterval();
  const QRect thumb =
      slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
  // The control's channel and ticks without its own thumb.
  option.subControls = QStyle::SC_SliderGroove;
  if (slider->tickPosition() != QSlider::NoTicks) option.subControls |= QStyle::SC_SliderTickmarks;
  slider->style()->drawComplexControl(QStyle::CC_Slider, &option, &p, slider);
  const SkinObjects* s = skin();
  const TDataSkinObject* image = nullptr;
  if (slider->orientation() == Qt::Vertical && s->trackbarThumbs[1] &&
      !s->trackbarThumbs[1]->bitmap.isNull())
    image = s->trackbarThumbs[1].get();
  else if (s->trackbarThumbs[0] && !s->trackbarThumbs[0]->bitmap.isNull())
    image = s->trackbarThumbs[0].get();
  if (image) {
    const QRect from = TSkinPainter::frameRect(image->bitmap, image->frameCount, 2);
    p.drawImage(thumb, TSkinPainter::keyed(image->bitmap.copy(from)));
  } else {
    p.fillRect(thumb, toQColor(s->colours.buttonFace));
    p.setPen(toQColor(s->colours.buttonShadow));
    p.drawRect(thumb.adjusted(0, 0, -1, -1));
  }
}

}  // namespace kelpo::skin
