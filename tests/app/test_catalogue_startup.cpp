// Program start-up and the generic error report: what reaches the user when things fail.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <stdexcept>

#include "app/frm_main.h"
#include "app/kelpo_application.h"
#include "app/my_soft.h"
#include "app/start_up.h"
#include "catalogue_fixture.h"
#include "platform/error.h"
#include "platform/text.h"
#include "report/core/addin_registry.h"

namespace kelpo {
namespace {

using catalogue_testing::application;
using catalogue_testing::CatalogueTest;
using catalogue_testing::MessageCapture;
using catalogue_testing::u8;

// A widget whose event handling fails, as a handler with a failing statement would.
class FailingWidget : public QWidget {
 public:
  int handled = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) {
      ++handled;
      throw DatabaseError(utf8ToEngine("语句失败: no such column"));
    }
    return QWidget::event(event);
  }
};

TEST(ErrorReport, AFailingHandlerIsReportedAndTheProgramGoesOn) {
  KelpoApplication& app = application();
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), u8("Kelpo"));
  MessageCapture messages;
  FailingWidget widget;
  QEvent event(QEvent::User);
  for (int i = 0; i < 2; ++i) app.notify(&widget, &event);
  EXPECT_EQ(widget.handled, 2);
  ASSERT_EQ(messages.records.size(), 2u);
  EXPECT_EQ(messages.records[0].text, u8("语句失败: no such column"));
  EXPECT_EQ(messages.records[0].caption, u8("Kelpo"));

  bool after = false;
  runHandler([&] {
    throw std::runtime_error("picture missing");
    after = true;
  });
  EXPECT_FALSE(after);
  ASSERT_EQ(messages.records.size(), 3u);
  EXPECT_EQ(messages.records[2].text, u8("picture missing"));
}

TEST(QtTexts, MessageBoxButtonsSpeakChinese) {
  application();
  for (const auto& [button, text] :
       {std::pair{QMessageBox::Ok, "确定"}, {QMessageBox::Cancel, "取消"}}) {
    QMessageBox box(QMessageBox::NoIcon, u8("Kelpo"), u8("添加成功！"), button);
    ASSERT_NE(box.button(button), nullptr);
    EXPECT_EQ(box.button(button)->text(), u8(text));
  }
}

class StartUpTest : public CatalogueTest {};

TEST_F(StartUpTest, WithoutADatabaseTheProgramSaysWhichFileAndFails) {
  MessageCapture messages;
  EXPECT_NE(runKelpo(application()), 0);
  ASSERT_EQ(messages.records.size(), 1u);
  // The full path, since the file is looked for in the current directory.
  EXPECT_TRUE(messages.records[0].text.contains(path(QStringLiteral("Kelpo.db"))))
      << messages.records[0].text.toStdString();
}

TEST_F(StartUpTest, AnUnreadableDatabaseFailsTheSameWay) {
  QFile file(path(QStringLiteral("Kelpo.db")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(4096, 'x'));
  file.close();
  MessageCapture messages;
  EXPECT_NE(runKelpo(application()), 0);
  ASSERT_EQ(messages.records.size(), 1u);
  EXPECT_TRUE(messages.records[0].text.contains(u8("Kelpo.db")));
}

TEST_F(StartUpTest, ATreeFailureEndsTheProgramAfterItsMessage) {
  writeCatalogue({}, "create table 饮食 (类别 text)");
  Connection db;
  db.setConnectionString(QStringLiteral("Data Source=Kelpo.db"));
  db.open();
  db.execute(u8("insert into 饮食 values ('川菜')"));
  db.close();
  MessageCapture messages;
  // Were the message loop entered, nothing would end it and the test would hang.
  EXPECT_NE(runKelpo(application()), 0);
  ASSERT_EQ(messages.records.size(), 1u);
  EXPECT_EQ(messages.records[0].caption, u8("无法打开数据库"));
}

TEST_F(StartUpTest, TheWindowRunsUntilClosedWithAHiddenAboutWindow) {
  writeCatalogue({{"川菜", "麻婆豆腐"}});
  MessageCapture messages;
  static bool sawAbout = false;
  static bool wasShown = false;
  sawAbout = wasShown = false;
  const int status = runKelpo(application(), [](TFrmMain& window) {
    const auto abouts = window.findChildren<TMySoft*>();
    sawAbout = abouts.size() == 1 && !abouts[0]->isVisible();
    wasShown = window.isVisible();
    QTimer::singleShot(0, &window, &QWidget::close);
  });
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(sawAbout);
  EXPECT_TRUE(wasShown);
  EXPECT_TRUE(messages.records.empty());
  // Templates with barcodes can be read once the program has started.
  EXPECT_NO_THROW(report::createAddInView("TfrBarCodeView"));
}

}  // namespace
}  // namespace kelpo
