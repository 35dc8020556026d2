// The authoring side of skin packages: items by name, written in the package layout.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kelpo::skin::tools {

struct PackageItem {
  std::string name;
  std::string data;
};

// Version 20000, the name list (names joined by CR LF, with a trailing CR LF), the size
// table and the items in the given order.
std::string writePackage(const std::vector<PackageItem>& items);

}  // namespace kelpo::skin::tools
