// The report object model: views (memo, line, band, sub-report, picture and add-ins) with their
// fields, defaults and flag bits, and how each reads and writes its template record block.
#pragma once

#include <QRect>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphic.h"
#include "report/expr/byte_stream.h"
#include "report/expr/engine_state.h"
#include "report/expr/value.h"

class QPainter;

namespace kelpo {
class Query;
}

namespace kelpo::report {

class TfrBand;
class TfrView;

inline constexpr int kTemplateVersion = 25;
inline constexpr std::uint32_t kClNone = 0x1FFFFFFF;
// The character set memos get when a stream does not carry one (GB2312).
inline constexpr std::uint16_t kDefaultCharset = 134;

enum : std::uint8_t {
  gtMemo = 0,
  gtPicture = 1,
  gtBand = 2,
  gtSubReport = 3,
  gtLine = 4,
  gtAddIn = 10
};

// Flag bits.
enum : std::uint16_t {
  flStretched = 0x01,
  flWordWrap = 0x02,
  flWordBreak = 0x04,
  flAutoSize = 0x08,
  flTextOnly = 0x10,
  flSuppressRepeated = 0x20,
  flHideZeros = 0x40,
  flUnderlines = 0x80,
  flRTLReading = 0x100,
  flPictCenter = 0x02,
  flPictRatio = 0x04,
  flBandNewPageAfter = 0x02,
  flBandPrintifSubsetEmpty = 0x04,
  flBandBreaked = 0x08,
  flBandOnFirstPage = 0x10,
  flBandOnLastPage = 0x20,
  flBandRepeatHeader = 0x40,
  flBandPrintChildIfInvisible = 0x80,
  flWantHook = 0x8000
};

// Band types are TfrBandType of the engine state; 23 of them.
inline constexpr int kBandTypeCount = 23;

// Display name of a band type (engine texts 55077 onward).
const char* bandTypeName(int type);

// How a record is read: the stream's version and whether it is a template or a prepared page.
struct TfrStreamContext {
  int version = kTemplateVersion;
  bool templateMode = true;
};

// Whether the engine works on a template (designing, loading) or on output (preparing, drawing
// prepared pages). Drawing scales and fills differently in the two.
enum class TfrDocMode { Template, Output };
TfrDocMode& frDocMode();

// Runs a view's script during output; the script interpreter installs itself here. Without one,
// scripts are not run.
using TfrScriptRunner = std::function<void(TfrView& view)>;
TfrScriptRunner& frScriptRunner();

// One entry of an object's named-property table; kind and enumerations only present it.
struct TfrPropRec {
  std::string name;
  std::uint16_t kind = 0;  // 1 text, 2 small integer, 4 real, 8 boolean, 16 colour, 32 enumeration
  std::vector<std::string> enumNames;
  std::vector<int> enumValues;
};

enum : std::uint16_t {
  pkText = 1,
  pkSmallInt = 2,
  pkReal = 4,
  pkBoolean = 8,
  pkColor = 16,
  pkEnum = 32,
  pkEditor = 64,
  pkSize = 128,
  pkNameLike = 256
};

class TfrObject {
 public:
  virtual ~TfrObject() = default;
  // Names are compared upper-cased; names the object does not have are ignored (set) or give
  // an empty value (get).
  virtual void SetProperty(const std::string& name, const Value& value);
  virtual Value GetProperty(const std::string& name);
  // Arguments are expression texts; methods evaluate the ones they use.
  virtual Value CallMethod(const std::string& name, const std::string& arg1,
                           const std::string& arg2, const std::string& arg3);
  virtual void RegisterProperties() {}

  // The table, built on first need; clearing it makes the next use rebuild it.
  const std::vector<TfrPropRec>& properties();
  void clearProperties() { propsBuilt_ = false, props_.clear(); }
  bool hasProperty(const std::string& name);

 protected:
  void addProperty(std::string name, std::uint16_t kind, std::string_view enumList = {});

