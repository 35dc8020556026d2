// Metafiles: both kinds drawn from their own frame, and every kind of damage refused with the
// metafile error before a converter sees it.
#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include "platform/error.h"
#include "platform/metafile.h"
#include "platform/text.h"

namespace kelpo {
namespace {

class MetafileTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
  }
  static QByteArray fixture(const char* name) {
    QFile f(QStringLiteral(KELPO_TEST_DATA "/pictures/") + QString::fromUtf8(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
  }
  static void put32(QByteArray& b, int at, std::uint32_t v) {
    qToLittleEndian<std::uint32_t>(v, b.data() + at);
  }
  static void put16(QByteArray& b, int at, std::uint16_t v) {
    qToLittleEndian<std::uint16_t>(v, b.data() + at);
  }
};

// Both fixtures hold a red rectangle from (10, 10) to (90, 40) on a 100 x 50 frame.
TEST_F(MetafileTest, BothKindsDrawTheirFrameStretchedIntoTheTarget) {
  for (const char* name : {"red_rect.emf", "red_rect.wmf"}) {
    SCOPED_TRACE(name);
    const Metafile m = Metafile::decode(fixture(name));
    EXPECT_EQ(m.enhanced(), QByteArray(name).endsWith("emf"));
    EXPECT_EQ(m.size(), QSize(100, 50));
    // Drawn twice as large, the rectangle's inside is red and the frame's corners are not.
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter p(&image);
      m.draw(p, QRectF(0, 0, 200, 100));
    }
    EXPECT_EQ(image.pixelColor(100, 50), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(40, 30), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(160, 70), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(195, 95), QColor(Qt::white));
  }
}

TEST_F(MetafileTest, OldStyleHeaderWithABogusLargestRecordStillDecodes) {
  // The largest-record field sizes the converter's buffer; the records themselves decide it
  // (the fuzz target for prepared pages finds the memory this would otherwise take).
  QByteArray b = fixture("red_rect.wmf");
  put32(b, 22 + 12, 0xFFFFFFFF);
  const Metafile m = Metafile::decode(b);
  EXPECT_EQ(m.toImage().pixelColor(50, 25), QColor(255, 0, 0));
}

TEST_F(MetafileTest, DamagedMetafilesAreRefused) {
  const QByteArray emf = fixture("red_rect.emf");
  const QByteArray wmf = fixture("red_rect.wmf");
  struct Case {
    const char* what;
    QByteArray bytes;
  };
  std::vector<Case> cases = {{"empty", {}}, {"not a metafile", "GIF89a and so on"}};
  // Every truncation of either kind.
  for (int n = 1; n < emf.size(); n += 4) cases.push_back({"enhanced cut", emf.left(n)});
  for (int n = 1; n < wmf.size(); n += 3) cases.push_back({"old-style cut", wmf.left(n)});
  QByteArray b = emf;
  put32(b, 88 + 4, 0x7FFFFFF0);  // first record claims more than the file
  cases.push_back({"enhanced record too long", b});
  b = emf;
  put32(b, 88 + 24 + 12 + 4, 8);  // the rectangle record shorter than its fields
  cases.push_back({"enhanced record too short", b});
  b = emf;
  for (int at : {24, 28, 32, 36}) put32(b, at, 0);  // no frame
  for (int at : {8, 12}) put32(b, at, 0);
  for (int at : {16, 20}) put32(b, at, 0xFFFFFFFF);  // and bounds of no width
  cases.push_back({"enhanced of no size", b});
  b = emf;
  put32(b, 32, 0x7FFFFFFF);  // a frame a few kilometres wide
  cases.push_back({"enhanced too large", b});
  b = wmf;
  put16(b, 14, 0);  // zero units per inch
  cases.push_back({"old-style without units", b});
  b = wmf;
  put32(b, 22 + 18, 0x00FFFFFF);  // first record claims more than the file
  cases.push_back({"old-style record too long", b});
  b = wmf;
  b.chop(6);  // the end-of-file record missing
  cases.push_back({"old-style without end", b});
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.what) + " of " + std::to_string(c.bytes.size()) + " bytes");
    try {
      Metafile::decode(c.bytes);
      ADD_FAILURE() << "decoded";
    } catch (const DecoderError& e) {
      EXPECT_TRUE(toQString(e.message()).startsWith(QString::fromUtf8("图元文件已损坏")))
          << e.what();
    }
  }
}

}  // namespace
}  // namespace kelpo
