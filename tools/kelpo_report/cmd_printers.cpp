// kelpo-report printers: the printer model's list, the current printer first and marked.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/text.h"
#include "report/ui/printer.h"
#include "tools/kelpo_report/command.h"
#include "tools/kelpo_report/printer_session.h"

namespace kelpo::tools {
namespace {

int runPrinters(const std::vector<std::string>& args) {
  if (!args.empty()) throw Error("printers takes no arguments");
  PrinterSession session;
  report::TfrPrinter& printer = session.printer();
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
