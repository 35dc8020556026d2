// The skinned frame of a top-level window: attach and restore, metrics, painting, the shape,
// and the mouse in the frame.
#include "skin/skin_form.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QResizeEvent>
#include <QSizeGrip>
#include <QStyle>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "skin/skin_control.h"
#include "skin/skin_data.h"
#include "skin/skin_manager.h"
#include "skin/skin_menu.h"

namespace kelpo::skin {
namespace {

QEvent::Type newType() { return static_cast<QEvent::Type>(QEvent::registerEventType()); }

// Frame pieces keep their Stretch value in the tile field, where 1 means stretch the middle.
int pieceTile(const TDataSkinObject& o) { return o.tile == 1 ? 0 : 1; }

int pieceFrame(const TDataSkinObject& o, bool active) {
  return active || o.frameCount <= 1 ? 1 : 2;
}

int span(const TDataSkinBorder* o, bool width) {
  if (!o || o->bitmap.isNull()) return 0;
  return (width ? o->bitmap.width() : o->bitmap.height()) / std::max(1, o->frameCount);
}

constexpr int kMaxSize = QWIDGETSIZE_MAX;

QSize grown(QSize size, QSize by) {
  return QSize(
      size.width() >= kMaxSize ? kMaxSize : std::min(kMaxSize, size.width() + by.width()),
      size.height() >= kMaxSize ? kMaxSize : std::min(kMaxSize, size.height() + by.height()));
}

}  // namespace

QEvent::Type skinRefreshEvent() {
  static const QEvent::Type type = newType();
  return type;
}
QEvent::Type skinRepaintEvent() {
  static const QEvent::Type type = newType();
  return type;
}
QEvent::Type skinFirstLayoutEvent() {
  static const QEvent::Type type = newType();
  return type;
}
QEvent::Type SysButtonActionEvent::eventType() {
  static const QEvent::Type type = newType();
  return type;
}
SysButtonActionEvent::SysButtonActionEvent(int a) : QEvent(eventType()), action(a) {}

TWinSkinForm::TWinSkinForm(QWidget* window, TSkinData* data)
    : window_(window), key_(window), data_(data) {
  hover_.setInterval(250);
  connect(&hover_, &QTimer::timeout, this, &TWinSkinForm::hoverTick);
  attach();
}

TWinSkinForm::~TWinSkinForm() { detach(); }

void TWinSkinForm::readWindow() {
  QWidget* w = window_;
  const Qt::WindowFlags f = w->windowFlags();
  caption_ = w->windowTitle();
  className_ = windowClassName(w);
  const Qt::WindowType type = w->windowType();
  popup_ = type == Qt::Dialog || type == Qt::Sheet || type == Qt::Tool || type == Qt::Popup;
  const bool fixed = w->minimumSize() == w->maximumSize();
  caps_ = 0;
  // A window whose size is fixed cannot be maximised, whatever its flags say.
  if (f.testFlag(Qt::WindowMaximizeButtonHint) && !fixed) caps_ |= MaximiseBox;
  if (f.testFlag(Qt::WindowMinimizeButtonHint)) caps_ |= MinimiseBox;
  if (f.testFlag(Qt::WindowSystemMenuHint) || f.testFlag(Qt::WindowCloseButtonHint))
    caps_ |= SystemMenu;
  rtl_ = w->layoutDirection() == Qt::RightToLeft;
  // Child-window hosts do not occur among Kelpo's windows; one is recognised, nothing more.
  windowKind_ = 0;
  for (QObject* child : w->children())
    if (child->inherits("QMdiArea")) windowKind_ = 1;
  if (f.testFlag(Qt::FramelessWindowHint) || type == Qt::Popup || type == Qt::ToolTip ||
      type == Qt::SplashScreen || (popup_ && !f.testFlag(Qt::WindowTitleHint)))
    borderKind_ = 2;
  else if (f.testFlag(Qt::WindowTitleHint))
    borderKind_ = 0;
  else
    borderKind_ = 3;
}

void TWinSkinForm::attach() {
  QWidget* w = window_;
  readWindow();
  active_ = w->isActiveWindow();
  saved_.flags = w->windowFlags();
  saved_.mask = w->mask();
  saved_.margins = w->contentsMargins();
  saved_.minimum = w->minimumSize();
  saved_.maximum = w->maximumSize();
  saved_.size = w->size();
  saved_.pos = w->pos();
  saved_.mouseTracking = w->hasMouseTracking();
  saved_.ownPalette = w->testAttribute(Qt::WA_SetPalette);
  saved_.palette = w->palette();
  saved_.autoFill = w->autoFillBackground();
  client_ = w->size();

  captionFont_ = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  captionFont_.setBold(true);
  buildWindowIcon();
  buildWindowMenu();

  const SkinObjects* skin = data_ ? data_->skin() : nullptr;
  if (skin) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, toQColor(skin->colours.buttonFace));
    w->setPalette(pal);
  }
  framed_ = skin && data_->SkinControls().has(xcMainMenu) && borderKind_ != 2;
  if (framed_) {
    menuBarWidget_ = w->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (menuBarWidget_ && windowKind_ != 2) {
      saved_.menuBarVisible = menuBarWidget_->isVisibleTo(w);
      if (saved_.menuBarVisible) {
        M = menuBarWidget_->height() > 1 ? menuBarWidget_->height()
                                         : menuBarWidget_->sizeHint().height();
        if (w->layout()) client_.rheight() -= M;
        menu_ = std::make_unique<TWinSkinMenu>(this, data_, menuBarWidget_);
        menuBarWidget_->hide();
      }
    }
    computeMetrics();
    rebuildButtons();
    // The frame sizes the window by its borders; a size grip already shown would sit on the
    // frame's corner (ones appearing later are refused by the manager).
    for (QSizeGrip* grip : w->findChildren<QSizeGrip*>())
      if (grip->isVisibleTo(w)) {
        grip->hide();
        saved_.grips.emplace_back(grip);
      }
    applyFrame();
    remeasure();
  }
  w->setMouseTracking(true);
  w->installEventFilter(this);
  w->update();
}

