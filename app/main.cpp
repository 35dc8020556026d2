// Program start-up: the application title, the catalogue window and the message loop.
#include <QDir>
#include <memory>

#include "app/frm_main.h"
#include "app/kelpo_application.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/text.h"

int main(int argc, char** argv) {
  kelpo::KelpoApplication app(argc, argv);
  std::unique_ptr<kelpo::TFrmMain> window;
  try {
    window = std::make_unique<kelpo::TFrmMain>();
  } catch (const std::exception& e) {
    // Without its database the program cannot work: say which file, then end with a failure
    // status instead of running on without a window.
    kelpo::reportError(e);
    return 1;
  }
  // The tree could not be built: the window has shown why and asked the program to end.
  if (window->terminating()) return 1;
  window->show();
  return app.exec();
}
