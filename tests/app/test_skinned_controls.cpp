// Kelpo's own windows with their controls skinned by the stored skin: every control whose kind
// the skin covers gets its skin object, looks different skinned, and looks as before once the
// skin objects are gone. With KELPO_SHOTS_DIR set, each window is also saved there, unskinned
// beside skinned, as skin-controls-NAME.png.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTreeWidget>
#include <functional>

#include "app/add_data.h"
#include "app/frm_main.h"
#include "app/my_soft.h"
#include "app/seach.h"
#include "report/ui/preview_form.h"
#include "report/ui/toolbar_controls.h"
#include "resources/skin/stored_skin.h"
#include "skin/skin_control.h"
#include "skin/skin_control_set.h"
#include "skin/skin_data.h"
#include "skin/skin_manager.h"
#include "tests/app/window_fixture.h"

namespace kelpo::testing_windows {
namespace {

using skin::TSkinControlSet;

class SkinnedControls : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (HasFatalFailure()) return;
    createTable();
    insert({"川菜", "麻婆豆腐", "豆腐 1块", "1. 豆腐切块\n2. 下锅", nullptr, "趁热吃"});
    insert({"家常菜", "红烧肉", "五花肉 500克", "炖", nullptr, "小火慢炖"});
    data_.readSkinStream(storedSkinStream());
    ASSERT_TRUE(data_.loaded()) << data_.lastError();
  }
  void TearDown() override {
    skin::TSkinManage::destroyInstance();
    WindowTest::TearDown();
  }

  // Skins `window`'s controls, checks the named controls got skin objects, compares the looks
  // and saves the pair when asked.
  void check(QWidget* window, const char* shotName, const std::vector<QWidget*>& expected) {
    // The catalogue window's own skin component would frame and skin the window as it shows;
    // this compares the controls alone, so the manager stays out of it.
    if (auto* manager = skin::TSkinManage::instance()) manager->setSkinning(false);
    window->show();
    QCoreApplication::processEvents();
    const QImage plain = window->grab().toImage();
    QImage skinned;
    {
      auto set = skin::SkinControlsOf(window, &data_);
      auto* controls = static_cast<TSkinControlSet*>(set.get());
      for (QWidget* w : expected)
        EXPECT_NE(controls->skinControlOf(w), nullptr)
            << shotName << ": " << w->objectName().toStdString();
      skinned = window->grab().toImage();
      EXPECT_NE(skinned, plain) << shotName;
    }
    EXPECT_EQ(window->grab().toImage(), plain) << shotName;
    if (const QByteArray dir = qgetenv("KELPO_SHOTS_DIR"); !dir.isEmpty()) {
      QImage pair(plain.width() * 2 + 12, plain.height(), QImage::Format_RGB32);
      pair.fill(Qt::white);
      QPainter p(&pair);
      p.drawImage(0, 0, plain);
      p.drawImage(plain.width() + 12, 0, skinned);
      p.end();
      pair.save(QString::fromLocal8Bit(dir) + "/skin-controls-" + shotName + ".png");
    }
  }
  template <typename W>
  static W* named(QObject* parent, const char* name) {
    auto* w = parent->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  skin::TSkinData data_;
};

TEST_F(SkinnedControls, CatalogueWindow) {
  MessageCapture messages;
  // The catalogue window finds its database in the current folder.
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(programFolder_));
  struct Back {
    QString path;
    ~Back() { QDir::setCurrent(path); }
  } back{previous};
  TFrmMain window;
  window.setProgramFolder(programFolder_);
  auto* tree = named<QTreeWidget>(&window, "TreeView1");
  tree->expandAll();
  check(&window, "catalogue",
        {tree, named<QPlainTextEdit>(&window, "Memo1"), named<QPlainTextEdit>(&window, "Memo2"),
         named<QPlainTextEdit>(&window, "Memo3"), named<QStatusBar>(&window, "StatusBar1"),
         named<QWidget>(&window, "GroupBox1"), named<QWidget>(&window, "GroupBox2")});
}

TEST_F(SkinnedControls, AddWindow) {
  MessageCapture messages;
  TAddData window(&connection_, programFolder_);
  std::vector<QWidget*> expected;
  for (const char* name : {"ComboBox1", "Edit1", "Memo1", "Memo2", "Memo3", "Button1"})
    expected.push_back(named<QWidget>(&window, name));
  check(&window, "add", expected);
}

TEST_F(SkinnedControls, SearchWindow) {
  MessageCapture messages;
  TSeach window(&connection_, programFolder_);
  std::vector<QWidget*> expected;
  for (const char* name : {"RadioButton1", "RadioButton2", "Edit1", "Edit2", "Button1", "ComboBox1",
                           "Memo1", "Memo2", "GroupBox1", "GroupBox2"})
    expected.push_back(named<QWidget>(&window, name));
  check(&window, "search", expected);
}

TEST_F(SkinnedControls, AboutWindowPreviewAndMessageBox) {
  MessageCapture messages;
  TMySoft about;
  check(&about, "about", {});
  report::TfrPreviewForm preview;
  preview.resize(640, 420);
  // The scroll bars and every speed button of the toolbar.
  std::vector<QWidget*> previewControls{preview.verticalBar(), preview.horizontalBar()};
  for (report::TfrSpeedButton* b : preview.findChildren<report::TfrSpeedButton*>())
    previewControls.push_back(b);
  EXPECT_GE(previewControls.size(), 8u);
  check(&preview, "preview", previewControls);
  QMessageBox box(QMessageBox::Question, QStringLiteral("Kelpo"),
                  QStringLiteral("删除这个菜谱吗？"), QMessageBox::Yes | QMessageBox::No);
  std::vector<QWidget*> buttons;
  for (QAbstractButton* b : box.buttons()) buttons.push_back(b);
  check(&box, "message-box", buttons);
}

}  // namespace
}  // namespace kelpo::testing_windows
