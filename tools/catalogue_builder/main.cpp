// Builds the sample catalogue: Kelpo.db from the recipe source, one photograph per recipe
// under Pictures/, and the placeholder photograph.
//
// Usage: kelpo_catalogue_builder SOURCE PROGRAM_FOLDER PLACEHOLDER_JPEG
//        kelpo_catalogue_builder --icons ICON_THEME_FOLDER   (hicolor/<n>x<n>/apps/kelpo.png)
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <exception>
#include <stdexcept>

#include "tools/catalogue_builder/catalogue_db.h"
#include "tools/catalogue_builder/catalogue_source.h"
#include "tools/catalogue_builder/dish_painter.h"

namespace {

void save(const QImage& image, const QString& path) {
  if (!QDir().mkpath(QFileInfo(path).absolutePath()))
    throw std::runtime_error("cannot create the folder of " + path.toStdString());
  // The format follows the extension; icons are PNG so their ground stays transparent.
  const QString suffix = QFileInfo(path).suffix().toLower();
  const char* format = suffix == u"bmp" ? "BMP" : suffix == u"png" ? "PNG" : "JPG";
  if (!image.save(path, format, suffix == u"jpg" ? 90 : -1))
    throw std::runtime_error("cannot write " + path.toStdString());
}

}  // namespace

int main(int argc, char** argv) {
  // Fonts need a GUI application, but never a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() == 3 && args[1] == QStringLiteral("--icons")) {
    try {
      for (const int size : kelpo::catalogue::kIconSizes)
        save(kelpo::catalogue::paintIcon(size),
             QDir(args[2]).filePath(QStringLiteral("hicolor/%1x%1/apps/kelpo.png").arg(size)));
      return 0;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "kelpo_catalogue_builder: %s\n", e.what());
      return 1;
    }
  }
  if (args.size() != 4) {
    std::fprintf(stderr, "usage: kelpo_catalogue_builder SOURCE PROGRAM_FOLDER PLACEHOLDER_JPEG\n");
    return 2;
  }
  try {
    QElapsedTimer timer;
    timer.start();
    using namespace kelpo::catalogue;
    const QList<Recipe> recipes = readSource(args[1]);
    const QDir programFolder(args[2]);
    captionFontFamily();  // fail before drawing anything when the captions cannot be written

    QStringList categories;
    for (const Recipe& recipe : recipes) {
      if (!categories.contains(recipe.category)) categories.append(recipe.category);
      save(paintDish(recipe, static_cast<int>(categories.indexOf(recipe.category))),
           programFolder.filePath(recipe.pictureRelativePath()));
    }
    save(paintPlaceholder(), args[3]);
    writeDatabase(recipes, programFolder.filePath(QStringLiteral("Kelpo.db")));
    std::printf("catalogue: %lld recipes in %lld categories, %lld ms\n",
                static_cast<long long>(recipes.size()), static_cast<long long>(categories.size()),
                static_cast<long long>(timer.elapsed()));
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kelpo_catalogue_builder: %s\n", e.what());
    return 1;
  }
}