 private:
  std::vector<TfrPropRec> props_;
  bool propsBuilt_ = false;
};

// Geometry a view saves before it is scaled for drawing and gets back afterwards.
struct TfrSavedGeometry {
  std::int32_t x = 0, y = 0, dx = 0, dy = 0, gapX = 0, gapY = 0;
  float frameWidth = 0;
};

// Every view is, while it is output, the current view that expressions ask for its format.
class TfrView : public TfrObject, public TfrCurrentView {
 public:
  TfrView();
  ~TfrView() override;

  std::string name;
  std::uint8_t typ = gtAddIn;
  std::uint8_t versionMajor = 2, versionMinor = 0;
  std::int32_t id = 0;
  bool templateMode = true;
  std::string baseName = "View";
  std::int32_t x = 0, y = 0, dx = 0, dy = 0;
  std::uint16_t flags = flStretched;
  std::uint16_t frameTyp = 0;
  float frameWidth = 1.0f;
  std::uint32_t frameColor = 0;
  std::uint16_t frameStyle = 0;
  std::uint32_t fillColor = kClNone;
  std::int32_t format = 0;
  std::string formatStr;
  bool visible = true;
  std::int32_t gapX = 2, gapY = 1;
  // Carried for a designer and written back unchanged, all 16 record bits of it.
  std::uint16_t restrictions = 0;
  std::string tag;
  TfrStrings memo;
  TfrStrings script;
  std::uint8_t bandAlign = 0;
  TfrStrings memo1;  // expanded text
  double scaleX = 1.0, scaleY = 1.0;
  std::int32_t offsetX = 0, offsetY = 0;
  bool printing = false;
  // The run-time band the view is output on (set by the build engine; none on prepared pages).
  TfrBand* parent = nullptr;
  // Set by preparation when the whole text is one field reference, so blob fields can be read
  // whole (before-print hook).
  Query* cachedDataset = nullptr;
  std::string cachedField;
  // The scaled rectangle ApplyScale computes; right and bottom are exclusive.
  QRect drawRect;

  void SetProperty(const std::string& name, const Value& value) override;
  Value GetProperty(const std::string& name) override;
  Value CallMethod(const std::string& name, const std::string& arg1, const std::string& arg2,
                   const std::string& arg3) override;
  void RegisterProperties() override;

  // Class name used in add-in records; empty for the built-in types.
  virtual std::string className() const { return {}; }

  virtual void loadFromStream(TfrReader& r, const TfrStreamContext& ctx);
  virtual void saveToStream(TfrWriter& w) const;
  virtual void afterLoad() {}

  // Record version major * 10 + minor.
  int recordVersion() const { return versionMajor * 10 + versionMinor; }

  // --- output and drawing ---
  // Draws the view from its prepared record; scale, offset and printing are set by the caller.
  virtual void Paint(QPainter& canvas);
  // Writes the prepared record of this output into a prepared page stream, or nothing when the
  // view is hidden. The base does the common behaviour: prepare drawing, before-print hook,
  // script, tag expansion, bottom/top/width band alignment, record.
  virtual void EmitPrepared(TfrWriter& stream);
  // Hands the view to the current export filter; memos send their lines.
  virtual void Export();
  // Type code, class name for add-ins, and the record in prepared mode (expanded text).
  void writePreparedRecord(TfrWriter& stream);

  // Saves and scales the geometry (halves rounded to even) and computes drawRect.
  void ApplyScale();
  void RestoreGeometry();
  void PaintBackground(QPainter& canvas);
  void PaintFrame(QPainter& canvas);
  // Band alignment when drawing (left, right, centre, width, rest) against the parent band's
  // other views and the page edges; nothing without a parent band.
  void PrepareDrawing();
  // Loads a blob field remembered by preparation into the view, then fires the report's
  // OnBeforePrint; true when the expanded text was changed (the memo then is not expanded).
  bool BeforePrintHook();
  // The content of a field: into the expanded text here; pictures take the picture.
  virtual void LoadFromField(Query* dataset, const std::string& field);
  // The tag with its bracketed expressions expanded (format code 0).
  std::string expandedTag();

  const TfrSavedGeometry& savedGeometry() const { return saved_; }

  // The current view as expressions see it.
  int CalcWidth() override { return dx; }
  std::uint32_t FormatCode() const override { return static_cast<std::uint32_t>(format); }
  std::string FormatText() const override { return formatStr; }
  bool HideZeros() const override { return (flags & flHideZeros) != 0; }

