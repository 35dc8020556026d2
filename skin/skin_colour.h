// Colour values of the skin: 0x00BBGGRR for an explicit colour, 0xFF0000nn for system colour
// nn (a role of the application's palette), 0x1FFFFFFF for none.
#pragma once

#include <QColor>
#include <cstdint>

namespace kelpo::skin {

using TColor = std::uint32_t;

inline constexpr TColor kNoColour = 0x1FFFFFFF;

// The system colours the skin description falls back to.
namespace sys {
inline constexpr TColor ScrollBar = 0xFF000000;
inline constexpr TColor Menu = 0xFF000004;
inline constexpr TColor MenuText = 0xFF000007;
inline constexpr TColor WindowText = 0xFF000008;
inline constexpr TColor CaptionText = 0xFF000009;
inline constexpr TColor Highlight = 0xFF00000D;
inline constexpr TColor HighlightText = 0xFF00000E;
inline constexpr TColor ButtonFace = 0xFF00000F;
inline constexpr TColor ButtonShadow = 0xFF000010;
inline constexpr TColor ButtonText = 0xFF000012;
inline constexpr TColor InactiveCaptionText = 0xFF000013;
inline constexpr TColor ButtonHighlight = 0xFF000014;
}  // namespace sys

inline constexpr TColor rgb(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16);
}

// The Qt colour of a colour value: explicit colours as they are, system colours from the
// application palette, "none" as a transparent colour.
QColor toQColor(TColor colour);

}  // namespace kelpo::skin
