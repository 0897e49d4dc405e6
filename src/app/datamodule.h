#pragma once

#include "framework/context.h"
#include "platform/database.h"
#include "platform/inifile.h"
#include "platform/query.h"

#include <QString>

#include <memory>

struct TBsp;
struct TUser;

// The data module: the one connection of the program, its two transactions and the scratch
// statements any code may close, re-text and reopen; the settings file, open for the whole run.
class TDM {
 public:
  // Opens the settings file at iniPath and reads the working period into bsp.
  TDM(const QString& iniPath, TBsp& bsp);
  // Writes the working period back to the settings file.
  ~TDM();
  TDM(const TDM&) = delete;
  TDM& operator=(const TDM&) = delete;

  IniFile& ini() { return ini_; }
  // What the list and edit windows need of the data module.
  FrameworkContext& context();
  // The logged-in user, whom the windows opened through context() narrow their lists for.
  void setUser(const TUser& user);
  TBsp& bsp() { return bsp_; }

  // Minutes as hours with two decimals.
  static double MinutesToHours(int minutes);

  // At the main window's first showing: the constants into the settings of the run (a constant
  // stored wrongly is reported and takes its default for this run), then the schema's version.
  void ReadData();
  // One constant on demand (identifier without regard to case); empty when there is no row.
  QString ReadConst(const QString& id);
  // Counts one more use of a report command of the main menu, in a transaction of its own.
  // Throws db::DbError when the counter holds no number; nothing is written then.
  void CountReportUse(const QString& id, const QString& caption);

  db::Database DB;
  db::Transaction IBTransaction{DB};
  db::Transaction trList{DB};
  db::Query qryTemp{DB};
  db::Query qryTmp{DB};
  db::Query qryTmp1{DB};
  db::Query qryTmp2{DB};
  db::Query sqlTemp{DB};
  db::StoredProc sp{DB};

 private:
  IniFile ini_;
  TBsp& bsp_;
  FrameworkContext context_{DB, trList, IBTransaction, qryTemp, ini_};
};

// Settings file sections and keys.
namespace inikeys {
inline const QString kMain = QStringLiteral("MorvelAvt");
inline const QString kPeriod = QStringLiteral("IDCONST");
inline const QString kDbPath = QStringLiteral("ib_pathUMN");
inline const QString kGrzPath = QStringLiteral("grz_path");
inline const QString kLnvjPath = QStringLiteral("lnvj_path");
inline const QString kVrjPath = QStringLiteral("vrj_path");
inline const QString kFontSize = QStringLiteral("FontSize");
inline const QString kCountNumber = QStringLiteral("CountNubber");  // spelled so in every file
inline const QString kUser = QStringLiteral("User");
inline const QString kDt1 = QStringLiteral("dt1");
inline const QString kDt2 = QStringLiteral("dt2");
}  // namespace inikeys
