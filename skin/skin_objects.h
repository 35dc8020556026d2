// The skin objects: bitmap strips with their cutting margins, frame counts and colours, as the
// skin description builds them, and the whole set one loaded skin consists of.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/skin_colour.h"

namespace kelpo::skin {

class TDataSkinObject {
 public:
  virtual ~TDataSkinObject() = default;

  std::int32_t leftWidth = 0;
  std::int32_t topHeight = 0;
  std::int32_t rightWidth = 0;
  std::int32_t bottomHeight = 0;
  QImage bitmap;           // Format_RGB32; null when the skin names none
  std::int32_t trans = 0;  // non-zero: 0xFF00FF is transparent
  std::int32_t tile = 0;   // 0 stretch the middle, 1 tile it (frame pieces: the Stretch value)
  std::string name;        // the section or piece it was read from
  std::int32_t frameCount = 1;
  std::int32_t style = 0;
  std::int32_t normalColour = -1;
  std::int32_t mouseOverColour = -1;
  std::int32_t pressedColour = -1;
  TColor normalColour2 = sys::ButtonText;
  TColor mouseOverColour2 = sys::ButtonText;
  TColor pressedColour2 = sys::ButtonText;
};

// An image object with a second bitmap (progress chunk, tab border, mirrored combo button,
// up-down glyphs, frame pieces).
class TDataSkinBorder : public TDataSkinObject {
 public:
  QImage bitmap2;
};

class TDataSkinButton : public TDataSkinObject {
 public:
  QImage checkBitmap;
  QImage radioBitmap;
  std::int32_t radioFrame = 4;
  std::int32_t checkFrame = 4;
};

// The caption: its margins are text shift (left), vertical text shift (top), right clip (right).
class TDataSkinTitle : public TDataSkinObject {
 public:
  std::int32_t textAlignment = 0;
  std::int32_t textBackground = 0;
  std::int32_t fontHeight = 14;
  std::int32_t textBackLeft = 0;
  std::int32_t textBackRight = 0;
  TColor activeText = kNoColour;
  TColor inactiveText = kNoColour;
};

class TDataSkinSysButton : public TDataSkinObject {
 public:
  std::int32_t action = 0;
  std::int32_t align = 0;
  std::int32_t xcoord = 0;
  std::int32_t ycoord = 0;
  std::int32_t combineOp = -1;
  std::int32_t visibility = 0;
  std::int32_t visibility1 = 0;
};

// The colour set named after the description's "Colours" keys.
struct SkinColours {
  TColor windowText = sys::WindowText;
  TColor titleTextActive = sys::CaptionText;
  TColor titleTextNoActive = sys::InactiveCaptionText;
  TColor buttonFace = sys::ButtonFace;
  TColor buttonText = sys::ButtonText;
  TColor buttonHilight = sys::ButtonHighlight;
  TColor buttonLight = sys::ButtonHighlight;
  TColor buttonShadow = sys::ButtonShadow;
  TColor buttonDkShadow = sys::ButtonShadow;
  TColor hilightText = sys::HighlightText;
  TColor hilight = sys::Highlight;
  TColor menuBar = sys::ButtonFace;
  TColor menuBarText = sys::MenuText;
  TColor menuText = sys::MenuText;
  TColor menu = sys::Menu;
  TColor scrollbar = sys::ScrollBar;
};

// Everything one skin description builds. Image objects the skin does not name stay null, and
// the parts that would use them keep their ordinary look.
struct SkinObjects {
  std::string skinName;
  SkinColours colours;
  std::vector<TColor> colourList;

  std::unique_ptr<TDataSkinTitle> title;
  std::vector<std::unique_ptr<TDataSkinSysButton>> sysButtons;
  std::unique_ptr<TDataSkinButton> button;

  std::unique_ptr<TDataSkinBorder> tabs, comboButton, progress, upDownHorz, upDownVert;
  std::unique_ptr<TDataSkinObject> groupBoxEdge, toolbars, statusBar, sunkEdge, extraImages, header,
      menuBar, menuItem, menuBackground, scrollbar, horzScroll, vertScroll, horzScrollThumb,
      vertScrollThumb;
  // Thumbs in the order Horz, Vert, Left, Right, Up, Down.
  std::array<std::unique_ptr<TDataSkinObject>, 6> trackbarThumbs;
  // The menu bar's "TileMenu", "TileLeftMenu" and "TileRightMenu" (the bar's tile field holds
  // the first too).
  std::int32_t tileMenu = 0, tileLeftMenu = 1, tileRightMenu = 1;

  // The frame pieces "Left", "Right", "Top", "Bottom".
  std::unique_ptr<TDataSkinBorder> left, right, top, bottom;

  // Every image object, for tools that list or check them all.
  std::vector<const TDataSkinObject*> allObjects() const;
};

}  // namespace kelpo::skin
