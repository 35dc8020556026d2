// The generic error report and application-wide start-up settings.
#include "app/kelpo_application.h"

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

KelpoApplication::KelpoApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Kelpo"));
  // Desktops match the windows to the installed menu entry and icon by these names.
  setDesktopFileName(QStringLiteral("kelpo"));
  setWindowIcon(QIcon::fromTheme(QStringLiteral("kelpo")));
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
