// Any byte string given to the expression parser must end in a value or in one of the engine's
// exceptions: no crash, no hang, no access outside a buffer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "report/expr/parser.h"

using kelpo::report::TfrParser;
using kelpo::report::Value;

namespace {

// Names resolve to values of every kind; some are expressions themselves, the way report
// variables are, so nested evaluation is exercised too.
void resolve(TfrParser& parser, const std::string& name, Value& value) {
  switch (name.size() % 8) {
    case 0: value = Value(static_cast<std::int32_t>(name.size()) - 3); break;
    case 1: value = Value(name); break;
    case 2: value = Value(2.5); break;
    case 3: value = Value(name.size() % 2 == 0); break;
    case 4: value = Value::dateTime(45356.25); break;
    case 5: value = Value::currency(-15000); break;
    case 6: value = parser.Evaluate(name); break;
    default: break;  // stays Null
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  TfrParser parser;
  parser.setValueCallback(
      [&parser](const std::string& name, Value& value) { resolve(parser, name, value); });
  parser.setFunctionCallback([&parser](const std::string&, const Value& p1, const Value& p2,
                                       const Value&, Value& result) {
    // Library functions evaluate the parameters they need.
    result = parser.Evaluate(p1.text()) + parser.Evaluate(p2.text());
  });
  kelpo::report::valueLocale().decimalSeparator = size % 3 == 0 ? ',' : '.';

  try {
    (void)parser.Evaluate(input);
  } catch (const kelpo::Error&) {
  }
  try {
    (void)parser.EvaluatePostfix(input);  // arbitrary bytes as a stored postfix text
  } catch (const kelpo::Error&) {
  }
  try {
    (void)parser.Evaluate(input).toText();
  } catch (const kelpo::Error&) {
  }
  // The lexical helpers on every start position they accept.
  for (std::size_t pos = 0; pos < size && pos < 64; ++pos) {
    std::size_t p = pos;
    (void)TfrParser::ReadIdentifier(input, p);
    if (input[pos] == '\'') {
      p = pos;
      (void)TfrParser::ReadStringLiteral(input, p);
    }
    if (input[pos] == '[') {
      p = pos;
      (void)TfrParser::ReadBracketed(input, p);
    }
    if (input[pos] == '(') {
      p = pos;
      try {
        (void)TfrParser::SplitArguments(input, p);
      } catch (const kelpo::Error&) {
      }
    }
  }
  return 0;
}
