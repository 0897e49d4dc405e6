#include "app/rights.h"

#include "app/user.h"
#include "platform/database.h"
#include "platform/dberror.h"
#include "platform/query.h"

#include <QSet>

#include <algorithm>
#include <vector>

// ------------------------------------------------------------------------------- the rule

namespace rights {

bool isRestricted(const TUser& user) {
  return !user.isAdministrator();
}

QString join(const TUser& user, const QString& rowAlias, const QString& rightsAlias) {
  if (!isRestricted(user)) return {};
  return QStringLiteral(" left join RIGHTS %1 on %1.SUBDIV=%2.SUBDIV and %1.USR=%3")
      .arg(rightsAlias, rowAlias, QString::number(user.usr));
}

QString subdivisionJoin(const TUser& user, const QString& alias, const QString& rightsAlias) {
  return join(user, alias, rightsAlias);
}

QString subdivisionCondition(const TUser& user, const QString& rightsAlias) {
  if (!isRestricted(user)) return {};
  return QStringLiteral(" where DISMISS=0 and %1.SUBDIV is not NULL").arg(rightsAlias);
}

namespace {
// A row is visible when its subdivision is granted or when it has none (0 or null).
QString grantedOrNone(const TUser& user, const QString& alias, const QString& rightsAlias) {
  if (!isRestricted(user)) return {};
  return QStringLiteral("(%1.SUBDIV is not NULL or %2.SUBDIV=0 or %2.SUBDIV is NULL)")
      .arg(rightsAlias, alias);
}
}  // namespace

QString vehicleJoin(const TUser& user, const QString& alias, const QString& rightsAlias) {
  return join(user, alias, rightsAlias);
}

QString vehicleCondition(const TUser& user, const QString& alias, const QString& rightsAlias) {
  return grantedOrNone(user, alias, rightsAlias);
}

QString driverJoin(const TUser& user, const QString& alias, const QString& rightsAlias) {
  return join(user, alias, rightsAlias);
}

QString driverCondition(const TUser& user, const QString& alias, const QString& rightsAlias) {
  return grantedOrNone(user, alias, rightsAlias);
}

}  // namespace rights

// ------------------------------------------------------------------------------ the store

bool isKeyCollision(const db::DbError& e) {
  return e.sqlCode() == -803;
}

UserStore::UserStore(db::Transaction& tr) : tr_(tr) {}

int UserStore::nextKey() {
  db::Query q(tr_.database(), &tr_);
  q.setSql(QStringLiteral(
      "select min(rs.USR)+1 as USR from USERS rs left join USERS rs1 on rs1.USR=rs.USR+1 "
      "where rs1.USR is NULL"));
  q.open();
  // Null only for an empty table, where the first key is free.
  return q.field(QStringLiteral("USR")).isNull()
             ? 1
             : static_cast<int>(q.field(QStringLiteral("USR")).asInt());
}

bool UserStore::keyTaken(int key) {
  db::Query q(tr_.database(), &tr_);
  q.setSql(QStringLiteral("select USR from USERS where USR=:USR"));
  q.param(QStringLiteral("USR")).setInt(key);
  q.open();
  return !q.isEmpty();
}

// The lowest key above `key` that no row we can see holds. The row at `key` itself may be
// another workstation's, not yet committed, and so invisible here.
int UserStore::freeKeyAbove(int key) {
  if (!keyTaken(key + 1)) return key + 1;
  db::Query q(tr_.database(), &tr_);
  q.setSql(QStringLiteral(
      "select min(rs.USR)+1 as USR from USERS rs left join USERS rs1 on rs1.USR=rs.USR+1 "
      "where rs1.USR is NULL and rs.USR>:AFTER"));
  q.param(QStringLiteral("AFTER")).setInt(key);
  q.open();
  return static_cast<int>(q.field(QStringLiteral("USR")).asInt());
}

