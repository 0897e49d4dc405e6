#include "app/tasksparams.h"

#include "app/bsp.h"
#include "app/calendar.h"
#include "app/commands.h"
#include "app/datamodule.h"
#include "app/rights.h"
#include "app/toolcnst.h"
#include "app/user.h"
#include "framework/fieldbinding.h"
#include "framework/pickers.h"
#include "framework/routines.h"
#include "platform/dberror.h"
#include "platform/messages.h"
#include "platform/query.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

int index(TaskField f) {
  return static_cast<int>(f);
}

QString chopped(QString s) {
  while (s.endsWith(QLatin1Char(' '))) s.chop(1);
  return s;
}

// Subdivisions granted to the user, for conditions over a table without an alias.
QString grantedSubdivisions(const TUser& user) {
  return QStringLiteral("(select rs.SUBDIV from RIGHTS rs where rs.USR=%1)").arg(user.usr);
}

}  // namespace

const std::array<TaskField, kTaskFieldCount>& allTaskFields() {
  static const std::array<TaskField, kTaskFieldCount> fields = {
      TaskField::WorkDate, TaskField::PeriodFrom,  TaskField::PeriodTo,    TaskField::Driver,
      TaskField::Car,      TaskField::VehicleType, TaskField::Subdivision, TaskField::Client,
      TaskField::Tire,     TaskField::Battery,     TaskField::Fuel,        TaskField::FillKind,
      TaskField::Object};
  return fields;
}

bool isDateField(TaskField f) {
  return f == TaskField::WorkDate || f == TaskField::PeriodFrom || f == TaskField::PeriodTo;
}

bool isLookupField(TaskField f) {
  return !isDateField(f) && f != TaskField::Tire && f != TaskField::Battery &&
         f != TaskField::Object;
}

const TaskFieldInfo& taskFieldInfo(TaskField f) {
  using namespace commands;
  static const std::array<TaskFieldInfo, kTaskFieldCount> infos = {{
      {QStringLiteral("Дата обработки документов:"), {}, {}, 0, 0},
      {QStringLiteral("c"), {}, {}, 0, 0},
      {QStringLiteral("по"), {}, {}, 0, 0},
      {QStringLiteral("Водитель : "), QStringLiteral("AVTDRIVER"), QStringLiteral("PickDriver"), 15,
       kDriver},
      {QStringLiteral("Автомобиль : "), QStringLiteral("AVTCAR"), QStringLiteral("PickVehicle"), 15,
       kCar},
      {QStringLiteral("Тип транспорта : "), QStringLiteral("AVTAVK"),
       QStringLiteral("PickVehicleType"), 15, kAvk},
      {QStringLiteral("Подразделение : "), QStringLiteral("AVTSUBDIV"),
       QStringLiteral("PickSubdivision"), 15, kSubdiv},
      {QStringLiteral("Клиент-заказчик : "), QStringLiteral("AVTCLIENT"),
       QStringLiteral("PickClient"), 15, kClient},
      {QStringLiteral("Шина : "), QStringLiteral("AVTTIRE"), QStringLiteral("PickTire"), 15, kTire},
      {QStringLiteral("АКБ : "), QStringLiteral("AVTAKB"), QStringLiteral("PickBattery"), 15, kAkb},
      {QStringLiteral("Вид топлива : "), QStringLiteral("AVTFUEL"), QStringLiteral("PickFuel"), 15,
       kFuel},
      {QStringLiteral("Вид заправки : "), QStringLiteral("AVTGSMT"), QStringLiteral("PickFillKind"),
       1, kGsmT},
      {QStringLiteral("Обьект : "), QStringLiteral("AVTOBJ"), QStringLiteral("PickObject"), 1,
       kObj},
  }};
  return infos[index(f)];
}

