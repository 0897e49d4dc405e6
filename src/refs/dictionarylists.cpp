#include "refs/dictionarylists.h"

#include "framework/querymodel.h"
#include "platform/database.h"
#include "platform/dberror.h"
#include "platform/messages.h"
#include "platform/query.h"
#include "refs/dictionaryspecs.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace dictionaryuse {

QList<KeyUse> marks() {
  return {{QStringLiteral("AVCAR"),
           QStringLiteral("MARK"),
           {},
           QStringLiteral("Нельзя удалить марку! Есть автомобили этой марки.")}};
}

QList<KeyUse> vehicleTypes() {
  return {{QStringLiteral("AVCAR"),
           QStringLiteral("KIND"),
           {},
           QStringLiteral("Нельзя удалить тип транспорта! Есть автомобили этого типа.")}};
}

QList<KeyUse> fuels() {
  const QString onWaybills =
      QStringLiteral("Нельзя удалить вид топлива! Есть путевые листы, ссылающиеся на него.");
  return {{QStringLiteral("AVCAR"),
           QStringLiteral("FUEL"),
           {},
           QStringLiteral("Нельзя удалить вид топлива! Есть автомобили, ссылающиеся на него.")},
          {QStringLiteral("AVROADLIST"), QStringLiteral("FUEL"), {}, onWaybills},
          {QStringLiteral("AVGSM"), QStringLiteral("FUEL"), {}, onWaybills}};
}

// A dismissed subdivision keeps its row, so joins still find it; but the editors of vehicles
// and drivers offer only subdivisions not dismissed, and would write "none" over the key of
// theirs.
QList<KeyUse> subdivisions() {
  return {{QStringLiteral("AVCAR"), QStringLiteral("SUBDIV"), QStringLiteral("DISMISS=0"),
           QStringLiteral("Нельзя удалить подразделение! В нем числятся автомобили.")},
          {QStringLiteral("AVDRIVER"), QStringLiteral("SUBDIV"), QStringLiteral("DISMISS=0"),
           QStringLiteral("Нельзя удалить подразделение! В нем числятся водители.")}};
}

}  // namespace dictionaryuse

QString removalRefusal(db::Database& database, db::Transaction& tr, const QList<KeyUse>& uses,
                       int key) {
  for (const KeyUse& use : uses) {
    db::Query q(database, &tr);
    QString sql =
        QStringLiteral("select first 1 1 from %1 where %2 = :KEY").arg(use.table, use.column);
    if (!use.condition.isEmpty()) sql += QStringLiteral(" and ") + use.condition;
    q.setSql(sql);
    q.param(QStringLiteral("KEY")).setInt(key);
    q.open();
    const bool used = !q.isEmpty();
    q.close();
    if (used) return use.message;
  }
  return {};
}

// ---------------------------------------------------------------------------------------------

TfmLsRefInUse::TfmLsRefInUse(FrameworkContext& ctx, ListSpec book, QList<KeyUse> uses,
                             QWidget* parent)
    : TfmAbstrLsRef(ctx, std::move(book), parent), uses_(std::move(uses)) {
  disconnect(delAction_, &QAction::triggered, this, nullptr);
  connect(delAction_, &QAction::triggered, this, &TfmLsRefInUse::deleteUnused);
}

void TfmLsRefInUse::deleteUnused() {
  const int key = currentKey();
  // Without the right, or without a row, the base says what it always says.
  if ((Params().Rights & rights::kDelete) && key > 0) {
    QString refusal;
    try {
      refusal = removalRefusal(ctx_.db, ctx_.trList, uses_, key);
    } catch (const db::DbError& e) {
      msg::error(e.message(), QStringLiteral("Ошибка"));
      return;
    }
    if (!refusal.isEmpty()) {
      msg::warning(refusal, QStringLiteral("Внимание"));
      return;
    }
  }
  DelActionExecute();
}

// ---------------------------------------------------------------------------------------------

TfmLsAclient::TfmLsAclient(FrameworkContext& ctx, QWidget* parent)
    : TfmAbstrLsRef(ctx, dictionaries::clients(), parent) {
  time_ = new QLabel(this);
  km_ = new QLabel(this);
  internal_ = new QCheckBox(QStringLiteral("Внутренний"), this);
  internal_->setEnabled(false);  // shows the row, changed only in the editor
  auto* panel = new QVBoxLayout;
  panel->addWidget(time_);
  panel->addWidget(km_);
  panel->addWidget(internal_);
  body()->insertLayout(0, panel);
  connect(grid(), &QueryGrid::currentRowChanged, this, [this] { showCurrent(); });
}

QString TfmLsAclient::zeroTimeText() const {
  if (!currentValue(QStringLiteral("CLIENT")).isValid()) return {};
  const auto n = [this](const char* f) {
    return QString::number(currentValue(QString::fromLatin1(f)).toInt());
  };
  return QStringLiteral("Нулевое время у клиента: выезд %1 ч %2 мин, возврат %3 ч %4 мин")
      .arg(n("HIN"), n("MINUTIN"), n("HOUT"), n("MOUT"));
}

QString TfmLsAclient::zeroKmText() const {
  if (!currentValue(QStringLiteral("CLIENT")).isValid()) return {};
  const auto n = [this](const char* f) {
    return QString::number(currentValue(QString::fromLatin1(f)).toInt());
  };
  return QStringLiteral("Нулевой килом.: выезд %1 км, возврат %2 км").arg(n("KMIN"), n("KMOUT"));
}

void TfmLsAclient::showCurrent() {
  time_->setText(zeroTimeText());
  km_->setText(zeroKmText());
  internal_->setChecked(currentValue(QStringLiteral("INTERN")).toInt() == 1);
}
