// The printer model's rules on the virtual printer and on a printer with fixed metrics.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "fake_printer_backend.h"
#include "platform/text.h"
#include "report/ui/paper_table.h"
#include "report/ui/printer.h"
#include "report/ui/printer_properties_dialog.h"

namespace kelpo::report {
namespace {

using testing::FakePrinterBackend;
constexpr auto P = TPrinterOrientation::poPortrait;
constexpr auto L = TPrinterOrientation::poLandscape;

struct Model {
  FakePrinterBackend::State state;
  TfrPrinter printer{std::make_unique<FakePrinterBackend>(&state)};
};

std::unique_ptr<Model> withoutPrinters() {
  auto m = std::make_unique<Model>();
  m->state.names.clear();
  m->printer.attach();
  return m;
}

std::unique_ptr<Model> withPrinters() {
  auto m = std::make_unique<Model>();
  m->printer.attach();
  return m;
}

TEST(PaperTable, HasTheStandardCodesAndEndsWithTheUserDefinedSize) {
  ASSERT_EQ(PaperInfo.size(), 67u);
  std::vector<int> codes;
  for (const TPaperInfo& p : PaperInfo) codes.push_back(p.Typ);
  std::vector<int> expected;
  for (int c = 1; c <= 68; ++c)
    if (c != 48 && c != 49) expected.push_back(c);
  expected.push_back(256);
  EXPECT_EQ(codes, expected);
  struct Row {
    int code, w, h;
  };
  for (Row r : {Row{1, 2159, 2794}, Row{8, 2970, 4200}, Row{9, 2100, 2970}, Row{11, 1480, 2100},
                Row{13, 1820, 2570}, Row{5, 2159, 3556}, Row{20, 1048, 2413}, Row{256, 0, 0}}) {
    const TPaperInfo* p = findPaper(r.code);
    ASSERT_NE(p, nullptr) << r.code;
    EXPECT_EQ(p->X, r.w) << r.code;
    EXPECT_EQ(p->Y, r.h) << r.code;
  }
  EXPECT_EQ(findPaper(48), nullptr);
}

TEST(VirtualPrinter, StandsInWhenNoPrinterIsInstalled) {
  auto m = withoutPrinters();
  TfrPrinter& prn = m->printer;
  ASSERT_EQ(prn.printerNames().size(), 1u);
  EXPECT_EQ(prn.printerNames()[0], utf8ToEngine("虚拟打印机"));
  EXPECT_EQ(prn.virtualPrinterIndex(), 0);
  EXPECT_EQ(prn.printerIndex(), 0);
  EXPECT_TRUE(prn.isVirtual());
  EXPECT_FALSE(prn.deviceMode().has_value());
  EXPECT_EQ(prn.platformPrinter(), nullptr);
  // Unknown, so the first page's paper is applied whatever it is.
  EXPECT_EQ(prn.paperSize(), -1);
  EXPECT_FALSE(prn.samePaper(9, 2100, 2970, P, -1));
  EXPECT_EQ(prn.paperCodes().size(), 67u);
  EXPECT_EQ(prn.binCodes(), std::vector<int>{-1});
}

TEST(VirtualPrinter, MetricsFollowThePaperWithAFiveMillimetreBorder) {
  struct Case {
    int size, w, h;
    TPrinterOrientation o;
    int pw, ph;
  };
  const Case cases[] = {
      {9, 0, 0, P, 758, 1071},         // A4 from the table
      {9, 0, 0, L, 1071, 758},         // exchanged for landscape
      {8, 0, 0, P, 1071, 1515},        // A3
      {256, 1000, 1500, P, 361, 541},  // a user-defined size keeps its own size
      {256, 1000, 1500, L, 361, 541},  // even in landscape
  };
  for (const Case& c : cases) {
    auto m = withoutPrinters();
    m->printer.setPaper(c.size, c.w, c.h, c.o, -1, false);
    TfrPrnInfo info;
    // The device fields of a virtual printer's record are not touched.
    info.pgw = 11;
    info.pgh = 12;
    info.ofx = 13;
    info.ofy = 14;
    info.ppgw = 15;
    info.ppgh = 16;
    m->printer.fillPrinterMetrics(info);
    SCOPED_TRACE(::testing::Message() << "paper " << c.size << " orientation " << int(c.o));
    EXPECT_EQ(info.pw, c.pw);
    EXPECT_EQ(info.ph, c.ph);
    EXPECT_EQ(info.ofpx, 18);
    EXPECT_EQ(info.ofpy, 18);
    EXPECT_EQ(info.ppw, c.pw - 36);
    EXPECT_EQ(info.pph, c.ph - 36);
    EXPECT_EQ(info.pgw, 11);
    EXPECT_EQ(info.pgh, 12);
    EXPECT_EQ(info.ofx, 13);
    EXPECT_EQ(info.ofy, 14);
    EXPECT_EQ(info.ppgw, 15);
    EXPECT_EQ(info.ppgh, 16);
  }
  auto m = withoutPrinters();
  m->printer.setPaper(9, 0, 0, P, -1, false);
  const TfrPrnInfo a4 = m->printer.metrics();
  EXPECT_EQ(a4.ppw, 722);
  EXPECT_EQ(a4.pph, 1035);
}

TEST(PrinterModel, SamePaperRules) {
  struct Case {
    const char* what;
    int size, w, h;
    TPrinterOrientation o;
    int bin;
    bool same;
  };
  // Current paper: user-defined 1000 x 1500 portrait from bin 2.
  const Case custom[] = {
      {"identical", 256, 1000, 1500, P, 2, true},
      {"1 tenth off each way, other bin", 256, 1001, 1499, P, 7, true},
      {"2 tenths off in width", 256, 1002, 1500, P, 2, false},
      {"2 tenths off in height", 256, 1000, 1498, P, 2, false},
      {"other orientation", 256, 1000, 1500, L, 2, false},
      {"other code", 9, 1000, 1500, P, 2, false},
  };
  auto m = withoutPrinters();
  m->printer.setPaper(256, 1000, 1500, P, 2, true);
  for (const Case& c : custom)
    EXPECT_EQ(m->printer.samePaper(c.size, c.w, c.h, c.o, c.bin), c.same) << c.what;

  // Current paper: A4 portrait from bin 2; sizes are not compared for standard codes.
  const Case a4[] = {
      {"same bin", 9, 1, 1, P, 2, true},
      {"printer's choice of bin (-1)", 9, 2100, 2970, P, -1, true},
      {"printer's choice of bin (65535)", 9, 2100, 2970, P, 0xFFFF, true},
      {"low 16 bits all ones", 9, 2100, 2970, P, 0x1FFFF, true},
      {"other bin", 9, 2100, 2970, P, 1, false},
      {"other orientation", 9, 2100, 2970, L, 2, false},
      {"other code", 11, 2100, 2970, P, 2, false},
  };
  m->printer.setPaper(9, 2100, 2970, P, 2, true);
  for (const Case& c : a4)
    EXPECT_EQ(m->printer.samePaper(c.size, c.w, c.h, c.o, c.bin), c.same) << c.what;
}

TEST(PrinterModel, ReadsARealPrintersSettingsAndMetrics) {
  auto m = withPrinters();
  TfrPrinter& prn = m->printer;
  ASSERT_EQ(prn.printerNames().size(), 3u);
  EXPECT_EQ(prn.printerNames()[2], utf8ToEngine("虚拟打印机"));
  EXPECT_EQ(prn.printerIndex(), 0);
  EXPECT_FALSE(prn.isVirtual());
  EXPECT_EQ(prn.device(), "Office");
  EXPECT_EQ(prn.paperSize(), 9);
  EXPECT_EQ(prn.bin(), 1);
  // 4960 x 7016 pixels at 600 dpi, in tenths of a millimetre.
  EXPECT_EQ(prn.paperWidth(), 2100);
  EXPECT_EQ(prn.paperHeight(), 2970);
  EXPECT_EQ(prn.paperCodes(), (std::vector<int>{9, 11, 1}));
  EXPECT_EQ(prn.binCodes(), (std::vector<int>{-1, 1, 2}));
  EXPECT_EQ(prn.binNames()[0], defaultSourceName());

  const TfrPrnInfo info = prn.metrics();
  const TfrPrnInfo expected{4960, 7016, 757, 1071, 100, 120, 15, 18, 4760, 6776, 727, 1035};
  EXPECT_EQ(info, expected);
}

TEST(PrinterModel, KeepsAtMost256CodesAndCutsLongNames) {
  auto m = std::make_unique<Model>();
  m->state.sizes.clear();
  for (int i = 0; i < 300; ++i) m->state.sizes.push_back({1000 + i, std::string(80, 'x')});
  m->printer.attach();
  EXPECT_EQ(m->printer.paperCodes().size(), 256u);
  EXPECT_EQ(m->printer.paperNames()[0].size(), 64u);
}

TEST(PrinterModel, SelectingTheCurrentPrinterChangesNothing) {
  auto m = withPrinters();
  m->printer.setPaper(11, 1480, 2100, L, 2, true);
  const TfrPaper before = m->printer.paper();
  const int selects = m->state.selectCalls, reads = m->state.modeReads;
  const int writes = m->state.modeWrites;
  m->printer.selectPrinter(0);
  EXPECT_EQ(m->state.selectCalls, selects);
  EXPECT_EQ(m->state.modeReads, reads);
  EXPECT_EQ(m->state.modeWrites, writes);
  const TfrPaper after = m->printer.paper();
  EXPECT_EQ(after.size, before.size);
  EXPECT_EQ(after.width, before.width);
  EXPECT_EQ(after.height, before.height);
  EXPECT_EQ(after.orientation, before.orientation);
  EXPECT_EQ(after.bin, before.bin);
}

TEST(PrinterModel, SelectingTheVirtualPrinterAppliesTheTableSize) {
  auto m = withPrinters();
  m->printer.setPaper(11, 1480, 2100, L, -1, true);
  m->printer.selectPrinter(m->printer.virtualPrinterIndex());
  EXPECT_TRUE(m->printer.isVirtual());
  EXPECT_EQ(m->printer.paperSize(), 11);
  EXPECT_EQ(m->printer.paperWidth(), 2100);
  EXPECT_EQ(m->printer.paperHeight(), 1480);
  EXPECT_EQ(m->printer.printerName(), utf8ToEngine("虚拟打印机"));
  // And back to a real printer by name, which reads that printer's own settings.
  EXPECT_TRUE(m->printer.selectPrinter(std::string("Label")));
  EXPECT_EQ(m->printer.printerIndex(), 1);
  EXPECT_EQ(m->state.current, 1);
  EXPECT_FALSE(m->printer.selectPrinter(std::string("Nowhere")));
  EXPECT_EQ(m->printer.printerIndex(), 1);
}

TEST(PrinterModel, SetPaperAppliesOnlyWhatChangedOrIsForced) {
  auto m = withPrinters();
  TfrPrinter& prn = m->printer;
  int writes = m->state.modeWrites;
  prn.setPaper(9, 2100, 2970, P, -1, false);  // the printer's own paper already
  EXPECT_EQ(m->state.modeWrites, writes);
  prn.setPaper(9, 2100, 2970, P, -1, true);
  EXPECT_EQ(m->state.modeWrites, ++writes);
  // The default bin leaves the printer's source alone, and a job always asks for one copy.
  EXPECT_EQ(m->state.lastWritten.defaultSource, 1);
  EXPECT_EQ(m->state.lastWritten.copies, 1);
  prn.setPaper(11, 1480, 2100, P, 2, false);
  EXPECT_EQ(m->state.modeWrites, ++writes);
  EXPECT_EQ(m->state.lastWritten.paperSize, 11);
  EXPECT_EQ(m->state.lastWritten.defaultSource, 2);
  EXPECT_FALSE(m->state.lastWritten.has(TfrDeviceMode::kPaperWidth));
  EXPECT_EQ(prn.paperWidth(), 1480);  // read back from the printer
  // Nothing at all while the printer is printing, even when forced.
  m->state.printing = true;
  prn.setPaper(9, 2100, 2970, L, -1, true);
  EXPECT_EQ(m->state.modeWrites, writes);
  EXPECT_EQ(prn.paperSize(), 11);
}

TEST(PrinterModel, CustomPaperIsHandedToThePrinterAsFed) {
  auto m = withPrinters();
  m->printer.setPaper(256, 3000, 2000, L, -1, true);
  const TfrDeviceMode& fed = m->state.lastWritten;
  EXPECT_EQ(fed.paperSize, 256);
  EXPECT_TRUE(fed.has(TfrDeviceMode::kPaperWidth));
  EXPECT_TRUE(fed.has(TfrDeviceMode::kPaperLength));
  EXPECT_EQ(fed.paperWidth, 2000);
  EXPECT_EQ(fed.paperLength, 3000);
  EXPECT_EQ(fed.orientation, L);
  // Read back as it lies on the page, so the same paper is not applied again.
  EXPECT_EQ(m->printer.paperWidth(), 3000);
  EXPECT_EQ(m->printer.paperHeight(), 2000);
  EXPECT_TRUE(m->printer.samePaper(256, 3000, 2000, L, -1));
}

TEST(PrinterModel, APrinterThatCannotBeReadFallsBackToTheVirtualPrinter) {
  struct Case {
    const char* what;
    void (*breakIt)(FakePrinterBackend::State&);
  };
  const Case cases[] = {
      {"no settings record", [](FakePrinterBackend::State& s) { s.hasMode = false; }},
      {"metrics fail", [](FakePrinterBackend::State& s) { s.throwOnMetrics = true; }},
      {"cannot be selected", [](FakePrinterBackend::State& s) { s.selectable = false; }},
  };
  for (const Case& c : cases) {
    auto m = std::make_unique<Model>();
    c.breakIt(m->state);
    m->printer.attach();
    EXPECT_TRUE(m->printer.isVirtual()) << c.what;
    EXPECT_EQ(m->printer.printerIndex(), 2) << c.what;
    EXPECT_EQ(m->printer.paperSize(), -1) << c.what;
    EXPECT_EQ(m->printer.metrics().ofpx, 18) << c.what;
  }
  // A printer that fails later, when its paper is set, also leaves the virtual printer.
  auto m = withPrinters();
  m->state.throwOnMetrics = true;
  m->printer.setPaper(11, 0, 0, P, -1, false);
  EXPECT_TRUE(m->printer.isVirtual());
  EXPECT_EQ(m->printer.paperWidth(), 1480);
}

TEST(PrinterModel, ReportCoreSeesTheModelThroughItsInterface) {
  auto m = withoutPrinters();
  TfrPrinterModel& core = m->printer;
  const TfrPaper in = core.setPaper({9, 0, 0, 1, 0xFFFF});
  EXPECT_EQ(in.size, 9);
  EXPECT_EQ(in.width, 2970);
  EXPECT_EQ(in.height, 2100);
  EXPECT_EQ(in.orientation, 1);
  EXPECT_TRUE(core.isVirtual());
  EXPECT_EQ(core.metrics().pw, 1071);
}

TEST(PrinterProperties, ConfirmReplacesTheRecordAndCancelKeepsIt) {
  for (const bool confirm : {true, false}) {
    auto m = withPrinters();
    m->state.options = {{"Quality", "Quality", {{"Draft", "Draft"}, {"Best", "Best"}}, "Draft"}};
    const TfrDeviceMode before = *m->printer.deviceMode();
    const TfrPaper paperBefore = m->printer.paper();
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<PrinterPropertiesDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->paperSizeBox()->setCurrentIndex(dialog->paperSizeBox()->findData(11));
      dialog->landscapeButton()->setChecked(true);
      dialog->paperSourceBox()->setCurrentIndex(dialog->paperSourceBox()->findData(2));
      dialog->optionBox("Quality")->setCurrentIndex(1);
      const QString wanted = toQString(utf8ToEngine(confirm ? "确认" : "取消"));
      for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == wanted) b->click();
    });
    EXPECT_EQ(m->printer.showPrinterProperties(), confirm);
    const TfrDeviceMode after = *m->printer.deviceMode();
    if (confirm) {
      EXPECT_EQ(after.paperSize, 11);
      EXPECT_EQ(after.orientation, L);
      EXPECT_EQ(after.defaultSource, 2);
      ASSERT_EQ(after.driverOptions.size(), 1u);
      EXPECT_EQ(after.driverOptions[0].second, "Best");
    } else {
      EXPECT_EQ(after, before);
    }
    // The model's own paper settings are not read again here.
    EXPECT_EQ(m->printer.paper().size, paperBefore.size);
    EXPECT_EQ(m->printer.paper().orientation, paperBefore.orientation);
  }
}

}  // namespace
}  // namespace kelpo::report