void TWinSkinForm::setControls(std::unique_ptr<QObject> controls) {
  controls_ = std::move(controls);
}

void TWinSkinForm::setFrameless(bool on) {
  Qt::WindowFlags f = saved_.flags;
  if (on) f |= Qt::FramelessWindowHint;
  // Setting the widget's flags would hide the window (and end a dialog's modal loop); the
  // flags change in place instead.
  window_->overrideWindowFlags(f);
  if (QWindow* handle = window_->windowHandle()) handle->setFlags(f);
}

void TWinSkinForm::applyFrame() {
  QWidget* w = window_;
  setFrameless(true);
  const QPoint offset(L, T + M);
  // Layouts, and forms that place their controls in the contents rectangle by hand, keep
  // clear of the frame through the margins.
  w->setContentsMargins(saved_.margins + frameMargins());
  if (!w->layout()) {
    // A form laid out by positions: its controls move by the frame, keeping their places
    // relative to each other.
    if (saved_.children.empty()) {
      for (QObject* o : w->children()) {
        auto* child = qobject_cast<QWidget*>(o);
        if (!child || child->isWindow() || child == menuBarWidget_) continue;
        saved_.children.emplace_back(child, child->pos());
      }
    }
    for (auto& [child, pos] : saved_.children)
      if (child) child->move(pos + offset);
    relayOut();
  }
}

void TWinSkinForm::relayOut() {
  // A form that places its controls itself when resized does so again in the new contents
  // rectangle; a form with fixed places ignores this.
  QResizeEvent e(window_->size(), window_->size());
  QCoreApplication::sendEvent(window_, &e);
}

