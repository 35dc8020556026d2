// Engine text conversions over glibc iconv; GB18030 covers all of Unicode, so only malformed
// input is ever replaced.
#include "platform/text.h"

#include <iconv.h>

#include <cerrno>

namespace kelpo {
namespace {

// One converter per direction and thread: iconv_open is costly and a descriptor carries
// shift state, so it must not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; every byte the source encoding rejects is replaced by `replacement`
  // (already in the target encoding) and skipped, so malformed input never stops or loops.
  std::string run(std::string_view in, std::string_view replacement) {
    std::string out;
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      // Without a converter only ASCII survives; the rest is marked as replaced.
      for (unsigned char c : in) {
        if (c < 0x80)
          out += static_cast<char>(c);
        else
          out += replacement;
      }
      return out;
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      std::size_t dstLeft = out.size() - used;
      std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (r != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // EILSEQ (invalid byte) or EINVAL (sequence cut off at the end): replace one byte.
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      out.resize(used);
      out += replacement;
      used = out.size();
      out.resize(used + srcLeft * 2 + 16);
      ++src;
      --srcLeft;
    }
    // Flush any pending shift state (none for these encodings, but cheap and correct).
    for (;;) {
      char* dst = out.data() + used;
      std::size_t dstLeft = out.size() - used;
      std::size_t r = iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (r != static_cast<std::size_t>(-1) || errno != E2BIG) break;
      out.resize(out.size() * 2);
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

bool isAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

// U+FFFD in UTF-8, and '?' in GB18030 (which keeps the replacement one byte wide, like the
// malformed byte it stands for).
constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";
constexpr std::string_view kEngineReplacement = "?";

}  // namespace

std::string engineToUtf8(std::string_view engine) {
  if (isAscii(engine)) return std::string(engine);
  thread_local Converter converter("UTF-8", "GB18030");
  return converter.run(engine, kUtf8Replacement);
}

std::string utf8ToEngine(std::string_view utf8) {
  if (isAscii(utf8)) return std::string(utf8);
  thread_local Converter converter("GB18030", "UTF-8");
  return converter.run(utf8, kEngineReplacement);
}

QString toQString(std::string_view engine) {
  if (isAscii(engine)) return QString::fromLatin1(engine.data(), static_cast<qsizetype>(engine.size()));
  const std::string utf8 = engineToUtf8(engine);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string fromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return utf8ToEngine(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

std::size_t engineCharSize(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x81 || lead == 0xFF) return 1;
  if (pos + 1 >= text.size()) return 1;
  const unsigned char second = byte(pos + 1);
  if ((second >= 0x40 && second <= 0x7E) || (second >= 0x80 && second <= 0xFE)) return 2;
  if (second >= 0x30 && second <= 0x39 && pos + 3 < text.size()) {
    const unsigned char third = byte(pos + 2);
    const unsigned char fourth = byte(pos + 3);
    if (third >= 0x81 && third <= 0xFE && fourth >= 0x30 && fourth <= 0x39) return 4;
  }
  return 1;
}

std::size_t engineFind(std::string_view text, char c, std::size_t from) {
  for (std::size_t pos = from; pos < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
      if (text[pos] == c) return pos;
      ++pos;
    } else {
      pos += engineCharSize(text, pos);
    }
  }
  return std::string_view::npos;
}

std::size_t engineByteLength(const QString& text) {
  bool ascii = true;
  for (QChar c : text) {
    if (c.unicode() >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) return static_cast<std::size_t>(text.size());
  return fromQString(text).size();
}

std::string_view engineCut(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t step = engineCharSize(text, pos);
    if (pos + step > maxBytes) break;
    pos += step;
  }
  return text.substr(0, pos);
}

namespace {

template <typename Map>
std::string mapAscii(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = engineCharSize(text, i);
    if (n == 1)
      out.push_back(static_cast<char>(map(static_cast<unsigned char>(text[i]))));
    else
      out.append(text.substr(i, n));
    i += n;
  }
  return out;
}

}  // namespace

std::string engineToLower(std::string_view text) {
  return mapAscii(text, [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
}

std::string engineToUpper(std::string_view text) {
  return mapAscii(text, [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
}

}  // namespace kelpo
