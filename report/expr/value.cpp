#include "report/expr/value.h"

#include <QLocale>
#include <QString>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>

#include "platform/text.h"

namespace kelpo::report {

ValueLocale& valueLocale() {
  static ValueLocale locale;
  return locale;
}

namespace {

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Qt's date/time pattern letters translated into ours (y, m, d; h, n, s); quoted parts kept.
// Steps by character: a trail byte of a Chinese literal may equal a pattern letter. Markers
// without a counterpart (am/pm, time zone) are dropped with the blanks that set them apart, so
// zh_CN's "t HH:mm:ss" gives "hh:nn:ss".
std::string fromQtPattern(const QString& qt, bool time) {
  std::string out;
  const std::string src = fromQString(qt);
  bool afterMarker = false;
  for (std::size_t i = 0; i < src.size();) {
    const std::size_t size = engineCharSize(src, i);
    if (size > 1) {
      out.append(src, i, size);
      i += size;
      afterMarker = false;
      continue;
    }
    const char c = src[i];
    std::size_t run = 1;
    while (i + run < src.size() && src[i + run] == c) ++run;
    if (afterMarker && isBlank(c)) {
      i += run;
      continue;
    }
    afterMarker = false;
    switch (c) {
      case 'y':
        out.append(run >= 3 ? "yyyy" : "yy");
        break;
      case 'M':
        out.append(run >= 4 ? "mmmm" : run == 3 ? "mmm" : run == 2 ? "mm" : "m");
        break;
      case 'd':
        out.append(run >= 4 ? "dddd" : run == 3 ? "ddd" : run == 2 ? "dd" : "d");
        break;
      case 'H':
      case 'h':
        out.append(run >= 2 ? "hh" : "h");
        break;
      case 'm':
        out.append(time ? (run >= 2 ? "nn" : "n") : (run >= 2 ? "mm" : "m"));
        break;
      case 's':
        out.append(run >= 2 ? "ss" : "s");
        break;
      case 'A':
      case 'a':
      case 'P':
      case 'p':
      case 't':
      case 'z':
        afterMarker = true;
        break;
      case '\'': {
        // Quoted text runs to the next quote, stepping over multibyte characters.
        std::size_t end = i + 1;
        while (end < src.size() && src[end] != '\'') end += engineCharSize(src, end);
        if (end >= src.size()) end = src.size() - 1;
        run = end - i + 1;
        out.append(src, i, run);
        break;
      }
      default:
        out.append(src, i, run);
    }
    i += run;
  }
  // Drop separators a removed marker left dangling at either end.
  while (!out.empty() && isBlank(out.back())) out.pop_back();
  std::size_t lead = 0;
  while (lead < out.size() && isBlank(out[lead])) ++lead;
  return out.substr(lead);
}

}  // namespace

std::string qtDateTimePattern(const QString& pattern, bool time) {
  return fromQtPattern(pattern, time);
}

ValueLocale valueLocaleOf(const QLocale& locale) {
  ValueLocale result;
  // The C locale means that no locale was chosen: the fixed defaults stand.
  if (locale.language() == QLocale::C) return result;
  const QString point = locale.decimalPoint();
  if (point.size() == 1 && point.at(0).unicode() < 0x80)
    result.decimalSeparator = static_cast<char>(point.at(0).unicode());
  result.shortDateFormat = fromQtPattern(locale.dateFormat(QLocale::ShortFormat), false);
  result.longTimeFormat = fromQtPattern(locale.timeFormat(QLocale::LongFormat), true);
  return result;
}

ValueLocale systemValueLocale() { return valueLocaleOf(QLocale::system()); }

// ---- construction and access ----

Value Value::null() noexcept {
  Value v;
  v.kind_ = Kind::Null;
  return v;
}

Value Value::shortInt(std::int8_t i) noexcept {
  Value v(static_cast<std::int32_t>(i));
  v.kind_ = Kind::ShortInt;
  return v;
}

Value Value::smallInt(std::int16_t i) noexcept {
  Value v(static_cast<std::int32_t>(i));
  v.kind_ = Kind::SmallInt;
  return v;
}

Value Value::currency(std::int64_t scaled) noexcept {
  Value v;
  v.kind_ = Kind::Currency;
  v.c_ = scaled;
  return v;
}

Value Value::dateTime(double days) noexcept {
  Value v(days);
  v.kind_ = Kind::DateTime;
  return v;
}

bool Value::isNumeric() const noexcept {
  switch (kind_) {
    case Kind::Boolean:
    case Kind::ShortInt:
    case Kind::SmallInt:
    case Kind::Integer:
    case Kind::Currency:
    case Kind::Float:
    case Kind::DateTime: return true;
    default: return false;
  }
}

bool operator==(const Value& a, const Value& b) noexcept {
  if (a.kind_ != b.kind_) return false;
  switch (a.kind_) {
    case Value::Kind::Empty:
    case Value::Kind::Null: return true;
    case Value::Kind::Currency: return a.c_ == b.c_;
    case Value::Kind::Float:
    case Value::Kind::DateTime: return a.d_ == b.d_;
    case Value::Kind::Text: return a.text_ == b.text_;
    default: return a.i_ == b.i_;
  }
}

std::string_view kindName(Value::Kind kind) noexcept {
  switch (kind) {
    case Value::Kind::Empty: return "Empty";
    case Value::Kind::Null: return "Null";
    case Value::Kind::Boolean: return "Boolean";
    case Value::Kind::ShortInt: return "ShortInt";
    case Value::Kind::SmallInt: return "SmallInt";
    case Value::Kind::Integer: return "Integer";
    case Value::Kind::Currency: return "Currency";
    case Value::Kind::Float: return "Float";
    case Value::Kind::DateTime: return "DateTime";
    case Value::Kind::Text: return "Text";
  }
  return "?";
}

std::string describe(const Value& value) {
  std::string out(kindName(value.kind()));
  out += ':';
  const std::string text = value.toText();
  if (!text.empty()) {
    out += ' ';
    out += text;
  }
  return out;
}

std::ostream& operator<<(std::ostream& out, const Value& value) { return out << describe(value); }

// ---- number texts ----

namespace {

// The power of ten just above a well-formed unsigned number text ("123.4" gives 3, "0.05"
// gives -1), enough to tell an overflow from an underflow.
long decimalMagnitude(std::string_view body) {
  long magnitude = 0;
  bool seenNonZero = false;
  bool afterPoint = false;
  std::size_t i = 0;
  for (; i < body.size() && body[i] != 'e' && body[i] != 'E'; ++i) {
    const char c = body[i];
    if (!isDigit(c)) {
      afterPoint = true;
      continue;
    }
    if (c != '0') seenNonZero = true;
    if (!afterPoint && seenNonZero) ++magnitude;
    if (afterPoint && !seenNonZero) --magnitude;
  }
  long exponent = 0;
  if (i < body.size()) {
    ++i;
    bool negative = false;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) negative = body[i++] == '-';
    for (; i < body.size() && exponent < 1000000; ++i) exponent = exponent * 10 + (body[i] - '0');
    if (negative) exponent = -exponent;
  }
  return magnitude + exponent;
}

// Checks the number grammar on `s` (already trimmed) with `sep` as decimal separator and
// parses it; false when it is not a number or out of the float range.
bool parseDecimal(std::string_view s, char sep, double& out) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  const std::size_t start = i;
  std::size_t digits = 0;
  while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  std::size_t sepAt = std::string_view::npos;
  if (i < s.size() && s[i] == sep) {
    sepAt = i++;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != s.size()) return false;

