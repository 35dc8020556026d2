// kelpo-report metrics: the 12 printer metrics of one paper on one printer, in the order pages
// store them.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/text.h"
#include "report/ui/paper_table.h"
#include "report/ui/printer.h"
#include "tools/kelpo_report/command.h"
#include "tools/kelpo_report/printer_session.h"

namespace kelpo::tools {
namespace {

int number(const std::string& text, const char* what) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end)
    throw Error(std::string(what) + " must be a whole number, got \"" + text + "\"");
  return value;
}

int runMetrics(const std::vector<std::string>& args) {
  std::string printerName;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--printer") {
      if (i + 1 >= args.size()) throw Error("--printer wants a printer name");
      printerName = args[++i];
    } else if (args[i].rfind("--printer=", 0) == 0) {
      printerName = args[i].substr(10);
    } else {
      rest.push_back(args[i]);
    }
  }
  if (rest.empty()) throw Error("metrics wants a paper code");
  const int code = number(rest[0], "the paper code");
  auto orientation = report::TPrinterOrientation::poPortrait;
  std::size_t next = 1;
  if (next < rest.size() && (rest[next] == "portrait" || rest[next] == "landscape")) {
    if (rest[next] == "landscape") orientation = report::TPrinterOrientation::poLandscape;
    ++next;
  }
  int width = 0, height = 0;
  if (next < rest.size()) {
    if (next + 2 != rest.size()) throw Error("metrics wants WIDTH and HEIGHT together");
    width = number(rest[next], "the width");
    height = number(rest[next + 1], "the height");
    if (width <= 0 || height <= 0) throw Error("the width and height must be positive");
  } else if (code == report::kUserPaperSize) {
    throw Error("a user-defined paper (256) wants WIDTH HEIGHT in tenths of a millimetre");
  }

  PrinterSession session;
  report::TfrPrinter& printer = session.printer();
  if (printerName.empty()) {
    printer.selectPrinter(printer.virtualPrinterIndex());
  } else {
    if (!printer.selectPrinter(utf8ToEngine(printerName)))
      throw Error("no printer named \"" + printerName + "\"");
    if (printer.isVirtual() && printer.printerName() != utf8ToEngine(printerName))
      throw Error("printer \"" + printerName + "\" cannot be used");
  }
  printer.setPaper(code, width, height, orientation, -1, true);
  const report::TfrPrnInfo m = printer.metrics();
  std::printf("%d %d %d %d %d %d %d %d %d %d %d %d\n", m.pgw, m.pgh, m.pw, m.ph, m.ofx, m.ofy,
              m.ofpx, m.ofpy, m.ppgw, m.ppgh, m.ppw, m.pph);
  return 0;
}

}  // namespace

KELPO_REPORT_COMMAND("metrics",
                     "[--printer NAME] PAPERCODE [portrait|landscape] [WIDTH HEIGHT]  the 12 "
                     "printer metrics of a paper (the virtual printer when none is named)",
                     runMetrics);

}  // namespace kelpo::tools
