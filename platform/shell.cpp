// Desktop "open" for web addresses and documents, and the program folder.
#include "platform/shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

namespace kelpo {

void shellOpen(const QString& address) {
  QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

QString programFolder() {
  QString dir = QCoreApplication::applicationDirPath();
  if (!dir.endsWith(u'/')) dir += u'/';
  return dir;
}

}  // namespace kelpo
