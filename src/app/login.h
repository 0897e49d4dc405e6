#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class TDM;
class IniFile;
struct TBsp;
struct TUser;

// What the login window hands back when closed with "Ввод".
struct LoginEntry {
  QString name;
  QString password;
};

// The login rules, free of windows: the window is a function, so tests can stand in for it.
class LoginFlow {
 public:
  // Shows the login window (it edits bsp's paths); nullopt when closed with "Отмена".
  using AskLogin = std::function<std::optional<LoginEntry>()>;

  static constexpr int kCancelled = 4;
  static constexpr int kSucceeded = 6;

  LoginFlow(TDM& dm, TUser& user, TBsp& bsp, AskLogin ask);

  // The start-up loop: three failed connections end it, as does "Отмена". Returns kSucceeded
  // when the connection is open and the user known.
  int run();
  // One attempt; outcome becomes kCancelled when the user cancelled. True when connected.
  bool TryLogin(int& outcome);
  // Shows the window (again after a wrong name or password) and checks what was typed.
  void RunLoginDialog(int& outcome);

  // Schema version of the connected database: 0 when missing or not a number.
  int readSchemaVersion();

  static QString failureMessage(int counter);

 private:
  TDM& dm_;
  TUser& user_;
  TBsp& bsp_;
  AskLogin ask_;
};

// Copies the user into the settings of the run; the working date is today.
void InitBspFromUser(const TUser& user, TBsp& bsp);

// The login window's settings: read when it opens, written when it closes.
void readLoginSettings(const IniFile& ini, TBsp& bsp, QString& userName);
void writeLoginSettings(IniFile& ini, const TBsp& bsp, const QString& userName);

// A database path given on the command line (the arguments after the program, joined by blanks),
// or an empty string when there is none or it is 5 characters or shorter.
QString commandLineDatabase(const QStringList& arguments);

// The alternative databases of the settings file: every line of the main section that names
// ib_pathUMN under another key (ib_pathUMN1=..., ib_pathUMN_old=...), the text after "=".
QStringList alternativeDatabases(const QStringList& sectionLines);
