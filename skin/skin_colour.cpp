// System colour numbers mapped to roles of the application's palette.
#include "skin/skin_colour.h"

#include <QGuiApplication>
#include <QPalette>

namespace kelpo::skin {

QColor toQColor(TColor colour) {
  if (colour == kNoColour) return QColor(Qt::transparent);
  if ((colour & 0xFF000000) == 0xFF000000) {
    const QPalette palette = QGuiApplication::palette();
    switch (colour & 0xFF) {
      case 0:
        return palette.color(QPalette::Window);  // scroll bar
      case 4:
        return palette.color(QPalette::Window);  // menu
      case 7:
        return palette.color(QPalette::WindowText);  // menu text
      case 8:
        return palette.color(QPalette::Text);  // window text
      case 9:
        return palette.color(QPalette::HighlightedText);  // caption text
      case 13:
        return palette.color(QPalette::Highlight);
      case 14:
        return palette.color(QPalette::HighlightedText);
      case 15:
        return palette.color(QPalette::Button);
      case 16:
        return palette.color(QPalette::Dark);  // button shadow
      case 18:
        return palette.color(QPalette::ButtonText);
      case 19:
        return palette.color(QPalette::PlaceholderText);  // inactive caption text
      case 20:
        return palette.color(QPalette::Light);  // button highlight
      default:
        return palette.color(QPalette::Window);
    }
  }
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>(colour >> 8 & 0xFF),
                static_cast<int>(colour >> 16 & 0xFF));
}

}  // namespace kelpo::skin
