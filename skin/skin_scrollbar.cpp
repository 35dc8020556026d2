// Scroll bars drawn from the skin: thumb metrics, hit tests, thumb dragging, painting.
#include "skin/skin_scrollbar.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>

#include "skin/skin_data.h"

namespace kelpo::skin {
namespace {

constexpr int kMinThumb = 8;
constexpr int kWorkThickness = 16;

// a × b ÷ c rounded to nearest; −1 for a zero divisor, as the platform's helper gives.
int mulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const long long n = static_cast<long long>(a) * b;
  const long long half = (c < 0 ? -c : c) / 2;
  const long long r =
      (n >= 0) == (c > 0) ? (n + (n >= 0 ? half : -half)) / c : (n + (n >= 0 ? half : -half)) / c;
  return static_cast<int>(r);
}

bool hasArrowImage(const TSkinData* data) {
  return data && data->skin() && data->skin()->scrollbar &&
         !data->skin()->scrollbar->bitmap.isNull();
}

}  // namespace

ScrollInfo scrollInfoOf(const QScrollBar* bar) {
  ScrollInfo info;
  info.min = bar->minimum();
  info.page = bar->pageStep();
  // Qt's maximum is the last position; the rules count the page into the maximum.
  info.max = bar->maximum() + (info.page > 0 ? info.page - 1 : 0);
  info.pos = bar->value();
  info.trackPos = bar->sliderPosition();
  return info;
}

BarMetrics barMetrics(int length, int arrow, const ScrollInfo& info, bool standAlone) {
  BarMetrics m;
  m.length = length;
  m.arrow = arrow;
  m.track = std::max(0, length - 2 * arrow);
  const int range = info.max - info.min;
  const int position = info.trackPos;
  if (standAlone) {
    if (range < 0) return m;
    m.thumb = info.page > 0 ? std::max(mulDiv(info.page, m.track, range + 1), kMinThumb) : arrow;
    m.thumb = std::min(m.thumb, m.track);
    if (info.page == range + 1) {
      m.thumb = std::max(0, m.thumb - 1);
      m.offset = 0;
    } else {
      m.offset = std::clamp(mulDiv(position - info.min, m.track - m.thumb, range - info.page + 1),
                            0, m.track - m.thumb);
    }
    return m;
  }
  if (range <= 0) return m;
  m.thumb = info.page > 0 ? std::max(mulDiv(info.page, m.track, range), kMinThumb) : arrow;
  m.thumb = std::min(m.thumb, m.track);
  if (info.page == range || range - info.page <= 0) {
    m.thumb = std::max(0, m.thumb - (info.page == range ? 1 : 0));
    m.offset = 0;
  } else {
    m.offset = std::clamp(mulDiv(position - info.min, m.track - m.thumb, range - info.page), 0,
                          m.track - m.thumb);
  }
  return m;
}

BarPart hitTestBar(const BarMetrics& m, int c) {
  const int b = m.arrow;
  if (c < 0) return BarPart::None;
  if (c < b) return BarPart::LineUp;
  if (m.thumb > 0) {
    if (c < b + m.offset) return BarPart::PageUp;
    if (c < b + m.offset + m.thumb) return BarPart::Thumb;
  }
  if (c < b + m.track) return m.thumb > 0 ? BarPart::PageDown : BarPart::None;
  if (c < 2 * b + m.track) return BarPart::LineDown;
  return BarPart::None;
}

int dragPosition(const BarMetrics& m, const ScrollInfo& info, int& offset) {
  offset = std::max(offset, 0);
  int position;
  if (info.page > 0) {
    offset = std::min(offset, m.track);
    position =
        std::min(mulDiv(offset, info.max - info.min, m.track) + info.min, info.max - info.page + 1);
  } else {
    offset = std::min(offset, m.track - m.thumb);
    position =
        std::min(mulDiv(offset, info.max - info.min, m.track - m.thumb) + info.min, info.max);
  }
  return std::max(position, info.min);
}

