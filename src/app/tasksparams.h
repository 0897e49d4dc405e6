#pragma once

#include "framework/fieldspec.h"
#include "framework/lookup.h"

#include <QDate>
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class LookupBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QToolButton;
class TDM;
struct TBsp;
struct TUser;

namespace db {
class Database;
class Transaction;
}  // namespace db

// The fields of the task-parameters window, in the order of the characters of a ParamMask.
enum class TaskField {
  WorkDate,     // "Дата обработки документов:"
  PeriodFrom,   // "Интервал обработки документов: " "c"
  PeriodTo,     // "по"
  Driver,       // "Водитель : "
  Car,          // "Автомобиль : "
  VehicleType,  // "Тип транспорта : "
  Subdivision,  // "Подразделение : "
  Client,       // "Клиент-заказчик : "
  Tire,         // "Шина : "
  Battery,      // "АКБ : "
  Fuel,         // "Вид топлива : "
  FillKind,     // "Вид заправки : "
  Object,       // "Обьект : "
};
inline constexpr int kTaskFieldCount = 13;

const std::array<TaskField, kTaskFieldCount>& allTaskFields();
bool isDateField(TaskField f);
// The drop-down boxes with a list of names (the lookup-box protocol): all but the dates, the
// tire, the battery and the object.
bool isLookupField(TaskField f);

// What a field is: its caption, the SPCONST row of its choice, its picker and the rights the
// picker is opened with.
struct TaskFieldInfo {
  QString caption;
  QString constant;  // empty for the dates
  QString picker;    // empty for the dates
  int pickerRights = 0;
  unsigned key = 0;  // commands::Key of the choice; 0 for the dates
};
const TaskFieldInfo& taskFieldInfo(TaskField f);

// The key of a field in the settings of the run; nullptr for the dates.
int* taskKey(TBsp& bsp, TaskField f);
// The date of a date field; nullptr for the others.
QDate* taskDate(TBsp& bsp, TaskField f);

// Which fields a command offers: one character per field, "0" switches its field off, any
// other character leaves it on ("1111111111111", "1000567000000"). Characters missing at the
// end switch their fields off; characters beyond the thirteenth are not read.
class ParamMask {
 public:
  explicit ParamMask(QString text) : text_(std::move(text)) {}
  const QString& text() const { return text_; }
  bool enabled(TaskField f) const;
  // The keys of the settings (commands::Key flags) the person can choose with this mask.
  unsigned offeredKeys() const;

 private:
  QString text_;
};

// The list of a drop-down box; for a restricted user the subdivisions, vehicles and drivers are
// narrowed by the rights rule.
QString taskListSql(TaskField f, const TUser& user);
// The extra condition of a box's search, narrowed the same way, so that typing a name never
// finds what the list does not show.
QString taskSearchCondition(TaskField f, const TUser& user);
// The description of a lookup box of the window.
FieldSpec taskLookupSpec(TaskField f, const TUser& user);

// The rules of the task-parameters window without the window: which fields may change, what a
// new choice writes (the settings of the run at once, its SPCONST row in a transaction of its
// own), what the vehicle brings along, and the lists of the tire, battery and object boxes.
class TaskParams {
 public:
  TaskParams(db::Database& db, db::Transaction& tr, TBsp& bsp, const TUser& user,
             const QString& mask);

  const ParamMask& mask() const { return mask_; }
  bool restricted() const;
  TBsp& bsp() const { return bsp_; }
  const TUser& user() const { return user_; }

  // Whether the person may change the field: the mask has it on. Pickers of a field that is
  // off do nothing, whatever key or button reaches them.
  bool changeable(TaskField f) const { return mask_.enabled(f); }
  // Whether the field's picker button is enabled: a restricted user chooses tires and
  // batteries only from the vehicle's own (the box's key still opens the journal).
  bool pickerButtonEnabled(TaskField f) const;
  // The driver and the vehicle are shown when they are off too; the other fields are blank.
  static bool shownWhenOff(TaskField f);

