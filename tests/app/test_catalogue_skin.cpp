// The catalogue window carries the skin data component with the stored skin.
#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "resources/skin/stored_skin.h"
#include "skin/skin_data.h"
#include "skin/skin_manager.h"
#include "tests/app/catalogue_fixture.h"

namespace kelpo {
namespace {

using namespace catalogue_testing;

TEST_F(CatalogueTest, CatalogueWindowCarriesSkinData1WithTheStoredSkin) {
  writeCatalogue({});
  MessageCapture messages;
  TFrmMain window;
  auto* skinData =
      window.findChild<skin::TSkinData*>(QStringLiteral("SkinData1"), Qt::FindDirectChildrenOnly);
  ASSERT_NE(skinData, nullptr);
  EXPECT_TRUE(skinData->loaded()) << skinData->lastError();
  EXPECT_TRUE(skinData->Active());
  EXPECT_EQ(skinData->DisableTag(), 99);
  EXPECT_EQ(skinData->SkinFormtype(), skin::TSkinFormType::sfMainform);
  EXPECT_FALSE(skinData->SkinControls().has(skin::xcSystemMenu));
  EXPECT_FALSE(skinData->SkinControls().has(skin::xcReportWindows));
  EXPECT_TRUE(skinData->SkinControls().has(skin::xcMainMenu));
  EXPECT_EQ(skinData->writeSkinStream(), storedSkinStream());
  ASSERT_NE(skin::TSkinManage::instance(), nullptr);
  EXPECT_TRUE(skin::TSkinManage::instance()->hookInstalled());
  EXPECT_TRUE(messages.records.empty());
}

}  // namespace
}  // namespace kelpo
