#include "app/bsp.h"
#include "app/datamodule.h"
#include "app/fmaccess.h"
#include "app/fmusredit.h"
#include "app/rights.h"
#include "app/user.h"
#include "platform/dberror.h"
#include "platform/query.h"
#include "support/messagerecorder.h"
#include "support/testdatabase.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using testsupport::MessageRecorder;
using testsupport::TestDatabase;

namespace {

// Subdivisions 1 and 2, and 3 dismissed. Петров (2) may see 1 and 3, Сидоров (3) nothing; the
// administrator's own rights row has no effect. Vehicles and drivers in each subdivision, in 0
// and in none; a waybill for each of the first four vehicles.
const char* const kFixture[] = {
    "insert into AVSUBDIV (SUBDIV, DISMISS, NAME) values (1, 0, 'Цех 1')",
    "insert into AVSUBDIV (SUBDIV, DISMISS, NAME) values (2, 0, 'Цех 2')",
    "insert into AVSUBDIV (SUBDIV, DISMISS, NAME) values (3, 1, 'Закрытый')",
    "insert into USERS (USR, N, PASS, TYP, DEF) values (2, 'Петров', 'п', 1, 'Механик')",
    "insert into USERS (USR, N, PASS, TYP, DEF) values (3, 'Сидоров', '', 1, 'Диспетчер')",
    "insert into RIGHTS (USR, SUBDIV) values (2, 1)",
    "insert into RIGHTS (USR, SUBDIV) values (2, 3)",
    "insert into RIGHTS (USR, SUBDIV) values (1, 2)",
    "insert into AVCAR (CAR, DISMISS, SUBDIV, STNUMBER) values (1, 0, 1, 'А001')",
    "insert into AVCAR (CAR, DISMISS, SUBDIV, STNUMBER) values (2, 0, 2, 'А002')",
    "insert into AVCAR (CAR, DISMISS, SUBDIV, STNUMBER) values (3, 0, 0, 'А003')",
    "insert into AVCAR (CAR, DISMISS, SUBDIV, STNUMBER) values (4, 0, null, 'А004')",
    "insert into AVCAR (CAR, DISMISS, SUBDIV, STNUMBER) values (5, 0, 3, 'А005')",
    "insert into AVDRIVER (DRIVER, DISMISS, SUBDIV, INITIALS) values (1, 0, 1, 'Иванов')",
    "insert into AVDRIVER (DRIVER, DISMISS, SUBDIV, INITIALS) values (2, 0, 2, 'Козлов')",
    "insert into AVDRIVER (DRIVER, DISMISS, SUBDIV, INITIALS) values (3, 0, 0, 'Орлов')",
    "insert into AVDRIVER (DRIVER, DISMISS, SUBDIV, INITIALS) values (4, 0, null, 'Попов')",
    "insert into AVROADLIST (ROADLIST, CAR) values (10, 1)",
    "insert into AVROADLIST (ROADLIST, CAR) values (20, 2)",
    "insert into AVROADLIST (ROADLIST, CAR) values (30, 3)",
    "insert into AVROADLIST (ROADLIST, CAR) values (40, 4)",
};

using Keys = QList<int>;

class AccessTest : public ::testing::Test {
 protected:
  AccessTest() : dm_(dir_.filePath("Ini.ini"), bsp_) {
    const testsupport::Target t = testsupport::target();
    dm_.DB.setDatabaseName(base_.path());
    dm_.DB.setLogin(t.user, t.password);
    dm_.DB.connect();
    for (const char* s : kFixture) run(s);
  }

  void run(const QString& sql) {
    db::Query q(base_.db());
    q.setSql(sql);
    q.exec();
    base_.tr().commit();
  }

  // The first column of every row, read as another workstation sees the committed data.
  Keys keys(const QString& sql) {
    db::Query q(base_.db());
    q.setSql(sql);
    Keys out;
    for (q.open(); !q.eof(); q.next()) out << int(q.field(0).asInt());
    base_.tr().commit();
    return out;
  }
  Keys rightsOf(int usr) {
    return keys(QString("select SUBDIV from RIGHTS where USR=%1 order by SUBDIV").arg(usr));
  }
  Keys users() { return keys("select USR from USERS order by USR"); }

