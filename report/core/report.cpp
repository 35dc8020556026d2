#include "report/core/report.h"

#include <QDateTime>
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "platform/message_box.h"
#include "platform/text.h"
#include "report/core/addin_registry.h"
#include "report/core/build_engine.h"
#include "report/core/report_interpreter.h"
#include "report/expr/engine_state.h"
#include "report/expr/engine_strings.h"
#include "report/expr/names.h"

namespace kelpo::report {

namespace {

TfrReport::PasswordPrompt& passwordPrompt() {
  static TfrReport::PasswordPrompt prompt;
  return prompt;
}

// Texts of the engine string table.
constexpr int kUnsupportedFormat = 55345;
constexpr int kErrorCaption = 55206;
constexpr int kVirtualPrinter = 55007;
constexpr int kUntitled = 55209;

void showError(const QString& text) {
  messageBox(text, frLoadText(kErrorCaption), MessageIcon::Critical);
}
void showUnsupported() { showError(frLoadText(kUnsupportedFormat)); }

std::string normaliseClassName(const std::string& name, bool& framedMemo) {
  framedMemo = false;
  if (sameName(name, "TFRBDELOOKUPCONTROL") || sameName(name, "TFRIBXLOOKUPCONTROL"))
    return "TfrDBLookupControl";
  if (sameName(name, "TFRFRAMEDMEMOVIEW")) framedMemo = true;
  return name;
}

std::string toHex(std::string_view bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out.push_back(digits[c >> 4]);
    out.push_back(digits[c & 15]);
  }
  return out;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  throw StreamError("bad password digits");
}

std::string fromHex(std::string_view hex) {
  if (hex.size() % 2) throw StreamError("bad password length");
  std::string out;
  for (std::size_t i = 0; i < hex.size(); i += 2)
    out.push_back(static_cast<char>(hexDigit(hex[i]) * 16 + hexDigit(hex[i + 1])));
  return out;
}

}  // namespace

double nowDateTime() {
  QDateTime now = QDateTime::currentDateTime();
  return static_cast<double>(QDate(1899, 12, 30).daysTo(now.date())) +
         now.time().msecsSinceStartOfDay() / 86400000.0;
}

TfrReport*& frCurReport() {
  static TfrReport* report = nullptr;
  return report;
}

TfrReport*& frMasterReport() {
  static TfrReport* report = nullptr;
  return report;
}

TfrView*& frCurView() {
  static TfrView* view = nullptr;
  return view;
}

namespace {

// The object and property a property name refers to; false when there is no such property.
bool findPropertyOwner(const std::string& name, TfrObject*& object, std::string& prop) {
  TfrReport* report = frCurReport();
  TfrView* current = frCurView();
  object = nullptr;
  auto dot = name.find('.');
  if (dot == std::string::npos) {
    object = current;
    prop = name;
  } else if (report) {
    std::string first = name.substr(0, dot);
    std::string rest = name.substr(dot + 1);
    std::string upper = upperName(first);
    if (upper.size() > 4 && upper.compare(0, 4, "PAGE") == 0 &&
        upper.find_first_not_of("0123456789", 4) == std::string::npos && upper.size() <= 9) {
      int n = std::stoi(upper.substr(4));
      if (n >= 1 && n <= report->pages.count()) {
        TfrPage* page = report->pages[n - 1];
        auto dot2 = rest.find('.');
        TfrView* v = dot2 == std::string::npos ? nullptr : page->findObject(rest.substr(0, dot2));
        if (v) {
          object = v;
          prop = rest.substr(dot2 + 1);
        } else {
          object = page;
          prop = rest;
        }
      }
    } else if (TfrView* v = report->findObject(first)) {
      object = v;
      prop = rest;
    } else if (current && current->hasProperty(first)) {
      object = current;
      prop = name;
    }
  }
  return object && object->hasProperty(prop);
}

}  // namespace

bool lookupObjectProperty(const std::string& name, Value& value) {
  TfrObject* object = nullptr;
  std::string prop;
  if (!findPropertyOwner(name, object, prop)) return false;
  value = object->GetProperty(prop);
  return true;
}

bool assignObjectProperty(const std::string& name, const Value& value) {
  TfrObject* object = nullptr;
  std::string prop;
  if (!findPropertyOwner(name, object, prop)) return false;
  object->SetProperty(prop, value);
  return true;
}

TfrReport::TfrReport(QObject* parent) : QObject(parent), fileName(frLoadStr(kUntitled)) {
  resetInfo();
  // Expressions reach object properties through the engine's lookup seam.
  if (!frEngine().objectProperty) frEngine().objectProperty = lookupObjectProperty;
  frInstallScripting();
}
TfrReport::~TfrReport() {
  // A report that has printed or been prepared stays the current one; once gone, the next
  // report's pages must not reach its events.
  if (frCurReport() == this) frCurReport() = nullptr;
  if (frMasterReport() == this) frMasterReport() = nullptr;
}

