// The script interpreter: compiling scripts into instruction lines, its syntax errors with
// their positions, the limits of the compiler, and running compiled lines.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "report/expr/interpreter.h"
#include "report/expr/names.h"

namespace kelpo::report {
namespace {

// An interpreter whose names live in a map; INC and DEC work on it, and every other function
// call is recorded (its text as it reaches the dispatch).
class MapInterpreter : public TfrInterpretator {
 public:
  std::map<std::string, Value> vars;  // upper-cased names
  std::vector<std::string> calls;

  void ReadValue(const std::string& name, Value& value) override {
    auto it = vars.find(upperName(name));
    if (it != vars.end()) value = it->second;
  }
  void WriteValue(const std::string& name, const Value& value) override {
    vars[upperName(name)] = value;
  }
  void CallFunction(const std::string& name, const Value& p1, const Value& p2, const Value& p3,
                    Value& result) override {
    if (name == "INC") {
      WriteValue(p1.toText(), Value(parser().Evaluate(p1.toText()).toInteger() + 1));
      return;
    }
    calls.push_back(name + "(" + p1.toText() + "|" + p2.toText() + "|" + p3.toText() + ")");
    result = Value(0);
  }

  // Compiles; fails the test on a compile error.
  TfrStrings compile(const TfrStrings& source) {
    TfrStrings compiled, errors;
    CompileScript(source, compiled, errors);
    EXPECT_TRUE(errors.empty()) << errors.front();
    return compiled;
  }
  std::string error(const TfrStrings& source) {
    TfrStrings compiled, errors;
    CompileScript(source, compiled, errors);
    return errors.empty() ? "" : errors.front();
  }
};

std::vector<std::string> described(const TfrStrings& compiled) {
  std::vector<std::string> out;
  for (const std::string& line : compiled) out.push_back(TfrInterpretator::Describe(line));
  return out;
}

using Lines = std::vector<std::string>;

TEST(Interpreter, AssignmentInsideBeginEndIsOneLineAndRunsIntoWriteValue) {
  MapInterpreter in;
  const TfrStrings c = in.compile({"begin Memo1.Visible := False end"});
  EXPECT_EQ(described(c), Lines({"set Memo1.Visible False"}));
  in.RunScript(c);
  ASSERT_TRUE(in.vars.count("MEMO1.VISIBLE"));
  EXPECT_EQ(in.vars["MEMO1.VISIBLE"], Value(false));
}

TEST(Interpreter, OnlyTheFirstStatementIsCompiledWithoutBeginEnd) {
  MapInterpreter in;
  EXPECT_EQ(described(in.compile({"a := 1; b := 2"})), Lines({"set a 1"}));
}

TEST(Interpreter, ForLoopRunsItsBodyForEachValueAndLeavesTheVariableOnePast) {
  MapInterpreter in;
  in.vars["TOTAL"] = Value(10);
  const TfrStrings c = in.compile({"for i := 1 to 3 do Inc(Total)"});
  EXPECT_EQ(described(c),
            Lines({"set i 1", "jz 5 i 3 {<=}", "call Inc(Total)", "set i i 1 +", "jmp 1"}));
  in.RunScript(c);
  EXPECT_EQ(in.vars["TOTAL"].toInteger(), 13);
  EXPECT_EQ(in.vars["I"].toInteger(), 4);
}

TEST(Interpreter, IfThenElseEmitsConditionalJumpAssignmentJumpAssignment) {
  MapInterpreter in;
  const TfrStrings c = in.compile(
      {"if [Price] > 100 then Memo1.Font.Color := clRed else Memo1.Font.Color := clBlack"});
  EXPECT_EQ(described(c), Lines({"jz 3 [Price] 100 >", "set Memo1.Font.Color clRed", "jmp 4",
                                 "set Memo1.Font.Color clBlack"}));
  for (auto [price, colour] : {std::pair{150, "red"}, std::pair{50, "black"}}) {
    in.vars["[PRICE]"] = Value(price);
    in.vars["PRICE"] = Value(price);
    in.vars["CLRED"] = Value("red");
    in.vars["CLBLACK"] = Value("black");
    in.RunScript(c);
    EXPECT_EQ(in.vars["MEMO1.FONT.COLOR"], Value(colour)) << price;
  }
}

TEST(Interpreter, ProcedureCallsWithoutArgumentsGetADummyOne) {
  MapInterpreter in;
  for (const char* script : {"begin NewPage end", "begin NewPage end;", "begin NewPage; end"}) {
    const TfrStrings c = in.compile({script});
    ASSERT_EQ(c.size(), 1u) << script;
    EXPECT_EQ(c[0], std::string(1, script_line::kCall) + "NewPage(0)") << script;
  }
  // The token after the call is ";MEMO1.VISIBLE", not a bare separator.
  EXPECT_EQ(in.error({"begin NewPage;Memo1.Visible := False end"}), "Line 1/14: Need \":=\" here");
  in.RunScript(in.compile({"begin NewPage end"}));
  EXPECT_EQ(in.calls, Lines({"NEWPAGE(0||)"}));
}

TEST(Interpreter, ExitStopsTheScript) {
  MapInterpreter in;
  in.RunScript(in.compile({"begin", "  a := 1;", "  exit;", "  a := 2", "end"}));
  EXPECT_EQ(in.vars["A"].toInteger(), 1);
}

TEST(Interpreter, CommentsAreIgnoredAndErrorsAfterThemReportTheColumnAsWritten) {
  MapInterpreter in;
  const TfrStrings c = in.compile(
      {"begin { set it }", "  a := {one} 1 // the first", "  // nothing here", "  ;b:=2{two}end"});
  EXPECT_EQ(described(c), Lines({"set a 1", "set b 2"}));
  // The missing "then" is at column 24 of line 2 as written, comments included.
  EXPECT_EQ(in.error({"begin", "  if a > {comment} 1 // x", "{c} {d} do b := 1 end"}),
            "Line 3/9: Need \"then\" here");
  EXPECT_EQ(in.error({"begin a := 1 {x} b := 2 end"}), "Line 1/18: Need \";\" or \"end\" here");
}

TEST(Interpreter, GotoALabelLoops) {
  MapInterpreter in;
  in.vars["A"] = Value(0);
  const TfrStrings c = in.compile({"begin 10: a := a + 1; if a < 5 then goto 10 end"});
  EXPECT_EQ(described(c), Lines({"set a a 1 +", "jz 3 a 5 <", "jmp 0"}));
  in.RunScript(c);
  EXPECT_EQ(in.vars["A"].toInteger(), 5);
}

TEST(Interpreter, ArrayElementAssignmentBecomesASetArrayCall) {
  MapInterpreter in;
  const TfrStrings c = in.compile({"Arr[i] := 5"});
  EXPECT_EQ(c, TfrStrings({std::string(1, script_line::kCall) + "SETARRAY(Arr, i, 5)"}));
  in.RunScript(c);
  EXPECT_EQ(in.calls, Lines({"SETARRAY(Arr| i| 5)"}));
}

TEST(Interpreter, LoopsAndSyntaxErrors) {
  MapInterpreter in;
  in.vars["N"] = Value(0);
  in.RunScript(in.compile({"while n < 3 do n := n + 1"}));
  EXPECT_EQ(in.vars["N"].toInteger(), 3);
  in.RunScript(in.compile({"repeat n := n - 1; until n = 0"}));
  EXPECT_EQ(in.vars["N"].toInteger(), 0);

  struct Case {
    TfrStrings source;
    std::string error;
  };
  const Case cases[] = {
      {{"if a then b := 1 c"}, ""},  // text after the statement is ignored
      {{"begin a := 1 b := 2 end"}, "Line 1/14: Need \";\" or \"end\" here"},
      {{"if a b := 1"}, "Line 1/6: Need \"then\" here"},
      {{"repeat a := 1 b"}, "Line 1/15: Need \";\" or \"until\" here"},
      {{"while a b := 1"}, "Line 1/9: Need \"do\" here"},
      {{"for i := 1 downto 3 do a := 1"}, "Line 1/12: Need \"to\" here"},
      {{"for i = 1 to 3 do a := 1"}, "Line 1/7: Need \":=\" here"},
      {{"goto x"}, "Line 1/6: \"goto\" label must be a number"},
      {{"a = 1"}, "Line 1/3: Need \":=\" here"},
      {{"a := (1 + 2"}, "Line 1/12: Need \")\" here"},
      {{"a := [Price"}, "Line 1/6: Need \"]\" here"},
      {{"a := f(1; 2)"}, "Line 1/9: Need \",\" or \")\" here"},
      {{"begin", "  goto 20", "end"}, "Line 2/8: Label \"20\" is not defined"},
      {{"12345678901234567: a := 1"}, "Line 1/1: Label name too long"},
  };
  for (const Case& c : cases) {
    const std::string error = in.error(c.source);
    EXPECT_EQ(error, c.error) << c.source.front();
  }
}

TEST(Interpreter, ScriptsPastTheCompilerLimitsAreRejected) {
  MapInterpreter in;
  // Exactly at the source limit compiles; one byte more is refused.
  const std::string fits = "a := 1" + std::string(TfrInterpretator::kMaxSource - 7, ' ');
  EXPECT_EQ(in.error({fits}), "");
  EXPECT_NE(in.error({fits + " "}).find(": Script too long"), std::string::npos);

  std::string many = "begin";
  for (std::size_t i = 1; i <= TfrInterpretator::kMaxLabels + 1; ++i)
    many += " " + std::to_string(i) + ": a := 1;";
  EXPECT_NE(in.error({many + " end"}).find("Too many labels"), std::string::npos);
}

TEST(Interpreter, SourceListMayBeTheTargetAndEvaluationErrorsPropagate) {
  MapInterpreter in;
  TfrStrings lines{"begin", "a := 2 * 3", "end"};
  TfrStrings errors;
  in.CompileScript(lines, lines, errors);
  EXPECT_EQ(described(lines), Lines({"set a 2 3 *"}));
  in.vars["A"] = Value(0);
  in.vars["B"] = Value(0);
  // A failing line stops the rest of the script.
  const TfrStrings c = in.compile({"begin a := (1 + 'x') * 2; b := 1 end"});
  EXPECT_ANY_THROW(in.RunScript(c));
  EXPECT_EQ(in.vars["B"], Value(0));
}

}  // namespace
}  // namespace kelpo::report