void TWinSkinForm::computeMetrics() {
  const SkinObjects* s = data_ ? data_->skin() : nullptr;
  if (!s) return;
  if (borderKind_ == 2) {
    L = T = R = B = M = 0;
    return;
  }
  L = span(s->left.get(), true);
  T = span(s->top.get(), false);
  R = span(s->right.get(), true);
  B = span(s->bottom.get(), false);
}

void TWinSkinForm::rebuildButtons() {
  if (current_) current_ = nullptr;
  buttons_.clear();
  const SkinObjects* s = data_ ? data_->skin() : nullptr;
  if (!s) return;
  for (const auto& b : s->sysButtons) {
    auto button = std::make_unique<TWinSysButton>(this, b.get());
    if (button->isIcon()) {
      button->setIcon(icon_);
      if (data_->iconCache.isNull()) data_->iconCache = icon_;
    }
    buttons_.push_back(std::move(button));
  }
}

void TWinSkinForm::dropButtons() {
  current_ = nullptr;
  buttons_.clear();
}

void TWinSkinForm::buildWindowIcon() {
  const int side =
      QApplication::style() ? QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize) : 16;
  // The window's own icon keeps its alpha: filled with the key colour, its soft edges would
  // blend into a magenta fringe that the key no longer matches.
  QImage image(side, side, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QIcon icon = window_->windowIcon();
  if (!icon.isNull()) {
    QPainter p(&image);
    p.drawPixmap(0, 0, icon.pixmap(side, side));
  } else {
    image = QImage();
    if (data_ && !data_->iconCache.isNull()) image = data_->iconCache;
    if (image.isNull() && TSkinManage::instance())
      for (TSkinData* d : TSkinManage::instance()->registered())
        if (d->SkinFormtype() == TSkinFormType::sfMainform && !d->iconCache.isNull()) {
          image = d->iconCache;
          break;
        }
  }
  icon_ = image;
}

bool TWinSkinForm::resizable() const {
  return window_ && window_->minimumSize() != window_->maximumSize() && borderKind_ != 3;
}

int TWinSkinForm::showState() const {
  if (!window_) return Normal;
  if (window_->isMinimized()) return Minimised;
  if (window_->isMaximized()) return Maximised;
  return Normal;
}

void TWinSkinForm::remeasure() {
  QWidget* w = window_;
  if (!framed_ || !w) return;
  if (showState() == Maximised) {
    w->update();
    return;
  }
  const QSize frame(L + R, T + M + B);
  const QSize size = client_ + frame;
  if (saved_.minimum == saved_.maximum) {
    w->setFixedSize(size);
  } else {
    w->setMinimumSize(grown(saved_.minimum, frame));
    w->setMaximumSize(grown(saved_.maximum, frame));
  }
  w->resize(size);
}

void TWinSkinForm::firstLayout() {
  if (life_ != Attached) return;
  if (framed_ && showState() != Minimised) {
    life_ = FirstLayout;
    remeasure();
  }
  life_ = Ready;
  if (framed_) {
    region_ = buildRegion();
    regionSize_ = window_->size();
    if (!region_.isEmpty()) window_->setMask(region_);
  }
  if (active_) hover_.start();
  window_->update();
}

void TWinSkinForm::refresh() {
  QWidget* w = window_;
  if (!w || !data_) return;
  const SkinObjects* skin = data_->skin();
  if (skin) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, toQColor(skin->colours.buttonFace));
    w->setPalette(pal);
  }
  if (controls_) RefreshSkinControls(controls_.get());
  life_ = Remeasuring;
  if (framed_ && skin) {
    if (menu_) menu_->rebuild();
    computeMetrics();
    rebuildButtons();
    applyFrame();
    remeasure();
    region_ = buildRegion();
    regionSize_ = w->size();
    if (!region_.isEmpty()) w->setMask(region_);
  }
  life_ = Ready;
  w->update();
}

