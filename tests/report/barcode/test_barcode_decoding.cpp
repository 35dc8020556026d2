// Barcodes drawn by the generator are read back by an independent decoder (zbarimg).
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "report/barcode/barcode.h"

namespace kelpo::report {
namespace {

struct DecodeCase {
  int type;
  std::string text;
  bool checksum;
  std::string decoded;  // what the decoder must read
};

// Draws the barcode with a quiet zone of ten modules at the given angle and returns the file.
QString render(const QTemporaryDir& dir, const DecodeCase& c, int modul, double angle) {
  TfrBarcode b;
  b.SetTyp(c.type);
  b.SetText(c.text);
  b.SetChecksum(c.checksum);
  b.SetModul(modul);
  b.SetHeight(80);
  b.SetAngle(angle);
  const int w = b.GetWidth(), quiet = 10 * modul;
  const bool across = angle == 90 || angle == 270;
  QImage image(across ? 80 + 2 * quiet : w + 2 * quiet, across ? w + 2 * quiet : 80 + 2 * quiet,
               QImage::Format_RGB32);
  image.fill(Qt::white);
  b.SetLeft(quiet);
  b.SetTop(quiet);
  QPainter p(&image);
  b.DrawBarcode(p);
  p.end();
  QString file = dir.filePath(QString("bar%1_%2_%3.png").arg(c.type).arg(modul).arg(angle));
  image.save(file);
  return file;
}

// The data the decoder reads, one symbol per line, without the symbology prefix.
std::string decode(const QString& file) {
  QProcess zbar;
  zbar.start("zbarimg", {"--quiet", "--raw", "-Supca.enable", "-Supce.enable", "-Si25.enable",
                         "-Scodabar.enable", "-Scode93.enable", file});
  zbar.waitForFinished(30000);
  return zbar.readAllStandardOutput().trimmed().toStdString();
}

class BarcodeDecoding : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable("zbarimg").isEmpty())
      GTEST_SKIP() << "zbarimg (Debian package zbar-tools) is not installed; barcodes are not "
                      "read back";
  }
  QTemporaryDir dir_;
};

TEST_F(BarcodeDecoding, ScannersReadWhatWasEncoded) {
  const DecodeCase cases[] = {
      {bcCodeEAN13, "590123412345", true, "5901234123457"},
      {bcCodeEAN13, "4006381333931", false, "4006381333931"},
      {bcCodeEAN13, "871125300120", true, "8711253001202"},
      {bcCodeEAN13, "987654321098", true, "9876543210982"},
      {bcCodeEAN8, "9638507", true, "96385074"},
      {bcCodeEAN8, "12345670", false, "12345670"},
      {bcCodeUPC_A, "036000291450", true, "036000291452"},
      {bcCodeUPC_A, "123456789012", false, "123456789012"},
      // Digits that differ from the UPC-A number they stand for: the published check digit.
      {bcCodeUPC_E0, "4252619", true, "04252614"},
      {bcCodeUPC_E0, "1234530", true, "01234531"},
      {bcCodeUPC_E0, "6543245", true, "06543240"},
      {bcCodeUPC_E0, "1111188", true, "01111187"},
      {bcCodeUPC_E0, "0425261", false, "00425261"},
      {bcCode39, "CODE 39-$/+%.", false, "CODE 39-$/+%."},
      {bcCode39, "0123456789", true, "01234567892"},
      {bcCode39, "KELPO", false, "KELPO"},
      {bcCode93, "CODE 93", false, "CODE 93"},
      {bcCode93, "TEST93-$/+%.", false, "TEST93-$/+%."},
      {bcCode93, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ", false,
       "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
      {bcCode93Extended, "Kelpo 1.5!", false, "Kelpo 1.5!"},
      {bcCode128A, "KELPO-128 !\"#$%&'()*+,./:;<=>?@[\\]^_", false,
       "KELPO-128 !\"#$%&'()*+,./:;<=>?@[\\]^_"},
      {bcCode128B, "Kelpo recipes {~} `|`", false, "Kelpo recipes {~} `|`"},
      {bcCode128B, "0123456789abcdefghijklmnopqrstuvwxyz", false,
       "0123456789abcdefghijklmnopqrstuvwxyz"},
      {bcCode128C, "0123456789", false, "0123456789"},
      {bcCode128C, "12345", false, "012345"},
      {bcCode128C, "99887766554433221100", false, "99887766554433221100"},
      {bcCode_2_5_interleaved, "12345670", false, "12345670"},
      {bcCode_2_5_interleaved, "0918273645", false, "0918273645"},
      {bcCodeCodabar, "40156", false, "A40156B"},
      {bcCodeCodabar, "-$:/.+0123456789", false, "A-$:/.+0123456789B"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(barcodeTypeName(c.type)) + " " + c.text);
    EXPECT_EQ(decode(render(dir_, c, 2, 0)), c.decoded);
  }
}

// Turned barcodes and the widest module still read; rotation must not lose or add elements.
TEST_F(BarcodeDecoding, TurnedAndScaledBarcodesRead) {
  const DecodeCase ean{bcCodeEAN13, "590123412345", true, "5901234123457"};
  const DecodeCase code128{bcCode128B, "Turned 128", false, "Turned 128"};
  for (double angle : {0.0, 90.0, 180.0, 270.0}) {
    SCOPED_TRACE(angle);
    EXPECT_EQ(decode(render(dir_, ean, 1, angle)), ean.decoded);
    EXPECT_EQ(decode(render(dir_, code128, 3, angle)), code128.decoded);
  }
}

}  // namespace
}  // namespace kelpo::report
