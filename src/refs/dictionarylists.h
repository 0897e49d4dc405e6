#pragma once

#include "framework/listwindow.h"

#include <QList>
#include <QString>

class QCheckBox;
class QLabel;

namespace db {
class Database;
class Transaction;
}  // namespace db

// Where a dictionary row is still in use: a table whose column holds its key (optionally only
// among rows meeting a condition), and what the person is told when that stops the removal.
// The schema has no foreign keys, and the lists of vehicles and waybills join the dictionaries:
// a row removed from under them would take their rows out of the lists.
struct KeyUse {
  QString table;
  QString column;
  QString condition;  // e.g. "DISMISS=0"; empty: every row
  QString message;
};

namespace dictionaryuse {
QList<KeyUse> marks();
QList<KeyUse> vehicleTypes();
QList<KeyUse> fuels();
QList<KeyUse> subdivisions();
}  // namespace dictionaryuse

// The message of the first use found for the key, or an empty text when the row may go.
QString removalRefusal(db::Database& database, db::Transaction& tr, const QList<KeyUse>& uses,
                       int key);

// A dictionary list whose Delete first looks for the row's uses and, when there is one, says
// so and removes nothing (no question is asked).
class TfmLsRefInUse : public TfmAbstrLsRef {
  Q_OBJECT
 public:
  TfmLsRefInUse(FrameworkContext& ctx, ListSpec book, QList<KeyUse> uses,
                QWidget* parent = nullptr);
  // Delete, preceded by the check.
  void deleteUnused();

 private:
  QList<KeyUse> uses_;
};

// The clients: above the grid the current client's zero time and kilometres and whether it is
// an internal one.
class TfmLsAclient : public TfmAbstrLsRef {
  Q_OBJECT
 public:
  explicit TfmLsAclient(FrameworkContext& ctx, QWidget* parent = nullptr);
  // The line shown for the current row (for tests and the panel).
  QString zeroTimeText() const;
  QString zeroKmText() const;
  QCheckBox* internalBox() const { return internal_; }

 private:
  void showCurrent();
  QLabel* time_;
  QLabel* km_;
  QCheckBox* internal_;
};
