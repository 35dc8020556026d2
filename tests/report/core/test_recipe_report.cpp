#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/database.h"
#include "platform/text.h"
#include "report/core/picture_view.h"
#include "report/expr/datasets.h"
#include "report/expr/names.h"
#include "tests/report/core/support_build.h"
#include "tools/recipe_template/recipe_template.h"

using namespace kelpo;
using namespace kelpo::report;
using namespace kelpo::report::testing;

namespace {

// The catalogue window's set-up: the detail query on one recipe, frDBDataSet1 over it and the
// report reading the stored template.
class RecipeSheet {
 public:
  RecipeSheet(const QString& method, const QVariant& features, bool full = false,
              const QVariant& picture = QVariant()) {
    const QString file = folder.filePath(QStringLiteral("Kelpo.db"));
    QFile(file).open(QIODevice::WriteOnly);
    auto* connection = new Connection(&f.form);
    connection->setConnectionString(QStringLiteral("Data Source=") + file);
    connection->open();
    connection->execute(QString::fromUtf8(
        "create table 饮食 (类别 text, 菜谱 text, 配料 text, 方法 text, 图片 varchar(40), "
        "提示 text, 特点 text)"));
    connection->execute(QString::fromUtf8("insert into 饮食 values (?, ?, ?, ?, ?, ?, ?)"),
                        {QString::fromUtf8("川菜"), QString::fromUtf8("回锅肉"),
                         QString::fromUtf8("五花肉\r\n蒜苗"), method, picture,
                         QString::fromUtf8("火要大"), features});
    auto* query = new Query(&f.form);
    query->setObjectName(QStringLiteral("ADOQuery3"));
    query->setConnection(connection);
    query->setSql(QString::fromUtf8("select * from 饮食 where 菜谱=?"));
    query->setParameters({QString::fromUtf8("回锅肉")});
    query->open();
    auto* dataset = new TfrDBDataSet(&f.form);
    dataset->setObjectName(QStringLiteral("frDBDataSet1"));
    dataset->SetDataSet(query);
    f.report->pages.clear();
    if (full) {
      f.report->loadFromStream(fullRecipeTemplateStream());
      // The program folder is this test's folder, with its Pictures below it.
      const std::string programFolder = fromQString(folder.path()) + "/";
      f.report->OnGetValue = [programFolder](const std::string& name, Value& value) {
        if (sameName(name, "ProgramFolder")) value = Value(programFolder);
      };
    } else {
      f.report->readReportForm(recipeTemplateForm());
    }
    f.report->Dataset = dataset;
  }

  QTemporaryDir folder;
  BuildFixture f;
};

QString lines(int n) {
  QStringList list;
  for (int i = 1; i <= n; ++i) list << QString::fromUtf8("第%1步").arg(i);
  return list.join(QStringLiteral("\r\n"));
}

}  // namespace

TEST(RecipeReport, OneB5PageWithTheRecipesTextsBelowTheTopMargin) {
  RecipeSheet sheet(lines(20), QVariant());
  BuildFixture& f = sheet.f;
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  ASSERT_EQ(f.pageCount(), 1) << engineToUtf8(f.shownError);
  EXPECT_EQ(f.report->emfPages[0].pgSize, 13);
  auto memos = f.page(0);
  ASSERT_EQ(memos.size(), 6u);
  // The title band prints at the page's top margin (0 here), so every memo moves up by the
  // band's designed 40 units.
  struct Expected {
    const char* name;
    std::int32_t x, y, dy;
  };
  const Expected expected[] = {{"Memo1", 188, 104, 20},  {"Memo2", 188, 64, 32},
                               {"Memo3", 104, 156, 120}, {"Memo4", 104, 284, 248},
                               {"Memo5", 104, 552, 84},  {"Memo6", 104, 648, 100}};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(memos[i].name, expected[i].name);
    EXPECT_EQ(memos[i].x, expected[i].x) << expected[i].name;
    EXPECT_EQ(memos[i].y, expected[i].y) << expected[i].name;
    EXPECT_EQ(memos[i].dy, expected[i].dy) << expected[i].name;
  }
  EXPECT_EQ(engineToUtf8(memos[1].text), "回锅肉");
  EXPECT_EQ(engineToUtf8(memos[2].text), "五花肉|蒜苗");
  // The band does not stretch: the whole method is kept and cut where the box ends when drawn.
  EXPECT_EQ(std::count(memos[3].text.begin(), memos[3].text.end(), '|'), 19);
  EXPECT_EQ(memos[4].text, "");  // no 特点
  EXPECT_EQ(engineToUtf8(memos[5].text), "火要大");
}

