// Reading the skin package: header, lower-cased name list, size table and the items.
#include "skin/skin_reader.h"

#include "platform/message_box.h"
#include "platform/text.h"
#include "skin/bytes.h"
#include "skin/lzh.h"
#include "skin/skin_error.h"

namespace kelpo::skin {
namespace {

constexpr std::size_t kHeaderSize = 16;

// Item names separated by CR LF; a trailing CR LF does not start another name.
std::vector<std::string> splitNames(std::string_view list) {
  std::vector<std::string> names;
  std::string current;
  bool pending = false;
  for (std::size_t i = 0; i < list.size();) {
    if (list.compare(i, 2, "\r\n") == 0) {
      names.push_back(std::move(current));
      current.clear();
      pending = false;
      i += 2;
      continue;
    }
    const std::size_t n = engineCharSize(list, i);
    current.append(list.substr(i, n));
    pending = true;
    i += n;
  }
  if (pending) names.push_back(std::move(current));
  return names;
}

// Substring search that only starts at character boundaries, so a trail byte never matches.
bool containsAt(std::string_view text, std::string_view part) {
  for (std::size_t i = 0; i + part.size() <= text.size(); i += engineCharSize(text, i))
    if (text.compare(i, part.size(), part) == 0) return true;
  return false;
}

}  // namespace

void TSkinReader::clear() {
  version_ = 0;
  names_.clear();
  sizes_.clear();
  offsets_.clear();
  data_.clear();
}

bool TSkinReader::load(std::string_view packed) { return loadPackage(unpackSkin(packed)); }

bool TSkinReader::loadPackage(std::string package) {
  clear();
  if (package.size() < kHeaderSize)
    throw SkinDamagedError("The skin package is shorter than its header");
  version_ = le32(package.data());
  if (version_ != kPackageVersion) {
    showMessage(QString::fromLatin1(kOlderSkinMessage));
    return false;
  }
  const std::int32_t listLength = le32(package.data() + 4);
  if (listLength < 0 || static_cast<std::size_t>(listLength) > package.size() - kHeaderSize) {
    clear();
    throw SkinDamagedError("The skin package's name list runs past its end");
  }
  names_ = splitNames(engineToLower(
      std::string_view(package).substr(kHeaderSize, static_cast<std::size_t>(listLength))));
  if (names_.size() > kMaxItems) {
    clear();
    throw SkinDamagedError("The skin package names more than 1001 items");
  }
  std::size_t pos = kHeaderSize + static_cast<std::size_t>(listLength);
  if (package.size() - pos < 4 * names_.size()) {
    clear();
    throw SkinDamagedError("The skin package's size table runs past its end");
  }
  const std::size_t dataStart = pos + 4 * names_.size();
  const std::size_t available = package.size() - dataStart;
  std::size_t offset = 0;
  for (std::size_t i = 0; i < names_.size(); ++i, pos += 4) {
    const std::int32_t size = le32(package.data() + pos);
    if (size < 0 || static_cast<std::size_t>(size) > available - offset) {
      clear();
      throw SkinDamagedError("The skin package's item sizes run past its data");
    }
    sizes_.push_back(size);
    offsets_.push_back(offset);
    offset += static_cast<std::size_t>(size);
  }
  data_ = package.substr(dataStart);
  return true;
}

std::string_view TSkinReader::item(std::size_t index) const {
  return std::string_view(data_).substr(offsets_.at(index),
                                        static_cast<std::size_t>(sizes_.at(index)));
}

bool TSkinReader::findItem(std::string_view name, std::string& out) const {
  out.clear();
  const std::string wanted = engineToLower(name);
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (names_[i] == wanted) {
      out.assign(item(i));
      return true;
    }
  }
  return false;
}

bool TSkinReader::findItemContaining(std::string_view text, std::string& out,
                                     std::string& name) const {
  out.clear();
  name.clear();
  const std::string wanted = engineToLower(text);
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (containsAt(names_[i], wanted)) {
      out.assign(item(i));
      name = names_[i];
      return true;
    }
  }
  return false;
}

}  // namespace kelpo::skin
