// The generic error report and application-wide start-up settings.
#include "app/kelpo_application.h"

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
  registerFontSubstitutions();
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
