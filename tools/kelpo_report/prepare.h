// Preparing a report from the command line, shared by the commands that write prepared pages.
#pragma once

#include <string>
#include <vector>

namespace kelpo::tools {

// Runs the prepare command's work on its arguments (template or --recipe, data options, output
// file) without printing; sets the number of prepared pages. Returns the exit status.
int prepareReportFile(const std::vector<std::string>& args, int* pageCount);

}  // namespace kelpo::tools
