#include "report/expr/function_splitter.h"

#include <algorithm>

#include "platform/text.h"
#include "report/expr/interpreter.h"
#include "report/expr/names.h"
#include "report/expr/parser.h"

namespace kelpo::report {

namespace {

constexpr int kMaxDepth = 32;

bool isStop(char c) {
  return c == '\r' || c == ' ' || c == '(' || c == ')' || c == '*' || c == '+' || c == '-' ||
         c == '/' || c == '<' || c == '=' || c == '>';
}

}  // namespace

bool TfrFunctionSplitter::matches(std::string_view name) const {
  const std::string upper = upperName(name);
  return std::find(matchNames_.begin(), matchNames_.end(), upper) != matchNames_.end();
}

const Value* TfrFunctionSplitter::variable(std::string_view name) const {
  return variables_ ? variables_->Find(name) : nullptr;
}

void TfrFunctionSplitter::Split(std::string_view raw) {
  const std::string text(trimBlanks(raw));
  if (text.empty() || text[0] == '\'' || depth_ >= kMaxDepth) return;
  ++depth_;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == '[') {
      std::string inner = TfrParser::ReadBracketed(text, pos);
      if (const Value* v = variable(inner)) inner = v->toText();
      Split(inner);
      ++pos;
      continue;
    }
    const std::size_t start = pos;
    const std::string name = TfrParser::ReadIdentifier(text, pos);
    if (pos < text.size() && text[pos] == '(') {
      const std::size_t nameStart = pos - name.size();
      std::array<std::string, 3> args;
      try {
        args = TfrParser::SplitArguments(text, pos);
      } catch (const EParserError&) {
        break;  // an unclosed call holds nothing more to find
      }
      for (const std::string& a : args) Split(a);
      if (matches(name)) output_.push_back(text.substr(nameStart, pos - nameStart));
      continue;
    }
    if (!name.empty() && variable(name)) {
      Split(variable(name)->toText());
    } else if (pos < text.size() && isStop(text[pos])) {
      ++pos;
      continue;
    } else if (pos == start || name.empty()) {
      break;
    }
    if (pos == start) break;
  }
  --depth_;
}

void TAggregateFunctionsSplitter::SplitMemo(const TfrStrings& lines) {
  for (const std::string& line : lines) {
    std::size_t pos = 0;
    while ((pos = engineFind(line, '[', pos)) != std::string::npos) {
      const std::string inner = TfrParser::ReadBracketed(line, pos);
      Split("[" + inner + "]");
      ++pos;
    }
  }
}

void TAggregateFunctionsSplitter::SplitScript(const TfrStrings& compiled) {
  if (compiled.empty()) return;
  TfrInterpretator::CollectFunctionCalls(compiled, [this](const std::string& e) { Split(e); });
}

}  // namespace kelpo::report
