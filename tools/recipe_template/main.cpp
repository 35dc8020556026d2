// Writes the stored recipe template's ReportForm bytes to the file named on the command line.
#include <cstdio>
#include <fstream>

#include "tools/recipe_template/recipe_template.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: recipe_template OUT\n");
    return 2;
  }
  std::string bytes = kelpo::report::recipeTemplateForm();
  std::ofstream out(argv[1], std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return out ? 0 : 1;
}
