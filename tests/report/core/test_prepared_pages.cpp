// Prepared pages: records made from template pages, object streams read back and rewritten,
// drawing, link hit tests, and the prepared-report file with its older layouts and damaged input.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>

#include "platform/shell.h"
#include "platform/text.h"
#include "report/core/memo_view.h"
#include "report/core/report.h"
#include "tests/report/core/support_output.h"

namespace kelpo::report {
namespace {

using testing::inkBox;
using testing::keepImage;
using testing::makeMemo;

std::string E(const char* utf8) { return utf8ToEngine(utf8); }

// A report with two prepared pages: A4 portrait with margins and a landscape A5 page without,
// holding memos, a line and a link.
class PreparedPages : public ::testing::Test {
 protected:
  PreparedPages() {
    report.OnBeginPage = [this](int) { ++pagesBegun; };
    TfrPage a4;
    a4.changePaper(9, 2100, 2970, 7, 0);
    a4.marginLeft = 10, a4.marginTop = 20, a4.marginRight = 30, a4.marginBottom = 40;
    report.emfPages.add(a4);
    TfrPage a5;
    a5.changePaper(11, 2100, 1480, 0xFFFF, 1);
    a5.useMargins = false;
    a5.marginLeft = 5;
    report.emfPages.add(a5);
    frDocMode() = TfrDocMode::Output;
    auto title = makeMemo(40, 30, 300, 40, {E("宫保鸡丁"), E("微辣 · 川菜")}, "宋体", 12);
    title->name = "Title";
    title->frameTyp = 15;
    title->fillColor = 0xE0FFFF;
    title->alignment = 2;
    title->EmitPrepared(report.emfPages[0].stream);
    auto link = makeMemo(40, 100, 200, 20, {"https://example.org/recipes"});
    link->name = "URLWeb";
    link->tag = "https://example.org/recipes";
    link->EmitPrepared(report.emfPages[0].stream);
    auto inReport = makeMemo(40, 130, 200, 20, {"see page 2"});
    inReport->name = "urlJump";
    inReport->tag = "page@2";
    inReport->EmitPrepared(report.emfPages[0].stream);
    TfrLineView line;
    line.name = "Line1";
    line.x = 40, line.y = 80, line.dx = 300, line.dy = 1;
    line.frameWidth = 2;
    line.EmitPrepared(report.emfPages[0].stream);
    auto method = makeMemo(40, 170, 420, 120,
                           {E("将豆腐切成小块，放入加盐的开水中焯一下捞出。锅中放油，下牛肉末炒散"
                              "至酥香，加入郫县豆瓣炒出红油，再放豆豉、辣椒面、姜蒜末炒香。"),
                            E("加入适量高汤，放入豆腐块，小火烧五分钟，勾芡后撒上花椒面。")},
                           "宋体", 12);
    method->name = "Method";
    method->frameTyp = 15;
    method->frameStyle = 5;
    method->frameWidth = 2;
    method->EmitPrepared(report.emfPages[0].stream);
    auto side = makeMemo(480, 170, 30, 120, {E("做法 Method")}, "宋体", 12);
    side->name = "Side";
    side->alignment = 4 | 2;
    side->frameTyp = 15;
    side->EmitPrepared(report.emfPages[0].stream);
    auto tips =
        makeMemo(40, 310, 300, 60,
                 {"Tips: serve hot with steamed rice and a cold cucumber salad on the side."});
    tips->name = "Tips";
    tips->alignment = 3;
    tips->flags |= flUnderlines;
    tips->frameColor = 0x808080;
    tips->EmitPrepared(report.emfPages[0].stream);
    auto wide = makeMemo(300, 40, 10, 20, {"grows to its text"});
    wide->name = "Auto";
    wide->flags |= flAutoSize;
    wide->alignment = 1;  // right-aligned: grows to the left
    wide->EmitPrepared(report.emfPages[1].stream);
  }
  ~PreparedPages() override { frDocMode() = TfrDocMode::Template; }

