// The print dialog driven through its widgets: the printer list and the printer restored when
// the dialog closes without OK, the copies arrows, the collate label and pictures, the page
// box; and printing from the preview through the dialog into a PDF file, with the progress
// window and its cancel button.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "platform/message_box.h"
#include "platform/text.h"
#include "report/core/memo_view.h"
#include "report/core/report.h"
#include "report/ui/preview_form.h"
#include "report/ui/print_form.h"
#include "report/ui/print_run.h"
#include "report/ui/progress_form.h"
#include "report/ui/toolbar_controls.h"
#include "tests/report/ui/fake_printer_backend.h"
#include "ui_print_form.h"

namespace kelpo::report {
namespace {

// Two installed printers ("Office" current, "Label") and the virtual one.
class PrintDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    printer.attach();
    setMessageHook([this](const MessageRecord& r) {
      messages.push_back(r.text);
      return QMessageBox::Ok;
    });
  }
  void TearDown() override { setMessageHook({}); }

  testing::FakePrinterBackend::State state;
  TfrPrinter printer{std::make_unique<testing::FakePrinterBackend>(&state)};
  std::vector<QString> messages;
};

QStringList entries(const QComboBox* box) {
  QStringList list;
  for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
  return list;
}

TEST_F(PrintDialog, OpensWithThePrintersThenThePdfEntryAndTheDefaultChoices) {
  state.current = 1;
  printer.refreshPrinterList();
  TfrPrintForm dialog(nullptr, &printer);
  const Ui::TfrPrintForm& ui = dialog.ui();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("打印"));
  EXPECT_EQ(dialog.size(), QSize(485, 225));
  // The virtual printer is not offered; the current printer is marked.
  EXPECT_EQ(entries(ui.CB1), (QStringList{"Office", "Label", QStringLiteral("PDF 文件")}));
  EXPECT_EQ(ui.CB1->currentIndex(), 1);
  EXPECT_TRUE(ui.RB1->isChecked());
  EXPECT_EQ(dialog.pageChoice(), TfrPrintForm::PageChoice::All);
  EXPECT_EQ(dialog.copiesText(), QStringLiteral("1"));
  EXPECT_TRUE(dialog.collate());
  EXPECT_EQ(entries(ui.CB2), (QStringList{QStringLiteral("全部页"), QStringLiteral("奇数页"),
                                          QStringLiteral("偶数页")}));
  EXPECT_EQ(dialog.oddEven(), 0);
  EXPECT_EQ(ui.CB2->x(), ui.Label5->geometry().right() + 1 + 11);
  EXPECT_EQ(ui.Label2->text(),
            QStringLiteral("请键入页码和或用逗号分隔的页码范围（例如：1,3,5-12）。"));
  EXPECT_EQ(ui.frSpeedButton1->size(), QSize(17, 8));
  EXPECT_LT(ui.frSpeedButton1->y(), ui.frSpeedButton2->y());
  EXPECT_FALSE(dialog.pdfChosen());
}

