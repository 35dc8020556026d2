// SQLite behind the connection and static-cursor query objects the windows use.
#include "platform/database.h"

#include <sqlite3.h>

#include <QFileInfo>
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

// Messages are for the user: Chinese, naming the file or the field concerned, SQLite's own
// words in parentheses after them. The statement itself travels apart (DatabaseError).
QString named(const QString& text) { return u'“' + text + u'”'; }

[[noreturn]] void raise(const QString& message, const QString& statement = {}) {
  throw DatabaseError(fromQString(message), fromQString(statement));
}

QString sqliteMessage(sqlite3* db) {
  return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

// Opens the file read-write where the file allows it; SQLite falls back to read-only by
// itself when it does not. Returns null with `why` set on failure.
sqlite3* openHandle(const QString& file, QString& why) {
  sqlite3* db = nullptr;
  const QByteArray name = file.toUtf8();
  if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    why = sqliteMessage(db);
    sqlite3_close_v2(db);
    return nullptr;
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
    why = sqliteMessage(db);
    sqlite3_close_v2(db);
    return nullptr;
  }
  return db;
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
    raise(QStringLiteral("无法打开数据库：连接字符串没有指明数据库文件（Data Source）"));
  file_ = QFileInfo(file).absoluteFilePath();
  QString why;
  db_ = openHandle(file, why);
  if (!db_) raise(QStringLiteral("无法打开数据库文件 %1（%2）").arg(named(file_), why));
  source_ = file;
}

void Connection::makeWritable() {
  if (!db_ || sqlite3_db_readonly(db_, "main") != 1) return;
  // SQLite opened a file that was read-only then for reading only, and a connection stays
  // so for good; once the file is writable again a fresh connection can write to it. A
  // file still read-only keeps the old connection, whose write then fails plainly.
  QString why;
  sqlite3* fresh = openHandle(source_, why);
  if (!fresh) return;
  if (sqlite3_db_readonly(fresh, "main") == 1) {
    sqlite3_close_v2(fresh);
    return;
  }
  sqlite3_close_v2(db_);
  db_ = fresh;
}

void Connection::close() {
  if (!db_) return;
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

void Connection::execute(const QString& sql, const QVariantList& parameters) {
  if (!db_) raise(QStringLiteral("数据库没有打开"), sql);
  makeWritable();
  Statement st;
  const QByteArray text = sql.toUtf8();
  const auto failed = [&] {
    raise(QStringLiteral("数据库文件 %1 执行失败（%2）").arg(named(file_), sqliteMessage(db_)), sql);
  };
  if (sqlite3_prepare_v2(db_, text.constData(), static_cast<int>(text.size()), &st.stmt,
                         nullptr) != SQLITE_OK)
    failed();
  if (!st.stmt) return;  // only white space or a comment
  if (parameters.size() > sqlite3_bind_parameter_count(st.stmt))
    raise(QStringLiteral("语句的参数太多"), sql);
  for (qsizetype i = 0; i < parameters.size(); ++i)
    if (bindValue(st.stmt, static_cast<int>(i + 1), parameters[i]) != SQLITE_OK) failed();
  int rc;
  while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) failed();
}

// ---------------------------------------------------------------------------------------------
// Query

Query::Query(QObject* owner) : QObject(owner) {}

Query::~Query() { dropPending(); }

void Query::fail(const QString& message) const { raise(message, sql_); }

void Query::failReading(sqlite3* db) const {
  fail(QStringLiteral("读取数据库文件 %1 失败（%2）").arg(named(fileName()), sqliteMessage(db)));
}

QString Query::fileName() const { return connection_ ? connection_->fileName() : QString(); }

void Query::requireActive() const {
  if (!active_) fail(QStringLiteral("查询%1没有打开").arg(named(objectName())));
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
    fail(QStringLiteral("查询%1没有打开的数据库连接").arg(named(objectName())));
  sqlite3* db = connection_->handle();
  Statement st;
  const QByteArray text = sql_.toUtf8();
  if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &st.stmt,
                         nullptr) != SQLITE_OK)
    failReading(db);
  if (!st.stmt) fail(QStringLiteral("查询%1没有语句").arg(named(objectName())));
  if (parameters_.size() > sqlite3_bind_parameter_count(st.stmt))
    fail(QStringLiteral("语句的参数太多"));
  for (qsizetype i = 0; i < parameters_.size(); ++i)
    if (bindValue(st.stmt, static_cast<int>(i + 1), parameters_[i]) != SQLITE_OK)
      failReading(db);

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
  if (rc != SQLITE_DONE) failReading(db);

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
  requireActive();
  dropPending();
  row_ = 0;
  beforeFirst_ = true;
  pastEnd_ = rows_.empty();
}

