#include "report/expr/engine_state.h"

namespace kelpo::report {

TfrEngineState& frEngine() {
  static TfrEngineState state;
  return state;
}

}  // namespace kelpo::report
