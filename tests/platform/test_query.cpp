#include "platform/dberror.h"
#include "platform/query.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>

using testsupport::TestDatabase;

namespace {

class QueryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = std::make_unique<TestDatabase>(TestDatabase::Empty);
    exec(
        "create table T (ID integer not null primary key, NAME varchar(40), "
        "AMOUNT numeric(18,4), D date, X double precision, C char(10), NOTE blob sub_type text)");
    base_->tr().commit();
  }
  db::Database& db() { return base_->db(); }
  db::Transaction& tr() { return base_->tr(); }
  void exec(const QString& sql) {
    db::Query q(db());
    q.setParamCheck(false);
    q.setSql(sql);
    q.exec();
  }
  void insert(int id, const QVariant& name) {
    db::Query q(db());
    q.setSql("insert into T (ID, NAME) values (:ID, :NAME)");
    q.param("ID").setInt(id);
    q.param("NAME").setValue(name);
    q.exec();
  }
  std::unique_ptr<TestDatabase> base_;
};

TEST_F(QueryTest, ParametersOfEveryTypeAndNullsRoundTrip) {
  db::Query ins(db());
  ins.sql() << "insert into T (ID, NAME, AMOUNT, D, X, C, NOTE)"
            << "values (:ID, :NAME, :AMOUNT, :D, :X, :C, :NOTE)";
  ins.param("id").setInt(1);  // names are matched without case
  ins.param("NAME").setString("Иванов И.И.");
  ins.param("AMOUNT").setDecimal(*Decimal4::parse("12,3456"));
  ins.param("D").setDate(QDate(2024, 2, 29));
  ins.param("X").setDouble(0.1);
  ins.param("C").setString("AB");
  ins.param("NOTE").setString("Примечание");
  ins.exec();
  EXPECT_EQ(ins.rowsAffected(), 1);
  // The same statement again with nulls: a value set once stays until it is changed.
  ins.param("ID").setInt(2);
  for (const char* n : {"NAME", "AMOUNT", "D", "X", "C", "NOTE"}) ins.param(n).setNull();
  ins.exec();

  db::Query q(db());
  q.setSql("select * from T order by ID");
  q.open();
  ASSERT_FALSE(q.eof());
  EXPECT_EQ(q["NAME"].asString(), "Иванов И.И.");
  EXPECT_EQ(q["AMOUNT"].asDecimal().raw(), 123456);
  EXPECT_EQ(q["AMOUNT"].asString(), "12,3456");
  EXPECT_EQ(q["D"].asDate(), QDate(2024, 2, 29));
  EXPECT_EQ(q["D"].asString(), "29.02.2024");
  EXPECT_DOUBLE_EQ(q["X"].asDouble(), 0.1);
  EXPECT_EQ(q["C"].asString(), "AB");  // CHAR comes back without its padding
  EXPECT_EQ(q["NOTE"].asString(), "Примечание");
  q.next();
  for (const char* n : {"NAME", "AMOUNT", "D", "X", "C", "NOTE"}) {
    EXPECT_TRUE(q[n].isNull()) << n;
  }
  EXPECT_EQ(q["AMOUNT"].asInt(), 0);
  EXPECT_FALSE(q["D"].asDate().isValid());
  q.next();
  EXPECT_TRUE(q.eof());
}

TEST_F(QueryTest, RepeatedParameterAndOldKeyOfAnUpdate) {
  insert(1, "А");
  insert(2, "Б");
  db::Query q(db());
  q.sql() << "update T set ID = :ID, NAME = :NAME || :NAME"
          << "where ID = :OLD_ID";
  EXPECT_EQ(q.paramNames(), QStringList({"ID", "NAME", "OLD_ID"}));
  q.param("ID").setInt(10);
  q.param("NAME").setString("в");
  q.param("OLD_ID").setInt(2);
  q.exec();
  EXPECT_EQ(q.rowsAffected(), 1);
  db::Query r(db());
  r.setSql("select NAME from T where ID = 10");
  r.open();
  EXPECT_EQ(r["NAME"].asString(), "вв");
  EXPECT_THROW(q.param("NOPE"), db::DbError);
}