void Query::last() {
  requireActive();
  dropPending();
  row_ = rows_.empty() ? 0 : static_cast<long long>(rows_.size()) - 1;
  beforeFirst_ = rows_.empty();
  pastEnd_ = true;
}

void Query::next() {
  requireActive();
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
  requireActive();
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
  requireActive();
  return pastEnd_;
}

bool Query::bof() const {
  requireActive();
  return beforeFirst_;
}

int Query::recordCount() const {
  requireActive();
  return static_cast<int>(rows_.size());
}

Query::Bookmark Query::bookmark() const {
  requireActive();
  if (rows_.empty() || appending_) return -1;
  return row_;
}

bool Query::bookmarkValid(Bookmark mark) const {
  return active_ && mark >= 0 && mark < static_cast<long long>(rows_.size());
}

void Query::gotoBookmark(Bookmark mark) {
  requireActive();
  if (!bookmarkValid(mark)) fail(QStringLiteral("书签 %1 不指向任何记录").arg(mark));
  dropPending();
  row_ = mark;
  beforeFirst_ = false;
  pastEnd_ = false;
}

QStringList Query::fieldNames() const {
  requireActive();
  QStringList names;
  for (const auto& f : fields_) names << f.name;
  return names;
}

int Query::fieldCount() const {
  requireActive();
  return static_cast<int>(fields_.size());
}

FieldInfo Query::fieldInfo(int index) const {
  requireActive();
  if (index < 0 || index >= static_cast<int>(fields_.size()))
    fail(QStringLiteral("字段序号 %1 超出范围").arg(index));
  return fields_[static_cast<std::size_t>(index)];
}

bool Query::hasField(const QString& name) const { return active_ && columnIndex(name) >= 0; }

FieldInfo Query::fieldInfo(const QString& name) const {
  requireActive();
  const int c = columnIndex(name);
  if (c < 0) fail(QStringLiteral("没有字段%1").arg(named(name)));
  return fields_[static_cast<std::size_t>(c)];
}

int Query::columnIndex(const QString& name) const {
  for (std::size_t i = 0; i < fields_.size(); ++i)
    if (sameName(fields_[i].name, name)) return static_cast<int>(i);
  return -1;
}

QVariant Query::value(const QString& name) const {
  requireActive();
  const int c = columnIndex(name);
  if (c < 0) fail(QStringLiteral("没有字段%1").arg(named(name)));
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
  requireActive();
  if (tableName().isEmpty()) fail(QStringLiteral("无法添加记录：语句没有指明表"));
  pending_.clear();
  appending_ = true;
}

void Query::setFieldValue(const QString& name, const QVariant& value) {
  requireActive();
  if (!appending_) fail(QStringLiteral("无法填写字段%1：没有正在添加的记录").arg(named(name)));
  const int c = columnIndex(name);
  if (c < 0) fail(QStringLiteral("没有字段%1").arg(named(name)));
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
  requireActive();
  if (!appending_) fail(QStringLiteral("无法保存记录：没有正在添加的记录"));
  if (!connection_ || !connection_->isOpen())
    fail(QStringLiteral("无法保存记录：数据库没有打开"));
  connection_->makeWritable();
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

  const auto failed = [&] {
    raise(QStringLiteral("无法把记录写入数据库文件 %1（%2）").arg(named(fileName()), sqliteMessage(db)),
          insert);
  };
  sqlite3_int64 rowid = 0;
  {
    Statement st;
    const QByteArray text = insert.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &st.stmt,
                           nullptr) != SQLITE_OK)
      failed();
    for (qsizetype i = 0; i < values.size(); ++i)
      if (bindValue(st.stmt, static_cast<int>(i + 1), values[i]) != SQLITE_OK)
        failed();
    if (sqlite3_step(st.stmt) != SQLITE_DONE)
      failed();
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
  requireActive();
  dropPending();
}

}  // namespace kelpo
