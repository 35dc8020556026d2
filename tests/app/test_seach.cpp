// The search window driven through its widgets: the search choice, searching by name or by
// ingredient, and showing the result the user picks.
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/seach.h"
#include "window_fixture.h"

namespace kelpo::testing_windows {
namespace {

// The search window's widgets, found by their names.
struct SearchWidgets {
  explicit SearchWidgets(QObject* w)
      : RadioButton1(child<QRadioButton>(w, "RadioButton1")),
        RadioButton2(child<QRadioButton>(w, "RadioButton2")),
        Edit1(child<QLineEdit>(w, "Edit1")),
        Edit2(child<QLineEdit>(w, "Edit2")),
        Button1(child<QPushButton>(w, "Button1")),
        ComboBox1(child<QComboBox>(w, "ComboBox1")),
        Memo1(child<QPlainTextEdit>(w, "Memo1")),
        Memo2(child<QPlainTextEdit>(w, "Memo2")) {}
  QRadioButton* RadioButton1;  // 名称
  QRadioButton* RadioButton2;  // 原料
  QLineEdit* Edit1;
  QLineEdit* Edit2;
  QPushButton* Button1;
  QComboBox* ComboBox1;
  QPlainTextEdit* Memo1;  // ingredients
  QPlainTextEdit* Memo2;  // method
};

class SearchWindow : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (HasFatalFailure()) return;
    createTable();
    insert({"川菜", "宫保鸡丁", "鸡肉\r\n花生", "炒", "\\Pictures\\家常菜\\红烧肉.jpg", "辣"});
    insert({"家常菜", "鸡蛋羹", "鸡蛋", "蒸", "Pictures/家常菜/清蒸鱼.bmp", "嫩"});
    insert({"家常菜", "清蒸鱼", nullptr, "蒸\r\n淋油", "\\Pictures\\家常菜\\清蒸鱼.bmp", nullptr});
    insert({"粤菜", "他说\"好\"", "鸡", "煮", "\\Pictures\\none.jpg", nullptr});
    window_ = std::make_unique<TSeach>(&connection_, programFolder_);
    widgets_ = std::make_unique<SearchWidgets>(window_.get());
  }
  SearchWidgets* ui() { return widgets_.get(); }
  QStringList results() {
    QStringList names;
    for (int i = 0; i < ui()->ComboBox1->count(); ++i) names << ui()->ComboBox1->itemText(i);
    return names;
  }
  void search(const QString& text) {
    (ui()->RadioButton1->isChecked() ? ui()->Edit1 : ui()->Edit2)->setText(text);
    ui()->Button1->click();
  }
  // The user steps to the next entry of the closed list with the arrow key.
  void pickNext() {
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(ui()->ComboBox1, &down);
  }

  std::unique_ptr<TSeach> window_;
  std::unique_ptr<SearchWidgets> widgets_;
};

TEST_F(SearchWindow, StartsSearchingByName) {
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("查询"));
  EXPECT_EQ(window_->size(), QSize(584, 393));
  EXPECT_TRUE(ui()->RadioButton1->isChecked());
  EXPECT_TRUE(ui()->Edit1->isEnabled());
  EXPECT_FALSE(ui()->Edit2->isEnabled());
  EXPECT_FALSE(ui()->ComboBox1->isEditable());
  EXPECT_EQ(window_->photograph().size(), QSize(200, 150));
}

TEST_F(SearchWindow, SwitchingTheChoiceKeepsBothTextsAndSearchesTheEnabledOne) {
  ui()->Edit1->setText(QStringLiteral("鱼"));
  ui()->RadioButton2->click();
  EXPECT_FALSE(ui()->Edit1->isEnabled());
  EXPECT_TRUE(ui()->Edit2->isEnabled());
  EXPECT_EQ(window_->focusWidget(), ui()->Edit2);
  ui()->Edit2->setText(QStringLiteral("鸡蛋"));
  ui()->Button1->click();
  EXPECT_EQ(results(), QStringList{QStringLiteral("鸡蛋羹")});

  ui()->RadioButton1->click();
  EXPECT_TRUE(ui()->Edit1->isEnabled());
  EXPECT_FALSE(ui()->Edit2->isEnabled());
  EXPECT_EQ(window_->focusWidget(), ui()->Edit1);
  EXPECT_EQ(ui()->Edit1->text(), QStringLiteral("鱼"));
  EXPECT_EQ(ui()->Edit2->text(), QStringLiteral("鸡蛋"));
  ui()->Button1->click();
  EXPECT_EQ(results(), QStringList{QStringLiteral("清蒸鱼")});
}

