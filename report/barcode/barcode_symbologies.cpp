// The encoders of TfrBarcode: each symbology's character tables and how a text becomes a
// pattern of elements ('0'-'3' spaces, '5'-'8' full bars, 'A'-'D' short bars, widths 1 to 4).
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "report/barcode/barcode.h"

namespace kelpo::report {

namespace {

constexpr const char* kClassName = "TfrBarcode";

// Wide (1) and narrow (0) elements of the digits in the 2-of-5 codes; PostNet uses the same
// idea with tall (1) and short (0) bars in its own table.
constexpr const char* kTwoOfFive[10] = {"00110", "10001", "01001", "11000", "00101",
                                        "10100", "01100", "00011", "10010", "01010"};
constexpr const char* kPostNet[10] = {"11000", "00011", "00101", "00110", "01001",
                                      "01010", "01100", "10001", "10010", "10100"};

// Code 39: characters in value order, and their nine elements (bar first), 1 = wide.
constexpr std::string_view kCode39Chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
constexpr const char* kCode39[44] = {
    "000110100", "100100001", "001100001", "101100000", "000110001", "100110000", "001110000",
    "000100101", "100100100", "001100100", "100001001", "001001001", "101001000", "000011001",
    "100011000", "001011000", "000001101", "100001100", "001001100", "000011100", "100000011",
    "001000011", "101000010", "000010011", "100010010", "001010010", "000000111", "100000110",
    "001000110", "000010110", "110000001", "011000001", "111000000", "010010001", "110010000",
    "011010000", "010000101", "110000100", "011000100", "010101000", "010100010", "010001010",
    "000101010", "010010100" /* '*', start and stop */};

// Full-ASCII representation of the characters 0 to 127 in the Code 39 set; Code 93 uses the
// same table with its four shift characters in place of '$', '%', '/' and '+'.
constexpr const char* kFullAscii[128] = {
    "%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J", "$K", "$L", "$M", "$N", "$O",
    "$P", "$Q", "$R", "$S", "$T", "$U", "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E",
    " ",  "/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H", "/I", "/J", "/K", "/L", "-",  ".",  "/O",
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "/Z", "%F", "%G", "%H", "%I", "%J",
    "%V", "A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "I",  "J",  "K",  "L",  "M",  "N",  "O",
    "P",  "Q",  "R",  "S",  "T",  "U",  "V",  "W",  "X",  "Y",  "Z",  "%K", "%L", "%M", "%N", "%O",
    "%W", "+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I", "+J", "+K", "+L", "+M", "+N", "+O",
    "+P", "+Q", "+R", "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z", "%P", "%Q", "%R", "%S", "%T"};

// Code 93: the 43 characters and the shifts ($) (%) (/) (+), written '[' ']' '{' '}', with
// their six element widths (bar first).
constexpr std::string_view kCode93Chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%[]{}";
constexpr const char* kCode93[47] = {
    "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114",
    "131211", "141111", "211113", "211212", "211311", "221112", "221211", "231111",
    "112113", "112212", "112311", "122112", "132111", "111123", "111222", "111321",
    "121122", "131121", "212112", "212211", "211122", "211221", "221121", "222111",
    "112122", "112221", "122121", "123111", "121131", "311112", "311211", "321111",
    "112131", "113121", "211131", "121221", "312111", "311121", "122211"};

// Code 128: the six element widths (bar first) of the values 0 to 105.
constexpr const char* kCode128[106] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232"};
constexpr int kCode128Fnc1 = 102;
constexpr const char* kCode128Stop = "2331112";

// Codabar: characters and their seven elements (bar first), 1 = wide.
constexpr std::string_view kCodabarChars = "0123456789-$:/.+ABCD";
constexpr const char* kCodabar[20] = {"0000011", "0000110", "0001001", "1100000", "0010010",
                                      "1000010", "0100001", "0100100", "0110000", "1001000",
                                      "0001100", "0011000", "1000101", "1010001", "1010100",
                                      "0010101", "0011010", "0101001", "0001011", "0001110"};

// EAN / UPC digits: module widths of the left half with odd parity, space first. Number set A
// is that, set B (left half, even parity) is it mirrored, set C (right half) starts with a bar.
constexpr const char* kEanWidths[10] = {"3211", "2221", "2122", "1411", "1132",
                                        "1231", "1114", "1312", "1213", "3112"};
enum EanSet { setA, setB, setC };
// Parity of EAN-13 digits 2 to 7 by the first digit ('o' set A, 'E' set B).
constexpr const char* kEan13Parity[10] = {"oooooo", "ooEoEE", "ooEEoE", "ooEEEo", "oEooEE",
                                          "oEEooE", "oEEEoo", "oEoEoE", "oEoEEo", "oEEoEo"};
// Parity of the six UPC-E digits by the check digit (number system 0).
constexpr const char* kUpcEParity[10] = {"EEEooo", "EEoEoo", "EEooEo", "EEoooE", "EoEEoo",
                                         "EooEEo", "EoooEE", "EoEoEo", "EoEooE", "EooEoE"};

// A two-width element string (1 = wide) as alternating bars and spaces, bar first.
std::string twoWidths(std::string_view wide) {
  std::string out;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    bool isWide = wide[i] == '1';
    out += i % 2 == 0 ? (isWide ? '6' : '5') : (isWide ? '1' : '0');
  }
  return out;
}

// A width string "1"-"4" as alternating bars and spaces, bar first.
std::string fourWidths(std::string_view widths) {
  std::string out;
  for (std::size_t i = 0; i < widths.size(); ++i)
    out += static_cast<char>(widths[i] - '1' + (i % 2 == 0 ? '5' : '0'));
  return out;
}

// Calls f(byte) for every one-byte character of engine text and f(-1) for each multibyte one,
// so no trail byte is ever mistaken for a letter or digit.
template <typename F>
void forEachChar(const std::string& text, F f) {
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = engineCharSize(text, i);
    f(n == 1 ? static_cast<unsigned char>(text[i]) : -1);
    i += n;
  }
}

