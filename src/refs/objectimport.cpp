#include "refs/objectimport.h"

#include "framework/lookup.h"
#include "framework/routines.h"
#include "platform/database.h"
#include "platform/query.h"

#include <QDir>
#include <QFile>

namespace objectimport {

namespace {

constexpr int kHeaderSize = 7;
constexpr int kBlockSize = 8;
constexpr int kRecordSize = 58;
constexpr int kNameOffset = 8;
constexpr int kNameSize = 50;

int byteAt(const QByteArray& b, qsizetype i) {
  return static_cast<unsigned char>(b[i]);
}
int bigEndian16(const QByteArray& b, qsizetype i) {
  return byteAt(b, i) * 256 + byteAt(b, i + 1);
}
bool endMark(const QByteArray& b, qsizetype i) {
  return i + 1 < b.size() && byteAt(b, i) == 0xFF && byteAt(b, i + 1) == 0xFF;
}

}  // namespace

Parsed parse(const QByteArray& bytes) {
  Parsed out;
  if (bytes.size() < kHeaderSize || !bytes.startsWith("SOB")) {
    out.problem = Problem::NotObjectFile;
    return out;
  }
  // The directory: blocks until one that ends in FF FF. A file that ends before it is cut.
  qsizetype at = kHeaderSize;
  for (;;) {
    if (at + kBlockSize > bytes.size()) {
      out.problem = Problem::Truncated;
      return out;
    }
    const bool last = endMark(bytes, at + kBlockSize - 2);
    at += kBlockSize;
    if (last) break;
  }
  // The records: until one that begins FF FF, or the end of the file between two records.
  while (at < bytes.size()) {
    if (endMark(bytes, at)) break;
    if (at + kRecordSize > bytes.size()) {
      out.problem = Problem::Truncated;
      out.records.clear();
      return out;
    }
    ObjectRecord r;
    r.key = bigEndian16(bytes, at);
    r.code1 = byteAt(bytes, at + 2);
    r.code2 = byteAt(bytes, at + 3);
    r.code3 = byteAt(bytes, at + 4);
    r.code4 = bigEndian16(bytes, at + 5);
    r.code5 = byteAt(bytes, at + 7);
    QByteArray name = bytes.mid(at + kNameOffset, kNameSize);
    const qsizetype zero = name.indexOf('\0');
    if (zero >= 0) name.truncate(zero);
    r.name = OemToText(name);
    out.records.append(r);
    at += kRecordSize;
  }
  return out;
}

QString refusalText(Problem problem) {
  switch (problem) {
    case Problem::NotObjectFile:
      return QStringLiteral("Возможно это не справочник объектов!");
    case Problem::Truncated:
      return QStringLiteral("Файл справочника объектов неполон. Справочник не изменен.");
    case Problem::None:
      break;
  }
  return {};
}

int replaceObjects(db::Database& database, db::Transaction& tr,
                   const QList<ObjectRecord>& records) {
  db::TransactionGuard guard(tr);
  db::Query del(database, &tr);
  del.setSql(QStringLiteral("delete from avobj"));
  del.exec();

  db::Query ins(database, &tr);
  ins.setSql(QStringLiteral(
      "insert into AVOBJ (AVOBJ, CODE1, CODE2, CODE3, CODE4, CODE5, NAME) values (:AVOBJ, "
      ":CODE1, :CODE2, :CODE3, :CODE4, :CODE5, :NAME)"));
  ins.prepare();
  const auto insert = [&ins](const ObjectRecord& r) {
    ins.param(QStringLiteral("AVOBJ")).setInt(r.key);
    ins.param(QStringLiteral("CODE1")).setInt(r.code1);
    ins.param(QStringLiteral("CODE2")).setInt(r.code2);
    ins.param(QStringLiteral("CODE3")).setInt(r.code3);
    ins.param(QStringLiteral("CODE4")).setInt(r.code4);
    ins.param(QStringLiteral("CODE5")).setInt(r.code5);
    ins.param(QStringLiteral("NAME")).setString(r.name);
    ins.exec();
  };
  ObjectRecord none;
  none.name = lookup::noDataName();
  insert(none);
  int largest = 0;
  for (const ObjectRecord& r : records) {
    insert(r);
    largest = std::max(largest, r.key);
  }

  // Generators stand outside transactions: moving one up is harmless even if the import is
  // rolled back afterwards, and it is never moved down.
  db::Query gen(database, &tr);
  gen.setSql(QStringLiteral("select gen_id(GEN_AVOBJ, 0) from RDB$DATABASE"));
  gen.open();
  const qint64 current = gen.field(0).asInt();
  gen.close();
  if (current < largest) {
    gen.setSql(QStringLiteral("select gen_id(GEN_AVOBJ, cast(:STEP as bigint)) from RDB$DATABASE"));
    gen.param(QStringLiteral("STEP")).setInt(largest - current);
    gen.open();
    gen.close();
  }
  guard.commit();
  return int(records.size());
}

Result importFile(db::Database& database, db::Transaction& tr, const QString& path) {
  Result result;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    result.refusal =
        QStringLiteral("Не удалось открыть файл %1.").arg(QDir::toNativeSeparators(path));
    return result;
  }
  const Parsed parsed = parse(f.readAll());
  f.close();
  if (parsed.problem != Problem::None) {
    result.refusal = refusalText(parsed.problem);
    return result;
  }
  result.count = replaceObjects(database, tr, parsed.records);
  result.imported = true;
  return result;
}

}  // namespace objectimport