  std::string_view body = s.substr(start);
  std::string copy;
  // from_chars wants '.', and no exponent sign '+' is a problem for it; a '+' only ever
  // follows 'e' here, which from_chars accepts.
  if (sepAt != std::string_view::npos && sep != '.') {
    copy.assign(body);
    copy[sepAt - start] = '.';
    body = copy;
  }
  double value = 0;
  const auto [ptr, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Too small to represent is still a number (zero); too large is not.
    if (decimalMagnitude(body) > 0) return false;
    value = 0;
  } else if (ec != std::errc() || ptr != body.data() + body.size()) {
    return false;
  }
  out = negative ? -value : value;
  return true;
}

[[noreturn]] void notA(std::string_view what, std::string_view text) {
  throw EConvertError("'" + std::string(text) + "' is not a valid " + std::string(what));
}

}  // namespace

bool tryTextToFloat(std::string_view text, char separator, double& out) {
  return parseDecimal(trimmed(text), separator, out);
}

double textToFloat(std::string_view text) {
  double value = 0;
  if (!parseDecimal(trimmed(text), valueLocale().decimalSeparator, value)) notA("number", text);
  return value;
}

std::int32_t textToInteger(std::string_view text) {
  const std::string_view s = trimmed(text);
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == s.size()) notA("integer", text);
  std::int64_t value = 0;
  for (; i < s.size(); ++i) {
    if (!isDigit(s[i])) notA("integer", text);
    value = value * 10 + (s[i] - '0');
    if (value > std::int64_t{1} << 31) notA("integer", text);
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) notA("integer", text);
  return static_cast<std::int32_t>(value);
}