  int key(TaskField f) const;
  QDate date(TaskField f) const;
  // A new date of a field that is on; false (nothing changed) when it is off.
  bool setDate(TaskField f, const QDate& d);

  struct Change {
    bool changed = false;         // the settings of the run hold a new key
    bool vehicleChanged = false;  // the vehicle changed: driver, tire and battery with it
    QString error;                // the database's message when the row could not be written
  };
  // A new key for a field that is on: the settings of the run take it (also when the row cannot
  // be written) and its SPCONST row is written. A tire or battery of key 0 is no choice. A new
  // vehicle brings its first driver (both rows written), and clears the tire and battery.
  Change choose(TaskField f, int key);

  // The vehicle's first driver, 0 when it has none. Throws db::DbError.
  int firstDriver(int car);
  // The name of the vehicle's mark, shown beside the vehicle. Throws db::DbError.
  QString markName(int car);
  // The items of the tire (battery) box: the vehicle's own, not written off, "name serial"
  // ("name number"); a kept key of another vehicle is added at the end, so that a choice made
  // through the journal is shown. Throws db::DbError.
  QList<LookupItem> vehicleItems(TaskField f, int car, int keep);
  // The lines of the object box: key, two blanks, name. Throws db::DbError.
  QStringList objectLines();

 private:
  void write(const QList<QPair<QString, int>>& rows);

  db::Database& db_;
  db::Transaction& tr_;
  TBsp& bsp_;
  const TUser& user_;
  ParamMask mask_;
};

// "Настройка параметров задач": the working date, the period and the current choices of the
// settings of the run. Every choice is written through at once; "Продолжить" confirms, "Нет"
// does not undo what was chosen.
class TfmTools : public QDialog {
  Q_OBJECT
 public:
  TfmTools(TDM& dm, TBsp& bsp, const TUser& user, const QString& mask, QWidget* parent = nullptr);
  ~TfmTools() override;

  TaskParams& params() { return params_; }

  // Opens a picker by name with rights in select mode and returns the key chosen, -1 when none
  // (the registered pickers by default; tests put stand-ins here).
  using Picker = std::function<int(const QString& name, int rights)>;
  void setPicker(Picker picker) { picker_ = std::move(picker); }

  // The box of a field: a QDateEdit, a LookupBox or a QComboBox.
  QWidget* fieldWidget(TaskField f) const;
  LookupBox* lookupBox(TaskField f) const;
  QComboBox* comboBox(TaskField f) const;  // the combo of any box but a date
  QLabel* captionLabel(TaskField f) const;
  QToolButton* pickerButton(TaskField f) const;  // nullptr for the dates and the object
  // The blank field that covers a date field that is off.
  QLineEdit* dateCover(TaskField f) const;
  QLabel* markLabel() const { return lbMark_; }
  QPushButton* continueButton() const { return btContinue_; }
  QPushButton* noButton() const { return btNo_; }

  // The field's picker, as its button or Alt+Space runs it; nothing when the field is off.
  void pickField(TaskField f);
  // "Продолжить": a tire or battery shown in its box is the choice; the window closes with 1.
  void confirm();

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  struct Slot;
  Slot& slot(TaskField f) const;
  void buildField(TaskField f, QWidget* parent);
  void applyMask();
  void fillFields();
  void fillVehicleItems(TaskField f);
  void fillObjects();
  void showMark();
  void applyChoice(TaskField f, int key);
  void report(const QString& error);

  TDM& dm_;
  TaskParams params_;
  Picker picker_;
  std::array<Slot*, kTaskFieldCount> slots_{};
  QLabel* lbPeriod_ = nullptr;
  QLabel* lbMark_ = nullptr;
  QPushButton* btContinue_ = nullptr;
  QPushButton* btNo_ = nullptr;
  bool filled_ = false;
};

// Shows the task-parameters window modally with the fields of the mask. True when the person
// confirmed with "Продолжить"; the choices are in bsp afterwards whatever the answer (the
// dispatcher tells "Выбор не произведен" when it was not confirmed).
bool AskTaskParams(TDM& dm, TBsp& bsp, const TUser& user, const QString& mask,
                   QWidget* parent = nullptr);
