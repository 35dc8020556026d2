// kelpo-report stored-template: writes the stored recipe template's ReportForm bytes.
#include <cstdio>
#include <fstream>

#include "tools/kelpo_report/command.h"
#include "tools/recipe_template/recipe_template.h"

namespace kelpo::tools {
namespace {

int runStoredTemplate(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: kelpo-report stored-template OUT\n");
    return 2;
  }
  std::string bytes = report::recipeTemplateForm();
  std::ofstream out(args[0], std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", args[0].c_str());
    return 1;
  }
  return 0;
}

}  // namespace

KELPO_REPORT_COMMAND("stored-template", "OUT  write the stored recipe template's ReportForm bytes",
                     runStoredTemplate);

}  // namespace kelpo::tools
