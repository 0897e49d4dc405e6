#pragma once

#include <QList>
#include <QString>

namespace db {
class Query;
}

// The entries of a lookup box: each name keeps its row's key, so that equal names, or a name
// that is not in the first 5000, never write a wrong key.
struct LookupItem {
  int key = 0;
  QString name;
};

namespace lookup {

constexpr int kMaxItems = 5000;

// "Hет данных" with a Latin H: the name of key 0 in every reference table.
QString noDataName();
QString emptyName();  // "Поле не заполнено": a row whose name is null

// Fills the entries from an open query: first "Hет данных" (key 0), then the rows in the
// query's order, skipping the placeholder rows, at most kMaxItems in all; the row of keep (when
// above 0) is always among them, so a stored key is never shown as "Hет данных".
QList<LookupItem> items(db::Query& query, const QString& keyField, const QString& nameField,
                        int keep = 0);

// Index of the entry with the key; 0 (the "Hет данных" entry) when there is none.
int indexOfKey(const QList<LookupItem>& items, int key);
// Index of the first entry of that name (trailing blanks ignored), -1 when none.
int indexOfName(const QList<LookupItem>& items, const QString& name);

// The search statement of a lookup box: the text as it would read on the Russian layout goes in
// as the parameter listsql::searchParam(), the text as typed as searchAsTypedParam() (so that
// names written in Latin letters are found too); use listsql::searchValue for both values.
inline QString searchAsTypedParam() {
  return QStringLiteral("LIST_SEARCH_TYPED");
}
// The search looks in searchField (the shown name when empty).
QString searchSql(const QString& table, const QString& keyField, const QString& nameField,
                  const QString& condition, const QString& searchField = {});

}  // namespace lookup
