#include "report/expr/variables.h"

#include <algorithm>
#include <cstdint>

#include "platform/text.h"
#include "report/expr/dictionary.h"
#include "report/expr/engine_state.h"
#include "report/expr/names.h"
#include "report/expr/parser.h"

namespace kelpo::report {

// --- TfrVariables --------------------------------------------------------------------------

std::size_t TfrVariables::lowerBound(const std::string& key) const {
  auto it = std::lower_bound(items_.begin(), items_.end(), key,
                             [](const Item& item, const std::string& k) { return item.key < k; });
  return static_cast<std::size_t>(it - items_.begin());
}

int TfrVariables::indexOfKey(const std::string& key) const {
  if (sorted_) {
    const std::size_t at = lowerBound(key);
    return at < items_.size() && items_[at].key == key ? static_cast<int>(at) : -1;
  }
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].key == key) return static_cast<int>(i);
  return -1;
}

int TfrVariables::IndexOf(std::string_view name) const { return indexOfKey(upperName(name)); }

const Value* TfrVariables::Find(std::string_view name) const {
  const int i = IndexOf(name);
  return i < 0 ? nullptr : &items_[static_cast<std::size_t>(i)].value;
}

void TfrVariables::Add(std::string_view name, Value value) {
  std::string key = upperName(name);
  if (!sorted_) {
    items_.push_back(Item{std::move(key), std::string(name), std::move(value)});
    return;
  }
  const std::size_t at = lowerBound(key);
  if (at < items_.size() && items_[at].key == key) return;
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at),
                Item{std::move(key), std::string(name), std::move(value)});
}

void TfrVariables::SetVariable(std::string_view name, Value value) {
  const int i = IndexOf(name);
  if (i >= 0) {
    items_[static_cast<std::size_t>(i)].value = std::move(value);
    return;
  }
  Add(name, std::move(value));
}

Value TfrVariables::GetVariable(std::string_view name) const {
  const Value* v = Find(name);
  return v ? *v : Value::null();
}

Value TfrVariables::GetValueAt(int index) const {
  if (index < 0 || index >= Count()) return Value(0);
  return items_[static_cast<std::size_t>(index)].value;
}

void TfrVariables::SetValueAt(int index, Value value) {
  if (index < 0 || index >= Count()) return;
  items_[static_cast<std::size_t>(index)].value = std::move(value);
}

std::string TfrVariables::GetNameAt(int index) const {
  if (index < 0 || index >= Count()) return {};
  return items_[static_cast<std::size_t>(index)].name;
}

const std::string& TfrVariables::NameAt(int index) const {
  static const std::string kNone;
  if (index < 0 || index >= Count()) return kNone;
  return items_[static_cast<std::size_t>(index)].name;
}

void TfrVariables::SetNameAt(int index, std::string_view name) {
  if (index < 0 || index >= Count()) return;
  Item& item = items_[static_cast<std::size_t>(index)];
  item.name = std::string(name);
  item.key = upperName(name);
  // A renamed entry must move to its place, or later binary searches would miss it.
  if (sorted_) SetSorted(true);
}

void TfrVariables::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
}

void TfrVariables::SetSorted(bool sorted) {
  sorted_ = sorted;
  if (sorted_)
    std::stable_sort(items_.begin(), items_.end(),
                     [](const Item& a, const Item& b) { return a.key < b.key; });
}

// --- program-wide lists --------------------------------------------------------------------

TfrVariables& ScriptVariables() {
  static TfrVariables list = [] {
    TfrVariables l;
    l.SetSorted(true);
    return l;
  }();
  return list;
}

