// Repainting the catalogue window and the add window with their controls skinned and without,
// side by side: the whole window drawn offscreen, every control through its event filters.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>

#include "app/add_data.h"
#include "app/frm_main.h"
#include "app/kelpo_application.h"
#include "platform/database.h"
#include "resources/skin/stored_skin.h"
#include "skin/skin_control.h"
#include "skin/skin_data.h"

namespace {

kelpo::KelpoApplication& application() {
  static int argc = 1;
  static char name[] = "bench_skin_controls";
  static char* argv[] = {name, nullptr};
  static kelpo::KelpoApplication app(argc, argv);
  return app;
}

// A small catalogue in a folder that becomes the current one.
class Catalogue {
 public:
  Catalogue() {
    QDir::setCurrent(folder_.path());
    QFile file(QStringLiteral("Kelpo.db"));
    file.open(QIODevice::WriteOnly);
    file.close();
    connection.setConnectionString(QStringLiteral("Data Source=Kelpo.db"));
    connection.open();
    connection.execute(
        QString::fromUtf8("create table 饮食 (类别 text, 菜谱 text, 配料 text, 方法 text, "
                          "图片 text, 提示 text, 特点 text)"));
    const QString insert = QString::fromUtf8(
        "insert into 饮食 (类别, 菜谱, 配料, 方法, 图片, 提示) values (?,?,?,?,?,?)");
    for (int i = 0; i < 40; ++i)
      connection.execute(insert, {QString::fromUtf8("菜系%1").arg(i % 5),
                                  QString::fromUtf8("家常菜%1").arg(i), QString::fromUtf8("猪肉"),
                                  QString::fromUtf8("切片，下锅。\r\n").repeated(30), QString(),
                                  QString::fromUtf8("火候要足")});
  }
  QString folder() const { return folder_.path() + QLatin1Char('/'); }
  kelpo::Connection connection;

 private:
  QTemporaryDir folder_;
};

Catalogue& catalogue() {
  static Catalogue c;
  return c;
}

void repaint(benchmark::State& state, QWidget& window) {
  window.show();
  QCoreApplication::processEvents();
  kelpo::skin::TSkinData data;
  data.readSkinStream(kelpo::storedSkinStream());
  std::unique_ptr<QObject> skinned;
  if (state.range(0)) skinned = kelpo::skin::SkinControlsOf(&window, &data);
  for (auto _ : state) benchmark::DoNotOptimize(window.grab());
  state.SetLabel(state.range(0) ? "skinned" : "unskinned");
}

void BM_RepaintCatalogueWindow(benchmark::State& state) {
  application();
  catalogue();
  kelpo::TFrmMain window;
  window.setProgramFolder(catalogue().folder());
  window.findChild<QTreeWidget*>(QStringLiteral("TreeView1"))->expandAll();
  repaint(state, window);
}
BENCHMARK(BM_RepaintCatalogueWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RepaintAddWindow(benchmark::State& state) {
  application();
  kelpo::TAddData window(&catalogue().connection, catalogue().folder());
  repaint(state, window);
}
BENCHMARK(BM_RepaintAddWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
