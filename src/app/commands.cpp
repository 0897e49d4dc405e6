#include "app/commands.h"

#include "app/bsp.h"
#include "app/datamodule.h"
#include "app/user.h"
#include "framework/pickers.h"
#include "platform/dberror.h"
#include "platform/messages.h"

#include <QHash>

#include <bit>
#include <exception>
#include <utility>

namespace commands {

CommandDef& CommandDef::needs(unsigned keys) {
  requiredAll |= keys;
  return *this;
}
CommandDef& CommandDef::needsOneOf(unsigned keys) {
  requiredAny |= keys;
  return *this;
}
CommandDef& CommandDef::notCounted() {
  counted = false;
  return *this;
}
CommandDef& CommandDef::silentOnCancel() {
  silentCancel = true;
  return *this;
}
CommandDef& CommandDef::withArchiveMode(int mode, bool resetAfter) {
  archiveMode = mode;
  archiveResetAfter = resetAfter;
  return *this;
}
CommandDef& CommandDef::withJournalOrder(int order) {
  journalOrder = order;
  return *this;
}
CommandDef& CommandDef::shownTo(unsigned v) {
  visibility = v;
  return *this;
}
CommandDef& CommandDef::separated() {
  separatorBefore = true;
  return *this;
}
CommandDef& CommandDef::withHint(const QString& text) {
  hint = text;
  return *this;
}
CommandDef& CommandDef::withVariant(int value) {
  variant = value;
  return *this;
}

namespace {

// Masks used by several items.
const QString kVehicleOnly = QStringLiteral("0000100000000");
const QString kAllFields = QStringLiteral("1111111111111");
const QString kPeriod = QStringLiteral("0110000000000");
const QString kJournal = QStringLiteral("1111111100111");

constexpr Rights k15{15, 15, false};
constexpr Rights k15or1{15, 1, false};
constexpr Rights k5or1{5, 1, false};
constexpr Rights kByClientMode{0, 0, true};

// Names of the menus of the menu bar and of its two plain items.
const QString kSetup = QStringLiteral("mmNastr");
const QString kWork = QStringLiteral("mmRabota");
const QString kRefs = QStringLiteral("mmSprav");
const QString kReports = QStringLiteral("mmOtchet");

CommandDef make(const QString& name, const QString& parent, const QString& caption, Pattern pattern,
                const QString& target = {}, const QString& mask = {}) {
  CommandDef c;
  c.name = name;
  c.parent = parent;
  c.caption = caption;
  c.pattern = pattern;
  c.target = target;
  c.mask = mask;
  return c;
}

CommandDef submenu(const QString& name, const QString& parent, const QString& caption) {
  return make(name, parent, caption, Pattern::Submenu);
}

CommandDef noAction(const QString& name, const QString& parent, const QString& caption) {
  return make(name, parent, caption, Pattern::None);
}

CommandDef list(const QString& name, const QString& parent, const QString& caption,
                const QString& picker, Rights rights) {
  CommandDef c = make(name, parent, caption, Pattern::A, picker);
  c.rights = rights;
  return c;
}

// A list of the items of one vehicle: the vehicle is asked first and must be chosen.
CommandDef vehicleList(const QString& name, const QString& parent, const QString& caption,
                       const QString& picker, Rights rights) {
  CommandDef c = make(name, parent, caption, Pattern::APlus, picker, kVehicleOnly);
  c.rights = rights;
  c.requiredAll = kCar;
  return c;
}

CommandDef report(const QString& name, const QString& parent, const QString& caption,
                  const QString& target, const QString& mask) {
  CommandDef c = make(name, parent, caption, Pattern::B, target, mask);
  c.counted = true;
  return c;
}

CommandDef special(const QString& name, const QString& parent, const QString& caption,
                   const QString& target, const QString& mask = {}) {
  return make(name, parent, caption, Pattern::C, target, mask);
}

// A waybill journal: always full rights, whatever the user's kind; restricted users see the
// waybills of their subdivisions only, which the journal itself sees to.
CommandDef journal(const QString& name, const QString& caption, int order) {
  CommandDef c = special(name, kWork, caption, QStringLiteral("PickWaybill"), kJournal);
  c.rights = k15;
  c.withJournalOrder(order);
  return c;
}

std::vector<CommandDef> buildTable() {
  std::vector<CommandDef> t;
  auto add = [&t](CommandDef c) -> CommandDef& {
    t.push_back(std::move(c));
    return t.back();
  };

  // Menu "Настройка".
  add(submenu(kSetup, {}, QStringLiteral("&Настройка")))
      .withHint(QStringLiteral("Настройка параметров приложения"));
  // Asks every field and does nothing else: closing the window without OK is no error.
  add(special(QStringLiteral("mmiBsp"), kSetup, QStringLiteral("&Настройка параметров задач"), {},
              kAllFields))
      .silentOnCancel();
  add(special(QStringLiteral("mmiConst"), kSetup, QStringLiteral("Настройка &Констант приложения"),
              QStringLiteral("TfmToolCnst")));
  add(special(QStringLiteral("mmIni"), kSetup,
              QStringLiteral("&Инициализация  системы (запускать 1 раз)"),
              QStringLiteral("TfmIni")));
  const QString convert = QStringLiteral("mmConvert");
  add(submenu(convert, kSetup, QStringLiteral("Пересылка данных и конвертирование")));
  add(special(QStringLiteral("mmCnvTire"), convert, QStringLiteral("Справочник шин"),
              QStringLiteral("ConvertTires")));
  add(special(QStringLiteral("mmCnvAkb"), convert, QStringLiteral("Справочник АКБ"),
              QStringLiteral("ConvertBatteries")));
  add(special(QStringLiteral("mmZdn"), convert, QStringLiteral("Выгрузка заправок в ЗДН"),
              QStringLiteral("TfmMovZdn"), kPeriod));
  add(special(QStringLiteral("mmFond"), convert, QStringLiteral("Выгрузка пробега в Основные"),
              QStringLiteral("TfmMovFond")));
  add(noAction(QStringLiteral("mmObjs"), convert, QStringLiteral("Обьекты строительства")));
  add(special(QStringLiteral("mmCls"), kSetup, QStringLiteral("Очистка базы за период"),
              QStringLiteral("TfmClsDatap"), kPeriod));
  add(special(QStringLiteral("N18"), kSetup, QStringLiteral("..."), targets::kUsageStatistics))
      .withHint(QStringLiteral("Статистика открытия пунктов меню"));
  add(special(QStringLiteral("mmAccess"), kSetup, QStringLiteral("Управление доступом"),
              targets::kManageAccess))
      .shownTo(kAdministratorOnly)
      .separated();

  // Menu "Работа".
  add(submenu(kWork, {}, QStringLiteral("&Работа")));
  add(journal(QStringLiteral("mmAvtopl"), QStringLiteral("Журнал путевых листов"), 0));
  add(journal(QStringLiteral("mmAvtoplAcc"), QStringLiteral("Журнал п/л отфильтр. по дате выезда"),
              1));
  add(special(QStringLiteral("mmAvZ"), kWork, QStringLiteral("Режим автом. заполн. заправок"),
              QStringLiteral("AutoFillFuel"), kPeriod));
  const QString tests = QStringLiteral("mmTst");
  add(submenu(tests, kWork, QStringLiteral("Тестирование перехода остатков ГСМ"))).separated();
  const QString chainMask = QStringLiteral("0110100000000");
  add(report(QStringLiteral("mmT1"), tests, QStringLiteral("Соответствие п/л и заправок"),
             QStringLiteral("TfmRepTpg"), chainMask))
      .notCounted();
  add(report(QStringLiteral("mmT2"), tests, QStringLiteral("Монотонность путевых листов"),
             QStringLiteral("TfmRepTp"), chainMask))
      .notCounted();
  add(report(QStringLiteral("mmT3"), tests, QStringLiteral("Монотонность заправок"),
             QStringLiteral("TfmRepTg"), chainMask))
      .notCounted();
  add(special(QStringLiteral("N25"), kWork, QStringLiteral("Поиск остатков ГСМ"),
              QStringLiteral("TfmFindOstGSM")));
  add(vehicleList(QStringLiteral("mmTire"), kWork, QStringLiteral("Журнал шин"),
                  QStringLiteral("PickTire"), k15))
      .withArchiveMode(0, false)
      .shownTo(kAdministratorOnly)
      .separated();
  add(vehicleList(QStringLiteral("mmAkb"), kWork, QStringLiteral("Журнал аккумуляторов"),
                  QStringLiteral("PickBattery"), k15))
      .withArchiveMode(0, false)
      .shownTo(kAdministratorOnly);
  CommandDef& remainders = add(
      special(QStringLiteral("mmOstf"), kWork, QStringLiteral("Ввод фактических остатков горючего"),
              QStringLiteral("PickFuelRemainder"), QStringLiteral("1000000000000")));
  remainders.rights = k15;
  const QString archive = QStringLiteral("N5");
  add(submenu(archive, kWork, QStringLiteral("Архив")));
  add(vehicleList(QStringLiteral("mmaTire"), archive, QStringLiteral("Шины"),
                  QStringLiteral("PickTire"), k15))
      .withArchiveMode(1, true);
  add(vehicleList(QStringLiteral("mmaAkb"), archive, QStringLiteral("Аккумуляторы"),
                  QStringLiteral("PickBattery"), k15))
      .withArchiveMode(1, true);
  add(journal(QStringLiteral("mmPlFactNorm"), QStringLiteral("Журнал п/л норма не равна факту"),
              -1))
      .separated();

  // Menu "Справочники".
  add(submenu(kRefs, {}, QStringLiteral("&Справочники")));
  add(list(QStringLiteral("mmDriver"), kRefs, QStringLiteral("Водители"),
           QStringLiteral("PickDriver"), k15or1));
  add(list(QStringLiteral("mmAvtoRef"), kRefs, QStringLiteral("Автотранспорт"),
           QStringLiteral("PickVehicle"), k15or1));
  add(list(QStringLiteral("mmAvtoNorm"), kRefs, QStringLiteral("Нормы расхода ГСМ"),
           QStringLiteral("PickFuelNorm"), k5or1));
  add(vehicleList(QStringLiteral("mmDopNorm"), kRefs,
                  QStringLiteral("Дополнительные нормы расхода ГСМ"),
                  QStringLiteral("PickAdditionalNorm"), k15or1));
  add(vehicleList(QStringLiteral("mmAvtofast"), kRefs, QStringLiteral("Машина-Водитель"),
                  QStringLiteral("PickVehicleDriver"), k15or1));
  add(list(QStringLiteral("mmAvmark"), kRefs, QStringLiteral("Марки транспорта"),
           QStringLiteral("PickMark"), k15or1))
      .separated();
  add(list(QStringLiteral("mmAvtype"), kRefs, QStringLiteral("Типы транспорта"),
           QStringLiteral("PickVehicleType"), k15or1));
  add(list(QStringLiteral("mmAvkind"), kRefs, QStringLiteral("Виды работ"),
           QStringLiteral("PickWorkKind"), k15or1));
  add(list(QStringLiteral("mmAvsubd"), kRefs, QStringLiteral("Подразделения"),
           QStringLiteral("PickSubdivision"), k15or1));
  add(list(QStringLiteral("mmClient"), kRefs, QStringLiteral("Клиенты-заказчики работ"),
           QStringLiteral("PickClient"), k15or1));
  add(list(QStringLiteral("mmFuel"), kRefs, QStringLiteral("Виды топлива"),
           QStringLiteral("PickFuel"), k15or1));
  add(list(QStringLiteral("mmAvtoPrice"), kRefs, QStringLiteral("Расценки на работу транспорта"),
           QStringLiteral("PickPrice"), k5or1));
  add(list(QStringLiteral("mmCargo"), kRefs, QStringLiteral("Справочник грузов"),
           QStringLiteral("PickCargo"), k15or1));
  add(list(QStringLiteral("mmRoute"), kRefs, QStringLiteral("Справочник маршрутов"),
           QStringLiteral("PickRoute"), k15or1));
  add(list(QStringLiteral("mmGsmT"), kRefs, QStringLiteral("Справочник видов заправок"),
           QStringLiteral("PickFillKind"), k15or1));
  add(list(QStringLiteral("mmObj"), kRefs, QStringLiteral("Справочник обьектов"),
           QStringLiteral("PickObject"), kByClientMode));
  add(list(QStringLiteral("mmFuelCard"), kRefs, QStringLiteral("Топливные карты"),
           QStringLiteral("PickFuelCard"), k15or1))
      .shownTo(kClientModeOnly);
  add(list(QStringLiteral("mmAdef"), kRefs, QStringLiteral("Наименования дефектов шин"),
           QStringLiteral("PickTireDefect"), k15or1))
      .separated();
  add(list(QStringLiteral("mmAzk"), kRefs, QStringLiteral("Справочник заключений для шин"),
           QStringLiteral("PickTireConclusion"), k15or1));
  add(vehicleList(QStringLiteral("N9"), kRefs, QStringLiteral("Период работы зимних шин"),
                  QStringLiteral("PickWinterPeriod"), k15or1));
  add(list(QStringLiteral("mmACDef"), kRefs, QStringLiteral("Наименования дефектов АКБ"),
           QStringLiteral("PickBatteryDefect"), k15or1));
  add(list(QStringLiteral("mmACZk"), kRefs, QStringLiteral("Справочник заключений на  АКБ"),
           QStringLiteral("PickBatteryConclusion"), k15or1));
  add(list(QStringLiteral("mmKFNrm"), kRefs, QStringLiteral("Коэфф. норм расхода ГСМ"),
           QStringLiteral("PickNormCoefficient"), k15or1))
      .separated();

  // Menu "Отчеты": every item is a report.
  auto rep = [&](const char* name, const QString& parent, const char* caption, const char* target,
                 const char* mask) -> CommandDef& {
    return add(report(QString::fromUtf8(name), parent, QString::fromUtf8(caption),
                      QString::fromUtf8(target), QString::fromUtf8(mask)));
  };
  add(submenu(kReports, {}, QStringLiteral("&Отчеты")));
  rep("mmRavtocard", kReports, "Карточка автомобиля", "TfmRepAvcard1", "0110100000000").needs(kCar);
  rep("mmRdrivcard", kReports, "Лицевая карточка водителя", "TfmRepDrcard1", "0111000000000")
      .needs(kDriver);
  rep("mmRjour", kReports, "Журнал движения автотранспорта", "TfmRepJour", "0110100000000")
      .needs(kCar);
  rep("mmRjourd", kReports, "Ежедневный журнал п/л", "XlsDailyJournalRL", "1000000000000");
  rep("mmRsprv", kReports, "Справка о работе автотранспорта", "TfmRepSprv", "0110011000000")
      .withVariant(0)
      .separated();
  rep("mmOtchRabAuto", kReports, "Отчет о работе автотраспорта", "XlsOtchRabAuto", "0110567000000");
  rep("mmRsprvprc", kReports, "Справка о работе прицепов", "TfmRepSprv", "0110001000000")
      .withVariant(1);
  rep("mmRsprvt", kReports, "Справка о работе автотрансп. АУП", "TfmRepSprt", "0110011000000");
  rep("N4", kReports, "Справка на классность водителей", "TfmRepCls", "0110000000000");
  rep("mmTabel", kReports, "Табель учета работы тр. средств", "XlsTabel", "1000000000000")
      .shownTo(kClientModeOnly);
  rep("mmRamtr", kReports, "Амортизация транспорта", "TfmRepAmtr", "1000100000000").needs(kCar);
  rep("mmReekl", kReports, "Реестр на автоуслуги", "TfmRepCli", "0110100100000").separated();
  rep("mmReekls", kReports, "Реестр на автоуслуги (краткий)", "TfmRepCliSm", "0110100100000");
  rep("mmAvizo", kReports, "Печать авизо", "TfmRepAviz", "1110001100000");
  rep("mmDgsm", kReports, "Движение ГСМ по маркам автотранспорта", "TfmRepRasD", "0110011000000")
      .separated();
  rep("N19", kReports, "Старый Движение ГСМ по маркам автотранспорта", "TfmRepDgsm1",
      "0110011000000")
      .notCounted();
  rep("N6", kReports, "Расход топлива по объектам", "TFmRepFObj", "0110000000000");
  rep("mmAost", kReports, "Акт снятия остатков горючего (старый)", "TfmRepAost", "1000067000000");
  rep("N22", kReports, "Акт снятия остатков горючего", "XlsAktSnOstGSM", "");

  const QString excel = QStringLiteral("mmExecl");
  add(submenu(excel, kReports, QStringLiteral("Excel"))).separated();
  rep("mmObjExecl", excel, "Объекты в Excel", "XlsObjects", "0110000000001").silentOnCancel();
  rep("mmVedExecl", excel, "Ведомость затрат на маш. и мех. на объектах ТПиР и КР", "XlsVedZatrat",
      "0110000000001")
      .silentOnCancel();
  rep("mmExcelPl", excel, "Выгрузка путевых листов", "XlsWaybills", "0110000000000")
      .silentOnCancel();
  rep("mmRaznar", excel, "Разнарядка на работу трансп. средств", "XlsRaznar", "1000001000000")
      .silentOnCancel()
      .shownTo(kClientModeOnly);
  rep("mmRaznar2", excel, "Разнарядка на работу трансп. средств", "XlsRaznar2", "1000001000000")
      .silentOnCancel()
      .shownTo(kNotClientMode);
  rep("N23", excel, "Карточка учета работы механизма", "XlsKartMeh", "0110100100000").needs(kCar);
  rep("N24", excel, "Выгрузка данных автомобилей", "XlsPol2", "0000101000000")
      .needsOneOf(kCar | kSubdiv);
  rep("mmVedGsmTKart", excel, "Ведомость приобретения топлива по топ. картам", "XlsVedGSMTKart",
      "1000100000000")
      .needs(kCar);
  rep("mmVedGsmTKart2", excel, "Ведомость приобретения топлива по топ. картам (стат.)",
      "XlsVedGSMTKartStat", "1000000000000")
      .shownTo(kClientModeOnly);
  rep("mmVedGsmRazd", excel, "Раздаточная ведомость", "XlsVedGSMTRazd", "1000100000000")
      .needs(kCar)
      .shownTo(kClientModeOnly);
  rep("mmVedGsmRazdSv", excel, "Сводная раздаточная ведомость", "XlsVedGSMTRazdSv", "1000000000000")
      .withVariant(0)
      .shownTo(kClientModeOnly);
  rep("mmVedGsmRashodSv", excel, "Сводная ведомость расхода ГСМ", "XlsVedGSMTRazdSv",
      "1000000000000")
      .withVariant(1)
      .shownTo(kClientModeOnly);
  rep("mmZapNumPL", excel, "Запись о нумерации и скреплении путевых листов", "XlsZapNumPL",
      "1000100000000")
      .needs(kCar)
      .shownTo(kClientModeOnly);
  rep("mmSprPerGSM", excel, "Справка о переводе топлива", "XlsSprPerGSM", "1000000000000")
      .shownTo(kClientModeOnly);
  rep("mmAllListAuto", excel, "Общий список автотранспорта и спец. техники", "XlsAllListAuto",
      "1000000000000");

  const QString fuel = QStringLiteral("N1");
  add(submenu(fuel, kReports, QStringLiteral("Движение ГСМ")));
  rep("mmRas", fuel, "Движение ГСМ по маркам", "TfmRepRas", "0110001000000");
  rep("mmRast", fuel, "Движение ГСМ по видам", "TfmRepRast", "0110001000000");
  rep("mmRastb", fuel, "Движение ГСМ по видам (бенз и дизт)", "TfmRepRastb", "0110001000000");
  rep("mmZapr", fuel, "Сведения о заправках в структурных подразделениях", "TfmRepRass",
      "0110001000000");
  rep("mmRgsm", fuel, "Отчет о расходе топлива", "TfmRepRgsm", "0110011000000").separated();
  rep("mmRgsmf", fuel, "Отчет о расходе топлива (вид двиг.)", "TfmRepRgsmf", "0110011000000");
  rep("mmMas", fuel, "Отчет о расходе масел", "TfmRepMas", "0110011000000");
  rep("mmGsmF", fuel, "Отчет о расходе топлива (по ГСМ)", "TqrGsmFuel", "0110011000000");
  rep("mmObjGsm", fuel, "По объектам", "TqrObjGsm", "0110000000001").silentOnCancel().separated();
  rep("mmFuelDiv", fuel, "Заправки по подразделениям", "PrintFuelBySubdiv", "0110001000100")
      .silentOnCancel();

  const QString tires = QStringLiteral("N2");
  add(submenu(tires, kReports, QStringLiteral("Шины и АКБ")));
  rep("mmTipr", tires, "Карточка учета работы шины", "XlsKartShini", "1000100010000").needs(kCar);
  rep("mmTireakt", tires, "Акт на списание резины", "XlsAktSpisShini", "1001100010000")
      .needs(kCar | kTire);
  rep("mmTiresp", tires, "Список шин с истекшим сроком годности", "TfmRepTisn", "1000110000000");
  rep("N17", tires, "Список шин общий", "TfmRepTisna", "1000101000000");
  rep("mmTirespis", tires, "Список шин в эксплуатации", "TfmRepTin", "0000011000000")
      .withArchiveMode(0, false);
  rep("mmTirespr", tires, "Справка о списании шин", "TfmRepTout", "0110001000000")
      .withArchiveMode(0, false);
  // The transfer certificate is the write-off window in its archive variant. The switch goes
  // back at the end: left at 1 it would open the next tire list (a picker of the task
  // parameters, for one) on the archive.
  rep("N15", tires, "Справка о передаче шин", "TfmRepTout", "0110001000000")
      .withArchiveMode(1, true);
  rep("mmTirespn", tires, "Список шин, подлежащих списанию в след. мес. ", "TfmRepTisnn",
      "1000110000000");
  rep("mmAktOsmShini", tires, "Акт осмотра шины", "XlsAktOsmShini", "1000100000000").needs(kCar);
  rep("mmAipr", tires, "Карточка учета работы АКБ", "TfmRepAipr", "1000100001000")
      .needs(kCar | kAkb)
      .separated();
  rep("mmAkbAkt2", tires, "Карточка учета работы АКБ 2", "TqrAktAkb2", "1001100001000")
      .needs(kCar | kAkb);
  rep("mmKartAkb3", tires, "Карточка учета работы АКБ 3", "XlsKartAKB", "1001100001000")
      .needs(kCar | kAkb);
  rep("mmAkbakt", tires, "Акт на списание АКБ", "XlsAktSpisAKB", "1001100001000")
      .needs(kCar | kAkb);
  rep("mmAkbsp", tires, "Список АКБ с истекшим сроком годности", "TfmRepAisn", "1000110000000");
  rep("mmAkbspis", tires, "Список АКБ в эксплуатации", "TfmRepAin", "0000011000000");
  rep("mmAkbspr", tires, "Справка о списании АКБ", "TfmRepAout", "0110001000000")
      .withArchiveMode(0, false);
  rep("N16", tires, "Справка о передаче АКБ", "TfmRepAout", "0110001000000")
      .withArchiveMode(1, true);
  rep("mmAkbspn", tires, "Список АКБ, подлежащих списанию в след. мес. ", "TfmRepAisnn",
      "1000110000000");
  rep("N20", tires, "Список АКБ общий", "TfmRepAKBna", "1000100000000").notCounted();

  // The two plain items of the menu bar.
  add(special(QStringLiteral("mmHelp"), {}, QStringLiteral("&Помощь"), targets::kHelpContents))
      .withHint(QStringLiteral("Содержание справки"));
  add(special(QStringLiteral("mmExit"), {}, QStringLiteral("Вы&xод"), targets::kCloseMainWindow))
      .withHint(QStringLiteral("Завершить работу приложения"));

  // An item without a hint of its own shows its caption in the status bar.
  for (CommandDef& c : t)
    if (c.hint.isEmpty()) c.hint = plainCaption(c.caption);
  return t;
}

using Registry = QHash<QString, CommandRegistry::Handler>;
Registry& registry() {
  static Registry r;
  return r;
}

int keyValue(const TBsp& bsp, Key key) {
  switch (key) {
    case kDriver:
      return bsp.Driver;
    case kCar:
      return bsp.Car;
    case kAvk:
      return bsp.Avk;
    case kSubdiv:
      return bsp.Subdiv;
    case kClient:
      return bsp.Client;
    case kTire:
      return bsp.Tire;
    case kAkb:
      return bsp.Akb;
    case kFuel:
      return bsp.Fuel;
    case kGsmT:
      return bsp.GsmT;
    case kObj:
      return bsp.Obj;
  }
  return 0;
}

// ArchiveMode back to 0 when the command ends, by any way out.
class ArchiveReset {
 public:
  ArchiveReset(TBsp& bsp, bool active) : bsp_(bsp), active_(active) {}
  ~ArchiveReset() {
    if (active_) bsp_.ArchiveMode = 0;
  }
  ArchiveReset(const ArchiveReset&) = delete;
  ArchiveReset& operator=(const ArchiveReset&) = delete;

