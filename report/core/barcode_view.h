// The report's barcode object: an add-in view that encodes its value with its own generator,
// sizes itself along the barcode, and keeps its settings in a 24-byte block of its record.
#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <functional>
#include <optional>

#include "report/barcode/barcode.h"
#include "report/core/view.h"

class QPainter;

namespace kelpo::report {

class TfrBarCodeView : public TfrView {
 public:
  TfrBarCodeView();
  std::string className() const override { return "TfrBarCodeView"; }

  // The stored block, in record order.
  std::uint8_t calcCheckSum = 1;
  std::uint8_t showText = 1;
  std::uint8_t reserved = 0;
  std::uint8_t barType = bcCode39;
  std::int32_t mode = 2;
  double zoom = 1.0;
  double rotation = 0;

  void RegisterProperties() override;
  void loadFromStream(TfrReader& r, const TfrStreamContext& ctx) override;
  void saveToStream(TfrWriter& w) const override;
  // Evaluates a bracketed first line once and writes its text form (or "0" on an error).
  void EmitPrepared(TfrWriter& stream) override;
  // Draws the barcode of the design text (in a prepared page: the value written), sized along
  // the barcode; generator errors propagate.
  void Paint(QPainter& canvas) override;

  // The text the generator is given for the expanded text: the first line, or the
  // placeholder for an expression or a digits-only type given something that is not a number.
  std::string codeText() const;
  // Sets the generator up from the expanded text and the settings and sizes the view along the
  // barcode (pattern width x zoom). Returns the size of the unzoomed drawing, or nothing when
  // the value is "0" and nothing is drawn. Generator errors propagate.
  std::optional<QSize> layoutBarcode();
  // Draws bars and readable text of the last layout, the unzoomed drawing stretched to `target`.
  void drawBarcode(QPainter& canvas, QSize drawing, const QRect& target);

  // Runs the barcode editor, when the report's user interface has installed one; a report
  // designer calls it through the editor of the "Barcode" property.
  void ShowEditor();

  TfrBarcode& barcode() { return barcode_; }

 private:
  TfrBarcode barcode_;
};

// The component a form holds so that its reports may use barcodes; it has no behaviour of its
// own (the view registers itself at start-up).
class TfrBarCodeObject : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
};

// The barcode editor that ShowEditor runs (installed by the report's user interface).
std::function<void(TfrBarCodeView&)>& frBarCodeEditor();

// Puts the view into the add-in registry; also declared with the registry, where start-up
// finds it.
void registerBarCodeView();

// The placeholder drawn for a view whose value is an expression or not usable.
inline constexpr const char* kBarcodePlaceholder = "12345678";

}  // namespace kelpo::report
