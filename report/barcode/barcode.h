// The barcode generator: turns a text into a pattern of bar and space elements for one of 23
// one-dimensional symbologies, and draws that pattern with a QPainter at any angle.
#pragma once

#include <QColor>
#include <array>
#include <functional>
#include <string>

#include "platform/error.h"

class QPainter;

namespace kelpo::report {

enum TfrBarcodeType : int {
  bcCode_2_5_interleaved = 0,
  bcCode_2_5_industrial,
  bcCode_2_5_matrix,
  bcCode39,
  bcCode39Extended,
  bcCode128A,
  bcCode128B,
  bcCode128C,
  bcCode93,
  bcCode93Extended,
  bcCodeMSI,
  bcCodePostNet,
  bcCodeCodabar,
  bcCodeEAN8,
  bcCodeEAN13,
  bcCodeUPC_A,
  bcCodeUPC_E0,
  bcCodeUPC_E1,
  bcCodeUPC_Supp2,
  bcCodeUPC_Supp5,
  bcCodeEAN128A,
  bcCodeEAN128B,
  bcCodeEAN128C
};
inline constexpr int kBarcodeTypeCount = 23;

enum TfrCheckSumMethod : int { csmNone, csmModulo10 };

// A text the symbology cannot encode, or a type that does not exist.
class BarcodeError : public Error {
 public:
  using Error::Error;
};

// Nearest integer, a tie going to the even one; values beyond the int range saturate and NaN
// gives 0, so damaged settings (a huge zoom, a NaN angle) never overflow.
int roundSaturated(double v);

// "2_5_interleaved", "Code39", ...; empty for a number outside 0 to 22.
const char* barcodeTypeName(int type);
// Whether the symbology accepts nothing but the digits 0 to 9.
bool barcodeTypeDigitsOnly(int type);

class TfrBarcode {
 public:
  const std::string& Text() const { return text_; }
  int Typ() const { return typ_; }
  int Modul() const { return modul_; }
  double Ratio() const { return ratio_; }
  bool Checksum() const { return checksum_; }
  TfrCheckSumMethod CheckSumMethod() const { return checkSumMethod_; }
  double Angle() const { return angle_; }
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Height() const { return height_; }
  const QColor& Color() const { return color_; }
  const QColor& ColorBar() const { return colorBar_; }

  // Every setter calls OnChange when the value really changes. A type number outside 0 to 22
  // is kept and refused when the pattern is built.
  void SetText(const std::string& v);
  void SetTyp(int v);
  void SetModul(int v);  // values outside 1 to 49 are ignored
  void SetRatio(double v);
  void SetChecksum(bool v);
  void SetCheckSumMethod(TfrCheckSumMethod v);
  void SetAngle(double v);
  void SetLeft(int v);
  void SetTop(int v);
  void SetHeight(int v);
  void SetColor(const QColor& v);
  void SetColorBar(const QColor& v);
  std::function<void()> OnChange;

  // The pattern for the current properties; may rewrite Text (trimming, fixed lengths, added
  // check digits) and clamp Ratio, as each symbology requires.
  std::string MakePattern();
  // Total width of the pattern's elements in pixels.
  int GetWidth();
  // Scales Modul so the pattern becomes about v pixels wide.
  void SetWidth(int v);
  // Draws the pattern at (Left, Top) turned by Angle; the painter's state is left as it was.
  void DrawBarcode(QPainter& canvas);

  // Width in pixels of one pattern element, by the widths of the last MakePattern.
  int elementWidth(char element) const;

 private:
  void changed();
  void computeWidths();
  int patternWidth(const std::string& pattern) const;
  std::string FitText(std::size_t n) const;
  std::string Modulo10(const std::string& digits) const;

  // One encoder per family of symbologies (barcode_symbologies.cpp).
  std::string code25Interleaved() const;
  std::string code25Industrial() const;
  std::string code25Matrix() const;
  std::string code39(const std::string& data) const;
  std::string code39Extended() const;
  std::string code128();
  std::string code93(const std::string& data) const;
  std::string code93Extended() const;
  std::string codeMSI() const;
  std::string codePostNet() const;
  std::string codeCodabar() const;
  std::string codeEAN8() const;
  std::string codeEAN13();
  std::string codeUPC_A();
  std::string codeUPC_E(int numberSystem);
  std::string codeSupp2();
  std::string codeSupp5();

  std::string text_;
  int typ_ = bcCodeEAN13;
  int modul_ = 1;
  double ratio_ = 2.0;
  bool checksum_ = false;
  TfrCheckSumMethod checkSumMethod_ = csmModulo10;
  double angle_ = 0;
  int left_ = 0, top_ = 0, height_ = 0;
  QColor color_ = Qt::white;
  QColor colorBar_ = Qt::black;
  std::array<int, 4> widths_{1, 2, 3, 4};
};

}  // namespace kelpo::report
