// The search window's handlers: switching the search choice, searching, showing a result.
#include "app/seach.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/form_helpers.h"
#include "app/kelpo_application.h"
#include "app/recipe_store.h"
#include "ui_seach.h"

namespace kelpo {
namespace {

void restart(Query* query, const QString& sql, const QVariantList& parameters) {
  query->close();
  query->clearSql();
  query->setSql(sql);
  query->setParameters(parameters);
  query->open();
  query->first();
}

}  // namespace

TSeach::TSeach(Connection* connection, const QString& programFolder, QWidget* owner)
    : QDialog(owner), ui_(std::make_unique<Ui::TSeach>()), programFolder_(programFolder) {
  ui_->setupUi(this);
  // Fixed-size single border with a system menu only.
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(584, 393);
  setFont(pixelFont(QStringLiteral("宋体"), 13));
  for (QGroupBox* box : {ui_->RadioGroup1, ui_->GroupBox1, ui_->GroupBox2}) captionOnFrame(box);

  photograph_ = recipes::placeholderPhotograph();
  showStretched(ui_->Image1, photograph_);

  ADOQuery1 = new Query(this);
  ADOQuery1->setObjectName(QStringLiteral("ADOQuery1"));
  ADOQuery1->setConnection(connection);
  ADOQuery2 = new Query(this);
  ADOQuery2->setObjectName(QStringLiteral("ADOQuery2"));
  ADOQuery2->setConnection(connection);

  auto* choices = new QButtonGroup(this);
  choices->addButton(ui_->RadioButton1, 0);
  choices->addButton(ui_->RadioButton2, 1);
  connect(choices, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) runHandler([this] { RadioGroup1Click(); });
  });
  connect(ui_->Button1, &QPushButton::clicked, this,
          [this] { runHandler([this] { Button1Click(); }); });
  // Only the user's choice shows a recipe: `activated` is not sent when the search itself
  // puts the first name into the list.
  connect(ui_->ComboBox1, &QComboBox::activated, this,
          [this] { runHandler([this] { ComboBox1Change(); }); });
}

TSeach::~TSeach() = default;

void TSeach::RadioGroup1Click() {
  // The text of the disabled box stays; only the enabled one is searched for.
  const bool byName = ui_->RadioButton1->isChecked();
  ui_->Edit1->setEnabled(byName);
  ui_->Edit2->setEnabled(!byName);
  (byName ? ui_->Edit1 : ui_->Edit2)->setFocus();
}

void TSeach::Button1Click() {
  const bool byName = ui_->RadioButton1->isChecked();
  const QString condition =
      QString::fromUtf8(byName ? recipes::kSearchByName : recipes::kSearchByIngredient);
  // The typed text is used as it is, matched anywhere in the column.
  const QString text = byName ? ui_->Edit1->text() : ui_->Edit2->text();
  restart(ADOQuery1, QString::fromUtf8(recipes::kSearchHead) + condition, {text});

  QComboBox* list = ui_->ComboBox1;
  list->clear();
  while (!ADOQuery1->eof()) {
    list->addItem(ADOQuery1->text(QStringLiteral("菜谱")));
    ADOQuery1->next();
  }
  // Only the list shows the first name; the boxes below keep the recipe shown before.
  list->setCurrentIndex(list->count() > 0 ? 0 : -1);
}

void TSeach::ComboBox1Change() {
  restart(ADOQuery2, QString::fromUtf8(recipes::kChosenResult), {ui_->ComboBox1->currentText()});
  ui_->Memo1->setPlainText(recipes::fromStoredLines(ADOQuery2->text(QStringLiteral("配料"))));
  ui_->Memo2->setPlainText(recipes::fromStoredLines(ADOQuery2->text(QStringLiteral("方法"))));
  // A photograph that cannot be loaded stops here: the box keeps the picture it showed.
  photograph_ = recipes::recipePhotograph(programFolder_, ADOQuery2->text(QStringLiteral("图片")),
                                          ADOQuery2->text(QStringLiteral("菜谱")));
  showStretched(ui_->Image1, photograph_);
}

void TSeach::keyPressEvent(QKeyEvent* event) {
  // Like the other recipe windows it closes by its close box only, not by Escape.
  if (event->key() == Qt::Key_Escape) return event->accept();
  QDialog::keyPressEvent(event);
}

void TSeach::showEvent(QShowEvent* event) {
  if (!placed_) {
    centreOnScreen(this);
    placed_ = true;
  }
  QDialog::showEvent(event);
}

}  // namespace kelpo
