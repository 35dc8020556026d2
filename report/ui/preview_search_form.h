// The preview's search dialog: the text to find, case sensitivity and where the search starts.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TfrPreviewSearchForm;
}

namespace kelpo::report {

class TfrPreviewSearchForm : public QDialog {
  Q_OBJECT

 public:
  explicit TfrPreviewSearchForm(QWidget* parent = nullptr);
  ~TfrPreviewSearchForm() override;

  QString text() const;
  bool caseSensitive() const;
  // "当前页(&P)" chosen rather than "首页(&1)".
  bool fromCurrentPage() const;
  // What a user would type and tick, for callers that fill the dialog themselves.
  void setChoices(const QString& text, bool caseSensitive, bool fromCurrentPage);

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  std::unique_ptr<Ui::TfrPreviewSearchForm> ui_;
};

}  // namespace kelpo::report
