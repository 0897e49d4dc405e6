#include "refs/vehicledrivers.h"

#include "framework/querymodel.h"
#include "platform/dberror.h"
#include "platform/messages.h"
#include "refs/vehiclelists.h"
#include "refs/vehiclerules.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QStyledItemDelegate>

namespace {

// The first driver's column: a check mark for 1, nothing otherwise.
class CheckMarkDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QString displayText(const QVariant& value, const QLocale&) const override {
    return value.toString().trimmed() == QLatin1String("1") ? QStringLiteral("\u2713") : QString();
  }
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->displayAlignment = Qt::AlignCenter;
  }
};

QString titleText(const vehiclerules::VehicleTitle& t) {
  return (t.stnumber + QLatin1Char(' ') + t.mark).trimmed();
}

}  // namespace

// ----------------------------------------------------------------------------- TfmLsAcarf

TfmLsAcarf::TfmLsAcarf(FrameworkContext& ctx, int car, QWidget* parent)
    : TfmAbstrLsRef(ctx, vehiclebooks::vehicleDrivers(car), parent), car_(car) {
  vehicle_ = new QLabel;
  vehicle_->setObjectName(QStringLiteral("lblCar"));
  auto* header = new QFormLayout;
  header->addRow(QStringLiteral("Автомобиль :"), vehicle_);
  body()->insertLayout(0, header);
  grid()->setItemDelegateForColumn(1, new CheckMarkDelegate(grid()));
}

QString TfmLsAcarf::vehicleText() const {
  return vehicle_->text();
}

void TfmLsAcarf::Configure() {
  // The vehicle is shown afresh at each opening.
  try {
    vehicle_->setText(titleText(vehiclerules::vehicleTitle(ctx_.db, ctx_.trList, car_)));
  } catch (const db::DbError& e) {
    vehicle_->clear();
    msg::error(e.message());
  }
}

// ----------------------------------------------------------------------------- TfmEdAcarf

TfmEdAcarf::TfmEdAcarf(FrameworkContext& ctx, int car, QWidget* parent)
    : TfmEdVehicleBook(ctx, QStringLiteral("fmEdAcarf"), parent), car_(car) {
  driver_ = addField(vehiclebooks::lookupField(
      QStringLiteral("DRIVER"), QStringLiteral("Водитель :"),
      QStringLiteral("select * from AVDRIVER where DISMISS=0"), QStringLiteral("DRIVER"),
      QStringLiteral("FULLINIT"), QStringLiteral("AVDRIVER"), QStringLiteral("DISMISS=0"),
      QStringLiteral("PickDriver")));
  first_ = addFlag(QStringLiteral("FIRSTDR"), QStringLiteral("1-й водитель"));
}

void TfmEdAcarf::BindNameField(const TEdRefParams& params) {
  TEdRefParams withoutName = params;
  withoutName.NameField.clear();
  TfmEdVehicleBook::BindNameField(withoutName);
}

void TfmEdAcarf::recordShown() {
  driver_->setFocus();
}

bool TfmEdAcarf::BeforeSave() {
  EditRecord& rec = controller().record();
  vehiclerules::DriverPair pair;
  pair.fasten = intValue(QStringLiteral("FASTEN"));
  pair.driver = intValue(QStringLiteral("DRIVER"));
  pair.first = first_->isChecked();
  try {
    const auto others = vehiclerules::driverPairs(ctx_.db, controller().transaction(), car_);
    if (vehiclerules::checkDriverPair(pair, others) != vehiclerules::PairRefusal::None) {
      msg::show(msg::Kind::Plain, vehiclerules::kPairRefused);
      driver_->setFocus();
      return false;
    }
  } catch (const db::DbError& e) {
    msg::error(e.message());
    return false;
  }
  if (!rec.modified()) return true;  // nothing to write
  if (intValue(QStringLiteral("CAR")) != car_ || isNull(QStringLiteral("CAR")))
    rec.setValue(QStringLiteral("CAR"), car_);
  const int first = pair.first ? 1 : 0;
  if (isNull(QStringLiteral("FIRSTDR")) || intValue(QStringLiteral("FIRSTDR")) != first)
    rec.setValue(QStringLiteral("FIRSTDR"), first);
  return true;
}
