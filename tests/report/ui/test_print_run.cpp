// The print run: page lists, copies and collation, odd and even pages, a job per paper, the job
// title and cancelling, seen through a target that records what a print job is asked to do.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "report/core/report.h"
#include "report/expr/value.h"
#include "report/ui/print_run.h"

namespace kelpo::report {
namespace {

std::vector<int> chosenPages(const QString& list, int pageCount) {
  const TfrPageSet set = parsePageList(list, pageCount);
  std::vector<int> pages;
  for (int n = 1; n <= pageCount; ++n)
    if (set.contains(n)) pages.push_back(n);
  return pages;
}

TEST(PageList, ChoosesThePagesItNames) {
  const std::vector<int> all10 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  struct Case {
    const char* list;
    std::vector<int> pages;
  } cases[] = {
      {"1,3,5-12", {1, 3, 5, 6, 7, 8, 9, 10}},
      {"5-", {5, 6, 7, 8, 9, 10}},
      {" 2 - 4 ", {2, 3, 4}},
      {"4-2", all10},  // a reversed range leaves the set empty: everything prints
      {"", all10},
      {"   ", all10},
      {"20", {}},  // past the end: matches nothing, prints nothing
      {"11-20", {}},
      {"0", {}},
      {"3,3,2", {2, 3}},
      {"9-1000000000", {9, 10}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(chosenPages(QString::fromUtf8(c.list), 10), c.pages) << c.list;
}

TEST(PageList, PiecesThatAreNotWholeNumbersFailBeforeAnythingPrints) {
  for (const char* list : {"1,,3", "-5", "abc", "1-x", "2.5", "1;3", "3--4", ",", "一"})
    EXPECT_THROW(parsePageList(QString::fromUtf8(list), 10), EConvertError) << list;
}

// Records the job operations and the pages drawn, in order, as one log.
class RecordingTarget : public TfrPrintTarget {
 public:
  explicit RecordingTarget(std::vector<std::string>& log) : log_(log) {}
  void setTitle(const std::string& title) override { this->title = title; }
  void setCopies(int copies) override { this->copies = copies; }
  bool samePaper(const TfrEMFPage& page) const override { return page.orientation == orientation_; }
  void setPaper(const TfrEMFPage& page) override {
    orientation_ = page.orientation;
    info_ = paperOnlyMetrics(page.orientation ? 2970 : 2100, page.orientation ? 2100 : 2970);
  }
  TfrPrnInfo metrics() const override { return info_; }
  void begin() override {
    log_.push_back(orientation_ ? "begin landscape" : "begin portrait");
    image_ = QImage(info_.pgw, info_.pgh, QImage::Format_RGB32);
    painter_.begin(&image_);
  }
  void newSheet() override { log_.push_back("sheet"); }
  void changePaper(const TfrEMFPage& page) override {
    end();
    setPaper(page);
    begin();
  }
  void end() override {
    log_.push_back("end");
    painter_.end();
  }
  void abort() override {
    log_.push_back("abort");
    painter_.end();
  }
  QPainter& canvas() override { return painter_; }

  std::string title;
  int copies = 0;

 private:
  std::vector<std::string>& log_;
  std::uint8_t orientation_ = 0;
  TfrPrnInfo info_;
  QImage image_;
  QPainter painter_;
};

class PrintRun : public ::testing::Test {
 protected:
  // Pages of A4 paper; orientations[i] is page i+1's orientation.
  void makePages(const std::vector<int>& orientations) {
    for (int o : orientations) {
      TfrPage page;
      page.changePaper(9, 2100, 2970, 0xFFFF, static_cast<std::uint8_t>(o));
      report.emfPages.add(page);
    }
  }
  void makePages(int count) { makePages(std::vector<int>(static_cast<std::size_t>(count), 0)); }

  // Runs the print and returns the log, each drawn page as its number.
  std::vector<std::string> print(const TfrPrintOptions& options) {
    log.clear();
    done = printPreparedReport(report, options, target, [this](int pageNo) {
      log.push_back(std::to_string(pageNo));
      return pageNo != cancelAt;
    });
    return log;
  }

  TfrReport report;
  std::vector<std::string> log;
  RecordingTarget target{log};
  int cancelAt = 0;
  bool done = false;
};

using Log = std::vector<std::string>;

TEST_F(PrintRun, CollatedCopiesRepeatThePagesInOneJob) {
  makePages(3);
  EXPECT_EQ(print({QString(), 3, true, TfrPrintPages::ppAll}),
            (Log{"begin portrait", "1", "sheet", "2", "sheet", "3", "sheet", "1", "sheet", "2",
                 "sheet", "3", "sheet", "1", "sheet", "2", "sheet", "3", "end"}));
  EXPECT_EQ(target.copies, 1);
  EXPECT_TRUE(done);
}

TEST_F(PrintRun, UncollatedCopiesLeaveThemToThePrinter) {
  makePages(3);
  EXPECT_EQ(print({QString(), 3, false, TfrPrintPages::ppAll}),
            (Log{"begin portrait", "1", "sheet", "2", "sheet", "3", "end"}));
  EXPECT_EQ(target.copies, 3);
  // No copies or fewer means one.
  print({QString(), 0, true, TfrPrintPages::ppAll});
  EXPECT_EQ(std::count(log.begin(), log.end(), "1"), 1);
}

TEST_F(PrintRun, OddAndEvenPagesWithinThePageList) {
  makePages(6);
  EXPECT_EQ(print({QStringLiteral("2-5"), 1, true, TfrPrintPages::ppOdd}),
            (Log{"begin portrait", "3", "sheet", "5", "end"}));
  EXPECT_EQ(print({QStringLiteral("2-5"), 1, true, TfrPrintPages::ppEven}),
            (Log{"begin portrait", "2", "sheet", "4", "end"}));
  // The current page 3 with even pages only: nothing but an empty job.
  EXPECT_EQ(print({QStringLiteral("3"), 1, true, TfrPrintPages::ppEven}),
            (Log{"begin portrait", "end"}));
}

TEST_F(PrintRun, EveryChangeOfPaperStartsANewJob) {
  makePages({0, 1, 1, 0});
  EXPECT_EQ(print({QString(), 1, true, TfrPrintPages::ppAll}),
            (Log{"begin portrait", "1", "end", "begin landscape", "2", "sheet", "3", "end",
                 "begin portrait", "4", "end"}));
  // The first page's paper opens the job even when it does not print.
  EXPECT_EQ(print({QStringLiteral("2-3"), 1, true, TfrPrintPages::ppAll}),
            (Log{"begin portrait", "end", "begin landscape", "2", "sheet", "3", "end"}));
}

TEST_F(PrintRun, TheJobIsNamedAfterTheReport) {
  makePages(1);
  bool notified = false;
  report.OnPrintReport = [&] {
    notified = true;
    EXPECT_FALSE(target.title.empty());
  };
  print({});
  EXPECT_EQ(target.title, "Untitled");
  EXPECT_TRUE(notified);
  report.Title = "\xB2\xCB\xC6\xD7";  // 菜谱 in engine text
  print({});
  EXPECT_EQ(target.title, report.Title);
}

TEST_F(PrintRun, CancelAbortsAfterTheCurrentPage) {
  makePages(4);
  cancelAt = 2;
  EXPECT_EQ(print({}), (Log{"begin portrait", "1", "sheet", "2", "abort"}));
  EXPECT_FALSE(done);
}

TEST_F(PrintRun, ABadPageListPrintsNothing) {
  makePages(3);
  EXPECT_THROW(print({QStringLiteral("1,,3")}), EConvertError);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(target.title.empty());
}

}  // namespace
}  // namespace kelpo::report
