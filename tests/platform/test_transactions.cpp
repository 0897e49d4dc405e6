#include "platform/dberror.h"
#include "platform/query.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>

using testsupport::TestDatabase;

namespace {

class TransactionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = std::make_unique<TestDatabase>(TestDatabase::Empty);
    db::Query q(base_->db());
    q.setSql("create table T (ID integer not null primary key, V integer)");
    q.exec();
    base_->tr().commit();
    for (int i = 1; i <= 3; ++i) {
      db::Query ins(base_->db());
      ins.setSql("insert into T values (:ID, 0)");
      ins.param("ID").setInt(i);
      ins.exec();
    }
    base_->tr().commit();
  }
  static qint64 count(db::Database& d, const QString& where = "1=1") {
    db::Transaction tr(d);
    db::Query q(d, &tr);
    q.setSql("select count(*) from T where " + where);
    q.open();
    return q.field(0).asInt();
  }
  std::unique_ptr<TestDatabase> base_;
};

TEST_F(TransactionTest, RetainingCommitKeepsOpenQueriesAndPublishesTheChange) {
  db::Database& d = base_->db();
  db::Query list(d);
  list.setSql("select ID from T order by ID");
  list.open();
  db::Query upd(d);
  upd.setSql("update T set V = 5 where ID = 1");
  upd.exec();
  base_->tr().commitRetaining();
  EXPECT_TRUE(list.active());
  list.next();
  EXPECT_EQ(list["ID"].asInt(), 2);  // the cursor goes on after the retaining commit

  auto other = base_->connectAgain();
  EXPECT_EQ(count(*other, "V = 5"), 1);

  base_->tr().commit();  // a full commit ends the transaction and closes its queries
  EXPECT_FALSE(list.active());
  EXPECT_FALSE(base_->tr().inTransaction());
}

TEST_F(TransactionTest, RollbackAndTwoTransactionsOnOneConnection) {
  db::Database& d = base_->db();
  db::Transaction second(d);
  db::Query upd(d);  // on the default transaction
  upd.setSql("delete from T where ID = 3");
  upd.exec();
  db::Query onSecond(d, &second);
  onSecond.setSql("select count(*) from T");
  onSecond.open();
  EXPECT_EQ(onSecond.field(0).asInt(), 3);  // read committed: the delete is not seen yet
  base_->tr().rollbackRetaining();
  base_->tr().rollback();
  EXPECT_EQ(count(d), 3);
  {
    db::TransactionGuard guard(base_->tr());
    upd.exec();
  }  // not committed: rolled back
  EXPECT_EQ(count(d), 3);
  {
    db::TransactionGuard guard(base_->tr());
    upd.exec();
    guard.commit();
  }
  EXPECT_EQ(count(d), 2);
}

TEST_F(TransactionTest, LockConflictBetweenTwoConnectionsFailsAtOnce) {
  db::Query mine(base_->db());
  mine.setSql("update T set V = 1 where ID = 2");
  mine.exec();  // not committed: the row stays locked

  auto other = base_->connectAgain();
  db::Transaction tr(*other);
  db::Query theirs(*other, &tr);
  theirs.setSql("update T set V = 2 where ID = 2");
  try {
    theirs.exec();  // nowait: no waiting for the first connection
    FAIL() << "the second workstation overwrote a locked row";
  } catch (const db::DbError& e) {
    EXPECT_TRUE(e.isLockConflict()) << e.message().toStdString();
  }
  // Other rows are free.
  db::Query free(*other, &tr);
  free.setSql("update T set V = 2 where ID = 3");
  EXPECT_NO_THROW(free.exec());
  tr.commit();
}

TEST_F(TransactionTest, DisconnectWithOpenWorkIsSafe) {
  db::Query q(base_->db());
  q.setSql("select ID from T");
  q.open();
  base_->db().disconnect();
  EXPECT_FALSE(q.active());
  EXPECT_FALSE(q.prepared());
  EXPECT_THROW(q.open(), db::DbError);
  base_->db().connect();
  q.open();
  EXPECT_EQ(q.recordCount(), 3);
}

}  // namespace
