// kelpo-report prepare: prepares a template over queries of a SQLite file (or the stored recipe
// template for one recipe, as the catalogue window does) and writes the prepared report.
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/recipe_store.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "report/core/report.h"
#include "report/expr/datasets.h"
#include "report/expr/names.h"
#include "tools/kelpo_report/command.h"
#include "tools/kelpo_report/prepare.h"
#include "tools/kelpo_report/printer_session.h"
#include "tools/kelpo_report/report_data.h"
#include "tools/recipe_template/recipe_template.h"

namespace kelpo::tools {
namespace {

std::string readFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) throw Error("cannot read " + name);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Template bytes are either a template stream or the ReportForm property that wraps one
// (int32 25, int32 length, stream).
bool isReportForm(const std::string& bytes) {
  if (bytes.size() < 8) return bytes.size() == 4 && bytes.compare(0, 4, "\x19\0\0\0", 4) == 0;
  std::uint32_t tag = 0, length = 0;
  for (int i = 3; i >= 0; --i) {
    tag = tag << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    length = length << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i) + 4]);
  }
  return tag == 25 && length == bytes.size() - 8;
}

// The bundled catalogue lies beside the programs.
std::string bundledCatalogue() {
  return fromQString(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath()) + "/Kelpo.db";
}

struct Binding {
  std::string dataset, query;
};

}  // namespace

int prepareReportFile(const std::vector<std::string>& args, int* pageCount) {
  ReportData data;
  std::string templateFile, outFile, recipe, ownDataset;
  std::vector<Binding> bindings;
  bool twoPass = false, haveDb = false, full = false;
  std::vector<std::string> plain;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--db" || arg.rfind("--db=", 0) == 0) haveDb = true;
    if (data.consume(args, i)) continue;
    auto value = [&](const char* option) -> std::string {
      if (i + 1 >= args.size()) throw Error(std::string(option) + " wants a value");
      return args[++i];
    };
    if (arg == "--recipe") {
      recipe = value("--recipe");
    } else if (arg == "--dataset") {
      ownDataset = value("--dataset");
    } else if (arg == "--two-pass") {
      twoPass = true;
    } else if (arg == "--full") {
      full = true;
    } else if (arg == "--report-dataset") {
      const std::string b = value("--report-dataset");
      const std::size_t eq = b.find('=');
      if (eq == std::string::npos || eq == 0 || eq + 1 == b.size())
        throw Error("--report-dataset wants NAME=QUERY, got \"" + b + "\"");
      bindings.push_back({b.substr(0, eq), b.substr(eq + 1)});
    } else if (arg.rfind("--", 0) == 0) {
      throw Error("unknown option \"" + arg + "\"");
    } else {
      plain.push_back(arg);
    }
  }
  if (full && recipe.empty()) throw Error("--full goes with --recipe NAME");
  if (!recipe.empty()) {
    if (plain.size() != 1) throw Error("prepare --recipe NAME wants one output file");
    outFile = plain[0];
    if (!haveDb) {
      const std::vector<std::string> db = {"--db", bundledCatalogue()};
      std::size_t i = 0;
      data.consume(db, i);
    }
    bindings.push_back({"frDBDataSet1", "ADOQuery3"});
    ownDataset = "frDBDataSet1";
  } else {
    if (plain.size() != 2) throw Error("prepare wants TEMPLATE and OUT.frp");
    templateFile = plain[0];
    outFile = plain[1];
  }

  PrinterSession session;
  data.start(nullptr);
  QObject& form = data.form();
  if (!recipe.empty()) {
    // The detail query holds exactly the chosen recipe, as after a click in the catalogue tree.
    auto* query = new Query(&form);
    query->setObjectName(QStringLiteral("ADOQuery3"));
    query->setConnection(form.findChild<Connection*>(QString(), Qt::FindDirectChildrenOnly));
    query->setSql(QString::fromUtf8(recipes::kRecipeByName));
    query->setParameters({QString::fromStdString(recipe)});
    query->open();
    if (query->eof()) throw Error("no recipe named \"" + utf8ToEngine(recipe) + "\"");
  }
  for (const Binding& b : bindings) {
    auto* query =
        form.findChild<Query*>(QString::fromStdString(b.query), Qt::FindDirectChildrenOnly);
    if (!query) throw Error("--report-dataset names no query \"" + utf8ToEngine(b.query) + "\"");
    auto* dataset = new report::TfrDBDataSet(&form);
    dataset->setObjectName(QString::fromStdString(b.dataset));
    dataset->SetDataSet(query);
  }

  auto* sheet = new report::TfrReport(&form);
  sheet->setObjectName(QStringLiteral("frReport1"));
  sheet->ShowProgress = false;
  const std::string bytes =
      !recipe.empty() ? (full ? report::fullRecipeTemplateStream() : report::recipeTemplateForm())
                      : readFile(templateFile);
  if (full) {
    // The full sheet finds the recipe photographs below the program folder, as the recipe
    // windows do.
    sheet->OnGetValue = [](const std::string& name, report::Value& value) {
      if (report::sameName(name, "ProgramFolder"))
        value = report::Value(fromQString(programFolder()));
    };
  }
  // Damaged templates are reported on the standard error instead of a message box.
  std::string shown;
  setMessageHook([&shown](const MessageRecord& m) {
    shown = fromQString(m.text);
    return QMessageBox::Ok;
  });
  if (isReportForm(bytes))
    sheet->readReportForm(bytes);
  else
    sheet->loadFromStream(bytes);
  if (!shown.empty()) throw Error(shown);
  if (!ownDataset.empty()) {
    auto* dataset = form.findChild<report::TfrDataset*>(QString::fromStdString(ownDataset),
                                                        Qt::FindDirectChildrenOnly);
    if (!dataset)
      throw Error("--dataset names no report dataset \"" + utf8ToEngine(ownDataset) + "\"");
    sheet->Dataset = dataset;
  }
  if (twoPass) sheet->doublePass = true;

  sheet->PrepareReport();
  setMessageHook(nullptr);
  if (!shown.empty()) {
    std::fprintf(stderr, "%s\n", engineToUtf8(shown).c_str());
    return 1;
  }
  const std::string out = sheet->emfPages.saveToStream();
  std::ofstream file(outFile, std::ios::binary);
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
  if (!file) throw Error("cannot write " + outFile);
  *pageCount = sheet->emfPages.count();
  return 0;
}

namespace {

int runPrepare(const std::vector<std::string>& args) {
  int pages = 0;
  const int status = prepareReportFile(args, &pages);
  if (status == 0) std::printf("%d\n", pages);
  return status;
}

}  // namespace

KELPO_REPORT_COMMAND(
    "prepare",
    "TEMPLATE [--db FILE] [--query NAME=STATEMENT]... "
    "[--report-dataset NAME=QUERY]... [--dataset NAME] [--two-pass] OUT.frp  "
    "prepare a template and write the prepared report; or: --recipe NAME "
    "[--db FILE] [--full] OUT.frp  the recipe sheet of one recipe (--full: the A4 sheet "
    "with the photograph)",
    runPrepare);

}  // namespace kelpo::tools
