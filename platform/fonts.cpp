// Font names of forms and templates mapped to the free fonts this system ships with.
#include "platform/fonts.h"

#include <QFont>
#include <QString>
#include <QStringList>

namespace kelpo {

void registerFontSubstitutions() {
  static const std::pair<const char*, const char*> kTable[] = {
      {"宋体", "AR PL UMing CN"},          {"SimSun", "AR PL UMing CN"},
      {"华文中宋", "AR PL UMing CN"},      {"新宋体", "AR PL UMing CN"},
      {"隶书", "AR PL UKai CN"},           {"楷体", "AR PL UKai CN"},
      {"楷体_GB2312", "AR PL UKai CN"},    {"Arial", "Liberation Sans"},
      {"Times New Roman", "Liberation Serif"}, {"Courier New", "Liberation Mono"},
  };
  for (const auto& [from, to] : kTable) {
    const QString name = QString::fromUtf8(from);
    // insertSubstitution appends (Qt keeps the names in lower case); checking first keeps
    // repeated calls from piling up.
    if (!QFont::substitutes(name).contains(QString::fromUtf8(to), Qt::CaseInsensitive))
      QFont::insertSubstitution(name, QString::fromUtf8(to));
  }
}

}  // namespace kelpo
