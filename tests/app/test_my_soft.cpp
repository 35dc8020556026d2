// The about window: the guide text, the program entries' colours, pointer, hover and links.
#include <QLabel>
#include <QPlainTextEdit>

#include "app/my_soft.h"
#include "window_fixture.h"

namespace kelpo::testing_windows {
namespace {

class AboutWindow : public testing::Test {
 protected:
  void SetUp() override {
    application();
    window_ = std::make_unique<TMySoft>();
    window_->setOpener([this](const QString& address) { opened_ << address; });
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5"})
      entries_.push_back(child<QLabel>(window_.get(), name));
    guide_ = child<QPlainTextEdit>(window_.get(), "Memo1");
    group_ = child<QWidget>(window_.get(), "GroupBox1");
  }
  static QColor colour(QLabel* label) { return label->palette().color(QPalette::WindowText); }
  static void send(QLabel* label, QEvent::Type type) {
    if (type == QEvent::Enter) {
      QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)));
      QCoreApplication::sendEvent(label, &enter);
    } else {
      QEvent leave(QEvent::Leave);
      QCoreApplication::sendEvent(label, &leave);
    }
  }

  std::unique_ptr<TMySoft> window_;
  std::vector<QLabel*> entries_;
  QPlainTextEdit* guide_ = nullptr;
  QWidget* group_ = nullptr;
  QStringList opened_;
};

TEST_F(AboutWindow, GuideTextLineByLine) {
  const QStringList lines = guide_->toPlainText().split(u'\n');
  ASSERT_EQ(lines.size(), 19);
  EXPECT_EQ(lines[0], QString(15, u' ') + QStringLiteral("说明书"));
  EXPECT_EQ(lines[1], QString());
  EXPECT_EQ(lines[2], QStringLiteral("1、下载菜谱图片时，把图片另"));
  EXPECT_EQ(lines[9], QStringLiteral("”；点击“菜式样本”右边的"));
  EXPECT_EQ(lines[18], QStringLiteral("4、可进行模糊查询。"));
  EXPECT_FALSE(guide_->isReadOnly());
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("个人软件"));
  EXPECT_EQ(window_->size(), QSize(416, 266));
}

TEST_F(AboutWindow, EntriesHaveTheirColoursAndPointers) {
  const QColor expected[] = {Qt::red, Qt::red, Qt::red, Qt::blue, Qt::black};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(colour(entries_[i]), expected[i]);
    EXPECT_EQ(entries_[i]->cursor().shape(), i < 4 ? Qt::PointingHandCursor : Qt::ArrowCursor);
    EXPECT_EQ(entries_[i]->geometry().topLeft(), QPoint(17, 38 + 32 * i));
    // Every name fits inside its group box.
    EXPECT_LE(entries_[i]->geometry().right(), group_->width() - 4);
  }
}

TEST_F(AboutWindow, HoverTurnsTheFirstThreeBlueAndRedAgain) {
  send(entries_[0], QEvent::Enter);
  EXPECT_EQ(colour(entries_[0]), QColor(Qt::blue));
  // Moving on to entry 2 leaves entry 1 first.
  send(entries_[0], QEvent::Leave);
  send(entries_[1], QEvent::Enter);
  EXPECT_EQ(colour(entries_[0]), QColor(Qt::red));
  EXPECT_EQ(colour(entries_[1]), QColor(Qt::blue));
  send(entries_[1], QEvent::Leave);
  EXPECT_EQ(colour(entries_[1]), QColor(Qt::red));
  // Entries 4 and 5 keep their colours.
  for (int i : {3, 4}) {
    const QColor before = colour(entries_[i]);
    send(entries_[i], QEvent::Enter);
    EXPECT_EQ(colour(entries_[i]), before);
    send(entries_[i], QEvent::Leave);
    EXPECT_EQ(colour(entries_[i]), before);
  }
}

TEST_F(AboutWindow, ClicksOpenTheFourAddressesAndTheFifthEntryDoesNothing) {
  for (QLabel* entry : entries_) click(entry, QPoint(3, 3));
  ASSERT_EQ(opened_.size(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(opened_[i], TMySoft::address(i));
    EXPECT_TRUE(opened_[i].startsWith(QStringLiteral("https://example.com/")));
  }
  EXPECT_EQ(QSet<QString>(opened_.begin(), opened_.end()).size(), 4);
}

TEST_F(AboutWindow, EscapeLeavesTheWindowOpen) { expectEscapeKeepsOpen(window_.get(), guide_); }

TEST_F(AboutWindow, GroupBoxCaptionSitsOnItsFrame) {
  expectCaptionOnFrame(child<QGroupBox>(window_.get(), "GroupBox1"));
}

}  // namespace
}  // namespace kelpo::testing_windows