TEST_F(PrintDialog, ChoosingAPrinterSelectsItAndOnlyOkKeepsIt) {
  struct Case {
    const char* how;
    std::function<void(TfrPrintForm&)> close;
    int printerAfter;
  } cases[] = {
      {"cancel button", [](TfrPrintForm& d) { d.ui().Button2->click(); }, 0},
      {"escape", [](TfrPrintForm& d) { QTest::keyClick(&d, Qt::Key_Escape); }, 0},
      {"closed", [](TfrPrintForm& d) { d.close(); }, 0},
      {"ok", [](TfrPrintForm& d) { d.ui().Button1->click(); }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    printer.selectPrinter(0);
    TfrPrintForm dialog(nullptr, &printer);
    dialog.show();
    // The user steps the closed list down to the next printer.
    QTest::keyClick(dialog.ui().CB1, Qt::Key_Down);
    EXPECT_EQ(printer.printerIndex(), 1) << "selected at once";
    EXPECT_EQ(state.current, 1);
    c.close(dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(printer.printerIndex(), c.printerAfter);
    EXPECT_EQ(state.current, c.printerAfter);
  }
}

TEST_F(PrintDialog, CopiesArrows) {
  TfrPrintForm dialog(nullptr, &printer);
  dialog.show();
  TfrSpeedButton* up = dialog.ui().frSpeedButton1;
  TfrSpeedButton* down = dialog.ui().frSpeedButton2;
  // Both arrows can be seen: each button shows black pixels of its glyph.
  for (TfrSpeedButton* arrow : {up, down}) {
    const QImage shown = arrow->grab().toImage();
    int black = 0;
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x) black += (shown.pixel(x, y) & 0xFFFFFF) == 0;
    EXPECT_GE(black, 10) << (arrow == up ? "up" : "down");
  }
  struct Case {
    const char* before;
    TfrSpeedButton* arrow;
    const char* after;
  } cases[] = {
      {"1", down, "1"}, {"0", down, "1"}, {"-7", down, "1"}, {"5", down, "4"},
      {"1", up, "2"},   {"0", up, "1"},   {" 9", up, "10"},
  };
  for (const Case& c : cases) {
    dialog.ui().E1->setText(QString::fromLatin1(c.before));
    QTest::mouseClick(c.arrow, Qt::LeftButton);
    EXPECT_EQ(dialog.copiesText(), QString::fromLatin1(c.after))
        << c.before << (c.arrow == up ? " up" : " down");
  }
  EXPECT_TRUE(messages.empty());
  // A text that is not a whole number: the conversion error, and the text stays.
  for (TfrSpeedButton* arrow : {up, down}) {
    dialog.ui().E1->setText(QStringLiteral("x2"));
    QTest::mouseClick(arrow, Qt::LeftButton);
    EXPECT_EQ(dialog.copiesText(), QStringLiteral("x2"));
  }
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_TRUE(messages[0].contains(QStringLiteral("x2"))) << messages[0].toStdString();
  EXPECT_THROW(dialog.copiesDown(), EConvertError);
}

TEST_F(PrintDialog, TheCollateLabelTogglesTheBoxAndThePicture) {
  TfrPrintForm dialog(nullptr, &printer);
  dialog.show();
  const Ui::TfrPrintForm& ui = dialog.ui();
  const QImage collated = ui.Image1->pixmap().toImage();
  QTest::mouseClick(ui.Label4, Qt::LeftButton);
  EXPECT_FALSE(dialog.collate());
  const QImage uncollated = ui.Image1->pixmap().toImage();
  EXPECT_NE(collated, uncollated);
  QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(ui.Label4, &doubleClick);
  EXPECT_TRUE(dialog.collate());
  EXPECT_EQ(ui.Image1->pixmap().toImage(), collated);
  // The pictures' silver background lets the dialog's face show: right of the collated sheets
  // and above the uncollated ones.
  EXPECT_EQ(qAlpha(collated.pixel(84, 2)), 0);
  EXPECT_EQ(qAlpha(uncollated.pixel(40, 3)), 0);
  EXPECT_EQ(collated.pixel(8, 0), qRgb(0, 0, 0)) << "the first sheet's corner is drawn at 8, 0";
  EXPECT_EQ(qAlpha(collated.pixel(7, 0)), 0);
}

TEST_F(PrintDialog, ThePageBoxAndItsChoiceGoTogether) {
  TfrPrintForm dialog(nullptr, &printer);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  const Ui::TfrPrintForm& ui = dialog.ui();
  ui.E2->setFocus();
  EXPECT_EQ(dialog.pageChoice(), TfrPrintForm::PageChoice::List);
  ui.RB2->click();
  EXPECT_EQ(dialog.pageChoice(), TfrPrintForm::PageChoice::Current);
  QTest::mouseClick(ui.RB3, Qt::LeftButton);
  EXPECT_TRUE(ui.E2->hasFocus());
  EXPECT_EQ(dialog.pageChoice(), TfrPrintForm::PageChoice::List);
}

// ---- printing from the preview into a PDF file ------------------------------------------

std::unique_ptr<TfrMemoView> memo(const std::string& text, int y) {
  auto m = std::make_unique<TfrMemoView>();
  m->name = "Memo1";
  m->x = 40, m->y = y, m->dx = 300, m->dy = 30;
  m->font.name = utf8ToEngine("宋体");
  m->font.size = 14;
  m->memo = m->memo1 = {text};
  return m;
}

QString runTool(const QString& tool, const QStringList& args) {
  QProcess p;
  p.start(tool, args);
  if (!p.waitForFinished(30000) || p.exitCode() != 0) return QString();
  return QString::fromUtf8(p.readAllStandardOutput());
}

class PrintFromPreview : public PrintDialog {
 protected:
  void SetUp() override {
    PrintDialog::SetUp();
    installPrintRun();
    ASSERT_TRUE(dir.isValid());
    TfrPage a4;
    a4.changePaper(9, 2100, 2970, 7, 0);
    frDocMode() = TfrDocMode::Output;
    for (int i = 1; i <= 5; ++i) {
      report.emfPages.add(a4);
      memo(utf8ToEngine("第" + std::to_string(i) + "页"), 40)
          ->EmitPrepared(report.emfPages[i - 1].stream);
    }
    frDocMode() = TfrDocMode::Template;
    TfrPrintForm::setFileDialog([this] { return pdf; });
  }
  void TearDown() override {
    TfrPrintForm::setModalRun({});
    TfrPrintForm::setFileDialog({});
    TfrReport::setPrintHook({});
    TfrReport::setProgressRunner({});
    TfrReport::setProgressText({});
    PrintDialog::TearDown();
  }

  // Opens the preview and prints through the dialog, which `fill` fills before OK.
  // The preview stays open from one print to the next.
  bool printThroughDialog(const std::function<void(TfrPrintForm&)>& fill) {
    if (!form) {
      form = std::make_unique<TfrPreviewForm>();
      form->resize(800, 600);
      form->attach(report);
      form->show();
    }
    TfrPrintForm::setModalRun([&](TfrPrintForm& dialog) {
      fill(dialog);
      dialog.ui().Button1->click();
      return true;
    });
    const bool done = form->printPages();
    EXPECT_EQ(form->pageCount(), 5) << "the pages come back to the preview";
    return done;
  }

  QString pdfText() { return runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}); }

  QTemporaryDir dir;
  QString pdf = dir.filePath(QStringLiteral("out.pdf"));
  TfrReport report;
  std::unique_ptr<TfrPreviewForm> form;
};

