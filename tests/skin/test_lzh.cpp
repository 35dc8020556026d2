// The packed-skin decoder against streams of an independent encoder, and round trips through
// our encoder (long enough to reach the tree rebuild).
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "skin/bytes.h"
#include "skin/lzh.h"
#include "skin/skin_error.h"
#include "tools/skin_pack/lzh_encoder.h"

namespace kelpo::skin {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string withCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

TEST(Lzh, ReferenceStreamsDecodeByteForByte) {
  const struct {
    const char* name;
    std::size_t size;
  } cases[] = {{"hamlet_act_1", 39647}, {"tempest_act_5", 16473}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string base = std::string(KELPO_TEST_DATA) + "/lzhuf/" + c.name;
    const std::string expected = withCrLf(readFile(base + ".txt"));
    ASSERT_EQ(expected.size(), c.size);
    const std::string decoded = unpackSkin(readFile(base + ".lzh"));
    ASSERT_EQ(decoded.size(), expected.size());
    EXPECT_TRUE(decoded == expected);
  }
}

TEST(Lzh, TruncatedStreamStillGivesExactlyTheAnnouncedBytes) {
  const std::string packed = readFile(std::string(KELPO_TEST_DATA) + "/lzhuf/hamlet_act_1.lzh");
  const std::string expected =
      withCrLf(readFile(std::string(KELPO_TEST_DATA) + "/lzhuf/hamlet_act_1.txt"));
  const std::string decoded = unpackSkin(packed.substr(0, packed.size() / 2));
  ASSERT_EQ(decoded.size(), expected.size());
  // The text up to where the bits ran out is intact.
  EXPECT_EQ(decoded.substr(0, 10000), expected.substr(0, 10000));
}

TEST(Lzh, MatchRunningPastTheSizeStopsAtTheSize) {
  std::string packed = tools::packSkin(std::string(200, 'a'));
  std::string shorter = packed;
  shorter.replace(0, 4, std::string("\x32\0\0\0", 4));  // U = 50, inside the first match
  std::size_t calls = 0;
  std::size_t pos = 4;
  TLZH::decode(
      50,
      [&](char* to, std::size_t wanted) {
        const std::size_t n = std::min(wanted, shorter.size() - pos);
        std::copy_n(shorter.data() + pos, n, to);
        pos += n;
        return n;
      },
      [&](char c) {
        EXPECT_EQ(c, 'a');
        ++calls;
      });
  EXPECT_EQ(calls, 50u);
  EXPECT_EQ(unpackSkin(shorter), std::string(50, 'a'));
}

TEST(Lzh, SizesTheBytesCannotJustifyAreRefused) {
  const std::string bits(100, '\0');
  auto withSize = [&](std::int32_t u) {
    std::string s;
    appendLe32(s, u);
    return s + bits;
  };
  EXPECT_THROW(unpackSkin(std::string("\1\0", 2)), SkinDamagedError);
  EXPECT_THROW(unpackSkin(withSize(-1)), SkinDamagedError);
  EXPECT_THROW(unpackSkin(withSize(0x7FFFFFFF)), SkinDamagedError);
  // 100 bytes are 800 bits: at most 80 matches of 60 bytes, plus one started in the padding.
  EXPECT_EQ(unpackSkin(withSize(4800)).size(), 4800u);
  EXPECT_THROW(unpackSkin(withSize(4861)), SkinDamagedError);
  EXPECT_EQ(unpackSkin(withSize(0)), "");
  // Bits enough for 300 MiB are still no skin.
  std::string big;
  appendLe32(big, 300 << 20);
  big.resize(4 + (7 << 20));
  EXPECT_THROW(unpackSkin(big), SkinDamagedError);
}

TEST(Lzh, RoundTripsThroughOurEncoder) {
  std::mt19937 random(17);
  std::string words;
  const char* vocabulary[] = {"salt ",   "ginger ",   "\xe7\x8c\xaa\xe8\x82\x89 ",
                              "simmer ", "\r\n",      "soy sauce ",
                              "garlic ", "stir-fry ", "1 tbsp "};
  while (words.size() < 400000) words += vocabulary[random() % 9];
  // 70000 literals: the tree reaches frequency 0x8000 and is rebuilt twice.
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary.push_back(static_cast<char>(random() % 256));
  std::string allBytes;
  for (int i = 0; i < 256; ++i) allBytes.push_back(static_cast<char>(i));

  const std::string cases[] = {"",     "x",      std::string(100000, 'a'),       words,
                               binary, allBytes, std::string(5000, ' ') + "tail"};
  for (const std::string& data : cases) {
    SCOPED_TRACE(data.size());
    const std::string packed = tools::packSkin(data);
    EXPECT_EQ(le32(packed.data()), static_cast<std::int32_t>(data.size()));
    EXPECT_TRUE(unpackSkin(packed) == data);
  }
  // The repetitive text is small once packed; the random bytes barely grow.
  EXPECT_LT(tools::packSkin(words).size(), words.size() / 4);
  EXPECT_LT(tools::packSkin(binary).size(), binary.size() + binary.size() / 16);
}

}  // namespace
}  // namespace kelpo::skin