int* taskKey(TBsp& b, TaskField f) {
  switch (f) {
    case TaskField::Driver:
      return &b.Driver;
    case TaskField::Car:
      return &b.Car;
    case TaskField::VehicleType:
      return &b.Avk;
    case TaskField::Subdivision:
      return &b.Subdiv;
    case TaskField::Client:
      return &b.Client;
    case TaskField::Tire:
      return &b.Tire;
    case TaskField::Battery:
      return &b.Akb;
    case TaskField::Fuel:
      return &b.Fuel;
    case TaskField::FillKind:
      return &b.GsmT;
    case TaskField::Object:
      return &b.Obj;
    default:
      return nullptr;
  }
}

QDate* taskDate(TBsp& b, TaskField f) {
  switch (f) {
    case TaskField::WorkDate:
      return &b.WorkDate;
    case TaskField::PeriodFrom:
      return &b.Dt1;
    case TaskField::PeriodTo:
      return &b.Dt2;
    default:
      return nullptr;
  }
}

bool ParamMask::enabled(TaskField f) const {
  const int i = index(f);
  return i < text_.size() && text_[i] != QLatin1Char('0');
}

unsigned ParamMask::offeredKeys() const {
  unsigned keys = 0;
  for (TaskField f : allTaskFields())
    if (enabled(f)) keys |= taskFieldInfo(f).key;
  return keys;
}

QString taskListSql(TaskField f, const TUser& user) {
  const bool narrowed = rights::isRestricted(user);
  switch (f) {
    case TaskField::Driver:
      if (narrowed)
        return QStringLiteral("select drv.* from AVDRIVER drv") + rights::driverJoin(user) +
               QStringLiteral(" where DISMISS=0 and ") + rights::driverCondition(user) +
               QStringLiteral(" order by INITIALS");
      return QStringLiteral("select * from AVDRIVER where DISMISS=0 order by INITIALS");
    case TaskField::Car: {
      // Joined to the marks from the vehicle's side: a vehicle whose mark is not set stays in
      // the list.
      QString sql = QStringLiteral(
                        "select CR.CAR,CR.DISMISS,CR.STNUMBER,MRK.NAME from AVCAR CR left join "
                        "AVMARK MRK on MRK.MARK=CR.MARK") +
                    rights::vehicleJoin(user) + QStringLiteral(" where  CR.DISMISS=0");
      if (narrowed) sql += QStringLiteral(" and ") + rights::vehicleCondition(user);
      return sql + QStringLiteral(" order by STNUMBER");
    }
    case TaskField::VehicleType:
      return QStringLiteral("select * from AVKIND order by KIND");
    case TaskField::Subdivision:
      if (narrowed)
        return QStringLiteral("select sv.SUBDIV,sv.DISMISS,sv.NAME,sv.FNAME from AVSUBDIV sv") +
               rights::subdivisionJoin(user) + rights::subdivisionCondition(user) +
               QStringLiteral(" order by NAME");
      return QStringLiteral(
          "select SUBDIV,DISMISS,NAME,FNAME from AVSUBDIV where DISMISS=0 order by NAME");
    case TaskField::Client:
      return QStringLiteral(
          "select CLIENT,DISMISS,NAME from AVCLIENT where DISMISS=0 order by "
          "CLIENT");
    case TaskField::Fuel:
      return QStringLiteral("select * from AVFUEL order by FUEL");
    case TaskField::FillKind:
      return QStringLiteral("select * from AVGSMT order by AVGSMT");
    default:
      return {};
  }
}

QString taskSearchCondition(TaskField f, const TUser& user) {
  const bool narrowed = rights::isRestricted(user);
  const QString dismiss = QStringLiteral("DISMISS=0");
  switch (f) {
    case TaskField::Driver:
    case TaskField::Car:
      if (narrowed)
        return dismiss + QStringLiteral(" and (SUBDIV=0 or SUBDIV is NULL or SUBDIV in ") +
               grantedSubdivisions(user) + QLatin1Char(')');
      return dismiss;
    case TaskField::Subdivision:
      if (narrowed) return dismiss + QStringLiteral(" and SUBDIV in ") + grantedSubdivisions(user);
      return dismiss;
    case TaskField::Client:
      return dismiss;
    default:
      return {};
  }
}

