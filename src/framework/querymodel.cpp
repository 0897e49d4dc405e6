#include "framework/querymodel.h"

#include "platform/dberror.h"
#include "platform/decimal.h"
#include "platform/query.h"

#include <QHeaderView>
#include <QMetaObject>

#include <algorithm>
#include <cmath>

// ----------------------------------------------------------------------------- DisplayFormat

namespace {

constexpr qint64 kExactLimit = 100'000'000'000'000;  // whole units Decimal4 holds with room

QString fixedText(double v, int places) {
  v = roundDecimal(v, places);
  if (v == 0) v = 0.0;  // never "-0,00"
  return QString::number(v, 'f', places).replace(QLatin1Char('.'), QLatin1Char(','));
}

}  // namespace

QString DisplayFormat::text(const QVariant& value) const {
  if (!value.isValid() || value.isNull()) return {};
  switch (kind) {
    case Plain:
      break;
    case Number: {
      const int places = std::clamp(decimals, 0, 9);
      if (value.userType() == qMetaTypeId<Decimal4>()) {
        const Decimal4 d = value.value<Decimal4>();
        return places <= 4 ? d.toString(places) : fixedText(d.toDouble(), places);
      }
      switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::LongLong: {
          const qint64 whole = value.toLongLong();
          // Exact through Decimal4 while it cannot overflow.
          if (places <= 4 && whole > -kExactLimit && whole < kExactLimit)
            return Decimal4::fromInt(whole).toString(places);
          return fixedText(double(whole), places);
        }
        case QMetaType::Double:
        case QMetaType::Float:
          return fixedText(value.toDouble(), places);
        case QMetaType::QString: {
          const auto d = Decimal4::parse(value.toString());
          if (d) return places <= 4 ? d->toString(places) : fixedText(d->toDouble(), places);
          return value.toString();
        }
        default:
          return value.toString();
      }
    }
    case Date:
      if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
      if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date().toString(QStringLiteral("dd.MM.yyyy"));
      break;
    case Time:
      if (value.typeId() == QMetaType::QTime)
        return value.toTime().toString(QStringLiteral("HH:mm"));
      if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().time().toString(QStringLiteral("HH:mm"));
      break;
    case DateTime:
      if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
      if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
      break;
  }
  if (value.userType() == qMetaTypeId<Decimal4>()) return value.value<Decimal4>().toString();
  switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
      return QString::number(value.toDouble(), 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
    case QMetaType::QDate:
      return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QDateTime:
      return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    default:
      return value.toString();
  }
}

// -------------------------------------------------------------------------------- QueryModel

QueryModel::QueryModel(db::Query& query, QList<QueryColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), query_(query), columns_(std::move(columns)) {
  allFields_ = columns_.isEmpty();
}

void QueryModel::setColumns(QList<QueryColumn> columns) {
  beginReset();
  columns_ = std::move(columns);
  allFields_ = columns_.isEmpty();
  fieldIndex_.clear();
  if (isOpen()) {
    try {
      resolveColumns();
    } catch (const db::DbError&) {
      rows_ = 0;
      endReset();
      throw;
    }
  }
  endReset();
}

bool QueryModel::isOpen() const {
  return query_.active();
}

void QueryModel::resolveColumns() {
  if (allFields_) {
    columns_.clear();
    for (int i = 0; i < query_.fieldCount(); ++i)
      columns_.append({query_.fieldName(i), query_.fieldName(i)});
  }
  std::vector<int> idx;
  for (const QueryColumn& c : columns_) idx.push_back(query_.field(c.field).index());
  fieldIndex_ = std::move(idx);
}

void QueryModel::refresh() {
  beginReset();
  rows_ = 0;
  stopped_ = false;
  reported_ = false;
  try {
    query_.close();
    query_.open();
    resolveColumns();
  } catch (const db::DbError&) {
    query_.close();
    endReset();
    throw;
  }
  // The first chunk (or all); a row that fails to read ends the list where it is, as
  // scrolling would.
  try {
    if (fetchAllOnRefresh_)
      query_.recordCount();
    else
      query_.moveTo(fetchSize_ - 1);
  } catch (const db::DbError& e) {
    stopped_ = true;
    reportLater(e.message());
  }
  rows_ =
      static_cast<int>(fetchAllOnRefresh_ ? query_.fetchedCount()
                                          : std::min<qint64>(query_.fetchedCount(), fetchSize_));
  endReset();
}

