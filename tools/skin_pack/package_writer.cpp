// Writing skin packages: header, CR LF name list, size table, items.
#include "tools/skin_pack/package_writer.h"

#include "skin/bytes.h"
#include "skin/skin_reader.h"

namespace kelpo::skin::tools {

std::string writePackage(const std::vector<PackageItem>& items) {
  std::string names;
  for (const PackageItem& item : items) names += item.name + "\r\n";
  std::string out;
  appendLe32(out, kPackageVersion);
  appendLe32(out, static_cast<std::int32_t>(names.size()));
  appendLe32(out, 0);
  appendLe32(out, 0);
  out += names;
  for (const PackageItem& item : items)
    appendLe32(out, static_cast<std::int32_t>(item.data.size()));
  for (const PackageItem& item : items) out += item.data;
  return out;
}

}  // namespace kelpo::skin::tools
