// Named value lists and the resolution of names in report expressions: the order of sources,
// system variables, constants, the object-property seam and the unknown-name error.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "report/expr/parser.h"
#include "report/expr/variables.h"
#include "tests/report/expr/support_data.h"

namespace kelpo::report {
namespace {

using testing::DataFixture;
using testing::E;

TEST(Variables, UnsortedListsKeepInsertionOrderAndIgnoreCase) {
  TfrVariables list;
  list.SetVariable("Zeta", Value(1));
  list.SetVariable("alpha", Value(2));
  list.SetVariable("ZETA", Value(3));  // replaces
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.GetNameAt(0), "Zeta");
  EXPECT_EQ(list.GetVariable("zeta"), Value(3));
  EXPECT_EQ(list.IndexOf("ALPHA"), 1);
  EXPECT_EQ(list.IndexOf("beta"), -1);
  EXPECT_TRUE(list.GetVariable("beta").isNull());
  // Out-of-range access does nothing and reads neutral values.
  EXPECT_EQ(list.GetValueAt(5), Value(0));
  EXPECT_EQ(list.GetNameAt(-1), "");
  list.SetValueAt(7, Value(9));
  list.SetNameAt(7, "x");
  list.Delete(7);
  EXPECT_EQ(list.Count(), 2);
  list.Delete(0);
  EXPECT_EQ(list.GetNameAt(0), "alpha");
}

TEST(Variables, SortedListsFindByBinarySearchAndIgnoreDuplicates) {
  TfrVariables list;
  list.SetSorted(true);
  for (const char* name : {"mango", "Apple", "kiwi", "banana", "APPLE"}) list.Add(name, Value(1));
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.GetNameAt(0), "Apple");
  EXPECT_EQ(list.GetNameAt(3), "mango");
  for (const char* name : {"apple", "BANANA", "Kiwi", "MANGO"}) EXPECT_GE(list.IndexOf(name), 0);
  // A renamed entry moves to its place so later searches still find it.
  list.SetNameAt(list.IndexOf("apple"), "zucchini");
  EXPECT_EQ(list.GetNameAt(3), "zucchini");
  EXPECT_GE(list.IndexOf("ZUCCHINI"), 0);
  EXPECT_GE(list.IndexOf("banana"), 0);
  // Chinese names sort and match as bytes.
  list.SetVariable(E("菜谱"), Value(5));
  EXPECT_EQ(list.GetVariable(E("菜谱")), Value(5));
}

TEST(Variables, ConstantsTable) {
  struct Case {
    const char* name;
    Value value;
  } cases[] = {
      {"clRed", Value(0x0000FF)},
      {"CLBLUE", Value(0xFF0000)},
      {"clAqua", Value(0xFFFF00)},
      {"clTransparent", Value(0x1FFFFFFF)},
      {"clScrollBar", Value(static_cast<std::int32_t>(0xFF000000u))},
      {"clInfoBk", Value(static_cast<std::int32_t>(0xFF000018u))},
      {"mrNo", Value(7)},
      {"fsBold", Value(2)},
      {"fsItalic", Value(1)},
      {"frtaDown", Value(16)},
      {"baRest", Value(7)},
      {"psDouble", Value(5)},
      {"mb_YesNoCancel", Value(3)},
      {"mb_IconWarning", Value(48)},
      {"CRLF", Value("\r\n")},
      {"Null", Value::null()},
  };
  for (const Case& c : cases) {
    const Value* v = Constants().Find(c.name);
    ASSERT_NE(v, nullptr) << c.name;
    EXPECT_EQ(*v, c.value) << c.name;
  }
  EXPECT_EQ(Constants().Count(), 17 + 25 + 5 + 4 + 5 + 6 + 8 + 6 + 8 + 2);
  EXPECT_EQ(SystemVariableNames().size(), 18u);
  EXPECT_EQ(SystemVariableNames()[1], "");
}

class Resolution : public ::testing::Test {
 protected:
  Value resolve(const std::string& name) {
    Value v;
    ResolveVariable(name, v);
    return v;
  }
  Value eval(const std::string& text) { return frParser().Evaluate(text); }

  DataFixture data;
};

