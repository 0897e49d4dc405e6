#include "app/datamodule.h"

#include "app/bsp.h"
#include "app/constants.h"
#include "app/user.h"
#include "db/schema.h"
#include "platform/dberror.h"
#include "platform/messages.h"

#include <cstdio>
#include <stdexcept>

TDM::TDM(const QString& iniPath, TBsp& bsp) : ini_(iniPath), bsp_(bsp) {
  DB.setDefaultTransaction(&IBTransaction);
  bsp_.Dt1 = ini_.readDate(inikeys::kPeriod, inikeys::kDt1, QDate(2005, 1, 1));
  bsp_.Dt2 = ini_.readDate(inikeys::kPeriod, inikeys::kDt2, QDate(2005, 1, 31));
}

TDM::~TDM() {
  try {
    ini_.writeDate(inikeys::kPeriod, inikeys::kDt1, bsp_.Dt1);
    ini_.writeDate(inikeys::kPeriod, inikeys::kDt2, bsp_.Dt2);
  } catch (const std::exception& e) {
    // The program is ending; the period simply is not remembered.
    std::fprintf(stderr, "%s\n", e.what());
  }
  DB.disconnect();
}

void TDM::setUser(const TUser& user) {
  context_.userKey = user.usr;
  context_.userKind = user.typ;
}

FrameworkContext& TDM::context() {
  context_.decPl = bsp_.DecPl;
  return context_;
}

double TDM::MinutesToHours(int minutes) {
  return QString::number(minutes / 60.0, 'f', 2).toDouble();
}

void TDM::ReadData() {
  ConstantRows rows;
  qryTemp.close();
  qryTemp.setSql(QStringLiteral("SELECT * FROM SPCONST"));
  qryTemp.open();
  for (; !qryTemp.eof(); qryTemp.next()) {
    const db::Field cnst = qryTemp[QStringLiteral("CNST")];
    rows.insert(qryTemp[QStringLiteral("IDCONST")].asString(),
                cnst.isNull() ? std::nullopt : std::optional<QString>(cnst.asString()));
  }
  qryTemp.close();
  const QList<ConstantProblem> problems = loadConstants(rows, bsp_);
  if (!problems.isEmpty()) msg::warning(describeProblems(problems));

  const int version = rows.value(QStringLiteral("BASEVER")).value_or(QString()).trimmed().toInt();
  if (version < schema::kVersion) {
    msg::warning(
        QStringLiteral("База данных имеет версию %1, программа работает с версией %2. "
                       "Обновление базы данных этой версией программы пока не выполняется: "
                       "часть функций может работать неверно.")
            .arg(version)
            .arg(schema::kVersion));
  }
}

QString TDM::ReadConst(const QString& id) {
  qryTemp.close();
  qryTemp.setSql(QStringLiteral("select CNST from SPCONST where IdConst=:IdConst"));
  qryTemp.param(QStringLiteral("IdConst")).setString(id.toUpper());
  qryTemp.open();
  QString value = qryTemp.field(0).asString();
  qryTemp.close();
  while (value.endsWith(QLatin1Char(' '))) value.chop(1);
  return value;
}

void TDM::CountReportUse(const QString& id, const QString& caption) {
  // Another workstation may be counting the same report at this moment: its row lock makes a
  // nowait statement fail at once, so try again a few times.
  constexpr int kAttempts = 5;
  for (int attempt = 1;; ++attempt) {
    db::Transaction tr(DB);
    try {
      db::TransactionGuard guard(tr);
      db::Query q(DB, &tr);
      q.setSql(QStringLiteral("select * from spconst where idconst = :IdConst"));
      q.param(QStringLiteral("IdConst")).setString(id);
      q.open();
      int count = 1;
      const bool found = !q.isEmpty();
      if (found) {
        QString text = q[QStringLiteral("CNST")].asString();
        while (text.endsWith(QLatin1Char(' '))) text.chop(1);
        bool ok = false;
        count = text.toInt(&ok) + 1;
        if (!ok)
          throw db::DbError(
              QStringLiteral("Счетчик использования \"%1\" содержит \"%2\" вместо числа.")
                  .arg(id, text));
      }
      q.close();
      q.setSql(found ? QStringLiteral(
                           "update spconst set  Name=:Name, CNST=:CNST where IdConst=:IdConst")
                     : QStringLiteral("insert into spconst values(:IdConst, :Name, :CNST)"));
      q.param(QStringLiteral("IdConst")).setString(id);
      q.param(QStringLiteral("Name")).setString(caption);
      q.param(QStringLiteral("CNST")).setString(QString::number(count));
      q.exec();
      guard.commit();
      return;
    } catch (const db::DbError& e) {
      if (!e.isLockConflict() || attempt == kAttempts) throw;
    }
  }
}
