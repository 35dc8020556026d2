// The report value: text forms, operator and comparison rules, text-to-number/date parsing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "report/expr/value.h"

namespace kelpo::report {
namespace {

std::string shown(const Value& v) {
  std::ostringstream out;
  out << v;
  return out.str();
}

// Every test starts from the fixed defaults and leaves them behind.
class ValueTest : public ::testing::Test {
 protected:
  void TearDown() override { valueLocale() = ValueLocale(); }
};

double date(int y, int m, int d) {
  double days = 0;
  EXPECT_TRUE(encodeDate(y, m, d, days));
  return days;
}

TEST_F(ValueTest, TextForms) {
  struct Case {
    Value value;
    const char* text;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {Value(), ""},
      {Value::null(), ""},
      {Value(true), "True"},
      {Value(false), "False"},
      {Value(-42), "-42"},
      {Value::shortInt(-8), "-8"},
      {Value::smallInt(300), "300"},
      {Value(14.0), "14"},
      {Value(-2.5), "-2.5"},
      {Value(0.1 + 0.2), "0.3"},  // 15 significant digits hide the binary noise
      {Value(1.0 / 3), "0.333333333333333"},
      {Value(2.0 / 3), "0.666666666666667"},
      {Value(123456789012345.0), "123456789012345"},
      {Value(1e15), "1E15"},
      {Value(1.5e20), "1.5E20"},
      {Value(0.00001), "0.00001"},
      {Value(1.5e-7), "1.5E-7"},
      {Value(-0.0), "0"},
      {Value(nan), "NAN"},
      {Value(-inf), "-INF"},
      {Value::currency(12345), "1.2345"},
      {Value::currency(10000), "1"},
      {Value::currency(-5000), "-0.5"},
      {Value::currency(std::numeric_limits<std::int64_t>::min()), "-922337203685477.5808"},
      {Value::dateTime(date(2024, 3, 5)), "2024-03-05"},
      {Value::dateTime(date(2024, 3, 5) + 0.5), "2024-03-05 12:00:00"},
      {Value::dateTime(0.25), "06:00:00"},
      {Value::dateTime(0), "1899-12-30"},
      {Value::dateTime(-1.25), "1899-12-29 06:00:00"},
      // A time that rounds up to midnight belongs to the next day.
      {Value::dateTime(date(2024, 3, 5) + 0.9999999999), "2024-03-06"},
      // Outside the calendar's years 1..9999 the number itself is shown.
      {Value::dateTime(1e10), "10000000000"},
      {Value::dateTime(nan), "NAN"},
      {Value("菜谱"), "菜谱"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value.toText(), c.text) << shown(c.value);
}

TEST_F(ValueTest, TextFormsFollowTheLocaleSettings) {
  ValueLocale& locale = valueLocale();
  locale.decimalSeparator = ',';
  locale.shortDateFormat = "dd.mm.yy";
  locale.longTimeFormat = "h'h'nn";
  locale.trueText = "是";
  EXPECT_EQ(Value(2.5).toText(), "2,5");
  EXPECT_EQ(Value(1.5e-7).toText(), "1,5E-7");
  EXPECT_EQ(Value::currency(15000).toText(), "1,5");
  EXPECT_EQ(Value::dateTime(date(2024, 3, 5) + 0.375).toText(), "05.03.24 9h00");
  EXPECT_EQ(Value(true).toText(), "是");
  // The date pattern also gives the order in which dates are read.
  EXPECT_EQ(textToDate("05.03.24"), date(2024, 3, 5));
  EXPECT_EQ(textToFloat(" 2,5 "), 2.5);
  EXPECT_THROW(textToFloat("2.5"), EConvertError);
}

TEST_F(ValueTest, SystemLocaleRoundTripsItsOwnDates) {
  valueLocale() = systemValueLocale();
  const double day = date(2024, 3, 5);
  const std::string text = formatDateTime(valueLocale().shortDateFormat, day);
  EXPECT_EQ(textToDate(text), day) << valueLocale().shortDateFormat << " gave " << text;
  EXPECT_EQ(textToFloat(Value(2.5).toText()), 2.5);
}

TEST_F(ValueTest, Arithmetic) {
  struct Case {
    Value result;
    const char* expected;
  };
  const std::int32_t maxInt = std::numeric_limits<std::int32_t>::max();
  const std::int32_t minInt = std::numeric_limits<std::int32_t>::min();
  const Value day = Value::dateTime(date(2024, 3, 5));
  const Case cases[] = {
      {Value(2) + Value(3), "Integer: 5"},
      {Value(2) + Value(0.5), "Float: 2.5"},
      {Value(maxInt) + Value(1), "Float: 2147483648"},  // overflow leaves the integers
      {Value(minInt) - Value(1), "Float: -2147483649"},
      {Value(65536) * Value(65536), "Float: 4294967296"},
      {-Value(minInt), "Float: 2147483648"},
      {Value("ab") + Value("cd"), "Text: abcd"},
      {Value("12") + Value(1), "Float: 13"},
      {Value("2.5") * Value(2), "Float: 5"},
      {Value() + Value("x"), "Text: x"},
      {Value() + Value(1), "Integer: 1"},
      {Value(true) + Value(true), "Integer: 2"},
      {Value::null() + Value(1), "Null:"},
      {Value("x") - Value::null(), "Null:"},
      {-Value::null(), "Null:"},
      {Value(7) / Value(2), "Float: 3.5"},
      {Value(7) / Value(0), "Integer: 0"},
      {Value(7) / Value(), "Integer: 0"},
      {Value::null() / Value(0), "Integer: 0"},
      {Value(1) / Value::null(), "Null:"},
      {Value::currency(15000) + Value(2), "Currency: 3.5"},
      {Value::currency(15000) * Value::currency(15000), "Currency: 2.25"},
      {Value::currency(1) * Value::currency(5000), "Currency: 0"},  // 0.00005 rounds to even
      {Value::currency(3) * Value::currency(5000), "Currency: 0.0002"},
      {Value::currency(15000) * Value(0.5), "Float: 0.75"},
      {day + Value(1), "DateTime: 2024-03-06"},
      {Value(0.5) + day, "DateTime: 2024-03-05 12:00:00"},
      {day - Value(5), "DateTime: 2024-02-29"},
      {day - Value::dateTime(date(2024, 2, 29)), "Float: 5"},
      {modValues(Value(7.0), Value(2.0)), "Integer: 1"},
      {modValues(Value(-7.9), Value(2.0)), "Integer: -1"},  // truncated toward zero first
      {modValues(Value(7), Value(0)), "Integer: 0"},
      {modValues(Value(minInt), Value(-1)), "Integer: 0"},
      {andValues(Value(12.0), Value(10.0)), "Integer: 8"},
      {orValues(Value(12), Value(3.9)), "Integer: 15"},
      {andValues(Value(true), Value(false)), "Boolean: False"},
      {orValues(Value(true), Value(false)), "Boolean: True"},
      {andValues(Value(true), Value(1)), "Integer: 1"},
      {orValues(Value::null(), Value(1)), "Null:"},
  };
  for (const Case& c : cases) EXPECT_EQ(shown(c.result), c.expected);
}

TEST_F(ValueTest, ConversionErrors) {
  EXPECT_THROW(Value("abc") * Value(2), EConvertError);
  EXPECT_THROW(Value("abc") + Value(2), EConvertError);
  EXPECT_THROW(Value("") - Value(1), EConvertError);
  EXPECT_THROW(modValues(Value(1e20), Value(3)), EConvertError);
  EXPECT_THROW(andValues(Value(std::nan("")), Value(3)), EConvertError);
  EXPECT_THROW(Value::null().toFloat(), EConvertError);
  EXPECT_THROW(Value(3e9).toInteger(), EConvertError);
  EXPECT_EQ(Value(2.5).toInteger(), 2);
  EXPECT_EQ(Value(3.5).toInteger(), 4);
  try {
    Value("12a") * Value(1);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_NE(std::string(e.what()).find("12a"), std::string::npos) << e.what();
  }
}

TEST_F(ValueTest, Comparison) {
  struct Case {
    Value a, b;
    Ordering expected;
  };
  const Case cases[] = {
      {Value(1), Value(2), Ordering::Less},
      {Value(2.0), Value(2), Ordering::Equal},
      {Value("a"), Value("B"), Ordering::Greater},  // case-sensitive, by bytes
      {Value("a"), Value("a"), Ordering::Equal},
      {Value("10"), Value(9), Ordering::Greater},  // numerically, not as text
      {Value("10"), Value("9"), Ordering::Less},
      {Value(), Value(""), Ordering::Equal},
      {Value(), Value(0), Ordering::Equal},
      {Value(true), Value(1), Ordering::Equal},
      {Value::currency(25000), Value(2.5), Ordering::Equal},
      {Value::dateTime(1.5), Value(1), Ordering::Greater},
      {Value::null(), Value::null(), Ordering::Equal},
      {Value::null(), Value(0), Ordering::Unordered},
      {Value(""), Value::null(), Ordering::Unordered},
      {Value(std::nan("")), Value(1), Ordering::Unordered},
  };
  for (const Case& c : cases)
    EXPECT_EQ(compareValues(c.a, c.b), c.expected) << shown(c.a) << " vs " << shown(c.b);
  EXPECT_THROW(compareValues(Value("x"), Value(1)), EConvertError);
}

TEST_F(ValueTest, NumberTexts) {
  struct Good {
    const char* text;
    double value;
  };
  const Good good[] = {{" 1.5 ", 1.5}, {"-2", -2}, {"+3", 3}, {"1.", 1}, {".5", 0.5},
                       {"1e3", 1000}, {"1E-2", 0.01}, {"1e-400", 0}, {"007", 7}};
  for (const Good& g : good) EXPECT_EQ(textToFloat(g.text), g.value) << g.text;
  for (const char* bad : {"", " ", "+", ".", "1..2", "1.2.3", "0x10", "inf", "nan", "1e", "1e400",
                          "1 2", "1,5", "--1", "e5"})
    EXPECT_THROW(textToFloat(bad), EConvertError) << bad;

  EXPECT_EQ(textToInteger(" 2147483647"), 2147483647);
  EXPECT_EQ(textToInteger("-2147483648"), std::numeric_limits<std::int32_t>::min());
  for (const char* bad : {"2147483648", "1.0", "", "-", "99999999999999999999", "1e3"})
    EXPECT_THROW(textToInteger(bad), EConvertError) << bad;
}

TEST_F(ValueTest, DateAndTimeTexts) {
  EXPECT_EQ(textToDate("2024-03-05"), 45356);
  EXPECT_EQ(textToDate(" 2024/3/5 "), 45356);
  EXPECT_EQ(textToDate("24.3.5"), 45356);
  EXPECT_EQ(textToDate("2024 3 5"), 45356);  // two-digit years fall in 1950..2049
  EXPECT_EQ(textToDate("99-12-31"), date(1999, 12, 31));
  EXPECT_EQ(textToDate("1899-12-30"), 0);
  EXPECT_EQ(textToDate("2000-02-29"), date(2000, 2, 29));
  for (const char* bad : {"2023-02-29", "2024-13-01", "2024-00-10", "2024-03", "2024-03-05x",
                          "abc", "", "10000-01-01", "2024--03-05", "2024-3-"})
    EXPECT_THROW(textToDate(bad), EConvertError) << bad;

  EXPECT_EQ(textToTime("12:00"), 0.5);
  EXPECT_EQ(textToTime("06:00:00"), 0.25);
  EXPECT_EQ(textToTime("1:30 PM"), textToTime("13:30"));
  EXPECT_EQ(textToTime("12:00 am"), 0);
  EXPECT_EQ(textToTime("12:00:00.5"), 0.5 + 0.5 / 86400);
  for (const char* bad : {"24:00", "10:61", "10", "10:00 xm", "13:00 pm", "", "1:2:3:4"})
    EXPECT_THROW(textToTime(bad), EConvertError) << bad;

  int y = 0, m = 0, d = 0;
  // Before 1899-12-30 the time of day still counts away from zero: day N at 18:00 is N - 0.75.
  decodeDate(date(1600, 2, 29) - 0.75, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 16000229);
  decodeDate(1e300, y, m, d);  // out of range: no date, no undefined conversion
  EXPECT_EQ(y, 0);
}

}  // namespace
}  // namespace kelpo::report
