// kelpo-report script: compiles a report script and prints its instruction lines, one a line,
// or the compile error with its line and column.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/text.h"
#include "report/expr/interpreter.h"
#include "tools/kelpo_report/command.h"

namespace kelpo::tools {
namespace {

int runScript(const std::vector<std::string>& args) {
  if (args.size() != 1) throw Error("script wants one argument: FILE or -");
  std::string text;
  if (args[0] == "-") {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  } else {
    std::ifstream in(args[0], std::ios::binary);
    if (!in) throw Error("cannot read \"" + args[0] + "\"");
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  report::TfrStrings source;
  std::istringstream lines(utf8ToEngine(text));
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    source.push_back(line);
  }
  report::TfrInterpretator interpreter;
  report::TfrStrings compiled, errors;
  interpreter.CompileScript(source, compiled, errors);
  if (!errors.empty()) {
    for (const std::string& e : errors) std::printf("%s\n", engineToUtf8(e).c_str());
    return 1;
  }
  for (std::size_t i = 0; i < compiled.size(); ++i)
    std::printf("%zu: %s\n", i,
                engineToUtf8(report::TfrInterpretator::Describe(compiled[i])).c_str());
  return 0;
}

}  // namespace

KELPO_REPORT_COMMAND("script",
                     "FILE|-  compile a report script and print its instruction lines (jz TARGET "
                     "COND, jmp TARGET, call EXPR, set NAME EXPR; postfix operators as {name})",
                     runScript);

}  // namespace kelpo::tools
