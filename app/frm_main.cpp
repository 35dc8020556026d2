// The catalogue window's handlers: tree building, selection, menus.
#include "app/frm_main.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTreeWidget>

#include "app/kelpo_application.h"
#include "app/recipe_store.h"
#include "platform/message_box.h"
#include "platform/picture.h"
#include "platform/shell.h"
#include "ui_frm_main.h"

namespace kelpo {
namespace {

constexpr const char* kContactLine = "Kelpo 家常菜谱";
constexpr const char* kContactAddress = "联系：kelpo@example.org";
constexpr const char* kCookingProgrammePage = "https://example.org/cooking-programme";
constexpr const char* kAuthorHomePage = "https://example.org/kelpo";

QFont pixelFont(const QString& family, int px, bool bold = false) {
  QFont f(family);
  f.setPixelSize(px);
  f.setBold(bold);
  return f;
}

}  // namespace

TFrmMain::TFrmMain(QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TFrmMain>()), programFolder_(kelpo::programFolder()) {
  ui_->setupUi(this);
  setFont(pixelFont(QStringLiteral("宋体"), 13));
  for (QLabel* label : {ui_->Label1, ui_->Label2})
    label->setFont(pixelFont(QStringLiteral("宋体"), 19, true));
  // Fixed-size window with a system menu and a minimize box only.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  ui_->centralWidget->setFixedSize(688, 415);
  ui_->StatusBar1->setFixedHeight(22);
  statusLeft_ = new QLabel(QString::fromUtf8(kContactLine), this);
  statusLeft_->setFixedWidth(150);
  statusRight_ = new QLabel(QString::fromUtf8(kContactAddress), this);
  ui_->StatusBar1->addWidget(statusLeft_);
  ui_->StatusBar1->addWidget(statusRight_, 1);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }

  photograph_ = recipes::placeholderPhotograph();
  showPhotograph(photograph_);

  ADOConnect = new Connection(this);
  ADOConnect->setObjectName(QStringLiteral("ADOConnect"));
  ADOConnect->setConnectionString(QString::fromUtf8(recipes::kConnectionString));
  for (Query** q : {&ADOQuery1, &ADOQuery2, &ADOQuery3}) {
    *q = new Query(this);
    (*q)->setConnection(ADOConnect);
  }
  ADOQuery1->setObjectName(QStringLiteral("ADOQuery1"));
  ADOQuery2->setObjectName(QStringLiteral("ADOQuery2"));
  ADOQuery3->setObjectName(QStringLiteral("ADOQuery3"));

  // Stored settings come alive before the creation handler: the connection and the detail
  // query open here, and a failure leaves the constructor.
  ADOConnect->open();
  ADOQuery3->setSql(QString::fromUtf8(recipes::kAllRecipes));
  ADOQuery3->open();