int digit(char c) { return c - '0'; }

std::string eanDigit(EanSet set, char c) {
  std::string widths = kEanWidths[digit(c)];
  if (set == setB) widths = std::string(widths.rbegin(), widths.rend());
  if (set == setC) return fourWidths(widths);
  std::string out;
  for (std::size_t i = 0; i < widths.size(); ++i)
    out += static_cast<char>(widths[i] - '1' + (i % 2 == 0 ? '0' : '5'));
  return out;
}

// The check digit of a UPC-E number is that of the UPC-A number it stands for.
char upcECheckDigit(const std::string& six, int numberSystem) {
  std::string a = std::string(1, static_cast<char>('0' + numberSystem));
  const std::string_view d = six;
  switch (d[5]) {
    case '0':
    case '1':
    case '2':
      a += std::string(d.substr(0, 2)) + d[5] + "0000" + std::string(d.substr(2, 3));
      break;
    case '3':
      a += std::string(d.substr(0, 3)) + "00000" + std::string(d.substr(3, 2));
      break;
    case '4':
      a += std::string(d.substr(0, 4)) + "00000" + d[4];
      break;
    default:
      a += std::string(d.substr(0, 5)) + "0000" + d[5];
      break;
  }
  int sum = 0, weight = 3;
  for (auto it = a.rbegin(); it != a.rend(); ++it) {
    sum += digit(*it) * weight;
    weight = 4 - weight;
  }
  return static_cast<char>('0' + (10 - sum % 10) % 10);
}

}  // namespace

std::string TfrBarcode::code25Interleaved() const {
  std::string out = "5050";
  for (std::size_t i = 0; i + 1 < text_.size(); i += 2) {
    const char* bars = kTwoOfFive[digit(text_[i])];
    const char* spaces = kTwoOfFive[digit(text_[i + 1])];
    for (int k = 0; k < 5; ++k) {
      out += bars[k] == '1' ? '6' : '5';
      out += spaces[k] == '1' ? '1' : '0';
    }
  }
  return out + "605";
}

std::string TfrBarcode::code25Industrial() const {
  std::string out = "606050";
  for (char c : text_)
    for (const char* e = kTwoOfFive[digit(c)]; *e; ++e) out += *e == '1' ? "60" : "50";
  return out + "605060";
}

std::string TfrBarcode::code25Matrix() const {
  std::string out = "705050";
  for (char c : text_) out += twoWidths(kTwoOfFive[digit(c)]) + "0";
  return out + "70505";
}

