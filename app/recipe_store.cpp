// Picture path rule and the placeholder photograph of the recipe windows.
#include "app/recipe_store.h"

#include <QFile>

#include "platform/error.h"
#include "platform/picture.h"
#include "platform/text.h"

namespace kelpo::recipes {

QString picturePathForDisplay(const QString& programFolder, const QString& storedValue) {
  QString path = programFolder + storedValue;
  path.replace(u'\\', u'/');
  return path;
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
    throw PictureError("The stored placeholder photograph is missing from the program");
  const QByteArray bytes = file.readAll();
  return decodeJpeg(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                    static_cast<std::size_t>(bytes.size()));
}

}  // namespace kelpo::recipes
