// The add window's handlers: the category list, choosing a photograph, storing a recipe.
#include "app/add_data.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/form_helpers.h"
#include "app/kelpo_application.h"
#include "app/open_picture_dialog.h"
#include "app/recipe_store.h"
#include "platform/message_box.h"
#include "platform/picture.h"
#include "ui_add_data.h"

namespace kelpo {
namespace {

// The completeness test ignores blanks, tabs and line breaks around a text (every character
// up to code 32), but nothing else: an ideographic space is text.
bool blankOnly(const QString& text) {
  for (const QChar c : text)
    if (c.unicode() > 32) return false;
  return true;
}

QString memoText(const QPlainTextEdit* memo) { return recipes::toStoredLines(memo->toPlainText()); }

void restart(Query* query, const char* sql, const QVariantList& parameters = {}) {
  query->close();
  query->clearSql();
  query->setSql(QString::fromUtf8(sql));
  query->setParameters(parameters);
  query->open();
  query->first();
}

}  // namespace

TAddData::TAddData(Connection* connection, const QString& programFolder, QWidget* owner)
    : QDialog(owner),
      ui_(std::make_unique<Ui::TAddData>()),
      connection_(connection),
      programFolder_(programFolder) {
  ui_->setupUi(this);
  // Fixed-size single border with a system menu and a minimize box.
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(609, 393);
  setFont(pixelFont(QStringLiteral("宋体"), 16));
  for (QWidget* label :
       {ui_->Label1, ui_->Label2, ui_->Label3, ui_->Label4, ui_->Label5, ui_->Label6})
    label->setFont(pixelFont(QStringLiteral("宋体"), 16, true));
  for (QLabel* label : {ui_->Label3, ui_->Label4, ui_->Label5, ui_->Label6})
    setVerticalCaption(label, 18);
  for (QWidget* memo : {ui_->Memo3, ui_->Memo2})
    memo->setFont(pixelFont(QStringLiteral("宋体"), 13));
  // Tab moves on to the next box, as in every multi-line box of these windows; a tab
  // character typed into a recipe would be stored with it.
  for (QPlainTextEdit* memo : {ui_->Memo3, ui_->Memo2, ui_->Memo1}) memo->setTabChangesFocus(true);

  photograph_ = recipes::placeholderPhotograph();
  showStretched(ui_->Image1, photograph_);
  ui_->Image1->installEventFilter(this);

  for (Query** q : {&ADOQuery1, &ADOQuery2, &ADOQuery3}) {
    *q = new Query(this);
    (*q)->setConnection(connection_);
  }
  ADOQuery1->setObjectName(QStringLiteral("ADOQuery1"));
  ADOQuery2->setObjectName(QStringLiteral("ADOQuery2"));
  ADOQuery3->setObjectName(QStringLiteral("ADOQuery3"));
  OpenPictureDialog1 = new OpenPictureDialog(this);

  connect(ui_->Button1, &QPushButton::clicked, this,
          [this] { runHandler([this] { Button1Click(); }); });

  FormCreate();
}

TAddData::~TAddData() = default;

void TAddData::FormCreate() {
  restart(ADOQuery3, recipes::kAddCategories);
  QComboBox* box = ui_->ComboBox1;
  box->clear();
  while (!ADOQuery3->eof()) {
    box->addItem(ADOQuery3->text(QStringLiteral("类别")));
    ADOQuery3->next();
  }
  // An empty list leaves the box empty.
  box->setCurrentIndex(box->count() > 0 ? 0 : -1);
}

void TAddData::Image1Click() {
  QString file;
  if (chooser_) {
    file = chooser_(this);
  } else if (OpenPictureDialog1->exec() == QDialog::Accepted) {
    file = OpenPictureDialog1->selectedFiles().value(0);
  }
  if (file.isEmpty()) return;  // cancelled: the file chosen before stays chosen
  // The file counts as chosen even when it cannot be shown; the load failure is reported.
  chosenFile_ = file;
  showPhotograph(loadPicture(file));
}

void TAddData::Button1Click() {
  const QString category = ui_->ComboBox1->currentText();
  const QString name = ui_->Edit1->text();
  const QString ingredients = memoText(ui_->Memo3);
  const QString method = memoText(ui_->Memo2);
  if (blankOnly(category) || blankOnly(name) || blankOnly(ingredients) || blankOnly(method)) {
    messageBox(QStringLiteral("资料不完全！"), QStringLiteral("提醒"), MessageIcon::Question,
               QMessageBox::Ok, this);
    return;
  }

  restart(ADOQuery1, recipes::kTableForAppend);

  // The database may match names loosely; only the exact characters make a duplicate.
  restart(ADOQuery2, recipes::kRecipeByName, {name});
  const QVariant existing = ADOQuery2->value(QStringLiteral("菜谱"));
  if (existing.typeId() == QMetaType::QString && existing.toString() == name) {
    showMessage(QStringLiteral("这个菜谱已存在！请检查....."), this);
    return;
  }

  ADOQuery1->append();
  ADOQuery1->setFieldValue(QStringLiteral("类别"), category);
  ADOQuery1->setFieldValue(QStringLiteral("菜谱"), name);
  ADOQuery1->setFieldValue(QStringLiteral("配料"), ingredients);
  ADOQuery1->setFieldValue(QStringLiteral("方法"), method);
  // Without a photograph the started row is never posted: nothing is stored and nothing is
  // said; the row is dropped when the query closes.
  if (chosenFile_.isEmpty()) return;
  // A picture the stored path could not find again is copied below the program folder.
  ADOQuery1->setFieldValue(QStringLiteral("图片"),
                           recipes::pictureForRecipe(programFolder_, category, chosenFile_));
  const QString tips = memoText(ui_->Memo1);
  ADOQuery1->setFieldValue(QStringLiteral("提示"), tips.isEmpty() ? QStringLiteral("无") : tips);
  // Success is reported only once the row is stored; a failed post reaches the error report
  // and the boxes keep what the user typed.
  ADOQuery1->post();
  showMessage(QStringLiteral("添加成功！"), this);

  ui_->Edit1->clear();
  ui_->Memo1->clear();
  ui_->Memo3->clear();
  ui_->Memo2->clear();
}

void TAddData::showPhotograph(const QImage& image) {
  photograph_ = image;
  showStretched(ui_->Image1, image);
}

bool TAddData::eventFilter(QObject* watched, QEvent* event) {
  // A click is a left-button release over the photograph that was pressed there.
  if (watched == ui_->Image1 && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton &&
        ui_->Image1->rect().contains(mouse->position().toPoint())) {
      runHandler([this] { Image1Click(); });
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TAddData::keyPressEvent(QKeyEvent* event) {
  // The window has no cancel button: Escape must not throw away a half-typed recipe.
  if (event->key() == Qt::Key_Escape) return event->accept();
  QDialog::keyPressEvent(event);
}

void TAddData::showEvent(QShowEvent* event) {
  if (!placed_) {
    centreOnScreen(this);
    placed_ = true;
  }
  QDialog::showEvent(event);
}

}  // namespace kelpo
