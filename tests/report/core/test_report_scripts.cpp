// Scripts of views and bands run by the build through the report's interpreter: property
// assignments, script variables and arrays, report procedures, and errors of a running script.
#include <gtest/gtest.h>

#include <vector>

#include "platform/text.h"
#include "report/expr/variables.h"
#include "tests/report/core/support_build.h"

namespace kelpo::report::testing {
namespace {

void prices(BuildFixture& f, std::vector<int> values) {
  auto* data = f.dataset("Rows", static_cast<int>(values.size()));
  f.report->OnGetValue = [data, values](const std::string& name, Value& v) {
    const int rec = data->RecNo();
    if (name == "PRICE" && rec >= 0 && rec < static_cast<int>(values.size()))
      v = Value(values[static_cast<std::size_t>(rec)]);
  };
}

TEST(ReportScripts, AnObjectScriptHidesItsObjectForSomeRecordsOnly) {
  BuildFixture f;
  prices(f, {1, 5, 2, 7});
  f.band(btMasterData, 0, 10, "Rows");
  f.memo("[PRICE]", 0, 0);
  // A bare property name is the object's own.
  f.memo("cheap", 50, 0)->script = {"if [PRICE] > 2 then Visible := False else Visible := True"};
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  EXPECT_EQ(f.texts(0), "1 cheap 5 2 cheap 7");
}

TEST(ReportScripts, VariablesArraysAndProceduresReachTheReport) {
  BuildFixture f;
  prices(f, {3, 4, 5});
  ScriptVariables().SetVariable("Total", Value(100));
  f.band(btMasterData, 0, 10, "Rows")->script = {"begin", "  Inc(Total);",
                                                 "  Arr[[PRICE]] := [PRICE] * 2;",
                                                 "  if [PRICE] = 5 then NewPage", "end"};
  f.memo("[PRICE]", 0, 0);
  f.band(btReportSummary, 20, 10);
  f.memo("[Total] [GETARRAY(Arr, 4)] [GETARRAY(Arr, 9)]", 0, 20);
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  ASSERT_EQ(f.pageCount(), 2);
  EXPECT_EQ(f.texts(0), "3 4");
  EXPECT_EQ(f.texts(1), "5 103 8 ");  // an element never set is Null: empty text
  EXPECT_EQ(ScriptVariables().GetVariable("Arr_Arr_5").toInteger(), 10);
}

TEST(ReportScripts, ARunningScriptsErrorBecomesTheBuildsErrorText) {
  BuildFixture f;
  prices(f, {1, 2});
  f.band(btMasterData, 0, 10, "Rows");
  f.memo("[PRICE]", 0, 0)->script = {"begin", "  a := 1;", "  Inc(NoSuchName)", "end"};
  f.prepare();
  EXPECT_EQ(f.pageCount(), 0);
  // The message names the object whose script failed and the error itself.
  const std::string shown = engineToUtf8(f.shownError);
  EXPECT_NE(shown.find("Memo2\r"), std::string::npos) << shown;
  EXPECT_NE(shown.find("符号没定义 \"NOSUCHNAME\""), std::string::npos) << shown;
  // The line before the failing one ran.
  EXPECT_TRUE(ScriptVariables().Contains("a"));
}

TEST(ReportScripts, ArrayAssignmentsReachAnObjectsLines) {
  BuildFixture f;
  prices(f, {3, 4});
  // Line 0 of Memo2 takes twice the price, line 1 of Memo3 reads it back; a line that does not
  // exist is left alone.
  f.band(btMasterData, 0, 10, "Rows")->script = {"begin", "  Memo2.Lines[0] := [PRICE] * 2;",
                                                 "  Memo3.Memo[1] := GETARRAY(Memo2.Lines, 0);",
                                                 "  Memo3.Lines[7] := 'x'", "end"};
  f.memo("x", 0, 0);
  f.memo("a\r\nb", 50, 0);
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  EXPECT_EQ(f.texts(0), "6 a|6 8 a|8");
}

TEST(ReportScripts, ArrayAssignmentToAnUnknownObjectIsAnError) {
  BuildFixture f;
  prices(f, {3});
  f.band(btMasterData, 0, 10, "Rows")->script = {"NoSuch.Lines[0] := 1"};
  f.memo("[PRICE]", 0, 0);
  f.prepare();
  EXPECT_EQ(f.pageCount(), 0);
  const std::string shown = engineToUtf8(f.shownError);
  EXPECT_NE(shown.find("符号没定义 \"NoSuch\""), std::string::npos) << shown;
}

}  // namespace
}  // namespace kelpo::report::testing