TEST_F(SearchWindow, TextIsMatchedAnywhereAndUsedAsTyped) {
  struct Case {
    bool byName;
    const char* text;
    QStringList expected;
  };
  const Case cases[] = {
      {true, "鸡", {QStringLiteral("宫保鸡丁"), QStringLiteral("鸡蛋羹")}},
      {true, "丁", {QStringLiteral("宫保鸡丁")}},
      {true, " 鸡", {}},  // not trimmed
      {true, "\"", {QStringLiteral("他说\"好\"")}},
      {false,
       "鸡",
       {QStringLiteral("宫保鸡丁"), QStringLiteral("鸡蛋羹"), QStringLiteral("他说\"好\"")}},
      {false, "花生", {QStringLiteral("宫保鸡丁")}},
      // An empty text finds every row whose column is not null.
      {true,
       "",
       {QStringLiteral("宫保鸡丁"), QStringLiteral("鸡蛋羹"), QStringLiteral("清蒸鱼"),
        QStringLiteral("他说\"好\"")}},
      {false,
       "",
       {QStringLiteral("宫保鸡丁"), QStringLiteral("鸡蛋羹"), QStringLiteral("他说\"好\"")}},
  };
  MessageCapture messages;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.byName ? "name " : "ingredient ") + c.text);
    (c.byName ? ui()->RadioButton1 : ui()->RadioButton2)->click();
    search(QString::fromUtf8(c.text));
    EXPECT_EQ(results(), c.expected);
    EXPECT_EQ(ui()->ComboBox1->currentIndex(), c.expected.isEmpty() ? -1 : 0);
  }
  EXPECT_TRUE(messages.records.empty());
}

TEST_F(SearchWindow, OnlyAChosenResultIsShown) {
  MessageCapture messages;
  search(QStringLiteral("鸡"));
  // The search puts the first name into the list but shows nothing yet.
  EXPECT_EQ(ui()->ComboBox1->currentText(), QStringLiteral("宫保鸡丁"));
  EXPECT_EQ(ui()->Memo1->toPlainText(), QString());
  EXPECT_EQ(window_->photograph().size(), QSize(200, 150));

  pickNext();
  EXPECT_EQ(ui()->ComboBox1->currentText(), QStringLiteral("鸡蛋羹"));
  EXPECT_EQ(ui()->Memo1->toPlainText(), QStringLiteral("鸡蛋"));
  EXPECT_EQ(ui()->Memo2->toPlainText(), QStringLiteral("蒸"));
  // Stored without a leading separator, the picture path resolves all the same.
  EXPECT_EQ(window_->photograph().size(), QSize(30, 40));

  // A new search leaves the boxes showing the recipe chosen before.
  search(QStringLiteral("蒸"));
  ui()->RadioButton2->click();
  search(QStringLiteral("鸡肉"));
  EXPECT_EQ(results(), QStringList{QStringLiteral("宫保鸡丁")});
  EXPECT_EQ(ui()->Memo1->toPlainText(), QStringLiteral("鸡蛋"));
  // Choosing the name the search put there shows it.
  emit ui()->ComboBox1->activated(0);
  EXPECT_EQ(ui()->Memo1->toPlainText(), QStringLiteral("鸡肉\n花生"));
  EXPECT_EQ(window_->photograph().size(), QSize(40, 30));
  EXPECT_TRUE(messages.records.empty());
}

TEST_F(SearchWindow, NameListedTwiceShowsTheFirstMatchingRow) {
  insert({"川菜", "鸡蛋羹", "鸡蛋\r\n虾仁", "蒸", "\\Pictures\\家常菜\\红烧肉.jpg", nullptr});
  search(QStringLiteral("鸡蛋"));
  EXPECT_EQ(results(), (QStringList{QStringLiteral("鸡蛋羹"), QStringLiteral("鸡蛋羹")}));
  pickNext();
  EXPECT_EQ(ui()->ComboBox1->currentIndex(), 1);
  EXPECT_EQ(ui()->Memo1->toPlainText(), QStringLiteral("鸡蛋"));
}

TEST_F(SearchWindow, NoRowFoundEmptiesTheListSilently) {
  MessageCapture messages;
  search(QStringLiteral("鸡"));
  ASSERT_EQ(results().size(), 2);
  search(QStringLiteral("牛排"));
  EXPECT_TRUE(results().isEmpty());
  EXPECT_EQ(ui()->ComboBox1->currentText(), QString());
  EXPECT_TRUE(messages.records.empty());
}

TEST_F(SearchWindow, MissingPhotographIsReportedAfterTheTextsAreShown) {
  search(QStringLiteral("宫保"));
  emit ui()->ComboBox1->activated(0);
  const QImage shown = window_->photograph();
  ASSERT_EQ(shown.size(), QSize(40, 30));
  MessageCapture messages;
  search(QStringLiteral("好"));
  emit ui()->ComboBox1->activated(0);
  ASSERT_EQ(messages.records.size(), 1u);
  EXPECT_EQ(messages.records[0].icon, MessageIcon::Critical);
  EXPECT_TRUE(messages.records[0].text.contains(QStringLiteral("none.jpg")));
  EXPECT_EQ(ui()->Memo1->toPlainText(), QStringLiteral("鸡"));
  EXPECT_EQ(ui()->Memo2->toPlainText(), QStringLiteral("煮"));
  EXPECT_EQ(window_->photograph(), shown);
}

TEST_F(SearchWindow, EscapeLeavesTheWindowOpen) {
  search(QStringLiteral("鸡"));
  const QStringList found = results();
  ASSERT_FALSE(found.isEmpty());
  expectEscapeKeepsOpen(window_.get(), ui()->Edit1);
  EXPECT_EQ(results(), found);  // nothing was thrown away
}

TEST_F(SearchWindow, GroupBoxCaptionsSitOnTheirFramesClearOfTheEdge) {
  for (const char* name : {"RadioGroup1", "GroupBox1", "GroupBox2"})
    expectCaptionOnFrame(child<QGroupBox>(window_.get(), name));
}

}  // namespace
}  // namespace kelpo::testing_windows