void paintBar(QPainter& p, TSkinData& data, const QRect& rect, bool horizontal, const BarMetrics& m,
              int pressedPart) {
  const SkinObjects* skin = data.skin();
  if (!skin || !skin->scrollbar || rect.isEmpty()) return;
  TSkinPainter& painter = data.painter();
  const int L = m.length;
  // Along the bar in real pixels, across it at 16 and stretched once at the end.
  auto along = [&](int start, int size) {
    return horizontal ? QRect(start, 0, size, kWorkThickness)
                      : QRect(0, start, kWorkThickness, size);
  };
  QImage work(horizontal ? QSize(L, kWorkThickness) : QSize(kWorkThickness, L),
              QImage::Format_ARGB32_Premultiplied);
  work.fill(toQColor(skin->colours.scrollbar));
  {
    QPainter w(&work);
    const int a = L < 2 * m.arrow ? L / 2 : m.arrow;
    if (const TDataSkinObject* shaft = horizontal ? skin->horzScroll.get() : skin->vertScroll.get())
      painter.drawNine(w, *shaft, 1, along(a, L - 2 * a));
    const TDataSkinObject& arrows = *skin->scrollbar;
    const int first = horizontal ? (pressedPart == 1 ? 2 : 1) : (pressedPart == 3 ? 10 : 9);
    const int second = horizontal ? (pressedPart == 2 ? 6 : 5) : (pressedPart == 4 ? 14 : 13);
    painter.drawFrame(w, arrows, first, along(0, a));
    painter.drawFrame(w, arrows, second, along(L - a, a));
    if (m.thumb > 0 && m.track >= m.thumb) {
      const QRect thumbRect = along(a + m.offset, m.thumb);
      const bool down = pressedPart == (horizontal ? 5 : 6);
      if (const TDataSkinObject* thumb =
              horizontal ? skin->horzScrollThumb.get() : skin->vertScrollThumb.get()) {
        painter.drawNine(w, *thumb, down ? 2 : 1, thumbRect);
      } else {
        // A skin without this thumb still shows where the thumb is.
        w.fillRect(thumbRect, toQColor(skin->colours.buttonFace));
        w.setPen(toQColor(skin->colours.buttonShadow));
        w.drawRect(thumbRect.adjusted(0, 0, -1, -1));
      }
    }
  }
  p.drawImage(rect, work);
}

SkinnedBar::SkinnedBar(QScrollBar* bar, TSkinData* data, bool standAlone, bool dragging)
    : bar_(bar), data_(data), standAlone_(standAlone), skinDragging_(dragging) {
  repeatTimer_.setInterval(50);
  connect(&repeatTimer_, &QTimer::timeout, this, &SkinnedBar::repeat);
  // Scrolling from anywhere (keys, wheel, the control) shows on the bar.
  // Connected through this object, so the connections end with it and the bar is left as found.
  connect(bar, &QAbstractSlider::valueChanged, this, [bar] { bar->update(); });
  connect(bar, &QAbstractSlider::rangeChanged, this, [bar] { bar->update(); });
  connect(bar, &QAbstractSlider::actionTriggered, this, [this](int action) {
    // Page actions show nothing pressed; arrows and the thumb show while the button is held.
    if (action == QAbstractSlider::SliderPageStepAdd ||
        action == QAbstractSlider::SliderPageStepSub)
      pressedPart_ = 0;
  });
}

bool SkinnedBar::horizontal() const { return bar()->orientation() == Qt::Horizontal; }

BarMetrics SkinnedBar::metrics() const {
  const bool h = horizontal();
  const int length = h ? bar()->width() : bar()->height();
  const int arrow = h ? bar()->height() : bar()->width();
  ScrollInfo info = scrollInfoOf(bar());
  BarMetrics m = barMetrics(length, arrow, info, standAlone_);
  if (dragging_) {
    // While dragging the thumb sits where the pointer put it.
    m.offset = std::min(dragOffset_, std::max(0, m.track - m.thumb));
  }
  return m;
}

