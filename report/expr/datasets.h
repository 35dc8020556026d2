// Report datasets: the record ranges the band engine walks, and the lookups that reach
// components, datasets and fields by the names written in report templates.
#pragma once

#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/database.h"
#include "platform/error.h"
#include "report/expr/value.h"

namespace kelpo::report {

// A report dataset has nothing to walk (neither a dataset nor a data source with one).
class EDSError : public Error {
 public:
  using Error::Error;
};

// A component named by a (possibly qualified) name could not be looked up.
class EClassNotFound : public Error {
 public:
  using Error::Error;
};

// A component was found but is not of the kind the caller needs.
class EInvalidCast : public Error {
 public:
  EInvalidCast() : Error("Invalid class typecast") {}
};

// The stand-in for a platform data source: a component that only points at a dataset, so
// several consumers can be switched to another query at once.
class DataSource : public QObject {
  Q_OBJECT
 public:
  explicit DataSource(QObject* owner = nullptr) : QObject(owner) {}
  Query* dataSet() const { return dataSet_; }
  void setDataSet(Query* query) { dataSet_ = query; }

 private:
  QPointer<Query> dataSet_;
};

enum class TRangeBegin { rbFirst, rbCurrent };
enum class TRangeEnd { reLast, reCurrent, reCount };

// The abstract record range: a counter moved by First/Next/Prior, events after each move, and
// an end decision that a count or the OnCheckEOF event may make.
class TfrDataset : public QObject {
  Q_OBJECT
 public:
  explicit TfrDataset(QObject* owner = nullptr) : QObject(owner) {}

  TRangeBegin RangeBegin = TRangeBegin::rbFirst;
  TRangeEnd RangeEnd = TRangeEnd::reLast;
  int RangeEndCount = 0;

  std::function<void(TfrDataset* sender, bool& eof)> OnCheckEOF;
  std::function<void(TfrDataset* sender)> OnFirst;
  std::function<void(TfrDataset* sender)> OnNext;
  std::function<void(TfrDataset* sender)> OnPrior;

  virtual void OpenRange() {}
  virtual void CloseRange() {}
  virtual void First();
  virtual void Next();
  virtual void Prior();
  virtual bool Eof();

  // Records moved over since First (0 right after it).
  int RecNo() const { return recNo_; }

 protected:
  int recNo_ = 0;
};

// Driven by its events alone, or by a plain record count (RangeEnd = reCount).
class TfrUserDataset : public TfrDataset {
  Q_OBJECT
 public:
  using TfrDataset::TfrDataset;
};

// Walks a database query, directly or through a data source.
class TfrDBDataSet : public TfrDataset {
  Q_OBJECT
 public:
  using TfrDataset::TfrDataset;

  // At most one of the two references is set: setting one clears the other. A referenced
  // component that is destroyed drops out of the reference.
  Query* DataSet() const { return dataSet_; }
  void SetDataSet(Query* query);
  DataSource* GetDataSource() const { return dataSource_; }
  void SetDataSource(DataSource* source);

  bool OpenDataSource = true;
  bool CloseDataSource = false;
  std::function<void(TfrDataset* sender)> OnOpen;
  std::function<void(TfrDataset* sender)> OnClose;

  // The query walked; EDSError "Unable to open dataset <name>" when there is none.
  Query* BoundDataSet() const;

  void OpenRange() override;
  void CloseRange() override;
  void First() override;
  void Next() override;
  void Prior() override;
  bool Eof() override;

 private:
  QPointer<Query> dataSet_;
  QPointer<DataSource> dataSource_;
  Query::Bookmark remembered_ = -1;
  bool hasRemembered_ = false;
  bool endReached_ = false;
};

// --- lookups by name -----------------------------------------------------------------------

// The component `name` owned by `owner` (no dot), or reached through a top-level form (one
// dot: form.component; two dots: form.frame.component). Not found gives nullptr; a lookup that
// cannot be carried out (no owner) raises EClassNotFound "Missing <name>".
QObject* FindComponentByName(QObject* owner, std::string_view name);

// The top-level form or data module of that name (ignoring case), or nullptr.
QObject* FindGlobalComponent(std::string_view name);

// `name` itself when the dataset has a field of that name (ignoring case), empty otherwise.
std::string FieldNameIfPresent(Query* dataset, std::string_view name);

// A text longer than two characters enclosed in double quotes loses them.
std::string StripQuotes(std::string_view text);

// Resolves a field reference (`field`, `Query.field`, `Query."field"`, `Form.Query.field`,
// `Form.Frame.Query."field"`) to a field name; `dataset` comes in as the default dataset and
// goes out as the dataset found. Empty result when no such field exists. `owner` is the form
// that owns the current report.
std::string FindDatasetAndField(QObject* owner, std::string_view reference, Query*& dataset);

// The current record's value of the field, never Null: a null reads as empty text for string
// fields, false for boolean fields and integer 0 for every other kind. Opens a closed query.
Value ReadFieldValue(Query* dataset, const QString& field);
Value ReadFieldValue(Query* dataset, const QString& field, FieldType type);

// The report dataset a band names: a number 1..9... makes a virtual dataset of that many
// records, owned by the caller (`owned`); any other name is a report dataset component of the
// owner form. The dataset found has its range opened.
struct BandDataset {
  TfrDataset* dataset = nullptr;
  std::unique_ptr<TfrDataset> owned;  // set for a virtual dataset
  bool isVirtual() const { return owned != nullptr; }
};
BandDataset OpenBandDataset(QObject* owner, std::string_view name);

// Blob-type fields are those whose content is loaded into memos and pictures whole.
bool IsBlobField(FieldType type);
bool IsBlobField(Query* dataset, const QString& field);
// Copies a blob field's content into a target that takes the bytes whole (a picture).
void AssignBlobTo(Query* dataset, const QString& field,
                  const std::function<void(const QByteArray&)>& target);
// Saves a blob field's content into a stream and rewinds the stream to its start.
void AssignBlobTo(Query* dataset, const QString& field, QIODevice& stream);

// The platform dataset that unqualified field names refer to: the report's dataset, or the
// dataset of the data band that the band being printed belongs to (engine state). Only a
// TfrDBDataSet has one; anything else gives nullptr.
Query* DefaultDataSet();

}  // namespace kelpo::report
