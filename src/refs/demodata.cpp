#include "refs/demodata.h"

#include "db/schema.h"
#include "framework/lookup.h"
#include "framework/routines.h"
#include "platform/database.h"
#include "platform/dberror.h"
#include "platform/query.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QVariant>

#include <cstdio>
#include <iterator>
#include <utility>
#include <vector>

namespace {

// One statement prepared once and run with its parameters by name.
class Statement {
 public:
  Statement(db::Database& database, db::Transaction& tr, const QString& sql) : q_(database, &tr) {
    q_.setSql(sql);
    q_.prepare();
  }
  Statement& set(const char* name, const QVariant& value) {
    q_.param(QString::fromLatin1(name)).setValue(value);
    return *this;
  }
  void exec() { q_.exec(); }
  qint64 rowsAffected() const { return q_.rowsAffected(); }

 private:
  db::Query q_;
};

// ------------------------------------------------------------------------------ the motor pool

struct Subdivision {
  const char* name;  // CHAR(20)
  const char* fullName;
};
const Subdivision kSubdivisions[] = {
    {"Автоколонна №1", "Автоколонна №1 (легковой и пассажирский транспорт)"},
    {"Автоколонна №2", "Автоколонна №2 (грузовой транспорт)"},
    {"Участок механизации", "Участок механизации и специальной техники"},
    {"Гараж управления", "Гараж заводоуправления"},
    {"РММ", "Ремонтно-механическая мастерская"},
};
enum SubdivisionIndex { kColumn1, kColumn2, kMechanisation, kOfficeGarage, kWorkshop };

// The kinds of vehicle and the waybill form each is printed on (TPL).
struct Kind {
  const char* name;
  int tpl;
  const char* typeTc;  // "Наименование (тип ТС)"
  const char* category;
};
const Kind kKinds[] = {
    {"Легковые", 5, "Легковой", "B"},
    {"Автобусы", 3, "Автобус", "D"},
    {"Грузовые", 6, "Грузовой бортовой", "C"},
    {"Самосвалы", 6, "Самосвал", "C"},
    {"Автокраны", 4, "Автокран", "C"},
    {"Специальные", 2, "Специальный", "C"},
    {"Дорожно-строительная техника", 1, "Самоходная машина", "D"},
    {"Прицепы", 0, "Прицеп", "прицеп"},
};
enum KindIndex { kCar, kBus, kTruck, kDumpTruck, kCrane, kSpecial, kMachine, kTrailer };

struct Fuel {
  const char* name;
  int typ;  // 1 "Бензин АИ", 3 "Дизтопливо", 4 "Масло"
  int zdnKod;
};
const Fuel kFuels[] = {
    {"АИ-92", 1, 101},
    {"АИ-95", 1, 102},
    {"ДТ (дизтопливо)", 3, 103},
    {"Масло моторное М-8В", 4, 104},
};
enum FuelIndex { kAi92, kAi95, kDiesel, kOil, kNoFuel = -1 };

// A model of vehicle with its base norm in litres per 100 km, after the public methodology of
// fuel norms for road transport: light trucks 13 to 16, heavy ones 25 to 35; machines that work
// by the hour have a norm per motor hour instead. Rates per unit of extra work as the norm
// editor names them.
struct Model {
  const char* mark;
  KindIndex kind;
  FuelIndex fuel;
  double sum100;
  double motoh = 0;  // litres per motor hour (crane, platform, machine)
  double res1 = 0;   // litres per hour of work with the pump
  double res4 = 0;   // litres per body lift (dump trucks)
  double tnkm = 0;   // litres per 100 tonne-km
  double warm = 0;   // litres per hour of engine warm-up
  double tonnage = 0;
  double weight = 0;
  int power = 0;  // hp
  int tank = 0;   // litres
  int count = 1;
  SubdivisionIndex subdivision = kColumn2;
  bool motorHours = false;  // the run is counted in motor hours
  bool twoDrivers = false;
};
const Model kModels[] = {
    {"ГАЗ-31105 «Волга»", kCar, kAi92, 13.0, 0, 0, 0, 0, 0.6, 0, 1.4, 131, 70, 2, kOfficeGarage},
    {"Лада Гранта 21900", kCar, kAi92, 8.1, 0, 0, 0, 0, 0.4, 0, 1.1, 87, 50, 3, kOfficeGarage},
    {"УАЗ-3163 «Патриот»", kCar, kAi92, 14.5, 0, 0, 0, 0, 0.7, 0, 2.1, 128, 72, 2, kColumn1},
    {"Шкода Октавия 1.6", kCar, kAi95, 8.7, 0, 0, 0, 0, 0.4, 0, 1.3, 110, 50, 1, kOfficeGarage},
    {"ПАЗ-32053", kBus, kAi92, 34.0, 0, 0, 0, 0, 1.5, 0, 5.3, 130, 105, 2, kColumn1, false, true},
    {"ГАЗ-322132 «Газель»", kBus, kAi92, 16.5, 0, 0, 0, 0, 0.8, 0, 2.6, 107, 64, 2, kColumn1},
    {"ГАЗ-33021 «Газель»", kTruck, kAi92, 15.5, 0, 0, 0, 2.0, 0.8, 1.5, 1.9, 100, 64, 3},
    {"ГАЗ-3309", kTruck, kDiesel, 17.0, 0, 0, 0, 1.3, 0.8, 4.5, 3.6, 118, 105, 2},
    {"КАМАЗ-65117", kTruck, kDiesel, 27.5, 0, 0, 0, 1.3, 1.2, 14.0, 10.4, 280, 350, 2},
    {"МАЗ-6312В9", kTruck, kDiesel, 29.5, 0, 0, 0, 1.3, 1.2, 20.0, 10.5, 412, 350, 1},
    {"ЗИЛ-431410", kTruck, kAi92, 31.0, 0, 0, 0, 2.0, 1.2, 6.0, 4.3, 150, 170, 1},
    {"КАМАЗ-65115", kDumpTruck, kDiesel, 33.0, 0, 0, 0.25, 1.3, 1.2, 15.0, 10.2, 280, 350, 4},
    {"МАЗ-5551", kDumpTruck, kDiesel, 25.0, 0, 0, 0.25, 1.3, 1.2, 10.0, 7.6, 180, 200, 2},
    {"КС-3577 на шасси МАЗ-5337", kCrane, kDiesel, 27.0, 8.4, 0, 0, 0, 1.2, 0, 15.8, 180, 200, 1,
     kMechanisation, false, true},
    {"КС-45717 на шасси Урал-4320", kCrane, kDiesel, 35.0, 9.6, 0, 0, 0, 1.2, 0, 17.9, 240, 300, 1,
     kMechanisation, false, true},
    {"АЦ-56216 на шасси КАМАЗ-43118", kSpecial, kDiesel, 31.0, 0, 2.8, 0, 0, 1.2, 10.0, 9.3, 260,
     210, 1, kMechanisation},
    {"КО-440-4 на шасси ГАЗ-3309", kSpecial, kDiesel, 19.0, 0, 1.6, 0, 0, 0.8, 3.0, 5.0, 118, 105,
     1, kMechanisation},
    {"АГП-22 на шасси ГАЗ-3309", kSpecial, kDiesel, 18.5, 4.0, 0, 0, 0, 0.8, 0, 6.4, 118, 105, 1,
     kMechanisation},
    {"КО-503В на шасси ГАЗ-3309", kSpecial, kDiesel, 18.0, 0, 2.0, 0, 0, 0.8, 3.7, 6.1, 118, 105, 1,
     kMechanisation},
    {"Автомастерская на шасси УАЗ-390945", kSpecial, kAi92, 16.0, 0, 0, 0, 0, 0.7, 0, 2.9, 112, 72,
     1, kWorkshop},
    {"Экскаватор ЭО-2621 на базе МТЗ-82", kMachine, kDiesel, 0, 7.5, 0, 0, 0, 0, 0, 6.5, 81, 130, 1,
     kMechanisation, true},
    {"Погрузчик фронтальный ТО-18", kMachine, kDiesel, 0, 12.0, 0, 0, 0, 0, 0, 11.6, 130, 200, 1,
     kMechanisation, true},
    {"Прицеп бортовой ГКБ-8350", kTrailer, kNoFuel, 0, 0, 0, 0, 0, 0, 8.0, 3.5, 0, 0, 2},
    {"Полуприцеп МАЗ-9758", kTrailer, kNoFuel, 0, 0, 0, 0, 0, 0, 20.0, 6.5, 0, 0, 1},
    {"Прицеп тракторный 2ПТС-4", kTrailer, kNoFuel, 0, 0, 0, 0, 0, 0, 4.0, 1.5, 0, 0, 1,
     kMechanisation},
};

const char* const kSurnames[] = {
    "Иванов",      "Петров",    "Смирнов", "Кузнецов", "Попов",    "Васильев", "Соколов",
    "Михайлов",    "Новиков",   "Фёдоров", "Морозов",  "Волков",   "Алексеев", "Лебедев",
    "Семёнов",     "Егоров",    "Павлов",  "Козлов",   "Степанов", "Николаев", "Орлов",
    "Андреев",     "Макаров",   "Никитин", "Захаров",  "Зайцев",   "Соловьёв", "Борисов",
    "Яковлев",     "Григорьев", "Романов", "Воробьёв", "Сергеев",  "Кузьмин",  "Фролов",
    "Александров", "Дмитриев",  "Королёв", "Гусев",    "Киселёв",  "Ильин",    "Максимов"};
const char* const kFirstNames[] = {"Александр", "Сергей",  "Владимир", "Андрей", "Алексей",
                                   "Дмитрий",   "Николай", "Игорь",    "Юрий",   "Виктор",
                                   "Михаил",    "Олег",    "Евгений"};
const char* const kPatronymics[] = {"Иванович",   "Петрович",    "Сергеевич",    "Александрович",
                                    "Викторович", "Николаевич",  "Владимирович", "Михайлович",
                                    "Юрьевич",    "Анатольевич", "Васильевич"};

struct Client {
  const char* name;
  const char* address;
  int hin, minutin, hout, mout, kmin, kmout;
  int intern;
};
const Client kClients[] = {
    {"ООО «Северстроймонтаж»", "460001, г. Оренбург, ул. Северная, 12", 0, 30, 0, 30, 5, 5, 0},
    {"АО «Облдорстрой»", "460024, г. Оренбург, пр. Победы, 118", 0, 20, 0, 20, 4, 4, 0},
    {"МУП «Горводоканал»", "460000, г. Оренбург, ул. Пролетарская, 4", 0, 15, 0, 15, 3, 3, 0},
    {"ООО «Торговый дом Восток»", "460048, г. Оренбург, ул. Монтажников, 31", 0, 25, 0, 25, 6, 6,
     0},
    {"Цех №3", "Промплощадка, корпус 3", 0, 5, 0, 5, 1, 1, 1},
    {"Управление капитального строительства", "Заводоуправление, каб. 214", 0, 5, 0, 5, 1, 1, 1},
};

struct Route {
  const char* name;
  int km;
  const char* points[4];
};
const Route kRoutes[] = {
    {"Гараж - карьер «Южный»",
     24,
     {"Гараж - промзона", "Промзона - развилка", "Развилка - карьер", ""}},
    {"Гараж - стройплощадка ЖК «Солнечный»",
     12,
     {"Гараж - ул. Заводская", "ул. Заводская - ЖК «Солнечный»", "", ""}},
    {"Гараж - нефтебаза", 8, {"Гараж - нефтебаза", "", "", ""}},
    {"Служебный автобус, маршрут №1",
     35,
     {"Гараж - ж/д вокзал", "Вокзал - пос. Ростоши", "Ростоши - проходная", "Проходная - гараж"}},
    {"Гараж - полигон ТБО", 18, {"Гараж - объездная дорога", "Объездная - полигон", "", ""}},
};

const char* const kWorkKinds[] = {"Перевозка грузов",  "Перевозка пассажиров", "Служебные поездки",
                                  "Работа крана",      "Земляные работы",      "Вывоз ТБО",
                                  "Работа спецтехники"};
const char* const kCargo[] = {"Песок",  "Щебень",        "Грунт", "Бетон",
                              "Кирпич", "Металлопрокат", "ТБО"};
const char* const kTireDefects[] = {"Износ протектора сверх нормы", "Порез боковины",
                                    "Грыжа боковины", "Расслоение каркаса", "Пробой"};
const char* const kTireConclusions[] = {"Списать", "Направить в ремонт", "Пригодна к эксплуатации"};
const char* const kBatteryDefects[] = {"Сульфатация пластин", "Замыкание пластин",
                                       "Трещина корпуса", "Потеря ёмкости"};
const char* const kBatteryConclusions[] = {"Списать", "Зарядить и проверить", "Сдать в утилизацию"};
struct Object {
  int code1, code2, code3, code4, code5;
  const char* name;
};
const Object kObjects[] = {
    {1, 2, 0, 1201, 0, "Жилой дом поз. 12 мкр. «Солнечный»"},
    {1, 2, 0, 1202, 0, "Жилой дом поз. 14 мкр. «Солнечный»"},
    {2, 1, 0, 550, 0, "Школа на 550 мест"},
    {3, 4, 1, 4, 0, "Реконструкция котельной №4"},
    {4, 0, 0, 210, 1, "Сети водоснабжения ул. Лесная"},
    {5, 0, 0, 17, 0, "Подъездная дорога к промзоне"},
};
const char* const kFuelCards[] = {"7826010012345678", "7826010012345685", "7826010012345692",
                                  "7826010012345708", "7826010012345715", "7826010012345722"};

// Letters that Russian number plates use.
const QString kPlateLetters = QStringLiteral("АВЕКМНОРСТУХ");
const QString kRegion = QStringLiteral("56");

QString plate(KindIndex kind, int i) {
  const QChar a = kPlateLetters[i % kPlateLetters.size()];
  const QChar b = kPlateLetters[(i * 5 + 3) % kPlateLetters.size()];
  const QChar c = kPlateLetters[(i * 7 + 1) % kPlateLetters.size()];
  const QString digits = QStringLiteral("%1").arg(100 + (i * 37) % 900, 3, 10, QLatin1Char('0'));
  if (kind == kTrailer) return QString(a) + b + QStringLiteral("%1").arg(1000 + i * 13) + kRegion;
  if (kind == kMachine) return QStringLiteral("%1").arg(2000 + i * 17) + a + b + kRegion;
  return QString(a) + digits + b + c + kRegion;
}

// ------------------------------------------------------------------------------ the filling

class DemoFiller {
 public:
  DemoFiller(db::Database& database, db::Transaction& tr) : db_(database), tr_(tr) {}

