#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace db {
class Database;
class Transaction;
}  // namespace db

// The construction objects come from the sibling general-ledger system as a binary file:
//   - a header of 7 bytes beginning "SOB";
//   - a directory of 8-byte blocks, the last of which ends in FF FF;
//   - records of 58 bytes until one beginning FF FF or the end of the file: the key (2 bytes,
//     big-endian), CODE1, CODE2, CODE3 (a byte each), CODE4 (2 bytes, big-endian), CODE5 (a
//     byte), the name (50 bytes in the DOS code page, up to the first zero byte).
// The whole file is read and checked before the dictionary is touched, so a foreign or cut
// file leaves it as it was.
namespace objectimport {

struct ObjectRecord {
  int key = 0;
  int code1 = 0;
  int code2 = 0;
  int code3 = 0;
  int code4 = 0;
  int code5 = 0;
  QString name;
};

enum class Problem {
  None,
  NotObjectFile,  // no "SOB" header
  Truncated,      // the file ends inside the directory or inside a record
};

struct Parsed {
  Problem problem = Problem::None;
  QList<ObjectRecord> records;
};

Parsed parse(const QByteArray& bytes);

// What the person is told of a file that is not taken.
inline QString refusalCaption() {
  return QStringLiteral("Загрузка невозможна");
}
QString refusalText(Problem problem);

// Replaces the dictionary with the records in one transaction, committed at the end: every
// object deleted, the row "Hет данных" with key 0, the records; the key generator is moved past
// the largest key, so that objects added by hand later do not collide with the imported ones.
// Throws db::DbError (rolled back: the dictionary as it was). Returns the number of objects.
int replaceObjects(db::Database& database, db::Transaction& tr, const QList<ObjectRecord>& records);

struct Result {
  bool imported = false;
  int count = 0;
  QString refusal;  // when not imported: what to tell, in the caption refusalCaption()
};

// Reads the file, checks it and replaces the dictionary. Database errors are thrown as
// replaceObjects throws them.
Result importFile(db::Database& database, db::Transaction& tr, const QString& path);

}  // namespace objectimport
