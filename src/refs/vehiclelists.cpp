#include "refs/vehiclelists.h"

#include "app/rights.h"
#include "app/user.h"
#include "platform/database.h"
#include "refs/normrules.h"
#include "refs/norms.h"
#include "refs/prices.h"
#include "refs/vehicledrivers.h"
#include "refs/vehicleperiods.h"
#include "refs/vehicles.h"

namespace vehiclebooks {

namespace {

// The columns of AVCAR that its editor writes, in the order of the insert.
const QStringList& vehicleColumns() {
  static const QStringList columns = {
      "CAR",      "SUBDIV",  "CLIENT",  "FUEL",   "TRAILER",  "KIND",    "MARK",
      "STNUMBER", "HBREAK",  "MBREAK",  "HIN",    "MINUTIN",  "HOUT",    "MOUT",
      "KMNORM",   "HNORM",   "KMLIMIT", "HLIMIT", "STKM",     "STHOURS", "TWO",
      "WEIGHT",   "TONNAGE", "SHASSIS", "ENGINE", "SDATE",    "FRAME",   "BODY",
      "ZDNKOD",   "VIN",     "MODELTC", "TYPETC", "CATEGORY", "POWR",    "TMOTO",
      "INVENT",   "ROUTE",   "BALANS",  "NORMA",  "TANK",     "CODFC"};
  return columns;
}

QString vehicleInsert() {
  QStringList values;
  for (const QString& c : vehicleColumns()) values << QLatin1Char(':') + c;
  return QStringLiteral("insert into AVCAR (") + vehicleColumns().join(QLatin1Char(',')) +
         QStringLiteral(") values (") + values.join(QLatin1Char(',')) + QLatin1Char(')');
}

QString vehicleUpdate() {
  QStringList sets;
  for (const QString& c : vehicleColumns())
    if (c != QLatin1String("CAR")) sets << c + QStringLiteral("=:") + c;
  return QStringLiteral("update AVCAR set ") + sets.join(QLatin1Char(',')) +
         QStringLiteral(" where CAR=:OLD_CAR");
}

QueryColumn column(const QString& field, const QString& title, int width,
                   DisplayFormat format = {}) {
  return {field, title, width, format};
}

}  // namespace

FieldSpec lookupField(const QString& field, const QString& label, const QString& sql,
                      const QString& keyField, const QString& nameField, const QString& table,
                      const QString& condition, const QString& picker) {
  FieldSpec f = FieldSpec::of(FieldSpec::Lookup, field, label);
  f.lookupSql = sql;
  f.lookupKeyField = keyField;
  f.lookupNameField = nameField;
  f.lookupTable = table;
  f.lookupCondition = condition;
  f.picker = picker;
  return f;
}

int editOnlyRights(int r) {
  return r & ~(rights::kAdd | rights::kDelete);
}

ListSpec vehicles(const TUser* user) {
  ListSpec s;
  s.windowName = QStringLiteral("fmLsAcar");
  s.caption = QStringLiteral("Автомобили.");
  s.TableName = QStringLiteral("AVCAR");
  s.KeyField = QStringLiteral("CAR");
  s.NameField = QStringLiteral("STNUMBER");
  s.EditorCaption = QStringLiteral("Автомобили.");
  s.NameLabel = QStringLiteral("Гос. номер автомобиля : ");
  s.KeyProcName = QStringLiteral("GET_AVCAR_ID");
  s.InsertSql = vehicleInsert();
  s.ModifySql = vehicleUpdate();
  // A vehicle is never deleted: it keeps its waybills and leaves the list.
  s.DeleteSql = QStringLiteral("update AVCAR set DISMISS = 1 where CAR=:CAR");
  s.RefreshSql = QStringLiteral("select * from AVCAR where CAR>0 and DISMISS=0 and CAR=:CAR");
  // Explicit joins, so that the rights join can follow them; a vehicle without a matching mark
  // or subdivision row is not listed.
  const bool narrowed = user && rights::isRestricted(*user);
  s.listSql = {
      QStringLiteral("select CR.CAR,CR.DISMISS,CR.STNUMBER,CR.MARK,MR.NAME as MARKNAME,"
                     "SB.SUBDIV,SB.NAME as SUBDIVNAME"),
      QStringLiteral("from AVCAR CR join AVMARK MR on MR.MARK=CR.MARK "
                     "join AVSUBDIV SB on SB.SUBDIV=CR.SUBDIV") +
          (narrowed ? rights::vehicleJoin(*user, QStringLiteral("CR")) : QString()),
      QStringLiteral("where CR.CAR>0 and CR.DISMISS=0") +
          (narrowed ? QStringLiteral(" and ") + rights::vehicleCondition(*user, "CR") : QString()),
      QStringLiteral("order by STNUMBER")};
  s.columns = {column(QStringLiteral("STNUMBER"), QStringLiteral("Гос. номер"), 12),
               column(QStringLiteral("MARKNAME"), QStringLiteral("Марка"), 40)};
  s.editor = [](FrameworkContext& ctx, QWidget* parent) -> std::unique_ptr<RecordEditor> {
    return std::make_unique<TfmEdAcar>(ctx, parent);
  };
  return s;
}

ListSpec vehicleDrivers(int car) {
  ListSpec s;
  s.windowName = QStringLiteral("fmLsAcarf");
  s.caption = QStringLiteral("Машина-Водитель.");
  s.TableName = QStringLiteral("AVFASTENING");
  s.KeyField = QStringLiteral("FASTEN");
  s.NameField = QStringLiteral("FULLINIT");
  s.EditorCaption = QStringLiteral("Машина-Водитель.");
  s.KeyProcName = QStringLiteral("GET_AVFASTENING_ID");
  s.InsertSql = QStringLiteral(
      "insert into AVFASTENING (FASTEN,DRIVER,CAR,FIRSTDR) values (:FASTEN,:DRIVER,:CAR,:FIRSTDR)");
  s.ModifySql = QStringLiteral(
      "update AVFASTENING set DRIVER=:DRIVER,CAR=:CAR,FIRSTDR=:FIRSTDR where FASTEN=:OLD_FASTEN");
  s.DeleteSql = QStringLiteral("delete from AVFASTENING where FASTEN = :FASTEN");
  s.RefreshSql = QStringLiteral("select * from AVFASTENING where FASTEN=:FASTEN");
  s.listSql = {QStringLiteral("select FS.FASTEN,FS.DRIVER,FS.CAR,FS.FIRSTDR,DR.FULLINIT"),
               QStringLiteral("from AVFASTENING FS,AVDRIVER DR"),
               QStringLiteral("where FS.DRIVER=DR.DRIVER and FS.CAR=") + QString::number(car),
               QStringLiteral("order by FULLINIT")};
  s.columns = {column(QStringLiteral("FULLINIT"), QStringLiteral("Водитель"), 45),
               column(QStringLiteral("FIRSTDR"), QStringLiteral("1-й водитель"), 12)};
  s.editor = [car](FrameworkContext& ctx, QWidget* parent) -> std::unique_ptr<RecordEditor> {
    return std::make_unique<TfmEdAcarf>(ctx, car, parent);
  };
  return s;
}

ListSpec prices() {
  ListSpec s;
  s.windowName = QStringLiteral("fmLsAcarp");
  s.caption = QStringLiteral("Расценки на работу автотранспорта.");
  s.TableName = QStringLiteral("AVCAR");
  s.KeyField = QStringLiteral("CAR");
  s.NameField = QStringLiteral("STNUMBER");
  s.WherePrefix = QStringLiteral("DISMISS=0 AND ");
  s.EditorCaption = QStringLiteral("Расценки на работу автотранспорта.");
  s.NameLabel = QStringLiteral("Гос. номер    : ");
  s.ModifySql = QStringLiteral(
      "update AVPRICE set HOURS=:HOURS,KM=:KM,COEFF=:COEFF,HOURUP=:HOURUP,KMUP=:KMUP "
      "where CAR=:OLD_CAR");
  s.RefreshSql = QStringLiteral("select * from AVPRICE where CAR>0 and CAR=:CAR");
  s.listSql = {QStringLiteral("select CR.CAR,CR.STNUMBER,MR.NAME,NR.HOURS,NR.KM,NR.COEFF,"
                              "NR.HOURUP,NR.KMUP"),
               QStringLiteral("from AVCAR CR , AVMARK MR, AVPRICE NR"),
               QStringLiteral("where CR.MARK=MR.MARK and CR.CAR=NR.CAR and CR.CAR>0 and "
                              "CR.DISMISS=0"),
               QStringLiteral("order by CR.STNUMBER")};
  const DisplayFormat money = DisplayFormat::number(2);
  s.columns = {column(QStringLiteral("STNUMBER"), QStringLiteral("Гос. номер"), 12),
               column(QStringLiteral("NAME"), QStringLiteral("Марка"), 25),
               column(QStringLiteral("HOURS"), QStringLiteral("За 1 час"), 10, money),
               column(QStringLiteral("KM"), QStringLiteral("За 1 км"), 10, money),
               column(QStringLiteral("COEFF"), QStringLiteral("Коэфф"), 10, money),
               column(QStringLiteral("HOURUP"), QStringLiteral("1 час (сверх)"), 12, money),
               column(QStringLiteral("KMUP"), QStringLiteral("1 км (сверх) "), 12, money)};
  s.editor = [](FrameworkContext& ctx, QWidget* parent) -> std::unique_ptr<RecordEditor> {
    return std::make_unique<TfmEdAcarp>(ctx, parent);
  };
  return s;
}

ListSpec fuelNorms(int decPl) {
  ListSpec s;
  s.windowName = QStringLiteral("fmLsAcarn1");
  s.caption = QStringLiteral("Нормы расхода ГСМ.");
  s.TableName = QStringLiteral("AVCAR");
  s.KeyField = QStringLiteral("CAR");
  s.NameField = QStringLiteral("STNUMBER");
  s.WherePrefix = QStringLiteral("DISMISS=0 AND ");
  s.NameLabel = QStringLiteral("Гос. номер    : ");
  s.ExtraClause = QStringLiteral("and KFN=0");
  s.EditorCaption = QStringLiteral("Редактирование норм расхода ГСМ.");
  s.ModifySql = QStringLiteral(
      "update AVNORMFUEL set CAR = :CAR, SUM100 = :SUM100, RES3 = :RES3,RES1 = :RES1,"
      "WARM = :WARM,RES4 = :RES4,TNKM = :TNKM,MOTOH = :MOTOH, BUKS=:BUKS, RES2=:RES2 "
      "where CAR = :OLD_CAR and KFN=0");
  s.RefreshSql = QStringLiteral("select * from AVNORMFUEL where CAR=:CAR and KFN=0");
  // Four lines, so that Find and Filter keep the mark and the norm in view.
  s.listSql = {QStringLiteral("select nrm.CAR,cr.STNUMBER,mrk.NAME as MARKA,nrm.SUM100"),
               QStringLiteral("from AVCAR cr left join AVNORMFUEL nrm on nrm.CAR=cr.CAR and "
                              "nrm.KFN=0 left join AVMARK mrk on mrk.MARK=cr.MARK"),
               QStringLiteral("where CR.DISMISS=0 and CR.CAR>0"),
               QStringLiteral("order by CR.STNUMBER")};
  s.columns = {column(QStringLiteral("STNUMBER"), QStringLiteral("Номер"), 12),
               column(QStringLiteral("MARKA"), QStringLiteral("Марка"), 30),
               column(QStringLiteral("SUM100"), QStringLiteral("Норма л/100км"), 14,
                      DisplayFormat::number(decPl))};
  s.editor = [](FrameworkContext& ctx, QWidget* parent) -> std::unique_ptr<RecordEditor> {
    return std::make_unique<TfmEdAcarn1>(ctx, parent);
  };
  return s;
}

ListSpec normCoefficients() {
  ListSpec s;
  s.windowName = QStringLiteral("fmLsKFNorms");
  s.caption = QStringLiteral("Коэффициенты норм расхода ГСМ.");
  s.TableName = QStringLiteral("AVKFNORMS");
  s.KeyField = QStringLiteral("KFN");
  s.NameField = QStringLiteral("N");
  s.SelectList =
      QStringLiteral("KFN,N,(case when(ZIMN <> 0 and ZIMN is not NULL) then 1 else 0 end) as ZIMN");
  s.NameLabel = QStringLiteral("Наимен. коэфф. : ");
  s.EditorCaption = QStringLiteral("Редактирование коэффициентов норм расхода ГСМ.");
  s.KeyProcName = QStringLiteral("GET_AVKFNORMS_ID");
  s.InsertSql = QStringLiteral("insert into AVKFNORMS (KFN,N,ZIMN) values (:KFN,:N,:ZIMN)");
  s.ModifySql =
      QStringLiteral("update AVKFNORMS set KFN = :KFN, N = :N, ZIMN= :ZIMN where KFN = :OLD_KFN");
  s.DeleteSql = QStringLiteral("delete from AVKFNORMS where KFN = :KFN");
  s.RefreshSql = QStringLiteral(
      "select KFN,N,(case when(ZIMN <> 0 and ZIMN is not NULL) then 1 else 0 end) as ZIMN  "
      "from AVKFNORMS where KFN=:KFN");
  // The norm rows of a coefficient go with it: no waybill norm may use a coefficient that no
  // longer exists.
  s.afterDelete = [](db::Transaction& tr, int key) {
    normrules::deleteCoefficientRows(tr.database(), tr, key);
  };
  s.editor = [](FrameworkContext& ctx, QWidget* parent) -> std::unique_ptr<RecordEditor> {
    return std::make_unique<TfmEdKFNorms>(ctx, parent);
  };
  return s;
}

ListSpec additionalNorms(int car) {
  ListSpec s;
  s.windowName = QStringLiteral("fmLsDopNorm");
  s.caption = QStringLiteral("Дополнительные нормы расхода ГСМ для ");
  s.TableName = QStringLiteral("AVDOPNORM");
  s.KeyField = QStringLiteral("DNORM");
  s.NameField = QStringLiteral("N");
  s.SelectList = QStringLiteral("DNORM,CAR,LIT,N");
  s.NameLabel = QStringLiteral("Наименование: ");
  s.EditorCaption = QStringLiteral("Редактирование доп. норм расхода ГСМ");
  s.KeyProcName = QStringLiteral("GET_AVDOPNORM_ID");
  s.InsertSql =
      QStringLiteral("insert into AVDOPNORM (DNORM,CAR,LIT,N) values(:DNORM,:CAR,:LIT,:N)");
  s.ModifySql = QStringLiteral("update AVDOPNORM set LIT = :LIT, N = :N where DNORM = :DNORM");
  s.DeleteSql = QStringLiteral("delete from AVDOPNORM where DNORM=:DNORM");
  s.RefreshSql = QStringLiteral("select * from AVDOPNORM where DNORM=:DNORM");
  s.listSql = {
      QStringLiteral("select dn.DNORM,dn.CAR,dn.N,dn.LIT from AVDOPNORM dn where dn.CAR=") +
      QString::number(car) + QStringLiteral(" order by dn.N")};
  s.columns = {
      column(QStringLiteral("N"), QStringLiteral("Наименование"), 40),
      column(QStringLiteral("LIT"), QStringLiteral("Норма л/час"), 12, DisplayFormat::number(1))};
  s.editor = [car](FrameworkContext& ctx, QWidget* parent) -> std::unique_ptr<RecordEditor> {
    return std::make_unique<TfmEdDopNorm>(ctx, car, parent);
  };
  return s;
}

ListSpec winterPeriods(int car) {
  ListSpec s;
  s.windowName = QStringLiteral("fmLsAWint");
  s.caption = QStringLiteral("Работа зимних шин");
  s.TableName = QStringLiteral("AVWINTIRE");
  s.KeyField = QStringLiteral("WINTIRE");
  // The start date as it is shown: a text column, so that Find, Filter and the quick search
  // compare what the person sees (a date column takes no collation).
  s.NameField = QStringLiteral("TIMEFROMTEXT");
  s.NameLabel = QStringLiteral("Дата установки зимних шин");
  s.EditorCaption = QStringLiteral("Зимний период.  ");
  s.KeyProcName = QStringLiteral("GET_AVWINTIRE_ID");
  s.InsertSql = QStringLiteral(
      "insert into AVWinTire (WinTire,Car,TIMEFROM,TIMETO) values (:WINTIRE, :CAR, :TIMEFROM, "
      ":TIMETO)");
  s.ModifySql = QStringLiteral(
      "update AVWinTire set WinTire=:WINTIRE,Car=:CAR,TIMEFROM=:TIMEFROM, TIMETO=:TIMETO where "
      "WinTire=:OLD_WINTIRE");
  s.DeleteSql = QStringLiteral("delete from AVWinTire where WinTire = :WINTIRE");
  s.RefreshSql = QStringLiteral("select * from AVWinTire where WinTire = :WINTIRE");
  const QString text = QStringLiteral(
      "cast(lpad(extract(day from wt.TIMEFROM), 2, '0') || '.' || "
      "lpad(extract(month from wt.TIMEFROM), 2, '0') || '.' || extract(year from wt.TIMEFROM) "
      "as varchar(10) character set WIN1251)");
  // The vehicle's condition stays on the third line, so Find and Filter stay within it.
  s.listSql = {QStringLiteral("select WINTIRE,CAR,TIMEFROM,TIMETO,TIMEFROMTEXT"),
               QStringLiteral("from (select wt.WINTIRE,wt.CAR,wt.TIMEFROM,wt.TIMETO,") + text +
                   QStringLiteral(" as TIMEFROMTEXT from AVWINTIRE wt) wt"),
               QStringLiteral("where WINTIRE>0 and CAR=") + QString::number(car),
               QStringLiteral("order by TIMEFROM,WINTIRE")};
  s.columns = {column(QStringLiteral("TIMEFROM"), QStringLiteral("Дата установки зимних шин"), 26,
                      DisplayFormat::date()),
               column(QStringLiteral("TIMETO"), QStringLiteral("Дата демонтажа зимних шин"), 26,
                      DisplayFormat::date())};
  s.editor = [car](FrameworkContext& ctx, QWidget* parent) -> std::unique_ptr<RecordEditor> {
    return std::make_unique<TfmEdAWint>(ctx, car, parent);
  };
  return s;
}

ListSpec fuelCards() {
  ListSpec s;
  s.windowName = QStringLiteral("fmLsFuelCard");
  s.caption = QStringLiteral("Топливные карты");
  s.TableName = QStringLiteral("FUELCARD");
  s.KeyField = QStringLiteral("CODFC");
  s.NameField = QStringLiteral("NUM");
  s.NameLabel = QStringLiteral("Номер карты: ");
  s.EditorCaption = QStringLiteral("Топливные карты");
  s.KeyProcName = QStringLiteral("GET_FUELCARD_ID");
  s.InsertSql = QStringLiteral("insert into FUELCARD (CODFC, NUM) values (:CODFC, :NUM)");
  s.ModifySql = QStringLiteral("update FUELCARD set NUM = :NUM where CODFC = :OLD_CODFC");
  s.DeleteSql = QStringLiteral("delete from FUELCARD where CODFC = :CODFC");
  s.RefreshSql = QStringLiteral("select * from FUELCARD where CODFC = :CODFC");
  s.listSql = {QStringLiteral("select fc.*"), QStringLiteral("from FUELCARD fc"),
               QStringLiteral("where fc.CODFC>0"), QStringLiteral("order by fc.NUM")};
  s.columns = {column(QStringLiteral("NUM"), QStringLiteral("Номер карты"), 25)};
  return s;
}

}  // namespace vehiclebooks