  void run() {
    placeholders();
    constants();
    dictionaries();
    coefficients();
    vehicles();
    drivers();
    generatorsPastKeys();
  }

 private:
  int newKey(const QString& procedure) {
    db::Query q(db_, &tr_);
    q.setSql(QStringLiteral("select OUT_ID from ") + procedure);
    q.open();
    const int key = int(q.field(0).asInt());
    q.close();
    return key;
  }
  Statement statement(const QString& sql) { return Statement(db_, tr_, sql); }

  // Rows "Hет данных" with key 0, as the initialisation writes them, and the generators of
  // their tables moved to 1 so that the first real row gets key 2, as after the initialisation.
  void placeholders() {
    const QString none = lookup::noDataName();
    const QDate start(2000, 1, 1);
    struct Row {
      const char* sql;
      const char* generator;
    };
    const Row rows[] = {
        {"insert into AVFUEL (FUEL,TYP,NAME,ZDNKOD) values (0,0,:NAME,0)", "GEN_AVFUEL"},
        {"insert into AVKIND (KIND,NAME,TPL) values (0,:NAME,0)", "GEN_AVKIND"},
        {"insert into AVMARK (MARK,NAME) values (0,:NAME)", "GEN_AVMARK"},
        {"insert into AVSUBDIV (SUBDIV,DISMISS,LEV1,LEV2,LEV3,LEV4,NAME,FNAME) values "
         "(0,0,0,0,0,0,:NAME,:NAME)",
         "GEN_AVSUBDIV"},
        {"insert into AVCLIENT (CLIENT,DISMISS,HIN,MINUTIN,HOUT,MOUT,KMIN,KMOUT,INTERN,NAME) "
         "values (0,0,0,0,0,0,0,0,0,:NAME)",
         "GEN_AVCLIENT"},
        {"insert into AVROUTE (ROUTE,NAME,KM) values (0,:NAME,0)", "GEN_AVROUTE"},
        {"insert into AVCAR (CAR,DISMISS,SUBDIV,CLIENT,FUEL,TRAILER,KIND,MARK,STNUMBER,HBREAK,"
         "MBREAK,HIN,MINUTIN,HOUT,MOUT) values (0,0,0,0,0,0,0,0,:NAME,0,0,0,0,0,0)",
         "GEN_AVCAR"},
        {"insert into AVAKB (AKB,CAR,NAME,SDATE,NKM,SKM,NHOUR,SHOUR,DATEST,NMHOUR,SMHOUR,SVDATE,"
         "DISMISS) values (0,0,:NAME,:START,0,0,0,0,:START,0,0,:START,0)",
         "GEN_AVAKB"},
        {"insert into AVTIRE (TIRE,CAR,NAME,SDATE,NKM,SKM,NHOUR,SHOUR,TYP,DATEST,SUMMER,SIZE1,"
         "SIZE2,SIZE3,NMHOUR,SMHOUR,DISMISS) values (0,0,:NAME,:START,0,0,0,0,0,:START,0,0,0,0,"
         "0,0,0)",
         "GEN_AVTIRE"},
        {"insert into AVCARGO (CARGO,NAME) values (0,:NAME)", "GEN_AVCARGO"},
        {"insert into AVDRIVER (DRIVER,DISMISS,SUBDIV,INITIALS,FULLINIT) values "
         "(0,0,0,:NAME,:NAME)",
         "GEN_AVDRIVER"},
        {"insert into AVKINDWORK (WORKTYPE,NAME) values (0,:NAME)", "GEN_AVKINDWORK"},
        {"insert into AVROADLIST (ROADLIST,SNUMBER,CAR,DRIVER,ACCDATE,DRIVER2,CLIENT,FUEL,"
         "TRAILER,WORKTYPE,DATEIN,DATEOUT,HIN,MINUTIN,HOUT,MOUT,KMIN,KMOUT) values "
         "(0,:NAME,0,0,:START,0,0,0,0,0,:START,:START,0,0,0,0,0,0)",
         "GEN_AVROADLIST"},
        // The dictionaries the initialisation leaves out: lookup boxes and joins meet key 0
        // there too.
        {"insert into AVOBJ (AVOBJ,CODE1,CODE2,CODE3,CODE4,CODE5,NAME) values "
         "(0,0,0,0,0,0,:NAME)",
         "GEN_AVOBJ"},
        {"insert into FUELCARD (CODFC,NUM) values (0,:NAME)", "GEN_FUELCARD"},
        {"insert into AVDEF (DEF,NAME) values (0,:NAME)", "GEN_AVDEF"},
        {"insert into AVZK (ZK,NAME) values (0,:NAME)", "GEN_AVZK"},
        {"insert into AVACDEF (ACDEF,NAME) values (0,:NAME)", "GEN_AVACDEF"},
        {"insert into AVACZK (ACZK,NAME) values (0,:NAME)", "GEN_AVACZK"},
    };
    for (const Row& row : rows) {
      db::Query q(db_, &tr_);
      q.setSql(QString::fromUtf8(row.sql));
      q.param(QStringLiteral("NAME")).setString(none);
      if (q.findParam(QStringLiteral("START"))) q.param(QStringLiteral("START")).setDate(start);
      q.exec();
      moveGeneratorTo(QString::fromLatin1(row.generator), 1);
    }
  }

