// Any text, symbology (valid or not), options, module, ratio and angle given to the barcode
// generator must encode or end in the generator's own error: no crash, no overflow, no hang.
#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>
#include <string>

#include "report/barcode/barcode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  using namespace kelpo::report;
  TfrBarcode b;
  b.SetTyp(data[0] % (kBarcodeTypeCount + 1));
  b.SetChecksum(data[1] & 1);
  b.SetCheckSumMethod(data[1] & 2 ? csmNone : csmModulo10);
  b.SetModul(data[2] % 8);
  b.SetRatio(data[3] / 16.0);
  b.SetAngle(data[4] * 360.0 / 256);
  b.SetHeight(static_cast<std::int8_t>(data[1]) / 4);
  b.SetLeft(8);
  b.SetTop(8);
  b.SetText(std::string(reinterpret_cast<const char*>(data) + 5, size - 5));
  try {
    const std::string pattern = b.MakePattern();
    if (b.GetWidth() < 0) __builtin_trap();
    // The pattern only holds the element alphabet.
    for (char c : pattern) b.elementWidth(c);
    QImage image(48, 48, QImage::Format_RGB32);
    QPainter painter(&image);
    b.DrawBarcode(painter);
  } catch (const BarcodeError&) {
  }
  return 0;
}
