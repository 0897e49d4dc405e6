#include "framework/listwindow.h"

#include "framework/editwindow.h"
#include "framework/listsql.h"
#include "framework/pickers.h"
#include "framework/querymodel.h"
#include "platform/database.h"
#include "platform/dberror.h"
#include "platform/inifile.h"
#include "platform/messages.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const QString kNoRights = QStringLiteral("Нет доступа к выполнению операции.");
const QString kWarning = QStringLiteral("Внимание");
const QString kError = QStringLiteral("Ошибка");

// Grid updates stay off while the list is reopened and repositioned.
class FreezeGrid {
 public:
  explicit FreezeGrid(QWidget* w) : w_(w) { w_->setUpdatesEnabled(false); }
  ~FreezeGrid() { w_->setUpdatesEnabled(true); }

 private:
  QWidget* w_;
};
}  // namespace

TfmAbstrFndRef::TfmAbstrFndRef(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Поиск"));
  edit_ = new QLineEdit;
  edit_->setMinimumWidth(edit_->fontMetrics().averageCharWidth() * 40);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("Текст для поиска :")));
  row->addWidget(edit_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
}

std::optional<QString> TfmAbstrFndRef::ask() {
  edit_->selectAll();
  edit_->setFocus();
  if (exec() != QDialog::Accepted) return std::nullopt;
  return edit_->text();
}

// ---------------------------------------------------------------------------------------------

TfmAbstrLsRef0::TfmAbstrLsRef0(FrameworkContext& ctx, ListSpec spec, QWidget* parent)
    : TfmAbstrForm(ctx.ini, spec.windowName.isEmpty() ? QStringLiteral("fmLsRef") : spec.windowName,
                   parent),
      ctx_(ctx),
      spec_(std::move(spec)),
      qryList_(ctx.db, &ctx.trList),
      qryFlt_(ctx.db, &ctx.trList),
      qryQuerySet_(ctx.db, &ctx.trList) {
  setWindowTitle(spec_.caption);
  listModel_ = new QueryModel(qryList_, {}, this);
  fltModel_ = new QueryModel(qryFlt_, {}, this);
  grid_ = new QueryGrid(this);
  grid_->setSortingEnabled(false);  // the list keeps its own order: quick search relies on it
  grid_->setObjectName(QStringLiteral("dbgGrid"));
  grid_->installEventFilter(this);
  connect(grid_, &QueryGrid::currentRowChanged, this, [this] {
    updateStatus();
    SetWithRights();
  });
  connect(grid_, &QAbstractItemView::doubleClicked, this, [this] { ChoiceActionExecute(); });
  for (QueryModel* m : {listModel_, fltModel_})
    connect(m, &QueryModel::failed, this, [](const QString& text) { msg::error(text); });

  auto* searchPanel = new QHBoxLayout;
  searchCaption_ = new QLabel(QStringLiteral("Быстрый  поиск :"));
  searchText_ = new QLabel;
  searchText_->setObjectName(QStringLiteral("SrchEd"));
  searchText_->setAutoFillBackground(true);
  searchText_->setBackgroundRole(QPalette::ToolTipBase);
  searchText_->setForegroundRole(QPalette::ToolTipText);
  searchPanel->addWidget(searchCaption_);
  searchPanel->addWidget(searchText_, 1);
  body()->addWidget(grid_, 1);
  body()->addLayout(searchPanel);

  auto make = [this](const QString& text, const QKeySequence& key, QStyle::StandardPixmap icon,
                     void (TfmAbstrLsRef0::*slot)()) {
    auto* a = new QAction(style()->standardIcon(icon), text, this);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(a, &QAction::triggered, this, slot);
    QWidget::addAction(a);
    return a;
  };
  addAction_ = make(QStringLiteral("Добавить"), Qt::Key_Insert, QStyle::SP_FileIcon,
                    &TfmAbstrLsRef0::AddActionExecute);
  editAction_ = make(QStringLiteral("Изменить"), QKeySequence(Qt::SHIFT | Qt::Key_Return),
                     QStyle::SP_FileDialogDetailedView, &TfmAbstrLsRef0::EditActionExecute);
  delAction_ = make(QStringLiteral("Удалить"), Qt::Key_Delete, QStyle::SP_TrashIcon,
                    &TfmAbstrLsRef0::DelActionExecute);
  choiceAction_ = make(QStringLiteral("Выбрать"), QKeySequence(), QStyle::SP_DialogApplyButton,
                       &TfmAbstrLsRef0::ChoiceActionExecute);
  findAction_ = make(QStringLiteral("Найти"), QKeySequence(Qt::CTRL | Qt::Key_F),
                     QStyle::SP_FileDialogContentsView, &TfmAbstrLsRef0::FindActionExecute);
  findNextAction_ = make(QStringLiteral("Найти далее..."), Qt::Key_F3, QStyle::SP_ArrowForward,
                         &TfmAbstrLsRef0::FindNextActionExecute);
  filterAction_ = make(QStringLiteral("Фильтр"), QKeySequence(Qt::ALT | Qt::Key_F),
                       QStyle::SP_FileDialogListView, &TfmAbstrLsRef0::FilterActionExecute);
  filterAction_->setCheckable(true);
  findNextAction_->setEnabled(false);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("Правка"));
  edit->addAction(printAction());
  edit->addAction(addAction_);
  edit->addAction(editAction_);
  edit->addAction(delAction_);
  QMenu* search = menuBar()->addMenu(QStringLiteral("Поиск"));
  search->addAction(findAction_);
  search->addAction(findNextAction_);
  search->addSeparator();
  search->addAction(filterAction_);
  addExitToMenuBar();

  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu popup;
    popup.addAction(addAction_);
    popup.addAction(editAction_);
    popup.addAction(delAction_);
    popup.exec(grid_->viewport()->mapToGlobal(at));
  });
  toolBar()->hide();
  resize(460, 420);
}

