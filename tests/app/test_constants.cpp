#include "app/bsp.h"
#include "app/calendar.h"
#include "app/constants.h"
#include "app/datamodule.h"
#include "platform/dberror.h"
#include "platform/query.h"
#include "support/datamodulefixture.h"
#include "support/messagerecorder.h"
#include "support/testdatabase.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::MessageRecorder;
using testsupport::TestDatabase;

namespace {

TEST(Constants, NoRowsGiveTheMissingValues) {
  TBsp b;
  b.DecPl = 7;
  b.Car = 9;
  b.NightFrom = 5;
  const auto problems = loadConstants({}, b);
  EXPECT_TRUE(problems.isEmpty());
  EXPECT_EQ(b.MainChief, "");
  EXPECT_FALSE(b.WinTimeFrom.isValid());
  EXPECT_EQ(b.Car, 0);
  EXPECT_EQ(b.DecPl, 2);
  EXPECT_EQ(b.RoundMode, 5);
  EXPECT_EQ(b.NightFrom, 0);
  EXPECT_EQ(b.NightTo, 0);
  EXPECT_FALSE(b.CreateUch);
}

TEST(Constants, ConversionsAndTheNightRule) {
  const ConstantRows rows = {
      {"MAINCHIEF", QString("Иванов И.И.   ")},
      {"AVTWINTIMEFROM", QString("01.11.2024")},
      {"AVTWINTIMETO", QString("31.03.2025 23:59:00")},
      {"AVTWINEXTCHARGE", QString("7,5")},
      {"AVTCAR", QString(" 12 ")},
      {"CREATEUCH", QString("-1")},
      {"FACTEQNORM", QString("0")},
      {"TAKEONLYTNKM", QString("да")},  // lenient: false when not a number
      {"GSMFROMPL", QString("1")},
      {"NIGHTTIMEFROMH", QString("23")},
      {"NIGHTTIMEFROMM", QString("30")},
      {"NIGHTTIMETOH", QString("x")},  // not a number: 6 hours
      {"NIGHTTIMETOM", std::nullopt},  // null minutes are not added
      {"CLIENT", QString("1")},
      {"DECPL", QString("3")},
      {"avtdriver", QString("5")},  // identifiers are matched exactly
  };
  TBsp b;
  EXPECT_TRUE(loadConstants(rows, b).isEmpty());
  EXPECT_EQ(b.MainChief, "Иванов И.И.");
  EXPECT_EQ(b.WinTimeFrom, QDateTime(QDate(2024, 11, 1), QTime(0, 0)));
  EXPECT_EQ(b.WinTimeTo, QDateTime(QDate(2025, 3, 31), QTime(23, 59)));
  EXPECT_DOUBLE_EQ(b.WinExtCharge, 7.5);
  EXPECT_EQ(b.Car, 12);
  EXPECT_EQ(b.Driver, 0);
  EXPECT_TRUE(b.CreateUch);
  EXPECT_FALSE(b.FactEqNorm);
  EXPECT_FALSE(b.TakeOnlyTnkm);
  EXPECT_TRUE(b.GsmFromPl);
  EXPECT_EQ(b.NightFrom, 1410);
  EXPECT_EQ(b.NightTo, 360);
  EXPECT_EQ(b.ClientMode, 1);
  EXPECT_EQ(b.DecPl, 3);

  const ConstantRows notNumber = {{"NIGHTTIMEFROMH", QString("x")},
                                  {"NIGHTTIMEFROMM", QString("15")}};
  loadConstants(notNumber, b);
  EXPECT_EQ(b.NightFrom, 1320 + 15);
}

TEST(Constants, AWronglyStoredConstantIsReportedAndTakesItsDefault) {
  const ConstantRows rows = {{"AVTSUMTIMEFROM", QString("весна")},
                             {"DECPL", QString("два")},
                             {"AVTCAR", QString("7")},
                             {"AVTDRIVER", QString("")}};  // blank: nothing to convert, no fault
  TBsp b;
  const auto problems = loadConstants(rows, b);
  ASSERT_EQ(problems.size(), 2);
  EXPECT_EQ(problems[0].id, "AVTSUMTIMEFROM");
  EXPECT_EQ(problems[0].found, "весна");
  EXPECT_EQ(problems[1].id, "DECPL");
  EXPECT_EQ(b.DecPl, 2);
  EXPECT_FALSE(b.SumTimeFrom.isValid());
  EXPECT_EQ(b.Car, 7);  // the others are loaded as usual
  const QString text = describeProblems(problems);
  EXPECT_TRUE(text.contains("AVTSUMTIMEFROM") && text.contains("весна") && text.contains("DECPL"));
}

TEST(Calendar, WinterDateBoundsAndNames) {
  TBsp b;
  b.WinTimeFrom = QDateTime(QDate(2024, 11, 1), QTime(0, 0));
  b.WinTimeTo = QDateTime(QDate(2025, 3, 31), QTime(0, 0));
  const std::pair<QDate, bool> cases[] = {
      {QDate(2024, 10, 31), false}, {QDate(2024, 11, 1), true}, {QDate(2025, 1, 15), true},
      {QDate(2025, 3, 31), true},   {QDate(2025, 4, 1), false}, {QDate(2023, 12, 1), false}};
  for (const auto& [d, winter] : cases)
    EXPECT_EQ(IsWinterDate(d, b), winter) << d.toString().toStdString();
  EXPECT_EQ(DayKindName(1), "БУДНИ");
  EXPECT_EQ(DayKindName(2), "СМЕНА");
  EXPECT_EQ(DayKindName(0), "");
  EXPECT_EQ(monthNames().at(0), "Январь");
  EXPECT_EQ(monthNamesGenitive().at(11), "декабря");
  EXPECT_EQ(weekdayNames().at(QDate(2024, 6, 2).dayOfWeek() % 7), "Воскресенье");
}

class DataModuleConstants : public testsupport::DataModuleFixture {
 protected:
  QString counter(const QString& id, QString* name = nullptr) {
    db::Transaction tr(base_.db());
    db::Query q(base_.db(), &tr);
    q.setSql("select NAME, CNST from SPCONST where IDCONST = :ID");
    q.param("ID").setString(id);
    q.open();
    if (name) *name = q["NAME"].asString();
    return q.isEmpty() ? QString("none") : q["CNST"].asString();
  }
};

TEST_F(DataModuleConstants, ReadDataOfANewDatabaseLoadsWithoutComplaint) {
  dm_.ReadData();
  EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
  EXPECT_EQ(bsp_.DecPl, 2);
  EXPECT_EQ(bsp_.NightFrom, 22 * 60);
  EXPECT_EQ(bsp_.NightTo, 6 * 60);
  EXPECT_TRUE(bsp_.CreateUch);
}

TEST_F(DataModuleConstants, ReadDataReportsAWrongConstantAndGoesOn) {
  run("update SPCONST set CNST = '31.02.2024' where IDCONST = 'AVTWINTIMEFROM'");
  dm_.ReadData();
  ASSERT_EQ(messages_.messages.size(), 1u);
  EXPECT_EQ(messages_.messages[0].kind, msg::Kind::Warning);
  EXPECT_TRUE(messages_.messages[0].text.contains("31.02.2024"));
  EXPECT_FALSE(bsp_.WinTimeFrom.isValid());
  EXPECT_EQ(bsp_.NightFrom, 22 * 60);
}

TEST_F(DataModuleConstants, ReadConstWithoutCase) {
  run("update SPCONST set CNST = 'ООО \"Автобаза\"  ' where IDCONST = 'DIVISION'");
  EXPECT_EQ(dm_.ReadConst("division"), "ООО \"Автобаза\"");
  EXPECT_EQ(dm_.ReadConst("NOSUCHCONST"), "");
}

TEST_F(DataModuleConstants, CountReportUseCreatesThenCountsAndCommits) {
  dm_.CountReportUse("mmRjour", "Старое название");
  EXPECT_EQ(counter("mmRjour"), "1");  // seen from another transaction: committed
  dm_.CountReportUse("mmRjour", "Журнал движения автотранспорта");
  QString name;
  EXPECT_EQ(counter("mmRjour", &name), "2");
  EXPECT_EQ(name, "Журнал движения автотранспорта");

  run("insert into SPCONST values ('mmBad', 'Отчет', 'x')");
  EXPECT_THROW(dm_.CountReportUse("mmBad", "Отчет"), db::DbError);
  EXPECT_EQ(counter("mmBad"), "x");
}

}  // namespace
