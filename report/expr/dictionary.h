// The report's data dictionary: user variables, display aliases, band sources and the cache of
// names already resolved to a dataset field, with the dictionary block of a template stream.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/database.h"
#include "platform/error.h"
#include "report/expr/value.h"
#include "report/expr/variables.h"

namespace kelpo::report {

// The dictionary block ended early or holds an impossible count.
class EDictionaryError : public Error {
 public:
  using Error::Error;
};

// A name resolved to a dataset field during the current preparation.
struct TfrCacheItem {
  QPointer<Query> dataset;
  QString field;
  FieldType type = FieldType::String;
};

class TfrDataDictionary {
 public:
  // Categories (names beginning with a space, value empty text) and user variables (value: an
  // expression or a field reference), in display order.
  TfrVariables VariableList;
  // Underlying name (dataset or field reference) -> alias shown to users.
  TfrVariables AliasList;
  // Stored and loaded with the template; nothing at run time reads them.
  TfrVariables BandSourceList;

  // The form that owns the report: field references name its components.
  void SetOwner(QObject* owner) { owner_ = owner; }
  QObject* Owner() const { return owner_; }

  bool CanResolve(std::string_view name);
  Value Resolve(std::string_view name);

  void Clear();
  void ClearCache() {
    cache_.clear();
    misses_.clear();
  }
  std::size_t CacheSize() const { return cache_.size(); }
  const TfrCacheItem* CachedField(std::string_view name) const;

  // The block after the template's marker byte: LoadFromStream reads the current, previous and
  // oldest forms (returns the bytes read; `version` is the template's, for the oldest form's
  // string list); SaveToStream appends the current form.
  std::size_t LoadFromStream(std::string_view data, int version);
  void SaveToStream(std::string& out) const;

  // Splits at the last dot outside double quotes; the field part loses one pair of enclosing
  // quotes. Without such a dot both parts are empty.
  static std::pair<std::string, std::string> SplitDatasetField(std::string_view name);
  std::string UnaliasDataset(std::string_view alias) const;
  std::string UnaliasField(std::string_view dataset, std::string_view alias) const;

 private:
  std::size_t readBlock(std::string_view data, int version);

  struct CacheEntry {
    std::string key;  // the name upper-cased
    TfrCacheItem item;
  };
  const CacheEntry* findCached(const std::string& key) const;
  // Looks `reference` up as a dataset field from `start`; caches it under `name` when found.
  bool cacheField(std::string_view name, std::string_view reference, Query* start);

  QObject* owner_ = nullptr;
  std::vector<CacheEntry> cache_;  // sorted by key
  // Bare names (upper-cased) already looked up in vain in a default dataset: constants a script
  // uses on every record would otherwise fetch the dataset's field list every time.
  std::set<std::pair<std::string, const Query*>> misses_;
};

}  // namespace kelpo::report
