// Picture loading: the decoder chosen by extension, and every failure naming the file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include "platform/error.h"
#include "platform/picture.h"
#include "platform/text.h"

namespace kelpo {
namespace {

class PictureTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
  }
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(200, 60, 20));
    ASSERT_TRUE(image.save(path("菜.jpg"), "JPG"));
    ASSERT_TRUE(image.save(path("upper.JPEG"), "JPG"));
    ASSERT_TRUE(image.save(path("b.bmp"), "BMP"));
    ASSERT_TRUE(image.scaled(16, 16).save(path("i.ico"), "ICO"));
    ASSERT_TRUE(image.save(path("p.png"), "PNG"));
    QFile jpg(path("菜.jpg"));
    ASSERT_TRUE(jpg.open(QIODevice::ReadOnly));
    jpegBytes_ = jpg.readAll();
  }
  QString path(const QString& name) const { return dir_.filePath(name); }
  void write(const QString& name, const QByteArray& bytes) {
    QFile f(path(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QTemporaryDir dir_;
  QByteArray jpegBytes_;
};

TEST_F(PictureTest, LoadsEachFormatByExtension) {
  for (const char* name : {"菜.jpg", "upper.JPEG", "b.bmp", "i.ico"}) {
    SCOPED_TRACE(name);
    const QImage image = loadPicture(path(QString::fromUtf8(name)));
    EXPECT_FALSE(image.isNull());
  }
  const QImage jpg = loadPicture(path("菜.jpg"));
  EXPECT_EQ(jpg.size(), QSize(40, 30));
  EXPECT_NEAR(qRed(jpg.pixel(20, 15)), 200, 8);  // decoded colours, not a grey fill
  // A doubled separator names the same file, and so do the backslashes of stored paths.
  EXPECT_FALSE(loadPicture(dir_.path() + "//" + QString::fromUtf8("菜.jpg")).isNull());
  ASSERT_TRUE(QDir(dir_.path()).mkpath(QString::fromUtf8("Pictures/川菜")));
  ASSERT_TRUE(QFile::copy(path("b.bmp"), path(QString::fromUtf8("Pictures/川菜/1.bmp"))));
  EXPECT_FALSE(
      loadPicture(dir_.path() + "/" + QString::fromUtf8("\\Pictures\\川菜\\1.bmp")).isNull());
}

TEST_F(PictureTest, FailuresNameTheFile) {
  write("damaged.jpg", jpegBytes_.left(jpegBytes_.size() / 2));
  QByteArray corrupt = jpegBytes_;
  for (int i = 20; i < corrupt.size(); i += 7) corrupt[i] = static_cast<char>(0xFF);
  write("corrupt.jpg", corrupt);
  write("garbage.bmp", "not a bitmap");
  write("empty.jpeg", "");
  const char* names[] = {"p.png",       "missing.jpg", "damaged.jpg", "corrupt.jpg",
                         "garbage.bmp", "empty.jpeg",  "x.emf",       "noext"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    const QString file = path(QString::fromUtf8(name));
    try {
      loadPicture(file);
      ADD_FAILURE() << "loaded";
    } catch (const PictureError& e) {
      EXPECT_NE(toQString(e.message()).indexOf(file), -1) << e.what();
    }
  }
  EXPECT_THROW(loadPicture(QString()), PictureError);
  // A metafile cut short after its placeable header is damaged, not of an unknown format.
  write("real.wmf", "\xD7\xCD\xC6\x9A");
  try {
    loadPicture(path("real.wmf"));
    ADD_FAILURE() << "loaded";
  } catch (const PictureError& e) {
    EXPECT_TRUE(toQString(e.message()).contains(QString::fromUtf8("已损坏"))) << e.what();
    EXPECT_NE(toQString(e.message()).indexOf(path("real.wmf")), -1) << e.what();
  }
}

TEST_F(PictureTest, MetafilesLoadByExtensionWithTheirKindAndBytes) {
  for (const char* name : {"red_rect.emf", "red_rect.wmf"}) {
    SCOPED_TRACE(name);
    const QString file = QStringLiteral(KELPO_TEST_DATA "/pictures/") + QString::fromUtf8(name);
    const PictureFile picture = readPictureFile(file);
    EXPECT_EQ(picture.kind, GraphicKind::Metafile);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(picture.bytes, f.readAll());
    const QImage image = loadPicture(file);
    EXPECT_EQ(image.size(), QSize(100, 50));
    EXPECT_EQ(image.pixelColor(50, 25), QColor(255, 0, 0));
  }
  // Upper-case extensions count too.
  ASSERT_TRUE(QFile::copy(QStringLiteral(KELPO_TEST_DATA "/pictures/red_rect.emf"), path("A.EMF")));
  EXPECT_EQ(readPictureFile(path("A.EMF")).kind, GraphicKind::Metafile);
}

TEST_F(PictureTest, HugeClaimedSizeIsRefusedBeforeDecoding) {
  // A header claiming 65500 x 65500 pixels must not make the decoder take gigabytes.
  QByteArray huge = jpegBytes_;
  const qsizetype sof = huge.indexOf(QByteArray("\xFF\xC0", 2));
  ASSERT_GT(sof, 0);
  for (int i : {5, 6, 7, 8}) huge[sof + i] = static_cast<char>(i % 2 ? 0xFF : 0xDC);
  EXPECT_THROW(decodeJpeg(reinterpret_cast<const std::uint8_t*>(huge.constData()),
                          static_cast<std::size_t>(huge.size())),
               DecoderError);
}

TEST_F(PictureTest, DecoderRejectsEveryTruncation) {
  // No prefix of a JPEG may crash or exit; each either decodes fully or raises.
  for (qsizetype n = 0; n < jpegBytes_.size(); n += 13) {
    try {
      decodeJpeg(reinterpret_cast<const std::uint8_t*>(jpegBytes_.constData()),
                 static_cast<std::size_t>(n));
      ADD_FAILURE() << "prefix of " << n << " bytes decoded";
    } catch (const DecoderError&) {
    }
  }
}

}  // namespace
}  // namespace kelpo
