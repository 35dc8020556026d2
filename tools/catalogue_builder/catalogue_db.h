// Writes the recipe table of the sample catalogue into a fresh SQLite file.
#pragma once

#include <QList>
#include <QString>

#include "tools/catalogue_builder/catalogue_source.h"

namespace kelpo::catalogue {

// Builds the table 饮食 (seven text columns, indexes on 类别 and 菜谱) with one row per recipe
// in source order, in a file beside `path`, then moves it over `path`: an old catalogue is
// replaced whole, and a failed run leaves no half-written file behind. Raises
// std::runtime_error on failure.
void writeDatabase(const QList<Recipe>& recipes, const QString& path);

}  // namespace kelpo::catalogue
