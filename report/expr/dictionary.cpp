#include "report/expr/dictionary.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "platform/text.h"
#include "report/expr/byte_stream.h"
#include "report/expr/datasets.h"
#include "report/expr/names.h"
#include "report/expr/parser.h"

namespace kelpo::report {

namespace {

void readList(TfrReader& r, TfrVariables& list) {
  const std::int32_t count = r.i32();
  if (count < 0) throw EDictionaryError("Dictionary block holds a negative count");
  // Each entry reads its own bytes, so an impossible count ends at the end of the block.
  for (std::int32_t i = 0; i < count; ++i) {
    std::string name = r.readNewString();
    std::string value = r.readNewString();
    list.Add(name, Value(std::move(value)));
  }
}

void writeList(TfrWriter& w, const TfrVariables& list) {
  w.i32(list.Count());
  for (int i = 0; i < list.Count(); ++i) {
    w.writeString(list.NameAt(i));
    w.writeString(list.GetValueAt(i).toText());
  }
}

bool startsWithSpace(const std::string& s) { return !s.empty() && s.front() == ' '; }

}  // namespace

// --- stream block --------------------------------------------------------------------------

std::size_t TfrDataDictionary::LoadFromStream(std::string_view data, int version) {
  Clear();
  try {
    return readBlock(data, version);
  } catch (const StreamError& e) {
    throw EDictionaryError(std::string("Dictionary block: ") + e.what());
  }
}

std::size_t TfrDataDictionary::readBlock(std::string_view data, int version) {
  TfrReader r(data);
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
      const std::string dataset = r.bytes(r.u8());
      const std::string field = r.bytes(r.u8());
      const std::string alias = r.bytes(r.u8());
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
    for (const std::string& name : r.readStringList(version)) {
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
  TfrWriter w;
  w.i16(-2);
  writeList(w, VariableList);
  writeList(w, AliasList);
  writeList(w, BandSourceList);
  out += w.data();
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
  Query* start = DefaultDataSet();
  if (name.find('.') != std::string_view::npos) {
    auto [dataset, field] = SplitDatasetField(name);
    dataset = UnaliasDataset(dataset);
    field = UnaliasField(dataset, field);
    return cacheField(name, dataset + ".\"" + field + "\"", start);
  }
  // A bare name is a field of the default dataset or nothing: its misses are remembered.
  std::pair<std::string, const Query*> miss{key, start};
  if (misses_.contains(miss)) return false;
  if (cacheField(name, name, start)) return true;
  misses_.insert(std::move(miss));
  return false;
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
