#pragma once

#include <QDate>
#include <QString>

// The settings of the run: filled from the settings file, the login and the constants of the
// database; read by every window afterwards.
struct TBsp {
  // Settings file and login window.
  QString DbPath;
  QString GrzPath;
  QString LnvjPath;
  QString VrjPath;
  int FontSize = 8;
  int CountNumber = 2;
  // The working period, kept in the settings file between runs.
  QDate Dt1;
  QDate Dt2;
  // The logged-in user and the day of the login.
  QString UserName;
  QString UserDef;
  QDate WorkDate;
};
