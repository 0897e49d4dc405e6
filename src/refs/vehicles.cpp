#include "refs/vehicles.h"

#include "framework/fieldbinding.h"
#include "framework/querymodel.h"
#include "platform/dberror.h"
#include "platform/messages.h"
#include "platform/query.h"
#include "refs/vehiclelists.h"
#include "refs/vehiclerules.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

// ----------------------------------------------------------------------------- TfmLsAcar

TfmLsAcar::TfmLsAcar(FrameworkContext& ctx, const TUser* user, QWidget* parent)
    : TfmAbstrLsRef(ctx, vehiclebooks::vehicles(user), parent) {
  subdivision_ = new QLabel;
  subdivision_->setObjectName(QStringLiteral("lblSubdiv"));
  firstDriver_ = new QLabel;
  firstDriver_->setObjectName(QStringLiteral("lblDriver1"));
  otherDriver_ = new QLabel;
  otherDriver_->setObjectName(QStringLiteral("lblDriver2"));
  auto* drivers = new QVBoxLayout;
  drivers->addWidget(firstDriver_);
  drivers->addWidget(otherDriver_);
  auto* header = new QFormLayout;
  header->addRow(QStringLiteral("Подразделение :"), subdivision_);
  header->addRow(QStringLiteral("Водитель :"), drivers);
  body()->insertLayout(0, header);
  connect(grid(), &QueryGrid::currentRowChanged, this, [this] { showCurrent(); });
  resize(520, 480);
}

QString TfmLsAcar::subdivisionText() const {
  return subdivision_->text();
}
QString TfmLsAcar::firstDriverText() const {
  return firstDriver_->text();
}
QString TfmLsAcar::otherDriverText() const {
  return otherDriver_->text();
}

void TfmLsAcar::showCurrent() {
  const int key = currentKey();
  if (key <= 0) {
    subdivision_->clear();
    firstDriver_->clear();
    otherDriver_->clear();
    return;
  }
  subdivision_->setText(currentValue(QStringLiteral("SUBDIVNAME")).toString().trimmed());
  try {
    const auto drivers = vehiclerules::vehicleDrivers(ctx_.db, ctx_.trList, key);
    firstDriver_->setText(drivers.first);
    otherDriver_->setText(drivers.other);
  } catch (const db::DbError& e) {
    firstDriver_->clear();
    otherDriver_->clear();
    statusBar()->showMessage(e.message());
  }
}

int pickVehicleFor(FrameworkContext& ctx, const TUser* user, int key, int rights, bool selectMode,
                   QWidget* parent) {
  TfmLsAcar window(ctx, user, parent);
  const int result = window.Execute(key, rights, selectMode);
  return result == QDialog::Accepted ? window.currentKey() : -1;
}

// ----------------------------------------------------------------------------- TfmEdAcar

namespace {

using vehiclebooks::lookupField;

// A row of boxes with their units: "c" [ч] "ч" [м] "м" ...
QHBoxLayout* boxesWithUnits(const QList<QPair<QWidget*, QString>>& parts) {
  auto* row = new QHBoxLayout;
  for (const auto& [box, unit] : parts) {
    row->addWidget(box);
    if (!unit.isEmpty()) row->addWidget(new QLabel(unit));
  }
  row->addStretch(1);
  return row;
}

}  // namespace