std::string formatFloatGeneral(double value, int digits) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  if (digits < 1) digits = 1;
  if (digits > 17) digits = 17;
  char buf[64];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
  std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
  // sci is "[-]d[.ddd]e[+-]xx"
  std::string out;
  std::size_t i = 0;
  if (sci[i] == '-') {
    out += '-';
    ++i;
  }
  std::string mantissa;
  const std::size_t ePos = sci.find('e');
  for (std::size_t k = i; k < ePos; ++k)
    if (sci[k] != '.') mantissa += sci[k];
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
  int exponent = 0;
  std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+' ? 1 : 0), sci.data() + sci.size(),
                  exponent);
  const char sep = valueLocale().decimalSeparator;
  if (exponent >= -5 && exponent < digits) {
    if (exponent >= 0) {
      const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
      if (mantissa.size() <= intDigits) {
        out += mantissa;
        out.append(intDigits - mantissa.size(), '0');
      } else {
        out.append(mantissa, 0, intDigits);
        out += sep;
        out.append(mantissa, intDigits, std::string::npos);
      }
    } else {
      out += '0';
      out += sep;
      out.append(static_cast<std::size_t>(-exponent - 1), '0');
      out += mantissa;
    }
  } else {
    out += mantissa[0];
    if (mantissa.size() > 1) {
      out += sep;
      out.append(mantissa, 1, std::string::npos);
    }
    out += 'E';
    out += std::to_string(exponent);
  }
  return out;
}

namespace {

std::string currencyText(std::int64_t scaled) {
  const bool negative = scaled < 0;
  const std::uint64_t magnitude =
      negative ? std::uint64_t{0} - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
  std::string out = negative ? "-" : "";
  out += std::to_string(magnitude / 10000);
  std::uint64_t frac = magnitude % 10000;
  if (frac != 0) {
    char digits[5] = {};
    for (int k = 3; k >= 0; --k) {
      digits[k] = static_cast<char>('0' + frac % 10);
      frac /= 10;
    }
    std::string_view f(digits, 4);
    while (!f.empty() && f.back() == '0') f.remove_suffix(1);
    out += valueLocale().decimalSeparator;
    out += f;
  }
  return out;
}

}  // namespace

// ---- dates ----

namespace {

// Days between 1970-01-01 and 1899-12-30.
constexpr std::int64_t kUnixToSerial = 25569;
constexpr double kMinSerial = -693593;   // 0001-01-01
constexpr double kMaxSerial = 2958465;   // 9999-12-31
constexpr std::int64_t kMsPerDay = 86400000;

std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && leapYear(y) ? 29 : kDays[m - 1];
}

// The DateTime scale keeps the day in the integer part (truncated toward zero) and the time of
// day in the magnitude of the fraction, also for days before 1899-12-30.
struct DayAndTime {
  std::int64_t day;
  std::int64_t ms;
};

DayAndTime splitDateTime(double days) {
  double whole = std::trunc(days);
  std::int64_t ms = std::llround(std::abs(days - whole) * kMsPerDay);
  std::int64_t day = static_cast<std::int64_t>(whole);
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    day += 1;
  }
  return {day, ms};
}

void appendNumber(std::string& out, std::int64_t n, std::size_t width) {
  std::string digits = std::to_string(n);
  if (digits.size() < width) out.append(width - digits.size(), '0');
  out += digits;
}

}  // namespace

bool encodeDate(int year, int month, int day, double& days) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > daysInMonth(year, month))
    return false;
  days = static_cast<double>(daysFromCivil(year, static_cast<unsigned>(month),
                                           static_cast<unsigned>(day)) +
                             kUnixToSerial);
  return true;
}

