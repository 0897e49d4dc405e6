#pragma once

// Small routines shared by the edit windows, the printed forms, the workbook reports and the
// exchange files. Plain functions without global state: whatever they depend on (the number of
// decimals, the folders) comes in as an argument.

#include "platform/decimal.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

namespace db {
class Query;
}

// Modes of ToCyrillicLayout.
inline constexpr int kLayoutLower = 1;
inline constexpr int kLayoutUpper = 2;

// Text typed on the US layout while the Russian one was meant: every key of the letter rows
// (q ... ], a ... ', z ... . and the same keys shifted) becomes the Cyrillic letter on the same
// key, lower case in mode 1 and upper case in mode 2, whether the key was shifted or not. Other
// characters, Cyrillic letters among them, stay as they are; so does the whole text in any
// other mode.
void ToCyrillicLayout(QString& text, int mode);
QString toCyrillicLayout(const QString& text, int mode);

// A whole amount in Russian words for the printed forms, in groups of millions, thousands and
// units, each group followed by its unit word ("тысяча", "тысячи", "тысяч"; for the units the
// caller's words for 1, for 2 to 4 and for 5 and more) and one blank. An empty group writes only
// its blank, except the units, which always get their word. Zero has no word of its own.
//   1234, "рубль", "рубля", "рублей" -> " одна тысяча двести тридцать четыре рубля "
//   0 -> "  рублей "
// Values from 0 to 999 999 999; others throw std::out_of_range.
QString AmountInWords(qint64 value, const QString& one = {}, const QString& few = {},
                      const QString& many = {});

// The kind of a fuel for the printed forms: "ДТ", "АИ", "А", "КЕРОСИН" or empty.
QString FuelKind(const QString& fuelName);
// The grade of a fuel, upper case: the word after the first "-" ("АИ-92 Евро" gives "92"), or
// "80" / "76" for names with А80 / А76 (Cyrillic or Latin A), otherwise empty.
QString FuelGrade(const QString& fuelName);

// "Иванов Иван Иванович" -> "Иванов И.И."; "Иванов Иван" -> "Иванов И."; a name without a blank
// is returned as it is. Runs of blanks count as one, blanks at the ends are ignored.
QString ShortInitials(const QString& fullName);

// Month names in the genitive, "января" first.
const QStringList& genitiveMonthNames();

// Caption of a period: "5 мая 2024г.", "1-31 мая 2024г.", "30 апреля 2024г. - 2 мая 2024г.".
// Empty when either date is invalid.
QString PeriodText(const QDate& first, const QDate& last);

// Rounds to decPl decimals in steps: to 5 places, then 4, and so on down to decPl, each step
// halves away from zero (roundDecimal), so that 2.4449 becomes 2.45 at two places (and 3 at
// none: the carry goes on through 2.5). More than 5 places asked for, or a value that is not
// finite, leave the value unchanged. A negative decPl counts as 0. Callers pass the configured
// number of decimals (TBsp::DecPl).
double RoundDecpl(double value, int decPl);
// The same steps on the exact four-decimal count. For amounts below ten billion the result
// is that of RoundDecpl on the same value; beyond, the double's relative tolerance outgrows the
// places it rounds and only this one stays exact. Throws std::overflow_error when the result
// does not fit (beyond any real amount).
Decimal4 RoundDecplMoney(Decimal4 value, int decPl);

// Text of the old DOS exchange files (code page 866) and back; one character per byte.
// All 256 bytes have a character. TextToOem refuses a character the page cannot hold (for
// example "₽") by throwing db::EncodingError, whose message names it; nothing is written as '?'.
QString OemToText(const QByteArray& oem);
QByteArray TextToOem(const QString& text);

// Appends one line per construction object: the key, two blanks, the name. Runs
// "select avobj, name from avobj" on the given query, which is closed afterwards.
void ObjectLines(db::Query& query, QStringList& lines);
// Index of the first line that contains the text (case matters), -1 when none does.
int FindLineContaining(const QStringList& lines, const QString& text);
// Index of the first line of ObjectLines whose leading number is the key, -1 when none is.
// Unlike FindLineContaining with the key's text, key 1 does not find the line of object 11.
int FindObjectLine(const QStringList& lines, int key);
// The number before the first blank of a line of ObjectLines; 0 when the line has no blank,
// begins with one, or does not begin with a number.
int LeadingNumber(const QString& line);

// Makes a working copy of a workbook template for a report and returns its full path.
// The copy goes to workDir (created when missing) under the first of the names "rep00" ...
// "rep99" with the template's extension that is free: the file does not exist, or it can be
// deleted and no spreadsheet program holds it open (its lock file is absent). The copy never
// overwrites. A missing template, no free name or a failed copy throw std::runtime_error with a
// Russian message (UTF-8 in what()) that the calling window shows.
QString NewReportWorkbook(const QString& templateName, const QString& templatesDir,
                          const QString& workDir);