TEST_F(QueryTest, TextKeptAsLinesCanBeAppendedToAndKeepsParameterValues) {
  insert(1, "Первый");
  insert(2, "Второй");
  insert(3, "Третий");
  db::Query q(db());
  q.sql() << "select ID from T"
          << "where ID >= :LOW";
  q.param("LOW").setInt(2);
  q.open();
  EXPECT_EQ(q.recordCount(), 2);
  q.sql()[1] += " and ID < 3";  // later code appends to a line
  q.open();
  EXPECT_EQ(q.recordCount(), 1);
  EXPECT_EQ(q["ID"].asInt(), 2);
}

TEST_F(QueryTest, RepeatedColumnNamesGetANumber) {
  insert(1, "x");
  db::Query q(db());
  q.setSql("select a.NAME, b.NAME, c.NAME, a.ID as KM, b.ID as KM from T a, T b, T c");
  q.open();
  QStringList names;
  for (int i = 0; i < q.fieldCount(); ++i) names << q.fieldName(i);
  EXPECT_EQ(names, QStringList({"NAME", "NAME1", "NAME2", "KM", "KM1"}));
  EXPECT_EQ(q.fieldIndex("name1"), 1);
  EXPECT_EQ(q.fieldIndex("missing"), -1);
  EXPECT_THROW(q.field("missing"), db::DbError);
}

TEST_F(QueryTest, NavigationCountAndLocate) {
  const QStringList names = {"Ромашка", "роза", "Астра", "Лилия", "Роза ветров"};
  for (int i = 0; i < names.size(); ++i) insert(i + 1, names[i]);
  db::Query q(db());
  q.setSql("select ID, NAME from T order by ID");
  q.open();
  EXPECT_EQ(q.fetchedCount(), 1);  // the first row only, until the caller moves on
  EXPECT_EQ(q.recordCount(), 5);
  q.last();
  EXPECT_TRUE(q.eof());
  EXPECT_EQ(q["ID"].asInt(), 5);
  q.first();
  EXPECT_FALSE(q.eof());
  EXPECT_EQ(q["ID"].asInt(), 1);

  struct Case {
    QString value;
    int options;
    int expectId;  // 0: not found, position unchanged
  };
  const Case cases[] = {
      {"роза", db::Query::NoOptions, 2},
      {"РОЗА", db::Query::NoOptions, 0},
      {"РОЗА", db::Query::CaseInsensitive, 2},
      {"Роза в", db::Query::PartialKey, 5},
      {"ро", db::Query::PartialKey | db::Query::CaseInsensitive, 1},
      {"Тюльпан", db::Query::CaseInsensitive | db::Query::PartialKey, 0},
  };
  for (const Case& c : cases) {
    q.moveTo(3);
    const bool found = q.locate("NAME", {c.value}, c.options);
    EXPECT_EQ(found, c.expectId != 0) << c.value.toStdString();
    EXPECT_EQ(q["ID"].asInt(), c.expectId ? c.expectId : 4) << c.value.toStdString();
  }
  EXPECT_TRUE(q.locate("ID;NAME", {3, QString("Астра")}));
}

TEST_F(QueryTest, EmptyResultReadsAsNulls) {
  db::Query q(db());
  q.setSql("select NAME, ID from T where ID = -1");
  q.open();
  EXPECT_TRUE(q.isEmpty());
  EXPECT_TRUE(q.eof());
  EXPECT_TRUE(q["NAME"].isNull());
  EXPECT_EQ(q["NAME"].asString(), "");
}

