// kelpo-skin from the outside: the stored skin listed, unpacked and packed again, and damaged
// input refused with a message and exit status 1.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "resources/skin/stored_skin.h"
#include "skin/bytes.h"
#include "skin/skin_stream.h"
#include "tools/skin_pack/lzh_encoder.h"
#include "tools/skin_pack/package_writer.h"

namespace {

struct ToolRun {
  int status;
  QString out, err;
};

ToolRun kelpoSkin(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(KELPO_SKIN_TOOL), args);
  EXPECT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);  // never a crash
  return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
          QString::fromLocal8Bit(p.readAllStandardError())};
}

void write(const QString& path, const std::string& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

QByteArray read(const QString& path) {
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
  return f.readAll();
}

TEST(KelpoSkin, StoredSkinListsUnpacksAndPacksAgain) {
  QTemporaryDir dir;
  const QString stored = dir.filePath("stored.bin");
  ASSERT_EQ(kelpoSkin({"stored", stored}).status, 0);
  const std::string expected = kelpo::storedSkinStream();
  EXPECT_EQ(read(stored), QByteArray(expected.data(), static_cast<qsizetype>(expected.size())));

  const ToolRun list = kelpoSkin({"list", stored});
  EXPECT_EQ(list.status, 0) << list.err.toStdString();
  EXPECT_TRUE(list.out.contains("skin name: Kelpo Kitchen"));
  EXPECT_TRUE(list.out.contains("45 items"));
  EXPECT_TRUE(list.out.contains("kelpo.ini"));

  const QString items = dir.filePath("items");
  ASSERT_EQ(kelpoSkin({"unpack", stored, items}).status, 0);
  const QStringList files = QDir(items).entryList(QDir::Files);
  EXPECT_EQ(files.size(), 45);

  // A packed skin (no length prefix) made from the folder unpacks to the same files.
  const QString repacked = dir.filePath("repacked.skin");
  ASSERT_EQ(kelpoSkin({"pack", items, repacked}).status, 0);
  const QString again = dir.filePath("again");
  ASSERT_EQ(kelpoSkin({"unpack", repacked, again}).status, 0);
  for (const QString& f : files)
    EXPECT_EQ(read(items + "/" + f), read(again + "/" + f)) << f.toStdString();
}

TEST(KelpoSkin, DamagedInputIsRefusedWithAMessage) {
  QTemporaryDir dir;
  const std::string stored = kelpo::storedSkinStream();
  std::string forged;
  kelpo::skin::appendLe32(forged, 0x40000000);
  forged += "tiny";
  std::string older;
  kelpo::skin::appendLe32(older, 19999);
  older += std::string(12, '\0');
  const struct {
    const char* name;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"empty", "", "error: "},
      {"forged size", forged, "does not fit"},
      {"truncated", stored.substr(0, stored.size() / 3), "error: "},
      {"older", kelpo::skin::tools::packSkin(older), "This is Older Skin File"},
      {"text", "just some text that is not a skin at all", "error: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = dir.filePath(c.name);
    write(path, c.bytes);
    const ToolRun run = kelpoSkin({"list", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
  }
  EXPECT_EQ(kelpoSkin({"list", dir.filePath("missing")}).status, 1);
  EXPECT_EQ(kelpoSkin({"frobnicate"}).status, 1);
}

TEST(KelpoSkin, UnpackKeepsItemsInsideTheFolder) {
  QTemporaryDir dir;
  const QString path = dir.filePath("evil.skin");
  write(path, kelpo::skin::tools::packSkin(
                  kelpo::skin::tools::writePackage({{"a.ini", "[x]"}, {"../escaped.bmp", "BM"}})));
  const ToolRun run = kelpoSkin({"unpack", path, dir.filePath("out")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("not a plain file name"));
  EXPECT_FALSE(QFile::exists(dir.filePath("escaped.bmp")));
}

}  // namespace
