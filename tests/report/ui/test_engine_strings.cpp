// The engine string table: texts come back by number as engine text, unknown numbers are empty.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "report/expr/engine_strings.h"

namespace kelpo::report {
namespace {

TEST(EngineStrings, KnownNumbersGiveTheirEngineText) {
  EXPECT_EQ(frLoadStr(55007), utf8ToEngine("虚拟打印机"));
  EXPECT_EQ(frLoadStr(55000), utf8ToEngine("确认"));
  EXPECT_EQ(frLocale().LoadStr(55001), utf8ToEngine("取消"));
  EXPECT_EQ(toQString(frLoadStr(55206)), QStringLiteral("错误"));
}

TEST(EngineStrings, UnknownNumbersAreEmpty) {
  EXPECT_EQ(frLoadStr(0), "");
  EXPECT_EQ(frLoadStr(-1), "");
  EXPECT_EQ(frLoadStr(52999), "");
}

}  // namespace
}  // namespace kelpo::report
