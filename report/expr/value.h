// The report engine's tagged value: what expressions compute, variables hold, fields deliver and
// formatting prints, with the engine's arithmetic, comparison and text-form rules.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "platform/error.h"

class QLocale;
class QString;

namespace kelpo::report {

// A text that is not a number, date or time, or a value that cannot take part in an
// operation. The message names the offending text or kinds.
class EConvertError : public Error {
 public:
  using Error::Error;
};

// Program-wide conversion settings: the decimal separator and the user's date, time and boolean
// texts. The defaults are fixed so that nothing depends on the machine; start-up may install the
// system's settings (systemValueLocale), and number formatting changes the separator for the
// duration of one conversion.
struct ValueLocale {
  char decimalSeparator = '.';
  // Patterns: yyyy yy m mm d dd for the date, h hh n nn s ss for the time; other characters are
  // copied. The order of y, m and d in the date pattern also drives date parsing.
  std::string shortDateFormat = "yyyy-mm-dd";
  std::string longTimeFormat = "hh:nn:ss";
  std::string trueText = "True";
  std::string falseText = "False";
};

ValueLocale& valueLocale();

// The settings of `locale`; the C locale (no locale chosen) gives the fixed defaults.
ValueLocale valueLocaleOf(const QLocale& locale);
// The settings of the user's locale as the platform reports them.
ValueLocale systemValueLocale();
// A date (`time` false) or time pattern of Qt's pattern language in ours; markers ours lacks
// (am/pm, time zone) are left out.
std::string qtDateTimePattern(const QString& pattern, bool time);

class Value {
 public:
  // ShortInt, SmallInt and Currency only come from field values; they compute like Integer
  // (Currency keeps four decimals).
  enum class Kind : std::uint8_t {
    Empty,
    Null,
    Boolean,
    ShortInt,
    SmallInt,
    Integer,
    Currency,
    Float,
    DateTime,
    Text
  };

  Value() noexcept : kind_(Kind::Empty), i_(0) {}
  Value(bool b) noexcept : kind_(Kind::Boolean), i_(b ? 1 : 0) {}
  Value(std::int32_t i) noexcept : kind_(Kind::Integer), i_(i) {}
  Value(double d) noexcept : kind_(Kind::Float), d_(d) {}
  Value(std::string text) noexcept : kind_(Kind::Text), i_(0), text_(std::move(text)) {}
  Value(std::string_view text) : kind_(Kind::Text), i_(0), text_(text) {}
  Value(const char* text) : kind_(Kind::Text), i_(0), text_(text) {}

  static Value null() noexcept;
  static Value shortInt(std::int8_t i) noexcept;
  static Value smallInt(std::int16_t i) noexcept;
  // `scaled` is the amount times 10000.
  static Value currency(std::int64_t scaled) noexcept;
  // Days since 30 December 1899; the fraction is the time of day.
  static Value dateTime(double days) noexcept;

  Kind kind() const noexcept { return kind_; }
  bool isEmpty() const noexcept { return kind_ == Kind::Empty; }
  bool isNull() const noexcept { return kind_ == Kind::Null; }
  bool isText() const noexcept { return kind_ == Kind::Text; }
  // Boolean, the integer kinds, Currency, Float and DateTime.
  bool isNumeric() const noexcept;

  // Payload access; only meaningful for the matching kind.
  bool boolean() const noexcept { return i_ != 0; }
  std::int32_t integer() const noexcept { return i_; }
  std::int64_t currencyScaled() const noexcept { return c_; }
  double number() const noexcept { return d_; }  // Float and DateTime
  const std::string& text() const noexcept { return text_; }

  // The text form: Empty and Null give empty text, numbers their digits (floats in the general
  // format with up to 15 significant digits), DateTime and Boolean through the locale settings.
  std::string toText() const;

  // The value as a float; a text is parsed (EConvertError when it is not a number); Empty is 0.
  // Null cannot be converted (EConvertError).
  double toFloat() const;
  // The value as a 32-bit integer, floats rounded half to even; out of range is an EConvertError.
  std::int32_t toInteger() const;

  // Structural identity (same kind and payload), for tests and caches; the language's
  // comparison is compareValues.
  friend bool operator==(const Value& a, const Value& b) noexcept;

 private:
  Kind kind_;
  union {
    std::int32_t i_;  // Boolean (0/1) and the integer kinds
    std::int64_t c_;  // Currency
    double d_;        // Float, DateTime
  };
  std::string text_;
};

// The name of a kind as the command-line tool and test messages print it ("Integer").
std::string_view kindName(Value::Kind kind) noexcept;
// "Kind: text", or "Kind:" when the text form is empty; the text stays engine text.
std::string describe(const Value& value);
std::ostream& operator<<(std::ostream& out, const Value& value);

// The engine's operators. `+` on two texts concatenates; any other mix converts a text operand
// to a number. Empty counts as empty text beside a text and as 0 otherwise. Null in arithmetic
// gives Null. Integer results that overflow 32 bits become floats.
Value operator+(const Value& a, const Value& b);
Value operator-(const Value& a, const Value& b);
Value operator*(const Value& a, const Value& b);
// Real division; a zero divisor gives integer 0.
Value operator/(const Value& a, const Value& b);
Value operator-(const Value& a);
// Integer remainder; floats are truncated toward zero first; a zero divisor gives 0.
Value modValues(const Value& a, const Value& b);
// Logical on two booleans, otherwise bitwise on integers (floats truncated toward zero, a
// boolean counting 1 or 0).
Value andValues(const Value& a, const Value& b);
Value orValues(const Value& a, const Value& b);

// Texts compare with texts bytewise (case-sensitive); otherwise numerically, a text being
// converted to a number. Null equals only Null and is unordered against anything else.
enum class Ordering { Less, Equal, Greater, Unordered };
Ordering compareValues(const Value& a, const Value& b);

// Number parsing with the current decimal separator: optional blanks, sign, digits with one
// separator, optional exponent. Throws EConvertError naming the text.
double textToFloat(std::string_view text);
// The same with an explicit separator and without throwing.
bool tryTextToFloat(std::string_view text, char separator, double& out);
// Decimal integer text (optional blanks and sign) within 32 bits; throws EConvertError.
std::int32_t textToInteger(std::string_view text);

// Date and time texts in the order of the current short date format (any of - / . between the
// parts, two-digit years in 1950..2049), and h:n[:s] with an optional AM/PM. Results count days
// since 30 December 1899. Throw EConvertError naming the text.
double textToDate(std::string_view text);
double textToTime(std::string_view text);

// Calendar conversions of the DateTime scale; encodeDate returns false for an invalid date.
bool encodeDate(int year, int month, int day, double& days);
void decodeDate(double days, int& year, int& month, int& day);
// The time of day to the millisecond. A time that rounds to midnight is 0:00 of the next day,
// the day decodeDate and dayOfWeek give for the same value.
void decodeTime(double days, int& hour, int& minute, int& second, int& msec);
// 0 for Sunday.
int dayOfWeek(double days);
// `pattern` in the ValueLocale pattern language; a value outside years 1..9999 prints as a float.
std::string formatDateTime(std::string_view pattern, double days);

// A float in the general format: fixed notation for magnitudes from 1e-5 below 1e15, scientific
// ("1.5E20", "1E-7") otherwise; `digits` significant digits, trailing zeros dropped.
std::string formatFloatGeneral(double value, int digits = 15);

}  // namespace kelpo::report
