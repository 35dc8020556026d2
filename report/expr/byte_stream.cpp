#include "report/expr/byte_stream.h"

#include <cstring>

#include "platform/text.h"

namespace kelpo::report {

void TfrReader::need(std::size_t n) const {
  if (n > remaining()) throw StreamError("stream read past its end");
}

void TfrReader::seek(std::size_t pos) {
  if (pos > data_.size()) throw StreamError("stream position outside the stream");
  pos_ = pos;
}

void TfrReader::skip(std::size_t n) {
  need(n);
  pos_ += n;
}

std::uint8_t TfrReader::u8() {
  need(1);
  return static_cast<std::uint8_t>(data_[pos_++]);
}

std::uint16_t TfrReader::u16() {
  need(2);
  auto p = reinterpret_cast<const unsigned char*>(data_.data() + pos_);
  pos_ += 2;
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t TfrReader::u32() {
  need(4);
  auto p = reinterpret_cast<const unsigned char*>(data_.data() + pos_);
  pos_ += 4;
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}

double TfrReader::f64() {
  need(8);
  std::uint64_t bits = 0;
  auto p = reinterpret_cast<const unsigned char*>(data_.data() + pos_);
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
  pos_ += 8;
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

std::string_view TfrReader::view(std::size_t n) {
  need(n);
  auto v = data_.substr(pos_, n);
  pos_ += n;
  return v;
}

std::string TfrReader::bytes(std::size_t n) { return std::string(view(n)); }

std::string TfrReader::readNewString() {
  std::size_t n = u16();
  std::string s = bytes(n);
  skip(1);
  return s;
}

std::string TfrReader::readCounted() { return bytes(u16()); }

std::string TfrReader::readString(int version) {
  if (version >= 23) return readNewString();
  auto rest = data_.substr(pos_);
  auto end = rest.find('\0');
  if (end == std::string_view::npos) throw StreamError("unterminated string");
  pos_ += end + 1;
  return std::string(rest.substr(0, end));
}

TfrStrings TfrReader::readStringList(int version) {
  TfrStrings lines;
  if (version >= 23) {
    // The count only tells an empty list from a non-empty one; the separators decide the rest.
    if (u16() == 0) {
      skip(1);
      return lines;
    }
    for (;;) {
      std::size_t n = u16();
      lines.push_back(bytes(n));
      if (u8() == 0) break;
    }
    return lines;
  }
  std::string line;
  for (;;) {
    char c = static_cast<char>(u8());
    if (c == 13) {
      lines.push_back(std::move(line));
      line.clear();
    } else if (c == 0) {
      if (!line.empty()) lines.push_back(std::move(line));
      return lines;
    } else {
      line.push_back(c);
    }
  }
}

// Whole values are appended at once: prepared pages are written field by field.
void TfrWriter::u16(std::uint16_t v) {
  const char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
  buf_.append(b, 2);
}

void TfrWriter::u32(std::uint32_t v) {
  const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
  buf_.append(b, 4);
}

void TfrWriter::f64(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  for (int i = 0; i < 8; ++i) u8(static_cast<std::uint8_t>(bits >> (8 * i)));
}

// Cut at a character boundary, so a long text never ends in half a character.
static std::string_view capped(std::string_view s) { return engineCut(s, 0xFFFF); }

void TfrWriter::writeString(std::string_view s) {
  s = capped(s);
  u16(static_cast<std::uint16_t>(s.size()));
  bytes(s);
  u8(0);
}

void TfrWriter::writeCounted(std::string_view s) {
  s = capped(s);
  u16(static_cast<std::uint16_t>(s.size()));
  bytes(s);
}

void TfrWriter::writeStringList(const TfrStrings& lines) {
  // The count is only a marker of emptiness to the reader; a longer list is still written whole.
  std::size_t count = lines.size() > 0xFFFF ? 0xFFFF : lines.size();
  u16(static_cast<std::uint16_t>(count));
  if (lines.empty()) {
    u8(0);
    return;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto s = capped(lines[i]);
    u16(static_cast<std::uint16_t>(s.size()));
    bytes(s);
    u8(i + 1 < lines.size() ? 13 : 0);
  }
}

std::size_t TfrWriter::placeholder() {
  std::size_t at = pos();
  u32(0);
  return at;
}

void TfrWriter::patchI32(std::size_t at, std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) buf_[at + i] = static_cast<char>(u >> (8 * i));
}

}  // namespace kelpo::report
