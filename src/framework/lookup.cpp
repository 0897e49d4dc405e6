#include "framework/lookup.h"

#include "framework/listsql.h"
#include "platform/query.h"

namespace lookup {

QString noDataName() {
  return QStringLiteral("Hет данных");
}
QString emptyName() {
  return QStringLiteral("Поле не заполнено");
}

namespace {
QString trimmedRight(QString s) {
  while (s.endsWith(QLatin1Char(' '))) s.chop(1);
  return s;
}
bool isPlaceholder(const QString& name) {
  const QString t = trimmedRight(name);
  return t == QStringLiteral("Нет данных") || t == noDataName();
}
}  // namespace

QList<LookupItem> items(db::Query& query, const QString& keyField, const QString& nameField,
                        int keep) {
  QList<LookupItem> out{{0, noDataName()}};
  const db::Field key = query.field(keyField);
  const db::Field name = query.field(nameField);
  bool kept = keep <= 0;
  for (query.first(); !query.eof(); query.next()) {
    const QString n = name.isNull() ? emptyName() : trimmedRight(name.asString());
    if (!name.isNull() && isPlaceholder(n)) continue;
    const int k = static_cast<int>(key.asInt());
    if (out.size() < kMaxItems) {
      out.append({k, n});
      kept = kept || k == keep;
    } else if (!kept && k == keep) {
      out.append({k, n});
      kept = true;
      break;
    } else if (kept) {
      break;
    }
  }
  return out;
}

int indexOfKey(const QList<LookupItem>& items, int key) {
  for (int i = 0; i < items.size(); ++i)
    if (items[i].key == key) return i;
  return 0;
}

int indexOfName(const QList<LookupItem>& items, const QString& name) {
  const QString t = trimmedRight(name);
  for (int i = 0; i < items.size(); ++i)
    if (items[i].name == t) return i;
  return -1;
}

QString searchSql(const QString& table, const QString& keyField, const QString& nameField,
                  const QString& condition, const QString& searchField) {
  QString sql = QStringLiteral("select ") + keyField + QStringLiteral(", ") + nameField +
                QStringLiteral(" from ") + table + QStringLiteral("\nwhere ");
  if (!condition.isEmpty()) sql += condition + QStringLiteral(" and ");
  const QString searched = searchField.isEmpty() ? nameField : searchField;
  const QString upper =
      QStringLiteral("UPPER(") + searched + QStringLiteral(" COLLATE PXW_CYRL) LIKE :");
  sql += QLatin1Char('(') + upper + listsql::searchParam() + QStringLiteral(" ESCAPE '\\' or ") +
         upper + searchAsTypedParam() + QStringLiteral(" ESCAPE '\\')\norder by ") + nameField;
  return sql;
}

}  // namespace lookup
