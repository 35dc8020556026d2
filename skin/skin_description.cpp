// The sections and keys of the skin description, each with its default and frame count.
#include "skin/skin_description.h"

#include <cstdlib>

#include "platform/text.h"
#include "skin/bytes.h"
#include "skin/skin_error.h"
#include "skin/skin_ini.h"
#include "skin/skin_reader.h"

namespace kelpo::skin {
namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

class DescriptionReader {
 public:
  DescriptionReader(const TSkinReader& reader, const TSkinIni& ini) : reader_(reader), ini_(ini) {}

  QImage bitmap(std::string_view section, std::string_view key) const {
    return findBitmap(reader_, ini_.readString(section, key));
  }
  std::int32_t integer(std::string_view section, std::string_view key,
                       std::int32_t fallback) const {
    return ini_.readInteger(section, key, fallback);
  }

  // The colour keys shared by image objects and the button object.
  void readStateColours(TDataSkinObject& o, std::string_view section, TColor buttonText) const {
    o.normalColour = integer(section, "NormalColour", -1);
    o.mouseOverColour = integer(section, "MouseOverColour", -1);
    o.pressedColour = integer(section, "PressedColour", -1);
    o.normalColour2 = ini_.readColour(section, "NormalColour2", buttonText);
    o.mouseOverColour2 = ini_.readColour(section, "MouseOverColour2", buttonText);
    o.pressedColour2 = ini_.readColour(section, "PressedColour2", buttonText);
  }

  void readMargins(TDataSkinObject& o, std::string_view section) const {
    o.leftWidth = integer(section, "LeftWidth", 0);
    o.rightWidth = integer(section, "RightWidth", 0);
    o.topHeight = integer(section, "TopHeight", 0);
    o.bottomHeight = integer(section, "BottomHeight", 0);
    o.trans = integer(section, "Trans", 0);
  }

  // The keys every image object shares.
  void readImageKeys(TDataSkinObject& o, std::string_view section, bool withStyle, int frames,
                     TColor buttonText) const {
    o.name = section;
    if (withStyle) o.style = integer(section, "Style", 0);
    readMargins(o, section);
    o.tile = integer(section, "Tile", 0);
    if (o.tile > 1) o.tile = 0;
    readStateColours(o, section, buttonText);
    o.frameCount = frames;
  }

  // The generic image reader: nothing when "Image" names no bitmap.
  std::unique_ptr<TDataSkinObject> image(std::string_view section, int frames,
                                         TColor buttonText) const {
    QImage bmp = bitmap(section, "Image");
    if (bmp.isNull()) return nullptr;
    auto o = std::make_unique<TDataSkinObject>();
    o->bitmap = std::move(bmp);
    readImageKeys(*o, section, true, frames, buttonText);
    return o;
  }

  // A two-image object: its first bitmap under `firstKey`, the second under `secondKey`.
  std::unique_ptr<TDataSkinBorder> twoImage(std::string_view section, std::string_view firstKey,
                                            std::string_view secondKey, bool withStyle, int frames,
                                            TColor buttonText) const {
    QImage bmp = bitmap(section, firstKey);
    if (bmp.isNull()) return nullptr;
    auto o = std::make_unique<TDataSkinBorder>();
    o->bitmap = std::move(bmp);
    if (!secondKey.empty()) o->bitmap2 = bitmap(section, secondKey);
    readImageKeys(*o, section, withStyle, frames, buttonText);
    return o;
  }

  std::unique_ptr<TDataSkinBorder> framePiece(std::string_view piece) const {
    const std::string p(piece);
    auto o = std::make_unique<TDataSkinBorder>();
    o->name = p;
    o->bitmap = bitmap("Personality", p);
    const std::int32_t first = integer("Personality", p + "TopHeight", 0);
    const std::int32_t second = integer("Personality", p + "BotHeight", 0);
    if (p == "Left" || p == "Right") {
      o->topHeight = first;
      o->bottomHeight = second;
    } else {
      o->leftWidth = first;
      o->rightWidth = second;
    }
    o->frameCount = integer("Personality", p + "Frame", 1);
    o->tile = integer("Personality", p + "Stretch", 1);
    o->trans = integer("Personality", p + "Trans", 1);
    return o;
  }

