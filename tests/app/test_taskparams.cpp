#include "app/bsp.h"
#include "app/commands.h"
#include "app/datamodule.h"
#include "app/tasksparams.h"
#include "app/user.h"
#include "framework/fieldbinding.h"
#include "platform/query.h"
#include "support/datamodulefixture.h"
#include "support/messagerecorder.h"
#include "support/modal.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>

using testsupport::MessageRecorder;
using testsupport::onNextModal;
using testsupport::TestDatabase;
using F = TaskField;

namespace {

// ------------------------------------------------------------------------------ the mask

QList<F> enabledFields(const ParamMask& m) {
  QList<F> out;
  for (F f : allTaskFields())
    if (m.enabled(f)) out << f;
  return out;
}

TEST(ParamMask, EachCharacterSwitchesItsField) {
  using namespace commands;
  const struct {
    const char* mask;
    QList<F> enabled;
    unsigned keys;
  } cases[] = {
      {"0000100000000", {F::Car}, kCar},
      {"0110000000000", {F::PeriodFrom, F::PeriodTo}, 0},
      {"1000000000000", {F::WorkDate}, 0},
      // Any character but "0" switches on.
      {"1000567000000",
       {F::WorkDate, F::Car, F::VehicleType, F::Subdivision},
       kCar | kAvk | kSubdiv},
      {"1111111100111",
       {F::WorkDate, F::PeriodFrom, F::PeriodTo, F::Driver, F::Car, F::VehicleType, F::Subdivision,
        F::Client, F::Fuel, F::FillKind, F::Object},
       kDriver | kCar | kAvk | kSubdiv | kClient | kFuel | kGsmT | kObj},
      {"0000000011000", {F::Tire, F::Battery}, kTire | kAkb},
      {"1111111111111", QList<F>(allTaskFields().begin(), allTaskFields().end()),
       kDriver | kCar | kAvk | kSubdiv | kClient | kTire | kAkb | kFuel | kGsmT | kObj},
      // Missing characters are fields switched off; a fourteenth is not read.
      {"11", {F::WorkDate, F::PeriodFrom}, 0},
      {"", {}, 0},
      {"00000000000011", {F::Object}, kObj},
  };
  for (const auto& c : cases) {
    const ParamMask m(QString::fromLatin1(c.mask));
    EXPECT_EQ(enabledFields(m), c.enabled) << c.mask;
    EXPECT_EQ(m.offeredKeys(), c.keys) << c.mask;
  }
}

TEST(ParamMask, EveryCommandCanChooseTheKeysItRequires) {
  int withMask = 0;
  for (const commands::CommandDef& c : commands::commandTable()) {
    const unsigned required = c.requiredAll | c.requiredAny;
    if (required == 0) continue;
    ASSERT_FALSE(c.mask.isEmpty()) << c.name.toStdString();
    ++withMask;
    const ParamMask m(c.mask);
    EXPECT_EQ(m.offeredKeys() & required, required) << c.name.toStdString();
    // The dispatcher reads the same mask the same way.
    for (unsigned bit = commands::kDriver; bit <= commands::kObj; bit <<= 1)
      EXPECT_EQ(commands::maskOffers(c.mask, commands::Key(bit)), (m.offeredKeys() & bit) != 0)
          << c.name.toStdString() << " " << bit;
  }
  EXPECT_GT(withMask, 0);
}

TEST(ParamMask, PickersAndTheirRights) {
  const struct {
    F field;
    const char* picker;
    int rights;
    const char* constant;
  } cases[] = {
      {F::Driver, "PickDriver", 15, "AVTDRIVER"},
      {F::Car, "PickVehicle", 15, "AVTCAR"},
      {F::VehicleType, "PickVehicleType", 15, "AVTAVK"},
      {F::Subdivision, "PickSubdivision", 15, "AVTSUBDIV"},
      {F::Client, "PickClient", 15, "AVTCLIENT"},
      {F::Tire, "PickTire", 15, "AVTTIRE"},
      {F::Battery, "PickBattery", 15, "AVTAKB"},
      {F::Fuel, "PickFuel", 15, "AVTFUEL"},
      {F::FillKind, "PickFillKind", 1, "AVTGSMT"},
      {F::Object, "PickObject", 1, "AVTOBJ"},
  };
  for (const auto& c : cases) {
    const TaskFieldInfo& info = taskFieldInfo(c.field);
    EXPECT_EQ(info.picker, c.picker);
    EXPECT_EQ(info.pickerRights, c.rights) << c.picker;
    EXPECT_EQ(info.constant, c.constant) << c.picker;
  }
}

// ------------------------------------------------------------------------------ with a database

// Subdivisions 1 and 2; the restricted user 2 may see 1. Vehicle 2 (subdivision 1) has driver 3
// as its first driver (driver 2 is attached but not first); vehicle 1 has none. Tires 1 and 2
// are on vehicle 2, tire 3 on vehicle 1, tire 4 on vehicle 2 written off.
const char* const kFixture[] = {
    "insert into AVSUBDIV (SUBDIV, DISMISS, NAME) values (1, 0, 'Цех 1')",
    "insert into AVSUBDIV (SUBDIV, DISMISS, NAME) values (2, 0, 'Цех 2')",
    "insert into USERS (USR, N, PASS, TYP, DEF) values (2, 'Петров', '', 1, 'Механик')",
    "insert into USERS (USR, N, PASS, TYP, DEF) values (3, 'Сидоров', '', 1, 'Диспетчер')",
    "insert into RIGHTS (USR, SUBDIV) values (2, 1)",
    "insert into AVMARK (MARK, NAME) values (1, 'ГАЗ-3307')",
    "insert into AVMARK (MARK, NAME) values (2, 'КАМАЗ-5511')",
    "insert into AVCAR (CAR, DISMISS, SUBDIV, MARK, STNUMBER) values (1, 0, 2, 1, 'А001АА')",
    "insert into AVCAR (CAR, DISMISS, SUBDIV, MARK, STNUMBER) values (2, 0, 1, 2, 'В002ВВ')",
    "insert into AVCAR (CAR, DISMISS, SUBDIV, MARK, STNUMBER) values (3, 0, null, null, 'С003СС')",
    "insert into AVDRIVER (DRIVER, DISMISS, SUBDIV, INITIALS, FULLINIT) values "
    "(1, 0, 2, 'Иванов', 'Иванов Иван')",
    "insert into AVDRIVER (DRIVER, DISMISS, SUBDIV, INITIALS, FULLINIT) values "
    "(2, 0, 1, 'Петров', 'Петров Петр')",
    "insert into AVDRIVER (DRIVER, DISMISS, SUBDIV, INITIALS, FULLINIT) values "
    "(3, 0, 0, 'Сидоров', 'Сидоров Сидор')",
    "insert into AVFASTENING (FASTEN, DRIVER, CAR, FIRSTDR) values (1, 2, 2, 0)",
    "insert into AVFASTENING (FASTEN, DRIVER, CAR, FIRSTDR) values (2, 3, 2, 1)",
    "insert into AVTIRE (TIRE, CAR, NAME, SERIAL, DISMISS) values (1, 2, 'Кама-310', 'S1', 0)",
    "insert into AVTIRE (TIRE, CAR, NAME, SERIAL, DISMISS) values (2, 2, 'Кама-310', 'S2', 0)",
    "insert into AVTIRE (TIRE, CAR, NAME, SERIAL, DISMISS) values (3, 1, 'Я-245', 'S3', 0)",
    "insert into AVTIRE (TIRE, CAR, NAME, SERIAL, DISMISS) values (4, 2, 'Я-245', 'S4', 1)",
    "insert into AVAKB (AKB, CAR, NAME, NUMBER, DISMISS) values (1, 2, '6СТ-190', 'N1', 0)",
    "insert into AVOBJ (AVOBJ, NAME) values (1, 'Котельная')",
    "insert into AVOBJ (AVOBJ, NAME) values (11, 'Склад')",
};

class TaskParamsTest : public testsupport::DataModuleFixture {
 protected:
  TaskParamsTest() {
    for (const char* s : kFixture) run(s);
    admin_.usr = 1;
    restricted_.usr = 2;
    restricted_.typ = 1;
    bsp_.WorkDate = QDate(2024, 3, 15);
    bsp_.Dt1 = QDate(2024, 3, 1);
    bsp_.Dt2 = QDate(2024, 3, 31);
  }

