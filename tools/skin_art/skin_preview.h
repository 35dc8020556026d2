// A sample window drawn from a loaded skin through the shared painting builds, to look at how
// the pieces join before the skinned frames exist.
#pragma once

#include <QImage>

namespace kelpo::skin {
class TSkinData;
}

namespace kelpo::skin::tools {

// Active window above, inactive below, each W x H with a few controls.
QImage skinPreview(TSkinData& data, int width = 440, int height = 250);

}  // namespace kelpo::skin::tools
