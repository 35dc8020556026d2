// The about window: guide text from the form, program entries that light up and open links.
#include "app/my_soft.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include "app/form_helpers.h"
#include "app/kelpo_application.h"
#include "platform/shell.h"
#include "ui_my_soft.h"

namespace kelpo {
namespace {

// Download pages of the first three programs and the author's download site; the fifth
// entry links nowhere.
constexpr const char* kAddresses[5] = {
    "https://example.com/kelpo/downloads/account-book",
    "https://example.com/kelpo/downloads/alarm-clock",
    "https://example.com/kelpo/downloads/address-book",
    "https://example.com/kelpo/downloads/",
    "",
};

// Entries 1 to 3 light up under the mouse; entry 4 is always blue; entry 5 is plain text.
constexpr int kHoverEntries = 3;
constexpr int kLinkEntries = 4;

void paintText(QLabel* label, Qt::GlobalColor colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

}  // namespace

TMySoft::TMySoft(QWidget* owner) : QDialog(owner), ui_(std::make_unique<Ui::TMySoft>()) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(416, 266);
  setFont(pixelFont(QStringLiteral("华文中宋"), 16));
  captionOnFrame(ui_->GroupBox1);

  entries_[0] = ui_->Label1;
  entries_[1] = ui_->Label2;
  entries_[2] = ui_->Label3;
  entries_[3] = ui_->Label4;
  entries_[4] = ui_->Label5;
  for (int i = 0; i < 5; ++i) {
    QLabel* label = entries_[i];
    // The entries are as wide as their names, so the pointer changes over the text only.
    label->adjustSize();
    paintText(label, i < kHoverEntries ? Qt::red : i < kLinkEntries ? Qt::blue : Qt::black);
    if (i < kLinkEntries) label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
  }
  opener_ = [](const QString& address) { shellOpen(address); };
}

TMySoft::~TMySoft() = default;

QString TMySoft::address(int index) {
  if (index < 0 || index >= 5) return QString();
  return QString::fromUtf8(kAddresses[index]);
}

int TMySoft::entryOf(QObject* object) const {
  for (int i = 0; i < 5; ++i)
    if (entries_[i] == object) return i;
  return -1;
}

bool TMySoft::eventFilter(QObject* watched, QEvent* event) {
  const int entry = entryOf(watched);
  if (entry >= 0) {
    QLabel* label = entries_[entry];
    switch (event->type()) {
      case QEvent::Enter:
        if (entry < kHoverEntries) paintText(label, Qt::blue);
        break;
      case QEvent::Leave:
        if (entry < kHoverEntries) paintText(label, Qt::red);
        break;
      case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (entry < kLinkEntries && mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint()))
          runHandler([this, entry] { opener_(address(entry)); });
        break;
      }
      default:
        break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TMySoft::keyPressEvent(QKeyEvent* event) {
  // Like the other recipe windows it closes by its close box only, not by Escape.
  if (event->key() == Qt::Key_Escape) return event->accept();
  QDialog::keyPressEvent(event);
}

void TMySoft::showEvent(QShowEvent* event) {
  if (!placed_) {
    centreOnScreen(this);
    placed_ = true;
  }
  QDialog::showEvent(event);
}

}  // namespace kelpo
