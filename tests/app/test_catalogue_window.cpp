// The catalogue window driven through its widgets: tree, selection, photographs, menus.
#include <gtest/gtest.h>

#include <QAction>
#include <QDeadlineTimer>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTreeWidget>
#include <memory>

#include "app/frm_main.h"
#include "app/recipe_store.h"
#include "catalogue_fixture.h"
#include "platform/error.h"
#include "platform/text.h"
#include "readable_message.h"
#include "report/core/report.h"
#include "report/expr/datasets.h"

namespace kelpo {
namespace {

using catalogue_testing::CatalogueTest;
using catalogue_testing::MessageCapture;
using catalogue_testing::Recipe;
using catalogue_testing::u8;

// The window's parts, found by their names as a user's tools would see them.
struct Widgets {
  explicit Widgets(TFrmMain& w)
      : TreeView1(find<QTreeWidget>(w, "TreeView1")),
        Memo1(find<QPlainTextEdit>(w, "Memo1")),
        Memo2(find<QPlainTextEdit>(w, "Memo2")),
        Memo3(find<QPlainTextEdit>(w, "Memo3")),
        Label1(find<QLabel>(w, "Label1")),
        Label2(find<QLabel>(w, "Label2")),
        StatusBar1(find<QStatusBar>(w, "StatusBar1")),
        N2(find<QAction>(w, "N2")),
        N4(find<QAction>(w, "N4")),
        N6(find<QAction>(w, "N6")),
        N7(find<QAction>(w, "N7")),
        N8(find<QAction>(w, "N8")),
        N9(find<QAction>(w, "N9")),
        N11(find<QAction>(w, "N11")),
        N12(find<QAction>(w, "N12")),
        N13(find<QAction>(w, "N13")) {}

  template <class T>
  static T* find(TFrmMain& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  QTreeWidget* TreeView1;
  QPlainTextEdit *Memo1, *Memo2, *Memo3;
  QLabel *Label1, *Label2;
  QStatusBar* StatusBar1;
  QAction *N2, *N4, *N6, *N7, *N8, *N9, *N11, *N12, *N13;
};

class CatalogueWindowTest : public CatalogueTest {
 protected:
  std::unique_ptr<TFrmMain> openWindow() {
    auto window = std::make_unique<TFrmMain>();
    window->setProgramFolder(programFolder_);
    return window;
  }

  // The node reached by following texts from the root ("" alone is the root).
  static QTreeWidgetItem* node(TFrmMain& window, QStringList texts) {
    QTreeWidgetItem* item = Widgets(window).TreeView1->topLevelItem(0);
    for (const QString& text : texts) {
      QTreeWidgetItem* next = nullptr;
      for (int i = 0; item && i < item->childCount() && !next; ++i)
        if (item->child(i)->text(0) == text) next = item->child(i);
      item = next;
    }
    return item;
  }

  static void select(TFrmMain& window, QStringList texts) {
    QTreeWidgetItem* item = node(window, texts);
    ASSERT_NE(item, nullptr) << texts.join(u'/').toStdString();
    Widgets(window).TreeView1->setCurrentItem(item);
  }

