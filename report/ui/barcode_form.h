// The barcode editor: the dialog in which a barcode view's code, symbology, options, zoom and
// orientation are chosen.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TfrBarCodeForm;
}

namespace kelpo::report {

class TfrBarCodeView;

class TfrBarCodeForm : public QDialog {
  Q_OBJECT

 public:
  explicit TfrBarCodeForm(QWidget* parent = nullptr);
  ~TfrBarCodeForm() override;

  // Shows the view's first line, type, flags, zoom and rotation.
  void showView(const TfrBarCodeView& view);
  // Gives the view the dialog's choices: the code first, then the zoom, whose conversion
  // error (a zoom that is not a number) leaves the other settings as they were.
  void applyTo(TfrBarCodeView& view) const;
  // The generator tries the code (unless it is an expression); a refused code shows
  // "条码错误" and gives false.
  bool checkCode();

  // Zoom + 1; zoom - 1, or 1 when that is not above 0. A zoom that is not a number throws.
  void zoomUp();
  void zoomDown();

 public slots:
  void accept() override;

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  std::unique_ptr<Ui::TfrBarCodeForm> ui_;
};

// Runs the editor for the view and applies the choices when it closes with OK; true then.
bool ShowBarCodeEditor(TfrBarCodeView& view, QWidget* parent = nullptr);
// Makes TfrBarCodeView::ShowEditor open this editor.
void installBarCodeEditor();

}  // namespace kelpo::report
