#include "framework/editablegrid.h"

#include "platform/dberror.h"
#include "platform/messages.h"
#include "platform/query.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>

namespace {

bool nullValue(const QVariant& v) {
  return !v.isValid() || v.isNull();
}

QString withoutTrailingBlanks(QString s) {
  while (s.endsWith(QLatin1Char(' '))) s.chop(1);
  return s;
}

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");

Decimal4 toDecimal(const QVariant& v) {
  if (nullValue(v)) return {};
  if (v.userType() == qMetaTypeId<Decimal4>()) return v.value<Decimal4>();
  if (v.typeId() == QMetaType::QString) return Decimal4::parse(v.toString()).value_or(Decimal4{});
  if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
    return Decimal4::fromDouble(v.toDouble());
  return Decimal4::fromInt(v.toLongLong());
}

}  // namespace

// ----------------------------------------------------------------------------- EditableRow

bool EditableRow::isNull(const QString& field) const {
  return nullValue(value(field));
}

Decimal4 EditableRow::decimal(const QString& field) const {
  return toDecimal(value(field));
}

void EditableRow::bind(db::Query& statement) const {
  for (const QString& name : statement.paramNames()) {
    const QString upper = name.toUpper();
    const bool old = upper.startsWith(QLatin1String("OLD_"));
    const QString field = old ? upper.mid(4) : upper;
    if (!current_.contains(field)) {
      throw db::DbError(
          QStringLiteral("Параметр %1 не соответствует ни одному полю строки.").arg(name));
    }
    statement.param(name).setValue(old ? original_.value(field) : current_.value(field));
  }
}

RowPoster postWithStatement(db::Query& statement) {
  return [&statement](EditableRow& row) {
    if (!statement.prepared()) statement.prepare();
    row.bind(statement);
    statement.exec();
    return true;
  };
}

// ----------------------------------------------------------------------------- EditableModel

