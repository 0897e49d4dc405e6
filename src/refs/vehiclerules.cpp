#include "refs/vehiclerules.h"

#include "framework/editrecord.h"
#include "platform/query.h"

namespace vehiclerules {

PairRefusal checkDriverPair(const DriverPair& pair, const QList<DriverPair>& pairsOfVehicle) {
  if (pair.driver == 0) return PairRefusal::NoDriver;
  for (const DriverPair& other : pairsOfVehicle) {
    if (pair.fasten != 0 && other.fasten == pair.fasten) continue;  // the pair itself
    if (pair.first && other.first) return PairRefusal::SecondFirstDriver;
    if (other.driver == pair.driver) return PairRefusal::RepeatedDriver;
  }
  return PairRefusal::None;
}

QList<DriverPair> driverPairs(db::Database& db, db::Transaction& tr, int car) {
  db::Query q(db, &tr);
  q.setSql(QStringLiteral("select FASTEN, DRIVER, FIRSTDR from AVFASTENING where CAR = :CAR"));
  q.param(QStringLiteral("CAR")).setInt(car);
  q.open();
  QList<DriverPair> out;
  for (; !q.eof(); q.next()) {
    out.append({int(q.field(0).asInt()), int(q.field(1).asInt()), q.field(2).asInt() == 1});
  }
  return out;
}

void fillVehicleDefaults(EditRecord& record) {
  auto orDefault = [&record](const QString& field, const QVariant& value) {
    const QVariant v = record.value(field);
    if (!v.isValid() || v.isNull()) record.setValue(field, value);
  };
  for (const char* field :
       {"SUBDIV",  "CLIENT", "ROUTE", "FUEL",    "CODFC",  "TRAILER", "KIND",   "MARK",
        "HBREAK",  "MBREAK", "HIN",   "MINUTIN", "HOUT",   "MOUT",    "KMNORM", "HNORM",
        "KMLIMIT", "HLIMIT", "STKM",  "STHOURS", "ZDNKOD", "POWR"})
    orDefault(QString::fromLatin1(field), QVariant::fromValue(qint64(0)));
  for (const char* field : {"WEIGHT", "TONNAGE"}) orDefault(QString::fromLatin1(field), 0.0);
  for (const char* field : {"VIN", "MODELTC", "TYPETC", "CATEGORY"})
    orDefault(QString::fromLatin1(field), QString());
  orDefault(QStringLiteral("INVENT"), QStringLiteral("-"));
  for (const char* field : {"TWO", "TMOTO"})
    orDefault(QString::fromLatin1(field), QVariant::fromValue(qint64(0)));
}

VehicleDrivers vehicleDrivers(db::Database& db, db::Transaction& tr, int car) {
  db::Query q(db, &tr);
  // The first driver first, then one of the others.
  q.setSql(QStringLiteral(
      "select FS.FIRSTDR, DR.FULLINIT from AVFASTENING FS join AVDRIVER DR on DR.DRIVER=FS.DRIVER "
      "where FS.CAR=:CAR order by FS.FIRSTDR desc, FS.FASTEN"));
  q.param(QStringLiteral("CAR")).setInt(car);
  q.open();
  VehicleDrivers out;
  for (; !q.eof(); q.next()) {
    QString& slot = q.field(0).asInt() == 1 ? out.first : out.other;
    if (slot.isEmpty()) slot = q.field(1).asString();
  }
  return out;
}

VehicleTitle vehicleTitle(db::Database& db, db::Transaction& tr, int car) {
  db::Query q(db, &tr);
  q.setSql(
      QStringLiteral("select CR.STNUMBER, MR.NAME from AVCAR CR "
                     "left join AVMARK MR on MR.MARK=CR.MARK where CR.CAR=:CAR"));
  q.param(QStringLiteral("CAR")).setInt(car);
  q.open();
  if (q.isEmpty()) return {};
  return {q.field(0).asString().trimmed(), q.field(1).asString().trimmed()};
}

}  // namespace vehiclerules
