#pragma once

#include <QString>
#include <QStringList>

// Where the default embedded database lives: the user's data folder.
QString defaultDatabasePath();

// What to do at start about the database the settings name.
struct StartDatabase {
  enum Action {
    UseConfigured,  // it exists, or a server holds it
    UseDefault,     // none configured (or it is missing) and the default one exists
    CreateDefault,  // none anywhere: offer to create the default one
  };
  Action action = UseConfigured;
  QString path;
};
StartDatabase chooseStartDatabase(const QString& configured, const QString& defaultPath);

// "vedomir --create-database PATH": builds a new database without a window. Messages go to the
// standard streams; returns the process exit code.
int createDatabaseCommand(const QString& path);

// The program: settings, login, main window. Returns the exit code.
int runProgram(const QStringList& arguments);