std::string TfrBarcode::code39(const std::string& data) const {
  std::string out = twoWidths(kCode39[43]) + "0";
  int sum = 0;
  forEachChar(data, [&](int c) {
    std::size_t v = c < 0 ? std::string_view::npos : kCode39Chars.find(static_cast<char>(c));
    if (v == std::string_view::npos) return;
    out += twoWidths(kCode39[v]) + "0";
    sum = (sum + static_cast<int>(v)) % 43;
  });
  if (checksum_) out += twoWidths(kCode39[sum]) + "0";
  return out + twoWidths(kCode39[43]);
}

std::string TfrBarcode::code39Extended() const {
  std::string data;
  forEachChar(text_, [&](int c) {
    if (c >= 0 && c < 128) data += kFullAscii[c];
  });
  return code39(data);
}

std::string TfrBarcode::code128() {
  int set;  // 0 A, 1 B, 2 C
  bool ean = false;
  switch (typ_) {
    case bcCode128A:
      set = 0;
      break;
    case bcCode128B:
      set = 1;
      break;
    case bcCode128C:
      set = 2;
      break;
    case bcCodeEAN128A:
      set = 0, ean = true;
      break;
    case bcCodeEAN128B:
      set = 1, ean = true;
      break;
    case bcCodeEAN128C:
      set = 2, ean = true;
      break;
    default:
      throw BarcodeError(std::string(kClassName) + ": wrong BarcodeType in Code_128");
  }
  const int start = 103 + set;
  std::string out = fourWidths(kCode128[start]);
  int sum = start;
  int weight = 1;
  auto add = [&](int value) {
    out += fourWidths(kCode128[value]);
    // Kept reduced as it goes, so no text is long enough to overflow it.
    sum = (sum + value * weight) % 103;
    weight = weight % 103 + 1;
  };
  if (ean) add(kCode128Fnc1);

  // The EAN-128 check digit is computed from the text each time, so the text never grows.
  const bool withCheck = ean && checksum_;
  std::string data = withCheck ? Modulo10(text_) : text_;
  if (set == 2) {
    if (data.size() % 2 == 1) {
      data = "0" + data;
      text_ = "0" + text_;
    }
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
      add(digit(data[i]) * 10 + digit(data[i + 1]));
  } else {
    const int last = set == 0 ? '_' : '~';
    forEachChar(data, [&](int c) { add(c >= ' ' && c <= last ? c - ' ' : 0); });
  }
  out += fourWidths(kCode128[sum % 103]);
  return out + fourWidths(kCode128Stop);
}

std::string TfrBarcode::code93(const std::string& data) const {
  std::vector<int> values;
  forEachChar(data, [&](int c) {
    std::size_t v = c < 0 ? std::string_view::npos : kCode93Chars.find(static_cast<char>(c));
    if (v == std::string_view::npos)
      throw BarcodeError(std::string(kClassName) + ":Code93 bad Data <" + text_ + ">");
    values.push_back(static_cast<int>(v));
  });
  int c = 0, k = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    int v = values[values.size() - 1 - i];
    c = (c + v * static_cast<int>(i % 20 + 1)) % 47;
    k = (k + v * static_cast<int>((i + 1) % 15 + 1)) % 47;
  }
  c %= 47;
  k = (k + c) % 47;
  values.push_back(c);
  values.push_back(k);

  std::string out = fourWidths("111141");
  for (int v : values) out += fourWidths(kCode93[v]);
  return out + fourWidths("1111411");
}

std::string TfrBarcode::code93Extended() const {
  std::string data;
  forEachChar(text_, [&](int c) {
    if (c < 0 || c >= 128) return;
    for (const char* p = kFullAscii[c]; *p; ++p) {
      // A shift followed by a letter is a pair; '$', '%', '/', '+' standing alone stay.
      if (p[1] != '\0') {
        switch (*p) {
          case '$':
            data += '[';
            continue;
          case '%':
            data += ']';
            continue;
          case '/':
            data += '{';
            continue;
          case '+':
            data += '}';
            continue;
        }
      }
      data += *p;
    }
  });
  return code93(data);
}

std::string TfrBarcode::codeMSI() const {
  std::string out = "60";
  auto addDigit = [&](int d) {
    for (int bit = 3; bit >= 0; --bit) out += (d >> bit) & 1 ? "60" : "51";
  };
  int sum = 0;
  for (std::size_t i = 0; i < text_.size(); ++i) {
    int d = digit(text_[i]);
    addDigit(d);
    // Positions count from the rightmost digit, which is position 1 (odd): odd positions
    // are doubled, and doubling a whole number sums to the doubled digits' digit sums.
    if ((text_.size() - i) % 2 == 1)
      sum += 2 * d / 10 + 2 * d % 10;
    else
      sum += d;
  }
  addDigit((10 - sum % 10) % 10);
  return out + "515";
}

