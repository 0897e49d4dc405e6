#include "app/bsp.h"
#include "app/commands.h"
#include "app/datamodule.h"
#include "app/inisys.h"
#include "app/shelltargets.h"
#include "app/user.h"
#include "platform/decimal.h"
#include "platform/query.h"
#include "support/datamodulefixture.h"
#include "support/messagerecorder.h"
#include "support/modal.h"
#include "support/testdatabase.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using testsupport::MessageRecorder;
using testsupport::onNextModal;
using testsupport::TestDatabase;

namespace {

// Each table of the placeholders: the column that shows its name, and its key procedure.
struct TableOf {
  const char* table;
  const char* name;
  const char* keyProc;
};
const TableOf kTables[] = {
    {"AVFUEL", "NAME", "GET_AVFUEL_ID"},          {"AVKIND", "NAME", "GET_AVKIND_ID"},
    {"AVMARK", "NAME", "GET_AVMARK_ID"},          {"AVSUBDIV", "NAME", "GET_AVSUBDIV_ID"},
    {"AVCLIENT", "NAME", "GET_AVCLIENT_ID"},      {"AVROUTE", "NAME", "GET_AVROUTE_ID"},
    {"AVCAR", "STNUMBER", "GET_AVCAR_ID"},        {"AVAKB", "NAME", "GET_AVAKB_ID"},
    {"AVTIRE", "NAME", "GET_AVTIRE_ID"},          {"AVCARGO", "NAME", "GET_AVCARGO_ID"},
    {"AVDRIVER", "INITIALS", "GET_AVDRIVER_ID"},  {"AVKINDWORK", "NAME", "GET_AVKINDWORK_ID"},
    {"AVROADLIST", "SNUMBER", "GET_ROADLIST_ID"},
};

class IniTest : public testsupport::DataModuleFixture {
 protected:
  // The first column of the first row as text; nullopt when there is no row.
  std::optional<QString> value(const QString& sql) {
    db::Query q(base_.db());
    q.setSql(sql);
    q.open();
    std::optional<QString> v;
    if (!q.isEmpty()) v = q.field(0).asString();
    base_.tr().commit();
    return v;
  }
  std::optional<QString> constant(const QString& id) {
    return value(QString("select CNST from SPCONST where IDCONST='%1'").arg(id));
  }
  std::optional<QString> placeholderName(const TableOf& t) {
    const PlaceholderRow* p = nullptr;
    for (const PlaceholderRow& r : placeholderRows())
      if (r.table == t.table) p = &r;
    return value(QString("select %1 from %2 where %3=0").arg(t.name, t.table, p->keyField));
  }
  // Takes a new key from the table's key procedure (as the editors do).
  int nextKey(const TableOf& t) {
    db::Query q(base_.db());
    q.setSql(QString("select OUT_ID from %1").arg(t.keyProc));
    q.open();
    const int key = int(q.field(0).asInt());
    base_.tr().commit();
    return key;
  }

