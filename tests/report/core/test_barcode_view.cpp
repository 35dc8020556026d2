// The barcode view: its defaults and stored block, the text it encodes, how it sizes itself
// along the barcode, and where bars and readable text land.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <limits>
#include <memory>

#include "report/core/barcode_view.h"
#include "report/core/prepared_pages.h"
#include "report/core/report.h"
#include "report/expr/parser.h"
#include "tests/report/core/support_build.h"
#include "tests/report/core/support_output.h"

namespace kelpo::report {
namespace {

class BarCodeView : public ::testing::Test {
 protected:
  // Lays the view out from its design text as painting does.
  static std::optional<QSize> layout(TfrBarCodeView& v) {
    v.memo1 = v.memo;
    return v.layoutBarcode();
  }
  // Draws the view's barcode at scale 1 on white and returns the image.
  static QImage draw(TfrBarCodeView& v) {
    auto drawing = layout(v);
    QImage image(v.dx, v.dy, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (drawing) {
      QPainter p(&image);
      v.drawBarcode(p, *drawing, QRect(0, 0, v.dx, v.dy));
    }
    return image;
  }
  static int darkIn(const QImage& image, QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += qGray(image.pixel(x, y)) < 128;
    return n;
  }
};

TEST_F(BarCodeView, NewViewDefaultsAndItsBarcode) {
  TfrBarCodeView v;
  EXPECT_EQ(v.memo, TfrStrings{"12345678"});
  EXPECT_EQ(v.baseName, "Bar");
  EXPECT_EQ(v.barType, bcCode39);
  EXPECT_EQ(v.calcCheckSum, 1);
  EXPECT_EQ(v.showText, 1);
  EXPECT_EQ(v.mode, 2);
  EXPECT_EQ(v.zoom, 1.0);
  EXPECT_EQ(v.rotation, 0.0);
  v.dy = 60;
  // Start, eight characters, the check character and stop: 13 modules each, stop without gap.
  ASSERT_TRUE(layout(v));
  EXPECT_EQ(v.dx, 13 * 10 + 12);
  EXPECT_EQ(v.barcode().Height(), 60 - 14);
  QImage image = draw(v);
  EXPECT_GT(darkIn(image, QRect(0, 0, v.dx, 46)), 0);
  // The readable text lies in the 14 units below the bars.
  EXPECT_GT(darkIn(image, QRect(0, 48, v.dx, 12)), 0);

  // Named properties: "Barcode" has no value, "DataField" is the first line.
  EXPECT_TRUE(v.hasProperty("Barcode"));
  v.SetProperty("Barcode", Value(std::string("x")));
  EXPECT_EQ(v.GetProperty("Barcode"), Value());
  v.SetProperty("DataField", Value(std::string("[ADOQuery3.\"No\"]")));
  EXPECT_EQ(v.GetProperty("DATAFIELD"), Value(std::string("[ADOQuery3.\"No\"]")));
  for (const auto& p : v.properties()) {
    if (p.name == "Barcode") {
      EXPECT_EQ(p.kind, 320);
    } else if (p.name == "DataField") {
      EXPECT_EQ(p.kind, 321);
    }
  }
}

TEST_F(BarCodeView, TextToEncode) {
  const struct {
    int type;
    TfrStrings memo;
    std::string code;
  } cases[] = {
      {bcCode39, {"[ADOQuery3.\"菜谱\"]"}, "12345678"},  // an expression shows the placeholder
      {bcCode39, {}, "12345678"},
      {bcCode39, {"AB-1", "second line"}, "AB-1"},
      {bcCode128C, {"AB"}, "12345678"},  // not a number for a digits-only type
      {bcCode128C, {"12 "}, "12345678"},
      {bcCode128C, {" -1.5e+3"}, " -1.5e+3"},  // reads as a number: the generator judges it
      {bcCodeEAN13, {"1."}, "1."},
      {bcCodeEAN13, {"1e"}, "12345678"},
  };
  for (const auto& c : cases) {
    TfrBarCodeView v;
    v.barType = static_cast<std::uint8_t>(c.type);
    v.memo1 = c.memo;
    EXPECT_EQ(v.codeText(), c.code);
  }
  // A number that is not digits reaches the generator, which refuses it.
  TfrBarCodeView v;
  v.barType = bcCode128C;
  v.memo = {"1.5"};
  try {
    layout(v);
    ADD_FAILURE() << "no error";
  } catch (const BarcodeError& e) {
    EXPECT_STREQ(e.what(), "Barcode must be numeric");
  }
}

TEST_F(BarCodeView, ZoomSizesTheViewAlongTheBarcode) {
  TfrBarCodeView v;
  v.barType = bcCodeEAN13;
  v.memo = {"590123412345"};
  v.zoom = 2;
  v.dx = 10;
  v.dy = 70;
  auto drawing = layout(v);
  ASSERT_TRUE(drawing);
  EXPECT_EQ(v.dx, 190);  // 95 modules x 2
  EXPECT_EQ(v.dy, 70);
  EXPECT_EQ(*drawing, QSize(95, 70));  // drawn unzoomed, stretched into the view
  EXPECT_EQ(v.barcode().Height(), 56);
  EXPECT_EQ(v.barcode().Text(), "5901234123457");
  // A zoom whose product is a half rounds to even: 95 x 1.5 = 142.5.
  v.zoom = 1.5;
  layout(v);
  EXPECT_EQ(v.dx, 142);
}

TEST_F(BarCodeView, TurnedAQuarter) {
  TfrBarCodeView v;
  v.barType = bcCode128B;
  v.memo = {"Kelpo"};
  v.rotation = 90;
  v.dx = 60;
  v.dy = 5;
  auto drawing = layout(v);
  ASSERT_TRUE(drawing);
  EXPECT_EQ(v.dy, 90);  // the length is now the height
  EXPECT_EQ(v.dx, 60);
  EXPECT_EQ(v.barcode().Height(), 46);
  QImage image = draw(v);
  // Bars run across the width from the left edge; the text stands in the right 12 units.
  EXPECT_GT(darkIn(image, QRect(0, 0, 46, 90)), 0);
  EXPECT_EQ(darkIn(image, QRect(47, 0, 1, 90)), 0);
  EXPECT_GT(darkIn(image, QRect(48, 0, 12, 90)), 0);

  // At 270 the bars stand at the right edge and the text at the left.
  v.rotation = 270;
  image = draw(v);
  EXPECT_EQ(v.barcode().Left(), 60 - 46);
  EXPECT_GT(darkIn(image, QRect(14, 0, 46, 90)), 0);
  EXPECT_GT(darkIn(image, QRect(0, 0, 12, 90)), 0);
}

TEST_F(BarCodeView, PostNetStandsOnTheBottomEdge) {
  TfrBarCodeView v;
  v.barType = bcCodePostNet;
  v.memo = {"1"};
  v.showText = 0;
  v.dy = 50;
  QImage image = draw(v);
  // "1" is short, short, short, tall, tall: the first data bar (x = 3, after the start bar and
  // a space) is short and ends at the bottom edge; nothing of it shows in the top half.
  EXPECT_EQ(qGray(image.pixel(3, 49)), 0);
  EXPECT_EQ(qGray(image.pixel(3, 10)), 255);
  EXPECT_EQ(qGray(image.pixel(0, 1)), 0);  // the tall start bar
}

TEST_F(BarCodeView, ValueZeroDrawsNothing) {
  TfrBarCodeView v;
  v.memo = {"0"};
  v.fillColor = 0x0000FF;
  v.dy = 40;
  EXPECT_FALSE(layout(v));
  // It keeps its zoomed length along the barcode all the same.
  EXPECT_EQ(v.dx, 13 * 3 + 12);
  QImage image = draw(v);
  EXPECT_EQ(darkIn(image, image.rect()), 0);
}

// Settings read from a damaged template: the view neither overflows nor crashes, and a type
// that does not exist is the generator's error.
TEST_F(BarCodeView, DamagedSettings) {
  TfrBarCodeView v;
  v.dy = 40;
  v.zoom = 1e300;
  ASSERT_TRUE(layout(v));
  EXPECT_EQ(v.dx, std::numeric_limits<int>::max());
  v.zoom = std::numeric_limits<double>::quiet_NaN();
  layout(v);
  EXPECT_EQ(v.dx, 0);
  v.zoom = 1;
  v.rotation = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(v.dx, 0);
  QImage image = draw(v);
  EXPECT_EQ(v.dx, 142);
  v.barType = 99;
  EXPECT_THROW(layout(v), BarcodeError);
}

TEST_F(BarCodeView, ModeOneRecordsHoldADoubledZoom) {
  TfrBarCodeView old;
  old.mode = 1;
  old.zoom = 3.0;
  old.barType = bcCodeEAN8;
  TfrWriter w;
  old.saveToStream(w);
  TfrReader r(w.data());
  TfrBarCodeView v;
  v.loadFromStream(r, {});
  EXPECT_TRUE(r.atEnd());
  EXPECT_EQ(v.zoom, 1.5);
  EXPECT_EQ(v.mode, 2);
  EXPECT_EQ(v.barType, bcCodeEAN8);
  // Written back, the block's mode is 2 and its zoom 1.5: the last 20 bytes of the record.
  TfrWriter again;
  v.saveToStream(again);
  TfrReader block(again.data());
  block.seek(again.data().size() - 20);
  EXPECT_EQ(block.i32(), 2);
  EXPECT_EQ(block.f64(), 1.5);
}

// A bracketed value is evaluated when the page is prepared and its text stored; a failing
// expression stores "0", and the page then shows nothing for that view.
TEST_F(BarCodeView, PreparedPagesHoldTheValue) {
  const auto savedCallback = frParser().valueCallback();
  frParser().setValueCallback([](const std::string& name, Value& value) {
    // Like the report's own resolution, an unknown name is an error.
    if (name != "ADOQuery3.\"No\"") throw Error("unknown " + name);
    value = Value(std::string("590123412345"));
  });
  registerBarCodeView();
  TfrReport report;
  TfrPage page;
  page.changePaper(9, 2100, 2970, 7, 0);
  report.emfPages.add(page);
  frDocMode() = TfrDocMode::Output;

  TfrBarCodeView ean, failing, hidden;
  ean.barType = bcCodeEAN13;
  ean.memo = {"[ADOQuery3.\"No\"]"};
  ean.x = 20, ean.y = 20, ean.dx = 50, ean.dy = 60;
  failing.memo = {"[Nobody]"};
  failing.x = 20, failing.y = 120, failing.dx = 100, failing.dy = 60;
  failing.fillColor = 0x0000FF;
  failing.frameTyp = 15;
  hidden.visible = false;
  for (TfrBarCodeView* v : {&ean, &failing, &hidden}) v->EmitPrepared(report.emfPages[0].stream);
  frParser().setValueCallback(savedCallback);
  // The template keeps its expression.
  EXPECT_EQ(ean.memo, TfrStrings{"[ADOQuery3.\"No\"]"});

  report.emfPages.readObjects(0);
  const auto& objects = report.emfPages[0].page->objects;
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0]->memo, TfrStrings{"590123412345"});
  EXPECT_EQ(objects[1]->memo, TfrStrings{"0"});

