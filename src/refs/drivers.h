#pragma once

#include "framework/editwindow.h"
#include "framework/listwindow.h"

class QLabel;
struct TUser;

namespace db {
class Database;
class Transaction;
}  // namespace db

// The vehicle a driver is attached to, as the driver list shows it: the state number and the
// mark; empty when there is none. With firstDriver the vehicle of which the driver is the first
// driver, otherwise one to which the driver is attached as a further driver.
QString driverVehicle(db::Database& database, db::Transaction& tr, int driver, bool firstDriver);

// The drivers: above the grid the current driver's full name, subdivision and vehicles.
// Removing a driver marks him dismissed; his waybills keep naming him. Given a restricted user,
// the list holds the drivers of his subdivisions and those of none.
class TfmLsAdriver : public TfmAbstrLsRef {
  Q_OBJECT
 public:
  explicit TfmLsAdriver(FrameworkContext& ctx, const TUser* user = nullptr,
                        QWidget* parent = nullptr);

  QLabel* fullNameLabel() const { return fullName_; }
  QLabel* subdivisionLabel() const { return subdivision_; }
  QLabel* firstVehicleLabel() const { return firstCar_; }
  QLabel* otherVehicleLabel() const { return otherCar_; }

 private:
  void showCurrent();
  QLabel* fullName_;
  QLabel* subdivision_;
  QLabel* firstCar_;
  QLabel* otherCar_;
};

// The driver: initials (the name shown on waybills), full name, subdivision, licence, personnel
// number and class. A driver saved without a subdivision gets 0.
class TfmEdAdriver : public TfmAbstrEdRef {
  Q_OBJECT
 public:
  explicit TfmEdAdriver(FrameworkContext& ctx, QWidget* parent = nullptr);

 protected:
  bool BeforeSave() override;
  void showEvent(QShowEvent* e) override;
};
