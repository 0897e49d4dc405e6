#pragma once

#include "platform/decimal.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>
#include <QTime>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <vector>

namespace Firebird {
class IStatement;
class IResultSet;
class IMessageMetadata;
}  // namespace Firebird

namespace db {

namespace detail {
class Status;
}

class Database;
class Transaction;
class Query;

// A named parameter of a query. The value's own type travels to the engine, which converts it
// to the parameter's type; text is sent in WIN1251 and refused when the code page cannot hold it.
class Param {
 public:
  explicit Param(QString name) : name_(std::move(name)) {}
  const QString& name() const { return name_; }

  void setValue(const QVariant& v) { value_ = v; }
  void setInt(qint64 v) { value_ = QVariant::fromValue(v); }
  void setDouble(double v) { value_ = v; }
  void setDecimal(Decimal4 v) { value_ = QVariant::fromValue(v); }
  void setString(const QString& v) { value_ = v; }
  void setDate(const QDate& v) { value_ = v.isValid() ? QVariant(v) : QVariant(); }
  void setTime(const QTime& v) { value_ = v.isValid() ? QVariant(v) : QVariant(); }
  void setDateTime(const QDateTime& v) { value_ = v.isValid() ? QVariant(v) : QVariant(); }
  void setNull() { value_ = QVariant(); }
  bool isNull() const { return !value_.isValid() || value_.isNull(); }
  const QVariant& value() const { return value_; }

 private:
  QString name_;
  QVariant value_;
};

// A column of the current row. Cheap to copy; valid while its query stays on the same row.
class Field {
 public:
  Field(const Query* q, int index) : q_(q), index_(index) {}

  const QString& name() const;
  int index() const { return index_; }
  bool isNull() const;
  qint64 asInt() const;        // numbers rounded half away from zero, text parsed, null 0
  double asDouble() const;     // null 0
  Decimal4 asDecimal() const;  // four decimals: exact for NUMERIC, nearest for floats; null 0
  QDate asDate() const;        // null gives an invalid date
  QTime asTime() const;
  QDateTime asDateTime() const;
  QString asString() const;    // CHAR without its trailing blanks; numbers with a comma; dd.mm.yyyy
  QVariant asVariant() const;  // null gives an invalid QVariant

 private:
  // The value in the current row, or nullptr when it is null or there is no row.
  const unsigned char* data() const;

  const Query* q_;
  int index_;
};

// A statement kept as lines of text, with named parameters and fields by name. A query with a
// result set buffers the rows it has fetched so that it can move back and forth; rows are fetched
// only as far as the caller moves.
class Query {
 public:
  explicit Query(Database& db, Transaction* tr = nullptr);
  ~Query();
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;

  // The text. Changing it (through this reference or setSql) takes effect at the next
  // prepare/open/exec; values of parameters that keep their name are kept.
  QStringList& sql() { return lines_; }
  const QStringList& sql() const { return lines_; }
  void setSql(const QString& text);
  QString sqlText() const { return lines_.join(QLatin1Char('\n')); }

  // Off for statements whose text holds ":name" of its own (PSQL bodies of DDL).
  void setParamCheck(bool on) { paramCheck_ = on; }
  // Use the transaction of the database when none is given.
  void setTransaction(Transaction* tr);
  Transaction* transaction() const;
  // Keep only the current row (for long one-way reads).
  void setUnidirectional(bool on) { unidirectional_ = on; }

  Param& param(const QString& name);  // throws when the text has no such parameter
  Param* findParam(const QString& name);
  int paramCount();
  QStringList paramNames();

  void prepare();
  bool prepared() const { return stmt_ != nullptr; }
  void unprepare() noexcept;

  // Opens the result set and stands on its first row.
  void open();
  void close() noexcept;
  bool active() const { return active_; }
  // Runs a statement. A select opens as open() does; "execute procedure" with outputs gives one
  // row.
  void exec();
  qint64 rowsAffected() const { return rowsAffected_; }

