#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

struct TBsp;

// Month names: nominative ("Январь") and genitive ("января"), January first.
const QStringList& monthNames();
const QStringList& monthNamesGenitive();
// Weekday names, Sunday first.
const QStringList& weekdayNames();

// True when the date (at midnight) lies in the winter period of the constants, both ends
// included; the period is compared with its year.
bool IsWinterDate(const QDate& date, const TBsp& bsp);

// Work mode of a waybill: 1 "БУДНИ", 2 "СМЕНА", anything else empty.
QString DayKindName(int kind);
