// Building small skin packages for the tests.
#include "tests/skin/support_skin.h"

#include <QBuffer>

#include "tools/skin_pack/lzh_encoder.h"

namespace kelpo::skin::testing {

std::string bmpItem(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string bmpItem(int width, int height, QRgb colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return bmpItem(image);
}

std::string packedSkin(const std::string& description,
                       const std::vector<tools::PackageItem>& items) {
  std::vector<tools::PackageItem> all{{"test.ini", description}};
  all.insert(all.end(), items.begin(), items.end());
  return tools::packSkin(tools::writePackage(all));
}

}  // namespace kelpo::skin::testing
