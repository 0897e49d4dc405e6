#include "platform/dberror.h"

namespace db {

DbError::DbError(QString message, int sqlCode, long engineCode, bool lockConflict)
    : message_(std::move(message)),
      sqlCode_(sqlCode),
      engineCode_(engineCode),
      lockConflict_(lockConflict),
      utf8_(message_.toStdString()) {}

namespace {
QString describe(const QString& ch) {
  if (ch.isEmpty()) return ch;
  const char32_t code =
      ch.size() == 2 ? QChar::surrogateToUcs4(ch.at(0), ch.at(1)) : ch.at(0).unicode();
  return QStringLiteral("«%1» (U+%2)").arg(ch).arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
}
}  // namespace

EncodingError::EncodingError(const QString& character, const QString& codePage)
    : DbError(QStringLiteral("Символ %1 нельзя сохранить: кодовая страница %2 его не содержит. "
                             "Замените его и повторите запись.")
                  .arg(describe(character), codePage)),
      character_(character) {}

}  // namespace db
