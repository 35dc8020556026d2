// Expression parser speed: evaluating a stored postfix text (done per record for group and
// highlight conditions) and converting an expression (done once per condition).
#include <benchmark/benchmark.h>

#include <string>

#include "report/expr/parser.h"

namespace {

using kelpo::report::TfrParser;
using kelpo::report::Value;

// Two names resolved the way a report resolves cached field references: one comparison each.
void installNames(TfrParser& parser) {
  parser.setValueCallback([](const std::string& name, Value& value) {
    if (name == "PRICE")
      value = Value(12.5);
    else if (name == "QTY")
      value = Value(3);
  });
}

void BM_EvaluateStoredPostfix(benchmark::State& state) {
  TfrParser parser;
  installNames(parser);
  // Two callback names, five operators.
  const std::string postfix = TfrParser::ToPostfix("(Price * 2 + Qty) / 4 - 1 > 3");
  for (auto _ : state) benchmark::DoNotOptimize(parser.EvaluatePostfix(postfix));
}
BENCHMARK(BM_EvaluateStoredPostfix);

void BM_ConvertExpression(benchmark::State& state) {
  // 60 characters: operators, a bracketed name, a function call, a string literal, words.
  const std::string expression = "(Price * Qty + [Tax]) / 2 >= 10 and COPY(Name, 1, 4) <> 'no'";
  state.SetLabel(std::to_string(expression.size()) + " characters");
  for (auto _ : state) benchmark::DoNotOptimize(TfrParser::ToPostfix(expression));
}
BENCHMARK(BM_ConvertExpression);

void BM_EvaluateText(benchmark::State& state) {
  TfrParser parser;
  installNames(parser);
  for (auto _ : state)
    benchmark::DoNotOptimize(parser.Evaluate("IF(Price > 10, COPY('expensive', 1, 4), 'cheap')"));
}
BENCHMARK(BM_EvaluateText);

}  // namespace