  // Each node's text, indented by two spaces a level, in tree order.
  static QStringList outline(const QTreeWidget* tree) {
    QStringList lines;
    std::function<void(const QTreeWidgetItem*, int)> walk = [&](const QTreeWidgetItem* item,
                                                                int level) {
      lines << QString(level * 2, u' ') + item->text(0);
      for (int i = 0; i < item->childCount(); ++i) walk(item->child(i), level + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i) walk(tree->topLevelItem(i), 0);
    return lines;
  }

  const std::vector<Recipe> kitchen_ = {
      {"川菜", "麻婆豆腐", "豆腐 1块", "1. 豆腐切块\r\n2. 下锅", "\\Pictures\\川菜\\麻婆豆腐.bmp",
       "趁热吃"},
      {"凉菜", "拍黄瓜", "黄瓜 2根", "拍碎拌匀", "Pictures\\凉菜\\拍黄瓜.bmp", "现拌现吃"},
      {"川菜", "回锅肉", "五花肉", "先煮后炒", "\\Pictures\\川菜\\回锅肉.bmp", "肉要煮透"},
      {"他说\"辣\"", "老\"干妈\"炒饭", "米饭", "大火炒", "\\Pictures\\川菜\\麻婆豆腐.bmp", "加蛋"},
      {"菜谱", "类别", "葱", "切葱", "\\Pictures\\凉菜\\拍黄瓜.bmp", "葱要新鲜"},
      {"凉菜", "皮蛋豆腐", "皮蛋", "切块", "\\Pictures\\凉菜\\皮蛋豆腐.bmp", "淋酱油"},
  };

  void writeKitchen() {
    writeCatalogue(kitchen_);
    writePhoto(u8("Pictures/川菜/麻婆豆腐.bmp"), Qt::red);
    writePhoto(u8("Pictures/川菜/回锅肉.bmp"), Qt::darkRed);
    writePhoto(u8("Pictures/凉菜/拍黄瓜.bmp"), Qt::green);
    writePhoto(u8("Pictures/凉菜/皮蛋豆腐.bmp"), Qt::darkGreen);
  }
};

TEST_F(CatalogueWindowTest, TreeHoldsCategoriesAndRecipesInTheOrderTheDatabaseGives) {
  writeKitchen();
  MessageCapture messages;
  auto window = openWindow();
  const QTreeWidget* tree = Widgets(*window).TreeView1;
  EXPECT_EQ(outline(tree),
            (QStringList{u8("Kelpo"), u8("  川菜"), u8("    麻婆豆腐"), u8("    回锅肉"),
                         u8("  凉菜"), u8("    拍黄瓜"), u8("    皮蛋豆腐"), u8("  他说\"辣\""),
                         u8("    老\"干妈\"炒饭"), u8("  菜谱"), u8("    类别")}));
  EXPECT_TRUE(messages.records.empty());
  EXPECT_FALSE(window->terminating());
  EXPECT_EQ(tree->currentItem(), nullptr);
  EXPECT_FALSE(tree->topLevelItem(0)->isExpanded());
  EXPECT_FALSE(Widgets(*window).N2->isEnabled());
  EXPECT_EQ(window->photograph().size(), QSize(200, 150));  // the placeholder
}

TEST_F(CatalogueWindowTest, SelectionShowsTheFirstRowOfTheNodesStatement) {
  writeKitchen();
  MessageCapture messages;
  auto window = openWindow();
  const Widgets ui(*window);
  struct Step {
    QStringList node;
    int row;  // of kitchen_, the one shown
    bool printable;
    int rows;  // the detail query's result
  };
  const Step steps[] = {
      {{}, 0, false, 6},
      {{u8("凉菜")}, 1, false, 2},
      {{u8("凉菜"), u8("皮蛋豆腐")}, 5, true, 1},
      {{u8("他说\"辣\""), u8("老\"干妈\"炒饭")}, 3, true, 1},
      {{u8("菜谱")}, 4, false, 1},
      {{u8("菜谱"), u8("类别")}, 4, true, 1},
      {{u8("川菜"), u8("回锅肉")}, 2, true, 1},
      {{}, 0, false, 6},
  };
  const QColor colours[] = {Qt::red, Qt::green, Qt::darkRed, Qt::red, Qt::green, Qt::darkGreen};
  window->show();
  window->activateWindow();
  for (QDeadlineTimer wait(5000); !window->isActiveWindow() && !wait.hasExpired();)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  ASSERT_TRUE(window->isActiveWindow());
  ui.Memo3->setPlainText(u8("用户写的字"));  // never stored, replaced by the next selection
  for (const Step& s : steps) {
    SCOPED_TRACE(s.node.join(u'/').toStdString());
    ui.Memo3->setFocus();
    select(*window, s.node);
    const Recipe& r = kitchen_[s.row];
    EXPECT_EQ(ui.Memo1->toPlainText(), u8(r.ingredients));
    EXPECT_EQ(ui.Memo2->toPlainText(), recipes::fromStoredLines(u8(r.method)));
    EXPECT_EQ(ui.Memo3->toPlainText(), u8(r.tips));
    EXPECT_EQ(window->photograph().pixelColor(0, 0), colours[s.row]);
    EXPECT_EQ(ui.N2->isEnabled(), s.printable);
    EXPECT_EQ(window->detailQuery()->recordCount(), s.rows);
    EXPECT_TRUE(ui.TreeView1->hasFocus());
  }
  EXPECT_EQ(ui.Memo2->toPlainText(), u8("1. 豆腐切块\n2. 下锅"));  // stored lines end in CR LF
  EXPECT_TRUE(messages.records.empty());
}

// The window binds the report dataset frDBDataSet1 to the detail query and makes it the
// report's dataset; preparing reads the selected recipe.
TEST_F(CatalogueWindowTest, TheReportWalksTheDetailQueryThroughItsDataset) {
  writeKitchen();
  MessageCapture messages;
  auto window = openWindow();
  auto* sheetReport = window->findChild<report::TfrReport*>(QStringLiteral("frReport1"),
                                                            Qt::FindDirectChildrenOnly);
  auto* frDBDataSet1 = window->findChild<report::TfrDBDataSet*>(QStringLiteral("frDBDataSet1"),
                                                                Qt::FindDirectChildrenOnly);
  ASSERT_NE(sheetReport, nullptr);
  ASSERT_NE(frDBDataSet1, nullptr);
  EXPECT_EQ(frDBDataSet1->DataSet(), window->detailQuery());
  EXPECT_EQ(sheetReport->Dataset, frDBDataSet1);

  select(*window, {u8("川菜"), u8("回锅肉")});
  sheetReport->ShowProgress = false;
  ASSERT_TRUE(sheetReport->PrepareReport());
  ASSERT_GE(sheetReport->emfPages.count(), 1);
  sheetReport->emfPages.readObjects(0);
  QStringList texts;
  for (const auto& view : sheetReport->emfPages[0].page->objects)
    for (const std::string& line : view->memo) texts << toQString(line);
  EXPECT_TRUE(texts.contains(u8("回锅肉"))) << texts.join(u'|').toStdString();
  EXPECT_TRUE(messages.records.empty());
}

TEST_F(CatalogueWindowTest, AFailedPhotographKeepsThePreviousPictureAndTipsAndSaysWhy) {
  struct Case {
    const char* name;
    const char* picture;
    const char* says;   // what the message says, in Chinese
    const char* names;  // the file (below the program folder) or recipe it names
  };
  const Case cases[] = {
      {"一", "\\Pictures\\川菜\\不存在.bmp", "找不到图片文件", "Pictures/川菜/不存在.bmp"},
      {"二", "\\Pictures\\川菜\\说明.txt", "无法识别", "Pictures/川菜/说明.txt"},
      {"三", "Pictures\\川菜\\坏.jpg", "已损坏", "Pictures/川菜/坏.jpg"},
      {"四", "", "没有图片", "四"},
      {"五", nullptr, "没有图片", "五"},
  };
  std::vector<Recipe> recipes = {
      {"川菜", "麻婆豆腐", "豆腐", "切块", "\\Pictures\\川菜\\麻婆豆腐.bmp", "趁热吃"}};
  for (const Case& c : cases)
    recipes.push_back({"川菜", c.name, c.name, c.name, c.picture, c.name});
  writeCatalogue(recipes);
  writePhoto(u8("Pictures/川菜/麻婆豆腐.bmp"), Qt::red);
  for (const char* file : {"Pictures/川菜/说明.txt", "Pictures/川菜/坏.jpg"}) {
    QFile junk(path(u8(file)));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
  }

  auto window = openWindow();
  const Widgets ui(*window);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    select(*window, {u8("川菜"), u8("麻婆豆腐")});
    MessageCapture messages;
    select(*window, {u8("川菜"), u8(c.name)});
    EXPECT_EQ(ui.Memo1->toPlainText(), u8(c.name));
    EXPECT_EQ(ui.Memo2->toPlainText(), u8(c.name));
    EXPECT_EQ(window->photograph().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(ui.Memo3->toPlainText(), u8("趁热吃"));
    EXPECT_TRUE(ui.N2->isEnabled());
    ASSERT_EQ(messages.records.size(), 1u);
    const QString text = messages.records[0].text;
    EXPECT_TRUE(text.contains(u8(c.says))) << text.toStdString();
    // A file is named by its full path with single separators, though the stored value's
    // leading backslash doubles the one ending the program folder.
    const QString named = c.picture && *c.picture ? path(u8(c.names)) : u8(c.names);
    testing_messages::expectReadable(text, named);
  }
}

TEST_F(CatalogueWindowTest, LongNamesShowWholeWithASidewaysScrollBarAndATip) {
  const char* longName = "北京炸酱面配黄瓜丝和豆芽";
  writeCatalogue({{"面食", longName}, {"面食", "拉面"}});
  auto window = openWindow();
  const Widgets ui(*window);
  window->show();
  QTreeWidget* tree = ui.TreeView1;
  tree->expandAll();
  QCoreApplication::processEvents();  // the tree lays itself out
  QTreeWidgetItem* item = node(*window, {u8("面食"), u8(longName)});
  ASSERT_NE(item, nullptr);
  // The whole text fits in the place drawn for the node (right of its indentation): nothing
  // is cut with "…".
  const QRect row = tree->visualItemRect(item);
  const int textWidth = tree->fontMetrics().horizontalAdvance(u8(longName));
  EXPECT_GE(row.width(), textWidth);
  EXPECT_EQ(tree->textElideMode(), Qt::ElideNone);
  // The tree is narrower than the node, so it scrolls sideways to the end of the name.
  EXPECT_GT(tree->horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(item->toolTip(0), u8(longName));
  EXPECT_EQ(node(*window, {u8("面食")})->toolTip(0), u8("面食"));
}

TEST_F(CatalogueWindowTest, AnEmptyTableGivesOnlyTheRootAndEmptyBoxes) {
  writeCatalogue({});
  MessageCapture messages;
  auto window = openWindow();
  EXPECT_EQ(outline(Widgets(*window).TreeView1), QStringList{u8("Kelpo")});
  EXPECT_TRUE(messages.records.empty());
  Widgets(*window).Memo1->setPlainText(u8("旧的"));
  Widgets(*window).Memo2->setPlainText(u8("旧的"));
  select(*window, {});
  EXPECT_EQ(Widgets(*window).Memo1->toPlainText(), QString());
  EXPECT_EQ(Widgets(*window).Memo2->toPlainText(), QString());
  EXPECT_EQ(window->photograph().size(), QSize(200, 150));
  ASSERT_EQ(messages.records.size(), 1u);  // the photograph could not be loaded
  EXPECT_EQ(messages.records[0].caption, u8("Kelpo"));
}

TEST_F(CatalogueWindowTest, ATreeThatCannotBeBuiltShowsTheStartUpMessage) {
  // The table opens but has no recipe names to read.
  writeCatalogue({}, "create table 饮食 (类别 text, 配料 text)");
  Connection db;
  db.setConnectionString(QStringLiteral("Data Source=Kelpo.db"));
  db.open();
  db.execute(u8("insert into 饮食 values ('川菜', '豆腐')"));
  db.close();

  MessageCapture messages;
  auto window = openWindow();
  EXPECT_TRUE(window->terminating());
  ASSERT_EQ(messages.records.size(), 1u);
  const MessageRecord& box = messages.records[0];
  EXPECT_EQ(box.text, u8("找不到数据库，引起该问题的原因是数据库文件可能被人为删除或改名."));
  EXPECT_EQ(box.caption, u8("无法打开数据库"));
  EXPECT_EQ(box.icon, MessageIcon::None);
  EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST_F(CatalogueWindowTest, AMissingDatabaseFailsTheWindowNamingTheFile) {
  MessageCapture messages;
  try {
    TFrmMain window;
    FAIL() << "the window opened without its database";
  } catch (const DatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("Kelpo.db"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(messages.records.empty());
  EXPECT_FALSE(QFile::exists(path(QStringLiteral("Kelpo.db"))));  // none made in passing
}

TEST_F(CatalogueWindowTest, LayoutIsFixedWithTheFormsFonts) {
  writeCatalogue({});
  auto window = openWindow();
  const Widgets ui(*window);
  EXPECT_EQ(window->windowTitle(), u8("Kelpo V1.5"));
  EXPECT_EQ(window->centralWidget()->height() + ui.StatusBar1->height(), 437);
  EXPECT_EQ(window->centralWidget()->width(), 688);
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(window->font().family(), u8("宋体"));
  EXPECT_EQ(window->font().pixelSize(), 13);
  for (const QLabel* label : {ui.Label1, ui.Label2}) {
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(label->font().pixelSize(), 19);
  }
  // Menus are windows of their own; they speak in the menu bar's font all the same.
  const auto* bar = window->findChild<QMenuBar*>(QStringLiteral("MainMenu1"));
  ASSERT_NE(bar, nullptr);
  for (const QMenu* menu : bar->findChildren<QMenu*>()) {
    EXPECT_EQ(menu->font().family(), bar->font().family()) << menu->title().toStdString();
    EXPECT_EQ(menu->font().pixelSize(), bar->font().pixelSize()) << menu->title().toStdString();
  }
  EXPECT_EQ(bar->font().pixelSize(), 13);
  EXPECT_TRUE(ui.Memo1->isReadOnly());
  EXPECT_TRUE(ui.Memo2->isReadOnly());
  EXPECT_FALSE(ui.Memo3->isReadOnly());
  const auto panels = ui.StatusBar1->findChildren<QLabel*>();
  ASSERT_EQ(panels.size(), 2);
  EXPECT_EQ(panels[0]->width(), 150);
  EXPECT_FALSE(panels[0]->text().isEmpty());
  EXPECT_FALSE(panels[1]->text().isEmpty());
  for (const char* name : {"ADOConnect", "ADOQuery1", "ADOQuery2", "ADOQuery3"})
    EXPECT_NE(window->findChild<QObject*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly),
              nullptr)
        << name;
}

TEST_F(CatalogueWindowTest, MenusOfferTheirItemsAndEachDoesItsOwnThing) {
  writeCatalogue({{"川菜", "麻婆豆腐"}});
  auto window = openWindow();
  QStringList opened;
  QStringList windows;
  window->setOpener([&](const QString& address) { opened << address; });
  window->setWindowRunner([&](QDialog& dialog) {
    EXPECT_EQ(dialog.parent(), window.get());
    windows << QString::fromLatin1(dialog.metaObject()->className());
  });
  QStringList menus;
  for (QAction* menu : window->menuBar()->actions()) {
    QStringList items;
    for (QAction* item : menu->menu()->actions())
      items << (item->isSeparator() ? QStringLiteral("-")
                                    : item->text() + (item->isEnabled() ? "" : " (off)"));
    menus << menu->text() + u':' + items.join(u',');
  }
  EXPECT_EQ(menus,
            (QStringList{u8("【文件】:打印 (off),-,退出系统"), u8("【操作】:添加,删除,修改,查询"),
                         u8("【帮助】:CCTV-生活频道-Kelpo,作者主页,说明")}));

  MessageCapture messages;
  const Widgets ui(*window);
  for (QAction* item : {ui.N7, ui.N8, ui.N2}) item->trigger();  // nothing happens
  EXPECT_TRUE(opened.isEmpty());
  EXPECT_TRUE(windows.isEmpty());
  ui.N11->trigger();
  ui.N12->trigger();
  EXPECT_EQ(opened, (QStringList{TFrmMain::cookingProgrammePage(), TFrmMain::authorHomePage()}));
  ui.N6->trigger();
  ui.N9->trigger();
  ui.N13->trigger();
  EXPECT_EQ(windows, (QStringList{"kelpo::TAddData", "kelpo::TSeach", "kelpo::TMySoft"}));
  EXPECT_TRUE(window->findChildren<QDialog*>().isEmpty());  // each gone after it closed
  EXPECT_TRUE(messages.records.empty());

  window->show();
  ui.N4->trigger();
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace kelpo
