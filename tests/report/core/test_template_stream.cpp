#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "platform/message_box.h"
#include "platform/text.h"
#include "report/core/addin_registry.h"
#include "report/core/barcode_view.h"
#include "report/core/report.h"
#include "tools/recipe_template/recipe_template.h"

using namespace kelpo;
using namespace kelpo::report;

namespace {

// Captures every message box shown while it lives.
struct Boxes {
  std::vector<MessageRecord> shown;
  Boxes() {
    setMessageHook([this](const MessageRecord& m) {
      shown.push_back(m);
      return QMessageBox::Ok;
    });
  }
  ~Boxes() { setMessageHook({}); }
};

std::string bytesOf(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

void zstr(TfrWriter& w, std::string_view s) {
  w.bytes(s);
  w.u8(0);
}

// A memo record in the oldest (21) form: no names, no record version, zero-terminated texts.
void oldMemo(TfrWriter& w, int x, std::string_view text) {
  w.u8(gtMemo);
  w.u8(0);
  for (int v : {x, 10, 100, 20}) w.i32(v);
  w.u16(0);  // flags: no word wrap stored
  w.u16(0);
  w.i32(1);
  w.u32(0);
  w.u16(0);
  w.u32(kClNone);
  w.i32(0x22E);
  zstr(w, "");
  zstr(w, text);
  zstr(w, "Arial");
  w.i32(10);
  w.u16(0);
  w.u32(0);
  w.u32(0);
  w.u16(0);  // character set: ignored in old streams
  w.u16(2);
  w.u32(0);
  w.u32(0xFFFFFF);
  zstr(w, "");
}

std::string version21Stream(const std::vector<std::string>& memoTexts = {"first\rsecond", "x"}) {
  TfrWriter w;
  w.i16(0);
  w.i16(0);
  zstr(w, "Lenovo 3110");
  w.u8(255);
  w.i32(9);  // a paper size in place of the -1 marker: no page script follows
  w.i32(2100);
  w.i32(2970);
  for (int i = 0; i < 4; ++i) w.i32(0);
  w.u8(0);
  w.bytes(std::string(6, '\0'));
  w.i16(0);
  w.i16(1);
  w.i32(0);
  w.i32(0);
  for (std::size_t i = 0; i < memoTexts.size(); ++i)
    oldMemo(w, static_cast<int>(i) + 5, memoTexts[i]);
  w.u8(252);
  return w.take();
}

TfrMemoView* memoAt(const TfrReport& r, int page, int i) {
  return dynamic_cast<TfrMemoView*>(r.pages[page]->objects.at(i).get());
}

}  // namespace

TEST(StoredTemplate, WorkedExampleBytes) {
  std::string form = recipeTemplateForm();
  ASSERT_EQ(form.size(), 1124u);
  EXPECT_EQ(form.substr(0, 8), bytesOf({25, 0, 0, 0, 0x5C, 0x04, 0, 0}));
  std::string head = bytesOf({0x19, 0, 0, 0, 0, 0x0B, 0}) + "Lenovo 3110" +
                     bytesOf({0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(form.substr(8, head.size()), head);
  // The trailer: marker 252, eight empty counted texts (seven texts and the password),
  // generator version 88, not protected, then the two date-times: 35 bytes in all.
  std::string tail = form.substr(form.size() - 35);
  EXPECT_EQ(tail.substr(0, 19),
            std::string("\xFC") + std::string(16, '\0') + "\x58" + std::string(1, '\0'));
  // The dictionary block right before the end marker: 254, -2 and three empty lists.
  EXPECT_EQ(form.substr(form.size() - 35 - 15, 15),
            bytesOf({254, 0xFE, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(StoredTemplate, LoadsAsDescribed) {
  Boxes boxes;
  TfrReport r;
  r.readReportForm(recipeTemplateForm());
  EXPECT_TRUE(boxes.shown.empty());
  ASSERT_EQ(r.pages.count(), 1);
  TfrPage* p = r.pages[0];
  EXPECT_EQ(p->pgSize, 13);
  EXPECT_EQ(p->pgWidth, 1820);
  EXPECT_EQ(p->pgHeight, 2570);
  EXPECT_EQ(p->pgBin, 0xFFFF);
  EXPECT_TRUE(p->useMargins);
  EXPECT_EQ(p->name, "");
  EXPECT_EQ(p->caption, "Form");
  EXPECT_EQ(p->color, 0xFF00000Fu);
  ASSERT_EQ(p->objects.size(), 7u);
  auto* band = dynamic_cast<TfrBandView*>(p->objects[0].get());
  ASSERT_NE(band, nullptr);
  EXPECT_EQ(band->name, utf8ToEngine("报表标题1"));
  EXPECT_EQ(band->flags, 0x30);
  EXPECT_EQ(band->recordVersion(), 21);
  EXPECT_EQ(band->dy, 804);
  auto* m2 = memoAt(r, 0, 2);
  ASSERT_NE(m2, nullptr);
  EXPECT_EQ(m2->name, "Memo2");
  EXPECT_EQ(m2->memo, TfrStrings{utf8ToEngine("[ADOQuery3.\"菜谱\"]")});
  EXPECT_EQ(m2->font.name, utf8ToEngine("隶书"));
  EXPECT_EQ(m2->font.size, 20);
  EXPECT_EQ(m2->font.charset, 134);
  EXPECT_EQ(m2->alignment, 0x0Au);
  EXPECT_EQ(m2->format, 0x22E);
  EXPECT_EQ(m2->flags, 0x03);
  EXPECT_EQ(r.printerName, "Lenovo 3110");
  EXPECT_EQ(r.info.generatorVersion, 88);
  EXPECT_NEAR(r.info.created, 38833 + 67499 / 86400.0, 1e-6);  // 2006-04-26 18:44:59
  // Saving again with the recorded change date reproduces the stored bytes exactly.
  r.storeInDFM = true;
  std::string again = r.saveToStream(r.info.lastChange);
  EXPECT_EQ(again, recipeTemplateForm().substr(8));
}

// A report holding every kind of object with fields away from their defaults.
static void fillAllKinds(TfrReport& r) {
  registerBarCodeView();
  r.doublePass = true;
  r.printerName = "P";
  TfrPage* p = r.pages.add();
  p->changePaper(256, 1000, 1500, 3, 1);
  p->marginLeft = 7;
  p->marginBottom = 9;
  p->printToPrevPage = true;
  p->useMargins = false;
  p->columns = 2;
  p->colGap = 11;
  p->pageType = 1;
  p->borderStyle = 2;
  p->caption = "Dlg";
  p->position = 0;
  p->script = {"a", "", "b"};
  auto memo = std::make_unique<TfrMemoView>();
  memo->name = "M";
  memo->x = -3;
  memo->flags = 0x1FF;
  memo->frameTyp = 15;
  memo->frameWidth = 2.5f;
  memo->fillColor = 0xFF000005;
  memo->formatStr = "#.##";
  memo->memo = {"", "two", ""};
  memo->script = {"s"};
  memo->visible = false;
  memo->restrictions = 0xABCD;
  memo->tag = "[t]";
  memo->gapX = 5;
  memo->bandAlign = 7;
  memo->font = {"F", 9, 0xF, 0x123456, 1};
  memo->alignment = 0x1F;
  memo->highlightCondition = "Value > 0";
  memo->lineSpacing = -1;
  memo->characterSpacing = 3;
  p->objects.push_back(std::move(memo));
  auto band = std::make_unique<TfrBandView>();
  band->name = "B";
  band->frameTyp = 16;
  band->childBand = "C";
  band->master = "D";
  band->columns = 3;
  band->formatStr = "ds";
  p->objects.push_back(std::move(band));
  auto pic = std::make_unique<TfrPictureView>();
  pic->name = "P";
  pic->graphicKind = 4;
  pic->blobType = 1;
  pic->graphicData = std::string("\xFF\xD8 jpeg bytes \0\x01", 17);
  p->objects.push_back(std::move(pic));
  TfrPage* p2 = r.pages.add();
  auto sub = std::make_unique<TfrSubReportView>();
  sub->name = "S";
  sub->subPage = 0;
  p2->objects.push_back(std::move(sub));
  auto line = std::make_unique<TfrLineView>();
  line->name = "L";
  p2->objects.push_back(std::move(line));
  auto bar = std::make_unique<TfrBarCodeView>();
  bar->name = "Bar1";
  bar->barType = 5;
  bar->zoom = 1.5;
  bar->rotation = 90;
  bar->memo = {"123"};
  p2->objects.push_back(std::move(bar));
  r.dictionary.VariableList.Add(" Cat", Value(std::string()));
  r.dictionary.VariableList.Add("V", Value(std::string("[x]")));
  r.dictionary.BandSourceList.Add("MasterData1", Value(std::string("frDBDataSet1")));
  r.info.comment = "c";
  r.info.author = utf8ToEngine("作者");
  r.info.vBuild = "7";
  r.info.password = std::string("\x01\xAB", 2);
  r.info.created = 1234.5;
}

// A printer that substitutes A4 for every standard size, reports its default tray 7 and refuses
// paper size 99, as drivers do.
class TrayPrinter : public TfrPrinterModel {
 public:
  TrayPrinter() { setPrinterModel(this); }
  ~TrayPrinter() override { setPrinterModel(nullptr); }
  TfrPaper paper() const override { return current; }
  TfrPaper setPaper(const TfrPaper& p) override {
    if (p.size == 99) throw Error("paper refused");
    current = p.size == 256 ? TfrPaper{256, p.width, p.height, p.orientation, 7}
                            : TfrPaper{9, 2100, 2970, p.orientation, 7};
    return current;
  }
  TfrPrnInfo metrics() const override { return paperOnlyMetrics(current.width, current.height); }
  std::string printerName() const override { return "Tray"; }
  bool isVirtual() const override { return false; }
  bool selectPrinter(const std::string&) override { return false; }
  TfrPaper current{9, 2100, 2970, 0, 7};
};

// A page keeps the paper its template names whatever the printer does with it, so the stored
// template saves again byte for byte; only the metrics follow the printer.
TEST(StoredTemplate, PagesKeepTheirPaperOnAnyPrinter) {
  TrayPrinter printer;
  TfrReport r;
  r.readReportForm(recipeTemplateForm());
  TfrPage* p = r.pages[0];
  EXPECT_EQ(p->pgSize, 13);
  EXPECT_EQ(p->pgWidth, 1820);
  EXPECT_EQ(p->pgHeight, 2570);
  EXPECT_EQ(p->pgBin, 0xFFFF);
  EXPECT_EQ(p->prnInfo, paperOnlyMetrics(2100, 2970));
  r.storeInDFM = true;
  EXPECT_EQ(r.saveToStream(r.info.lastChange), recipeTemplateForm().substr(8));

  // A new page takes the printer's paper and leaves the source to it; a refused paper becomes a
  // user-defined one of the same size with the default source.
  TfrPage* added = r.pages.add();
  EXPECT_EQ(added->pgSize, 9);
  EXPECT_EQ(added->pgBin, 0xFFFF);
  added->changePaper(99, 1000, 1500, 3, 0);
  EXPECT_EQ(added->pgSize, 256);
  EXPECT_EQ(added->pgWidth, 1000);
  EXPECT_EQ(added->pgHeight, 1500);
  EXPECT_EQ(added->pgBin, 0xFFFF);
}

TEST(TemplateStream, RoundTripKeepsEveryField) {
  Boxes boxes;
  TfrReport a;
  fillAllKinds(a);
  std::string first = a.saveToStream(99.25);
  TfrReport b;
  b.loadFromStream(first);
  EXPECT_TRUE(boxes.shown.empty());
  ASSERT_EQ(b.pages.count(), 2);
  EXPECT_EQ(b.info, a.info);
  ASSERT_EQ(b.dictionary.VariableList.Count(), 2);
  EXPECT_EQ(b.dictionary.VariableList.GetNameAt(0), " Cat");
  EXPECT_EQ(b.dictionary.VariableList.GetValueAt(1), Value(std::string("[x]")));
  EXPECT_EQ(b.dictionary.BandSourceList.GetNameAt(0), "MasterData1");
  EXPECT_TRUE(b.doublePass);
  EXPECT_EQ(b.pages[0]->pgWidth, 1000);
  EXPECT_EQ(b.pages[0]->orientation, 1);
  EXPECT_EQ(b.pages[0]->pgBin, 3);
  EXPECT_EQ(b.pages[0]->script, (TfrStrings{"a", "", "b"}));
  auto* m = memoAt(b, 0, 0);
  EXPECT_EQ(m->memo, (TfrStrings{"", "two", ""}));
  EXPECT_FLOAT_EQ(m->frameWidth, 2.5f);
  EXPECT_FALSE(m->visible);
  EXPECT_EQ(m->restrictions, 0xABCD);
  EXPECT_EQ(m->font, (TfrFont{"F", 9, 0xF, 0x123456, 1}));
  auto* band = dynamic_cast<TfrBandView*>(b.pages[0]->objects[1].get());
  EXPECT_EQ(band->master, "D");
  auto* pic = dynamic_cast<TfrPictureView*>(b.pages[0]->objects[2].get());
  EXPECT_EQ(pic->graphicData, std::string("\xFF\xD8 jpeg bytes \0\x01", 17));
  auto* bar = dynamic_cast<TfrBarCodeView*>(b.pages[1]->objects[2].get());
  ASSERT_NE(bar, nullptr);
  EXPECT_DOUBLE_EQ(bar->zoom, 1.5);
  EXPECT_EQ(bar->typ, gtAddIn);
  // Every field that is written comes back: the second save is byte for byte the first.
  EXPECT_EQ(b.saveToStream(99.25), first);
}

TEST(TemplateStream, SavingStampsLastChange) {
  TfrReport a;
  a.pages.add();
  double before = nowDateTime();
  TfrReport b;
  b.loadFromStream(a.saveToStream());
  EXPECT_GE(b.info.lastChange, before - 1e-6);
  EXPECT_LE(b.info.lastChange, nowDateTime() + 1e-6);
}

TEST(TemplateStream, FrameWidthRule) {
  struct Case {
    float width;
    std::int32_t stored;
  } cases[] = {{1.0f, 1}, {1.5f, 1500}, {12.0f, 12000}, {10.0f, 10}, {0.25f, 250}};
  for (const auto& c : cases) {
    EXPECT_EQ(frameWidthToStream(c.width), c.stored) << c.width;
    EXPECT_FLOAT_EQ(frameWidthFromStream(c.stored), c.width) << c.width;
  }
}

// Every width a view accepts reads back from a saved template as it was; widths the stored form
// cannot express are taken as the nearest one it can.
TEST(TemplateStream, FrameWidthsReadBackUnchanged) {
  struct Case {
    double set;
    float kept;
  } cases[] = {
      {1.0, 1.0f},         {1.5, 1.5f},
      {12.0, 12.0f},       {0.011, 0.011f},
      {0.01, 0.0f},        {0.005, 0.0f},
      {0.0004, 0.0f},      {-0.5, 0.0f},
      {-1.5, -2.0f},       {-2.0, -2.0f},
      {-3.25, -3.0f},      {2.0004, 2.0f},
      {1e9, 2147483.647f}, {-1e12, -2147483648.0f},
      {3e6, 2147483.647f},
  };
  TfrReport a;
  TfrPage* page = a.pages.add();
  for (const Case& c : cases) {
    page->objects.push_back(std::make_unique<TfrMemoView>());
    page->objects.back()->SetProperty("FrameWidth", Value(c.set));
    EXPECT_FLOAT_EQ(page->objects.back()->frameWidth, c.kept) << c.set;
  }
  TfrReport b;
  b.loadFromStream(a.saveToStream(1.0));
  ASSERT_EQ(b.pages[0]->objects.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(b.pages[0]->objects[i]->frameWidth, page->objects[i]->frameWidth) << cases[i].set;
  // A width set directly, or read from a damaged stream, is written in its storable form.
  for (float width : {0.01f, -0.5f, frameWidthFromStream(INT32_MAX) + 0.5f})
    EXPECT_EQ(frameWidthFromStream(frameWidthToStream(width)), storableFrameWidth(width)) << width;
}

// The page of an object is one byte in the stream: the 256th page still works, an object on the
// 257th is refused instead of landing on the first page.
TEST(TemplateStream, ObjectsBeyondThe256thPageAreRefused) {
  TfrReport a;
  for (int i = 0; i < 257; ++i) a.pages.add();
  a.pages[255]->objects.push_back(std::make_unique<TfrMemoView>());
  TfrReport b;
  b.loadFromStream(a.saveToStream(1.0));
  ASSERT_EQ(b.pages.count(), 257);
  EXPECT_EQ(b.pages[255]->objects.size(), 1u);
  EXPECT_TRUE(b.pages[0]->objects.empty());

  a.pages[256]->objects.push_back(std::make_unique<TfrMemoView>());
  try {
    a.saveToStream(1.0);
    FAIL() << "an object on page 257 was saved";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(),
                 "Page 257 holds objects, but a template stores objects on its first 256 pages only");
  }
}

TEST(TemplateStream, RecordTypesFiveToNineAreSkipped) {
  TfrReport a;
  a.pages.add();
  std::string s = a.saveToStream(1.0);
  // Put records of types 5 to 9, each with a few bytes of its own, before the dictionary.
  std::size_t dict = s.rfind(std::string("\xFE\xFE\xFF", 3));
  ASSERT_NE(dict, std::string::npos);
  std::string records;
  for (int t = 5; t <= 9; ++t) {
    TfrWriter w;
    w.u8(static_cast<std::uint8_t>(t));
    w.u8(0);
    w.i32(static_cast<std::int32_t>(dict + records.size() + 6 + 3));
    w.bytes("xyz");
    records += w.data();
  }
  s.insert(dict, records);
  Boxes boxes;
  TfrReport b;
  b.loadFromStream(s);
  EXPECT_TRUE(boxes.shown.empty());
  ASSERT_EQ(b.pages.count(), 1);
  EXPECT_TRUE(b.pages[0]->objects.empty());
}

TEST(TemplateStream, NoVersionByteReadsAsVersion21WithWordWrap) {
  Boxes boxes;
  TfrReport r;
  r.loadFromStream(version21Stream());
  EXPECT_TRUE(boxes.shown.empty());
  ASSERT_EQ(r.pages.count(), 1);
  EXPECT_EQ(r.pages[0]->pgSize, 9);
  EXPECT_EQ(r.pages[0]->name, "Page1");
  ASSERT_EQ(r.pages[0]->objects.size(), 2u);
  auto* m = memoAt(r, 0, 0);
  EXPECT_EQ(m->flags & flWordWrap, flWordWrap);
  EXPECT_EQ(m->memo, (TfrStrings{"first", "second"}));
  EXPECT_EQ(m->font.charset, kDefaultCharset);
  EXPECT_EQ(m->name, "Memo1");
  EXPECT_EQ(memoAt(r, 0, 1)->name, "Memo2");
  EXPECT_EQ(r.info.generatorVersion, 88);  // no trailer: information reset
}

// Names are generated only where the record holds none (before version 23); a stored empty
// name stays empty.
TEST(TemplateStream, GeneratedNamesOnlyForAbsentNames) {
  TfrReport a;
  TfrPage* page = a.pages.add();
  for (const char* name : {"", "memo2"}) {
    page->objects.push_back(std::make_unique<TfrMemoView>());
    page->objects.back()->name = name;
  }
  TfrReport b;
  b.loadFromStream(a.saveToStream(1.0));
  ASSERT_EQ(b.pages[0]->objects.size(), 2u);
  EXPECT_EQ(memoAt(b, 0, 0)->name, "");
  EXPECT_EQ(memoAt(b, 0, 1)->name, "memo2");

  b.loadFromStream(version21Stream({"a", "b", "c", "d"}));
  std::vector<std::string> names;
  for (const auto& v : b.pages[0]->objects) names.push_back(v->name);
  EXPECT_EQ(names, (std::vector<std::string>{"Memo1", "Memo2", "Memo3", "Memo4"}));
}

TEST(TemplateStream, OldStringListForms) {
  struct Case {
    std::string bytes;
    TfrStrings lines;
  } cases[] = {{std::string("\0", 1), {}},
               {std::string("a\r\rb\0", 5), {"a", "", "b"}},
               {std::string("a\r\0", 3), {"a"}}};
  for (const auto& c : cases) {
    TfrReader r(c.bytes);
    EXPECT_EQ(r.readStringList(22), c.lines);
    EXPECT_TRUE(r.atEnd());
  }
}

TEST(TemplateStream, MissingAddInClassIsListedAndSkipped) {
  TfrReport a;
  fillAllKinds(a);
  std::string s = a.saveToStream(1.0);
  // Rename the barcode class in the stream to one nobody registered.
  std::size_t at = s.find("TfrBarCodeView");
  ASSERT_NE(at, std::string::npos);
  s.replace(at, 14, "TfrBarCodeVieX");
  Boxes boxes;
  TfrReport b;
  b.loadFromStream(s);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].caption, QString::fromUtf8("错误"));
  EXPECT_EQ(boxes.shown[0].text,
            "Report contains the following non-plugged components:\nTfrBarCodeVieX\n"
            "You must include these components into your project.");
  ASSERT_EQ(b.pages.count(), 2);
  EXPECT_EQ(b.pages[1]->objects.size(), 2u);
  EXPECT_EQ(b.info.comment, "c");  // the rest of the stream was read
}

TEST(TemplateStream, BadInputGivesTheFormatMessage) {
  const QString unsupported = QString::fromUtf8("不支持的FRF格式");
  std::string good = recipeTemplateForm().substr(8);
  {
    Boxes boxes;
    TfrReport r;
    r.pages.add();
    std::string newer = good;
    newer[0] = 26;
    r.loadFromStream(newer);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, unsupported);
    EXPECT_EQ(r.pages.count(), 1);  // nothing further read
  }
  {
    Boxes boxes;
    TfrReport r;
    r.loadFromStream(std::string(good.substr(0, 40)) + "\x0B");  // marker above 10
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, unsupported);
    ASSERT_EQ(r.pages.count(), 1);
    EXPECT_TRUE(r.pages[0]->objects.empty());
  }
  // Every truncation either loads (it may end right after an object record) or reports the
  // format message with one empty page; none crashes or reads outside the bytes.
  for (std::size_t n = 1; n < good.size(); ++n) {
    Boxes boxes;
    TfrReport r;
    r.loadFromStream(std::string_view(good).substr(0, n));
    for (const auto& m : boxes.shown) EXPECT_EQ(m.text, unsupported) << n;
    if (!boxes.shown.empty()) {
      EXPECT_EQ(r.pages.count(), 1) << n;
    }
  }
}

TEST(TemplateStream, EmptyStreamKeepsContent) {
  TfrReport r;
  r.pages.add();
  r.loadFromStream({});
  EXPECT_EQ(r.pages.count(), 1);
}

TEST(TemplateStream, OnlySettingsAndEndMarkerGiveNoPages) {
  TfrReport r;
  r.pages.add();
  r.loadFromStream(bytesOf({25, 0, 0, 0, 0, 0, 0, 0, 252}));
  EXPECT_EQ(r.pages.count(), 0);
}

TEST(ReportForm, WrapsTheStreamOnlyWithStoreInDfm) {
  TfrReport r;
  r.pages.add();
  EXPECT_EQ(r.writeReportForm(), bytesOf({25, 0, 0, 0}));
  r.storeInDFM = true;
  std::string form = r.writeReportForm();
  std::int32_t n;
  std::memcpy(&n, form.data() + 4, 4);
  EXPECT_EQ(static_cast<std::size_t>(n), form.size() - 8);
  Boxes boxes;
  TfrReport b;
  EXPECT_THROW(b.readReportForm(form.substr(0, form.size() - 1)), StreamError);
  b.readReportForm(form);
  EXPECT_EQ(b.pages.count(), 1);
}

TEST(TemplateStream, ProtectedTemplateFromFileAsksForThePassword) {
  TfrReport a;
  a.pages.add();
  a.pages.add();
  a.info.passwordProtected = true;
  struct Case {
    std::string password;
    std::optional<std::string> entered;  // nothing: the question was cancelled
    bool fromFile;
    int pages;
  } cases[] = {{"pw", "pw", true, 2},
               {"pw", "bad", true, 1},
               {"pw", "bad", false, 2},
               {"pw", std::nullopt, true, 1},
               // An empty password still refuses a cancelled question.
               {"", std::nullopt, true, 1},
               {"", "", true, 2}};
  for (const auto& c : cases) {
    a.info.password = c.password;
    const std::string s = a.saveToStream(1.0);
    int asked = 0;
    TfrReport::setPasswordPrompt([&] {
      ++asked;
      return c.entered;
    });
    TfrReport b;
    b.loadFromStream(s, c.fromFile);
    EXPECT_EQ(asked, c.fromFile ? 1 : 0);
    EXPECT_EQ(b.pages.count(), c.pages) << c.entered.value_or("(cancelled)");
    EXPECT_EQ(b.info.passwordProtected, c.pages == 2);
  }
  TfrReport::setPasswordPrompt({});
}

TEST(TemplateStream, FramedMemoRecordReadsAsMemo) {
  TfrReport a;
  a.pages.add();
  auto m = std::make_unique<TfrMemoView>();
  m->name = "F";
  m->memo = {"t"};
  a.pages[0]->objects.push_back(std::move(m));
  std::string s = a.saveToStream(1.0);
  // Turn the memo record into an add-in record of the framed-memo class with 8 extra bytes.
  // The record ends at the dictionary marker and starts 6 bytes (type, page, end) before its name.
  std::size_t rec = s.rfind(std::string("\xFE\xFE\xFF", 3));
  std::size_t start = s.find(std::string("\x01\x00"
                                         "F\x00",
                                         4)) -
                      6;
  ASSERT_EQ(static_cast<unsigned char>(s[start]), gtMemo);
  std::string body = s.substr(start + 6, rec - start - 6);
  TfrWriter w;
  w.u8(gtAddIn);
  w.writeString("TfrFramedMemoView");
  w.u8(0);
  std::size_t endAt = w.placeholder();
  w.bytes(body);
  w.bytes("12345678");
  std::string record = w.take();
  std::int32_t end = static_cast<std::int32_t>(start + record.size());
  std::memcpy(record.data() + endAt, &end, 4);
  std::string framed = s.substr(0, start) + record + s.substr(rec);
  Boxes boxes;
  TfrReport b;
  b.loadFromStream(framed);
  EXPECT_TRUE(boxes.shown.empty());
  ASSERT_EQ(b.pages[0]->objects.size(), 1u);
  auto* memo = memoAt(b, 0, 0);
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->typ, gtMemo);
  EXPECT_EQ(memo->memo, TfrStrings{"t"});
}
