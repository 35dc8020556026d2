// The skinned menu bar and menu windows on real widgets: the bar drawn in the frame, opening
// and switching its menus with the mouse and the keyboard, Alt accelerators, and menu windows
// painted from the skin or left alone.
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

#include "skin/skin_form.h"
#include "skin/skin_manager.h"
#include "skin/skin_menu.h"
#include "skin/skin_pop_menu.h"
#include "tests/skin/support_frame.h"

namespace kelpo::skin::testing {
namespace {

class SkinMenuTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    form = std::make_unique<QMainWindow>();
    file = form->menuBar()->addMenu("&File");
    file->addAction("Open");
    file->addAction("Save")->setEnabled(false);
    edit = form->menuBar()->addMenu("&Edit");
    sub = edit->addMenu("Sub");
    sub->addAction("Deep");
    edit->addAction("Copy");
    about = form->menuBar()->addAction("About");
    QObject::connect(about, &QAction::triggered, [this] { ++aboutRuns; });
    auto* central = new QWidget;
    central->setFixedSize(300, 150);
    form->setCentralWidget(central);
    data = makeData(owner.get());
    form->show();  // shown is skinned
    frame = TSkinManage::instance()->findFrame(form.get());
    settle();
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(frame->menuBar(), nullptr);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(form.get(), &activate);
    image = render(form.get());  // lays the bar out
  }
  void TearDown() override {
    for (QMenu* m : {file, edit, sub}) m->hide();
    form.reset();
    FrameTest::TearDown();
  }
  TMenuBtn& bar(int i) { return *frame->menuBar()->buttons()[static_cast<std::size_t>(i)]; }
  void press(QPoint at) {
    QMouseEvent e(QEvent::MouseButtonPress, at, form->mapToGlobal(at), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &e);
  }
  static void key(QWidget* w, int code, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent down(QEvent::KeyPress, code, mods);
    QCoreApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, code, mods);
    QCoreApplication::sendEvent(w, &up);
  }

  std::unique_ptr<QMainWindow> form;
  QMenu *file = nullptr, *edit = nullptr, *sub = nullptr;
  QAction* about = nullptr;
  int aboutRuns = 0;
  TWinSkinForm* frame = nullptr;
  QImage image;
};

TEST_F(SkinMenuTest, BarIsDrawnInTheFrameFromTheHiddenMenuBar) {
  EXPECT_FALSE(form->menuBar()->isVisible());
  ASSERT_EQ(frame->menuBar()->buttons().size(), 3u);
  const QRect strip(frame->L, frame->T, form->width() - frame->L - frame->R, frame->M);
  EXPECT_EQ(frame->menuBar()->rect(), strip);
  // Buttons left to right inside the strip, starting after the bar image's left margin.
  EXPECT_EQ(bar(0).rect.left(), frame->L + 2 + 4);
  EXPECT_EQ(bar(1).rect.left(), bar(0).rect.right() + 1);
  EXPECT_EQ(bar(0).caption, "&File");
  EXPECT_GT(countColour(image, strip, kMenuBarColour), strip.width() * strip.height() / 2);
  EXPECT_GT(countColour(image, bar(0).rect, kMenuBarText), 5);
  EXPECT_EQ(frame->objectAt(bar(1).rect.center()), &bar(1));
}

TEST_F(SkinMenuTest, PressingABarButtonOpensItsMenuWithTheFirstItemSelected) {
  press(bar(0).rect.center());
  EXPECT_TRUE(file->isVisible());
  EXPECT_EQ(frame->menuBar()->openIndex(), 0);
  EXPECT_EQ(file->activeAction(), file->actions().front());
  EXPECT_EQ(bar(0).state, TNCObject::Pressed);
  // Drawn from the skin: its background, and the selected item's frame.
  EXPECT_TRUE(TSkinManage::instance()->isSkinned(file));
  const QImage menu = file->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(menu.pixelColor(1, 1), kMenuBackground);
  const QRect first = file->actionGeometry(file->actions().front());
  EXPECT_GT(countColour(menu, first, kMenuItemSelected), first.width() * first.height() / 3);
  file->hide();
  settle();
  EXPECT_EQ(frame->menuBar()->openIndex(), -1);
  EXPECT_EQ(bar(0).state, TNCObject::Normal);
  EXPECT_FALSE(TSkinManage::instance()->isSkinned(file));
}

TEST_F(SkinMenuTest, ArrowKeysSwitchBetweenBarMenusAndWrapAround) {
  struct Step {
    int key;
    int from, to;
  };
  // Right on an item without a submenu moves on, from the last bar menu to the first; Left
  // moves back, from the first to the last.
  form->menuBar()->removeAction(about);
  settle();
  ASSERT_EQ(frame->menuBar()->buttons().size(), 2u);
  const Step steps[] = {
      {Qt::Key_Right, 0, 1}, {Qt::Key_Right, 1, 0}, {Qt::Key_Left, 1, 0}, {Qt::Key_Left, 0, 1}};
  for (const Step& s : steps) {
    frame->menuBar()->open(s.from);
    settle();
    QMenu* open = frame->menuBar()->openMenu();
    ASSERT_NE(open, nullptr);
    open->setActiveAction(open->actions().back());  // an item without a submenu
    key(open, s.key);
    settle();
    settle();
    EXPECT_EQ(frame->menuBar()->openIndex(), s.to) << s.key;
    if (QMenu* m = frame->menuBar()->openMenu()) m->hide();
    settle();
  }
  // Right on an item with a submenu opens the submenu instead of switching.
  frame->menuBar()->open(1);
  settle();
  edit->setActiveAction(sub->menuAction());
  key(edit, Qt::Key_Right);
  settle();
  EXPECT_EQ(frame->menuBar()->openIndex(), 1);
}

