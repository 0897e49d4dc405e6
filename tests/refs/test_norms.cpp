#include "framework/editablegrid.h"
#include "framework/editwindow.h"
#include "framework/listwindow.h"
#include "framework/pickers.h"
#include "framework/querymodel.h"
#include "platform/database.h"
#include "platform/query.h"
#include "refs/normrules.h"
#include "refs/norms.h"
#include "refs/registration.h"
#include "refs/vehiclelists.h"
#include "refs/vehicleperiods.h"
#include "support/frameworkfixture.h"
#include "support/modal.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::closeEditor;
using testsupport::onNextModal;
using testsupport::whileShown;

namespace {

Decimal4 dec(const char* text) {
  return *Decimal4::parse(QString::fromLatin1(text));
}

class NormTest : public testsupport::FrameworkFixture {
 protected:
  // Vehicles 1 and 2; vehicle 1 has the base norm 10 and the winter coefficient (KFN 1) 1.1.
  void sampleData() {
    sql("insert into AVMARK (MARK, NAME) values (1, 'ГАЗ-3307')");
    sql("insert into AVMARK (MARK, NAME) values (2, 'КАМАЗ-5511')");
    sql("insert into AVSUBDIV (SUBDIV, DISMISS, NAME) values (1, 0, 'Гараж')");
    sql("insert into AVCAR (CAR, DISMISS, STNUMBER, MARK, SUBDIV) values (1, 0, 'А111АА', 1, 1)");
    sql("insert into AVCAR (CAR, DISMISS, STNUMBER, MARK, SUBDIV) values (2, 0, 'В222ВВ', 2, 1)");
    sql("update AVNORMFUEL set SUM100 = 10 where CAR = 1");
    sql("update AVNORMFUEL set KF = 0.1, NORMA = 11 where CAR = 1 and KFN = 1");
    base_.tr().commit();
  }
};

void answerSearch(const QString& text) {
  onNextModal([text](QWidget* dialog) {
    dialog->findChild<QLineEdit*>()->setText(text);
    static_cast<QDialog*>(dialog)->accept();
  });
}

TEST(NormRules, CoefficientNormRoundsAsTheSharedRoutine) {
  struct Case {
    const char* base;
    const char* multiplier;
    int decPl;
    const char* norm;
  };
  const Case cases[] = {
      {"12", "1.1", 2, "13.2"},
      {"10", "1.15", 2, "11.5"},
      {"12", "1.16", 2, "13.92"},
      {"2.4449", "1", 2, "2.45"},         // the cascade: 2.445, then 2.45
      {"0.0001", "0.4999", 4, "0.0001"},  // five places first: 0.00005, then 0.0001
      {"7.5", "1", 0, "8"},
      {"10", "0", 2, "0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(normrules::coefficientNorm(dec(c.base), dec(c.multiplier), c.decPl), dec(c.norm))
        << c.base << " x " << c.multiplier;
  }
  EXPECT_EQ(normrules::roundedMultiplier(dec("1.155"), 2), dec("1.16"));
  EXPECT_EQ(normrules::roundedMultiplier(dec("1.15"), 2), dec("1.15"));
  EXPECT_EQ(normrules::multiplierOf(dec("0.1")), dec("1.1"));
}

TEST_F(NormTest, BaseNormAndGridRecomputeTheCoefficientNorms) {
  sampleData();
  ListSpec list = vehiclebooks::fuelNorms(ctx_.decPl);
  list.Rights = 5;
  TfmEdAcarn1 ed(ctx_);
  whileShown(
      ed, [&] { return ed.Execute(list, 1); },
      [&] {
        EXPECT_EQ(ed.windowTitle(), "Редактирование норм расхода ГСМ. Редактирование.");
        EXPECT_EQ(ed.vehicleText(), "А111АА ГАЗ-3307");
        EditableModel* m = ed.coefficients();
        ASSERT_EQ(m->rowCount(), 1);
        EXPECT_EQ(m->index(0, 0).data().toString(), "Зима");
        EXPECT_EQ(m->index(0, 1).data().toString(), "1,10");
        EXPECT_EQ(m->index(0, 2).data().toString(), "11,00");

        // The base norm 10 -> 12: the coefficient norm follows, 12 x 1.1.
        static_cast<QLineEdit*>(ed.fieldWidget("SUM100"))->setText("12");
        EXPECT_TRUE(ed.Save()) << messages_.texts().join("|").toStdString();
        EXPECT_EQ(m->index(0, 2).data().toString(), "13,20");

        // A multiplier typed into the grid is rounded to DecPl places and posted with Enter.
        struct Case {
          const char* typed;
          const char* shown;
          double kf;
          const char* norm;
        };
        for (const Case& c :
             {Case{"1,15", "1,15", 0.15, "13,80"}, Case{"1.155", "1,16", 0.16, "13,92"}}) {
          EditableGrid* grid = ed.coefficientGrid();
          grid->setFocus();
          grid->setCurrentIndex(m->index(0, 1));
          ASSERT_TRUE(m->setData(m->index(0, 1), QString::fromLatin1(c.typed)));
          EXPECT_TRUE(m->isChanged(0));
          QTest::keyClick(grid, Qt::Key_Return);
          EXPECT_FALSE(m->isChanged(0)) << c.typed;
          EXPECT_EQ(m->index(0, 1).data().toString(), c.shown);
          EXPECT_EQ(m->index(0, 2).data().toString(), c.norm);
          EXPECT_DOUBLE_EQ(scalar("select KF from AVNORMFUEL where CAR = 1 and KFN = 1").toDouble(),
                           c.kf);
        }
        closeEditor(&ed);
      });
  EXPECT_DOUBLE_EQ(scalar("select NORMA from AVNORMFUEL where CAR = 1 and KFN = 1").toDouble(),
                   13.92);
  EXPECT_DOUBLE_EQ(scalar("select SUM100 from AVNORMFUEL where CAR = 1 and KFN = 1").toDouble(),
                   12.0);
  EXPECT_DOUBLE_EQ(scalar("select SUM100 from AVNORMFUEL where CAR = 1 and KFN = 0").toDouble(),
                   12.0);
  EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
}

TEST_F(NormTest, NewCoefficientReachesEveryVehicleOnce) {
  sampleData();
  ListSpec list = vehiclebooks::normCoefficients();
  list.Rights = 15;
  TfmEdKFNorms ed(ctx_);
  whileShown(
      ed, [&] { return ed.Execute(list, 0); },
      [&] {
        ed.nameEdit()->setText("Город");
        ed.winterBox()->click();
        EXPECT_TRUE(ed.Save());
        // Saved again: nothing more is copied.
        ed.nameEdit()->setText("Город, пробки");
        EXPECT_TRUE(ed.Save());
        closeEditor(&ed);
      });
  base_.tr().commit();
  const int kfn = count("select max(KFN) from AVKFNORMS");
  ASSERT_EQ(kfn, 2);
  EXPECT_EQ(scalar("select N from AVKFNORMS where KFN = 2").toString(), "Город, пробки");
  EXPECT_EQ(count("select ZIMN from AVKFNORMS where KFN = 2"), 1);
  EXPECT_EQ(count("select count(*) from AVNORMFUEL where KFN = 2"), 2);
  EXPECT_EQ(count("select count(*) from AVNORMFUEL where KFN = 2 and KF = 0"), 2);
  EXPECT_DOUBLE_EQ(scalar("select NORMA from AVNORMFUEL where CAR = 1 and KFN = 2").toDouble(),
                   10.0);
  // Copied twice by hand: the second time adds nothing.
  EXPECT_EQ(normrules::copyCoefficientToVehicles(base_.db(), base_.tr(), 2), 0);
  EXPECT_EQ(normrules::copyCoefficientToVehicles(base_.db(), base_.tr(), 7), 2);
  EXPECT_EQ(normrules::copyCoefficientToVehicles(base_.db(), base_.tr(), 7), 0);
}

TEST_F(NormTest, DeletingACoefficientDeletesItsNormRows) {
  sampleData();
  TfmAbstrLsRef w(ctx_, vehiclebooks::normCoefficients());
  whileShown(
      w, [&] { return w.Execute(1, 15, false); },
      [&] {
        EXPECT_EQ(w.currentKey(), 1);
        messages_.answers = {msg::Yes};
        w.DelActionExecute();
        EXPECT_EQ(w.statusText(), "Нет записей");
      });
  EXPECT_EQ(count("select count(*) from AVKFNORMS"), 0);
  EXPECT_EQ(count("select count(*) from AVNORMFUEL where KFN = 1"), 0);
  EXPECT_EQ(count("select count(*) from AVNORMFUEL where KFN = 0"), 2);
}

TEST_F(NormTest, AdditionalNormInUseIsNotDeleted) {
  sampleData();
  sql("insert into AVDOPNORM (DNORM, CAR, LIT, N) values (1, 1, 1.5, 'Отопитель')");
  sql("insert into AVDOPNORM (DNORM, CAR, LIT, N) values (2, 1, 2, 'Насос')");
  sql("insert into AVDOPNORM (DNORM, CAR, LIT, N) values (3, 2, 3, 'Кран')");
  sql("set generator GEN_AVDOPNORM to 3");
  sql("insert into AVRLDOPNORM (ROADLIST, DNORM, HOURS, MINUTES) values (7, 1, 2, 0)");
  base_.tr().commit();
  TfmLsDopNorm w(ctx_, 1);
  whileShown(
      w, [&] { return w.Execute(0, 15, false); },
      [&] {
        EXPECT_EQ(w.windowTitle(), "Дополнительные нормы расхода ГСМ для ГАЗ-3307 А111АА");
        EXPECT_FALSE(w.findAction_->isEnabled());
        EXPECT_FALSE(w.filterAction_->isEnabled());
        QueryModel* m = w.grid()->queryModel();
        ASSERT_EQ(m->rowCount(), 2);
        EXPECT_EQ(m->text(1, 1), "1,5");

        struct Case {
          int key;
          bool deleted;
        };
        for (const Case& c : {Case{1, false}, Case{2, true}}) {
          messages_.messages.clear();
          messages_.answers = {msg::Yes};
          ASSERT_TRUE(w.grid()->locate("DNORM", c.key));
          w.delAction_->trigger();
          if (c.deleted) {
            EXPECT_EQ(messages_.texts(), QStringList{"Действительно удалить запись ?"});
          } else {
            EXPECT_EQ(messages_.texts(), QStringList{normrules::kNormInUse});
            EXPECT_EQ(messages_.messages[0].kind, msg::Kind::Warning);
          }
        }
        EXPECT_EQ(m->rowCount(), 1);

        // A new norm with no rate: 0 litres, on this vehicle.
        onNextModal([&](QWidget* editor) {
          auto* ed = static_cast<TfmAbstrEdRef*>(editor);
          ed->nameEdit()->setText("Лебедка");
          EXPECT_TRUE(ed->Save());
          closeEditor(ed);
        });
        w.AddActionExecute();
        EXPECT_EQ(m->rowCount(), 2);
      });
  EXPECT_EQ(count("select count(*) from AVDOPNORM where DNORM = 1"), 1);
  EXPECT_EQ(count("select count(*) from AVDOPNORM where DNORM = 2"), 0);
  EXPECT_EQ(count("select count(*) from AVDOPNORM where N = 'Лебедка' and CAR = 1 and LIT = 0"), 1);
}

TEST_F(NormTest, WinterTiresWithAnOpenEnd) {
  sampleData();
  sql("insert into AVWINTIRE (WINTIRE, CAR, TIMEFROM, TIMETO) values (1, 1, '2023-11-01', "
      "'2024-03-31')");
  sql("insert into AVWINTIRE (WINTIRE, CAR, TIMEFROM, TIMETO) values (2, 1, '2024-11-01', NULL)");
  sql("insert into AVWINTIRE (WINTIRE, CAR, TIMEFROM, TIMETO) values (3, 2, '2022-11-15', "
      "'2022-12-01')");
  base_.tr().commit();
  struct Case {
    int car;
    QDate date;
    bool winter;
  };
  const Case cases[] = {
      {1, {2023, 10, 31}, false}, {1, {2023, 11, 1}, true},  {1, {2024, 3, 31}, true},
      {1, {2024, 4, 1}, false},   {1, {2024, 11, 1}, true},  {1, {2031, 7, 15}, true},
      {2, {2024, 11, 2}, false},  {2, {2022, 11, 20}, true}, {3, {2024, 11, 2}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(normrules::onWinterTires(base_.db(), base_.tr(), c.car, c.date), c.winter)
        << c.car << " " << c.date.toString("dd.MM.yyyy").toStdString();
  }
  // The same rule on a period already read: an empty end leaves it open, no start covers nothing.
  const QDate open(2024, 11, 1);
  EXPECT_TRUE(normrules::winterPeriodCovers(open, QDate(), {2031, 7, 15}));
  EXPECT_TRUE(normrules::winterPeriodCovers(open, QDate(), open));
  EXPECT_FALSE(normrules::winterPeriodCovers(open, QDate(), {2024, 10, 31}));
  EXPECT_FALSE(normrules::winterPeriodCovers(open, {2025, 3, 31}, {2025, 4, 1}));
  EXPECT_FALSE(normrules::winterPeriodCovers(QDate(), QDate(), {2024, 10, 31}));
}

TEST_F(NormTest, WinterPeriodListFindsAndFiltersByDateWithinTheVehicle) {
  sampleData();
  sql("insert into AVWINTIRE (WINTIRE, CAR, TIMEFROM, TIMETO) values (1, 1, '2023-11-01', "
      "'2024-03-31')");
  sql("insert into AVWINTIRE (WINTIRE, CAR, TIMEFROM, TIMETO) values (2, 1, '2024-11-01', NULL)");
  sql("insert into AVWINTIRE (WINTIRE, CAR, TIMEFROM, TIMETO) values (3, 2, '2024-11-15', NULL)");
  sql("set generator GEN_AVWINTIRE to 3");
  base_.tr().commit();
  TfmLsAWint w(ctx_, 1);
  whileShown(
      w, [&] { return w.Execute(0, 15, false); },
      [&] {
        EXPECT_EQ(w.windowTitle(), "Работа зимних шин");
        EXPECT_EQ(w.vehicleText(), "А111АА ГАЗ-3307");
        QueryModel* m = w.grid()->queryModel();
        ASSERT_EQ(m->rowCount(), 2);
        EXPECT_EQ(m->text(0, 0), "01.11.2023");
        EXPECT_EQ(m->text(0, 1), "31.03.2024");
        EXPECT_EQ(m->text(1, 1), "");

        answerSearch("11.2024");
        w.FilterActionExecute();
        EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
        ASSERT_EQ(w.grid()->queryModel()->rowCount(), 1);  // not the other vehicle's period
        EXPECT_EQ(w.currentKey(), 2);
        w.FilterActionExecute();
        EXPECT_EQ(w.grid()->queryModel()->rowCount(), 2);

        answerSearch("2023");
        w.FindActionExecute();
        EXPECT_EQ(w.currentKey(), 1);
        EXPECT_FALSE(w.findNextAction_->isEnabled());

        // A period without its start is refused; with it, it is the vehicle's.
        onNextModal([&](QWidget* editor) {
          auto* ed = static_cast<TfmAbstrEdRef*>(editor);
          static_cast<QLineEdit*>(ed->fieldWidget("TIMETO"))->setText("01.04.2025");
          EXPECT_FALSE(ed->Save());
          EXPECT_EQ(messages_.texts().value(0), "Необходимо ввести наименование.");
          static_cast<QLineEdit*>(ed->fieldWidget("TIMEFROM"))->setText("01.12.2024");
          EXPECT_TRUE(ed->Save());
          closeEditor(ed);
        });
        w.AddActionExecute();
        EXPECT_EQ(w.grid()->queryModel()->rowCount(), 3);
      });
  EXPECT_EQ(count("select count(*) from AVWINTIRE where CAR = 1 and TIMEFROM = '2024-12-01' and "
                  "TIMETO = '2025-04-01'"),
            1);
}

TEST_F(NormTest, NormListKeepsMarkAndNormWhileFiltered) {
  sampleData();
  TfmAbstrLsRef w(ctx_, vehiclebooks::fuelNorms(2));
  whileShown(
      w, [&] { return w.Execute(0, vehiclebooks::editOnlyRights(15), false); },
      [&] {
        EXPECT_EQ(w.windowTitle(), "Нормы расхода ГСМ.");
        EXPECT_EQ(w.grid()->queryModel()->rowCount(), 2);
        answerSearch("в222");
        w.FilterActionExecute();
        QueryModel* m = w.grid()->queryModel();
        ASSERT_EQ(m->rowCount(), 1);
        EXPECT_EQ(m->text(0, 0), "В222ВВ");
        EXPECT_EQ(m->text(0, 1), "КАМАЗ-5511");
        w.FilterActionExecute();
        answerSearch("а111");
        w.FilterActionExecute();
        EXPECT_EQ(w.grid()->queryModel()->text(0, 2), "10,00");
      });
  EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
}

TEST_F(NormTest, RegisteredPickersOpenTheirLists) {
  sampleData();
  sql("insert into FUELCARD (CODFC, NUM) values (1, '7005 0012')");
  base_.tr().commit();
  registerVehicleBooks();
  struct Case {
    const char* picker;
    const char* caption;
    int rows;
    bool canAdd;
  };
  const Case cases[] = {
      {"PickVehicle", "Автомобили.", 2, true},
      {"PickPrice", "Расценки на работу автотранспорта.", 2, false},
      {"PickFuelNorm", "Нормы расхода ГСМ.", 2, false},
      {"PickNormCoefficient", "Коэффициенты норм расхода ГСМ.", 1, true},
      {"PickFuelCard", "Топливные карты", 1, true},
  };
  for (const Case& c : cases) {
    int rows = -1;
    onNextModal([&](QWidget* modal) {
      auto* w = qobject_cast<TfmAbstrLsRef*>(modal);
      ASSERT_NE(w, nullptr) << c.picker;
      EXPECT_EQ(w->windowTitle(), QString::fromUtf8(c.caption));
      EXPECT_EQ(w->addAction_->isEnabled(), c.canAdd) << c.picker;
      rows = w->grid()->queryModel()->rowCount();
      QTest::keyClick(w->grid(), Qt::Key_Return);  // select mode: the current row
    });
    EXPECT_GT(Pick(QString::fromLatin1(c.picker), ctx_, 0, 15, true), 0) << c.picker;
    EXPECT_EQ(rows, c.rows) << c.picker;
  }
  EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
}

}  // namespace