namespace {

void fillConstants(TfrVariables& c) {
  struct Named {
    const char* name;
    std::uint32_t value;
  };
  static const Named kColours[] = {
      {"clWhite", 0xFFFFFF},  {"clBlack", 0x000000},         {"clMaroon", 0x000080},
      {"clGreen", 0x008000},  {"clOlive", 0x008080},         {"clNavy", 0x800000},
      {"clPurple", 0x800080}, {"clTeal", 0x808000},          {"clGray", 0x808080},
      {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},           {"clLime", 0x00FF00},
      {"clYellow", 0x00FFFF}, {"clBlue", 0xFF0000},          {"clFuchsia", 0xFF00FF},
      {"clAqua", 0xFFFF00},   {"clTransparent", 0x1FFFFFFF},
  };
  for (const Named& n : kColours) c.SetVariable(n.name, Value(static_cast<std::int32_t>(n.value)));
  static const char* const kSystemColours[] = {
      "clScrollBar",    "clBackground",  "clActiveCaption", "clInactiveCaption",
      "clMenu",         "clWindow",      "clWindowFrame",   "clMenuText",
      "clWindowText",   "clCaptionText", "clActiveBorder",  "clInactiveBorder",
      "clAppWorkSpace", "clHighlight",   "clHighlightText", "clBtnFace",
      "clBtnShadow",    "clGrayText",    "clBtnText",       "clInactiveCaptionText",
      "clBtnHighlight", "cl3DDkShadow",  "cl3DLight",       "clInfoText",
      "clInfoBk"};
  std::uint32_t system = 0xFF000000u;
  for (const char* name : kSystemColours)
    c.SetVariable(name, Value(static_cast<std::int32_t>(system++)));

  static const std::pair<const char*, int> kNumbers[] = {
      {"mrNone", 0},
      {"mrOk", 1},
      {"mrCancel", 2},
      {"mrYes", 6},
      {"mrNo", 7},
      {"fsBold", 2},
      {"fsItalic", 1},
      {"fsUnderline", 4},
      {"fsStrikeOut", 8},
      {"frftNone", 0},
      {"frftRight", 1},
      {"frftBottom", 2},
      {"frftLeft", 4},
      {"frftTop", 8},
      {"frtaLeft", 0},
      {"frtaRight", 1},
      {"frtaCenter", 2},
      {"frtaVertical", 4},
      {"frtaMiddle", 8},
      {"frtaDown", 16},
      {"baNone", 0},
      {"baLeft", 1},
      {"baRight", 2},
      {"baCenter", 3},
      {"baWidth", 4},
      {"baBottom", 5},
      {"baTop", 6},
      {"baRest", 7},
      {"psSolid", 0},
      {"psDash", 1},
      {"psDot", 2},
      {"psDashDot", 3},
      {"psDashDotDot", 4},
      {"psDouble", 5},
      {"mb_Ok", 0},
      {"mb_OkCancel", 1},
      {"mb_YesNo", 4},
      {"mb_YesNoCancel", 3},
      {"mb_IconError", 16},
      {"mb_IconQuestion", 32},
      {"mb_IconInformation", 64},
      {"mb_IconWarning", 48},
  };
  for (const auto& [name, value] : kNumbers) c.SetVariable(name, Value(value));
  c.SetVariable("CRLF", Value("\r\n"));
  c.SetVariable("Null", Value::null());
}

}  // namespace

TfrVariables& Constants() {
  static TfrVariables list = [] {
    TfrVariables l;
    l.SetSorted(true);
    fillConstants(l);
    return l;
  }();
  return list;
}

const std::vector<std::string>& SystemVariableNames() {
  static const std::vector<std::string> kNames = {
      "PAGE#",   "",         "DATE",       "TIME",          "LINE#",      "LINETHROUGH#",
      "COLUMN#", "CURRENT#", "TOTALPAGES", "REPORTCOMMENT", "REPORTNAME", "REPORTAUTOR",
      "VMAJOR",  "VMINOR",   "VRELEASE",   "VBUILD",        "REPORTDATE", "REPORTLASTCHANGE"};
  return kNames;
}

// --- resolution ----------------------------------------------------------------------------

