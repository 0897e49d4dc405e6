#pragma once

#include <QString>

#include <functional>

namespace schema {

// The version a new database is created at and every database is brought up to.
constexpr int kVersion = 33;
constexpr int kSubVersion = 0;

// The database account every workstation connects with; the script grants it everything.
inline QString accountUser() {
  return QStringLiteral("IUC_CKGQBW");
}
inline QString accountPassword() {
  return QStringLiteral("mirtbox");
}

// The script that builds a new database of the current version.
QString script();

// Why a new database cannot be created at path (in Russian), or an empty string when it can.
// Only local paths are checked; a server checks its own.
QString newDatabasePathProblem(const QString& path);

// Creates a database of the current version at path with the given account, runs the script
// and leaves nothing behind when it fails. Throws db::DbError.
void createDatabase(const QString& path, const QString& user = accountUser(),
                    const QString& password = accountPassword(),
                    const std::function<void(int, int)>& progress = {});

}  // namespace schema
