#pragma once

#include "platform/query.h"

#include <QHash>
#include <QStringList>
#include <QVariant>

#include <optional>

// The one record an edit window shows: the values read, the values as edited, and the state.
// Values are kept by column name (upper case) with the column's kind, so that text typed into a
// box becomes the column's type before it is written.
class EditRecord {
 public:
  enum class State { Browse, Edit, Insert };

  // Takes the columns and, when the query stands on a row, the values of that row. Without a
  // row the record is new: every value null, the first change puts it into Insert.
  void load(const db::Query& query);

  bool isNew() const { return isNew_; }
  void setNew(bool isNew) { isNew_ = isNew; }
  State state() const { return state_; }
  bool modified() const { return state_ != State::Browse; }
  bool hasField(const QString& field) const;
  const QStringList& fields() const { return order_; }
  db::Query::FieldKind kind(const QString& field) const;
  int length(const QString& field) const;

  QVariant value(const QString& field) const;
  QVariant originalValue(const QString& field) const;
  // The value as a box shows it: numbers with a comma, dates dd.mm.yyyy, text without
  // trailing blanks.
  QString text(const QString& field) const;

  // Puts the record into Edit (Insert when new) unless it already is, and stores the value.
  void setValue(const QString& field, const QVariant& value);
  // Converts typed text to the column's kind; nullopt with a message when it does not fit.
  // Empty text is null for numbers and dates.
  std::optional<QVariant> convert(const QString& field, const QString& text) const;
  // What stops the conversion, in Russian, or empty when it converts.
  QString conversionProblem(const QString& field, const QString& text) const;
  // Stores typed text when it differs from the stored value (compared as text); false when the
  // text does not convert (nothing stored then).
  bool setText(const QString& field, const QString& text);

  // Back to the values read; the state returns to Browse.
  void cancel();
  // After a successful write: the edited values become the values read.
  void posted();

  // Sets every parameter of a statement: NAME from the edited value of the column NAME,
  // OLD_NAME from the value read. A parameter that names no column is an error.
  void bind(db::Query& statement) const;

 private:
  struct Column {
    db::Query::FieldKind kind;
    int length;
  };
  QStringList order_;
  QHash<QString, Column> columns_;
  QHash<QString, QVariant> original_;
  QHash<QString, QVariant> current_;
  State state_ = State::Browse;
  bool isNew_ = false;
};
