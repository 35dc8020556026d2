// The progress window around a preparation: it shows the pages as they are made, closes itself
// at the end, and its cancel button stops a long preparation with no result.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTimer>

#include "platform/text.h"
#include "report/core/band.h"
#include "report/ui/progress_form.h"
#include "tests/report/core/support_build.h"

namespace kelpo::report {
namespace {

using testing::BuildFixture;

// A master band over `rows` records, one page per record.
class ProgressTest : public ::testing::Test {
 protected:
  void SetUp() override { installProgressForm(); }
  void TearDown() override {
    TfrReport::setProgressRunner({});
    TfrReport::setProgressText({});
    TfrReport::setProgressDetail({});
  }
  void longReport(BuildFixture& f, int rows) {
    f.dataset("Rows", rows);
    f.band(btMasterData, 40, 20, "Rows", flBandNewPageAfter);
    f.memo("[LINE#]", 0, 40);
    f.report->ShowProgress = true;
  }
};

TEST_F(ProgressTest, ShowsEachPageAndClosesItselfAtTheEnd) {
  BuildFixture f;
  longReport(f, 3);
  QStringList seen;
  f.report->OnEndPage = [&](int) { seen << frProgressForm().progressText(); };
  EXPECT_TRUE(f.report->PrepareReport());
  EXPECT_GE(f.pageCount(), 3);
  EXPECT_FALSE(frProgressForm().isVisible());
  ASSERT_GE(seen.size(), 2);
  EXPECT_EQ(frProgressForm().windowTitle(), QStringLiteral("正在准备报表"));
  EXPECT_TRUE(frProgressForm().progressText().startsWith(QStringLiteral("正在处理页: ")))
      << frProgressForm().progressText().toStdString();
}

TEST_F(ProgressTest, AScriptsProgressValueIsTheSecondLine) {
  BuildFixture f;
  longReport(f, 3);
  f.tpage->objects.front()->script = {"PROGRESS := [LINE#] * 10"};
  QStringList seen;
  f.report->OnEndPage = [&](int) { seen << frProgressForm().progressDetail(); };
  EXPECT_TRUE(f.report->PrepareReport());
  EXPECT_EQ(seen.mid(0, 3), (QStringList{"10", "20", "30"}));
}

TEST_F(ProgressTest, CancelDuringALongPreparationStopsItWithNoResult) {
  BuildFixture f;
  longReport(f, 5000);
  int pagesAtCancel = -1;
  f.report->OnEndPage = [&](int page) {
    if (page == 2 && pagesAtCancel < 0) {
      pagesAtCancel = f.report->emfPages.count();
      // The press arrives as input, served after the page like a user's click.
      QTimer::singleShot(0, frProgressForm().cancelButton(), &QPushButton::click);
    }
  };
  EXPECT_FALSE(f.report->PrepareReport());
  EXPECT_GT(pagesAtCancel, 0);
  EXPECT_EQ(f.pageCount(), 0);
  EXPECT_FALSE(frProgressForm().isVisible());
}

}  // namespace
}  // namespace kelpo::report
