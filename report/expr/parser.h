// The report expression language: conversion of an infix expression into a compact postfix
// text, the value-stack machine that evaluates it, and the lexical helpers other parts of the
// engine use on memo and script texts.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "report/expr/value.h"

namespace kelpo::report {

// A malformed expression (unbalanced function-call parentheses, missing operands, too many
// values for the stack, too deep a nesting of evaluations) or an unknown name reported by the
// value resolution.
class EParserError : public Error {
 public:
  using Error::Error;
};

// One-byte operator codes of the postfix text. They lie below the space character so they can
// never be confused with text; the operators + - * / < = > stand for themselves.
namespace postfix {
inline constexpr char kGreaterEqual = 1;
inline constexpr char kLessEqual = 2;
inline constexpr char kNotEqual = 3;
inline constexpr char kOr = 4;
inline constexpr char kAnd = 5;
inline constexpr char kInt = 6;
inline constexpr char kFrac = 7;
inline constexpr char kNegate = 9;
inline constexpr char kPlus = 10;
inline constexpr char kStr = 11;
inline constexpr char kNot = 12;
inline constexpr char kMod = 13;
inline constexpr char kRound = 14;
}  // namespace postfix

class TfrParser {
 public:
  // Supplies the value of an identifier (upper-cased) or of a bracketed name (as written). The
  // value arrives as Null; a callback that does not know the name leaves it Null.
  using ValueCallback = std::function<void(const std::string& name, Value& value)>;
  // Evaluates a function the parser does not know. The name is upper-cased; the parameters are
  // the unevaluated argument texts (empty text when absent), so the callee evaluates only what
  // it needs. The result arrives as Null.
  using FunctionCallback = std::function<void(const std::string& name, const Value& p1,
                                              const Value& p2, const Value& p3, Value& result)>;

  // Evaluations nested deeper than this (built-ins and callbacks evaluating again) fail with
  // EParserError instead of exhausting the machine stack.
  static constexpr int kMaxNesting = 64;
  static constexpr int kStackSlots = 32;

  void setValueCallback(ValueCallback callback) { valueCallback_ = std::move(callback); }
  void setFunctionCallback(FunctionCallback callback) { functionCallback_ = std::move(callback); }
  const ValueCallback& valueCallback() const { return valueCallback_; }
  const FunctionCallback& functionCallback() const { return functionCallback_; }

  // ToPostfix, then EvaluatePostfix; errors propagate unchanged.
  Value Evaluate(std::string_view expression);
  // Never consults the callbacks. Throws EParserError (empty message) when a function call's
  // parentheses do not close.
  static std::string ToPostfix(std::string_view expression);
  // Re-entrant: a callback may call Evaluate again; each evaluation has its own stack.
  Value EvaluatePostfix(std::string_view postfixText);

  // Skips characters up to code 32, then reads to the first stop character (carriage return,
  // space, ( ) * + - / < = > [) outside double quotes; leaves `pos` on the stop character.
  static std::string ReadIdentifier(std::string_view text, std::size_t& pos);
  // `pos` on a single quote: the literal with its quotes ('' is an escaped quote); `pos` ends
  // after the closing quote, or at the end of an unterminated literal.
  static std::string ReadStringLiteral(std::string_view text, std::size_t& pos);
  // `pos` on '[': the text between the outer brackets (nesting and quotes respected); `pos` ends
  // on the closing ']'. Unclosed: everything after '[' but the last character, `pos` on that
  // last character.
  static std::string ReadBracketed(std::string_view text, std::size_t& pos);
  // `pos` on the '(' after a function name: up to three argument texts, untrimmed; `pos` ends
  // after the closing ')'. Throws EParserError with an empty message when the text ends first.
  static std::array<std::string, 3> SplitArguments(std::string_view text, std::size_t& pos);

 private:
  // `nothing` tells that no operand was there (only blanks or a stray stop character).
  Value evaluateOperand(std::string_view text, std::size_t& pos, bool& nothing);
  Value callFunction(const std::string& name, const std::array<std::string, 3>& args);

  ValueCallback valueCallback_;
  FunctionCallback functionCallback_;
  int nesting_ = 0;
};

// The program's one parser, shared by every report; the report points its callbacks at itself
// when it starts preparing.
TfrParser& frParser();

}  // namespace kelpo::report
