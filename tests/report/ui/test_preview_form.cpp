// The preview window driven through its widgets: page arrangement per zoom mode, the zoom
// carried to the next preview, page links, the current-page rule, keys, and prepared-report
// files saved and opened (a damaged one included).
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolTip>
#include <QWheelEvent>
#include <QtTest/QTest>
#include <algorithm>

#include "platform/message_box.h"
#include "platform/text.h"
#include "report/core/memo_view.h"
#include "report/core/report.h"
#include "report/ui/context_help.h"
#include "report/ui/preview_form.h"
#include "report/ui/preview_search_form.h"
#include "report/ui/toolbar_controls.h"

namespace kelpo::report {
namespace {

std::unique_ptr<TfrMemoView> memo(const char* name, int x, int y, const std::string& text,
                                  const std::string& tag = {}) {
  auto m = std::make_unique<TfrMemoView>();
  m->name = name;
  m->x = x, m->y = y, m->dx = 200, m->dy = 20;
  m->frameTyp = 0;
  m->font.name = utf8ToEngine("宋体");
  m->font.size = 10;
  m->memo = m->memo1 = {text};
  m->tag = tag;
  return m;
}

// A report of `pages` A4 pages; page 3 (when there is one) carries two page links.
class Preview : public ::testing::Test {
 protected:
  void SetUp() override {
    TfrPreviewForm::lastScale() = 1.0;
    TfrPreviewForm::lastZoom() = TfrPreviewZoom::pzPercent;
    setMessageHook([this](const MessageRecord& r) {
      messages.push_back(r.text);
      return QMessageBox::Ok;
    });
  }
  void TearDown() override {
    setMessageHook({});
    frDocMode() = TfrDocMode::Template;
  }

  void fill(TfrReport& r, int pages) {
    TfrPage a4;
    a4.changePaper(9, 2100, 2970, 7, 0);
    frDocMode() = TfrDocMode::Output;
    for (int i = 0; i < pages; ++i) {
      r.emfPages.add(a4);
      memo("Memo1", 40, 40, "page " + std::to_string(i + 1))->EmitPrepared(r.emfPages[i].stream);
      if (i == 2) {
        memo("UrlFirst", 40, 100, "first", "@0")->EmitPrepared(r.emfPages[i].stream);
        memo("UrlFar", 40, 140, "far", "@99")->EmitPrepared(r.emfPages[i].stream);
      }
    }
  }

  std::unique_ptr<TfrPreviewForm> open(int pages, QSize size = {800, 600}) {
    fill(report, pages);
    auto form = std::make_unique<TfrPreviewForm>();
    form->resize(size);
    form->attach(report);
    form->show();
    return form;
  }

  TfrReport report;
  std::vector<QString> messages;
};

TEST_F(Preview, TakesThePagesAndShowsTheCaptionAndPageText) {
  report.Title = utf8ToEngine("番茄炒蛋");
  auto form = open(3);
  EXPECT_EQ(report.emfPages.count(), 0);
  EXPECT_EQ(form->pageCount(), 3);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("预览 - 番茄炒蛋"));
  EXPECT_EQ(form->pageText(), QStringLiteral("页 1/3"));
  EXPECT_EQ(form->zoomCaption(), QStringLiteral("100%"));
}

TEST_F(Preview, ToolbarFollowsPreviewButtonsAndLinesUpTheShownButtons) {
  struct Case {
    int buttons;
    std::vector<std::pair<const char*, int>> shown;  // name and left edge, in bar order
  } cases[] = {
      {pbZoom | pbLoad | pbSave | pbPrint | pbFind | pbHelp | pbExit,
       {{"ZoomBtn", 4},
        {"Sep1", 64},
        {"LoadBtn", 72},
        {"SaveBtn", 104},
        {"PrintBtn", 136},
        {"Sep2", 168},
        {"FindBtn", 176},
        {"HelpBtn", 208},
        {"Sep3", 240},
        {"ExitBtn", 248}}},
      // Without zoom its separator goes too; without find and help the third one goes.
      {pbLoad | pbSave | pbExit, {{"LoadBtn", 4}, {"SaveBtn", 36}, {"Sep2", 68}, {"ExitBtn", 76}}},
      {pbPageSetup | pbHelp, {{"PageSetupBtn", 4}, {"Sep2", 36}, {"HelpBtn", 44}, {"Sep3", 76}}},
  };
  const char* all[] = {"ZoomBtn", "Sep1",    "LoadBtn", "SaveBtn", "PrintBtn", "PageSetupBtn",
                       "Sep2",    "FindBtn", "HelpBtn", "Sep3",    "ExitBtn"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.buttons);
    TfrReport r;
    r.PreviewButtons = c.buttons;
    fill(r, 1);
    TfrPreviewForm form;
    form.attach(r);
    for (const char* name : all) {
      auto* w = form.findChild<QWidget*>(QLatin1String(name));
      ASSERT_NE(w, nullptr) << name;
      const auto it = std::find_if(c.shown.begin(), c.shown.end(),
                                   [&](const auto& s) { return std::string(s.first) == name; });
      EXPECT_EQ(!w->isHidden(), it != c.shown.end()) << name;
      if (it != c.shown.end()) EXPECT_EQ(w->x(), it->second) << name;
    }
  }
}

