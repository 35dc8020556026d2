// The recipe store contract: picture paths both ways, bound statement values, appending.
#include <gtest/gtest.h>

#include "app/recipe_store.h"
#include "catalogue_fixture.h"
#include "platform/error.h"
#include "platform/picture.h"
#include "platform/text.h"

namespace kelpo {
namespace {

using catalogue_testing::CatalogueTest;
using catalogue_testing::Recipe;
using catalogue_testing::u8;

TEST(PicturePathOnAdding, CountsGb18030BytesAndNeverSplitsACharacter) {
  struct Case {
    const char* folder;
    const char* chosen;
    const char* stored;
  };
  const Case cases[] = {
      // The stored value begins with the separator that ends the program folder.
      {"/opt/kelpo/", "/opt/kelpo/Pictures/川菜/麻婆豆腐.jpg", "\\Pictures\\川菜\\麻婆豆腐.jpg"},
      // Chinese folder names count two bytes a character when finding where to start.
      {"/home/厨房/菜谱程序/", "/home/厨房/菜谱程序/Pictures/凉菜/拍黄瓜.jpg",
       "\\Pictures\\凉菜\\拍黄瓜.jpg"},
      // Longer values are cut at 40 bytes.
      {"/k/", "/k/Pictures/家常菜/abcdefghijklmnopqrstuvwxyz0123456789.jpg",
       "\\Pictures\\家常菜\\abcdefghijklmnopqrstuvw"},
      // A cut through a two-byte character drops that character: 39 bytes remain.
      {"/k/", "/k/Pictures/家常菜/一二三四五六七八九十百千.jpg",
       "\\Pictures\\家常菜\\一二三四五六七八九十百"},
  };
  for (const Case& c : cases) {
    const QString stored = recipes::storedPicturePath(u8(c.folder), u8(c.chosen));
    EXPECT_EQ(stored, u8(c.stored)) << c.chosen;
    EXPECT_LE(engineByteLength(stored), 40u) << c.chosen;
  }
  EXPECT_EQ(engineByteLength(recipes::storedPicturePath(
                u8("/k/"), u8("/k/Pictures/家常菜/一二三四五六七八九十百千.jpg"))),
            39u);
}

class PicturePathTest : public CatalogueTest {};

TEST_F(PicturePathTest, StoredFormsResolveToTheSameFile) {
  writePhoto(u8("Pictures/家常菜/红烧肉.bmp"), Qt::red);
  // Written by the add window (leading separator, backslashes), written by hand without the
  // separator, and with forward slashes: all the same file.
  for (const char* stored : {"\\Pictures\\家常菜\\红烧肉.bmp", "Pictures\\家常菜\\红烧肉.bmp",
                             "Pictures/家常菜/红烧肉.bmp"}) {
    const QImage image = loadPicture(recipes::picturePathForDisplay(programFolder_, u8(stored)));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red)) << stored;
  }
  // An empty value names the bare program folder, which is no picture.
  EXPECT_THROW(loadPicture(recipes::picturePathForDisplay(programFolder_, QString())),
               PictureError);
}

TEST_F(PicturePathTest, AChosenFileIsFoundAgainFromItsStoredValue) {
  const QString folder = path(u8("厨房/"));
  writePhoto(u8("厨房/Pictures/汤羹/紫菜蛋汤.bmp"), Qt::green);
  const QString stored =
      recipes::storedPicturePath(folder, folder + u8("Pictures/汤羹/紫菜蛋汤.bmp"));
  EXPECT_EQ(stored, u8("\\Pictures\\汤羹\\紫菜蛋汤.bmp"));
  const QImage image = loadPicture(recipes::picturePathForDisplay(folder, stored));
  EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::green));
}

TEST(PlaceholderPhotograph, IsTheStored200By150Picture) {
  const QImage image = recipes::placeholderPhotograph();
  EXPECT_EQ(image.size(), QSize(200, 150));
}

class StatementTest : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    writeCatalogue({
        {"川菜", "麻婆豆腐"},
        {"菜谱", "类别"},  // values that spell column names
        {"类别", "菜谱"},
        {"他说\"辣\"", "老\"干妈\"炒饭"},  // double quotes inside values
        {"川菜", " 回锅肉 "},              // spaces are part of the name
    });
    db_.setConnectionString(QStringLiteral("Data Source=Kelpo.db"));
    db_.open();
    query_.setConnection(&db_);
  }

  QStringList names(const QString& sql, const QVariantList& parameters) {
    query_.close();
    query_.clearSql();
    query_.setSql(sql);
    query_.setParameters(parameters);
    query_.open();
    QStringList result;
    for (; !query_.eof(); query_.next()) result << query_.text(u8("菜谱"));
    return result;
  }

  Connection db_;
  Query query_;
};

TEST_F(StatementTest, ValuesAreMatchedAsTheyAreWhateverTheyContain) {
  struct Case {
    const char* sql;
    QVariantList parameters;
    QStringList expected;
  };
  const Case cases[] = {
      {recipes::kRecipesOfCategory, {u8("菜谱")}, {u8("类别")}},
      {recipes::kRecipesOfCategory, {u8("类别")}, {u8("菜谱")}},
      {recipes::kRecipesOfCategory, {u8("他说\"辣\"")}, {u8("老\"干妈\"炒饭")}},
      {recipes::kOneRecipe, {u8("老\"干妈\"炒饭"), u8("他说\"辣\"")}, {u8("老\"干妈\"炒饭")}},
      {recipes::kOneRecipe, {u8("类别"), u8("菜谱")}, {u8("类别")}},
      {recipes::kOneRecipe, {u8(" 回锅肉 "), u8("川菜")}, {u8(" 回锅肉 ")}},
      {recipes::kOneRecipe, {u8("回锅肉"), u8("川菜")}, {}},
      {recipes::kRecipeByName, {u8("菜谱")}, {u8("菜谱")}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(names(u8(c.sql), c.parameters), c.expected)
        << c.sql << " " << c.parameters.value(0).toString().toStdString();
}

TEST_F(StatementTest, AnUnpostedRowNeverReachesTheTable) {
  const QString all = u8(recipes::kTableForAppend);
  const int before = names(all, {}).size();
  query_.append();
  query_.setFieldValue(u8("类别"), u8("凉菜"));
  query_.setFieldValue(u8("菜谱"), u8("拍黄瓜"));
  query_.close();
  EXPECT_EQ(names(all, {}).size(), before);
  EXPECT_TRUE(names(u8(recipes::kRecipeByName), {u8("拍黄瓜")}).isEmpty());

  names(all, {});
  query_.append();
  query_.setFieldValue(u8("类别"), u8("凉菜"));
  query_.setFieldValue(u8("菜谱"), u8("拍黄瓜"));
  query_.post();
  EXPECT_EQ(names(u8(recipes::kRecipeByName), {u8("拍黄瓜")}), QStringList{u8("拍黄瓜")});
}

}  // namespace
}  // namespace kelpo