FieldSpec taskLookupSpec(TaskField f, const TUser& user) {
  FieldSpec s;
  s.kind = FieldSpec::Lookup;
  s.label = taskFieldInfo(f).caption;
  s.lookupSql = taskListSql(f, user);
  s.lookupCondition = taskSearchCondition(f, user);
  s.picker = taskFieldInfo(f).picker;
  switch (f) {
    case TaskField::Driver:
      s.lookupTable = QStringLiteral("AVDRIVER");
      s.lookupKeyField = QStringLiteral("DRIVER");
      s.lookupNameField = QStringLiteral("FULLINIT");
      break;
    case TaskField::Car:
      s.lookupTable = QStringLiteral("AVCAR");
      s.lookupKeyField = QStringLiteral("CAR");
      s.lookupNameField = QStringLiteral("STNUMBER");
      break;
    case TaskField::VehicleType:
      s.lookupTable = QStringLiteral("AVKIND");
      s.lookupKeyField = QStringLiteral("KIND");
      break;
    case TaskField::Subdivision:
      s.lookupTable = QStringLiteral("AVSUBDIV");
      s.lookupKeyField = QStringLiteral("SUBDIV");
      break;
    case TaskField::Client:
      s.lookupTable = QStringLiteral("AVCLIENT");
      s.lookupKeyField = QStringLiteral("CLIENT");
      break;
    case TaskField::Fuel:
      s.lookupTable = QStringLiteral("AVFUEL");
      s.lookupKeyField = QStringLiteral("FUEL");
      break;
    case TaskField::FillKind:
      s.lookupTable = QStringLiteral("AVGSMT");
      s.lookupKeyField = QStringLiteral("AVGSMT");
      break;
    default:
      break;
  }
  s.field = s.lookupKeyField;
  return s;
}

// ---------------------------------------------------------------------------------- the rules

TaskParams::TaskParams(db::Database& db, db::Transaction& tr, TBsp& bsp, const TUser& user,
                       const QString& mask)
    : db_(db), tr_(tr), bsp_(bsp), user_(user), mask_(mask) {}

bool TaskParams::restricted() const {
  return rights::isRestricted(user_);
}

bool TaskParams::pickerButtonEnabled(TaskField f) const {
  if (isDateField(f) || f == TaskField::Object || !changeable(f)) return false;
  if (restricted() && (f == TaskField::Tire || f == TaskField::Battery)) return false;
  return true;
}

bool TaskParams::shownWhenOff(TaskField f) {
  return f == TaskField::Driver || f == TaskField::Car;
}

int TaskParams::key(TaskField f) const {
  const int* k = taskKey(bsp_, f);
  return k ? *k : 0;
}

QDate TaskParams::date(TaskField f) const {
  const QDate* d = taskDate(bsp_, f);
  return d ? *d : QDate();
}

bool TaskParams::setDate(TaskField f, const QDate& d) {
  QDate* field = taskDate(bsp_, f);
  if (!field || !changeable(f)) return false;
  *field = d;
  return true;
}

TaskParams::Change TaskParams::choose(TaskField f, int key) {
  Change c;
  int* current = taskKey(bsp_, f);
  if (!current || !changeable(f)) return c;
  if ((f == TaskField::Tire || f == TaskField::Battery) && key == 0) return c;
  if (*current == key) return c;
  *current = key;
  c.changed = true;
  QList<QPair<QString, int>> rows{{taskFieldInfo(f).constant, key}};
  try {
    if (f == TaskField::Car) {
      c.vehicleChanged = true;
      // The tires and batteries of the old vehicle are no choice for the new one.
      bsp_.Tire = 0;
      bsp_.Akb = 0;
      bsp_.Driver = firstDriver(key);
      rows.append({taskFieldInfo(TaskField::Driver).constant, bsp_.Driver});
    }
    write(rows);
  } catch (const db::DbError& e) {
    c.error = e.message();
  }
  return c;
}

