// The skinned menu bar: its buttons, painting, opening the menus and switching between them.
#include "skin/skin_menu.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QShortcut>
#include <QTimer>

#include "skin/skin_data.h"
#include "skin/skin_form.h"
#include "skin/skin_manager.h"

namespace kelpo::skin {
namespace {

QChar accelerator(const QString& caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != QLatin1Char('&')) continue;
    if (caption[i + 1] != QLatin1Char('&')) return caption[i + 1].toUpper();
    ++i;
  }
  return {};
}

QString withoutMnemonic(QString text) {
  text.replace(QLatin1String("&&"), QString(QChar(0xFFFF)));
  text.remove(QLatin1Char('&'));
  text.replace(QChar(0xFFFF), QLatin1Char('&'));
  return text;
}

}  // namespace

TMenuBtn::TMenuBtn(TWinSkinForm* frame, TWinSkinMenu* bar, int i, QAction* action)
    : TNCObject(frame), index(i), bar_(bar) {
  caption = action->text();
  enabled = action->isEnabled();
  visible = action->isVisible();
  submenu = action->menu();
  command = action;
}

void TMenuBtn::mouseDown() {
  TNCObject::mouseDown();
  bar_->open(index);
}

void TMenuBtn::paint() { frame_->repaintObject(*this); }

TWinSkinMenu::TWinSkinMenu(TWinSkinForm* frame, TSkinData* data, QMenuBar* menuBar)
    : frame_(frame), data_(data), menuBar_(menuBar), barKey_(menuBar) {
  rebuild();
  if (menuBar_) menuBar_->installEventFilter(this);
}

TWinSkinMenu::~TWinSkinMenu() {
  if (menuBar_) menuBar_->removeEventFilter(this);
  for (QShortcut* s : shortcuts_) delete s;
  if (openMenu_) {
    openMenu_->removeEventFilter(this);
    disconnect(openMenu_, nullptr, this, nullptr);
    openMenu_->hide();
  }
  if (TSkinManage* m = TSkinManage::instance()) m->setMenuFromBar(false);
}

void TWinSkinMenu::rebuild() {
  buttons_.clear();
  for (QShortcut* s : shortcuts_) delete s;
  shortcuts_.clear();
  if (!menuBar_) return;
  QWidget* window = frame_->window();
  int index = 0;
  for (QAction* a : menuBar_->actions()) {
    if (a->isSeparator()) continue;
    auto button = std::make_unique<TMenuBtn>(frame_, this, index, a);
    // Alt and the item's letter open it, as the hidden bar did.
    const QChar key = accelerator(button->caption);
    if (!key.isNull() && window) {
      auto* shortcut = new QShortcut(
          QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(key.unicode()))), window);
      shortcut->setContext(Qt::WindowShortcut);
      connect(shortcut, &QShortcut::activated, this, [this, index] { open(index); });
      shortcuts_.push_back(shortcut);
    }
    buttons_.push_back(std::move(button));
    ++index;
  }
}

void TWinSkinMenu::paint(QPainter& p, const QRect& bar, bool active) {
  rect_ = bar;
  if (!data_ || !data_->skin() || bar.isEmpty()) return;
  const SkinObjects& s = *data_->skin();
  TSkinPainter& painter = data_->painter();
  QImage work(bar.size(), QImage::Format_ARGB32_Premultiplied);
  work.fill(toQColor(s.colours.menuBar));
  QPainter wp(&work);
  int x = 6;
  if (s.menuBar && !s.menuBar->bitmap.isNull()) {
    const int frame = active ? 1 : 2;
    // TileMenu 1 stretches the middle between the two margins; otherwise it is repeated.
    wp.drawImage(0, 0,
                 painter.threeBuild(*s.menuBar, s.menuBar->bitmap, 2, frame, bar.size(),
                                    s.tileLeftMenu, s.tileRightMenu, true, false, s.tileMenu == 1));
    x = s.tileLeftMenu + 4;
    if (bar.width() < x) x = 12;
  }
  const bool rtl = frame_->window() && frame_->window()->layoutDirection() == Qt::RightToLeft;
  if (rtl) x = bar.width() - (s.menuBar ? s.tileRightMenu + 8 : 6);
  QFont font = menuBar_ ? menuBar_->font() : QApplication::font("QMenuBar");
  wp.setFont(font);
  const QFontMetrics fm(font);
  for (auto& b : buttons_) {
    if (!b->visible) continue;
    const QString text = withoutMnemonic(b->caption);
    const int width = text.isEmpty() ? 0 : fm.horizontalAdvance(text) + 10;
    const QRect r(rtl ? x - width : x, 0, width, bar.height() - 1);
    x = rtl ? x - width : x + width;
    if (b->state != TNCObject::Normal && width > 0) {
      wp.setPen(toQColor(s.colours.buttonHilight));
      wp.drawRect(r.adjusted(0, 0, -1, -1));
    }
    wp.setPen(b->enabled ? toQColor(s.colours.menuBarText) : toQColor(sys::ButtonShadow));
    wp.drawText(r, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, b->caption);
    b->rect = r.translated(bar.topLeft());
  }
  wp.end();
  p.drawImage(bar.topLeft(), work);
}

