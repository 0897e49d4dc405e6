#pragma once

#include "platform/decimal.h"

#include <QDate>
#include <QString>

namespace db {
class Database;
class Transaction;
}  // namespace db

// The rules that keep the fuel norms of the vehicles consistent: the norm under a coefficient,
// the rows of a new coefficient, the winter-tire periods, the additional norms in use.
namespace normrules {

inline const QString kNormInUse =
    QStringLiteral("Нельзя удалить норму! Есть путевые листы ссылающиеся на нее.");

// a × b exactly, brought to four decimals as the shared rounding does its first steps (to five
// places, then to four, halves away from zero).
Decimal4 multiply(Decimal4 a, Decimal4 b);

// A multiplier as the norm editor keeps it: rounded to decPl places by RoundDecplMoney.
Decimal4 roundedMultiplier(Decimal4 multiplier, int decPl);

// The norm under a coefficient: base × multiplier, rounded to decPl places by RoundDecplMoney.
// The coefficient grid and the recomputation after a change of the base norm both use this, so
// the same norm comes out whichever of them wrote it.
Decimal4 coefficientNorm(Decimal4 baseNorm, Decimal4 multiplier, int decPl);

// A stored coefficient (KF, an increment: 0.1 for +10 %) as its multiplier (1.1); null is 0.
inline Decimal4 multiplierOf(Decimal4 kf) {
  return kf + Decimal4::fromInt(1);
}

// After the base norm of a vehicle changed: every coefficient row of the vehicle takes the new
// base norm and its norm under its own coefficient. Returns the rows written.
int recomputeCoefficientNorms(db::Database& db, db::Transaction& tr, int car, Decimal4 baseNorm,
                              int decPl);

// Gives every vehicle that has a base row and no row of the coefficient kfn a row for it: a copy
// of its base row with KF 0 and the norm equal to the base norm. Running it again adds nothing.
// Returns the rows added.
int copyCoefficientToVehicles(db::Database& db, db::Transaction& tr, int kfn);

// The norm rows of a coefficient that is deleted.
int deleteCoefficientRows(db::Database& db, db::Transaction& tr, int kfn);

// Whether a waybill records hours against the additional norm.
bool additionalNormInUse(db::Database& db, db::Transaction& tr, int dnorm);

// Whether a winter-tire period from..to covers the date; an empty end leaves it open.
bool winterPeriodCovers(const QDate& from, const QDate& to, const QDate& date);

// Whether the vehicle runs on winter tires on the date: a period of AVWINTIRE covers it.
bool onWinterTires(db::Database& db, db::Transaction& tr, int car, const QDate& date);

}  // namespace normrules
