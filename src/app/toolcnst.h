#pragma once

#include <QDialog>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QPushButton;
class TDM;
struct TBsp;

namespace db {
class Database;
class Transaction;
class Query;
}  // namespace db

// Writes constants of SPCONST: the row is updated, and inserted when it does not exist yet (an
// older database may lack rows that the new one is created with; an update alone would lose the
// value at the next start). The two statements are prepared once for any number of rows.
class ConstantWriter {
 public:
  ConstantWriter(db::Database& db, db::Transaction& tr);
  ~ConstantWriter();
  ConstantWriter(const ConstantWriter&) = delete;
  ConstantWriter& operator=(const ConstantWriter&) = delete;

  // name goes into NAME of an inserted row only; an existing row keeps its own.
  void write(const QString& id, const QString& value, const QString& name = {});

 private:
  struct Queries;
  Queries* q_;
};

// One constant of the constants window.
struct ConstantField {
  enum Kind {
    Text,       // names, posts, the organisation: at most the column's length
    Separator,  // the export separator: one character at most
    Date,       // dd.mm.yyyy (with a time of day when one is given); empty: no date set
    Real,       // a number with decimals, typed with a comma or a point
    Integer,    // a whole number
    Hours,      // 0 to 23
    Minutes,    // 0 to 59
    Decimals,   // decimals of fuel quantities, 0 to 4
    Check,      // a switch: stored "-1" when ticked, "0" otherwise
  };
  QString id;       // IDCONST
  QString caption;  // how the window names the field; messages name it so
  Kind kind = Text;
};

// The constants of the window in the order in which they are saved.
const QList<ConstantField>& constantFields();
const ConstantField* findConstantField(const QString& id);

// What the window holds: the text of each field by IDCONST; check boxes as "-1" or "0".
using ConstantValues = QMap<QString, QString>;

inline const QString kCheckedText = QStringLiteral("-1");
inline const QString kUncheckedText = QStringLiteral("0");

// The fields as the settings of the run hold them (the organisation's three are not there:
// they are left empty for readOrganisation).
ConstantValues constantsFromBsp(const TBsp& bsp);
// Reads DIVISION, ADDRESS and OKPO into the values; a missing row or a null value gives "".
void readOrganisation(db::Query& q, ConstantValues& values);

// Why the values cannot be saved: the field and a message naming it.
struct ConstantRefusal {
  QString id;
  QString message;
};

// The first field whose text cannot be stored: a date that is no date, a number that is no
// number or out of its range, a text longer than columnLength (the length of SPCONST.CNST) or
// with a character the database's code page cannot hold.
std::optional<ConstantRefusal> checkConstants(const ConstantValues& values, int columnLength);

// The text written to SPCONST for a field (dates in one form; numbers without outer blanks).
QString storedText(const ConstantField& field, const QString& value);

// Copies checked values into the settings of the run.
void applyConstants(const ConstantValues& values, TBsp& bsp);

// The number of characters SPCONST.CNST takes.
int constantColumnLength(db::Database& db, db::Transaction& tr);

struct ConstantsSaveResult {
  bool saved = false;
  QString field;    // the refused field, when a check refused the values
  QString message;  // why nothing was saved
};

// Saves every constant of the window: the values are checked first, then written in one
// transaction (all or nothing), and only when that is committed are they copied into bsp.
ConstantsSaveResult saveConstants(db::Database& db, db::Transaction& tr,
                                  const ConstantValues& values, TBsp& bsp);

inline const QString kSaveFailed = QStringLiteral("Ошибка сохранения данных.");

// "Настройка констант ": the organisation's names and posts, the seasons, the night time and
// the switches of the waybill editor. The checks and the save are saveConstants'.
class TfmToolCnst : public QDialog {
  Q_OBJECT
 public:
  TfmToolCnst(TDM& dm, TBsp& bsp, QWidget* parent = nullptr);

  // The box of a constant (QLineEdit or QCheckBox).
  QWidget* field(const QString& id) const { return fields_.value(id); }
  QPushButton* saveButton() const { return btSave_; }
  QPushButton* exitButton() const { return btExit_; }
  QPushButton* helpButton() const { return btHelp_; }

  ConstantValues values() const;
  // Fills the boxes from the settings of the run and the organisation's rows; nothing to save
  // afterwards. Throws db::DbError.
  void load();
  // "Сохранить": a refusal or a failure is shown and the window stays as it is.
  bool save();

 protected:
  void showEvent(QShowEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QLineEdit* addLine(const QString& id, int maxLength = 0);
  QCheckBox* addCheck(const QString& id);
  void updateSaveButton();

  TDM& dm_;
  TBsp& bsp_;
  QHash<QString, QWidget*> fields_;
  ConstantValues loaded_;
  bool loadedOnce_ = false;
  QPushButton* btSave_;
  QPushButton* btExit_;
  QPushButton* btHelp_;
};

// The menu command: the constants window, modally. An error while reading is shown with its
// own text.
void ShowConstantsWindow(TDM& dm, TBsp& bsp, QWidget* parent = nullptr);
