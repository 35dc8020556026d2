// The expression parser: conversion to postfix, evaluation, callbacks, built-in functions,
// lexical helpers and the handling of malformed input.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <vector>

#include "platform/text.h"
#include "report/expr/parser.h"

namespace kelpo::report {
namespace {

std::string shown(const Value& v) {
  std::ostringstream out;
  out << v;
  return out.str();
}

// Postfix texts written with <n> for the one-byte operator codes.
std::string codes(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (static_cast<unsigned char>(c) < ' ')
      out += "<" + std::to_string(static_cast<int>(c)) + ">";
    else
      out += c;
  }
  return out;
}

struct Call {
  std::string name, p1, p2, p3;
};

// A parser whose names come from `values` (anything else stays Null) and which records every
// name and function call it is asked for.
class ParserTest : public ::testing::Test {
 protected:
  ParserTest() {
    parser.setValueCallback([this](const std::string& name, Value& value) {
      names.push_back(name);
      const auto it = values.find(name);
      if (it != values.end()) value = it->second;
    });
    parser.setFunctionCallback([this](const std::string& name, const Value& p1, const Value& p2,
                                      const Value& p3, Value& result) {
      calls.push_back({name, p1.text(), p2.text(), p3.text()});
      result = Value("fn");
    });
  }
  void TearDown() override { valueLocale() = ValueLocale(); }

  std::string eval(std::string_view expression) { return shown(parser.Evaluate(expression)); }