  TfrReport report;
  int pagesBegun = 0;
};

void expectSameObjects(const TfrPage& a, const TfrPage& b) {
  ASSERT_EQ(a.objects.size(), b.objects.size());
  for (std::size_t i = 0; i < a.objects.size(); ++i) {
    const TfrView& x = *a.objects[i];
    const TfrView& y = *b.objects[i];
    EXPECT_EQ(x.typ, y.typ);
    EXPECT_EQ(x.name, y.name);
    EXPECT_EQ(std::tie(x.x, x.y, x.dx, x.dy, x.flags, x.frameTyp, x.frameColor, x.fillColor),
              std::tie(y.x, y.y, y.dx, y.dy, y.flags, y.frameTyp, y.frameColor, y.fillColor));
    EXPECT_EQ(x.frameWidth, y.frameWidth);
    EXPECT_EQ(x.memo, y.memo);
    EXPECT_EQ(x.tag, y.tag);
    auto* mx = dynamic_cast<const TfrMemoView*>(&x);
    auto* my = dynamic_cast<const TfrMemoView*>(&y);
    ASSERT_EQ(mx == nullptr, my == nullptr);
    if (mx) {
      EXPECT_EQ(mx->font, my->font);
      EXPECT_EQ(mx->alignment, my->alignment);
    }
  }
}

TEST_F(PreparedPages, RecordsTakeThePaperAndFireBeginPage) {
  EXPECT_EQ(pagesBegun, 2);
  const TfrEMFPage& p = report.emfPages[0];
  EXPECT_EQ(std::tie(p.pgSize, p.pgWidth, p.pgHeight, p.orientation, p.pgBin),
            std::make_tuple(std::int16_t(9), 2100, 2970, std::uint8_t(0), 7));
  EXPECT_EQ(p.margins, (std::array<std::int32_t, 4>{10, 20, 30, 40}));
  EXPECT_EQ(p.stream.data()[0], char(kPreparedVersion));
  report.emfPages.insert(0, TfrPage());
  EXPECT_EQ(pagesBegun, 3);
  EXPECT_EQ(report.emfPages.count(), 3);
  report.emfPages.remove(0);
  EXPECT_EQ(report.emfPages[0].pgBin, 7);
}

TEST_F(PreparedPages, AReportThatIsGoneIsNoLongerTheCurrentOne) {
  auto gone = std::make_unique<TfrReport>();
  gone->OnBeginPage = [](int) { ADD_FAILURE() << "a destroyed report heard of a page"; };
  // Printing leaves the report current and master, as preparing does.
  gone->PrintPreparedReport("", 1, true, 0);
  ASSERT_EQ(frCurReport(), gone.get());
  gone.reset();
  EXPECT_EQ(frCurReport(), nullptr);
  EXPECT_EQ(frMasterReport(), nullptr);
  report.emfPages.add(TfrPage());
  EXPECT_EQ(pagesBegun, 3);
}

TEST_F(PreparedPages, FileRoundTripKeepsEveryPageAndObject) {
  const std::string file = report.emfPages.saveToStream();
  TfrReport again;
  again.emfPages.loadFromStream(file);
  ASSERT_EQ(again.emfPages.count(), 2);
  for (int i = 0; i < 2; ++i) {
    const TfrEMFPage& a = report.emfPages[i];
    const TfrEMFPage& b = again.emfPages[i];
    EXPECT_EQ(std::tie(a.pgSize, a.pgWidth, a.pgHeight, a.orientation, a.pgBin, a.useMargins,
                       a.margins, a.prnInfo),
              std::tie(b.pgSize, b.pgWidth, b.pgHeight, b.orientation, b.pgBin, b.useMargins,
                       b.margins, b.prnInfo))
        << i;
    EXPECT_EQ(a.stream.data(), b.stream.data()) << i;
    report.emfPages.readObjects(i);
    again.emfPages.readObjects(i);
    expectSameObjects(*report.emfPages[i].page, *again.emfPages[i].page);
  }
  EXPECT_EQ(again.info.generatorVersion, 88);
  // Saving what was loaded gives the same bytes; rewriting a page from its objects too.
  EXPECT_EQ(again.emfPages.saveToStream(), file);
  const std::string before = again.emfPages[0].stream.data();
  again.emfPages.writeObjects(0);
  EXPECT_EQ(again.emfPages[0].stream.data(), before);
}

TEST_F(PreparedPages, AutoWidthMemoHasItsWidthAfterReading) {
  TfrReport again;
  again.emfPages.loadFromStream(report.emfPages.saveToStream());
  again.emfPages.readObjects(1);
  const TfrView& v = *again.emfPages[1].page->objects.at(0);
  EXPECT_GT(v.dx, 80);
  // Right-aligned: it grew to the left, keeping its right edge at 310.
  EXPECT_EQ(v.x + v.dx, 310);
}

TEST_F(PreparedPages, LinksOpenThroughTheShellOrGoToThePreview) {
  std::vector<QString> opened;
  setShellOpenHook([&](const QString& a) { opened.push_back(a); });
  int clicks = 0;
  report.OnObjectClick = [&](TfrView&, bool&) { ++clicks; };
  // 丂 (81 40) has a trail byte equal to '@': the tag is still a web address.
  report.emfPages.readObjects(0);
  report.emfPages[0].page->findObject("URLWeb")->tag = E("https://example.org/丂");
  TfrHitResult web = report.emfPages.hitTest(0, {50, 105}, true);
  EXPECT_TRUE(web.handled);
  EXPECT_TRUE(web.link.empty());
  EXPECT_EQ(opened, (std::vector<QString>{QString::fromUtf8("https://example.org/丂")}));
  TfrHitResult jump = report.emfPages.hitTest(0, {50, 135}, true);
  EXPECT_EQ(jump.link, "page@2");
  EXPECT_EQ(opened.size(), 1u);
  TfrHitResult hover = report.emfPages.hitTest(0, {50, 105}, false);
  EXPECT_TRUE(hover.handCursor);
  EXPECT_EQ(hover.link, E("https://example.org/丂"));
  // An object without a link ends the test after its events.
  TfrHitResult plain = report.emfPages.hitTest(0, {50, 40}, true);
  EXPECT_TRUE(plain.found);
  EXPECT_FALSE(plain.handled);
  EXPECT_TRUE(plain.link.empty());
  EXPECT_EQ(clicks, 3);
  EXPECT_FALSE(report.emfPages.hitTest(0, {5, 5}, true).found);
  setShellOpenHook({});
}

TEST_F(PreparedPages, DrawsAPageAtAnyScaleAndReleasesHiddenPages) {
  TfrEMFPage& page = report.emfPages[0];
  for (double scale : {1.0, 2.0}) {
    const int w = static_cast<int>(page.prnInfo.pw * scale);
    const int h = static_cast<int>(page.prnInfo.ph * scale);
    QImage image(w, 400 * static_cast<int>(scale), QImage::Format_RGB32);
    image.fill(Qt::white);
    page.visible = true;
    {
      QPainter canvas(&image);
      report.emfPages.draw(0, canvas, QRect(0, 0, w, h));
    }
    keepImage(image, "page_scale_" + std::to_string(static_cast<int>(scale)));
    // The title's frame runs round (40, 30)-(340, 70) in layout units.
    const QRect ink = inkBox(image, QRect(0, 0, w, static_cast<int>(90 * scale)));
    EXPECT_NEAR(ink.left(), 40 * scale, 2) << scale;
    EXPECT_NEAR(ink.top(), 30 * scale, 2) << scale;
    EXPECT_NEAR(ink.right(), 340 * scale, 2) << scale;
    // Its two centred lines of text are drawn inside the frame.
    const QRect text =
        inkBox(image, QRect(static_cast<int>(42 * scale), static_cast<int>(32 * scale),
                            static_cast<int>(296 * scale), static_cast<int>(36 * scale)));
    ASSERT_FALSE(text.isNull()) << scale;
    EXPECT_NEAR(text.center().x(), 190 * scale, 6 * scale) << scale;
    EXPECT_GT(text.height(), 20 * scale) << scale;
    EXPECT_NE(page.page, nullptr);
  }
  page.visible = false;
  QImage image(10, 10, QImage::Format_RGB32);
  QPainter canvas(&image);
  report.emfPages.draw(0, canvas, QRect(0, 0, 10, 10));
  EXPECT_EQ(page.page, nullptr);
}

// Into a PDF the page goes as searchable vector text, at the writer's resolution.
TEST_F(PreparedPages, DrawsIntoAPdfWithItsText) {
  QTemporaryDir dir;
  const QString path = dir.filePath("page.pdf");
  {
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(300);
    QPainter canvas(&pdf);
    report.emfPages[0].visible = true;
    report.emfPages.draw(0, canvas, QRect(0, 0, pdf.width(), pdf.height()));
  }
  QProcess text;
  text.start("pdftotext", {"-raw", path, "-"});
  ASSERT_TRUE(text.waitForFinished(20000));
  const QString out = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_TRUE(out.contains(QStringLiteral("宫保鸡丁"))) << out.toStdString();
  EXPECT_TRUE(out.contains("https://example.org/recipes")) << out.toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral("加入适量高汤"))) << out.toStdString();
}

