// The skin data component: values at creation, loading (good, older, damaged), the deferred
// commands with their timer, and which windows are skinned with which component.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QWidget>

#include "platform/message_box.h"
#include "resources/skin/stored_skin.h"
#include "skin/bytes.h"
#include "skin/skin_data.h"
#include "skin/skin_manager.h"
#include "skin/skin_stream.h"
#include "tests/skin/support_skin.h"
#include "tools/skin_pack/lzh_encoder.h"

namespace kelpo::skin {

// A form of the report engine, recognised by its class name.
class TfrPreviewForm : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
};

namespace {

class SkinDataTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
  }
  void SetUp() override {
    setMessageHook([this](const MessageRecord& r) {
      messages.push_back(r.text);
      return QMessageBox::Ok;
    });
  }
  void TearDown() override {
    setMessageHook({});
    TSkinManage::destroyInstance();
  }
  std::vector<QString> messages;
};

std::string olderSkinStream() {
  std::string package;
  appendLe32(package, 19999);
  package += std::string(12, '\0');
  return writeSkinStream(tools::packSkin(package));
}

TEST_F(SkinDataTest, ValuesAtCreation) {
  TSkinData data;
  EXPECT_FALSE(data.Active());
  EXPECT_EQ(data.DisableTag(), 99);
  for (int m = 0; m < kSkinControlTypes; ++m)
    EXPECT_EQ(data.SkinControls().has(static_cast<TSkinControlType>(m)), m != xcReportWindows) << m;
  const QStringList& lines = data.Skin3rd();
  ASSERT_EQ(lines.size(), 95);
  EXPECT_EQ(lines.front(), "TTBDock=Panel");
  EXPECT_EQ(lines[44], "TLMDEDIT=Edit");
  EXPECT_EQ(lines.back(), "TOVCDBNUMERICFIELD=Edit");
  EXPECT_EQ(lines.count("TDBCheckboxEh=Checkbox"), 2);
  EXPECT_EQ(lines.count("TWWDBCombobox=Combobox"), 2);
  EXPECT_TRUE(data.SkinFile().isEmpty());
  EXPECT_EQ(data.SkinStore(), "(none)");
  EXPECT_EQ(data.SkinFormtype(), TSkinFormType::sfMainform);
  EXPECT_TRUE(data.MenuUpdate());
  EXPECT_FALSE(data.loaded());
  EXPECT_EQ(data.writeSkinStream(), std::string(4, '\0'));
  // Four 16 x 16 glyphs, one bit per pixel, each with ink and each different.
  const QImage& glyphs = data.menuGlyphs();
  EXPECT_EQ(glyphs.size(), QSize(64, 16));
  EXPECT_EQ(glyphs.depth(), 1);
  for (int i = 0; i < 4; ++i) {
    const QImage g = data.menuGlyph(i);
    EXPECT_NE(g, QImage(16, 16, g.format())) << i;
    for (int j = 0; j < i; ++j) EXPECT_NE(g, data.menuGlyph(j)) << i << j;
  }
}

TEST_F(SkinDataTest, StoredSkinLoadsIntoObjectsAndWritesBackUnchanged) {
  TSkinData data;
  const std::string stored = storedSkinStream();
  data.readSkinStream(stored);
  ASSERT_TRUE(data.loaded()) << data.lastError();
  EXPECT_EQ(data.skinName(), "Kelpo Kitchen");
  EXPECT_EQ(data.buttonFaceBrush().color(), QColor(236, 233, 216));
  EXPECT_EQ(data.writeSkinStream(), stored);
  EXPECT_TRUE(messages.empty());
}

TEST_F(SkinDataTest, OlderSkinShowsTheMessageAndLeavesNoSkinActive) {
  TSkinData data;
  data.setActive(true);
  data.readSkinStream(olderSkinStream());
  data.formDataLoaded();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "This is Older Skin File\rPlease update to new version !");
  EXPECT_FALSE(data.loaded());
  EXPECT_FALSE(data.Active());
  // Later activation does nothing while no skin is loaded.
  TSkinManage::instance()->countActivation();
  data.setActive(true);
  EXPECT_EQ(TSkinManage::instance()->pendingCommand(), SkinCommand::None);
}