void TWinSkinForm::detach(bool resize) {
  if (life_ == Detaching || life_ == Destroyed) return;
  life_ = Detaching;
  windowMenu_.reset();
  hover_.stop();
  // The controls go first: they were skinned inside the frame.
  controls_.reset();
  QWidget* w = window_;
  if (!w) {
    life_ = Destroyed;
    return;
  }
  w->removeEventFilter(this);
  current_ = nullptr;
  buttons_.clear();
  menu_.reset();
  if (menuBarWidget_ && saved_.menuBarVisible) menuBarWidget_->show();
  if (saved_.ownPalette)
    w->setPalette(saved_.palette);
  else
    w->setPalette(QPalette());
  w->setAttribute(Qt::WA_SetPalette, saved_.ownPalette);
  w->setAutoFillBackground(saved_.autoFill);
  if (framed_) {
    for (auto& [child, pos] : saved_.children)
      if (child) child->move(pos);
    for (QWidget* grip : saved_.grips)
      if (grip) grip->show();
    saved_.grips.clear();
    const bool placedByHand = !saved_.children.empty();
    saved_.children.clear();
    w->setContentsMargins(saved_.margins);
    if (placedByHand && !resize) relayOut();
    setFrameless(false);
    if (saved_.mask.isEmpty())
      w->clearMask();
    else
      w->setMask(saved_.mask);
    region_ = QRegion();
    if (resize) {
      w->setMinimumSize(0, 0);
      w->setMaximumSize(kMaxSize, kMaxSize);
      w->resize(saved_.size);
    }
    w->setMinimumSize(saved_.minimum);
    w->setMaximumSize(saved_.maximum);
    if (resize && w->layout()) w->layout()->activate();
    if (resize && placedByHand) relayOut();
  }
  w->setMouseTracking(saved_.mouseTracking);
  w->update();
  life_ = Destroyed;
}

QRegion TWinSkinForm::buildRegion() {
  QWidget* w = window_;
  const SkinObjects* s = data_ ? data_->skin() : nullptr;
  if (!w || !s || !framed_) return {};
  const int W = w->width(), H = w->height();
  if (W <= 0 || H <= 0) return {};
  const TDataSkinBorder* pieces[] = {s->left.get(), s->right.get(), s->top.get(), s->bottom.get()};
  bool transparent = false;
  for (const TDataSkinBorder* piece : pieces)
    if (piece && piece->trans && !piece->bitmap.isNull()) transparent = true;
  if (!transparent) return QRegion(0, 0, W, H);
  TSkinPainter& painter = data_->painter();
  QRegion r(L, T, W - L - R, H - T - B);
  if (borderKind_ == 2) return r;
  auto piece = [&](const TDataSkinBorder* o, const QRect& dest, bool stacked, bool plain) {
    if (dest.isEmpty()) return QRegion();
    if (!o || plain) return QRegion(dest);
    return painter.opaqueRegion(*o, pieceFrame(*o, active_), dest, stacked, pieceTile(*o));
  };
  r += piece(s->left.get(), QRect(0, 0, L, H), false, H <= 1);
  r += piece(s->right.get(), QRect(W - R, 0, R, H), false, H <= 1);
  r += piece(s->bottom.get(), QRect(L, H - B, W - L - R, B), true, B < 2);
  r += piece(s->top.get(), QRect(L, 0, W - L - R, T), true, T <= 1);
  return r;
}

bool TWinSkinForm::buttonVisible(const TWinSysButton& b) const {
  const bool maximised = showState() == Maximised;
  const int action = b.action();
  auto test = [&](int code, bool second) {
    switch (code) {
      case 0:
        return second || (borderKind_ != 3 && (action != 0 || has(SystemMenu)));
      case 1:
        return maximised;
      case 2:
        return !maximised;
      case 3:
        return active_;
      case 4:
        return !active_;
      case 6:
        return second ? has(MaximiseBox) : has(MaximiseBox) && has(SystemMenu);
      case 7:
        return !has(MaximiseBox);
      case 8:
        return second ? has(MinimiseBox) : has(MinimiseBox) && has(SystemMenu);
      case 9:
        return !has(MinimiseBox);
      case 100:
        return false;  // no window here hosts child windows
      default:
        return code >= 200 && code <= 2000;
    }
  };
  if (!test(b.skin().visibility, false) || !test(b.skin().visibility1, true)) return false;
  if (action == 1 && !has(MaximiseBox)) return false;
  if (action == 2 && !has(MinimiseBox)) return false;
  return true;
}

