#pragma once

#include <QString>

#include <functional>

namespace db {
class Transaction;
class DbError;
}  // namespace db

struct TUser;

// The rights rule: a restricted user sees only the subdivisions granted in RIGHTS, and the
// vehicles (and through them the waybills) and drivers of those subdivisions or of none. Every
// list and report narrows its statement with these pieces, so the rule is written only here.
// An administrator (kind 0) gets empty pieces: nothing is narrowed.
//
// The user's key goes into the text as a decimal literal: it is the program's own key, never
// typed text. The row alias is the caller's (the defaults are the usual ones); the alias of
// RIGHTS can be changed when a statement already uses "rs" for something else.
namespace rights {

// True when the user's lists are narrowed.
bool isRestricted(const TUser& user);

// " left join RIGHTS rs on rs.SUBDIV=<row>.SUBDIV and rs.USR=<key>", or empty.
QString join(const TUser& user, const QString& rowAlias, const QString& rightsAlias = "rs");

// Subdivisions: the join on "sv" and the whole condition of the subdivision list,
// " where DISMISS=0 and rs.SUBDIV is not NULL". The condition carries the list's own
// DISMISS=0, so an administrator's statement writes its own " where DISMISS=0".
QString subdivisionJoin(const TUser& user, const QString& alias = "sv",
                        const QString& rightsAlias = "rs");
QString subdivisionCondition(const TUser& user, const QString& rightsAlias = "rs");

// Vehicles ("CR"; waybills through their vehicle): the join, and the condition
// "(rs.SUBDIV is not NULL or CR.SUBDIV=0 or CR.SUBDIV is NULL)" for the caller to put after
// its own " where ... and ".
QString vehicleJoin(const TUser& user, const QString& alias = "CR",
                    const QString& rightsAlias = "rs");
QString vehicleCondition(const TUser& user, const QString& alias = "CR",
                         const QString& rightsAlias = "rs");

// Drivers ("drv"): as for vehicles.
QString driverJoin(const TUser& user, const QString& alias = "drv",
                   const QString& rightsAlias = "rs");
QString driverCondition(const TUser& user, const QString& alias = "drv",
                        const QString& rightsAlias = "rs");

}  // namespace rights

// A row of USERS.
struct UserRecord {
  int usr = 0;
  QString name;      // N, as typed
  QString password;  // PASS, compared exactly at login
  int typ = 0;       // 0 administrator, any other value restricted
  QString def;       // description
};

// What the user editor hands over to be saved.
struct UserEntry {
  QString name;
  QString password;
  QString confirmation;
  int typ = 0;  // the index of the kind chosen: 0 "Администратор", 1 "Пользователь"
  QString def;
};

// The result of a save: the user's key, or the message of the check that refused it.
struct SaveOutcome {
  int key = 0;
  QString refusal;
  bool saved() const { return refusal.isEmpty(); }
};

// The users and their rights. Every change runs on the given transaction (the shared one of
// the data module), ends with a full commit and is rolled back when it fails; failures come
// out as db::DbError for the window to show. Ending the transaction closes the queries open on
// it, so a window reopens its lists after each change.
class UserStore {
 public:
  static constexpr int kBuiltInAdministrator = 1;
  // Attempts at a new user's key when other workstations take the chosen one first.
  static constexpr int kKeyAttempts = 5;

  static inline const QString kEmptyName = QStringLiteral("Введите имя пользователя!");
  static inline const QString kPasswordMismatch =
      QStringLiteral("Введенный пароль не совпадает с подтверждением пароля!");
  static inline const QString kDuplicateName =
      QStringLiteral("Пользователь с таким именем уже зарегистрирован в системе!");

  explicit UserStore(db::Transaction& tr);

  // One more than the lowest key whose successor is free (1 for an empty table).
  int nextKey();
  // The row of a user; throws db::DbError when there is none (deleted elsewhere).
  UserRecord load(int usr);
  // The message of the first check that refuses the entry for the user usr (0: a new one),
  // empty when it may be saved. Names are unique without regard to case, on edit as on add.
  QString check(int usr, const UserEntry& entry);
  // Checks and saves: an update of usr, or for usr 0 an insert under a new key. The built-in
  // administrator keeps its name and kind whatever the entry says.
  SaveOutcome save(int usr, const UserEntry& entry);
  // Deletes the user with its rights (keys are used again: a later user must not inherit
  // them). The built-in administrator is never deleted: false.
  bool remove(int usr);
  // Grants one subdivision; false when it was granted already (nothing is done then).
  bool grant(int usr, int subdiv);
  // Withdraws one subdivision; false when it was not granted.
  bool withdraw(int usr, int subdiv);
  // Grants every subdivision not yet granted; the number granted now.
  int grantAll(int usr);
  void withdrawAll(int usr);

  // How a new key is chosen (nextKey by default). Tests put another workstation in between.
  void setKeyChooser(std::function<int()> chooser) { chooseKey_ = std::move(chooser); }

 private:
  int insertUser(const UserEntry& entry);
  bool keyTaken(int key);
  int freeKeyAbove(int key);

  db::Transaction& tr_;
  std::function<int()> chooseKey_;
};

// True when an insert failed because its key is taken, by a committed row or by one another
// workstation has inserted and not yet committed (the engine says -803 for both).
bool isKeyCollision(const db::DbError& e);