TEST_F(PrintFromPreview, ThePdfEntryWritesTheChosenPagesAndLeavesThePrinterAlone) {
  report.ShowProgress = false;
  report.DefaultCopies = 4;
  report.DefaultCollate = false;
  const bool done = printThroughDialog([](TfrPrintForm& dialog) {
    // The report's presets are in the copies and collate boxes.
    EXPECT_EQ(dialog.copiesText(), QStringLiteral("4"));
    EXPECT_FALSE(dialog.collate());
    dialog.ui().E1->setText(QStringLiteral("1"));
    dialog.ui().CB1->setCurrentIndex(dialog.ui().CB1->count() - 1);
    emit dialog.ui().CB1->activated(dialog.ui().CB1->currentIndex());
    dialog.ui().RB3->click();
    dialog.ui().E2->setText(QStringLiteral(" 2 - 5 "));
    dialog.ui().CB2->setCurrentIndex(2);  // even pages
  });
  EXPECT_TRUE(done);
  EXPECT_EQ(printer.printerIndex(), 0);
  const QString text = pdfText();
  ASSERT_FALSE(text.isEmpty()) << "no readable " << pdf.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("第2页")) && text.contains(QStringLiteral("第4页")))
      << text.toStdString();
  for (const char* other : {"第1页", "第3页", "第5页"})
    EXPECT_FALSE(text.contains(QString::fromUtf8(other))) << other;
  EXPECT_TRUE(
      runTool(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression("Pages: +2\n")));
}

