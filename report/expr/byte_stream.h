// Bounds-checked reading and writing of the little-endian primitives that template streams
// and prepared pages are made of, and the dictionary block inside templates (integers, colours,
// the two string and string-list forms).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace kelpo::report {

// Lines of a text property (memo text, scripts).
using TfrStrings = std::vector<std::string>;

// Reading ran past the bytes that exist or met an impossible value.
class StreamError : public Error {
 public:
  using Error::Error;
};

// Reads from a byte buffer it does not own; every read checks the remaining length first, so
// a damaged length field can never cause a read outside the buffer or a large allocation.
class TfrReader {
 public:
  explicit TfrReader(std::string_view data) : data_(data) {}

  std::size_t pos() const { return pos_; }
  std::size_t size() const { return data_.size(); }
  std::size_t remaining() const { return data_.size() - pos_; }
  bool atEnd() const { return pos_ >= data_.size(); }
  void seek(std::size_t pos);
  void skip(std::size_t n);

  std::uint8_t u8();
  std::uint16_t u16();
  std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
  std::uint32_t u32();
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  double f64();
  std::string bytes(std::size_t n);
  std::string_view view(std::size_t n);
  // The bytes from the current position on, for blocks that read themselves.
  std::string_view rest() const { return data_.substr(pos_); }

  // The string of a stream of `version`: counted (23 and later) or zero-terminated.
  std::string readString(int version);
  // uint16 length, bytes, one 0 byte (whatever the version).
  std::string readNewString();
  // uint16 length and bytes, no terminator (report information trailer).
  std::string readCounted();
  TfrStrings readStringList(int version);

 private:
  void need(std::size_t n) const;

  std::string_view data_;
  std::size_t pos_ = 0;
};

// Appends to a growing byte buffer; always writes the current (version 25) forms.
class TfrWriter {
 public:
  std::size_t pos() const { return buf_.size(); }
  const std::string& data() const { return buf_; }
  std::string take() { return std::move(buf_); }
  // For blocks that append themselves.
  std::string& buffer() { return buf_; }
  void reserve(std::size_t n) { buf_.reserve(n); }

  void u8(std::uint8_t v) { buf_.push_back(static_cast<char>(v)); }
  void u16(std::uint16_t v);
  void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
  void u32(std::uint32_t v);
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void f64(double v);
  void bytes(std::string_view b) { buf_.append(b); }

  // Texts longer than a uint16 length can hold are cut to at most 65535 bytes at a character
  // boundary, never given a wrong length.
  void writeString(std::string_view s);
  void writeCounted(std::string_view s);
  void writeStringList(const TfrStrings& lines);

  // Reserves an int32 to be filled in later with patchI32 (end positions of records).
  std::size_t placeholder();
  void patchI32(std::size_t at, std::int32_t v);

 private:
  std::string buf_;
};

}  // namespace kelpo::report