void QueryModel::beginReset() {
  announcing_ = true;
  beginResetModel();
}

void QueryModel::endReset() {
  endResetModel();
  announcing_ = false;
}

void QueryModel::close() {
  beginReset();
  query_.close();
  rows_ = 0;
  endReset();
}

void QueryModel::publish(qint64 rows) {
  if (rows <= rows_ || announcing_) return;
  announcing_ = true;
  beginInsertRows(QModelIndex(), rows_, static_cast<int>(rows) - 1);
  rows_ = static_cast<int>(rows);
  endInsertRows();
  announcing_ = false;
}

bool QueryModel::canFetchMore(const QModelIndex& parent) const {
  if (parent.isValid() || stopped_ || announcing_ || !query_.active()) return false;
  return rows_ < query_.fetchedCount() || !query_.fetchedAll();
}

void QueryModel::fetchMore(const QModelIndex& parent) {
  if (!canFetchMore(parent)) return;
  const qint64 target = qint64(rows_) + fetchSize_;
  try {
    query_.moveTo(target - 1);
  } catch (const db::DbError& e) {
    stopped_ = true;
    reportLater(e.message());
  }
  publish(std::min(query_.fetchedCount(), target));
}

void QueryModel::fetchAll() {
  if (!query_.active()) return;
  try {
    query_.recordCount();
  } catch (const db::DbError& e) {
    stopped_ = true;
    reportLater(e.message());
  }
  publish(query_.fetchedCount());
}

int QueryModel::rowOf(const QString& field, const QVariant& value) {
  if (!query_.active()) return -1;
  if (!query_.locate(field, {value})) {
    // Every row was read on the way: they are shown as if scrolled to the end.
    publish(query_.fetchedCount());
    return -1;
  }
  const qint64 row = query_.recNo();
  // The view shows whole chunks, as if it had scrolled there.
  publish(std::min(query_.fetchedCount(), (row / fetchSize_ + 1) * qint64(fetchSize_)));
  return static_cast<int>(row);
}

bool QueryModel::hasRow(int row) const {
  // The query may have been closed under the model (its transaction ended).
  return row >= 0 && row < rows_ && query_.active() && row < query_.fetchedCount() &&
         query_.moveTo(row);
}

QVariant QueryModel::value(int row, const QString& field) const {
  if (!hasRow(row)) return {};
  return query_.field(field).asVariant();
}

QString QueryModel::text(int row, int column) const {
  if (column < 0 || column >= static_cast<int>(fieldIndex_.size()) || !hasRow(row)) return {};
  const db::Field f = query_.field(fieldIndex_[column]);
  const DisplayFormat& format = columns_[column].format;
  return format.kind == DisplayFormat::Plain ? f.asString() : format.text(f.asVariant());
}

void QueryModel::reportLater(const QString& message) const {
  if (reported_) return;
  reported_ = true;
  auto* self = const_cast<QueryModel*>(this);
  QMetaObject::invokeMethod(
      self, [self, message] { emit self->failed(message); }, Qt::QueuedConnection);
}

int QueryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int QueryModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant QueryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.column() >= static_cast<int>(fieldIndex_.size())) return {};
  if (!hasRow(index.row())) return {};
  try {
    switch (role) {
      case Qt::DisplayRole:
      case Qt::ToolTipRole:
        return text(index.row(), index.column());
      case SortRole: {
        const QVariant v = query_.field(fieldIndex_[index.column()]).asVariant();
        if (v.userType() == qMetaTypeId<Decimal4>()) return v.value<Decimal4>().toDouble();
        return v;
      }
      case Qt::TextAlignmentRole:
        if (columns_[index.column()].format.kind == DisplayFormat::Number)
          return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return {};
      default:
        return {};
    }
  } catch (const db::DbError& e) {
    // Views ask from inside their paint; the message waits for the event loop.
    reportLater(e.message());
    return {};
  }
}