  bool eof() const { return eof_; }
  bool bof() const { return current_ == 0 || rowCount_ == 0; }
  bool isEmpty() const { return rowCount_ == 0; }
  void first();
  void next();
  void prior();
  void last();
  // Zero-based; false when the row does not exist.
  bool moveTo(qint64 row);
  qint64 recNo() const { return current_; }
  // Every row of the result; fetches the rest.
  qint64 recordCount();
  qint64 fetchedCount() const { return rowCount_; }
  bool fetchedAll() const { return fetchedAll_; }

  enum LocateOption { NoOptions = 0, CaseInsensitive = 1, PartialKey = 2 };
  // Fields separated by ';', one value per field. Stays where it was when nothing matches.
  bool locate(const QString& fields, const QVariantList& values, int options = NoOptions);

  // What kind of value a column holds, and the characters a text column takes.
  enum class FieldKind {
    Text,
    Integer,
    Decimal,
    Float,
    Date,
    Time,
    DateTime,
    Boolean,
    Blob,
    Other
  };
  FieldKind fieldKind(int i) const;
  int fieldLength(int i) const;

  int fieldCount() const { return static_cast<int>(cols_.size()); }
  const QString& fieldName(int i) const { return cols_[i].name; }
  int fieldIndex(const QString& name) const;  // -1 when absent
  Field field(const QString& name) const;     // throws when absent
  Field field(int i) const { return Field(this, i); }
  Field operator[](const QString& name) const { return field(name); }

 private:
  friend class Field;
  friend class Transaction;
  friend class Database;
  struct Column {
    QString name;
    unsigned type;
    int subType;
    int scale;
    unsigned length;
    unsigned charset;
    unsigned offset;
    unsigned nullOffset;
  };

  void ensurePrepared();
  void buildInput(std::vector<unsigned char>& buffer, Firebird::IMessageMetadata*& meta);
  bool fetchOne();
  bool fetchTo(qint64 row);
  void markOpen();
  const unsigned char* rowData(qint64 row) const;
  const unsigned char* currentRow() const;
  unsigned char* newRowSlot();
  QString blobText(const unsigned char* id) const;

  Database& db_;
  Transaction* tr_ = nullptr;
  Transaction* openOn_ = nullptr;  // transaction the cursor lives in
  QStringList lines_;
  QString preparedText_;
  bool paramCheck_ = true;
  bool unidirectional_ = false;
  std::vector<std::unique_ptr<Param>> params_;  // unique names, in order of first appearance
  std::vector<int> markerParam_;                // marker index -> params_ index
  Firebird::IStatement* stmt_ = nullptr;
  Firebird::IMessageMetadata* outMeta_ = nullptr;
  Firebird::IResultSet* cursor_ = nullptr;
  // Kept for the life of the query: fetching row by row with a new status object each time
  // costs as much as reading the row's values.
  std::unique_ptr<detail::Status> fetchStatus_;
  unsigned statementType_ = 0;
  std::vector<Column> cols_;
  unsigned rowSize_ = 0;
  unsigned stride_ = 0;
  static constexpr qint64 kChunkRows = 512;
  std::vector<std::unique_ptr<unsigned char[]>> chunks_;
  qint64 rowCount_ = 0;
  qint64 current_ = 0;
  bool eof_ = true;
  bool active_ = false;
  bool fetchedAll_ = true;
  qint64 rowsAffected_ = 0;
};

// A call of a stored procedure by name with parameters by name. The parameter names come from
// the database's description of the procedure.
class StoredProc {
 public:
  explicit StoredProc(Database& db, Transaction* tr = nullptr);
  void setProcName(const QString& name);  // stored as given; quote mixed-case names yourself
  Param& param(const QString& name) { return query_.param(name); }
  // Runs it; output values are read through field().
  void exec();
  Field field(const QString& name) const { return query_.field(name); }
  Query& query() { return query_; }

 private:
  Database& db_;
  QString name_;
  Query query_;
};

}  // namespace db