  TfrParser parser;
  std::map<std::string, Value> values;
  std::vector<std::string> names;
  std::vector<Call> calls;
};

TEST_F(ParserTest, Evaluates) {
  values = {{"A", Value(6)}, {"B", Value(2)}, {"S", Value("abc")}, {"N", Value::null()}};
  struct Case {
    const char* expression;
    const char* expected;
  };
  const Case cases[] = {
      {"2 + 3 * 4", "Float: 14"},
      {"(2 + 3) * 4", "Float: 20"},
      {"10 - 4 - 3", "Float: 3"},
      {"2 * 3 + 1", "Float: 7"},
      {"12 / 3 / 2", "Float: 2"},
      {"7 / 0", "Integer: 0"},
      {"A / B", "Float: 3"},
      {"A - B * 2", "Float: 2"},
      {"1 = 1", "Integer: 1"},
      {"1 = 2", "Integer: 0"},
      {"3 >= 3", "Integer: 1"},
      {"3 <= 2", "Integer: 0"},
      {"3 <> 2", "Integer: 1"},
      {"2 < 3", "Integer: 1"},
      {"2 > 3", "Integer: 0"},
      {"NOT 1", "Integer: 0"},
      {"NOT 0", "Integer: 1"},
      {"not (1 = 2)", "Integer: 1"},
      {"INT(2.9999999999999)", "Float: 3"},
      {"INT(2.7)", "Float: 2"},
      {"INT(-2.5)", "Float: -2"},
      {"FRAC(2.75)", "Float: 0.75"},
      {"FRAC(2.99999999999999)", "Float: 0"},
      {"FRAC(-1.25)", "Float: -0.25"},
      {"ROUND(2.5)", "Float: 2"},
      {"ROUND(3.5)", "Float: 4"},
      {"ROUND(-2.5)", "Float: -2"},
      {"STR(1.5) + 'x'", "Text: 1.5x"},
      {"STR N", "Text:"},
      {"'It''s'", "Text: It's"},
      {"''", "Text:"},
      {"'abc", "Text: abc"},  // unterminated: runs to the end, nothing added
      {"'x' + 'It''", "Text: xIt'"},
      {"'ab' + 'cd'", "Text: abcd"},
      {"S + 1", "error"},
      {"'5' * 2", "Float: 10"},
      {"'a' < 'b'", "Integer: 1"},
      {"'a' = 'A'", "Integer: 0"},
      {"1,5 = 1.5", "Integer: 1"},
      {".5 * 2", "Float: 1"},
      {"1e3", "Float: 1000"},
      {"7 mod 2", "Integer: 1"},
      {"-7 MOD 2", "Integer: -1"},
      {"7.9 mod 2", "Integer: 1"},
      {"12 and 10", "Integer: 8"},
      {"12 or 3", "Integer: 15"},
      {"(1 = 1) and (2 = 2)", "Integer: 1"},
      {"(1 = 1) and (2 = 3)", "Integer: 0"},
      {"TRUE", "Boolean: True"},
      {"true and False", "Boolean: False"},
      {"TRUE or FALSE", "Boolean: True"},
      {"N + 1", "Null:"},
      {"N = N", "Integer: 1"},
      {"N = 0", "Integer: 0"},
      {"N <> 0", "Integer: 1"},
      {"INT(N)", "Null:"},
      {"", "Integer: 0"},
      {"   ", "Integer: 0"},
      {"1 + 2 ; 5 * junk(", "Float: 3"},
      {"'a;b' + 'c'", "Text: a;bc"},
      // Prefix operators after a binary operator take their natural reading.
      {"A * -B", "Integer: -12"},
      {"2 - -3", "Float: 5"},
      {"-2 + 3", "Float: 1"},
      {"- - 4", "Float: 4"},
      {"+4", "Float: 4"},
      {"NOT NOT 5", "Integer: 1"},
      {"1 and not 0", "Integer: 1"},
      {"INT INT 2.5", "Float: 2"},
      {"2 * INT 2.5", "Float: 4"},
      {"A)", "Integer: 6"},  // a ')' without '(' is dropped
      {"1 2", "Float: 1"},   // surplus operands leave the first as the result
  };
  for (const Case& c : cases) {
    std::string got;
    try {
      got = eval(c.expression);
    } catch (const Error&) {
      got = "error";
    }
    EXPECT_EQ(got, c.expected) << c.expression;
  }
}

TEST_F(ParserTest, PostfixConversion) {
  struct Case {
    const char* expression;
    const char* postfix;
  };
  const Case cases[] = {
      {"a + b * 2", "a b 2 *+"},
      {"2 * 3 + 1", "2 3 *1 +"},
      {"INT(x) >= 10", "x <6>10 <1>"},
      {"SUM(x) / 2", "SUM(x)2 /"},
      // AND and OR bind like '*', tighter than comparisons.
      {"a = 1 or b = 2", "a 1 b <4>=2 ="},
      {"(a = 1) or (b = 2)", "a 1 =b 2 =<4>"},
      {"SUM (x)", "SUM x "},
      {"[ADOQuery3.\"Name\"] + 1", "[ADOQuery3.\"Name\"] 1 +"},
      {"Arr[i + 1] * 2", "Arr[i + 1] 2 *"},
      {"'a;b' ; c", "'a;b' "},
      {"a <> b", "a b <3>"},
      {"a <= -b", "a b <9><2>"},
      {"a * -b", "a b <9>*"},
      {"10 mod 3 - 1", "10 3 <13>1 -"},
      {"(a", "a ("},
      {"COPY('x,)', 1, 2) + 1", "COPY('x,)', 1, 2)1 +"},
      {"%+x", "%+x "},
      {"a\r\nb", "a b "},
  };
  for (const Case& c : cases)
    EXPECT_EQ(codes(TfrParser::ToPostfix(c.expression)), c.postfix) << c.expression;
}

TEST_F(ParserTest, StoredPostfixEvaluatesAgainAndAgain) {
  const std::string postfix = TfrParser::ToPostfix("[Price] * Qty + 1");
  values = {{"Price", Value(2.5)}, {"QTY", Value(4)}};
  EXPECT_EQ(shown(parser.EvaluatePostfix(postfix)), "Float: 11");
  values["QTY"] = Value(10);
  EXPECT_EQ(shown(parser.EvaluatePostfix(postfix)), "Float: 26");
}

TEST_F(ParserTest, NamesReachTheValueCallback) {
  const std::string caipu = utf8ToEngine("菜谱");
  values = {{"ADOQuery3.\"" + caipu + "\"", Value("soup")}};
  EXPECT_EQ(eval("[ADOQuery3.\"" + caipu + "\"]"), "Text: soup");
  EXPECT_EQ(names.back(), "ADOQuery3.\"" + caipu + "\"");  // bracketed: as written
  eval("ADOQuery3.\"" + caipu + "\"");
  EXPECT_EQ(names.back(), "ADOQUERY3.\"" + caipu + "\"");  // bare: upper-cased
  eval("page# + 1");
  EXPECT_EQ(names.back(), "PAGE#");
  // Quoted parts keep stop characters inside the identifier.
  eval("Q.\"a b+c\" + 1");
  EXPECT_EQ(names.back(), "Q.\"A B+C\"");
  // An unknown name is not the parser's error: the callback left it Null.
  EXPECT_EQ(eval("nobody"), "Null:");
}

TEST_F(ParserTest, MultibyteCharactersAreNeverTakenApart) {
  // 0x5B '[' and 0x5D ']' and lower-case letters are valid second bytes of two-byte characters.
  const std::string withBracket = "\xB0\x5B";
  const std::string withClose = "\x81\x5D";
  const std::string withLetter = "\x81\x61";
  eval(withBracket + "x");
  EXPECT_EQ(names.back(), withBracket + "X");
  eval("[" + withClose + "]");
  EXPECT_EQ(names.back(), withClose);
  eval(withLetter);
  EXPECT_EQ(names.back(), withLetter);  // upper-casing leaves the trail byte alone
  EXPECT_TRUE(calls.empty());           // nothing was mistaken for GETARRAY
}

TEST_F(ParserTest, CopyCountsBytesButKeepsCharactersWhole) {
  const std::string text = utf8ToEngine("菜谱甲");  // three two-byte characters
  struct Case {
    const char* args;
    const char* expected;  // UTF-8
  };
  const Case cases[] = {
      {"1, 2", "菜"}, {"1, 3", "菜"}, {"2, 3", "谱"}, {"2, 4", "谱"},
      {"1, 6", "菜谱甲"}, {"0, 100", "菜谱甲"}, {"7, 1", ""}, {"3, -1", ""},
  };
  for (const Case& c : cases) {
    const Value v = parser.Evaluate("COPY('" + text + "', " + c.args + ")");
    EXPECT_EQ(engineToUtf8(v.text()), c.expected) << c.args;
  }
  EXPECT_EQ(eval("COPY('abcdef', 2, 3)"), "Text: bcd");
  EXPECT_EQ(eval("COPY(123456, 1 + 1, 2)"), "Text: 23");
  EXPECT_EQ(eval("copy('abc', 3, 10)"), "Text: c");
  EXPECT_THROW(parser.Evaluate("COPY('abc', 'x', 1)"), EConvertError);
  EXPECT_THROW(parser.Evaluate("COPY('abc', 1.5, 1)"), EConvertError);
}

TEST_F(ParserTest, IfEvaluatesOnlyTheChosenBranch) {
  EXPECT_EQ(eval("IF(1 > 0, 'yes', NO(1))"), "Text: yes");
  EXPECT_EQ(eval("if(0, YES(1), 'no')"), "Text: no");
  EXPECT_EQ(eval("IF(0.5, 1, 2)"), "Float: 2");  // the integer part decides
  EXPECT_EQ(eval("IF(-1.5, 1, 2)"), "Float: 1");
  EXPECT_TRUE(calls.empty());
  // A boolean (a literal or a variable such as the final-pass flag) is its own truth value.
  EXPECT_EQ(eval("IF(TRUE, 1, 2)"), "Float: 1");
  EXPECT_EQ(eval("IF(1 = 1 and TRUE, 1, 2)"), "Float: 1");
  EXPECT_THROW(parser.Evaluate("IF('abc', 1, 2)"), EConvertError);
  EXPECT_THROW(parser.Evaluate("IF(nobody, 1, 2)"), EConvertError);  // Null has no number
}

TEST_F(ParserTest, DateAndTimeFunctions) {
  EXPECT_EQ(eval("STRTODATE('2024-03-05')"), "DateTime: 2024-03-05");
  EXPECT_EQ(parser.Evaluate("STRTODATE('2024-03-05')").number(), 45356);
  EXPECT_EQ(parser.Evaluate("StrToTime('18:00')").number(), 0.75);
  EXPECT_EQ(eval("STRTODATE('2024-03-05') + STRTOTIME('13:45:10')"),
            "DateTime: 2024-03-05 13:45:10");
  EXPECT_EQ(eval("STRTODATE('2024-03-05') > STRTODATE('2024-03-04')"), "Integer: 1");
  EXPECT_THROW(parser.Evaluate("STRTODATE('2024-02-30')"), EConvertError);
  EXPECT_THROW(parser.Evaluate("STRTOTIME('noon')"), EConvertError);
}

TEST_F(ParserTest, OtherFunctionsGetTheirArgumentTexts) {
  EXPECT_EQ(eval("sum([Price], MasterData1) + 'x'"), "Text: fnx");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].name, "SUM");
  EXPECT_EQ(calls[0].p1, "[Price]");
  EXPECT_EQ(calls[0].p2, " MasterData1");
  EXPECT_EQ(calls[0].p3, "");
  EXPECT_TRUE(names.empty());  // the callee evaluates parameters, not the parser

  calls.clear();
  eval("F(a, (b, c), 'd,e)', g)");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].p1, "a");
  EXPECT_EQ(calls[0].p2, " (b, c)");
  EXPECT_EQ(calls[0].p3, " 'd,e)'");

  calls.clear();
  eval("Arr[i + 1]");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].name, "GETARRAY");
  EXPECT_EQ(calls[0].p1, "Arr");
  EXPECT_EQ(calls[0].p2, " i + 1");

  TfrParser bare;  // no callbacks set: unknown names and functions give Null
  EXPECT_EQ(shown(bare.Evaluate("x + F(1)")), "Null:");
}

