// Checks the sample catalogue the build generated, and that the builder refuses sources whose
// values the recipe windows could not use.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QSet>
#include <QStringList>

#include "platform/database.h"
#include "platform/picture.h"
#include "platform/text.h"
#include "tools/catalogue_builder/catalogue_source.h"

namespace {

struct Row {
  QString category, name, ingredients, method, picture, tips, features;
};

std::vector<Row> readCatalogue() {
  kelpo::Connection connection;
  connection.setConnectionString(QStringLiteral("Data Source=\"%1\"").arg(KELPO_CATALOGUE_DB));
  connection.open();
  kelpo::Query query;
  query.setConnection(&connection);
  query.setSql(QStringLiteral("select * from 饮食"));
  query.open();
  std::vector<Row> rows;
  for (; !query.eof(); query.next())
    rows.push_back({query.text(QStringLiteral("类别")), query.text(QStringLiteral("菜谱")),
                    query.text(QStringLiteral("配料")), query.text(QStringLiteral("方法")),
                    query.text(QStringLiteral("图片")), query.text(QStringLiteral("提示")),
                    query.text(QStringLiteral("特点"))});
  return rows;
}

class CatalogueTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { rows_ = new std::vector<Row>(readCatalogue()); }
  static void TearDownTestSuite() {
    delete rows_;
    rows_ = nullptr;
  }
  static const std::vector<Row>& rows() { return *rows_; }

 private:
  static inline std::vector<Row>* rows_ = nullptr;
};

TEST_F(CatalogueTest, HoldsEnoughRecipesInEnoughCategories) {
  QSet<QString> categories, names;
  for (const Row& row : rows()) {
    categories.insert(row.category);
    EXPECT_FALSE(names.contains(row.name)) << row.name.toStdString() << " appears twice";
    names.insert(row.name);
    for (const QString* value :
         {&row.category, &row.name, &row.ingredients, &row.method, &row.picture, &row.tips})
      EXPECT_FALSE(value->isEmpty()) << row.name.toStdString();
  }
  EXPECT_GE(categories.size(), 6);
  EXPECT_GE(rows().size(), 36u);
}

// Every photograph is found the way the windows find it: program folder + stored value.
TEST_F(CatalogueTest, EveryPictureValueFitsAndResolvesToALoadablePicture) {
  int leading = 0, plain = 0, bitmaps = 0;
  for (const Row& row : rows()) {
    SCOPED_TRACE(row.picture.toStdString());
    EXPECT_LE(kelpo::engineByteLength(row.picture), 40u);
    (row.picture.startsWith(u'\\') ? leading : plain)++;
    if (row.picture.endsWith(QStringLiteral(".bmp"))) ++bitmaps;
    const QString file = QString(KELPO_PROGRAM_FOLDER + row.picture).replace(u'\\', u'/');
    ASSERT_TRUE(QFileInfo::exists(file));
    const QImage image = kelpo::loadPicture(file);
    EXPECT_EQ(image.size(), QSize(400, 300));
  }
  EXPECT_GT(leading, 0) << "no value in the add window's form \\Pictures\\...";
  EXPECT_GT(plain, 0) << "no value in the plain form Pictures\\...";
  EXPECT_GT(bitmaps, 0);
}

// The windows show multi-line values as stored (CR LF); the printed method box holds 13 lines.
TEST_F(CatalogueTest, ContentCoversWhatTheWindowsAndTheSheetShow) {
  int noTips = 0, longMethods = 0, noFeatures = 0;
  for (const Row& row : rows()) {
    SCOPED_TRACE(row.name.toStdString());
    for (const QString* value : {&row.ingredients, &row.method, &row.tips, &row.features})
      EXPECT_EQ(value->count(u'\n'), value->count(QStringLiteral("\r\n")));
    EXPECT_GT(row.method.count(QStringLiteral("\r\n")), 0);
    if (row.tips == QStringLiteral("无")) ++noTips;
    if (row.method.split(QStringLiteral("\r\n")).size() > 13) ++longMethods;
    if (row.features.isEmpty()) ++noFeatures;
  }
  EXPECT_GT(noTips, 0);
  EXPECT_GT(longMethods, 0);
  EXPECT_GT(noFeatures, 0);
}

