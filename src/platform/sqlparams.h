#pragma once

#include <QString>
#include <QStringList>

namespace db {

// A statement text with its named parameters ":NAME" replaced by positional markers.
struct ParsedSql {
  QString text;       // with '?' in place of each ":NAME"
  QStringList names;  // one per marker, upper case, in order (a name may repeat)
};

// Finds ":NAME" outside string literals, quoted identifiers and comments. Names are made of
// letters, digits, '_' and '$' and are matched without regard to case.
ParsedSql parseNamedParams(const QString& sql);

}  // namespace db
