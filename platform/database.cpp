// SQLite behind the connection and static-cursor query objects the windows use.
#include "platform/database.h"

#include <sqlite3.h>

#include <QMetaType>
#include <algorithm>
#include <limits>

#include "platform/error.h"
#include "platform/text.h"

namespace kelpo {
namespace {

// Long enough that another program's ordinary write finishes; a writer that holds the file
// longer gives "database is locked" instead of a hang.
constexpr int kBusyTimeoutMs = 10000;

std::string quoted(const QString& text) { return "\"" + fromQString(text) + "\""; }

std::string sqliteMessage(sqlite3* db) {
  return db ? utf8ToEngine(sqlite3_errmsg(db)) : std::string("out of memory");
}

// Finalizes the statement however the scope is left.
struct Statement {
  sqlite3_stmt* stmt = nullptr;
  Statement() = default;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement() { sqlite3_finalize(stmt); }
};

// Binds one value; text goes in as UTF-8, as SQLite stores it.
int bindValue(sqlite3_stmt* stmt, int index, const QVariant& value) {
  if (!value.isValid() || value.isNull()) return sqlite3_bind_null(stmt, index);
  switch (value.typeId()) {
    case QMetaType::Bool:
      return sqlite3_bind_int(stmt, index, value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
      return sqlite3_bind_int64(stmt, index, value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
      const qulonglong v = value.toULongLong();
      if (v > static_cast<qulonglong>(std::numeric_limits<sqlite3_int64>::max()))
        return sqlite3_bind_double(stmt, index, static_cast<double>(v));
      return sqlite3_bind_int64(stmt, index, static_cast<sqlite3_int64>(v));
    }
    case QMetaType::Double:
    case QMetaType::Float:
      return sqlite3_bind_double(stmt, index, value.toDouble());
    case QMetaType::QByteArray: {
      const QByteArray bytes = value.toByteArray();
      return sqlite3_bind_blob64(stmt, index, bytes.constData(),
                                 static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT);
    }
    default: {
      const QByteArray utf8 = value.toString().toUtf8();
      return sqlite3_bind_text64(stmt, index, utf8.constData(),
                                 static_cast<sqlite3_uint64>(utf8.size()), SQLITE_TRANSIENT,
                                 SQLITE_UTF8);
    }
  }
}

QVariant columnValue(sqlite3_stmt* stmt, int column) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
      return QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
      return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
      return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)));
    }
    case SQLITE_BLOB: {
      const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, column));
      return QVariant(QByteArray(data, sqlite3_column_bytes(stmt, column)));
    }
    default:
      return QVariant();
  }
}

// The declared type decides the field kind, as a table designer would read it; the size in
// parentheses (VARCHAR(40)) does not matter.
FieldType typeFromDeclaration(const char* declared) {
  QString type = QString::fromUtf8(declared).toUpper();
  const qsizetype paren = type.indexOf(u'(');
  if (paren >= 0) type.truncate(paren);
  type = type.simplified();
  static const std::pair<const char*, FieldType> kTypes[] = {
      {"INTEGER", FieldType::Integer},   {"INT", FieldType::Integer},
      {"BIGINT", FieldType::Integer},    {"LONG", FieldType::Integer},
      {"COUNTER", FieldType::Integer},   {"AUTOINCREMENT", FieldType::Integer},
      {"SMALLINT", FieldType::SmallInt}, {"SHORT", FieldType::SmallInt},
      {"TINYINT", FieldType::Byte},      {"BYTE", FieldType::Byte},
      {"MONEY", FieldType::Currency},    {"CURRENCY", FieldType::Currency},
      {"BOOL", FieldType::Boolean},      {"BOOLEAN", FieldType::Boolean},
      {"BIT", FieldType::Boolean},       {"YESNO", FieldType::Boolean},
      {"REAL", FieldType::Float},        {"FLOAT", FieldType::Float},
      {"DOUBLE", FieldType::Float},      {"DOUBLE PRECISION", FieldType::Float},
      {"NUMERIC", FieldType::Float},     {"DECIMAL", FieldType::Float},
      {"SINGLE", FieldType::Float},      {"DATE", FieldType::DateTime},
      {"DATETIME", FieldType::DateTime}, {"TIME", FieldType::DateTime},
      {"TIMESTAMP", FieldType::DateTime}, {"BLOB", FieldType::Blob},
      {"BINARY", FieldType::Blob},       {"VARBINARY", FieldType::Blob},
      {"LONGBINARY", FieldType::Blob},   {"IMAGE", FieldType::Blob},
  };
  for (const auto& [name, kind] : kTypes)
    if (type == QLatin1String(name)) return kind;
  return FieldType::String;
}

