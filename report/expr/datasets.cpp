#include "report/expr/datasets.h"

#include <QApplication>
#include <QDateTime>
#include <QWidget>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "platform/text.h"
#include "report/expr/engine_state.h"

namespace kelpo::report {

// --- TfrDataset ----------------------------------------------------------------------------

void TfrDataset::First() {
  recNo_ = 0;
  if (OnFirst) OnFirst(this);
}

void TfrDataset::Next() {
  ++recNo_;
  if (RangeEnd == TRangeEnd::reCount && recNo_ >= RangeEndCount) return;
  if (OnNext) OnNext(this);
}

void TfrDataset::Prior() {
  --recNo_;
  if (OnPrior) OnPrior(this);
}

bool TfrDataset::Eof() {
  bool eof = RangeEnd == TRangeEnd::reCount && recNo_ >= RangeEndCount;
  if (OnCheckEOF) OnCheckEOF(this, eof);
  return eof;
}

// --- TfrDBDataSet --------------------------------------------------------------------------

void TfrDBDataSet::SetDataSet(Query* query) {
  dataSet_ = query;
  dataSource_ = nullptr;
}

void TfrDBDataSet::SetDataSource(DataSource* source) {
  dataSource_ = source;
  if (source) dataSet_ = nullptr;
}

Query* TfrDBDataSet::BoundDataSet() const {
  if (dataSource_ && dataSource_->dataSet()) return dataSource_->dataSet();
  if (dataSet_) return dataSet_;
  throw EDSError("Unable to open dataset " + fromQString(objectName()));
}

// The bound query is looked up only where a step needs it: OnOpen may be what binds it.
void TfrDBDataSet::OpenRange() {
  if (OpenDataSource) {
    Query* query = BoundDataSet();
    if (!query->isActive()) query->open();
  }
  if (OnOpen) OnOpen(this);
  hasRemembered_ = false;
  if (RangeBegin == TRangeBegin::rbCurrent || RangeEnd == TRangeEnd::reCurrent) {
    remembered_ = BoundDataSet()->bookmark();
    hasRemembered_ = true;
  }
  endReached_ = false;
}

void TfrDBDataSet::CloseRange() {
  if (hasRemembered_) {
    Query* query = BoundDataSet();
    if (query->isActive() && query->bookmarkValid(remembered_)) query->gotoBookmark(remembered_);
    hasRemembered_ = false;
    remembered_ = -1;
  }
  if (OnClose) OnClose(this);
  if (CloseDataSource) BoundDataSet()->close();
}

void TfrDBDataSet::First() {
  Query* query = BoundDataSet();
  if (RangeBegin == TRangeBegin::rbFirst)
    query->first();
  else if (hasRemembered_ && query->bookmarkValid(remembered_))
    query->gotoBookmark(remembered_);
  endReached_ = false;
  TfrDataset::First();
}

void TfrDBDataSet::Next() {
  Query* query = BoundDataSet();
  endReached_ = false;
  if (RangeEnd == TRangeEnd::reCurrent) {
    // The range ends on the remembered record. Standing on it ends the range without moving;
    // short of it (a range begun at the first record) the cursor walks on towards it.
    if (!hasRemembered_ || query->bookmark() == remembered_) {
      endReached_ = true;
      return;
    }
  }
  query->next();
  TfrDataset::Next();
}

void TfrDBDataSet::Prior() {
  BoundDataSet()->prior();
  TfrDataset::Prior();
}

bool TfrDBDataSet::Eof() {
  // Every part is asked, as OnCheckEOF may count on being called.
  const bool base = TfrDataset::Eof();
  return base || BoundDataSet()->eof() || endReached_;
}

// --- lookups -------------------------------------------------------------------------------

namespace {

bool sameComponentName(const QObject* object, const QString& name) {
  return object->objectName().compare(name, Qt::CaseInsensitive) == 0;
}

// A component owned by `owner`: one of its direct children (the owner tree of the forms).
QObject* ownedComponent(QObject* owner, const QString& name) {
  if (name.isEmpty()) return nullptr;
  for (QObject* child : owner->children())
    if (sameComponentName(child, name)) return child;
  return nullptr;
}

QObject* globalComponent(const QString& name) {
  if (name.isEmpty() || !qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (sameComponentName(widget, name)) return widget;
  return nullptr;
}

// At most 255 bytes, never ending inside a character.
std::string limited(std::string_view text) { return std::string(engineCut(text, 255)); }

}  // namespace

QObject* FindGlobalComponent(std::string_view name) { return globalComponent(toQString(name)); }

QObject* FindComponentByName(QObject* owner, std::string_view name) {
  const std::size_t dot = name.find('.');
  if (dot == std::string_view::npos) {
    // Without an owner the name cannot be looked up at all, which differs from "not found".
    if (!owner) throw EClassNotFound("Missing " + std::string(name));
    return ownedComponent(owner, toQString(name));
  }
  QObject* form = globalComponent(toQString(name.substr(0, dot)));
  if (!form) return nullptr;
  std::string_view rest = name.substr(dot + 1);
  const std::size_t second = rest.find('.');
  if (second == std::string_view::npos) return ownedComponent(form, toQString(rest));
  QObject* frame = ownedComponent(form, toQString(rest.substr(0, second)));
  if (!frame) return nullptr;
  return ownedComponent(frame, toQString(rest.substr(second + 1)));
}

std::string FieldNameIfPresent(Query* dataset, std::string_view name) {
  if (!dataset) return {};
  QStringList names;
  try {
    // A closed query knows its fields only once it runs: it is opened, as reading the field
    // would open it anyway.
    if (!dataset->isActive()) dataset->open();
    names = dataset->fieldNames();
  } catch (const std::exception&) {
    names.clear();
  }
  const QString wanted = toQString(name);
  for (const QString& field : names)
    if (field.compare(wanted, Qt::CaseInsensitive) == 0) return std::string(name);
  return {};
}

std::string StripQuotes(std::string_view text) {
  if (text.size() > 2 && text.front() == '"' && text.back() == '"')
    return std::string(text.substr(1, text.size() - 2));
  return std::string(text);
}

std::string FindDatasetAndField(QObject* owner, std::string_view reference, Query*& dataset) {
  // Dots split the reference only up to the first double quote, so a quoted field name may
  // hold dots of its own.
  std::vector<std::string> pieces;
  const std::size_t quote = reference.find('"');
  std::string_view head = reference.substr(0, quote);
  std::size_t start = 0;
  for (;;) {
    const std::size_t dot = head.find('.', start);
    if (dot == std::string_view::npos) break;
    pieces.emplace_back(head.substr(start, dot - start));
    start = dot + 1;
  }
  if (quote == std::string_view::npos)
    pieces.emplace_back(head.substr(start));
  else
    pieces.push_back(std::string(head.substr(start)) + limited(reference.substr(quote)));

  const auto asQuery = [](QObject* component) { return qobject_cast<Query*>(component); };
  for (const std::string& piece : pieces)
    if (piece.empty()) return {};
  switch (pieces.size()) {
    case 1:
      return FieldNameIfPresent(dataset, StripQuotes(pieces[0]));
    case 2:
      dataset = asQuery(FindComponentByName(owner, pieces[0]));
      return FieldNameIfPresent(dataset, StripQuotes(pieces[1]));
    case 3: {
      QObject* form = FindGlobalComponent(pieces[0]);
      if (!form) return {};
      dataset = asQuery(FindComponentByName(form, pieces[1]));
      return FieldNameIfPresent(dataset, StripQuotes(pieces[2]));
    }
    case 4: {
      QObject* form = FindGlobalComponent(pieces[0]);
      if (!form) return {};
      QObject* frame = FindComponentByName(form, pieces[1]);
      if (!frame) return {};
      dataset = asQuery(FindComponentByName(frame, pieces[2]));
      return FieldNameIfPresent(dataset, StripQuotes(pieces[3]));
    }
    default:
      return {};
  }
}

namespace {

// Days since 30 December 1899 for a stored date or date-time text, or nullopt.
std::optional<double> storedDateTime(const QVariant& v) {
  bool ok = false;
  const double number = v.toDouble(&ok);
  if (ok && v.typeId() != QMetaType::QString) return number;
  const QString text = v.toString().trimmed();
  QDateTime when = QDateTime::fromString(text, Qt::ISODateWithMs);
  if (!when.isValid()) {
    const QDate day = QDate::fromString(text, Qt::ISODate);
    if (!day.isValid()) return std::nullopt;
    when = QDateTime(day, QTime(0, 0));
  }
  static const QDate epoch(1899, 12, 30);
  const double days = static_cast<double>(epoch.daysTo(when.date()));
  const double fraction = when.time().msecsSinceStartOfDay() / 86400000.0;
  // Before the epoch the fraction still counts forward within the day.
  return days < 0 ? days - fraction : days + fraction;
}

// Engine text of a text value; SQLite rows are kept as QStrings, which are converted once per
// stored value and reused while the value stays the same shared string.
std::string engineTextOf(const QVariant& v) {
  thread_local QString lastSource;
  thread_local std::string lastEngine;
  const QString text = v.toString();
  if (text.constData() == lastSource.constData() && text.size() == lastSource.size() &&
      !text.isEmpty())
    return lastEngine;
  lastEngine = fromQString(text);
  lastSource = text;  // holding a reference keeps the buffer alive, so identity is exact
  return lastEngine;
}

}  // namespace

Value ReadFieldValue(Query* dataset, const QString& field) {
  if (!dataset->isActive()) dataset->open();
  return ReadFieldValue(dataset, field, dataset->fieldInfo(field).type);
}

Value ReadFieldValue(Query* dataset, const QString& field, FieldType type) {
  if (!dataset->isActive()) dataset->open();
  const QVariant v = dataset->value(field);
  if (!v.isValid() || v.isNull()) {
    if (type == FieldType::String) return Value(std::string());
    if (type == FieldType::Boolean) return Value(false);
    return Value(0);
  }
  const bool isText = v.typeId() == QMetaType::QString;
  switch (type) {
    case FieldType::String:
      return Value(engineTextOf(v));
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::Byte: {
      bool ok = false;
      const qlonglong n = v.toLongLong(&ok);
      if (!ok) break;
      // A value beyond 32 bits is shown as its digits, as a 64-bit field would be.
      if (n < std::numeric_limits<std::int32_t>::min() ||
          n > std::numeric_limits<std::int32_t>::max())
        return Value(engineTextOf(v));
      if (type == FieldType::SmallInt && n >= -32768 && n <= 32767)
        return Value::smallInt(static_cast<std::int16_t>(n));
      return Value(static_cast<std::int32_t>(n));
    }
    case FieldType::Currency: {
      bool ok = false;
      const double amount = v.toDouble(&ok);
      if (!ok || std::fabs(amount) > 9.2e14) break;
      return Value::currency(std::llround(amount * 10000.0));
    }
    case FieldType::Boolean: {
      if (isText) {
        const QString t = v.toString().trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return Value(true);
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return Value(false);
      }
      bool ok = false;
      const double n = v.toDouble(&ok);
      if (!ok) break;
      return Value(n != 0);
    }
    case FieldType::Float: {
      bool ok = false;
      const double n = v.toDouble(&ok);
      if (!ok) break;
      return Value(n);
    }
    case FieldType::DateTime: {
      if (auto days = storedDateTime(v)) return Value::dateTime(*days);
      break;
    }
    case FieldType::Blob:
      // Binary content is handed over byte for byte; text stored in a blob column is text.
      if (v.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = v.toByteArray();
        return Value(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
      }
      break;
  }
  // A stored value that does not fit the declared kind (SQLite does not enforce types) is
  // delivered as the text it holds.
  return Value(engineTextOf(v));
}

// --- band datasets -------------------------------------------------------------------------

BandDataset OpenBandDataset(QObject* owner, std::string_view name) {
  BandDataset result;
  if (!name.empty() && name.front() >= '1' && name.front() <= '9') {
    auto counted = std::make_unique<TfrUserDataset>();
    counted->RangeEnd = TRangeEnd::reCount;
    counted->RangeEndCount = textToInteger(name);
    result.dataset = counted.get();
    result.owned = std::move(counted);
  } else {
    QObject* component = FindComponentByName(owner, name);
    if (component) {
      auto* dataset = qobject_cast<TfrDataset*>(component);
      if (!dataset) throw EInvalidCast();
      result.dataset = dataset;
    }
  }
  if (result.dataset) result.dataset->OpenRange();
  return result;
}

Query* DefaultDataSet() {
  const TfrEngineState& state = frEngine();
  TfrDataset* chosen = state.report ? state.report->dataset : nullptr;
  if (state.bandType && !state.dialogPage) {
    const std::optional<TfrDataset*>* level = nullptr;
    switch (*state.bandType) {
      case TfrBandType::btReportTitle:
      case TfrBandType::btReportSummary:
      case TfrBandType::btPageHeader:
      case TfrBandType::btPageFooter:
      case TfrBandType::btMasterHeader:
      case TfrBandType::btMasterData:
      case TfrBandType::btMasterFooter:
      case TfrBandType::btGroupHeader:
      case TfrBandType::btGroupFooter:
        level = &state.masterData;
        break;
      case TfrBandType::btDetailData:
      case TfrBandType::btDetailFooter:
        level = &state.detailData;
        break;
      case TfrBandType::btSubDetailData:
      case TfrBandType::btSubDetailFooter:
        level = &state.subDetailData;
        break;
      case TfrBandType::btCrossData:
      case TfrBandType::btCrossFooter:
        level = &state.crossData;
        break;
      default:
        break;
    }
    if (level && level->has_value()) chosen = **level;
  }
  if (auto* db = qobject_cast<TfrDBDataSet*>(chosen)) return db->BoundDataSet();
  return nullptr;
}

// --- blobs ---------------------------------------------------------------------------------

bool IsBlobField(FieldType type) { return type == FieldType::Blob; }

bool IsBlobField(Query* dataset, const QString& field) {
  return dataset && dataset->hasField(field) && IsBlobField(dataset->fieldInfo(field).type);
}

void AssignBlobTo(Query* dataset, const QString& field,
                  const std::function<void(const QByteArray&)>& target) {
  if (!dataset->isActive()) dataset->open();
  target(dataset->blob(field));
}

void AssignBlobTo(Query* dataset, const QString& field, QIODevice& stream) {
  if (!dataset->isActive()) dataset->open();
  stream.write(dataset->blob(field));
  stream.seek(0);
}

}  // namespace kelpo::report
