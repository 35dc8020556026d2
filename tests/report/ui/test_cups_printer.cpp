// The printer model on a real CUPS queue (KelpoPDF, printing to PDF files), beside the virtual
// printer. Skips when the queue is not there.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cmath>
#include <set>

#include "platform/text.h"
#include "report/ui/cups_printer_backend.h"
#include "report/ui/printer.h"
#include "report/ui/printer_properties_dialog.h"

namespace kelpo::report {
namespace {

constexpr double kUnitsPerInch = 91.6256157635468;
constexpr auto P = TPrinterOrientation::poPortrait;
constexpr auto L = TPrinterOrientation::poLandscape;
const char* const kQueue = "KelpoPDF";

class CupsPrinter : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QPrinterInfo::printerInfo(QString::fromLatin1(kQueue)).isNull())
      GTEST_SKIP() << "CUPS queue " << kQueue
                   << " is not available; scripts/printer-setup.sh starts cupsd and adds it";
    auto backend = std::make_unique<CupsPrinterBackend>();
    backend_ = backend.get();
    printer_ = std::make_unique<TfrPrinter>(std::move(backend));
    printer_->attach();
    ASSERT_TRUE(printer_->selectPrinter(std::string(kQueue)));
    ASSERT_FALSE(printer_->isVirtual());
  }

  // Every layout-unit field is its device field at the printer's resolution.
  void expectConsistent(const TfrPrnInfo& m) {
    const int dpi = backend_->deviceMetrics().dpiX;
    const double k = kUnitsPerInch / dpi;
    EXPECT_EQ(m.pw, std::lround(m.pgw * k));
    EXPECT_EQ(m.ph, std::lround(m.pgh * k));
    EXPECT_EQ(m.ofpx, std::lround(m.ofx * k));
    EXPECT_EQ(m.ofpy, std::lround(m.ofy * k));
    EXPECT_EQ(m.ppw, std::lround(m.ppgw * k));
    EXPECT_EQ(m.pph, std::lround(m.ppgh * k));
    EXPECT_GE(m.ofx, 0);
    EXPECT_GE(m.ofy, 0);
    EXPECT_LE(m.ofx + m.ppgw, m.pgw);
    EXPECT_LE(m.ofy + m.ppgh, m.pgh);
    EXPECT_GT(m.ppgw, 0);
    EXPECT_GT(m.ppgh, 0);
  }

  CupsPrinterBackend* backend_ = nullptr;
  std::unique_ptr<TfrPrinter> printer_;
};

TEST_F(CupsPrinter, ListsTheQueueBeforeTheVirtualPrinter) {
  const auto& names = printer_->printerNames();
  EXPECT_EQ(names.back(), utf8ToEngine("虚拟打印机"));
  EXPECT_EQ(printer_->virtualPrinterIndex(), static_cast<int>(names.size()) - 1);
  EXPECT_EQ(printer_->printerName(), kQueue);
  EXPECT_EQ(printer_->device(), kQueue);
  EXPECT_FALSE(printer_->driver().empty());
  EXPECT_EQ(printer_->port(), "cups-pdf:/");
  EXPECT_NE(printer_->platformPrinter(), nullptr);
  ASSERT_FALSE(printer_->binCodes().empty());
  EXPECT_EQ(printer_->binCodes()[0], -1);
}

TEST_F(CupsPrinter, MapsItsPageSizesToThePlatformsPaperCodes) {
  const std::vector<int>& codes = printer_->paperCodes();
  const std::set<int> unique(codes.begin(), codes.end());
  EXPECT_EQ(unique.size(), codes.size()) << "a code must name one paper";
  for (int code : {1, 5, 8, 9, 11, 20}) EXPECT_TRUE(unique.count(code)) << code;
  // The standard paper gets the standard code even where an alias of the same size is listed.
  EXPECT_EQ(backend_->pageSizeFor(1).key(), QStringLiteral("Letter"));
  EXPECT_EQ(backend_->pageSizeFor(9).key(), QStringLiteral("A4"));
  EXPECT_EQ(backend_->pageSizeFor(5).key(), QStringLiteral("Legal"));
  // Sizes the platform has no code for get driver codes above the user-defined one.
  const QPageSize archC = QPageSize(QPageSize::ArchC);
  EXPECT_EQ(standardPaperCode(archC), 0);
  EXPECT_TRUE(std::any_of(codes.begin(), codes.end(), [](int c) { return c > 256; }));
}

