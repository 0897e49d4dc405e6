#include "app/startup.h"

#include "app/bsp.h"
#include "app/datamodule.h"
#include "app/fmavtmain.h"
#include "app/fmlogin.h"
#include "app/login.h"
#include "app/messagebox.h"
#include "app/user.h"
#include "db/schema.h"
#include "platform/database.h"
#include "platform/dberror.h"
#include "platform/inifile.h"
#include "platform/messages.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

QString defaultDatabasePath() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
      .filePath(QStringLiteral("vedomir.fdb"));
}

StartDatabase chooseStartDatabase(const QString& configured, const QString& defaultPath) {
  if (!configured.isEmpty() && (db::isServerPath(configured) || QFileInfo::exists(configured)))
    return {StartDatabase::UseConfigured, configured};
  if (QFileInfo::exists(defaultPath)) return {StartDatabase::UseDefault, defaultPath};
  return {StartDatabase::CreateDefault, defaultPath};
}

int createDatabaseCommand(const QString& path) {
  try {
    schema::createDatabase(path);
  } catch (const db::DbError& e) {
    std::fprintf(stderr, "%s\n", qPrintable(e.message()));
    return 1;
  }
  const QString shown =
      db::isServerPath(path) ? path : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
  std::printf(
      "%s\n",
      qPrintable(
          QStringLiteral("База данных создана: %1 (версия %2)").arg(shown).arg(schema::kVersion)));
  return 0;
}

namespace {

// Offers the default database when the settings name none that exists. Returns the path to use.
void settleDatabase(IniFile& ini, TBsp& bsp) {
  QString configured;
  QString ignored;
  readLoginSettings(ini, bsp, ignored);
  configured = bsp.DbPath;
  const StartDatabase choice = chooseStartDatabase(configured, defaultDatabasePath());
  if (choice.action == StartDatabase::UseConfigured) return;
  const QString where = QDir::toNativeSeparators(choice.path);
  const QString missing =
      configured.isEmpty()
          ? QStringLiteral("База данных еще не выбрана.")
          : QStringLiteral("База данных %1 не найдена.").arg(QDir::toNativeSeparators(configured));
  if (choice.action == StartDatabase::UseDefault) {
    if (!configured.isEmpty() &&
        !msg::confirm(missing + QStringLiteral("\n\nОткрыть базу данных из папки пользователя?\n") +
                      where))
      return;
  } else {
    if (!msg::confirm(missing +
                      QStringLiteral("\n\nСоздать новую базу данных? Она будет создана в "
                                     "папке пользователя:\n") +
                      where))
      return;
    QDir().mkpath(QFileInfo(choice.path).absolutePath());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
      schema::createDatabase(choice.path);
    } catch (const db::DbError& e) {
      QApplication::restoreOverrideCursor();
      msg::error(QStringLiteral("Не удалось создать базу данных %1:\n%2").arg(where, e.message()));
      return;
    }
    QApplication::restoreOverrideCursor();
    msg::info(
        QStringLiteral("Создана новая база данных:\n%1\n\nВход администратора: пользователь %2, "
                       "пароль %3.")
            .arg(where, schema::accountUser(), schema::accountPassword()));
    if (ini.readString(inikeys::kMain, inikeys::kUser).isEmpty())
      ini.writeString(inikeys::kMain, inikeys::kUser, schema::accountUser());
  }
  bsp.DbPath = choice.path;
  ini.writeString(inikeys::kMain, inikeys::kDbPath, choice.path);
}

}  // namespace

int runProgram(const QStringList& arguments) {
  MessageBoxSink sink;
  msg::setSink(&sink);
  TUser user;
  TBsp bsp;
  const QString iniPath =
      IniFile::locate(QCoreApplication::applicationDirPath(),
                      QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
  int code = 0;
  try {
    TDM dm(iniPath, bsp);
    const QString fromCommandLine = commandLineDatabase(arguments);
    if (fromCommandLine.isEmpty()) settleDatabase(dm.ini(), bsp);

    LoginFlow flow(dm, user, bsp, [&]() -> std::optional<LoginEntry> {
      TfmLogin window(dm.ini(), bsp, fromCommandLine);
      if (window.exec() != QDialog::Accepted) return std::nullopt;
      return window.entry();
    });
    if (flow.run() != LoginFlow::kSucceeded) {
      msg::setSink(nullptr);
      return 0;
    }
    InitBspFromUser(user, bsp);
    dm.setUser(user);
    TfmAvtMain mainWindow(dm, bsp, user);
    mainWindow.show();
    code = QApplication::exec();
  } catch (const std::exception& e) {
    msg::error(QString::fromUtf8(e.what()));
    code = 1;
  }
  msg::setSink(nullptr);
  return code;
}