  // Generators are outside transactions and only ever moved up.
  void moveGeneratorTo(const QString& generator, qint64 value) {
    db::Query q(db_, &tr_);
    q.setSql(QStringLiteral("select gen_id(%1, 0) from RDB$DATABASE").arg(generator));
    q.open();
    const qint64 current = q.field(0).asInt();
    q.close();
    if (current >= value) return;
    q.setSql(QStringLiteral("select gen_id(%1, cast(:STEP as bigint)) from RDB$DATABASE")
                 .arg(generator));
    q.param(QStringLiteral("STEP")).setInt(value - current);
    q.open();
    q.close();
  }

  void setConstant(const QString& id, const QString& value) {
    Statement update = statement(QStringLiteral("update SPCONST set CNST=:CNST where IDCONST=:ID"));
    update.set("CNST", value).set("ID", id).exec();
    if (update.rowsAffected() > 0) return;
    statement(QStringLiteral("insert into SPCONST (IDCONST,CNST) values (:ID,:CNST)"))
        .set("ID", id)
        .set("CNST", value)
        .exec();
  }

  void constants() {
    // The winter of the methodology: November to March, the one that holds today or is next.
    const QDate today = QDate::currentDate();
    const int winterYear = today.month() >= 7 ? today.year() : today.year() - 1;
    winterFrom_ = QDate(winterYear, 11, 1);
    winterTo_ = QDate(winterYear + 1, 3, 31);
    const auto text = [](const QDate& d) { return d.toString(QStringLiteral("dd.MM.yyyy")); };
    const std::pair<const char*, QString> values[] = {
        {"AVTWINTIMEFROM", text(winterFrom_)},
        {"AVTWINTIMETO", text(winterTo_)},
        {"AVTSUMTIMEFROM", text(QDate(winterYear, 4, 1))},
        {"AVTSUMTIMETO", text(QDate(winterYear, 10, 31))},
        {"DIVISION", QStringLiteral("ООО «СтройАвтоТранс»")},
        {"ADDRESS", QStringLiteral("460000, г. Оренбург, ул. Заводская, 7")},
        {"OKPO", QStringLiteral("12345678")},
        {"MAINCHIEF", QStringLiteral("Кузьмина О.В.")},
        {"MAINRANK", QStringLiteral("Диспетчер")},
        {"AVTCHIEF", QStringLiteral("Белов А.Н.")},
        {"AVTRANK", QStringLiteral("Начальник автотранспортного участка")},
        {"AVTMEX", QStringLiteral("Захаров П.И.")},
        {"AVTMEXD", QStringLiteral("Механик")},
        {"AVTTU", QStringLiteral("Лапина Е.С.")},
        {"AVTTUD", QStringLiteral("Техник по учету")},
        {"AVTNG", QStringLiteral("Осипов В.Г.")},
        {"AVTNGD", QStringLiteral("Начальник гаража")},
        {"AVTISINIT", QStringLiteral("1")},
    };
    for (const auto& [id, value] : values) setConstant(QString::fromLatin1(id), value);
  }