TEST_F(Preview, InitialZoomAndGrayedButtons) {
  struct Case {
    TfrPreviewInitialZoom initial;
    TfrPreviewZoom opened;
  } cases[] = {{TfrPreviewInitialZoom::pzDefault, TfrPreviewZoom::pzPercent},
               {TfrPreviewInitialZoom::pzPageWidth, TfrPreviewZoom::pzPageWidth},
               {TfrPreviewInitialZoom::pzOnePage, TfrPreviewZoom::pzOnePage},
               {TfrPreviewInitialZoom::pzTwoPages, TfrPreviewZoom::pzTwoPages}};
  for (const Case& c : cases) {
    TfrPreviewForm::lastScale() = 1.5;
    TfrPreviewForm::lastZoom() = TfrPreviewZoom::pzPercent;
    TfrReport r;
    r.InitialZoom = c.initial;
    fill(r, 1);
    TfrPreviewForm form;
    form.resize(800, 600);
    form.attach(r);
    EXPECT_EQ(form.zoomMode(), c.opened);
    EXPECT_EQ(TfrPreviewForm::lastZoom(), c.opened);
    if (c.initial == TfrPreviewInitialZoom::pzDefault)
      EXPECT_EQ(form.zoomCaption(), QStringLiteral("150%"));
  }
  for (bool grayed : {false, true}) {
    TfrReport r;
    r.GrayedButtons = grayed;
    fill(r, 1);
    TfrPreviewForm form;
    form.attach(r);
    for (const char* name : {"ZoomBtn", "FindBtn", "ExitBtn"})
      EXPECT_EQ(form.findChild<TfrSpeedButton*>(QLatin1String(name))->grayedInactive(), grayed)
          << name;
  }
}

TEST_F(Preview, WithoutModalPreviewTheWindowShowsWithoutWaitingAndFreesItselfOnClose) {
  report.ModalPreview = false;
  fill(report, 2);
  TfrPreviewForm::ShowPreview(report);  // returns at once
  QPointer<TfrPreviewForm> form;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* f = qobject_cast<TfrPreviewForm*>(w); f && f->isVisible()) form = f;
  ASSERT_TRUE(form);
  EXPECT_EQ(form->pageCount(), 2);
  EXPECT_EQ(report.emfPages.count(), 0);
  form->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(form);
}

TEST_F(Preview, ArrangesPagesInEveryZoomMode) {
  auto form = open(1);
  const int boxW = form->pageBox()->width(), boxH = form->pageBox()->height();
  form->chooseZoom(2);
  // Whole page: one page centred, scaled to the box height less the gaps.
  const QRect whole = form->pageRect(0);
  EXPECT_EQ(form->zoomMode(), TfrPreviewZoom::pzOnePage);
  EXPECT_EQ(whole.top(), 10);
  EXPECT_EQ(whole.height(), boxH - 20);
  EXPECT_EQ(whole.left(), (boxW - whole.width()) / 2);

  // Page width follows a resize; percent does not.
  form->chooseZoom(1);
  EXPECT_EQ(form->pageRect(0).width(), boxW - 20);
  const double widthScale = form->scale();
  form->resize(1000, 600);
  EXPECT_EQ(form->pageRect(0).width(), form->pageBox()->width() - 20);
  EXPECT_GT(form->scale(), widthScale);

  form->chooseZoom(50);
  const QRect half = form->pageRect(0);
  form->resize(700, 500);
  EXPECT_DOUBLE_EQ(form->scale(), 0.5);
  EXPECT_EQ(form->pageRect(0).size(), half.size());
  EXPECT_EQ(form->zoomCaption(), QStringLiteral("50%"));
}

TEST_F(Preview, TwoPagesModeAndColumnsAtSmallZoom) {
  auto form = open(4);
  form->chooseZoom(3);
  EXPECT_EQ(form->pageRect(0).top(), form->pageRect(1).top());
  EXPECT_EQ(form->pageRect(1).left(), form->pageRect(0).right() + 1 + 10);
  EXPECT_GT(form->pageRect(2).top(), form->pageRect(0).bottom());
  // At 10% all four fit in one row of a wide box.
  form->chooseZoom(10);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(form->pageRect(i).top(), 10);
}

