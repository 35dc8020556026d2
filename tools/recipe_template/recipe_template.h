// Builds the catalogue window's stored recipe report template with the object model.
#pragma once

#include <string>

#include "report/core/report.h"

namespace kelpo::report {

// Fills `report` with the recipe sheet: one B5 page, a report title band and six memos.
void buildRecipeTemplate(TfrReport& report);
// The `ReportForm` bytes of that template, as the catalogue window stores them.
std::string recipeTemplateForm();

}  // namespace kelpo::report
