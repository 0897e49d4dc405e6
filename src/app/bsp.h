#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The settings of the run: filled from the settings file, the login and the constants of the
// database; read by every window afterwards. Keys are integers with 0 meaning nothing chosen.
struct TBsp {
  QString UserDef;
  QString UserName;
  // Database paths: ours and those of the sibling systems.
  QString DbPath;
  QString GrzPath;
  QString LnvjPath;
  QString VrjPath;
  // Working date (today at login) and working period (kept in the settings file between runs).
  QDate WorkDate;
  QDate Dt1;
  QDate Dt2;
  // Constants of the database.
  QString MainChief;
  QString MainRank;
  QString IsInit;
  QString AvtChief;
  QString AvtRank;
  QDateTime SumTimeFrom;
  QDateTime SumTimeTo;
  QDateTime WinTimeFrom;
  QDateTime WinTimeTo;
  double WinExtCharge = 0;
  int WinExtBuks = 0;
  // Current choices of the task-parameters window.
  int Driver = 0;
  int Car = 0;
  int Avk = 0;
  int Subdiv = 0;
  int Client = 0;
  // Night time, minutes after midnight.
  int NightFrom = 0;
  int NightTo = 0;
  // Waybill whose tonne-kilometre lines are being listed.
  int TnkmWaybill = 0;
  int Tire = 0;
  int Akb = 0;
  QString Dvd;  // separator character of the export files
  // The aviso print.
  QString AvizComment;
  int AvizNumber = 0;
  int AvizDebit1 = 0;
  int AvizDebit2 = 0;
  int AvizCredit1 = 0;
  int AvizCredit2 = 0;
  QString AvtZam;
  QString AvtZamD;
  QString AvtNg;
  QString AvtNgD;
  QString AvtTu;
  QString AvtTuD;
  QString AvtMex;
  QString AvtMexD;
  // Defect and conclusion of a tire write-off act.
  int TireDef = 0;
  int TireZk = 0;
  int RegMode = 0;  // mode of the automatic filling of fuel fills
  QString AvtSg;
  QString AvtSgD;
  // 1: tire and battery windows work on their archive (transfer certificates); 0 otherwise.
  int ArchiveMode = 0;
  int Fuel = 0;
  int GsmT = 0;
  int Obj = 0;
  int AkbDef = 0;
  int AkbZk = 0;
  QString AvtAcc;
  QString AvtAccD;
  // Order of the waybill journal: 0 by number, 1 by departure, -1 none.
  int JournalOrder = 0;
  // Waybill editor: font size and decimals shown.
  int FontSize = 8;
  int CountNumber = 2;
  bool CreateUch = false;
  bool FactEqNorm = false;
  bool TakeOnlyTnkm = false;
  bool GsmFromPl = false;
  int ClientMode = 0;  // constant CLIENT: 1 enables the client-specific reports and prints
  int DecPl = 2;       // decimals of fuel quantities
  int RoundMode = 5;   // rounding mode handed to F_PDEROUND with DecPl
  bool AutoWriteSubdiv = false;
};
