// Report-engine names (variables, functions, properties) are compared upper-cased; these
// helpers fold only ASCII letters and never touch the bytes of a multibyte character.
#pragma once

#include <string>
#include <string_view>

namespace kelpo::report {

std::string upperName(std::string_view name);
bool sameName(std::string_view a, std::string_view b) noexcept;
// Without leading and trailing characters of code 32 or less (never part of a multibyte one).
std::string_view trimBlanks(std::string_view text) noexcept;

}  // namespace kelpo::report
