// Parser and checks of the recipe source.
#include "tools/catalogue_builder/catalogue_source.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QStringList>

#include "platform/text.h"

namespace kelpo::catalogue {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

[[noreturn]] void fail(int line, const QString& message) {
  throw SourceError(QStringLiteral("line %1: %2").arg(line).arg(message).toStdString());
}

const QHash<QString, DishShape>& shapeNames() {
  static const QHash<QString, DishShape> names = {
      {QStringLiteral("块"), DishShape::Chunks},    {QStringLiteral("丝"), DishShape::Shreds},
      {QStringLiteral("片"), DishShape::Slices},    {QStringLiteral("叶"), DishShape::Leaves},
      {QStringLiteral("朵"), DishShape::Florets},   {QStringLiteral("鱼"), DishShape::Fish},
      {QStringLiteral("汤"), DishShape::Soup},      {QStringLiteral("面"), DishShape::Noodles},
      {QStringLiteral("饺"), DishShape::Dumplings}, {QStringLiteral("包"), DishShape::Buns},
      {QStringLiteral("饼"), DishShape::Pancake},   {QStringLiteral("饭"), DishShape::Rice}};
  return names;
}

const QStringList& fieldNames() {
  static const QStringList names = {QStringLiteral("菜谱"), QStringLiteral("配料"),
                                    QStringLiteral("方法"), QStringLiteral("图片"),
                                    QStringLiteral("提示"), QStringLiteral("特点"),
                                    QStringLiteral("颜色"), QStringLiteral("画法")};
  return names;
}

// One record as read, before its fields are checked and converted.
struct RawRecord {
  int line = 0;
  QString category;
  QHash<QString, QStringList> fields;  // field name -> its lines
  QHash<QString, int> fieldLines;
};

void parseColours(Recipe& recipe, const QString& value, int line) {
  const QStringList parts = value.split(u' ', Qt::SkipEmptyParts);
  if (parts.size() < 2 || parts.size() > 4) fail(line, QStringLiteral("颜色 needs 2 to 4 colours"));
  static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
  QList<QColor> colours;
  for (const QString& part : parts) {
    if (!hex.match(part).hasMatch()) fail(line, QStringLiteral("bad colour \"%1\"").arg(part));
    colours << QColor(part);
  }
  recipe.main = colours[0];
  recipe.second = colours[1];
  recipe.garnish = colours.size() > 2 ? colours[2] : QColor(0x3F, 0x8F, 0x3A);
  recipe.sauce = colours.size() > 3 ? colours[3] : colours[0].darker(135);
}

// The stored path must be one of the two forms the windows resolve, lie in the category's
// picture folder and name a format the picture loader knows.
void checkPicture(const Recipe& recipe, int line) {
  const QString& value = recipe.picture;
  const std::size_t bytes = engineByteLength(value);
  if (bytes > static_cast<std::size_t>(kMaxPictureBytes))
    fail(line, QStringLiteral("图片 \"%1\" is %2 bytes in GB18030, more than %3")
                   .arg(value)
                   .arg(bytes)
                   .arg(kMaxPictureBytes));
  if (value.contains(u'/')) fail(line, QStringLiteral("图片 must use backslashes"));
  const QString body = value.startsWith(u'\\') ? value.mid(1) : value;
  const QString folder = QStringLiteral("Pictures\\") + recipe.category + u'\\';
  if (!body.startsWith(folder)) fail(line, QStringLiteral("图片 must lie in %1").arg(folder));
  const QString file = body.mid(folder.size());
  if (file.isEmpty() || file.contains(u'\\'))
    fail(line, QStringLiteral("图片 must name a file directly in %1").arg(folder));
  static const QRegularExpression extension(QStringLiteral("\\.(jpe?g|bmp)$"),
                                            QRegularExpression::CaseInsensitiveOption);
  if (!extension.match(file).hasMatch())
    fail(line, QStringLiteral("图片 must end in .jpg, .jpeg or .bmp"));
}

Recipe finish(const RawRecord& raw) {
  Recipe recipe;
  recipe.line = raw.line;
  recipe.category = raw.category;
  auto single = [&](const QString& key) -> QString {
    const QStringList lines = raw.fields.value(key);
    return lines.join(kCrLf);
  };
  auto required = [&](const QString& key) -> QString {
    const QString value = single(key);
    if (value.trimmed().isEmpty())
      fail(raw.line, QStringLiteral("%1 is missing or empty").arg(key));
    return value;
  };
  recipe.name = required(QStringLiteral("菜谱"));
  recipe.ingredients = required(QStringLiteral("配料"));
  recipe.method = required(QStringLiteral("方法"));
  recipe.picture = required(QStringLiteral("图片"));
  recipe.tips = required(QStringLiteral("提示"));
  recipe.features = single(QStringLiteral("特点"));

  // The windows put names between double quotes in their statements.
  if (recipe.name.contains(u'"') || recipe.category.contains(u'"'))
    fail(raw.line, QStringLiteral("菜谱 and 类别 may not contain a double quote"));
  if (recipe.name.contains(u'\n')) fail(raw.line, QStringLiteral("菜谱 must be one line"));

  const int pictureLine = raw.fieldLines.value(QStringLiteral("图片"), raw.line);
  checkPicture(recipe, pictureLine);

  const int colourLine = raw.fieldLines.value(QStringLiteral("颜色"), raw.line);
  parseColours(recipe, required(QStringLiteral("颜色")), colourLine);

  const QString shape = required(QStringLiteral("画法"));
  if (!shapeNames().contains(shape))
    fail(raw.fieldLines.value(QStringLiteral("画法")),
         QStringLiteral("unknown 画法 \"%1\"").arg(shape));
  recipe.shape = shapeNames().value(shape);
  return recipe;
}

}  // namespace