TEST_F(Preview, ZoomChosenInOnePreviewOpensTheNext) {
  {
    auto form = open(2);
    form->chooseZoom(200);
  }
  TfrReport second;
  fill(second, 2);
  TfrPreviewForm next;
  next.resize(800, 600);
  next.attach(second);
  EXPECT_DOUBLE_EQ(next.scale(), 2.0);
  EXPECT_EQ(next.zoomCaption(), QStringLiteral("200%"));
  const auto checked = [&] {
    for (QAction* a : next.zoomMenu()->actions())
      if (a->isChecked()) return a->text();
    return QString();
  }();
  EXPECT_EQ(checked, QStringLiteral("200%"));
}

TEST_F(Preview, PageLinksClickedOnThePage) {
  auto form = open(5);
  form->pageDown();
  form->pageDown();
  ASSERT_EQ(form->currentPage(), 3);
  auto clickAt = [&](int x, int y) {
    const QRect r = form->pageRect(2);
    const QPoint at(r.left() + x - form->horizontalBar()->value(),
                    r.top() + y - form->verticalBar()->value());
    QTest::mouseClick(form->pageBox(), Qt::LeftButton, {}, at);
  };
  clickAt(50, 150);  // "@99": beyond the last page, nothing happens
  EXPECT_EQ(form->currentPage(), 3);
  clickAt(50, 110);  // "@0" counts as page 1
  EXPECT_EQ(form->currentPage(), 1);
  EXPECT_EQ(form->pageText(), QStringLiteral("页 1/5"));
  EXPECT_EQ(form->verticalBar()->value(), 0);
  // A link whose page is not a number is reported.
  form->followPageLink("x@two");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(form->currentPage(), 1);
}

TEST_F(Preview, PagingThroughALongReportKeepsOnlyThePagesInViewUnpacked) {
  auto form = open(30);
  QScrollBar* v = form->verticalBar();
  int most = 0;
  for (int position = 0; position <= v->maximum(); position += 700) {
    v->setValue(position);
    form->pageBox()->grab();  // paints the whole box at this position
    EXPECT_GE(form->unpackedPageCount(), 1);
    most = std::max(most, form->unpackedPageCount());
  }
  // A 560-pixel box shows parts of two A4 pages at most.
  EXPECT_LE(most, 2);
}

TEST_F(Preview, CurrentPageFollowsTheLineBelowTheTopAndKeepsItInTheGap) {
  auto form = open(3);
  QScrollBar* v = form->verticalBar();
  const QRect second = form->pageRect(1);
  v->setValue(second.top() - 11 + 1);  // the line is just inside page 2
  EXPECT_EQ(form->currentPage(), 2);
  v->setValue(second.bottom() + 1 - 11 + 3);  // the line falls into the gap below page 2
  EXPECT_EQ(form->currentPage(), 2);
  v->setValue(0);
  EXPECT_EQ(form->currentPage(), 1);
}