TfmEdAcar::TfmEdAcar(FrameworkContext& ctx, QWidget* parent)
    : TfmEdVehicleBook(ctx, QStringLiteral("fmEdAcar"), parent) {
  // The mark stands with the state number, in the form of the name.
  addField(lookupField(QStringLiteral("MARK"), QStringLiteral("Марка :"),
                       QStringLiteral("SELECT * from AVMARK"), QStringLiteral("MARK"),
                       QStringLiteral("NAME"), QStringLiteral("AVMARK"), QString(),
                       QStringLiteral("PickMark")));

  auto* left = new QFormLayout;
  auto* right = new QFormLayout;
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 1);
  columns->addSpacing(12);
  columns->addLayout(right, 1);
  body()->insertLayout(1, columns);

  const int ch = fontMetrics().averageCharWidth();
  auto small = [this, ch](FieldSpec::Kind kind, const QString& field, int chars) {
    QWidget* w = takeField(FieldSpec::of(kind, field, QString()));
    w->setFixedWidth(ch * chars + 16);
    return w;
  };
  auto integer = [&small](const QString& field, int chars) {
    return small(FieldSpec::Integer, field, chars);
  };

  left->addRow(QStringLiteral("График работы: c"),
               boxesWithUnits({{integer(QStringLiteral("HIN"), 3), QStringLiteral("ч")},
                               {integer(QStringLiteral("MINUTIN"), 3), QStringLiteral("м   по")},
                               {integer(QStringLiteral("HOUT"), 3), QStringLiteral("ч")},
                               {integer(QStringLiteral("MOUT"), 3), QStringLiteral("м")}}));
  left->addRow(QStringLiteral("Перерыв:"),
               boxesWithUnits({{integer(QStringLiteral("HBREAK"), 3), QStringLiteral("ч")},
                               {integer(QStringLiteral("MBREAK"), 3), QStringLiteral("м")}}));
  addFieldTo(left, lookupField(QStringLiteral("KIND"), QStringLiteral("Тип транспорта:"),
                               QStringLiteral("select * from AVKIND"), QStringLiteral("KIND"),
                               QStringLiteral("NAME"), QStringLiteral("AVKIND"), QString(),
                               QStringLiteral("PickVehicleType")));
  addFieldTo(left, lookupField(QStringLiteral("FUEL"), QStringLiteral("Топливо:"),
                               QStringLiteral("select * from AVFUEL"), QStringLiteral("FUEL"),
                               QStringLiteral("NAME"), QStringLiteral("AVFUEL"), QString(),
                               QStringLiteral("PickFuel")));
  addFieldTo(left, lookupField(QStringLiteral("SUBDIV"), QStringLiteral("Подразделение:"),
                               QStringLiteral("SELECT * from AVSUBDIV where DISMISS=0"),
                               QStringLiteral("SUBDIV"), QStringLiteral("NAME"),
                               QStringLiteral("AVSUBDIV"), QStringLiteral("DISMISS=0"),
                               QStringLiteral("PickSubdivision")));
  left->addRow(QStringLiteral("Вес:"),
               boxesWithUnits({{small(FieldSpec::Number, QStringLiteral("WEIGHT"), 8),
                                QStringLiteral("тн")}}));
  left->addRow(QStringLiteral("Грузоподьемность:"),
               boxesWithUnits({{small(FieldSpec::Number, QStringLiteral("TONNAGE"), 8),
                                QStringLiteral("тн")}}));
  addFieldTo(left, lookupField(QStringLiteral("CLIENT"), QStringLiteral("Клиент :"),
                               QStringLiteral("select * from AVCLIENT where DISMISS=0"),
                               QStringLiteral("CLIENT"), QStringLiteral("NAME"),
                               QStringLiteral("AVCLIENT"), QStringLiteral("DISMISS=0"),
                               QStringLiteral("PickClient")));
  left->addRow(QStringLiteral("Месячн. лим.:"),
               boxesWithUnits({{integer(QStringLiteral("KMLIMIT"), 7), QStringLiteral("км")},
                               {integer(QStringLiteral("HLIMIT"), 5), QStringLiteral("ч")}}));

  // Every vehicle, the dismissed ones too; no picker: the vehicle list is this window's own.
  trailer_ = static_cast<LookupBox*>(
      takeField(lookupField(QStringLiteral("TRAILER"), QString(),
                            QStringLiteral("select CAR,STNUMBER,TRAILER,MARK from AVCAR"),
                            QStringLiteral("CAR"), QStringLiteral("STNUMBER"),
                            QStringLiteral("AVCAR"), QStringLiteral("DISMISS=0"), QString())));
  trailer_->button()->hide();
  trailerMark_ = new QLabel;
  trailerMark_->setObjectName(QStringLiteral("lblTrailerMark"));
  auto* trailerRow = new QHBoxLayout;
  trailerRow->addWidget(trailer_, 1);
  trailerRow->addWidget(trailerMark_, 1);
  left->addRow(QStringLiteral("Прицеп :"), trailerRow);
  connect(trailer_, &LookupBox::keyChosen, this, [this](int key) { showTrailerMark(key); });

  left->addRow(QStringLiteral("Нач. пробег :"),
               boxesWithUnits({{integer(QStringLiteral("STKM"), 8), QStringLiteral("км")},
                               {integer(QStringLiteral("STHOURS"), 6), QStringLiteral("ч")}}));
  left->addRow(QStringLiteral("Норма пробега :"),
               boxesWithUnits({{integer(QStringLiteral("KMNORM"), 8), QStringLiteral("км")},
                               {integer(QStringLiteral("HNORM"), 6), QStringLiteral("ч")}}));
  addFieldTo(left, lookupField(QStringLiteral("ROUTE"), QStringLiteral("Маршрут:"),
                               QStringLiteral("select * from AVROUTE"), QStringLiteral("ROUTE"),
                               QStringLiteral("NAME"), QStringLiteral("AVROUTE"), QString(),
                               QStringLiteral("PickRoute")));
  addFieldTo(left, lookupField(QStringLiteral("CODFC"), QStringLiteral("Топливная карта:"),
                               QStringLiteral("select * from FUELCARD"), QStringLiteral("CODFC"),
                               QStringLiteral("NUM"), QStringLiteral("FUELCARD"), QString(),
                               QStringLiteral("PickFuelCard")));
  two_ = addFlag(QStringLiteral("TWO"), QStringLiteral("Два водителя"), left);
  tmoto_ = addFlag(QStringLiteral("TMOTO"), QStringLiteral("Учет пробега в моточасах"), left);

  struct Plain {
    FieldSpec::Kind kind;
    const char* field;
    const char* label;
  };
  const Plain plain[] = {
      {FieldSpec::Text, "ENGINE", "Номер двигателя :"},
      {FieldSpec::Text, "SHASSIS", "Номер шасси :"},
      {FieldSpec::Date, "SDATE", "Дата выпуска :"},
      {FieldSpec::Text, "FRAME", "Номер рамы :"},
      {FieldSpec::Text, "BODY", "Номер кузова :"},
      {FieldSpec::Integer, "ZDNKOD", "Код автомобиля в ЗДН :"},
      {FieldSpec::Text, "VIN", "Идентификационный номер(VIN)  :"},
      {FieldSpec::Text, "MODELTC", "Марка модель ТС  :"},
      {FieldSpec::Text, "TYPETC", "Наименование (тип ТС)  :"},
      {FieldSpec::Text, "CATEGORY", "Категория ТС (A,B,C,D,прицеп) :"},
      {FieldSpec::Integer, "POWR", "Мощность двигателя лс (кВт) :"},
      {FieldSpec::Text, "INVENT", "Инвентарный № :"},
      {FieldSpec::Number, "BALANS", "Балансовая стоимость:"},
      {FieldSpec::Number, "NORMA", "Норма амортизации %:"},
      {FieldSpec::Integer, "TANK", "Ёмкость бака:"},
  };
  for (const Plain& p : plain)
    addFieldTo(right,
               FieldSpec::of(p.kind, QString::fromLatin1(p.field), QString::fromUtf8(p.label)));
  resize(900, 620);
}

