#include "db/schema.h"

#include "db/scriptrunner.h"
#include "platform/database.h"
#include "platform/dberror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace schema {

QString script() {
  QFile f(QStringLiteral(":/db/schema.sql"));
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll());
}

QString newDatabasePathProblem(const QString& path) {
  if (path.trimmed().isEmpty()) return QStringLiteral("Не указан путь к новой базе данных.");
  if (db::isServerPath(path)) return {};
  const QFileInfo info(path);
  if (info.exists())
    return QStringLiteral(
               "Файл %1 уже существует. Новая база данных не создана, существующий файл "
               "не изменен.")
        .arg(QDir::toNativeSeparators(info.absoluteFilePath()));
  const QFileInfo dir(info.absolutePath());
  if (!dir.exists())
    return QStringLiteral("Папка %1 не существует.")
        .arg(QDir::toNativeSeparators(info.absolutePath()));
  if (!dir.isWritable())
    return QStringLiteral("Нет права записи в папку %1.")
        .arg(QDir::toNativeSeparators(info.absolutePath()));
  return {};
}

void createDatabase(const QString& path, const QString& user, const QString& password,
                    const std::function<void(int, int)>& progress) {
  if (const QString problem = newDatabasePathProblem(path); !problem.isEmpty())
    throw db::DbError(problem);
  const QString text = script();
  if (text.isEmpty()) throw db::DbError(QStringLiteral("Сценарий создания базы данных не найден."));
  db::Database database;
  database.setDatabaseName(path);
  database.setLogin(user, password);
  // Hundreds of DDL commits: let the engine skip the disk flush until the end.
  database.create(8192, false);
  try {
    db::Transaction tr(database);
    runScript(database, tr, text, progress);
  } catch (...) {
    try {
      database.drop();
    } catch (const db::DbError&) {
      database.disconnect();
      if (!db::isServerPath(path)) QFile::remove(path);
    }
    throw;
  }
  database.turnForcedWritesOn();
  database.disconnect();
}

}  // namespace schema
