#include "report/expr/dictionary.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "platform/text.h"
#include "report/expr/datasets.h"
#include "report/expr/names.h"
#include "report/expr/parser.h"

namespace kelpo::report {

namespace {

// Bounds-checked little-endian reading of the dictionary block; a damaged length can never
// read outside the bytes given.
class BlockReader {
 public:
  explicit BlockReader(std::string_view data) : data_(data) {}
  std::size_t pos() const { return pos_; }
  void seek(std::size_t pos) { pos_ = pos; }

  std::uint8_t u8() {
    need(1);
    return static_cast<std::uint8_t>(data_[pos_++]);
  }
  std::uint16_t u16() {
    need(2);
    const auto lo = static_cast<std::uint8_t>(data_[pos_]);
    const auto hi = static_cast<std::uint8_t>(data_[pos_ + 1]);
    pos_ += 2;
    return static_cast<std::uint16_t>(lo | (hi << 8));
  }
  std::int32_t i32() {
    need(4);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(data_[pos_ + i]);
    pos_ += 4;
    return static_cast<std::int32_t>(v);
  }
  std::string bytes(std::size_t n) {
    need(n);
    std::string out(data_.substr(pos_, n));
    pos_ += n;
    return out;
  }
  // 16-bit length, the bytes, one zero byte.
  std::string counted() {
    std::string text = bytes(u16());
    u8();
    return text;
  }
  // One length byte and that many bytes.
  std::string shortText() { return bytes(u8()); }

  // The string-list encoding of a template of `version`.
  std::vector<std::string> stringList(int version) {
    std::vector<std::string> lines;
    if (version >= 23) {
      if (u16() == 0) {
        u8();
        return lines;
      }
      for (;;) {
        lines.push_back(bytes(u16()));
        if (u8() == 0) return lines;
      }
    }
    std::string line;
    for (;;) {
      const char c = static_cast<char>(u8());
      if (c == 13) {
        lines.push_back(std::move(line));
        line.clear();
      } else if (c == 0) {
        if (!line.empty()) lines.push_back(std::move(line));
        return lines;
      } else {
        line.push_back(c);
      }
    }
  }

