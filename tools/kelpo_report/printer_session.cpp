#include "tools/kelpo_report/printer_session.h"

#include <memory>

#include "report/ui/cups_printer_backend.h"

namespace kelpo::tools {

PrinterSession::OffscreenUnlessSet::OffscreenUnlessSet() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

PrinterSession::PrinterSession()
    : app_(argc_, argv_), printer_(std::make_unique<report::CupsPrinterBackend>()) {
  printer_.attach();
}

}  // namespace kelpo::tools
