// Desktop services: the message box seam, font substitutions and the program folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QFontInfo>

#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/shell.h"

namespace kelpo {
namespace {

QApplication& app() {
  static int argc = 1;
  static char name[] = "test_desktop";
  static char* argv[] = {name, nullptr};
  static QApplication instance(argc, argv);
  return instance;
}

TEST(Desktop, MessageBoxesGoToTheHook) {
  app().setApplicationDisplayName(QStringLiteral("Kelpo"));
  std::vector<MessageRecord> seen;
  setMessageHook([&](const MessageRecord& r) {
    seen.push_back(r);
    return QMessageBox::No;
  });
  showMessage(QString::fromUtf8("添加成功"));
  const auto pressed = messageBox(QStringLiteral("Delete?"), QStringLiteral("Ask"),
                                  MessageIcon::Question, QMessageBox::Yes | QMessageBox::No);
  setMessageHook({});
  EXPECT_EQ(pressed, QMessageBox::No);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].text, QString::fromUtf8("添加成功"));
  EXPECT_EQ(seen[0].caption, QStringLiteral("Kelpo"));
  EXPECT_EQ(seen[0].icon, MessageIcon::None);
  EXPECT_EQ(seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_EQ(seen[1].caption, QStringLiteral("Ask"));
  EXPECT_EQ(seen[1].icon, MessageIcon::Question);
  EXPECT_EQ(seen[1].buttons, QMessageBox::Yes | QMessageBox::No);
}

TEST(Desktop, FontSubstitutionsAreRegisteredOnce) {
  app();
  registerFontSubstitutions();
  registerFontSubstitutions();
  const std::pair<const char*, const char*> table[] = {
      {"宋体", "AR PL UMing CN"},     {"华文中宋", "AR PL UMing CN"},
      {"楷体_GB2312", "AR PL UKai CN"}, {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"}};
  for (const auto& [from, to] : table) {
    SCOPED_TRACE(from);
    const QStringList substitutes = QFont::substitutes(QString::fromUtf8(from));
    ASSERT_EQ(substitutes.size(), 1);
    EXPECT_EQ(substitutes[0].compare(QString::fromUtf8(to), Qt::CaseInsensitive), 0);
    // The installed font is what text in that name is drawn with.
    EXPECT_EQ(QFontInfo(QFont(QString::fromUtf8(from))).family(), QString::fromUtf8(to));
  }
}

TEST(Desktop, ProgramFolderEndsWithASeparator) {
  app();
  const QString folder = programFolder();
  EXPECT_TRUE(folder.endsWith(u'/'));
  EXPECT_EQ(folder, QCoreApplication::applicationDirPath() + u'/');
}

}  // namespace
}  // namespace kelpo
