#include "app/bsp.h"
#include "app/commands.h"
#include "app/datamodule.h"
#include "app/user.h"
#include "framework/editwindow.h"
#include "framework/fieldbinding.h"
#include "framework/listwindow.h"
#include "framework/pickers.h"
#include "framework/querymodel.h"
#include "platform/database.h"
#include "platform/query.h"
#include "refs/prices.h"
#include "refs/registration.h"
#include "refs/vehicledrivers.h"
#include "refs/vehiclelists.h"
#include "refs/vehiclerules.h"
#include "refs/vehicles.h"
#include "support/frameworkfixture.h"
#include "support/modal.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::closeEditor;
using testsupport::onNextModal;
using testsupport::whileShown;
using vehiclerules::DriverPair;
using vehiclerules::PairRefusal;

namespace {

class VehicleTest : public testsupport::FrameworkFixture {
 protected:
  // Two marks, two subdivisions, three drivers; vehicles 1 (Гараж) and 2 (Карьер).
  void sampleData() {
    sql("insert into AVMARK (MARK, NAME) values (1, 'ГАЗ-3307')");
    sql("insert into AVMARK (MARK, NAME) values (2, 'КАМАЗ-5511')");
    sql("insert into AVSUBDIV (SUBDIV, DISMISS, NAME) values (1, 0, 'Гараж')");
    sql("insert into AVSUBDIV (SUBDIV, DISMISS, NAME) values (2, 0, 'Карьер')");
    sql("insert into AVDRIVER (DRIVER, DISMISS, SUBDIV, INITIALS, FULLINIT) values "
        "(1, 0, 1, 'Иванов И.И.', 'Иванов Иван Иванович')");
    sql("insert into AVDRIVER (DRIVER, DISMISS, SUBDIV, INITIALS, FULLINIT) values "
        "(2, 0, 1, 'Петров П.П.', 'Петров Петр Петрович')");
    sql("insert into AVDRIVER (DRIVER, DISMISS, SUBDIV, INITIALS, FULLINIT) values "
        "(3, 0, 2, 'Сидоров С.С.', 'Сидоров Сидор Сидорович')");
    sql("insert into AVCAR (CAR, DISMISS, STNUMBER, MARK, SUBDIV) values (1, 0, 'А111АА', 1, 1)");
    sql("insert into AVCAR (CAR, DISMISS, STNUMBER, MARK, SUBDIV) values (2, 0, 'В222ВВ', 2, 2)");
    sql("set generator GEN_AVCAR to 2");
    base_.tr().commit();
  }
};

// Chooses a key in a lookup box as the person does.
void choose(QWidget* editor, const QString& field, int key) {
  auto* box = editor->findChild<LookupBox*>(QStringLiteral("dbe") + field);
  ASSERT_NE(box, nullptr) << field.toStdString();
  int at = -1;
  for (int i = 0; i < box->items().size(); ++i)
    if (box->items()[i].key == key) at = i;
  ASSERT_GE(at, 0) << field.toStdString() << " " << key;
  box->combo()->setCurrentIndex(at);
  emit box->combo()->activated(at);
}

TEST(VehicleDriverRule, RefusesMissingSecondFirstAndRepeatedDrivers) {
  // The vehicle has driver 1 as its first driver (pair 10) and driver 2 as another (pair 11).
  const QList<DriverPair> pairs = {{10, 1, true}, {11, 2, false}};
  struct Case {
    const char* what;
    DriverPair pair;
    PairRefusal expected;
  };
  const Case cases[] = {
      {"no driver", {0, 0, false}, PairRefusal::NoDriver},
      {"no driver, as first", {0, 0, true}, PairRefusal::NoDriver},
      {"a second first driver", {0, 3, true}, PairRefusal::SecondFirstDriver},
      {"another pair made first", {11, 2, true}, PairRefusal::SecondFirstDriver},
      {"a repeated driver", {0, 2, false}, PairRefusal::RepeatedDriver},
      {"a pair changed to a driver already attached", {11, 1, false}, PairRefusal::RepeatedDriver},
      {"a new other driver", {0, 3, false}, PairRefusal::None},
      {"the first pair saved again as first", {10, 1, true}, PairRefusal::None},
      {"the other pair given a new driver", {11, 3, false}, PairRefusal::None},
  };
  for (const Case& c : cases)
    EXPECT_EQ(vehiclerules::checkDriverPair(c.pair, pairs), c.expected) << c.what;
  EXPECT_EQ(vehiclerules::checkDriverPair({0, 1, true}, {}), PairRefusal::None);
}

TEST_F(VehicleTest, DriverPairEditorRefusesAndWritesThePairOfTheChosenVehicle) {
  sampleData();
  sql("insert into AVFASTENING (FASTEN, DRIVER, CAR, FIRSTDR) values (1, 1, 1, 1)");
  sql("set generator GEN_AVFASTENING to 1");
  base_.tr().commit();
  ListSpec list = vehiclebooks::vehicleDrivers(1);
  list.Rights = 15;
  struct Case {
    int driver;
    bool first;
    bool saved;
  };
  for (const Case c : {Case{2, true, false}, Case{1, false, false}, Case{2, false, true}}) {
    messages_.messages.clear();
    TfmEdAcarf ed(ctx_, 1);
    whileShown(
        ed, [&] { return ed.Execute(list, 0); },
        [&] {
          choose(&ed, "DRIVER", c.driver);
          ed.firstDriverBox()->click();
          if (!c.first) ed.firstDriverBox()->click();
          EXPECT_EQ(ed.Save(), c.saved) << c.driver;
          closeEditor(&ed);
        });
    if (c.saved) {
      EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
    } else {
      ASSERT_EQ(messages_.texts(), QStringList{"Ошибка добавления/корректировки записи."});
      EXPECT_EQ(messages_.messages[0].kind, msg::Kind::Plain);
    }
  }
  base_.tr().commit();
  EXPECT_EQ(count("select count(*) from AVFASTENING"), 2);
  EXPECT_EQ(count("select count(*) from AVFASTENING where CAR=1 and DRIVER=2 and FIRSTDR=0"), 1);
}

TEST_F(VehicleTest, NewVehicleWithOnlyItsNumberGetsZerosAndTheTriggersRows) {
  sampleData();
  ListSpec list = vehiclebooks::vehicles(nullptr);
  list.Rights = 15;
  TfmEdAcar ed(ctx_);
  int key = 0;
  whileShown(
      ed, [&] { return ed.Execute(list, 0); },
      [&] {
        EXPECT_EQ(ed.windowTitle(), "Автомобили. Ввод новой записи.");
        ed.nameEdit()->setText("С333СС");
        EXPECT_TRUE(ed.Save()) << messages_.texts().join("|").toStdString();
        key = ed.savedKey().toInt();
        closeEditor(&ed);
      });
  base_.tr().commit();
  ASSERT_EQ(key, 3);
  db::Query car(base_.db(), &base_.tr());
  car.setSql("select * from AVCAR where CAR = 3");
  car.open();
  ASSERT_FALSE(car.isEmpty());
  EXPECT_EQ(car["STNUMBER"].asString(), "С333СС");
  for (const char* field : {"SUBDIV", "CLIENT", "ROUTE",   "FUEL",   "CODFC",   "TRAILER", "KIND",
                            "MARK",   "HBREAK", "MBREAK",  "HIN",    "MINUTIN", "HOUT",    "MOUT",
                            "KMNORM", "HNORM",  "KMLIMIT", "HLIMIT", "STKM",    "STHOURS", "ZDNKOD",
                            "POWR",   "TWO",    "TMOTO",   "WEIGHT", "TONNAGE", "DISMISS"}) {
    EXPECT_FALSE(car[field].isNull()) << field;
    EXPECT_EQ(car[field].asDouble(), 0.0) << field;
  }
  for (const char* field : {"VIN", "MODELTC", "TYPETC", "CATEGORY"}) {
    EXPECT_FALSE(car[field].isNull()) << field;
    EXPECT_EQ(car[field].asString(), "") << field;
  }
  EXPECT_EQ(car["INVENT"].asString(), "-");
  car.close();
  // The trigger: the price row, the base norm row and a neutral row per coefficient ("Зима").
  EXPECT_EQ(count("select count(*) from AVPRICE where CAR = 3"), 1);
  EXPECT_EQ(count("select count(*) from AVNORMFUEL where CAR = 3 and KFN = 0"), 1);
  EXPECT_EQ(count("select count(*) from AVNORMFUEL where CAR = 3 and KFN = 1 and KF = 0"), 1);
}

TEST_F(VehicleTest, AVehicleIsNotItsOwnTrailer) {
  sampleData();
  ListSpec list = vehiclebooks::vehicles(nullptr);
  list.Rights = 15;
  struct Case {
    int trailer;
    bool saved;
    QString mark;
  };
  for (const Case& c : {Case{1, false, "ГАЗ-3307"}, Case{2, true, "КАМАЗ-5511"}}) {
    messages_.messages.clear();
    TfmEdAcar ed(ctx_);
    whileShown(
        ed, [&] { return ed.Execute(list, 1); },
        [&] {
          choose(&ed, "TRAILER", c.trailer);
          EXPECT_EQ(ed.trailerMarkText(), c.mark);
          EXPECT_EQ(ed.Save(), c.saved);
          closeEditor(&ed);
        });
    base_.tr().commit();
    if (c.saved) {
      EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
    } else {
      EXPECT_EQ(messages_.texts(), QStringList{vehiclerules::kOwnTrailer});
    }
    EXPECT_EQ(scalar("select TRAILER from AVCAR where CAR = 1").toInt(), c.saved ? c.trailer : 0);
  }
}

TEST_F(VehicleTest, VehicleListShowsTheCurrentRowAndDeleteTakesTheVehicleOut) {
  sampleData();
  sql("insert into AVFASTENING (FASTEN, DRIVER, CAR, FIRSTDR) values (1, 1, 1, 1)");
  sql("insert into AVFASTENING (FASTEN, DRIVER, CAR, FIRSTDR) values (2, 2, 1, 0)");
  base_.tr().commit();
  TfmLsAcar w(ctx_, nullptr);
  whileShown(
      w, [&] { return w.Execute(1, 15, false); },
      [&] {
        EXPECT_EQ(w.windowTitle(), "Автомобили.");
        EXPECT_EQ(w.grid()->queryModel()->rowCount(), 2);
        EXPECT_EQ(w.subdivisionText(), "Гараж");
        EXPECT_EQ(w.firstDriverText(), "Иванов Иван Иванович");
        EXPECT_EQ(w.otherDriverText(), "Петров Петр Петрович");
        EXPECT_EQ(w.grid()->queryModel()->text(0, 1), "ГАЗ-3307");
        messages_.answers = {msg::Yes};
        w.DelActionExecute();
        EXPECT_EQ(w.grid()->queryModel()->rowCount(), 1);
        EXPECT_EQ(w.currentKey(), 2);
        EXPECT_EQ(w.subdivisionText(), "Карьер");
        EXPECT_EQ(w.firstDriverText(), "");
      });
  EXPECT_EQ(count("select DISMISS from AVCAR where CAR = 1"), 1);
  EXPECT_EQ(count("select count(*) from AVPRICE where CAR = 1"), 1);
}

TEST_F(VehicleTest, RestrictedUserSeesTheVehiclesOfHisSubdivisions) {
  sampleData();
  sql("insert into RIGHTS (USR, SUBDIV) values (2, 2)");
  base_.tr().commit();
  TUser administrator;
  administrator.usr = 1;
  TUser restricted;
  restricted.usr = 2;
  restricted.typ = 1;
  struct Case {
    const TUser* user;
    QStringList numbers;
  };
  for (const Case& c :
       {Case{nullptr, {"А111АА", "В222ВВ"}}, Case{&administrator, {"А111АА", "В222ВВ"}},
        Case{&restricted, {"В222ВВ"}}}) {
    TfmLsAcar w(ctx_, c.user);
    whileShown(
        w, [&] { return w.Execute(0, 1, false); },
        [&] {
          QStringList shown;
          QueryModel* m = w.grid()->queryModel();
          for (int r = 0; r < m->rowCount(); ++r) shown << m->text(r, 0);
          EXPECT_EQ(shown, c.numbers);
        });
  }
}

TEST_F(VehicleTest, PriceListEditsOnlyPricesAndNeverAddsOrDeletes) {
  sampleData();
  registerVehicleBooks();
  int rows = -1;
  onNextModal([&](QWidget* modal) {
    auto* w = qobject_cast<TfmAbstrLsRef*>(modal);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Расценки на работу автотранспорта.");
    rows = w->grid()->queryModel()->rowCount();
    EXPECT_FALSE(w->addAction_->isEnabled());
    EXPECT_FALSE(w->delAction_->isEnabled());
    EXPECT_TRUE(w->editAction_->isEnabled());
    w->DelActionExecute();  // with the right to delete it would take the vehicle itself
    onNextModal([&](QWidget* editor) {
      auto* ed = static_cast<TfmEdAcarp*>(editor);
      EXPECT_EQ(ed->vehicleText(), "А111АА ГАЗ-3307");
      static_cast<QLineEdit*>(ed->fieldWidget("HOURS"))->setText("250,5");
      EXPECT_TRUE(ed->Save()) << messages_.texts().join("|").toStdString();
      closeEditor(ed);
    });
    w->EditActionExecute();
    EXPECT_EQ(w->grid()->queryModel()->text(0, 2), "250,50");
    EXPECT_EQ(w->grid()->queryModel()->text(0, 3), "0,00");  // empty prices are stored as 0
    w->reject();
  });
  EXPECT_EQ(PickPrice(ctx_, 0, 15, false), -1);
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(messages_.texts(), QStringList({"Нет доступа к выполнению операции."}));
  EXPECT_EQ(count("select count(*) from AVCAR"), 2);
  EXPECT_EQ(count("select count(*) from AVPRICE"), 2);
  EXPECT_EQ(scalar("select HOURS from AVPRICE where CAR = 1").toDouble(), 250.5);
  EXPECT_EQ(scalar("select STNUMBER from AVCAR where CAR = 1").toString().trimmed(), "А111АА");
}

TEST_F(VehicleTest, VehicleDriverListOpensOnTheChosenVehicle) {
  sampleData();
  sql("insert into AVFASTENING (FASTEN, DRIVER, CAR, FIRSTDR) values (1, 1, 1, 1)");
  sql("insert into AVFASTENING (FASTEN, DRIVER, CAR, FIRSTDR) values (2, 2, 1, 0)");
  sql("insert into AVFASTENING (FASTEN, DRIVER, CAR, FIRSTDR) values (3, 3, 2, 1)");
  base_.tr().commit();
  TfmLsAcarf w(ctx_, 1);
  whileShown(
      w, [&] { return w.Execute(0, 15, false); },
      [&] {
        EXPECT_EQ(w.windowTitle(), "Машина-Водитель.");
        EXPECT_EQ(w.vehicleText(), "А111АА ГАЗ-3307");
        QueryModel* m = w.grid()->queryModel();
        ASSERT_EQ(m->rowCount(), 2);
        EXPECT_EQ(m->text(0, 0), "Иванов Иван Иванович");
        auto* marks = qobject_cast<QStyledItemDelegate*>(w.grid()->itemDelegateForColumn(1));
        ASSERT_NE(marks, nullptr);
        auto shown = [&](int row) {
          return marks->displayText(w.grid()->model()->index(row, 1).data(), QLocale());
        };
        EXPECT_EQ(shown(0), QString(QChar(0x2713)));
        EXPECT_EQ(shown(1), "");
      });
}

TEST_F(VehicleTest, MenuItemsOpenTheListsOfTheChosenVehicleAndUser) {
  sampleData();
  sql("insert into RIGHTS (USR, SUBDIV) values (2, 2)");
  sql("insert into AVFASTENING (FASTEN, DRIVER, CAR, FIRSTDR) values (1, 3, 2, 1)");
  sql("insert into AVDOPNORM (DNORM, CAR, LIT, N) values (1, 2, 1.5, 'Отопитель')");
  sql("insert into AVDOPNORM (DNORM, CAR, LIT, N) values (2, 1, 2, 'Насос')");
  sql("insert into AVWINTIRE (WINTIRE, CAR, TIMEFROM) values (1, 2, '2024-11-01')");
  base_.tr().commit();
  registerVehicleBooks();
  // The menu asks for the vehicle first; here it is chosen already.
  commands::ScopedTarget ask(commands::targets::kAskTaskParams,
                             [](const commands::CommandContext&) { return true; });
  TBsp bsp;
  bsp.Car = 2;
  TDM dm(dir_.filePath("dm.ini"), bsp);
  const testsupport::Target server = testsupport::target();
  dm.DB.setDatabaseName(base_.path());
  dm.DB.setLogin(server.user, server.password);
  dm.DB.connect();
  TUser administrator;
  administrator.usr = 1;
  TUser restricted;
  restricted.usr = 2;
  restricted.typ = 1;
  struct Case {
    const char* target;
    const TUser* user;
    QString caption;
    QString firstRow;
    int rows;
  };
  const Case cases[] = {
      {"PickVehicleDriver", &administrator, "Машина-Водитель.", "Сидоров Сидор Сидорович", 1},
      {"PickAdditionalNorm", &administrator,
       "Дополнительные нормы расхода ГСМ для КАМАЗ-5511 В222ВВ", "Отопитель", 1},
      {"PickWinterPeriod", &administrator, "Работа зимних шин", "01.11.2024", 1},
      {"PickVehicle", &administrator, "Автомобили.", "А111АА", 2},
      {"PickVehicle", &restricted, "Автомобили.", "В222ВВ", 1},
  };
  for (const Case& c : cases) {
    const commands::CommandDef* item = nullptr;
    for (const commands::CommandDef& d : commands::commandTable())
      if (d.target == QLatin1String(c.target)) item = &d;
    ASSERT_NE(item, nullptr) << c.target;
    int rows = -1;
    onNextModal([&](QWidget* modal) {
      auto* w = qobject_cast<TfmAbstrLsRef*>(modal);
      ASSERT_NE(w, nullptr) << c.target;
      EXPECT_EQ(w->windowTitle(), c.caption);
      rows = w->grid()->queryModel()->rowCount();
      EXPECT_EQ(w->grid()->queryModel()->text(0, 0), c.firstRow) << c.target;
      w->reject();
    });
    EXPECT_EQ(commands::runCommand(*item, dm, bsp, *c.user, nullptr), commands::Outcome::Done)
        << c.target;
    EXPECT_EQ(rows, c.rows) << c.target;
  }
  EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
}

}  // namespace
