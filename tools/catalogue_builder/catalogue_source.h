// The readable recipe source of the sample catalogue: its records and the checks that keep
// every stored value usable by the recipe windows.
#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <stdexcept>

namespace kelpo::catalogue {

// How the photograph shows a dish; each kind has its own vessel and food drawing.
enum class DishShape {
  Chunks,
  Shreds,
  Slices,
  Leaves,
  Florets,
  Fish,
  Soup,
  Noodles,
  Dumplings,
  Buns,
  Pancake,
  Rice
};

struct Recipe {
  int line = 0;  // where the record starts, for messages
  QString category;
  QString name;
  QString ingredients;  // multi-line values are joined with CR LF, as the windows store them
  QString method;
  QString picture;  // as stored: backslashes, with or without the leading one
  QString tips;
  QString features;
  QColor main, second, garnish, sauce;
  DishShape shape = DishShape::Chunks;

  // The picture's path relative to the program folder, with '/' separators.
  QString pictureRelativePath() const;
};

// A fault in the source; the message names the line.
class SourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The longest 图片 value the add window can store, in GB18030 bytes.
constexpr int kMaxPictureBytes = 40;

// Parses and checks the whole source text (UTF-8). Raises SourceError on the first fault.
QList<Recipe> parseSource(const QString& text);

// Reads and parses the file at `path`; raises SourceError when it cannot be read or is not
// valid UTF-8.
QList<Recipe> readSource(const QString& path);

}  // namespace kelpo::catalogue
