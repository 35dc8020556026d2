// Value formatting: the number and date-time pattern languages, every category and variant of
// the display format, inline formats in bracketed pieces, blank-zero and the plain-text fallback.
#include <gtest/gtest.h>

#include <QLocale>

#include "platform/text.h"
#include "report/expr/engine_state.h"
#include "report/expr/formatting.h"
#include "report/expr/names.h"
#include "report/expr/parser.h"
#include "tests/report/expr/support_data.h"

namespace kelpo::report {
namespace {

using testing::DataFixture;
using testing::E;

double at(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
  double days = 0;
  EXPECT_TRUE(encodeDate(y, m, d, days));
  return days + (h * 3600 + n * 60 + s) / 86400.0;
}

TEST(NumberPatterns, Table) {
  struct Case {
    const char* pattern;
    double value;
    const char* text;
  } cases[] = {
      {"0.00", 1234.5, "1234.50"},
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0.##", 1234.5, "1,234.5"},
      {"#,##0", -1234567, "-1,234,567"},
      {"##0.", 12, "12"},
      {"##0.", 0, "0"},
      {"##0.##", 0.125, "0.13"},
      {"0.00", 2.675, "2.68"},
      {"#", 0, ""},
      {"#.##", 0.5, ".5"},
      {"000", 7, "007"},
      {"0", 1e20, "100000000000000000000"},
      {"0.00", -2.5, "-2.50"},
      {"0.00", -0.001, "0.00"},  // rounds to zero: no sign
      {"0.00;(0.00)", -5.5, "(5.50)"},
      {"0.00;;'zero'", 0, "zero"},
      {"0.0;-0.0;'nil'", 0.01, "nil"},
      {"0.00;", -1, "-1.00"},  // an empty negative section uses the first
      {"0.00E+00", 1234.5, "1.23E+03"},
      {"0.###E-0", 0.000123, "1.23E-4"},
      {"0.0E-00", 1234.5, "1.2E03"},
      {"0E+0", 5, "5E+0"},
      {"'#'0\"%\"", 5, "#5%"},
      {"(###) ###-####", 5551234567.0, "(555) 123-4567"},
      {"", 2.5, "2.5"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatFloatPattern(c.pattern, c.value), c.text) << c.pattern << " " << c.value;
}

TEST(NumberPatterns, FixedNotationAndTheCurrentSeparator) {
  EXPECT_EQ(FormatFloatFixed(1234.5, 2, false), "1234.50");
  EXPECT_EQ(FormatFloatFixed(1234567.5, 2, true), "1,234,567.50");
  EXPECT_EQ(FormatFloatFixed(0.5, 0, false), "1");
  EXPECT_EQ(FormatFloatFixed(-0.004, 2, false), "0.00");
  EXPECT_EQ(FormatFloatFixed(1e16, 2, false), "1E16");
  valueLocale().decimalSeparator = ',';
  EXPECT_EQ(FormatFloatPattern("0.00", 1.5), "1,50");
  valueLocale().decimalSeparator = '.';
}

TEST(DateTimePatterns, Table) {
  const double when = at(2024, 3, 5, 12, 30, 45);  // a Tuesday
  struct Case {
    const char* pattern;
    double value;
    const char* text;
  } cases[] = {
      {"yyyy-mm-dd", when, "2024-03-05"},
      {"yy.m.d", when, "24.3.5"},
      {"ddd dddd", when, "周二 星期二"},
      {"mmm mmmm", when, "3月 三月"},
      {"hh:nn:ss", when, "12:30:45"},
      {"h:mm", when, "12:30"},  // m right after an hour means minutes
      {"hh:mm am/pm", when, "12:30 pm"},
      {"h AM/PM", at(2024, 3, 5, 9), "9 AM"},
      {"h a/p", at(2024, 3, 5, 0), "12 a"},
      {"ampm h", when, "下午 12"},
      {"yyyy'年'mm'月'dd'日'", when, "2024年03月05日"},
      {"yyyy''年''mm''月''dd''日''", when, "2024年03月05日"},
      {"yyyy/mm/dd", when, "2024-03-05"},
      {"\"Day\" d", when, "Day 5"},
      {"dddddd", when, "2024年3月5日"},
      {"ddddd", when, "2024-03-05"},
      {"c", at(2024, 3, 5), "2024-03-05"},
      {"c", when, "2024-03-05 12:30:45"},
      {"", when, "2024-03-05 12:30:45"},
      {"d", at(1899, 12, 30), "30"},
      {"dddd", at(1899, 12, 30), "星期六"},
      // Half a millisecond before midnight rounds into the next day, date and time alike.
      {"yyyy-mm-dd hh:nn:ss", 1 - 1e-10, "1899-12-31 00:00:00"},
      // Before day 0 the day is the whole part and the time the fraction's size.
      {"yyyy-mm-dd hh:nn dddd", -1.5, "1899-12-29 12:00 星期五"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatDateTimePattern(E(c.pattern), c.value), E(c.text)) << c.pattern;
  EXPECT_THROW(FormatDateTimePattern("yyyy", 1e9), EConvertError);
}

// The user's locale drives the value texts, STRTODATE / STRTOTIME and the long date variant;
// the C locale keeps the fixed defaults.
TEST(UserLocale, DatesTimesAndNumbersFollowTheInstalledLocale) {
  struct Case {
    const char* locale;
    const char* dateTime;  // text of 5 March 2024 13:05:09
    const char* date;      // a date typed in that locale, read back by STRTODATE
    const char* longDate;  // date variant 3
    const char* number;    // text of 2.5
  } cases[] = {
      {"zh_CN", "2024/3/5 13:05:09", "2024/3/5", "2024年3月5日星期二", "2.5"},
      {"de_DE", "05.03.24 13:05:09", "5.3.24", "Dienstag, 5. März 2024", "2,5"},
      {"C", "2024-03-05 13:05:09", "2024-03-05", "2024年3月5日", "2.5"},
  };
  const ValueLocale savedValues = valueLocale();
  const FormatLocale savedFormats = formatLocale();
  TfrParser parser;
  for (const Case& c : cases) {
    InstallUserLocale(QLocale(QString::fromLatin1(c.locale)));
    const double when = at(2024, 3, 5, 13, 5, 9);
    EXPECT_EQ(Value::dateTime(when).toText(), E(c.dateTime)) << c.locale;
    EXPECT_EQ(parser.Evaluate("STRTODATE('" + E(c.date) + "')"), Value::dateTime(at(2024, 3, 5)))
        << c.locale;
    EXPECT_EQ(parser.Evaluate("STRTOTIME('13:05:09')"), Value::dateTime(at(1899, 12, 30, 13, 5, 9)))
        << c.locale;
    EXPECT_EQ(FormatValue(Value::dateTime(when), format::make(format::kDate, 3), ""), E(c.longDate))
        << c.locale;
    EXPECT_EQ(Value(2.5).toText(), c.number) << c.locale;
  }
  valueLocale() = savedValues;
  formatLocale() = savedFormats;
}

TEST(FormatValue, EveryCategoryAndVariant) {
  using format::make;
  const double when = at(2024, 3, 5, 12, 30, 45);
  const Value date = Value::dateTime(when);
  struct Case {
    Value value;
    std::uint32_t code;
    const char* text;
    const char* expected;
  } cases[] = {
      {Value(1234.5), make(1, 1, 2, ','), "", "1234,50"},
      {Value(1234.5), make(1, 0, 2, '.'), "", "1234.5"},
      {Value(1234567.25), make(1, 2, 1, '.'), "", "1,234,567.3"},
      {Value(1234567.5), make(1, 3, 2, '.'), "", "1,234,567.50"},
      {Value(3.14159), make(1, 4, 0, '.'), "0.000", "3.142"},
      {Value(2.5), make(1, 1, 1, 0), "", "2.5"},  // no separator: the current one
      {Value("12.5"), make(1, 1, 1, '.'), "", "12.5"},
      {Value("abc"), make(1, 1, 2, '.'), "", "abc"},  // not a number: the plain text
      {Value(5), make(0, 0), "", "5"},
      {date, make(2, 0), "", "24.03.05"},
      {date, make(2, 1), "", "2024.03.05"},
      {date, make(2, 2), "", "2024年03月05日"},
      {date, make(2, 3), "", "2024年3月5日"},
      {date, make(2, 4), "dd/mm", "05-03"},
      {Value("2024-03-05"), make(2, 0), "", "24.03.05"},
      {Value("hello"), make(2, 0), "", "hello"},
      {date, make(2, 7), "", "2024-03-05 12:30:45"},  // unknown variant: plain text
      {date, make(3, 0), "", "12:30:45"},
      {date, make(3, 1), "", "12:30:45"},
      {Value::dateTime(at(2024, 3, 5, 9, 5)), make(3, 1), "", "9:05:00"},
      {date, make(3, 2), "", "12:30"},
      {Value::dateTime(at(2024, 3, 5, 9, 5)), make(3, 3), "", "9:05"},
      {date, make(3, 4), "nn", "30"},
      {Value(0), make(4, 0), "", "0"},
      {Value(0), make(4, 1), "", "否"},
      {Value(1), make(4, 1), "", "是"},
      {Value(true), make(4, 1), "", "是"},
      {Value(7), make(4, 2), "", "x"},
      {Value(false), make(4, 3), "", "假"},
      {Value(2), make(4, 4), "no;yes", "yes"},
      {Value(0), make(4, 4), "yes", ""},
      {Value("abc"), make(4, 1), "", "abc"},
      {Value(5), make(5, 0), "", ""},
      {Value(), make(1, 1, 2, '.'), "", ""},
      {Value::null(), make(4, 1), "", ""},
      {Value(" \t "), make(1, 1, 2, '.'), "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatValue(c.value, c.code, E(c.text)), E(c.expected))
        << c.value << " code " << std::hex << c.code;
    EXPECT_EQ(valueLocale().decimalSeparator, '.') << "separator not restored";
  }
}

// A view with a display format and the blank-zero option.
class View : public TfrCurrentView {
 public:
  int CalcWidth() override { return 77; }
  std::uint32_t FormatCode() const override { return code; }
  std::string FormatText() const override { return text; }
  bool HideZeros() const override { return hideZeros; }
  std::uint32_t code = 0;
  std::string text;
  bool hideZeros = false;
};

class Substitution : public ::testing::Test {
 protected:
  Substitution() {
    data.report.OnGetValue = [](const std::string& name, Value& value) {
      if (sameName(name, "Price")) value = Value(1234.5);
      if (sameName(name, "Date")) value = Value::dateTime(at(2024, 3, 5, 12, 30, 45));
      if (sameName(name, "Paid")) value = Value(1);
      if (sameName(name, "Qty")) value = Value(0);
      if (sameName(name, "Five")) value = Value(5);
      if (sameName(name, "Txt")) value = Value("0");
    };
  }
  std::string sub(const char* piece) { return SubstituteValue(E(piece), &view); }
  DataFixture data;
  View view;
};

TEST_F(Substitution, InlineFormats) {
  struct Case {
    const char* piece;
    const char* text;
  } cases[] = {
      {"Price #N2.2", "1234.50"},
      {"Price #N0.00", "1235"},            // decimals read from "00"
      {"Price #N###,##0.00", "1,234.50"},  // custom pattern, '.' as separator
      {"Price #N0,00", "1235"},            // ',' separator, 0 decimals
      {"Price #n9,1", "1234,5"},
      {"Price #N1-3", "1234-500"},
      {"Price #2.1", "1234.5"},  // a digit means N
      {"Price #N", "1234.5"},    // empty custom pattern: general format
      {"Date #Dyyyy-mm-dd", "2024-03-05"},
      {"Date #thh:nn", "12:30"},
      {"Paid #Bno;yes", "yes"},
      {"Qty #bno;yes", "no"},
      {"Price", "1234.5"},
      {"Price#N2.2", "1234.5"},  // no space before '#': no format; resolved via the app
  };
  data.report.OnGetValue = [inner = data.report.OnGetValue](const std::string& n, Value& v) {
    inner(n, v);
    if (n == "Price#N2.2") v = Value(1234.5);
  };
  for (const Case& c : cases) EXPECT_EQ(sub(c.piece), E(c.text)) << c.piece;
}

TEST_F(Substitution, OtherSpecificationsKeepTheViewsCodeButReplaceItsText) {
  view.code = format::make(format::kNumber, format::kCustom);
  view.text = "0.0";
  EXPECT_EQ(sub("Price"), "1234.5");
  EXPECT_EQ(sub("Price #Q0.00"), "Q1234.50");
  view.code = format::make(format::kNumber, 1, 2, '.');
  EXPECT_EQ(sub("Price #Q0.00"), "1234.50");
}

TEST_F(Substitution, BlankZeroAndNullFields) {
  view.hideZeros = true;
  EXPECT_EQ(sub("Qty"), "");
  EXPECT_EQ(sub("Five"), "5");
  EXPECT_EQ(sub("Txt"), "0");  // a text holding 0 is still printed
  view.code = format::make(format::kNumber, 1, 2, '.');
  EXPECT_EQ(sub("Qty"), "");

  // A null number reads as 0, so a number format prints 0 unless blank-zero is set.
  data.query->next();
  view.hideZeros = false;
  EXPECT_EQ(sub("ADOQuery3.\"价格\""), "0.00");
  view.hideZeros = true;
  EXPECT_EQ(sub("ADOQuery3.\"价格\""), "");
  view.code = 0;
  EXPECT_EQ(sub("ADOQuery3.\"a.b\""), "");  // a null text field is empty text
}

TEST_F(Substitution, RemembersTheNameAndValueAndClearsTheNameUnderEvaluation) {
  // Left over from an earlier piece, it would make the expression an unknown name.
  frEngine().nameUnderEvaluation = "Price * 2";
  EXPECT_EQ(sub("Price * 2 #N2.2"), "2469.00");
  EXPECT_EQ(frEngine().currentVariable, "Price * 2");
  EXPECT_EQ(frEngine().value, Value(2469.0));
  EXPECT_TRUE(frEngine().nameUnderEvaluation.empty());
  EXPECT_EQ(sub("CALCWIDTH"), "0");  // no current view in the engine state
  frEngine().view = &view;
  EXPECT_EQ(sub("CALCWIDTH"), "77");
  frEngine().aggregateCollection = true;
  EXPECT_EQ(sub("Price"), "");
  EXPECT_EQ(frEngine().value, Value(1234.5));  // resolved all the same
}

TEST_F(Substitution, ResolutionErrorsPropagate) { EXPECT_THROW(sub("NoSuchName"), EParserError); }

}  // namespace
}  // namespace kelpo::report
