#include "refs/objectlist.h"

#include "framework/querymodel.h"
#include "platform/database.h"
#include "platform/dberror.h"
#include "platform/messages.h"
#include "refs/dictionaryspecs.h"
#include "refs/objectimport.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

namespace {
const QString kCodeParam = QStringLiteral("CODE");

// The hourglass while the file is loaded, whatever way the loading ends.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};
}  // namespace

TfmLsObj::TfmLsObj(FrameworkContext& ctx, QWidget* parent)
    : TfmAbstrLsRef(ctx, dictionaries::objects(), parent) {
  chooseFile = [](QWidget* owner) {
    return QFileDialog::getOpenFileName(owner, QStringLiteral("Загрузка из ГРЗ"), QString(),
                                        QStringLiteral("двоичн. файл (*.bin)"));
  };
  importAction_ = new QAction(style()->standardIcon(QStyle::SP_DialogOpenButton),
                              QStringLiteral("Загрузка из ГРЗ"), this);
  importAction_->setShortcut(Qt::Key_F2);
  importAction_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(importAction_, &QAction::triggered, this, &TfmLsObj::loadFromFile);
  addAction(importAction_);
  // In the tool bar where the base keeps its spare buttons: before "Помощь".
  QAction* before = nullptr;
  for (QAction* a : toolBar()->actions())
    if (a->text() == QStringLiteral("Помощь")) before = a;
  toolBar()->insertAction(before, importAction_);
  if (QAction* edit = menuBar()->actions().value(0); edit && edit->menu())
    edit->menu()->addAction(importAction_);

  // The filter takes a code, not a part of the name.
  disconnect(filterAction_, &QAction::triggered, this, nullptr);
  connect(filterAction_, &QAction::triggered, this, &TfmLsObj::filterByCode);
}

std::optional<int> TfmLsObj::codeOf(const QString& typed) {
  bool ok = false;
  const int code = typed.trimmed().toInt(&ok);
  if (!ok) return std::nullopt;
  return code;
}

void TfmLsObj::reopen(const QVariant& key) {
  QStringList lines = spec().listSql;
  if (codeFilter_) lines[2] += QStringLiteral("and AVOBJ=:") + kCodeParam;
  db::Query& q = currentQuery();
  q.close();
  q.sql() = lines;
  if (codeFilter_) q.param(kCodeParam).setInt(code_);
  grid()->queryModel()->refresh();
  if (!key.isValid() || !grid()->locate(spec().KeyField, key)) grid()->first();
  SetWithRights();
}

void TfmLsObj::filterByCode() {
  const QVariant key = currentValue(spec().KeyField);
  if (codeFilter_) {
    codeFilter_ = false;
  } else {
    if (!codeDialog_) codeDialog_ = new TfmAbstrFndRef(this);
    const auto typed = codeDialog_->ask();
    const std::optional<int> code = typed ? codeOf(*typed) : std::nullopt;
    if (typed && !code) {
      msg::warning(QStringLiteral("Код объекта должен быть целым числом."),
                   QStringLiteral("Внимание"));
    }
    if (!code) {
      filterAction_->setChecked(false);
      return;
    }
    code_ = *code;
    codeFilter_ = true;
  }
  filterAction_->setChecked(codeFilter_);
  try {
    reopen(key);
  } catch (const db::DbError&) {
    msg::error(QStringLiteral("Ошибка в SQL - запросе"), QStringLiteral("Ошибка"));
  }
}

void TfmLsObj::loadFromFile() {
  // The whole dictionary is replaced: only for those who may add and delete its rows.
  const int needed = rights::kAdd | rights::kDelete;
  if ((Params().Rights & needed) != needed) {
    msg::warning(QStringLiteral("Нет доступа к выполнению операции."), QStringLiteral("Внимание"));
    return;
  }
  const QString path = chooseFile ? chooseFile(this) : QString();
  if (path.isEmpty()) return;
  objectimport::Result result;
  {
    WaitCursor wait;
    try {
      result = objectimport::importFile(ctx_.db, ctx_.trList, path);
    } catch (const db::DbError& e) {
      result.refusal.clear();
      msg::error(QStringLiteral("Ошибка обработки данных.") + QLatin1Char('\n') + e.message(),
                 QStringLiteral("Ошибка"));
    }
  }
  if (!result.imported && !result.refusal.isEmpty())
    msg::error(result.refusal, objectimport::refusalCaption());
  try {
    reopen(currentValue(spec().KeyField));
  } catch (const db::DbError& e) {
    msg::error(e.message(), QStringLiteral("Ошибка"));
  }
}
