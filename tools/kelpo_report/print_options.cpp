#include "tools/kelpo_report/print_options.h"

#include <fstream>
#include <iterator>

#include "platform/error.h"
#include "report/core/report.h"
#include "report/expr/value.h"

namespace kelpo::tools {

bool consumePrintOption(const std::vector<std::string>& args, std::size_t& i,
                        report::TfrPrintOptions& options, bool withCopies) {
  const std::string& arg = args[i];
  auto value = [&]() -> const std::string& {
    if (i + 1 >= args.size()) throw Error(arg + " wants a value");
    return args[++i];
  };
  if (arg == "--pages") {
    options.pageList = QString::fromUtf8(value());
  } else if (arg == "--odd") {
    options.which = report::TfrPrintPages::ppOdd;
  } else if (arg == "--even") {
    options.which = report::TfrPrintPages::ppEven;
  } else if (withCopies && arg == "--copies") {
    options.copies = report::textToInteger(value());
  } else if (withCopies && arg == "--collate") {
    options.collate = true;
  } else if (withCopies && arg == "--no-collate") {
    options.collate = false;
  } else {
    return false;
  }
  return true;
}

void loadPreparedFile(const std::string& fileName, report::TfrReport& report) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw Error("cannot read " + fileName);
  const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  try {
    report.emfPages.loadFromStream(data);
  } catch (const std::exception& e) {
    throw Error(fileName + " is not a readable prepared report: " + e.what());
  }
}

int printCountingPages(report::TfrReport& report, const report::TfrPrintOptions& options,
                       report::TfrPrintTarget& target) {
  int pages = 0;
  report::printPreparedReport(report, options, target, [&pages](int) {
    ++pages;
    return true;
  });
  return pages;
}

}  // namespace kelpo::tools