TEST_F(CupsPrinter, MetricsFollowThePaperAtThePrintersResolution) {
  printer_->setPaper(9, 2100, 2970, P, -1, true);
  EXPECT_EQ(printer_->paperSize(), 9);
  EXPECT_NEAR(printer_->paperWidth(), 2100, 1);
  EXPECT_NEAR(printer_->paperHeight(), 2970, 1);
  const TfrPrnInfo portrait = printer_->metrics();
  expectConsistent(portrait);
  const int dpi = backend_->deviceMetrics().dpiX;
  EXPECT_NEAR(portrait.pgw, 210 / 25.4 * dpi, 1.0);
  EXPECT_NEAR(portrait.pgh, 297 / 25.4 * dpi, 1.0);
  EXPECT_NEAR(portrait.pw, 758, 1);
  EXPECT_NEAR(portrait.ph, 1071, 1);

  printer_->setPaper(9, 2970, 2100, L, -1, false);
  EXPECT_EQ(printer_->orientation(), L);
  const TfrPrnInfo landscape = printer_->metrics();
  expectConsistent(landscape);
  EXPECT_EQ(landscape.pgw, portrait.pgh);
  EXPECT_EQ(landscape.pgh, portrait.pgw);
  EXPECT_NEAR(printer_->paperWidth(), 2970, 1);
}

TEST_F(CupsPrinter, CustomPaperComesBackAsItWasSet) {
  for (TPrinterOrientation o : {P, L}) {
    printer_->setPaper(256, 1000, 1500, o, -1, true);
    SCOPED_TRACE(o == P ? "portrait" : "landscape");
    EXPECT_EQ(printer_->paperSize(), 256);
    EXPECT_NEAR(printer_->paperWidth(), 1000, 1);
    EXPECT_NEAR(printer_->paperHeight(), 1500, 1);
    EXPECT_TRUE(printer_->samePaper(256, 1000, 1500, o, -1));
    const TfrPrnInfo m = printer_->metrics();
    expectConsistent(m);
    EXPECT_NEAR(m.pw, 361, 1);
  }
}

TEST_F(CupsPrinter, PropertiesDialogChangesTheDriversSettingsOnConfirm) {
  printer_->setPaper(9, 2100, 2970, P, -1, true);
  const int dpi = backend_->deviceMetrics().dpiX;
  const TfrPrnInfo before = printer_->metrics();
  for (const bool confirm : {false, true}) {
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<PrinterPropertiesDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      QComboBox* resolution = dialog->optionBox("Resolution");
      ASSERT_NE(resolution, nullptr) << "the queue's driver offers resolutions";
      const int other =
          resolution->findData(dpi == 600 ? QStringLiteral("300dpi") : QStringLiteral("600dpi"));
      ASSERT_GE(other, 0);
      resolution->setCurrentIndex(other);
      dialog->landscapeButton()->setChecked(true);
      const QString wanted = toQString(utf8ToEngine(confirm ? "确认" : "取消"));
      for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == wanted) b->click();
    });
    EXPECT_EQ(printer_->showPrinterProperties(), confirm);
  }
  const int newDpi = backend_->deviceMetrics().dpiX;
  EXPECT_EQ(newDpi, dpi == 600 ? 300 : 600);
  EXPECT_EQ(printer_->platformPrinter()->pageLayout().orientation(), QPageLayout::Landscape);
  // The model's paper is not re-read; the next forced setting applies the page's own again
  // and keeps the driver's other settings.
  EXPECT_EQ(printer_->orientation(), P);
  // A print run attaches to the printers again first; the dialog's settings stay in force.
  printer_->refreshPrinterList();
  ASSERT_EQ(printer_->printerName(), kQueue);
  EXPECT_EQ(printer_->orientation(), L);
  EXPECT_EQ(backend_->deviceMetrics().dpiX, newDpi);
  printer_->setPaper(9, 2100, 2970, P, -1, true);
  const TfrPrnInfo after = printer_->metrics();
  expectConsistent(after);
  EXPECT_NEAR(after.pw, before.pw, 1);
  EXPECT_NEAR(after.pgw, before.pgw * newDpi / double(dpi), 1.0);
}

}  // namespace
}  // namespace kelpo::report