QString TfmEdAcar::trailerMarkText() const {
  return trailerMark_->text();
}

void TfmEdAcar::showTrailerMark(int trailer) {
  trailerMark_->clear();
  if (trailer <= 0) return;
  try {
    db::Query q(ctx_.db, &controller().transaction());
    q.setSql(QStringLiteral(
        "select MR.NAME from AVCAR CR join AVMARK MR on MR.MARK=CR.MARK where CR.CAR=:CAR"));
    q.param(QStringLiteral("CAR")).setInt(trailer);
    q.open();
    if (!q.isEmpty()) trailerMark_->setText(q.field(0).asString().trimmed());
  } catch (const db::DbError& e) {
    statusBar()->showMessage(e.message());
  }
}

void TfmEdAcar::recordShown() {
  showTrailerMark(intValue(QStringLiteral("TRAILER")));
  nameEdit()->setFocus();
}

bool TfmEdAcar::BeforeSave() {
  // The name first: a refused record is left as the person typed it.
  if (!TfmEdVehicleBook::BeforeSave()) return false;
  if (vehiclerules::isOwnTrailer(intValue(QStringLiteral("CAR")),
                                 intValue(QStringLiteral("TRAILER")))) {
    msg::warning(vehiclerules::kOwnTrailer, QStringLiteral("Внимание"));
    trailer_->setFocus();
    return false;
  }
  if (controller().record().modified()) vehiclerules::fillVehicleDefaults(controller().record());
  return true;
}
