#include "report/expr/formatting.h"

#include <QLocale>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/text.h"
#include "report/expr/engine_state.h"
#include "report/expr/engine_strings.h"
#include "report/expr/variables.h"

namespace kelpo::report {

// --- locale --------------------------------------------------------------------------------

namespace {

FormatLocale chineseFormatLocale() {
  FormatLocale l;
  l.longDateFormat = utf8ToEngine("yyyy'年'm'月'd'日'");
  l.shortTimeFormat = "hh:nn";
  static const char* const kLongMonths[] = {"一月", "二月", "三月", "四月", "五月",   "六月",
                                            "七月", "八月", "九月", "十月", "十一月", "十二月"};
  static const char* const kLongDays[] = {"星期日", "星期一", "星期二", "星期三",
                                          "星期四", "星期五", "星期六"};
  static const char* const kShortDays[] = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};
  for (int i = 0; i < 12; ++i) {
    l.shortMonthNames[static_cast<std::size_t>(i)] = std::to_string(i + 1) + utf8ToEngine("月");
    l.longMonthNames[static_cast<std::size_t>(i)] = utf8ToEngine(kLongMonths[i]);
  }
  for (int i = 0; i < 7; ++i) {
    l.shortDayNames[static_cast<std::size_t>(i)] = utf8ToEngine(kShortDays[i]);
    l.longDayNames[static_cast<std::size_t>(i)] = utf8ToEngine(kLongDays[i]);
  }
  l.amText = utf8ToEngine("上午");
  l.pmText = utf8ToEngine("下午");
  return l;
}

// A one-character ASCII separator of the locale, or `fallback`.
char asciiSeparator(const QString& text, char fallback) {
  return text.size() == 1 && text.at(0).unicode() < 0x80 && text.at(0).unicode() > ' '
             ? static_cast<char>(text.at(0).unicode())
             : fallback;
}

}  // namespace

FormatLocale& formatLocale() {
  static FormatLocale locale = chineseFormatLocale();
  return locale;
}

FormatLocale formatLocaleOf(const QLocale& locale) {
  FormatLocale l = chineseFormatLocale();
  if (locale.language() == QLocale::C) return l;
  l.thousandSeparator = asciiSeparator(locale.groupSeparator(), l.thousandSeparator);
  const std::string shortDate = qtDateTimePattern(locale.dateFormat(QLocale::ShortFormat), false);
  for (std::size_t i = 0; i < shortDate.size(); i += engineCharSize(shortDate, i)) {
    const char c = shortDate[i];
    if (c != ' ' && c != '\'' && static_cast<unsigned char>(c) < 0x80 && !std::isalpha(c)) {
      l.dateSeparator = c;
      break;
    }
  }
  l.longDateFormat = qtDateTimePattern(locale.dateFormat(QLocale::LongFormat), false);
  l.shortTimeFormat = qtDateTimePattern(locale.timeFormat(QLocale::ShortFormat), true);
  for (int i = 0; i < 12; ++i) {
    l.shortMonthNames[static_cast<std::size_t>(i)] =
        fromQString(locale.monthName(i + 1, QLocale::ShortFormat));
    l.longMonthNames[static_cast<std::size_t>(i)] = fromQString(locale.monthName(i + 1));
  }
  // Qt counts Monday as 1 and Sunday as 7; the lists start on Sunday.
  for (int i = 0; i < 7; ++i) {
    const int qtDay = i == 0 ? 7 : i;
    l.shortDayNames[static_cast<std::size_t>(i)] =
        fromQString(locale.dayName(qtDay, QLocale::ShortFormat));
    l.longDayNames[static_cast<std::size_t>(i)] = fromQString(locale.dayName(qtDay));
  }
  l.amText = fromQString(locale.amText());
  l.pmText = fromQString(locale.pmText());
  return l;
}

void InstallUserLocale(const QLocale& locale) {
  valueLocale() = valueLocaleOf(locale);
  formatLocale() = formatLocaleOf(locale);
}

// --- decimal digits ------------------------------------------------------------------------