void decodeDate(double days, int& year, int& month, int& day) {
  if (!(days >= kMinSerial && days < kMaxSerial + 1)) {
    year = month = day = 0;
    return;
  }
  civilFromDays(splitDateTime(days).day - kUnixToSerial, year, month, day);
}

void decodeTime(double days, int& hour, int& minute, int& second, int& msec) {
  const bool inRange = days >= kMinSerial && days < kMaxSerial + 1;
  const std::int64_t ms = inRange ? splitDateTime(days).ms : 0;
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  msec = static_cast<int>(ms % 1000);
}

int dayOfWeek(double days) {
  if (!(days >= kMinSerial && days < kMaxSerial + 1)) return 0;
  // 30 December 1899 (day 0) was a Saturday.
  return static_cast<int>(((splitDateTime(days).day + 6) % 7 + 7) % 7);
}

std::string formatDateTime(std::string_view pattern, double days) {
  if (!(days >= kMinSerial && days < kMaxSerial + 1)) return formatFloatGeneral(days);
  const DayAndTime parts = splitDateTime(days);
  int year = 0, month = 0, day = 0;
  civilFromDays(parts.day - kUnixToSerial, year, month, day);
  const std::int64_t seconds = parts.ms / 1000;
  std::string out;
  for (std::size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    const std::size_t size = engineCharSize(pattern, i);
    if (size > 1) {
      out.append(pattern.substr(i, size));
      i += size;
      continue;
    }
    if (c == '\'' || c == '"') {
      std::size_t end = pattern.find(c, i + 1);
      if (end == std::string_view::npos) end = pattern.size();
      out.append(pattern.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    const char l = lowerAscii(c);
    std::size_t run = 1;
    while (i + run < pattern.size() && lowerAscii(pattern[i + run]) == l) ++run;
    const std::size_t width = run >= 2 ? 2 : 1;
    switch (l) {
      case 'y':
        if (run >= 3)
          appendNumber(out, year, 4);
        else
          appendNumber(out, year % 100, 2);
        break;
      case 'm': appendNumber(out, month, width); break;
      case 'd': appendNumber(out, day, width); break;
      case 'h': appendNumber(out, seconds / 3600, width); break;
      case 'n': appendNumber(out, seconds / 60 % 60, width); break;
      case 's': appendNumber(out, seconds % 60, width); break;
      default: out.append(pattern.substr(i, run));
    }
    i += run;
  }
  return out;
}

namespace {

std::string dateTimeText(double days) {
  if (!(days >= kMinSerial && days < kMaxSerial + 1)) return formatFloatGeneral(days);
  const ValueLocale& locale = valueLocale();
  const DayAndTime parts = splitDateTime(days);
  // A bare time of day shows no date; midnight shows no time.
  if (parts.ms == 0) return formatDateTime(locale.shortDateFormat, days);
  if (parts.day == 0) return formatDateTime(locale.longTimeFormat, days);
  return formatDateTime(locale.shortDateFormat, days) + " " +
         formatDateTime(locale.longTimeFormat, days);
}

// Reads an unsigned decimal number of at most 9 digits at s[i].
bool readNumber(std::string_view s, std::size_t& i, int& value, std::size_t& digits) {
  digits = 0;
  value = 0;
  while (i < s.size() && isDigit(s[i]) && digits < 9) {
    value = value * 10 + (s[i] - '0');
    ++i;
    ++digits;
  }
  return digits > 0 && !(i < s.size() && isDigit(s[i]));
}

void skipBlanks(std::string_view s, std::size_t& i) {
  while (i < s.size() && s[i] == ' ') ++i;
}

}  // namespace

double textToDate(std::string_view text) {
  const std::string_view s = trimmed(text);
  // Order of the parts from the pattern; the first letter of each kind counts.
  const std::string& pattern = valueLocale().shortDateFormat;
  char order[3] = {0, 0, 0};
  int found = 0;
  char patternSeparator = '-';
  for (std::size_t i = 0; i < pattern.size() && found < 3; i += engineCharSize(pattern, i)) {
    // Only ASCII characters of their own are letters or separators; a Chinese literal is neither.
    if (static_cast<unsigned char>(pattern[i]) >= 0x80) continue;
    const char l = lowerAscii(pattern[i]);
    if ((l == 'y' || l == 'm' || l == 'd') && std::memchr(order, l, 3) == nullptr)
      order[found++] = l;
    else if (found > 0 && l != 'y' && l != 'm' && l != 'd' && !isBlank(l))
      patternSeparator = pattern[i];
  }
  if (found < 3) {
    order[0] = 'y';
    order[1] = 'm';
    order[2] = 'd';
  }
  int parts[3] = {0, 0, 0};
  std::size_t lengths[3] = {0, 0, 0};
  std::size_t i = 0;
  for (int k = 0; k < 3; ++k) {
    if (k > 0) {
      // Parts are separated by one separator character, by blanks, or by both.
      const std::size_t before = i;
      skipBlanks(s, i);
      if (i < s.size() && (s[i] == '-' || s[i] == '/' || s[i] == '.' || s[i] == patternSeparator))
        ++i;
      skipBlanks(s, i);
      if (i == before) notA("date", text);
    }
    if (!readNumber(s, i, parts[k], lengths[k])) notA("date", text);
  }
  if (i != s.size()) notA("date", text);
  int year = 0, month = 0, day = 0;
  for (int k = 0; k < 3; ++k) {
    if (order[k] == 'y') {
      year = parts[k];
      if (lengths[k] <= 2) year += year < 50 ? 2000 : 1900;
    } else if (order[k] == 'm') {
      month = parts[k];
    } else {
      day = parts[k];
    }
  }
  double days = 0;
  if (!encodeDate(year, month, day, days)) notA("date", text);
  return days;
}

double textToTime(std::string_view text) {
  const std::string_view s = trimmed(text);
  std::size_t i = 0;
  int fields[4] = {0, 0, 0, 0};
  std::size_t digits = 0;
  if (!readNumber(s, i, fields[0], digits)) notA("time", text);
  int count = 1;
  while (count < 3 && i < s.size() && s[i] == ':') {
    ++i;
    if (!readNumber(s, i, fields[count], digits)) notA("time", text);
    ++count;
  }
  if (count < 2) notA("time", text);
  if (count == 3 && i < s.size() && (s[i] == '.' || s[i] == valueLocale().decimalSeparator)) {
    ++i;
    if (!readNumber(s, i, fields[3], digits) || digits > 3) notA("time", text);
    for (std::size_t k = digits; k < 3; ++k) fields[3] *= 10;
  }
  skipBlanks(s, i);
  int hour = fields[0];
  if (i < s.size()) {
    std::string suffix(s.substr(i));
    for (char& c : suffix) c = lowerAscii(c);
    const bool pm = suffix == "pm" || suffix == "p";
    if (!pm && suffix != "am" && suffix != "a") notA("time", text);
    if (hour < 1 || hour > 12) notA("time", text);
    hour = hour % 12 + (pm ? 12 : 0);
  }
  if (hour > 23 || fields[1] > 59 || fields[2] > 59) notA("time", text);
  const std::int64_t ms =
      ((static_cast<std::int64_t>(hour) * 60 + fields[1]) * 60 + fields[2]) * 1000 + fields[3];
  return static_cast<double>(ms) / kMsPerDay;
}

// ---- text form and conversions ----

std::string Value::toText() const {
  switch (kind_) {
    case Kind::Empty:
    case Kind::Null: return {};
    case Kind::Boolean: return i_ ? valueLocale().trueText : valueLocale().falseText;
    case Kind::ShortInt:
    case Kind::SmallInt:
    case Kind::Integer: return std::to_string(i_);
    case Kind::Currency: return currencyText(c_);
    case Kind::Float: return formatFloatGeneral(d_);
    case Kind::DateTime: return dateTimeText(d_);
    case Kind::Text: return text_;
  }
  return {};
}

double Value::toFloat() const {
  switch (kind_) {
    case Kind::Empty: return 0;
    case Kind::Null: throw EConvertError("Null cannot be converted to a number");
    case Kind::Boolean:
    case Kind::ShortInt:
    case Kind::SmallInt:
    case Kind::Integer: return i_;
    case Kind::Currency: return static_cast<double>(c_) / 10000.0;
    case Kind::Float:
    case Kind::DateTime: return d_;
    case Kind::Text: return textToFloat(text_);
  }
  return 0;
}

namespace {

[[noreturn]] void outOfIntegerRange(double v) {
  throw EConvertError(formatFloatGeneral(v) + " is outside the integer range");
}

std::int32_t floatToInt32(double v) {
  if (!(v >= -2147483648.0 && v < 2147483648.0)) outOfIntegerRange(v);
  return static_cast<std::int32_t>(v);
}

}  // namespace

std::int32_t Value::toInteger() const {
  switch (kind_) {
    case Kind::Boolean:
    case Kind::ShortInt:
    case Kind::SmallInt:
    case Kind::Integer: return i_;
    default: return floatToInt32(std::nearbyint(toFloat()));
  }
}

// ---- operators ----

namespace {

enum class NumKind { Int, Currency, Float, DateTime };

struct Num {
  NumKind kind;
  std::int64_t i;  // Int, Currency (scaled)
  double d;        // Float, DateTime
  double asDouble() const {
    switch (kind) {
      case NumKind::Int: return static_cast<double>(i);
      case NumKind::Currency: return static_cast<double>(i) / 10000.0;
      default: return d;
    }
  }
};

// Any non-Null value as a number for arithmetic.
Num toNum(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Empty: return {NumKind::Int, 0, 0};
    case Value::Kind::Boolean:
    case Value::Kind::ShortInt:
    case Value::Kind::SmallInt:
    case Value::Kind::Integer: return {NumKind::Int, v.integer(), 0};
    case Value::Kind::Currency: return {NumKind::Currency, v.currencyScaled(), 0};
    case Value::Kind::Float: return {NumKind::Float, 0, v.number()};
    case Value::Kind::DateTime: return {NumKind::DateTime, 0, v.number()};
    case Value::Kind::Text: return {NumKind::Float, 0, textToFloat(v.text())};
    case Value::Kind::Null: break;
  }
  throw EConvertError("Null cannot be converted to a number");
}

Value fromInt64(std::int64_t r) {
  if (r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max())
    return Value(static_cast<std::int32_t>(r));
  return Value(static_cast<double>(r));
}

enum class Op { Add, Sub, Mul };

Value arithmetic(Op op, const Value& a, const Value& b) {
  if (a.isNull() || b.isNull()) return Value::null();
  const Num x = toNum(a);
  const Num y = toNum(b);
  if (x.kind == NumKind::Int && y.kind == NumKind::Int) {
    // Both come from 32-bit values, so the 64-bit result is exact.
    switch (op) {
      case Op::Add: return fromInt64(x.i + y.i);
      case Op::Sub: return fromInt64(x.i - y.i);
      case Op::Mul: return fromInt64(x.i * y.i);
    }
  }
  const bool xMoney = x.kind == NumKind::Currency || x.kind == NumKind::Int;
  const bool yMoney = y.kind == NumKind::Currency || y.kind == NumKind::Int;
  if (xMoney && yMoney) {
    const __int128 xs = x.kind == NumKind::Currency ? x.i : static_cast<__int128>(x.i) * 10000;
    const __int128 ys = y.kind == NumKind::Currency ? y.i : static_cast<__int128>(y.i) * 10000;
    __int128 r = 0;
    switch (op) {
      case Op::Add: r = xs + ys; break;
      case Op::Sub: r = xs - ys; break;
      case Op::Mul: {
        const __int128 p = xs * ys;  // at most about 2^126
        r = p / 10000;
        const __int128 rest = p % 10000;
        // Round half to even, as the scaled fixed-point type does.
        const __int128 twice = (rest < 0 ? -rest : rest) * 2;
        if (twice > 10000 || (twice == 10000 && (r % 2 != 0))) r += p < 0 ? -1 : 1;
        break;
      }
    }
    if (r >= std::numeric_limits<std::int64_t>::min() && r <= std::numeric_limits<std::int64_t>::max())
      return Value::currency(static_cast<std::int64_t>(r));
    return Value(static_cast<double>(r) / 10000.0);
  }
  const double xd = x.asDouble();
  const double yd = y.asDouble();
  const bool xDate = x.kind == NumKind::DateTime;
  const bool yDate = y.kind == NumKind::DateTime;
  switch (op) {
    case Op::Add:
      return (xDate || yDate) ? Value::dateTime(xd + yd) : Value(xd + yd);
    case Op::Sub:
      // A date minus a date is a span of days; a date moved by a number stays a date.
      return (xDate != yDate && xDate) ? Value::dateTime(xd - yd) : Value(xd - yd);
    case Op::Mul: return Value(xd * yd);
  }
  return Value();
}

bool textLike(const Value& v) { return v.isText() || v.isEmpty(); }

// Operands of MOD, AND and OR as 32-bit integers, floats truncated toward zero.
std::int32_t toInt32Truncated(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Empty: return 0;
    case Value::Kind::Boolean:
    case Value::Kind::ShortInt:
    case Value::Kind::SmallInt:
    case Value::Kind::Integer: return v.integer();
    default: return floatToInt32(std::trunc(toNum(v).asDouble()));
  }
}

}  // namespace

