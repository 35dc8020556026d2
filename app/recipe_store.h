// The recipe store's contract: connection settings, statement texts and the picture path rule.
#pragma once

#include <QImage>
#include <QString>

namespace kelpo::recipes {

// The database is a plain SQLite file found relative to the current directory. The original
// connection also carried a database password; a SQLite file has no equivalent.
inline constexpr const char* kConnectionString =
    "Provider=SQLite;Data Source=Kelpo.db;Persist Security Info=False";

// Statement texts. Values go in as bound parameters at the `?` marks, so a value holding a
// double quote or spelling a column name (菜谱, 类别) is still just a value.
inline constexpr const char* kAllRecipes = "select * from 饮食";
inline constexpr const char* kDistinctCategories = "SELECT  distinct 类别 FROM 饮食";
inline constexpr const char* kRecipesOfCategory = "select  *  from 饮食 where 类别=?";
inline constexpr const char* kOneRecipe = "select  *  from 饮食 where 菜谱=?and 类别=?";
inline constexpr const char* kAddCategories = "select distinct 类别 from 饮食";
inline constexpr const char* kTableForAppend = "SELECT  * FROM 饮食";
inline constexpr const char* kRecipeByName = "select * from 饮食 where 菜谱=?";
inline constexpr const char* kSearchHead = "select  *  from 饮食 ";
inline constexpr const char* kSearchByName = "where 菜谱  like '%' || ? || '%'";
inline constexpr const char* kSearchByIngredient = "where 配料  like '%' || ? || '%'";
inline constexpr const char* kChosenResult = "select  *  from 饮食 where 菜谱=?";

// The longest 图片 value the add window stores, in GB18030 bytes.
inline constexpr int kPicturePathLimit = 40;

// The file shown for a stored 图片 value: the program folder followed directly by the value.
// Stored values use backslashes; a value starting with one gives a doubled separator, which
// names the same file and is written single.
QString picturePathForDisplay(const QString& programFolder, const QString& storedValue);

// The photograph of a recipe row as the windows show it. A row without a picture (an empty
// or null value) raises PictureError saying so for `recipeName`; a file that cannot be loaded
// raises the picture layer's error.
QImage recipePhotograph(const QString& programFolder, const QString& storedValue,
                        const QString& recipeName);

// The 图片 value stored for a chosen file: its full path from the last byte of the program
// folder on (so a file below the folder gives "\Pictures\..."), with backslashes, at most
// 40 GB18030 bytes. A cut never splits a character. Files outside the folder are cut the
// same way and will not resolve.
QString storedPicturePath(const QString& programFolder, const QString& chosenFile);

// The 图片 value the add window stores for `chosenFile`. A file whose value by the rule above
// names it again is stored so. Any other file (outside the program folder, or too deep for 40
// bytes) would leave a value that names nothing: it is copied into Pictures/<category>/ under
// a name that fits the 40 bytes uncut, never over an existing file (the same picture already
// there is reused), and the copy's value is stored. A failed copy raises Error.
QString pictureForRecipe(const QString& programFolder, const QString& category,
                         const QString& chosenFile);

// Multi-line values are stored with CR LF between lines; the edit boxes use LF.
QString fromStoredLines(const QString& stored);
QString toStoredLines(const QString& boxText);

// The 200 x 150 photograph shown before any recipe is chosen.
QImage placeholderPhotograph();

}  // namespace kelpo::recipes
