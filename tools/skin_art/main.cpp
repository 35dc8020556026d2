// kelpo-skin-art: draws Kelpo's own skin and writes the stored SkinStream bytes; with a second
// argument also the items as files and a contact sheet, for looking at the skin.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

#include "skin/skin_data.h"
#include "skin/skin_stream.h"
#include "tools/skin_art/skin_art.h"
#include "tools/skin_art/skin_preview.h"
#include "tools/skin_pack/lzh_encoder.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: kelpo-skin-art SKINSTREAM-OUT [ITEMS-DIR]\n");
    return 1;
  }
  using namespace kelpo::skin;
  const std::string package = tools::writePackage(tools::kelpoPackageItems());
  const std::string stream = writeSkinStream(tools::packSkin(package));
  QFile out(QString::fromLocal8Bit(argv[1]));
  if (!out.open(QIODevice::WriteOnly) ||
      out.write(stream.data(), static_cast<qint64>(stream.size())) !=
          static_cast<qint64>(stream.size())) {
    std::fprintf(stderr, "error: cannot write %s\n", argv[1]);
    return 1;
  }
  if (argc > 2) {
    const QDir dir(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(dir.path());
    const auto bitmaps = tools::drawKelpoBitmaps();
    for (const auto& b : bitmaps) b.image.save(dir.filePath(QString::fromStdString(b.name)), "BMP");
    tools::contactSheet(bitmaps).save(dir.filePath("contact_sheet.png"), "PNG");
    TSkinData data;
    data.readSkinStream(stream);
    tools::skinPreview(data).save(dir.filePath("preview.png"), "PNG");
  }
  return 0;
}
