#pragma once

#include <QString>
#include <QStringList>

// The statements a list window runs, built from its configuration.
namespace listsql {

// The generated list query, four lines: select, from, where (key > 0, after the prefix), order.
QStringList build(const QString& selectList, const QString& tableName, const QString& wherePrefix,
                  const QString& keyField, const QString& sortField);

// A list text has the shape of the generated one (select, from, where on the third line, order
// by on the fourth) when Find and Filter can append their condition to its third line.
bool hasListShape(const QStringList& lines);

// Name of the parameter that carries the searched text.
inline QString searchParam() {
  return QStringLiteral("LIST_SEARCH");
}
// The condition Find and Filter append to the third line: the typed text travels as a
// parameter, its % and _ taken literally.
QString searchCondition(const QString& field);
// The parameter's value for a typed text: upper case, wildcards escaped, between %.
QString searchValue(const QString& typed);

// The text with the condition appended to its third line (or to its last line when shorter).
QStringList withCondition(QStringList lines, const QString& condition);

// Quick search: which typed characters count, and how names compare with the typed text.
bool quickSearchAccepts(QChar c);
// True when name, upper-cased, is at or after typed, upper-cased, byte by byte in WIN1251.
bool atOrAfter(const QString& name, const QString& typed);

// The delete statement of a list: its own, or one by key with the parameter ID.
QString deleteStatement(const QString& deleteSql, const QString& tableName,
                        const QString& keyField);

}  // namespace listsql