 protected:
  virtual std::uint8_t writtenMinor() const { return 0; }
  // The common entries; bands present their text as OnBeforePrint and choose Stretched by type.
  void registerViewProperties(bool band);

 private:
  TfrSavedGeometry saved_;
};

// Next value of the program-wide object identifier counter.
std::int32_t nextObjectId();

class TfrControl : public TfrView {};

class TfrStretcheable : public TfrView {
 public:
  // Height the content needs for the current record, height of one line, and the part of the
  // current height that does not hold a whole line (layout units).
  virtual std::int32_t CalcHeight() { return dy; }
  virtual std::int32_t MinHeight() { return 1; }
  virtual std::int32_t RemainHeight() { return 0; }
  Value CallMethod(const std::string& name, const std::string& arg1, const std::string& arg2,
                   const std::string& arg3) override;
};

struct TfrFont {
  std::string name = "Arial";
  std::int32_t size = 10;
  std::uint16_t style = 0;  // record bits: 1 italic, 2 bold, 4 underline, 8 strike-out
  std::uint32_t color = 0;
  std::uint16_t charset = kDefaultCharset;
  bool operator==(const TfrFont&) const = default;
};

class TfrMemoView : public TfrStretcheable {
 public:
  TfrMemoView();
  TfrFont font;
  std::uint32_t alignment = 0;
  std::uint16_t highlightStyle = 2;
  std::uint32_t highlightColor = 0;
  std::uint32_t highlightFill = 0xFFFFFF;
  std::string highlightCondition;
  std::int32_t lineSpacing = 2;
  std::int32_t characterSpacing = 0;
  std::string lastValue;

  void SetProperty(const std::string& name, const Value& value) override;
  Value GetProperty(const std::string& name) override;
  Value CallMethod(const std::string& name, const std::string& arg1, const std::string& arg2,
                   const std::string& arg3) override;
  void RegisterProperties() override;
  // Set while reading a framed-memo record, whose 8 extra bytes follow the memo block.
  bool framedRecord = false;

  void loadFromStream(TfrReader& r, const TfrStreamContext& ctx) override;
  void saveToStream(TfrWriter& w) const override;

  // --- layout and drawing (memo_view.cpp) ---
  enum DrawMode { drAll = 0, drCalcHeight = 1, drPart = 2 };
  // Set by the build engine before EmitPrepared or CalcHeight; EmitPrepared sets it back to all.
  int drawMode = drAll;
  bool alreadyWrapped = false;
  // Output stops at the bottom of the drawing rectangle (split parts).
  bool clipped = false;
  // Lines go to the export filter instead of the canvas.
  bool exporting = false;
  std::int32_t textHeight = 0;  // of the wrapped text, both vertical gaps included
  std::int32_t lineHeight = 0;
  int linesDrawn = 0;

  void EmitPrepared(TfrWriter& stream) override;
  std::int32_t CalcHeight() override;
  std::int32_t MinHeight() override;
  std::int32_t RemainHeight() override;
  void Paint(QPainter& canvas) override;
  void Export() override;
  // Width of the expanded text as drawn on `canvas` (or the scratch canvas): CALCWIDTH and
  // AutoWidth.
  std::int32_t CalcTextWidth(QPainter* canvas = nullptr);
  int CalcWidth() override { return CalcTextWidth(); }
  // Wraps the expanded text to the memo's width on the scratch canvas; the result is in the
  // shared list of wrapped lines and textHeight.
  void WrapMemo(bool templateLayout = false);
  // Evaluates the highlight condition and, when it holds, swaps in the highlight style and
  // colours until RestoreHighlight.
  void ApplyHighlight();
  void RestoreHighlight();

