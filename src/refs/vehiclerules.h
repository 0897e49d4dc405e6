#pragma once

#include <QList>
#include <QString>

class EditRecord;
namespace db {
class Database;
class Transaction;
}  // namespace db

// The rules of the vehicle book that hold whatever window applies them.
namespace vehiclerules {

// Texts of the vehicle windows.
inline const QString kPairRefused = QStringLiteral("Ошибка добавления/корректировки записи.");
inline const QString kOwnTrailer = QStringLiteral("Автомобиль не может быть прицепом самого себя.");

// One driver attached to a vehicle (a row of AVFASTENING).
struct DriverPair {
  int fasten = 0;  // key; 0 for a pair not yet saved
  int driver = 0;
  bool first = false;  // the vehicle's first driver
};

enum class PairRefusal {
  None,
  NoDriver,           // no driver chosen
  SecondFirstDriver,  // another pair of the vehicle is its first driver already
  RepeatedDriver,     // the driver is attached to the vehicle already
};

// Whether a pair may be saved beside the other pairs of the same vehicle (the pair itself may be
// among them: it is recognised by its key and ignored).
PairRefusal checkDriverPair(const DriverPair& pair, const QList<DriverPair>& pairsOfVehicle);

// The pairs of a vehicle as stored.
QList<DriverPair> driverPairs(db::Database& db, db::Transaction& tr, int car);

// A vehicle drawing itself as its trailer.
inline bool isOwnTrailer(int car, int trailer) {
  return car > 0 && trailer == car;
}

// What a vehicle saved with empty boxes stores: 0 for the keys and whole numbers, 0.0 for the
// weights, empty text for the registration texts, "-" for the inventory number. Values already
// there stay.
void fillVehicleDefaults(EditRecord& record);

// The first driver and one other driver of a vehicle, full names; empty when there is none.
struct VehicleDrivers {
  QString first;
  QString other;
};
VehicleDrivers vehicleDrivers(db::Database& db, db::Transaction& tr, int car);

// The state number and the mark name of a vehicle, without trailing blanks; empty when the
// vehicle or its mark is missing.
struct VehicleTitle {
  QString stnumber;
  QString mark;
};
VehicleTitle vehicleTitle(db::Database& db, db::Transaction& tr, int car);

}  // namespace vehiclerules