 private:
  void need(std::size_t n) const {
    if (n > data_.size() - pos_) throw EDictionaryError("Dictionary block ends early");
  }
  std::string_view data_;
  std::size_t pos_ = 0;
};

void putU16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

void putI32(std::string& out, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void putCounted(std::string& out, std::string_view text) {
  // A text longer than the length field can hold is cut, never given a wrong length.
  const std::string_view cut = engineCut(text, 0xFFFF);
  putU16(out, static_cast<std::uint16_t>(cut.size()));
  out.append(cut);
  out.push_back('\0');
}

void readList(BlockReader& r, TfrVariables& list) {
  const std::int32_t count = r.i32();
  if (count < 0) throw EDictionaryError("Dictionary block holds a negative count");
  // Each entry reads its own bytes, so an impossible count ends at the end of the block.
  for (std::int32_t i = 0; i < count; ++i) {
    std::string name = r.counted();
    std::string value = r.counted();
    list.Add(name, Value(std::move(value)));
  }
}

void writeList(std::string& out, const TfrVariables& list) {
  putI32(out, list.Count());
  for (int i = 0; i < list.Count(); ++i) {
    putCounted(out, list.NameAt(i));
    putCounted(out, list.GetValueAt(i).toText());
  }
}

bool startsWithSpace(const std::string& s) { return !s.empty() && s.front() == ' '; }

}  // namespace

// --- stream block --------------------------------------------------------------------------

std::size_t TfrDataDictionary::LoadFromStream(std::string_view data, int version) {
  Clear();
  BlockReader r(data);
  const auto marker = static_cast<std::int16_t>(r.u16());
  if (marker == -2 || marker == -1) {
    readList(r, VariableList);
    readList(r, AliasList);
    readList(r, BandSourceList);
  } else {
    // The oldest form has no marker: those two bytes begin the record count.
    r.seek(0);
    const std::int32_t count = r.i32();
    if (count < 0) throw EDictionaryError("Dictionary block holds a negative count");
    std::map<std::string, std::string> references;  // space + alias -> reference
    const std::vector<std::string>& system = SystemVariableNames();
    for (std::int32_t i = 0; i < count; ++i) {
      const std::uint8_t kind = r.u8();
      const std::int32_t index = r.i32();
      const std::string dataset = r.shortText();
      const std::string field = r.shortText();
      const std::string alias = r.shortText();
      std::string reference;
      if (kind == 2) {
        if (index == 1)
          reference = field;
        else if (index >= 0 && static_cast<std::size_t>(index) < system.size())
          reference = system[static_cast<std::size_t>(index)];
      } else if (kind == 1) {
        reference = dataset + ".\"" + field + "\"";
      }
      references[" " + alias] = std::move(reference);
    }
    for (const std::string& name : r.stringList(version)) {
      if (!name.empty() && !startsWithSpace(name)) {
        VariableList.Add(name, Value(std::string()));
      } else {
        auto it = references.find(name);
        VariableList.Add(name, Value(it == references.end() ? std::string() : it->second));
      }
    }
  }

  // Older dictionaries wrote categories plain and variables with a leading space.
  if (VariableList.Count() > 0 && !VariableList.NameAt(0).empty() &&
      !startsWithSpace(VariableList.NameAt(0))) {
    for (int i = 0; i < VariableList.Count(); ++i) {
      const std::string& name = VariableList.NameAt(i);
      VariableList.SetNameAt(i, startsWithSpace(name) ? name.substr(1) : " " + name);
    }
  }

  if (marker == -1) {
    for (int i = AliasList.Count() - 1; i >= 0; --i) {
      if (!AliasList.GetValueAt(i).toText().empty()) continue;
      bool resolves = true;
      try {
        Query* dataset = nullptr;
        resolves = !FindDatasetAndField(owner_, AliasList.NameAt(i), dataset).empty();
      } catch (const Error&) {
        // A lookup that cannot be carried out says nothing about the entry: keep it.
      }
      if (!resolves) AliasList.Delete(i);
    }
    for (int i = BandSourceList.Count() - 1; i >= 0; --i)
      if (BandSourceList.GetValueAt(i).toText().empty()) BandSourceList.Delete(i);
  }
  return r.pos();
}

void TfrDataDictionary::SaveToStream(std::string& out) const {
  putU16(out, static_cast<std::uint16_t>(-2));
  writeList(out, VariableList);
  writeList(out, AliasList);
  writeList(out, BandSourceList);
}

void TfrDataDictionary::Clear() {
  VariableList.Clear();
  AliasList.Clear();
  BandSourceList.Clear();
  cache_.clear();
}

// --- names ---------------------------------------------------------------------------------

std::pair<std::string, std::string> TfrDataDictionary::SplitDatasetField(std::string_view name) {
  // '.' and '"' never occur inside a GB18030 character, so a byte scan is safe.
  bool quoted = false;
  for (std::size_t i = name.size(); i-- > 0;) {
    if (name[i] == '"') {
      quoted = !quoted;
    } else if (name[i] == '.' && !quoted) {
      std::string field(engineCut(name.substr(i + 1), 255));
      if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
        field = field.substr(1, field.size() - 2);
      return {std::string(name.substr(0, i)), std::move(field)};
    }
  }
  return {};
}

std::string TfrDataDictionary::UnaliasDataset(std::string_view alias) const {
  for (int i = 0; i < AliasList.Count(); ++i)
    if (sameName(AliasList.GetValueAt(i).toText(), alias)) return AliasList.NameAt(i);
  return std::string(alias);
}

std::string TfrDataDictionary::UnaliasField(std::string_view dataset,
                                            std::string_view alias) const {
  for (int i = 0; i < AliasList.Count(); ++i) {
    const std::string& name = AliasList.NameAt(i);
    if (sameName(AliasList.GetValueAt(i).toText(), alias) && name.size() >= dataset.size() &&
        sameName(std::string_view(name).substr(0, dataset.size()), dataset))
      return SplitDatasetField(name).second;
  }
  return std::string(alias);
}

// --- field cache ---------------------------------------------------------------------------

const TfrDataDictionary::CacheEntry* TfrDataDictionary::findCached(const std::string& key) const {
  auto it = std::lower_bound(cache_.begin(), cache_.end(), key,
                             [](const CacheEntry& e, const std::string& k) { return e.key < k; });
  return it != cache_.end() && it->key == key ? &*it : nullptr;
}

const TfrCacheItem* TfrDataDictionary::CachedField(std::string_view name) const {
  const CacheEntry* entry = findCached(upperName(name));
  return entry ? &entry->item : nullptr;
}

bool TfrDataDictionary::cacheField(std::string_view name, std::string_view reference,
                                   Query* start) {
  Query* dataset = start;
  const std::string field = FindDatasetAndField(owner_, reference, dataset);
  if (field.empty() || !dataset) return false;
  CacheEntry entry;
  entry.key = upperName(name);
  entry.item.dataset = dataset;
  entry.item.field = toQString(field);
  entry.item.type = dataset->fieldInfo(entry.item.field).type;
  auto it = std::lower_bound(cache_.begin(), cache_.end(), entry.key,
                             [](const CacheEntry& e, const std::string& k) { return e.key < k; });
  if (it != cache_.end() && it->key == entry.key)
    *it = std::move(entry);
  else
    cache_.insert(it, std::move(entry));
  return true;
}

bool TfrDataDictionary::CanResolve(std::string_view name) {
  const std::string key = upperName(name);
  if (const CacheEntry* hit = findCached(key)) {
    if (hit->item.dataset) return true;
    // The query went away since the name was cached: resolve it afresh.
    cache_.erase(cache_.begin() + (hit - cache_.data()));
  }
  if (const Value* variable = VariableList.Find(name)) {
    if (!variable->isNull()) {
      const std::string text = variable->toText();
      if (text.find('.') != std::string::npos) cacheField(name, text, DefaultDataSet());
    }
    return true;
  }
  std::string reference;
  if (name.find('.') != std::string_view::npos) {
    auto [dataset, field] = SplitDatasetField(name);
    dataset = UnaliasDataset(dataset);
    field = UnaliasField(dataset, field);
    reference = dataset + ".\"" + field + "\"";
  } else {
    reference = std::string(name);
  }
  return cacheField(name, reference, DefaultDataSet());
}

Value TfrDataDictionary::Resolve(std::string_view name) {
  if (const CacheEntry* hit = findCached(upperName(name)); hit && hit->item.dataset)
    return ReadFieldValue(hit->item.dataset, hit->item.field, hit->item.type);
  if (const Value* variable = VariableList.Find(name)) {
    if (const Value* script = ScriptVariables().Find(name)) return *script;
    if (variable->isText() && !variable->text().empty())
      return frParser().Evaluate(variable->text());
    return *variable;
  }
  return Value::null();
}

}  // namespace kelpo::report