// Column names match without regard to ASCII case; other characters (Chinese names) match
// exactly.
bool sameName(const QString& a, const QString& b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i) {
    char16_t x = a[i].unicode();
    char16_t y = b[i].unicode();
    if (x < 0x80 && y < 0x80) {
      if (x >= 'A' && x <= 'Z') x = static_cast<char16_t>(x + 32);
      if (y >= 'A' && y <= 'Z') y = static_cast<char16_t>(y + 32);
    }
    if (x != y) return false;
  }
  return true;
}

QString quoteIdentifier(const QString& name) {
  QString escaped = name;
  escaped.replace(u'"', QLatin1String("\"\""));
  return u'"' + escaped + u'"';
}

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

// The first table after the outermost FROM of a statement, with its quoting removed.
// Quoted text and identifiers are skipped while looking for the keyword.
QString tableAfterFrom(const QString& sql) {
  int depth = 0;
  qsizetype i = 0;
  const qsizetype n = sql.size();
  while (i < n) {
    const QChar c = sql[i];
    if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
      const QChar close = c == u'[' ? QChar(u']') : c;
      ++i;
      while (i < n && sql[i] != close) ++i;
      ++i;
      continue;
    }
    if (c == u'(') ++depth;
    if (c == u')') --depth;
    if (depth == 0 && (i == 0 || !isWordChar(sql[i - 1])) &&
        sql.mid(i, 4).compare(QLatin1String("from"), Qt::CaseInsensitive) == 0 &&
        (i + 4 >= n || !isWordChar(sql[i + 4]))) {
      qsizetype p = i + 4;
      while (p < n && sql[p].isSpace()) ++p;
      if (p >= n) return {};
      const QChar open = sql[p];
      if (open == u'"' || open == u'`' || open == u'[') {
        const QChar close = open == u'[' ? QChar(u']') : open;
        const qsizetype end = sql.indexOf(close, p + 1);
        if (end < 0) return {};
        return sql.mid(p + 1, end - p - 1);
      }
      qsizetype end = p;
      while (end < n && (isWordChar(sql[end]) || sql[end] == u'.')) ++end;
      return sql.mid(p, end - p);
    }
    ++i;
  }
  return {};
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Connection

Connection::Connection(QObject* owner) : QObject(owner) {}

Connection::~Connection() { close(); }

void Connection::setConnectionString(const QString& text) { connectionString_ = text; }