TfmAbstrLsRef0::~TfmAbstrLsRef0() = default;

RecordEditor& TfmAbstrLsRef0::editor() {
  if (!editor_) {
    if (spec_.editor) {
      editor_ = spec_.editor(ctx_, this);
    } else {
      auto plain = std::make_unique<TfmAbstrEdRef>(ctx_, QStringLiteral("fmEdRef"), this);
      for (const FieldSpec& f : spec_.editorFields) plain->addField(f);
      editor_ = std::move(plain);
    }
    editor_->setOwnerList(true);
  }
  return *editor_;
}

QStringList TfmAbstrLsRef0::searchBase() const {
  if (!spec_.listSql.isEmpty() && listsql::hasListShape(spec_.listSql)) return spec_.listSql;
  return listsql::build(spec_.SelectList, spec_.TableName, spec_.WherePrefix, spec_.KeyField,
                        sortField_);
}

int TfmAbstrLsRef0::Execute(int key, int rights, bool selectMode) {
  selectMode_ = selectMode;
  rights_ = rights;
  filterOn_ = false;
  fltOpen_ = false;
  filterAction_->setChecked(false);
  Configure();
  sortField_ = spec_.NameField;
  QList<QueryColumn> columns = spec_.columns;
  if (columns.isEmpty()) columns = {{spec_.NameField, QStringLiteral("Наименование"), 60, {}}};
  listModel_->setColumns(columns);
  fltModel_->setColumns(columns);
  qryList_.sql() = spec_.listSql.isEmpty()
                       ? listsql::build(spec_.SelectList, spec_.TableName, spec_.WherePrefix,
                                        spec_.KeyField, sortField_)
                       : spec_.listSql;
  grid_->setQueryModel(listModel_);
  if (!openCurrent(true)) return 0;
  if (key != 0) grid_->locate(spec_.KeyField, key);
  params_ = spec_;  // FillParams: the list's fields of the same names
  params_.Rights = rights_;
  quickSearch_.clear();
  searchText_->clear();
  SetWithRights();
  updateStatus();
  grid_->setFocus();
  return exec();
}