TEST_F(ParserTest, EvaluationIsReentrant) {
  parser.setValueCallback([this](const std::string& name, Value& value) {
    if (name == "INNER") value = parser.Evaluate("2 * 3");
    if (name == "OUTER") value = parser.Evaluate("INNER + 1");
  });
  EXPECT_EQ(eval("10 - OUTER * 2"), "Float: -4");
  EXPECT_EQ(eval("IF(OUTER = 7, COPY('abc', INNER - 4, 1), 'x')"), "Text: b");
}

TEST_F(ParserTest, MalformedInputFails) {
  struct Case {
    const char* expression;
    bool parserError;  // otherwise a conversion error
  };
  const Case cases[] = {
      {"f(1", true},      {"(", true},        {"1 +", true},  {"* 2", true},
      {"-", true},        {"NOT", true},      {"a * AND b", true},
      {"'abc' * 2", false}, {"1x", false},    {"1.2.3", false}, {"1e400", false},
      {"2 mod 1e20", false},
  };
  values = {{"A", Value(1)}, {"B", Value(1)}};
  for (const Case& c : cases) {
    try {
      parser.Evaluate(c.expression);
      ADD_FAILURE() << c.expression << " gave a value";
    } catch (const EParserError&) {
      EXPECT_TRUE(c.parserError) << c.expression;
    } catch (const EConvertError&) {
      EXPECT_FALSE(c.parserError) << c.expression;
    }
  }
  try {
    TfrParser::ToPostfix("x + f(1, (2)");
    FAIL();
  } catch (const EParserError& e) {
    EXPECT_STREQ(e.what(), "");
  }
}

