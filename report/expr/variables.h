// Named value lists (TfrVariables), the program-wide script variables and constants, and the
// resolution of every name a report expression uses (ResolveVariable).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "report/expr/value.h"

namespace kelpo::report {

// An ordered list of (name, Value) pairs; names compare without regard to case. In sorted mode
// names are kept in case-insensitive order, found by binary search, and adding a name that is
// already present is ignored.
class TfrVariables {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  int IndexOf(std::string_view name) const;
  bool Contains(std::string_view name) const { return IndexOf(name) >= 0; }

  // Replaces the value of an existing entry, otherwise appends (inserts when sorted).
  void SetVariable(std::string_view name, Value value);
  // Null when absent.
  Value GetVariable(std::string_view name) const;
  // The stored value, or nullptr when absent (no copy).
  const Value* Find(std::string_view name) const;

  Value GetValueAt(int index) const;                 // integer 0 out of range
  void SetValueAt(int index, Value value);           // ignored out of range
  std::string GetNameAt(int index) const;            // empty text out of range
  const std::string& NameAt(int index) const;        // the same without a copy
  void SetNameAt(int index, std::string_view name);  // ignored out of range
  void Delete(int index);                            // ignored out of range
  void Clear() { items_.clear(); }
  // Appends even a name already present (stored lists may hold duplicates); a sorted list
  // inserts in order and ignores a name it has.
  void Add(std::string_view name, Value value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);

 private:
  struct Item {
    std::string key;  // the name upper-cased, for comparing
    std::string name;
    Value value;
  };
  // Sorted mode: the first position whose key is not less than `key`.
  std::size_t lowerBound(const std::string& key) const;
  int indexOfKey(const std::string& key) const;

  std::vector<Item> items_;
  bool sorted_ = false;
};

// Values assigned by view scripts to names that are not report objects; sorted; they keep their
// values from one report run to the next.
TfrVariables& ScriptVariables();
// Colour names, enumeration names and the like; sorted; filled once when first used.
TfrVariables& Constants();

// The names shown to users for system variables; the old dictionary format refers to them by
// their index in this list (18 entries, the second one empty).
const std::vector<std::string>& SystemVariableNames();

// The report's value resolution, installed as the parser's value callback while a report is
// prepared: the application (OnGetValue), the dictionary, the system variables, the script
// variables, the run-time values and finally the name evaluated as an expression. An unknown
// name raises EParserError 符号没定义 "NAME" (outside the aggregate-collection pass).
void ResolveVariable(const std::string& name, Value& value);
// Run-time values (page position), object properties and constants; leaves Empty when none.
void ResolveRuntimeValue(const std::string& name, Value& value);

}  // namespace kelpo::report
