// kelpo-report print: runs the print run of a prepared report on an installed printer without
// the print dialog.
#include <cstdio>

#include "platform/error.h"
#include "platform/fonts.h"
#include "platform/text.h"
#include "report/core/addin_registry.h"
#include "report/core/report.h"
#include "tools/kelpo_report/command.h"
#include "tools/kelpo_report/print_options.h"
#include "tools/kelpo_report/printer_session.h"

namespace kelpo::tools {
namespace {

int runPrint(const std::vector<std::string>& args) {
  report::TfrPrintOptions options;
  std::string printer;
  std::vector<std::string> plain;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (consumePrintOption(args, i, options, true)) continue;
    const std::string& arg = args[i];
    if (arg == "--printer") {
      if (i + 1 >= args.size()) throw Error("--printer wants a value");
      printer = args[++i];
    } else if (arg.rfind("--", 0) == 0) {
      throw Error("unknown option \"" + arg + "\"");
    } else {
      plain.push_back(arg);
    }
  }
  if (plain.size() != 1 || printer.empty()) throw Error("print wants FILE.frp and --printer NAME");

  PrinterSession session;
  registerFontSubstitutions();
  report::registerBarCodeView();
  report::TfrPrinter& model = session.printer();
  const std::string name = utf8ToEngine(printer);
  if (!model.selectPrinter(name) || model.isVirtual())
    throw Error("no printer named \"" + name + "\"");
  report::TfrReport report;
  loadPreparedFile(plain[0], report);
  auto target = report::makePrinterTarget(model);
  std::printf("%d\n", printCountingPages(report, options, *target));
  return 0;
}

}  // namespace

KELPO_REPORT_COMMAND("print",
                     "FILE.frp --printer NAME [--pages LIST] [--copies N] "
                     "[--collate|--no-collate] [--odd|--even]  print prepared pages on an "
                     "installed printer",
                     runPrint);

}  // namespace kelpo::tools
