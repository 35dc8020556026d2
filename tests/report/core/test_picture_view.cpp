// Picture, line and sub-report views: where a picture is drawn, each picture kind through
// templates and prepared pages, pictures from files and blob fields, damaged pictures, line
// orientation and stretching, and sub-report frames that never reach a prepared page.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/database.h"
#include "platform/text.h"
#include "report/core/picture_view.h"
#include "report/core/prepared_pages.h"
#include "report/expr/datasets.h"
#include "report/expr/variables.h"
#include "tests/report/core/support_build.h"
#include "tests/report/core/support_output.h"

namespace kelpo::report {
namespace {

using testing::BuildFixture;
using testing::keepImage;

const QColor kRed(255, 0, 0);

std::string fileBytes(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, format)) << format;
  return bytes.toStdString();
}

QImage solid(int w, int h, const QColor& c = kRed) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(c);
  return image;
}

std::string fixture(const char* name) {
  QFile f(QStringLiteral(KELPO_TEST_DATA "/pictures/") + QString::fromUtf8(name));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
  return f.readAll().toStdString();
}

// Saves bytes beside the kept images (KELPO_KEEP_IMAGES), where fuzz seeds are taken from.
void keepBytes(const std::string& bytes, const std::string& name) {
  const char* dir = std::getenv("KELPO_KEEP_IMAGES");
  if (!dir || !*dir) return;
  QFile f(QString::fromUtf8(dir) + "/" + QString::fromStdString(name));
  if (f.open(QIODevice::WriteOnly)) f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// Bounding box of the pixels that are clearly red.
QRect redBox(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 200 && c.green() < 80 && c.blue() < 80) box |= QRect(x, y, 1, 1);
    }
  return box;
}

class PicturePainting : public ::testing::Test {
 protected:
  PicturePainting() { frDocMode() = TfrDocMode::Output; }
  ~PicturePainting() override { frDocMode() = TfrDocMode::Template; }

  static QImage paint(TfrView& view, double scale = 1.0, bool printing = false) {
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    view.scaleX = view.scaleY = scale;
    view.printing = printing;
    QPainter canvas(&image);
    view.Paint(canvas);
    return image;
  }
};

