// The print dialog: which printer (or a PDF file), which pages, how many copies, collated or
// not, all, odd or even pages; and handing the choice to the report's print run.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

namespace Ui {
class TfrPrintForm;
}

namespace kelpo::report {

class TfrPrinter;
class TfrReport;

// The printer list: each entry drawn as the printer icon and the name beside it.
class TfrPrinterBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TfrPrinterBox(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* e) override;
};

class TfrPrintForm : public QDialog {
  Q_OBJECT

 public:
  // The dialog on the given printer model, or the program's when null.
  explicit TfrPrintForm(QWidget* parent = nullptr, TfrPrinter* printer = nullptr);
  ~TfrPrintForm() override;

  enum class PageChoice { All = 0, Current = 1, List = 2 };

  // What the caller fills in before showing the dialog and reads afterwards.
  void setCopies(int copies);
  void setCollate(bool collate);
  PageChoice pageChoice() const;
  QString pageText() const;
  QString copiesText() const;
  bool collate() const;
  int oddEven() const;  // 0 all, 1 odd, 2 even pages
  // Whether the entry "PDF 文件" is chosen, and the file the pages then go to.
  bool pdfChosen() const;
  QString pdfFileName() const { return pdfFileName_; }

  // The copies arrows: one more, or one less but not below 1. A copies text that is not a
  // whole number throws the conversion error.
  void copiesUp();
  void copiesDown();

  // Shows the dialog modally (or through the replacement below); true when confirmed.
  bool ask();
  // Prints the report's prepared pages as chosen, on the chosen printer or into the PDF file;
  // `currentPage` is the page the current-page choice names. False when the run was cancelled.
  bool print(TfrReport& report, int currentPage);

  // Replaces the modal run in tests: gets the dialog, which is open but not modal, and says
  // whether it was confirmed (by pressing a button, or directly).
  using ModalRun = std::function<bool(TfrPrintForm& dialog)>;
  static void setModalRun(ModalRun run);
  // Replaces the file dialog asking for the PDF file's name: returns the name, empty to cancel.
  using FileDialog = std::function<QString()>;
  static void setFileDialog(FileDialog dialog);

  Ui::TfrPrintForm& ui() const { return *ui_; }

 public slots:
  void accept() override;
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void fillPrinters();
  void printerChosen(int entry);
  void showCollation();

  std::unique_ptr<Ui::TfrPrintForm> ui_;
  TfrPrinter* printer_;
  int pdfEntry_ = -1;
  int printerAtOpening_ = -1;
  QString pdfFileName_;
};

}  // namespace kelpo::report