TEST(RecipeReport, EmptyFeaturesPrintNothingAndTheTemplateSurvives) {
  RecipeSheet sheet(lines(3), QString());
  BuildFixture& f = sheet.f;
  const std::string before = f.report->saveToStream(f.report->info.lastChange);
  // A memo whose whole text is one field reference knows its field while it is output.
  std::string field;
  f.report->OnBeforePrint = [&](TfrStrings&, TfrView& view) {
    if (view.name == "Memo2") field = view.cachedField;
  };
  ASSERT_TRUE(f.prepare());
  EXPECT_EQ(engineToUtf8(field), "菜谱");
  ASSERT_EQ(f.pageCount(), 1);
  EXPECT_EQ(f.page(0)[4].text, "");
  EXPECT_EQ(f.report->saveToStream(f.report->info.lastChange), before);
}

TEST(RecipeReport, MethodLongerThanItsBoxIsCutAtTheBoxWhenDrawn) {
  RecipeSheet sheet(lines(20), QVariant());
  BuildFixture& f = sheet.f;
  ASSERT_TRUE(f.prepare());
  ASSERT_EQ(f.pageCount(), 1);
  TfrEMFPage& page = f.report->emfPages[0];
  page.visible = true;
  QImage image(page.prnInfo.pw, page.prnInfo.ph, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  f.report->emfPages.draw(0, painter, image.rect());
  painter.end();
  // Rows of the method's column (x 104 to 576) that carry ink, from y0 to y1.
  auto inkRows = [&](int y0, int y1) {
    int rows = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = 104; x < 576; ++x)
        if (qGray(image.pixel(x, y)) < 128) {
          ++rows;
          break;
        }
    return rows;
  };
  EXPECT_GT(inkRows(284, 531), 100);
  // Below the method's box (it ends at 532) and above the empty features box nothing is drawn.
  EXPECT_EQ(inkRows(533, 551), 0);
}

TEST(RecipeReport, FullSheetShowsThePhotographAndContinuesALongMethodOnTheNextPage) {
  RecipeSheet sheet(lines(60), QString::fromUtf8("香辣"), true,
                    QString::fromUtf8("\\Pictures\\川菜\\回锅肉.jpg"));
  ASSERT_TRUE(QDir(sheet.folder.path()).mkpath(QString::fromUtf8("Pictures/川菜")));
  QImage photo(120, 90, QImage::Format_RGB32);
  photo.fill(QColor(200, 40, 30));
  const QString photoFile = sheet.folder.filePath(QString::fromUtf8("Pictures/川菜/回锅肉.jpg"));
  ASSERT_TRUE(photo.save(photoFile, "JPG"));
  BuildFixture& f = sheet.f;
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  ASSERT_EQ(f.pageCount(), 2);
  EXPECT_EQ(f.report->emfPages[0].pgSize, 9);  // A4

  f.report->emfPages.readObjects(0);
  const TfrPictureView* shown = nullptr;
  for (const auto& v : f.report->emfPages[0].page->objects)
    if (v->name == "Photograph") shown = dynamic_cast<const TfrPictureView*>(v.get());
  ASSERT_NE(shown, nullptr);
  QFile file(photoFile);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(shown->graphicKind, 4);
  EXPECT_EQ(shown->graphicData, file.readAll().toStdString());

  // Every step of the method is printed once, the first on page 1 and the last on page 2; the
  // tips follow the method on page 2.
  std::string method;
  for (int page = 0; page < 2; ++page)
    for (const auto& p : f.page(page))
      if (p.name == "Method") method += (method.empty() ? "" : "|") + p.text;
  EXPECT_EQ(engineToUtf8(method),
            lines(60).replace(QStringLiteral("\r\n"), QStringLiteral("|")).toStdString());
  bool methodOnFirst = false, tipsOnSecond = false, numberOnSecond = false;
  for (const auto& p : f.page(0)) methodOnFirst |= p.name == "Method";
  for (const auto& p : f.page(1)) {
    tipsOnSecond |= p.name == "Tips" && engineToUtf8(p.text) == "火要大";
    numberOnSecond |= p.name == "PageNumber" && engineToUtf8(p.text) == "第 2 页";
  }
  EXPECT_TRUE(methodOnFirst);
  EXPECT_TRUE(tipsOnSecond);
  EXPECT_TRUE(numberOnSecond);
}

TEST(RecipeReport, FullSheetWithoutAPhotographFilePrintsAnEmptyPicture) {
  RecipeSheet sheet(lines(3), QVariant(), true, QString::fromUtf8("\\Pictures\\无.jpg"));
  BuildFixture& f = sheet.f;
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  ASSERT_EQ(f.pageCount(), 1);
  f.report->emfPages.readObjects(0);
  int pictures = 0;
  for (const auto& v : f.report->emfPages[0].page->objects) {
    if (auto* p = dynamic_cast<TfrPictureView*>(v.get())) {
      ++pictures;
      EXPECT_EQ(p->graphicKind, 0);
    }
  }
  EXPECT_EQ(pictures, 1);
}
