// kelpo-report pdf: writes a prepared report, or the recipe sheet of one recipe, as a PDF file
// with selectable text, through the same print run as the printers.
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "platform/error.h"
#include "report/core/report.h"
#include "tools/kelpo_report/command.h"
#include "tools/kelpo_report/headless_app.h"
#include "tools/kelpo_report/prepare.h"
#include "tools/kelpo_report/print_options.h"

namespace kelpo::tools {
namespace {

int runPdf(const std::vector<std::string>& args) {
  report::TfrPrintOptions options;
  std::vector<std::string> plain;
  std::string recipe, db;
  bool full = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (consumePrintOption(args, i, options, false)) continue;
    const std::string& arg = args[i];
    if (arg == "--recipe" || arg == "--db") {
      if (i + 1 >= args.size()) throw Error(arg + " wants a value");
      (arg == "--recipe" ? recipe : db) = args[++i];
    } else if (arg == "--full") {
      full = true;
    } else if (arg.rfind("--", 0) == 0) {
      throw Error("unknown option \"" + arg + "\"");
    } else {
      plain.push_back(arg);
    }
  }
  const bool fromRecipe = !recipe.empty();
  if (!db.empty() && !fromRecipe) throw Error("--db goes with --recipe NAME");
  if (full && !fromRecipe) throw Error("--full goes with --recipe NAME");
  if (plain.size() != (fromRecipe ? 1u : 2u))
    throw Error(fromRecipe ? "pdf --recipe NAME wants one output file"
                           : "pdf wants FILE.frp and OUT.pdf");
  const std::string out = plain.back();

  // A recipe sheet is prepared exactly as the prepare command prepares it, into a scratch file.
  QTemporaryDir scratch;
  std::string frp = fromRecipe ? "" : plain[0];
  if (fromRecipe) {
    if (!scratch.isValid()) throw Error("cannot make a scratch directory");
    frp = scratch.filePath(QStringLiteral("recipe.frp")).toStdString();
    std::vector<std::string> prepareArgs = {"--recipe", recipe};
    if (!db.empty()) prepareArgs.insert(prepareArgs.end(), {"--db", db});
    if (full) prepareArgs.push_back("--full");
    prepareArgs.push_back(frp);
    int prepared = 0;
    if (const int status = prepareReportFile(prepareArgs, &prepared); status != 0) return status;
  }

  HeadlessApplication app;
  report::TfrReport report;
  loadPreparedFile(frp, report);
  auto target = report::makePdfTarget(QString::fromStdString(out));
  const int pages = printCountingPages(report, options, *target);
  if (pages == 0) {
    QFile::remove(QString::fromStdString(out));
    throw Error("no page of the report matches the page list");
  }
  std::printf("%d\n", pages);
  return 0;
}

}  // namespace

KELPO_REPORT_COMMAND("pdf",
                     "FILE.frp OUT.pdf [--pages LIST] [--odd|--even]  write prepared pages as a "
                     "PDF file; or: --recipe NAME [--db FILE] OUT.pdf  the recipe sheet of one "
                     "recipe",
                     runPdf);

}  // namespace kelpo::tools
