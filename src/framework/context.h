#pragma once

class IniFile;

namespace db {
class Database;
class Transaction;
class Query;
}  // namespace db

// What the windows of the framework need of the data module: the connection, the transaction
// of the lists, the shared transaction of the editors, a scratch query and the settings file.
struct FrameworkContext {
  db::Database& db;
  db::Transaction& trList;
  db::Transaction& shared;
  db::Query& qryTemp;
  IniFile& ini;
  int decPl = 2;  // decimals of fuel quantities, for the rounding of editors
  // The logged-in user, for lists that narrow what a restricted user sees (kind 0: everything).
  int userKey = 0;
  int userKind = 0;
};
