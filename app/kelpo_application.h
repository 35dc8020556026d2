// The application object: title, fonts, and the generic error report for failed handlers.
#pragma once

#include <QApplication>
#include <exception>
#include <functional>

namespace kelpo {

// Shows the text of a failure in a message box; the program goes on.
void reportError(const std::exception& error);

// Runs an event handler; a failure ends the handler there and goes to the error report.
// Qt cannot pass exceptions through its own frames, so every handler runs through this.
void runHandler(const std::function<void()>& handler);

class KelpoApplication : public QApplication {
 public:
  KelpoApplication(int& argc, char** argv);
  // A failure that escapes an event handler all the same is reported here.
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace kelpo
