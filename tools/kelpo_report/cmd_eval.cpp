// kelpo-report eval: evaluates one expression; names resolve as in a report (system variables,
// constants, dataset fields of --query queries), and names supplied by --set win.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/text.h"
#include "report/expr/names.h"
#include "report/expr/parser.h"
#include "tools/kelpo_report/command.h"
#include "tools/kelpo_report/report_data.h"

namespace kelpo::tools {
namespace {

using report::EParserError;
using report::TfrParser;
using report::Value;

struct Definition {
  std::string name;        // engine text
  std::string expression;  // engine text
  bool evaluated = false;
  bool evaluating = false;
  Value value;
};

int runEval(const std::vector<std::string>& args) {
  ReportData data;
  std::vector<Definition> definitions;
  std::string expression;
  bool haveExpression = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string assignment;
    if (data.consume(args, i)) continue;
    if (arg == "--set" && i + 1 < args.size()) {
      assignment = args[++i];
    } else if (arg.rfind("--set=", 0) == 0) {
      assignment = arg.substr(6);
    } else if (!haveExpression) {
      expression = utf8ToEngine(arg);
      haveExpression = true;
      continue;
    } else {
      throw Error("unexpected argument \"" + arg + "\"");
    }
    const std::size_t eq = assignment.find('=');
    if (eq == std::string::npos || eq == 0)
      throw Error("--set wants NAME=EXPRESSION, got \"" + assignment + "\"");
    Definition d;
    d.name = utf8ToEngine(assignment.substr(0, eq));
    d.expression = utf8ToEngine(assignment.substr(eq + 1));
    definitions.push_back(std::move(d));
  }
  if (!haveExpression) throw Error("eval wants an expression");

  data.start(nullptr);
  TfrParser& parser = report::frParser();
  // The report's OnGetValue: the application's names come before every other source.
  data.report.OnGetValue = [&](const std::string& name, Value& value) {
    for (Definition& d : definitions) {
      if (!report::sameName(d.name, name)) continue;
      if (!d.evaluated) {
        // A definition that refers to itself would otherwise never finish.
        if (d.evaluating) throw EParserError("\"" + d.name + "\" is defined through itself");
        d.evaluating = true;
        d.value = parser.Evaluate(d.expression);
        d.evaluating = false;
        d.evaluated = true;
      }
      value = d.value;
      return;
    }
  };

  const Value result = parser.Evaluate(expression);
  std::printf("%s\n", engineToUtf8(report::describe(result)).c_str());
  return 0;
}

}  // namespace

KELPO_REPORT_COMMAND("eval",
                     "[--db FILE] [--query NAME=STATEMENT]... [--set NAME=EXPRESSION]... "
                     "EXPRESSION  evaluate a report expression",
                     runEval);

}  // namespace kelpo::tools