TEST_F(ParserTest, StackAndNestingLimits) {
  // Right-nested sums keep every operand on the stack until the end.
  const auto nested = [](int operands) {
    std::string text;
    for (int i = 1; i < operands; ++i) text += "1 + (";
    text += "1";
    text.append(static_cast<std::size_t>(operands - 1), ')');
    return text;
  };
  EXPECT_EQ(eval(nested(32)), "Float: 32");
  EXPECT_THROW(parser.Evaluate(nested(33)), EParserError);

  std::string ifs = "1";
  for (int i = 0; i < 100; ++i) ifs = "IF(1, " + ifs + ", 0)";
  EXPECT_THROW(parser.Evaluate(ifs), EParserError);

  // A name defined through itself ends in an error, not in a machine stack overflow.
  parser.setValueCallback([this](const std::string&, Value& value) { value = parser.Evaluate("X"); });
  EXPECT_THROW(parser.Evaluate("X"), EParserError);
  EXPECT_EQ(eval("1 + 1"), "Float: 2");  // the nesting count came back down
}

TEST_F(ParserTest, DecimalSeparatorSetting) {
  valueLocale().decimalSeparator = ',';
  EXPECT_EQ(eval("1.5 + 1"), "Float: 2,5");
  EXPECT_EQ(eval("1,5 = 1.5"), "Integer: 1");
  EXPECT_EQ(eval("'2,5' * 2"), "Float: 5");
  EXPECT_EQ(eval("IF(0,5, 1, 2)"), "Float: 1");  // the comma splits the arguments first
  EXPECT_EQ(eval("IF(0.5 + 1, 1, 2)"), "Float: 1");
}