Value operator+(const Value& a, const Value& b) {
  if (a.isText() && b.isText()) return Value(a.text() + b.text());
  if (a.isText() && b.isEmpty()) return a;
  if (a.isEmpty() && b.isText()) return b;
  return arithmetic(Op::Add, a, b);
}

Value operator-(const Value& a, const Value& b) { return arithmetic(Op::Sub, a, b); }
Value operator*(const Value& a, const Value& b) { return arithmetic(Op::Mul, a, b); }

Value operator/(const Value& a, const Value& b) {
  if (!b.isNull() && toNum(b).asDouble() == 0) return Value(0);
  if (a.isNull() || b.isNull()) return Value::null();
  return Value(toNum(a).asDouble() / toNum(b).asDouble());
}

Value operator-(const Value& a) {
  switch (a.kind()) {
    case Value::Kind::Null: return a;
    case Value::Kind::Currency:
      if (a.currencyScaled() == std::numeric_limits<std::int64_t>::min())
        return Value(-(static_cast<double>(a.currencyScaled()) / 10000.0));
      return Value::currency(-a.currencyScaled());
    case Value::Kind::DateTime: return Value::dateTime(-a.number());
    default: {
      const Num n = toNum(a);
      if (n.kind == NumKind::Int) return fromInt64(-n.i);
      return Value(-n.asDouble());
    }
  }
}

