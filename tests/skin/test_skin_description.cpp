// The skin description: INI reading, both colour notations, bitmap lookup by file name, the
// sections with their defaults and frame counts, and Kelpo's own stored skin.
#include <gtest/gtest.h>

#include "resources/skin/stored_skin.h"
#include "skin/bytes.h"
#include "skin/skin_description.h"
#include "skin/skin_error.h"
#include "skin/skin_ini.h"
#include "skin/skin_reader.h"
#include "skin/skin_stream.h"
#include "tests/skin/support_skin.h"

namespace kelpo::skin {
namespace {

using testing::bmpItem;
using testing::packedSkin;

std::unique_ptr<SkinObjects> describe(const std::string& ini,
                                      const std::vector<tools::PackageItem>& items = {}) {
  TSkinReader reader;
  EXPECT_TRUE(reader.load(packedSkin(ini, items)));
  return readSkinDescription(reader);
}

TEST(SkinIni, SectionsAndKeysIgnoreCaseValuesAreTrimmedFirstOneCounts) {
  const TSkinIni ini(
      "; a comment\r\n[Personality]\r\n  TextShift =  22  \r\ntextshift=5\n[PERSONALITY]\n"
      "Other=x\n[\x81\x5Dname]\nkey=\x81\x3D=v\n");
  EXPECT_EQ(ini.readString("personality", "TEXTSHIFT"), "22");
  EXPECT_EQ(ini.readString("Personality", "Other"), "x");  // a repeated section adds to the first
  EXPECT_EQ(ini.readString("Personality", "missing", "dflt"), "dflt");
  // A GB18030 trail byte equal to "]" or "=" ends neither the section name nor the key.
  EXPECT_EQ(ini.readString("\x81\x5Dname", "KEY"), "\x81\x3D=v");
  EXPECT_EQ(ini.sections(), (std::vector<std::string>{"Personality", "\x81\x5Dname"}));
}

TEST(SkinIni, IntegersAreDecimalOrHexWithTheDefaultForAnythingElse) {
  const TSkinIni ini("[s]\na=0x1F\nb=0XfF\nc=-5\nd=12abc\ne=\nf=0x\ng=99999999999\nh=0xFFFFFFFF\n");
  const struct {
    const char* key;
    std::int32_t expected;
  } cases[] = {{"a", 31}, {"b", 255}, {"c", -5}, {"d", 7},     {"e", 7},
               {"f", 7},  {"g", 7},   {"h", -1}, {"absent", 7}};
  for (const auto& c : cases) EXPECT_EQ(ini.readInteger("s", c.key, 7), c.expected) << c.key;
}

TEST(SkinIni, ColourNotations) {
  const struct {
    const char* value;
    TColor expected;
  } cases[] = {
      {"210 232 249", rgb(210, 232, 249)},
      {"12", 0},  // one number running to the end is not taken
      {"12 ", rgb(12, 0, 0)},
      {"1,2,3", rgb(1, 2, 3)},
      {"300 256 511", rgb(44, 0, 255)},          // each part modulo 256
      {"7 8", rgb(7, 0, 0)},                     // the second number runs to the end
      {"\x81\x30\x81\x30 5 6 7", rgb(5, 6, 7)},  // digits inside a 4-byte character are no number
  };
  for (const auto& c : cases) EXPECT_EQ(parseColourTriple(c.value), c.expected) << c.value;
  const TSkinIni ini("[s]\nempty=\nrR=1\nrG=2\nrB=3\nhR=1\nhG=-1\nhB=3\n");
  EXPECT_EQ(ini.readColour("s", "empty", 0xABCDEF), 0xABCDEFu);
  EXPECT_EQ(ini.readColour("s", "absent", 0xABCDEF), 0xABCDEFu);
  EXPECT_EQ(ini.readColourKeys("s", "r", kNoColour), rgb(1, 2, 3));
  EXPECT_EQ(ini.readColourKeys("s", "h", kNoColour), kNoColour);
}

TEST(SkinDescription, BitmapsAreFoundByTheirFileNamePart) {
  TSkinReader reader;
  ASSERT_TRUE(reader.load(packedSkin("[x]\n", {{"blue_close.bmp", bmpItem(4, 2)},
                                               {"menuframe.bmp", bmpItem(3, 3)},
                                               {"empty.bmp", ""},
                                               {"notes.txt", "text"}})));
  const struct {
    const char* value;
    int width;  // 0: no bitmap
  } cases[] = {{"Blue_Close.BMP", 0},  {"Blue_Close.bmp", 4},      {"XPLuna\\MenuFrame.bmp", 3},
               {"c:menuframe.bmp", 3}, {"skins/menuframe.bmp", 3}, {"", 0},
               {"folder\\", 0},        {"empty.bmp", 0},           {"missing.bmp", 0},
               {"notes.txt", 0}};
  for (const auto& c : cases) EXPECT_EQ(findBitmap(reader, c.value).width(), c.width) << c.value;
}

TEST(SkinDescription, BitmapHeadersClaimingMorePixelsThanTheirBytesGiveNoBitmap) {
  std::string huge = bmpItem(4, 2);
  huge.replace(18, 8, std::string("\xD0\x07\0\0\xD0\x07\0\0", 8));  // 2000 x 2000
  // The image reader alone would allocate the whole claimed size for these few bytes.
  EXPECT_FALSE(QImage::fromData(reinterpret_cast<const uchar*>(huge.data()),
                                static_cast<int>(huge.size()), "BMP")
                   .isNull());
  TSkinReader reader;
  ASSERT_TRUE(reader.load(packedSkin("[x]\n", {{"huge.bmp", huge}})));
  EXPECT_TRUE(findBitmap(reader, "huge.bmp").isNull());
}

TEST(SkinDescription, TitleBarButtonsFramesAndChildWindowButtons) {
  const auto skin = describe(
      "[Button.Wide]\nButtonImage=wide.bmp\nAction=0\n"
      "[button.narrow]\nButtonImage=narrow.bmp\nAction=2\n"
      "[Button.Negative]\nButtonImage=narrow.bmp\nAction=-1\nframe=2\n"
      "[Button.Icon]\nButtonImage=narrow.bmp\nAction=11\nXcoord=7\nYcoord=7\n"
      "[Button.OwnIcon]\nButtonImage=narrow.bmp\nAction=3\nframe=1\n"
      "[Buttons]\n[Button.Radio]\nButtonImage=wide.bmp\n[MDICONTROLS]\nImage=mdi.bmp\n",
      {{"wide.bmp", bmpItem(126, 21)},
       {"narrow.bmp", bmpItem(63, 21)},
       {"mdi.bmp", bmpItem(192, 14)}});
  ASSERT_EQ(skin->sysButtons.size(), 5u + 3u);
  const auto& b = skin->sysButtons;
  EXPECT_EQ(b[0]->name, "BUTTON.WIDE");
  EXPECT_EQ(b[0]->frameCount, 6);
  EXPECT_EQ(b[1]->name, "BUTTON.NARROW");
  EXPECT_EQ(b[1]->frameCount, 3);
  EXPECT_EQ(b[2]->frameCount, 6);      // a negative action always reads six frames
  EXPECT_TRUE(b[3]->bitmap.isNull());  // icon buttons without frames show the window icon
  EXPECT_EQ(b[3]->xcoord, 7);
  EXPECT_FALSE(b[4]->bitmap.isNull());
  EXPECT_EQ(b[4]->frameCount, 1);
  EXPECT_EQ(b[0]->combineOp, -1);
  for (int i = 0; i < 3; ++i) {
    const TDataSkinSysButton& mdi = *b[static_cast<std::size_t>(5 + i)];
    EXPECT_EQ(mdi.action, 7 + i);
    EXPECT_EQ(mdi.align, 100);
    EXPECT_EQ(mdi.visibility, 100);
    EXPECT_EQ(mdi.visibility1, 100);
    EXPECT_EQ(mdi.frameCount, 4);
    EXPECT_EQ(mdi.bitmap.size(), QSize(64, 14));  // a = 192 / 12 = 16, four frames each
    EXPECT_EQ(mdi.xcoord, 20 * (3 - i));
  }
}

TEST(SkinDescription, DefaultsMissingImagesAndMarkFrames) {
  const auto skin = describe(
      "[Colours]\nButtonFace=10 20 30\n[Buttons]\nCheckButton=check.bmp\nRadioButton=radio.bmp\n"
      "[Scrollbar]\nImage=arrows.bmp\nTile=2\n[Toolbars]\nStyle=3\n"
      "[Personality]\nTop=top.bmp\nTopTopHeight=25\nTopBotHeight=32\nTopFrame=2\n"
      "Left=top.bmp\nLeftTopHeight=30\nLeftBotHeight=3\n",
      {{"check.bmp", bmpItem(52, 13)},
       {"radio.bmp", bmpItem(160, 16)},
       {"arrows.bmp", bmpItem(23 * 16, 16)},
       {"top.bmp", bmpItem(100, 60)}});
  EXPECT_EQ(skin->colours.menuBar, rgb(10, 20, 30));  // Menubar falls back to ButtonFace
  EXPECT_EQ(skin->colours.buttonText, sys::ButtonText);
  EXPECT_EQ(skin->button->checkFrame, 4);   // 52 / 13
  EXPECT_EQ(skin->button->radioFrame, 10);  // 160 / 16
  EXPECT_EQ(skin->button->frameCount, 5);
  ASSERT_TRUE(skin->scrollbar);
  EXPECT_EQ(skin->scrollbar->frameCount, 23);
  EXPECT_EQ(skin->scrollbar->tile, 0);
  EXPECT_EQ(skin->scrollbar->normalColour, -1);
  EXPECT_EQ(skin->scrollbar->normalColour2, sys::ButtonText);
  EXPECT_FALSE(skin->toolbars);  // no image: no object, the control keeps its own look
  EXPECT_FALSE(skin->menuBar);
  EXPECT_EQ(skin->top->leftWidth, 25);
  EXPECT_EQ(skin->top->rightWidth, 32);
  EXPECT_EQ(skin->top->frameCount, 2);
  EXPECT_EQ(skin->top->trans, 1);
  EXPECT_EQ(skin->top->tile, 1);
  EXPECT_EQ(skin->left->topHeight, 30);
  EXPECT_EQ(skin->left->bottomHeight, 3);
  EXPECT_EQ(skin->left->leftWidth, 0);
  EXPECT_TRUE(skin->right->bitmap.isNull());
  EXPECT_EQ(skin->title->fontHeight, 14);
  EXPECT_EQ(skin->title->activeText, kNoColour);
}

TEST(SkinDescription, PackageWithoutDescriptionIsRefused) {
  TSkinReader reader;
  ASSERT_TRUE(reader.loadPackage(tools::writePackage({{"a.bmp", bmpItem(2, 2)}})));
  EXPECT_THROW(readSkinDescription(reader), SkinDamagedError);
}

TEST(StoredSkin, LayersItemsAndDescription) {
  const std::string property = storedSkinStream();
  ASSERT_FALSE(property.empty());
  EXPECT_EQ(static_cast<std::size_t>(le32(property.data())), property.size() - 4);
  const std::string packed = readSkinStream(property);
  const std::int32_t unpacked = le32(packed.data());
  TSkinReader reader;
  ASSERT_TRUE(reader.load(packed));
  EXPECT_EQ(reader.version(), 20000);
  ASSERT_EQ(reader.names().size(), 45u);
  // The sizes account for every byte after the header, names and size table.
  std::int64_t sum = 0;
  std::size_t listLength = 0;
  for (std::size_t i = 0; i < 45; ++i) {
    sum += reader.sizes()[i];
    listLength += reader.names()[i].size() + 2;
  }
  EXPECT_EQ(16 + listLength + 4 * 45 + static_cast<std::size_t>(sum),
            static_cast<std::size_t>(unpacked));
  int bitmaps = 0;
  for (std::size_t i = 0; i < 45; ++i) {
    const std::string& name = reader.names()[i];
    if (name.size() > 4 && name.substr(name.size() - 4) == ".bmp") {
      ++bitmaps;
      EXPECT_FALSE(findBitmap(reader, name).isNull()) << name;
    }
  }
  EXPECT_EQ(bitmaps, 44);

  const auto skin = readSkinDescription(reader);
  EXPECT_EQ(skin->top->leftWidth, 25);
  EXPECT_EQ(skin->top->rightWidth, 32);
  EXPECT_EQ(skin->top->frameCount, 2);
  for (const TDataSkinBorder* side : {skin->left.get(), skin->right.get()}) {
    EXPECT_EQ(side->topHeight, 30);
    EXPECT_EQ(side->bottomHeight, 3);
  }
  EXPECT_EQ(skin->title->leftWidth, 22);
  EXPECT_EQ(skin->title->topHeight, 2);
  EXPECT_EQ(skin->title->rightWidth, 76);
  EXPECT_EQ(skin->title->fontHeight, 16);
  EXPECT_EQ(skin->title->activeText, rgb(255, 255, 255));
  EXPECT_EQ(skin->title->inactiveText, rgb(216, 228, 248));
  EXPECT_EQ(skin->colours.buttonFace, rgb(236, 233, 216));
  EXPECT_EQ(skin->colours.hilight, rgb(49, 106, 197));
  EXPECT_EQ(skin->colours.titleTextActive, rgb(255, 255, 255));
  EXPECT_EQ(skin->colours.titleTextNoActive, rgb(216, 228, 248));
  struct Expected {
    int action, xcoord, ycoord, align, visibility;
  };
  std::vector<Expected> found;
  for (const auto& b : skin->sysButtons)
    if (b->action >= 0 && b->action != 4 && b->align != 100)
      found.push_back({b->action, b->xcoord, b->ycoord, b->align, b->visibility});
  ASSERT_EQ(found.size(), 5u);
  const Expected expected[] = {
      {0, 25, 5, 1, 0}, {1, 49, 5, 1, 2}, {1, 49, 5, 1, 1}, {2, 73, 5, 1, 8}, {11, 7, 7, 0, 200}};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(found[i].action, expected[i].action) << i;
    EXPECT_EQ(found[i].xcoord, expected[i].xcoord) << i;
    EXPECT_EQ(found[i].ycoord, expected[i].ycoord) << i;
    EXPECT_EQ(found[i].align, expected[i].align) << i;
    EXPECT_EQ(found[i].visibility, expected[i].visibility) << i;
  }
  // Every image object the description names is present.
  for (const TDataSkinObject* o : std::initializer_list<const TDataSkinObject*>{
           skin->tabs.get(), skin->progress.get(), skin->comboButton.get(),
           skin->menuBackground.get(), skin->scrollbar.get(), skin->horzScrollThumb.get(),
           skin->menuBar.get(), skin->statusBar.get()})
    ASSERT_TRUE(o && !o->bitmap.isNull());
  EXPECT_EQ(skin->comboButton->bitmap2.size(), skin->comboButton->bitmap.size());
}

}  // namespace
}  // namespace kelpo::skin