TMenuBtn* TWinSkinMenu::buttonAt(QPoint p) const {
  for (const auto& b : buttons_)
    if (b->visible && !b->caption.isEmpty() && b->rect.contains(p)) return b.get();
  return nullptr;
}

TMenuBtn* TWinSkinMenu::buttonForAccelerator(QChar key) const {
  for (const auto& b : buttons_)
    if (b->enabled && b->visible && accelerator(b->caption) == key.toUpper()) return b.get();
  return nullptr;
}

void TWinSkinMenu::open(int index) {
  if (index < 0 || index >= static_cast<int>(buttons_.size())) return;
  TMenuBtn& b = *buttons_[static_cast<std::size_t>(index)];
  QWidget* window = frame_->window();
  if (!window) return;
  if (openMenu_) {
    switchTo(index);
    return;
  }
  if (!b.submenu) {
    // An item without a menu is a command of its own.
    if (b.command && b.enabled) b.command->trigger();
    b.mouseLeave();
    return;
  }
  if (!b.enabled) {
    b.mouseLeave();
    return;
  }
  openIndex_ = index;
  openMenu_ = b.submenu;
  openKey_ = openMenu_;
  if (frame_->current() != &b) b.mouseDown();
  b.state = TNCObject::Pressed;
  b.paint();
  if (TSkinManage* m = TSkinManage::instance()) m->setMenuFromBar(true);
  openMenu_->installEventFilter(this);
  connect(openMenu_, &QMenu::aboutToHide, this, &TWinSkinMenu::menuClosed, Qt::UniqueConnection);
  const QPoint at = window->mapToGlobal(QPoint(b.rect.left(), b.rect.bottom() + 1));
  openMenu_->popup(at);
  // The first item is selected by a down key, which (unlike selecting it directly) does not
  // open its submenu.
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QCoreApplication::sendEvent(openMenu_, &down);
}

void TWinSkinMenu::switchTo(int index) {
  if (!openMenu_ || index == openIndex_) return;
  switchTo_ = index;
  openMenu_->hide();
}

void TWinSkinMenu::menuClosed() {
  if (openMenu_) {
    openMenu_->removeEventFilter(this);
    disconnect(openMenu_, &QMenu::aboutToHide, this, &TWinSkinMenu::menuClosed);
  }
  if (openIndex_ >= 0 && openIndex_ < static_cast<int>(buttons_.size()))
    buttons_[static_cast<std::size_t>(openIndex_)]->mouseLeave();
  openMenu_ = nullptr;
  openKey_ = nullptr;
  openIndex_ = -1;
  if (TSkinManage* m = TSkinManage::instance()) m->setMenuFromBar(false);
  const int next = switchTo_;
  switchTo_ = -1;
  if (next >= 0)
    QTimer::singleShot(0, this, [this, next] {
      if (!openMenu_) open(next);
    });
}

bool TWinSkinMenu::eventFilter(QObject* watched, QEvent* event) {
  // Raw addresses: the watched object may be half destroyed already.
  if (watched == barKey_ && watched != openKey_) {
    const QEvent::Type t = event->type();
    // The bar follows changes of the menu while MenuUpdate is on.
    if ((t == QEvent::ActionAdded || t == QEvent::ActionRemoved || t == QEvent::ActionChanged) &&
        data_ && data_->MenuUpdate() && !openMenu_) {
      QTimer::singleShot(0, this, [this] {
        if (openMenu_) return;
        rebuild();
        frame_->repaintFrame();
      });
    }
    return false;
  }
  if (watched != openKey_ || !openMenu_ || buttons_.empty()) return false;
  const int count = static_cast<int>(buttons_.size());
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    int code = key->key();
    QWidget* window = frame_->window();
    if (window && window->layoutDirection() == Qt::RightToLeft) {
      if (code == Qt::Key_Left)
        code = Qt::Key_Right;
      else if (code == Qt::Key_Right)
        code = Qt::Key_Left;
    }
    if (code == Qt::Key_Left && QApplication::activePopupWidget() == openMenu_) {
      switchTo((openIndex_ + count - 1) % count);
      return true;
    }
    if (code == Qt::Key_Right) {
      QAction* active = openMenu_->activeAction();
      if (!active || !active->menu()) {
        switchTo((openIndex_ + 1) % count);
        return true;
      }
    }
    return false;
  }
  if (event->type() == QEvent::MouseMove) {
    QWidget* window = frame_->window();
    if (!window) return false;
    const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
    if (TMenuBtn* b = buttonAt(window->mapFromGlobal(global)); b && b->index != openIndex_)
      switchTo(b->index);
    return false;
  }
  return false;
}

}  // namespace kelpo::skin
