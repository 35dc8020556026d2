// Named properties and methods of views and pages, as scripts and expressions reach them.
#include <cmath>

#include "report/core/band.h"
#include "report/core/page.h"
#include "report/core/view.h"
#include "report/expr/names.h"
#include "report/expr/parser.h"

namespace kelpo::report {

namespace {

bool asBool(const Value& v) {
  if (v.kind() == Value::Kind::Boolean) return v.boolean();
  if (v.isEmpty() || v.isNull()) return false;
  if (v.isText()) {
    if (sameName(v.text(), "TRUE")) return true;
    if (sameName(v.text(), "FALSE") || v.text().empty()) return false;
  }
  return v.toFloat() != 0;
}
std::uint32_t asColor(const Value& v) {
  double d = v.toFloat();
  if (!(d >= -4294967296.0 && d <= 4294967295.0)) return 0;
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(d));
}
float asWidth(const Value& v) {
  double d = v.toFloat();
  return d >= -1e30 && d <= 1e30 ? static_cast<float>(d) : 0.0f;
}
Value colorValue(std::uint32_t c) { return Value(static_cast<std::int32_t>(c)); }
Value intValue(std::int64_t i) { return Value(static_cast<std::int32_t>(i)); }

void setFlag(std::uint16_t& flags, std::uint16_t bit, bool on) {
  flags = static_cast<std::uint16_t>(on ? (flags | bit) : (flags & ~bit));
}

Value evaluate(const std::string& expression) { return frParser().Evaluate(expression); }

// List methods of a text property named `list` (upper case): SETINDEXPROPERTY and
// GETINDEXPROPERTY name the list in their first argument, the others are "<list>.<method>".
bool listMethod(TfrStrings& lines, const std::string& list, const std::string& method,
                const std::string& a1, const std::string& a2, const std::string& a3,
                Value& result) {
  if (method == "SETINDEXPROPERTY" || method == "GETINDEXPROPERTY") {
    if (upperName(a1) != list) return false;
    int i = evaluate(a2).toInteger();
    bool inRange = i >= 0 && i < static_cast<int>(lines.size());
    if (method == "GETINDEXPROPERTY") {
      result = inRange ? Value(lines[i]) : Value(std::string());
    } else if (inRange) {
      lines[i] = evaluate(a3).toText();
    }
    return true;
  }
  if (method.size() <= list.size() + 1 || method.compare(0, list.size(), list) != 0 ||
      method[list.size()] != '.')
    return false;
  std::string op = method.substr(list.size() + 1);
  if (op == "ADD") {
    lines.push_back(evaluate(a1).toText());
  } else if (op == "CLEAR") {
    lines.clear();
  } else if (op == "DELETE") {
    int i = evaluate(a1).toInteger();
    if (i >= 0 && i < static_cast<int>(lines.size())) lines.erase(lines.begin() + i);
  } else if (op == "INDEXOF") {
    std::string t = evaluate(a1).toText();
    int found = -1;
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i] == t) {
        found = static_cast<int>(i);
        break;
      }
    result = Value(found);
  } else {
    return false;
  }
  return true;
}

}  // namespace

