// Start-up: the catalogue window, the hidden about window, the message loop.
#include "app/start_up.h"

#include <memory>

#include "app/frm_main.h"
#include "app/kelpo_application.h"
#include "app/my_soft.h"

namespace kelpo {

int runKelpo(KelpoApplication& app, void (*created)(TFrmMain&)) {
  std::unique_ptr<TFrmMain> window;
  try {
    window = std::make_unique<TFrmMain>();
  } catch (const std::exception& e) {
    // Without its database the program cannot work: the message names the file, and the
    // program ends with a failure status instead of running on without a window.
    reportError(e);
    return 1;
  }
  // The tree could not be built: the window has said so and asked the program to end.
  if (window->terminating()) return 1;
  // The about window created at start-up is never shown; 说明 shows a fresh one.
  auto* about = new TMySoft(window.get());
  about->setObjectName(QStringLiteral("MySoft"));
  about->hide();
  window->show();
  if (created != nullptr) created(*window);
  return app.exec();
}

}  // namespace kelpo
