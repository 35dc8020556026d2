// TWinSkinPopMenu: a drop-down or popup menu window painted from the skin: the menu
// background with its border, and every item drawn from the skin's menu-item image with its
// text, check mark or glyph, separator, disabled state and shortcut text.
#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QPainter;
class QRect;
#include "skin/skin_data.h"

namespace kelpo::skin {

class TWinSkinPopMenu : public QObject {
  Q_OBJECT
 public:
  TWinSkinPopMenu(QMenu* menu, TSkinData* data);
  // Gives the menu its own drawing back.
  ~TWinSkinPopMenu() override;

  QMenu* menu() const { return menu_; }
  TSkinData* data() const { return data_; }
  // Whether the menu was opened from a skinned menu bar.
  bool fromMenuBar = false;

  // The whole menu: background, border and items.
  void paint(QPainter& p);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QMenu> menu_;
  const QObject* key_;  // compared only: the menu may be half destroyed
  QPointer<TSkinData> data_;
  bool guard_ = false;
};

// One menu item into `r` (coordinates of `p`): skin image or plain colours, selected or not.
void drawMenuItem(QPainter& p, TSkinData& data, const QMenu& menu, QAction& action, const QRect& r,
                  bool selected);

}  // namespace kelpo::skin
