// Menu windows painted from the skin: background and border, then every item.
#include "skin/skin_pop_menu.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

#include "skin/skin_data.h"

namespace kelpo::skin {
namespace {

constexpr int kBorder = 3;

// Frames of the menu-item image lie side by side: 1 normal, 4 selected.
int itemFrames(const TDataSkinObject& o) { return o.frameCount > 1 ? o.frameCount : 5; }

void drawCheckMark(QPainter& p, const QRect& column, const QColor& colour) {
  const QPointF c = QRectF(column).center() + QPointF(1, 1);
  QPainterPath tick;
  tick.moveTo(c + QPointF(-4, 0));
  tick.lineTo(c + QPointF(-1, 3));
  tick.lineTo(c + QPointF(4, -3));
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(colour, 2));
  p.drawPath(tick);
  p.restore();
}

}  // namespace

TWinSkinPopMenu::TWinSkinPopMenu(QMenu* menu, TSkinData* data)
    : menu_(menu), key_(menu), data_(data) {
  menu->installEventFilter(this);
  menu->update();
}

TWinSkinPopMenu::~TWinSkinPopMenu() {
  if (menu_) {
    menu_->removeEventFilter(this);
    menu_->update();
  }
}

bool TWinSkinPopMenu::eventFilter(QObject* watched, QEvent* event) {
  if (watched != key_ || !menu_ || event->type() != QEvent::Paint || !data_ || !data_->skin())
    return false;
  QPainter p(menu_);
  paint(p);
  return true;
}

void TWinSkinPopMenu::paint(QPainter& p) {
  QMenu& menu = *menu_;
  const SkinObjects& s = *data_->skin();
  const QRect all = menu.rect();
  if (s.menuBackground && !s.menuBackground->bitmap.isNull()) {
    data_->painter().drawNine(p, *s.menuBackground, 1, all);
  } else {
    p.fillRect(all, toQColor(s.colours.menu));
    p.setPen(toQColor(s.colours.buttonShadow));
    p.drawRect(all.adjusted(0, 0, -1, -1));
  }
  // Items stay inside the border.
  p.setClipRect(all.adjusted(kBorder, kBorder, -kBorder, -kBorder));
  for (QAction* a : menu.actions()) {
    if (!a->isVisible()) continue;
    const QRect r = menu.actionGeometry(a);
    if (r.isEmpty()) continue;
    drawMenuItem(p, *data_, menu, *a, r, menu.activeAction() == a && a->isEnabled());
  }
}

void drawMenuItem(QPainter& p, TSkinData& data, const QMenu& menu, QAction& action, const QRect& r,
                  bool selected) {
  const SkinObjects& s = *data.skin();
  TSkinPainter& painter = data.painter();
  const TDataSkinObject* image =
      s.menuItem && !s.menuItem->bitmap.isNull() ? s.menuItem.get() : nullptr;
  const QString text = action.text();
  if (action.isSeparator() || text == QLatin1String("-")) {
    if (image) {
      // The bottom rows of the second frame: left part, stretched middle, right part.
      const QRect f = TSkinPainter::frameRect(image->bitmap, itemFrames(*image), 2);
      const int h = std::min(r.height(), f.height());
      const QImage src = TSkinPainter::keyed(image->bitmap);
      const int lw = image->leftWidth, rw = image->rightWidth;
      const int sy = f.bottom() + 1 - h;
      const int y = r.top() + (r.height() - h) / 2;
      p.drawImage(QRect(r.left(), y, lw, h), src, QRect(f.left(), sy, lw, h));
      p.drawImage(QRect(r.left() + lw, y, r.width() - lw - rw, h), src,
                  QRect(f.left() + lw, sy, f.width() - lw - rw, h));
      p.drawImage(QRect(r.right() + 1 - rw, y, rw, h), src, QRect(f.right() + 1 - rw, sy, rw, h));
    } else {
      const int y = r.top() + 4;
      p.setPen(toQColor(s.colours.buttonShadow));
      p.drawLine(r.left() + 2, y, r.right() - 2, y);
      p.setPen(toQColor(s.colours.buttonHilight));
      p.drawLine(r.left() + 2, y + 1, r.right() - 2, y + 1);
    }
    return;
  }
  int leftWidth = 0;
  if (image) {
    leftWidth = image->leftWidth;
    const int count = itemFrames(*image);
    if (count == image->frameCount) {
      painter.drawNine(p, *image, selected ? 4 : 1, r);
    } else {
      const QRect f = TSkinPainter::frameRect(image->bitmap, count, selected ? 4 : 1);
      p.drawImage(r, image->trans ? TSkinPainter::keyed(image->bitmap) : image->bitmap, f);
    }
  } else {
    p.fillRect(r, toQColor(selected ? s.colours.hilight : s.colours.menu));
  }

  // The image column.
  const int side = 16;
  const QRect column(r.left() + 1 + leftWidth, r.top() + (r.height() - side) / 2, side, side);
  QColor textColour;
  if (!action.isEnabled())
    textColour = toQColor(s.colours.buttonShadow == s.colours.menuText ? sys::ButtonShadow
                                                                       : s.colours.buttonShadow);
  else if (image && selected)
    // A selected item drawn from the skin's image takes that image's hover text colour:
    // highlight text on a light selected frame would not be readable.
    textColour = toQColor(image->mouseOverColour2);
  else
    textColour = toQColor(selected ? s.colours.hilightText : s.colours.menuText);
  if (!action.icon().isNull()) {
    if (action.isChecked()) {
      p.fillRect(column, QBrush(toQColor(s.colours.buttonHilight), Qt::Dense4Pattern));
      p.setPen(toQColor(s.colours.buttonShadow));
      p.drawRect(column.adjusted(0, 0, -1, -1));
    }
    p.drawPixmap(column, action.icon().pixmap(
                             side, side, action.isEnabled() ? QIcon::Normal : QIcon::Disabled));
  } else if (action.isCheckable() && action.isChecked()) {
    drawCheckMark(p, column, textColour);
  }

  QFont font = menu.font();
  if (menu.defaultAction() == &action) font.setBold(true);
  p.setFont(font);
  p.setPen(textColour);
  QString caption = text;
  QString shortcut;
  if (const qsizetype tab = caption.indexOf(QLatin1Char('\t')); tab >= 0) {
    shortcut = caption.mid(tab + 1);
    caption.truncate(tab);
  }
  if (shortcut.isEmpty() && !action.shortcut().isEmpty())
    shortcut = action.shortcut().toString(QKeySequence::NativeText);
  if (caption.isEmpty() || caption == QLatin1String("&")) caption = QStringLiteral(" ");
  const QRect textRect(column.right() + 1 + 3, r.top(), r.right() - 1 - (column.right() + 3),
                       r.height());
  p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine | Qt::TextShowMnemonic,
             caption);
  if (!shortcut.isEmpty())
    p.drawText(QRect(r.left(), r.top(), r.width() - 10, r.height()),
               Qt::AlignVCenter | Qt::AlignRight | Qt::TextSingleLine, shortcut);
  if (action.menu()) {
    // A submenu shows its arrow at the right.
    const int cx = r.right() - 6, cy = r.center().y();
    const QPoint arrow[] = {{cx - 3, cy - 4}, {cx + 1, cy}, {cx - 3, cy + 4}};
    p.setBrush(textColour);
    p.setPen(Qt::NoPen);
    p.drawPolygon(arrow, 3);
    p.setBrush(Qt::NoBrush);
  }
}

}  // namespace kelpo::skin
