// Picture path rule and the placeholder photograph of the recipe windows.
#include "app/recipe_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/error.h"
#include "platform/picture.h"
#include "platform/text.h"

namespace kelpo::recipes {

QString picturePathForDisplay(const QString& programFolder, const QString& storedValue) {
  QString path = programFolder + storedValue;
  path.replace(u'\\', u'/');
  // The doubled separator at the join names the same file; messages show it single.
  return storedValue.isEmpty() ? path : QDir::cleanPath(path);
}

QImage recipePhotograph(const QString& programFolder, const QString& storedValue,
                        const QString& recipeName) {
  // An empty value would name the bare program folder; say what it means instead.
  if (storedValue.isEmpty()) {
    if (recipeName.isEmpty()) throw PictureError(fromQString(QStringLiteral("没有可显示的菜谱")));
    throw PictureError(fromQString(QStringLiteral("菜谱“%1”没有图片").arg(recipeName)));
  }
  return loadPicture(picturePathForDisplay(programFolder, storedValue));
}

QString storedPicturePath(const QString& programFolder, const QString& chosenFile) {
  QString folder = programFolder;
  QString file = chosenFile;
  folder.replace(u'/', u'\\');
  file.replace(u'/', u'\\');
  const std::string folderBytes = fromQString(folder);
  const std::string fileBytes = fromQString(file);
  // Position L (counting from 1) is the separator that ends the program folder.
  const std::size_t start = folderBytes.empty() ? 0 : folderBytes.size() - 1;
  if (start >= fileBytes.size()) return QString();
  const std::string_view rest = std::string_view(fileBytes).substr(start);
  return toQString(engineCut(rest, kPicturePathLimit));
}

namespace {

constexpr const char* kPictureFolder = "Pictures";
// A category folder name leaves room in the 40 bytes for a file name of its own.
constexpr std::size_t kCategoryFolderLimit = 16;

std::size_t bytes(const QString& text) { return engineByteLength(text); }
QString cut(const QString& text, std::size_t limit) {
  return toQString(engineCut(fromQString(text), limit));
}

// The folder below Pictures for a category: the category's text made safe as one path
// component ("川菜/小吃" must not make two folders, ".." must not leave Pictures).
QString categoryFolder(const QString& category) {
  QString name;
  for (const QChar c : category.trimmed())
    name += (c == u'/' || c == u'\\' || c.unicode() < 32) ? QChar(u'_') : c;
  name = cut(name, kCategoryFolderLimit).trimmed();
  if (name.isEmpty() || name == u"." || name == u"..") name = QStringLiteral("其他");
  return name;
}

bool sameContents(const QString& a, const QString& b) {
  QFile x(a);
  QFile y(b);
  if (x.size() != y.size() || !x.open(QIODevice::ReadOnly) || !y.open(QIODevice::ReadOnly))
    return false;
  while (!x.atEnd())
    if (x.read(1 << 16) != y.read(1 << 16)) return false;
  return true;
}

bool sameFile(const QString& a, const QString& b) {
  const QString x = QFileInfo(a).canonicalFilePath();
  return !x.isEmpty() && x == QFileInfo(b).canonicalFilePath();
}

}  // namespace

QString pictureForRecipe(const QString& programFolder, const QString& category,
                         const QString& chosenFile) {
  const QString value = storedPicturePath(programFolder, chosenFile);
  // A file that is gone cannot be copied; it is stored by the rule and reported on display.
  if (!QFileInfo(chosenFile).isFile() ||
      sameFile(picturePathForDisplay(programFolder, value), chosenFile))
    return value;

  const QString folder = categoryFolder(category);
  const QString prefix =
      QStringLiteral("\\%1\\%2\\").arg(QString::fromLatin1(kPictureFolder), folder);
  const std::size_t room = static_cast<std::size_t>(kPicturePathLimit) - bytes(prefix);
  const QFileInfo chosen(chosenFile);
  const QString suffix = chosen.suffix().isEmpty() ? QString() : u'.' + chosen.suffix();
  const QString stem = chosen.completeBaseName();
  const QString target = programFolder + QString::fromLatin1(kPictureFolder) + u'/' + folder;
  if (!QDir().mkpath(target))
    throw Error(fromQString(
        QStringLiteral("无法建立图片文件夹“%1”").arg(QDir::toNativeSeparators(target))));

  // The first free name that fits: the file's own, else its stem shortened with a number.
  for (int n = 1; n < 1000; ++n) {
    const QString mark = n == 1 ? QString() : QStringLiteral("-%1").arg(n);
    const std::size_t fixed = bytes(mark) + bytes(suffix);
    const QString shortStem = fixed < room ? cut(stem, room - fixed) : QString();
    QString name = (shortStem.isEmpty() ? QStringLiteral("图") : shortStem) + mark + suffix;
    if (bytes(name) > room) continue;
    const QString copy = target + u'/' + name;
    // A file of that name is never overwritten; the same picture already there is reused.
    if (QFileInfo::exists(copy)) {
      if (sameContents(copy, chosenFile)) return prefix + name;
      continue;
    }
    QFile source(chosenFile);
    if (!source.copy(copy))
      throw Error(fromQString(QStringLiteral("无法把图片文件“%1”复制到“%2”（%3）")
                                  .arg(QDir::toNativeSeparators(chosenFile),
                                       QDir::toNativeSeparators(copy), source.errorString())));
    return prefix + name;
  }
  throw Error(fromQString(
      QStringLiteral("图片文件夹“%1”中没有空闲的文件名").arg(QDir::toNativeSeparators(target))));
}

QString fromStoredLines(const QString& stored) {
  QString text = stored;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

QString toStoredLines(const QString& boxText) {
  QString text = fromStoredLines(boxText);
  text.replace(u'\n', QStringLiteral("\r\n"));
  return text;
}

QImage placeholderPhotograph() {
  QFile file(QStringLiteral(":/pictures/placeholder.jpg"));
  if (!file.open(QIODevice::ReadOnly))
    throw PictureError(fromQString(QStringLiteral("程序中缺少占位图片")));
  const QByteArray bytes = file.readAll();
  return decodeJpeg(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                    static_cast<std::size_t>(bytes.size()));
}

}  // namespace kelpo::recipes