QString Recipe::pictureRelativePath() const {
  QString path = picture;
  if (path.startsWith(u'\\')) path.remove(0, 1);
  return path.replace(u'\\', u'/');
}

QList<Recipe> parseSource(const QString& text) {
  QList<RawRecord> raws;
  QString category;
  QString openField;  // the multi-line field that "|" lines continue, if any
  const QStringList lines = text.split(u'\n');
  for (int i = 0; i < lines.size(); ++i) {
    const int lineNo = i + 1;
    QString line = lines[i];
    if (line.endsWith(u'\r')) line.chop(1);
    if (i == 0 && line.startsWith(QChar(0xFEFF))) line.remove(0, 1);

    if (line.startsWith(u'|')) {
      if (openField.isEmpty())
        fail(lineNo, QStringLiteral("\"|\" line outside a multi-line field"));
      QString content = line.mid(1);
      if (content.startsWith(u' ')) content.remove(0, 1);
      while (content.endsWith(u' ') || content.endsWith(u'\t')) content.chop(1);
      raws.last().fields[openField].append(content);
      continue;
    }
    openField.clear();
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u'#')) continue;

    if (trimmed.startsWith(u'[')) {
      if (!trimmed.endsWith(u']') || trimmed.size() < 3)
        fail(lineNo, QStringLiteral("a category line looks like [名称]"));
      category = trimmed.mid(1, trimmed.size() - 2).trimmed();
      if (category.isEmpty()) fail(lineNo, QStringLiteral("empty category name"));
      continue;
    }

    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals < 0) fail(lineNo, QStringLiteral("expected \"键 = 值\""));
    const QString key = trimmed.left(equals).trimmed();
    const QString value = trimmed.mid(equals + 1).trimmed();
    if (!fieldNames().contains(key)) fail(lineNo, QStringLiteral("unknown field \"%1\"").arg(key));

    if (key == QStringLiteral("菜谱")) {
      if (category.isEmpty()) fail(lineNo, QStringLiteral("recipe before the first [类别]"));
      RawRecord raw;
      raw.line = lineNo;
      raw.category = category;
      raws.append(raw);
    } else if (raws.isEmpty()) {
      fail(lineNo, QStringLiteral("field before the first 菜谱"));
    }
    RawRecord& raw = raws.last();
    if (raw.fields.contains(key)) fail(lineNo, QStringLiteral("%1 given twice").arg(key));
    raw.fields.insert(key, value.isEmpty() ? QStringList() : QStringList{value});
    raw.fieldLines.insert(key, lineNo);
    if (value.isEmpty()) openField = key;
  }

  QList<Recipe> recipes;
  QSet<QString> names, pictures;
  for (const RawRecord& raw : raws) {
    Recipe recipe = finish(raw);
    // The add window keeps names unique over the whole table; so does the sample.
    if (names.contains(recipe.name))
      fail(raw.line, QStringLiteral("菜谱 \"%1\" appears twice").arg(recipe.name));
    if (pictures.contains(recipe.pictureRelativePath()))
      fail(raw.line, QStringLiteral("图片 \"%1\" is used twice").arg(recipe.picture));
    names.insert(recipe.name);
    pictures.insert(recipe.pictureRelativePath());
    recipes.append(recipe);
  }
  if (recipes.isEmpty()) throw SourceError("the source holds no recipe");
  return recipes;
}

QList<Recipe> readSource(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw SourceError(QStringLiteral("cannot read %1").arg(path).toStdString());
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString text = decoder(file.readAll());
  if (decoder.hasError())
    throw SourceError(QStringLiteral("%1 is not valid UTF-8").arg(path).toStdString());
  try {
    return parseSource(text);
  } catch (const SourceError& e) {
    throw SourceError(path.toStdString() + ": " + e.what());
  }
}

}  // namespace kelpo::catalogue