namespace {

// |value| as significant digits d1 d2 ... (no trailing zeros; "" for zero) with the value
// being 0.d1d2... x 10^exponent.
struct Decimal {
  std::string digits;
  int exponent = 0;
  bool zero() const { return digits.empty(); }
};

Decimal toDecimal(double value, int significant) {
  Decimal d;
  value = std::fabs(value);
  if (value == 0 || !std::isfinite(value)) return d;
  if (significant < 1) significant = 1;
  if (significant > 17) significant = 17;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", significant - 1, value);
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
  d.exponent = (*p == 'e' ? std::atoi(p + 1) : 0) + 1;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.exponent = 0;
  return d;
}

// Rounds half away from zero so that at most `decimals` digits follow the decimal point.
void roundToDecimals(Decimal& d, int decimals) {
  if (d.zero()) return;
  const long keep = static_cast<long>(d.exponent) + decimals;
  if (keep < 0) {
    d = Decimal{};
    return;
  }
  if (keep >= static_cast<long>(d.digits.size())) return;
  const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
  d.digits.resize(static_cast<std::size_t>(keep));
  if (up) {
    std::size_t i = d.digits.size();
    for (;;) {
      if (i == 0) {
        d.digits.insert(d.digits.begin(), '1');
        ++d.exponent;
        break;
      }
      --i;
      if (d.digits[i] == '9') {
        d.digits[i] = '0';
      } else {
        ++d.digits[i];
        break;
      }
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.exponent = 0;
}

// Integer and fraction digits of a rounded decimal; the integer part is "" for values below 1.
void splitDigits(const Decimal& d, std::string& whole, std::string& fraction) {
  whole.clear();
  fraction.clear();
  if (d.zero()) return;
  if (d.exponent > 0) {
    const std::size_t n = static_cast<std::size_t>(d.exponent);
    whole = d.digits.substr(0, std::min(n, d.digits.size()));
    if (whole.size() < n) whole.append(n - whole.size(), '0');
    if (d.digits.size() > n) fraction = d.digits.substr(n);
  } else {
    fraction.assign(static_cast<std::size_t>(-d.exponent), '0');
    fraction += d.digits;
  }
}

void appendGrouped(std::string& out, const std::string& whole, bool grouped) {
  for (std::size_t i = 0; i < whole.size(); ++i) {
    out.push_back(whole[i]);
    const std::size_t left = whole.size() - i - 1;
    if (grouped && left > 0 && left % 3 == 0) out.push_back(formatLocale().thousandSeparator);
  }
}

bool isQuote(char c) { return c == '\'' || c == '"'; }

// The sections of a number pattern, split at ';' outside quotes.
std::vector<std::string_view> splitSections(std::string_view pattern) {
  std::vector<std::string_view> sections;
  std::size_t start = 0;
  char quote = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (isQuote(c)) {
      quote = c;
    } else if (c == ';') {
      sections.push_back(pattern.substr(start, i - start));
      start = i + 1;
      if (sections.size() == 2) break;  // the third section runs to the end
    }
  }
  sections.push_back(pattern.substr(start));
  return sections;
}

struct Section {
  int intPlaceholders = 0;
  int intMin = 0;
  int fracMin = 0;
  int fracMax = 0;
  bool grouped = false;
  bool scientific = false;
};

Section analyse(std::string_view s) {
  Section a;
  int firstZero = -1;
  bool afterPoint = false;
  char quote = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (isQuote(c)) {
      quote = c;
    } else if (c == '0' || c == '#') {
      if (afterPoint) {
        ++a.fracMax;
        if (c == '0') a.fracMin = a.fracMax;
      } else {
        if (c == '0' && firstZero < 0) firstZero = a.intPlaceholders;
        ++a.intPlaceholders;
      }
    } else if (c == '.') {
      afterPoint = true;
    } else if (c == ',') {
      a.grouped = true;
    } else if ((c == 'E' || c == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
      a.scientific = true;
      break;  // the zeros after the sign are exponent digits
    } else if (static_cast<unsigned char>(c) >= 0x80) {
      i += engineCharSize(s, i) - 1;
    }
  }
  a.intMin = firstZero < 0 ? 0 : a.intPlaceholders - firstZero;
  return a;
}

// Writes one section with the digits worked out; `exponent` only in scientific sections.
std::string emitSection(std::string_view s, const Section& a, const std::string& whole,
                        const std::string& fraction, int exponent) {
  std::string out;
  const char point = valueLocale().decimalSeparator;
  const int extra = static_cast<int>(whole.size()) - a.intPlaceholders;
  int intIndex = 0;
  int fracIndex = 0;
  bool afterPoint = false;
  bool wholeDone = false;
  const auto emitWholeDigit = [&](int index) {
    out.push_back(whole[static_cast<std::size_t>(index)]);
    const std::size_t left = whole.size() - static_cast<std::size_t>(index) - 1;
    if (a.grouped && !a.scientific && left > 0 && left % 3 == 0)
      out.push_back(formatLocale().thousandSeparator);
  };
  // A pattern without integer placeholders still shows the integer digits, before the point.
  const auto flushWhole = [&] {
    if (wholeDone) return;
    wholeDone = true;
    if (a.intPlaceholders == 0)
      for (int k = 0; k < static_cast<int>(whole.size()); ++k) emitWholeDigit(k);
  };
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (isQuote(c)) {
      const std::size_t close = s.find(c, i + 1);
      const std::size_t end = close == std::string_view::npos ? s.size() : close;
      out.append(s.substr(i + 1, end - i - 1));
      i = end;
      continue;
    }
    if (c == '0' || c == '#') {
      if (!afterPoint) {
        if (intIndex == 0 && extra > 0)
          for (int k = 0; k < extra; ++k) emitWholeDigit(k);
        const int d = intIndex + extra;
        if (d >= 0) emitWholeDigit(d);
        ++intIndex;
        if (intIndex == a.intPlaceholders) wholeDone = true;
      } else {
        if (fracIndex < static_cast<int>(fraction.size()))
          out.push_back(fraction[static_cast<std::size_t>(fracIndex)]);
        ++fracIndex;
      }
      continue;
    }
    if (c == '.') {
      if (!afterPoint) {
        flushWhole();
        afterPoint = true;
        if (!fraction.empty()) out.push_back(point);
      }
      continue;
    }
    if (c == ',') continue;
    if ((c == 'E' || c == 'e') && a.scientific && i + 1 < s.size() &&
        (s[i + 1] == '+' || s[i + 1] == '-')) {
      flushWhole();
      out.push_back(c);
      const bool always = s[i + 1] == '+';
      i += 2;
      int digits = 0;
      while (i < s.size() && s[i] == '0' && digits < 4) {
        ++digits;
        ++i;
      }
      if (exponent < 0)
        out.push_back('-');
      else if (always)
        out.push_back('+');
      std::string e = std::to_string(std::abs(exponent));
      if (static_cast<int>(e.size()) < digits) e.insert(0, digits - e.size(), '0');
      out += e;
      // The rest of the pattern after the exponent is copied as literals.
      for (; i < s.size(); ++i) {
        if (isQuote(s[i])) {
          const std::size_t close = s.find(s[i], i + 1);
          const std::size_t end = close == std::string_view::npos ? s.size() : close;
          out.append(s.substr(i + 1, end - i - 1));
          i = end;
        } else {
          out.push_back(s[i]);
        }
      }
      break;
    }
    const std::size_t size = engineCharSize(s, i);
    out.append(s.substr(i, size));
    i += size - 1;
  }
  flushWhole();
  return out;
}

// One section applied to a magnitude; `isZero` tells whether the printed digits are all zero.
std::string formatSection(std::string_view s, double magnitude, bool& isZero) {
  const Section a = analyse(s);
  std::string whole, fraction;
  int exponent = 0;
  if (a.scientific) {
    const int significant = std::max(1, a.intPlaceholders + a.fracMax);
    Decimal d = toDecimal(magnitude, std::min(significant, 15));
    isZero = d.zero();
    if (!d.zero()) exponent = d.exponent - a.intPlaceholders;
    std::string digits = d.digits;
    const std::size_t needed = static_cast<std::size_t>(a.intPlaceholders + a.fracMax);
    if (digits.size() < needed) digits.append(needed - digits.size(), '0');
    whole = digits.substr(0, static_cast<std::size_t>(a.intPlaceholders));
    fraction = digits.substr(static_cast<std::size_t>(a.intPlaceholders), a.fracMax);
  } else {
    Decimal d = toDecimal(magnitude, 15);
    roundToDecimals(d, a.fracMax);
    isZero = d.zero();
    splitDigits(d, whole, fraction);
    if (whole.size() < static_cast<std::size_t>(a.intMin))
      whole.insert(0, static_cast<std::size_t>(a.intMin) - whole.size(), '0');
    if (fraction.size() < static_cast<std::size_t>(a.fracMax))
      fraction.append(static_cast<std::size_t>(a.fracMax) - fraction.size(), '0');
  }
  while (static_cast<int>(fraction.size()) > a.fracMin && fraction.back() == '0')
    fraction.pop_back();
  return emitSection(s, a, whole, fraction, exponent);
}

}  // namespace