  TestDatabase base_;  // outlives the data module's connection to it
  QTemporaryDir dir_;
  TBsp bsp_;
  TDM dm_;
  UserStore store_{dm_.IBTransaction};
};

TUser user(int usr, int typ) {
  TUser u;
  u.usr = usr;
  u.typ = typ;
  return u;
}

QString andAlso(const QString& condition) {
  return condition.isEmpty() ? QString() : " and " + condition;
}

// ------------------------------------------------------------------------------ the rights rule

TEST(RightsRule, FragmentsForEachKindOfUser) {
  const TUser restricted = user(7, 1);
  const TUser otherKind = user(12, 2);
  const TUser admin = user(5, 0);
  const struct {
    QString fragment;
    const char* expected;
  } cases[] = {
      {rights::subdivisionJoin(restricted),
       " left join RIGHTS rs on rs.SUBDIV=sv.SUBDIV and rs.USR=7"},
      {rights::subdivisionCondition(restricted), " where DISMISS=0 and rs.SUBDIV is not NULL"},
      {rights::vehicleJoin(restricted), " left join RIGHTS rs on rs.SUBDIV=CR.SUBDIV and rs.USR=7"},
      {rights::vehicleCondition(restricted),
       "(rs.SUBDIV is not NULL or CR.SUBDIV=0 or CR.SUBDIV is NULL)"},
      {rights::driverJoin(restricted), " left join RIGHTS rs on rs.SUBDIV=drv.SUBDIV and rs.USR=7"},
      {rights::driverCondition(restricted),
       "(rs.SUBDIV is not NULL or drv.SUBDIV=0 or drv.SUBDIV is NULL)"},
      {rights::vehicleJoin(otherKind, "A", "r2"),
       " left join RIGHTS r2 on r2.SUBDIV=A.SUBDIV and r2.USR=12"},
      {rights::vehicleCondition(otherKind, "A", "r2"),
       "(r2.SUBDIV is not NULL or A.SUBDIV=0 or A.SUBDIV is NULL)"},
      {rights::subdivisionCondition(otherKind, "r2"), " where DISMISS=0 and r2.SUBDIV is not NULL"},
      {rights::subdivisionJoin(admin), ""},
      {rights::subdivisionCondition(admin), ""},
      {rights::vehicleJoin(admin), ""},
      {rights::vehicleCondition(admin), ""},
      {rights::driverJoin(admin), ""},
      {rights::driverCondition(admin), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.fragment, QString::fromUtf8(c.expected));
  EXPECT_TRUE(rights::isRestricted(otherKind));
  EXPECT_FALSE(rights::isRestricted(admin));
}

TEST_F(AccessTest, RightsRuleNarrowsRealQueries) {
  const struct {
    const char* who;
    TUser u;
    Keys subdivs, cars, drivers, waybills;
  } cases[] = {
      {"administrator", user(1, 0), {1, 2}, {1, 2, 3, 4, 5}, {1, 2, 3, 4}, {10, 20, 30, 40}},
      {"restricted with rights", user(2, 1), {1}, {1, 3, 4, 5}, {1, 3, 4}, {10, 30, 40}},
      {"restricted without rights", user(3, 1), {}, {3, 4}, {3, 4}, {30, 40}},
  };
  for (const auto& c : cases) {
    const TUser& u = c.u;
    // As the lists build them: the administrator's subdivision list has its own condition.
    const QString subdivs =
        rights::isRestricted(u)
            ? "select sv.SUBDIV,sv.DISMISS,sv.NAME,sv.FNAME from AVSUBDIV sv" +
                  rights::subdivisionJoin(u) + rights::subdivisionCondition(u) + " order by SUBDIV"
            : QString(
                  "select SUBDIV,DISMISS,NAME,FNAME from AVSUBDIV where DISMISS=0 order by "
                  "SUBDIV");
    EXPECT_EQ(keys(subdivs), c.subdivs) << c.who;
    EXPECT_EQ(keys("select CR.CAR,MRK.NAME from AVCAR CR left join AVMARK MRK on "
                   "MRK.MARK=CR.MARK" +
                   rights::vehicleJoin(u) + " where  CR.DISMISS=0" +
                   andAlso(rights::vehicleCondition(u)) + " order by CR.CAR"),
              c.cars)
        << c.who;
    // The caller's own aliases.
    EXPECT_EQ(
        keys("select A.CAR from AVCAR A" + rights::vehicleJoin(u, "A", "g") + " where A.DISMISS=0" +
             andAlso(rights::vehicleCondition(u, "A", "g")) + " order by A.CAR"),
        c.cars)
        << c.who;
    EXPECT_EQ(keys("select drv.DRIVER from AVDRIVER drv" + rights::driverJoin(u) +
                   " where DISMISS=0" + andAlso(rights::driverCondition(u)) + " order by DRIVER"),
              c.drivers)
        << c.who;
    EXPECT_EQ(keys("select PL.ROADLIST from AVROADLIST PL left join AVCAR CR on CR.CAR=PL.CAR "
                   "left join AVDRIVER DR on DR.DRIVER=PL.DRIVER" +
                   rights::vehicleJoin(u) + "\n where PL.ROADLIST>0" +
                   andAlso(rights::vehicleCondition(u)) + " order by PL.ROADLIST"),
              c.waybills)
        << c.who;
  }
}

// ------------------------------------------------------------------------------ the user store

TEST_F(AccessTest, NextKeyIsOneAboveTheLowestKeyWithAFreeSuccessor) {
  const struct {
    Keys present;
    int next;
  } cases[] = {{{1, 2, 4}, 3}, {{1, 2, 3, 4, 5}, 6}, {{1}, 2}, {{1, 3, 4}, 2}, {{1, 2, 3, 7}, 4}};
  auto setUsers = [&](const Keys& present) {
    run("delete from USERS where USR > 1");
    for (int k : present)
      if (k > 1) run(QString("insert into USERS (USR, N, TYP) values (%1, 'u%1', 1)").arg(k));
  };
  for (const auto& c : cases) {
    setUsers(c.present);
    EXPECT_EQ(store_.nextKey(), c.next) << c.next;
  }
  // After deleting 3 out of 1 to 5 the next user gets 3.
  setUsers({1, 2, 3, 4, 5});
  EXPECT_TRUE(store_.remove(3));
  EXPECT_EQ(store_.nextKey(), 3);
  UserEntry e{"Новый", "", "", 1, ""};
  EXPECT_EQ(store_.save(0, e).key, 3);
}

TEST_F(AccessTest, SaveChecksAndTheirMessages) {
  const struct {
    const char* what;
    int usr;
    UserEntry entry;
    QString refusal;
  } cases[] = {
      {"empty name", 0, {"", "a", "a", 1, ""}, UserStore::kEmptyName},
      {"blank name", 0, {"   ", "a", "a", 1, ""}, UserStore::kEmptyName},
      {"empty name before mismatch", 0, {"", "a", "b", 1, ""}, UserStore::kEmptyName},
      {"mismatch", 0, {"Кузнецов", "Secret", "secret", 1, ""}, UserStore::kPasswordMismatch},
      {"same name in other case on add", 0, {"ПЕТРОВ", "", "", 1, ""}, UserStore::kDuplicateName},
      {"built-in name in lower case", 0, {"iuc_ckgqbw", "", "", 0, ""}, UserStore::kDuplicateName},
      {"another user's name on edit", 3, {"пЕТРОВ", "", "", 1, ""}, UserStore::kDuplicateName},
      {"own name in other case on edit", 2, {"ПЕТРОВ", "п2", "п2", 1, "Механик"}, ""},
      {"empty password with empty confirmation", 0, {"Кузнецов", "", "", 1, "Водитель"}, ""},
  };
  for (const auto& c : cases) {
    const Keys before = users();
    const SaveOutcome outcome = store_.save(c.usr, c.entry);
    EXPECT_EQ(outcome.refusal, c.refusal) << c.what;
    EXPECT_EQ(outcome.saved(), c.refusal.isEmpty()) << c.what;
    if (!outcome.saved()) {
      EXPECT_EQ(outcome.key, 0) << c.what;
      EXPECT_EQ(users(), before) << c.what;
    }
  }
  // The saved rows, read back: the name as typed, the empty password as an empty one.
  const UserRecord edited = store_.load(2);
  EXPECT_EQ(edited.name, "ПЕТРОВ");
  EXPECT_EQ(edited.password, "п2");
  const UserRecord added = store_.load(4);
  EXPECT_EQ(added.name, "Кузнецов");
  EXPECT_EQ(added.password, "");
  EXPECT_EQ(added.typ, 1);
  EXPECT_EQ(added.def, "Водитель");
  EXPECT_EQ(keys("select count(*) from USERS where N = 'Кузнецов' and PASS = ''"), Keys({1}));
}

TEST_F(AccessTest, BuiltInAdministratorKeepsNameAndKindAndCannotBeDeleted) {
  const SaveOutcome outcome = store_.save(1, {"Другой", "new", "new", 1, "Главный"});
  ASSERT_TRUE(outcome.saved());
  EXPECT_EQ(outcome.key, 1);
  const UserRecord r = store_.load(1);
  EXPECT_EQ(r.name, "IUC_CKGQBW");
  EXPECT_EQ(r.typ, 0);
  EXPECT_EQ(r.password, "new");
  EXPECT_EQ(r.def, "Главный");
  EXPECT_FALSE(store_.remove(1));
  EXPECT_EQ(users(), Keys({1, 2, 3}));
}

TEST_F(AccessTest, EditOfAUserDeletedElsewhereFailsInsteadOfSavingNothing) {
  run("delete from USERS where USR = 3");
  EXPECT_THROW(store_.load(3), db::DbError);
  EXPECT_THROW(store_.save(3, {"Сидоров", "", "", 1, ""}), db::DbError);
  EXPECT_FALSE(dm_.IBTransaction.inTransaction());  // rolled back
  EXPECT_EQ(users(), Keys({1, 2}));
}

TEST_F(AccessTest, DeleteRemovesTheRightsSoAReusedKeyStartsWithout) {
  ASSERT_EQ(rightsOf(2), Keys({1, 3}));
  run("insert into RIGHTS (USR, SUBDIV) values (4, 2)");  // left behind by an older program
  EXPECT_TRUE(store_.remove(2));
  EXPECT_EQ(users(), Keys({1, 3}));
  EXPECT_TRUE(rightsOf(2).isEmpty());
  EXPECT_EQ(rightsOf(1), Keys({2}));

  const SaveOutcome reused = store_.save(0, {"Новиков", "", "", 1, ""});
  ASSERT_EQ(reused.key, 2);
  EXPECT_TRUE(rightsOf(2).isEmpty());
  const SaveOutcome next = store_.save(0, {"Егоров", "", "", 1, ""});
  ASSERT_EQ(next.key, 4);
  EXPECT_TRUE(rightsOf(4).isEmpty());
}

TEST_F(AccessTest, KeyTakenByAnotherWorkstationIsChosenAgain) {
  auto other = base_.connectAgain();
  db::Transaction otherTr(*other);
  db::Query otherInsert(*other, &otherTr);
  otherInsert.setSql("insert into USERS (USR, N, TYP) values (:USR, :N, 1)");
  auto takeFirst = [&](int key, bool commit) {
    otherInsert.param("USR").setInt(key);
    otherInsert.param("N").setString(QString("Соседний %1").arg(key));
    otherInsert.exec();
    if (commit) otherTr.commit();
  };

  // The other workstation commits the key between our choice and our insert.
  int chosen = 0;
  store_.setKeyChooser([&] {
    const int key = store_.nextKey();
    if (chosen++ == 0) takeFirst(key, true);
    return key;
  });
  SaveOutcome outcome = store_.save(0, {"Первый", "", "", 1, ""});
  EXPECT_EQ(chosen, 2);
  EXPECT_EQ(outcome.key, 5);
  EXPECT_EQ(users(), Keys({1, 2, 3, 4, 5}));

  // The other workstation has inserted the key and not yet committed: invisible to nextKey.
  store_.setKeyChooser({});
  takeFirst(6, false);
  outcome = store_.save(0, {"Второй", "", "", 1, ""});
  EXPECT_EQ(outcome.key, 7);
  otherTr.commit();
  EXPECT_EQ(users(), Keys({1, 2, 3, 4, 5, 6, 7}));

  // A few attempts, then the failure is shown rather than lost.
  int attempts = 0;
  store_.setKeyChooser([&] {
    ++attempts;
    const int key = store_.nextKey();
    takeFirst(key, true);
    return key;
  });
  try {
    store_.save(0, {"Третий", "", "", 1, ""});
    ADD_FAILURE() << "saved although every key was taken";
  } catch (const db::DbError& e) {
    EXPECT_EQ(e.sqlCode(), -803);
  }
  EXPECT_EQ(attempts, UserStore::kKeyAttempts);
  EXPECT_EQ(keys("select count(*) from USERS where N = 'Третий'"), Keys({0}));
}

TEST_F(AccessTest, GrantAndWithdraw) {
  EXPECT_TRUE(store_.grant(3, 2));
  EXPECT_FALSE(store_.grant(3, 2));  // once is enough; the second changes nothing
  EXPECT_EQ(rightsOf(3), Keys({2}));
  EXPECT_FALSE(store_.grant(3, 0));
  EXPECT_EQ(rightsOf(3), Keys({2}));

  // Every subdivision, dismissed ones too; then nothing more to insert, and still committed.
  EXPECT_EQ(store_.grantAll(3), 2);
  EXPECT_EQ(rightsOf(3), Keys({1, 2, 3}));
  EXPECT_EQ(store_.grantAll(3), 0);
  EXPECT_EQ(rightsOf(3), Keys({1, 2, 3}));
  EXPECT_FALSE(dm_.IBTransaction.inTransaction());

  EXPECT_TRUE(store_.withdraw(3, 2));
  EXPECT_FALSE(store_.withdraw(3, 2));
  EXPECT_EQ(rightsOf(3), Keys({1, 3}));
  store_.withdrawAll(3);
  EXPECT_TRUE(rightsOf(3).isEmpty());
  EXPECT_EQ(rightsOf(2), Keys({1, 3}));  // nobody else's
}

// ---------------------------------------------------------------------------------- windows

// Typed text as key presses; QTest::keyClicks sends only Latin-1 characters.
void type(QWidget* w, const QString& text) {
  for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), {});
}

