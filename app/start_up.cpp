// Start-up: the catalogue window, the hidden about window, the message loop.
#include "app/start_up.h"

#include <QLocale>
#include <memory>

#include "app/frm_main.h"
#include "app/kelpo_application.h"
#include "app/my_soft.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "report/core/addin_registry.h"
#include "report/core/report_interpreter.h"
#include "report/expr/formatting.h"
#include "report/ui/passw_form.h"
#include "report/ui/preview_form.h"
#include "report/ui/print_run.h"
#include "report/ui/printer.h"
#include "report/ui/progress_form.h"

namespace kelpo {

int runKelpo(KelpoApplication& app, void (*created)(TFrmMain&)) {
  // Report values print and read dates, times and numbers in the user's locale.
  report::InstallUserLocale(QLocale::system());
  // The report engine's printer model comes first: templates read while the window is
  // created already ask it for paper and printer metrics.
  report::createPrinterModel();
  // Preparing runs inside the progress window, made once and kept.
  report::installProgressForm();
  // Protected templates read from files ask for their password.
  report::installPasswForm();
  // Templates may hold barcode views; their class must be known before the first one is read.
  report::registerBarCodeView();
  // 打印 shows the prepared recipe sheet in the preview window.
  report::installPreviewForm();
  // The preview's print button asks the print dialog, then the print run prints.
  report::installPrintRun();
  // The script interpreter and the function libraries, next to the global parser.
  report::frInstallScripting();
  std::unique_ptr<TFrmMain> window;
  try {
    window = std::make_unique<TFrmMain>();
  } catch (const DatabaseError& e) {
    // Without its database the program cannot work: the message names the file by its full
    // path, and the program ends with a failure status instead of running on without a window.
    messageBox(toQString(e.what()), QCoreApplication::applicationName(), MessageIcon::Critical);
    return 1;
  } catch (const std::exception& e) {
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
