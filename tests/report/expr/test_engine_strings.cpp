// The engine string table holds the numbered texts exactly, and nothing for numbers without one.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "report/expr/engine_strings.h"

namespace kelpo::report {
namespace {

TEST(EngineStrings, NumberedTexts) {
  struct Case {
    int id;
    const char* text;
  } cases[] = {
      {55000, "确认"},
      {55007, "虚拟打印机"},
      {55077, "报表标题"},
      {55099, "无"},
      {55171, "否;是"},
      {55177, "yyyy''年''mm''月''dd''日''"},
      {55182, "h:nn"},
      {55200, "计算时发生错误"},
      {55201, "报表:"},
      {55204, "进行第一次处理:"},
      {55345, "不支持的FRF格式"},
      {55654, "Enter password for opening report"},
      // No text of its own in this program.
      {53650, ""},
      {55338, ""},
      {55178, ""},
      {99999, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(frLocale().LoadStr(c.id), utf8ToEngine(c.text)) << c.id;
}

}  // namespace
}  // namespace kelpo::report