TfrStrings splitLines(std::string_view text) {
  TfrStrings lines;
  if (text.empty()) return lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

std::string joinLines(const TfrStrings& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

// ---- TfrObject

void TfrObject::SetProperty(const std::string&, const Value&) {}
Value TfrObject::GetProperty(const std::string&) { return {}; }
Value TfrObject::CallMethod(const std::string&, const std::string&, const std::string&,
                            const std::string&) {
  return {};
}

const std::vector<TfrPropRec>& TfrObject::properties() {
  if (!propsBuilt_) {
    props_.clear();
    RegisterProperties();
    propsBuilt_ = true;
  }
  return props_;
}

bool TfrObject::hasProperty(const std::string& name) {
  for (const auto& p : properties())
    if (sameName(p.name, name)) return true;
  return false;
}

void TfrObject::addProperty(std::string name, std::uint16_t kind, std::string_view enumList) {
  TfrPropRec rec;
  rec.name = name.substr(0, 31);
  rec.kind = kind;
  if (!enumList.empty()) {
    rec.kind |= pkEnum;
    std::size_t start = 0;
    for (;;) {
      std::size_t semi = enumList.find(';', start);
      rec.enumNames.emplace_back(enumList.substr(start, semi - start));
      rec.enumValues.push_back(static_cast<int>(rec.enumValues.size()));
      if (semi == std::string_view::npos) break;
      start = semi + 1;
    }
  }
  props_.push_back(std::move(rec));
}

// ---- TfrView

void TfrView::registerViewProperties(bool band) {
  addProperty("Name", pkText | pkNameLike);
  addProperty("Left", pkSize);
  addProperty("Top", pkSize);
  addProperty("Width", pkSize);
  addProperty("Height", pkSize);
  addProperty("Flags", 0);
  addProperty("FrameTyp", 0);
  addProperty("FrameWidth", pkReal);
  addProperty("FrameColor", pkColor);
  addProperty("FrameStyle", 0, "psSolid;psDash;psDot;psDashDot;psDashDotDot;psDouble");
  addProperty("FillColor", pkColor);
  addProperty("Visible", pkBoolean);
  addProperty("GapX", pkSize);
  addProperty("GapY", pkSize);
  addProperty("Restrictions", 0);
  addProperty("Tag", pkText);
  addProperty("BandAlign", 0, "baNone;baLeft;baRight;baCenter;baWidth;baBottom;baTop;baRest");
  if (band) {
    addProperty("OnBeforePrint", pkText | pkEditor);
  } else {
    addProperty("Stretched", pkBoolean);
    addProperty("Memo", pkText | pkEditor);
    addProperty("Memo.Count", 0);
  }
}

void TfrView::RegisterProperties() { registerViewProperties(false); }

void TfrView::SetProperty(const std::string& rawName, const Value& v) {
  const std::string n = upperName(rawName);
  if (n == "NAME")
    name = v.toText();
  else if (n == "LEFT")
    x = v.toInteger();
  else if (n == "TOP")
    y = v.toInteger();
  else if (n == "WIDTH")
    dx = v.toInteger();
  else if (n == "HEIGHT")
    dy = v.toInteger();
  else if (n == "FLAGS")
    flags = static_cast<std::uint16_t>(v.toInteger());
  else if (n == "FRAMETYP")
    frameTyp = static_cast<std::uint16_t>(v.toInteger());
  else if (n == "FRAMEWIDTH")
    frameWidth = storableFrameWidth(asWidth(v));
  else if (n == "FRAMECOLOR")
    frameColor = asColor(v);
  else if (n == "FRAMESTYLE")
    frameStyle = static_cast<std::uint16_t>(v.toInteger());
  else if (n == "FILLCOLOR")
    fillColor = asColor(v);
  else if (n == "VISIBLE")
    visible = asBool(v);
  else if (n == "MEMO" || n == "DATAFIELD")
    memo = splitLines(v.toText());
  else if (n == "GAPX")
    gapX = v.toInteger();
  else if (n == "GAPY")
    gapY = v.toInteger();
  else if (n == "STRETCHED")
    setFlag(flags, flStretched, asBool(v));
  else if (n == "BANDALIGN")
    bandAlign = static_cast<std::uint8_t>(v.toInteger());
  else if (n == "TAG")
    tag = v.toText();
  else if (n == "RESTRICTIONS")
    restrictions = static_cast<std::uint16_t>(v.toInteger());
}

Value TfrView::GetProperty(const std::string& rawName) {
  const std::string n = upperName(rawName);
  if (n == "NAME") return Value(name);
  if (n == "LEFT") return Value(x);
  if (n == "TOP") return Value(y);
  if (n == "WIDTH") return Value(dx);
  if (n == "HEIGHT") return Value(dy);
  if (n == "FLAGS") return intValue(flags);
  if (n == "FRAMETYP") return intValue(frameTyp);
  if (n == "FRAMEWIDTH") return Value(static_cast<double>(frameWidth));
  if (n == "FRAMECOLOR") return colorValue(frameColor);
  if (n == "FRAMESTYLE") return intValue(frameStyle);
  if (n == "FILLCOLOR") return colorValue(fillColor);
  if (n == "VISIBLE") return Value(visible);
  if (n == "MEMO") return Value(joinLines(memo));
  if (n == "MEMO.COUNT") return intValue(static_cast<std::int64_t>(memo.size()));
  if (n == "GAPX") return Value(gapX);
  if (n == "GAPY") return Value(gapY);
  if (n == "STRETCHED") return Value((flags & flStretched) != 0);
  if (n == "BANDALIGN") return intValue(bandAlign);
  if (n == "DATAFIELD") return Value(memo.empty() ? std::string() : memo[0]);
  if (n == "TAG") return Value(tag);
  if (n == "RESTRICTIONS") return intValue(restrictions);
  return {};
}

Value TfrView::CallMethod(const std::string& rawName, const std::string& a1, const std::string& a2,
                          const std::string& a3) {
  const std::string n = upperName(rawName);
  if (n == "HIDE") {
    visible = false;
    return {};
  }
  if (n == "SHOW") {
    visible = true;
    return {};
  }
  Value result;
  listMethod(memo, "MEMO", n, a1, a2, a3, result);
  return result;
}

// ---- TfrMemoView

namespace {
struct FlagProp {
  const char* name;
  std::uint16_t bit;
};
const FlagProp kMemoFlags[] = {{"WORDWRAP", flWordWrap},         {"WORDBREAK", flWordBreak},
                               {"AUTOWIDTH", flAutoSize},        {"TEXTONLY", flTextOnly},
                               {"SUPPRESS", flSuppressRepeated}, {"HIDEZEROS", flHideZeros},
                               {"UNDERLINES", flUnderlines},     {"RTLREADING", flRTLReading}};
const char* const kMemoFlagNames[] = {"WordWrap", "WordBreak", "AutoWidth",  "TextOnly",
                                      "Suppress", "HideZeros", "Underlines", "RTLReading"};
}  // namespace

void TfrMemoView::RegisterProperties() {
  TfrView::RegisterProperties();
  addProperty("Font.Name", pkText);
  addProperty("Font.Size", pkSmallInt);
  addProperty("Font.Style", 0);
  addProperty("Font.Color", pkColor);
  addProperty("Font", pkEditor);
  addProperty("Alignment", 0);
  addProperty("Highlight", pkText | pkEditor);
  addProperty("LineSpacing", pkSize);
  addProperty("CharSpacing", pkSize);
  addProperty("DisplayFormat", pkEditor);
  for (const char* f : kMemoFlagNames) addProperty(f, pkBoolean);
  addProperty("Lines.Count", 0);
}

void TfrMemoView::SetProperty(const std::string& rawName, const Value& v) {
  const std::string n = upperName(rawName);
  for (const auto& f : kMemoFlags)
    if (n == f.name) return setFlag(flags, f.bit, asBool(v));
  if (n == "FONT.NAME")
    font.name = v.toText();
  else if (n == "FONT.SIZE")
    font.size = v.toInteger();
  else if (n == "FONT.STYLE")
    font.style = static_cast<std::uint16_t>(v.toInteger());
  else if (n == "FONT.COLOR")
    font.color = asColor(v);
  else if (n == "ALIGNMENT")
    alignment = static_cast<std::uint32_t>(v.toInteger());
  else if (n == "HIGHLIGHT")
    highlightCondition = v.toText();
  else if (n == "LINESPACING")
    lineSpacing = v.toInteger();
  else if (n == "CHARSPACING")
    characterSpacing = v.toInteger();
  else if (n == "DISPLAYFORMAT")
    format = v.toInteger();
  else if (n == "LINES")
    memo = splitLines(v.toText());
  else
    TfrView::SetProperty(rawName, v);
}

Value TfrMemoView::GetProperty(const std::string& rawName) {
  const std::string n = upperName(rawName);
  for (const auto& f : kMemoFlags)
    if (n == f.name) return Value((flags & f.bit) != 0);
  if (n == "FONT.NAME") return Value(font.name);
  if (n == "FONT.SIZE") return Value(font.size);
  if (n == "FONT.STYLE") return intValue(font.style);
  if (n == "FONT.COLOR") return colorValue(font.color);
  if (n == "ALIGNMENT") return intValue(alignment);
  if (n == "HIGHLIGHT") return Value(highlightCondition);
  if (n == "LINESPACING") return Value(lineSpacing);
  if (n == "CHARSPACING") return Value(characterSpacing);
  if (n == "DISPLAYFORMAT") return Value(format);
  if (n == "LINES") return Value(joinLines(memo));
  if (n == "LINES.COUNT") return intValue(static_cast<std::int64_t>(memo.size()));
  return TfrView::GetProperty(rawName);
}

Value TfrMemoView::CallMethod(const std::string& rawName, const std::string& a1,
                              const std::string& a2, const std::string& a3) {
  Value result;
  if (listMethod(memo, "LINES", upperName(rawName), a1, a2, a3, result)) return result;
  return TfrStretcheable::CallMethod(rawName, a1, a2, a3);
}

// ---- TfrBandView

namespace {
bool typeIn(int t, std::initializer_list<int> set) {
  for (int s : set)
    if (s == t) return true;
  return false;
}
bool typeInRange(int t, std::initializer_list<std::pair<int, int>> ranges) {
  for (auto [a, b] : ranges)
    if (t >= a && t <= b) return true;
  return false;
}
}  // namespace

void TfrBandView::RegisterProperties() {
  const int t = bandType();
  registerViewProperties(true);
  if (t != 3) {
    addProperty("ChildBand", pkText);
    addProperty("PrintChildIfInvisible", pkBoolean);
  }
  if (typeInRange(t, {{0, 2}, {4, 12}, {16, 18}, {21, 21}})) addProperty("Stretched", pkBoolean);
  if (!(typeInRange(t, {{2, 4}, {13, 15}}) || t == 7 || t == 10 || t >= 17))
    addProperty("FormNewPage", pkBoolean);
  if (typeIn(t, {5, 8})) addProperty("PrintIfSubsetEmpty", pkBoolean);
  if (typeInRange(t, {{0, 1}, {4, 12}, {16, 17}, {21, 21}})) addProperty("Breaked", pkBoolean);
  if (typeIn(t, {2, 3})) addProperty("OnFirstPage", pkBoolean);
  if (t == 3) addProperty("OnLastPage", pkBoolean);
  if (typeIn(t, {4, 7, 10, 16, 18})) addProperty("RepeatHeader", pkBoolean);
  if (typeIn(t, {5, 8, 11, 19})) addProperty("DataSource", pkText | pkEditor);
  if (typeIn(t, {5, 8, 11})) {
    addProperty("Columns", 0);
    addProperty("ColumnWidth", pkSize);
    addProperty("ColumnGap", pkSize);
  }
  if (t == 16) {
    addProperty("Condition", pkText | pkEditor);
    addProperty("Master", pkText);
  }
  addProperty("EOF", pkBoolean);
}

namespace {
const FlagProp kBandFlags[] = {{"FORMNEWPAGE", flBandNewPageAfter},
                               {"PRINTIFSUBSETEMPTY", flBandPrintifSubsetEmpty},
                               {"BREAKED", flBandBreaked},
                               {"ONFIRSTPAGE", flBandOnFirstPage},
                               {"ONLASTPAGE", flBandOnLastPage},
                               {"REPEATHEADER", flBandRepeatHeader},
                               {"PRINTCHILDIFINVISIBLE", flBandPrintChildIfInvisible},
                               {"STRETCHED", flStretched}};
// Properties that only some band types have; the others reach every band.
const char* const kTypedBandProps[] = {
    "CHILDBAND", "PRINTCHILDIFINVISIBLE", "STRETCHED",  "FORMNEWPAGE",  "PRINTIFSUBSETEMPTY",
    "BREAKED",   "ONFIRSTPAGE",           "ONLASTPAGE", "REPEATHEADER", "DATASOURCE",
    "COLUMNS",   "COLUMNWIDTH",           "COLUMNGAP",  "CONDITION",    "MASTER"};
bool typedBandProp(const std::string& n) {
  for (const char* p : kTypedBandProps)
    if (n == p) return true;
  return false;
}
}  // namespace

void TfrBandView::SetProperty(const std::string& rawName, const Value& v) {
  const std::string n = upperName(rawName);
  if (n == "FRAMETYP") clearProperties();  // the band type decides the table
  if (typedBandProp(n) && !hasProperty(n)) return;
  for (const auto& f : kBandFlags)
    if (n == f.name) return setFlag(flags, f.bit, asBool(v));
  if (n == "CHILDBAND")
    childBand = v.toText();
  else if (n == "MASTER")
    master = v.toText();
  else if (n == "COLUMNS")
    columns = v.toInteger();
  else if (n == "COLUMNWIDTH")
    columnWidth = v.toInteger();
  else if (n == "COLUMNGAP")
    columnGap = v.toInteger();
  else if (n == "NEWCOLUMNAFTER")
    newColumnAfter = v.toInteger();
  else if (n == "DATASOURCE" || n == "CONDITION")
    formatStr = v.toText();
  else if (n == "ONBEFOREPRINT")
    memo = splitLines(v.toText());
  else if (n == "MEMO")
    return;
  else
    TfrView::SetProperty(rawName, v);
  // A script hiding a band while it is built hides the run-time band it stands for.
  if (n == "VISIBLE" && parent) parent->visible = visible;
}

Value TfrBandView::GetProperty(const std::string& rawName) {
  const std::string n = upperName(rawName);
  if (typedBandProp(n) && !hasProperty(n)) return {};
  for (const auto& f : kBandFlags)
    if (n == f.name) return Value((flags & f.bit) != 0);
  if (n == "CHILDBAND") return Value(childBand);
  if (n == "MASTER") return Value(master);
  if (n == "COLUMNS") return Value(columns);
  if (n == "COLUMNWIDTH") return Value(columnWidth);
  if (n == "COLUMNGAP") return Value(columnGap);
  if (n == "NEWCOLUMNAFTER") return Value(newColumnAfter);
  if (n == "DATASOURCE" || n == "CONDITION") return Value(formatStr);
  if (n == "ONBEFOREPRINT") return Value(joinLines(memo));
  // The band's dataset belongs to the run-time band; outside a build there is none.
  if (n == "EOF") return Value(true);
  if (n == "MEMO" || n == "MEMO.COUNT") return {};
  return TfrView::GetProperty(rawName);
}

Value TfrBandView::CallMethod(const std::string& rawName, const std::string& a1,
                              const std::string& a2, const std::string& a3) {
  const std::string n = upperName(rawName);
  // Moving the band's dataset needs the run-time band of a build.
  if (n == "NEXT" || n == "PRIOR" || n == "FIRST") return {};
  Value result;
  if (listMethod(memo, "ONBEFOREPRINT", n, a1, a2, a3, result)) return result;
  if (n == "HIDE" || n == "SHOW") return TfrView::CallMethod(rawName, a1, a2, a3);
  return {};
}

// ---- TfrPictureView

void TfrPictureView::RegisterProperties() {
  TfrView::RegisterProperties();
  addProperty("Picture", pkEditor);
  addProperty("Center", pkBoolean);
  addProperty("KeepAspect", pkBoolean);
  addProperty("DataField", pkText | pkEditor | pkNameLike);
  addProperty("BlobType", pkEnum, "btBMP;btJPG;btICO;btWMF");
}

void TfrPictureView::SetProperty(const std::string& rawName, const Value& v) {
  const std::string n = upperName(rawName);
  if (n == "CENTER")
    setFlag(flags, flPictCenter, asBool(v));
  else if (n == "KEEPASPECT")
    setFlag(flags, flPictRatio, asBool(v));
  else if (n == "BLOBTYPE")
    blobType = static_cast<std::uint8_t>(v.toInteger());
  else if (n == "PICTURE")
    setPicture(v);
  else
    TfrView::SetProperty(rawName, v);
}

Value TfrPictureView::GetProperty(const std::string& rawName) {
  const std::string n = upperName(rawName);
  if (n == "CENTER") return Value((flags & flPictCenter) != 0);
  if (n == "KEEPASPECT") return Value((flags & flPictRatio) != 0);
  if (n == "BLOBTYPE") return intValue(blobType);
  if (n == "PICTURE") return picture();
  return TfrView::GetProperty(rawName);
}

Value TfrPictureView::CallMethod(const std::string& rawName, const std::string& a1,
                                 const std::string& a2, const std::string& a3) {
  if (upperName(rawName) == "LOADFROMFILE") {
    loadFromFile(evaluate(a1).toText());
    return {};
  }
  return TfrView::CallMethod(rawName, a1, a2, a3);
}

// ---- TfrPage

void TfrPage::RegisterProperties() {
  addProperty("Name", pkText | pkNameLike);
  addProperty("Size", 0);
  addProperty("Width", pkSize);
  addProperty("Height", pkSize);
  addProperty("LeftMargin", pkSize);
  addProperty("TopMargin", pkSize);
  addProperty("RightMargin", pkSize);
  addProperty("BottomMargin", pkSize);
  addProperty("Orientation", 0, "poPortrait;poLandscape");
  addProperty("PrintToPrevPage", pkBoolean);
  addProperty("StretchToPrintable", pkBoolean);
  addProperty("Columns", 0);
  addProperty("ColumnWidth", pkSize);
  addProperty("ColumnGap", pkSize);
  addProperty("Type", 0, "ptReport;ptDialog");
  addProperty("BorderStyle", 0, "bsDialog;bsSizeable");
  addProperty("Caption", pkText);
  addProperty("Color", pkColor);
  addProperty("Left", pkSize);
  addProperty("Top", pkSize);
  addProperty("Position", 0, "poDesigned;poScreenCenter");
  addProperty("OnBeforePrint", pkText | pkEditor);
  addProperty("Visible", pkBoolean);
}

void TfrPage::SetProperty(const std::string& rawName, const Value& v) {
  const std::string n = upperName(rawName);
  const bool dialog = pageType == 1;
  if (n == "NAME")
    name = v.toText();
  else if (n == "SIZE")
    pgSize = v.toInteger();
  else if (n == "WIDTH")
    (dialog ? width : pgWidth) = v.toInteger();
  else if (n == "HEIGHT")
    (dialog ? height : pgHeight) = v.toInteger();
  else if (n == "LEFTMARGIN")
    marginLeft = v.toInteger();
  else if (n == "TOPMARGIN")
    marginTop = v.toInteger();
  else if (n == "RIGHTMARGIN")
    marginRight = v.toInteger();
  else if (n == "BOTTOMMARGIN")
    marginBottom = v.toInteger();
  else if (n == "ORIENTATION")
    orientation = static_cast<std::uint8_t>(v.toInteger());
  else if (n == "PRINTTOPREVPAGE")
    printToPrevPage = asBool(v);
  else if (n == "STRETCHTOPRINTABLE")
    useMargins = !asBool(v);
  else if (n == "COLUMNS")
    columns = v.toInteger();
  else if (n == "COLUMNWIDTH")
    colWidth = v.toInteger();
  else if (n == "COLUMNGAP")
    colGap = v.toInteger();
  else if (n == "TYPE")
    pageType = static_cast<std::uint8_t>(v.toInteger());
  else if (n == "BORDERSTYLE")
    borderStyle = static_cast<std::uint8_t>(v.toInteger());
  else if (n == "CAPTION")
    caption = v.toText();
  else if (n == "COLOR")
    color = asColor(v);
  else if (n == "LEFT")
    left = v.toInteger();
  else if (n == "TOP")
    top = v.toInteger();
  else if (n == "POSITION")
    position = static_cast<std::uint8_t>(v.toInteger());
  else if (n == "ONBEFOREPRINT")
    script = splitLines(v.toText());
  else if (n == "VISIBLE")
    visible = asBool(v);
}

Value TfrPage::GetProperty(const std::string& rawName) {
  const std::string n = upperName(rawName);
  const bool dialog = pageType == 1;
  if (n == "NAME") return Value(name);
  if (n == "SIZE") return Value(pgSize);
  if (n == "WIDTH") return Value(dialog ? width : pgWidth);
  if (n == "HEIGHT") return Value(dialog ? height : pgHeight);
  if (n == "LEFTMARGIN") return Value(marginLeft);
  if (n == "TOPMARGIN") return Value(marginTop);
  if (n == "RIGHTMARGIN") return Value(marginRight);
  if (n == "BOTTOMMARGIN") return Value(marginBottom);
  if (n == "ORIENTATION") return intValue(orientation);
  if (n == "PRINTTOPREVPAGE") return Value(printToPrevPage);
  if (n == "STRETCHTOPRINTABLE") return Value(!useMargins);
  if (n == "COLUMNS") return Value(columns);
  if (n == "COLUMNWIDTH") return Value(colWidth);
  if (n == "COLUMNGAP") return Value(colGap);
  if (n == "TYPE") return intValue(pageType);
  if (n == "BORDERSTYLE") return intValue(borderStyle);
  if (n == "CAPTION") return Value(caption);
  if (n == "COLOR") return colorValue(color);
  if (n == "LEFT") return Value(left);
  if (n == "TOP") return Value(top);
  if (n == "POSITION") return intValue(position);
  if (n == "ONBEFOREPRINT") return Value(joinLines(script));
  if (n == "VISIBLE") return Value(visible);
  return {};
}

}  // namespace kelpo::report