void TaskParams::write(const QList<QPair<QString, int>>& rows) {
  // Whatever the shared transaction holds is committed first, as every choice is.
  if (tr_.inTransaction()) tr_.commit();
  db::TransactionGuard guard(tr_);
  ConstantWriter writer(db_, tr_);
  for (const auto& [id, key] : rows) writer.write(id, QString::number(key));
  guard.commit();
}

int TaskParams::firstDriver(int car) {
  db::Query q(db_, &tr_);
  q.setSql(QStringLiteral(
      "select DRIVER from AVFASTENING where CAR=:CAR and FIRSTDR=1 order by FASTEN"));
  q.param(QStringLiteral("CAR")).setInt(car);
  q.open();
  return q.isEmpty() ? 0 : static_cast<int>(q.field(0).asInt());
}

QString TaskParams::markName(int car) {
  db::Query q(db_, &tr_);
  q.setSql(
      QStringLiteral("select MRK.NAME from AVCAR CR left join AVMARK MRK on MRK.MARK=CR.MARK "
                     "where CR.CAR=:CAR"));
  q.param(QStringLiteral("CAR")).setInt(car);
  q.open();
  return q.isEmpty() ? QString() : chopped(q.field(0).asString());
}

QList<LookupItem> TaskParams::vehicleItems(TaskField f, int car, int keep) {
  const bool tire = f == TaskField::Tire;
  const QString keyField = tire ? QStringLiteral("TIRE") : QStringLiteral("AKB");
  const QString numberField = tire ? QStringLiteral("SERIAL") : QStringLiteral("NUMBER");
  const QString table = tire ? QStringLiteral("AVTIRE") : QStringLiteral("AVAKB");
  QList<LookupItem> items;
  auto add = [&](db::Query& q) {
    const QString text = chopped(q[QStringLiteral("NAME")].asString()) + QLatin1Char(' ') +
                         q[numberField].asString();
    items.append({static_cast<int>(q[keyField].asInt()), chopped(text)});
  };
  db::Query q(db_, &tr_);
  q.setSql(QStringLiteral("select %1,CAR,NAME,%2 from %3 where DISMISS=0 and CAR=:CAR order by %1")
               .arg(keyField, numberField, table));
  q.param(QStringLiteral("CAR")).setInt(car);
  bool kept = keep <= 0;
  for (q.open(); !q.eof(); q.next()) {
    add(q);
    kept = kept || items.last().key == keep;
  }
  q.close();
  if (!kept) {
    q.setSql(QStringLiteral("select %1,NAME,%2 from %3 where %1=:KEY")
                 .arg(keyField, numberField, table));
    q.param(QStringLiteral("KEY")).setInt(keep);
    q.open();
    if (!q.isEmpty()) add(q);
  }
  return items;
}

QStringList TaskParams::objectLines() {
  db::Query q(db_, &tr_);
  QStringList lines;
  ObjectLines(q, lines);
  return lines;
}

// ---------------------------------------------------------------------------------- the window

struct TfmTools::Slot {
  TaskField field;
  QLabel* caption = nullptr;
  QStackedWidget* dateStack = nullptr;
  QDateEdit* date = nullptr;
  QLineEdit* cover = nullptr;
  LookupBox* lookup = nullptr;
  QComboBox* combo = nullptr;
  QToolButton* button = nullptr;
  QList<LookupItem> items;  // of the tire and battery boxes
  QStringList lines;        // of the object box
};