EditableModel::EditableModel(QList<EditableColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

QVariant EditableModel::normalised(const EditableColumn& column, const QVariant& value) const {
  if (nullValue(value)) return QVariant();
  switch (column.kind) {
    case EditableColumn::Number:
      return QVariant::fromValue(toDecimal(value));
    case EditableColumn::Integer:
    case EditableColumn::Check:
      return QVariant::fromValue(value.toLongLong());
    case EditableColumn::Date:
      if (value.typeId() == QMetaType::QDateTime) return value.toDateTime().date();
      if (value.typeId() == QMetaType::QString)
        return QDate::fromString(value.toString(), kDateFormat);
      return value;
    case EditableColumn::Text:
      return value.typeId() == QMetaType::QString ? value : QVariant(value.toString());
  }
  return value;
}

void EditableModel::load(db::Query& query) {
  beginResetModel();
  rows_.clear();
  try {
    query.close();
    query.open();
    for (const EditableColumn& c : columns_) {
      if (query.fieldIndex(c.field.toUpper()) < 0 && query.fieldIndex(c.field) < 0)
        throw db::DbError(QStringLiteral("В запросе нет поля %1.").arg(c.field));
    }
    for (; !query.eof(); query.next()) {
      Row row;
      for (int i = 0; i < query.fieldCount(); ++i) {
        const QString name = query.fieldName(i).toUpper();
        // A field named twice (a join) keeps its first value, as the list models do.
        if (!row.original.contains(name)) row.original.insert(name, query.field(i).asVariant());
      }
      for (const EditableColumn& c : columns_) {
        const QString name = c.field.toUpper();
        row.original.insert(name, normalised(c, row.original.value(name)));
      }
      row.current = row.original;
      rows_.push_back(std::move(row));
    }
    query.close();
  } catch (...) {
    rows_.clear();
    endResetModel();
    throw;
  }
  endResetModel();
}

void EditableModel::appendRow(const QVariantMap& values) {
  Row row;
  for (auto it = values.cbegin(); it != values.cend(); ++it)
    row.original.insert(it.key().toUpper(), it.value());
  for (const EditableColumn& c : columns_) {
    const QString name = c.field.toUpper();
    row.original.insert(name, normalised(c, row.original.value(name)));
  }
  row.current = row.original;
  const int at = int(rows_.size());
  beginInsertRows({}, at, at);
  rows_.push_back(std::move(row));
  endInsertRows();
}

void EditableModel::clear() {
  beginResetModel();
  rows_.clear();
  endResetModel();
}

QVariant EditableModel::value(int row, const QString& field) const {
  if (!hasRow(row)) return {};
  const QVariant v = rows_[row].current.value(field.toUpper());
  return nullValue(v) ? QVariant() : v;
}

EditableRow EditableModel::row(int row) const {
  EditableRow r;
  if (!hasRow(row)) return r;
  r.current_ = rows_[row].current;
  r.original_ = rows_[row].original;
  return r;
}

bool EditableModel::isChanged(int row) const {
  return hasRow(row) && rows_[row].changed;
}

bool EditableModel::hasChanges() const {
  for (const Row& r : rows_)
    if (r.changed) return true;
  return false;
}

bool EditableModel::post(int row) {
  if (!isChanged(row)) return true;
  EditableRow r = this->row(row);
  if (poster_ && !poster_(r)) return false;
  Row& target = rows_[row];
  target.current = r.current_;
  for (const EditableColumn& c : columns_) {
    const QString name = c.field.toUpper();
    target.current.insert(name, normalised(c, target.current.value(name)));
  }
  target.original = target.current;
  target.changed = false;
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
  emit headerDataChanged(Qt::Vertical, row, row);
  emit rowPosted(row);
  return true;
}

void EditableModel::revert(int row) {
  if (!isChanged(row)) return;
  rows_[row].current = rows_[row].original;
  rows_[row].changed = false;
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
  emit headerDataChanged(Qt::Vertical, row, row);
}

QString EditableModel::conversionProblem(int column, const QString& text) const {
  if (column < 0 || column >= columns_.size()) return {};
  const QString t = text.trimmed();
  if (t.isEmpty()) return {};
  switch (columns_[column].kind) {
    case EditableColumn::Number:
      return Decimal4::parse(t) ? QString() : QStringLiteral("\"%1\" не является числом.").arg(t);
    case EditableColumn::Integer:
    case EditableColumn::Check: {
      bool ok = false;
      t.toLongLong(&ok);
      return ok ? QString() : QStringLiteral("\"%1\" не является целым числом.").arg(t);
    }
    case EditableColumn::Date:
      return QDate::fromString(t, kDateFormat).isValid()
                 ? QString()
                 : QStringLiteral("\"%1\" не является датой (дд.мм.гггг).").arg(t);
    case EditableColumn::Text:
      return {};
  }
  return {};
}

bool EditableModel::sameValue(const EditableColumn& column, const QVariant& a,
                              const QVariant& b) const {
  if (nullValue(a) || nullValue(b)) return nullValue(a) && nullValue(b);
  switch (column.kind) {
    case EditableColumn::Number:
      return toDecimal(a) == toDecimal(b);
    case EditableColumn::Integer:
    case EditableColumn::Check:
      return a.toLongLong() == b.toLongLong();
    case EditableColumn::Date:
      return a.toDate() == b.toDate();
    case EditableColumn::Text:
      return a.toString() == b.toString();
  }
  return false;
}

QString EditableModel::displayText(const EditableColumn& column, const QVariant& value) const {
  if (nullValue(value)) return {};
  switch (column.kind) {
    case EditableColumn::Number:
      return value.value<Decimal4>().toString(column.decimals);
    case EditableColumn::Date:
      return value.toDate().toString(kDateFormat);
    case EditableColumn::Check:
      return {};
    case EditableColumn::Integer:
      return QString::number(value.toLongLong());
    case EditableColumn::Text:
      return withoutTrailingBlanks(value.toString());
  }
  return value.toString();
}

QString EditableModel::editText(const EditableColumn& column, const QVariant& value) const {
  if (column.kind != EditableColumn::Number || nullValue(value)) return displayText(column, value);
  // Every decimal the value has, so that leaving a cell unchanged changes nothing.
  QString s = value.value<Decimal4>().toString(4);
  while (s.endsWith(QLatin1Char('0'))) s.chop(1);
  if (s.endsWith(QLatin1Char(','))) s.chop(1);
  return s;
}

int EditableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(rows_.size());
}

int EditableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(columns_.size());
}

QVariant EditableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !hasRow(index.row()) || index.column() >= columns_.size()) return {};
  const EditableColumn& c = columns_[index.column()];
  const QVariant v = rows_[index.row()].current.value(c.field.toUpper());
  switch (role) {
    case Qt::DisplayRole:
      return displayText(c, v);
    case Qt::EditRole:
      return editText(c, v);
    case Qt::CheckStateRole:
      if (c.kind != EditableColumn::Check) return {};
      return (!nullValue(v) && v.toLongLong() != 0) ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
      if (c.kind == EditableColumn::Number || c.kind == EditableColumn::Integer)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
      return {};
    default:
      return {};
  }
}

