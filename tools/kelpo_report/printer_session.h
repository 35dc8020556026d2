// The printer commands' working set: a GUI application (printing needs one) that shows no
// window, so none needs a screen, and the printer model attached to the installed printers.
#pragma once

#include <QGuiApplication>

#include "report/ui/printer.h"

namespace kelpo::tools {

class PrinterSession {
 public:
  PrinterSession();
  report::TfrPrinter& printer() { return printer_; }

 private:
  struct OffscreenUnlessSet {
    OffscreenUnlessSet();
  } platform_;
  int argc_ = 1;
  char name_[13] = "kelpo-report";
  char* argv_[2] = {name_, nullptr};
  QGuiApplication app_;
  report::TfrPrinter printer_;
};

}  // namespace kelpo::tools
