#include "db/scriptrunner.h"

#include "platform/database.h"
#include "platform/dberror.h"
#include "platform/query.h"

#include <QRegularExpression>

namespace schema {

std::vector<ScriptStatement> splitScript(const QString& script) {
  static const QRegularExpression setTerm(
      QStringLiteral("^\\s*SET\\s+TERM\\s+(\\S+)\\s*(\\S*)\\s*$"),
      QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression commit(QStringLiteral("^\\s*COMMIT(\\s+WORK)?\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
  std::vector<ScriptStatement> out;
  QString term = QStringLiteral(";");
  QString current;
  int startLine = 0;
  const QStringList lines = script.split(QLatin1Char('\n'));
  for (int i = 0; i < lines.size(); ++i) {
    QString line = lines[i];
    line.remove(QLatin1Char('\r'));
    if (current.trimmed().isEmpty()) {
      if (line.trimmed().startsWith(QStringLiteral("--")) || line.trimmed().isEmpty()) continue;
      const auto m = setTerm.match(line);
      if (m.hasMatch()) {
        // "SET TERM ^ ;" ends with the old terminator; the new one is the first word.
        QString next = m.captured(1);
        if (next.endsWith(term) && next.size() > term.size()) next.chop(term.size());
        term = next;
        continue;
      }
      startLine = i + 1;
    }
    current += line;
    current += QLatin1Char('\n');
    const QString trimmed = current.trimmed();
    if (trimmed.endsWith(term)) {
      QString text = trimmed.left(trimmed.size() - term.size()).trimmed();
      current.clear();
      if (text.isEmpty() || commit.match(text).hasMatch()) continue;
      out.push_back({text, startLine});
    }
  }
  const QString rest = current.trimmed();
  if (!rest.isEmpty() && !commit.match(rest).hasMatch()) out.push_back({rest, startLine});
  return out;
}

void runScript(db::Database& database, db::Transaction& tr, const QString& script,
               const std::function<void(int, int)>& progress) {
  const auto statements = splitScript(script);
  db::Query q(database, &tr);
  q.setParamCheck(false);
  int done = 0;
  for (const auto& s : statements) {
    try {
      q.setSql(s.text);
      q.exec();
      q.unprepare();
      tr.commit();
    } catch (const db::DbError& e) {
      try {
        tr.rollback();
      } catch (const db::DbError&) {
      }
      throw db::DbError(QStringLiteral("Ошибка в строке %1 сценария базы данных: %2")
                            .arg(s.line)
                            .arg(e.message()),
                        e.sqlCode(), e.engineCode(), e.isLockConflict());
    }
    if (progress) progress(++done, static_cast<int>(statements.size()));
  }
}

}  // namespace schema