  // Drawn at scale 1: one pixel per layout unit.
  const TfrEMFPage& prepared = report.emfPages[0];
  ASSERT_GT(prepared.prnInfo.pw, 300);
  QImage image(prepared.prnInfo.pw, prepared.prnInfo.ph, QImage::Format_RGB32);
  image.fill(Qt::white);
  report.emfPages[0].visible = true;
  {
    QPainter canvas(&image);
    report.emfPages.draw(0, canvas, image.rect());
  }
  frDocMode() = TfrDocMode::Template;
  // The EAN-13 (95 units long, bars 46 high) with its digits beneath; nothing of the other.
  EXPECT_GT(darkIn(image, QRect(20, 20, 95, 46)), 0);
  EXPECT_EQ(darkIn(image, QRect(116, 20, 100, 60)), 0);
  EXPECT_GT(darkIn(image, QRect(20, 68, 95, 12)), 0);
  EXPECT_EQ(darkIn(image, QRect(0, 100, 300, 200)), 0);
  EXPECT_EQ(image.pixel(25, 130), QColor(Qt::white).rgb());  // no fill, no frame
}

// A template with barcodes on a data band: each record's value reaches the prepared page, an
// expression that fails there becomes "0" without stopping the report, and the page draws the
// barcodes of the values and nothing for "0".
TEST_F(BarCodeView, PreparedFromATemplate) {
  registerBarCodeView();
  testing::BuildFixture f;
  f.dataset("Rows", 3);
  f.band(btMasterData, 50, 80, "Rows");
  auto add = [&](const char* name, int x, const char* text) {
    auto v = std::make_unique<TfrBarCodeView>();
    v->name = name;
    v->x = x, v->y = 50, v->dx = 100, v->dy = 60;
    v->memo = {text};
    f.tpage->objects.push_back(std::move(v));
  };
  add("Bar1", 20, "[Line#]");
  add("Bar2", 300, "[Nothing.Here]");
  ASSERT_TRUE(f.prepare());
  EXPECT_EQ(f.shownError, "");
  std::vector<std::string> values;
  for (const auto& p : f.page(0)) values.push_back(p.name + "=" + p.text);
  EXPECT_EQ(values,
            (std::vector<std::string>{"Bar1=1", "Bar2=0", "Bar1=2", "Bar2=0", "Bar1=3", "Bar2=0"}));

  TfrEMFPage& page = f.report->emfPages[0];
  QImage image(page.prnInfo.pw, page.prnInfo.ph, QImage::Format_RGB32);
  image.fill(Qt::white);
  page.visible = true;
  frDocMode() = TfrDocMode::Output;
  {
    QPainter canvas(&image);
    f.report->emfPages.draw(0, canvas, image.rect());
  }
  frDocMode() = TfrDocMode::Template;
  testing::keepImage(image.copy(0, 0, 500, 300), "barcode_prepared_page");
  const auto objects = f.page(0);
  for (const auto& p : objects) {
    const int ink = darkIn(image, QRect(p.x, p.y, 60, 40));
    if (p.name == "Bar1") {
      EXPECT_GT(ink, 0) << p.text;
    } else {
      EXPECT_EQ(ink, 0);
    }
  }
}

}  // namespace
}  // namespace kelpo::report
