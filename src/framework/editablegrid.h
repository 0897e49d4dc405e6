#pragma once

#include "platform/decimal.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QTableView>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <vector>

namespace db {
class Query;
}

// One column of an editable grid: the field it shows, its title, whether it can be typed into,
// and how its values are read and shown.
struct EditableColumn {
  enum Kind {
    Text,     // text, shown without trailing blanks
    Integer,  // whole numbers
    Number,   // exact four-decimal values (Decimal4), shown with `decimals` places
    Date,     // dd.mm.yyyy
    Check,    // 0 / 1, shown as a check box
  };

  QString field;
  QString title;
  bool editable = false;
  Kind kind = Text;
  int decimals = 0;  // Number: places shown; what is typed keeps up to four
  int width = 0;     // characters; 0 leaves the width to the view

  static EditableColumn text(QString field, QString title, bool editable = false) {
    return {std::move(field), std::move(title), editable, Text, 0, 0};
  }
  static EditableColumn integer(QString field, QString title, bool editable = false) {
    return {std::move(field), std::move(title), editable, Integer, 0, 0};
  }
  static EditableColumn number(QString field, QString title, int decimals, bool editable = false) {
    return {std::move(field), std::move(title), editable, Number, decimals, 0};
  }
  static EditableColumn date(QString field, QString title, bool editable = false) {
    return {std::move(field), std::move(title), editable, Date, 0, 0};
  }
  static EditableColumn check(QString field, QString title, bool editable = false) {
    return {std::move(field), std::move(title), editable, Check, 0, 0};
  }
};

// A row on its way to the database: every field of the row as edited and as it was read, by
// name without regard to case. A post may change values (a computed column); the grid shows
// what the post left.
class EditableRow {
 public:
  QVariant value(const QString& field) const { return current_.value(field.toUpper()); }
  QVariant oldValue(const QString& field) const { return original_.value(field.toUpper()); }
  bool isNull(const QString& field) const;
  // A value as an exact number; null gives 0.
  Decimal4 decimal(const QString& field) const;
  void setValue(const QString& field, const QVariant& value) {
    current_.insert(field.toUpper(), value);
  }
  bool hasField(const QString& field) const { return current_.contains(field.toUpper()); }
  // Sets every parameter of a statement: NAME from the value as edited, OLD_NAME from the value
  // read. A parameter that names no field is an error (db::DbError).
  void bind(db::Query& statement) const;

 private:
  friend class EditableModel;
  QHash<QString, QVariant> current_;
  QHash<QString, QVariant> original_;
};

// Writes one changed row. Returns false to refuse it (after saying why); throws db::DbError when
// the database refuses it. Either way the row stays changed and can be corrected.
using RowPoster = std::function<bool(EditableRow& row)>;

// A poster that runs one statement (prepared once by its first use) with the row's values as
// its parameters, as EditableRow::bind sets them. The statement stays the caller's.
RowPoster postWithStatement(db::Query& statement);

// The rows of an editable grid: read from a query, or put in by the program (an in-memory
// table), changed in place and written row by row through a poster. Number columns hold
// Decimal4 values, so what is typed is kept exactly.
class EditableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit EditableModel(QList<EditableColumn> columns, QObject* parent = nullptr);

  const QList<EditableColumn>& columns() const { return columns_; }
  void setPoster(RowPoster poster) { poster_ = std::move(poster); }

  // Replaces the rows with every row of the query (opened here and closed afterwards), all of
  // its fields kept, shown or not. Throws db::DbError (the model is empty then), also for a
  // column naming a field the query lacks.
  void load(db::Query& query);
  // Appends a row of the program's own; fields by name.
  void appendRow(const QVariantMap& values);
  void clear();

  // A field of a row, shown or not; invalid for null or a row outside the model.
  QVariant value(int row, const QString& field) const;
  // The row as a poster would see it.
  EditableRow row(int row) const;
  bool isChanged(int row) const;
  bool hasChanges() const;

  // Writes a changed row through the poster (a model without one keeps the change in memory).
  // True when the row is unchanged afterwards; false when the poster refused it. Throws what
  // the poster throws.
  bool post(int row);
  // Gives a changed row its values as read back.
  void revert(int row);

  // What keeps a typed text out of a cell, in Russian; empty when it fits.
  QString conversionProblem(int column, const QString& text) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 signals:
  // A typed text did not fit its column; the cell keeps its value.
  void inputRejected(const QString& problem);
  void rowPosted(int row);

 private:
  struct Row {
    QHash<QString, QVariant> current;
    QHash<QString, QVariant> original;
    bool changed = false;
  };
  QVariant normalised(const EditableColumn& column, const QVariant& value) const;
  bool sameValue(const EditableColumn& column, const QVariant& a, const QVariant& b) const;
  QString displayText(const EditableColumn& column, const QVariant& value) const;
  QString editText(const EditableColumn& column, const QVariant& value) const;
  bool hasRow(int row) const { return row >= 0 && row < int(rows_.size()); }

  QList<EditableColumn> columns_;
  std::vector<Row> rows_;
  RowPoster poster_;
};

// A grid with in-place editing over an EditableModel. A row is posted when Enter is pressed
// (in a cell being edited or not) and when the cursor leaves it for another row; Esc outside a
// cell gives a changed row back its values. A failed post shows "Ошибка сохранения данных."
// with the database's message and leaves the row changed.
class EditableGrid : public QTableView {
  Q_OBJECT
 public:
  explicit EditableGrid(QWidget* parent = nullptr);

  // The model stays the caller's.
  void setEditableModel(EditableModel* model);
  EditableModel* editableModel() const { return model_; }

  // Takes the text of an open cell editor into the model.
  void commitOpenEditor();
  // Posts the row under the cursor; true when it is unchanged afterwards.
  bool postCurrentRow();
  // Posts every changed row (before the window that holds the grid saves or closes); true when
  // none is left changed.
  bool postAll();
  void applyColumnWidths();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  bool postRow(int row);

  EditableModel* model_ = nullptr;
  bool posting_ = false;
};