bool TfmAbstrLsRef0::openCurrent(bool showErrors) {
  QueryModel* model = filterOn_ && fltOpen_ ? fltModel_ : listModel_;
  try {
    model->refresh();
    grid_->first();
    return true;
  } catch (const db::DbError& e) {
    if (showErrors) {
      msg::error(
          e.sqlCode() == -551
              ? QStringLiteral("Нет доступа для просмотра данных. Обратитесь к администратору БД")
              : QStringLiteral("Ошибка в SQL - запросе"),
          kError);
    }
    return false;
  }
}

int TfmAbstrLsRef0::currentKey() const {
  const QVariant v = grid_->currentValue(spec_.KeyField);
  return v.isValid() ? v.toInt() : -1;
}

QVariant TfmAbstrLsRef0::currentValue(const QString& field) const {
  return grid_->currentValue(field);
}

QString TfmAbstrLsRef0::statusText() const {
  const QVariant v = grid_->currentValue(spec_.KeyField);
  return v.isValid() ? QStringLiteral("Код= ") + v.toString() : QStringLiteral("Нет записей");
}

void TfmAbstrLsRef0::updateStatus() {
  statusBar()->showMessage(statusText());
}

void TfmAbstrLsRef0::SetWithRights() {
  const bool hasRow = grid_->currentValue(spec_.KeyField).isValid();
  addAction_->setEnabled(rights_ & rights::kAdd);
  editAction_->setEnabled((rights_ & rights::kEdit) && hasRow);
  delAction_->setEnabled((rights_ & rights::kDelete) && hasRow);
}

void TfmAbstrLsRef0::reopenOn(const QVariant& key) {
  FreezeGrid freeze(grid_);
  currentQuery().close();
  if (ctx_.trList.inTransaction()) ctx_.trList.commit();
  ctx_.trList.start();
  QueryModel* model = filterOn_ && fltOpen_ ? fltModel_ : listModel_;
  model->refresh();
  if (key.isValid() && grid_->locate(spec_.KeyField, key)) {
    quickSearch_.clear();
    searchText_->clear();
  } else {
    grid_->first();
  }
}

void TfmAbstrLsRef0::AddActionExecute() {
  if (!(rights_ & rights::kAdd)) {
    msg::warning(kNoRights, kWarning);
    return;
  }
  RecordEditor& ed = editor();
  ed.Execute(params_, 0);
  try {
    reopenOn(ed.savedKey());
  } catch (const db::DbError&) {
    msg::error(QStringLiteral("Ошибка добавления/корректировки записи."), kError);
  }
  SetWithRights();
  updateStatus();
}

void TfmAbstrLsRef0::EditActionExecute() {
  if (!(rights_ & rights::kEdit)) {
    msg::warning(kNoRights, kWarning);
    return;
  }
  const QVariant key = grid_->currentValue(spec_.KeyField);
  if (!key.isValid()) return;
  editor().Execute(params_, key.toInt());
  try {
    reopenOn(key);
  } catch (const db::DbError&) {
    msg::error(QStringLiteral("Ошибка добавления/корректировки записи."), kError);
  }
  SetWithRights();
  updateStatus();
}

void TfmAbstrLsRef0::AfterDelete(db::Transaction& tr, int key) {
  if (spec_.afterDelete) spec_.afterDelete(tr, key);
}

