#include "framework/lookup.h"
#include "platform/database.h"
#include "platform/query.h"
#include "refs/demodata.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using testsupport::TestDatabase;

namespace {

// The key procedure, key column and generator of each table with keys of its own.
struct Keyed {
  const char* table;
  const char* key;
  const char* procedure;
};
const Keyed kKeyed[] = {
    {"AVSUBDIV", "SUBDIV", "GET_AVSUBDIV_ID"},
    {"AVMARK", "MARK", "GET_AVMARK_ID"},
    {"AVKIND", "KIND", "GET_AVKIND_ID"},
    {"AVKINDWORK", "WORKTYPE", "GET_AVKINDWORK_ID"},
    {"AVCARGO", "CARGO", "GET_AVCARGO_ID"},
    {"AVFUEL", "FUEL", "GET_AVFUEL_ID"},
    {"AVGSMT", "AVGSMT", "GET_AVGSMT_ID"},
    {"AVROUTE", "ROUTE", "GET_AVROUTE_ID"},
    {"AVCLIENT", "CLIENT", "GET_AVCLIENT_ID"},
    {"AVOBJ", "AVOBJ", "GET_AVOBJ_ID"},
    {"FUELCARD", "CODFC", "GET_FUELCARD_ID"},
    {"AVDRIVER", "DRIVER", "GET_AVDRIVER_ID"},
    {"AVCAR", "CAR", "GET_AVCAR_ID"},
    {"AVFASTENING", "FASTEN", "GET_AVFASTENING_ID"},
    {"AVKFNORMS", "KFN", "GET_AVKFNORMS_ID"},
    {"AVWINTIRE", "WINTIRE", "GET_AVWINTIRE_ID"},
    {"AVDEF", "DEF", "GET_AVDEF_ID"},
    {"AVZK", "ZK", "GET_AVZK_ID"},
    {"AVACDEF", "ACDEF", "GET_AVACDEF_ID"},
    {"AVACZK", "ACZK", "GET_AVACZK_ID"},
    {"AVTIRE", "TIRE", "GET_AVTIRE_ID"},
    {"AVAKB", "AKB", "GET_AVAKB_ID"},
    {"AVROADLIST", "ROADLIST", "GET_ROADLIST_ID"},
};

class DemoTest : public ::testing::Test {
 protected:
  qint64 number(const QString& sql) {
    db::Query q(base_.db());
    q.setSql(sql);
    q.open();
    return q.field(0).asInt();
  }
  QString text(const QString& sql) {
    db::Query q(base_.db());
    q.setSql(sql);
    q.open();
    return q.isEmpty() ? QString("none") : q.field(0).asString();
  }
  TestDatabase base_;
};

TEST_F(DemoTest, FillsABelievableMotorPool) {
  fillDemoData(base_.db(), base_.tr());
  base_.tr().commit();

  struct Count {
    const char* sql;
    int least;
    int most;
  };
  const Count counts[] = {
      {"select count(*) from AVSUBDIV where SUBDIV>0", 3, 10},
      {"select count(*) from AVCAR where CAR>0", 35, 45},
      {"select count(*) from AVDRIVER where DRIVER>0", 35, 60},
      {"select count(*) from AVCLIENT where CLIENT>0", 3, 20},
      {"select count(*) from AVFUEL where FUEL>0", 4, 10},
      {"select count(*) from AVROUTE where ROUTE>0", 3, 20},
      {"select count(*) from AVMARK where MARK>0", 10, 45},
      {"select count(*) from AVKIND where KIND>0", 7, 12},
      {"select count(*) from AVKFNORMS", 3, 10},
      {"select count(*) from FUELCARD where CODFC>0", 3, 20},
      {"select count(*) from AVGSMT where AVGSMT>0", 10, 20},
      {"select count(*) from AVOBJ where AVOBJ>0", 3, 20},
      {"select count(*) from AVKINDWORK where WORKTYPE>0", 3, 20},
      {"select count(*) from AVCARGO where CARGO>0", 3, 20},
      {"select count(*) from AVDEF where DEF>0", 2, 20},
      {"select count(*) from AVZK where ZK>0", 2, 20},
      {"select count(*) from AVACDEF where ACDEF>0", 2, 20},
      {"select count(*) from AVACZK where ACZK>0", 2, 20},
      {"select count(*) from AVWINTIRE", 30, 45},
      // Every vehicle but the trailers has a first driver, exactly one.
      {"select count(*) from AVCAR c join AVKIND k on k.KIND=c.KIND where c.CAR>0 and "
       "k.NAME<>'Прицепы' and (select count(*) from AVFASTENING f where f.CAR=c.CAR and "
       "f.FIRSTDR=1)<>1",
       0, 0},
      // Every driver belongs to a subdivision that is listed.
      {"select count(*) from AVDRIVER d where d.DRIVER>0 and not exists (select 1 from AVSUBDIV "
       "s where s.SUBDIV=d.SUBDIV and s.SUBDIV>0)",
       0, 0},
  };
  for (const Count& c : counts) {
    const qint64 n = number(c.sql);
    EXPECT_GE(n, c.least) << c.sql;
    EXPECT_LE(n, c.most) << c.sql;
  }

  // The kinds the waybill forms are printed for, each with vehicles.
  for (const char* kind :
       {"Легковые", "Автобусы", "Грузовые", "Самосвалы", "Автокраны", "Специальные", "Прицепы"}) {
    EXPECT_GE(number(QStringLiteral("select count(*) from AVCAR c join AVKIND k on "
                                    "k.KIND=c.KIND where trim(k.NAME)='%1'")
                         .arg(kind)),
              1)
        << kind;
  }

  // Every vehicle lists (the list joins mark and subdivision) and has its norm rows: the base
  // row and one per coefficient, the norm under a coefficient computed from the base norm.
  EXPECT_EQ(number("select count(*) from AVCAR CR,AVMARK MR,AVSUBDIV SB where CR.CAR>0 and "
                   "CR.DISMISS=0 and CR.MARK=MR.MARK and CR.SUBDIV=SB.SUBDIV"),
            number("select count(*) from AVCAR where CAR>0"));
  EXPECT_EQ(number("select count(*) from AVCAR c where c.CAR>0 and (select count(*) from "
                   "AVNORMFUEL n where n.CAR=c.CAR) <> 1 + (select count(*) from AVKFNORMS)"),
            0);
  EXPECT_EQ(number("select count(*) from AVNORMFUEL n join AVCAR c on c.CAR=n.CAR where "
                   "c.CAR>0 and n.KFN>0 and abs(n.NORMA - n.SUM100 * (n.KF + 1)) > 0.006"),
            0);
  // Powered vehicles have a norm per 100 km or per motor hour; a light truck and a heavy one
  // within the public methodology's range.
  EXPECT_EQ(number("select count(*) from AVCAR c join AVKIND k on k.KIND=c.KIND join AVNORMFUEL "
                   "n on n.CAR=c.CAR and n.KFN=0 where c.CAR>0 and k.NAME<>'Прицепы' and "
                   "coalesce(n.SUM100,0)<=0 and coalesce(n.MOTOH,0)<=0"),
            0);
  for (const auto& [mark, low, high] :
       {std::tuple{"ГАЗ-33021 «Газель»", 13.0, 16.0}, std::tuple{"КАМАЗ-65115", 25.0, 35.0}}) {
    const QString sql = QStringLiteral(
                            "select max(n.SUM100) from AVNORMFUEL n join AVCAR c on c.CAR=n.CAR "
                            "join AVMARK m on m.MARK=c.MARK where n.KFN=0 and trim(m.NAME)='%1'")
                            .arg(mark);
    db::Query q(base_.db());
    q.setSql(sql);
    q.open();
    EXPECT_GE(q.field(0).asDouble(), low) << mark;
    EXPECT_LE(q.field(0).asDouble(), high) << mark;
  }

  // The placeholder rows and the initialisation mark.
  for (const Keyed& k : kKeyed) {
    if (QString(k.table) == "AVFASTENING" || QString(k.table) == "AVKFNORMS" ||
        QString(k.table) == "AVWINTIRE" || QString(k.table) == "AVGSMT")
      continue;
    EXPECT_EQ(number(QStringLiteral("select count(*) from %1 where %2=0").arg(k.table, k.key)), 1)
        << k.table;
  }
  EXPECT_EQ(text("select NAME from AVMARK where MARK=0"), lookup::noDataName());
  EXPECT_EQ(text("select CNST from SPCONST where IDCONST='AVTISINIT'"), "1");
  EXPECT_NE(text("select CNST from SPCONST where IDCONST='AVTWINTIMEFROM'"), "01.01.2000");

  // New keys from the key procedures never meet a key in use.
  for (const Keyed& k : kKeyed) {
    const qint64 largest =
        number(QStringLiteral("select coalesce(max(%1), 0) from %2").arg(k.key, k.table));
    const qint64 next = number(QStringLiteral("select OUT_ID from %1").arg(k.procedure));
    EXPECT_GT(next, largest) << k.table;
    EXPECT_GE(next, 2) << k.table;  // 1 stays unused, as after the initialisation
  }
}

TEST(DemoCommand, CreatesANewDatabaseAndNeverTouchesAnExistingFile) {
  const QString dir = testsupport::sharedTempDir();
  if (!testsupport::target().server.isEmpty()) GTEST_SKIP() << "creates a local file";
  const QString existing = QDir(dir).filePath("demo-existing.fdb");
  {
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a database");
  }
  EXPECT_NE(createDemoDatabaseCommand(existing), 0);
  QFile f(existing);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("not a database"));

  const QString path = QDir(dir).filePath("demo-new.fdb");
  ASSERT_EQ(createDemoDatabaseCommand(path), 0);
  {
    db::Database database;
    database.setDatabaseName(path);
    database.setLogin(testsupport::target().user, testsupport::target().password);
    database.connect();
    db::Transaction tr(database);
    db::Query q(database, &tr);
    q.setSql("select count(*) from AVCAR where CAR>0");
    q.open();
    EXPECT_GE(q.field(0).asInt(), 35);
    q.close();
    tr.commit();
    database.drop();
  }
  EXPECT_FALSE(QFileInfo::exists(path));
}

}  // namespace
