#include "refs/vehicleperiods.h"

#include "platform/dberror.h"
#include "platform/messages.h"
#include "refs/normrules.h"
#include "refs/vehiclelists.h"
#include "refs/vehiclerules.h"

#include <QAction>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

// ----------------------------------------------------------------------------- TfmLsDopNorm

TfmLsDopNorm::TfmLsDopNorm(FrameworkContext& ctx, int car, QWidget* parent)
    : TfmAbstrLsRef(ctx, vehiclebooks::additionalNorms(car), parent), car_(car) {
  // The list text is not of the shape Find and Filter work on.
  for (QAction* a : {findAction_, findNextAction_, filterAction_}) {
    a->setEnabled(false);
    a->setVisible(false);
  }
  // The Delete key, the tool bar and the pop-up menu come here first.
  disconnect(delAction_, &QAction::triggered, this, nullptr);
  connect(delAction_, &QAction::triggered, this, [this] { DelActionExecute(); });
}

void TfmLsDopNorm::Configure() {
  QString caption = spec().caption;
  try {
    const auto title = vehiclerules::vehicleTitle(ctx_.db, ctx_.trList, car_);
    caption += title.mark + QLatin1Char(' ') + title.stnumber;
  } catch (const db::DbError& e) {
    msg::error(e.message());
  }
  setWindowTitle(caption);
}

void TfmLsDopNorm::DelActionExecute() {
  const int key = currentKey();
  if (key > 0 && (delAction_->isEnabled())) {
    try {
      if (normrules::additionalNormInUse(ctx_.db, ctx_.trList, key)) {
        msg::warning(normrules::kNormInUse, QStringLiteral("Внимание"));
        return;
      }
    } catch (const db::DbError& e) {
      msg::error(e.message());
      return;
    }
  }
  TfmAbstrLsRef::DelActionExecute();
}

// ----------------------------------------------------------------------------- TfmEdDopNorm

TfmEdDopNorm::TfmEdDopNorm(FrameworkContext& ctx, int car, QWidget* parent)
    : TfmEdVehicleBook(ctx, QStringLiteral("fmEdDopNorm"), parent), car_(car) {
  addField(FieldSpec::of(FieldSpec::Number, QStringLiteral("LIT"), QStringLiteral("Норма л/час:")));
}

void TfmEdDopNorm::recordShown() {
  nameEdit()->setFocus();
}

bool TfmEdDopNorm::BeforeSave() {
  if (!TfmEdVehicleBook::BeforeSave()) return false;
  EditRecord& rec = controller().record();
  if (!rec.modified()) return true;
  if (isNull(QStringLiteral("LIT"))) rec.setValue(QStringLiteral("LIT"), 0.0);
  if (isNull(QStringLiteral("CAR"))) rec.setValue(QStringLiteral("CAR"), car_);
  return true;
}

// ----------------------------------------------------------------------------- TfmLsAWint

TfmLsAWint::TfmLsAWint(FrameworkContext& ctx, int car, QWidget* parent)
    : TfmAbstrLsRef(ctx, vehiclebooks::winterPeriods(car), parent), car_(car) {
  vehicle_ = new QLabel;
  vehicle_->setObjectName(QStringLiteral("lblCar"));
  auto* header = new QFormLayout;
  header->addRow(QStringLiteral("Автомобиль :"), vehicle_);
  body()->insertLayout(0, header);
}

QString TfmLsAWint::vehicleText() const {
  return vehicle_->text();
}

void TfmLsAWint::Configure() {
  try {
    const auto title = vehiclerules::vehicleTitle(ctx_.db, ctx_.trList, car_);
    vehicle_->setText((title.stnumber + QLatin1Char(' ') + title.mark).trimmed());
  } catch (const db::DbError& e) {
    vehicle_->clear();
    msg::error(e.message());
  }
}

// ----------------------------------------------------------------------------- TfmEdAWint

TfmEdAWint::TfmEdAWint(FrameworkContext& ctx, int car, QWidget* parent)
    : TfmEdVehicleBook(ctx, QStringLiteral("fmEdAWint"), parent), car_(car) {
  from_ = addField(FieldSpec::of(FieldSpec::Date, QStringLiteral("TIMEFROM"),
                                 QStringLiteral("Начало зимнего периода")));
  addField(FieldSpec::of(FieldSpec::Date, QStringLiteral("TIMETO"),
                         QStringLiteral("Дата демонтажа зимних шин")));
}

void TfmEdAWint::BindNameField(const TEdRefParams& params) {
  TEdRefParams withoutName = params;
  withoutName.NameField.clear();
  TfmEdVehicleBook::BindNameField(withoutName);
}

void TfmEdAWint::recordShown() {
  from_->setFocus();
}

bool TfmEdAWint::BeforeSave() {
  if (isNull(QStringLiteral("TIMEFROM"))) {
    msg::show(msg::Kind::Information, QStringLiteral("Необходимо ввести наименование."),
              QStringLiteral("Внимание"));
    from_->setFocus();
    return false;
  }
  EditRecord& rec = controller().record();
  if (rec.modified() && (isNull(QStringLiteral("CAR")) || intValue(QStringLiteral("CAR")) != car_))
    rec.setValue(QStringLiteral("CAR"), car_);
  return true;
}
