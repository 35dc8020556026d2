// kelpo-report: command-line access to the report engine, one subcommand per source file.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include <QLocale>

#include "platform/text.h"
#include "report/core/report_interpreter.h"
#include "report/expr/formatting.h"
#include "tools/kelpo_report/command.h"

namespace kelpo::tools {

namespace {

std::vector<Command>& registry() {
  static std::vector<Command> list;
  return list;
}

void printUsage(std::FILE* to) {
  std::vector<Command> sorted = commands();
  std::sort(sorted.begin(), sorted.end(),
            [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
  std::fprintf(to, "usage: kelpo-report COMMAND [ARGS...]\n\ncommands:\n");
  for (const Command& c : sorted) std::fprintf(to, "  %s %s\n", c.name, c.usage);
}

}  // namespace

bool registerCommand(const Command& command) {
  registry().push_back(command);
  return true;
}

const std::vector<Command>& commands() { return registry(); }

}  // namespace kelpo::tools

int main(int argc, char** argv) {
  using namespace kelpo::tools;
  if (argc < 2) {
    printUsage(stderr);
    return 1;
  }
  const std::string name = argv[1];
  if (name == "help" || name == "--help" || name == "-h") {
    printUsage(stdout);
    return 0;
  }
  // Dates, times and numbers read and print in the user's locale, as in the program.
  kelpo::report::InstallUserLocale(QLocale::system());
  kelpo::report::frInstallScripting();
  for (const Command& c : commands()) {
    if (name == c.name) {
      try {
        return c.run(std::vector<std::string>(argv + 2, argv + argc));
      } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", kelpo::engineToUtf8(e.what()).c_str());
        return 1;
      }
    }
  }
  std::fprintf(stderr, "error: unknown command \"%s\"\n", name.c_str());
  printUsage(stderr);
  return 1;
}