  connect(ui_->TreeView1, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* node) { runHandler([&] { TreeView1Change(node); }); });
  connect(ui_->N2, &QAction::triggered, this, [this] { emit printRequested(); });
  connect(ui_->N4, &QAction::triggered, this, &QWidget::close);
  connect(ui_->N6, &QAction::triggered, this, [this] { emit addRequested(); });
  connect(ui_->N9, &QAction::triggered, this, [this] { emit searchRequested(); });
  connect(ui_->N11, &QAction::triggered, this,
          [] { shellOpen(QString::fromUtf8(kCookingProgrammePage)); });
  connect(ui_->N12, &QAction::triggered, this, [] { shellOpen(QString::fromUtf8(kAuthorHomePage)); });
  connect(ui_->N13, &QAction::triggered, this, [this] { emit aboutRequested(); });
  // "删除" and "修改" are offered but do nothing.

  FormCreate();
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::FormCreate() {
  QTreeWidget* tree = ui_->TreeView1;
  tree->setUpdatesEnabled(false);
  const QSignalBlocker quiet(tree);
  tree->clear();
  try {
    auto* root = new QTreeWidgetItem(tree, QStringList(QStringLiteral("Kelpo")));
    ADOQuery1->close();
    ADOQuery1->clearSql();
    ADOQuery1->setSql(QString::fromUtf8(recipes::kDistinctCategories));
    ADOQuery1->open();
    ADOQuery1->first();
    const int categories = ADOQuery1->recordCount();
    for (int i = 0; i < categories; ++i) {
      const QString category = ADOQuery1->text(QStringLiteral("类别"));
      auto* node = new QTreeWidgetItem(root, QStringList(category));
      ADOQuery2->close();
      ADOQuery2->clearSql();
      ADOQuery2->setSql(QString::fromUtf8(recipes::kRecipesOfCategory));
      ADOQuery2->setParameters({ADOQuery1->text(QStringLiteral("类别"))});
      ADOQuery2->open();
      ADOQuery2->first();
      const int count = ADOQuery2->recordCount();
      QList<QTreeWidgetItem*> dishes;
      dishes.reserve(count);
      for (int j = 0; j < count; ++j) {
        dishes << new QTreeWidgetItem(QStringList(ADOQuery2->text(QStringLiteral("菜谱"))));
        ADOQuery2->next();
      }
      node->addChildren(dishes);
      ADOQuery1->next();
    }
    ADOQuery2->close();
  } catch (const std::exception&) {
    tree->setUpdatesEnabled(true);
    messageBox(QString::fromUtf8("找不到数据库，引起该问题的原因是数据库文件可能被人为删除或改名."),
               QString::fromUtf8("无法打开数据库"), MessageIcon::None, QMessageBox::Ok, this);
    // The program ends instead of entering its message loop (see main).
    terminating_ = true;
    return;
  }
  tree->setCurrentItem(nullptr);
  tree->setUpdatesEnabled(true);
}

void TFrmMain::openDetail(const QString& sql, const QVariantList& parameters) {
  ADOQuery3->close();
  ADOQuery3->clearSql();
  ADOQuery3->setSql(sql);
  ADOQuery3->setParameters(parameters);
  ADOQuery3->open();
}

void TFrmMain::TreeView1Change(QTreeWidgetItem* node) {
  if (node == nullptr) return;
  ui_->TreeView1->setFocus();
  int level = 0;
  for (QTreeWidgetItem* p = node->parent(); p != nullptr; p = p->parent()) ++level;
  if (level == 0) {
    openDetail(QString::fromUtf8(recipes::kAllRecipes), {});
    ui_->N2->setEnabled(false);
  } else if (level == 1) {
    openDetail(QString::fromUtf8(recipes::kRecipesOfCategory), {node->text(0)});
    ui_->N2->setEnabled(false);
  } else {
    openDetail(QString::fromUtf8(recipes::kOneRecipe), {node->text(0), node->parent()->text(0)});
    ui_->N2->setEnabled(true);
  }
  ui_->Memo1->setPlainText(recipes::fromStoredLines(ADOQuery3->text(QStringLiteral("配料"))));
  ui_->Memo2->setPlainText(recipes::fromStoredLines(ADOQuery3->text(QStringLiteral("方法"))));
  // A picture that cannot be loaded stops the handler: the photograph and the tips keep
  // what they showed.
  const QImage picture = loadPicture(
      recipes::picturePathForDisplay(programFolder_, ADOQuery3->text(QStringLiteral("图片"))));
  showPhotograph(picture);
  ui_->Memo3->setPlainText(recipes::fromStoredLines(ADOQuery3->text(QStringLiteral("提示"))));
}

void TFrmMain::showPhotograph(const QImage& image) {
  photograph_ = image;
  if (image.isNull()) {
    ui_->Image1->clear();
    return;
  }
  // Stretched to the box, keeping its proportions.
  ui_->Image1->setPixmap(QPixmap::fromImage(
      image.scaled(ui_->Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

}  // namespace kelpo
