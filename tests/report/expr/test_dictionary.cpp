// The data dictionary: field references resolved through the owner form and the field cache,
// aliases, dictionary variables, and the three forms of the dictionary block.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/text.h"
#include "report/expr/datasets.h"
#include "report/expr/dictionary.h"
#include "report/expr/parser.h"
#include "tests/report/expr/support_data.h"

namespace kelpo::report {
namespace {

using testing::DataFixture;
using testing::E;

class Dictionary : public ::testing::Test {
 protected:
  Value resolve(const std::string& name) {
    Value v;
    ResolveVariable(name, v);
    return v;
  }
  DataFixture data;
};

TEST_F(Dictionary, FieldReferenceResolvesOnceThenComesFromTheCache) {
  const std::string name = E("ADOQuery3.\"菜谱\"");
  EXPECT_EQ(resolve(name), Value(E("麻婆豆腐\r\n微辣")));
  ASSERT_EQ(data.dictionary.CacheSize(), 1u);
  data.query->next();
  EXPECT_EQ(resolve(name), Value(E("回锅肉")));  // the cursor's current record

  // Renaming the component proves the second lookup is not done by name again.
  data.query->setObjectName(QStringLiteral("Renamed"));
  EXPECT_EQ(resolve(name), Value(E("回锅肉")));
  data.dictionary.ClearCache();
  EXPECT_THROW(resolve(name), EParserError);

  // A cached query that goes away is looked up afresh instead of being read.
  data.query->setObjectName(QStringLiteral("ADOQuery3"));
  EXPECT_EQ(resolve(name), Value(E("回锅肉")));
  delete data.query;
  data.query = nullptr;
  EXPECT_THROW(resolve(name), EParserError);
}

TEST_F(Dictionary, NamesWithoutDatasetUseTheDefaultDataset) {
  EXPECT_THROW(resolve(E("菜谱")), EParserError);
  TfrDBDataSet reportSet;
  reportSet.SetDataSet(data.query);
  data.report.dataset = &reportSet;
  EXPECT_EQ(resolve(E("菜谱")), Value(E("麻婆豆腐\r\n微辣")));
  // Inside an expression the bare name reaches the dictionary through the parser.
  EXPECT_EQ(frParser().Evaluate(E("序号 * 2")), Value(2.0));
}

TEST_F(Dictionary, AliasesAndVariablesLeadToFields) {
  data.dictionary.AliasList.SetVariable("ADOQuery3", Value(E("菜单")));
  data.dictionary.AliasList.SetVariable(E("ADOQuery3.\"菜谱\""), Value(E("名称")));
  EXPECT_EQ(data.dictionary.UnaliasDataset(E("菜单")), "ADOQuery3");
  EXPECT_EQ(data.dictionary.UnaliasField("ADOQuery3", E("名称")), E("菜谱"));
  EXPECT_EQ(data.dictionary.UnaliasField("Other", E("名称")), E("名称"));
  EXPECT_EQ(resolve(E("菜单.名称")), Value(E("麻婆豆腐\r\n微辣")));
  EXPECT_EQ(resolve(E("菜单.\"序号\"")), Value(1));

  data.dictionary.VariableList.SetVariable("Dish", Value(E("ADOQuery3.\"菜谱\"")));
  data.query->last();
  EXPECT_EQ(resolve("Dish"), Value(E("白切鸡")));
  EXPECT_NE(data.dictionary.CachedField("DISH"), nullptr);
}

TEST(DictionaryNames, SplitDatasetField) {
  struct Case {
    const char* name;
    const char* dataset;
    const char* field;
  } cases[] = {
      {"ADOQuery3.\"菜谱\"", "ADOQuery3", "菜谱"},
      {"ADOQuery3.Name", "ADOQuery3", "Name"},
      {"ADOQuery3.\"a.b\"", "ADOQuery3", "a.b"},
      {"Form1.ADOQuery3.\"x\"", "Form1.ADOQuery3", "x"},
      {"\"a.b\"", "", ""},
      {"NoDot", "", ""},
  };
  for (const Case& c : cases) {
    const auto [dataset, field] = TfrDataDictionary::SplitDatasetField(E(c.name));
    EXPECT_EQ(dataset, E(c.dataset)) << c.name;
    EXPECT_EQ(field, E(c.field)) << c.name;
  }
}

// Little-endian block builders for the stored forms.
struct Block {
  std::string bytes;
  Block& i16(std::int16_t v) {
    bytes.push_back(static_cast<char>(v & 0xFF));
    bytes.push_back(static_cast<char>((v >> 8) & 0xFF));
    return *this;
  }
  Block& i32(std::int32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return *this;
  }
  Block& u8(int v) {
    bytes.push_back(static_cast<char>(v));
    return *this;
  }
  Block& counted(const std::string& s) {
    i16(static_cast<std::int16_t>(s.size()));
    bytes += s;
    return u8(0);
  }
  Block& shortText(const std::string& s) {
    u8(static_cast<int>(s.size()));
    bytes += s;
    return *this;
  }
};

TEST(DictionaryStream, CurrentFormRoundTripsAndEmptyBlock) {
  TfrDataDictionary d;
  EXPECT_EQ(d.LoadFromStream(Block().i16(-2).i32(0).i32(0).i32(0).bytes, 25), 14u);
  EXPECT_EQ(d.VariableList.Count() + d.AliasList.Count() + d.BandSourceList.Count(), 0);

  d.VariableList.SetVariable(" Fields", Value(std::string()));
  d.VariableList.SetVariable("Total", Value(E("[价格] * 2")));
  d.AliasList.SetVariable("ADOQuery3", Value(7));  // stored as its text form
  std::string out;
  d.SaveToStream(out);
  const std::string expected = Block()
                                   .i16(-2)
                                   .i32(2)
                                   .counted(" Fields")
                                   .counted("")
                                   .counted("Total")
                                   .counted(E("[价格] * 2"))
                                   .i32(1)
                                   .counted("ADOQuery3")
                                   .counted("7")
                                   .i32(0)
                                   .bytes;
  EXPECT_EQ(out, expected);
  TfrDataDictionary back;
  EXPECT_EQ(back.LoadFromStream(out + "tail", 25), out.size());
  EXPECT_EQ(back.VariableList.GetNameAt(1), "Total");
  EXPECT_EQ(back.AliasList.GetVariable("ADOQuery3"), Value("7"));
}

TEST(DictionaryStream, OldNamingConventionIsConverted) {
  TfrDataDictionary d;
  d.LoadFromStream(Block()
                       .i16(-2)
                       .i32(2)
                       .counted("Fields")
                       .counted("")
                       .counted(" Name")
                       .counted("ADOQuery3.\"x\"")
                       .i32(0)
                       .i32(0)
                       .bytes,
                   25);
  EXPECT_EQ(d.VariableList.GetNameAt(0), " Fields");
  EXPECT_EQ(d.VariableList.GetNameAt(1), "Name");
  EXPECT_EQ(d.VariableList.GetVariable("Name"), Value("ADOQuery3.\"x\""));
}

// A closed query is opened when its fields are needed, for names and for stored aliases alike.
TEST_F(Dictionary, FieldsOfAClosedQueryResolve) {
  data.query->close();
  EXPECT_EQ(resolve(E("ADOQuery3.\"菜谱\"")), Value(E("麻婆豆腐\r\n微辣")));
  EXPECT_TRUE(data.query->isActive());

  data.query->close();
  data.dictionary.LoadFromStream(Block()
                                     .i16(-1)
                                     .i32(0)
                                     .i32(1)
                                     .counted(E("ADOQuery3.\"菜谱\""))
                                     .counted("")
                                     .i32(0)
                                     .bytes,
                                 24);
  ASSERT_EQ(data.dictionary.AliasList.Count(), 1);
  EXPECT_EQ(data.dictionary.AliasList.GetNameAt(0), E("ADOQuery3.\"菜谱\""));
}

TEST_F(Dictionary, PreviousFormDropsStaleAliasesAndEmptyBandSources) {
  data.dictionary.LoadFromStream(Block()
                                     .i16(-1)
                                     .i32(0)
                                     .i32(3)
                                     .counted(E("ADOQuery3.\"菜谱\""))  // resolves: kept
                                     .counted("")
                                     .counted("ADOQuery3.\"gone\"")  // no longer a field
                                     .counted("")
                                     .counted("Old.\"gone\"")  // has an alias: kept
                                     .counted("Alias")
                                     .i32(2)
                                     .counted("MasterData1")
                                     .counted("")
                                     .counted("MasterData2")
                                     .counted("frDBDataSet1")
                                     .bytes,
                                 24);
  ASSERT_EQ(data.dictionary.AliasList.Count(), 2);
  EXPECT_EQ(data.dictionary.AliasList.GetNameAt(0), E("ADOQuery3.\"菜谱\""));
  EXPECT_EQ(data.dictionary.AliasList.GetNameAt(1), "Old.\"gone\"");
  ASSERT_EQ(data.dictionary.BandSourceList.Count(), 1);
  EXPECT_EQ(data.dictionary.BandSourceList.GetNameAt(0), "MasterData2");
}

TEST(DictionaryStream, OldestFormBuildsVariablesFromRecords) {
  for (int version : {21, 23}) {
    Block b;
    b.i32(3);
    b.u8(1).i32(0).shortText("ADOQuery3").shortText("Price").shortText("Cost");
    b.u8(2).i32(0).shortText("").shortText("").shortText("Page");
    b.u8(2).i32(1).shortText("").shortText("Hello").shortText("Greeting");
    const std::vector<std::string> names = {"Prices", " Cost", " Page", " Greeting", " Unknown"};
    if (version >= 23) {
      b.i16(static_cast<std::int16_t>(names.size()));
      for (std::size_t i = 0; i < names.size(); ++i) {
        b.i16(static_cast<std::int16_t>(names[i].size()));
        b.bytes += names[i];
        b.u8(i + 1 < names.size() ? 13 : 0);
      }
    } else {
      for (std::size_t i = 0; i < names.size(); ++i)
        b.bytes += names[i] + (i + 1 < names.size() ? "\r" : "");
      b.u8(0);
    }
    TfrDataDictionary d;
    EXPECT_EQ(d.LoadFromStream(b.bytes, version), b.bytes.size());
    const TfrVariables& v = d.VariableList;
    ASSERT_EQ(v.Count(), 5) << version;
    // Converted from the old convention: categories get a space, variables lose theirs.
    EXPECT_EQ(v.GetNameAt(0), " Prices");
    EXPECT_EQ(v.GetVariable("Cost"), Value("ADOQuery3.\"Price\""));
    EXPECT_EQ(v.GetVariable("Page"), Value("PAGE#"));
    EXPECT_EQ(v.GetVariable("Greeting"), Value("Hello"));
    EXPECT_EQ(v.GetVariable("Unknown"), Value(std::string()));
  }
}

TEST(DictionaryStream, LongTextsAreCutAtACharacterBoundary) {
  // A two-byte character across the 65535-byte limit of the length field goes whole.
  const std::string text = std::string(65534, 'a') + E("汤");
  ASSERT_EQ(text.size(), 65536u);
  TfrDataDictionary d;
  d.VariableList.SetVariable("Long", Value(text));
  std::string out;
  d.SaveToStream(out);
  TfrDataDictionary back;
  EXPECT_EQ(back.LoadFromStream(out, 25), out.size());
  EXPECT_EQ(back.VariableList.GetValueAt(0).toText(), std::string(65534, 'a'));
}

TEST(DictionaryStream, DamagedBlocksFailCleanly) {
  TfrDataDictionary d;
  EXPECT_THROW(d.LoadFromStream(Block().i16(-2).i32(1).counted("a").bytes, 25), EDictionaryError);
  EXPECT_THROW(d.LoadFromStream(Block().i16(-2).i32(-5).bytes, 25), EDictionaryError);
  EXPECT_THROW(d.LoadFromStream(Block().i16(-2).i32(2000000000).bytes, 25), EDictionaryError);
  EXPECT_THROW(d.LoadFromStream(std::string("\xFE", 1), 25), EDictionaryError);
}

}  // namespace
}  // namespace kelpo::report