void TWinSkinForm::layoutButtons(int textLeft, int textRight) {
  const int W = window_->width();
  const SkinObjects* s = data_->skin();
  buttonsLeft_ = 0;
  for (auto& b : buttons_) {
    b->visible = buttonVisible(*b);
    const QImage& image = b->isIcon() && !icon_.isNull() ? icon_ : b->image();
    if (!b->visible || image.isNull()) continue;
    const int frames = b->isIcon() ? 1 : b->frames();
    const int w = image.width() / frames, h = image.height();
    const TDataSkinSysButton& k = b->skin();
    switch (k.align) {
      case 0:
        b->rect = QRect(k.xcoord, k.ycoord, w, h);
        break;
      case 1:
        b->rect = QRect(W - k.xcoord, k.ycoord, w, h);
        // The caption text of a dialog stops before the leftmost of these.
        if (buttonsLeft_ == 0 || b->rect.left() < buttonsLeft_) buttonsLeft_ = b->rect.left();
        break;
      case 2:
      case 8:
        b->rect = QRect(textLeft - w - k.xcoord, k.ycoord, w, h);
        break;
      case 3:
      case 9:
        b->rect = QRect(textRight + k.xcoord, k.ycoord, w, h);
        break;
      case 100: {
        const int left = s->menuBar ? s->menuBar->leftWidth : 0;
        const int x = rtl_ ? k.xcoord + left + L : W - k.xcoord - R - left;
        b->rect = QRect(x, T + (M - h) / 2, w, h);
        break;
      }
      default:
        break;
    }
  }
}

void TWinSkinForm::paintCaption(QPainter& p, int frame) {
  const SkinObjects& s = *data_->skin();
  const TDataSkinTitle& title = *s.title;
  TSkinPainter& painter = data_->painter();
  const int W = window_->width();
  const QRect C(L, 0, W - L - R, T);
  p.setFont(captionFont_);
  const QFontMetrics fm(captionFont_);
  const QString text = QStringLiteral("  ") + caption_;
  const int tbl = title.textBackLeft, tbr = title.textBackRight;
  const int tw = fm.horizontalAdvance(QStringLiteral("   ") + caption_) + tbl + tbr;
  int x = 0;
  switch (rtl_ ? 2 : title.textAlignment) {
    case 0:
      x = title.leftWidth;
      break;
    case 1:
      x = (C.width() - tw) / 2;
      break;
    case 2:
      x = C.width() - title.rightWidth - tw;
      break;
    default:
      break;
  }
  const int th = fm.height();
  const int y = (C.height() - th) / 2 + title.topHeight / 2;
  QRect tr(C.left() + x, y, tw, th);
  if (!popup_) {
    if (tr.right() > C.right() - title.rightWidth) tr.setRight(C.right() - title.rightWidth);
  } else if (buttonsLeft_ > 0) {
    tr.setRight(buttonsLeft_ - 5);
  }
  if (tr.width() > 0 && !title.bitmap.isNull())
    p.drawImage(tr.left(), 0,
                painter.threeBuild(title, title.bitmap, 2, frame, QSize(tr.width(), T), tbl, tbr,
                                   true, true));
  const QRect textRect = tr.adjusted(tbl, 0, -tbr, 0);
  captionRect_ = textRect;
  if (textRect.width() > 0) {
    TColor colour = active_ ? s.colours.titleTextActive : s.colours.titleTextNoActive;
    p.setPen(toQColor(colour));
    p.drawText(textRect,
               Qt::TextSingleLine | Qt::AlignVCenter | (rtl_ ? Qt::AlignRight : Qt::AlignLeft),
               fm.elidedText(text, Qt::ElideRight, textRect.width()));
  }
  layoutButtons(textRect.left(), textRect.right());
  for (const auto& b : buttons_) {
    if (!b->visible || b->skin().visibility == 100) continue;
    if (b->isIcon()) {
      if (!icon_.isNull()) p.drawImage(b->rect.topLeft(), TSkinPainter::keyed(icon_));
      continue;
    }
    if (b->image().isNull()) continue;
    int f = b->state;
    if (f == TNCObject::Normal) f = active_ || b->frames() < 4 ? 1 : 4;
    painter.drawFrame(p, b->skin(), f, b->rect);
  }
}

