// TSkinReader: the skin package (a small directory of named items) unpacked into memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelpo::skin {

inline constexpr std::int32_t kPackageVersion = 20000;
inline constexpr std::size_t kMaxItems = 1001;
// Shown once (one message box) when a package has another version.
inline constexpr const char* kOlderSkinMessage =
    "This is Older Skin File\rPlease update to new version !";

class TSkinReader {
 public:
  // Unpacks a packed skin (layer 2). Returns false, after showing kOlderSkinMessage, when the
  // package version is not 20000. Raises SkinDamagedError when the package's sizes do not fit
  // its bytes or it names more than 1001 items; the reader is then empty.
  bool load(std::string_view packed);
  // The same for package bytes that are already unpacked (layer 3).
  bool loadPackage(std::string package);

  // The first item named exactly `name` (any case): its bytes go to `out`. False and `out`
  // empty when no item has that name.
  bool findItem(std::string_view name, std::string& out) const;
  // The first item whose name contains `text` (any case); `name` receives its lower-cased name.
  bool findItemContaining(std::string_view text, std::string& out, std::string& name) const;

  const std::vector<std::string>& names() const { return names_; }
  const std::vector<std::int32_t>& sizes() const { return sizes_; }
  std::int32_t version() const { return version_; }
  // The item with the given index in name-list order.
  std::string_view item(std::size_t index) const;

 private:
  void clear();

  std::int32_t version_ = 0;
  std::vector<std::string> names_;
  std::vector<std::int32_t> sizes_;
  std::vector<std::size_t> offsets_;
  std::string data_;  // the items, concatenated
};

}  // namespace kelpo::skin