 private:
  void runScript();
  void expandText();
  void drawText(QPainter& canvas, const TfrStrings& lines);
  void drawRuleLines(QPainter& canvas);
  // Pixel height of the memo font on the canvas being drawn.
  int textPixelHeight(QPainter& canvas) const;
  std::uint16_t savedStyle_ = 0;
  std::uint32_t savedColor_ = 0, savedFill_ = 0;
  bool highlighted_ = false;
};

// A horizontal or vertical line, by its shape (line_view.cpp).
class TfrLineView : public TfrStretcheable {
 public:
  TfrLineView();
  std::int32_t CalcHeight() override { return dy; }
  std::int32_t MinHeight() override { return 1; }
  std::int32_t RemainHeight() override { return 0; }
  void Paint(QPainter& canvas) override;
};

class TfrBandView : public TfrView {
 public:
  TfrBandView();
  std::string childBand;
  std::string master;
  std::int32_t columns = 1, columnWidth = 200, columnGap = 20, newColumnAfter = 1;

  int bandType() const { return frameTyp; }
  void SetProperty(const std::string& name, const Value& value) override;
  Value GetProperty(const std::string& name) override;
  Value CallMethod(const std::string& name, const std::string& arg1, const std::string& arg2,
                   const std::string& arg3) override;
  void RegisterProperties() override;
  void loadFromStream(TfrReader& r, const TfrStreamContext& ctx) override;
  void saveToStream(TfrWriter& w) const override;

 protected:
  std::uint8_t writtenMinor() const override { return 1; }
};

// The frame in which another page of the template is printed beside the band's other objects
// (subreport_view.cpp). The band prints that page; the frame itself is never output.
class TfrSubReportView : public TfrView {
 public:
  TfrSubReportView();
  std::int32_t subPage = 0;
  void loadFromStream(TfrReader& r, const TfrStreamContext& ctx) override;
  void saveToStream(TfrWriter& w) const override;
  void EmitPrepared(TfrWriter& stream) override;
  void Paint(QPainter& canvas) override;
};

// A picture stored in the template, or taken from a blob field or a file (picture_view.cpp).
class TfrPictureView : public TfrView {
 public:
  TfrPictureView();
  // 0 none, 1 bitmap, 2 metafile, 3 icon, 4 JPEG; the graphic's own stream bytes.
  std::uint8_t graphicKind = 0;
  std::uint8_t blobType = 0;
  std::string graphicData;

  void SetProperty(const std::string& name, const Value& value) override;
  Value GetProperty(const std::string& name) override;
  Value CallMethod(const std::string& name, const std::string& arg1, const std::string& arg2,
                   const std::string& arg3) override;
  void RegisterProperties() override;
  void loadFromStream(TfrReader& r, const TfrStreamContext& ctx) override;
  void saveToStream(TfrWriter& w) const override;
  void LoadFromField(Query* dataset, const std::string& field) override;
  void EmitPrepared(TfrWriter& stream) override;
  void Paint(QPainter& canvas) override;

  // Sets the picture from a graphic's stream bytes, checking that they decode; damaged bytes
  // raise DecoderError and leave the picture as it was.
  void setGraphic(std::uint8_t kind, std::string bytes);
  void clearGraphic();
  // LOADFROMFILE: the picture of an existing file (its kind by the extension), or none.
  void loadFromFile(const std::string& fileName);
  // The decoded picture, decoded on first need and kept; damaged data raises DecoderError.
  const Graphic& graphic() const;
  // The PICTURE property: expressions hold a picture as a text of its kind byte followed by its
  // stream bytes (empty text: no picture), so one view's picture can be given to another.
  Value picture() const;
  void setPicture(const Value& value);

 private:
  mutable std::shared_ptr<const Graphic> decoded_;
  mutable std::uint8_t decodedKind_ = 0;
  mutable std::string decodedData_;
};

// Splits a text at CR LF, LF or CR into lines; joins lines with CR LF.
TfrStrings splitLines(std::string_view text);
std::string joinLines(const TfrStrings& lines);

// Creates a built-in view of type code 0 to 4; null for other codes.
std::unique_ptr<TfrView> createBuiltInView(int typ);

// Frame width as stored: whole widths up to 10 as themselves, everything else times 1000.
// Widths are stored as storableFrameWidth gives them, so each reads back unchanged.
std::int32_t frameWidthToStream(float width);
// The width the stored form keeps: whole widths, and thousandths above 0.01; any other width
// becomes the nearest of these (a negative or tiny fraction the nearest whole width).
float storableFrameWidth(float width);
float frameWidthFromStream(std::int32_t stored);

}  // namespace kelpo::report
