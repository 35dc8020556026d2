#include "report/expr/names.h"

#include "platform/text.h"

namespace kelpo::report {

namespace {

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string upperName(std::string_view name) {
  std::string out(name);
  for (std::size_t i = 0; i < out.size();) {
    if (static_cast<unsigned char>(out[i]) < 0x80) {
      out[i] = upperAscii(out[i]);
      ++i;
    } else {
      i += engineCharSize(name, i);
    }
  }
  return out;
}

bool sameName(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    if (static_cast<unsigned char>(a[i]) < 0x80) {
      if (upperAscii(a[i]) != upperAscii(b[i])) return false;
      ++i;
      continue;
    }
    const std::size_t size = engineCharSize(a, i);
    if (a.substr(i, size) != b.substr(i, size)) return false;
    i += size;
  }
  return true;
}

std::string_view trimBlanks(std::string_view s) noexcept {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
  return s;
}

}  // namespace kelpo::report
