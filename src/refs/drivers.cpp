#include "refs/drivers.h"

#include "framework/querymodel.h"
#include "platform/database.h"
#include "platform/dberror.h"
#include "platform/messages.h"
#include "platform/query.h"
#include "refs/dictionaryspecs.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

QString driverVehicle(db::Database& database, db::Transaction& tr, int driver, bool firstDriver) {
  db::Query q(database, &tr);
  q.setSql(QStringLiteral(
               "select AV.*,CR.CAR,CR.STNUMBER,CR.MARK,MR.* from AVFASTENING AV,AVCAR CR,AVMARK "
               "MR where AV.DRIVER=:DRIVER and AV.FIRSTDR=%1 and AV.CAR=CR.CAR and "
               "CR.MARK=MR.MARK order by DRIVER ")
               .arg(firstDriver ? 1 : 0));
  q.param(QStringLiteral("DRIVER")).setInt(driver);
  q.open();
  if (q.isEmpty()) return {};
  const QString line = q[QStringLiteral("STNUMBER")].asString() + QLatin1Char(' ') +
                       q[QStringLiteral("NAME")].asString();
  q.close();
  return line;
}

// ---------------------------------------------------------------------------------------------

TfmLsAdriver::TfmLsAdriver(FrameworkContext& ctx, const TUser* user, QWidget* parent)
    : TfmAbstrLsRef(ctx, dictionaries::drivers(user), parent) {
  fullName_ = new QLabel(this);
  subdivision_ = new QLabel(this);
  firstCar_ = new QLabel(this);
  otherCar_ = new QLabel(this);
  auto* panel = new QFormLayout;
  panel->addRow(QStringLiteral("Полное ФИО :"), fullName_);
  panel->addRow(QStringLiteral("Подразделение :"), subdivision_);
  panel->addRow(QStringLiteral("Машина :"), firstCar_);
  panel->addRow(QString(), otherCar_);
  body()->insertLayout(0, panel);
  connect(grid(), &QueryGrid::currentRowChanged, this, [this] { showCurrent(); });
}

void TfmLsAdriver::showCurrent() {
  const QVariant key = currentValue(spec().KeyField);
  fullName_->setText(currentValue(QStringLiteral("FULLINIT")).toString().trimmed());
  subdivision_->setText(currentValue(QStringLiteral("NAME")).toString().trimmed());
  QString first;
  QString other;
  if (key.isValid()) {
    try {
      first = driverVehicle(ctx_.db, ctx_.trList, key.toInt(), true);
      other = driverVehicle(ctx_.db, ctx_.trList, key.toInt(), false);
    } catch (const db::DbError& e) {
      msg::error(e.message(), QStringLiteral("Ошибка"));
    }
  }
  firstCar_->setText(first);
  otherCar_->setText(other);
}

// ---------------------------------------------------------------------------------------------

TfmEdAdriver::TfmEdAdriver(FrameworkContext& ctx, QWidget* parent)
    : TfmAbstrEdRef(ctx, QStringLiteral("fmEdAdriver"), parent) {
  addField(FieldSpec::text(QStringLiteral("FULLINIT"), QStringLiteral("Полное ФИО :"), 55));
  addField(dictionaries::subdivisionLookup(QStringLiteral("Подразделение :")));
  addField(FieldSpec::text(QStringLiteral("SERTIFICATE"), QStringLiteral("Вод. удост. №:"), 10));
  addField(
      FieldSpec::of(FieldSpec::Integer, QStringLiteral("TN"), QStringLiteral("Табельный номер:")));
  addField(FieldSpec::of(FieldSpec::Integer, QStringLiteral("CLASS"), QStringLiteral("Класс:")));
}

void TfmEdAdriver::showEvent(QShowEvent* e) {
  TfmAbstrEdRef::showEvent(e);
  nameEdit()->setFocus();
}

bool TfmEdAdriver::BeforeSave() {
  // The list joins the subdivisions: a driver without one is kept under 0, not under null.
  EditRecord& r = controller().record();
  if (r.modified() && r.value(QStringLiteral("SUBDIV")).isNull())
    r.setValue(QStringLiteral("SUBDIV"), 0);
  return TfmAbstrEdRef::BeforeSave();
}
