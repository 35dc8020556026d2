// kelpo-report eval: evaluates one expression, with names supplied by --set.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/text.h"
#include "report/expr/names.h"
#include "report/expr/parser.h"
#include "tools/kelpo_report/command.h"

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
  std::vector<Definition> definitions;
  std::string expression;
  bool haveExpression = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string assignment;
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

  TfrParser parser;
  parser.setValueCallback([&](const std::string& name, Value& value) {
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
    throw EParserError("unknown name \"" + name + "\"");
  });
  parser.setFunctionCallback(
      [](const std::string& name, const Value&, const Value&, const Value&, Value&) {
        throw EParserError("unknown function \"" + name + "\"");
      });

  const Value result = parser.Evaluate(expression);
  const std::string line =
      std::string(report::kindName(result.kind())) + ": " + engineToUtf8(result.toText());
  std::printf("%s\n", line.c_str());
  return 0;
}

}  // namespace

KELPO_REPORT_COMMAND("eval", "[--set NAME=EXPRESSION]... EXPRESSION  evaluate a report expression",
                     runEval);

}  // namespace kelpo::tools
