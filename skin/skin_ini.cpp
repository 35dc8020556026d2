// Reading the skin description's INI text from memory.
#include "skin/skin_ini.h"

#include <limits>

#include "platform/text.h"

namespace kelpo::skin {
namespace {

std::string_view trim(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// Position of the first character `c` (an ASCII byte) that starts a character, or npos.
std::size_t findChar(std::string_view s, char c, std::size_t from = 0) {
  for (std::size_t i = from; i < s.size(); i += engineCharSize(s, i))
    if (s[i] == c) return i;
  return std::string_view::npos;
}

bool isDigit(std::string_view s, std::size_t i) {
  return engineCharSize(s, i) == 1 && s[i] >= '0' && s[i] <= '9';
}

bool parseInteger(std::string_view v, std::int32_t& out) {
  if (v.empty()) return false;
  bool negative = false;
  if (v[0] == '-' || v[0] == '+') {
    negative = v[0] == '-';
    v.remove_prefix(1);
  }
  int base = 10;
  if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
    base = 16;
    v.remove_prefix(2);
  }
  if (v.empty()) return false;
  std::int64_t n = 0;
  for (char c : v) {
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return false;
    n = n * base + d;
    if (n > 0xFFFFFFFFll) return false;
  }
  if (negative) n = -n;
  // Hexadecimal values may use the whole 32 bits (0xFFFFFFFF is -1).
  if (base == 10 && (n > std::numeric_limits<std::int32_t>::max() ||
                     n < std::numeric_limits<std::int32_t>::min()))
    return false;
  out = static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
  return true;
}

}  // namespace

TSkinIni::TSkinIni(std::string_view text) {
  Section* current = nullptr;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    const std::string_view line = trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const std::size_t close = findChar(line, ']', 1);
      const std::string_view name =
          trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
      const std::string upper = engineToUpper(name);
      current = nullptr;
      for (Section& s : sections_)
        if (s.upper == upper) current = &s;
      if (!current) {
        sections_.push_back(Section{std::string(name), upper, {}});
        current = &sections_.back();
      }
      continue;
    }
    const std::size_t eq = findChar(line, '=');
    if (!current || eq == std::string_view::npos) continue;
    std::string key = engineToUpper(trim(line.substr(0, eq)));
    bool seen = false;
    for (const Entry& e : current->entries) seen = seen || e.key == key;
    if (!seen)
      current->entries.push_back(Entry{std::move(key), std::string(trim(line.substr(eq + 1)))});
  }
}

const TSkinIni::Section* TSkinIni::find(std::string_view section) const {
  const std::string upper = engineToUpper(section);
  for (const Section& s : sections_)
    if (s.upper == upper) return &s;
  return nullptr;
}

bool TSkinIni::hasSection(std::string_view section) const { return find(section) != nullptr; }

std::vector<std::string> TSkinIni::sections() const {
  std::vector<std::string> names;
  for (const Section& s : sections_) names.push_back(s.name);
  return names;
}

std::string TSkinIni::readString(std::string_view section, std::string_view key,
                                 std::string_view fallback) const {
  if (const Section* s = find(section)) {
    const std::string upper = engineToUpper(key);
    for (const Entry& e : s->entries)
      if (e.key == upper) return e.value;
  }
  return std::string(fallback);
}

std::int32_t TSkinIni::readInteger(std::string_view section, std::string_view key,
                                   std::int32_t fallback) const {
  std::int32_t value;
  return parseInteger(readString(section, key), value) ? value : fallback;
}

TColor TSkinIni::readColour(std::string_view section, std::string_view key, TColor fallback) const {
  const std::string value = readString(section, key);
  return value.empty() ? fallback : parseColourTriple(value);
}

TColor TSkinIni::readColourKeys(std::string_view section, std::string_view base,
                                TColor preset) const {
  const std::string b(base);
  const std::int32_t r = readInteger(section, b + "R", -1);
  const std::int32_t g = readInteger(section, b + "G", -1);
  const std::int32_t bl = readInteger(section, b + "B", -1);
  if (r < 0 || g < 0 || bl < 0) return preset;
  return rgb(r, g, bl);
}

TColor parseColourTriple(std::string_view value) {
  unsigned parts[3] = {0, 0, 0};
  int found = 0;
  unsigned number = 0;
  bool inNumber = false;
  for (std::size_t i = 0; i < value.size() && found < 3; i += engineCharSize(value, i)) {
    if (isDigit(value, i)) {
      number = (number * 10 + static_cast<unsigned>(value[i] - '0')) % 256;
      inNumber = true;
    } else if (inNumber) {
      parts[found++] = number;
      number = 0;
      inNumber = false;
    }
  }
  // Only the third number may run to the end of the value.
  if (inNumber && found == 2) parts[found++] = number;
  return rgb(static_cast<int>(parts[0]), static_cast<int>(parts[1]), static_cast<int>(parts[2]));
}

}  // namespace kelpo::skin