 private:
  const TSkinReader& reader_;
  const TSkinIni& ini_;
};

// Frames of a radio or check bitmap when the description gives none: 13-pixel images in a
// bitmap less than 16 high, else 16-pixel ones, and at least 4.
std::int32_t markFrames(const QImage& bmp) {
  if (bmp.isNull()) return 4;
  const int count = bmp.width() / (bmp.height() < 16 ? 13 : 16);
  return std::max(count, 4);
}

// A bitmap's header may claim any size; only pixels its bytes can stand for are decoded (run
// length coding packs at most 255 pixels into two bytes), so a few bytes never cost megabytes.
bool plausibleBitmapSize(std::string_view item) {
  if (item.size() < 26) return true;  // too short for a size: the image reader refuses it
  const std::int64_t width = std::abs(static_cast<std::int64_t>(le32(item.data() + 18)));
  const std::int64_t height = std::abs(static_cast<std::int64_t>(le32(item.data() + 22)));
  const std::int64_t budget = static_cast<std::int64_t>(item.size()) * 128 + (1 << 16);
  return width <= budget && height <= budget && width * height <= budget;
}

}  // namespace

QImage findBitmap(const TSkinReader& reader, std::string_view value) {
  std::size_t nameStart = 0;
  for (std::size_t i = 0; i < value.size(); i += engineCharSize(value, i))
    if (value[i] == '\\' || value[i] == '/' || value[i] == ':') nameStart = i + 1;
  const std::string_view fileName = value.substr(nameStart);
  std::size_t dot = std::string_view::npos;
  for (std::size_t i = 0; i < fileName.size(); i += engineCharSize(fileName, i))
    if (fileName[i] == '.') dot = i;
  if (fileName.empty() || dot == std::string_view::npos || fileName.substr(dot) != ".bmp")
    return {};
  std::string item;
  if (!reader.findItem(fileName, item) || item.empty()) return {};
  if (!plausibleBitmapSize(item)) return {};
  QImage image = QImage::fromData(reinterpret_cast<const uchar*>(item.data()),
                                  static_cast<int>(item.size()), "BMP");
  if (image.isNull()) return {};
  return image.convertToFormat(QImage::Format_RGB32);
}

