#include "report/core/addin_registry.h"

namespace kelpo::report {

namespace {
std::vector<TfrAddInObjectInfo>& registry() {
  static std::vector<TfrAddInObjectInfo> list;
  return list;
}
}  // namespace

bool frRegisterObject(TfrAddInObjectInfo info) {
  auto& list = registry();
  for (const auto& e : list)
    if (e.className == info.className) return false;
  if (list.size() >= kMaxAddIns) return false;
  list.push_back(std::move(info));
  return true;
}

const std::vector<TfrAddInObjectInfo>& frAddInObjects() { return registry(); }

std::unique_ptr<TfrView> createAddInView(const std::string& className) {
  for (const auto& e : registry()) {
    if (e.className == className) {
      auto v = e.create();
      v->typ = gtAddIn;
      return v;
    }
  }
  throw EClassNotFound("Class " + className + " not found");
}

TfrBarCodeView::TfrBarCodeView() { baseName = "Bar"; }

void TfrBarCodeView::loadFromStream(TfrReader& r, const TfrStreamContext& ctx) {
  TfrView::loadFromStream(r, ctx);
  calcCheckSum = r.u8();
  showText = r.u8();
  reserved = r.u8();
  barType = r.u8();
  mode = r.i32();
  zoom = r.f64();
  rotation = r.f64();
  // Mode 1 stored a doubled zoom.
  if (mode == 1) {
    zoom /= 2;
    mode = 2;
  }
}

void TfrBarCodeView::saveToStream(TfrWriter& w) const {
  TfrView::saveToStream(w);
  w.u8(calcCheckSum);
  w.u8(showText);
  w.u8(reserved);
  w.u8(barType);
  w.i32(mode);
  w.f64(zoom);
  w.f64(rotation);
}

void registerBarCodeView() {
  frRegisterObject({"TfrBarCodeView", [] { return std::make_unique<TfrBarCodeView>(); },
                    "FR_BARCODEVIEW", "55338"});
}

}  // namespace kelpo::report
