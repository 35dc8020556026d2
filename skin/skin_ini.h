// The skin description's INI text, read from memory: sections and keys without regard to case,
// values trimmed, integers and the two colour notations.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "skin/skin_colour.h"

namespace kelpo::skin {

class TSkinIni {
 public:
  explicit TSkinIni(std::string_view text);

  // The value of a key, trimmed; `fallback` when the section or key is absent. When a section
  // or key appears twice, the first one counts.
  std::string readString(std::string_view section, std::string_view key,
                         std::string_view fallback = {}) const;
  // Decimal, or hexadecimal after "0x"/"0X"; `fallback` for an empty or malformed value.
  std::int32_t readInteger(std::string_view section, std::string_view key,
                           std::int32_t fallback) const;
  // Three numbers (red green blue) in one value; `fallback` when absent or empty.
  TColor readColour(std::string_view section, std::string_view key, TColor fallback) const;
  // Keys base+"R", base+"G", base+"B": the colour when all three are 0 or more, else `preset`.
  TColor readColourKeys(std::string_view section, std::string_view base, TColor preset) const;

  // Section names in the order they first appear.
  std::vector<std::string> sections() const;
  bool hasSection(std::string_view section) const;

 private:
  struct Entry {
    std::string key;  // upper-cased
    std::string value;
  };
  struct Section {
    std::string name;   // as written
    std::string upper;  // upper-cased, for lookups
    std::vector<Entry> entries;
  };
  const Section* find(std::string_view section) const;

  std::vector<Section> sections_;
};

// The three-number scanner on its own: runs of digits ended by a non-digit are red, green and
// blue in turn; a third run that reaches the end counts too; missing numbers are 0.
TColor parseColourTriple(std::string_view value);

}  // namespace kelpo::skin
