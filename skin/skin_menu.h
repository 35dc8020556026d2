// TWinSkinMenu: the menu bar a skinned frame draws in its M-high strip in place of the
// window's own menu bar (which stays hidden while skinned), with one TMenuBtn per top-level
// item, hot and pressed states, Alt accelerators and keyboard switching between the menus.
#pragma once

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QShortcut>
#include <memory>
#include <vector>

#include "skin/skin_sys_button.h"

class QAction;
class QMenu;
class QMenuBar;
class QPainter;
class QShortcut;
#include "skin/skin_data.h"

namespace kelpo::skin {

class TWinSkinMenu;

class TMenuBtn : public TNCObject {
 public:
  TMenuBtn(TWinSkinForm* frame, TWinSkinMenu* bar, int index, QAction* action);
  void mouseDown() override;
  void paint() override;

  int index;
  QString caption;
  bool enabled = true;
  QPointer<QMenu> submenu;
  QPointer<QAction> command;

 private:
  TWinSkinMenu* bar_;
};

class TWinSkinMenu : public QObject {
  Q_OBJECT
 public:
  TWinSkinMenu(TWinSkinForm* frame, TSkinData* data, QMenuBar* menuBar);
  ~TWinSkinMenu() override;

  // Reads the items of the menu bar again (MenuUpdate).
  void rebuild();
  const std::vector<std::unique_ptr<TMenuBtn>>& buttons() const { return buttons_; }
  // The bar's rectangle in window coordinates, as last painted.
  QRect rect() const { return rect_; }
  void paint(QPainter& p, const QRect& bar, bool active);
  // The first button with a caption containing the point (window coordinates).
  TMenuBtn* buttonAt(QPoint p) const;
  // Opens a bar item: runs its command, then drops its menu down below it.
  void open(int index);
  // The bar item whose menu is open, or -1.
  int openIndex() const { return openIndex_; }
  QMenu* openMenu() const { return openMenu_; }
  // The button the Alt accelerator `key` (a letter) belongs to, or null.
  TMenuBtn* buttonForAccelerator(QChar key) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void close();
  void switchTo(int index);
  void menuClosed();

  TWinSkinForm* frame_;
  QPointer<TSkinData> data_;
  QPointer<QMenuBar> menuBar_;
  std::vector<std::unique_ptr<TMenuBtn>> buttons_;
  std::vector<QPointer<QShortcut>> shortcuts_;
  QRect rect_;
  int openIndex_ = -1;
  int switchTo_ = -1;
  QPointer<QMenu> openMenu_;
  const QObject* barKey_ = nullptr;
  const QObject* openKey_ = nullptr;
};

}  // namespace kelpo::skin