TEST_F(PrintFromPreview, NoFileNameKeepsTheDialogOpenAndPrintsNothing) {
  pdf.clear();
  bool stillOpen = false;
  TfrPreviewForm form;
  form.attach(report);
  form.show();
  TfrPrintForm::setModalRun([&](TfrPrintForm& dialog) {
    dialog.ui().CB1->setCurrentIndex(dialog.ui().CB1->count() - 1);
    dialog.ui().Button1->click();
    stillOpen = dialog.isVisible();
    return false;
  });
  EXPECT_FALSE(form.printPages());
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(PrintFromPreview, CurrentPageAndABadCopiesText) {
  report.ShowProgress = false;
  EXPECT_TRUE(printThroughDialog([](TfrPrintForm& dialog) {
    dialog.ui().CB1->setCurrentIndex(dialog.ui().CB1->count() - 1);
    dialog.ui().RB2->click();
  }));
  // Then from further down the report.
  form->pageDown();
  form->pageDown();
  ASSERT_GT(form->currentPage(), 1);
  QFile::remove(pdf);
  EXPECT_TRUE(printThroughDialog([](TfrPrintForm& dialog) {
    dialog.ui().CB1->setCurrentIndex(dialog.ui().CB1->count() - 1);
    dialog.ui().RB2->click();
  }));
  EXPECT_EQ(pdfText().trimmed(), QStringLiteral("第%1页").arg(form->currentPage()));
  QFile::remove(pdf);
  EXPECT_FALSE(printThroughDialog([](TfrPrintForm& dialog) {
    dialog.ui().CB1->setCurrentIndex(dialog.ui().CB1->count() - 1);
    dialog.ui().E1->setText(QStringLiteral("two"));
  }));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrintFromPreview, ProgressPerPageAndCancelAbortsAfterTheCurrentPage) {
  report.ShowProgress = true;
  report.Title = utf8ToEngine("家常菜");
  QStringList seen;
  int cancelAt = 0;
  TfrReport::setProgressText([&seen, &cancelAt](const std::string& text) {
    seen << toQString(text);
    frProgressForm().setProgressText(toQString(text));
    // The user presses cancel while this page prints; the press is served after the page.
    if (seen.size() == cancelAt)
      QTimer::singleShot(0, frProgressForm().cancelButton(), &QPushButton::click);
  });
  const auto toPdf = [](TfrPrintForm& dialog) {
    dialog.ui().CB1->setCurrentIndex(dialog.ui().CB1->count() - 1);
    dialog.ui().RB3->click();
    dialog.ui().E2->setText(QStringLiteral("1-3"));
  };
  // Every page in the first line, and the window closes itself at the end.
  EXPECT_TRUE(printThroughDialog(toPdf));
  EXPECT_EQ(seen, (QStringList{QStringLiteral("正在打印页: 1"), QStringLiteral("正在打印页: 2"),
                               QStringLiteral("正在打印页: 3")}));
  EXPECT_FALSE(frProgressForm().isVisible());
  EXPECT_TRUE(QFile::exists(pdf));

  seen.clear();
  cancelAt = 2;
  const bool done = printThroughDialog(toPdf);
  EXPECT_FALSE(done);
  EXPECT_EQ(seen, (QStringList{QStringLiteral("正在打印页: 1"), QStringLiteral("正在打印页: 2")}));
  EXPECT_EQ(frProgressForm().windowTitle(), QStringLiteral("正在准备报表 - 家常菜"));
  EXPECT_FALSE(frProgressForm().isVisible());
  EXPECT_FALSE(QFile::exists(pdf)) << "a cancelled file is not left behind";
}

}  // namespace
}  // namespace kelpo::report
