// Printing from the preview through the print dialog to the KelpoPDF queue (a CUPS queue that
// writes PDF files): the job's page, rasterised, looks like the preview's drawing of the page.
// Skips when the queue is not there.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <cmath>

#include "platform/text.h"
#include "report/core/memo_view.h"
#include "report/core/report.h"
#include "report/ui/preview_form.h"
#include "report/ui/print_form.h"
#include "report/ui/print_run.h"
#include "report/ui/printer.h"
#include "ui_print_form.h"

namespace kelpo::report {
namespace {

const QString kQueue = QStringLiteral("KelpoPDF");

std::unique_ptr<TfrMemoView> box(const std::string& text, int x, int y, int w, int h,
                                 std::uint32_t fill) {
  auto m = std::make_unique<TfrMemoView>();
  m->name = "Memo1";
  m->x = x, m->y = y, m->dx = w, m->dy = h;
  m->frameTyp = 15;
  m->frameWidth = 2;
  m->fillColor = fill;
  m->font.name = utf8ToEngine("宋体");
  m->font.size = 28;
  m->memo = m->memo1 = {text};
  return m;
}

// Both pictures made grey and small, so that antialiasing and a pixel of placement do not
// count; the mean difference of their grey levels (0 to 255).
double meanDifference(const QImage& a, const QImage& b) {
  const QSize small(a.width() / 4, a.height() / 4);
  const QImage x = a.convertToFormat(QImage::Format_Grayscale8)
                       .scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  const QImage y = b.convertToFormat(QImage::Format_Grayscale8)
                       .scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  double sum = 0;
  for (int row = 0; row < small.height(); ++row) {
    const uchar* p = x.constScanLine(row);
    const uchar* q = y.constScanLine(row);
    for (int col = 0; col < small.width(); ++col) sum += std::abs(int(p[col]) - int(q[col]));
  }
  return sum / (small.width() * small.height());
}

class PrintToQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QPrinterInfo::printerInfo(kQueue).isNull())
      GTEST_SKIP() << "CUPS queue KelpoPDF is not available; scripts/printer-setup.sh adds it";
    ASSERT_TRUE(scratch.isValid());
    createPrinterModel();
    installPrintRun();
  }
  void TearDown() override {
    TfrPrintForm::setModalRun({});
    TfrReport::setPrintHook({});
    TfrReport::setProgressRunner({});
    TfrReport::setProgressText({});
  }

  QTemporaryDir scratch;
};

TEST_F(PrintToQueue, ThePrintedPageLooksLikeThePreview) {
  TfrReport report;
  // A title of letters and digits only names the queue's output file unchanged.
  const std::string title = "KelpoRaster" + std::to_string(QCoreApplication::applicationPid());
  report.Title = title;
  report.ShowProgress = false;
  TfrPage a4;
  a4.changePaper(9, 2100, 2970, 0xFFFF, 0);
  frDocMode() = TfrDocMode::Output;
  report.emfPages.add(a4);
  box(utf8ToEngine("宫保鸡丁"), 60, 60, 400, 120, 0x808080)
      ->EmitPrepared(report.emfPages[0].stream);
  box("", 420, 700, 260, 300, 0x404040)->EmitPrepared(report.emfPages[0].stream);
  report.emfPages.add(a4);
  box(utf8ToEngine("鱼香肉丝"), 300, 500, 400, 300, 0x202020)
      ->EmitPrepared(report.emfPages[1].stream);
  frDocMode() = TfrDocMode::Template;

  TfrPreviewForm form;
  form.resize(700, 900);
  form.attach(report);
  form.show();
  form.chooseZoom(2);  // the whole page in the window
  const auto pageImage = [&form](int index) {
    const QRect r = form.pageRect(index).translated(-form.horizontalBar()->value(),
                                                    -form.verticalBar()->value());
    // Inside the page's border line.
    return form.pageBox()->grab(r.adjusted(1, 1, -1, -1)).toImage();
  };
  const QImage preview1 = pageImage(0);
  form.pageDown();
  const QImage preview2 = pageImage(1);
  form.pageUp();
  ASSERT_GT(preview1.width(), 200);
  ASSERT_EQ(preview2.size(), preview1.size());

  const QDir spool(QDir::homePath() + QStringLiteral("/PDF"));
  const QStringList before = spool.entryList({QStringLiteral("*.pdf")});
  TfrPrintForm::setModalRun([](TfrPrintForm& dialog) {
    QComboBox* list = dialog.ui().CB1;
    list->setCurrentIndex(list->findText(kQueue));
    emit list->activated(list->currentIndex());
    dialog.ui().RB3->click();
    dialog.ui().E2->setText(QStringLiteral("1"));
    dialog.ui().Button1->click();
    return true;
  });
  ASSERT_TRUE(form.printPages());

  // The queue writes the job into the user's PDF folder once it has gone through.
  QString job;
  QElapsedTimer clock;
  clock.start();
  while (job.isEmpty() && clock.elapsed() < 60000) {
    for (const QString& name : spool.entryList({QStringLiteral("*.pdf")}))
      if (!before.contains(name) && name.contains(QString::fromStdString(title)))
        job = spool.filePath(name);
    QTest::qWait(200);
  }
  ASSERT_FALSE(job.isEmpty()) << "no job of " << title << " in " << spool.path().toStdString();
  // Wait until the file is complete: the queue has nothing pending for it.
  QProcess pending;
  for (int i = 0; i < 100; ++i) {
    pending.start(QStringLiteral("lpstat"), {QStringLiteral("-o"), kQueue});
    pending.waitForFinished();
    if (pending.readAllStandardOutput().isEmpty()) break;
    QTest::qWait(200);
  }

  QProcess info;
  info.start(QStringLiteral("pdfinfo"), {job});
  info.waitForFinished();
  const QString infoText = QString::fromUtf8(info.readAllStandardOutput());
  EXPECT_TRUE(infoText.contains(QRegularExpression("Pages: +1\n"))) << infoText.toStdString();
  EXPECT_TRUE(infoText.contains(QRegularExpression("Page size: +595(\\.[0-9]+)? x 842")))
      << infoText.toStdString();

  const QString prefix = scratch.filePath(QStringLiteral("page"));
  QProcess raster;
  raster.start(
      QStringLiteral("pdftoppm"),
      {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
       QStringLiteral("-singlefile"), QStringLiteral("-gray"), QStringLiteral("-scale-to-x"),
       QString::number(preview1.width() + 2), QStringLiteral("-scale-to-y"),
       QString::number(preview1.height() + 2), job, prefix});
  ASSERT_TRUE(raster.waitForFinished(60000));
  QImage printed(prefix + QStringLiteral(".pgm"));
  ASSERT_FALSE(printed.isNull()) << raster.readAllStandardError().toStdString();
  printed = printed.copy(1, 1, preview1.width(), preview1.height());
  QFile::remove(job);

  const double same = meanDifference(printed, preview1);
  const double other = meanDifference(printed, preview2);
  EXPECT_LT(same, 6.0) << "printed page and preview differ";
  EXPECT_GT(other, 3 * same + 6.0) << "the comparison cannot tell pages apart";
  if (HasFailure()) {
    printed.save(QDir::temp().filePath(QStringLiteral("kelpo-printed.png")));
    preview1.save(QDir::temp().filePath(QStringLiteral("kelpo-preview.png")));
  }
}

}  // namespace
}  // namespace kelpo::report
