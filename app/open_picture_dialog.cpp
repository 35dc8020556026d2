// The picture chooser: Qt's own file dialog with picture filters and a preview pane.
#include "app/open_picture_dialog.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/picture.h"

namespace kelpo {
namespace {

constexpr int kPreviewSide = 160;
const char* const kOpenCaption = "打开";

}  // namespace

QStringList OpenPictureDialog::pictureFilters() {
  return {
      QStringLiteral("所有图片 (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"),
      QStringLiteral("JPEG 图像 (*.jpg *.jpeg)"),
      QStringLiteral("位图 (*.bmp)"),
      QStringLiteral("图标 (*.ico)"),
      QStringLiteral("增强型图元文件 (*.emf)"),
      QStringLiteral("图元文件 (*.wmf)"),
  };
}

OpenPictureDialog::OpenPictureDialog(QWidget* owner) : QFileDialog(owner) {
  setObjectName(QStringLiteral("OpenPictureDialog1"));
  setOption(QFileDialog::DontUseNativeDialog, true);
  setWindowTitle(QStringLiteral("打开"));
  setAcceptMode(QFileDialog::AcceptOpen);
  setFileMode(QFileDialog::ExistingFile);
  setNameFilters(pictureFilters());
  // The program speaks Chinese; so does its chooser.
  setLabelText(QFileDialog::LookIn, QStringLiteral("查找范围："));
  setLabelText(QFileDialog::FileName, QStringLiteral("文件名："));
  setLabelText(QFileDialog::FileType, QStringLiteral("文件类型："));
  setLabelText(QFileDialog::Accept, QString::fromUtf8(kOpenCaption));
  setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
  // Pictures are loaded by extension without regard to case, so "PHOTO.JPG" must be offered
  // as well as "photo.jpg".
  setFilter(filter() & ~QDir::CaseSensitive);

  auto* pane = new QFrame(this);
  pane->setObjectName(QStringLiteral("PreviewPane"));
  auto* column = new QVBoxLayout(pane);
  column->setContentsMargins(4, 0, 0, 0);
  previewCaption_ = new QLabel(pane);
  previewCaption_->setObjectName(QStringLiteral("PreviewCaption"));
  previewCaption_->setAlignment(Qt::AlignCenter);
  previewImage_ = new QLabel(pane);
  previewImage_->setObjectName(QStringLiteral("PreviewImage"));
  previewImage_->setFixedSize(kPreviewSide, kPreviewSide);
  previewImage_->setFrameShape(QFrame::StyledPanel);
  previewImage_->setFrameShadow(QFrame::Sunken);
  previewImage_->setAlignment(Qt::AlignCenter);
  column->addWidget(previewCaption_);
  column->addWidget(previewImage_);
  column->addStretch(1);

  // The dialog's own layout is a grid whose second row holds the folder list; the preview
  // takes a column of its own to the right of it.
  if (auto* grid = qobject_cast<QGridLayout*>(layout()))
    grid->addWidget(pane, 1, grid->columnCount(), grid->rowCount() - 1, 1);
  // Room for the list beside the preview.
  resize(760, 460);
  showPreview(QString());
  connect(this, &QFileDialog::currentChanged, this, &OpenPictureDialog::showPreview);
  // A name typed or selected shows up in the file name box first; the preview follows it
  // too, so it is right whichever way the selection was made.
  if (auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
    connect(name, &QLineEdit::textChanged, this, [this] { showPreview(selectedFiles().value(0)); });

  // Size, type and date columns as wide as what they show; the name takes the rest.
  if (auto* details = findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView* header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
      header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  }
  // The dialog renames its accept button to its own "Open" whenever a folder is selected;
  // these run after its own handlers and put the caption back.
  const auto keepCaption = [this] {
    if (auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")))
      if (QPushButton* open = buttons->button(QDialogButtonBox::Open))
        open->setText(QString::fromUtf8(kOpenCaption));
  };
  connect(this, &QFileDialog::directoryEntered, this, keepCaption);
  if (auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
    connect(name, &QLineEdit::textChanged, this, keepCaption);
  // Both file views share one selection model.
  if (auto* files = findChild<QAbstractItemView*>(QStringLiteral("listView"))) {
    connect(files->selectionModel(), &QItemSelectionModel::currentChanged, this, keepCaption);
    connect(files->selectionModel(), &QItemSelectionModel::selectionChanged, this, keepCaption);
  }
}

QString OpenPictureDialog::previewCaption() const { return previewCaption_->text(); }

void OpenPictureDialog::showPreview(const QString& path) {
  preview_ = QImage();
  const QFileInfo info(path);
  if (!path.isEmpty() && info.isFile()) {
    try {
      preview_ = loadPicture(path);
    } catch (const std::exception&) {
      // A file that cannot be shown is simply not previewed; choosing it reports the error.
      preview_ = QImage();
    }
  }
  if (preview_.isNull()) {
    previewCaption_->setText(QStringLiteral("(无)"));
    previewImage_->clear();
    return;
  }
  previewCaption_->setText(QStringLiteral("%1 x %2").arg(preview_.width()).arg(preview_.height()));
  // Small pictures are shown as they are; larger ones shrink into the frame.
  const int room = kPreviewSide - 4;
  if (preview_.width() <= room && preview_.height() <= room)
    previewImage_->setPixmap(QPixmap::fromImage(preview_));
  else
    previewImage_->setPixmap(QPixmap::fromImage(
        preview_.scaled(room, room, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

}  // namespace kelpo
