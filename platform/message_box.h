// The one seam every message box goes through, so tests can capture boxes without a modal loop.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace kelpo {

enum class MessageIcon { None, Information, Warning, Critical, Question };

struct MessageRecord {
  QString text;
  QString caption;
  MessageIcon icon = MessageIcon::None;
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

// Plain message: caption is the application title, one OK button, no icon.
void showMessage(const QString& text, QWidget* parent = nullptr);

// System message box with explicit caption, icon and buttons; returns the button pressed.
QMessageBox::StandardButton messageBox(const QString& text, const QString& caption,
                                       MessageIcon icon,
                                       QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                       QWidget* parent = nullptr);

// While a hook is set every box is handed to it instead of being shown; it returns the button
// "pressed". Pass an empty function to show boxes again.
using MessageHook = std::function<QMessageBox::StandardButton(const MessageRecord&)>;
void setMessageHook(MessageHook hook);

}  // namespace kelpo
