// The registry of add-in view classes (type code 10), created by class name, and the barcode
// view's stored block, which templates carry whether or not the barcode is drawn.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "report/core/view.h"

namespace kelpo::report {

// An add-in class named in a record is not registered.
class EClassNotFound : public Error {
 public:
  using Error::Error;
};

struct TfrAddInObjectInfo {
  std::string className;
  std::function<std::unique_ptr<TfrView>()> create;
  std::string buttonBitmap;
  std::string buttonHint;
};

inline constexpr std::size_t kMaxAddIns = 64;

// Registers a class; a class already present, or a 65th class, is not added (returns false).
bool frRegisterObject(TfrAddInObjectInfo info);
const std::vector<TfrAddInObjectInfo>& frAddInObjects();
// Creates an instance of the registered class of exactly that name (type code 10); throws
// EClassNotFound otherwise.
std::unique_ptr<TfrView> createAddInView(const std::string& className);

class TfrBarCodeView : public TfrView {
 public:
  TfrBarCodeView();
  std::string className() const override { return "TfrBarCodeView"; }
  std::uint8_t calcCheckSum = 0;
  std::uint8_t showText = 0;
  std::uint8_t reserved = 0;
  std::uint8_t barType = 0;
  std::int32_t mode = 2;
  double zoom = 1.0;
  double rotation = 0;
  void loadFromStream(TfrReader& r, const TfrStreamContext& ctx) override;
  void saveToStream(TfrWriter& w) const override;
};

// Puts the barcode view into the registry (done once at start-up; repeated calls do nothing).
void registerBarCodeView();

}  // namespace kelpo::report