QString cell(const QueryGrid* grid, int row, int column) {
  return grid->model()->index(row, column).data().toString();
}

TEST_F(AccessTest, AccessWindowFollowsTheCurrentUserAndPutsTheListsBack) {
  MessageRecorder messages;
  TfmAccess w(dm_);
  int edited = -1;
  w.setUserEditor([&](int key) {
    edited = key;
    return key == 0 ? store_.save(0, {"Андреев", "", "", 1, ""}).key : key;
  });
  w.openLists();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  EXPECT_EQ(w.windowTitle(), "Управление доступом к подсистеме");
  const QAbstractItemModel* userList = w.usersGrid()->model();
  EXPECT_EQ(userList->headerData(0, Qt::Horizontal).toString(), "Пользователь");
  EXPECT_EQ(userList->headerData(1, Qt::Horizontal).toString(), "Уровень доступа");
  EXPECT_EQ(userList->headerData(2, Qt::Horizontal).toString(), "Описание");

  // The built-in administrator first (Latin before Cyrillic): it cannot be deleted.
  EXPECT_EQ(w.currentUser(), 1);
  EXPECT_EQ(cell(w.usersGrid(), 0, 1), "Администратор");
  EXPECT_FALSE(w.deleteButton()->isEnabled());
  EXPECT_EQ(cell(w.grantedGrid(), 0, 0), "Цех 2");

  QTest::keyClick(w.usersGrid(), Qt::Key_Down);
  EXPECT_EQ(w.currentUser(), 2);
  EXPECT_EQ(cell(w.usersGrid(), 1, 1), "Пользователь");
  EXPECT_TRUE(w.deleteButton()->isEnabled());
  ASSERT_EQ(w.grantedGrid()->model()->rowCount(), 2);
  EXPECT_EQ(cell(w.grantedGrid(), 0, 0), "Закрытый");

  // ">>" on a subdivision already granted: nothing happens, nothing is said.
  EXPECT_EQ(w.currentSubdiv(), 3);  // "Закрытый" is first by name
  QTest::mouseClick(w.grantButton(), Qt::LeftButton);
  EXPECT_EQ(rightsOf(2), Keys({1, 3}));
  QTest::keyClick(w.subdivGrid(), Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(w.currentSubdiv(), 2);
  QTest::mouseClick(w.grantButton(), Qt::LeftButton);
  EXPECT_EQ(rightsOf(2), Keys({1, 2, 3}));
  // Reopened on the same rows, the new right current.
  EXPECT_EQ(w.currentUser(), 2);
  EXPECT_EQ(w.currentSubdiv(), 2);
  EXPECT_EQ(w.currentGranted(), 2);
  QTest::mouseClick(w.withdrawButton(), Qt::LeftButton);
  EXPECT_EQ(rightsOf(2), Keys({1, 3}));
  QTest::mouseClick(w.withdrawAllButton(), Qt::LeftButton);
  EXPECT_TRUE(rightsOf(2).isEmpty());
  EXPECT_EQ(w.grantedGrid()->model()->rowCount(), 0);
  QTest::mouseClick(w.grantAllButton(), Qt::LeftButton);
  EXPECT_EQ(rightsOf(2), Keys({1, 2, 3}));
  EXPECT_EQ(w.grantedGrid()->model()->rowCount(), 3);

  // Adding puts the list on the new user.
  QTest::mouseClick(w.addButton(), Qt::LeftButton);
  EXPECT_EQ(edited, 0);
  EXPECT_EQ(w.currentUser(), 4);
  EXPECT_EQ(cell(w.usersGrid(), w.usersGrid()->currentIndex().row(), 0), "Андреев");
  QTest::mouseClick(w.editButton(), Qt::LeftButton);
  EXPECT_EQ(edited, 4);
  EXPECT_EQ(w.currentUser(), 4);

  // Delete asks first; "No" leaves the user.
  w.usersGrid()->locate("USR", 2);
  messages.answers = {msg::No};
  QTest::mouseClick(w.deleteButton(), Qt::LeftButton);
  EXPECT_EQ(users(), Keys({1, 2, 3, 4}));
  messages.answers = {msg::Yes};
  QTest::mouseClick(w.deleteButton(), Qt::LeftButton);
  EXPECT_EQ(users(), Keys({1, 3, 4}));
  EXPECT_TRUE(rightsOf(2).isEmpty());
  EXPECT_EQ(w.currentUser(), 1);  // back on the first row
  EXPECT_FALSE(w.deleteButton()->isEnabled());
  ASSERT_EQ(messages.messages.size(), 2u);
  for (const auto& m : messages.messages) {
    EXPECT_EQ(m.kind, msg::Kind::Confirmation);
    EXPECT_EQ(m.text, "Удалить выбранного пользователя?");
    EXPECT_EQ(m.buttons, msg::Yes | msg::No);
  }
}

TEST_F(AccessTest, UserEditorGuardsTheBuiltInAdministratorAndKeepsTypedTextOnFailure) {
  MessageRecorder messages;
  {
    TfmUsrEdit admin(dm_, 1);
    EXPECT_EQ(admin.windowTitle(), "Редактирование пользователя");
    EXPECT_EQ(admin.nameEdit()->text(), "IUC_CKGQBW");
    EXPECT_FALSE(admin.nameEdit()->isEnabled());
    EXPECT_FALSE(admin.kindBox()->isEnabled());
    EXPECT_EQ(admin.kindGroup()->checkedId(), 0);
    EXPECT_TRUE(admin.passwordEdit()->isEnabled());
    EXPECT_TRUE(admin.commentEdit()->isEnabled());
    EXPECT_EQ(admin.commentEdit()->toPlainText(), "Администратор комплекса");
  }
  {
    TfmUsrEdit other(dm_, 2);
    EXPECT_TRUE(other.nameEdit()->isEnabled());
    EXPECT_TRUE(other.kindBox()->isEnabled());
    EXPECT_EQ(other.kindGroup()->checkedId(), 1);
    EXPECT_EQ(other.confirmationEdit()->text(), "п");
  }

  TfmUsrEdit w(dm_, 0);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  EXPECT_EQ(w.windowTitle(), "Добавление пользователя");
  EXPECT_EQ(w.kindGroup()->checkedId(), 0);  // "Администратор" preset
  // The column sizes bound what can be typed.
  EXPECT_EQ(w.nameEdit()->maxLength(), 30);
  EXPECT_EQ(w.passwordEdit()->maxLength(), 20);
  EXPECT_EQ(w.passwordEdit()->echoMode(), QLineEdit::Password);
  w.commentEdit()->setPlainText(QString(250, 'x'));
  EXPECT_EQ(w.commentEdit()->toPlainText().size(), 200);
  w.commentEdit()->clear();
  // Enter moves on to the next field; it does not save.
  w.nameEdit()->setFocus();
  QTest::keyClick(w.nameEdit(), Qt::Key_Return);
  EXPECT_TRUE(w.passwordEdit()->hasFocus());
  EXPECT_TRUE(w.isVisible());
  type(w.nameEdit(), "Кассир");
  QTest::keyClicks(w.passwordEdit(), "abc");
  QTest::keyClicks(w.confirmationEdit(), "abd");
  QTest::mouseClick(w.kindGroup()->button(1), Qt::LeftButton);
  type(w.commentEdit(), "Касса 2, ₽");

  // A refused check.
  QTest::mouseClick(w.saveButton(), Qt::LeftButton);
  EXPECT_EQ(messages.texts(), QStringList{UserStore::kPasswordMismatch});
  // A failed save: the comment holds a character the database's code page lacks.
  w.confirmationEdit()->clear();
  QTest::keyClicks(w.confirmationEdit(), "abc");
  QTest::mouseClick(w.saveButton(), Qt::LeftButton);
  ASSERT_EQ(messages.messages.size(), 2u);
  EXPECT_EQ(messages.messages[1].kind, msg::Kind::Error);
  EXPECT_TRUE(messages.messages[1].text.contains("₽"));
  EXPECT_FALSE(dm_.IBTransaction.inTransaction());  // rolled back
  EXPECT_EQ(users(), Keys({1, 2, 3}));

  // Still open, with everything as typed.
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.savedKey(), 0);
  EXPECT_EQ(w.nameEdit()->text(), "Кассир");
  EXPECT_EQ(w.passwordEdit()->text(), "abc");
  EXPECT_EQ(w.kindGroup()->checkedId(), 1);
  EXPECT_EQ(w.commentEdit()->toPlainText(), "Касса 2, ₽");

  QTest::keyClick(w.commentEdit(), Qt::Key_Backspace);
  QTest::mouseClick(w.saveButton(), Qt::LeftButton);
  EXPECT_EQ(messages.messages.size(), 2u);
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.result(), QDialog::Accepted);
  EXPECT_EQ(w.savedKey(), 4);
  const UserRecord saved = store_.load(4);
  EXPECT_EQ(saved.name, "Кассир");
  EXPECT_EQ(saved.typ, 1);
  EXPECT_EQ(saved.def, "Касса 2, ");
}

}  // namespace
