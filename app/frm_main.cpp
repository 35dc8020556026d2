// The catalogue window's handlers: tree building, selection, menus.
#include "app/frm_main.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTreeWidget>

#include "app/add_data.h"
#include "app/form_helpers.h"
#include "app/kelpo_application.h"
#include "app/my_soft.h"
#include "app/recipe_store.h"
#include "app/seach.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "report/core/report.h"
#include "report/expr/datasets.h"
#include "resources/skin/stored_skin.h"
#include "skin/skin_data.h"
#include "ui_frm_main.h"

namespace kelpo {
namespace {

const char* const kContactLine = "Kelpo 家常菜谱";
const char* const kContactAddress = "联系作者：kelpo@example.org";

QLabel* statusPanel(const QString& text, QWidget* owner) {
  auto* panel = new QLabel(text, owner);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  return panel;
}

}  // namespace

QString TFrmMain::cookingProgrammePage() {
  return QStringLiteral("https://example.org/cooking-programme/");
}
QString TFrmMain::authorHomePage() { return QStringLiteral("https://example.org/kelpo/"); }

TFrmMain::TFrmMain(QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::TFrmMain>()),
      programFolder_(kelpo::programFolder()),
      opener_(&shellOpen),
      runner_([](QDialog& window) { window.exec(); }) {
  ui_->setupUi(this);
  setFont(pixelFont(QStringLiteral("宋体"), 13));
  for (QLabel* label : {ui_->Label1, ui_->Label2})
    label->setFont(pixelFont(QStringLiteral("宋体"), 19, true));
  for (QGroupBox* box : {ui_->GroupBox1, ui_->GroupBox2}) captionOnFrame(box);
  showWholeNodeTexts(ui_->TreeView1);
  // Menus are windows of their own and do not take the window's font by themselves.
  for (QMenu* menu : ui_->MainMenu1->findChildren<QMenu*>()) menu->setFont(font());
  // Tab leaves the tips box instead of typing into it.
  ui_->Memo3->setTabChangesFocus(true);
  // A fixed-size window with a system menu and a minimize box, no maximize box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  // The client area is 688 x 437 with the status bar's 22 pixels at its bottom.
  ui_->centralWidget->setFixedSize(688, 437 - 22);
  ui_->StatusBar1->setFixedHeight(22);
  QLabel* left = statusPanel(QString::fromUtf8(kContactLine), this);
  left->setFixedWidth(150);
  ui_->StatusBar1->addWidget(left);
  ui_->StatusBar1->addWidget(statusPanel(QString::fromUtf8(kContactAddress), this), 1);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }

  showPhotograph(recipes::placeholderPhotograph());

  ADOConnect = new Connection(this);
  ADOConnect->setObjectName(QStringLiteral("ADOConnect"));
  ADOConnect->setConnectionString(QString::fromUtf8(recipes::kConnectionString));
  const char* const names[] = {"ADOQuery1", "ADOQuery2", "ADOQuery3"};
  Query** queries[] = {&ADOQuery1, &ADOQuery2, &ADOQuery3};
  for (int i = 0; i < 3; ++i) {
    *queries[i] = new Query(this);
    (*queries[i])->setObjectName(QString::fromLatin1(names[i]));
    (*queries[i])->setConnection(ADOConnect);
  }

  // The skin data component decodes the skin stored with the window and switches skinning on
  // for every window the program opens.
  auto* SkinData1 = new skin::TSkinData(this);
  SkinData1->setObjectName(QStringLiteral("SkinData1"));
  SkinData1->setActive(true);
  SkinData1->setSkinControls(
      skin::TSkinControls::all().without(skin::xcSystemMenu).without(skin::xcReportWindows));
  SkinData1->readSkinStream(storedSkinStream());
  SkinData1->formDataLoaded();

  // The connection and the detail query open with the window; a failure leaves the
  // constructor, before any handler runs.
  ADOConnect->open();
  ADOQuery3->setSql(QString::fromUtf8(recipes::kAllRecipes));
  ADOQuery3->open();

  // The report component reads the recipe template stored with the window once the detail
  // query runs, and walks that query through its report dataset.
  auto* sheetReport = new report::TfrReport(this);
  sheetReport->setObjectName(QStringLiteral("frReport1"));
  QFile storedTemplate(QStringLiteral(":/report/recipe_template.frf"));
  if (storedTemplate.open(QIODevice::ReadOnly)) {
    const QByteArray form = storedTemplate.readAll();
    sheetReport->readReportForm(
        std::string_view(form.constData(), static_cast<std::size_t>(form.size())));
  }
  auto* frDBDataSet1 = new report::TfrDBDataSet(this);
  frDBDataSet1->setObjectName(QStringLiteral("frDBDataSet1"));
  frDBDataSet1->SetDataSet(ADOQuery3);
  sheetReport->Dataset = frDBDataSet1;

