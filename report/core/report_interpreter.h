// The report's script interpreter (names resolve and calls dispatch through the report being
// built), the report's function dispatch with its built-in procedures, and the database
// function library. frInstallScripting connects them to the engine once at start-up.
#pragma once

#include <string>
#include <unordered_map>

#include "report/expr/function_library.h"
#include "report/expr/interpreter.h"

namespace kelpo::report {

class TfrReport;

class TInterpretator : public TfrInterpretator {
 public:
  void ReadValue(const std::string& name, Value& value) override;
  void WriteValue(const std::string& name, const Value& value) override;
  void CallFunction(const std::string& name, const Value& p1, const Value& p2, const Value& p3,
                    Value& result) override;

  // Runs a script given as source lines; each distinct source is compiled once. Compile errors
  // are not shown: the part compiled before an error runs.
  void RunSource(const TfrStrings& source);

 private:
  // Compiled scripts by source text (lines joined with CR), kept for the program's life.
  std::unordered_map<std::string, TfrStrings> compiled_;
  const TfrStrings* lastSource_ = nullptr;
  TfrStrings lastText_;
  const TfrStrings* lastCompiled_ = nullptr;
};

// The program's one report interpreter.
TInterpretator& frInterpreter();

// FIELDISNULL('Query."field"'): true when the field of the current record is null or when no
// dataset is found.
class TDatabaseFunctionLibrary : public TfrFunctionLibrary {
 public:
  TDatabaseFunctionLibrary();
  void CallByIndex(int index, const Value& p1, const Value& p2, const Value& p3,
                   Value& result) override;
};

// The report's function dispatch: result "0", then the libraries, then the built-in
// procedures and the report's OnUserFunction. `report` may be null (no report being built).
void DispatchFunction(TfrReport* report, const std::string& name, const Value& p1, const Value& p2,
                      const Value& p3, Value& result);

// Creates the interpreter, registers the two libraries (once) and installs the script runners
// and aggregate hooks (again on every call, so a report constructed later puts them back).
void frInstallScripting();

// The aggregate side (aggregates.cpp): installs the aggregate handler and the build hooks.
void frInstallAggregates();

}  // namespace kelpo::report