std::string FormatFloatPattern(std::string_view pattern, double value) {
  if (pattern.empty()) return formatFloatGeneral(value, 15);
  if (!std::isfinite(value)) return formatFloatGeneral(value, 15);
  const std::vector<std::string_view> sections = splitSections(pattern);
  const auto usable = [&](std::size_t i) { return i < sections.size() && !sections[i].empty(); };
  std::string_view chosen = sections[0];
  bool minus = false;
  if (value < 0) {
    if (usable(1))
      chosen = sections[1];
    else
      minus = true;
  } else if (value == 0 && usable(2)) {
    chosen = sections[2];
  }
  bool isZero = false;
  std::string out = formatSection(chosen, value, isZero);
  // A value that rounds to zero prints as zero: the zero section, and no sign.
  if (isZero && value != 0) {
    minus = false;
    if (usable(2))
      out = formatSection(sections[2], 0, isZero);
    else if (chosen != sections[0])
      out = formatSection(sections[0], 0, isZero);
  }
  return minus ? "-" + out : out;
}

std::string FormatFloatFixed(double value, int decimals, bool grouped) {
  if (!std::isfinite(value) || std::fabs(value) >= 1e15) return formatFloatGeneral(value, 15);
  decimals = std::clamp(decimals, 0, 18);
  Decimal d = toDecimal(value, 15);
  roundToDecimals(d, decimals);
  std::string whole, fraction;
  splitDigits(d, whole, fraction);
  if (whole.empty()) whole = "0";
  fraction.resize(static_cast<std::size_t>(decimals), '0');
  std::string out;
  if (value < 0 && !d.zero()) out.push_back('-');
  appendGrouped(out, whole, grouped);
  if (decimals > 0) {
    out.push_back(valueLocale().decimalSeparator);
    out += fraction;
  }
  return out;
}

