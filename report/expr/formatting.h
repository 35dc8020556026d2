// Value formatting for memo output: the display format code of a view, inline formats written
// after " #" in a bracketed piece, the blank-zero option, and the number and date-time pattern
// languages.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "report/expr/value.h"

namespace kelpo::report {

class TfrCurrentView;

// The display format integer: category in bits 24-27, variant 16-23, decimals 8-15 and the
// decimal separator character 0-7 (the last two for numbers only).
namespace format {
inline constexpr int kText = 0, kNumber = 1, kDate = 2, kTime = 3, kBoolean = 4;
inline constexpr int kCustom = 4;  // the variant that uses the format text
constexpr std::uint32_t make(int category, int variant, int decimals = 0, char separator = 0) {
  return (static_cast<std::uint32_t>(category & 0x0F) << 24) |
         (static_cast<std::uint32_t>(variant & 0xFF) << 16) |
         (static_cast<std::uint32_t>(decimals & 0xFF) << 8) | static_cast<std::uint8_t>(separator);
}
constexpr int category(std::uint32_t code) { return static_cast<int>((code >> 24) & 0x0F); }
constexpr int variant(std::uint32_t code) { return static_cast<int>((code >> 16) & 0xFF); }
constexpr int decimals(std::uint32_t code) { return static_cast<int>((code >> 8) & 0xFF); }
constexpr char separator(std::uint32_t code) { return static_cast<char>(code & 0xFF); }
}  // namespace format

// Names and separators the pattern languages print; engine text. The defaults are the Chinese
// locale's, fixed so that output does not depend on the machine.
struct FormatLocale {
  char thousandSeparator = ',';
  char dateSeparator = '-';
  char timeSeparator = ':';
  std::string longDateFormat;   // yyyy'年'm'月'd'日'
  std::string shortTimeFormat;  // hh:nn
  std::array<std::string, 12> shortMonthNames, longMonthNames;
  std::array<std::string, 7> shortDayNames, longDayNames;  // Sunday first
  std::string amText, pmText;                              // for "ampm"
};
FormatLocale& formatLocale();
// The names and separators of `locale`; the C locale (no locale chosen) gives the defaults.
FormatLocale formatLocaleOf(const QLocale& locale);
// Makes `locale` the one whose date, time, boolean and number texts the engine uses, for the
// value texts and for the pattern languages alike. Start-up installs the user's locale.
void InstallUserLocale(const QLocale& locale);

// The number pattern language: up to three sections (positive; negative; zero) separated by
// ';', digit placeholders 0 and #, ',' for thousands grouping, '.' for the decimal separator,
// E+ / E- with exponent digits, quoted literals. The output uses the current decimal separator.
// An empty pattern gives the general format.
std::string FormatFloatPattern(std::string_view pattern, double value);
// Fixed notation with exactly `decimals` digits (15 significant digits at most), optionally
// with thousands grouping; magnitudes of 1e15 and more fall back to the general format.
std::string FormatFloatFixed(double value, int decimals, bool grouped);

// The date-time pattern language: y yy yyyy, m mm mmm mmmm, d dd ddd dddd ddddd dddddd, h hh,
// n nn, s ss, z zzz, t tt, c, am/pm a/p ampm, '/' and ':' separators, quoted literals. An 'm'
// right after an hour means minutes. Raises EConvertError for dates outside years 1..9999.
std::string FormatDateTimePattern(std::string_view pattern, double dateTime);

// The predefined texts of the date, time and boolean variants, from the string table.
const std::string& PredefinedFormatText(int category, int variant);

// Text of a value under a display format; never fails: a value the format cannot take prints
// as its plain text form.
std::string FormatValue(const Value& value, std::uint32_t formatCode, std::string_view formatText);

// The text that replaces one bracketed piece of a memo: inline format, resolution of the name
// (ResolveVariable), blank-zero option of the view, formatting. `view` may be null (text
// format, no blank-zero). Resolution errors propagate.
std::string SubstituteValue(std::string_view piece, const TfrCurrentView* view);

}  // namespace kelpo::report