TEST_F(SkinDataTest, DamagedStreamsLeaveTheComponentWithoutASkin) {
  std::string forged;
  appendLe32(forged, 0x7FFFFFFF);  // far more than 8 bytes of bits can produce
  forged += std::string(8, '\0');
  const std::string cases[] = {"\x10\0\0\0ab", writeSkinStream(forged),
                               writeSkinStream(tools::packSkin("not a package"))};
  for (const std::string& bytes : cases) {
    TSkinData data;
    data.readSkinStream(bytes);
    EXPECT_FALSE(data.loaded());
    EXPECT_FALSE(data.lastError().empty());
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(SkinDataTest, ActiveBeforeAnyWindowSwitchesAtOnceAfterwardsOnlyTheLastCommandRuns) {
  QWidget form;
  auto* data = new TSkinData(&form);
  data->readSkinStream(storedSkinStream());
  data->formDataLoaded();
  TSkinManage& manager = *TSkinManage::instance();
  EXPECT_TRUE(manager.hookInstalled());

  data->setActive(true);  // no window activated yet: no timer
  EXPECT_TRUE(manager.skinning());
  EXPECT_FALSE(manager.commandTimer().isActive());

  manager.countActivation();
  int changed = 0;
  data->OnSkinChanged = [&](QObject* sender) {
    EXPECT_EQ(sender, data);
    ++changed;
  };
  data->setActive(false);
  data->setActive(true);
  EXPECT_TRUE(manager.commandTimer().isActive());
  EXPECT_EQ(manager.commandTimer().interval(), 250);
  EXPECT_EQ(manager.pendingCommand(), SkinCommand::Activate);
  QElapsedTimer wait;
  wait.start();
  while (changed == 0 && wait.elapsed() < 2000)
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(changed, 1);
  EXPECT_TRUE(manager.skinning());
  EXPECT_EQ(manager.pendingCommand(), SkinCommand::None);
}

TEST_F(SkinDataTest, SkinFileLoadsAnExistingFileAndRemembersAMissingOne) {
  TSkinData data;
  data.formDataLoaded();
  TSkinManage::instance()->countActivation();
  data.setSkinFile("/nonexistent/kelpo.skin");
  EXPECT_EQ(data.SkinFile(), "/nonexistent/kelpo.skin");
  EXPECT_FALSE(data.loaded());
  EXPECT_EQ(TSkinManage::instance()->pendingCommand(), SkinCommand::None);

  QTemporaryDir dir;
  const QString path = dir.filePath("kelpo.skin");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  const std::string packed = readSkinStream(storedSkinStream());  // a skin file has no prefix
  file.write(packed.data(), static_cast<qint64>(packed.size()));
  file.close();
  data.setSkinFile(path);
  EXPECT_TRUE(data.loaded()) << data.lastError();
  EXPECT_EQ(TSkinManage::instance()->pendingCommand(), SkinCommand::SkinChanged);
}

TEST_F(SkinDataTest, ChoosingTheComponentAndDecidingWhichWindowsAreSkinned) {
  QWidget mainForm, ownForm;
  auto* mainData = new TSkinData(&mainForm);
  auto* dialogData = new TSkinData(&mainForm);
  auto* ownData = new TSkinData(&ownForm);
  dialogData->setSkinFormtype(TSkinFormType::sfDialog);
  ownData->setSkinFormtype(TSkinFormType::sfOnlyThisForm);
  for (TSkinData* d : {mainData, dialogData, ownData}) {
    d->readSkinStream(storedSkinStream());
    d->formDataLoaded();
  }
  TSkinManage& manager = *TSkinManage::instance();
  QMessageBox box;
  QWidget plain;
  EXPECT_EQ(manager.chooseSkinData(&box), dialogData);
  EXPECT_EQ(manager.chooseSkinData(&plain), mainData);
  EXPECT_EQ(manager.chooseSkinData(&ownForm), ownData);

  manager.setSkinning(true);
  plain.resize(100, 80);
  EXPECT_TRUE(manager.acceptsWindow(&plain));
  QWidget child(&plain);
  child.resize(10, 10);
  EXPECT_FALSE(manager.acceptsWindow(&child));  // child windows are not skinned
  QWidget empty;
  empty.resize(0, 0);
  EXPECT_FALSE(manager.acceptsWindow(&empty));  // no size
  QWidget tagged;
  tagged.resize(100, 80);
  tagged.setProperty("Tag", 99);
  EXPECT_FALSE(manager.acceptsWindow(&tagged));

  TfrPreviewForm preview;
  preview.resize(100, 80);
  EXPECT_TRUE(manager.acceptsWindow(&preview));
  mainData->setSkinControls(mainData->SkinControls().with(xcReportWindows));
  EXPECT_FALSE(manager.acceptsWindow(&preview));
  QStringList asked;
  mainData->OnFormSkin = [&](QObject*, const QString& name, bool& doSkin) {
    asked << name;
    doSkin = name != "QWidget";
  };
  EXPECT_TRUE(manager.acceptsWindow(&preview));  // the handler decides instead
  EXPECT_FALSE(manager.acceptsWindow(&plain));
  EXPECT_EQ(asked, QStringList({"TfrPreviewForm", "QWidget"}));

  mainData->OnFormSkin = nullptr;
  EXPECT_TRUE(manager.skinWindow(&box));
  EXPECT_EQ(manager.skinDataOf(&box), dialogData);
  EXPECT_FALSE(manager.skinWindow(&box));  // never twice
  manager.setSkinning(false);
  EXPECT_FALSE(manager.acceptsWindow(&plain));
}

TEST_F(SkinDataTest, OnlyThisFormSkinsItsFormAtOnceAndDeactivatesOnlyIt) {
  QWidget other, own;
  other.resize(200, 100);
  own.resize(200, 100);
  auto* mainData = new TSkinData(&other);
  mainData->readSkinStream(storedSkinStream());
  mainData->formDataLoaded();
  auto* ownData = new TSkinData(&own);
  ownData->setSkinFormtype(TSkinFormType::sfOnlyThisForm);
  ownData->readSkinStream(storedSkinStream());
  ownData->formDataLoaded();
  TSkinManage& manager = *TSkinManage::instance();
  EXPECT_TRUE(manager.skinning());
  EXPECT_EQ(manager.activations(), 1);
  EXPECT_EQ(manager.skinDataOf(&own), ownData);
  ASSERT_TRUE(manager.skinWindow(&other));
  EXPECT_EQ(manager.skinDataOf(&other), mainData);

  ownData->setActive(false);
  EXPECT_EQ(manager.pendingCommand(), SkinCommand::Deactivate);
  manager.runCommand();
  EXPECT_FALSE(manager.isSkinned(&own));
  EXPECT_TRUE(manager.isSkinned(&other));
}

}  // namespace
}  // namespace kelpo::skin

#include "test_skin_data.moc"