TfmTools::TfmTools(TDM& dm, TBsp& bsp, const TUser& user, const QString& mask, QWidget* parent)
    : QDialog(parent), dm_(dm), params_(dm.DB, dm.IBTransaction, bsp, user, mask) {
  setObjectName(QStringLiteral("fmTools"));
  const QDate today = QDate::currentDate();
  setWindowTitle(QStringLiteral("Настройка параметров задач") + QStringLiteral("   ") +
                 today.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("   ") +
                 weekdayNames().value(today.dayOfWeek() % 7));
  picker_ = [this](const QString& name, int rights) {
    return Pick(name, dm_.context(), 0, rights, true, this);
  };

  for (TaskField f : allTaskFields()) {
    slots_[index(f)] = new Slot;
    slots_[index(f)]->field = f;
    buildField(f, this);
  }

  auto* grid = new QGridLayout;
  int row = 0;
  grid->addWidget(slot(TaskField::WorkDate).caption, row, 0);
  grid->addWidget(slot(TaskField::WorkDate).dateStack, row, 1, Qt::AlignLeft);
  ++row;
  lbPeriod_ = new QLabel(QStringLiteral("Интервал обработки документов: "));
  auto* period = new QHBoxLayout;
  for (TaskField f : {TaskField::PeriodFrom, TaskField::PeriodTo}) {
    period->addWidget(slot(f).caption);
    period->addWidget(slot(f).dateStack);
  }
  period->addStretch();
  grid->addWidget(lbPeriod_, row, 0);
  grid->addLayout(period, row, 1);
  ++row;
  for (TaskField f : allTaskFields()) {
    if (isDateField(f)) continue;
    Slot& s = slot(f);
    grid->addWidget(s.caption, row, 0);
    auto* line = new QHBoxLayout;
    if (s.lookup) {
      line->addWidget(s.lookup, 1);
    } else {
      line->addWidget(s.combo, 1);
      if (s.button) line->addWidget(s.button);
    }
    if (f == TaskField::Car) {
      lbMark_ = new QLabel;
      lbMark_->setMinimumWidth(160);
      line->addWidget(lbMark_, 1);
    }
    grid->addLayout(line, row, 1);
    ++row;
  }

  btContinue_ = new QPushButton(QStringLiteral("Продолжить"));
  btNo_ = new QPushButton(QStringLiteral("Нет"));
  btContinue_->setDefault(true);
  btNo_->setAutoDefault(false);
  connect(btContinue_, &QPushButton::clicked, this, &TfmTools::confirm);
  connect(btNo_, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btContinue_);
  buttons->addWidget(btNo_);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addSpacing(8);
  layout->addLayout(buttons);

  applyMask();
}

TfmTools::~TfmTools() {
  for (Slot* s : slots_) delete s;
}

TfmTools::Slot& TfmTools::slot(TaskField f) const {
  return *slots_[index(f)];
}

void TfmTools::buildField(TaskField f, QWidget* parent) {
  Slot& s = slot(f);
  s.caption = new QLabel(taskFieldInfo(f).caption, parent);
  if (isDateField(f)) {
    s.date = new QDateEdit(parent);
    s.date->setObjectName(f == TaskField::WorkDate     ? QStringLiteral("dtWorkDate")
                          : f == TaskField::PeriodFrom ? QStringLiteral("dtDt1")
                                                       : QStringLiteral("dtDt2"));
    s.date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    s.date->setCalendarPopup(true);
    s.date->installEventFilter(this);
    connect(s.date, &QDateEdit::dateChanged, this, [this, f](QDate d) { params_.setDate(f, d); });
    s.cover = new QLineEdit(parent);
    s.cover->setEnabled(false);
    s.dateStack = new QStackedWidget(parent);
    s.dateStack->addWidget(s.date);
    s.dateStack->addWidget(s.cover);
    s.dateStack->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return;
  }
  if (isLookupField(f)) {
    s.lookup = new LookupBox(dm_.context(), taskLookupSpec(f, params_.user()), parent);
    s.lookup->setObjectName(QStringLiteral("cb") + taskFieldInfo(f).constant);
    // Every picker of the window goes through pickField, which knows the mask and the rights
    // of the field's picker: the box's own button and keys are taken over.
    QToolButton* button = s.lookup->button();
    disconnect(button, &QToolButton::clicked, s.lookup, nullptr);
    connect(button, &QToolButton::clicked, this, [this, f] { pickField(f); });
    s.lookup->combo()->installEventFilter(this);
    s.lookup->combo()->lineEdit()->installEventFilter(this);
    connect(s.lookup, &LookupBox::keyChosen, this, [this, f](int key) { applyChoice(f, key); });
    return;
  }
  s.combo = new QComboBox(parent);
  s.combo->setObjectName(QStringLiteral("cb") + taskFieldInfo(f).constant);
  s.combo->setMinimumContentsLength(24);
  s.combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  s.combo->installEventFilter(this);
  if (f != TaskField::Object) {
    s.button = new QToolButton(parent);
    s.button->setText(QStringLiteral("..."));
    s.button->setFocusPolicy(Qt::NoFocus);
    connect(s.button, &QToolButton::clicked, this, [this, f] { pickField(f); });
    connect(s.combo, &QComboBox::activated, this, [this, f](int i) {
      if (i >= 0 && i < slot(f).items.size()) applyChoice(f, slot(f).items[i].key);
    });
  } else {
    connect(s.combo, &QComboBox::activated, this, [this](int i) {
      const Slot& o = slot(TaskField::Object);
      if (i >= 0 && i < o.lines.size()) applyChoice(TaskField::Object, LeadingNumber(o.lines[i]));
    });
  }
}

