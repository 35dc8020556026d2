// Message boxes through one seam; a hook set by tests receives them instead of the screen.
#include "platform/message_box.h"

#include <QGuiApplication>

namespace kelpo {
namespace {

MessageHook& hook() {
  static MessageHook h;
  return h;
}

QMessageBox::Icon toQt(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

void setMessageHook(MessageHook h) { hook() = std::move(h); }

QMessageBox::StandardButton messageBox(const QString& text, const QString& caption,
                                       MessageIcon icon, QMessageBox::StandardButtons buttons,
                                       QWidget* parent) {
  if (hook()) return hook()(MessageRecord{text, caption, icon, buttons});
  QMessageBox box(toQt(icon), caption, text, buttons, parent);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

void showMessage(const QString& text, QWidget* parent) {
  messageBox(text, QGuiApplication::applicationDisplayName(), MessageIcon::None,
             QMessageBox::Ok, parent);
}

}  // namespace kelpo
