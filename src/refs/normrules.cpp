#include "refs/normrules.h"

#include "framework/routines.h"
#include "platform/query.h"

#include <stdexcept>

namespace normrules {

namespace {
// The product of two four-decimal values needs more than 64 bits in the worst case.
__extension__ typedef __int128 Wide;

// Division by a power of ten, halves away from zero.
Wide roundDiv(Wide value, Wide unit) {
  const bool negative = value < 0;
  const Wide a = negative ? -value : value;
  const Wide q = (a + unit / 2) / unit;
  return negative ? -q : q;
}
}  // namespace

Decimal4 multiply(Decimal4 a, Decimal4 b) {
  // The product counts 1/10^8; five places first, then four, as the cascade of the shared
  // rounding begins.
  const Wide product = static_cast<Wide>(a.raw()) * b.raw();
  const Wide raw = roundDiv(roundDiv(product, 1000), 10);
  if (raw > INT64_MAX || raw < INT64_MIN) throw std::overflow_error("normrules::multiply");
  return Decimal4::fromRaw(static_cast<std::int64_t>(raw));
}

Decimal4 roundedMultiplier(Decimal4 multiplier, int decPl) {
  return RoundDecplMoney(multiplier, decPl);
}

Decimal4 coefficientNorm(Decimal4 baseNorm, Decimal4 multiplier, int decPl) {
  return RoundDecplMoney(multiply(baseNorm, multiplier), decPl);
}

int recomputeCoefficientNorms(db::Database& db, db::Transaction& tr, int car, Decimal4 baseNorm,
                              int decPl) {
  db::Query rows(db, &tr);
  rows.setSql(QStringLiteral("select KFN, KF from AVNORMFUEL where CAR=:CAR and KFN>0"));
  rows.param(QStringLiteral("CAR")).setInt(car);
  rows.open();
  db::Query write(db, &tr);
  write.setSql(QStringLiteral(
      "update AVNORMFUEL set SUM100=:SUM100, NORMA=:NORMA where CAR=:CAR and KFN=:KFN"));
  write.prepare();
  int count = 0;
  for (; !rows.eof(); rows.next()) {
    const Decimal4 multiplier = multiplierOf(rows.field(1).asDecimal());
    write.param(QStringLiteral("SUM100")).setDecimal(baseNorm);
    write.param(QStringLiteral("NORMA")).setDecimal(coefficientNorm(baseNorm, multiplier, decPl));
    write.param(QStringLiteral("CAR")).setInt(car);
    write.param(QStringLiteral("KFN")).setInt(rows.field(0).asInt());
    write.exec();
    ++count;
  }
  return count;
}

int copyCoefficientToVehicles(db::Database& db, db::Transaction& tr, int kfn) {
  db::Query q(db, &tr);
  // Whole rows by position: the column order of AVNORMFUEL is part of the schema.
  q.setSql(QStringLiteral(
      "insert into AVNORMFUEL select nf1.CAR,nf1.SUM100,nf1.WIN100,nf1.CSUM100, "
      "nf1.CWIN100,nf1.TNKM,nf1.MOTOH,nf1.RES1,nf1.RES2,nf1.RES3, nf1.RES4,nf1.MOTOIL,"
      "nf1.TROIL,nf1.SPOIL,nf1.PLAOIL,nf1.BUKS, nf1.WARM,nf1.STOP,:KFN,0,nf1.SUM100 "
      "from AVNORMFUEL nf1 where nf1.KFN=0 and not exists "
      "(select 1 from AVNORMFUEL nf2 where nf2.CAR=nf1.CAR and nf2.KFN=:KFN1)"));
  q.param(QStringLiteral("KFN")).setInt(kfn);
  q.param(QStringLiteral("KFN1")).setInt(kfn);
  q.exec();
  return int(q.rowsAffected());
}

int deleteCoefficientRows(db::Database& db, db::Transaction& tr, int kfn) {
  if (kfn <= 0) return 0;  // the base rows are never a coefficient's
  db::Query q(db, &tr);
  q.setSql(QStringLiteral("delete from AVNORMFUEL where KFN=:KFN"));
  q.param(QStringLiteral("KFN")).setInt(kfn);
  q.exec();
  return int(q.rowsAffected());
}

bool additionalNormInUse(db::Database& db, db::Transaction& tr, int dnorm) {
  db::Query q(db, &tr);
  q.setSql(QStringLiteral("select first 1 dn.ROADLIST from avrldopnorm dn where dn.DNORM =:DNORM"));
  q.param(QStringLiteral("DNORM")).setInt(dnorm);
  q.open();
  return !q.isEmpty();
}

bool winterPeriodCovers(const QDate& from, const QDate& to, const QDate& date) {
  if (!from.isValid() || !date.isValid()) return false;
  return from <= date && (!to.isValid() || to >= date);
}

bool onWinterTires(db::Database& db, db::Transaction& tr, int car, const QDate& date) {
  db::Query q(db, &tr);
  q.setSql(QStringLiteral(
      "select wt.WINTIRE from avwintire wt where wt.CAR=:CAR and wt.TIMEFROM<=:DT and "
      "((wt.TIMETO>=:DT1) or (wt.TIMETO is NULL))"));
  q.param(QStringLiteral("CAR")).setInt(car);
  q.param(QStringLiteral("DT")).setDate(date);
  q.param(QStringLiteral("DT1")).setDate(date);
  q.open();
  return !q.isEmpty();
}

}  // namespace normrules