namespace {

// VALUE, the system variables and CALCWIDTH, compared exactly (names arrive upper-cased from
// the parser, so `[page#]` in a memo reaches PAGE# through its second, parsed, attempt).
bool systemVariable(const std::string& name, Value& value) {
  const TfrEngineState& s = frEngine();
  static const TfrReportTexts kNoTexts;
  const TfrReportTexts& texts = s.report ? s.report->info : kNoTexts;
  if (name.empty()) return false;
  switch (name.front()) {
    case 'V':
      if (name == "VALUE") return value = s.value, true;
      if (name == "VMAJOR") return value = Value(texts.vMajor), true;
      if (name == "VMINOR") return value = Value(texts.vMinor), true;
      if (name == "VRELEASE") return value = Value(texts.vRelease), true;
      if (name == "VBUILD") return value = Value(texts.vBuild), true;
      return false;
    case 'P':
      if (name == "PAGE#") return value = Value(s.pageNo + 1), true;
      return false;
    case 'D':
      if (name == "DATE") return value = Value::dateTime(s.startDate), true;
      return false;
    case 'T':
      if (name == "TIME") return value = Value::dateTime(s.startTime), true;
      if (name == "TOTALPAGES") return value = Value(s.totalPages), true;
      return false;
    case 'L':
      if (name == "LINE#") return value = Value(s.lineNo), true;
      if (name == "LINETHROUGH#") return value = Value(s.lineThrough), true;
      return false;
    case 'C':
      if (name == "COLUMN#") return value = Value(s.column), true;
      if (name == "CURRENT#") return value = Value(s.current), true;
      if (name == "CALCWIDTH") return value = Value(s.view ? s.view->CalcWidth() : 0), true;
      return false;
    case 'R':
      if (name == "REPORTCOMMENT") return value = Value(texts.comment), true;
      if (name == "REPORTNAME") return value = Value(texts.name), true;
      if (name == "REPORTAUTOR") return value = Value(texts.author), true;
      if (name == "REPORTDATE") return value = Value::dateTime(texts.created), true;
      if (name == "REPORTLASTCHANGE") return value = Value::dateTime(texts.lastChange), true;
      return false;
    default:
      return false;
  }
}

// Clears the name under evaluation however the evaluation ends.
struct EvaluationName {
  explicit EvaluationName(const std::string& name) { frEngine().nameUnderEvaluation = name; }
  ~EvaluationName() { frEngine().nameUnderEvaluation.clear(); }
  EvaluationName(const EvaluationName&) = delete;
  EvaluationName& operator=(const EvaluationName&) = delete;
};

}  // namespace

void ResolveRuntimeValue(const std::string& name, Value& value) {
  TfrEngineState& s = frEngine();
  if (name == "CURY") return void(value = Value(s.curY));
  if (name == "FREESPACE") return void(value = Value(s.pageBottom - s.curY));
  if (name == "FINALPASS") return void(value = Value(s.finalPass));
  if (name == "PAGEHEIGHT") return void(value = Value(s.pageBottom));
  if (name == "PAGEWIDTH") return void(value = Value(s.pageRight));
  if (s.objectProperty && s.objectProperty(name, value)) return;
  if (const Value* constant = Constants().Find(name)) value = *constant;
}

void ResolveVariable(const std::string& name, Value& value) {
  TfrEngineState& s = frEngine();
  value = Value();
  if (s.report && s.report->OnGetValue) {
    s.report->OnGetValue(name, value);
    if (!value.isEmpty()) return;
  }
  value = Value(0);
  if (s.report && s.report->dictionary && s.report->dictionary->CanResolve(name)) {
    value = s.report->dictionary->Resolve(name);
    return;
  }
  if (systemVariable(name, value)) return;
  if (const Value* script = ScriptVariables().Find(name)) {
    value = *script;
    return;
  }
  value = Value();
  ResolveRuntimeValue(name, value);
  if (!value.isEmpty()) return;
  if (name != s.nameUnderEvaluation) {
    EvaluationName evaluating(name);
    value = frParser().Evaluate(name);
    return;
  }
  if (s.aggregateCollection) return;
  static const std::string kUndefined = utf8ToEngine("符号没定义");
  throw EParserError(kUndefined + " \"" + name + "\"");
}

}  // namespace kelpo::report
