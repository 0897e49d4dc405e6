#include "platform/query.h"

#include "platform/codepage.h"
#include "platform/database.h"
#include "platform/dberror.h"
#include "platform/fbapi.h"
#include "platform/sqlparams.h"

#include <ibase.h>

#include <QHash>
#include <QLocale>

#include <cmath>
#include <cstring>

namespace db {

using detail::fb;
using detail::guarded;
using detail::Status;

namespace {

constexpr qint64 kJulianDayOfIscDateZero = 2400001;  // 17.11.1858

ISC_DATE toIscDate(const QDate& d) {
  return static_cast<ISC_DATE>(d.toJulianDay() - kJulianDayOfIscDateZero);
}
QDate fromIscDate(ISC_DATE d) {
  return QDate::fromJulianDay(d + kJulianDayOfIscDateZero);
}
ISC_TIME toIscTime(const QTime& t) {
  return static_cast<ISC_TIME>(t.msecsSinceStartOfDay()) * 10;
}
QTime fromIscTime(ISC_TIME t) {
  return QTime::fromMSecsSinceStartOfDay(static_cast<int>(t / 10));
}

qint64 pow10(int n) {
  qint64 r = 1;
  while (n-- > 0) r *= 10;
  return r;
}

// Exact decimal text of a scaled integer, without trailing zeros, with the given separator.
QString scaledToString(qint64 v, int scale, QChar sep) {
  if (scale >= 0) return QString::number(v * pow10(scale));
  const qint64 unit = pow10(-scale);
  const qint64 a = v < 0 ? -v : v;
  QString frac = QStringLiteral("%1").arg(a % unit, -scale, 10, QLatin1Char('0'));
  while (frac.endsWith(QLatin1Char('0'))) frac.chop(1);
  QString out = QString::number(a / unit);
  if (!frac.isEmpty()) out += sep + frac;
  return v < 0 ? QLatin1Char('-') + out : out;
}

QString doubleToString(double d) {
  QString s = QString::number(d, 'g', 15);
  s.replace(QLatin1Char('.'), QLatin1Char(','));
  return s;
}

std::optional<double> parseDouble(QString text) {
  text = text.trimmed();
  text.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double d = text.toDouble(&ok);
  return ok ? std::optional<double>(d) : std::nullopt;
}

// Text of a CHAR or VARCHAR value in the row buffer; CHAR without its trailing blanks.
QString textValue(unsigned type, unsigned length, const unsigned char* p) {
  if (type == SQL_VARYING) {
    ISC_USHORT n;
    std::memcpy(&n, p, sizeof n);
    return CodePage::win1251().decode(reinterpret_cast<const char*>(p + sizeof n), n);
  }
  const char* s = reinterpret_cast<const char*>(p);
  qsizetype n = length;
  while (n > 0 && s[n - 1] == ' ') --n;
  return CodePage::win1251().decode(s, n);
}

QDate parseDate(const QString& text) {
  const QString t = text.trimmed();
  QDate d = QDate::fromString(t, QStringLiteral("dd.MM.yyyy"));
  if (!d.isValid()) d = QDate::fromString(t, Qt::ISODate);
  return d;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

Query::Query(Database& db, Transaction* tr) : db_(db), tr_(tr) {
  db_.attach(this);
}

Query::~Query() {
  unprepare();
  db_.detach(this);
}

void Query::setSql(const QString& text) {
  lines_ = text.split(QLatin1Char('\n'));
}

void Query::setTransaction(Transaction* tr) {
  if (tr == tr_) return;
  close();
  tr_ = tr;
}

Transaction* Query::transaction() const {
  Transaction* tr = tr_ ? tr_ : db_.defaultTransaction();
  if (!tr) throw DbError(QStringLiteral("Запросу не назначена транзакция."));
  return tr;
}

Param* Query::findParam(const QString& name) {
  ensurePrepared();
  const QString upper = name.toUpper();
  for (auto& p : params_)
    if (p->name() == upper) return p.get();
  return nullptr;
}

Param& Query::param(const QString& name) {
  if (Param* p = findParam(name)) return *p;
  throw DbError(QStringLiteral("Параметр %1 не найден в запросе.").arg(name));
}

int Query::paramCount() {
  ensurePrepared();
  return static_cast<int>(params_.size());
}

QStringList Query::paramNames() {
  ensurePrepared();
  QStringList names;
  for (auto& p : params_) names << p->name();
  return names;
}

void Query::prepare() {
  ensurePrepared();
}

void Query::ensurePrepared() {
  const QString text = sqlText();
  if (stmt_ && text == preparedText_) return;
  unprepare();
  if (!db_.connected()) throw DbError(QStringLiteral("Нет соединения с базой данных."));

  QString engineText = text;
  std::vector<std::unique_ptr<Param>> params;
  markerParam_.clear();
  if (paramCheck_) {
    ParsedSql parsed = parseNamedParams(text);
    engineText = parsed.text;
    for (const QString& name : parsed.names) {
      int index = -1;
      for (size_t i = 0; i < params.size(); ++i)
        if (params[i]->name() == name) index = static_cast<int>(i);
      if (index < 0) {
        params.push_back(std::make_unique<Param>(name));
        // A parameter that keeps its name keeps its value across a change of text.
        for (auto& old : params_)
          if (old->name() == name) params.back()->setValue(old->value());
        index = static_cast<int>(params.size()) - 1;
      }
      markerParam_.push_back(index);
    }
  }
  params_ = std::move(params);

  const QByteArray bytes = CodePage::win1251().encode(engineText);
  Firebird::ITransaction* trh = transaction()->handle();
  guarded([&] {
    Status st;
    stmt_ = db_.attachment()->prepare(st.get(), trh, 0, bytes.constData(), 3,
                                      Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    statementType_ = stmt_->getType(st.get());
    outMeta_ = stmt_->getOutputMetadata(st.get());
    const unsigned count = outMeta_->getCount(st.get());
    cols_.clear();
    cols_.reserve(count);
    QHash<QString, int> used;
    for (unsigned i = 0; i < count; ++i) {
      Column c{};
      QString name = CodePage::win1251().decode(QByteArray(outMeta_->getAlias(st.get(), i)));
      if (name.isEmpty()) name = QStringLiteral("F_%1").arg(i + 1);
      // A repeated name gets a number: NAME, NAME1, NAME2 ...
      const QString base = name.toUpper();
      QString unique = base;
      for (int k = 1; used.contains(unique); ++k) unique = base + QString::number(k);
      used.insert(unique, int(i));
      c.name = unique;
      c.type = outMeta_->getType(st.get(), i);
      c.subType = outMeta_->getSubType(st.get(), i);
      c.scale = outMeta_->getScale(st.get(), i);
      c.length = outMeta_->getLength(st.get(), i);
      c.charset = outMeta_->getCharSet(st.get(), i);
      c.offset = outMeta_->getOffset(st.get(), i);
      c.nullOffset = outMeta_->getNullOffset(st.get(), i);
      cols_.push_back(c);
    }
    rowSize_ = outMeta_->getMessageLength(st.get());
    stride_ = (rowSize_ + 7u) & ~7u;
  });
  preparedText_ = text;
}

void Query::unprepare() noexcept {
  close();
  if (outMeta_) {
    outMeta_->release();
    outMeta_ = nullptr;
  }
  if (stmt_) {
    try {
      Status st;
      stmt_->free(st.get());
    } catch (const Firebird::FbException&) {
      stmt_->release();
    }
    stmt_ = nullptr;
  }
  cols_.clear();
  preparedText_.clear();
}

void Query::buildInput(std::vector<unsigned char>& buffer, Firebird::IMessageMetadata*& meta) {
  meta = nullptr;
  if (markerParam_.empty()) return;
  struct Encoded {
    QByteArray bytes;
    bool text = false;
  };
  std::vector<Encoded> encoded(markerParam_.size());
  guarded([&] {
    Status st;
    Firebird::IMessageMetadata* in = stmt_->getInputMetadata(st.get());
    Firebird::IMetadataBuilder* b = in->getBuilder(st.get());
    in->release();
    for (size_t i = 0; i < markerParam_.size(); ++i) {
      const Param& p = *params_[markerParam_[i]];
      const unsigned idx = static_cast<unsigned>(i);
      if (p.isNull()) continue;  // keeps the parameter's own type; only the null flag is sent
      const QVariant& v = p.value();
      auto fixed = [&](unsigned type, unsigned length, int scale) {
        b->setType(st.get(), idx, type);
        b->setSubType(st.get(), idx, 0);
        b->setLength(st.get(), idx, length);
        b->setScale(st.get(), idx, scale);
      };
      switch (v.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
          fixed(SQL_INT64, 8, 0);
          break;
        case QMetaType::Double:
        case QMetaType::Float:
          fixed(SQL_DOUBLE, 8, 0);
          break;
        case QMetaType::QDate:
          fixed(SQL_TYPE_DATE, 4, 0);
          break;
        case QMetaType::QTime:
          fixed(SQL_TYPE_TIME, 4, 0);
          break;
        case QMetaType::QDateTime:
          fixed(SQL_TIMESTAMP, 8, 0);
          break;
        default:
          if (v.userType() == qMetaTypeId<Decimal4>()) {
            fixed(SQL_INT64, 8, -4);
          } else {
            const bool raw = v.typeId() == QMetaType::QByteArray;
            encoded[i].text = true;
            encoded[i].bytes = raw ? v.toByteArray() : CodePage::win1251().encode(v.toString());
            b->setType(st.get(), idx, SQL_VARYING);
            b->setSubType(st.get(), idx, 0);
            b->setScale(st.get(), idx, 0);
            b->setLength(st.get(), idx,
                         static_cast<unsigned>(std::max<qsizetype>(1, encoded[i].bytes.size())));
            b->setCharSet(st.get(), idx, raw ? detail::kCharsetOctets : detail::kCharsetWin1251);
          }
      }
    }
    meta = b->getMetadata(st.get());
    b->release();
    buffer.assign(meta->getMessageLength(st.get()), 0);
    for (size_t i = 0; i < markerParam_.size(); ++i) {
      const Param& p = *params_[markerParam_[i]];
      const unsigned idx = static_cast<unsigned>(i);
      unsigned char* data = buffer.data() + meta->getOffset(st.get(), idx);
      auto* nullFlag =
          reinterpret_cast<ISC_SHORT*>(buffer.data() + meta->getNullOffset(st.get(), idx));
      if (p.isNull()) {
        *nullFlag = -1;
        continue;
      }
      *nullFlag = 0;
      const QVariant& v = p.value();
      if (encoded[i].text) {
        const ISC_USHORT len = static_cast<ISC_USHORT>(encoded[i].bytes.size());
        std::memcpy(data, &len, sizeof len);
        std::memcpy(data + sizeof len, encoded[i].bytes.constData(), len);
        continue;
      }
      switch (meta->getType(st.get(), idx)) {
        case SQL_INT64: {
          const ISC_INT64 x =
              v.userType() == qMetaTypeId<Decimal4>() ? v.value<Decimal4>().raw() : v.toLongLong();
          std::memcpy(data, &x, sizeof x);
          break;
        }
        case SQL_DOUBLE: {
          const double x = v.toDouble();
          std::memcpy(data, &x, sizeof x);
          break;
        }
        case SQL_TYPE_DATE: {
          const ISC_DATE x = toIscDate(v.toDate());
          std::memcpy(data, &x, sizeof x);
          break;
        }
        case SQL_TYPE_TIME: {
          const ISC_TIME x = toIscTime(v.toTime());
          std::memcpy(data, &x, sizeof x);
          break;
        }
        case SQL_TIMESTAMP: {
          const QDateTime dt = v.toDateTime();
          const ISC_TIMESTAMP x{toIscDate(dt.date()), toIscTime(dt.time())};
          std::memcpy(data, &x, sizeof x);
          break;
        }
        default:
          break;
      }
    }
  });
}

void Query::open() {
  close();
  ensurePrepared();
  if (statementType_ != isc_info_sql_stmt_select &&
      statementType_ != isc_info_sql_stmt_select_for_upd) {
    exec();
    return;
  }
  std::vector<unsigned char> in;
  Firebird::IMessageMetadata* inMeta = nullptr;
  buildInput(in, inMeta);
  Transaction* tr = transaction();
  Firebird::ITransaction* trh = tr->handle();
  guarded([&] {
    Status st;
    struct Release {
      Firebird::IMessageMetadata* m;
      ~Release() {
        if (m) m->release();
      }
    } release{inMeta};
    cursor_ =
        stmt_->openCursor(st.get(), trh, inMeta, in.empty() ? nullptr : in.data(), outMeta_, 0);
  });
  openOn_ = tr;
  tr->attach(this);
  active_ = true;
  fetchedAll_ = false;
  rowCount_ = 0;
  current_ = 0;
  first();
}

void Query::exec() {
  ensurePrepared();
  if (statementType_ == isc_info_sql_stmt_select ||
      statementType_ == isc_info_sql_stmt_select_for_upd) {
    open();
    return;
  }
  close();
  std::vector<unsigned char> in;
  Firebird::IMessageMetadata* inMeta = nullptr;
  buildInput(in, inMeta);
  Firebird::ITransaction* trh = transaction()->handle();
  const bool hasOutput = !cols_.empty();
  guarded([&] {
    Status st;
    struct Release {
      Firebird::IMessageMetadata* m;
      ~Release() {
        if (m) m->release();
      }
    } release{inMeta};
    unsigned char* out = hasOutput ? newRowSlot() : nullptr;
    stmt_->execute(st.get(), trh, inMeta, in.empty() ? nullptr : in.data(),
                   hasOutput ? outMeta_ : nullptr, out);
    rowsAffected_ = static_cast<qint64>(stmt_->getAffectedRecords(st.get()));
  });
  if (hasOutput) {
    active_ = true;
    fetchedAll_ = true;
    rowCount_ = 1;
    current_ = 0;
    eof_ = false;
  }
}

void Query::close() noexcept {
  if (cursor_) {
    try {
      Status st;
      cursor_->close(st.get());
    } catch (const Firebird::FbException&) {
      cursor_->release();
    }
    cursor_ = nullptr;
  }
  if (openOn_) {
    openOn_->detach(this);
    openOn_ = nullptr;
  }
  active_ = false;
  eof_ = true;
  fetchedAll_ = true;
  rowCount_ = 0;
  current_ = 0;
  chunks_.clear();
}

unsigned char* Query::newRowSlot() {
  const qint64 row = unidirectional_ ? 0 : rowCount_;
  const size_t chunk = static_cast<size_t>(row / kChunkRows);
  if (chunk >= chunks_.size())
    chunks_.push_back(std::make_unique<unsigned char[]>(static_cast<size_t>(stride_ * kChunkRows)));
  return chunks_[chunk].get() + static_cast<size_t>(row % kChunkRows) * stride_;
}

const unsigned char* Query::rowData(qint64 row) const {
  if (unidirectional_) row = 0;
  return chunks_[static_cast<size_t>(row / kChunkRows)].get() +
         static_cast<size_t>(row % kChunkRows) * stride_;
}

const unsigned char* Query::currentRow() const {
  if (!active_ || rowCount_ == 0) return nullptr;
  return rowData(current_);
}

bool Query::fetchOne() {
  if (fetchedAll_ || !cursor_) return false;
  if (!fetchStatus_) fetchStatus_ = std::make_unique<Status>();
  return guarded([&] {
    Status& st = *fetchStatus_;
    unsigned char* slot = newRowSlot();
    if (cursor_->fetchNext(st.get(), slot) == Firebird::IStatus::RESULT_OK) {
      ++rowCount_;
      return true;
    }
    fetchedAll_ = true;
    // The rows stay readable; the engine's cursor is no longer needed.
    cursor_->close(st.get());
    cursor_ = nullptr;
    return false;
  });
}

bool Query::fetchTo(qint64 row) {
  if (unidirectional_ && row < rowCount_ - 1)
    throw DbError(QStringLiteral("Запрос читается только вперед."));
  while (rowCount_ <= row)
    if (!fetchOne()) return false;
  return true;
}

void Query::first() {
  if (!active_) return;
  if (rowCount_ == 0) fetchTo(0);
  current_ = 0;
  eof_ = rowCount_ == 0;
}

void Query::next() {
  if (!active_ || eof_) return;
  if (fetchTo(current_ + 1))
    ++current_;
  else
    eof_ = true;
}

void Query::prior() {
  if (!active_) return;
  if (unidirectional_) throw DbError(QStringLiteral("Запрос читается только вперед."));
  if (current_ > 0) --current_;
  eof_ = rowCount_ == 0;
}

void Query::last() {
  if (!active_) return;
  while (fetchOne()) {
  }
  if (rowCount_ > 0) current_ = rowCount_ - 1;
  eof_ = true;  // as after reading past the end; the last row stays readable
}

bool Query::moveTo(qint64 row) {
  if (!active_ || row < 0 || !fetchTo(row)) return false;
  current_ = row;
  eof_ = false;
  return true;
}

qint64 Query::recordCount() {
  if (!active_) return 0;
  while (fetchOne()) {
  }
  return rowCount_;
}

int Query::fieldIndex(const QString& name) const {
  const QString upper = name.toUpper();
  for (size_t i = 0; i < cols_.size(); ++i)
    if (cols_[i].name == upper) return static_cast<int>(i);
  return -1;
}

Field Query::field(const QString& name) const {
  const int i = fieldIndex(name);
  if (i < 0) throw DbError(QStringLiteral("Поле %1 не найдено в запросе.").arg(name));
  return Field(this, i);
}

Query::FieldKind Query::fieldKind(int i) const {
  const Column& c = cols_.at(static_cast<size_t>(i));
  switch (c.type) {
    case SQL_TEXT:
    case SQL_VARYING:
      return FieldKind::Text;
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
      return c.scale == 0 ? FieldKind::Integer : FieldKind::Decimal;
    case SQL_FLOAT:
    case SQL_DOUBLE:
      return FieldKind::Float;
    case SQL_TYPE_DATE:
      return FieldKind::Date;
    case SQL_TYPE_TIME:
      return FieldKind::Time;
    case SQL_TIMESTAMP:
      return FieldKind::DateTime;
    case SQL_BOOLEAN:
      return FieldKind::Boolean;
    case SQL_BLOB:
      return FieldKind::Blob;
    default:
      return FieldKind::Other;
  }
}

int Query::fieldLength(int i) const {
  const Column& c = cols_.at(static_cast<size_t>(i));
  if (c.type != SQL_TEXT && c.type != SQL_VARYING) return 0;
  // WIN1251 takes one byte a character.
  return static_cast<int>(c.length);
}

bool Query::locate(const QString& fields, const QVariantList& values, int options) {
  if (!active_) return false;
  QList<int> idx;
  for (const QString& f : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
    idx << field(f.trimmed()).index();
  if (idx.size() != values.size())
    throw DbError(QStringLiteral("Число полей и значений поиска не совпадает."));
  const Qt::CaseSensitivity cs =
      (options & CaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
  const qint64 saved = current_;
  const bool savedEof = eof_;
  for (qint64 row = 0; fetchTo(row); ++row) {
    current_ = row;
    bool all = true;
    for (int k = 0; k < idx.size() && all; ++k) {
      const Field f(this, idx[k]);
      const QVariant& want = values[k];
      if (!want.isValid() || want.isNull()) {
        all = f.isNull();
      } else if (f.isNull()) {
        all = false;
      } else {
        switch (want.typeId()) {
          case QMetaType::Int:
          case QMetaType::LongLong:
          case QMetaType::UInt:
          case QMetaType::ULongLong:
          case QMetaType::Double:
            all = f.asDouble() == want.toDouble();
            break;
          case QMetaType::QDate:
            all = f.asDate() == want.toDate();
            break;
          default: {
            const QString have = f.asString();
            const QString w = want.toString();
            all = (options & PartialKey) ? have.startsWith(w, cs) : have.compare(w, cs) == 0;
          }
        }
      }
    }
    if (all) {
      eof_ = false;
      return true;
    }
  }
  current_ = saved;
  eof_ = savedEof;
  return false;
}

QString Query::blobText(const unsigned char* id) const {
  if (!openOn_ || !openOn_->inTransaction())
    throw DbError(QStringLiteral("Текст поля недоступен: транзакция запроса завершена."));
  QByteArray bytes;
  guarded([&] {
    Status st;
    ISC_QUAD quad;
    std::memcpy(&quad, id, sizeof quad);
    Firebird::IBlob* blob =
        db_.attachment()->openBlob(st.get(), openOn_->handle(), &quad, 0, nullptr);
    char buf[16384];
    for (;;) {
      unsigned got = 0;
      const int r = blob->getSegment(st.get(), sizeof buf, buf, &got);
      if (r == Firebird::IStatus::RESULT_NO_DATA) break;
      bytes.append(buf, got);
    }
    blob->close(st.get());
  });
  return CodePage::win1251().decode(bytes);
}

// ---------------------------------------------------------------------------------------------

const QString& Field::name() const {
  return q_->cols_[index_].name;
}

const unsigned char* Field::data() const {
  const unsigned char* row = q_->currentRow();
  if (!row) return nullptr;
  const auto& c = q_->cols_[index_];
  ISC_SHORT flag;
  std::memcpy(&flag, row + c.nullOffset, sizeof flag);
  return flag != 0 ? nullptr : row + c.offset;
}

bool Field::isNull() const {
  return data() == nullptr;
}

namespace {
template <typename T>
T load(const unsigned char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
}  // namespace

QVariant Field::asVariant() const {
  const unsigned char* p = data();
  if (!p) return {};
  const auto& c = q_->cols_[index_];
  auto scaled = [&](qint64 v) -> QVariant {
    if (c.scale == 0) return QVariant::fromValue(v);
    if (c.scale >= -4) return QVariant::fromValue(Decimal4::fromRaw(v * pow10(4 + c.scale)));
    return static_cast<double>(v) / static_cast<double>(pow10(-c.scale));
  };
  switch (c.type) {
    case SQL_TEXT:
    case SQL_VARYING:
      return textValue(c.type, c.length, p);
    case SQL_SHORT:
      return c.scale == 0 ? QVariant(int(load<ISC_SHORT>(p))) : scaled(load<ISC_SHORT>(p));
    case SQL_LONG:
      return c.scale == 0 ? QVariant(int(load<ISC_LONG>(p))) : scaled(load<ISC_LONG>(p));
    case SQL_INT64:
      return scaled(load<ISC_INT64>(p));
    case SQL_FLOAT:
      return double(load<float>(p));
    case SQL_DOUBLE:
      return load<double>(p);
    case SQL_TYPE_DATE:
      return fromIscDate(load<ISC_DATE>(p));
    case SQL_TYPE_TIME:
      return fromIscTime(load<ISC_TIME>(p));
    case SQL_TIMESTAMP: {
      const auto ts = load<ISC_TIMESTAMP>(p);
      return QDateTime(fromIscDate(ts.timestamp_date), fromIscTime(ts.timestamp_time));
    }
    case SQL_BOOLEAN:
      return bool(*p);
    case SQL_BLOB:
      return q_->blobText(p);
    default:
      throw DbError(
          QStringLiteral("Поле %1: тип данных %2 не поддерживается.").arg(c.name).arg(c.type));
  }
}

qint64 Field::asInt() const {
  const unsigned char* p = data();
  if (!p) return 0;
  const auto& c = q_->cols_[index_];
  if (c.scale == 0) {
    switch (c.type) {
      case SQL_SHORT:
        return load<ISC_SHORT>(p);
      case SQL_LONG:
        return load<ISC_LONG>(p);
      case SQL_INT64:
        return load<ISC_INT64>(p);
      default:
        break;
    }
  }
  const QVariant v = asVariant();
  if (v.userType() == qMetaTypeId<Decimal4>())
    return v.value<Decimal4>().rounded(0).raw() / Decimal4::kScale;
  switch (v.typeId()) {
    case QMetaType::Double:
      return std::llround(v.toDouble());
    case QMetaType::QString: {
      const auto d = parseDouble(v.toString());
      if (!d)
        throw DbError(
            QStringLiteral("Значение «%1» поля %2 не является числом.").arg(v.toString(), c.name));
      return std::llround(*d);
    }
    case QMetaType::Bool:
      return v.toBool() ? 1 : 0;
    default:
      throw DbError(QStringLiteral("Поле %1 нельзя прочитать как число.").arg(c.name));
  }
}

double Field::asDouble() const {
  const unsigned char* p = data();
  if (!p) return 0;
  const auto& c = q_->cols_[index_];
  if (c.type == SQL_DOUBLE) return load<double>(p);
  if (c.type == SQL_FLOAT) return load<float>(p);
  const QVariant v = asVariant();
  if (v.userType() == qMetaTypeId<Decimal4>()) return v.value<Decimal4>().toDouble();
  if (v.typeId() == QMetaType::QString) {
    const auto d = parseDouble(v.toString());
    if (!d)
      throw DbError(
          QStringLiteral("Значение «%1» поля %2 не является числом.").arg(v.toString(), c.name));
    return *d;
  }
  if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime ||
      v.typeId() == QMetaType::QTime)
    throw DbError(QStringLiteral("Поле %1 нельзя прочитать как число.").arg(c.name));
  return v.toDouble();
}

Decimal4 Field::asDecimal() const {
  const unsigned char* p = data();
  if (!p) return {};
  const auto& c = q_->cols_[index_];
  switch (c.type) {
    case SQL_DOUBLE:
      return Decimal4::fromDouble(load<double>(p));
    case SQL_FLOAT:
      return Decimal4::fromDouble(load<float>(p));
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
      const qint64 v = c.type == SQL_SHORT  ? load<ISC_SHORT>(p)
                       : c.type == SQL_LONG ? load<ISC_LONG>(p)
                                            : load<ISC_INT64>(p);
      if (c.scale >= -4) return Decimal4::fromRaw(v * pow10(4 + c.scale));
      // More decimals than four: round the rest away, halves away from zero.
      const qint64 unit = pow10(-c.scale - 4);
      const qint64 a = v < 0 ? -v : v;
      const qint64 r = (a + unit / 2) / unit;
      return Decimal4::fromRaw(v < 0 ? -r : r);
    }
    default: {
      const QString s = asString();
      const auto d = Decimal4::parse(s);
      if (!d)
        throw DbError(QStringLiteral("Значение «%1» поля %2 не является числом.").arg(s, c.name));
      return *d;
    }
  }
}

QDate Field::asDate() const {
  const QVariant v = asVariant();
  switch (v.typeId()) {
    case QMetaType::QDate:
      return v.toDate();
    case QMetaType::QDateTime:
      return v.toDateTime().date();
    case QMetaType::QString:
      return parseDate(v.toString());
    default:
      return {};
  }
}

QTime Field::asTime() const {
  const QVariant v = asVariant();
  if (v.typeId() == QMetaType::QTime) return v.toTime();
  if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().time();
  return {};
}

QDateTime Field::asDateTime() const {
  const QVariant v = asVariant();
  if (v.typeId() == QMetaType::QDateTime) return v.toDateTime();
  if (v.typeId() == QMetaType::QDate) return QDateTime(v.toDate(), QTime(0, 0));
  return {};
}

QString Field::asString() const {
  const unsigned char* p = data();
  if (!p) return {};
  const auto& c = q_->cols_[index_];
  // Text is the common case of a list's cell: no detour through QVariant.
  if (c.type == SQL_TEXT || c.type == SQL_VARYING) return textValue(c.type, c.length, p);
  const QVariant v = asVariant();
  if (v.userType() == qMetaTypeId<Decimal4>())
    return scaledToString(v.value<Decimal4>().raw(), -4, QLatin1Char(','));
  switch (v.typeId()) {
    case QMetaType::QString:
      return v.toString();
    case QMetaType::Double:
      return c.scale < -4 ? scaledToString(std::llround(v.toDouble() * pow10(-c.scale)), c.scale,
                                           QLatin1Char(','))
                          : doubleToString(v.toDouble());
    case QMetaType::QDate:
      return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QTime:
      return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime:
      return v.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    default:
      return v.toString();
  }
}

// ---------------------------------------------------------------------------------------------

StoredProc::StoredProc(Database& db, Transaction* tr) : db_(db), query_(db, tr) {}

void StoredProc::setProcName(const QString& name) {
  if (name == name_) return;
  name_ = name;
  // The inputs in their declared order, so that the call names them.
  Query meta(db_, query_.transaction());
  meta.setSql(QStringLiteral(
      "select trim(RDB$PARAMETER_NAME) as PNAME from RDB$PROCEDURE_PARAMETERS "
      "where RDB$PROCEDURE_NAME = :PROC and RDB$PARAMETER_TYPE = 0 order by RDB$PARAMETER_NUMBER"));
  QString plain = name;
  if (plain.startsWith(QLatin1Char('"')) && plain.endsWith(QLatin1Char('"')))
    plain = plain.mid(1, plain.size() - 2);
  else
    plain = plain.toUpper();
  meta.param(QStringLiteral("PROC")).setString(plain);
  meta.open();
  QStringList inputs;
  for (; !meta.eof(); meta.next()) inputs << QLatin1Char(':') + meta.field(0).asString();
  QString call = QStringLiteral("execute procedure ") + name;
  if (!inputs.isEmpty())
    call += QStringLiteral(" (") + inputs.join(QStringLiteral(", ")) + QLatin1Char(')');
  query_.setSql(call);
}

void StoredProc::exec() {
  if (name_.isEmpty()) throw DbError(QStringLiteral("Не задано имя процедуры."));
  query_.exec();
}

}  // namespace db
