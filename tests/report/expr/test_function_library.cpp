// The function library registry and the standard library's text, date and number functions,
// each evaluated through the parser as a report expression would reach it.
#include <gtest/gtest.h>

#include <QMessageBox>

#include "platform/message_box.h"
#include "platform/text.h"
#include "report/expr/function_library.h"
#include "report/expr/parser.h"
#include "report/expr/value.h"

namespace kelpo::report {
namespace {

class FunctionLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frRegisterFunctionLibrary<TfrStdFunctionLibrary>();
    frParser().setValueCallback([](const std::string& name, Value& v) {
      if (name == "PRICE") v = Value(12.5);
      if (name == "NOTHING") v = Value::null();
    });
    frParser().setFunctionCallback([](const std::string& name, const Value& p1, const Value& p2,
                                      const Value& p3, Value& result) {
      result = Value("0");
      frCallLibraries(name, p1, p2, p3, result);
    });
  }
  void TearDown() override {
    frParser().setFunctionCallback(nullptr);
    frParser().setValueCallback(nullptr);
    frAggregateHandler() = nullptr;
    frInputHook() = nullptr;
    setMessageHook(nullptr);
  }
  static std::string eval(const std::string& utf8) {
    return engineToUtf8(describe(frParser().Evaluate(utf8ToEngine(utf8))));
  }
};

TEST_F(FunctionLibraryTest, TextDateAndNumberFunctions) {
  struct Case {
    const char* expression;
    const char* expected;
  };
  const Case cases[] = {
      {"NAMECASE('hELLO wORLD')", "Text: Hello world"},
      {"NAMECASE('')", "Text:"},
      {"POS('b', 'abc')", "Integer: 2"},
      {"POS('x', 'abc')", "Integer: 0"},
      {"POS('文', '中文字')", "Integer: 2"},  // counted in characters
      {"POS('', 'abc')", "Integer: 0"},
      {"LENGTH('')", "Integer: 0"},
      {"LENGTH('中文ab')", "Integer: 4"},
      {"LENGTH(PRICE)", "Integer: 4"},  // parameters are expressions
      {"LOWERCASE('AbC')", "Text: abc"},
      {"UPPERCASE('AbC')", "Text: ABC"},
      {"TRIM('  a b  ')", "Text: a b"},
      {"MAXNUM(3, 10)", "Float: 10"},
      {"MAXNUM(-1, -2)", "Float: -1"},
      {"MINNUM(3, 10)", "Float: 3"},
      {"MINNUM(2, 2)", "Float: 2"},
      {"FORMATFLOAT('#,##0.00', 1234.5)", "Text: 1,234.50"},
      {"FORMATFLOAT('0', 0.4)", "Text: 0"},
      {"FORMATTEXT('000-0000', '1234567')", "Text: 123-4567"},
      {"FORMATTEXT('(000) 000', '12')", "Text: (12 )    "},  // missing characters show blank
      {"FORMATTEXT('>LL-00', 'ab12')", "Text: AB-12"},
      {"DAYOF('2024-03-05')", "Integer: 5"},
      {"MONTHOF('2024-03-05')", "Integer: 3"},
      {"YEAROF('2024-03-05')", "Integer: 2024"},
      {"YEAROF(STRTODATE('1999-12-31'))", "Integer: 1999"},
      {"FORMATDATETIME('yyyy mm dd', STRTODATE('2024-03-05'))", "Text: 2024 03 05"},
  };
  for (const Case& c : cases) EXPECT_EQ(eval(c.expression), c.expected) << c.expression;
}

TEST_F(FunctionLibraryTest, BadArgumentsRaiseAndUnknownNamesAreLeftToTheDispatch) {
  for (const char* bad : {"DAYOF('x')", "MONTHOF('2024-13-45')", "YEAROF('')",
                          "FORMATFLOAT('0', 'abc')", "MAXNUM(1 + 'x', 2)"})
    EXPECT_ANY_THROW(frParser().Evaluate(bad)) << bad;
  // A name no library has keeps the dispatch's preset result.
  EXPECT_EQ(eval("FOO(1)"), "Text: 0");
  // Aggregates without the report engine's handler stay at the preset.
  EXPECT_EQ(eval("SUM([Price])"), "Text: 0");
}

TEST_F(FunctionLibraryTest, DialogFunctionsGoThroughTheirWindows) {
  MessageRecord shown;
  setMessageHook([&](const MessageRecord& r) {
    shown = r;
    return QMessageBox::No;
  });
  EXPECT_EQ(eval("MESSAGEBOX('Save?', 'Kelpo', 4 + 32)"), "Integer: 7");  // mrNo
  EXPECT_EQ(shown.text, QStringLiteral("Save?"));
  EXPECT_EQ(shown.caption, QStringLiteral("Kelpo"));
  EXPECT_EQ(shown.icon, MessageIcon::Question);
  EXPECT_EQ(shown.buttons, QMessageBox::Yes | QMessageBox::No);

  frInputHook() = [](const std::string& prompt, const std::string& def) {
    return prompt + "=" + def;
  };
  EXPECT_EQ(eval("INPUT('Name', 'x')"), "Text: Name=x");
}

TEST_F(FunctionLibraryTest, RegistryKeepsOneInstancePerClassAndDescriptionsNeedACategory) {
  struct Extra : TfrFunctionLibrary {
    Extra() {
      List = {"TWICE"};
      Describe("TWICE", "", "no category: not recorded");
      Describe("TWICE", "Mine", "TWICE(<x>)");
      Describe("TWICE", "Mine", "a second description is ignored");
    }
    void CallByIndex(int, const Value& p1, const Value&, const Value&, Value& r) override {
      r = Value(frParser().Evaluate(p1.toText()).toInteger() * 2);
    }
  };
  const std::size_t before = frLibraries().size();
  EXPECT_TRUE(frRegisterFunctionLibrary<Extra>());
  EXPECT_FALSE(frRegisterFunctionLibrary<Extra>());
  EXPECT_EQ(frLibraries().size(), before + 1);
  EXPECT_EQ(eval("twice(21)"), "Integer: 42");
  int described = 0;
  for (const TfrFunctionDesc& d : TfrInstalledFunctions())
    if (d.name == "TWICE") {
      ++described;
      EXPECT_EQ(d.description, "TWICE(<x>)");
    }
  EXPECT_EQ(described, 1);
  frUnregisterFunctionLibrary(typeid(Extra));
  EXPECT_EQ(frLibraries().size(), before);
  for (const TfrFunctionDesc& d : TfrInstalledFunctions()) EXPECT_NE(d.name, "TWICE");
  EXPECT_EQ(eval("TWICE(21)"), "Text: 0");
}

}  // namespace
}  // namespace kelpo::report
