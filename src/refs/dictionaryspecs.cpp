#include "refs/dictionaryspecs.h"

#include "app/rights.h"
#include "app/user.h"
#include "framework/editwindow.h"
#include "refs/dictionaryeditors.h"
#include "refs/drivers.h"

namespace dictionaries {

namespace {

// One dictionary of the common pattern: key from GET_<table>_ID, NAME edited, the rows with a
// key above 0 listed by name.
ListSpec dictionary(const QString& windowName, const QString& caption, const QString& table,
                    const QString& key, const QString& nameLabel) {
  ListSpec s;
  s.windowName = windowName;
  s.caption = caption;
  s.EditorCaption = caption;
  s.TableName = table;
  s.KeyField = key;
  s.NameLabel = nameLabel;
  s.InsertSql = QStringLiteral("insert into %1 (%2, NAME) values (:%2, :NAME)").arg(table, key);
  s.ModifySql = QStringLiteral("update %1 set NAME = :NAME where %2 = :OLD_%2").arg(table, key);
  s.DeleteSql = QStringLiteral("delete from %1 where %2 = :%2").arg(table, key);
  s.RefreshSql = QStringLiteral("select * from %1 where %2>0 and %2 = :%2").arg(table, key);
  s.KeyProcName = QStringLiteral("GET_%1_ID").arg(table);
  return s;
}

// Removal that keeps the row: DISMISS = 1, and the list reads only the rows not dismissed.
void dismissInsteadOfDelete(ListSpec& s) {
  s.DeleteSql =
      QStringLiteral("update %1 set DISMISS = 1  where %2 = :%2").arg(s.TableName, s.KeyField);
  s.WherePrefix = QStringLiteral("DISMISS=0 AND ");
  s.RefreshSql += QStringLiteral(" and DISMISS=0");
}

}  // namespace

ListSpec marks() {
  return dictionary(QStringLiteral("fmLsAvm"), QStringLiteral("Марки автотранспорта."),
                    QStringLiteral("AVMARK"), QStringLiteral("MARK"),
                    QStringLiteral("Наимен. марки : "));
}

ListSpec vehicleTypes() {
  ListSpec s = dictionary(QStringLiteral("fmLsAvk"), QStringLiteral("Типы автотранспорта."),
                          QStringLiteral("AVKIND"), QStringLiteral("KIND"),
                          QStringLiteral("Наимен. типа : "));
  s.InsertSql = QStringLiteral("insert into AVKIND (KIND, NAME, TPL) values (:KIND, :NAME, :TPL)");
  s.ModifySql = QStringLiteral("update AVKIND set NAME = :NAME, TPL = :TPL where KIND = :OLD_KIND");
  s.editor = [](FrameworkContext& ctx, QWidget* parent) -> std::unique_ptr<RecordEditor> {
    return std::make_unique<TfmAbstrEdRefTypAvt>(ctx, parent);
  };
  return s;
}

ListSpec workKinds() {
  return dictionary(QStringLiteral("fmLsAwork"), QStringLiteral("Виды работ."),
                    QStringLiteral("AVKINDWORK"), QStringLiteral("WORKTYPE"),
                    QStringLiteral("Наимен. вида : "));
}

ListSpec subdivisions() {
  ListSpec s = dictionary(QStringLiteral("fmLsAsubd"), QStringLiteral("Подразделения."),
                          QStringLiteral("AVSUBDIV"), QStringLiteral("SUBDIV"),
                          QStringLiteral("Наимен. подразд. : "));
  dismissInsteadOfDelete(s);
  s.InsertSql =
      QStringLiteral("insert into AVSUBDIV (SUBDIV, NAME, FNAME) values (:SUBDIV, :NAME, :FNAME)");
  s.ModifySql =
      QStringLiteral("update AVSUBDIV set NAME = :NAME, FNAME = :FNAME where SUBDIV = :OLD_SUBDIV");
  s.editor = describedEditor(
      QStringLiteral("fmEdAsubd"),
      {FieldSpec::text(QStringLiteral("FNAME"), QStringLiteral("Полное наим. :"), 50)});
  return s;
}

ListSpec clients() {
  ListSpec s = dictionary(QStringLiteral("fmLsAclient"), QStringLiteral("Клиенты-заказчики работ."),
                          QStringLiteral("AVCLIENT"), QStringLiteral("CLIENT"),
                          QStringLiteral("Наимен.клиента : "));
  dismissInsteadOfDelete(s);
  s.listSql =
      QStringList{QStringLiteral("select * "), QStringLiteral("from AVCLIENT "),
                  QStringLiteral("where CLIENT>0 and DISMISS=0"), QStringLiteral("order by NAME")};
  s.InsertSql = QStringLiteral(
      "insert into AVCLIENT (CLIENT, HIN, MINUTIN, HOUT, MOUT, KMIN, KMOUT, INTERN, NAME, ADDRESS)"
      " values (:CLIENT, :HIN, :MINUTIN, :HOUT, :MOUT, :KMIN, :KMOUT, :INTERN, :NAME, :ADDRESS)");
  s.ModifySql = QStringLiteral(
      "update AVCLIENT set HIN = :HIN, MINUTIN = :MINUTIN, HOUT = :HOUT, MOUT = :MOUT,"
      " KMIN = :KMIN, KMOUT = :KMOUT, INTERN = :INTERN, NAME = :NAME, ADDRESS = :ADDRESS where "
      "CLIENT = :OLD_CLIENT");
  s.editor = [](FrameworkContext& ctx, QWidget* parent) -> std::unique_ptr<RecordEditor> {
    return std::make_unique<TfmEdAclient>(ctx, parent);
  };
  return s;
}

ListSpec fuels() {
  ListSpec s = dictionary(QStringLiteral("fmLsAfuel"), QStringLiteral("Виды топлива."),
                          QStringLiteral("AVFUEL"), QStringLiteral("FUEL"),
                          QStringLiteral("Наимен. вида : "));
  s.InsertSql = QStringLiteral(
      "insert into AVFUEL (FUEL, TYP, NAME, ZDNKOD) values (:FUEL, :TYP, :NAME, :ZDNKOD)");
  s.ModifySql = QStringLiteral(
      "update AVFUEL set FUEL = :FUEL, TYP = :TYP, NAME = :NAME, ZDNKOD= :ZDNKOD where FUEL = "
      ":OLD_FUEL");
  s.editor = [](FrameworkContext& ctx, QWidget* parent) -> std::unique_ptr<RecordEditor> {
    return std::make_unique<TfmEdAfuel>(ctx, parent);
  };
  return s;
}

ListSpec cargo() {
  return dictionary(QStringLiteral("fmLsAcargo"), QStringLiteral("Виды грузов."),
                    QStringLiteral("AVCARGO"), QStringLiteral("CARGO"),
                    QStringLiteral("Наимен. груза : "));
}

ListSpec routes() {
  ListSpec s = dictionary(QStringLiteral("fmLsAroute"), QStringLiteral("Маршруты."),
                          QStringLiteral("AVROUTE"), QStringLiteral("ROUTE"),
                          QStringLiteral("Наимен. маршр. : "));
  s.listSql = QStringList{QStringLiteral("select * "), QStringLiteral("from AVROUTE "),
                          QStringLiteral("where  ROUTE>0"), QStringLiteral("order by NAME")};
  s.columns = {{QStringLiteral("NAME"), QStringLiteral("Наименование маршрута"), 50, {}},
               {QStringLiteral("KM"), QStringLiteral("Расстояние (км)"), 14, {}}};
  s.InsertSql = QStringLiteral(
      "insert into AVROUTE (ROUTE, NAME, KM, POINT1, POINT2, POINT3, POINT4) values (:ROUTE, "
      ":NAME, :KM, :POINT1, :POINT2, :POINT3, :POINT4)");
  s.ModifySql = QStringLiteral(
      "update AVROUTE set NAME = :NAME, KM =:KM, POINT1 =:POINT1, POINT2 =:POINT2, POINT3 "
      "=:POINT3, POINT4 =:POINT4 where ROUTE = :OLD_ROUTE");
  s.editor = [](FrameworkContext& ctx, QWidget* parent) -> std::unique_ptr<RecordEditor> {
    return std::make_unique<TfmEdAroute>(ctx, parent);
  };
  return s;
}

ListSpec tireDefects() {
  return dictionary(QStringLiteral("fmLsAdef"), QStringLiteral("Наименования дефектов."),
                    QStringLiteral("AVDEF"), QStringLiteral("DEF"),
                    QStringLiteral("Наименование: "));
}

ListSpec tireConclusions() {
  return dictionary(QStringLiteral("fmLsAzk"), QStringLiteral("Заключения."),
                    QStringLiteral("AVZK"), QStringLiteral("ZK"), QStringLiteral("Заключение: "));
}

ListSpec batteryDefects() {
  ListSpec s = dictionary(QStringLiteral("fmLsACdef"), QStringLiteral("Наименования дефектов."),
                          QStringLiteral("AVACDEF"), QStringLiteral("ACDEF"),
                          QStringLiteral("Наименование: "));
  s.EditorCaption = QStringLiteral("Наименования дефектов АКБ.");
  return s;
}

ListSpec batteryConclusions() {
  return dictionary(QStringLiteral("fmLsACzk"), QStringLiteral("Заключения."),
                    QStringLiteral("AVACZK"), QStringLiteral("ACZK"),
                    QStringLiteral("Заключение: "));
}

ListSpec fillKinds() {
  ListSpec s = dictionary(QStringLiteral("fmLsGsmT"), QStringLiteral("Виды заправок."),
                          QStringLiteral("AVGSMT"), QStringLiteral("AVGSMT"),
                          QStringLiteral("Наименование вида заправок : "));
  // TYP travels with the row although the editor does not show it.
  s.InsertSql = QStringLiteral("insert into AVGSMT (AVGSMT,TYP,NAME) values (:AVGSMT,:TYP,:NAME)");
  s.ModifySql = QStringLiteral("update AVGSMT set TYP=:TYP,NAME=:NAME where AVGSMT = :OLD_AVGSMT");
  return s;
}

ListSpec objects() {
  ListSpec s =
      dictionary(QStringLiteral("fmLsObj"), QStringLiteral("Обьекты."), QStringLiteral("AVOBJ"),
                 QStringLiteral("AVOBJ"), QStringLiteral("Наименование обьекта : "));
  // The whole row: the editor's statements write the codes back as they were read.
  s.SelectList = QStringLiteral("*");
  s.NameColumn = 1;
  // In the order of their codes, as the sibling system numbers them; the filter is by code.
  s.listSql = QStringList{QStringLiteral("select * "), QStringLiteral("from AVOBJ "),
                          QStringLiteral("where AVOBJ>0 "), QStringLiteral("order by AVOBJ")};
  s.columns = {{QStringLiteral("AVOBJ"), QStringLiteral("Код"), 8, {}},
               {QStringLiteral("NAME"), QStringLiteral("Наименование"), 60, {}}};
  s.InsertSql = QStringLiteral(
      "insert into avobj (AVOBJ, CODE1, CODE2, CODE3, CODE4, CODE5, NAME)\n"
      "values(:AvObj, :Code1, :Code2, :Code3, :Code4, :Code5, :NAME)");
  s.ModifySql = QStringLiteral(
      "update AVOBJ set NAME=:NAME,CODE1=:CODE1,CODE2=:CODE2,CODE3=:CODE3,CODE4=:CODE4,CODE5=:"
      "CODE5 where AVOBJ = :OLD_AVOBJ");
  s.DeleteSql = QStringLiteral("delete from AVOBJ where AVOBJ=:AVOBJ");
  return s;
}

FieldSpec subdivisionLookup(const QString& label) {
  FieldSpec f = FieldSpec::of(FieldSpec::Lookup, QStringLiteral("SUBDIV"), label);
  f.lookupSql = QStringLiteral("SELECT * from AVSUBDIV where DISMISS=0");
  f.lookupKeyField = QStringLiteral("SUBDIV");
  f.lookupTable = QStringLiteral("AVSUBDIV");
  f.lookupCondition = QStringLiteral("DISMISS=0");
  f.picker = QStringLiteral("PickSubdivision");
  return f;
}

ListSpec drivers(const TUser* user) {
  ListSpec s;
  s.windowName = QStringLiteral("fmLsAdriver");
  s.caption = QStringLiteral("Водители.");
  s.EditorCaption = QStringLiteral("Водители.");
  s.TableName = QStringLiteral("AVDRIVER");
  s.KeyField = QStringLiteral("DRIVER");
  s.NameField = QStringLiteral("INITIALS");
  s.NameLabel = QStringLiteral("Инициалы водителя : ");
  s.KeyProcName = QStringLiteral("GET_AVDRIVER_ID");
  s.InsertSql = QStringLiteral(
      "insert into AVDRIVER (DRIVER, SUBDIV, INITIALS, FULLINIT, SERTIFICATE,TN,CLASS) values "
      "(:DRIVER, :SUBDIV, :INITIALS, :FULLINIT, :SERTIFICATE,:TN,:CLASS)");
  s.ModifySql = QStringLiteral(
      "update AVDRIVER set SUBDIV = :SUBDIV, INITIALS = :INITIALS, FULLINIT = :FULLINIT, "
      "SERTIFICATE=:SERTIFICATE, TN=:TN, CLASS=:CLASS where DRIVER = :OLD_DRIVER");
  // A driver is never deleted: the waybills keep naming him.
  s.DeleteSql = QStringLiteral("update AVDRIVER set DISMISS = 1  where DRIVER = :DRIVER");
  s.RefreshSql =
      QStringLiteral("select * from AVDRIVER where DRIVER>0 and DISMISS=0 and DRIVER = :DRIVER");
  if (user && rights::isRestricted(*user)) {
    // Explicit joins, so that the rights join can follow them.
    s.listSql =
        QStringList{QStringLiteral("select DR.*,DV.SUBDIV,DV.NAME"),
                    QStringLiteral("from AVDRIVER DR join AVSUBDIV DV on DV.SUBDIV=DR.SUBDIV") +
                        rights::driverJoin(*user, QStringLiteral("DR")),
                    QStringLiteral("where DR.DRIVER>0 and DR.DISMISS=0 and ") +
                        rights::driverCondition(*user, QStringLiteral("DR")),
                    QStringLiteral("order by INITIALS")};
  } else {
    s.listSql = QStringList{QStringLiteral("select DR.*,DV.SUBDIV,DV.NAME"),
                            QStringLiteral("from AVDRIVER DR ,  AVSUBDIV DV"),
                            QStringLiteral("where DR.SUBDIV=DV.SUBDIV and DR.DRIVER>0 and "
                                           "DR.DISMISS=0"),
                            QStringLiteral("order by INITIALS")};
  }
  s.editor = [](FrameworkContext& ctx, QWidget* parent) -> std::unique_ptr<RecordEditor> {
    return std::make_unique<TfmEdAdriver>(ctx, parent);
  };
  return s;
}

}  // namespace dictionaries