  TUser user_;
};

TEST_F(IniTest, AnEmptyDatabaseGetsEveryPlaceholderAndKeysAfterThem) {
  ASSERT_EQ(placeholderRows().size(), qsizetype(std::size(kTables)));
  for (const TableOf& t : kTables) EXPECT_FALSE(placeholderName(t)) << t.table;
  initialiseDatabase(dm_.DB, dm_.IBTransaction);
  for (const TableOf& t : kTables) {
    EXPECT_EQ(placeholderName(t), "Hет данных") << t.table;
    EXPECT_EQ(nextKey(t), 2) << t.table;
  }
  EXPECT_EQ(value("select FNAME from AVSUBDIV where SUBDIV=0"), "Hет данных");
  EXPECT_EQ(value("select ACCDATE from AVROADLIST where ROADLIST=0"), "01.01.2000");
  EXPECT_EQ(constant("AVTISINIT"), "1");
  EXPECT_EQ(constant("NIGHTTIMEFROMH"), "22");
}

TEST_F(IniTest, TablesWithRowsKeepTheirKeysFree) {
  // Rows brought in with the generator left behind, rows with the generator ahead of them, and
  // a placeholder already there with its generator where it was.
  run("insert into AVMARK (MARK, NAME) values (3, 'ГАЗ')");
  run("insert into AVMARK (MARK, NAME) values (7, 'ЗИЛ')");
  run("insert into AVDRIVER (DRIVER, DISMISS, INITIALS) values (5, 0, 'Иванов')");
  run("set generator GEN_AVDRIVER to 10");
  run("insert into AVFUEL (FUEL, TYP, NAME) values (0, 0, 'пусто')");
  run("insert into AVFUEL (FUEL, TYP, NAME) values (1, 0, 'АИ-92')");
  run("set generator GEN_AVFUEL to 4");
  run("set generator GEN_AVCARGO to 6");  // rows deleted long ago: an empty table starts over
  initialiseDatabase(dm_.DB, dm_.IBTransaction);
  const struct {
    int table;  // index in kTables
    int next;
  } cases[] = {{2, 8}, {10, 11}, {0, 5}, {9, 2}, {6, 2}};
  for (const auto& c : cases) {
    const TableOf& t = kTables[c.table];
    EXPECT_EQ(placeholderName(t), "Hет данных") << t.table;
    EXPECT_EQ(nextKey(t), c.next) << t.table;
  }
}

TEST_F(IniTest, ASecondRunKeepsWhatWasSetAndBringsPlaceholdersBack) {
  initialiseDatabase(dm_.DB, dm_.IBTransaction);
  const int markKey = nextKey(kTables[2]);
  run("update SPCONST set CNST='Петров П.П.' where IDCONST='AVTCHIEF'");
  run("update SPCONST set CNST='23' where IDCONST='NIGHTTIMEFROMH'");
  run("update SPCONST set CNST='7,5' where IDCONST='AVTWINEXTCHARGE'");
  run("update SPCONST set CNST='01.11.2024' where IDCONST='AVTWINTIMEFROM'");
  run("update SPCONST set CNST=null where IDCONST='AVTSUMTIMETO'");
  run("update SPCONST set CNST='   ' where IDCONST='NIGHTTIMETOM'");
  run("delete from SPCONST where IDCONST='NIGHTTIMETOH'");
  run("update SPCONST set CNST='' where IDCONST='AVTISINIT'");  // cleared by hand
  run("update AVKIND set NAME='испорчено' where KIND=0");
  initialiseDatabase(dm_.DB, dm_.IBTransaction);
  const std::pair<const char*, const char*> cases[] = {
      {"AVTCHIEF", "Петров П.П."},    {"NIGHTTIMEFROMH", "23"},
      {"AVTWINEXTCHARGE", "7,5"},     {"AVTWINTIMEFROM", "01.11.2024"},
      {"AVTSUMTIMETO", "01.01.2000"}, {"NIGHTTIMETOM", "0"},
      {"NIGHTTIMETOH", "6"},          {"AVTISINIT", "1"},
  };
  for (const auto& [id, text] : cases) EXPECT_EQ(constant(id), QString::fromUtf8(text)) << id;
  EXPECT_EQ(placeholderName(kTables[1]), "Hет данных");
  // The generators of tables whose placeholder was there are left alone.
  EXPECT_EQ(nextKey(kTables[2]), markKey + 1);
}

TEST_F(IniTest, TheCommandAsksRefusesASecondRunAndWritesAllOrNothing) {
  struct Case {
    const char* what;
    const char* setUp;  // statement run first, or nullptr
    msg::Button answer;
    QString label;
    bool initialised;
  };
  const Case cases[] = {
      {"cancelled", nullptr, msg::Cancel, initext::kNotDone, false},
      // A norm row of vehicle 0 left behind makes the placeholder vehicle's trigger fail.
      {"failed", "insert into AVNORMFUEL (CAR, KFN) values (0, 0)", msg::Ok, initext::kNotDone,
       false},
      {"done", "delete from AVNORMFUEL where CAR=0", msg::Ok, initext::kFinished, true},
      {"done before", nullptr, msg::Ok, initext::kDoneBefore, true},
  };
  for (const Case& c : cases) {
    if (c.setUp) run(c.setUp);
    messages_.messages.clear();
    messages_.answers = {c.answer};
    QString label;
    onNextModal([&](QWidget* modal) {
      auto* w = qobject_cast<TfmIni*>(modal);
      ASSERT_NE(w, nullptr);
      EXPECT_EQ(w->windowTitle(), "Инициализация системы");
      w->runPendingWork();
      label = w->message();
      w->close();
    });
    InitialiseSystem(dm_, bsp_);
    EXPECT_EQ(label, c.label) << c.what;
    EXPECT_EQ(bsp_.IsInit == "1", c.initialised) << c.what;
    EXPECT_EQ(constant("AVTISINIT") == "1", c.initialised) << c.what;
    // Nothing of a failed run stays: the fuel placeholder comes before the vehicle's.
    EXPECT_EQ(placeholderName(kTables[0]).has_value(), c.initialised) << c.what;
    QStringList texts = messages_.texts();
    if (QString(c.what) == "done before") {
      EXPECT_TRUE(texts.isEmpty());
      continue;
    }
    ASSERT_FALSE(texts.isEmpty()) << c.what;
    EXPECT_EQ(texts[0], initext::kQuestion);
    EXPECT_EQ(messages_.messages[0].caption, initext::kQuestionCaption);
    EXPECT_EQ(messages_.messages[0].buttons, msg::Ok | msg::Cancel);
    if (QString(c.what) == "failed") {
      ASSERT_EQ(texts.size(), 2);
      EXPECT_TRUE(texts[1].startsWith(initext::kSaveFailed)) << texts[1].toStdString();
    } else {
      EXPECT_EQ(texts.size(), 1) << c.what;
    }
  }
}

// ------------------------------------------------------------------------------ fuel rows

class FuelFillTest : public IniTest {
 protected:
  FuelFillTest() {
    // 1 and 2 of vehicle 1 in March; 2 has a consumption row (and a fill). 3 of vehicle 2 has
    // a fill typed in by hand. 4 departs in April.
    const char* rows[] = {
        "insert into AVROADLIST (ROADLIST, CAR, DRIVER, FUEL, SNUMBER, DATEIN, KMIN, OSTIN, "
        "LIT, OSTOUT, FACT) values (1, 1, 7, 2, '11', '17.03.2011', 100, 10.7, 50, 20.2, 40.5)",
        "insert into AVROADLIST (ROADLIST, CAR, DRIVER, FUEL, SNUMBER, DATEIN, KMIN, OSTIN, "
        "LIT, OSTOUT, FACT) values (2, 1, 7, 2, '12', '20.03.2011', 200, 20.2, 30, 10, 40.2)",
        "insert into AVROADLIST (ROADLIST, CAR, DRIVER, FUEL, SNUMBER, DATEIN, KMIN, OSTIN, "
        "LIT, OSTOUT, FACT) values (3, 2, 8, null, '13', '05.03.2011', 50, 0, 25, 5.25, 19.75)",
        "insert into AVROADLIST (ROADLIST, CAR, DRIVER, FUEL, SNUMBER, DATEIN, KMIN, OSTIN, "
        "LIT, OSTOUT, FACT) values (4, 2, 8, 2, '14', '05.04.2011', 90, 1, 2, 3, 4)",
        "insert into AVGSM (GSM, ROADLIST, TYP, LIT, CAR) values (1, 2, 3, 40, 1)",
        "insert into AVGSM (GSM, ROADLIST, TYP, LIT, CAR) values (2, 2, 1, 30, 1)",
        "insert into AVGSM (GSM, ROADLIST, TYP, LIT, CAR) values (3, 3, 1, 25, 2)",
        "set generator GEN_AVGSM to 3",
    };
    for (const char* s : rows) run(s);
    bsp_.Dt1 = QDate(2011, 3, 1);
    bsp_.Dt2 = QDate(2011, 3, 31);
  }
  // The fuel rows: waybill/kind/litres, and for the rows made here the rest of their columns.
  QStringList fuelRows() {
    db::Query q(base_.db());
    q.setSql(
        "select GSM, ROADLIST, TYP, LIT, ACCDATE, VDATE, CAR, DRIVER, FUEL, SUBDIV, TYPG from "
        "AVGSM order by ROADLIST, TYP, GSM");
    QStringList out;
    for (q.open(); !q.eof(); q.next()) {
      QString line = QString("%1/%2/%3")
                         .arg(q["ROADLIST"].asInt())
                         .arg(q["TYP"].asInt())
                         .arg(q["LIT"].asDecimal().toString(2, '.'));
      if (q["GSM"].asInt() > 3)
        line += QString(" %1 %2 car%3 drv%4 fuel%5 sub%6 kind%7")
                    .arg(q["ACCDATE"].asString(), q["VDATE"].asString())
                    .arg(q["CAR"].asInt())
                    .arg(q["DRIVER"].asInt())
                    .arg(q["FUEL"].isNull() ? QString("-") : q["FUEL"].asString())
                    .arg(q["SUBDIV"].asInt())
                    .arg(q["TYPG"].asInt());
      out << line;
    }
    base_.tr().commit();
    return out;
  }
};

TEST_F(FuelFillTest, BothModesFromTheHeaderTotals) {
  const QString w1 = " 01.03.2011 17.03.2011 car1 drv7 fuel2 sub0 kind1";
  const QString w3 = " 01.03.2011 05.03.2011 car2 drv8 fuel- sub0 kind1";
  const QString w2 = " 01.03.2011 20.03.2011 car1 drv7 fuel2 sub0 kind1";
  const struct {
    int mode;
    QStringList rows;
    int filled, added;
  } cases[] = {
      // Adding only: the waybill with a consumption row stays as it is; the hand-typed fill of
      // waybill 3 stays and the kinds it lacks are added.
      {kFillAddMissing,
       {"1/0/10.70" + w1, "1/1/50.00" + w1, "1/2/20.20" + w1, "1/3/40.50" + w1, "2/1/30.00",
        "2/3/40.00", "3/0/0.00" + w3, "3/1/25.00", "3/2/5.25" + w3, "3/3/19.75" + w3},
       2,
       7},
      // Recalculating: every waybill of the period gets its four rows anew.
      {kFillRecalculate,
       {"1/0/10.70" + w1, "1/1/50.00" + w1, "1/2/20.20" + w1, "1/3/40.50" + w1, "2/0/20.20" + w2,
        "2/1/30.00" + w2, "2/2/10.00" + w2, "2/3/40.20" + w2, "3/0/0.00" + w3, "3/1/25.00" + w3,
        "3/2/5.25" + w3, "3/3/19.75" + w3},
       3,
       12},
  };
  for (const auto& c : cases) {
    const FuelFillSummary s = fillFuelRows(dm_.DB, dm_.IBTransaction, bsp_.Dt1, bsp_.Dt2, c.mode);
    EXPECT_EQ(s.waybills, 3) << c.mode;
    EXPECT_EQ(s.filled, c.filled) << c.mode;
    EXPECT_EQ(s.rows, c.added) << c.mode;
    EXPECT_EQ(fuelRows(), c.rows) << c.mode;
  }
  // Adding once more adds nothing: every waybill has its consumption row now.
  const FuelFillSummary again =
      fillFuelRows(dm_.DB, dm_.IBTransaction, bsp_.Dt1, bsp_.Dt2, kFillAddMissing);
  EXPECT_EQ(again.rows, 0);
  EXPECT_EQ(fuelRows().size(), 12);
}

TEST_F(FuelFillTest, TheMenuCommandAsksTheModeAndTheQuestion) {
  registerShellTargets();
  commands::ScopedTarget ask(commands::targets::kAskTaskParams,
                             [](const commands::CommandContext&) { return true; });
  const commands::CommandDef* command = commands::findCommand("mmAvZ");
  ASSERT_NE(command, nullptr);
  struct Case {
    const char* what;
    bool tick;           // the mode box is ticked before "Продолжить"
    msg::Button answer;  // to "Произвести расчет ?"
    int mode;            // RegMode afterwards
    int rowsAfter;
  };
  const Case cases[] = {
      {"cancelled", false, msg::Cancel, kFillAddMissing, 3},
      {"recalculate", true, msg::Ok, kFillRecalculate, 12},
  };
  for (const Case& c : cases) {
    messages_.messages.clear();
    messages_.answers = {c.answer};
    onNextModal([&](QWidget* modal) {
      auto* w = qobject_cast<TfrmReg*>(modal);
      ASSERT_NE(w, nullptr);
      EXPECT_EQ(w->windowTitle(), "Выбор режима");
      EXPECT_EQ(w->modeBox()->text(), "x - перерассчитать, _  - добавить");
      EXPECT_FALSE(w->modeBox()->isChecked());
      if (c.tick) w->modeBox()->click();
      w->continueButton()->click();
    });
    commands::runCommand(*command, dm_, bsp_, user_, nullptr);
    EXPECT_EQ(bsp_.RegMode, c.mode) << c.what;
    EXPECT_EQ(fuelRows().size(), c.rowsAfter) << c.what;
    QStringList expected = {initext::kQuestion};
    if (c.answer == msg::Ok) expected << initext::kCalculated;
    EXPECT_EQ(messages_.texts(), expected) << c.what;
    if (c.answer == msg::Ok) {
      EXPECT_EQ(messages_.messages[1].caption, initext::kCalculated);
    }
  }

  // Esc keeps the mode; a period without waybills ends without the closing message.
  bsp_.Dt1 = bsp_.Dt2 = QDate(2012, 1, 1);
  messages_.messages.clear();
  messages_.answers = {msg::Ok};
  onNextModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
  commands::runCommand(*command, dm_, bsp_, user_, nullptr);
  EXPECT_EQ(bsp_.RegMode, kFillRecalculate);
  EXPECT_EQ(messages_.texts(), QStringList({initext::kQuestion}));
  EXPECT_EQ(fuelRows().size(), 12);
}

}  // namespace