TEST(LexicalHelpers, ReadIdentifier) {
  struct Case {
    const char* text;
    std::size_t pos;
    const char* identifier;
    std::size_t end;
  };
  const Case cases[] = {
      {"  abc+1", 0, "abc", 5},
      {"a.b,c#%:;]\tx y", 0, "a.b,c#%:;]\tx", 12},
      {"Q.\"a b+c\" x", 0, "Q.\"a b+c\"", 9},
      {"Q.\"open", 0, "Q.\"open", 7},
      {"name[1]", 0, "name", 4},
      {"x(", 0, "x", 1},
      {"\r", 0, "", 1},
      {"", 0, "", 0},
  };
  for (const Case& c : cases) {
    std::size_t pos = c.pos;
    EXPECT_EQ(TfrParser::ReadIdentifier(c.text, pos), c.identifier) << c.text;
    EXPECT_EQ(pos, c.end) << c.text;
  }
}

TEST(LexicalHelpers, ReadStringLiteralAndBracketed) {
  std::size_t pos = 0;
  EXPECT_EQ(TfrParser::ReadStringLiteral("'a''b' c", pos), "'a''b'");
  EXPECT_EQ(pos, 6u);
  pos = 0;
  EXPECT_EQ(TfrParser::ReadStringLiteral("'abc", pos), "'abc");
  EXPECT_EQ(pos, 4u);

  struct Case {
    const char* text;
    const char* inner;
    std::size_t end;
  };
  const Case cases[] = {
      {"[a[b]c] x", "a[b]c", 6},
      {"[a\"]\"b]", "a\"]\"b", 6},
      {"[a']'b]", "a']'b", 6},
      {"[a\"'\"]'", "a\"'\"", 5},  // a single quote inside double quotes does not count
      {"[abc", "ab", 3},           // unclosed: all but the last character
      {"[", "", 0},
  };
  for (const Case& c : cases) {
    pos = 0;
    EXPECT_EQ(TfrParser::ReadBracketed(c.text, pos), c.inner) << c.text;
    EXPECT_EQ(pos, c.end) << c.text;
  }
}

TEST(LexicalHelpers, SplitArguments) {
  struct Case {
    const char* text;
    std::array<std::string, 3> args;
    std::size_t end;
  };
  const Case cases[] = {
      {"(a, (b, c), 'd,e')x", {"a", " (b, c)", " 'd,e'"}, 18},
      {"()", {"", "", ""}, 2},
      {"(1)", {"1", "", ""}, 3},
      {"(a,b,c,d)", {"a", "b", "c"}, 9},
      {"(a,b,c,d,e)", {"a", "e", "c"}, 11},  // a fifth argument lands on the second
      {"(')')", {"')'", "", ""}, 5},
  };
  for (const Case& c : cases) {
    std::size_t pos = 0;
    EXPECT_EQ(TfrParser::SplitArguments(c.text, pos), c.args) << c.text;
    EXPECT_EQ(pos, c.end) << c.text;
  }
  for (const char* bad : {"(", "(a, (b)", "(')'"}) {
    std::size_t pos = 0;
    EXPECT_THROW(TfrParser::SplitArguments(bad, pos), EParserError) << bad;
  }
}

}  // namespace
}  // namespace kelpo::report
