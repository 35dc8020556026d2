#include <gtest/gtest.h>

#include "report/core/addin_registry.h"
#include "report/core/barcode_view.h"
#include "report/core/report.h"

using namespace kelpo::report;

TEST(ObjectModel, Defaults) {
  TfrMemoView m;
  EXPECT_EQ(m.flags, 0x03);
  EXPECT_EQ(m.font.name, "Arial");
  EXPECT_EQ(m.font.size, 10);
  EXPECT_EQ(m.font.color, 0u);
  EXPECT_EQ(m.gapX, 2);
  EXPECT_EQ(m.gapY, 1);
  EXPECT_FLOAT_EQ(m.frameWidth, 1.0f);
  EXPECT_EQ(m.fillColor, kClNone);
  EXPECT_EQ(m.lineSpacing, 2);
  EXPECT_EQ(m.baseName, "Memo");
  EXPECT_EQ(m.format, 0x22E);
  EXPECT_EQ(m.highlightStyle, 2);
  EXPECT_EQ(m.highlightFill, 0xFFFFFFu);
  TfrBandView b;
  EXPECT_EQ(b.flags, 0x30);
  EXPECT_EQ(b.columns, 1);
  EXPECT_EQ(b.columnWidth, 200);
  EXPECT_EQ(b.columnGap, 20);
  EXPECT_EQ(b.format, 0);
  EXPECT_EQ(TfrPictureView().flags, 0x05);
  EXPECT_EQ(TfrLineView().flags, 0x01);
  // Every created object takes the next identifier.
  TfrLineView l1, l2;
  EXPECT_EQ(l2.id, l1.id + 1);
  // The default format carries the decimal separator in force.
  valueLocale().decimalSeparator = ',';
  EXPECT_EQ(TfrMemoView().format, 0x22C);
  valueLocale().decimalSeparator = '.';
}

TEST(ObjectModel, ViewProperties) {
  TfrMemoView m;
  m.SetProperty("FrameWidth", Value(2.5));
  EXPECT_EQ(m.GetProperty("FRAMEWIDTH"), Value(2.5));
  EXPECT_EQ(m.GetProperty("DataField"), Value(std::string()));
  m.SetProperty("memo", Value(std::string("a\r\nb")));
  EXPECT_EQ(m.memo, (TfrStrings{"a", "b"}));
  EXPECT_EQ(m.GetProperty("Memo.Count"), Value(2));
  EXPECT_EQ(m.GetProperty("DATAFIELD"), Value(std::string("a")));
  m.SetProperty("WordWrap", Value(false));
  EXPECT_EQ(m.flags, flStretched);
  m.SetProperty("Stretched", Value(0));
  EXPECT_EQ(m.flags, 0);
  m.SetProperty("NoSuchThing", Value(1));
  EXPECT_TRUE(m.GetProperty("NoSuchThing").isEmpty());
  EXPECT_TRUE(m.hasProperty("font.name"));
  EXPECT_FALSE(m.hasProperty("NoSuchThing"));
  m.CallMethod("HIDE", "", "", "");
  EXPECT_FALSE(m.visible);
  m.CallMethod("Show", "", "", "");
  EXPECT_TRUE(m.visible);
}

TEST(ObjectModel, ListMethods) {
  TfrMemoView m;
  m.memo = {"x", "y"};
  m.CallMethod("LINES.ADD", "'z'", "", "");
  EXPECT_EQ(m.memo, (TfrStrings{"x", "y", "z"}));
  EXPECT_EQ(m.CallMethod("MEMO.INDEXOF", "'y'", "", ""), Value(1));
  EXPECT_EQ(m.CallMethod("GETINDEXPROPERTY", "Lines", "2", ""), Value(std::string("z")));
  m.CallMethod("SETINDEXPROPERTY", "MEMO", "0", "'w'");
  m.CallMethod("MEMO.DELETE", "1", "", "");
  EXPECT_EQ(m.memo, (TfrStrings{"w", "z"}));
  m.CallMethod("MEMO.DELETE", "7", "", "");  // out of range: nothing
  EXPECT_EQ(m.memo.size(), 2u);
  m.CallMethod("LINES.CLEAR", "", "", "");
  EXPECT_TRUE(m.memo.empty());
}

TEST(ObjectModel, BandPropertySetsFollowTheType) {
  struct Case {
    int type;
    const char* present;
    const char* absent;
  } cases[] = {{3, "OnFirstPage", "ChildBand"},   {3, "OnLastPage", "FormNewPage"},
               {2, "OnFirstPage", "OnLastPage"},  {5, "DataSource", "Condition"},
               {5, "Columns", "RepeatHeader"},    {16, "Master", "Columns"},
               {0, "Stretched", "DataSource"},    {13, "EOF", "Stretched"},
               {19, "DataSource", "FormNewPage"}, {8, "PrintIfSubsetEmpty", "OnFirstPage"}};
  for (const auto& c : cases) {
    TfrBandView b;
    b.SetProperty("FrameTyp", Value(c.type));
    EXPECT_TRUE(b.hasProperty(c.present)) << c.type << " " << c.present;
    EXPECT_FALSE(b.hasProperty(c.absent)) << c.type << " " << c.absent;
  }
  TfrBandView footer;
  footer.SetProperty("FRAMETYP", Value(3));
  footer.SetProperty("ChildBand", Value(std::string("X")));
  EXPECT_EQ(footer.childBand, "");
  footer.SetProperty("OnBeforePrint", Value(std::string("s")));
  EXPECT_EQ(footer.memo, TfrStrings{"s"});
  footer.SetProperty("OnLastPage", Value(false));
  EXPECT_EQ(footer.flags, flBandOnFirstPage);
}

