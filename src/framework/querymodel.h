#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QSortFilterProxyModel>
#include <QString>
#include <QTableView>
#include <QVariant>

#include <vector>

namespace db {
class Query;
}

// How a column shows its values. Plain leaves it to the data layer: text without trailing
// blanks, numbers with the Russian comma, dates as dd.mm.yyyy.
struct DisplayFormat {
  enum Kind { Plain, Number, Date, Time, DateTime };
  Kind kind = Plain;
  int decimals = 0;  // Number: decimals shown, rounded halves away from zero

  static DisplayFormat number(int decimals) { return {Number, decimals}; }
  static DisplayFormat date() { return {Date, 0}; }
  static DisplayFormat time() { return {Time, 0}; }
  static DisplayFormat dateTime() { return {DateTime, 0}; }

  // The text of a value as the column shows it; empty for null.
  QString text(const QVariant& value) const;
};

// One shown column of a query: the field, its title and, when given, its width in characters.
struct QueryColumn {
  QString field;
  QString title;
  int width = 0;  // characters; 0 leaves the width to the view
  DisplayFormat format = {};
};

// The read-only table model of every list: rows of a db::Query (not owned), shown in columns.
// Rows reach the view in chunks as it scrolls, so the first screen never waits for the whole
// result. The model moves the query's current row as it reads: callers take values through
// value(), not through the query's current row. The query must keep its rows (not
// unidirectional).
//
// Ending the query's transaction closes the query (the data layer does so). Until the next
// refresh() the model then shows empty cells instead of reading rows that are gone.
class QueryModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // The value to sort by: numbers as numbers, dates as dates, null as an invalid QVariant.
  static constexpr int SortRole = Qt::UserRole;

  // Without columns every field of the query is shown under its own name.
  explicit QueryModel(db::Query& query, QList<QueryColumn> columns = {}, QObject* parent = nullptr);

  db::Query& query() const { return query_; }
  void setColumns(QList<QueryColumn> columns);
  const QList<QueryColumn>& columns() const { return columns_; }
  // Rows added to the view at a time.
  void setFetchSize(int rows) { fetchSize_ = rows > 0 ? rows : 1; }
  int fetchSize() const { return fetchSize_; }

  // Every row at each refresh (a sorted list needs them all) instead of the first chunk.
  void setFetchAllOnRefresh(bool on) { fetchAllOnRefresh_ = on; }
  bool fetchAllOnRefresh() const { return fetchAllOnRefresh_; }

  // Reopens the query with its parameters as they are now and shows its first rows. Throws
  // db::DbError (the model is then empty), also for a column naming a field the query lacks.
  void refresh();
  // Closes the query and empties the model.
  void close();
  bool isOpen() const;

  // Every remaining row (before sorting the whole list, or searching it).
  void fetchAll();
  // The first row whose field equals value, fetching as far as needed; -1 when none.
  // Throws db::DbError for an unknown field or a failed fetch.
  int rowOf(const QString& field, const QVariant& value);
  // A field of a row (any field of the query, shown or not); invalid for null or a row
  // outside the model. Throws db::DbError for an unknown field.
  QVariant value(int row, const QString& field) const;
  // The text of a cell as shown.
  QString text(int row, int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

 signals:
  // Reading rows failed while the view was asking for them; the model stops fetching. Sent
  // through the event queue, so a message box never opens inside a paint.
  void failed(const QString& message) const;

 private:
  bool hasRow(int row) const;
  void publish(qint64 rows);
  void resolveColumns();
  void beginReset();
  void endReset();
  void reportLater(const QString& message) const;

  db::Query& query_;
  QList<QueryColumn> columns_;
  bool allFields_ = false;  // columns_ were taken from the query, not given
  std::vector<int> fieldIndex_;
  int rows_ = 0;
  int fetchSize_ = 128;
  bool stopped_ = false;
  bool fetchAllOnRefresh_ = false;
  // While the views hear of a reset or of new rows no more rows are added: a view told later
  // would see rows arrive before the change it has not yet heard of.
  bool announcing_ = false;
  mutable bool reported_ = false;
};

// Sorts a QueryModel by its sort values, fetching every row first so that the order holds for
// the whole list and not only for the rows fetched so far. Sorting by column -1 restores the
// query's own order.
class QuerySortModel : public QSortFilterProxyModel {
  Q_OBJECT
 public:
  explicit QuerySortModel(QueryModel* source, QObject* parent = nullptr);
  // Null once the model is gone.
  QueryModel* queryModel() const { return source_; }
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

 private:
  QPointer<QueryModel> source_;
};

// A read-only grid over a QueryModel: whole rows are selected, a click on a column title sorts,
// typing searches the current column, widths given in characters are applied. Rows are named
// by the model's row numbers, whatever the sort shows.
class QueryGrid : public QTableView {
  Q_OBJECT
 public:
  explicit QueryGrid(QWidget* parent = nullptr);

  // The model stays the caller's; the grid owns the sorting proxy.
  void setQueryModel(QueryModel* model);
  QueryModel* queryModel() const { return proxy_ ? proxy_->queryModel() : nullptr; }
  QuerySortModel* sortModel() const { return proxy_; }

  // The model's row under the cursor, -1 when none.
  int currentRow() const;
  // Puts the cursor on a model row (nothing when it is outside).
  void setCurrentRow(int row);
  // Puts the cursor on the first row shown, when there is one.
  void first();
  // Moves to the row whose field equals value, or to the first row when none does; true when
  // found. Throws db::DbError as QueryModel::rowOf does.
  bool locate(const QString& field, const QVariant& value);
  // A field of the current row; invalid when there is no row.
  QVariant currentValue(const QString& field) const;
  void applyColumnWidths();

  void keyboardSearch(const QString& search) override;

 signals:
  // The model's row under the cursor changed (-1: none).
  void currentRowChanged(int row);

 private:
  QuerySortModel* proxy_ = nullptr;
  QMetaObject::Connection resetConnection_;
};