void TWinSkinForm::paintFrame(QPainter& p) {
  QWidget* w = window_;
  const SkinObjects* s = data_ ? data_->skin() : nullptr;
  if (!w || !s || !framed_ || (life_ != Ready && life_ != Remeasuring)) return;
  TSkinPainter& painter = data_->painter();
  const int W = w->width(), H = w->height();
  auto draw = [&](const TDataSkinBorder* o, const QRect& dest, bool stacked) {
    if (o && !o->bitmap.isNull())
      painter.drawNine(p, *o, pieceFrame(*o, active_), dest, stacked, pieceTile(*o));
  };
  draw(s->left.get(), QRect(0, 0, L, H), false);
  draw(s->right.get(), QRect(W - R, 0, R, H), false);
  draw(s->bottom.get(), QRect(L, H - B, W - L - R, B), true);
  draw(s->top.get(), QRect(L, 0, W - L - R, T), true);
  if (s->title) paintCaption(p, active_ ? 1 : 2);
  if (menu_ && M > 0) menu_->paint(p, QRect(L, T, W - L - R, M), active_);
}

void TWinSkinForm::repaintObject(const TNCObject& object) {
  if (window_) window_->update(object.rect.adjusted(-1, -1, 1, 1));
}

void TWinSkinForm::repaintFrame() {
  if (!window_) return;
  const QRect all = window_->rect();
  window_->update(QRegion(all) - QRegion(all.marginsRemoved(frameMargins())));
}

bool TWinSkinForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched != key_ || !window_) return false;
  QWidget* w = window_;
  const QEvent::Type type = event->type();
  if (type == skinFirstLayoutEvent()) {
    firstLayout();
    return true;
  }
  if (type == skinRefreshEvent()) {
    refresh();
    return true;
  }
  if (type == skinRepaintEvent()) {
    repaintFrame();
    return true;
  }
  switch (type) {
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      active_ = type == QEvent::WindowActivate;
      if (active_ && life_ == Ready)
        hover_.start();
      else
        hover_.stop();
      if (!active_ && current_) current_->mouseLeave();
      repaintFrame();
      return false;
    case QEvent::WindowTitleChange:
      // The caption follows the window's text.
      caption_ = w->windowTitle();
      repaintFrame();
      return false;
    case QEvent::WindowStateChange:
    case QEvent::Resize:
      if (framed_ && (life_ == Ready || life_ == Remeasuring) && showState() != Minimised &&
          w->size() != regionSize_) {
        regionSize_ = w->size();
        region_ = buildRegion();
        if (!region_.isEmpty()) w->setMask(region_);
      }
      repaintFrame();
      return false;
    case QEvent::Leave:
      // An open bar menu takes the pointer; its button stays pressed meanwhile.
      if (current_ && dragEdges_ == 0 && !(menu_ && menu_->openIndex() >= 0))
        current_->mouseLeave();
      return false;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      return framed_ && mouseEvent(event);
    case QEvent::Paint: {
      if (guard_ || !framed_) return false;
      // The window paints itself first; the frame then paints over its margins.
      guard_ = true;
      QCoreApplication::sendEvent(w, event);
      guard_ = false;
      try {
        QPainter p(w);
        paintFrame(p);
      } catch (...) {
        // A failed frame paint leaves the window's own paint; nothing is live afterwards.
        current_ = nullptr;
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace kelpo::skin