UserRecord UserStore::load(int usr) {
  db::Query q(tr_.database(), &tr_);
  q.setSql(QStringLiteral("select N,PASS,TYP,DEF from users where USR=:USR"));
  q.param(QStringLiteral("USR")).setInt(usr);
  q.open();
  if (q.isEmpty())
    throw db::DbError(
        QStringLiteral("Пользователь с кодом %1 не найден: возможно, он удален с другого "
                       "рабочего места.")
            .arg(usr));
  UserRecord r;
  r.usr = usr;
  r.name = q.field(QStringLiteral("N")).asString();
  r.password = q.field(QStringLiteral("PASS")).asString();
  r.typ = static_cast<int>(q.field(QStringLiteral("TYP")).asInt());
  r.def = q.field(QStringLiteral("DEF")).asString();
  return r;
}

QString UserStore::check(int usr, const UserEntry& entry) {
  // A name of blanks is no name: nobody could type it at login and tell it apart.
  if (entry.name.trimmed().isEmpty()) return kEmptyName;
  if (entry.password != entry.confirmation) return kPasswordMismatch;
  db::Query q(tr_.database(), &tr_);
  q.setSql(QStringLiteral("select USR from users where Upper(N)=:N"));
  q.param(QStringLiteral("N")).setString(entry.name.toUpper());
  q.open();
  // On edit the user's own row matches; any other row is another user of the same name, and
  // login would take whichever the engine returns first.
  for (; !q.eof(); q.next())
    if (q.field(QStringLiteral("USR")).asInt() != usr) return kDuplicateName;
  return {};
}

namespace {
void bindUser(db::Query& q, int usr, const UserEntry& e) {
  q.param(QStringLiteral("USR")).setInt(usr);
  q.param(QStringLiteral("N")).setString(e.name);
  q.param(QStringLiteral("PASS")).setString(e.password);
  q.param(QStringLiteral("TYP")).setInt(e.typ);
  q.param(QStringLiteral("DEF")).setString(e.def);
}
}  // namespace

int UserStore::insertUser(const UserEntry& entry) {
  db::Query q(tr_.database(), &tr_);
  q.setSql(
      QStringLiteral("insert into users (USR,N,PASS,TYP,DEF) values(:USR,:N,:PASS,:TYP,:DEF)"));
  // Two workstations adding a user at once choose the same key; the later insert fails on the
  // key and chooses again. A key taken by a row not yet committed stays invisible to nextKey,
  // so a key that failed once is never chosen again.
  QSet<int> failed;
  int highestFailed = 0;
  for (int attempt = 1;; ++attempt) {
    int key = chooseKey_ ? chooseKey_() : nextKey();
    if (failed.contains(key)) key = freeKeyAbove(highestFailed);
    bindUser(q, key, entry);
    try {
      q.exec();
      return key;
    } catch (const db::DbError& e) {
      if (!isKeyCollision(e) || attempt >= kKeyAttempts) throw;
      failed.insert(key);
      highestFailed = std::max(highestFailed, key);
    }
  }
}

SaveOutcome UserStore::save(int usr, const UserEntry& entry) {
  UserEntry e = entry;
  e.typ = e.typ == 0 ? 0 : 1;
  if (usr == kBuiltInAdministrator) {
    const UserRecord stored = load(usr);
    e.name = stored.name;
    e.typ = stored.typ;
  }
  // The checks change nothing: a refusal leaves the transaction as it was.
  if (QString refusal = check(usr, e); !refusal.isEmpty()) return {0, refusal};

  db::TransactionGuard guard(tr_);
  int key = usr;
  if (usr == 0) {
    key = insertUser(e);
    // Rights left behind under this key (by a delete that did not remove them) are not the new
    // user's.
    db::Query del(tr_.database(), &tr_);
    del.setSql(QStringLiteral("delete from rights where USR=:USR"));
    del.param(QStringLiteral("USR")).setInt(key);
    del.exec();
  } else {
    db::Query q(tr_.database(), &tr_);
    q.setSql(QStringLiteral("update users set N=:N,PASS=:PASS,TYP=:TYP,DEF=:DEF where USR=:USR"));
    bindUser(q, usr, e);
    q.exec();
    if (q.rowsAffected() == 0)
      throw db::DbError(
          QStringLiteral("Пользователь с кодом %1 не найден: возможно, он удален с другого "
                         "рабочего места. Изменения не записаны.")
              .arg(usr));
  }
  guard.commit();
  return {key, {}};
}

