// The barcode generator: property rules, the patterns of each symbology, text rewriting and
// refused texts, and how a pattern is drawn.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <limits>

#include "report/barcode/barcode.h"

namespace kelpo::report {
namespace {

struct PatternCase {
  int type;
  std::string text;
  bool checksum;
  std::string pattern;  // groups separated by spaces; empty: only the rewritten text is checked
  std::string textAfter;
};

// A pattern written in groups separated by spaces, for reading.
std::string elements(std::string grouped) {
  std::erase(grouped, ' ');
  return grouped;
}

// Patterns worked out by hand from each symbology's published tables.
TEST(TfrBarcode, PatternsAndRewrittenTexts) {
  const std::string star = "515060605";  // Code 39 '*'
  const PatternCase cases[] = {
      // 2 of 5: "1" is wide-narrow-narrow-narrow-wide, "2" narrow-wide-narrow-narrow-wide.
      {bcCode_2_5_interleaved, "12", false, "5050 6051505061 605", "12"},
      {bcCode_2_5_interleaved, "123", false, "5050 6051505061 605", "123"},  // odd digit
      {bcCode_2_5_industrial, "1", false, "606050 6050505060 605060", "1"},
      {bcCode_2_5_matrix, "1", false, "705050 605060 70505", "1"},
      // Characters outside the Code 39 set are left out.
      {bcCode39, "ab#", false, star + "0" + star, "ab#"},
      {bcCode39, "A", true, star + " 0 605051506 0 605051506 0 " + star, "A"},
      // Code 93 Extended writes 'a' as (+)A; C = 8, K = 25 (P).
      {bcCode93Extended, "a", false, "505080 516150 605052 525150 525060 5050805", "a"},
      {bcCode93, "}A", false, "505080 516150 605052 525150 525060 5050805", "}A"},
      // EAN-128 A "A": start A, FNC1, 'A' (33) at weight 2, check (103 + 102 + 66) mod 103 = 65.
      {bcCodeEAN128A, "A", false, "605351 805070 505262 515063 6270506", "A"},
      // The check digit (1234 -> 4) is always added.
      {bcCodeMSI, "1234", false, "60 51515160 51516051 51516060 51605151 51605151 515", "1234"},
      {bcCodePostNet, "0", false, "51 5151A1A1A1 5", "0"},
      {bcCodeCodabar, "1x", false, "5061515 0 5050615 0 5151506", "1x"},
      // UPC-E number system 1, check digit 2: parity row "EEooEo" inverted.
      {bcCodeUPC_E1, "1234560", true, "505 1615 1516 0535 1705 0625 3505 050505", "1234562"},
      // Supplement 2: 34 mod 4 = 2 selects "Eo".
      {bcCodeUPC_Supp2, "34", true, "506 0535 05 0526", "342"},
      {bcCodeUPC_Supp2, "5", false, "506 2605 05 0715", "05"},
      // Supplement 5: 52495 has the check digit 1, parity "EoEoo".
      {bcCodeUPC_Supp5, "52495", true, "506 0715 05 1516 05 1705 05 2506 05 0625", "524951"},
      // Texts the encoders rewrite.
      {bcCodeEAN13, "590123412345", true, "", "5901234123457"},
      {bcCodeEAN13, "12345678901234", false, "", "1234567890123"},
      {bcCodeEAN13, "9780306406157", true, "", "9780306406157"},
      {bcCodeUPC_A, "3600029145", true, "", "003600029143"},
      {bcCodeUPC_E0, "4252619", true, "", "4252614"},
      {bcCodeUPC_E0, "42", false, "", "0000042"},
      {bcCode128C, "123", false, "", "0123"},
      {bcCodeEAN128C, "12", true, "", "012"},
      {bcCodeEAN128C, "123", true, "", "123"},
      {bcCode_2_5_interleaved, " 1234\t", false, "", "1234"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(barcodeTypeName(c.type)) + " '" + c.text + "'");
    TfrBarcode b;
    b.SetTyp(c.type);
    b.SetText(c.text);
    b.SetChecksum(c.checksum);
    const std::string pattern = b.MakePattern();
    if (!c.pattern.empty()) {
      EXPECT_EQ(pattern, elements(c.pattern));
    }
    EXPECT_EQ(b.Text(), c.textAfter);
    // Building again gives the same pattern and text: nothing grows on every drawing.
    EXPECT_EQ(b.MakePattern(), pattern);
    EXPECT_EQ(b.Text(), c.textAfter);
  }
}

TEST(TfrBarcode, RefusedTexts) {
  const struct {
    int type;
    std::string text;
    bool checksum;
    TfrCheckSumMethod method;
    std::string message;
  } cases[] = {
      {bcCodeEAN13, "12a4", false, csmModulo10, "Barcode must be numeric"},
      {bcCode128C, "1.5", false, csmModulo10, "Barcode must be numeric"},
      {bcCodePostNet, "1 2", false, csmModulo10, "Barcode must be numeric"},
      {bcCodeEAN8, "1234567", true, csmNone, "Invalid Text len (EAN8)"},
      {bcCodeEAN13, "123456789012", true, csmNone, "Invalid Text len (EAN13)"},
      {bcCode93, "abc", false, csmModulo10, "TfrBarcode:Code93 bad Data <abc>"},
      {bcCode93, "\xd6\xd0", false, csmModulo10, "TfrBarcode:Code93 bad Data <\xd6\xd0>"},
      {23, "1", false, csmModulo10, "TfrBarcode: wrong BarcodeType"},
      {-1, "1", false, csmModulo10, "TfrBarcode: wrong BarcodeType"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TfrBarcode b;
    b.SetTyp(c.type);
    b.SetText(c.text);
    b.SetChecksum(c.checksum);
    b.SetCheckSumMethod(c.method);
    try {
      b.MakePattern();
      ADD_FAILURE() << "no error";
    } catch (const BarcodeError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

// A GB18030 character whose trail bytes are an ASCII letter and digits is one character: it
// is skipped or becomes one space, never read as the letters its bytes look like.
TEST(TfrBarcode, MultibyteCharactersAreWholeCharacters) {
  const std::string fourByte = "\x81\x30\x81\x30";  // bytes 2 and 4 are the digit '0'
  const std::string twoByte =
      "\x81"
      "A";  // trail byte is 'A'
  TfrBarcode b, plain;
  for (int type : {bcCode39, bcCodeCodabar, bcCode39Extended, bcCode93Extended}) {
    SCOPED_TRACE(type);
    b.SetTyp(type);
    plain.SetTyp(type);
    b.SetText("1" + fourByte + twoByte + "2");
    plain.SetText("12");
    EXPECT_EQ(b.MakePattern(), plain.MakePattern());
  }
  // Code 128 A and B write a character outside their set as a space.
  b.SetTyp(bcCode128B);
  plain.SetTyp(bcCode128B);
  b.SetText("1" + twoByte + "2");
  plain.SetText("1 2");
  EXPECT_EQ(b.MakePattern(), plain.MakePattern());
  b.SetTyp(bcCode128A);
  plain.SetTyp(bcCode128A);
  b.SetText("1a2");
  EXPECT_EQ(b.MakePattern(), plain.MakePattern());
}

TEST(TfrBarcode, PropertiesAndWidths) {
  TfrBarcode b;
  int changes = 0;
  b.OnChange = [&] { ++changes; };
  EXPECT_EQ(b.Typ(), bcCodeEAN13);
  EXPECT_EQ(b.Modul(), 1);
  EXPECT_EQ(b.Ratio(), 2.0);
  EXPECT_FALSE(b.Checksum());
  EXPECT_EQ(b.CheckSumMethod(), csmModulo10);
  EXPECT_EQ(b.Color(), QColor(Qt::white));
  EXPECT_EQ(b.ColorBar(), QColor(Qt::black));

  // Only real changes notify; a Modul outside 1 to 49 is ignored.
  b.SetModul(1);
  b.SetModul(0);
  b.SetModul(60);
  b.SetText("");
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(b.Modul(), 1);
  b.SetModul(49);
  EXPECT_EQ(changes, 1);
  b.SetModul(1);

  // EAN-13 of 590123412345 with its check digit is 95 modules; Width scales Modul.
  b.SetText("590123412345");
  b.SetChecksum(true);
  EXPECT_EQ(b.GetWidth(), 95);
  b.SetWidth(190);
  EXPECT_EQ(b.Modul(), 2);
  EXPECT_EQ(b.GetWidth(), 190);
  b.SetWidth(100);  // 2 * 100 / 190 = 1
  EXPECT_EQ(b.Modul(), 1);
  b.SetWidth(95 * 60);  // would be 60: ignored
  EXPECT_EQ(b.Modul(), 1);

  // Two-width symbologies clamp the ratio through the setter; Code 128 keeps any ratio.
  changes = 0;
  b.SetTyp(bcCode39);
  b.SetRatio(5);
  b.MakePattern();
  EXPECT_EQ(b.Ratio(), 3.0);
  EXPECT_EQ(changes, 3);  // type, ratio 5, clamped to 3
  b.SetTyp(bcCode_2_5_matrix);
  b.SetRatio(2);
  b.MakePattern();
  EXPECT_EQ(b.Ratio(), 2.25);
  b.SetTyp(bcCode128B);
  b.SetRatio(5);
  b.MakePattern();
  EXPECT_EQ(b.Ratio(), 5.0);

  // w1 = round(Modul x Ratio) with halves to even, w2 = w1 * 3 / 2, w3 = 2 * w1.
  const struct {
    int modul;
    double ratio;
    int w1, w2, w3;
  } widths[] = {{1, 2.5, 2, 3, 4}, {3, 2.5, 8, 12, 16}, {2, 2.25, 4, 6, 8}, {5, 2.1, 10, 15, 20}};
  b.SetTyp(bcCode39);
  for (const auto& w : widths) {
    b.SetModul(w.modul);
    b.SetRatio(w.ratio);
    b.MakePattern();
    EXPECT_EQ(b.elementWidth('5'), w.modul);
    EXPECT_EQ(b.elementWidth('1'), w.w1);
    EXPECT_EQ(b.elementWidth('C'), w.w2);
    EXPECT_EQ(b.elementWidth('8'), w.w3);
  }
  EXPECT_THROW(b.elementWidth('4'), BarcodeError);

  // Absurd ratios give wide elements, never an overflowing width.
  b.SetTyp(bcCode128B);
  b.SetModul(49);
  b.SetRatio(1e12);
  b.SetText(std::string(20000, 'A'));
  EXPECT_EQ(b.GetWidth(), std::numeric_limits<int>::max());
  EXPECT_EQ(roundSaturated(2.5), 2);
  EXPECT_EQ(roundSaturated(-3.5), -4);
  EXPECT_EQ(roundSaturated(1e300), std::numeric_limits<int>::max());
  EXPECT_EQ(roundSaturated(std::numeric_limits<double>::quiet_NaN()), 0);
}

// Reads the elements of a drawn barcode back along one line of pixels: runs of one colour.
std::vector<std::pair<bool, int>> runs(const QImage& image, QPoint from, QPoint step, int n,
                                       QRgb bar) {
  std::vector<std::pair<bool, int>> out;
  for (int i = 0; i < n; ++i) {
    QPoint p = from + step * i;
    bool isBar = image.pixel(p) == bar;
    if (!out.empty() && out.back().first == isBar)
      ++out.back().second;
    else
      out.push_back({isBar, 1});
  }
  return out;
}

std::vector<std::pair<bool, int>> runsOfPattern(TfrBarcode& b) {
  std::vector<std::pair<bool, int>> out;
  for (char e : b.MakePattern()) {
    bool isBar = e >= '5';
    if (!out.empty() && out.back().first == isBar)
      out.back().second += b.elementWidth(e);
    else
      out.push_back({isBar, b.elementWidth(e)});
  }
  return out;
}

TEST(TfrBarcode, DrawingElementByElement) {
  TfrBarcode b;
  b.SetTyp(bcCodeEAN13);
  b.SetText("590123412345");
  b.SetChecksum(true);
  b.SetModul(2);
  b.SetHeight(20);
  b.SetLeft(5);
  b.SetTop(7);
  b.SetColorBar(Qt::blue);
  b.SetColor(Qt::yellow);
  const int w = b.GetWidth();
  ASSERT_EQ(w, 190);

  QImage image(240, 240, QImage::Format_RGB32);
  image.fill(Qt::red);
  QPainter p(&image);
  p.setPen(QPen(Qt::green, 3));
  p.setBrush(Qt::cyan);
  b.DrawBarcode(p);
  // The painter is handed back as it came.
  EXPECT_EQ(p.pen().color(), QColor(Qt::green));
  EXPECT_EQ(p.pen().width(), 3);
  EXPECT_EQ(p.brush().color(), QColor(Qt::cyan));
  p.end();

  const QRgb blue = QColor(Qt::blue).rgb();
  EXPECT_EQ(runs(image, {5, 10}, {1, 0}, w, blue), runsOfPattern(b));
  // Spaces are painted too; the barcode covers exactly columns 5..194 and rows 7..27.
  EXPECT_EQ(image.pixel(5 + 3 * 2, 7), QColor(Qt::yellow).rgb());
  EXPECT_EQ(image.pixel(5, 27), blue);
  EXPECT_EQ(image.pixel(5, 28), QColor(Qt::red).rgb());
  EXPECT_EQ(image.pixel(4, 10), QColor(Qt::red).rgb());
  EXPECT_EQ(image.pixel(5 + w, 10), QColor(Qt::red).rgb());
  EXPECT_EQ(image.pixel(5 + w - 1, 10), blue);
}

TEST(TfrBarcode, DrawingTurned) {
  TfrBarcode b;
  b.SetTyp(bcCode128B);
  b.SetText("Kelpo");
  b.SetHeight(30);
  b.SetLeft(10);
  b.SetTop(10);
  const int w = b.GetWidth();
  const QRgb black = QColor(Qt::black).rgb();
  auto draw = [&](double angle) {
    QImage image(w + 60, w + 60, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter p(&image);
    b.SetAngle(angle);
    b.DrawBarcode(p);
    return image;
  };
  const auto expected = runsOfPattern(b);
  auto reversed = expected;
  std::reverse(reversed.begin(), reversed.end());

  // At 90 degrees the first element lies at the bottom (Top + width) and the bars run across.
  QImage turned = draw(90);
  EXPECT_EQ(runs(turned, {15, 10 + w}, {0, -1}, w, black), expected);
  EXPECT_EQ(turned.pixel(10, 10 + w), black);
  EXPECT_EQ(turned.pixel(40, 10 + w), black);
  EXPECT_EQ(turned.pixel(41, 10 + w), QColor(Qt::red).rgb());
  // 180 and 270 keep the turned rectangle at the origin too.
  EXPECT_EQ(runs(draw(180), {11, 20}, {1, 0}, w, black), reversed);
  EXPECT_EQ(runs(draw(270), {20, 10}, {0, 1}, w, black), expected);
}

// Short bars are two fifths of the height; a negative height stands them on the origin's edge.
TEST(TfrBarcode, ShortBarsAndNegativeHeight) {
  TfrBarcode b;
  b.SetTyp(bcCodePostNet);
  b.SetText("0");  // 51 5151A1A1A1 5: the fourth bar is the first short one
  const int shortX = 9;
  const QRgb black = QColor(Qt::black).rgb();
  for (int height : {11, -11}) {
    SCOPED_TRACE(height);
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::red);
    b.SetHeight(height);
    b.SetTop(height > 0 ? 5 : 30);
    QPainter p(&image);
    b.DrawBarcode(p);
    p.end();
    const int dir = height > 0 ? 1 : -1, top = b.Top();
    // Full bars cover |height| + 1 rows, short bars 4 + 1 (2 * 11 / 5 = 4), both from Top.
    EXPECT_EQ(image.pixel(0, top + dir * 11), black);
    EXPECT_NE(image.pixel(0, top + dir * 12), black);
    EXPECT_EQ(image.pixel(shortX, top + dir * 4), black);
    EXPECT_NE(image.pixel(shortX, top + dir * 5), black);
  }
}

}  // namespace
}  // namespace kelpo::report
