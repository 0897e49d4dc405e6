#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace db {
class Database;
class Transaction;
}  // namespace db

namespace schema {

// One statement of a script, as an isql user would write it.
struct ScriptStatement {
  QString text;
  int line = 0;  // first line of the statement in the script, from 1
};

// Splits a script at its terminator. "SET TERM x ;" lines change the terminator, "--" lines at
// the start of a line are comments, "COMMIT" statements are dropped (every statement is
// committed on its own when run).
std::vector<ScriptStatement> splitScript(const QString& script);

// Runs each statement with parameter parsing off and commits it, because DDL must be committed
// before the next statement can use its objects. A failing statement raises a DbError that
// names the script line. progress(done, total) is called after each statement.
void runScript(db::Database& database, db::Transaction& tr, const QString& script,
               const std::function<void(int, int)>& progress = {});

}  // namespace schema