bool SkinnedBar::handle(QEvent* event) {
  if (!bar() || !hasArrowImage(data_)) return true;
  switch (event->type()) {
    case QEvent::Paint: {
      QPainter p(bar());
      paintBar(p, *data_, bar()->rect(), horizontal(), metrics(), pressedPart_);
      return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (me->button() != Qt::LeftButton) return true;
      press(me);
      return false;
    }
    case QEvent::MouseMove:
      if (platformDrag_) {
        platformForward(static_cast<QMouseEvent*>(event));
        return false;
      }
      if (dragging_) drag(static_cast<QMouseEvent*>(event));
      return false;
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return true;
      if (platformDrag_) {
        platformForward(static_cast<QMouseEvent*>(event));
        platformDrag_ = false;
      }
      release();
      return false;
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::HoverLeave:
      return false;  // the platform's hot tracking would only repaint what the skin draws
    default:
      return true;
  }
}

void SkinnedBar::press(QMouseEvent* event) {
  const bool h = horizontal();
  const BarMetrics m = metrics();
  const QPoint pos = event->position().toPoint();
  const int c = h ? pos.x() : pos.y();
  switch (hitTestBar(m, c)) {
    case BarPart::Thumb:
      if (!skinDragging_) return platformPress(event, m);
      dragging_ = true;
      dragStartCursor_ = c;
      dragStartOffset_ = dragOffset_ = m.offset;
      pressedPart_ = h ? 5 : 6;
      bar()->setSliderDown(true);
      bar()->update();
      return;
    case BarPart::LineUp:
      pressedPart_ = h ? 1 : 3;
      repeatAction_ = QAbstractSlider::SliderSingleStepSub;
      break;
    case BarPart::LineDown:
      pressedPart_ = h ? 2 : 4;
      repeatAction_ = QAbstractSlider::SliderSingleStepAdd;
      break;
    case BarPart::PageUp:
      pressedPart_ = 0;
      repeatAction_ = QAbstractSlider::SliderPageStepSub;
      break;
    case BarPart::PageDown:
      pressedPart_ = 0;
      repeatAction_ = QAbstractSlider::SliderPageStepAdd;
      break;
    case BarPart::None:
      return;
  }
  const int held = pressedPart_;
  bar()->triggerAction(static_cast<QAbstractSlider::SliderAction>(repeatAction_));
  pressedPart_ = held;
  bar()->update();
  repeatTimer_.start(300);
}

// List views and grids drag with the bar's own handling: the press is moved onto the bar's own
// thumb, at the same place within it, and the drag's moves follow with the same shift.
void SkinnedBar::platformPress(QMouseEvent* event, const BarMetrics& m) {
  QStyleOptionSlider option;
  option.initFrom(bar());
  option.orientation = bar()->orientation();
  option.minimum = bar()->minimum();
  option.maximum = bar()->maximum();
  option.sliderPosition = bar()->sliderPosition();
  option.sliderValue = bar()->value();
  option.pageStep = bar()->pageStep();
  option.singleStep = bar()->singleStep();
  const QRect own = bar()->style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                  QStyle::SC_ScrollBarSlider, bar());
  const QPoint at = event->position().toPoint();
  const bool h = horizontal();
  const int within = (h ? at.x() : at.y()) - (m.arrow + m.offset);
  const int ownLength = h ? own.width() : own.height();
  const int target =
      (h ? own.left() : own.top()) + (m.thumb > 0 ? within * ownLength / m.thumb : 0);
  platformShift_ = h ? QPoint(target - at.x(), 0) : QPoint(0, target - at.y());
  platformDrag_ = true;
  pressedPart_ = h ? 5 : 6;
  platformForward(event);
  bar()->update();
}

void SkinnedBar::platformForward(QMouseEvent* event) {
  const QPointF at = event->position() + QPointF(platformShift_);
  QMouseEvent moved(event->type(), at, bar()->mapToGlobal(at), event->button(), event->buttons(),
                    event->modifiers());
  static_cast<QObject*>(bar_.data())->event(&moved);
}

