// Conversions between engine text (GB18030 bytes in std::string) and Qt / UTF-8 text.
#pragma once

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

namespace kelpo {

QString toQString(std::string_view engine);
std::string fromQString(const QString& text);

std::string utf8ToEngine(std::string_view utf8);
std::string engineToUtf8(std::string_view engine);

// Number of bytes of the GB18030 character that starts at `pos` (1, 2 or 4); a malformed
// or truncated sequence counts as one byte so stepping always makes progress.
std::size_t engineCharSize(std::string_view text, std::size_t pos);

// Position of the first ASCII character `c` at or after `from` (a character boundary) that is a
// character of its own, never the trail byte of a multibyte one; npos when there is none.
std::size_t engineFind(std::string_view text, char c, std::size_t from = 0);

// Length of the engine form of `text` in bytes (a Chinese character counts two).
std::size_t engineByteLength(const QString& text);

// The longest prefix of `text` of at most `maxBytes` bytes that does not split a character.
std::string_view engineCut(std::string_view text, std::size_t maxBytes);

// Engine text with its ASCII letters lower- or upper-cased; bytes of multibyte characters
// (whose trail bytes may be ASCII letters) stay as they are.
std::string engineToLower(std::string_view text);
std::string engineToUpper(std::string_view text);

}  // namespace kelpo
