// The password dialog asked by a protected template read from a file, answered through its
// widgets: the right password keeps the template, a wrong one or a cancel leaves it untitled.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QtTest/QTest>

#include "platform/text.h"
#include "report/core/report.h"
#include "report/ui/passw_form.h"

namespace kelpo::report {
namespace {

enum class Answer { Enter, OkButton, CancelButton, Escape };

struct Seen {
  bool asked = false;
  QString caption, prompt;
  bool masked = false, emptyAndFocused = false;
};

// Answers the next password dialog once it is up, as a user would.
void answerNextDialog(const QString& typed, Answer answer, Seen& seen) {
  QTimer::singleShot(0, [=, &seen] {
    auto* dialog = qobject_cast<TfrPasswForm*>(QApplication::activeModalWidget());
    if (!dialog) return;
    seen.asked = true;
    seen.caption = dialog->windowTitle();
    seen.prompt = dialog->findChild<QLabel*>(QStringLiteral("Label1"))->text();
    QLineEdit* box = dialog->passwordBox();
    seen.masked =
        box->echoMode() == QLineEdit::Password &&
        box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box) == '*';
    seen.emptyAndFocused = box->text().isEmpty() && dialog->focusWidget() == box;
    // Typed key by key; Chinese text arrives whole, as from an input method.
    if (typed.toLatin1() == typed.toUtf8())
      QTest::keyClicks(box, typed);
    else
      box->insert(typed);
    switch (answer) {
      case Answer::Enter:
        QTest::keyClick(box, Qt::Key_Return);
        break;
      case Answer::OkButton:
        dialog->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        break;
      case Answer::CancelButton:
        dialog->findChild<QPushButton*>(QStringLiteral("Button2"))->click();
        break;
      case Answer::Escape:
        QTest::keyClick(box, Qt::Key_Escape);
        break;
    }
  });
}

class PasswordDialog : public ::testing::Test {
 protected:
  void SetUp() override { installPasswForm(); }
  void TearDown() override { TfrReport::setPasswordPrompt({}); }

  // A protected two-page template with a named report.
  static std::string protectedTemplate(const std::string& password) {
    TfrReport a;
    a.pages.add();
    a.pages.add();
    a.info.name = "menu";
    a.info.password = password;
    a.info.passwordProtected = true;
    return a.saveToStream(1.0);
  }
};

TEST_F(PasswordDialog, RightPasswordLoadsWrongOrCancelledLeavesAnEmptyUntitledReport) {
  struct Case {
    const char* password;
    const char* typed;
    Answer answer;
    bool loads;
  } cases[] = {
      {"secret", "secret", Answer::Enter, true},
      {"secret", "secret", Answer::OkButton, true},
      {"鱼香", "鱼香", Answer::OkButton, true},  // non-ASCII passwords compare as engine text
      {"secret", "Secret", Answer::Enter, false},
      {"secret", "", Answer::OkButton, false},
      {"secret", "secret", Answer::CancelButton, false},
      {"secret", "secret", Answer::Escape, false},
      {"", "", Answer::OkButton, true},
      {"", "", Answer::CancelButton, false},  // cancelling never opens the template
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("password \"") + c.password + "\" typed \"" + c.typed + "\"");
    const std::string stream = protectedTemplate(utf8ToEngine(c.password));
    Seen seen;
    answerNextDialog(QString::fromUtf8(c.typed), c.answer, seen);
    TfrReport b;
    b.loadFromStream(stream, true);
    ASSERT_TRUE(seen.asked);
    EXPECT_EQ(seen.caption, QStringLiteral("Password"));
    EXPECT_EQ(seen.prompt, QStringLiteral("Enter password for opening report"));
    EXPECT_TRUE(seen.masked);
    EXPECT_TRUE(seen.emptyAndFocused);
    if (c.loads) {
      EXPECT_EQ(b.pages.count(), 2);
      EXPECT_EQ(b.info.name, "menu");
    } else {
      EXPECT_EQ(b.pages.count(), 1);
      EXPECT_TRUE(b.info.name.empty());
      EXPECT_FALSE(b.info.passwordProtected);
      EXPECT_EQ(b.fileName, "Untitled");
    }
  }
}

TEST_F(PasswordDialog, TemplatesFromMemoryNeverAsk) {
  Seen seen;
  answerNextDialog(QString(), Answer::CancelButton, seen);
  TfrReport b;
  b.loadFromStream(protectedTemplate("secret"), false);
  QApplication::processEvents();  // the pending answer finds no dialog
  EXPECT_FALSE(seen.asked);
  EXPECT_EQ(b.pages.count(), 2);
}

}  // namespace
}  // namespace kelpo::report
