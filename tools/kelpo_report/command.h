// Subcommands of kelpo-report: each lives in its own source file and registers itself with one
// KELPO_REPORT_COMMAND line, so adding a command never touches the dispatcher.
#pragma once

#include <string>
#include <vector>

namespace kelpo::tools {

// Runs a subcommand with the arguments after its name; returns the process exit status.
using CommandFunction = int (*)(const std::vector<std::string>& args);

struct Command {
  const char* name;
  const char* usage;  // one line: arguments and what the command does
  CommandFunction run;
};

// Registration happens during static initialisation; the registry is built on first use.
bool registerCommand(const Command& command);
const std::vector<Command>& commands();

}  // namespace kelpo::tools

#define KELPO_REPORT_CONCAT2(a, b) a##b
#define KELPO_REPORT_CONCAT(a, b) KELPO_REPORT_CONCAT2(a, b)
#define KELPO_REPORT_COMMAND(name, usage, function)                       \
  static const bool KELPO_REPORT_CONCAT(kelpoReportCommand_, __LINE__) = \
      ::kelpo::tools::registerCommand({name, usage, function})
