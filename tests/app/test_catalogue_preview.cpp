// 打印 in the catalogue window: the preview window opens on the prepared sheet of the selected
// recipe, and its search finds the recipe's texts on the page.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeWidget>

#include "app/frm_main.h"
#include "catalogue_fixture.h"
#include "report/core/report.h"
#include "report/ui/preview_form.h"
#include "report/ui/preview_search_form.h"

namespace kelpo {
namespace {

using catalogue_testing::CatalogueTest;
using catalogue_testing::MessageCapture;
using catalogue_testing::u8;
using report::TfrPreviewForm;
using report::TfrPreviewSearchForm;

class CataloguePreviewTest : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    // The preview keeps its placement in the user's settings; tests keep theirs apart.
    QStandardPaths::setTestModeEnabled(true);
    report::installPreviewForm();
  }
  void TearDown() override {
    report::TfrReport::setPreviewHook(nullptr);
    TfrPreviewForm::setSearchDialog({});
    CatalogueTest::TearDown();
  }
};

TEST_F(CataloguePreviewTest, PrintShowsThePreviewOfTheSelectedRecipe) {
  writeCatalogue({{"家常菜", "番茄炒蛋", "番茄 2个", "鸡蛋打散", nullptr, "番茄要熟"},
                  {"家常菜", "拍黄瓜", "黄瓜 1根", "拍碎", nullptr, "现拍现吃"}});
  MessageCapture messages;
  auto window = std::make_unique<TFrmMain>();
  window->setProgramFolder(programFolder_);
  auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
  QTreeWidgetItem* category = tree->topLevelItem(0)->child(0);
  ASSERT_NE(category, nullptr);
  tree->setCurrentItem(category->child(0));
  messages.records.clear();  // the recipe has no photograph, which the window has said

  int pages = -1;
  QString caption, pageText;
  QStringList found;
  // Preparing may run loops of its own: wait until the preview is the modal window.
  QTimer watch;
  int ticks = 0;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    auto* form = qobject_cast<TfrPreviewForm*>(modal);
    if (!form) {
      if (++ticks > 500 && modal) modal->close();  // something else is in the way
      return;
    }
    watch.stop();
    pages = form->pageCount();
    caption = form->windowTitle();
    pageText = form->pageText();
    for (const char* text : {"番茄炒蛋", "番茄 2个", "鸡蛋打散", "番茄要熟", "拍黄瓜"}) {
      TfrPreviewForm::setSearchDialog([text](TfrPreviewSearchForm& d) {
        d.setChoices(u8(text), false, false);
        return true;
      });
      form->findClicked();
      if (form->found()) found << u8(text);
    }
    form->reject();
  });
  watch.start(10);
  window->findChild<QAction*>(QStringLiteral("N2"))->trigger();

  EXPECT_EQ(pages, 1);
  EXPECT_TRUE(caption.startsWith(u8("预览"))) << caption.toStdString();
  EXPECT_EQ(pageText, u8("页 1/1"));
  // The selected recipe's texts are on the sheet; the other recipe's name is not.
  EXPECT_EQ(found, (QStringList{u8("番茄炒蛋"), u8("番茄 2个"), u8("鸡蛋打散"), u8("番茄要熟")}));
  for (const auto& m : messages.records) ADD_FAILURE() << m.text.toStdString();
}

}  // namespace
}  // namespace kelpo
