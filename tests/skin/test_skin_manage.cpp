// The manager on real windows: which windows get frames when they appear, message boxes and
// dialogs, Tag 99, switching skinning off and on, size grips, and shutdown.
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSizeGrip>
#include <QTimer>

#include "skin/skin_form.h"
#include "skin/skin_manager.h"
#include "tests/skin/support_frame.h"

namespace kelpo::skin::testing {
namespace {

class SkinManageTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    data = makeData(owner.get());
    manager = TSkinManage::instance();
    manager->installHook();
  }
  TSkinManage* manager = nullptr;
};

TEST_F(SkinManageTest, WindowsAreFramedWhenTheyAppearExceptTag99) {
  QWidget plain, tagged;
  plain.resize(120, 80);
  tagged.resize(120, 80);
  tagged.setProperty("Tag", 99);
  plain.show();
  tagged.show();
  settle();
  ASSERT_NE(manager->findFrame(&plain), nullptr);
  EXPECT_EQ(manager->findFrame(&plain)->lifeState(), TWinSkinForm::Ready);
  EXPECT_EQ(manager->findFrame(&tagged), nullptr);
  EXPECT_FALSE(tagged.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(tagged.size(), QSize(120, 80));
}

TEST_F(SkinManageTest, MessageBoxIsFramedWhileItsModalLoopRuns) {
  QMessageBox box(QMessageBox::Information, "Kelpo", "A message", QMessageBox::Ok);
  QSize framed, plainSize;
  bool wasFramed = false;
  QTimer::singleShot(50, [&] {
    TWinSkinForm* f = manager->findFrame(&box);
    wasFramed = f && f->framed() && box.isVisible();
    framed = box.size();
    if (f) plainSize = framed - QSize(f->L + f->R, f->T + f->B);
    EXPECT_EQ(windowClassName(&box), "TMessageForm");
    box.button(QMessageBox::Ok)->click();
  });
  // Attaching must not end the box's loop: it returns only through the click.
  EXPECT_EQ(box.exec(), QMessageBox::Ok);
  EXPECT_TRUE(wasFramed);
  EXPECT_GT(plainSize.width(), 0);
}

TEST_F(SkinManageTest, SwitchingOffRestoresEveryWindowAndOnSkinsThemAgain) {
  QDialog dialog;
  dialog.setFixedSize(150, 90);
  QWidget resizable;
  resizable.resize(160, 100);
  const Qt::WindowFlags flags = resizable.windowFlags();
  dialog.show();
  resizable.show();
  settle();
  ASSERT_EQ(manager->frames().size(), 2u);

  data->setActive(true);  // the component is on; then off
  data->setActive(false);
  manager->runCommand();
  EXPECT_TRUE(manager->frames().empty());
  EXPECT_EQ(dialog.size(), QSize(150, 90));
  EXPECT_EQ(resizable.size(), QSize(160, 100));
  EXPECT_EQ(resizable.windowFlags(), flags);
  EXPECT_TRUE(dialog.mask().isEmpty());

  data->setActive(true);
  manager->runCommand();
  settle();
  EXPECT_EQ(manager->frames().size(), 2u);
  EXPECT_EQ(dialog.size(), QSize(157, 114));
}

TEST_F(SkinManageTest, SizeGripIsRefusedOnlyInsideASkinnedWindow) {
  QWidget skinned, tagged;
  tagged.setProperty("Tag", 99);
  for (QWidget* w : {&skinned, &tagged}) {
    w->resize(150, 100);
    w->show();
  }
  settle();
  auto* inSkinned = new QSizeGrip(&skinned);
  auto* inTagged = new QSizeGrip(&tagged);
  inSkinned->show();
  inTagged->show();
  EXPECT_FALSE(inSkinned->isVisible());
  EXPECT_TRUE(inTagged->isVisible());
}

TEST_F(SkinManageTest, SizeGripShownBeforeSkinningIsHiddenWhileFramed) {
  QWidget window;
  window.resize(150, 100);
  auto* grip = new QSizeGrip(&window);
  manager->setSkinning(false);
  window.show();
  ASSERT_TRUE(grip->isVisible());
  manager->setSkinning(true);
  ASSERT_TRUE(manager->skinWindow(&window));
  EXPECT_FALSE(grip->isVisible());
  manager->removeFrame(&window);
  EXPECT_TRUE(grip->isVisible());
}

TEST_F(SkinManageTest, ShutdownPutsEveryWindowBack) {
  QDialog dialog;
  auto* ok = new QPushButton("OK", &dialog);
  ok->move(5, 5);
  dialog.setFixedSize(150, 90);
  dialog.show();
  settle();
  ASSERT_NE(manager->findFrame(&dialog), nullptr);
  TSkinManage::destroyInstance();
  EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(ok->pos(), QPoint(5, 5));
  EXPECT_TRUE(dialog.mask().isEmpty());
}

TEST_F(SkinManageTest, ClosedWindowsLeaveTheListAfterTheCommand) {
  auto window = std::make_unique<QWidget>();
  window->resize(100, 80);
  window->show();
  settle();
  ASSERT_EQ(manager->frames().size(), 1u);
  window.reset();
  EXPECT_TRUE(manager->frames().empty());  // no longer counted
  EXPECT_EQ(manager->pendingCommand(), SkinCommand::RemoveClosed);
  manager->runCommand();
}

}  // namespace
}  // namespace kelpo::skin::testing
