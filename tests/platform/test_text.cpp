// Engine text: GB18030 round trips, character stepping and byte-limited cuts.
#include <gtest/gtest.h>

#include "platform/text.h"

namespace kelpo {
namespace {

// 菜 is two GB18030 bytes; U+20000 (𠀀) and U+1F600 need four.
const QString kMixed = QString::fromUtf8("a菜\xF0\xA0\x80\x80" "b\xF0\x9F\x98\x80谱");

TEST(Text, RoundTripsChineseAndFourByteCharacters) {
  const std::string engine = fromQString(kMixed);
  EXPECT_EQ(engine.size(), 1u + 2u + 4u + 1u + 4u + 2u);
  EXPECT_EQ(engine.substr(1, 2), std::string("\xB2\xCB"));  // 菜 in GBK
  EXPECT_EQ(toQString(engine), kMixed);
  EXPECT_EQ(engineToUtf8(utf8ToEngine(kMixed.toStdString())), kMixed.toStdString());
  EXPECT_EQ(engineByteLength(kMixed), engine.size());
  EXPECT_EQ(engineByteLength(QStringLiteral("plain")), 5u);
}

TEST(Text, CharSizeStepsWholeCharacters) {
  const std::string engine = fromQString(kMixed);
  std::vector<std::size_t> sizes;
  for (std::size_t pos = 0; pos < engine.size(); pos += engineCharSize(engine, pos))
    sizes.push_back(engineCharSize(engine, pos));
  EXPECT_EQ(sizes, (std::vector<std::size_t>{1, 2, 4, 1, 4, 2}));
  EXPECT_EQ(engineCharSize(engine, engine.size()), 0u);
}

TEST(Text, MalformedBytesCountAsOneAndConvertWithoutLoss) {
  struct Case {
    std::string bytes;
    std::size_t firstSize;
  };
  const Case cases[] = {
      {"\x80", 1},             // not a lead byte
      {"\xFF" "A", 1},         // never a lead byte
      {"\xB2", 1},             // lead byte cut off at the end
      {"\xB2\x20", 1},         // trail byte out of range
      {"\x81\x30\x81", 1},     // four-byte form cut off
      {"\x81\x30\x20\x30", 1}, // four-byte form with a bad third byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    EXPECT_EQ(engineCharSize(c.bytes, 0), c.firstSize);
    const QString text = toQString(c.bytes);
    EXPECT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.contains(QChar(0xFFFD)));
  }
  // Bad UTF-8 becomes '?' in engine text, and the good text around it survives.
  EXPECT_EQ(utf8ToEngine("x\xC3(y"), "x?(y");
  EXPECT_EQ(toQString("ok\x80ok"), QString::fromUtf8("ok\xEF\xBF\xBDok"));
}

TEST(Text, CutNeverSplitsACharacter) {
  const std::string engine = fromQString(kMixed);  // sizes 1,2,4,1,4,2
  const std::pair<std::size_t, std::size_t> cases[] = {
      {0, 0}, {1, 1}, {2, 1}, {3, 3}, {4, 3}, {6, 3}, {7, 7}, {8, 8}, {11, 8}, {12, 12},
      {13, 12}, {14, 14}, {100, 14}};
  for (const auto& [limit, expected] : cases) {
    SCOPED_TRACE(limit);
    EXPECT_EQ(engineCut(engine, limit).size(), expected);
  }
}

}  // namespace
}  // namespace kelpo