TEST_F(Resolution, SystemVariablesAndTheParsersUpperCasing) {
  TfrEngineState& s = frEngine();
  s.pageNo = 4;
  s.lineNo = 2;
  s.totalPages = 9;
  s.curY = 100;
  s.pageBottom = 1000;
  s.pageRight = 700;
  s.finalPass = false;
  s.startDate = 45000;
  data.report.info.name = "Recipe";
  data.report.info.created = 44000.5;
  EXPECT_EQ(resolve("PAGE#"), Value(5));
  EXPECT_EQ(eval("[page#]"), Value(5));  // tried as written, then parsed: PAGE#
  EXPECT_EQ(eval("Page# + 1"), Value(6.0));
  EXPECT_EQ(resolve("LINE#"), Value(2));
  EXPECT_EQ(resolve("TOTALPAGES"), Value(9));
  EXPECT_EQ(resolve("DATE"), Value::dateTime(45000));
  EXPECT_EQ(resolve("REPORTNAME"), Value("Recipe"));
  EXPECT_EQ(resolve("REPORTDATE"), Value::dateTime(44000.5));
  EXPECT_EQ(resolve("FREESPACE"), Value(900));
  EXPECT_EQ(resolve("PAGEWIDTH"), Value(700));
  EXPECT_EQ(resolve("FINALPASS"), Value(false));
  EXPECT_EQ(resolve("CALCWIDTH"), Value(0));  // no current view
  s.value = Value(42);
  EXPECT_EQ(resolve("VALUE"), Value(42));
  EXPECT_EQ(resolve("clRed"), Value(0x0000FF));
  EXPECT_TRUE(resolve("Null").isNull());
}

TEST_F(Resolution, UnknownNamesAreAnErrorNamingTheUpperCasedName) {
  try {
    eval("foo");
    FAIL() << "an unknown name raised nothing";
  } catch (const EParserError& e) {
    EXPECT_EQ(std::string(e.what()), E("符号没定义 \"FOO\""));
  }
  try {
    resolve("foo");  // as written first, then as an expression: FOO
    FAIL() << "an unknown name raised nothing";
  } catch (const EParserError& e) {
    EXPECT_EQ(std::string(e.what()), E("符号没定义 \"FOO\""));
  }
  EXPECT_TRUE(frEngine().nameUnderEvaluation.empty());
  // VALUE is compared exactly; a bare "value" reaches it upper-cased through the parser.
  frEngine().value = Value(3);
  EXPECT_EQ(eval("value"), Value(3));
  EXPECT_THROW(resolve("Value#"), EParserError);

  frEngine().aggregateCollection = true;
  EXPECT_TRUE(eval("foo").isEmpty());
}

TEST_F(Resolution, TheApplicationComesFirstThenTheDictionaryThenScripts) {
  data.report.OnGetValue = [](const std::string& name, Value& value) {
    if (name == "PAGE#") value = Value(E("第一页"));
  };
  EXPECT_EQ(resolve("PAGE#"), Value(E("第一页")));

  data.dictionary.VariableList.SetVariable("Total", Value("[Price] * 2"));
  ScriptVariables().SetVariable("Price", Value(4));
  EXPECT_EQ(resolve("Total"), Value(8.0));
  ScriptVariables().SetVariable("Price", Value(5));
  EXPECT_EQ(resolve("Total"), Value(10.0));  // evaluated each time it is used
  ScriptVariables().SetVariable("Total", Value(1));
  EXPECT_EQ(resolve("Total"), Value(1));  // a script's value wins

  // A category entry resolves to its empty text.
  data.dictionary.VariableList.SetVariable(" Fields", Value(std::string()));
  EXPECT_EQ(resolve(" Fields"), Value(std::string()));
}

TEST_F(Resolution, ObjectPropertiesThroughTheSeamBeforeConstants) {
  frEngine().objectProperty = [](const std::string& name, Value& value) {
    if (name == "MEMO1.VISIBLE") return value = Value(true), true;
    if (name == "CLRED") return value = Value(E("属性")), true;
    return false;
  };
  EXPECT_EQ(eval("Memo1.Visible"), Value(true));
  EXPECT_EQ(eval("clRed"), Value(E("属性")));
  EXPECT_EQ(resolve("clBlue"), Value(0xFF0000));
}

TEST_F(Resolution, WholeTextsThatAreNotNamesAreEvaluated) {
  ScriptVariables().SetVariable("Price", Value(3));
  EXPECT_EQ(resolve("Price * 2"), Value(6.0));
  EXPECT_EQ(resolve(E("ADOQuery3.\"序号\" + 10")), Value(11.0));
}

}  // namespace
}  // namespace kelpo::report