TEST_F(QueryTest, CharacterOutsideTheCodePageIsRefusedBeforeAnythingIsWritten) {
  db::Query q(db());
  q.setSql("insert into T (ID, NAME) values (:ID, :NAME)");
  q.param("ID").setInt(1);
  q.param("NAME").setString("Цена 100 ₽");
  try {
    q.exec();
    FAIL() << "the rouble sign went through";
  } catch (const db::EncodingError& e) {
    EXPECT_EQ(e.character(), "₽");
    EXPECT_TRUE(e.message().contains("₽"));
    EXPECT_TRUE(e.message().contains("WIN1251"));
  }
  // Also in the text of a statement.
  db::Query lit(db());
  lit.setSql("insert into T (ID, NAME) values (2, '😀')");
  EXPECT_THROW(lit.exec(), db::EncodingError);

  db::Query count(db());
  count.setSql("select count(*) from T");
  count.open();
  EXPECT_EQ(count.field(0).asInt(), 0);
}

TEST_F(QueryTest, CyrillicRoundTripThroughParametersAndLiterals) {
  const QString text = "Ёлка №5 «ЪЫЬ» ёжик — тест";
  insert(1, text);
  exec("insert into T (ID, NAME) values (2, 'Ёлка №5 «ЪЫЬ» ёжик — тест')");
  db::Query q(db());
  q.setSql("select NAME, upper(NAME) as UP from T where NAME = :N order by ID");
  q.param("N").setString(text);
  q.open();
  EXPECT_EQ(q.recordCount(), 2);
  q.first();
  EXPECT_EQ(q["NAME"].asString(), text);
  EXPECT_EQ(q["UP"].asString(), text.toUpper());
  q.next();
  EXPECT_EQ(q["NAME"].asString(), text);
}

TEST_F(QueryTest, SelectableAndExecutableProcedures) {
  exec(
      "create procedure NUMBERS (N integer) returns (I integer, SQ integer) as "
      "begin I = 1; while (I <= :N) do begin SQ = I * I; suspend; I = I + 1; end end");
  exec("create procedure ADD2 (A integer, B integer) returns (S integer) as begin S = A + B; end");
  tr().commit();
  db::Query q(db());
  q.setSql("select I, SQ from NUMBERS(:N)");
  q.param("N").setInt(4);
  q.open();
  EXPECT_EQ(q.recordCount(), 4);
  q.last();
  EXPECT_EQ(q["SQ"].asInt(), 16);

  db::StoredProc sp(db());
  sp.setProcName("ADD2");
  sp.param("A").setInt(40);
  sp.param("B").setInt(2);
  sp.exec();
  EXPECT_EQ(sp.field("S").asInt(), 42);
}

TEST_F(QueryTest, TriggerEffectIsSeenInTheSameTransaction) {
  exec("create table LOG (ID integer, WHAT varchar(20))");
  exec(
      "create trigger T_AI for T after insert as begin "
      "insert into LOG (ID, WHAT) values (new.ID, 'добавлен'); end");
  tr().commit();
  insert(7, "x");
  db::Query q(db());
  q.setSql("select ID, WHAT from LOG");
  q.open();
  ASSERT_FALSE(q.eof());
  EXPECT_EQ(q["ID"].asInt(), 7);
  EXPECT_EQ(q["WHAT"].asString(), "добавлен");
}

TEST_F(QueryTest, EngineErrorsCarryTheirCodes) {
  insert(1, "x");
  try {
    insert(1, "y");
    FAIL();
  } catch (const db::DbError& e) {
    EXPECT_EQ(e.sqlCode(), -803);  // duplicate key
    EXPECT_NE(e.engineCode(), 0);
    EXPECT_FALSE(e.isLockConflict());
    EXPECT_TRUE(e.message().contains("PRIMARY", Qt::CaseInsensitive));
  }
  db::Query bad(db());
  bad.setSql("select NOSUCH from T");
  EXPECT_THROW(bad.open(), db::DbError);
}

}  // namespace
