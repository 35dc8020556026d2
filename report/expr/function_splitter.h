// Finds the calls of given functions (the aggregates) inside expressions, memo texts and
// compiled scripts, following dictionary variables into the expressions they stand for.
#pragma once

#include <string>
#include <string_view>

#include "report/expr/byte_stream.h"
#include "report/expr/variables.h"

namespace kelpo::report {

class TfrFunctionSplitter {
 public:
  // `matchNames` upper-cased; `variables` may be null.
  TfrFunctionSplitter(TfrStrings matchNames, const TfrVariables* variables, TfrStrings& output)
      : matchNames_(std::move(matchNames)), variables_(variables), output_(output) {}
  virtual ~TfrFunctionSplitter() = default;

  // Adds every call of a match name in `text`, from the name to its closing parenthesis.
  void Split(std::string_view text);

 private:
  bool matches(std::string_view name) const;
  const Value* variable(std::string_view name) const;

  TfrStrings matchNames_;
  const TfrVariables* variables_;
  TfrStrings& output_;
  int depth_ = 0;  // variables that refer to each other must not recurse for ever
};

class TAggregateFunctionsSplitter : public TfrFunctionSplitter {
 public:
  TAggregateFunctionsSplitter(const TfrVariables* variables, TfrStrings& output)
      : TfrFunctionSplitter({"AVG", "COUNT", "MAX", "MIN", "SUM"}, variables, output) {}
  // Every [ ... ] piece of the memo lines.
  void SplitMemo(const TfrStrings& lines);
  // The expression parts of compiled script lines.
  void SplitScript(const TfrStrings& compiled);
};

}  // namespace kelpo::report
