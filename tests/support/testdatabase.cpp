#include "support/testdatabase.h"

#include "db/schema.h"
#include "platform/dberror.h"

#include <QDir>
#include <QFile>
#include <QUuid>

#include <stdexcept>

namespace testsupport {

Target target() {
  Target t;
  t.server = qEnvironmentVariable("VEDOMIR_TEST_SERVER");
  t.user = qEnvironmentVariable(
      "VEDOMIR_TEST_USER", t.server.isEmpty() ? schema::accountUser() : QStringLiteral("SYSDBA"));
  t.password = qEnvironmentVariable("VEDOMIR_TEST_PASSWORD");
  return t;
}

QString sharedTempDir() {
  static QTemporaryDir dir(QDir::temp().filePath(QStringLiteral("vedomir-test-XXXXXX")));
  static const bool opened = [] {
    db::ensureLockFolder();
    // A server runs as its own user and must be able to create files here.
    QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777));
    return true;
  }();
  (void)opened;
  return dir.path();
}

namespace {
QString connectionString(const QString& file) {
  const Target t = target();
  return t.server.isEmpty() ? file : t.server + QLatin1Char(':') + file;
}

QString newFileName() {
  return QDir(sharedTempDir())
      .filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".fdb"));
}

// The schema is built once per test program and copied for each test: building it takes far
// longer than copying a file.
QString schemaTemplate() {
  static const QString file = [] {
    const QString f = newFileName();
    const Target t = target();
    schema::createDatabase(connectionString(f), t.user, t.password);
    return f;
  }();
  return file;
}
}  // namespace

TestDatabase::TestDatabase(Kind kind) : file_(newFileName()), path_(connectionString(file_)) {
  const Target t = target();
  db_ = std::make_unique<db::Database>();
  db_->setDatabaseName(path_);
  db_->setLogin(t.user, t.password);
  if (kind == WithSchema) {
    if (!QFile::copy(schemaTemplate(), file_))
      throw std::runtime_error("cannot copy the schema template");
    QFile::setPermissions(file_, QFileDevice::Permissions(0x6666));
    db_->connect();
  } else {
    db_->create(8192, false);
  }
  tr_ = std::make_unique<db::Transaction>(*db_);
  db_->setDefaultTransaction(tr_.get());
}

TestDatabase::~TestDatabase() {
  tr_.reset();
  try {
    db_->drop();
  } catch (const db::DbError&) {
    db_->disconnect();
    QFile::remove(file_);
  }
}

std::unique_ptr<db::Database> TestDatabase::connectAgain() const {
  const Target t = target();
  auto other = std::make_unique<db::Database>();
  other->setDatabaseName(path_);
  other->setLogin(t.user, t.password);
  other->connect();
  return other;
}

}  // namespace testsupport
