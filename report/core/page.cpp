#include "report/core/page.h"


namespace kelpo::report {

TfrPage*& frCurPage() {
  static TfrPage* page = nullptr;
  return page;
}

TfrView* TfrPage::findObject(std::string_view objName) const {
  for (const auto& v : objects)
    if (sameName(v->name, objName)) return v.get();
  return nullptr;
}

void TfrPage::changePaper(std::int32_t size, std::int32_t w, std::int32_t h, std::int32_t bin,
                          std::uint8_t orient) {
  pgSize = size;
  pgWidth = w;
  pgHeight = h;
  pgBin = bin;
  orientation = orient;
  if (auto* prn = printerModel()) {
    TfrPaper in;
    try {
      in = prn->setPaper({size, w, h, orient, bin});
    } catch (const std::exception&) {
      in = prn->setPaper({256, w, h, orient, 0xFFFF});
    }
    pgSize = in.size;
    pgWidth = in.width;
    pgHeight = in.height;
    pgBin = in.bin;
    prnInfo = prn->metrics();
    return;
  }
  // Without a printer model the paper is taken as the model keeps it: width and height as the
  // paper lies on the page, already exchanged for landscape.
  prnInfo = paperOnlyMetrics(w, h);
}

std::int32_t TfrPage::topMargin() const {
  if (!useMargins) return 0;
  return marginTop == 0 ? prnInfo.ofpy : marginTop;
}

std::int32_t TfrPage::leftMargin() const {
  if (!useMargins) return 0;
  return marginLeft == 0 ? prnInfo.ofpx : marginLeft;
}

std::int32_t TfrPage::rightEdge() const {
  if (!useMargins) return prnInfo.pw;
  return marginRight == 0 ? prnInfo.ofpx + prnInfo.ppw : prnInfo.pw - marginRight;
}

std::int32_t TfrPage::bottomEdge() const {
  if (!useMargins) return prnInfo.ph;
  return marginBottom == 0 ? prnInfo.ofpy + prnInfo.pph : prnInfo.ph - marginBottom;
}

void TfrPage::loadFromStream(TfrReader& r, int ver) {
  std::int32_t marker = r.i32();
  std::int32_t size = marker == -1 ? r.i32() : marker;
  std::int32_t w = r.i32();
  std::int32_t h = r.i32();
  marginLeft = r.i32();
  marginTop = r.i32();
  marginRight = r.i32();
  marginBottom = r.i32();
  std::uint8_t orient = r.u8();
  if (ver < 23) r.skip(6);
  std::int32_t bin = ver >= 24 ? r.i32() : -1;
  printToPrevPage = r.i16() != 0;
  useMargins = r.i16() != 0;
  columns = r.i32();
  colGap = r.i32();
  if (ver >= 24) {
    pageType = r.u8();
    name = r.readString(ver);
    borderStyle = r.u8();
    if (borderStyle == 0)
      borderStyle = 3;
    else if (borderStyle == 1)
      borderStyle = 2;
    caption = r.readString(ver);
    color = r.u32();
    left = r.i32();
    top = r.i32();
    width = r.i32();
    height = r.i32();
    position = r.u8() != 0 ? 4 : 0;
  }
  if (marker == -1) script = r.readStringList(ver);
  changePaper(size, w, h, bin, orient);
}

void TfrPage::saveToStream(TfrWriter& w) const {
  w.i32(-1);
  w.i32(pgSize);
  w.i32(pgWidth);
  w.i32(pgHeight);
  w.i32(marginLeft);
  w.i32(marginTop);
  w.i32(marginRight);
  w.i32(marginBottom);
  w.u8(orientation);
  w.i32(pgBin);
  w.i16(printToPrevPage ? 1 : 0);
  w.i16(useMargins ? 1 : 0);
  w.i32(columns);
  w.i32(colGap);
  w.u8(pageType);
  w.writeString(name);
  w.u8(borderStyle);
  w.writeString(caption);
  w.u32(color);
  w.i32(left);
  w.i32(top);
  w.i32(width);
  w.i32(height);
  w.u8(position);
  w.writeStringList(script);
}

TfrPage* TfrPages::add() {
  auto page = std::make_unique<TfrPage>();
  for (int n = 1; n <= 10000; ++n) {
    std::string candidate = "Page" + std::to_string(n);
    bool used = false;
    for (const auto& p : pages_)
      if (sameName(p->name, candidate)) used = true;
    if (!used) {
      page->name = candidate;
      break;
    }
  }
  if (auto* prn = printerModel()) {
    TfrPaper paper = prn->paper();
    page->changePaper(paper.size, paper.width, paper.height, paper.bin, paper.orientation);
  } else {
    page->changePaper(9, 2100, 2970, 0xFFFF, 0);
  }
  pages_.push_back(std::move(page));
  return pages_.back().get();
}

void TfrPages::remove(int i) {
  if (i >= 0 && i < count()) pages_.erase(pages_.begin() + i);
}

}  // namespace kelpo::report