QWidget* TfmTools::fieldWidget(TaskField f) const {
  const Slot& s = slot(f);
  if (s.date) return s.date;
  if (s.lookup) return s.lookup;
  return s.combo;
}

LookupBox* TfmTools::lookupBox(TaskField f) const {
  return slot(f).lookup;
}

QComboBox* TfmTools::comboBox(TaskField f) const {
  const Slot& s = slot(f);
  return s.lookup ? s.lookup->combo() : s.combo;
}

QLabel* TfmTools::captionLabel(TaskField f) const {
  return slot(f).caption;
}

QToolButton* TfmTools::pickerButton(TaskField f) const {
  const Slot& s = slot(f);
  return s.lookup ? s.lookup->button() : s.button;
}

QLineEdit* TfmTools::dateCover(TaskField f) const {
  return slot(f).cover;
}

void TfmTools::applyMask() {
  for (TaskField f : allTaskFields()) {
    Slot& s = slot(f);
    const bool on = params_.changeable(f);
    s.caption->setEnabled(on);
    if (s.date) {
      // A date that is off is covered by a blank field rather than showing a date that the
      // command does not use.
      s.date->setEnabled(on);
      s.dateStack->setCurrentWidget(on ? static_cast<QWidget*>(s.date) : s.cover);
      continue;
    }
    fieldWidget(f)->setEnabled(on);
    if (QToolButton* b = pickerButton(f)) b->setEnabled(params_.pickerButtonEnabled(f));
    if (!on && !TaskParams::shownWhenOff(f)) comboBox(f)->clear();
  }
  lbPeriod_->setEnabled(params_.changeable(TaskField::PeriodFrom) ||
                        params_.changeable(TaskField::PeriodTo));
  lbMark_->setEnabled(params_.changeable(TaskField::Car));
}

void TfmTools::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (filled_) return;
  filled_ = true;
  fillFields();
  btContinue_->setFocus();
}

void TfmTools::fillFields() {
  for (TaskField f : {TaskField::WorkDate, TaskField::PeriodFrom, TaskField::PeriodTo}) {
    QDateEdit* d = slot(f).date;
    const QSignalBlocker block(d);
    d->setDate(params_.date(f));
  }
  try {
    for (TaskField f : allTaskFields()) {
      if (!isLookupField(f)) continue;
      if (params_.changeable(f) || TaskParams::shownWhenOff(f)) lookupBox(f)->fill(params_.key(f));
    }
    for (TaskField f : {TaskField::Tire, TaskField::Battery})
      if (params_.changeable(f)) fillVehicleItems(f);
    if (params_.changeable(TaskField::Object)) fillObjects();
    showMark();
  } catch (const db::DbError& e) {
    report(e.message());
  }
}

