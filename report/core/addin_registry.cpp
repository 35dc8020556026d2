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
  TfrEngineState& state = frEngine();
  state.errorText += className + "\r";
  state.errorFlag = true;
  throw EClassNotFound("Class " + className + " not found");
}

}  // namespace kelpo::report