TEST_F(Preview, Keys) {
  auto form = open(4);
  QScrollBar* v = form->verticalBar();
  QTest::keyClick(form.get(), Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(form->currentPage(), 4);
  EXPECT_EQ(form->pageText(), QStringLiteral("页 4/4"));
  EXPECT_EQ(v->value(), std::min(v->maximum(), form->pageRect(3).top() - 10));
  QTest::keyClick(form.get(), Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(v->value(), 0);
  EXPECT_EQ(form->currentPage(), 1);
  QTest::keyClick(form.get(), Qt::Key_Down);
  EXPECT_EQ(v->value(), 10);
  QTest::keyClick(form.get(), Qt::Key_PageDown);
  EXPECT_EQ(v->value(), 210);
  QTest::keyClick(form.get(), Qt::Key_PageUp, Qt::ControlModifier);  // already on page 1
  EXPECT_EQ(form->currentPage(), 1);
  QTest::keyClick(form.get(), Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(form->currentPage(), 2);
  EXPECT_EQ(v->value(), form->pageRect(1).top() - 10);
}

TEST_F(Preview, WheelNotchesMoveBySmallStepsAndPartsOfANotchAddUpWhereverThePointerIs) {
  struct Case {
    std::vector<int> deltas;  // eighths of a degree, 120 per notch; up is positive
    int moved;
  } cases[] = {
      {{120}, -10},    {{-120}, 10}, {{-360}, 30},
      {{60, 60}, -10}, {{60}, 0},    {{-30, -30, -30, -30, -30}, 10},
  };
  // Over the pages, over the scroll bar (which would otherwise take three lines a notch) and
  // over the status bar.
  for (const char* under : {"PBox", "VScrollBar", "Label1"}) {
    for (const Case& c : cases) {
      auto form = open(3);
      QScrollBar* v = form->verticalBar();
      v->setValue(100);
      auto* target = form->findChild<QWidget*>(QLatin1String(under));
      const QPointF at(5, 5);
      for (int d : c.deltas) {
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, d), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
      }
      EXPECT_EQ(v->value(), 100 + c.moved)
          << under << ": " << c.deltas.size() << " events from " << c.deltas[0];
      form.reset();
      report.emfPages.clear();
    }
  }
}

TEST_F(Preview, HelpModeShowsTheTextOfThePressedControlWithoutItActingAndEnds) {
  auto form = open(3);
  auto* help = form->findChild<TfrSpeedButton*>(QStringLiteral("HelpBtn"));
  ASSERT_NE(help, nullptr);
  struct Case {
    const char* control;
    int tag;  // 0: no help shown
  } cases[] = {{"ZoomBtn", 200}, {"ExitBtn", 205}, {"Label1", 206}, {"PBox", 207}, {"HelpBtn", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    QToolTip::hideText();
    QTest::mouseClick(help, Qt::LeftButton, {}, QPoint(16, 16));
    ASSERT_TRUE(form->helpMode());
    EXPECT_EQ(QWidget::mouseGrabber(), form.get());
    EXPECT_TRUE(help->down());

    auto* control = form->findChild<QWidget*>(QString::fromLatin1(c.control));
    ASSERT_NE(control, nullptr);
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(form->helpMode());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_FALSE(help->down());
    if (c.tag) {
      EXPECT_TRUE(QToolTip::isVisible());
      EXPECT_FALSE(frHelpText(c.tag).isEmpty());
      EXPECT_EQ(QToolTip::text(), frHelpText(c.tag));
    } else {
      EXPECT_FALSE(QToolTip::isVisible());
    }
    // The press chose the control only: the close button did not close, the zoom menu stayed shut.
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->zoomMenu()->isVisible());
  }
  // The press that ends help mode may also come to the window itself (the mouse is captured).
  QTest::mouseClick(help, Qt::LeftButton, {}, QPoint(16, 16));
  const QPoint onStatus =
      form->findChild<QWidget*>(QStringLiteral("Label2"))->mapTo(form.get(), QPoint(5, 5));
  QTest::mouseClick(form.get(), Qt::LeftButton, {}, onStatus);
  EXPECT_FALSE(form->helpMode());
  EXPECT_EQ(QToolTip::text(), frHelpText(206));
  // Closing while in help mode gives the mouse back.
  QTest::mouseClick(help, Qt::LeftButton, {}, QPoint(16, 16));
  QTest::keyClick(form.get(), Qt::Key_Escape);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  QToolTip::hideText();
}

TEST_F(Preview, SavingUnderAnotherExtensionWritesFrpAndItOpensAgain) {
  QTemporaryDir dir;
  auto form = open(3);
  form->saveFile(dir.filePath(QStringLiteral("sheet.txt")));
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("sheet.txt"))));
  ASSERT_TRUE(QFile::exists(dir.filePath(QStringLiteral("sheet.frp"))));
  EXPECT_EQ(form->pageCount(), 3);  // taken back after saving
  EXPECT_EQ(report.emfPages.count(), 0);

  TfrReport other;
  fill(other, 1);
  TfrPreviewForm second;
  second.resize(800, 600);
  second.attach(other);
  second.openFile(dir.filePath(QStringLiteral("sheet.frp")));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(second.pageCount(), 3);
  EXPECT_EQ(second.pageText(), QStringLiteral("页 1/3"));
}

TEST_F(Preview, DamagedFileLeavesNoPagesAndEveryPageFunctionDoesNothing) {
  QTemporaryDir dir;
  const QString bad = dir.filePath(QStringLiteral("bad.frp"));
  {
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\x19not a prepared report at all");
  }
  auto form = open(2);
  form->openFile(bad);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(form->pageCount(), 0);
  EXPECT_EQ(form->pageText(), QString());
  // Nothing left to page, save or print; nothing crashes.
  for (auto key : {Qt::Key_End, Qt::Key_Home, Qt::Key_PageDown, Qt::Key_S, Qt::Key_P})
    QTest::keyClick(form.get(), key, Qt::ControlModifier);
  QTest::keyClick(form.get(), Qt::Key_Down);
  form->pageDown();
  form->chooseZoom(1);
  form->followPageLink("@1");
  EXPECT_FALSE(form->printPages());
  form->saveFile(dir.filePath(QStringLiteral("out.frp")));
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.frp"))));
  form->pageBox()->grab();  // paints the empty box
  EXPECT_EQ(messages.size(), 1u);
}

