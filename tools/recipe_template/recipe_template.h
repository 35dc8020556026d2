// Builds the catalogue window's stored recipe report template, and the full A4 recipe sheet
// with the photograph, with the object model.
#pragma once

#include <string>

#include "report/core/report.h"

namespace kelpo::report {

// Fills `report` with the recipe sheet: one B5 page, a report title band and six memos.
void buildRecipeTemplate(TfrReport& report);
// The `ReportForm` bytes of that template, as the catalogue window stores them.
std::string recipeTemplateForm();

// Fills `report` with the full recipe sheet: one A4 page with the name, the photograph (loaded
// from the program folder, which the host gives as the value ProgramFolder), the ingredients,
// and the method, features and tips on stretched bands that may split across pages.
void buildFullRecipeTemplate(TfrReport& report);
// The template stream of that sheet.
std::string fullRecipeTemplateStream();

}  // namespace kelpo::report
