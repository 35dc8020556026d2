#include "report/expr/function_library.h"

#include <QInputDialog>
#include <algorithm>
#include <typeindex>

#include "platform/message_box.h"
#include "platform/text.h"
#include "report/expr/formatting.h"
#include "report/expr/names.h"
#include "report/expr/parser.h"

namespace kelpo::report {

namespace {

std::vector<std::unique_ptr<TfrFunctionLibrary>>& libraries() {
  static std::vector<std::unique_ptr<TfrFunctionLibrary>> list;
  return list;
}
std::vector<std::type_index>& libraryTypes() {
  static std::vector<std::type_index> list;
  return list;
}

Value evaluate(const Value& parameter) { return frParser().Evaluate(parameter.toText()); }
std::string text(const Value& parameter) { return evaluate(parameter).toText(); }

// A date parameter: a date-time or number as it is, a text read as a date.
double dateOf(const Value& parameter) {
  const Value v = evaluate(parameter);
  if (v.isText()) return textToDate(v.text());
  return v.toFloat();
}

std::size_t characterCount(std::string_view s) {
  std::size_t n = 0;
  for (std::size_t p = 0; p < s.size(); p += engineCharSize(s, p)) ++n;
  return n;
}

// Edit-mask formatting where the text holds only the characters typed (mask literals are not
// stored) and missing characters show as blanks: placeholders 0 9 # L l A a C c take the next
// character, \ quotes the next mask character, > < and <> switch case, anything else is a
// literal. A ';' ends the mask.
std::string formatMask(std::string_view mask, std::string_view value) {
  std::string out;
  std::size_t v = 0;
  int caseMode = 0;  // 1 upper, -1 lower
  for (std::size_t m = 0; m < mask.size(); m += engineCharSize(mask, m)) {
    const char c = mask[m];
    if (c == ';') break;
    if (c == '\\' && m + 1 < mask.size()) {
      ++m;
      out.append(mask.substr(m, engineCharSize(mask, m)));
      continue;
    }
    if (c == '>') {
      caseMode = 1;
      continue;
    }
    if (c == '<') {
      caseMode = m + 1 < mask.size() && mask[m + 1] == '>' ? 0 : -1;
      if (caseMode == 0) ++m;
      continue;
    }
    if (std::string_view("09#LlAaCc").find(c) == std::string_view::npos) {
      out.append(mask.substr(m, engineCharSize(mask, m)));
      continue;
    }
    if (v >= value.size()) {
      out += ' ';
      continue;
    }
    const std::size_t size = engineCharSize(value, v);
    std::string ch(value.substr(v, size));
    v += size;
    if (caseMode != 0) {
      const QString q = toQString(ch);
      ch = fromQString(caseMode > 0 ? q.toUpper() : q.toLower());
    }
    out += ch;
  }
  return out;
}

QMessageBox::StandardButtons buttonsOf(int flags) {
  switch (flags & 0x0F) {
    case 1:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case 2:
      return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case 3:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case 4:
      return QMessageBox::Yes | QMessageBox::No;
    case 5:
      return QMessageBox::Retry | QMessageBox::Cancel;
    default:
      return QMessageBox::Ok;
  }
}

MessageIcon iconOf(int flags) {
  switch (flags & 0xF0) {
    case 0x10:
      return MessageIcon::Critical;
    case 0x20:
      return MessageIcon::Question;
    case 0x30:
      return MessageIcon::Warning;
    case 0x40:
      return MessageIcon::Information;
    default:
      return MessageIcon::None;
  }
}

// The button as the mr constants number it.
int modalResultOf(QMessageBox::StandardButton b) {
  switch (b) {
    case QMessageBox::Ok:
      return 1;
    case QMessageBox::Cancel:
      return 2;
    case QMessageBox::Abort:
      return 3;
    case QMessageBox::Retry:
      return 4;
    case QMessageBox::Ignore:
      return 5;
    case QMessageBox::Yes:
      return 6;
    case QMessageBox::No:
      return 7;
    default:
      return 0;
  }
}

enum Std {
  fnAvg,
  fnCount,
  fnDayOf,
  fnFormatDateTime,
  fnFormatFloat,
  fnFormatText,
  fnInput,
  fnLength,
  fnLowerCase,
  fnMax,
  fnMaxNum,
  fnMessageBox,
  fnMin,
  fnMinNum,
  fnMonthOf,
  fnNameCase,
  fnPos,
  fnSum,
  fnTrim,
  fnUpperCase,
  fnYearOf
};

}  // namespace

bool TfrFunctionLibrary::TryCall(const std::string& name, const Value& p1, const Value& p2,
                                 const Value& p3, Value& result) {
  const std::string upper = upperName(name);
  const auto it = std::find(List.begin(), List.end(), upper);
  if (it == List.end()) return false;
  CallByIndex(static_cast<int>(it - List.begin()), p1, p2, p3, result);
  return true;
}

void TfrFunctionLibrary::Describe(const std::string& name, const std::string& category,
                                  const std::string& description) {
  if (category.empty()) return;
  auto& all = TfrInstalledFunctions();
  for (const TfrFunctionDesc& d : all)
    if (sameName(d.name, name)) return;
  all.push_back({this, name, category, description});
}

std::vector<TfrFunctionDesc>& TfrInstalledFunctions() {
  static std::vector<TfrFunctionDesc> list;
  return list;
}

const std::vector<std::unique_ptr<TfrFunctionLibrary>>& frLibraries() { return libraries(); }

bool frRegisterFunctionLibrary(const std::type_info& type,
                               const std::function<std::unique_ptr<TfrFunctionLibrary>()>& make) {
  auto& types = libraryTypes();
  if (std::find(types.begin(), types.end(), std::type_index(type)) != types.end()) return false;
  if (types.size() >= kMaxLibraries) return false;
  libraries().push_back(make());
  types.emplace_back(type);
  return true;
}

void frUnregisterFunctionLibrary(const std::type_info& type) {
  auto& types = libraryTypes();
  const auto it = std::find(types.begin(), types.end(), std::type_index(type));
  if (it == types.end()) return;
  const std::size_t i = static_cast<std::size_t>(it - types.begin());
  TfrFunctionLibrary* library = libraries()[i].get();
  auto& descriptions = TfrInstalledFunctions();
  descriptions.erase(std::remove_if(descriptions.begin(), descriptions.end(),
                                    [&](const TfrFunctionDesc& d) { return d.library == library; }),
                     descriptions.end());
  libraries().erase(libraries().begin() + static_cast<std::ptrdiff_t>(i));
  types.erase(it);
}

bool frCallLibraries(const std::string& name, const Value& p1, const Value& p2, const Value& p3,
                     Value& result) {
  for (const auto& library : libraries())
    if (library->TryCall(name, p1, p2, p3, result)) return true;
  return false;
}

TfrAggregateHandler& frAggregateHandler() {
  static TfrAggregateHandler handler;
  return handler;
}

TfrInputHook& frInputHook() {
  static TfrInputHook hook;
  return hook;
}

TfrStdFunctionLibrary::TfrStdFunctionLibrary() {
  List = {"AVG",        "COUNT",      "DAYOF",  "FORMATDATETIME", "FORMATFLOAT",
          "FORMATTEXT", "INPUT",      "LENGTH", "LOWERCASE",      "MAX",
          "MAXNUM",     "MESSAGEBOX", "MIN",    "MINNUM",         "MONTHOF",
          "NAMECASE",   "POS",        "SUM",    "TRIM",           "UPPERCASE",
          "YEAROF"};
}

void TfrStdFunctionLibrary::CallByIndex(int index, const Value& p1, const Value& p2,
                                        const Value& p3, Value& result) {
  auto aggregateCall = [&](char code) {
    if (frAggregateHandler()) frAggregateHandler()(code, p1, p2, p3, result);
  };
  switch (index) {
    case fnAvg:
      aggregateCall(aggregate::kAvg);
      break;
    case fnCount:
      aggregateCall(aggregate::kCount);
      break;
    case fnMax:
      aggregateCall(aggregate::kMax);
      break;
    case fnMin:
      aggregateCall(aggregate::kMin);
      break;
    case fnSum:
      aggregateCall(aggregate::kSum);
      break;
    case fnDayOf:
      result = Value(textToInteger(FormatDateTimePattern("d", dateOf(p1))));
      break;
    case fnMonthOf:
      result = Value(textToInteger(FormatDateTimePattern("m", dateOf(p1))));
      break;
    case fnYearOf:
      result = Value(textToInteger(FormatDateTimePattern("yyyy", dateOf(p1))));
      break;
    case fnFormatDateTime: {
      const std::string pattern = text(p1);
      result = Value(FormatDateTimePattern(pattern, dateOf(p2)));
      break;
    }
    case fnFormatFloat: {
      const std::string pattern = text(p1);
      result = Value(FormatFloatPattern(pattern, evaluate(p2).toFloat()));
      break;
    }
    case fnFormatText: {
      const std::string mask = text(p1);
      result = Value(formatMask(mask, text(p2)));
      break;
    }
    case fnInput: {
      const std::string prompt = text(p1), def = text(p2);
      if (frInputHook()) {
        result = Value(frInputHook()(prompt, def));
      } else {
        bool ok = false;
        const QString entered = QInputDialog::getText(nullptr, QString(), toQString(prompt),
                                                      QLineEdit::Normal, toQString(def), &ok);
        result = Value(ok ? fromQString(entered) : def);
      }
      break;
    }
    case fnLength:
      result = Value(static_cast<std::int32_t>(characterCount(text(p1))));
      break;
    case fnLowerCase:
      result = Value(fromQString(toQString(text(p1)).toLower()));
      break;
    case fnUpperCase:
      result = Value(fromQString(toQString(text(p1)).toUpper()));
      break;
    case fnNameCase: {
      QString q = toQString(text(p1)).toLower();
      if (!q.isEmpty()) q[0] = q[0].toUpper();
      result = Value(fromQString(q));
      break;
    }
    case fnMaxNum:
    case fnMinNum: {
      const Value a = evaluate(p1), b = evaluate(p2);
      const Ordering o = compareValues(a, b);
      const bool takeA = index == fnMaxNum ? o == Ordering::Greater : o == Ordering::Less;
      result = takeA ? a : b;
      break;
    }
    case fnMessageBox: {
      const std::string message = text(p1), caption = text(p2);
      const int flags = evaluate(p3).toInteger();
      result = Value(modalResultOf(
          messageBox(toQString(message), toQString(caption), iconOf(flags), buttonsOf(flags))));
      break;
    }
    case fnPos: {
      const std::string part = text(p1), whole = text(p2);
      std::int32_t position = 0;
      if (!part.empty()) {
        std::int32_t n = 1;
        for (std::size_t p = 0; p < whole.size(); p += engineCharSize(whole, p), ++n) {
          if (whole.compare(p, part.size(), part) == 0) {
            position = n;
            break;
          }
        }
      }
      result = Value(position);
      break;
    }
    case fnTrim:
      result = Value(std::string(trimBlanks(text(p1))));
      break;
    default:
      break;
  }
}

}  // namespace kelpo::report
