#include "framework/editrecord.h"

#include "platform/dberror.h"
#include "platform/decimal.h"

namespace {
bool isNull(const QVariant& v) {
  return !v.isValid() || v.isNull();
}

QString numberText(const QVariant& v) {
  if (v.userType() == qMetaTypeId<Decimal4>()) {
    QString s = v.value<Decimal4>().toString(4);
    while (s.contains(QLatin1Char(',')) &&
           (s.endsWith(QLatin1Char('0')) || s.endsWith(QLatin1Char(','))))
      s.chop(1);
    return s;
  }
  QString s = QString::number(v.toDouble(), 'g', 15);
  s.replace(QLatin1Char('.'), QLatin1Char(','));
  return s;
}
}  // namespace

void EditRecord::load(const db::Query& query) {
  order_.clear();
  columns_.clear();
  original_.clear();
  const bool hasRow = query.active() && !query.isEmpty();
  for (int i = 0; i < query.fieldCount(); ++i) {
    const QString name = query.fieldName(i);
    order_ << name;
    columns_.insert(name, {query.fieldKind(i), query.fieldLength(i)});
    original_.insert(name, hasRow ? query.field(i).asVariant() : QVariant());
  }
  current_ = original_;
  state_ = State::Browse;
  isNew_ = !hasRow;
}

bool EditRecord::hasField(const QString& field) const {
  return columns_.contains(field.toUpper());
}

db::Query::FieldKind EditRecord::kind(const QString& field) const {
  return columns_.value(field.toUpper(), {db::Query::FieldKind::Other, 0}).kind;
}

int EditRecord::length(const QString& field) const {
  return columns_.value(field.toUpper(), {db::Query::FieldKind::Other, 0}).length;
}

QVariant EditRecord::value(const QString& field) const {
  return current_.value(field.toUpper());
}

QVariant EditRecord::originalValue(const QString& field) const {
  return original_.value(field.toUpper());
}

QString EditRecord::text(const QString& field) const {
  const QVariant v = value(field);
  if (isNull(v)) return {};
  switch (kind(field)) {
    case db::Query::FieldKind::Decimal:
    case db::Query::FieldKind::Float:
      return numberText(v);
    case db::Query::FieldKind::Date:
      return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case db::Query::FieldKind::DateTime:
      return v.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    case db::Query::FieldKind::Time:
      return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    default: {
      QString s = v.toString();
      while (s.endsWith(QLatin1Char(' '))) s.chop(1);
      return s;
    }
  }
}

void EditRecord::setValue(const QString& field, const QVariant& value) {
  if (state_ == State::Browse) state_ = isNew_ ? State::Insert : State::Edit;
  current_.insert(field.toUpper(), value);
}

QString EditRecord::conversionProblem(const QString& field, const QString& text) const {
  const QString t = text.trimmed();
  switch (kind(field)) {
    case db::Query::FieldKind::Integer: {
      if (t.isEmpty()) return {};
      bool ok = false;
      t.toLongLong(&ok);
      return ok ? QString() : QStringLiteral("\"%1\" не является целым числом.").arg(t);
    }
    case db::Query::FieldKind::Decimal:
    case db::Query::FieldKind::Float:
      if (t.isEmpty() || Decimal4::parse(t)) return {};
      return QStringLiteral("\"%1\" не является числом.").arg(t);
    case db::Query::FieldKind::Date:
    case db::Query::FieldKind::DateTime:
      if (t.isEmpty() || QDate::fromString(t, QStringLiteral("dd.MM.yyyy")).isValid()) return {};
      return QStringLiteral("\"%1\" не является датой (дд.мм.гггг).").arg(t);
    case db::Query::FieldKind::Text: {
      const int max = length(field);
      if (max > 0 && text.size() > max)
        return QStringLiteral("Текст длиннее %1 символов.").arg(max);
      return {};
    }
    default:
      return {};
  }
}

std::optional<QVariant> EditRecord::convert(const QString& field, const QString& text) const {
  if (!conversionProblem(field, text).isEmpty()) return std::nullopt;
  const QString t = text.trimmed();
  switch (kind(field)) {
    case db::Query::FieldKind::Integer:
      return t.isEmpty() ? QVariant() : QVariant(t.toLongLong());
    case db::Query::FieldKind::Decimal:
      return t.isEmpty() ? QVariant() : QVariant::fromValue(*Decimal4::parse(t));
    case db::Query::FieldKind::Float: {
      if (t.isEmpty()) return QVariant();
      QString p = t;
      p.replace(QLatin1Char(','), QLatin1Char('.'));
      return QVariant(p.toDouble());
    }
    case db::Query::FieldKind::Date:
    case db::Query::FieldKind::DateTime:
      return t.isEmpty() ? QVariant()
                         : QVariant(QDate::fromString(t, QStringLiteral("dd.MM.yyyy")));
    default:
      return QVariant(text);
  }
}

bool EditRecord::setText(const QString& field, const QString& text) {
  if (this->text(field) == text) return true;
  const auto v = convert(field, text);
  if (!v) return false;
  setValue(field, *v);
  return true;
}

void EditRecord::cancel() {
  current_ = original_;
  state_ = State::Browse;
}

void EditRecord::posted() {
  original_ = current_;
  state_ = State::Browse;
  isNew_ = false;
}

void EditRecord::bind(db::Query& statement) const {
  for (const QString& name : statement.paramNames()) {
    const bool old = name.startsWith(QLatin1String("OLD_"));
    const QString column = old ? name.mid(4) : name;
    if (!columns_.contains(column)) {
      throw db::DbError(
          QStringLiteral("Параметр %1 не соответствует ни одному полю записи.").arg(name));
    }
    statement.param(name).setValue(old ? original_.value(column) : current_.value(column));
  }
}
