// The database layer: one SQLite connection and static-cursor query objects over it.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace kelpo {

// Opened from a connection string of `Key=Value;` pairs; only `Data Source` matters here:
// it names the SQLite file, found relative to the current directory. Several processes may
// use the file at once: writers wait for each other (busy timeout) instead of failing at once.
class Connection : public QObject {
  Q_OBJECT
 public:
  explicit Connection(QObject* owner = nullptr);
  ~Connection() override;

  void setConnectionString(const QString& text);
  QString connectionString() const { return connectionString_; }
  // The file named by `Data Source`, as given (relative names stay relative).
  QString dataSource() const;

  // Opens the file; a missing or unreadable file raises DatabaseError naming it.
  void open();
  // The file opened last, as an absolute path (for messages).
  QString fileName() const { return file_; }
  // A file that was read-only when it was opened can be written only through a new
  // connection once it is writable again; every write asks for one first.
  void makeWritable();
  void close();
  bool isOpen() const { return db_ != nullptr; }
  sqlite3* handle() const { return db_; }

  // Runs one statement that returns no rows (schema set-up, tools); values are bound to `?`.
  void execute(const QString& sql, const QVariantList& parameters = {});

 private:
  QString connectionString_;
  QString source_;  // the file as the connection string names it
  QString file_;
  sqlite3* db_ = nullptr;
};

// What a column holds, from its declared type (INTEGER, REAL, TEXT, BLOB, DATE ...).
enum class FieldType { String, Integer, SmallInt, Byte, Currency, Boolean, Float, DateTime, Blob };

struct FieldInfo {
  QString name;
  FieldType type = FieldType::String;
};

// A static cursor: opening runs the statement and keeps every resulting row, so moving
// back and forth and counting rows are exact. Values are bound as parameters (`?` in the
// statement text), never spliced into it.
class Query : public QObject {
  Q_OBJECT
 public:
  using Bookmark = long long;  // a remembered row; -1 is no row

  explicit Query(QObject* owner = nullptr);
  ~Query() override;

  void setConnection(Connection* connection) { connection_ = connection; }
  Connection* connection() const { return connection_; }

  // Statement text and its bound parameters (positional, in order of the `?` marks).
  // clearSql() drops the parameters too, so a new statement never inherits old values.
  void clearSql();
  void setSql(const QString& text);
  QString sql() const { return sql_; }
  void setParameters(const QVariantList& values) { parameters_ = values; }
  QVariantList parameters() const { return parameters_; }

  // Runs the statement and stands on the first row. Closing drops an unposted row.
  void open();
  void close();
  bool isActive() const { return active_; }

  void first();
  void last();
  void next();
  void prior();
  // As a dataset cursor does: next() on the last row and last() set eof, prior() on the first
  // row and first()/open() set bof; the first or last row stays current and readable.
  // An empty result is both eof and bof.
  bool eof() const;
  bool bof() const;
  int recordCount() const;
  int recNo() const { return static_cast<int>(row_); }

  Bookmark bookmark() const;
  void gotoBookmark(Bookmark mark);
  bool bookmarkValid(Bookmark mark) const;

  QStringList fieldNames() const;
  int fieldCount() const;
  FieldInfo fieldInfo(int index) const;
  bool hasField(const QString& name) const;
  // Raises DatabaseError when the query has no such column.
  FieldInfo fieldInfo(const QString& name) const;

  // Value of a column of the current row; null (or no current row) gives a null QVariant.
  QVariant value(const QString& name) const;
  bool isNull(const QString& name) const;
  QString text(const QString& name) const;            // null reads as empty text
  std::string engineText(const QString& name) const;  // the same, as engine text
  QString displayText(const QString& name) const;
  QByteArray blob(const QString& name) const;

  // Appending: start a row, set columns by name, post writes it to the statement's table.
  // Nothing reaches the table before post(); an unposted row is dropped by close().
  void append();
  void setFieldValue(const QString& name, const QVariant& value);
  void post();
  void cancel();
  bool isAppending() const { return appending_; }

 private:
  int columnIndex(const QString& name) const;  // -1 when absent
  QString tableName() const;

  QString fileName() const;
  void requireActive() const;
  void dropPending();
  [[noreturn]] void fail(const QString& message) const;
  [[noreturn]] void failReading(sqlite3* db) const;

  // Guarded: a connection destroyed before its queries leaves them closed, not dangling.
  QPointer<Connection> connection_;
  QString sql_;
  QVariantList parameters_;
  bool active_ = false;
  std::vector<FieldInfo> fields_;
  std::vector<std::vector<QVariant>> rows_;
  long long row_ = 0;
  bool beforeFirst_ = false;
  bool pastEnd_ = false;
  bool appending_ = false;
  std::vector<std::pair<QString, QVariant>> pending_;
};

}  // namespace kelpo
