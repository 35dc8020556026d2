// Function libraries the report's function dispatch asks before its own procedures: the base
// class, the program-wide registry, the descriptions shown to a designer, and the standard
// library of text, date, number, dialog and aggregate functions.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "report/expr/byte_stream.h"
#include "report/expr/value.h"

namespace kelpo::report {

// Parameters arrive as unevaluated expression texts; a library evaluates what it uses.
class TfrFunctionLibrary {
 public:
  virtual ~TfrFunctionLibrary() = default;
  // True when the library has `name` (matched ignoring case); it then computes `result`.
  virtual bool TryCall(const std::string& name, const Value& p1, const Value& p2, const Value& p3,
                       Value& result);
  virtual void CallByIndex(int index, const Value& p1, const Value& p2, const Value& p3,
                           Value& result) = 0;
  // Records a description for a designer's function list (see TfrInstalledFunctions).
  void Describe(const std::string& name, const std::string& category,
                const std::string& description);

  TfrStrings List;  // function names, upper-cased, in registration order
};

struct TfrFunctionDesc {
  TfrFunctionLibrary* library;
  std::string name, category, description;
};
// Descriptions of installed functions: only entries with a category, one per function name.
std::vector<TfrFunctionDesc>& TfrInstalledFunctions();

// The registered libraries in registration order; at most kMaxLibraries.
inline constexpr std::size_t kMaxLibraries = 64;
const std::vector<std::unique_ptr<TfrFunctionLibrary>>& frLibraries();
// Registers one instance of `make`'s class unless one of that class is registered; false when
// the registry is full or the class is already there.
bool frRegisterFunctionLibrary(const std::type_info& type,
                               const std::function<std::unique_ptr<TfrFunctionLibrary>()>& make);
template <class T>
bool frRegisterFunctionLibrary() {
  return frRegisterFunctionLibrary(typeid(T), [] { return std::make_unique<T>(); });
}
// Removes the instance of that class with its descriptions.
void frUnregisterFunctionLibrary(const std::type_info& type);
// Asks each library in turn; true when one had the name.
bool frCallLibraries(const std::string& name, const Value& p1, const Value& p2, const Value& p3,
                     Value& result);

// Aggregate code bytes of the aggregate keys.
namespace aggregate {
inline constexpr char kSum = 11, kMin = 12, kMax = 13, kAvg = 14, kCount = 15;
}
// Computes SUM, MIN, MAX, AVG and COUNT; the report engine installs it (code byte, the three
// parameter texts, result). Without it aggregates give 0.
using TfrAggregateHandler = std::function<void(char code, const Value& p1, const Value& p2,
                                               const Value& p3, Value& result)>;
TfrAggregateHandler& frAggregateHandler();

// Asks for a line of text (INPUT): prompt, default, returns the text entered (the default when
// cancelled). Replaceable so that runs without a user can answer.
using TfrInputHook = std::function<std::string(const std::string& prompt, const std::string& def)>;
TfrInputHook& frInputHook();

class TfrStdFunctionLibrary : public TfrFunctionLibrary {
 public:
  TfrStdFunctionLibrary();
  void CallByIndex(int index, const Value& p1, const Value& p2, const Value& p3,
                   Value& result) override;
};

}  // namespace kelpo::report