  connect(ui_->TreeView1, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* node) { runHandler([&] { TreeView1Change(node); }); });
  // 打印 prepares the stored recipe sheet over the detail query and shows it.
  connect(ui_->N2, &QAction::triggered, this,
          [this, sheetReport] { runHandler([sheetReport] { sheetReport->ShowReport(); }); });
  connect(ui_->N4, &QAction::triggered, this, &QWidget::close);
  connect(ui_->N6, &QAction::triggered, this, [this] { runHandler([this] { N6Click(); }); });
  connect(ui_->N9, &QAction::triggered, this, [this] { runHandler([this] { N9Click(); }); });
  connect(ui_->N11, &QAction::triggered, this, [this] { opener_(cookingProgrammePage()); });
  connect(ui_->N12, &QAction::triggered, this, [this] { opener_(authorHomePage()); });
  connect(ui_->N13, &QAction::triggered, this, [this] { runHandler([this] { N13Click(); }); });
  // 删除 and 修改 are offered but do nothing.

  FormCreate();
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::FormCreate() {
  QTreeWidget* tree = ui_->TreeView1;
  const QSignalBlocker quiet(tree);
  // One repaint for the whole tree instead of one per node.
  tree->setUpdatesEnabled(false);
  tree->clear();
  try {
    auto* root = new QTreeWidgetItem(tree, QStringList(QStringLiteral("Kelpo")));
    // Each node shows its whole text as a tool tip too, for a tree scrolled sideways.
    const auto node = [](const QString& text, QTreeWidgetItem* parent = nullptr) {
      auto* item = new QTreeWidgetItem(parent, QStringList(text));
      item->setToolTip(0, text);
      return item;
    };
    ADOQuery1->close();
    ADOQuery1->clearSql();
    ADOQuery1->setSql(QString::fromUtf8(recipes::kDistinctCategories));
    ADOQuery1->open();
    ADOQuery1->first();
    const int categories = ADOQuery1->recordCount();
    const QString category = QStringLiteral("类别");
    const QString name = QStringLiteral("菜谱");
    for (int i = 0; i < categories; ++i) {
      auto* categoryNode = node(ADOQuery1->text(category), root);
      ADOQuery2->close();
      ADOQuery2->clearSql();
      ADOQuery2->setSql(QString::fromUtf8(recipes::kRecipesOfCategory));
      ADOQuery2->setParameters({ADOQuery1->text(category)});
      ADOQuery2->open();
      ADOQuery2->first();
      const int count = ADOQuery2->recordCount();
      QList<QTreeWidgetItem*> dishes;
      dishes.reserve(count);
      for (int j = 0; j < count; ++j) {
        dishes << node(ADOQuery2->text(name));
        ADOQuery2->next();
      }
      categoryNode->addChildren(dishes);
      ADOQuery1->next();
    }
  } catch (const std::exception&) {
    tree->setUpdatesEnabled(true);
    messageBox(QString::fromUtf8("找不到数据库，引起该问题的原因是数据库文件可能被人为删除或改名."),
               QString::fromUtf8("无法打开数据库"), MessageIcon::None, QMessageBox::Ok, this);
    // The program ends instead of entering its message loop (see the start-up).
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
  // A picture that cannot be loaded stops the handler here: the photograph and the tips keep
  // what they showed.
  showPhotograph(recipes::recipePhotograph(programFolder_, ADOQuery3->text(QStringLiteral("图片")),
                                           ADOQuery3->text(QStringLiteral("菜谱"))));
  ui_->Memo3->setPlainText(recipes::fromStoredLines(ADOQuery3->text(QStringLiteral("提示"))));
}

void TFrmMain::runWindow(QDialog* window) {
  // Owned by this window while shown; gone when it closes. Nothing here is refreshed after.
  std::unique_ptr<QDialog> owned(window);
  runner_(*owned);
}

void TFrmMain::N6Click() { runWindow(new TAddData(ADOConnect, programFolder_, this)); }
void TFrmMain::N9Click() { runWindow(new TSeach(ADOConnect, programFolder_, this)); }
void TFrmMain::N13Click() { runWindow(new TMySoft(this)); }

void TFrmMain::showPhotograph(const QImage& image) {
  photograph_ = image;
  showStretched(ui_->Image1, image);
}

}  // namespace kelpo
