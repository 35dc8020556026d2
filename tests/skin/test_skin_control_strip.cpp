// Every control kind in each of its states under Kelpo's own skin: each state must look
// different from the normal one. With KELPO_SHOTS_DIR set the whole strip is saved there as
// skin-controls-strip.png.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <functional>

#include "resources/skin/stored_skin.h"
#include "skin/skin_control.h"
#include "skin/skin_data.h"
#include "tests/skin/support_controls.h"

namespace kelpo::skin {
namespace {

using namespace testing;

struct State {
  const char* name;
  std::function<void(QWidget*)> act;
  bool looksDifferent = true;  // from the first state of the row
};

struct Row {
  const char* kind;
  QSize size;
  std::function<QWidget*(QWidget*)> make;
  std::vector<State> states;
};

void none(QWidget*) {}
void disable(QWidget* w) { w->setEnabled(false); }
void hot(QWidget* w) { sendEnter(w); }
void focus(QWidget* w) {
  w->setFocusPolicy(Qt::StrongFocus);
  w->setFocus();
}
template <typename W>
W* noFocus(W* w) {
  w->setFocusPolicy(Qt::NoFocus);
  return w;
}

std::vector<Row> rows() {
  auto check = [](bool on) {
    return [on](QWidget* w) { static_cast<QAbstractButton*>(w)->setChecked(on); };
  };
  return {
      {"push button",
       {90, 26},
       [](QWidget* p) { return noFocus(new QPushButton(QStringLiteral("确定"), p)); },
       {{"normal", none},
        {"hot", hot},
        {"pressed",
         [](QWidget* w) {
           sendPress(w, {5, 5});
         }},
        {"focused", focus},
        {"disabled", disable}}},
      {"speed button",
       {90, 26},
       [](QWidget* p) {
         auto* b = noFocus(new QToolButton(p));
         b->setText(QStringLiteral("打印"));
         b->setToolButtonStyle(Qt::ToolButtonTextOnly);
         return b;
       },
       {{"normal", none},
        {"hot", hot},
        {"down", [](QWidget* w) { static_cast<QToolButton*>(w)->setDown(true); }},
        {"disabled", disable}}},
      {"check box",
       {110, 22},
       [](QWidget* p) { return noFocus(new QCheckBox(QStringLiteral("选项"), p)); },
       {{"unchecked", none},
        {"checked", check(true)},
        {"grayed",
         [](QWidget* w) {
           static_cast<QCheckBox*>(w)->setTristate(true);
           static_cast<QCheckBox*>(w)->setCheckState(Qt::PartiallyChecked);
         }},
        {"disabled", disable},
        {"disabled checked",
         [check](QWidget* w) {
           check(true)(w);
           w->setEnabled(false);
         }}}},
      {"radio button",
       {110, 22},
       [](QWidget* p) { return noFocus(new QRadioButton(QStringLiteral("名称"), p)); },
       {{"unchecked", none},
        {"checked", check(true)},
        {"disabled", disable},
        {"disabled checked",
         [check](QWidget* w) {
           check(true)(w);
           w->setEnabled(false);
         }}}},
      {"combo box",
       {110, 24},
       [](QWidget* p) {
         auto* c = noFocus(new QComboBox(p));
         c->addItem(QStringLiteral("家常菜"));
         return c;
       },
       {{"normal", none}, {"hot", hot}, {"focused", focus}, {"disabled", disable}}},
      {"edit",
       {110, 24},
       [](QWidget* p) { return new QLineEdit(QStringLiteral("红烧肉"), p); },
       {{"normal", none}, {"disabled", disable, false}}},
      {"spin edit",
       {110, 24},
       [](QWidget* p) {
         auto* s = new QSpinBox(p);
         s->setValue(5);
         return s;
       },
       {{"normal", none},
        {"up pressed",
         [](QWidget* w) {
           sendPress(w, {w->width() - 6, 5});
         }},
        {"down pressed",
         [](QWidget* w) {
           sendPress(w, {w->width() - 6, w->height() - 5});
         }},
        {"disabled", disable}}},
      {"scroll bar",
       {110, 17},
       [](QWidget* p) {
         auto* s = new QScrollBar(Qt::Horizontal, p);
         s->setRange(0, 100);
         s->setPageStep(20);
         s->setValue(30);
         return s;
       },
       {{"normal", none},
        {"left pressed",
         [](QWidget* w) {
           sendPress(w, {5, 8});
         }},
        {"right pressed",
         [](QWidget* w) {
           sendPress(w, {w->width() - 5, 8});
         }},
        {"thumb dragged",
         [](QWidget* w) {
           const int thumb = 17 + 30 * (110 - 34 - 20) / 100 + 5;
           sendPress(w, {thumb, 8});
           sendMove(w, {thumb + 20, 8}, true);
         }}}},
      {"progress",
       {110, 18},
       [](QWidget* p) {
         auto* b = new QProgressBar(p);
         b->setTextVisible(false);
         return b;
       },
       {{"0", [](QWidget* w) { static_cast<QProgressBar*>(w)->setValue(0); }, true},
        {"50", [](QWidget* w) { static_cast<QProgressBar*>(w)->setValue(50); }},
        {"100", [](QWidget* w) { static_cast<QProgressBar*>(w)->setValue(100); }}}},
      {"status bar",
       {220, 22},
       [](QWidget* p) {
         auto* s = new QStatusBar(p);
         auto* a = new QLabel(QStringLiteral("Kelpo 家常菜谱"));
         a->setFrameStyle(QFrame::Panel | QFrame::Sunken);
         s->addWidget(a);
         auto* b = new QLabel(QStringLiteral("联系作者"));
         b->setFrameStyle(QFrame::Panel | QFrame::Raised);
         s->addWidget(b, 1);
         return s;
       },
       {{"panels", none},
        {"message",
         [](QWidget* w) {
           static_cast<QStatusBar*>(w)->showMessage(QStringLiteral("正在保存"));
         }}}},
      {"list view",
       {200, 60},
       [](QWidget* p) {
         auto* t = new QTableWidget(20, 2, p);
         t->setHorizontalHeaderLabels({QStringLiteral("菜谱"), QStringLiteral("类别")});
         return t;
       },
       {{"header and bars", none}}},
      {"tabs",
       {200, 90},
       [](QWidget* p) {
         auto* t = new QTabWidget(p);
         t->addTab(new QWidget, QStringLiteral("做法"));
         t->addTab(new QWidget, QStringLiteral("配料"));
         return t;
       },
       {{"top", none},
        {"bottom",
         [](QWidget* w) { static_cast<QTabWidget*>(w)->setTabPosition(QTabWidget::South); }},
        {"left", [](QWidget* w) { static_cast<QTabWidget*>(w)->setTabPosition(QTabWidget::West); }},
        {"right",
         [](QWidget* w) { static_cast<QTabWidget*>(w)->setTabPosition(QTabWidget::East); }}}},
      {"track bar",
       {110, 26},
       [](QWidget* p) {
         auto* s = new QSlider(Qt::Horizontal, p);
         s->setRange(0, 10);
         s->setValue(3);
         return s;
       },
       {{"normal", none}, {"moved", [](QWidget* w) { static_cast<QSlider*>(w)->setValue(8); }}}},
  };
}

TEST(SkinControlStrip, EveryStateOfEveryKindShowsUnderKelposSkin) {
  ensureApplication();
  const std::vector<Row> table = rows();
  constexpr int kLabel = 90, kGap = 8;
  int width = 0, height = kGap;
  for (const Row& row : table) {
    width = std::max<int>(width,
                          kLabel + static_cast<int>(row.states.size()) * (row.size.width() + kGap));
    height += std::max(row.size.height(), 16) + 18 + kGap;
  }
  QImage strip(width + kGap, height, QImage::Format_RGB32);
  strip.fill(QColor(236, 233, 216));
  QPainter painter(&strip);
  int y = kGap;
  for (const Row& row : table) {
    painter.setPen(Qt::black);
    painter.drawText(QRect(4, y, kLabel, row.size.height()), Qt::AlignVCenter,
                     QString::fromUtf8(row.kind));
    QImage first;
    int x = kLabel;
    for (const State& state : row.states) {
      QWidget window;
      window.resize(row.size + QSize(4, 4));
      window.move(400, 300);  // away from the pointer, which would make the control hot
      TSkinData* data = new TSkinData(&window);
      data->readSkinStream(storedSkinStream());
      data->setSkin3rd(QStringList(data->Skin3rd()) << QStringLiteral("QTabWidget=tab"));
      QWidget* control = row.make(&window);
      control->setGeometry(2, 2, row.size.width(), row.size.height());
      window.show();
      QApplication::setActiveWindow(&window);
      auto set = SkinControlsOf(&window, data);
      state.act(control);
      QCoreApplication::processEvents();
      const QImage image = control->grab().toImage();
      if (first.isNull())
        first = image;
      else if (state.looksDifferent)
        EXPECT_NE(image, first) << row.kind << ": " << state.name;
      painter.drawImage(x, y, image);
      painter.drawText(QRect(x, y + row.size.height() + 1, row.size.width(), 16), Qt::AlignCenter,
                       QString::fromUtf8(state.name));
      x += row.size.width() + kGap;
    }
    y += std::max(row.size.height(), 16) + 18 + kGap;
  }
  painter.end();
  if (const QByteArray dir = qgetenv("KELPO_SHOTS_DIR"); !dir.isEmpty())
    strip.save(QString::fromLocal8Bit(dir) + "/skin-controls-strip.png");
}

}  // namespace
}  // namespace kelpo::skin
