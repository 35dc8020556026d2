// Writes the stored recipe template's ReportForm bytes to the file named on the command line;
// with --full, the template stream of the full recipe sheet instead.
#include <cstdio>
#include <fstream>
#include <string_view>

#include "tools/recipe_template/recipe_template.h"

int main(int argc, char** argv) {
  const bool full = argc == 3 && std::string_view(argv[1]) == "--full";
  if (argc != 2 && !full) {
    std::fprintf(stderr, "usage: recipe_template [--full] OUT\n");
    return 2;
  }
  std::string bytes =
      full ? kelpo::report::fullRecipeTemplateStream() : kelpo::report::recipeTemplateForm();
  std::ofstream out(argv[argc - 1], std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return out ? 0 : 1;
}