QString Connection::dataSource() const {
  // `Key=Value;` pairs; a value may be quoted with ' or " so it can hold ';'.
  const QString& s = connectionString_;
  qsizetype i = 0;
  const qsizetype n = s.size();
  while (i < n) {
    const qsizetype eq = s.indexOf(u'=', i);
    if (eq < 0) break;
    const QString key = s.mid(i, eq - i).trimmed();
    qsizetype p = eq + 1;
    while (p < n && s[p].isSpace() && s[p] != u';') ++p;
    QString value;
    if (p < n && (s[p] == u'"' || s[p] == u'\'')) {
      const QChar q = s[p];
      ++p;
      // A doubled quote inside stands for one quote character.
      while (p < n) {
        if (s[p] == q) {
          if (p + 1 < n && s[p + 1] == q) {
            value += q;
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        value += s[p++];
      }
      const qsizetype semi = s.indexOf(u';', p);
      i = semi < 0 ? n : semi + 1;
    } else {
      const qsizetype semi = s.indexOf(u';', p);
      const qsizetype end = semi < 0 ? n : semi;
      value = s.mid(p, end - p).trimmed();
      i = end + 1;
    }
    if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0) return value;
  }
  return {};
}

void Connection::open() {
  if (db_) return;
  const QString file = dataSource();
  if (file.isEmpty())
    throw DatabaseError("Cannot open the database: the connection string names no Data Source");
  sqlite3* db = nullptr;
  const QByteArray name = file.toUtf8();
  const int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    const std::string why = sqliteMessage(db);
    sqlite3_close_v2(db);
    throw DatabaseError("Cannot open the database file " + quoted(file) + ": " + why);
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  // The windows' statements delimit text with double quotes; let SQLite read "..." that
  // names no column as text, whatever its build default.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 1, nullptr);
  // sqlite3_open_v2 does not read the file; a file that is no database fails only here.
  sqlite3_stmt* check = nullptr;
  int checkRc = sqlite3_prepare_v2(db, "select count(*) from sqlite_master", -1, &check, nullptr);
  if (checkRc == SQLITE_OK) checkRc = sqlite3_step(check);
  sqlite3_finalize(check);
  if (checkRc != SQLITE_ROW) {
    const std::string why = sqliteMessage(db);
    sqlite3_close_v2(db);
    throw DatabaseError("Cannot open the database file " + quoted(file) + ": " + why);
  }
  db_ = db;
}

void Connection::close() {
  if (!db_) return;
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

void Connection::execute(const QString& sql, const QVariantList& parameters) {
  if (!db_) throw DatabaseError("The database connection is not open: " + fromQString(sql));
  Statement st;
  const QByteArray text = sql.toUtf8();
  if (sqlite3_prepare_v2(db_, text.constData(), static_cast<int>(text.size()), &st.stmt,
                         nullptr) != SQLITE_OK)
    throw DatabaseError(sqliteMessage(db_) + "\n" + fromQString(sql));
  if (!st.stmt) return;  // only white space or a comment
  if (parameters.size() > sqlite3_bind_parameter_count(st.stmt))
    throw DatabaseError("Too many parameters for the statement\n" + fromQString(sql));
  for (qsizetype i = 0; i < parameters.size(); ++i)
    if (bindValue(st.stmt, static_cast<int>(i + 1), parameters[i]) != SQLITE_OK)
      throw DatabaseError(sqliteMessage(db_) + "\n" + fromQString(sql));
  int rc;
  while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) throw DatabaseError(sqliteMessage(db_) + "\n" + fromQString(sql));
}

// ---------------------------------------------------------------------------------------------
// Query

Query::Query(QObject* owner) : QObject(owner) {}

Query::~Query() { dropPending(); }

void Query::fail(const std::string& message) const {
  throw DatabaseError(message + "\n" + fromQString(sql_));
}

void Query::requireActive(const char* operation) const {
  if (!active_)
    throw DatabaseError(std::string("Cannot ") + operation + ": the query " +
                        quoted(objectName()) + " is closed");
}

void Query::dropPending() {
  appending_ = false;
  pending_.clear();
}

void Query::clearSql() {
  sql_.clear();
  parameters_.clear();
}

void Query::setSql(const QString& text) { sql_ = text; }

void Query::open() {
  close();
  if (!connection_ || !connection_->isOpen())
    fail("Cannot open the query " + quoted(objectName()) + ": no open database connection");
  sqlite3* db = connection_->handle();
  Statement st;
  const QByteArray text = sql_.toUtf8();
  if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &st.stmt,
                         nullptr) != SQLITE_OK)
    fail(sqliteMessage(db));
  if (!st.stmt) fail("The query " + quoted(objectName()) + " has no statement");
  if (parameters_.size() > sqlite3_bind_parameter_count(st.stmt))
    fail("Too many parameters for the statement");
  for (qsizetype i = 0; i < parameters_.size(); ++i)
    if (bindValue(st.stmt, static_cast<int>(i + 1), parameters_[i]) != SQLITE_OK)
      fail(sqliteMessage(db));

  const int columns = sqlite3_column_count(st.stmt);
  std::vector<FieldInfo> fields;
  fields.reserve(static_cast<std::size_t>(columns));
  for (int c = 0; c < columns; ++c) {
    FieldInfo info;
    info.name = QString::fromUtf8(sqlite3_column_name(st.stmt, c));
    info.type = typeFromDeclaration(sqlite3_column_decltype(st.stmt, c));
    fields.push_back(info);
  }
  std::vector<std::vector<QVariant>> rows;
  int rc;
  while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
    std::vector<QVariant> row;
    row.reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) row.push_back(columnValue(st.stmt, c));
    rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) fail(sqliteMessage(db));

  // A computed column (count(*), an expression) has no declared type: take its kind from
  // the values, so a number stays a number.
  for (int c = 0; c < columns; ++c) {
    if (sqlite3_column_decltype(st.stmt, c) != nullptr) continue;
    for (const auto& row : rows) {
      const QVariant& v = row[static_cast<std::size_t>(c)];
      if (v.isNull()) continue;
      if (v.typeId() == QMetaType::LongLong) fields[static_cast<std::size_t>(c)].type = FieldType::Integer;
      if (v.typeId() == QMetaType::Double) fields[static_cast<std::size_t>(c)].type = FieldType::Float;
      if (v.typeId() == QMetaType::QByteArray) fields[static_cast<std::size_t>(c)].type = FieldType::Blob;
      break;
    }
  }

  fields_ = std::move(fields);
  rows_ = std::move(rows);
  row_ = 0;
  beforeFirst_ = true;
  pastEnd_ = rows_.empty();
  active_ = true;
}