void TfmAbstrLsRef0::DelActionExecute() {
  if (!(rights_ & rights::kDelete)) {
    msg::warning(kNoRights, kWarning);
    return;
  }
  const QVariant key = grid_->currentValue(spec_.KeyField);
  if (!key.isValid()) return;
  if (!msg::confirm(QStringLiteral("Действительно удалить запись ?"),
                    QStringLiteral("Запрос на удаление"))) {
    msg::info(QStringLiteral("Удаление данных отменено."), QStringLiteral("Сообщение"));
    return;
  }
  // Where to stand afterwards: the next row, or the one before when the last goes.
  const int row = grid_->currentRow();
  QueryModel* model = grid_->queryModel();
  if (model->canFetchMore({})) model->fetchMore({});
  const int neighbour = row + 1 < model->rowCount() ? row + 1 : row - 1;
  const QVariant next = neighbour >= 0 ? model->value(neighbour, spec_.KeyField) : QVariant();
  db::Transaction& tr = ctx_.trList;
  try {
    tr.start();
    db::Query del(ctx_.db, &tr);
    del.setSql(listsql::deleteStatement(spec_.DeleteSql, spec_.TableName, spec_.KeyField));
    del.param(spec_.DeleteSql.isEmpty() ? QStringLiteral("ID") : spec_.KeyField).setValue(key);
    del.exec();
    AfterDelete(tr, key.toInt());
  } catch (const db::DbError&) {
    try {
      tr.rollbackRetaining();
    } catch (const db::DbError&) {
    }
    msg::error(QStringLiteral("Ошибка удаления записи. Удаление данных отменено."), kError);
    return;
  }
  try {
    reopenOn(next);
  } catch (const db::DbError& e) {
    msg::error(e.message(), kError);
  }
  SetWithRights();
  updateStatus();
}

void TfmAbstrLsRef0::ChoiceActionExecute() {
  if (selectMode_) {
    if (grid_->currentValue(spec_.KeyField).isValid()) accept();
    return;
  }
  if (grid_->currentValue(spec_.KeyField).isValid()) EditActionExecute();
}

TfmAbstrFndRef* TfmAbstrLsRef0::findDialog() {
  if (!findDialog_) findDialog_ = new TfmAbstrFndRef(this);
  return findDialog_;
}

void TfmAbstrLsRef0::FindActionExecute() {
  const auto text = findDialog()->ask();
  if (!text) return;
  qryQuerySet_.close();
  qryQuerySet_.sql() = listsql::withCondition(searchBase(), listsql::searchCondition(sortField_));
  qryQuerySet_.param(listsql::searchParam()).setString(listsql::searchValue(*text));
  try {
    qryQuerySet_.open();
  } catch (const db::DbError&) {
    msg::error(QStringLiteral("Ошибка в SQL - запросе"), kError);
    return;
  }
  if (qryQuerySet_.isEmpty()) {
    qryQuerySet_.close();
    findNextAction_->setEnabled(false);
    msg::warning(QStringLiteral("Не найдена ни одна запись, удовлетворяющая заданным условиям."),
                 kWarning);
    return;
  }
  FindNextActionExecute();
}

void TfmAbstrLsRef0::FindNextActionExecute() {
  if (!qryQuerySet_.active() || qryQuerySet_.eof()) return;
  grid_->locate(spec_.KeyField, qryQuerySet_.field(spec_.KeyField).asVariant());
  qryQuerySet_.next();
  if (qryQuerySet_.eof()) {
    qryQuerySet_.close();
    findNextAction_->setEnabled(false);
  } else {
    findNextAction_->setEnabled(true);
  }
  updateStatus();
  SetWithRights();
}

void TfmAbstrLsRef0::FilterActionExecute() {
  filterOn_ = !filterOn_;
  filterAction_->setChecked(filterOn_);
  if (filterOn_) {
    const auto text = findDialog()->ask();
    if (!text) return;  // the button stays pressed and the whole list stays shown
    FreezeGrid freeze(grid_);
    qryFlt_.close();
    qryFlt_.sql() = listsql::withCondition(searchBase(), listsql::searchCondition(sortField_));
    qryFlt_.param(listsql::searchParam()).setString(listsql::searchValue(*text));
    try {
      fltModel_->refresh();
    } catch (const db::DbError&) {
      msg::error(QStringLiteral("Ошибка в SQL - запросе"), kError);
      return;
    }
    fltOpen_ = true;
    grid_->setQueryModel(fltModel_);
    grid_->first();
  } else {
    const QVariant key = grid_->currentValue(spec_.KeyField);
    fltOpen_ = false;
    fltModel_->close();
    grid_->setQueryModel(listModel_);
    if (!key.isValid() || !grid_->locate(spec_.KeyField, key)) grid_->first();
  }
  updateStatus();
  SetWithRights();
}