void TfrReport::setPasswordPrompt(PasswordPrompt prompt) { passwordPrompt() = std::move(prompt); }

void TfrReport::resetInfo() {
  info = TfrReportInfo{};
  info.created = info.lastChange = nowDateTime();
}

void TfrReport::clear() {
  pages.clear();
  dictionary.Clear();
  doublePass = false;
  resetInfo();
}

void TfrReport::setPrinter(const std::string& name) {
  printerName = name;
  if (printToDefault) return;
  if (auto* prn = printerModel()) prn->selectPrinter(name);
}

TfrView* TfrReport::findObject(std::string_view name) const {
  for (int i = 0; i < pages.count(); ++i)
    if (auto* v = pages[i]->findObject(name)) return v;
  return nullptr;
}

std::string TfrReport::generateName(const std::string& baseName) const {
  for (int n = 1; n <= 10000; ++n) {
    std::string candidate = baseName + std::to_string(n);
    if (!findObject(candidate)) return candidate;
  }
  return {};
}

// The names of a template being loaded, for objects stored without one. While a template loads
// names are only ever added, so the smallest free number of a base never goes down: one counter
// per base and one set of names keep generation linear in the number of objects.
class TfrReport::LoadNames {
 public:
  explicit LoadNames(const TfrReport& report) {
    for (int i = 0; i < report.pages.count(); ++i)
      for (const auto& v : report.pages[i]->objects) add(v->name);
  }
  void add(const std::string& name) {
    if (!name.empty()) used_.insert(upperName(name));
  }
  // Base name + the smallest free n (up to 10000), or empty when none is free.
  std::string generate(const std::string& base) {
    int& n = next_[upperName(base)];
    for (n = std::max(n, 1); n <= kMaxNumber; ++n) {
      std::string candidate = base + std::to_string(n);
      if (used_.insert(upperName(candidate)).second) return candidate;
    }
    return {};
  }

 private:
  static constexpr int kMaxNumber = 10000;
  std::unordered_set<std::string> used_;
  std::unordered_map<std::string, int> next_;
};

void TfrReport::loadObject(TfrReader& r, int ver, std::vector<std::string>& missing,
                           LoadNames& names) {
  const std::size_t start = r.pos();
  std::uint8_t typ = r.u8();
  std::string cls;
  bool framed = false;
  if (typ == gtAddIn) {
    cls = normaliseClassName(r.readString(ver), framed);
    if (framed) typ = gtMemo;
  }
  bool endRead = false;
  std::size_t end = 0;
  auto readEnd = [&] {
    std::int32_t e = r.i32();
    endRead = true;
    // An end position must lie beyond the record's start, so skipping always moves forward.
    if (e <= static_cast<std::int32_t>(start) || static_cast<std::size_t>(e) > r.size())
      throw StreamError("bad record end position");
    end = static_cast<std::size_t>(e);
  };
  TfrPage* page = nullptr;
  TfrView* added = nullptr;
  try {
    std::uint8_t pageIndex = r.u8();
    if (typ >= 5 && typ <= 9) {
      if (ver >= 24) {
        readEnd();
        r.seek(end);
      }
      return;
    }
    if (pageIndex >= pages.count()) throw StreamError("object on a page that does not exist");
    page = pages[pageIndex];
    std::unique_ptr<TfrView> view;
    if (typ == gtAddIn) {
      try {
        view = createAddInView(cls);
      } catch (const EClassNotFound&) {
        missing.push_back(cls);
        throw;
      }
    } else {
      view = createBuiltInView(typ);
    }
    if (framed) static_cast<TfrMemoView*>(view.get())->framedRecord = true;
    page->objects.push_back(std::move(view));
    added = page->objects.back().get();
    if (ver >= 24) readEnd();
    added->loadFromStream(r, {ver, true});
    if (framed) static_cast<TfrMemoView*>(added)->framedRecord = false;
    // Records before version 23 hold no name; a stored empty name stays empty.
    if (ver < 23)
      added->name = names.generate(added->baseName);
    else
      names.add(added->name);
    if (ver >= 24) r.seek(end);
  } catch (const std::exception&) {
    if (added) page->objects.pop_back();
    if (ver < 24) return;
    if (!endRead) readEnd();
    r.seek(end);
  }
}

void TfrReport::loadPages(TfrReader& r, int ver, std::vector<std::string>& missing) {
  clear();
  printToDefault = r.i16() != 0;
  doublePass = r.i16() != 0;
  std::string prn = r.readString(ver);
  if (prn == "\x01") prn = frLoadStr(kVirtualPrinter);
  setPrinter(prn);
  LoadNames names(*this);
  while (!r.atEnd()) {
    std::uint8_t marker = r.u8();
    if (marker == 255) {
      TfrPage* page = pages.add();
      page->loadFromStream(r, ver);
    } else if (marker == 254) {
      r.skip(dictionary.LoadFromStream(r.rest(), ver));
    } else if (marker == 253) {
      r.u8();
      break;
    } else if (marker == 252) {
      break;
    } else if (marker > 10) {
      throw StreamError("bad section marker");
    } else {
      r.seek(r.pos() - 1);
      loadObject(r, ver, missing, names);
    }
  }
}