  void dictionaries() {
    Statement subdiv = statement(QStringLiteral(
        "insert into AVSUBDIV (SUBDIV,DISMISS,NAME,FNAME) values (:KEY,0,:NAME,:FNAME)"));
    for (const Subdivision& s : kSubdivisions) {
      const int key = newKey(QStringLiteral("GET_AVSUBDIV_ID"));
      subdiv.set("KEY", key).set("NAME", QString::fromUtf8(s.name));
      subdiv.set("FNAME", QString::fromUtf8(s.fullName)).exec();
      subdivisions_.push_back(key);
    }
    Statement kind =
        statement(QStringLiteral("insert into AVKIND (KIND,NAME,TPL,SRTREP) values "
                                 "(:KEY,:NAME,:TPL,:SRTREP)"));
    int order = 0;
    for (const Kind& k : kKinds) {
      const int key = newKey(QStringLiteral("GET_AVKIND_ID"));
      kind.set("KEY", key).set("NAME", QString::fromUtf8(k.name)).set("TPL", k.tpl);
      kind.set("SRTREP", ++order).exec();
      kinds_.push_back(key);
    }
    Statement fuel = statement(QStringLiteral(
        "insert into AVFUEL (FUEL,TYP,NAME,ZDNKOD) values (:KEY,:TYP,:NAME,:ZDNKOD)"));
    for (const Fuel& f : kFuels) {
      const int key = newKey(QStringLiteral("GET_AVFUEL_ID"));
      fuel.set("KEY", key).set("TYP", f.typ).set("NAME", QString::fromUtf8(f.name));
      fuel.set("ZDNKOD", f.zdnKod).exec();
      fuels_.push_back(key);
    }
    Statement mark =
        statement(QStringLiteral("insert into AVMARK (MARK,NAME) values (:KEY,:NAME)"));
    for (const Model& m : kModels) {
      const int key = newKey(QStringLiteral("GET_AVMARK_ID"));
      mark.set("KEY", key).set("NAME", QString::fromUtf8(m.mark)).exec();
      marks_.push_back(key);
    }
    Statement client = statement(QStringLiteral(
        "insert into AVCLIENT (CLIENT,DISMISS,HIN,MINUTIN,HOUT,MOUT,KMIN,KMOUT,INTERN,NAME,"
        "ADDRESS) values (:KEY,0,:HIN,:MINUTIN,:HOUT,:MOUT,:KMIN,:KMOUT,:INTERN,:NAME,:ADDRESS)"));
    for (const Client& c : kClients) {
      client.set("KEY", newKey(QStringLiteral("GET_AVCLIENT_ID")));
      client.set("HIN", c.hin).set("MINUTIN", c.minutin).set("HOUT", c.hout);
      client.set("MOUT", c.mout).set("KMIN", c.kmin).set("KMOUT", c.kmout);
      client.set("INTERN", c.intern).set("NAME", QString::fromUtf8(c.name));
      client.set("ADDRESS", QString::fromUtf8(c.address)).exec();
    }
    Statement route = statement(
        QStringLiteral("insert into AVROUTE (ROUTE,NAME,KM,POINT1,POINT2,POINT3,POINT4) values "
                       "(:KEY,:NAME,:KM,:POINT1,:POINT2,:POINT3,:POINT4)"));
    for (const Route& r : kRoutes) {
      const int key = newKey(QStringLiteral("GET_AVROUTE_ID"));
      route.set("KEY", key).set("NAME", QString::fromUtf8(r.name)).set("KM", r.km);
      route.set("POINT1", QString::fromUtf8(r.points[0]));
      route.set("POINT2", QString::fromUtf8(r.points[1]));
      route.set("POINT3", QString::fromUtf8(r.points[2]));
      route.set("POINT4", QString::fromUtf8(r.points[3])).exec();
      routes_.push_back(key);
    }
    names(QStringLiteral("AVKINDWORK"), QStringLiteral("WORKTYPE"), kWorkKinds);
    names(QStringLiteral("AVCARGO"), QStringLiteral("CARGO"), kCargo);
    names(QStringLiteral("AVDEF"), QStringLiteral("DEF"), kTireDefects);
    names(QStringLiteral("AVZK"), QStringLiteral("ZK"), kTireConclusions);
    names(QStringLiteral("AVACDEF"), QStringLiteral("ACDEF"), kBatteryDefects);
    names(QStringLiteral("AVACZK"), QStringLiteral("ACZK"), kBatteryConclusions);

    Statement object = statement(
        QStringLiteral("insert into AVOBJ (AVOBJ,CODE1,CODE2,CODE3,CODE4,CODE5,NAME) values "
                       "(:KEY,:CODE1,:CODE2,:CODE3,:CODE4,:CODE5,:NAME)"));
    for (const Object& o : kObjects) {
      object.set("KEY", newKey(QStringLiteral("GET_AVOBJ_ID")));
      object.set("CODE1", o.code1).set("CODE2", o.code2).set("CODE3", o.code3);
      object.set("CODE4", o.code4).set("CODE5", o.code5);
      object.set("NAME", QString::fromUtf8(o.name)).exec();
    }
    Statement card =
        statement(QStringLiteral("insert into FUELCARD (CODFC,NUM) values (:KEY,:NUM)"));
    for (const char* number : kFuelCards) {
      const int key = newKey(QStringLiteral("GET_FUELCARD_ID"));
      card.set("KEY", key).set("NUM", QString::fromUtf8(number)).exec();
      fuelCards_.push_back(key);
    }
    // A fill kind of its own besides the standard ones of the schema.
    statement(QStringLiteral("insert into AVGSMT (AVGSMT,TYP,NAME) values (:KEY,:TYP,:NAME)"))
        .set("KEY", newKey(QStringLiteral("GET_AVGSMT_ID")))
        .set("TYP", 5)
        .set("NAME", QStringLiteral("по договору с АЗС"))
        .exec();
  }