std::string TfrBarcode::codePostNet() const {
  std::string out = "51";
  for (char c : text_)
    for (const char* e = kPostNet[digit(c)]; *e; ++e) out += *e == '1' ? "51" : "A1";
  return out + "5";
}

std::string TfrBarcode::codeCodabar() const {
  std::string out = twoWidths(kCodabar[16]) + "0";
  forEachChar(text_, [&](int c) {
    std::size_t v = c < 0 ? std::string_view::npos : kCodabarChars.find(static_cast<char>(c));
    if (v != std::string_view::npos) out += twoWidths(kCodabar[v]) + "0";
  });
  return out + twoWidths(kCodabar[17]);
}

std::string TfrBarcode::codeEAN8() const {
  const std::string data = checksum_ ? Modulo10(FitText(7)) : FitText(8);
  if (data.size() != 8) throw BarcodeError("Invalid Text len (EAN8)");
  std::string out = "505";
  for (int i = 0; i < 4; ++i) out += eanDigit(setA, data[i]);
  out += "05050";
  for (int i = 4; i < 8; ++i) out += eanDigit(setC, data[i]);
  return out + "505";
}

std::string TfrBarcode::codeEAN13() {
  const std::string data = checksum_ ? Modulo10(FitText(12)) : FitText(13);
  if (data.size() != 13) throw BarcodeError("Invalid Text len (EAN13)");
  text_ = data;
  const char* parity = kEan13Parity[digit(data[0])];
  std::string out = "505";
  for (int i = 1; i < 7; ++i) out += eanDigit(parity[i - 1] == 'E' ? setB : setA, data[i]);
  out += "05050";
  for (int i = 7; i < 13; ++i) out += eanDigit(setC, data[i]);
  return out + "505";
}

std::string TfrBarcode::codeUPC_A() {
  text_ = FitText(12);
  // Without a check method the text keeps the check digit it brings.
  if (checksum_ && checkSumMethod_ == csmModulo10) text_ = Modulo10(text_.substr(0, 11));
  std::string out = "505";
  for (int i = 0; i < 6; ++i) out += eanDigit(setA, text_[i]);
  out += "05050";
  for (int i = 6; i < 12; ++i) out += eanDigit(setC, text_[i]);
  return out + "505";
}

std::string TfrBarcode::codeUPC_E(int numberSystem) {
  text_ = FitText(7);
  if (checksum_ && checkSumMethod_ == csmModulo10)
    text_ = text_.substr(0, 6) + upcECheckDigit(text_.substr(0, 6), numberSystem);
  // Number system 1 uses the parity rows inverted.
  const bool even = numberSystem == 0;
  const char* parity = kUpcEParity[digit(text_[6])];
  std::string out = "505";
  for (int i = 0; i < 6; ++i) out += eanDigit((parity[i] == 'E') == even ? setB : setA, text_[i]);
  return out + "050505";
}

std::string TfrBarcode::codeSupp2() {
  text_ = FitText(2);
  const int check = (digit(text_[0]) * 10 + digit(text_[1])) % 4;
  static constexpr const char* kParity[4] = {"oo", "oE", "Eo", "EE"};
  std::string out = "506";
  for (int i = 0; i < 2; ++i) {
    if (i > 0) out += "05";
    out += eanDigit(kParity[check][i] == 'E' ? setB : setA, text_[i]);
  }
  if (checksum_) text_ += static_cast<char>('0' + check);
  return out;
}

std::string TfrBarcode::codeSupp5() {
  text_ = FitText(5);
  const int check = (3 * (digit(text_[0]) + digit(text_[2]) + digit(text_[4])) +
                     9 * (digit(text_[1]) + digit(text_[3]))) %
                    10;
  const char* parity = kUpcEParity[check] + 1;
  std::string out = "506";
  for (int i = 0; i < 5; ++i) {
    if (i > 0) out += "05";
    out += eanDigit(parity[i] == 'E' ? setB : setA, text_[i]);
  }
  if (checksum_) text_ += static_cast<char>('0' + check);
  return out;
}

}  // namespace kelpo::report
