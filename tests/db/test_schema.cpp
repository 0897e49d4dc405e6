#include "db/schema.h"
#include "platform/decimal.h"
#include "platform/query.h"
#include "support/testdatabase.h"

#include <QSet>

#include <gtest/gtest.h>

using testsupport::TestDatabase;

namespace {

class SchemaTest : public ::testing::Test {
 protected:
  db::Database& db() { return base_.db(); }
  QSet<QString> names(const QString& sql) {
    db::Query q(db());
    q.setSql(sql);
    QSet<QString> out;
    for (q.open(); !q.eof(); q.next()) out.insert(q.field(0).asString().trimmed());
    return out;
  }
  qint64 scalar(const QString& sql) {
    db::Query q(db());
    q.setSql(sql);
    q.open();
    return q.field(0).asInt();
  }
  void exec(const QString& sql) {
    db::Query q(db());
    q.setSql(sql);
    q.exec();
  }
  TestDatabase base_;
};

const QStringList kKeyTables = {
    "AVSUBDIV",  "AVMARK",    "AVKIND",    "AVKINDWORK", "AVCARGO",    "AVFUEL",    "AVGSMT",
    "AVROUTE",   "AVCLIENT",  "AVOBJ",     "FUELCARD",   "AVDRIVER",   "AVCAR",     "AVFASTENING",
    "AVKFNORMS", "AVDOPNORM", "AVWINTIRE", "AVDEF",      "AVZK",       "AVACDEF",   "AVACZK",
    "AVTIRE",    "AVAKB",     "AVGSM",     "AVRIDES",    "AVRIDESCLI", "AVTONNOKM", "AVRLPARTS",
    "AVOBJPL",   "AVOSTF",    "AVMT"};

TEST_F(SchemaTest, HasEveryObjectOfVersion33AndNoneThatWasRemoved) {
  QSet<QString> tables(kKeyTables.begin(), kKeyTables.end());
  tables += {"SPCONST",    "USERS",   "RIGHTS",     "OPTPRINTRL", "AVPRICE",
             "AVNORMFUEL", "AVSTOCK", "AVROADLIST", "AVPARTSKF",  "AVRLDOPNORM"};
  EXPECT_EQ(names("select rdb$relation_name from rdb$relations where rdb$system_flag = 0"), tables);

  QSet<QString> procs = {"CarKindFuel", "RestsFuel",  "SumObjLit",
                         "GsmDiv",      "SumFuelLit", "GET_ROADLIST_ID"};
  for (const QString& t : kKeyTables) procs.insert("GET_" + t + "_ID");
  EXPECT_EQ(names("select rdb$procedure_name from rdb$procedures where rdb$system_flag = 0"),
            procs);

  EXPECT_EQ(names("select rdb$trigger_name from rdb$triggers where rdb$system_flag = 0"),
            QSet<QString>({"AVROADLIST_AU0", "TD_AVROADLIST", "TI_AVCAR"}));
  EXPECT_EQ(names("select rdb$function_name from rdb$functions where rdb$system_flag = 0"),
            QSet<QString>({"F_SUBSTRLEN", "F_STRLEN", "F_STRTOINTDEF", "F_TRIM", "F_PDEROUND"}));
  const QSet<QString> domains =
      names("select rdb$field_name from rdb$fields where rdb$field_name starting with 'DOM_'");
  for (const char* d : {"DOM_ROADLIST_ID", "DOM_CAR_ID", "DOM_FUEL_ID", "DOM_DRIVER_INITIALS",
                        "DOM_AKB_NAME", "DOM_MARK_NAME", "DOM_CAR_WEIGHT"})
    EXPECT_TRUE(domains.contains(d)) << d;
  for (const char* gone : {"DOM_USERID", "DOM_YEAR", "DOM_ROADGSM_ID"})
    EXPECT_FALSE(domains.contains(gone)) << gone;
  EXPECT_EQ(scalar("select count(*) from rdb$relation_fields where rdb$relation_name = 'AVGSM' "
                   "and rdb$field_name in ('PRICE', 'SUMM')"),
            0);
  EXPECT_EQ(
      scalar("select count(*) from rdb$relation_fields where rdb$relation_name = 'AVROADLIST' "
             "and rdb$field_name in ('TONN', 'KMCARGO', 'DTREQ', 'NUMREQ', 'REJIM')"),
      5);
}

TEST_F(SchemaTest, KeyProceduresCountUp) {
  QStringList procs;
  for (const QString& t : kKeyTables) procs << "GET_" + t + "_ID";
  procs << "GET_ROADLIST_ID";
  for (const QString& p : procs) {
    const qint64 first = scalar("select OUT_ID from " + p);
    const qint64 second = scalar("select OUT_ID from " + p);
    EXPECT_EQ(second, first + 1) << p.toStdString();
    EXPECT_GT(first, 0) << p.toStdString();
  }
  // The standard rows are behind the generators: new keys never collide with them.
  EXPECT_GT(scalar("select OUT_ID from GET_AVGSMT_ID"), scalar("select max(AVGSMT) from AVGSMT"));
  EXPECT_GT(scalar("select OUT_ID from GET_AVKFNORMS_ID"),
            scalar("select max(KFN) from AVKFNORMS"));
}

TEST_F(SchemaTest, HoldsTheRowsOfANewDatabase) {
  db::Query q(db());
  q.setSql("select CNST from SPCONST where IDCONST = :ID");
  const std::pair<const char*, const char*> constants[] = {
      {"BASEVER", "33"},        {"BASESUBVER", "0"},   {"DECPL", "2"},
      {"NIGHTTIMEFROMH", "22"}, {"NIGHTTIMETOH", "6"}, {"CREATEUCH", "1"}};
  for (const auto& [id, value] : constants) {
    q.param("ID").setString(id);
    q.open();
    ASSERT_FALSE(q.isEmpty()) << id;
    EXPECT_EQ(q.field(0).asString().trimmed(), value) << id;
  }
  // Constants without a default still have their row, so that saving them is an update.
  for (const char* id : {"MAINCHIEF", "AVTDVD", "ADDRESS", "DIVISION", "AVTISINIT"}) {
    q.param("ID").setString(id);
    q.open();
    EXPECT_FALSE(q.isEmpty()) << id;
  }
  db::Query u(db());
  u.setSql("select USR, N, PASS, TYP from USERS");
  u.open();
  ASSERT_EQ(u.recordCount(), 1);
  u.first();
  EXPECT_EQ(u["N"].asString(), schema::accountUser());
  EXPECT_EQ(u["PASS"].asString(), schema::accountPassword());
  EXPECT_EQ(u["TYP"].asInt(), 0);
  EXPECT_EQ(
      scalar("select count(*) from OPTPRINTRL where ROADLIST = 0 and MINUTIN = 1 and MINUTOUT = 1"),
      1);
  EXPECT_EQ(scalar("select count(*) from AVGSMT where AVGSMT between 0 and 8 and TYP = AVGSMT"), 9);
  EXPECT_EQ(scalar("select count(*) from AVGSMT where NAME = 'топливные карты' and TYP is null"),
            1);
  EXPECT_EQ(scalar("select count(*) from AVKFNORMS where N = 'Зима' and ZIMN = 1"), 1);
}

TEST_F(SchemaTest, PdeRoundAgreesWithTheSharedRounding) {
  db::Query q(db());
  q.setSql("select F_PDEROUND(:X, :P, 5) from RDB$DATABASE");
  const std::pair<double, int> cases[] = {{2.005, 2},  {-2.005, 2},   {34.525, 2}, {1.005, 2},
                                          {2.4449, 2}, {2.445, 2},    {19.5, 0},   {-19.5, 0},
                                          {0.125, 2},  {12.34567, 3}, {0, 2},      {1234.5678, 4},
                                          {99.995, 2}, {-0.5, 0},     {7.0, 2}};
  for (const auto& [x, p] : cases) {
    q.param("X").setDouble(x);
    q.param("P").setInt(p);
    q.open();
    EXPECT_DOUBLE_EQ(q.field(0).asDouble(), roundDecimal(x, p)) << x << " at " << p;
  }
  q.param("X").setDouble(2.005);
  q.param("P").setInt(2);
  q.open();
  EXPECT_DOUBLE_EQ(q.field(0).asDouble(), 2.01);
}

TEST_F(SchemaTest, TextFunctions) {
  struct Case {
    const char* expr;
    QString expect;
  };
  const Case cases[] = {
      {"F_STRTOINTDEF(' 42 ', 0)", "42"},
      {"F_STRTOINTDEF('-7', 0)", "-7"},
      {"F_STRTOINTDEF('4x', -1)", "-1"},
      {"F_STRTOINTDEF('', 5)", "5"},
      {"F_STRTOINTDEF('99999999999', 3)", "3"},
      {"F_TRIM('  Зима  ')", "Зима"},
      {"F_STRLEN('Зима')", "4"},
      {"F_SUBSTRLEN('Путевой лист', 9, 4)", "лист"},
  };
  for (const Case& c : cases) {
    db::Query q(db());
    q.setSql(QStringLiteral("select %1 from RDB$DATABASE").arg(QString::fromUtf8(c.expr)));
    q.open();
    EXPECT_EQ(q.field(0).asString(), c.expect) << c.expr;
  }
}

TEST_F(SchemaTest, NewVehicleGetsItsNormAndPriceRows) {
  exec("insert into AVKFNORMS (KFN, N, ZIMN) values (2, 'Город', 0)");
  exec("insert into AVCAR (CAR, STNUMBER) values (10, 'А123ВС')");
  EXPECT_EQ(scalar("select count(*) from AVNORMFUEL where CAR = 10 and KFN = 0"), 1);
  EXPECT_EQ(scalar("select count(*) from AVNORMFUEL where CAR = 10"),
            1 + scalar("select count(*) from AVKFNORMS"));
  EXPECT_EQ(scalar("select count(*) from AVPRICE where CAR = 10"), 1);
}

TEST_F(SchemaTest, WaybillChangesReachItsLinesAndDeleteRemovesThem) {
  exec(
      "insert into AVROADLIST (ROADLIST, CAR, DRIVER, ACCDATE, DATEIN) "
      "values (5, 1, 1, '01.03.2024', '01.03.2024')");
  exec(
      "insert into AVGSM (GSM, ROADLIST, CAR, DRIVER, ACCDATE, FUEL, TYP, LIT) "
      "values (1, 5, 1, 1, '01.03.2024', 1, 0, 10)");
  exec("insert into AVOBJPL (OBJPL, ROADLIST, OBJ, CAR, DATEIN) values (1, 5, 1, 1, '01.03.2024')");
  exec("insert into AVRIDES (RIDES, ROADLIST) values (1, 5)");
  exec(
      "update AVROADLIST set CAR = 2, DRIVER = 3, ACCDATE = '31.03.2024', DATEIN = '02.03.2024' "
      "where ROADLIST = 5");
  db::Query g(db());
  g.setSql("select CAR, DRIVER, ACCDATE from AVGSM where GSM = 1");
  g.open();
  EXPECT_EQ(g["CAR"].asInt(), 2);
  EXPECT_EQ(g["DRIVER"].asInt(), 3);
  EXPECT_EQ(g["ACCDATE"].asDate(), QDate(2024, 3, 31));
  db::Query o(db());
  o.setSql("select CAR, DATEIN from AVOBJPL where OBJPL = 1");
  o.open();
  EXPECT_EQ(o["CAR"].asInt(), 2);
  EXPECT_EQ(o["DATEIN"].asDate(), QDate(2024, 3, 2));

  exec("delete from AVROADLIST where ROADLIST = 5");
  for (const char* t : {"AVGSM", "AVOBJPL", "AVRIDES"})
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from %1 where ROADLIST = 5").arg(t)), 0) << t;
}

TEST_F(SchemaTest, ReportProceduresOnEmptyAndSmallData) {
  // Fills by subdivision over a period without fills: one row of zeros.
  db::Query q(db());
  q.setSql("select CAR, SUMLIT from \"GsmDiv\"(1, '01.01.2024', '31.12.2024')");
  q.open();
  ASSERT_EQ(q.recordCount(), 1);
  q.first();
  EXPECT_EQ(q["CAR"].asInt(), 0);
  EXPECT_EQ(q["SUMLIT"].asDouble(), 0);

  q.setSql("select RESTBEG, RESTEND, CR from \"RestsFuel\"('01.01.2024', '31.12.2024', 7, 1)");
  q.open();
  ASSERT_FALSE(q.isEmpty());
  EXPECT_TRUE(q["RESTBEG"].isNull());
  EXPECT_TRUE(q["RESTEND"].isNull());
  EXPECT_EQ(q["CR"].asInt(), 7);

  exec(
      "insert into AVOBJPL (OBJPL, ROADLIST, OBJ, DATEIN, CAR, KM, NORM) values (1, 1, 9, "
      "'05.02.2024', 1, 10, 2.5)");
  exec(
      "insert into AVOBJPL (OBJPL, ROADLIST, OBJ, DATEIN, CAR, KM, NORM) values (2, 2, 9, "
      "'06.02.2024', 1, 5, 1.25)");
  exec(
      "insert into AVOBJPL (OBJPL, ROADLIST, OBJ, DATEIN, CAR, KM, NORM) values (3, 3, 9, "
      "'06.02.2024', 2, 7, 1)");
  exec(
      "insert into AVOBJPL (OBJPL, ROADLIST, OBJ, DATEIN, CAR, KM, NORM) values (4, 4, 9, "
      "'06.03.2024', 2, 7, 1)");
  q.setSql(
      "select CAR, OBJ, KM, NORM from \"SumObjLit\"(9, '01.02.2024', '29.02.2024') order by CAR");
  q.open();
  ASSERT_EQ(q.recordCount(), 2);
  q.first();
  EXPECT_EQ(q["CAR"].asInt(), 1);
  EXPECT_EQ(q["OBJ"].asInt(), 9);
  EXPECT_DOUBLE_EQ(q["KM"].asDouble(), 15);
  EXPECT_EQ(q["NORM"].asDecimal(), *Decimal4::parse("3,75"));
  q.next();
  EXPECT_EQ(q["CAR"].asInt(), 2);
  EXPECT_DOUBLE_EQ(q["KM"].asDouble(), 7);
}

}  // namespace
