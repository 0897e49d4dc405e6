#pragma once

#include "platform/database.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace testsupport {

// Where test databases live: in-process by default; on a server when the environment names one
// in VEDOMIR_TEST_SERVER (with VEDOMIR_TEST_USER and VEDOMIR_TEST_PASSWORD).
struct Target {
  QString server;
  QString user;
  QString password;
};
Target target();

// A new database in a temporary folder, connected, with a transaction set as the default.
// Removed with the fixture.
class TestDatabase {
 public:
  enum Kind { Empty, WithSchema };
  explicit TestDatabase(Kind kind = WithSchema);
  ~TestDatabase();

  // The connection string (a file path, or host:path on a server).
  const QString& path() const { return path_; }
  const QString& file() const { return file_; }
  db::Database& db() { return *db_; }
  db::Transaction& tr() { return *tr_; }
  // Another connection to the same database, as a second workstation would have.
  std::unique_ptr<db::Database> connectAgain() const;

 private:
  QString file_;
  QString path_;
  std::unique_ptr<db::Database> db_;
  std::unique_ptr<db::Transaction> tr_;
};

// A temporary folder that a database server may also write into.
QString sharedTempDir();

}  // namespace testsupport
