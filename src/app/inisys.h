#pragma once

#include <QDate>
#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class TDM;
struct TBsp;

namespace db {
class Database;
class Transaction;
}  // namespace db

// ------------------------------------------------------------------------ system initialisation

// The placeholder row with key 0 of one table: every key column uses 0 for "nothing chosen",
// and the lookup boxes show its name "Hет данных" (with a Latin H).
struct PlaceholderRow {
  QString table;
  QString keyField;
  QString insertSql;
  QString updateSql;
  QString generator;
};
// In the order in which the initialisation writes them.
const QList<PlaceholderRow>& placeholderRows();

// A constant the initialisation gives a value.
struct DefaultConstant {
  QString id;
  QString value;
};
// In the order in which they are written; AVTISINIT is not among them (it comes last).
const QList<DefaultConstant>& defaultConstants();

// Puts the placeholder rows into the reference tables and the waybill table (a row that is there
// is brought back to its placeholder values), gives the constants without a value their
// defaults (a value someone has set is kept) and marks the database initialised (AVTISINIT "1").
// A table whose placeholder row had to be inserted gets its generator set so that new keys come
// after every key in use: to 1 when the table holds no row above 0, else never below the largest
// key. All in one transaction, committed at the end; throws db::DbError after a rollback.
void initialiseDatabase(db::Database& db, db::Transaction& tr);

// True when the database says it has been initialised. Throws db::DbError.
bool databaseInitialised(db::Database& db, db::Transaction& tr);

// Texts of the initialisation window.
namespace initext {
inline const QString kDoneBefore = QStringLiteral("ИНИЦИАЛИЗАЦИЯ БЫЛА ПРОИЗВЕДЕНА РАНЕЕ !");
inline const QString kNotDone = QStringLiteral("ИНИЦИАЛИЗАЦИЯ НЕ ПРОИЗВЕДЕНА.");
inline const QString kRunning = QStringLiteral("ЖДИТЕ , ИДЕТ ИНИЦИАЛИЗАЦИЯ ...");
inline const QString kFinished = QStringLiteral("ИНИЦИАЛИЗАЦИЯ ЗАКОНЧЕНА !");
inline const QString kQuestion = QStringLiteral("Произвести расчет ?");
inline const QString kQuestionCaption = QStringLiteral("Запрос на действие");
inline const QString kSaveFailed = QStringLiteral("Ошибка сохранения данных.");
inline const QString kCalculating = QStringLiteral("ЖДИТЕ , ИДУТ ВЫЧИСЛЕНИЯ ...");
inline const QString kCalculated = QStringLiteral("ВЫЧИСЛЕНИЯ ЗАКОНЧЕНЫ !");
}  // namespace initext

// "Инициализация системы": one line telling what happened. The work, when there is any, runs
// once the window is shown; the window is closed by its title bar's button.
class TfmIni : public QDialog {
  Q_OBJECT
 public:
  // work: what runs when the window is shown; returns the final line. Empty: nothing to run.
  TfmIni(const QString& message, std::function<QString()> work, QWidget* parent = nullptr);

  QString message() const;
  // Runs the work if it has not run yet (the window does this itself once it is shown).
  void runPendingWork();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  QLabel* lbMessage_;
  std::function<QString()> work_;
};

// The menu command "Инициализация системы": refuses a database initialised before, asks
// "Произвести расчет ?" and initialises. Errors are shown with "Ошибка сохранения данных.".
void InitialiseSystem(TDM& dm, TBsp& bsp, QWidget* parent = nullptr);

// ------------------------------------------------------------------ automatic filling of fuel

// Modes of the filling (RegMode of the settings of the run).
inline constexpr int kFillAddMissing = 0;   // only rows that are missing are added
inline constexpr int kFillRecalculate = 1;  // every waybill of the period gets its rows anew

// Kinds of the fuel rows of a waybill.
inline constexpr int kFuelRemainderOut = 0;  // remainder at departure, from OSTIN
inline constexpr int kFuelFill = 1;          // fill, from LIT
inline constexpr int kFuelRemainderIn = 2;   // remainder at return, from OSTOUT
inline constexpr int kFuelConsumption = 3;   // actual consumption, from FACT

struct FuelFillSummary {
  int waybills = 0;  // waybills of the period
  int filled = 0;    // waybills that got rows
  int rows = 0;      // rows inserted
};

// Creates the fuel rows of the waybills that departed from dt1 to dt2 from the totals of their
// header, each with a new key, the waybill's vehicle, driver and fuel, the departure date, the
// first day of the departure month as accounting date, subdivision 0 and fill kind 1; litres
// with their decimals. A waybill with a consumption row is left as it is. In the mode
// kFillRecalculate every waybill of the period loses its rows first and gets all four;
// kFillAddMissing never deletes: a waybill gets the kinds it lacks. One transaction, committed at
// the end; throws db::DbError after a rollback.
FuelFillSummary fillFuelRows(db::Database& db, db::Transaction& tr, const QDate& dt1,
                             const QDate& dt2, int mode);

// "Выбор режима": the mode of the filling, one check box "x - перерассчитать, _  - добавить".
class TfrmReg : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmReg(int mode, QWidget* parent = nullptr);

  int mode() const;
  QCheckBox* modeBox() const { return chMode_; }
  QPushButton* continueButton() const { return btContinue_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QCheckBox* chMode_;
  QPushButton* btContinue_;
};

// Shows "Выбор режима" with RegMode; "Продолжить" stores the mode there (for this run only),
// Esc leaves it as it was. True when stored.
bool ChooseFillMode(TBsp& bsp, QWidget* parent = nullptr);

// "Автоматическое заполнение заправок": shown while the filling runs.
class TfmIniGsm : public QDialog {
  Q_OBJECT
 public:
  explicit TfmIniGsm(QWidget* parent = nullptr);
  QString message() const;

 private:
  QLabel* lbMessage_;
};

// The filling for the period and the mode of the settings of the run, after the question
// "Произвести расчет ?". True when rows were filled (the work was committed).
bool FillFuelRows(TDM& dm, TBsp& bsp, QWidget* parent = nullptr);
