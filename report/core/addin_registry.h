// The registry of add-in view classes (type code 10), created by class name.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "report/core/view.h"
#include "report/expr/datasets.h"  // EClassNotFound: one error kind for every lookup by class name

namespace kelpo::report {

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

// Puts the barcode view (barcode_view.h) into the registry (done once at start-up; repeated
// calls do nothing).
void registerBarCodeView();

}  // namespace kelpo::report