TEST_F(PreparedPages, OlderLayoutsAreRead) {
  // Without the version byte: the file starts with the compressed byte, strings zero-ended,
  // no bin and no margins.
  TfrWriter old;
  old.u8(0);
  old.bytes(std::string("Office printer\0", 15));
  old.i32(1);
  const std::size_t next = old.placeholder();
  old.i16(9);
  old.i32(2100);
  old.i32(2970);
  old.u8(0);
  old.u8(1);
  old.bytes(report.emfPages[0].stream.data());
  old.patchI32(next, static_cast<std::int32_t>(old.pos()));
  old.u8(88);
  TfrReport a;
  a.emfPages.loadFromStream(old.data());
  ASSERT_EQ(a.emfPages.count(), 1);
  EXPECT_EQ(a.emfPages[0].pgBin, -1);
  a.emfPages.readObjects(0);
  EXPECT_EQ(a.emfPages[0].page->objects.size(), 7u);

  // The oldest layout: a printer list, then per page a metafile of the whole page.
  TfrWriter oldest;
  oldest.bytes(std::string("Office printer\r\0", 16));
  oldest.i32(1);
  const std::size_t next2 = oldest.placeholder();
  oldest.i16(9);
  oldest.i32(2100);
  oldest.i32(2970);
  oldest.u8(0);
  oldest.u8(1);
  oldest.bytes("metafile bytes");
  oldest.patchI32(next2, static_cast<std::int32_t>(oldest.pos()));
  TfrReport b;
  b.emfPages.loadFromStream(oldest.data());
  ASSERT_EQ(b.emfPages.count(), 1);
  b.emfPages.readObjects(0);
  const auto& objects = b.emfPages[0].page->objects;
  ASSERT_EQ(objects.size(), 1u);
  auto* picture = dynamic_cast<TfrPictureView*>(objects[0].get());
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->graphicKind, 2);
  EXPECT_EQ(picture->graphicData, "metafile bytes");
  EXPECT_EQ(std::tie(picture->x, picture->y, picture->dx, picture->dy),
            std::make_tuple(0, 0, b.emfPages[0].prnInfo.pw, b.emfPages[0].prnInfo.ph));
}