// --- date-time patterns --------------------------------------------------------------------

namespace {

struct DateParts {
  int year = 0, month = 0, day = 0, dayOfWeek = 0;  // Sunday = 0
  int hour = 0, minute = 0, second = 0, msec = 0;
};

DateParts decompose(double dateTime) {
  DateParts p;
  if (!std::isfinite(dateTime) || dateTime < -693593.0 || dateTime >= 2958466.0)
    throw EConvertError("Invalid date-time value " + formatFloatGeneral(dateTime, 15));
  decodeDate(dateTime, p.year, p.month, p.day);
  decodeTime(dateTime, p.hour, p.minute, p.second, p.msec);
  p.dayOfWeek = dayOfWeek(dateTime);
  return p;
}

std::string twoDigits(int n) {
  std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool startsWithNoCase(std::string_view s, std::size_t at, std::string_view word) {
  if (s.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (lower(s[at + i]) != word[i]) return false;
  return true;
}

// Whether an am/pm marker follows in the pattern (outside quotes): the hour is then 12-hour.
bool twelveHourAhead(std::string_view s, std::size_t from) {
  char quote = 0;
  for (std::size_t i = from; i < s.size(); ++i) {
    const char c = s[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (isQuote(c)) {
      quote = c;
    } else if (startsWithNoCase(s, i, "am/pm") || startsWithNoCase(s, i, "a/p") ||
               startsWithNoCase(s, i, "ampm")) {
      return true;
    } else if (static_cast<unsigned char>(c) >= 0x80) {
      i += engineCharSize(s, i) - 1;
    }
  }
  return false;
}

void formatInto(std::string& out, std::string_view s, const DateParts& p, double dateTime,
                int depth) {
  const FormatLocale& loc = formatLocale();
  char lastToken = 0;
  const auto run = [&](std::size_t i) {
    std::size_t n = 1;
    while (i + n < s.size() && lower(s[i + n]) == lower(s[i])) ++n;
    return n;
  };
  for (std::size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (isQuote(c)) {
      const std::size_t close = s.find(c, i + 1);
      const std::size_t end = close == std::string_view::npos ? s.size() : close;
      out.append(s.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    char token = lower(c);
    if (token == 'm' && lastToken == 'h') token = 'n';
    if (token >= 'a' && token <= 'z') lastToken = token;
    switch (token) {
      case 'y': {
        const std::size_t n = run(i);
        std::string y = std::to_string(p.year);
        if (n <= 2)
          y = twoDigits(p.year % 100);
        else if (y.size() < 4)
          y.insert(0, 4 - y.size(), '0');
        out += y;
        i += n;
        continue;
      }
      case 'm': {
        const std::size_t n = run(i);
        const std::size_t m = static_cast<std::size_t>(p.month - 1);
        if (n == 1)
          out += std::to_string(p.month);
        else if (n == 2)
          out += twoDigits(p.month);
        else if (n == 3)
          out += loc.shortMonthNames[m];
        else
          out += loc.longMonthNames[m];
        i += n;
        continue;
      }
      case 'd': {
        const std::size_t n = run(i);
        const std::size_t w = static_cast<std::size_t>(p.dayOfWeek);
        if (n == 1)
          out += std::to_string(p.day);
        else if (n == 2)
          out += twoDigits(p.day);
        else if (n == 3)
          out += loc.shortDayNames[w];
        else if (n == 4)
          out += loc.longDayNames[w];
        else if (depth < 2)
          formatInto(out, n == 5 ? valueLocale().shortDateFormat : loc.longDateFormat, p, dateTime,
                     depth + 1);
        i += n;
        continue;
      }
      case 'h': {
        const std::size_t n = std::min<std::size_t>(run(i), 2);
        int h = p.hour;
        if (twelveHourAhead(s, i + n)) {
          h %= 12;
          if (h == 0) h = 12;
        }
        out += n == 1 ? std::to_string(h) : twoDigits(h);
        i += n;
        continue;
      }
      case 'n': {
        const std::size_t n = std::min<std::size_t>(run(i), 2);
        out += n == 1 ? std::to_string(p.minute) : twoDigits(p.minute);
        i += n;
        continue;
      }
      case 's': {
        const std::size_t n = std::min<std::size_t>(run(i), 2);
        out += n == 1 ? std::to_string(p.second) : twoDigits(p.second);
        i += n;
        continue;
      }
      case 'z': {
        const std::size_t n = run(i);
        std::string z = std::to_string(p.msec);
        if (n >= 3 && z.size() < 3) z.insert(0, 3 - z.size(), '0');
        out += z;
        i += std::min<std::size_t>(n, 3);
        continue;
      }
      case 't': {
        const std::size_t n = std::min<std::size_t>(run(i), 2);
        if (depth < 2)
          formatInto(out, n == 1 ? loc.shortTimeFormat : valueLocale().longTimeFormat, p, dateTime,
                     depth + 1);
        i += n;
        continue;
      }
      case 'c': {
        if (depth < 2) {
          formatInto(out, valueLocale().shortDateFormat, p, dateTime, depth + 1);
          if (p.hour || p.minute || p.second || p.msec) {
            out.push_back(' ');
            formatInto(out, valueLocale().longTimeFormat, p, dateTime, depth + 1);
          }
        }
        ++i;
        continue;
      }
      case 'a': {
        const bool pm = p.hour >= 12;
        if (startsWithNoCase(s, i, "am/pm")) {
          out.append(s.substr(pm ? i + 3 : i, 2));
          i += 5;
          continue;
        }
        if (startsWithNoCase(s, i, "a/p")) {
          out.push_back(s[pm ? i + 2 : i]);
          i += 3;
          continue;
        }
        if (startsWithNoCase(s, i, "ampm")) {
          out += pm ? loc.pmText : loc.amText;
          i += 4;
          continue;
        }
        out.push_back(c);
        ++i;
        continue;
      }
      default:
        break;
    }
    if (c == '/') {
      out.push_back(loc.dateSeparator);
      ++i;
    } else if (c == ':') {
      out.push_back(loc.timeSeparator);
      ++i;
    } else {
      const std::size_t size = engineCharSize(s, i);
      out.append(s.substr(i, size));
      i += size;
    }
  }
}

}  // namespace

std::string FormatDateTimePattern(std::string_view pattern, double dateTime) {
  const DateParts parts = decompose(dateTime);
  std::string out;
  // No pattern at all prints the date, and the time when there is one.
  formatInto(out, pattern.empty() ? std::string_view("c") : pattern, parts, dateTime, 0);
  return out;
}

// --- FormatValue ---------------------------------------------------------------------------

const std::string& PredefinedFormatText(int category, int variant) {
  static const std::string kNone;
  // Loaded once; the variant 3 date is the locale's long date and has no text of its own.
  static const std::array<std::array<std::string, 4>, 3> kTexts = [] {
    std::array<std::array<std::string, 4>, 3> t;
    for (int v = 0; v < 4; ++v) {
      t[0][static_cast<std::size_t>(v)] = frLoadStr(55175 + v);
      t[1][static_cast<std::size_t>(v)] = frLoadStr(55179 + v);
      t[2][static_cast<std::size_t>(v)] = frLoadStr(55170 + v);
    }
    return t;
  }();
  if (variant < 0 || variant > 3) return kNone;
  switch (category) {
    case format::kDate:
      return kTexts[0][static_cast<std::size_t>(variant)];
    case format::kTime:
      return kTexts[1][static_cast<std::size_t>(variant)];
    case format::kBoolean:
      return kTexts[2][static_cast<std::size_t>(variant)];
    default:
      return kNone;
  }
}

namespace {

bool blank(const std::string& text) {
  for (unsigned char c : text)
    if (c > ' ') return false;
  return true;
}

// The value as a date-time: numbers directly, texts parsed as date, date and time, or time.
double asDateTime(const Value& value) {
  if (!value.isText()) return value.toFloat();
  const std::string& text = value.text();
  try {
    return textToDate(text);
  } catch (const EConvertError&) {
  }
  const std::size_t space = text.find(' ');
  if (space != std::string::npos) {
    try {
      const double day = textToDate(text.substr(0, space));
      const double time = textToTime(text.substr(space + 1));
      return day < 0 ? day - time : day + time;
    } catch (const EConvertError&) {
    }
  }
  return textToTime(text);
}

// Puts the program-wide decimal separator back however formatting ends.
struct SeparatorGuard {
  char saved = valueLocale().decimalSeparator;
  ~SeparatorGuard() { valueLocale().decimalSeparator = saved; }
};

std::string formatNumber(const Value& value, std::uint32_t code, std::string_view text) {
  const double number = value.toFloat();
  const int decimals = format::decimals(code);
  const std::string hashes(static_cast<std::size_t>(decimals), '#');
  switch (format::variant(code)) {
    case 0:
      return FormatFloatPattern("##0." + hashes, number);
    case 1:
      return FormatFloatFixed(number, decimals, false);
    case 2:
      return FormatFloatPattern("#,##0." + hashes, number);
    case 3:
      return FormatFloatFixed(number, decimals, true);
    case 4:
      return FormatFloatPattern(text, number);
    default:
      return value.toText();
  }
}

std::string formatCategory(const Value& value, std::uint32_t code, std::string_view text) {
  const int variant = format::variant(code);
  switch (format::category(code)) {
    case format::kText:
      return value.toText();
    case format::kNumber: {
      // A separator byte of 0 would put a NUL into the text: keep the current one then.
      if (format::separator(code) != 0) valueLocale().decimalSeparator = format::separator(code);
      return formatNumber(value, code, text);
    }
    case format::kDate:
      if (variant == 4) return FormatDateTimePattern(text, asDateTime(value));
      if (variant == 3)
        return FormatDateTimePattern(formatLocale().longDateFormat, asDateTime(value));
      if (variant > 4) return value.toText();
      return FormatDateTimePattern(PredefinedFormatText(format::kDate, variant), asDateTime(value));
    case format::kTime:
      if (variant == 4) return FormatDateTimePattern(text, asDateTime(value));
      if (variant > 4) return value.toText();
      return FormatDateTimePattern(PredefinedFormatText(format::kTime, variant), asDateTime(value));
    case format::kBoolean: {
      if (variant > 4) return value.toText();
      const std::string_view choices =
          variant == 4 ? text : std::string_view(PredefinedFormatText(format::kBoolean, variant));
      const std::size_t semicolon = choices.find(';');
      if (value.toInteger() == 0)
        return semicolon == std::string_view::npos ? std::string()
                                                   : std::string(choices.substr(0, semicolon));
      const std::string_view rest =
          semicolon == std::string_view::npos ? choices : choices.substr(semicolon + 1);
      return std::string(engineCut(rest, 255));
    }
    default:
      return {};
  }
}

}  // namespace

std::string FormatValue(const Value& value, std::uint32_t formatCode, std::string_view formatText) {
  if (value.isEmpty() || value.isNull()) return {};
  if (value.isText() && blank(value.text())) return {};
  try {
    SeparatorGuard guard;
    return formatCategory(value, formatCode, formatText);
  } catch (const Error&) {
    return value.toText();
  }
}

// --- SubstituteValue -----------------------------------------------------------------------

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Applies an inline format (the text after " #") to `code` and `text`.
void applyInlineFormat(std::string spec, std::uint32_t& code, std::string& text) {
  if (!spec.empty() && isDigit(spec[0])) spec.insert(spec.begin(), 'N');
  const char first = spec.empty() ? '\0' : spec[0];
  switch (first) {
    case 'N':
    case 'n': {
      const bool fixed = spec.size() > 1 && isDigit(spec[1]);
      code = format::make(format::kNumber, fixed ? 1 : 0);
      // The rightmost ',', '-' or '.' is the decimal separator of the output.
      std::size_t sep = std::string::npos;
      for (std::size_t i = spec.size(); i-- > 1;) {
        if (spec[i] == ',' || spec[i] == '-' || spec[i] == '.') {
          sep = i;
          break;
        }
      }
      if (sep != std::string::npos) {
        code |= static_cast<std::uint8_t>(spec[sep]);
        spec[sep] = '.';
        if (fixed) {
          int decimals = 0;
          for (std::size_t i = sep + 1; i < spec.size() && isDigit(spec[i]); ++i)
            decimals = std::min(decimals * 10 + (spec[i] - '0'), 255);
          code |= static_cast<std::uint32_t>(decimals) << 8;
        }
      }
      if (!fixed) {
        text = spec.substr(1);
        code = (code & ~0x00FF0000u) | (static_cast<std::uint32_t>(format::kCustom) << 16);
      }
      return;
    }
    case 'B':
    case 'b':
      code = format::make(format::kBoolean, format::kCustom);
      text = spec.substr(1);
      return;
    case 'D':
    case 'd':
    case 'T':
    case 't':
      code = format::make(format::kDate, format::kCustom);
      text = spec.substr(1);
      return;
    default:
      text = spec;
      return;
  }
}

}  // namespace

std::string SubstituteValue(std::string_view piece, const TfrCurrentView* view) {
  TfrEngineState& state = frEngine();
  state.nameUnderEvaluation.clear();
  std::uint32_t code = view ? view->FormatCode() : 0;
  std::string text = view ? view->FormatText() : std::string();
  std::string name(piece);
  const std::size_t mark = name.find(" #");
  if (mark != std::string::npos) {
    applyInlineFormat(name.substr(mark + 2), code, text);
    name.resize(mark);
  }
  state.currentVariable = name;
  state.value = Value(0);
  Value value;
  ResolveVariable(name, value);
  state.value = value;
  if (view && view->HideZeros() && !value.isText()) {
    try {
      if (compareValues(value, Value(0)) == Ordering::Equal) value = Value(std::string());
    } catch (const Error&) {
      // A value that cannot be compared with 0 is simply not blanked.
    }
  }
  if (state.aggregateCollection) return {};
  return FormatValue(value, code, text);
}

}  // namespace kelpo::report
