// kelpo-report printers: the printer model's list, the current printer first and marked.
#include <QGuiApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/text.h"
#include "report/ui/cups_printer_backend.h"
#include "report/ui/printer.h"
#include "tools/kelpo_report/command.h"

namespace kelpo::tools {
namespace {

int runPrinters(const std::vector<std::string>& args) {
  if (!args.empty()) throw Error("printers takes no arguments");
  // Printing needs a GUI application; this command shows no window, so none needs a screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "kelpo-report";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);

  report::TfrPrinter printer(std::make_unique<report::CupsPrinterBackend>());
  printer.attach();
  const std::vector<std::string>& names = printer.printerNames();
  const int current = printer.printerIndex();
  std::printf("* %s\n", engineToUtf8(names[current]).c_str());
  for (int i = 0; i < static_cast<int>(names.size()); ++i)
    if (i != current) std::printf("  %s\n", engineToUtf8(names[i]).c_str());
  return 0;
}

}  // namespace

KELPO_REPORT_COMMAND("printers", " list the printers, the current one first and marked with *",
                     runPrinters);

}  // namespace kelpo::tools