Value modValues(const Value& a, const Value& b) {
  if (a.isNull() || b.isNull()) return Value::null();
  const std::int32_t x = toInt32Truncated(a);
  const std::int32_t y = toInt32Truncated(b);
  // A zero divisor gives 0 like division does; -1 always leaves no remainder (and would
  // overflow for the smallest integer).
  if (y == 0 || y == -1) return Value(0);
  return Value(x % y);
}

Value andValues(const Value& a, const Value& b) {
  if (a.isNull() || b.isNull()) return Value::null();
  if (a.kind() == Value::Kind::Boolean && b.kind() == Value::Kind::Boolean)
    return Value(a.boolean() && b.boolean());
  return Value(toInt32Truncated(a) & toInt32Truncated(b));
}

Value orValues(const Value& a, const Value& b) {
  if (a.isNull() || b.isNull()) return Value::null();
  if (a.kind() == Value::Kind::Boolean && b.kind() == Value::Kind::Boolean)
    return Value(a.boolean() || b.boolean());
  return Value(toInt32Truncated(a) | toInt32Truncated(b));
}

Ordering compareValues(const Value& a, const Value& b) {
  if (a.isNull() || b.isNull()) return a.isNull() && b.isNull() ? Ordering::Equal : Ordering::Unordered;
  if (textLike(a) && textLike(b)) {
    const int c = std::string_view(a.text()).compare(b.text());
    return c < 0 ? Ordering::Less : c > 0 ? Ordering::Greater : Ordering::Equal;
  }
  const Num x = toNum(a);
  const Num y = toNum(b);
  if (x.kind == y.kind && (x.kind == NumKind::Int || x.kind == NumKind::Currency))
    return x.i < y.i ? Ordering::Less : x.i > y.i ? Ordering::Greater : Ordering::Equal;
  const double xd = x.asDouble();
  const double yd = y.asDouble();
  if (xd < yd) return Ordering::Less;
  if (xd > yd) return Ordering::Greater;
  if (xd == yd) return Ordering::Equal;
  return Ordering::Unordered;
}

}  // namespace kelpo::report