  template <std::size_t N>
  void names(const QString& table, const QString& key, const char* const (&values)[N]) {
    Statement insert =
        statement(QStringLiteral("insert into %1 (%2,NAME) values (:KEY,:NAME)").arg(table, key));
    for (const char* name : values) {
      insert.set("KEY", newKey(QStringLiteral("GET_%1_ID").arg(table)));
      insert.set("NAME", QString::fromUtf8(name)).exec();
    }
  }

  // The coefficients exist before the vehicles: the trigger of AVCAR gives each new vehicle a
  // row per coefficient.
  void coefficients() {
    winterKfn_ = 1;  // "Зима", from the schema
    Statement kfn =
        statement(QStringLiteral("insert into AVKFNORMS (KFN,N,ZIMN) values (:KEY,:N,0)"));
    cityKfn_ = newKey(QStringLiteral("GET_AVKFNORMS_ID"));
    kfn.set("KEY", cityKfn_).set("N", QStringLiteral("Работа в городе")).exec();
    oldKfn_ = newKey(QStringLiteral("GET_AVKFNORMS_ID"));
    kfn.set("KEY", oldKfn_).set("N", QStringLiteral("Автомобиль старше 5 лет")).exec();
  }

  void vehicles() {
    Statement car = statement(QStringLiteral(
        "insert into AVCAR (CAR,DISMISS,SUBDIV,CLIENT,FUEL,TRAILER,KIND,MARK,STNUMBER,HBREAK,"
        "MBREAK,HIN,MINUTIN,HOUT,MOUT,KMNORM,HNORM,KMLIMIT,HLIMIT,STKM,STHOURS,TWO,WEIGHT,"
        "TONNAGE,SHASSIS,ENGINE,SDATE,FRAME,BODY,ZDNKOD,VIN,MODELTC,TYPETC,CATEGORY,POWR,TMOTO,"
        "INVENT,ROUTE,BALANS,NORMA,TANK,CODFC) values (:CAR,0,:SUBDIV,0,:FUEL,0,:KIND,:MARK,"
        ":STNUMBER,1,0,8,0,17,0,0,0,:KMLIMIT,:HLIMIT,:STKM,:STHOURS,:TWO,:WEIGHT,:TONNAGE,"
        ":SHASSIS,:ENGINE,:SDATE,:FRAME,:BODY,:ZDNKOD,:VIN,:MODELTC,:TYPETC,:CATEGORY,:POWR,"
        ":TMOTO,:INVENT,:ROUTE,:BALANS,:NORMA,:TANK,:CODFC)"));
    Statement base = statement(QStringLiteral(
        "update AVNORMFUEL set SUM100=:SUM100,RES1=:RES1,RES2=0,RES3=0,RES4=:RES4,TNKM=:TNKM,"
        "MOTOH=:MOTOH,WARM=:WARM,BUKS=0 where CAR=:CAR and KFN=0"));
    Statement coefficient = statement(QStringLiteral(
        "update AVNORMFUEL set KF=:KF,SUM100=:SUM100,NORMA=:NORMA where CAR=:CAR and KFN=:KFN"));
    Statement price = statement(QStringLiteral(
        "update AVPRICE set HOURS=:HOURS,KM=:KM,COEFF=1,HOURUP=:HOURUP,KMUP=:KMUP where "
        "CAR=:CAR"));
    Statement winter = statement(QStringLiteral(
        "insert into AVWINTIRE (WINTIRE,CAR,TIMEFROM,TIMETO) values (:KEY,:CAR,:FROM,:TO)"));
    Statement trailer =
        statement(QStringLiteral("update AVCAR set TRAILER=:TRAILER where CAR=:CAR"));

    const int thisYear = QDate::currentDate().year();
    int n = 0;
    int cards = 0;
    std::vector<int> trailers;
    std::vector<int> tractors;
    for (std::size_t m = 0; m < std::size(kModels); ++m) {
      const Model& model = kModels[m];
      const Kind& kind = kKinds[model.kind];
      for (int copy = 0; copy < model.count; ++copy, ++n) {
        const int key = newKey(QStringLiteral("GET_AVCAR_ID"));
        const int year = thisYear - 1 - (n * 7) % 14;  // one to fourteen years old
        const bool powered = model.kind != kTrailer;
        const int cardKey =
            (model.kind == kCar || model.kind == kBus) && cards < int(fuelCards_.size())
                ? fuelCards_[cards++]
                : 0;
        // 17 characters: maker, year, serial.
        const QString vin = QStringLiteral("XTH%1%2").arg(year).arg(qint64(n + 1) * 104729, 10, 10,
                                                                    QLatin1Char('0'));
        car.set("CAR", key).set("SUBDIV", subdivisions_[model.subdivision]);
        car.set("FUEL", model.fuel == kNoFuel ? 0 : fuels_[model.fuel]);
        car.set("KIND", kinds_[model.kind]).set("MARK", marks_[m]);
        car.set("STNUMBER", plate(model.kind, n));
        car.set("KMLIMIT", powered && !model.motorHours ? 3000 : 0);
        car.set("HLIMIT", powered ? 176 : 0);
        car.set("STKM", model.motorHours ? 0 : 20000 + n * 3517);
        car.set("STHOURS", model.motorHours ? 1200 + n * 41 : 0);
        car.set("TWO", model.twoDrivers ? 1 : 0);
        car.set("WEIGHT", model.weight).set("TONNAGE", model.tonnage);
        car.set("SHASSIS", QStringLiteral("Ш%1").arg(310000 + n * 1013));
        car.set("ENGINE", powered ? QStringLiteral("№ %1").arg(500000 + n * 2711) : QString());
        car.set("SDATE", QDate(year, 1 + n % 12, 1 + (n * 3) % 28));
        car.set("FRAME", QStringLiteral("Р%1").arg(720000 + n * 577));
        car.set("BODY", QStringLiteral("К%1").arg(830000 + n * 389));
        car.set("ZDNKOD", 1000 + n);
        car.set("VIN", vin);
        car.set("MODELTC", QString::fromUtf8(model.mark).left(20));
        car.set("TYPETC", QString::fromUtf8(kind.typeTc));
        car.set("CATEGORY", QString::fromUtf8(kind.category));
        car.set("POWR", model.power).set("TMOTO", model.motorHours ? 1 : 0);
        car.set("INVENT", QStringLiteral("%1").arg(n + 101, 6, 10, QLatin1Char('0')));
        car.set("ROUTE", model.kind == kBus ? routes_[3] : 0);
        car.set("BALANS", 450000.0 + 85000.0 * ((n * 5) % 17));
        car.set("NORMA", model.kind == kCar ? 14.29 : 10.0);
        car.set("TANK", model.tank).set("CODFC", cardKey).exec();

        base.set("CAR", key).set("SUM100", model.sum100).set("RES1", model.res1);
        base.set("RES4", model.res4).set("TNKM", model.tnkm).set("MOTOH", model.motoh);
        base.set("WARM", model.warm).exec();
        // Winter +10 % (middle climate zone), city +10 %, vehicles of five years and more +5 %.
        const bool old = thisYear - year >= 5;
        const std::pair<int, double> kfs[] = {{winterKfn_, powered ? 0.10 : 0.0},
                                              {cityKfn_, powered ? 0.10 : 0.0},
                                              {oldKfn_, powered && old ? 0.05 : 0.0}};
        for (const auto& [kfn, kf] : kfs) {
          coefficient.set("CAR", key).set("KFN", kfn).set("KF", kf);
          coefficient.set("SUM100", model.sum100);
          coefficient.set("NORMA", RoundDecpl(model.sum100 * (1.0 + kf), 2)).exec();
        }
        const double hour = model.kind == kCrane ? 1850.0 : model.kind == kCar ? 650.0 : 1100.0;
        price.set("CAR", key).set("HOURS", powered ? hour : 0.0);
        price.set("KM", powered ? (model.kind == kCar ? 18.5 : 32.0) : 0.0);
        price.set("HOURUP", powered ? hour * 1.5 : 0.0);
        price.set("KMUP", powered ? (model.kind == kCar ? 27.75 : 48.0) : 0.0).exec();
        if (powered) {
          winter.set("KEY", newKey(QStringLiteral("GET_AVWINTIRE_ID"))).set("CAR", key);
          winter.set("FROM", winterFrom_.addDays(-7)).set("TO", winterTo_.addDays(10)).exec();
          vehicles_.push_back({key, model.kind, model.subdivision, model.twoDrivers});
        } else {
          trailers.push_back(key);
        }
        if (model.kind == kTruck && model.tonnage >= 14.0) tractors.push_back(key);
      }
    }
    // The heavy trucks pull the trailers.
    for (std::size_t i = 0; i < trailers.size() && i < tractors.size(); ++i)
      trailer.set("TRAILER", trailers[i]).set("CAR", tractors[i]).exec();
  }