  // A constant as another workstation reads it; nullopt when there is no row.
  std::optional<QString> constant(const QString& id) {
    db::Query q(base_.db());
    q.setSql("select CNST from SPCONST where IDCONST=:ID");
    q.param("ID").setString(id);
    q.open();
    std::optional<QString> v;
    if (!q.isEmpty()) v = q.field(0).asString();
    base_.tr().commit();
    return v;
  }
  QList<int> keys(const QList<LookupItem>& items) {
    QList<int> out;
    for (const LookupItem& i : items) out << i.key;
    return out;
  }
  QList<int> listKeys(F f, const TUser& u) {
    db::Query q(base_.db());
    q.setSql(taskListSql(f, u));
    q.open();
    const FieldSpec spec = taskLookupSpec(f, u);
    const QList<int> out = keys(lookup::items(q, spec.lookupKeyField, spec.lookupNameField));
    base_.tr().commit();
    return out;
  }
  QList<int> searchKeys(F f, const TUser& u) {
    const FieldSpec spec = taskLookupSpec(f, u);
    db::Query q(base_.db());
    q.setSql(lookup::searchSql(spec.lookupTable, spec.lookupKeyField, spec.lookupNameField,
                               spec.lookupCondition));
    for (const QString& name : q.paramNames()) q.param(name).setString("%");
    q.open();
    const QList<int> out = keys(lookup::items(q, spec.lookupKeyField, spec.lookupNameField));
    base_.tr().commit();
    return out;
  }