std::unique_ptr<SkinObjects> readSkinDescription(const TSkinReader& reader) {
  std::string text, itemName;
  if (!reader.findItemContaining(".ini", text, itemName))
    throw SkinDamagedError("The skin package holds no description (.ini item)");
  const TSkinIni ini(text);
  const DescriptionReader d(reader, ini);
  auto skin = std::make_unique<SkinObjects>();

  skin->skinName = ini.readString("TitlebarSkin", "SkinName");

  skin->left = d.framePiece("Left");
  skin->right = d.framePiece("Right");
  skin->top = d.framePiece("Top");
  skin->bottom = d.framePiece("Bottom");

  // Colours first: several objects take the button text colour as their default.
  SkinColours& c = skin->colours;
  const char* const col = "Colours";
  c.windowText = ini.readColour(col, "WindowText", sys::WindowText);
  c.buttonFace = ini.readColour(col, "ButtonFace", sys::ButtonFace);
  c.scrollbar = ini.readColour(col, "Scrollbar", sys::ScrollBar);
  c.hilightText = ini.readColour(col, "HilightText", sys::HighlightText);
  c.hilight = ini.readColour(col, "Hilight", sys::Highlight);
  c.menuBar = ini.readColour(col, "Menubar", c.buttonFace);
  c.menu = ini.readColour(col, "Menu", sys::Menu);
  c.menuText = ini.readColour(col, "MenuText", sys::MenuText);
  c.buttonText = ini.readColour(col, "ButtonText", sys::ButtonText);
  c.buttonHilight = ini.readColour(col, "ButtonHilight", sys::ButtonHighlight);
  c.buttonLight = ini.readColour(col, "Buttonlight", sys::ButtonHighlight);
  c.buttonShadow = ini.readColour(col, "ButtonShadow", sys::ButtonShadow);
  c.buttonDkShadow = ini.readColour(col, "ButtonDkShadow", sys::ButtonShadow);
  c.menuBarText = ini.readColour(col, "MenuBarText", sys::MenuText);
  c.titleTextActive = ini.readColour(col, "TitleTextActive", sys::CaptionText);
  c.titleTextNoActive = ini.readColour(col, "TitleTextNoActive", sys::InactiveCaptionText);
  const TColor buttonText = c.buttonText;

  auto title = std::make_unique<TDataSkinTitle>();
  const char* const per = "Personality";
  title->name = "Title";
  title->bitmap = d.bitmap(per, "TextBack");
  title->leftWidth = d.integer(per, "TextShift", 0);
  title->topHeight = d.integer(per, "TextShiftVert", 0);
  title->rightWidth = d.integer(per, "TextRightClip", 0);
  title->textAlignment = d.integer(per, "TextAlignment", 0);
  title->textBackground = d.integer(per, "Textbackground", 0);
  title->textBackLeft = d.integer(per, "TXTBackleft", 0);
  title->textBackRight = d.integer(per, "TXTBackRight", 0);
  title->activeText = ini.readColourKeys(per, "ActiveText", kNoColour);
  title->inactiveText = ini.readColourKeys(per, "InActiveText", kNoColour);
  title->fontHeight = d.integer("Fonts", "FontHeight", 14);
  title->frameCount = 2;
  skin->title = std::move(title);

  if (QImage bar = d.bitmap(per, "menuBar"); !bar.isNull()) {
    auto o = std::make_unique<TDataSkinObject>();
    o->name = "menuBar";
    o->bitmap = std::move(bar);
    o->frameCount = 2;
    skin->tileMenu = d.integer(per, "TileMenu", 0);
    skin->tileLeftMenu = d.integer(per, "TileLeftMenu", 1);
    skin->tileRightMenu = d.integer(per, "TileRightMenu", 1);
    o->tile = skin->tileMenu;
    skin->menuBar = std::move(o);
  }

  // Numbered colours and title-bar buttons come from sections named by a prefix, in file order.
  for (const std::string& section : ini.sections()) {
    const std::string upper = engineToUpper(section);
    if (startsWith(upper, "COLOUR") && upper != "COLOURS")
      skin->colourList.push_back(ini.readColour(section, "color", sys::WindowText));
    if (!startsWith(upper, "BUTTON") || upper == "BUTTONS" || upper == "BUTTON.RADIO" ||
        upper == "BUTTON.CHECKBOX")
      continue;
    auto b = std::make_unique<TDataSkinSysButton>();
    b->name = upper;
    b->action = d.integer(section, "Action", 0);
    b->align = d.integer(section, "Align", 0);
    b->xcoord = d.integer(section, "Xcoord", 0);
    b->ycoord = d.integer(section, "Ycoord", 0);
    b->visibility = d.integer(section, "Visibility", 0);
    b->visibility1 = d.integer(section, "Visibility1", 0);
    b->combineOp = d.integer(section, "CombineOp", -1);
    b->bitmap = d.bitmap(section, "ButtonImage");
    const std::int32_t frame = d.integer(section, "frame", 0);
    b->frameCount = frame;
    if (frame == 0) {
      const bool narrow =
          !b->bitmap.isNull() && static_cast<double>(b->bitmap.width()) / b->bitmap.height() <= 3.8;
      b->frameCount = narrow ? 3 : 6;
    }
    if (b->action < 0) b->frameCount = 6;
    // Icon buttons without their own frames show the window's icon instead.
    if ((b->action == 3 || b->action == 11) && frame == 0) b->bitmap = QImage();
    skin->sysButtons.push_back(std::move(b));
  }

  // The three child-window buttons: minimise, restore and close of a maximised child.
  const QImage mdi = d.bitmap("MDICONTROLS", "Image");
  for (int i = 0; i < 3; ++i) {
    auto b = std::make_unique<TDataSkinSysButton>();
    b->name = "MDICONTROLS";
    b->action = 7 + i;
    b->align = b->visibility = b->visibility1 = 100;
    b->frameCount = 4;
    if (!mdi.isNull()) {
      const int a = mdi.width() / 12;
      b->bitmap = mdi.copy(4 * a * i, 0, 4 * a, mdi.height());
      b->xcoord = (a + 4) * (3 - i);
    }
    skin->sysButtons.push_back(std::move(b));
  }

  auto button = std::make_unique<TDataSkinButton>();
  const char* const btn = "Buttons";
  button->name = btn;
  button->bitmap = d.bitmap(btn, "Bitmap");
  button->checkBitmap = d.bitmap(btn, "CheckButton");
  button->radioBitmap = d.bitmap(btn, "RadioButton");
  d.readMargins(*button, btn);
  button->tile = d.integer(btn, "Tile", 0);
  d.readStateColours(*button, btn, buttonText);
  button->frameCount = 5;
  button->radioFrame = d.integer(btn, "RadioButtonFrame", 0);
  if (button->radioFrame == 0) button->radioFrame = markFrames(button->radioBitmap);
  button->checkFrame = d.integer(btn, "CheckButtonFrame", 0);
  if (button->checkFrame == 0) button->checkFrame = markFrames(button->checkBitmap);
  skin->button = std::move(button);

  skin->progress = d.twoImage("Progress", "Bitmap", "Chunk", true, 2, buttonText);
  skin->tabs = d.twoImage("Tabs", "Image", "Border", false, 5, buttonText);
  skin->comboButton = d.twoImage("ComboButton", "Image", {}, false, 4, buttonText);
  if (skin->comboButton)
    skin->comboButton->bitmap2 =
        skin->comboButton->bitmap.convertToFormat(QImage::Format_RGB888).mirrored(true, false);
  skin->upDownHorz = d.twoImage("UpDown.Horz", "Image", "GlyphImage", false, 8, buttonText);
  skin->upDownVert = d.twoImage("UpDown.Vert", "Image", "GlyphImage", false, 8, buttonText);

  skin->groupBoxEdge = d.image("GroupBoxEdge", 2, buttonText);
  skin->toolbars = d.image("Toolbars", 5, buttonText);
  skin->statusBar = d.image("StatusBarEdges", 3, buttonText);
  skin->sunkEdge = d.image("SunkEdge", 4, buttonText);
  skin->extraImages = d.image("ExtraImages", 5, buttonText);
  skin->header = d.image("Headerbar", 5, buttonText);
  skin->menuItem = d.image("MenuItem", 5, buttonText);
  skin->menuBackground = d.image("MenuBackground", 1, buttonText);
  skin->scrollbar = d.image("Scrollbar", 23, buttonText);
  skin->horzScroll = d.image("HorzScroll", 4, buttonText);
  skin->vertScroll = d.image("VertScroll", 4, buttonText);
  skin->horzScrollThumb =
      d.image("HorzScrollThumb", d.integer("HorzScrollThumb", "FrameCount", 3), buttonText);
  skin->vertScrollThumb =
      d.image("VertScrollThumb", d.integer("VertScrollThumb", "FrameCount", 3), buttonText);
  const char* const thumbs[] = {"Trackbar.ThumbHorz",  "Trackbar.ThumbVert", "Trackbar.ThumbLeft",
                                "Trackbar.ThumbRight", "Trackbar.ThumbUp",   "Trackbar.ThumbDown"};
  for (std::size_t i = 0; i < 6; ++i) skin->trackbarThumbs[i] = d.image(thumbs[i], 5, buttonText);
  return skin;
}

std::vector<const TDataSkinObject*> SkinObjects::allObjects() const {
  std::vector<const TDataSkinObject*> all;
  auto add = [&](const TDataSkinObject* o) {
    if (o) all.push_back(o);
  };
  for (const TDataSkinObject* o : std::initializer_list<const TDataSkinObject*>{
           left.get(),           right.get(),       top.get(),        bottom.get(),
           title.get(),          button.get(),      menuBar.get(),    progress.get(),
           tabs.get(),           comboButton.get(), upDownHorz.get(), upDownVert.get(),
           groupBoxEdge.get(),   toolbars.get(),    statusBar.get(),  sunkEdge.get(),
           extraImages.get(),    header.get(),      menuItem.get(),   menuBackground.get(),
           scrollbar.get(),      horzScroll.get(),  vertScroll.get(), horzScrollThumb.get(),
           vertScrollThumb.get()})
    add(o);
  for (const auto& t : trackbarThumbs) add(t.get());
  for (const auto& b : sysButtons) add(b.get());
  return all;
}

}  // namespace kelpo::skin
