#include "platform/sqlparams.h"

namespace db {

namespace {
bool isNameChar(QChar c) {
  return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}
}  // namespace

ParsedSql parseNamedParams(const QString& sql) {
  ParsedSql out;
  out.text.reserve(sql.size());
  const qsizetype n = sql.size();
  qsizetype i = 0;
  while (i < n) {
    const QChar c = sql[i];
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
      // Literal or quoted identifier; a doubled quote stays inside.
      const qsizetype start = i++;
      while (i < n) {
        if (sql[i] == c) {
          if (i + 1 < n && sql[i + 1] == c) {
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        ++i;
      }
      out.text += QStringView(sql).mid(start, i - start);
    } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
      const qsizetype start = i;
      while (i < n && sql[i] != QLatin1Char('\n')) ++i;
      out.text += QStringView(sql).mid(start, i - start);
    } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
      const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
      const qsizetype stop = end < 0 ? n : end + 2;
      out.text += QStringView(sql).mid(i, stop - i);
      i = stop;
    } else if (c == QLatin1Char(':') && i + 1 < n && isNameChar(sql[i + 1]) &&
               !(i > 0 && isNameChar(sql[i - 1]))) {
      qsizetype j = i + 1;
      while (j < n && isNameChar(sql[j])) ++j;
      out.names << sql.mid(i + 1, j - i - 1).toUpper();
      out.text += QLatin1Char('?');
      i = j;
    } else {
      out.text += c;
      ++i;
    }
  }
  return out;
}

}  // namespace db
