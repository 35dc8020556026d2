// Report datasets over a real SQLite catalogue: record ranges and their end rules, the lookups
// of components, datasets and fields by name, field values with nulls, default datasets of
// bands and band dataset names.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QWidget>
#include <vector>

#include "platform/text.h"
#include "report/expr/datasets.h"
#include "tests/report/expr/support_data.h"

namespace kelpo::report {
namespace {

using testing::DataFixture;
using testing::E;

class Datasets : public ::testing::Test {
 protected:
  // Runs the band engine's loop over a dataset and returns the 序号 of every record printed.
  std::vector<int> walk(TfrDataset& dataset) {
    std::vector<int> seen;
    dataset.OpenRange();
    dataset.First();
    while (!dataset.Eof() && seen.size() < 20) {
      seen.push_back(data.query->value(QString::fromUtf8("序号")).toInt());
      dataset.Next();
    }
    dataset.CloseRange();
    return seen;
  }

  DataFixture data;
};

TEST_F(Datasets, RangesOfADatabaseDataset) {
  struct Case {
    TRangeBegin begin;
    TRangeEnd end;
    int countLimit;
    std::vector<int> printed;
    int after;  // 序号 the query stands on afterwards
  } cases[] = {
      {TRangeBegin::rbFirst, TRangeEnd::reLast, 0, {1, 2, 3}, -1},  // past the end
      {TRangeBegin::rbCurrent, TRangeEnd::reCurrent, 0, {2}, 2},
      {TRangeBegin::rbCurrent, TRangeEnd::reLast, 0, {2, 3}, 2},
      {TRangeBegin::rbFirst, TRangeEnd::reCurrent, 0, {1, 2}, 2},
      {TRangeBegin::rbFirst, TRangeEnd::reCount, 2, {1, 2}, 3},
      {TRangeBegin::rbFirst, TRangeEnd::reCount, 0, {}, 1},
  };
  for (const Case& c : cases) {
    data.query->first();
    data.query->next();  // the report starts on record 2
    TfrDBDataSet ds;
    ds.SetDataSet(data.query);
    ds.RangeBegin = c.begin;
    ds.RangeEnd = c.end;
    ds.RangeEndCount = c.countLimit;
    EXPECT_EQ(walk(ds), c.printed) << static_cast<int>(c.begin) << "/" << static_cast<int>(c.end);
    if (c.after < 0)
      EXPECT_TRUE(data.query->eof());
    else
      EXPECT_EQ(data.query->value(QString::fromUtf8("序号")).toInt(), c.after);
  }
}

TEST_F(Datasets, EventsAndCountsOfAUserDataset) {
  TfrUserDataset ds;
  std::vector<std::string> calls;
  ds.OnFirst = [&](TfrDataset*) { calls.push_back("first"); };
  ds.OnNext = [&](TfrDataset* d) { calls.push_back("next" + std::to_string(d->RecNo())); };
  ds.RangeEnd = TRangeEnd::reCount;
  ds.RangeEndCount = 2;
  int printed = 0;
  ds.First();
  while (!ds.Eof()) {
    ++printed;
    ds.Next();
  }
  EXPECT_EQ(printed, 2);
  // The move that reaches the count fires no OnNext.
  EXPECT_EQ(calls, (std::vector<std::string>{"first", "next1"}));

  // Without a count the event alone decides the end.
  TfrUserDataset byEvent;
  byEvent.OnCheckEOF = [](TfrDataset* d, bool& eof) { eof = d->RecNo() >= 3; };
  printed = 0;
  for (byEvent.First(); !byEvent.Eof(); byEvent.Next()) ++printed;
  EXPECT_EQ(printed, 3);
}

// The bound query is needed only by the steps that use it: an OnOpen handler may bind it, and
// closing a range that remembered nothing just reports the close.
TEST_F(Datasets, OnOpenMayBindTheQuery) {
  TfrDBDataSet ds;
  ds.OpenDataSource = false;
  ds.OnOpen = [&](TfrDataset*) { ds.SetDataSet(data.query); };
  EXPECT_EQ(walk(ds), (std::vector<int>{1, 2, 3}));

  TfrDBDataSet unbound;
  int closes = 0;
  unbound.OnClose = [&](TfrDataset*) { ++closes; };
  unbound.CloseRange();
  EXPECT_EQ(closes, 1);
  // A step that needs the query still says that there is none.
  unbound.CloseDataSource = true;
  EXPECT_THROW(unbound.CloseRange(), EDSError);
}

TEST_F(Datasets, BoundDatasetComesFromExactlyOneReference) {
  TfrDBDataSet ds;
  ds.setObjectName(QStringLiteral("frDBDataSet1"));
  try {
    ds.OpenRange();
    FAIL() << "no dataset raised nothing";
  } catch (const EDSError& e) {
    EXPECT_STREQ(e.what(), "Unable to open dataset frDBDataSet1");
  }
  DataSource source;
  Query* other = data.addQuery("ADOQuery1", "select 菜谱 from 饮食");
  source.setDataSet(other);
  ds.SetDataSet(data.query);
  ds.SetDataSource(&source);
  EXPECT_EQ(ds.DataSet(), nullptr);
  EXPECT_EQ(ds.BoundDataSet(), other);
  ds.SetDataSet(data.query);
  EXPECT_EQ(ds.GetDataSource(), nullptr);
  EXPECT_EQ(ds.BoundDataSet(), data.query);
  // A destroyed query drops out of the reference instead of dangling.
  auto temporary = std::make_unique<Query>();
  ds.SetDataSet(temporary.get());
  temporary.reset();
  EXPECT_THROW(ds.BoundDataSet(), EDSError);
}

TEST_F(Datasets, ComponentLookupByQualifiedNames) {
  int argc = 1;
  char name[] = "test";
  char* argv[] = {name};
  QApplication app(argc, argv);
  QWidget mainForm;
  mainForm.setObjectName(QStringLiteral("FrmMain"));
  auto* frame = new QObject(&mainForm);
  frame->setObjectName(QStringLiteral("Frame1"));
  auto* inFrame = new QObject(frame);
  inFrame->setObjectName(QStringLiteral("ADOQuery7"));
  auto* onForm = new QObject(&mainForm);
  onForm->setObjectName(QStringLiteral("ADOQuery3"));

  EXPECT_EQ(FindComponentByName(&data.form, "adoquery3"), data.query);
  EXPECT_EQ(FindComponentByName(nullptr, "FrmMain.ADOQuery3"), onForm);
  EXPECT_EQ(FindComponentByName(nullptr, "frmmain.Frame1.ADOQuery7"), inFrame);
  EXPECT_EQ(FindComponentByName(&data.form, "Nothing"), nullptr);
  EXPECT_EQ(FindComponentByName(&data.form, "NoForm.ADOQuery3"), nullptr);
  EXPECT_EQ(FindComponentByName(&data.form, "FrmMain.NoFrame.ADOQuery7"), nullptr);
  try {
    FindComponentByName(nullptr, "ADOQuery3");
    FAIL() << "a lookup without owner raised nothing";
  } catch (const EClassNotFound& e) {
    EXPECT_STREQ(e.what(), "Missing ADOQuery3");
  }
}

TEST_F(Datasets, FieldReferences) {
  struct Case {
    const char* reference;
    Query* start;
    const char* field;  // expected field name, "" for none
    bool foundQuery;    // the dataset out-parameter is ADOQuery3
  } cases[] = {
      {"ADOQuery3.\"菜谱\"", nullptr, "菜谱", true},
      {"ADOQuery3.菜谱", nullptr, "菜谱", true},
      {"ADOQuery3.\"a.b\"", nullptr, "a.b", true},
      {"adoquery3.\"A.B\"", nullptr, "A.B", true},  // names ignore case
      {"ADOQuery3.\"没有\"", nullptr, "", true},    // not in the field list
      {"\"菜谱\"", data.query, "菜谱", true},       // no dot: the dataset passed in
      {"菜谱", nullptr, "", false},                 // no dot and no dataset
      {"ADOQuery3.", nullptr, "", false},           // a missing piece
      {"A.B.C.D.E", nullptr, "", false},            // more than three dots
      {"Nothing.\"菜谱\"", nullptr, "", false},
  };
  for (const Case& c : cases) {
    Query* dataset = c.start;
    EXPECT_EQ(FindDatasetAndField(&data.form, E(c.reference), dataset), E(c.field)) << c.reference;
    EXPECT_EQ(dataset == data.query, c.foundQuery) << c.reference;
  }
}

TEST_F(Datasets, StripQuotesNeedsMoreThanTheQuotes) {
  EXPECT_EQ(StripQuotes("\"ab\""), "ab");
  EXPECT_EQ(StripQuotes("\"a\""), "a");
  EXPECT_EQ(StripQuotes("\"\""), "\"\"");
  EXPECT_EQ(StripQuotes("\"ab"), "\"ab");
  EXPECT_EQ(FieldNameIfPresent(nullptr, "x"), "");
}

TEST_F(Datasets, FieldValuesFollowTheDeclaredKindAndNeverAreNull) {
  struct Case {
    const char* field;
    Value row1, row2;  // row 2 holds nulls
  } cases[] = {
      {"菜谱", Value(E("麻婆豆腐\r\n微辣")), Value(E("回锅肉"))},
      {"价格", Value(12.5), Value(0)},
      {"已售", Value(true), Value(false)},
      {"数量", Value::smallInt(3), Value(0)},
      {"金额", Value::currency(72500), Value(0)},
      {"序号", Value(1), Value(2)},
      {"图片", Value(std::string("\x89PNG\0bytes", 10)), Value(0)},
      {"a.b", Value("dotted"), Value(std::string())},
  };
  data.query->first();
  for (const Case& c : cases)
    EXPECT_EQ(ReadFieldValue(data.query, QString::fromUtf8(c.field)), c.row1) << c.field;
  data.query->next();
  for (const Case& c : cases)
    EXPECT_EQ(ReadFieldValue(data.query, QString::fromUtf8(c.field)), c.row2) << c.field;

  data.query->first();
  const Value when = ReadFieldValue(data.query, QString::fromUtf8("日期"));
  ASSERT_EQ(when.kind(), Value::Kind::DateTime);
  double expected = 0;
  ASSERT_TRUE(encodeDate(2024, 3, 5, expected));
  EXPECT_DOUBLE_EQ(when.number(), expected + 0.5208333333333334);
  data.query->next();
  EXPECT_EQ(ReadFieldValue(data.query, QString::fromUtf8("日期")), Value(0));

  // A closed query is opened first.
  data.query->close();
  EXPECT_EQ(ReadFieldValue(data.query, QString::fromUtf8("序号")), Value(1));
}

TEST_F(Datasets, DefaultDatasetOfTheBandBeingPrinted) {
  TfrDBDataSet reportSet, masterSet, detailSet;
  Query* detailQuery = data.addQuery("ADOQuery1", "select 菜谱 from 饮食");
  reportSet.SetDataSet(data.query);
  masterSet.SetDataSet(detailQuery);
  detailSet.SetDataSet(detailQuery);
  TfrUserDataset user;
  TfrEngineState& s = frEngine();

  EXPECT_EQ(DefaultDataSet(), nullptr);  // the report has no dataset
  data.report.dataset = &reportSet;
  EXPECT_EQ(DefaultDataSet(), data.query);

  s.masterData = &masterSet;
  s.bandType = TfrBandType::btPageHeader;  // no dataset of its own: the master band's
  EXPECT_EQ(DefaultDataSet(), detailQuery);
  s.dialogPage = true;
  EXPECT_EQ(DefaultDataSet(), data.query);
  s.dialogPage = false;
  s.bandType = TfrBandType::btDetailHeader;  // keeps the report's
  EXPECT_EQ(DefaultDataSet(), data.query);
  s.bandType = TfrBandType::btDetailData;  // the page has no detail band: starting point stays
  EXPECT_EQ(DefaultDataSet(), data.query);
  s.detailData = &user;  // a user dataset has no database dataset
  EXPECT_EQ(DefaultDataSet(), nullptr);
  s.detailData = nullptr;  // a detail band without dataset
  EXPECT_EQ(DefaultDataSet(), nullptr);
  s.bandType.reset();
  EXPECT_EQ(DefaultDataSet(), data.query);
}

TEST_F(Datasets, BandDatasetNames) {
  BandDataset five = OpenBandDataset(&data.form, "5");
  ASSERT_TRUE(five.isVirtual());
  int printed = 0;
  for (five.dataset->First(); !five.dataset->Eof(); five.dataset->Next()) ++printed;
  EXPECT_EQ(printed, 5);

  EXPECT_THROW(OpenBandDataset(&data.form, "12a"), EConvertError);
  // 0 is a component name, not a count.
  EXPECT_EQ(OpenBandDataset(&data.form, "0").dataset, nullptr);
  auto* zero = new TfrDBDataSet(&data.form);
  zero->setObjectName(QStringLiteral("0"));
  zero->SetDataSet(data.query);
  zero->RangeBegin = TRangeBegin::rbCurrent;
  data.query->last();
  BandDataset named = OpenBandDataset(&data.form, "0");
  EXPECT_EQ(named.dataset, zero);
  EXPECT_FALSE(named.isVirtual());
  named.dataset->First();  // the range was opened: the current record was remembered
  EXPECT_EQ(data.query->value(QString::fromUtf8("序号")).toInt(), 3);
  EXPECT_THROW(OpenBandDataset(&data.form, "ADOQuery3"), EInvalidCast);
}

TEST_F(Datasets, BlobFields) {
  EXPECT_TRUE(IsBlobField(data.query, QString::fromUtf8("图片")));
  EXPECT_FALSE(IsBlobField(data.query, QString::fromUtf8("菜谱")));
  QBuffer stream;
  stream.open(QIODevice::ReadWrite);
  AssignBlobTo(data.query, QString::fromUtf8("图片"), stream);
  EXPECT_EQ(stream.pos(), 0);
  EXPECT_EQ(stream.readAll(), QByteArray("\x89PNG\0bytes", 10));
  QByteArray picture;
  AssignBlobTo(data.query, QString::fromUtf8("图片"), [&](const QByteArray& b) { picture = b; });
  EXPECT_EQ(picture.size(), 10);
}

}  // namespace
}  // namespace kelpo::report