  void drivers() {
    Statement driver = statement(QStringLiteral(
        "insert into AVDRIVER (DRIVER,DISMISS,SUBDIV,INITIALS,FULLINIT,SERTIFICATE,TN,CLASS) "
        "values (:KEY,0,:SUBDIV,:INITIALS,:FULLINIT,:SERTIFICATE,:TN,:CLASS)"));
    Statement pair = statement(QStringLiteral(
        "insert into AVFASTENING (FASTEN,DRIVER,CAR,FIRSTDR) values (:KEY,:DRIVER,:CAR,:FIRST)"));
    int person = 0;
    const auto addDriver = [&](int subdivision) {
      const QString full =
          QString::fromUtf8(kSurnames[person % std::size(kSurnames)]) + QLatin1Char(' ') +
          QString::fromUtf8(kFirstNames[(person * 5) % std::size(kFirstNames)]) + QLatin1Char(' ') +
          QString::fromUtf8(kPatronymics[(person * 3) % std::size(kPatronymics)]);
      const int key = newKey(QStringLiteral("GET_AVDRIVER_ID"));
      driver.set("KEY", key).set("SUBDIV", subdivision).set("FULLINIT", full);
      driver.set("INITIALS", ShortInitials(full).left(20));
      driver.set("SERTIFICATE", QStringLiteral("56%1").arg(10000000 + person * 7919 % 9000000));
      driver.set("TN", 1001 + person).set("CLASS", 1 + person % 3).exec();
      ++person;
      return key;
    };
    const auto attach = [&](int driverKey, int carKey, bool first) {
      pair.set("KEY", newKey(QStringLiteral("GET_AVFASTENING_ID"))).set("DRIVER", driverKey);
      pair.set("CAR", carKey).set("FIRST", first ? 1 : 0).exec();
    };
    for (const Vehicle& v : vehicles_) {
      const int subdivision = subdivisions_[v.subdivision];
      attach(addDriver(subdivision), v.car, true);
      if (v.twoDrivers) attach(addDriver(subdivision), v.car, false);
    }
    // Stand-ins of the truck column: a further driver of each of its first three vehicles.
    int standIns = 0;
    for (const Vehicle& v : vehicles_) {
      if (v.subdivision != kColumn2 || standIns == 3) continue;
      attach(addDriver(subdivisions_[kColumn2]), v.car, false);
      ++standIns;
    }
  }