void Query::close() {
  dropPending();
  active_ = false;
  fields_.clear();
  rows_.clear();
  row_ = 0;
  beforeFirst_ = false;
  pastEnd_ = false;
}

void Query::first() {
  requireActive("move to the first row");
  dropPending();
  row_ = 0;
  beforeFirst_ = true;
  pastEnd_ = rows_.empty();
}

void Query::last() {
  requireActive("move to the last row");
  dropPending();
  row_ = rows_.empty() ? 0 : static_cast<long long>(rows_.size()) - 1;
  beforeFirst_ = rows_.empty();
  pastEnd_ = true;
}

void Query::next() {
  requireActive("move to the next row");
  dropPending();
  if (row_ + 1 < static_cast<long long>(rows_.size())) {
    ++row_;
    beforeFirst_ = false;
    pastEnd_ = false;
  } else {
    pastEnd_ = true;
    if (!rows_.empty()) beforeFirst_ = false;
  }
}

void Query::prior() {
  requireActive("move to the previous row");
  dropPending();
  if (row_ > 0) {
    --row_;
    beforeFirst_ = false;
    pastEnd_ = false;
  } else {
    beforeFirst_ = true;
    if (!rows_.empty()) pastEnd_ = false;
  }
}

bool Query::eof() const {
  requireActive("test for the end of data");
  return pastEnd_;
}

bool Query::bof() const {
  requireActive("test for the start of data");
  return beforeFirst_;
}

int Query::recordCount() const {
  requireActive("count the rows");
  return static_cast<int>(rows_.size());
}

Query::Bookmark Query::bookmark() const {
  requireActive("take a bookmark");
  if (rows_.empty() || appending_) return -1;
  return row_;
}

bool Query::bookmarkValid(Bookmark mark) const {
  return active_ && mark >= 0 && mark < static_cast<long long>(rows_.size());
}

void Query::gotoBookmark(Bookmark mark) {
  requireActive("go to a bookmark");
  if (!bookmarkValid(mark)) fail("Bookmark " + std::to_string(mark) + " names no row");
  dropPending();
  row_ = mark;
  beforeFirst_ = false;
  pastEnd_ = false;
}

QStringList Query::fieldNames() const {
  requireActive("list the fields");
  QStringList names;
  for (const auto& f : fields_) names << f.name;
  return names;
}

int Query::fieldCount() const {
  requireActive("count the fields");
  return static_cast<int>(fields_.size());
}

FieldInfo Query::fieldInfo(int index) const {
  requireActive("read a field");
  if (index < 0 || index >= static_cast<int>(fields_.size()))
    fail("Field index " + std::to_string(index) + " out of range");
  return fields_[static_cast<std::size_t>(index)];
}

bool Query::hasField(const QString& name) const { return active_ && columnIndex(name) >= 0; }

FieldInfo Query::fieldInfo(const QString& name) const {
  requireActive("read a field");
  const int c = columnIndex(name);
  if (c < 0) fail("Field " + quoted(name) + " not found");
  return fields_[static_cast<std::size_t>(c)];
}

int Query::columnIndex(const QString& name) const {
  for (std::size_t i = 0; i < fields_.size(); ++i)
    if (sameName(fields_[i].name, name)) return static_cast<int>(i);
  return -1;
}

QVariant Query::value(const QString& name) const {
  requireActive("read a field");
  const int c = columnIndex(name);
  if (c < 0) fail("Field " + quoted(name) + " not found");
  if (appending_) {
    for (const auto& [field, v] : pending_)
      if (sameName(field, fields_[static_cast<std::size_t>(c)].name)) return v;
    return QVariant();
  }
  if (rows_.empty()) return QVariant();
  return rows_[static_cast<std::size_t>(row_)][static_cast<std::size_t>(c)];
}

