#pragma once

#include <QString>

#include <vector>

namespace Firebird {
class IAttachment;
class ITransaction;
}  // namespace Firebird

namespace db {

class Transaction;
class Query;

// Sets FIREBIRD_LOCK to a folder of the user's own when the environment names none: the
// embedded engine keeps its lock files there and the system default is often not writable.
void ensureLockFolder();

// True for "host:path" (and "host/port:path"), false for a plain file path (embedded engine).
bool isServerPath(const QString& path);

// The one connection of the program. Plain paths open the database in-process through the
// embedded engine; "host:path" goes to a server.
class Database {
 public:
  Database();
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  void setDatabaseName(const QString& path) { path_ = path; }
  const QString& databaseName() const { return path_; }
  void setLogin(const QString& user, const QString& password) {
    user_ = user;
    password_ = password;
  }
  const QString& userName() const { return user_; }
  void setCharset(const QString& charset) { charset_ = charset; }

  void connect();
  // Creates a new database (dialect 3, default character set WIN1251) and stays connected.
  // With forcedWrites off the engine does not wait for the disk at each commit (for building a
  // new database; turn it on with turnForcedWritesOn afterwards).
  void create(int pageSize = 8192, bool forcedWrites = true);
  // Reconnects asking the engine to write each commit through to the disk from now on.
  void turnForcedWritesOn();
  // Deletes the database file; the connection ends. Used to undo a failed creation.
  void drop();
  // Rolls back open transactions and frees every statement. Never throws.
  void disconnect() noexcept;
  bool connected() const { return attachment_ != nullptr; }

  // Transaction that queries use when they are given none.
  void setDefaultTransaction(Transaction* tr) { defaultTransaction_ = tr; }
  Transaction* defaultTransaction() const { return defaultTransaction_; }

  // Runs one statement in the default transaction: DDL, or any statement without parameters.
  void executeImmediate(const QString& sql);

  Firebird::IAttachment* attachment() const { return attachment_; }

 private:
  friend class Transaction;
  friend class Query;
  void attach(Transaction* tr) { transactions_.push_back(tr); }
  void detach(Transaction* tr);
  void attach(Query* q) { queries_.push_back(q); }
  void detach(Query* q);
  void openWith(bool create, int pageSize, int forcedWrites);

  QString path_;
  QString user_;
  QString password_;
  QString charset_ = QStringLiteral("WIN1251");
  Firebird::IAttachment* attachment_ = nullptr;
  Transaction* defaultTransaction_ = nullptr;
  std::vector<Transaction*> transactions_;
  std::vector<Query*> queries_;
};

// A transaction with the parameters of the program: read committed, record versions, no wait.
// It starts on demand when a statement needs it.
class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  Database& database() const { return db_; }
  bool inTransaction() const { return handle_ != nullptr; }
  void start();  // no-op when already started
  // Ending the transaction closes the queries open on it; the retaining forms keep them open.
  void commit();
  void commitRetaining();
  void rollback();
  void rollbackRetaining();

  Firebird::ITransaction* handle();  // starts on demand

 private:
  friend class Database;
  friend class Query;
  void attach(Query* q) { openQueries_.push_back(q); }
  void detach(Query* q);
  void closeQueries() noexcept;
  void forget() noexcept;  // the connection is going away

  Database& db_;
  Firebird::ITransaction* handle_ = nullptr;
  std::vector<Query*> openQueries_;
};

// Guard for one change of data: rolls back unless committed.
class TransactionGuard {
 public:
  explicit TransactionGuard(Transaction& tr) : tr_(tr) { tr_.start(); }
  ~TransactionGuard();
  TransactionGuard(const TransactionGuard&) = delete;
  TransactionGuard& operator=(const TransactionGuard&) = delete;
  void commit();           // hard commit
  void commitRetaining();  // keeps the transaction and its open queries

 private:
  Transaction& tr_;
  bool done_ = false;
};

}  // namespace db