bool UserStore::remove(int usr) {
  if (usr == kBuiltInAdministrator || usr <= 0) return false;
  db::TransactionGuard guard(tr_);
  db::Query q(tr_.database(), &tr_);
  q.setSql(QStringLiteral("delete from users where USR=:USR"));
  q.param(QStringLiteral("USR")).setInt(usr);
  q.exec();
  const bool deleted = q.rowsAffected() > 0;
  q.setSql(QStringLiteral("delete from rights where USR=:USR"));
  q.param(QStringLiteral("USR")).setInt(usr);
  q.exec();
  guard.commit();
  return deleted;
}

bool UserStore::grant(int usr, int subdiv) {
  if (usr <= 0 || subdiv <= 0) return false;
  db::Query q(tr_.database(), &tr_);
  q.setSql(QStringLiteral("select USR from rights where USR=:USR and SUBDIV=:SUBDIV"));
  q.param(QStringLiteral("USR")).setInt(usr);
  q.param(QStringLiteral("SUBDIV")).setInt(subdiv);
  q.open();
  if (!q.isEmpty()) return false;
  q.close();
  db::TransactionGuard guard(tr_);
  q.setSql(QStringLiteral("insert into rights (USR,SUBDIV) values(:USR,:SUBDIV)"));
  q.exec();
  guard.commit();
  return true;
}

bool UserStore::withdraw(int usr, int subdiv) {
  db::TransactionGuard guard(tr_);
  db::Query q(tr_.database(), &tr_);
  q.setSql(QStringLiteral("delete from rights where USR=:USR and SUBDIV=:SUBDIV"));
  q.param(QStringLiteral("USR")).setInt(usr);
  q.param(QStringLiteral("SUBDIV")).setInt(subdiv);
  q.exec();
  const bool withdrawn = q.rowsAffected() > 0;
  guard.commit();
  return withdrawn;
}

int UserStore::grantAll(int usr) {
  if (usr <= 0) return 0;
  db::TransactionGuard guard(tr_);
  db::Query missing(tr_.database(), &tr_);
  missing.setSql(
      QStringLiteral("select sv.SUBDIV from avsubdiv sv left join rights rs on "
                     "rs.SUBDIV=sv.SUBDIV and rs.USR=:USR where rs.SUBDIV is NULL and "
                     "sv.SUBDIV>0"));
  missing.param(QStringLiteral("USR")).setInt(usr);
  missing.open();
  // Read the whole list before inserting: the inserts change what the join would return.
  std::vector<int> subdivs;
  for (; !missing.eof(); missing.next())
    subdivs.push_back(static_cast<int>(missing.field(QStringLiteral("SUBDIV")).asInt()));
  missing.close();
  db::Query insert(tr_.database(), &tr_);
  insert.setSql(QStringLiteral("insert into rights (USR, SUBDIV) values(:USR, :SUBDIV)"));
  insert.prepare();
  insert.param(QStringLiteral("USR")).setInt(usr);
  for (int subdiv : subdivs) {
    insert.param(QStringLiteral("SUBDIV")).setInt(subdiv);
    insert.exec();
  }
  const int granted = static_cast<int>(subdivs.size());
  guard.commit();
  return granted;
}

void UserStore::withdrawAll(int usr) {
  db::TransactionGuard guard(tr_);
  db::Query q(tr_.database(), &tr_);
  q.setSql(QStringLiteral("delete from rights where USR=:USR"));
  q.param(QStringLiteral("USR")).setInt(usr);
  q.exec();
  guard.commit();
}
