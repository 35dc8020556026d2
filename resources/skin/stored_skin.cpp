// Reading the embedded SkinStream resource.
#include "resources/skin/stored_skin.h"

#include <QFile>

namespace kelpo {

std::string storedSkinStream() {
  QFile file(QStringLiteral(":/skin/kelpo.skinstream"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace kelpo