// Search over pages whose memos draw one text output each.
class PreviewSearch : public Preview {
 protected:
  void SetUp() override {
    Preview::SetUp();
    TfrPage a4;
    a4.changePaper(9, 2100, 2970, 7, 0);
    frDocMode() = TfrDocMode::Output;
    const std::vector<std::vector<std::string>> pages = {
        {"page one"}, {"Tomato soup", "more TOMATO"}, {"tomato egg"}, {"rice"}, {"tomato salad"}};
    for (std::size_t i = 0; i < pages.size(); ++i) {
      report.emfPages.add(a4);
      int y = 40;
      for (const std::string& t : pages[i]) {
        memo("Memo1", 40, y, t)->EmitPrepared(report.emfPages[static_cast<int>(i)].stream);
        y += 300;
      }
    }
    form = std::make_unique<TfrPreviewForm>();
    form->resize(800, 600);
    form->attach(report);
    form->show();
  }
  void TearDown() override {
    TfrPreviewForm::setSearchDialog({});
    form.reset();
    Preview::TearDown();
  }
  // Confirms (or cancels) the dialog with these choices.
  void find(const QString& text, bool caseSensitive = false, bool fromCurrent = false,
            bool confirm = true) {
    TfrPreviewForm::setSearchDialog([&](TfrPreviewSearchForm& d) {
      d.setChoices(text, caseSensitive, fromCurrent);
      return confirm;
    });
    QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
  }
  void f3() { QTest::keyClick(form.get(), Qt::Key_F3); }

  std::unique_ptr<TfrPreviewForm> form;
};

TEST_F(PreviewSearch, FindsBothHitsOnAPageThenGoesOnAndStopsPastTheEnd) {
  find(QStringLiteral("tomato"));
  ASSERT_TRUE(form->found());
  EXPECT_EQ(form->currentPage(), 2);
  EXPECT_EQ(form->pageText(), QStringLiteral("页 2/5"));
  const QRect first = form->foundRect();
  EXPECT_NEAR(first.top(), 40, 12);
  EXPECT_GE(first.left(), 40);
  f3();
  ASSERT_TRUE(form->found());
  EXPECT_EQ(form->currentPage(), 2);
  EXPECT_NEAR(form->foundRect().top(), 340, 12);
  f3();
  EXPECT_EQ(form->currentPage(), 3);
  f3();
  EXPECT_EQ(form->currentPage(), 5);
  // Nothing further: no message, the view stays.
  const int position = form->verticalBar()->value();
  f3();
  EXPECT_FALSE(form->found());
  EXPECT_EQ(form->currentPage(), 5);
  EXPECT_EQ(form->verticalBar()->value(), position);
  EXPECT_TRUE(messages.empty());
}

TEST_F(PreviewSearch, CaseSensitiveSearchMatchesOnlyTheTypedCase) {
  find(QStringLiteral("TOMATO"), true);
  ASSERT_TRUE(form->found());
  EXPECT_EQ(form->currentPage(), 2);
  EXPECT_NEAR(form->foundRect().top(), 340, 12);
  f3();
  EXPECT_FALSE(form->found());  // "tomato egg" and "tomato salad" are lower case
}

TEST_F(PreviewSearch, F3AfterScrollingElsewhereStartsAtThatPage) {
  find(QStringLiteral("tomato"));
  ASSERT_EQ(form->currentPage(), 2);
  QTest::keyClick(form.get(), Qt::Key_End, Qt::ControlModifier);
  ASSERT_EQ(form->currentPage(), 5);
  f3();
  EXPECT_TRUE(form->found());
  EXPECT_EQ(form->currentPage(), 5);
}

TEST_F(PreviewSearch, NoHitChangesNothingAndCancellingKeepsThePreviousSearch) {
  find(QStringLiteral("noodles"));
  EXPECT_FALSE(form->found());
  EXPECT_EQ(form->currentPage(), 1);
  EXPECT_EQ(form->verticalBar()->value(), 0);

  find(QStringLiteral("tomato"));
  ASSERT_EQ(form->currentPage(), 2);
  find(QStringLiteral("rice"), false, false, false);  // cancelled
  f3();
  EXPECT_EQ(form->currentPage(), 2);
  EXPECT_NEAR(form->foundRect().top(), 340, 12);  // the second tomato, not rice
}

}  // namespace
}  // namespace kelpo::report