void TfmTools::fillVehicleItems(TaskField f) {
  Slot& s = slot(f);
  const int key = params_.key(f);
  s.items = params_.vehicleItems(f, params_.key(TaskField::Car), key);
  const QSignalBlocker block(s.combo);
  s.combo->clear();
  int select = s.items.isEmpty() ? -1 : 0;
  for (int i = 0; i < s.items.size(); ++i) {
    s.combo->addItem(s.items[i].name, s.items[i].key);
    if (key != 0 && s.items[i].key == key) select = i;
  }
  s.combo->setCurrentIndex(select);
}

void TfmTools::fillObjects() {
  Slot& s = slot(TaskField::Object);
  s.lines = params_.objectLines();
  const QSignalBlocker block(s.combo);
  s.combo->clear();
  s.combo->addItems(s.lines);
  // By the whole leading number: object 1 is not the line of object 11.
  s.combo->setCurrentIndex(FindObjectLine(s.lines, params_.key(TaskField::Object)));
}

void TfmTools::showMark() {
  lbMark_->setText(params_.markName(params_.key(TaskField::Car)));
}

void TfmTools::report(const QString& error) {
  msg::show(msg::Kind::Plain, error);
}

void TfmTools::applyChoice(TaskField f, int key) {
  const TaskParams::Change c = params_.choose(f, key);
  if (!c.error.isEmpty()) report(c.error);
  if (!c.vehicleChanged) return;
  try {
    lookupBox(TaskField::Driver)->fill(params_.key(TaskField::Driver));
    for (TaskField t : {TaskField::Tire, TaskField::Battery})
      if (params_.changeable(t)) fillVehicleItems(t);
    showMark();
  } catch (const db::DbError& e) {
    report(e.message());
  }
}

void TfmTools::pickField(TaskField f) {
  if (isDateField(f) || !params_.changeable(f)) return;
  const TaskFieldInfo& info = taskFieldInfo(f);
  try {
    const int chosen = picker_(info.picker, info.pickerRights);
    if (chosen < 0) return;
    Slot& s = slot(f);
    if (s.lookup) {
      s.lookup->fill(chosen);
      applyChoice(f, chosen);
      s.lookup->setFocus();
      return;
    }
    applyChoice(f, chosen);
    if (f == TaskField::Object)
      fillObjects();
    else
      fillVehicleItems(f);
    s.combo->setFocus();
  } catch (const db::DbError& e) {
    report(e.message());
  }
}

void TfmTools::confirm() {
  // What the tire and battery boxes show is what the command gets, also when the person never
  // opened them (they show the vehicle's first item when nothing was chosen yet).
  for (TaskField f : {TaskField::Tire, TaskField::Battery}) {
    const Slot& s = slot(f);
    const int i = s.combo->currentIndex();
    if (params_.changeable(f) && i >= 0 && i < s.items.size()) applyChoice(f, s.items[i].key);
  }
  accept();
}

bool TfmTools::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, e);
  auto* k = static_cast<QKeyEvent*>(e);
  const bool pickKey = (k->key() == Qt::Key_Space && k->modifiers() == Qt::AltModifier) ||
                       (k->key() == Qt::Key_F2 && k->modifiers() == Qt::NoModifier);
  const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
  for (TaskField f : allTaskFields()) {
    const Slot& s = slot(f);
    const bool own =
        watched == s.date || watched == s.combo ||
        (s.lookup && (watched == s.lookup->combo() || watched == s.lookup->combo()->lineEdit()));
    if (!own) continue;
    if (pickKey && !s.date) {
      pickField(f);
      return true;
    }
    // The lookup boxes handle Enter themselves (a typed name is searched for).
    if (enter && !s.lookup) {
      focusNextChild();
      return true;
    }
    break;
  }
  return QDialog::eventFilter(watched, e);
}

bool AskTaskParams(TDM& dm, TBsp& bsp, const TUser& user, const QString& mask, QWidget* parent) {
  TfmTools w(dm, bsp, user, mask, parent);
  return w.exec() == QDialog::Accepted;
}