void SkinnedBar::repeat() {
  if (!bar() || !repeatAction_) return;
  repeatTimer_.setInterval(50);
  const int held = pressedPart_;
  bar()->triggerAction(static_cast<QAbstractSlider::SliderAction>(repeatAction_));
  pressedPart_ = held;
}

void SkinnedBar::drag(QMouseEvent* event) {
  const bool h = horizontal();
  const QPoint pos = event->position().toPoint();
  const int c = h ? pos.x() : pos.y();
  BarMetrics m = barMetrics(h ? bar()->width() : bar()->height(), h ? bar()->height() : bar()->width(),
                            scrollInfoOf(bar()), standAlone_);
  const ScrollInfo info = scrollInfoOf(bar());
  int offset = dragStartOffset_ + (c - dragStartCursor_);
  const int position = dragPosition(m, info, offset);
  dragOffset_ = offset;
  if (position != bar()->sliderPosition()) bar()->setSliderPosition(position);
  bar()->update();
}

void SkinnedBar::release() {
  repeatTimer_.stop();
  repeatAction_ = 0;
  if (dragging_) {
    dragging_ = false;
    // Releasing the slider settles the value at the thumb's position.
    bar()->setSliderDown(false);
  }
  pressedPart_ = 0;
  bar()->update();
}

TSkinScrollBar::TSkinScrollBar(TSkinControlSet* owner, bool dragging)
    : TSkinControl(owner), dragging_(dragging) {}

TSkinScrollBar::~TSkinScrollBar() { restore(); }

void TSkinScrollBar::attachToControl(QWidget* control, TSkinData* data, bool colour) {
  if (attached()) return;
  TSkinControl::attachToControl(control, data, colour);
  auto* area = qobject_cast<QAbstractScrollArea*>(control);
  if (!area) return;
  QScrollBar* bars[2] = {area->horizontalScrollBar(), area->verticalScrollBar()};
  for (int i = 0; i < 2; ++i) {
    bars_[i] = std::make_unique<SkinnedBar>(bars[i], data, false, dragging_);
    watch(bars[i]);
    bars[i]->update();
  }
}

void TSkinScrollBar::restore() {
  TSkinControl::restore();
  for (auto& bar : bars_) {
    if (bar && bar->bar()) {
      if (bar->dragging()) bar->bar()->setSliderDown(false);
      bar->bar()->update();
    }
    bar.reset();
  }
}

bool TSkinScrollBar::eventFilter(QObject* watched, QEvent* event) {
  for (auto& bar : bars_)
    if (bar && attached() && watched == bar->bar()) return !bar->handle(event);
  return TSkinControl::eventFilter(watched, event);
}

QRect TSkinScrollBar::sizeGripBox() const {
  if (!bars_[0] || !bars_[1]) return {};
  QScrollBar* h = bars_[0]->bar();
  QScrollBar* v = bars_[1]->bar();
  if (!h || !v || !h->isVisibleTo(control_) || !v->isVisibleTo(control_)) return {};
  const QPoint hp = h->mapTo(control_, QPoint(0, 0));
  const QPoint vp = v->mapTo(control_, QPoint(0, 0));
  return QRect(vp.x(), hp.y(), v->width(), h->height());
}

void TSkinScrollBar::draw(QPainter& p, const QRect&) {
  if (!hasArrowImage(data_)) return;
  const QRect box = sizeGripBox();
  if (!box.isEmpty()) p.fillRect(box, toQColor(skin()->colours.buttonFace));
}

void TSkinScControl::attachToControl(QWidget* control, TSkinData* data, bool colour) {
  if (attached()) return;
  auto* bar = qobject_cast<QScrollBar*>(control);
  TSkinControl::attachToControl(control, data, colour);
  if (bar) bar_ = std::make_unique<SkinnedBar>(bar, data, true, true);
}

void TSkinScControl::restore() {
  if (bar_ && bar_->bar() && bar_->dragging()) bar_->bar()->setSliderDown(false);
  bar_.reset();
  TSkinControl::restore();
}

bool TSkinScControl::beforeMessage(QEvent* event) { return !bar_ || bar_->handle(event); }

}  // namespace kelpo::skin
