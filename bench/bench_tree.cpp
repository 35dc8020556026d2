// Building the catalogue tree over a large catalogue, and the window's memory with it.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <fstream>
#include <memory>
#include <string>

#include "app/frm_main.h"
#include "app/kelpo_application.h"
#include "platform/database.h"

namespace {

constexpr int kRecipes = 10000;
constexpr int kCategories = 50;

kelpo::KelpoApplication& application() {
  static int argc = 1;
  static char name[] = "bench_tree";
  static char* argv[] = {name, nullptr};
  static kelpo::KelpoApplication app(argc, argv);
  return app;
}

// A catalogue of the sample's shape, made once in a folder that becomes the current one.
class LargeCatalogue {
 public:
  LargeCatalogue() {
    QDir::setCurrent(folder_.path());
    QFile file(QStringLiteral("Kelpo.db"));
    file.open(QIODevice::WriteOnly);
    file.close();
    kelpo::Connection db;
    db.setConnectionString(QStringLiteral("Data Source=Kelpo.db"));
    db.open();
    db.execute(
        QString::fromUtf8("create table 饮食 (类别 text, 菜谱 text, 配料 text, 方法 text, "
                          "图片 text, 提示 text, 特点 text)"));
    db.execute(QString::fromUtf8("create index 饮食_类别 on 饮食 (类别)"));
    db.execute(QString::fromUtf8("create index 饮食_菜谱 on 饮食 (菜谱)"));
    db.execute(QStringLiteral("begin"));
    const QString insert = QString::fromUtf8(
        "insert into 饮食 (类别, 菜谱, 配料, 方法, 图片, 提示, 特点) values (?,?,?,?,?,?,?)");
    const QString ingredients = QString::fromUtf8("猪肉 250克\r\n青椒 2个\r\n姜 3片\r\n酱油 1勺");
    const QString method = QString::fromUtf8("1. 猪肉切片，用料酒和淀粉抓匀。\r\n").repeated(8);
    for (int i = 0; i < kRecipes; ++i) {
      const QString category = QString::fromUtf8("菜系%1").arg(i % kCategories);
      db.execute(insert, {category, QString::fromUtf8("家常菜%1").arg(i), ingredients, method,
                          QString::fromUtf8("\\Pictures\\%1\\%2.jpg").arg(category).arg(i),
                          QString::fromUtf8("火候要足"), QString::fromUtf8("香辣")});
    }
    db.execute(QStringLiteral("commit"));
  }

 private:
  QTemporaryDir folder_;
};

void useLargeCatalogue() {
  application();
  static LargeCatalogue catalogue;
}

double residentMegabytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return -1;
}

void BM_BuildTree(benchmark::State& state) {
  useLargeCatalogue();
  kelpo::TFrmMain window;
  const auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
  for (auto _ : state) window.FormCreate();
  int recipes = 0;
  for (int i = 0; i < tree->topLevelItem(0)->childCount(); ++i)
    recipes += tree->topLevelItem(0)->child(i)->childCount();
  state.counters["recipes"] = recipes;
  state.counters["categories"] = tree->topLevelItem(0)->childCount();
}
BENCHMARK(BM_BuildTree)->Unit(benchmark::kMillisecond)->Repetitions(5)->Iterations(10);

// The whole window: connection, the detail query holding every row, the tree, shown once.
void BM_CatalogueWindow(benchmark::State& state) {
  useLargeCatalogue();
  double rss = 0;
  for (auto _ : state) {
    auto window = std::make_unique<kelpo::TFrmMain>();
    window->show();
    QCoreApplication::processEvents();
    rss = residentMegabytes();
  }
  state.counters["rss_MB"] = rss;
}
BENCHMARK(BM_CatalogueWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
