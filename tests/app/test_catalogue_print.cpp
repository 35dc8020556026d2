// 打印 in the catalogue window: the stored recipe sheet prepared over the selected recipe.
#include <gtest/gtest.h>

#include <QAction>
#include <QTreeWidget>

#include "app/frm_main.h"
#include "catalogue_fixture.h"
#include "platform/text.h"
#include "report/core/report.h"

namespace kelpo {
namespace {

using catalogue_testing::CatalogueTest;
using catalogue_testing::u8;

TEST_F(CatalogueTest, PrintShowsTheSelectedRecipesSheet) {
  catalogue_testing::MessageCapture boxes;
  writeCatalogue(
      {{"川菜", "麻婆豆腐", "豆腐 1块", "1. 豆腐切块\r\n2. 下锅", "\\Pictures\\a.bmp", "趁热吃"},
       {"川菜", "回锅肉", "五花肉", "先煮后炒", "\\Pictures\\a.bmp", "肉要煮透"}});
  writePhoto(QStringLiteral("Pictures/a.bmp"), Qt::red);
  TFrmMain window;
  window.setProgramFolder(programFolder_);
  auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
  auto* print = window.findChild<QAction*>(QStringLiteral("N2"));
  ASSERT_TRUE(tree && print);
  QTreeWidgetItem* recipe = tree->topLevelItem(0)->child(0)->child(1);
  ASSERT_EQ(recipe->text(0), u8("回锅肉"));
  tree->setCurrentItem(recipe);
  ASSERT_TRUE(print->isEnabled());

  std::vector<std::string> texts;
  int pages = 0;
  report::TfrReport::setPreviewHook([&](report::TfrReport& r) {
    pages = r.emfPages.count();
    r.emfPages.readObjects(0);
    for (const auto& v : r.emfPages[0].page->objects)
      texts.push_back(engineToUtf8(v->memo.empty() ? std::string() : v->memo.front()));
  });
  print->trigger();
  report::TfrReport::setPreviewHook(nullptr);
  for (const auto& box : boxes.records) ADD_FAILURE() << box.text.toStdString();
  EXPECT_EQ(pages, 1);
  ASSERT_EQ(texts.size(), 6u);
  EXPECT_EQ(texts[1], "回锅肉");
  EXPECT_EQ(texts[3], "先煮后炒");
  EXPECT_EQ(texts[5], "肉要煮透");
}

}  // namespace
}  // namespace kelpo
