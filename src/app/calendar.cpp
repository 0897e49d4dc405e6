#include "app/calendar.h"

#include "app/bsp.h"
#include "framework/routines.h"

const QStringList& monthNames() {
  static const QStringList names = {
      QStringLiteral("Январь"),  QStringLiteral("Февраль"), QStringLiteral("Март"),
      QStringLiteral("Апрель"),  QStringLiteral("Май"),     QStringLiteral("Июнь"),
      QStringLiteral("Июль"),    QStringLiteral("Август"),  QStringLiteral("Сентябрь"),
      QStringLiteral("Октябрь"), QStringLiteral("Ноябрь"),  QStringLiteral("Декабрь")};
  return names;
}

const QStringList& monthNamesGenitive() {
  return genitiveMonthNames();
}

const QStringList& weekdayNames() {
  static const QStringList names = {QStringLiteral("Воскресенье"), QStringLiteral("Понедельник"),
                                    QStringLiteral("Вторник"),     QStringLiteral("Среда"),
                                    QStringLiteral("Четверг"),     QStringLiteral("Пятница"),
                                    QStringLiteral("Суббота")};
  return names;
}

bool IsWinterDate(const QDate& date, const TBsp& bsp) {
  if (!date.isValid() || !bsp.WinTimeFrom.isValid() || !bsp.WinTimeTo.isValid()) return false;
  const QDateTime at(date, QTime(0, 0));
  return bsp.WinTimeFrom <= at && at <= bsp.WinTimeTo;
}

QString DayKindName(int kind) {
  switch (kind) {
    case 1:
      return QStringLiteral("БУДНИ");
    case 2:
      return QStringLiteral("СМЕНА");
    default:
      return {};
  }
}