bool EditableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || !hasRow(index.row()) || index.column() >= columns_.size()) return false;
  const EditableColumn& c = columns_[index.column()];
  if (!c.editable) return false;
  QVariant stored;
  if (role == Qt::CheckStateRole && c.kind == EditableColumn::Check) {
    stored = QVariant::fromValue(
        qint64(value.toInt() == Qt::Checked || value.toInt() == Qt::PartiallyChecked ? 1 : 0));
  } else if (role == Qt::EditRole) {
    const QString text = value.toString();
    const QString problem = conversionProblem(index.column(), text);
    if (!problem.isEmpty()) {
      emit inputRejected(problem);
      return false;
    }
    const QString t = text.trimmed();
    if (t.isEmpty() && c.kind != EditableColumn::Text) {
      stored = QVariant();
    } else if (c.kind == EditableColumn::Number) {
      stored = QVariant::fromValue(*Decimal4::parse(t));
    } else if (c.kind == EditableColumn::Date) {
      stored = QDate::fromString(t, kDateFormat);
    } else if (c.kind == EditableColumn::Text) {
      stored = text;
    } else {
      stored = QVariant::fromValue(t.toLongLong());
    }
  } else {
    return false;
  }
  Row& row = rows_[index.row()];
  const QString name = c.field.toUpper();
  if (sameValue(c, row.current.value(name), stored)) return true;
  row.current.insert(name, stored);
  row.changed = true;
  emit dataChanged(index, index);
  emit headerDataChanged(Qt::Vertical, index.row(), index.row());
  return true;
}

QVariant EditableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal)
    return section >= 0 && section < columns_.size() ? columns_[section].title : QVariant();
  // A changed row is marked in its row header until it is posted.
  if (!hasRow(section)) return {};
  return rows_[section].changed ? QStringLiteral("*") : QString();
}

Qt::ItemFlags EditableModel::flags(const QModelIndex& index) const {
  if (!index.isValid() || index.column() >= columns_.size()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  const EditableColumn& c = columns_[index.column()];
  if (c.editable)
    f |= c.kind == EditableColumn::Check ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
  return f;
}

// ----------------------------------------------------------------------------- EditableGrid

EditableGrid::EditableGrid(QWidget* parent) : QTableView(parent) {
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setTabKeyNavigation(true);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  verticalHeader()->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('*')) + 8);
}

void EditableGrid::setEditableModel(EditableModel* model) {
  if (model_) disconnect(model_, nullptr, this, nullptr);
  model_ = model;
  setModel(model);
  if (model_) {
    connect(model_, &EditableModel::inputRejected, this,
            [](const QString& problem) { msg::warning(problem, QStringLiteral("Внимание")); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { applyColumnWidths(); });
  }
  applyColumnWidths();
}

void EditableGrid::applyColumnWidths() {
  if (!model_) return;
  const int ch = fontMetrics().averageCharWidth();
  for (int i = 0; i < model_->columns().size(); ++i) {
    const int w = model_->columns()[i].width;
    if (w > 0) horizontalHeader()->resizeSection(i, w * ch + 12);
  }
}

void EditableGrid::commitOpenEditor() {
  if (state() != QAbstractItemView::EditingState) return;
  QWidget* editor = QApplication::focusWidget();
  if (!editor || !viewport()->isAncestorOf(editor)) return;
  commitData(editor);
  QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool EditableGrid::postRow(int row) {
  if (!model_ || posting_ || !model_->isChanged(row)) return true;
  posting_ = true;
  bool ok = false;
  try {
    ok = model_->post(row);
  } catch (const db::DbError& e) {
    msg::error(QStringLiteral("Ошибка сохранения данных.\n") + e.message(),
               QStringLiteral("Ошибка"));
  }
  posting_ = false;
  return ok;
}

bool EditableGrid::postCurrentRow() {
  commitOpenEditor();
  return postRow(currentIndex().row());
}

bool EditableGrid::postAll() {
  commitOpenEditor();
  if (!model_) return true;
  bool ok = true;
  for (int r = 0; r < model_->rowCount(); ++r)
    if (model_->isChanged(r) && !postRow(r)) ok = false;
  return ok;
}

void EditableGrid::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && state() != QAbstractItemView::EditingState) {
    postCurrentRow();
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Escape && state() != QAbstractItemView::EditingState && model_ &&
      model_->isChanged(currentIndex().row())) {
    model_->revert(currentIndex().row());
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void EditableGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  // Leaving a row for another one writes it.
  if (previous.isValid() && current.row() != previous.row()) postRow(previous.row());
}

void EditableGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  QTableView::closeEditor(editor, hint);
  // Enter in a cell: the delegate has committed the text and asks for it to be submitted.
  if (hint == QAbstractItemDelegate::SubmitModelCache) postRow(currentIndex().row());
}