  // A last pass over every table with a key procedure: its generator stands at or past the
  // largest key (the rows above took their keys from it, the placeholders have 0).
  void generatorsPastKeys() {
    const std::pair<const char*, const char*> keys[] = {
        {"AVSUBDIV", "SUBDIV"},     {"AVMARK", "MARK"},        {"AVKIND", "KIND"},
        {"AVKINDWORK", "WORKTYPE"}, {"AVCARGO", "CARGO"},      {"AVFUEL", "FUEL"},
        {"AVGSMT", "AVGSMT"},       {"AVROUTE", "ROUTE"},      {"AVCLIENT", "CLIENT"},
        {"AVOBJ", "AVOBJ"},         {"FUELCARD", "CODFC"},     {"AVDRIVER", "DRIVER"},
        {"AVCAR", "CAR"},           {"AVFASTENING", "FASTEN"}, {"AVKFNORMS", "KFN"},
        {"AVWINTIRE", "WINTIRE"},   {"AVDEF", "DEF"},          {"AVZK", "ZK"},
        {"AVACDEF", "ACDEF"},       {"AVACZK", "ACZK"},        {"AVTIRE", "TIRE"},
        {"AVAKB", "AKB"},           {"AVROADLIST", "ROADLIST"}};
    for (const auto& [table, key] : keys) {
      db::Query q(db_, &tr_);
      q.setSql(QStringLiteral("select coalesce(max(%1), 0) from %2")
                   .arg(QString::fromLatin1(key), QString::fromLatin1(table)));
      q.open();
      const qint64 largest = q.field(0).asInt();
      q.close();
      moveGeneratorTo(QStringLiteral("GEN_") + QString::fromLatin1(table), largest);
    }
  }