 private:
  TBsp& bsp_;
  bool active_;
};

}  // namespace

const std::vector<CommandDef>& commandTable() {
  static const std::vector<CommandDef> table = buildTable();
  return table;
}

const CommandDef* findCommand(const QString& name) {
  for (const CommandDef& c : commandTable())
    if (c.name == name) return &c;
  return nullptr;
}

QString plainCaption(const QString& caption) {
  QString out;
  out.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == QLatin1Char('&')) {
      if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
        out += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

int rightsFor(const CommandDef& command, int userKind, int clientMode) {
  if (command.rights.byClientMode) return clientMode == 1 ? 15 : 1;
  return userKind == 0 ? command.rights.administrator : command.rights.restricted;
}

bool isVisible(const CommandDef& command, int userKind, int clientMode) {
  if ((command.visibility & kAdministratorOnly) && userKind != 0) return false;
  if ((command.visibility & kClientModeOnly) && clientMode != 1) return false;
  if ((command.visibility & kNotClientMode) && clientMode == 1) return false;
  return true;
}

bool requiredKeysChosen(const CommandDef& command, const TBsp& bsp) {
  bool anyChosen = command.requiredAny == 0;
  for (unsigned bit = 1; bit <= kObj; bit <<= 1) {
    const int value = keyValue(bsp, static_cast<Key>(bit));
    if ((command.requiredAll & bit) && value == 0) return false;
    if ((command.requiredAny & bit) && value != 0) anyChosen = true;
  }
  return anyChosen;
}

bool maskOffers(const QString& mask, Key key) {
  // The keys follow the working date and the two ends of the period, in the order of the flags.
  const qsizetype position = 3 + std::countr_zero(static_cast<unsigned>(key));
  return position < mask.size() && mask[position] != QLatin1Char('0');
}

QString notAvailableText(const CommandDef& command) {
  return QStringLiteral("Функция \"%1\" пока недоступна в этой версии программы.")
      .arg(plainCaption(command.caption).trimmed());
}

void CommandRegistry::registerTarget(const QString& name, Handler handler) {
  if (!handler) {
    unregisterTarget(name);
    return;
  }
  registry().insert(name, std::move(handler));
}

bool CommandRegistry::registerTargetIfAbsent(const QString& name, Handler handler) {
  if (isRegistered(name)) return false;
  registerTarget(name, std::move(handler));
  return isRegistered(name);
}

void CommandRegistry::unregisterTarget(const QString& name) {
  registry().remove(name);
}

bool CommandRegistry::isRegistered(const QString& name) {
  return registry().contains(name);
}

CommandRegistry::Handler CommandRegistry::handler(const QString& name) {
  return registry().value(name);
}

QStringList CommandRegistry::registeredTargets() {
  QStringList names = registry().keys();
  names.sort();
  return names;
}

ScopedTarget::ScopedTarget(QString name, CommandRegistry::Handler handler)
    : name_(std::move(name)), previous_(CommandRegistry::handler(name_)) {
  CommandRegistry::registerTarget(name_, std::move(handler));
}

ScopedTarget::~ScopedTarget() {
  CommandRegistry::registerTarget(name_, std::move(previous_));
}

Outcome runCommand(const CommandDef& command, TDM& dm, TBsp& bsp, const TUser& user,
                   QWidget* parent) {
  if (command.pattern == Pattern::None || command.pattern == Pattern::Submenu)
    return Outcome::NoAction;

  // Copies: a handler may replace registrations while it runs.
  CommandRegistry::Handler work = command.target.isEmpty()
                                      ? CommandRegistry::Handler{}
                                      : CommandRegistry::handler(command.target);
  const CommandRegistry::Handler ask = command.mask.isEmpty()
                                           ? CommandRegistry::Handler{}
                                           : CommandRegistry::handler(targets::kAskTaskParams);
  // A list that has registered its picker needs no handler of its own.
  if (!work && !command.target.isEmpty() && hasPicker(command.target)) {
    work = [](const CommandContext& c) {
      c.dm.setUser(c.user);
      Pick(c.command.target, c.dm.context(), 0, c.rights, false, c.parent);
      return true;
    };
  }
  // Nothing is asked for a function that is not there yet.
  if ((!command.target.isEmpty() && !work) || (!command.mask.isEmpty() && !ask)) {
    msg::info(notAvailableText(command), kAppTitle);
    return Outcome::NotAvailable;
  }

  ArchiveReset reset(bsp, command.archiveResetAfter);
  try {
    if (command.journalOrder) bsp.JournalOrder = *command.journalOrder;
    if (command.archiveMode) bsp.ArchiveMode = *command.archiveMode;
    const CommandContext context{
        dm, bsp, user, parent, command, rightsFor(command, user.typ, bsp.ClientMode), {}};
    if (ask) {
      const CommandContext askContext{dm, bsp, user, parent, command, context.rights, command.mask};
      if (!ask(askContext)) {
        if (command.silentCancel) return Outcome::CancelledSilently;
        msg::show(msg::Kind::Plain, kNotChosen, kAppTitle);
        return Outcome::NotChosen;
      }
    }
    if (!requiredKeysChosen(command, bsp)) {
      msg::show(msg::Kind::Plain, kNotChosen, kAppTitle);
      return Outcome::NotChosen;
    }
    if (!work) return Outcome::Done;  // the parameters were all there was to it
    if (!work(context)) return Outcome::Abandoned;
    if (command.counted) dm.CountReportUse(command.name, plainCaption(command.caption));
    return Outcome::Done;
  } catch (const db::DbError& e) {
    msg::error(e.message());
  } catch (const std::exception& e) {
    msg::error(QString::fromUtf8(e.what()));
  }
  return Outcome::Failed;
}

}  // namespace commands
