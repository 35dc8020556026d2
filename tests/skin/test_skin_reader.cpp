// The skin package reader and the SkinStream layer: names, lookups, versions, damaged bytes.
#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "skin/bytes.h"
#include "skin/skin_error.h"
#include "skin/skin_reader.h"
#include "skin/skin_stream.h"
#include "tools/skin_pack/lzh_encoder.h"
#include "tools/skin_pack/package_writer.h"

namespace kelpo::skin {
namespace {

// A package written field by field, so tests can damage any part of it.
std::string package(std::int32_t version, const std::string& names,
                    const std::vector<std::int32_t>& sizes, const std::string& data) {
  std::string p;
  appendLe32(p, version);
  appendLe32(p, static_cast<std::int32_t>(names.size()));
  appendLe32(p, 0);
  appendLe32(p, 0);
  p += names;
  for (std::int32_t s : sizes) appendLe32(p, s);
  return p + data;
}

class SkinReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setMessageHook([this](const MessageRecord& r) {
      messages.push_back(r.text);
      return QMessageBox::Ok;
    });
  }
  void TearDown() override { setMessageHook({}); }
  std::vector<QString> messages;
};

TEST_F(SkinReaderTest, NameListWithOrWithoutTrailingCrLfGivesTheSameItems) {
  for (const std::string names :
       {"Blue_Close.bmp\r\nXPLuna.INI\r\n", "Blue_Close.bmp\r\nXPLuna.INI"}) {
    TSkinReader reader;
    ASSERT_TRUE(reader.load(tools::packSkin(package(20000, names, {3, 5}, "BMPini=1"))));
    EXPECT_EQ(reader.names(), (std::vector<std::string>{"blue_close.bmp", "xpluna.ini"}));
    std::string out, name;
    EXPECT_TRUE(reader.findItem("BLUE_CLOSE.BMP", out));
    EXPECT_EQ(out, "BMP");
    EXPECT_TRUE(reader.findItemContaining(".INI", out, name));
    EXPECT_EQ(out, "ini=1");
    EXPECT_EQ(name, "xpluna.ini");
    out = "stale";
    EXPECT_FALSE(reader.findItem("blue_close", out));
    EXPECT_EQ(out, "");
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(SkinReaderTest, WrittenPackagesReadBackItemByItem) {
  const std::vector<tools::PackageItem> items = {
      {"a.bmp", std::string("BM\0\1", 4)}, {"empty.bmp", ""}, {"kelpo.ini", "[x]\r\n"}};
  TSkinReader reader;
  ASSERT_TRUE(reader.loadPackage(tools::writePackage(items)));
  ASSERT_EQ(reader.names().size(), 3u);
  for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(reader.item(i), items[i].data);
  std::string out = "x";
  EXPECT_TRUE(reader.findItem("empty.bmp", out));
  EXPECT_EQ(out, "");
}

TEST_F(SkinReaderTest, OtherVersionShowsTheMessageOnceAndLoadsNothing) {
  TSkinReader reader;
  EXPECT_FALSE(reader.load(tools::packSkin(package(19999, "a.ini\r\n", {2}, "[]"))));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], QStringLiteral("This is Older Skin File\rPlease update to new version !"));
  EXPECT_TRUE(reader.names().empty());
  std::string out, name;
  EXPECT_FALSE(reader.findItemContaining(".ini", out, name));
}

TEST_F(SkinReaderTest, DamagedPackagesAreRefusedAndLeaveTheReaderEmpty) {
  std::string many;
  for (int i = 0; i < 1002; ++i) many += "i" + std::to_string(i) + "\r\n";
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"shorter than the header", std::string(15, '\0')},
      {"name list past the end", package(20000, "a.ini", {}, "").substr(0, 18)},
      {"size table past the end", package(20000, "a.ini\r\nb.bmp", {1}, "")},
      {"negative size", package(20000, "a.ini", {-1}, "x")},
      {"sizes past the data", package(20000, "a.ini\r\nb.bmp", {1, 2}, "xy")},
      {"1002 items", package(20000, many, std::vector<std::int32_t>(1002, 0), "")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TSkinReader reader;
    ASSERT_TRUE(reader.loadPackage(package(20000, "old.ini", {1}, "x")));
    EXPECT_THROW(reader.loadPackage(c.bytes), SkinDamagedError);
    EXPECT_TRUE(reader.names().empty());
  }
  std::string exactly;
  for (int i = 0; i < 1001; ++i) exactly += "i" + std::to_string(i) + "\r\n";
  TSkinReader reader;
  EXPECT_TRUE(reader.loadPackage(package(20000, exactly, std::vector<std::int32_t>(1001, 0), "")));
  EXPECT_EQ(reader.names().size(), 1001u);
}

TEST_F(SkinReaderTest, NamesAreLowerCasedCharacterByCharacter) {
  // 0xC4 0x41 is one GB18030 character whose trail byte is an ASCII capital: it stays.
  TSkinReader reader;
  ASSERT_TRUE(reader.loadPackage(package(20000, "\xC4\x41X.BMP", {1}, "z")));
  EXPECT_EQ(reader.names()[0], "\xC4\x41x.bmp");
  std::string out;
  EXPECT_TRUE(reader.findItem("\xC4\x41x.Bmp", out));
  EXPECT_FALSE(reader.findItem("\xC4\x61x.bmp", out));
}

TEST(SkinStream, LengthPrefixWrapsThePackedSkin) {
  const std::string packed = "\x10\0\0\0abc";
  const std::string property = writeSkinStream(packed);
  EXPECT_EQ(property.size(), packed.size() + 4);
  EXPECT_TRUE(isSkinStream(property));
  EXPECT_EQ(readSkinStream(property), packed);
  EXPECT_EQ(writeSkinStream(""), std::string(4, '\0'));
  EXPECT_EQ(readSkinStream(std::string(4, '\0')), "");
  EXPECT_THROW(readSkinStream("\x09\0\0\0abc"), SkinDamagedError);
  EXPECT_THROW(readSkinStream("\xFF\xFF\xFF\xFF"), SkinDamagedError);
  EXPECT_THROW(readSkinStream("ab"), SkinDamagedError);
}

}  // namespace
}  // namespace kelpo::skin
