// The mouse in a skinned frame: hit testing, the title-bar buttons and their actions, the
// window menu, double clicks, and moving or sizing the window by its frame.
#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QMenu>
#include <QMouseEvent>
#include <QWindow>
#include <algorithm>

#include "skin/skin_form.h"
#include "skin/skin_menu.h"

namespace kelpo::skin {

void TWinSkinForm::buildWindowMenu() {
  windowMenu_ = std::make_unique<QMenu>();
  QMenu* m = windowMenu_.get();
  m->setObjectName(QStringLiteral("SkinWindowMenu"));
  const bool skinned = data_ && data_->SkinControls().has(xcSystemMenu);
  // Without the skinned window menu, the plain one stands for the platform's.
  if (!skinned && data_) m->setProperty("Tag", data_->DisableTag());
  m->setProperty("kelpoWindowMenu", true);
  auto item = [&](const char* text, int tag, auto&& run) {
    QAction* a = m->addAction(QString::fromLatin1(text));
    a->setData(tag);
    if (skinned && data_) a->setIcon(QIcon(QPixmap::fromImage(data_->menuGlyph(tag))));
    QPointer<TWinSkinForm> self(this);
    connect(a, &QAction::triggered, this, [self, run] {
      if (self) run(*self);
    });
    return a;
  };
  item(" Restore ", 0, [](TWinSkinForm& f) {
    if (f.window_) f.window_->showNormal();
  });
  if (has(MaximiseBox)) item(" Maximize ", 1, [](TWinSkinForm& f) { f.runAction(1); });
  if (has(MinimiseBox)) item(" Minimize ", 2, [](TWinSkinForm& f) { f.runAction(2); });
  m->addSeparator()->setData(100);
  item(" Close \tShift+F4", 3, [](TWinSkinForm& f) { f.runAction(0); });
}

TNCObject* TWinSkinForm::objectAt(QPoint p) const {
  for (const auto& b : buttons_)
    if (b->visible && b->action() >= 0 && b->skin().visibility != 100 && b->rect.contains(p))
      return b.get();
  if (menu_)
    if (TMenuBtn* b = menu_->buttonAt(p)) return b;
  return nullptr;
}

int TWinSkinForm::hitTest(QPoint p) const {
  if (!window_) return HitNowhere;
  const QRect all = window_->rect();
  if (!all.contains(p)) return HitNowhere;
  if (all.marginsRemoved(frameMargins()).contains(p)) return HitClient;
  if (resizable() && showState() == Normal &&
      (p.x() < L || p.x() >= all.width() - R || p.y() >= all.height() - B || p.y() < 3))
    return HitBorder;
  if (p.y() < T) return HitCaption;
  if (p.y() < T + M) return HitMenu;
  return HitBorder;
}

void TWinSkinForm::runAction(int action) {
  QPointer<QWidget> w = window_;
  if (!w) return;
  switch (action) {
    case 0:
      hover_.stop();
      QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
      break;
    case 1:
    case 22:
      QMetaObject::invokeMethod(
          w,
          [w] {
            if (w->isMaximized())
              w->showNormal();
            else
              w->showMaximized();
          },
          Qt::QueuedConnection);
      break;
    case 2:
    case 23:
      QMetaObject::invokeMethod(
          w,
          [w] {
            if (w->isMinimized())
              w->showNormal();
            else
              w->showMinimized();
          },
          Qt::QueuedConnection);
      break;
    case 3:
    case 11:
    case 12:
      openWindowMenu(QCursor::pos() + QPoint(1, 1));
      break;
    case 7:
    case 8:
    case 9:
    case 60:
    case 61:
    case 62:
      break;  // child windows of a host: none in this program
    default:
      QCoreApplication::postEvent(w, new SysButtonActionEvent(action));
      break;
  }
}

void TWinSkinForm::openWindowMenu(QPoint global) {
  if (!windowMenu_ || !window_) return;
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  if (lastMenuOpen_ >= 0 && now - lastMenuOpen_ <= QApplication::doubleClickInterval()) {
    // Opened again at once (a double click on the icon, or two right clicks): close.
    lastMenuOpen_ = -1;
    windowMenu_->hide();
    runAction(0);
    return;
  }
  lastMenuOpen_ = now;
  const int state = showState();
  for (QAction* a : windowMenu_->actions()) {
    const int tag = a->data().toInt();
    if (tag == 0) a->setEnabled(state != Normal);
    if (tag == 1) a->setEnabled(state != Maximised);
    if (tag == 2) a->setEnabled(state != Minimised);
  }
  windowMenu_->popup(global);
}

void TWinSkinForm::hoverTick() {
  if (!window_ || !current_) return;
  if (menu_ && menu_->openIndex() >= 0) return;
  if (!current_->rect.contains(window_->mapFromGlobal(QCursor::pos()))) current_->mouseLeave();
}

bool TWinSkinForm::mouseEvent(QEvent* event) {
  auto* me = static_cast<QMouseEvent*>(event);
  QWidget* w = window_;
  const QPoint pt = me->position().toPoint();
  const QPoint global = me->globalPosition().toPoint();
  if (dragEdges_ != 0) {
    if (event->type() == QEvent::MouseMove && (me->buttons() & Qt::LeftButton)) {
      const QPoint d = global - dragStart_;
      if (dragEdges_ < 0) {
        w->move(dragGeometry_.topLeft() + d);
      } else {
        QRect g = dragGeometry_;
        if (dragEdges_ & Qt::LeftEdge) g.setLeft(g.left() + d.x());
        if (dragEdges_ & Qt::RightEdge) g.setRight(g.right() + d.x());
        if (dragEdges_ & Qt::TopEdge) g.setTop(g.top() + d.y());
        if (dragEdges_ & Qt::BottomEdge) g.setBottom(g.bottom() + d.y());
        w->setGeometry(g);
      }
      return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
      dragEdges_ = 0;
      return true;
    }
  }
  const int hit = hitTest(pt);
  if (hit == HitClient || hit == HitNowhere) {
    if (event->type() == QEvent::MouseMove && current_ && !(me->buttons() & Qt::LeftButton))
      current_->mouseLeave();
    return false;
  }
  switch (event->type()) {
    case QEvent::MouseMove: {
      if (!active_) return true;
      if (TNCObject* o = objectAt(pt)) {
        o->mouseMove();
        return true;
      }
      if (current_) current_->mouseLeave();
      return true;
    }
    case QEvent::MouseButtonPress: {
      if (me->button() == Qt::LeftButton) {
        if (!active_) w->activateWindow();
        if (TNCObject* o = objectAt(pt)) {
          o->mouseDown();
          return true;
        }
        const int state = showState();
        if (hit == HitBorder && resizable() && state == Normal) {
          Qt::Edges edges;
          if (pt.x() < std::max(L, 4)) edges |= Qt::LeftEdge;
          if (pt.x() >= w->width() - std::max(R, 4)) edges |= Qt::RightEdge;
          if (pt.y() < 3) edges |= Qt::TopEdge;
          if (pt.y() >= w->height() - std::max(B, 4)) edges |= Qt::BottomEdge;
          if (edges && !(w->windowHandle() && w->windowHandle()->startSystemResize(edges))) {
            dragEdges_ = static_cast<int>(edges);
            dragStart_ = global;
            dragGeometry_ = w->geometry();
          }
        } else if (hit == HitCaption && state == Normal) {
          // A maximised window is not dragged by its caption.
          if (!(w->windowHandle() && w->windowHandle()->startSystemMove())) {
            dragEdges_ = -1;
            dragStart_ = global;
            dragGeometry_ = QRect(w->pos(), w->size());
          }
        }
        return true;
      }
      if (me->button() == Qt::RightButton && hit == HitCaption && !objectAt(pt))
        openWindowMenu(global);
      return true;
    }
    case QEvent::MouseButtonRelease: {
      if (me->button() != Qt::LeftButton) return true;
      TNCObject* o = objectAt(pt);
      if (o && o == current_) {
        for (const auto& b : buttons_)
          if (b.get() == o) {
            o->mouseUp();
            runAction(b->action());
            break;
          }
      }
      return true;
    }
    case QEvent::MouseButtonDblClick: {
      if (me->button() != Qt::LeftButton) return true;
      if (TNCObject* o = objectAt(pt)) {
        o->mouseDown();  // the second press of a double click
        return true;
      }
      if (hit != HitCaption) return true;
      const int state = showState();
      if (state != Normal)
        w->showNormal();
      else if (has(MaximiseBox))
        w->showMaximized();
      return true;
    }
    default:
      return false;
  }
}

}  // namespace kelpo::skin