  struct Vehicle {
    int car;
    KindIndex kind;
    SubdivisionIndex subdivision;
    bool twoDrivers;
  };

  db::Database& db_;
  db::Transaction& tr_;
  QDate winterFrom_;
  QDate winterTo_;
  std::vector<int> subdivisions_;
  std::vector<int> kinds_;
  std::vector<int> fuels_;
  std::vector<int> marks_;
  std::vector<int> routes_;
  std::vector<int> fuelCards_;
  std::vector<Vehicle> vehicles_;
  int winterKfn_ = 1;
  int cityKfn_ = 0;
  int oldKfn_ = 0;
};

}  // namespace

void fillDemoData(db::Database& database, db::Transaction& tr) {
  tr.start();
  DemoFiller(database, tr).run();
}

int createDemoDatabaseCommand(const QString& path) {
  try {
    schema::createDatabase(path);
  } catch (const db::DbError& e) {
    std::fprintf(stderr, "%s\n", qPrintable(e.message()));
    return 1;
  }
  db::Database database;
  database.setDatabaseName(path);
  database.setLogin(schema::accountUser(), schema::accountPassword());
  try {
    database.connect();
    db::Transaction tr(database);
    fillDemoData(database, tr);
    tr.commit();
  } catch (const db::DbError& e) {
    std::fprintf(stderr, "%s\n", qPrintable(e.message()));
    // Nothing half filled is left behind.
    try {
      if (!database.connected()) database.connect();
      database.drop();
    } catch (const db::DbError&) {
    }
    return 1;
  }
  database.disconnect();
  const QString shown =
      db::isServerPath(path) ? path : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
  std::printf("%s\n",
              qPrintable(QStringLiteral("Демонстрационная база данных создана: %1").arg(shown)));
  return 0;
}
