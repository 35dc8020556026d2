// What the pdf and print commands share: their page options and reading a prepared report.
#pragma once

#include <string>
#include <vector>

#include "report/ui/print_run.h"

namespace kelpo::tools {

// Takes --pages LIST, --odd, --even and, when `withCopies`, --copies N, --collate and
// --no-collate at args[i] (advancing i past a value); false for any other argument.
bool consumePrintOption(const std::vector<std::string>& args, std::size_t& i,
                        report::TfrPrintOptions& options, bool withCopies);

// Loads a prepared-report file into the report's prepared pages; throws on a missing or damaged
// file.
void loadPreparedFile(const std::string& fileName, report::TfrReport& report);

// Runs the print run into `target` and returns how many pages it sent.
int printCountingPages(report::TfrReport& report, const report::TfrPrintOptions& options,
                       report::TfrPrintTarget& target);

}  // namespace kelpo::tools