TEST_F(PreparedPages, DamagedFilesEndInAnErrorAndKeepThePages) {
  const std::string good = report.emfPages.saveToStream();
  TfrWriter name;
  name.writeString(report.printerName);
  const std::size_t countAt = 2 + name.pos();
  const std::size_t firstEntry = countAt + 4;
  auto patched = [&](std::size_t at, std::int32_t value) {
    TfrWriter w;
    w.bytes(good);
    w.patchI32(at, value);
    return w.take();
  };
  const std::string damaged[] = {
      good.substr(0, good.size() - 1),  // no generator byte
      good.substr(0, firstEntry + 10),  // cut inside the first entry
      patched(countAt, 0x7FFFFFFF),     // far more pages than bytes
      patched(countAt, -1),
      patched(firstEntry, static_cast<std::int32_t>(firstEntry)),  // entry ends before its data
      patched(firstEntry, static_cast<std::int32_t>(good.size() + 1)),
      std::string(1, char(25)),
  };
  for (const std::string& bytes : damaged) {
    TfrReport target;
    target.emfPages.loadFromStream(good);
    EXPECT_THROW(target.emfPages.loadFromStream(bytes), StreamError) << bytes.size();
    // The pages loaded before are all still there.
    ASSERT_EQ(target.emfPages.count(), 2);
    EXPECT_EQ(target.emfPages[1].stream.data(), report.emfPages[1].stream.data());
  }
  // Margins and geometry at the ends of their range neither overflow nor hit anything.
  TfrEMFPage& extreme = report.emfPages[0];
  extreme.useMargins = false;
  extreme.margins = {INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN};
  EXPECT_FALSE(report.emfPages.hitTest(0, {50, 105}, false).found);
  // A page stream with an unknown object type fails when its objects are read.
  report.emfPages[1].stream.u8(7);
  EXPECT_THROW(report.emfPages.readObjects(1), StreamError);
}

// The compressor hook packs nothing: a file saved with it enabled says so and holds empty page
// data, which loads as pages without objects.
TEST_F(PreparedPages, CompressorHookIsCalledButPacksNothing) {
  struct Counting : TfrCompressor {
    int* calls;
    explicit Counting(int* c) : calls(c) {}
    void Compress(std::string_view, std::string&) override { ++*calls; }
    void Decompress(std::string_view, std::string&) override { ++*calls; }
  };
  int calls = 0;
  setCompressor(std::make_unique<Counting>(&calls));
  frCompressor().enabled = true;
  const std::string file = report.emfPages.saveToStream();
  EXPECT_EQ(file[1], 1);
  EXPECT_EQ(calls, 2);
  TfrReport again;
  again.emfPages.loadFromStream(file);
  EXPECT_EQ(calls, 4);
  setCompressor(nullptr);
  EXPECT_FALSE(frCompressor().enabled);
  ASSERT_EQ(again.emfPages.count(), 2);
  again.emfPages.readObjects(0);
  EXPECT_TRUE(again.emfPages[0].page->objects.empty());
}

// The sample files the command-line checks and the fuzz corpus use are what the writer writes
// today; KELPO_WRITE_FIXTURES=1 writes them again after a deliberate change.
TEST_F(PreparedPages, SampleFileIsWhatTheWriterWrites) {
  const QString path = QStringLiteral(KELPO_TEST_DATA "/prepared/two_pages.frp");
  const std::string bytes = report.emfPages.saveToStream();
  QFile file(path);
  if (std::getenv("KELPO_WRITE_FIXTURES")) {
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();
  }
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().toStdString(), bytes);
}

}  // namespace
}  // namespace kelpo::report
