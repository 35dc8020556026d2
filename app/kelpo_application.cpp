// The generic error report and application-wide start-up settings.
#include "app/kelpo_application.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/text.h"

namespace kelpo {

void reportError(const std::exception& error) {
  messageBox(toQString(error.what()), QGuiApplication::applicationDisplayName(),
             MessageIcon::Critical);
}

void runHandler(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    reportError(e);
  }
}

namespace {

// The installed icon from the desktop's theme; run from a build tree, the icons the build made
// beside its bin folder, so the window frames show the same plate.
QIcon programIcon() {
  QIcon icon = QIcon::fromTheme(QStringLiteral("kelpo"));
  if (!icon.isNull()) return icon;
  const QDir sizes(QCoreApplication::applicationDirPath() + QStringLiteral("/../icons/hicolor"));
  for (const QString& size : sizes.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    const QString file = sizes.filePath(size + QStringLiteral("/apps/kelpo.png"));
    if (QFileInfo::exists(file)) icon.addFile(file);
  }
  return icon;
}

}  // namespace

KelpoApplication::KelpoApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Kelpo"));
  // Desktops match the windows to the installed menu entry and icon by these names.
  setDesktopFileName(QStringLiteral("kelpo"));
  setWindowIcon(programIcon());
  registerFontSubstitutions();
  // Qt's own texts (message box buttons, the picture chooser) speak the program's language.
  // Without the translations installed they stay English; nothing else changes.
  auto* translator = new QTranslator(this);
  if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    installTranslator(translator);
  else
    delete translator;
}

bool KelpoApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    reportError(e);
    return false;
  }
}

}  // namespace kelpo
