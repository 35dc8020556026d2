// The about window: a short user guide and the author's other programs with their links.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class QLabel;

namespace Ui {
class TMySoft;
}

namespace kelpo {

class TMySoft : public QDialog {
  Q_OBJECT
 public:
  explicit TMySoft(QWidget* owner = nullptr);
  ~TMySoft() override;

  // Opens an address; the desktop's default handler unless replaced (tests record instead).
  using Opener = std::function<void(const QString& address)>;
  void setOpener(Opener opener) { opener_ = std::move(opener); }

  Ui::TMySoft* ui() const { return ui_.get(); }
  // The address entry `index` (0 to 4) opens; empty for the entry that does nothing.
  static QString address(int index);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  int entryOf(QObject* object) const;  // -1 when no entry

  std::unique_ptr<Ui::TMySoft> ui_;
  QLabel* entries_[5] = {};
  Opener opener_;
  bool placed_ = false;
};

}  // namespace kelpo
