// The script interpreter: compiles the small block-structured script language into a list of
// instruction lines once, and runs a compiled list as often as needed. It knows no names itself;
// reading, writing and calling go through three virtual operations a subclass connects.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "report/expr/byte_stream.h"
#include "report/expr/parser.h"
#include "report/expr/value.h"

namespace kelpo::report {

// Kinds of compiled line, told by the first byte; any other first byte is an assignment
// ("NAME postfix").
namespace script_line {
inline constexpr char kJumpIfZero = 1;  // 1, target low, target high, postfix condition
inline constexpr char kJump = 2;        // 2, target low, target high
inline constexpr char kCall = 3;        // 3, postfix expression
}  // namespace script_line

class TfrInterpretator {
 public:
  // The whole source with one line end per line must fit this work buffer; more labels than
  // this, or longer label names, are rejected instead of overrunning the tables.
  static constexpr std::size_t kMaxSource = 32000;
  static constexpr std::size_t kMaxLabels = 101;
  static constexpr std::size_t kMaxLabelLength = 16;

  TfrInterpretator();
  virtual ~TfrInterpretator() = default;
  TfrInterpretator(const TfrInterpretator&) = delete;
  TfrInterpretator& operator=(const TfrInterpretator&) = delete;

  virtual void ReadValue(const std::string& name, Value& value);
  virtual void WriteValue(const std::string& name, const Value& value);
  virtual void CallFunction(const std::string& name, const Value& p1, const Value& p2,
                            const Value& p3, Value& result);
  // Clears `target` and `errors`, then compiles `source` into `target`. `source` may be the same
  // list as `target`. Errors read "Line L/C: message" (both from 1, in the text as written);
  // the lines compiled before an error are kept.
  virtual void CompileScript(const TfrStrings& source, TfrStrings& target, TfrStrings& errors);
  // Runs from line 0 until the index leaves the list or an EXIT(0) call line is met. Errors of
  // evaluation propagate and end the run.
  virtual void RunScript(const TfrStrings& compiled);

  // Hands the expression part of every compiled line to `collect` (finding aggregate calls).
  static void CollectFunctionCalls(const TfrStrings& compiled,
                                   const std::function<void(const std::string&)>& collect);
  // The target line index of a jump line.
  static std::size_t JumpTarget(std::string_view line);
  // A compiled line in readable form: "jz 3 <postfix>", "jmp 0", "call <postfix>",
  // "set NAME <postfix>"; operator bytes of the postfix text appear as {name}.
  static std::string Describe(std::string_view line);

  TfrParser& parser() { return parser_; }

 private:
  TfrParser parser_;
};

}  // namespace kelpo::report