TEST_F(PicturePainting, TargetFollowsStretchedKeepAspectAndCenter) {
  struct Case {
    const char* what;
    QSize picture;
    QRect object;
    std::uint16_t flags;
    double scale;
    QRect drawn;
  } cases[] = {
      {"keep aspect: 200 x 100 in 100 x 100",
       {200, 100},
       {10, 10, 100, 100},
       flStretched | flPictRatio,
       1.0,
       {10, 10, 100, 50}},
      {"keep aspect, centred: moved down 25",
       {200, 100},
       {10, 10, 100, 100},
       flStretched | flPictRatio | flPictCenter,
       1.0,
       {10, 35, 100, 50}},
      {"keep aspect, tall picture keeps the height",
       {50, 100},
       {0, 0, 100, 100},
       flStretched | flPictRatio | flPictCenter,
       1.0,
       {25, 0, 50, 100}},
      {"stretched alone fills the object",
       {200, 100},
       {10, 10, 100, 100},
       flStretched,
       1.0,
       {10, 10, 100, 100}},
      {"unstretched at scale 2: twice its size from the corner",
       {50, 50},
       {10, 10, 120, 120},
       0,
       2.0,
       {20, 20, 100, 100}},
      {"unstretched, centred", {50, 50}, {0, 0, 100, 80}, flPictCenter, 1.0, {25, 15, 50, 50}},
      {"keep aspect at scale 2 uses the scaled sizes",
       {200, 100},
       {0, 0, 100, 100},
       flStretched | flPictRatio | flPictCenter,
       2.0,
       {0, 50, 200, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TfrPictureView v;
    v.x = c.object.x(), v.y = c.object.y(), v.dx = c.object.width(), v.dy = c.object.height();
    v.flags = c.flags;
    v.setGraphic(1, fileBytes(solid(c.picture.width(), c.picture.height()), "BMP"));
    const QImage image = paint(v, c.scale);
    EXPECT_EQ(redBox(image), c.drawn);
    // The view's geometry is back as it was.
    EXPECT_EQ(QRect(v.x, v.y, v.dx, v.dy), c.object);
  }
}

TEST_F(PicturePainting, PrinterGetsBitmapsAndMetafilesButNoIcons) {
  struct Case {
    const char* what;
    std::uint8_t kind;
    std::string bytes;
    bool printed;
  } cases[] = {
      {"bitmap", 1, fileBytes(solid(40, 20), "BMP"), true},
      {"JPEG", 4, fileBytes(solid(40, 20), "JPG"), true},
      {"icon", 3, fileBytes(solid(32, 32), "ICO"), false},
      {"metafile", 2, fixture("red_rect.emf"), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TfrPictureView v;
    v.x = 0, v.y = 0, v.dx = 200, v.dy = 100;
    v.flags = flStretched;
    v.setGraphic(c.kind, c.bytes);
    EXPECT_FALSE(redBox(paint(v)).isEmpty());  // every kind shows on screen
    EXPECT_EQ(!redBox(paint(v, 1.0, true)).isEmpty(), c.printed);
  }
}

TEST_F(PicturePainting, EmptyOrDamagedPictureShowsOnlyBackgroundAndFrame) {
  TfrPictureView v;
  v.x = 10, v.y = 10, v.dx = 100, v.dy = 100;
  v.fillColor = 0x00FF00;  // green
  v.frameTyp = 15;
  QImage image = paint(v);
  EXPECT_EQ(image.pixelColor(60, 60), QColor(0, 255, 0));
  EXPECT_EQ(image.pixelColor(10, 60), QColor(0, 0, 0));
  v.graphicKind = 4;
  v.graphicData = "\xFF\xD8 not really a JPEG";
  EXPECT_THROW(v.graphic(), DecoderError);
  image = paint(v);
  EXPECT_EQ(image.pixelColor(60, 60), QColor(0, 255, 0));
}

// Each kind of picture survives a template, a build and a prepared-report file unchanged, and
// is drawn from the page read back.
TEST(PictureView, EveryKindRoundTripsThroughTemplatesAndPreparedPages) {
  struct Case {
    const char* what;
    std::uint8_t kind;
    std::string bytes;
  } cases[] = {
      {"bitmap", 1, fileBytes(solid(40, 20), "BMP")},
      {"JPEG", 4, fileBytes(solid(40, 20), "JPG")},
      {"icon", 3, fileBytes(solid(32, 32), "ICO")},
      {"enhanced metafile", 2, fixture("red_rect.emf")},
      {"old-style metafile", 2, fixture("red_rect.wmf")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string stored;
    {
      BuildFixture f;
      f.band(btReportTitle, 0, 120);
      auto picture = std::make_unique<TfrPictureView>();
      picture->name = "Picture1";
      picture->x = 20, picture->y = 10, picture->dx = 160, picture->dy = 80;
      picture->flags = flStretched;
      picture->blobType = 2;
      picture->setGraphic(c.kind, c.bytes);
      f.tpage->objects.push_back(std::move(picture));
      stored = f.report->saveToStream(1.0);
    }
    BuildFixture f;
    f.report->loadFromStream(stored);
    auto* loaded = dynamic_cast<TfrPictureView*>(f.report->pages[0]->findObject("Picture1"));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->graphicKind, c.kind);
    EXPECT_EQ(loaded->graphicData, c.bytes);
    EXPECT_EQ(loaded->blobType, 2);
    EXPECT_EQ(f.report->saveToStream(1.0), stored);

    ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
    TfrReport again;
    again.emfPages.loadFromStream(f.report->emfPages.saveToStream());
    ASSERT_EQ(again.emfPages.count(), 1);
    again.emfPages.readObjects(0);
    auto& objects = again.emfPages[0].page->objects;
    ASSERT_EQ(objects.size(), 1u);
    auto* prepared = dynamic_cast<TfrPictureView*>(objects[0].get());
    ASSERT_NE(prepared, nullptr);
    EXPECT_EQ(prepared->graphicKind, c.kind);
    EXPECT_EQ(prepared->graphicData, c.bytes);

    const TfrPrnInfo& info = again.emfPages[0].prnInfo;
    QImage image(info.pw, info.ph, QImage::Format_RGB32);
    image.fill(Qt::white);
    again.emfPages[0].visible = true;
    {
      QPainter canvas(&image);
      again.emfPages.draw(0, canvas, image.rect());
    }
    const QRect red = redBox(image);
    EXPECT_FALSE(red.isEmpty());
    EXPECT_TRUE(QRect(20, 10, 160, 80).contains(red)) << red.x() << "," << red.y();
    const std::string name = std::string("picture_") + std::to_string(&c - cases);
    keepImage(image, name);
    keepBytes(stored, name + ".frf");
    keepBytes(f.report->emfPages.saveToStream(), name + ".frp");
  }
}

TEST(PictureView, UnknownGraphicKindDropsTheRecord) {
  BuildFixture f;
  auto picture = std::make_unique<TfrPictureView>();
  picture->name = "Picture1";
  picture->setGraphic(1, fileBytes(solid(4, 4), "BMP"));
  f.tpage->objects.push_back(std::move(picture));
  std::string stored = f.report->saveToStream(1.0);
  // The graphic kind byte follows the common block; find it by the BMP's own signature.
  const std::size_t bm = stored.find("BM");
  ASSERT_NE(bm, std::string::npos);
  ASSERT_EQ(stored[bm - 6], 1);  // kind, blob type, int32 graphic end, data
  stored[bm - 6] = 9;
  BuildFixture g;
  g.report->loadFromStream(stored);
  EXPECT_EQ(g.report->pages[0]->findObject("Picture1"), nullptr);
}

TEST(PictureView, LoadFromFileTakesTheKindByExtensionAndEmptiesOnMissingFiles) {
  QTemporaryDir dir;
  const QString bmp = dir.filePath(QStringLiteral("菜.bmp"));
  ASSERT_TRUE(solid(30, 20).save(bmp, "BMP"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(KELPO_TEST_DATA "/pictures/red_rect.wmf"),
                          dir.filePath(QStringLiteral("菜.wmf"))));
  TfrPictureView v;
  auto quoted = [](const QString& path) { return "'" + fromQString(path) + "'"; };
  v.CallMethod("LoadFromFile", quoted(bmp), "", "");
  EXPECT_EQ(v.graphicKind, 1);
  EXPECT_EQ(v.graphic().size(), QSize(30, 20));
  // The argument is an expression; stored recipe paths with backslashes find the file too.
  const std::string folder = fromQString(dir.path());
  v.CallMethod("LOADFROMFILE", "'" + folder + "' + '\\" + utf8ToEngine("菜.wmf") + "'", "", "");
  EXPECT_EQ(v.graphicKind, 2);
  EXPECT_EQ(v.graphic().size(), QSize(100, 50));
  v.CallMethod("LoadFromFile", quoted(dir.filePath(QStringLiteral("missing.jpg"))), "", "");
  EXPECT_EQ(v.graphicKind, 0);
  EXPECT_TRUE(v.graphicData.empty());
  // A folder is not a picture file either.
  v.setGraphic(1, fileBytes(solid(4, 4), "BMP"));
  v.CallMethod("LoadFromFile", quoted(dir.path()), "", "");
  EXPECT_EQ(v.graphicKind, 0);
}

TEST(PictureView, PropertiesAndBlobTypeConstants) {
  TfrPictureView v;
  EXPECT_EQ(Constants().GetVariable("btWMF"), Value(3));
  EXPECT_EQ(v.flags, flStretched | flPictRatio);
  v.SetProperty("BlobType", Value(1));
  v.SetProperty("Center", Value(true));
  EXPECT_EQ(v.GetProperty("BLOBTYPE"), Value(1));
  EXPECT_EQ(v.flags, flStretched | flPictRatio | flPictCenter);
  // One view's picture given to another keeps its kind and bytes; damaged ones are refused.
  v.setGraphic(1, fileBytes(solid(4, 4), "BMP"));
  TfrPictureView w;
  w.SetProperty("Picture", v.GetProperty("Picture"));
  EXPECT_EQ(std::make_pair(w.graphicKind, w.graphicData),
            std::make_pair(v.graphicKind, v.graphicData));
  EXPECT_THROW(w.SetProperty("Picture", Value(std::string("\x04garbage"))), DecoderError);
  EXPECT_EQ(w.graphicKind, 1);
  w.SetProperty("Picture", Value(std::string()));
  EXPECT_EQ(w.graphicKind, 0);
}

// A database with a blob column of pictures, one row per kind the blob type names, and a null.
class BlobPictures : public ::testing::Test {
 protected:
  BlobPictures() {
    const QString file = folder.filePath(QStringLiteral("Kelpo.db"));
    QFile(file).open(QIODevice::WriteOnly);
    auto* connection = new Connection(&f.form);
    connection->setConnectionString(QStringLiteral("Data Source=") + file);
    connection->open();
    connection->execute(QStringLiteral("create table photos (n INTEGER, photo BLOB)"));
    const QString insert = QStringLiteral("insert into photos values (?, ?)");
    connection->execute(insert, {1, QByteArray::fromStdString(fileBytes(solid(40, 20), "BMP"))});
    connection->execute(insert, {2, QVariant()});
    connection->execute(insert, {3, QByteArray::fromStdString(fileBytes(solid(20, 40), "BMP"))});
    auto* query = new Query(&f.form);
    query->setObjectName(QStringLiteral("Photos"));
    query->setConnection(connection);
    query->setSql(QStringLiteral("select * from photos order by n"));
    query->open();
    auto* dataset = new TfrDBDataSet(&f.form);
    dataset->setObjectName(QStringLiteral("frDBDataSet1"));
    dataset->SetDataSet(query);
  }
  QTemporaryDir folder;
  BuildFixture f;
};

TEST_F(BlobPictures, EachRecordGetsThePictureOfItsBlobField) {
  f.band(btMasterData, 0, 60, "frDBDataSet1");
  auto picture = std::make_unique<TfrPictureView>();
  picture->name = "Photo";
  picture->x = 0, picture->y = 0, picture->dx = 100, picture->dy = 50;
  picture->memo = {"[Photos.\"photo\"]"};
  f.tpage->objects.push_back(std::move(picture));
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  f.report->emfPages.readObjects(0);
  std::vector<QSize> sizes;
  for (const auto& v : f.report->emfPages[0].page->objects) {
    auto* p = dynamic_cast<TfrPictureView*>(v.get());
    ASSERT_NE(p, nullptr);
    sizes.push_back(p->graphicKind == 0 ? QSize() : p->graphic().size());
  }
  // The null field clears the picture instead of keeping the previous record's.
  EXPECT_EQ(sizes, (std::vector<QSize>{{40, 20}, {}, {20, 40}}));
}

TEST_F(BlobPictures, DamagedPictureInATemplateEndsTheBuildWithAClearError) {
  f.band(btReportTitle, 0, 60);
  auto picture = std::make_unique<TfrPictureView>();
  picture->name = "Broken";
  picture->dx = 100, picture->dy = 50;
  picture->graphicKind = 4;
  picture->graphicData = std::string("\xFF\xD8\xFF\xE0", 4);
  f.tpage->objects.push_back(std::move(picture));
  EXPECT_FALSE(f.prepare() && f.shownError.empty());
  const QString shown = toQString(f.shownError);
  EXPECT_TRUE(shown.contains(QStringLiteral("Broken"))) << f.shownError;
  EXPECT_TRUE(shown.contains(QString::fromUtf8("无法解码"))) << f.shownError;
}

// --- lines -----------------------------------------------------------------------------------

TEST_F(PicturePainting, LineBecomesHorizontalOrVerticalByItsShape) {
  struct Case {
    QRect box;
    QRect ink;
  } cases[] = {
      {{20, 30, 10, 200}, {20, 30, 1, 200}},  // taller than wide: its left edge
      {{20, 30, 200, 10}, {20, 30, 200, 1}},  // wider than high: its top edge
      {{20, 30, 40, 40}, {20, 30, 1, 40}},    // square: vertical
  };
  for (const Case& c : cases) {
    TfrLineView line;
    line.x = c.box.x(), line.y = c.box.y(), line.dx = c.box.width(), line.dy = c.box.height();
    EXPECT_EQ(testing::inkBox(paint(line), QRect(0, 0, 300, 300)).adjusted(0, 0, 0, 0), c.ink)
        << c.box.width() << "x" << c.box.height();
  }
  TfrLineView line;
  EXPECT_EQ(std::make_tuple(line.frameTyp, line.fillColor, line.flags),
            std::make_tuple(std::uint16_t(4), 0xFFFFFFu, std::uint16_t(flStretched)));
}

TEST(LineView, StretchedLineGrowsWithAStretchedBand) {
  BuildFixture f;
  f.band(btReportTitle, 0, 40, "", flStretched);
  f.memo("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8", 20, 0, 100, 18, flStretched | flWordWrap);
  for (std::uint16_t flags : {std::uint16_t(flStretched), std::uint16_t(0)}) {
    auto line = std::make_unique<TfrLineView>();
    line->name = flags ? "Stretched" : "Fixed";
    line->x = flags ? 5 : 10, line->y = 0, line->dx = 1, line->dy = 30;
    line->flags = flags;
    f.tpage->objects.push_back(std::move(line));
  }
  ASSERT_TRUE(f.prepare());
  std::map<std::string, std::int32_t> heights;
  for (const auto& p : f.page(0)) heights[p.name] = p.dy;
  ASSERT_GT(heights["Memo2"], 40);
  EXPECT_EQ(heights["Stretched"], heights["Memo2"]);
  EXPECT_EQ(heights["Fixed"], 30);
  TfrLineView line;
  EXPECT_EQ(std::make_pair(line.MinHeight(), line.RemainHeight()), std::make_pair(1, 0));
}

// --- sub-reports -----------------------------------------------------------------------------

TEST(SubReportView, NeverWrittenIntoPreparedPages) {
  BuildFixture f;
  f.band(btReportTitle, 0, 30);
  f.memo("main", 0, 0);
  // A hidden frame comes before the visible one, so it is output like any object; its script
  // shows it, and still nothing of it is written.
  auto hidden = std::make_unique<TfrSubReportView>();
  hidden->name = "SubReport2";
  hidden->visible = false;
  hidden->subPage = 1;
  hidden->script = {"SubReport2.Visible := 1"};
  f.tpage->objects.push_back(std::move(hidden));
  auto sub = std::make_unique<TfrSubReportView>();
  sub->name = "SubReport1";
  sub->x = 200, sub->dx = 200, sub->dy = 30;
  sub->subPage = 1;
  f.tpage->objects.push_back(std::move(sub));
  f.tpage = f.report->pages.add();
  f.tpage->changePaper(9, 2100, 2970, 0xFFFF, 0);
  f.band(btMasterData, 0, 20, "2");
  f.memo("sub[LINE#]", 0, 0);
  ASSERT_TRUE(f.prepare()) << engineToUtf8(f.shownError);
  // The sub-report page is not printed by itself: one page, its records beside the main text.
  ASSERT_EQ(f.pageCount(), 1);
  EXPECT_EQ(f.texts(0), "main sub1 sub2");
  for (const auto& v : f.report->emfPages[0].page->objects) EXPECT_NE(v->typ, gtSubReport);
}

TEST(SubReportView, TemplateDrawingIsAFramedRectangleWithItsName) {
  TfrSubReportView v;
  v.name = "SubReport1";
  v.x = 10, v.y = 10, v.dx = 120, v.dy = 60;
  frDocMode() = TfrDocMode::Template;
  QImage image(200, 100, QImage::Format_RGB32);
  image.fill(Qt::gray);
  {
    QPainter canvas(&image);
    v.Paint(canvas);
  }
  keepImage(image, "subreport_template");
  EXPECT_EQ(image.pixelColor(10, 40), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(129, 40), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(60, 69), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(100, 50), QColor(Qt::white));
  // The name's ink starts near the top-left corner, inside the frame.
  const QRect ink = testing::inkBox(image, QRect(11, 11, 118, 48));
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_LE(ink.left(), 16);
  EXPECT_LE(ink.top(), 20);
  // In output mode nothing is drawn.
  frDocMode() = TfrDocMode::Output;
  QImage blank(200, 100, QImage::Format_RGB32);
  blank.fill(Qt::gray);
  {
    QPainter canvas(&blank);
    v.Paint(canvas);
  }
  frDocMode() = TfrDocMode::Template;
  EXPECT_EQ(blank.pixelColor(10, 40), QColor(Qt::gray));
}

}  // namespace
}  // namespace kelpo::report