bool Query::isNull(const QString& name) const {
  const QVariant v = value(name);
  return !v.isValid() || v.isNull();
}

QString Query::text(const QString& name) const {
  const QVariant v = value(name);
  if (!v.isValid() || v.isNull()) return QString();
  if (v.typeId() == QMetaType::QByteArray) return QString::fromUtf8(v.toByteArray());
  return v.toString();
}

std::string Query::engineText(const QString& name) const { return fromQString(text(name)); }

QString Query::displayText(const QString& name) const { return text(name); }

QByteArray Query::blob(const QString& name) const {
  const QVariant v = value(name);
  if (!v.isValid() || v.isNull()) return QByteArray();
  if (v.typeId() == QMetaType::QByteArray) return v.toByteArray();
  return v.toString().toUtf8();
}

QString Query::tableName() const { return tableAfterFrom(sql_); }

void Query::append() {
  requireActive("append a row");
  if (tableName().isEmpty()) fail("Cannot append: the statement names no table");
  pending_.clear();
  appending_ = true;
}

void Query::setFieldValue(const QString& name, const QVariant& value) {
  requireActive("set a field");
  if (!appending_) fail("Cannot set field " + quoted(name) + ": no row is being appended");
  const int c = columnIndex(name);
  if (c < 0) fail("Field " + quoted(name) + " not found");
  const QString& field = fields_[static_cast<std::size_t>(c)].name;
  for (auto& [existing, v] : pending_) {
    if (existing == field) {
      v = value;
      return;
    }
  }
  pending_.emplace_back(field, value);
}

void Query::post() {
  requireActive("post a row");
  if (!appending_) fail("Cannot post: no row is being appended");
  if (!connection_ || !connection_->isOpen()) fail("Cannot post: no open database connection");
  sqlite3* db = connection_->handle();
  const QString table = tableName();

  QString insert = "INSERT INTO " + quoteIdentifier(table);
  QVariantList values;
  if (pending_.empty()) {
    insert += " DEFAULT VALUES";
  } else {
    QStringList names;
    QStringList marks;
    for (const auto& [field, v] : pending_) {
      names << quoteIdentifier(field);
      marks << QStringLiteral("?");
      values << v;
    }
    insert += " (" + names.join(u',') + ") VALUES (" + marks.join(u',') + ")";
  }

  sqlite3_int64 rowid = 0;
  {
    Statement st;
    const QByteArray text = insert.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &st.stmt,
                           nullptr) != SQLITE_OK)
      throw DatabaseError(sqliteMessage(db) + "\n" + fromQString(insert));
    for (qsizetype i = 0; i < values.size(); ++i)
      if (bindValue(st.stmt, static_cast<int>(i + 1), values[i]) != SQLITE_OK)
        throw DatabaseError(sqliteMessage(db) + "\n" + fromQString(insert));
    if (sqlite3_step(st.stmt) != SQLITE_DONE)
      throw DatabaseError(sqliteMessage(db) + "\n" + fromQString(insert));
    rowid = sqlite3_last_insert_rowid(db);
  }

  // The cached row shows what the table now holds, defaults included; where the stored row
  // cannot be read back (a table without rowid) the posted values stand in.
  std::vector<QVariant> row(fields_.size());
  for (const auto& [field, v] : pending_) row[static_cast<std::size_t>(columnIndex(field))] = v;
  {
    Statement st;
    const QByteArray text =
        ("SELECT * FROM " + quoteIdentifier(table) + " WHERE rowid = ?").toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &st.stmt,
                           nullptr) == SQLITE_OK &&
        sqlite3_bind_int64(st.stmt, 1, rowid) == SQLITE_OK && sqlite3_step(st.stmt) == SQLITE_ROW) {
      const int columns = sqlite3_column_count(st.stmt);
      for (int c = 0; c < columns; ++c) {
        const int index = columnIndex(QString::fromUtf8(sqlite3_column_name(st.stmt, c)));
        if (index >= 0) row[static_cast<std::size_t>(index)] = columnValue(st.stmt, c);
      }
    }
  }
  rows_.push_back(std::move(row));
  row_ = static_cast<long long>(rows_.size()) - 1;
  beforeFirst_ = false;
  pastEnd_ = false;
  dropPending();
}

void Query::cancel() {
  requireActive("cancel a row");
  dropPending();
}

}  // namespace kelpo
