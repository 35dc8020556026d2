// The picture chooser of the add window: a file dialog with a preview of the selected picture.
#pragma once

#include <QFileDialog>
#include <QImage>
#include <QStringList>

class QLabel;

namespace kelpo {

// Drawn by Qt itself rather than the desktop's own dialog, so the preview sits beside the
// file list and the chooser looks the same on every desktop.
class OpenPictureDialog : public QFileDialog {
  Q_OBJECT
 public:
  explicit OpenPictureDialog(QWidget* owner = nullptr);

  // All picture formats together first, then each format alone.
  static QStringList pictureFilters();

  // What the preview shows for the file selected last: its picture (null when the selection
  // is no loadable picture) and the caption above it.
  QImage preview() const { return preview_; }
  QString previewCaption() const;

 private:
  void showPreview(const QString& path);

  QLabel* previewCaption_ = nullptr;
  QLabel* previewImage_ = nullptr;
  QImage preview_;
};

}  // namespace kelpo