QVariant QueryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= columns_.size())
    return QAbstractTableModel::headerData(section, orientation, role);
  return columns_[section].title;
}

Qt::ItemFlags QueryModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

// ---------------------------------------------------------------------------- QuerySortModel

QuerySortModel::QuerySortModel(QueryModel* source, QObject* parent)
    : QSortFilterProxyModel(parent), source_(source) {
  setSourceModel(source);
  setSortRole(QueryModel::SortRole);
  setSortLocaleAware(true);
  setSortCaseSensitivity(Qt::CaseInsensitive);
}

void QuerySortModel::sort(int column, Qt::SortOrder order) {
  // A sorted list needs all its rows, now and each time it is reopened.
  if (source_) {
    source_->setFetchAllOnRefresh(column >= 0);
    if (column >= 0) source_->fetchAll();
  }
  QSortFilterProxyModel::sort(column, order);
}

// --------------------------------------------------------------------------------- QueryGrid

QueryGrid::QueryGrid(QWidget* parent) : QTableView(parent) {
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setAlternatingRowColors(true);
  setWordWrap(false);
  verticalHeader()->setVisible(false);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setStretchLastSection(true);
  horizontalHeader()->setHighlightSections(false);
  // The query's own order until a title is clicked.
  horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  horizontalHeader()->setSortIndicatorShown(true);
}

void QueryGrid::setQueryModel(QueryModel* model) {
  disconnect(resetConnection_);
  auto* old = proxy_;
  proxy_ = model ? new QuerySortModel(model, this) : nullptr;
  setModel(proxy_);
  delete old;
  if (!proxy_) return;
  setSortingEnabled(true);
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex&, const QModelIndex&) { emit currentRowChanged(currentRow()); });
  // A reset leaves no current row, and the selection model says nothing of it.
  resetConnection_ = connect(model, &QAbstractItemModel::modelReset, this, [this] {
    if (currentRow() < 0) emit currentRowChanged(-1);
  });
  applyColumnWidths();
}

void QueryGrid::applyColumnWidths() {
  const QueryModel* m = queryModel();
  if (!m) return;
  // A character of the lists is mostly a Cyrillic letter, wider than the font's average.
  static const QString letters = QStringLiteral("абвгдежзийклмнопрстуфхцчшщъыьэюя");
  const double ch = double(fontMetrics().horizontalAdvance(letters)) / letters.size();
  for (int i = 0; i < m->columns().size(); ++i)
    if (m->columns()[i].width > 0)
      setColumnWidth(i, std::max(int(m->columns()[i].width * ch) + 12,
                                 horizontalHeader()->sectionSizeHint(i)));
}

int QueryGrid::currentRow() const {
  if (!proxy_) return -1;
  const QModelIndex i = proxy_->mapToSource(currentIndex());
  return i.isValid() ? i.row() : -1;
}

void QueryGrid::setCurrentRow(int row) {
  if (!queryModel() || row < 0 || row >= queryModel()->rowCount()) return;
  const int column = std::max(currentIndex().column(), 0);
  const QModelIndex i = proxy_->mapFromSource(proxy_->queryModel()->index(row, column));
  if (!i.isValid()) return;
  setCurrentIndex(i);
  scrollTo(i);
}

bool QueryGrid::locate(const QString& field, const QVariant& value) {
  QueryModel* m = queryModel();
  if (!m) return false;
  const int row = m->rowOf(field, value);
  if (row >= 0) {
    setCurrentRow(row);
    return true;
  }
  first();
  return false;
}

void QueryGrid::first() {
  if (!proxy_ || proxy_->rowCount() == 0) return;
  const QModelIndex i = proxy_->index(0, std::max(currentIndex().column(), 0));
  setCurrentIndex(i);
  scrollTo(i);
}

QVariant QueryGrid::currentValue(const QString& field) const {
  const int row = currentRow();
  return row < 0 || !queryModel() ? QVariant() : queryModel()->value(row, field);
}

void QueryGrid::keyboardSearch(const QString& search) {
  // A search that skipped the rows not yet fetched would miss what the person looks for.
  if (QueryModel* m = queryModel()) m->fetchAll();
  QTableView::keyboardSearch(search);
}
