#include "report/core/view.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace kelpo::report {

namespace {
std::int32_t g_nextId = 0;

const char* const kBandNames[kBandTypeCount] = {
    "报表标题", "报表合计", "页头",     "页脚",       "主项头",   "主项数据",
    "主项脚",   "细项头",   "细项数据", "细项脚",     "子细项头", "子细项数据",
    "子细项脚", "覆盖",     "栏目头",   "栏目脚",     "分组头",   "分组脚",
    "交叉表头", "交叉表数据", "交叉表脚", "子",         "无"};
}  // namespace

const char* bandTypeName(int type) {
  return type >= 0 && type < kBandTypeCount ? kBandNames[type] : "";
}

std::int32_t nextObjectId() { return g_nextId++; }

float storableFrameWidth(float width) {
  double w = static_cast<double>(width);
  if (!std::isfinite(w)) return 0.0f;
  // Whole widths above 2147483 and fractions above 2147483.647 would not fit the int32.
  w = std::clamp(w, static_cast<double>(INT32_MIN), 2147483.647);
  const double thousandths = std::nearbyint(w * 1000.0);
  if (std::fmod(thousandths, 1000.0) == 0.0) return static_cast<float>(thousandths / 1000.0) + 0.0f;
  // A stored value of 10 or less reads as a whole width: fractions up to 0.01 and negative
  // fractions have no stored form of their own and become the nearest whole width.
  if (thousandths > 10.0) return static_cast<float>(thousandths / 1000.0);
  return static_cast<float>(std::nearbyint(w)) + 0.0f;
}

std::int32_t frameWidthToStream(float width) {
  width = storableFrameWidth(width);
  // A whole width above 10 would be read back as a thousandth of itself, so it is scaled too.
  double stored = static_cast<double>(width);
  if (!(std::floor(width) == width && width <= 10)) stored *= 1000.0;
  stored = std::nearbyint(stored);
  // A width read from a damaged stream may not fit back; it is kept at the nearest storable one.
  if (!(stored >= INT32_MIN)) return INT32_MIN;
  if (stored > INT32_MAX) return INT32_MAX;
  return static_cast<std::int32_t>(stored);
}

float frameWidthFromStream(std::int32_t stored) {
  double v = stored;
  if (stored <= 10) v *= 1000;
  return static_cast<float>(v / 1000.0);
}

// Numbers of a new view print with two decimals and the separator in force when it is created.
TfrView::TfrView() : id(nextObjectId()) {
  format = 0x200 + static_cast<std::uint8_t>(valueLocale().decimalSeparator);
}
TfrView::~TfrView() = default;

void TfrView::loadFromStream(TfrReader& r, const TfrStreamContext& ctx) {
  const int ver = ctx.version;
  templateMode = ctx.templateMode;
  if (ver >= 24 || (ver == 23 && ctx.templateMode)) name = r.readString(ver);
  if (ver >= 24) {
    versionMajor = r.u8();
    versionMinor = r.u8();
  } else {
    // Records older than 24 carry no record version; they predate band alignment and blob types.
    versionMajor = 1;
    versionMinor = 0;
  }
  x = r.i32();
  y = r.i32();
  dx = r.i32();
  dy = r.i32();
  flags = r.u16();
  frameTyp = r.u16();
  frameWidth = frameWidthFromStream(r.i32());
  frameColor = r.u32();
  frameStyle = r.u16();
  fillColor = r.u32();
  if (ctx.templateMode) {
    format = r.i32();
    formatStr = r.readString(ver);
  }
  memo = r.readStringList(ver);
  if (ver >= 23 && ctx.templateMode) {
    script = r.readStringList(ver);
    visible = r.u16() != 0;
  }
  if (ver >= 24) {
    restrictions = r.u16();
    tag = r.readString(ver);
    gapX = r.i32();
    gapY = r.i32();
  }
  if (versionMajor > 1) bandAlign = r.u8();
}

void TfrView::saveToStream(TfrWriter& w) const {
  w.writeString(name);
  w.u8(2);
  w.u8(writtenMinor());
  w.i32(x);
  w.i32(y);
  w.i32(dx);
  w.i32(dy);
  w.u16(flags);
  w.u16(frameTyp);
  w.i32(frameWidthToStream(frameWidth));
  w.u32(frameColor);
  w.u16(frameStyle);
  w.u32(fillColor);
  if (templateMode) {
    w.i32(format);
    w.writeString(formatStr);
  }
  w.writeStringList(templateMode ? memo : memo1);
  if (templateMode) {
    w.writeStringList(script);
    w.u16(visible ? 0xFFFF : 0);
  }
  w.u16(restrictions);
  w.writeString(tag);
  w.i32(gapX);
  w.i32(gapY);
  w.u8(bandAlign);
}

TfrMemoView::TfrMemoView() {
  typ = gtMemo;
  baseName = "Memo";
  flags = flStretched | flWordWrap;
}

void TfrMemoView::loadFromStream(TfrReader& r, const TfrStreamContext& ctx) {
  TfrView::loadFromStream(r, ctx);
  const int ver = ctx.version;
  font.name = r.readString(ver);
  font.size = r.i32();
  font.style = r.u16();
  font.color = r.u32();
  alignment = r.u32();
  std::uint16_t charset = r.u16();
  font.charset = ver >= 23 ? charset : kDefaultCharset;
  if (ctx.templateMode) {
    highlightStyle = r.u16();
    highlightColor = r.u32();
    highlightFill = r.u32();
    highlightCondition = r.readString(ver);
  }
  if (ver >= 24) {
    lineSpacing = r.i32();
    characterSpacing = r.i32();
  }
  if (ver == 21) flags |= flWordWrap;
  if (framedRecord) r.skip(8);
}

void TfrMemoView::saveToStream(TfrWriter& w) const {
  TfrView::saveToStream(w);
  w.writeString(font.name);
  w.i32(font.size);
  w.u16(font.style);
  w.u32(font.color);
  w.u32(alignment);
  w.u16(font.charset);
  if (templateMode) {
    w.u16(highlightStyle);
    w.u32(highlightColor);
    w.u32(highlightFill);
    w.writeString(highlightCondition);
  }
  w.i32(lineSpacing);
  w.i32(characterSpacing);
}

TfrBandView::TfrBandView() {
  typ = gtBand;
  baseName = "Band";
  flags = flBandOnFirstPage | flBandOnLastPage;
  format = 0;
  versionMinor = 1;
}

void TfrBandView::loadFromStream(TfrReader& r, const TfrStreamContext& ctx) {
  TfrView::loadFromStream(r, ctx);
  if (ctx.version < 24) return;
  childBand = r.readNewString();
  columns = r.i32();
  columnWidth = r.i32();
  columnGap = r.i32();
  newColumnAfter = r.i32();
  if (recordVersion() > 20) master = r.readString(ctx.version);
}

void TfrBandView::saveToStream(TfrWriter& w) const {
  TfrView::saveToStream(w);
  w.writeString(childBand);
  w.i32(columns);
  w.i32(columnWidth);
  w.i32(columnGap);
  w.i32(newColumnAfter);
  w.writeString(master);
}

std::unique_ptr<TfrView> createBuiltInView(int typ) {
  switch (typ) {
    case gtMemo: return std::make_unique<TfrMemoView>();
    case gtPicture: return std::make_unique<TfrPictureView>();
    case gtBand: return std::make_unique<TfrBandView>();
    case gtSubReport: return std::make_unique<TfrSubReportView>();
    case gtLine: return std::make_unique<TfrLineView>();
    default: return nullptr;
  }
}

}  // namespace kelpo::report