void TfrReport::loadFromStream(std::string_view data, bool fromFile) {
  dictionary.Clear();
  if (data.empty()) return;
  TfrReader r(data);
  int ver = r.u8();
  if (ver <= 20) {
    r.seek(0);
    ver = 21;
  }
  if (ver > kTemplateVersion) {
    showUnsupported();
    return;
  }
  std::vector<std::string> missing;
  try {
    loadPages(r, ver, missing);
    if (!r.atEnd()) {
      TfrReportInfo in;
      in.comment = r.readCounted();
      in.name = r.readCounted();
      in.author = r.readCounted();
      in.vMajor = r.readCounted();
      in.vMinor = r.readCounted();
      in.vRelease = r.readCounted();
      in.vBuild = r.readCounted();
      in.password = fromHex(r.readCounted());
      in.generatorVersion = r.u8();
      in.passwordProtected = r.u8() != 0;
      in.created = r.f64();
      in.lastChange = r.f64();
      info = in;
    } else {
      resetInfo();
    }
  } catch (const std::exception&) {
    showUnsupported();
    pages.clear();
    pages.add();
    return;
  }
  for (int i = 0; i < pages.count(); ++i)
    for (auto& v : pages[i]->objects) v->afterLoad();
  if (!missing.empty()) {
    std::string text = "Report contains the following non-plugged components:\n";
    for (const auto& m : missing) text += engineToUtf8(m) + "\n";
    text += "You must include these components into your project.";
    showError(QString::fromUtf8(text));
  }
  if (fromFile && info.passwordProtected) {
    // A cancelled question refuses the template even when its password is empty.
    const std::optional<std::string> entered = passwordPrompt() ? passwordPrompt()() : std::nullopt;
    if (!entered || *entered != info.password) {
      resetInfo();
      fileName = frLoadStr(kUntitled);
      pages.clear();
      pages.add();
    }
  }
}

std::string TfrReport::saveToStream(double lastChange) {
  // An object record names its page in one byte: objects past the 256th page cannot be stored,
  // and writing the index cut to a byte would move them to another page.
  for (int i = 256; i < pages.count(); ++i)
    if (!pages[i]->objects.empty())
      throw Error("Page " + std::to_string(i + 1) +
                  " holds objects, but a template stores objects on its first 256 pages only");
  info.generatorVersion = 88;
  info.lastChange = lastChange;
  TfrWriter w;
  w.reserve(4096);
  w.u8(kTemplateVersion);
  w.i16(printToDefault ? 1 : 0);
  w.i16(doublePass ? 1 : 0);
  auto* prn = printerModel();
  w.writeString(prn && prn->isVirtual() ? std::string("\x01") : printerName);
  for (int i = 0; i < pages.count(); ++i) {
    w.u8(255);
    pages[i]->saveToStream(w);
  }
  for (int i = 0; i < pages.count(); ++i) {
    for (const auto& v : pages[i]->objects) {
      w.u8(v->typ);
      if (v->typ == gtAddIn) w.writeString(v->className());
      w.u8(static_cast<std::uint8_t>(i));
      std::size_t at = w.placeholder();
      v->saveToStream(w);
      w.patchI32(at, static_cast<std::int32_t>(w.pos()));
    }
  }
  w.u8(254);
  dictionary.SaveToStream(w.buffer());
  w.u8(252);
  w.writeCounted(info.comment);
  w.writeCounted(info.name);
  w.writeCounted(info.author);
  w.writeCounted(info.vMajor);
  w.writeCounted(info.vMinor);
  w.writeCounted(info.vRelease);
  w.writeCounted(info.vBuild);
  w.writeCounted(toHex(info.password));
  w.u8(info.generatorVersion);
  w.u8(info.passwordProtected ? 1 : 0);
  w.f64(info.created);
  w.f64(info.lastChange);
  return w.take();
}

std::string TfrReport::writeReportForm() {
  TfrWriter w;
  w.i32(25);
  if (storeInDFM) {
    std::string t = saveToStream();
    w.i32(static_cast<std::int32_t>(t.size()));
    w.bytes(t);
  }
  return w.take();
}

void TfrReport::readReportForm(std::string_view data) {
  TfrReader r(data);
  r.i32();
  if (r.atEnd()) return;
  std::int32_t n = r.i32();
  if (n < 0 || static_cast<std::size_t>(n) > r.remaining())
    throw StreamError("ReportForm length beyond its data");
  storeInDFM = true;
  loadFromStream(r.view(static_cast<std::size_t>(n)), false);
}

}  // namespace kelpo::report