TEST(CataloguePlaceholder, IsA200By150Jpeg) {
  EXPECT_EQ(kelpo::loadPicture(QStringLiteral(KELPO_PLACEHOLDER_JPEG)).size(), QSize(200, 150));
}

// One valid record; each case below changes one line of it.
QString recordWith(const QString& from, const QString& to) {
  QString text = QStringLiteral(
      "[家常菜]\n"
      "菜谱 = 番茄炒蛋\n"
      "图片 = \\Pictures\\家常菜\\番茄炒蛋.jpg\n"
      "颜色 = #E0402A #F7C948\n"
      "画法 = 块\n"
      "配料 =\n| 番茄 2个\n| 鸡蛋 3个\n"
      "方法 =\n| 1. 切块。\n| 2. 翻炒。\n"
      "提示 = 无\n"
      "特点 =\n");
  if (!from.isEmpty()) {
    EXPECT_TRUE(text.contains(from));
    text.replace(from, to);
  }
  return text;
}

TEST(CatalogueSource, JoinsLinesWithCrLfAndKeepsBothPictureForms) {
  using kelpo::catalogue::parseSource;
  const auto recipes = parseSource(recordWith({}, {}));
  ASSERT_EQ(recipes.size(), 1);
  EXPECT_EQ(recipes[0].category, QStringLiteral("家常菜"));
  EXPECT_EQ(recipes[0].ingredients, QStringLiteral("番茄 2个\r\n鸡蛋 3个"));
  EXPECT_EQ(recipes[0].features, QString());
  EXPECT_EQ(recipes[0].pictureRelativePath(), QStringLiteral("Pictures/家常菜/番茄炒蛋.jpg"));
  const auto plain =
      parseSource(recordWith(QStringLiteral("= \\Pictures"), QStringLiteral("= Pictures")));
  EXPECT_EQ(plain[0].picture, QStringLiteral("Pictures\\家常菜\\番茄炒蛋.jpg"));
  EXPECT_EQ(plain[0].pictureRelativePath(), recipes[0].pictureRelativePath());
}

TEST(CatalogueSource, RefusesValuesTheWindowsCouldNotUse) {
  // \Pictures\家常菜\ is 17 bytes and .jpg 4, so "a" + nine characters makes exactly 40.
  const QString fits = QStringLiteral("a一二三四五六七八九.jpg");
  EXPECT_NO_THROW(kelpo::catalogue::parseSource(recordWith(QStringLiteral("番茄炒蛋.jpg"), fits)));

  const struct {
    const char* what;
    QString from, to;
  } cases[] = {
      {"41 bytes", QStringLiteral("番茄炒蛋.jpg"), QStringLiteral("一二三四五六七八九十.jpg")},
      {"another category's folder", QStringLiteral("\\家常菜\\番"), QStringLiteral("\\川菜\\番")},
      {"forward slashes", QStringLiteral("\\Pictures\\家常菜\\"),
       QStringLiteral("\\Pictures/家常菜/")},
      {"unknown picture format", QStringLiteral(".jpg"), QStringLiteral(".gif")},
      {"double quote in a name", QStringLiteral("= 番茄炒蛋"), QStringLiteral("= 番茄\"炒蛋")},
      {"no tips", QStringLiteral("提示 = 无\n"), QString()},
      {"bad colour", QStringLiteral("#F7C948"), QStringLiteral("#F7C94")},
      {"unknown shape", QStringLiteral("画法 = 块"), QStringLiteral("画法 = 圆")},
      {"continuation outside a field", QStringLiteral("提示 = 无\n"),
       QStringLiteral("提示 = 无\n| 多余\n")},
      {"the same name twice", QStringLiteral("特点 =\n"),
       QStringLiteral(
           "特点 =\n菜谱 = 番茄炒蛋\n图片 = \\Pictures\\家常菜\\b.jpg\n颜色 = #000000 #FFFFFF\n"
           "画法 = 块\n配料 = 蛋\n方法 = 炒\n提示 = 无\n")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_THROW(kelpo::catalogue::parseSource(recordWith(c.from, c.to)),
                 kelpo::catalogue::SourceError);
  }
}

}  // namespace
