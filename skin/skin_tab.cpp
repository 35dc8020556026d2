// Tabs from the skin's tab image, turned to the strip's side.
#include "skin/skin_tab.h"

#include <QEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTransform>

#include "skin/skin_data.h"
#include "skin/skin_updown.h"

namespace kelpo::skin {

TSkinTab::~TSkinTab() { restore(); }

void TSkinTab::attachToControl(QWidget* control, TSkinData* data, bool colour) {
  if (attached()) return;
  TSkinControl::attachToControl(control, data, colour);
  if (auto* widget = qobject_cast<QTabWidget*>(control))
    bar_ = widget->tabBar();
  else
    bar_ = qobject_cast<QTabBar*>(control);
  if (bar_ && bar_ != control) watch(bar_);
  // The strip's scroll arrows are an up-down pair.
  if (bar_)
    for (QToolButton* arrow : bar_->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
      watch(arrow);
      arrows_.emplace_back(arrow);
    }
  readImages();
}

void TSkinTab::readImages() {
  border_ = TDataSkinObject();
  const SkinObjects* s = skin();
  if (!s || !s->tabs || s->tabs->bitmap2.isNull()) return;
  border_.bitmap = s->tabs->bitmap2;
  border_.trans = s->tabs->trans;
  border_.leftWidth = 4;
  border_.topHeight = 5;
  border_.rightWidth = 4;
  border_.bottomHeight = 4;
  border_.name = "Tabs.Border";
}

void TSkinTab::refresh() {
  readImages();
  TSkinControl::refresh();
  if (bar_) bar_->update();
}

int TSkinTab::orientation() const {
  if (!bar_) return 0;
  switch (bar_->shape()) {
    case QTabBar::RoundedSouth:
    case QTabBar::TriangularSouth:
      return 1;
    case QTabBar::RoundedWest:
    case QTabBar::TriangularWest:
      return 2;
    case QTabBar::RoundedEast:
    case QTabBar::TriangularEast:
      return 3;
    default:
      return 0;
  }
}

bool TSkinTab::eventFilter(QObject* watched, QEvent* event) {
  const SkinObjects* s = skin();
  for (std::size_t i = 0; i < arrows_.size(); ++i) {
    QToolButton* arrow = arrows_[i];
    if (!attached() || watched != arrow || event->type() != QEvent::Paint) continue;
    const bool vertical = orientation() >= 2;
    // Qt names its scroll buttons; the left (or upper) one comes first.
    const int which = arrow->objectName().contains(QLatin1String("Left"))    ? 1
                      : arrow->objectName().contains(QLatin1String("Right")) ? 2
                                                                             : int(i) + 1;
    QPainter p(arrow);
    return paintUpDownArrow(p, *data_, arrow->rect(), vertical, which, arrow->isDown(),
                            arrow->underMouse(), arrow->isEnabled());
  }
  if (attached() && watched == bar_ && event->type() == QEvent::Paint && s && s->tabs &&
      !s->tabs->bitmap.isNull()) {
    drawTabs();
    return true;
  }
  return TSkinControl::eventFilter(watched, event);
}

void TSkinTab::drawTabs() {
  const SkinObjects* s = skin();
  const TDataSkinBorder& image = *s->tabs;
  const int side = orientation();
  QPainter p(bar_);
  p.fillRect(bar_->rect(), toQColor(s->colours.buttonFace));
  for (int i = 0; i < bar_->count(); ++i) {
    const QRect r = bar_->tabRect(i);
    if (r.isEmpty()) continue;
    const bool current = i == bar_->currentIndex();
    // Built upright (tabs standing on the page), then turned to the strip's side.
    const QSize upright = side >= 2 ? r.size().transposed() : r.size();
    QImage tab(upright, QImage::Format_ARGB32_Premultiplied);
    tab.fill(Qt::transparent);
    {
      QPainter t(&tab);
      data_->painter().drawNine(t, image, current ? 2 : 1, tab.rect());
    }
    // Bottom tabs hang from the page: the image is flipped, the caption stays upright.
    if (side == 1) tab = tab.mirrored(false, true);
    {
      QPainter t(&tab);
      t.setFont(bar_->font());
      t.setPen(toQColor(current ? image.mouseOverColour2 : image.normalColour2));
      const QIcon icon = bar_->tabIcon(i);
      QRect text = tab.rect();
      if (!icon.isNull()) {
        const QSize is = bar_->iconSize();
        t.drawPixmap(QPoint(6, (tab.height() - is.height()) / 2), icon.pixmap(is));
        text.setLeft(6 + is.width());
      }
      t.drawText(text, Qt::AlignCenter | Qt::TextShowMnemonic, bar_->tabText(i));
    }
    if (side == 2) tab = tab.transformed(QTransform().rotate(-90));
    if (side == 3) tab = tab.transformed(QTransform().rotate(90));
    p.drawImage(r.topLeft(), tab);
  }
}

void TSkinTab::draw(QPainter& p, const QRect&) {
  auto* widget = qobject_cast<QTabWidget*>(control_.data());
  if (!widget || border_.bitmap.isNull()) return;
  auto* stack = widget->findChild<QStackedWidget*>(QString(), Qt::FindDirectChildrenOnly);
  if (!stack) return;
  // The page border goes around the display area, grown by its margins.
  const QRect page = stack->geometry().adjusted(-2, -2, 2, 2);
  data_->painter().drawBorder(p, border_, 1, page);
}

}  // namespace kelpo::skin
