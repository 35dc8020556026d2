// Desktop "open" for web addresses and documents, and the program folder.
#include "platform/shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

namespace kelpo {

namespace {
std::function<void(const QString&)>& shellHook() {
  static std::function<void(const QString&)> hook;
  return hook;
}
}  // namespace

void shellOpen(const QString& address) {
  if (shellHook()) return shellHook()(address);
  QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

void setShellOpenHook(std::function<void(const QString&)> hook) { shellHook() = std::move(hook); }

QString programFolder() {
  QString dir = QCoreApplication::applicationDirPath();
  if (!dir.endsWith(u'/')) dir += u'/';
  return dir;
}

}  // namespace kelpo
