// The description of Kelpo's own skin: which bitmap each part uses, how it is cut, the colours.
#include "tools/skin_art/skin_art.h"

namespace kelpo::skin::tools {

std::string kelpoDescription() {
  return R"([TitlebarSkin]
SkinName=Kelpo Kitchen

[Personality]
Top=top.bmp
TopTopHeight=25
TopBotHeight=32
TopFrame=2
TopStretch=1
TopTrans=1
Left=left.bmp
LeftTopHeight=30
LeftBotHeight=3
LeftFrame=2
LeftStretch=1
LeftTrans=1
Right=right.bmp
RightTopHeight=30
RightBotHeight=3
RightFrame=2
RightStretch=1
RightTrans=1
Bottom=bottom.bmp
BottomTopHeight=4
BottomBotHeight=4
BottomFrame=2
BottomStretch=1
BottomTrans=0
TextBack=textback.bmp
TXTBackleft=8
TXTBackRight=8
TextShift=22
TextShiftVert=2
TextRightClip=76
TextAlignment=0
ActiveTextR=255
ActiveTextG=255
ActiveTextB=255
InActiveTextR=216
InActiveTextG=228
InActiveTextB=248
menuBar=menubar.bmp
TileMenu=0
TileLeftMenu=1
TileRightMenu=1

[Fonts]
FontHeight=16

[Colours]
WindowText=58 44 32
ButtonFace=236 233 216
Scrollbar=236 233 216
HilightText=255 255 255
Hilight=49 106 197
Menubar=246 242 230
Menu=252 250 244
MenuText=58 44 32
ButtonText=58 44 32
ButtonHilight=255 255 255
Buttonlight=246 242 230
ButtonShadow=176 160 136
ButtonDkShadow=112 96 76
MenuBarText=58 44 32
TitleTextActive=255 255 255
TitleTextNoActive=216 228 248

[Colour.Basil]
color=86 140 60

[Colour.Paprika]
color=196 82 46

[Colour.Honey]
color=226 166 64

; Title-bar buttons: four frames each (normal, pressed, hot, inactive window).
[Button.Close]
ButtonImage=close.bmp
Action=0
Align=1
Xcoord=25
Ycoord=5
Visibility=0
Visibility1=0
frame=4

[Button.Maximize]
ButtonImage=maximize.bmp
Action=1
Align=1
Xcoord=49
Ycoord=5
Visibility=2
Visibility1=6
frame=4

[Button.Restore]
ButtonImage=restore.bmp
Action=1
Align=1
Xcoord=49
Ycoord=5
Visibility=1
Visibility1=6
frame=4

[Button.Minimize]
ButtonImage=minimize.bmp
Action=2
Align=1
Xcoord=73
Ycoord=5
Visibility=8
Visibility1=8
frame=4

; A window without a maximise box but with a minimise box shows the maximise button greyed,
; and the other way round; these take no clicks (negative action).
[Button.MaximizeDisabled]
ButtonImage=maximize_disabled.bmp
Action=-1
Align=1
Xcoord=49
Ycoord=5
Visibility=7
Visibility1=8

[Button.MinimizeDisabled]
ButtonImage=minimize_disabled.bmp
Action=-1
Align=1
Xcoord=73
Ycoord=5
Visibility=9
Visibility1=6

[Button.Help]
ButtonImage=help.bmp
Action=4
Align=1
Xcoord=49
Ycoord=5
Visibility=5
Visibility1=5
frame=4

[Button.Icon]
Action=11
Align=0
Xcoord=7
Ycoord=7
Visibility=200
Visibility1=200

[MDICONTROLS]
Image=mdicontrols.bmp

[Buttons]
Bitmap=button.bmp
CheckButton=check.bmp
RadioButton=radio.bmp
LeftWidth=4
RightWidth=4
TopHeight=4
BottomHeight=4
Trans=1
Tile=0
NormalColour2=58 44 32
MouseOverColour2=58 44 32
PressedColour2=58 44 32

[Progress]
Bitmap=progress.bmp
Chunk=progress_chunk.bmp
LeftWidth=3
RightWidth=3
TopHeight=3
BottomHeight=3
Trans=1

[Tabs]
Image=tabs.bmp
Border=tab_border.bmp
LeftWidth=4
RightWidth=4
TopHeight=4
BottomHeight=2
Trans=1
NormalColour2=98 80 62
MouseOverColour2=58 44 32

[ComboButton]
Image=combo.bmp
Trans=1

[UpDown.Horz]
Image=updown_horz.bmp
GlyphImage=updown_horz.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2
Trans=1

[UpDown.Vert]
Image=updown_vert.bmp
GlyphImage=updown_vert.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2
Trans=1

[GroupBoxEdge]
Image=groupbox.bmp
LeftWidth=5
RightWidth=5
TopHeight=5
BottomHeight=5
Trans=1

[Toolbars]
Image=toolbar.bmp
LeftWidth=4
RightWidth=4
TopHeight=4
BottomHeight=4
Trans=1

[StatusBarEdges]
Image=statusbar.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2
NormalColour2=58 44 32

[SunkEdge]
Image=sunkedge.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2
Trans=1

[Headerbar]
Image=header.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=3
NormalColour2=58 44 32

[MenuItem]
Image=menuitem.bmp
LeftWidth=4
RightWidth=4
TopHeight=4
BottomHeight=4
Trans=1
NormalColour2=58 44 32
MouseOverColour2=58 44 32
PressedColour2=150 138 124

[MenuBackground]
Image=kelpo\menuframe.bmp
LeftWidth=3
RightWidth=3
TopHeight=3
BottomHeight=3

[Scrollbar]
Image=scrollarrows.bmp
Trans=1

[HorzScroll]
Image=horzscroll.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2

[VertScroll]
Image=vertscroll.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2

[HorzScrollThumb]
Image=horzthumb.bmp
FrameCount=3
LeftWidth=5
RightWidth=5
TopHeight=4
BottomHeight=4
Trans=1

[VertScrollThumb]
Image=vertthumb.bmp
FrameCount=3
LeftWidth=4
RightWidth=4
TopHeight=5
BottomHeight=5
Trans=1
)";
}

}  // namespace kelpo::skin::tools
