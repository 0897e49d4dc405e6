#include "framework/editcontroller.h"

#include "platform/database.h"
#include "platform/dberror.h"
#include "platform/messages.h"

EditController::EditController(FrameworkContext& ctx) : ctx_(ctx) {}

EditController::~EditController() = default;

db::Transaction& EditController::transaction() const {
  return useList_ ? ctx_.trList : ctx_.shared;
}

void EditController::open(const TEdRefParams& params, int key) {
  saved_ = false;
  params_ = params;
  if (params_.SelectList.isEmpty()) params_.SelectList = QStringLiteral("*");
  qryRec_ = std::make_unique<db::Query>(ctx_.db, &transaction());
  QStringList text = {
      QStringLiteral("SELECT ") + params_.SelectList + QStringLiteral(" FROM ") + params_.TableName,
      QStringLiteral(" WHERE (") + params_.KeyField + QStringLiteral("= :ID) AND (") +
          params_.KeyField + QStringLiteral(">0) ")};
  if (!params_.ExtraClause.isEmpty()) text.last() += QLatin1Char(' ') + params_.ExtraClause;
  qryRec_->sql() = text;
  qryRec_->param(QStringLiteral("ID")).setInt(key);
  qryRec_->open();
  record_.load(*qryRec_);
}

QString EditController::caption() const {
  return params_.EditorCaption + (record_.isNew() ? QStringLiteral(" Ввод новой записи.")
                                                  : QStringLiteral(" Редактирование."));
}

QVariant EditController::savedKey() const {
  const QVariant v = record_.value(params_.KeyField);
  return (v.isValid() && !v.isNull()) ? v : QVariant();
}

bool EditController::requireName() {
  if (params_.NameField.isEmpty()) return true;  // a record without a name box
  QString name = record_.text(params_.NameField);
  if (name.trimmed().isEmpty()) {
    msg::show(msg::Kind::Information, QStringLiteral("Необходимо ввести наименование."),
              QStringLiteral("Внимание"));
    return false;
  }
  return true;
}

EditController::SaveResult EditController::save() {
  if (beforeSave ? !beforeSave() : !requireName()) return SaveResult::Refused;
  if (!record_.modified()) return SaveResult::NothingToSave;
  db::Transaction& tr = transaction();
  try {
    tr.start();
    if (record_.isNew() && record_.state() == EditRecord::State::Insert &&
        !params_.KeyProcName.isEmpty()) {
      db::Query keyProc(ctx_.db, &tr);
      keyProc.setSql(QStringLiteral("select OUT_ID from ") + params_.KeyProcName);
      keyProc.open();
      record_.setValue(params_.KeyField, keyProc.field(0).asInt());
    }
    db::Query write(ctx_.db, &tr);
    write.setSql(record_.isNew() ? params_.InsertSql : params_.ModifySql);
    record_.bind(write);
    write.exec();
    if (afterSave) afterSave(*this);
  } catch (const db::DbError& e) {
    try {
      tr.rollbackRetaining();
    } catch (const db::DbError&) {
    }
    // A key taken for a row that was not written is not kept: the next try takes a new one.
    if (record_.isNew()) record_.setValue(params_.KeyField, QVariant());
    msg::show(msg::Kind::Error,
              QStringLiteral("Ошибка добавления/корректировки записи.\n\r") + e.message() +
                  QLatin1Char('.'),
              QStringLiteral("Ошибка"));
    return SaveResult::Failed;
  }
  tr.commitRetaining();
  record_.posted();
  saved_ = true;
  return SaveResult::Saved;
}

void EditController::cancel() {
  record_.cancel();
}