void TfmAbstrLsRef0::typeQuickSearch(QChar c) {
  if (!listsql::quickSearchAccepts(c)) return;
  quickSearch_ += c;
  searchText_->setText(quickSearch_);
  incrementalSearch();
}

void TfmAbstrLsRef0::eraseQuickSearch() {
  if (quickSearch_.isEmpty()) return;
  quickSearch_.chop(1);
  searchText_->setText(quickSearch_);
  incrementalSearch();
}

void TfmAbstrLsRef0::incrementalSearch() {
  QueryModel* model = grid_->queryModel();
  if (!model || !model->isOpen()) return;
  FreezeGrid freeze(grid_);
  int row = 0;
  for (;; ++row) {
    if (row >= model->rowCount()) {
      if (!model->canFetchMore({})) break;
      model->fetchMore({});
      if (row >= model->rowCount()) break;
    }
    if (listsql::atOrAfter(model->value(row, sortField_).toString(), quickSearch_)) {
      grid_->setCurrentRow(row);
      return;
    }
  }
  if (model->rowCount() > 0) grid_->setCurrentRow(model->rowCount() - 1);
}

bool TfmAbstrLsRef0::eventFilter(QObject* watched, QEvent* e) {
  if (watched == grid_ && e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
    if (enter && (k->modifiers() & Qt::ShiftModifier)) {
      EditActionExecute();
      return true;
    }
    if (enter) {
      ChoiceActionExecute();
      return true;
    }
    if (k->key() == Qt::Key_Backspace) {
      eraseQuickSearch();
      return true;
    }
    if (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) {
      quickSearch_.clear();
      searchText_->clear();
      return false;
    }
    const QString text = k->text();
    if (text.size() == 1 && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      if (listsql::quickSearchAccepts(text.at(0))) typeQuickSearch(text.at(0));
      return true;  // other characters do nothing, as in the original list
    }
  }
  return TfmAbstrForm::eventFilter(watched, e);
}

void TfmAbstrLsRef0::restoreState() {
  const int w = ini().readInteger(section(), QStringLiteral("_wndHeadS0"), 0);
  if (w > 0) grid_->horizontalHeader()->resizeSection(0, w);
  const int s = ini().readInteger(section(), QStringLiteral("_wndSplV"), 0);
  if (s > 0) searchCaption_->setFixedWidth(s);
}

void TfmAbstrLsRef0::saveState() {
  ini().writeInteger(section(), QStringLiteral("_wndHeadS0"),
                     grid_->horizontalHeader()->sectionSize(0));
  ini().writeInteger(section(), QStringLiteral("_wndSplV"), searchCaption_->width());
}

// ---------------------------------------------------------------------------------------------

TfmAbstrLsRef::TfmAbstrLsRef(FrameworkContext& ctx, ListSpec spec, QWidget* parent)
    : TfmAbstrLsRef0(ctx, std::move(spec), parent) {
  QToolBar* bar = toolBar();
  bar->show();
  bar->addAction(addAction_);
  bar->addAction(editAction_);
  bar->addAction(delAction_);
  bar->addSeparator();
  bar->addAction(findAction_);
  bar->addAction(findNextAction_);
  bar->addSeparator();
  bar->addAction(filterAction_);
  bar->addSeparator();
  QAction* help =
      bar->addAction(style()->standardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("Помощь"));
  help->setEnabled(false);
  bar->addAction(exitAction());
}

int pickFromList(FrameworkContext& ctx, const ListSpec& spec, int key, int rights, bool selectMode,
                 QWidget* parent) {
  TfmAbstrLsRef window(ctx, spec, parent);
  const int result = window.Execute(key, rights, selectMode);
  return result == QDialog::Accepted ? window.currentKey() : -1;
}

void registerList(const QString& pickerName, ListSpec spec) {
  registerPicker(pickerName, [spec = std::move(spec)](FrameworkContext& ctx, int key, int rights,
                                                      bool selectMode, QWidget* parent) {
    return pickFromList(ctx, spec, key, rights, selectMode, parent);
  });
}