TEST(ObjectModel, PagesAndNames) {
  TfrReport r;
  TfrPage* p1 = r.pages.add();
  TfrPage* p2 = r.pages.add();
  EXPECT_EQ(p1->name, "Page1");
  EXPECT_EQ(p2->name, "Page2");
  r.pages.remove(0);
  EXPECT_EQ(r.pages.add()->name, "Page1");
  auto m = std::make_unique<TfrMemoView>();
  m->name = "Memo1";
  r.pages[0]->objects.push_back(std::move(m));
  EXPECT_EQ(r.generateName("Memo"), "Memo2");
  EXPECT_NE(r.findObject("memo1"), nullptr);
  EXPECT_EQ(r.findObject("memo2"), nullptr);
  // Margins: 0 uses the printer's offsets; UseMargins off gives the whole paper.
  TfrPage* p = r.pages[0];
  p->prnInfo = {};
  p->prnInfo.pw = 800;
  p->prnInfo.ofpx = 10;
  p->prnInfo.ppw = 700;
  p->marginRight = 0;
  EXPECT_EQ(p->rightEdge(), 710);
  p->marginRight = 30;
  EXPECT_EQ(p->rightEdge(), 770);
  p->useMargins = false;
  EXPECT_EQ(p->rightEdge(), 800);
  EXPECT_EQ(p->leftMargin(), 0);
  p->SetProperty("StretchToPrintable", Value(false));
  EXPECT_TRUE(p->useMargins);
}

TEST(ObjectModel, PaperWithoutAPrinterModelIsTakenAsItLies) {
  ASSERT_EQ(printerModel(), nullptr);
  TfrReport r;
  TfrPage* p = r.pages.add();
  // Landscape sizes arrive exchanged already; turning them again would stand the page upright.
  p->changePaper(256, 1500, 1000, 0xFFFF, 1);
  EXPECT_EQ(p->prnInfo.pw, 541);
  EXPECT_EQ(p->prnInfo.ph, 361);
  p->changePaper(9, 2100, 2970, 0xFFFF, 0);
  EXPECT_EQ(p->prnInfo.pw, 758);
  EXPECT_EQ(p->prnInfo.ph, 1071);
}

TEST(ObjectModel, AddInRegistry) {
  registerBarCodeView();
  registerBarCodeView();
  int count = 0;
  for (const auto& e : frAddInObjects()) {
    if (e.className != "TfrBarCodeView") continue;
    ++count;
    // The toolbar button's picture and hint (a string-table number written as text).
    EXPECT_EQ(e.buttonBitmap, "FR_BARCODEVIEW");
    EXPECT_EQ(e.buttonHint, "55338");
  }
  EXPECT_EQ(count, 1);
  auto v = createAddInView("TfrBarCodeView");
  EXPECT_EQ(v->typ, gtAddIn);
  EXPECT_EQ(v->baseName, "Bar");
  // A class nobody registered is added to the pending error text and sets the error switch.
  frEngine().errorText = "TfrOther\r";
  frEngine().errorFlag = false;
  EXPECT_THROW(createAddInView("tfrbarcodeview"), EClassNotFound);
  EXPECT_EQ(frEngine().errorText, "TfrOther\rtfrbarcodeview\r");
  EXPECT_TRUE(frEngine().errorFlag);
  frEngine().errorText.clear();
  frEngine().errorFlag = false;
  // The table holds 64 classes; further ones are refused.
  for (int i = 0; static_cast<int>(frAddInObjects().size()) < 64; ++i)
    EXPECT_TRUE(frRegisterObject({"TfrTest" + std::to_string(i),
                                  [] { return std::make_unique<TfrBarCodeView>(); }, {}, {}}));
  EXPECT_FALSE(frRegisterObject({"TfrOneTooMany", [] { return std::make_unique<TfrBarCodeView>(); },
                                 {}, {}}));
}

TEST(ObjectModel, ExpressionsReachObjectProperties) {
  TfrReport r;
  r.pages.add();
  r.pages.add();
  auto m = std::make_unique<TfrMemoView>();
  m->name = "Memo1";
  m->x = 42;
  TfrView* memo = m.get();
  r.pages[1]->objects.push_back(std::move(m));
  frCurReport() = &r;
  frCurView() = memo;
  struct Case {
    const char* name;
    Value expected;
  } cases[] = {{"memo1.Left", Value(42)},
               {"Page2.Memo1.Left", Value(42)},
               {"PAGE2.Name", Value(std::string("Page2"))},
               {"Top", Value(0)},
               {"Font.Name", Value(std::string("Arial"))}};
  for (const auto& c : cases) {
    Value v;
    EXPECT_TRUE(lookupObjectProperty(c.name, v)) << c.name;
    EXPECT_EQ(v, c.expected) << c.name;
  }
  Value v;
  EXPECT_FALSE(lookupObjectProperty("Memo1.NoSuch", v));
  EXPECT_FALSE(lookupObjectProperty("Page9.Name", v));
  EXPECT_FALSE(lookupObjectProperty("Nobody.Left", v));
  frCurReport() = nullptr;
  frCurView() = nullptr;
}
