#include "framework/listsql.h"

#include "platform/codepage.h"

namespace listsql {

QStringList build(const QString& selectList, const QString& tableName, const QString& wherePrefix,
                  const QString& keyField, const QString& sortField) {
  return {QStringLiteral("SELECT ") + (selectList.isEmpty() ? QStringLiteral("*") : selectList) +
              QLatin1Char(' '),
          QStringLiteral("FROM ") + tableName,
          QStringLiteral(" WHERE ") + wherePrefix + keyField + QStringLiteral(">0"),
          QStringLiteral(" ORDER BY ") + sortField + QLatin1Char(',') + keyField};
}

bool hasListShape(const QStringList& lines) {
  return lines.size() == 4 &&
         lines[0].trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive) &&
         lines[1].trimmed().startsWith(QLatin1String("from"), Qt::CaseInsensitive) &&
         lines[2].trimmed().startsWith(QLatin1String("where"), Qt::CaseInsensitive) &&
         lines[3].trimmed().startsWith(QLatin1String("order by"), Qt::CaseInsensitive);
}

QString searchCondition(const QString& field) {
  return QStringLiteral(" AND UPPER(%1 COLLATE PXW_CYRL) LIKE :%2 ESCAPE '\\'")
      .arg(field, searchParam());
}

QString searchValue(const QString& typed) {
  QString t = typed.toUpper();
  t.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
  t.replace(QLatin1Char('%'), QStringLiteral("\\%"));
  t.replace(QLatin1Char('_'), QStringLiteral("\\_"));
  return QLatin1Char('%') + t + QLatin1Char('%');
}

QStringList withCondition(QStringList lines, const QString& condition) {
  if (lines.isEmpty()) return lines;
  const int at = lines.size() >= 3 ? 2 : int(lines.size()) - 1;
  lines[at] += condition;
  return lines;
}

bool quickSearchAccepts(QChar c) {
  const char16_t u = c.unicode();
  if (u == ' ' || u == '!' || u == '"' || u == '-' || u == '.') return true;
  if ((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')) return true;
  return u >= 0x0410 && u <= 0x044F;  // А..я: the bytes 192..255 of the Windows page; not Ё, ё
}

bool atOrAfter(const QString& name, const QString& typed) {
  const auto& page = CodePage::win1251();
  const QByteArray a = page.tryEncode(name.toUpper()).value_or(name.toUpper().toLatin1());
  const QByteArray b = page.tryEncode(typed.toUpper()).value_or(typed.toUpper().toLatin1());
  const int n = int(std::min(a.size(), b.size()));
  for (int i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x > y;
  }
  return a.size() >= b.size();
}

QString deleteStatement(const QString& deleteSql, const QString& tableName,
                        const QString& keyField) {
  if (!deleteSql.isEmpty()) return deleteSql;
  return QStringLiteral("DELETE FROM ") + tableName + QStringLiteral(" WHERE ") + keyField +
         QStringLiteral("=:ID");
}

}  // namespace listsql