  TUser admin_;
  TUser restricted_;
};

TEST_F(TaskParamsTest, ListsAndSearchesFollowTheRightsRule) {
  TUser noRights;
  noRights.usr = 3;
  noRights.typ = 1;
  const struct {
    const char* who;
    TUser user;
    QList<int> subdivs, cars, drivers;
  } cases[] = {
      // The first item of every list is "Hет данных" (key 0). Vehicle 3 has no mark.
      {"administrator", admin_, {0, 1, 2}, {0, 1, 2, 3}, {0, 1, 2, 3}},
      {"restricted with rights", restricted_, {0, 1}, {0, 2, 3}, {0, 2, 3}},
      {"restricted without rights", noRights, {0}, {0, 3}, {0, 3}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(listKeys(F::Subdivision, c.user), c.subdivs) << c.who;
    EXPECT_EQ(listKeys(F::Car, c.user), c.cars) << c.who;
    EXPECT_EQ(listKeys(F::Driver, c.user), c.drivers) << c.who;
    // Typing a name finds no more than the list shows.
    EXPECT_EQ(searchKeys(F::Subdivision, c.user), c.subdivs) << c.who;
    EXPECT_EQ(searchKeys(F::Car, c.user), c.cars) << c.who;
    EXPECT_EQ(searchKeys(F::Driver, c.user), c.drivers) << c.who;
  }
}

TEST_F(TaskParamsTest, AChoiceGoesToTheSettingsAndItsConstant) {
  TaskParams p(dm_.DB, dm_.IBTransaction, bsp_, admin_, "1111111111111");
  run("delete from SPCONST where IDCONST='AVTOBJ'");  // an older database without the row
  const struct {
    F field;
    int key;
    const char* constant;
    int TBsp::*member;
  } cases[] = {
      {F::Subdivision, 2, "AVTSUBDIV", &TBsp::Subdiv}, {F::Client, 7, "AVTCLIENT", &TBsp::Client},
      {F::VehicleType, 4, "AVTAVK", &TBsp::Avk},       {F::Fuel, 5, "AVTFUEL", &TBsp::Fuel},
      {F::FillKind, 8, "AVTGSMT", &TBsp::GsmT},        {F::Object, 11, "AVTOBJ", &TBsp::Obj},
      {F::Driver, 1, "AVTDRIVER", &TBsp::Driver},      {F::Tire, 3, "AVTTIRE", &TBsp::Tire},
      {F::Battery, 1, "AVTAKB", &TBsp::Akb},
  };
  for (const auto& c : cases) {
    const TaskParams::Change change = p.choose(c.field, c.key);
    EXPECT_TRUE(change.changed) << c.constant;
    EXPECT_TRUE(change.error.isEmpty()) << c.constant;
    EXPECT_EQ(bsp_.*c.member, c.key) << c.constant;
    EXPECT_EQ(constant(c.constant), QString::number(c.key)) << c.constant;
  }
  // The same key again changes nothing; a tire or battery of key 0 is no choice.
  EXPECT_FALSE(p.choose(F::Client, 7).changed);
  EXPECT_FALSE(p.choose(F::Tire, 0).changed);
  EXPECT_EQ(bsp_.Tire, 3);
  // An object of key 0 is one.
  EXPECT_TRUE(p.choose(F::Object, 0).changed);
  EXPECT_EQ(constant("AVTOBJ"), "0");
  EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(TaskParamsTest, TheVehicleBringsItsFirstDriverAndDropsTireAndBattery) {
  TaskParams p(dm_.DB, dm_.IBTransaction, bsp_, admin_, "0000100000000");
  const struct {
    int car;
    int driver;
  } cases[] = {{2, 3}, {1, 0}, {3, 0}, {2, 3}};
  for (const auto& c : cases) {
    bsp_.Tire = 9;
    bsp_.Akb = 8;
    const TaskParams::Change change = p.choose(F::Car, c.car);
    EXPECT_TRUE(change.vehicleChanged) << c.car;
    EXPECT_TRUE(change.error.isEmpty()) << c.car;
    EXPECT_EQ(bsp_.Car, c.car);
    EXPECT_EQ(bsp_.Driver, c.driver) << c.car;
    EXPECT_EQ(bsp_.Tire, 0) << c.car;
    EXPECT_EQ(bsp_.Akb, 0) << c.car;
    EXPECT_EQ(constant("AVTCAR"), QString::number(c.car));
    EXPECT_EQ(constant("AVTDRIVER"), QString::number(c.driver)) << c.car;
  }
  EXPECT_EQ(p.markName(2), "КАМАЗ-5511");
  EXPECT_EQ(p.markName(3), "");
}

TEST_F(TaskParamsTest, FieldsSwitchedOffCannotBeChanged) {
  TaskParams p(dm_.DB, dm_.IBTransaction, bsp_, admin_, "0000100000000");
  bsp_.Driver = 1;
  bsp_.Subdiv = 1;
  for (F f : {F::Driver, F::Subdivision, F::Tire, F::Object})
    EXPECT_FALSE(p.choose(f, 2).changed) << int(f);
  EXPECT_FALSE(p.setDate(F::WorkDate, QDate(2000, 1, 1)));
  EXPECT_EQ(bsp_.Driver, 1);
  EXPECT_EQ(bsp_.Subdiv, 1);
  EXPECT_EQ(bsp_.WorkDate, QDate(2024, 3, 15));
  EXPECT_EQ(constant("AVTDRIVER"), "0");
  EXPECT_EQ(constant("AVTSUBDIV"), "0");

  // Picker buttons: on with their field, none for the object, and a restricted user's tire and
  // battery buttons are off.
  const QString vehicleOnly = "0000100000000";
  const QString all = "1111111111111";
  const struct {
    F field;
    const QString& mask;
    const TUser& user;
    bool enabled;
  } buttons[] = {
      {F::Car, vehicleOnly, admin_, true},   {F::Driver, vehicleOnly, admin_, false},
      {F::Driver, all, admin_, true},        {F::Tire, all, admin_, true},
      {F::Battery, all, admin_, true},       {F::Tire, all, restricted_, false},
      {F::Battery, all, restricted_, false}, {F::Fuel, all, restricted_, true},
      {F::Object, all, admin_, false},       {F::WorkDate, all, admin_, false},
  };
  for (const auto& b : buttons) {
    const TaskParams q(dm_.DB, dm_.IBTransaction, bsp_, b.user, b.mask);
    EXPECT_EQ(q.pickerButtonEnabled(b.field), b.enabled) << int(b.field);
  }
}

TEST_F(TaskParamsTest, TireBatteryAndObjectLists) {
  TaskParams p(dm_.DB, dm_.IBTransaction, bsp_, admin_, "1111111111111");
  auto texts = [](const QList<LookupItem>& items) {
    QStringList out;
    for (const LookupItem& i : items) out << QString("%1:%2").arg(i.key).arg(i.name);
    return out;
  };
  EXPECT_EQ(texts(p.vehicleItems(F::Tire, 2, 0)), QStringList({"1:Кама-310 S1", "2:Кама-310 S2"}));
  // A tire chosen from the journal, of another vehicle, is shown after the vehicle's own.
  EXPECT_EQ(texts(p.vehicleItems(F::Tire, 2, 3)),
            QStringList({"1:Кама-310 S1", "2:Кама-310 S2", "3:Я-245 S3"}));
  EXPECT_EQ(texts(p.vehicleItems(F::Battery, 2, 0)), QStringList({"1:6СТ-190 N1"}));
  EXPECT_TRUE(p.vehicleItems(F::Battery, 1, 0).isEmpty());
  QStringList lines = p.objectLines();
  lines.sort();
  EXPECT_EQ(lines, QStringList({"1  Котельная", "11  Склад"}));
}

// ------------------------------------------------------------------------------ the window

// What the stand-in pickers were asked, and what they answer.
struct PickerStandIn {
  QStringList asked;  // "name/rights"
  QHash<QString, int> answers;
  TfmTools::Picker function() {
    return [this](const QString& name, int rights) {
      asked << QString("%1/%2").arg(name).arg(rights);
      return answers.value(name, -1);
    };
  }
};

TEST_F(TaskParamsTest, OnlyTheVehicleIsOfferedAndItsChoiceIsWrittenThrough) {
  PickerStandIn pickers;
  pickers.answers = {{"PickVehicle", 2}, {"PickDriver", 1}, {"PickSubdivision", 1}};
  bsp_.Car = 1;
  bsp_.Driver = 1;
  bool checked = false;
  onNextModal([&](QWidget* modal) {
    auto* w = qobject_cast<TfmTools*>(modal);
    ASSERT_NE(w, nullptr);
    w->setPicker(pickers.function());
    EXPECT_TRUE(w->windowTitle().startsWith("Настройка параметров задач   "));
    for (F f : allTaskFields()) {
      const bool on = f == F::Car;
      EXPECT_EQ(w->fieldWidget(f)->isEnabled(), on) << int(f);
      EXPECT_EQ(w->captionLabel(f)->isEnabled(), on) << int(f);
      if (QToolButton* b = w->pickerButton(f)) {
        EXPECT_EQ(b->isEnabled(), on) << int(f);
      }
      if (isDateField(f)) {
        // Covered by a blank field that cannot be typed into.
        EXPECT_TRUE(w->dateCover(f)->isVisible()) << int(f);
        EXPECT_FALSE(w->dateCover(f)->isEnabled());
        EXPECT_TRUE(w->dateCover(f)->text().isEmpty());
        EXPECT_FALSE(w->fieldWidget(f)->isVisible());
      }
    }
    // The driver and the vehicle are shown though the driver is off; the others are blank.
    EXPECT_EQ(w->comboBox(F::Driver)->currentText(), "Иванов Иван");
    EXPECT_EQ(w->comboBox(F::Car)->currentText(), "А001АА");
    EXPECT_EQ(w->markLabel()->text(), "ГАЗ-3307");
    EXPECT_EQ(w->comboBox(F::Subdivision)->count(), 0);

    // The picker keys of fields that are off do nothing.
    for (F f : {F::Driver, F::Subdivision, F::Tire, F::Object}) {
      QTest::keyClick(w->comboBox(f), Qt::Key_Space, Qt::AltModifier);
      w->pickField(f);
    }
    EXPECT_TRUE(pickers.asked.isEmpty());
    EXPECT_EQ(bsp_.Driver, 1);
    EXPECT_EQ(bsp_.Subdiv, 0);

    // Alt+Space in the vehicle box: the vehicle with its first driver.
    QTest::keyClick(w->comboBox(F::Car), Qt::Key_Space, Qt::AltModifier);
    EXPECT_EQ(pickers.asked, QStringList({"PickVehicle/15"}));
    EXPECT_EQ(w->comboBox(F::Car)->currentText(), "В002ВВ");
    EXPECT_EQ(w->comboBox(F::Driver)->currentText(), "Сидоров Сидор");
    EXPECT_EQ(w->markLabel()->text(), "КАМАЗ-5511");
    checked = true;
    w->continueButton()->click();
  });
  EXPECT_TRUE(AskTaskParams(dm_, bsp_, admin_, "0000100000000"));
  EXPECT_TRUE(checked);
  EXPECT_EQ(bsp_.Car, 2);
  EXPECT_EQ(bsp_.Driver, 3);
  EXPECT_EQ(constant("AVTCAR"), "2");
  EXPECT_EQ(constant("AVTDRIVER"), "3");
  EXPECT_EQ(bsp_.WorkDate, QDate(2024, 3, 15));
  EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(TaskParamsTest, NoKeepsWhatWasChosenAndEveryPickerHasItsRights) {
  PickerStandIn pickers;
  pickers.answers = {{"PickFillKind", 3}};
  bsp_.Car = 2;
  bsp_.Obj = 1;
  onNextModal([&](QWidget* modal) {
    auto* w = qobject_cast<TfmTools*>(modal);
    ASSERT_NE(w, nullptr);
    w->setPicker(pickers.function());
    // Object 1 is the line of object 1, not of object 11.
    EXPECT_EQ(w->comboBox(F::Object)->currentText(), "1  Котельная");
    // The vehicle's first tire is shown while none is chosen.
    EXPECT_EQ(w->comboBox(F::Tire)->currentText(), "Кама-310 S1");
    for (F f : allTaskFields())
      if (!isDateField(f)) w->pickField(f);
    EXPECT_EQ(pickers.asked,
              QStringList({"PickDriver/15", "PickVehicle/15", "PickVehicleType/15",
                           "PickSubdivision/15", "PickClient/15", "PickTire/15", "PickBattery/15",
                           "PickFuel/15", "PickFillKind/1", "PickObject/1"}));
    EXPECT_EQ(w->comboBox(F::FillKind)->currentText(), "склад 2");
    // The button of a box opens the same picker, with the same rights, and nothing else.
    w->pickerButton(F::FillKind)->click();
    EXPECT_EQ(pickers.asked.size(), 11);
    EXPECT_EQ(pickers.asked.last(), "PickFillKind/1");
    // Enter in a date moves on; it does not close the window.
    QTest::keyClick(w->fieldWidget(F::WorkDate), Qt::Key_Return);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->fieldWidget(F::PeriodFrom)->isVisible());
    EXPECT_FALSE(w->dateCover(F::PeriodFrom)->isVisible());
    qobject_cast<QDateEdit*>(w->fieldWidget(F::PeriodFrom))->setDate(QDate(2024, 2, 1));
    w->noButton()->click();
  });
  EXPECT_FALSE(AskTaskParams(dm_, bsp_, admin_, "1111111111111"));
  // "Нет" undoes nothing: the fill kind and the period stay; the tire shown was not confirmed.
  EXPECT_EQ(bsp_.GsmT, 3);
  EXPECT_EQ(constant("AVTGSMT"), "3");
  EXPECT_EQ(bsp_.Dt1, QDate(2024, 2, 1));
  EXPECT_EQ(bsp_.Tire, 0);

  onNextModal([&](QWidget* modal) { qobject_cast<TfmTools*>(modal)->continueButton()->click(); });
  EXPECT_TRUE(AskTaskParams(dm_, bsp_, admin_, "1111111111111"));
  // What the tire and battery boxes showed is confirmed.
  EXPECT_EQ(bsp_.Tire, 1);
  EXPECT_EQ(bsp_.Akb, 1);
  EXPECT_EQ(constant("AVTTIRE"), "1");
  EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(TaskParamsTest, ARestrictedUserPicksTiresOnlyByKey) {
  PickerStandIn pickers;
  pickers.answers = {{"PickTire", 3}};
  bsp_.Car = 2;
  onNextModal([&](QWidget* modal) {
    auto* w = qobject_cast<TfmTools*>(modal);
    w->setPicker(pickers.function());
    EXPECT_TRUE(w->comboBox(F::Tire)->isEnabled());
    EXPECT_FALSE(w->pickerButton(F::Tire)->isEnabled());
    EXPECT_FALSE(w->pickerButton(F::Battery)->isEnabled());
    EXPECT_TRUE(w->pickerButton(F::Car)->isEnabled());
    // Only the subdivision the user may see, after "Hет данных".
    EXPECT_EQ(w->comboBox(F::Subdivision)->count(), 2);
    QTest::keyClick(w->comboBox(F::Tire), Qt::Key_Space, Qt::AltModifier);
    EXPECT_EQ(w->comboBox(F::Tire)->currentText(), "Я-245 S3");
    w->continueButton()->click();
  });
  EXPECT_TRUE(AskTaskParams(dm_, bsp_, restricted_, "1111111111111"));
  EXPECT_EQ(pickers.asked, QStringList({"PickTire/15"}));
  EXPECT_EQ(bsp_.Tire, 3);
  EXPECT_EQ(constant("AVTTIRE"), "3");
}

}  // namespace