TEST_F(SkinMenuTest, MovingThePointerToAnotherBarButtonOpensItsMenu) {
  press(bar(0).rect.center());
  ASSERT_TRUE(file->isVisible());
  const QPoint to = form->mapToGlobal(bar(1).rect.center());
  QMouseEvent move(QEvent::MouseMove, file->mapFromGlobal(to), to, Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(file, &move);
  settle();
  EXPECT_FALSE(file->isVisible());
  EXPECT_TRUE(edit->isVisible());
  EXPECT_EQ(frame->menuBar()->openIndex(), 1);
}

TEST_F(SkinMenuTest, BarItemWithoutAMenuRunsItsCommand) {
  press(bar(2).rect.center());
  EXPECT_EQ(aboutRuns, 1);
  EXPECT_EQ(frame->menuBar()->openIndex(), -1);
}

TEST_F(SkinMenuTest, AltWithAnAcceleratorOpensThatMenuAndAltAloneNothing) {
  form->activateWindow();
  QApplication::setActiveWindow(form.get());
  key(form.get(), Qt::Key_Alt, Qt::AltModifier);
  settle();
  EXPECT_EQ(frame->menuBar()->openIndex(), -1);
  EXPECT_FALSE(form->menuBar()->isVisible());
  EXPECT_EQ(frame->menuBar()->buttonForAccelerator(QChar('e')), &bar(1));
  QKeyEvent altE(QEvent::ShortcutOverride, Qt::Key_E, Qt::AltModifier, "e");
  QCoreApplication::sendEvent(form.get(), &altE);
  QKeyEvent press(QEvent::KeyPress, Qt::Key_E, Qt::AltModifier, "e");
  QApplication::sendEvent(form.get(), &press);
  settle();
  EXPECT_EQ(frame->menuBar()->openIndex(), 1);
  EXPECT_TRUE(edit->isVisible());
}

TEST_F(SkinMenuTest, MenuChangesRebuildTheBarAndDetachGivesTheBarBack) {
  form->menuBar()->addMenu("&Help");
  settle();
  EXPECT_EQ(frame->menuBar()->buttons().size(), 4u);
  TSkinManage::instance()->removeFrame(form.get());
  EXPECT_TRUE(form->menuBar()->isVisible());
}

TEST_F(SkinMenuTest, PopupMenusNeedTheirSettingAndTaggedOnesKeepTheirLook) {
  struct Case {
    const char* name;
    int tag;
    bool popupSkinned;
    bool expected;
  };
  const Case cases[] = {
      {"popup menu", 0, true, true},
      {"tag 99", 99, true, false},
      {"tag 199", 199, true, false},
      {"without xcPopupMenu", 0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    data->setSkinControls(c.popupSkinned ? TSkinControls::all()
                                         : TSkinControls::all().without(xcPopupMenu));
    QMenu popup;
    popup.setProperty("Tag", c.tag);
    popup.addAction("One");
    popup.popup(QPoint(10, 10));
    EXPECT_EQ(TSkinManage::instance()->isSkinned(&popup), c.expected);
    popup.hide();
  }
}

TEST_F(SkinMenuTest, ItemsDrawSeparatorsChecksAndShortcutTexts) {
  QMenu menu;
  menu.addAction("Checked")->setCheckable(true);
  menu.actions()[0]->setChecked(true);
  menu.addSeparator();
  menu.addAction("Cut\tCtrl+X");
  menu.popup(QPoint(10, 10));
  ASSERT_TRUE(TSkinManage::instance()->isSkinned(&menu));
  const QImage m = menu.grab().toImage().convertToFormat(QImage::Format_RGB32);
  // A separator is a strip from the item image's second frame, not the plain menu colour.
  const QRect separator = menu.actionGeometry(menu.actions()[1]);
  EXPECT_GT(countColour(m, separator.adjusted(4, 0, -4, 0), kMenuItem), 0);
  // The check mark and both texts are drawn in the menu's text colour (black here).
  const QRect checked = menu.actionGeometry(menu.actions()[0]);
  EXPECT_GT(countColour(m, QRect(checked.left(), checked.top(), 22, checked.height()), Qt::black),
            0);
  const QRect cut = menu.actionGeometry(menu.actions()[2]);
  EXPECT_GT(countColour(m, QRect(cut.right() - 60, cut.top(), 50, cut.height()), Qt::black), 0);
  menu.hide();
}

}  // namespace
}  // namespace kelpo::skin::testing
