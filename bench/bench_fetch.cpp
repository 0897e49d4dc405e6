// Reading a large result through db::Query against reading it through the bare client library.
//
// Both readers run the same select over the same rows, read every value of every row (null flag
// included), turn the text into a QString through the WIN1251 table and the number into a count
// of 1/10000, and feed the same checksum. The bare reader is the least any reader over the client
// library has to do: one prepared statement, one row buffer, values read at the offsets the
// metadata gives. The result is the ratio of the layer's time to the bare reader's, best of
// several interleaved runs each.
//
// Usage: bench_fetch [rows = 1000000] [runs = 5]

#include "platform/codepage.h"
#include "platform/database.h"
#include "platform/dberror.h"
#include "platform/query.h"

#include <firebird/Interface.h>
#include <ibase.h>

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

constexpr double kTargetRatio = 1.2;
const char* const kSelect = "select ID, NAME, AMOUNT from T";

// Sum of per-row hashes: both readers must see the same rows with the same values; the order
// of an unordered select is not part of what is compared.
struct Checksum {
  std::uint64_t rows = 0;
  std::uint64_t sum = 0;

  static std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    x ^= x >> 31;
    return x;
  }
  // A null text counts as empty, as asString() gives it.
  void add(std::int64_t id, const QString& name, std::int64_t amount) {
    std::uint64_t h = mix(static_cast<std::uint64_t>(id));
    h = mix(h ^ static_cast<std::uint64_t>(qHash(name, 0)));
    h = mix(h ^ static_cast<std::uint64_t>(amount));
    sum += h;
    ++rows;
  }
  bool operator==(const Checksum&) const = default;
};

// --- the bare client library ----------------------------------------------------------------

std::string statusText(Firebird::IStatus* status) {
  char text[2048];
  Firebird::fb_get_master_interface()->getUtilInterface()->formatStatus(text, sizeof text, status);
  return text;
}

template <typename T>
T load(const unsigned char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

Checksum fetchBare(Firebird::IAttachment* att, Firebird::ITransaction* tra) {
  Firebird::IMaster* master = Firebird::fb_get_master_interface();
  Firebird::ThrowStatusWrapper status(master->getStatus());
  Firebird::IStatement* stmt = nullptr;
  Firebird::IMessageMetadata* meta = nullptr;
  Firebird::IResultSet* rs = nullptr;
  Checksum sum;
  try {
    stmt =
        att->prepare(&status, tra, 0, kSelect, 3, Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    meta = stmt->getOutputMetadata(&status);
    if (meta->getType(&status, 0) != SQL_LONG || meta->getType(&status, 1) != SQL_VARYING ||
        meta->getType(&status, 2) != SQL_INT64 || meta->getScale(&status, 2) != -4)
      throw std::runtime_error("unexpected column types of T");
    const unsigned idOff = meta->getOffset(&status, 0);
    const unsigned idNull = meta->getNullOffset(&status, 0);
    const unsigned nameOff = meta->getOffset(&status, 1);
    const unsigned nameNull = meta->getNullOffset(&status, 1);
    const unsigned amountOff = meta->getOffset(&status, 2);
    const unsigned amountNull = meta->getNullOffset(&status, 2);
    QByteArray buffer(static_cast<qsizetype>(meta->getMessageLength(&status)), '\0');
    auto* row = reinterpret_cast<unsigned char*>(buffer.data());
    const CodePage& cp = CodePage::win1251();

    rs = stmt->openCursor(&status, tra, nullptr, nullptr, meta, 0);
    while (rs->fetchNext(&status, row) == Firebird::IStatus::RESULT_OK) {
      const std::int64_t id = load<ISC_SHORT>(row + idNull) ? 0 : load<ISC_LONG>(row + idOff);
      const QString name =
          load<ISC_SHORT>(row + nameNull)
              ? QString()
              : cp.decode(reinterpret_cast<const char*>(row + nameOff + sizeof(ISC_USHORT)),
                          load<ISC_USHORT>(row + nameOff));
      const std::int64_t amount =
          load<ISC_SHORT>(row + amountNull) ? 0 : load<ISC_INT64>(row + amountOff);
      sum.add(id, name, amount);
    }
    rs->close(&status);
    rs = nullptr;
    meta->release();
    meta = nullptr;
    stmt->free(&status);
    stmt = nullptr;
  } catch (const Firebird::FbException& e) {
    const std::string text = statusText(e.getStatus());
    if (rs) rs->release();
    if (meta) meta->release();
    if (stmt) stmt->release();
    status.dispose();
    throw std::runtime_error(text);
  } catch (...) {
    if (rs) rs->release();
    if (meta) meta->release();
    if (stmt) stmt->release();
    status.dispose();
    throw;
  }
  status.dispose();
  return sum;
}

// --- the layer ------------------------------------------------------------------------------

Checksum fetchLayer(db::Database& database, db::Transaction& tr, bool unidirectional) {
  db::Query q(database, &tr);
  q.setSql(QString::fromLatin1(kSelect));
  q.setUnidirectional(unidirectional);
  Checksum sum;
  for (q.open(); !q.eof(); q.next())
    sum.add(q.field(0).asInt(), q.field(1).asString(), q.field(2).asDecimal().raw());
  return sum;
}

// --- the data -------------------------------------------------------------------------------

// One PSQL loop: a million single inserts from the client would measure the network of calls,
// not the data. Every 97th name and every 89th amount are null; names vary in length up to the
// full 40 characters and hold letters of the upper half of the code page.
void fill(db::Database& database, db::Transaction& tr, long rows) {
  database.executeImmediate(QStringLiteral(
      "create table T (ID integer not null, NAME varchar(40), AMOUNT numeric(18,4))"));
  tr.commit();
  database.executeImmediate(
      QStringLiteral("execute block as\n"
                     "  declare i integer = 1;\n"
                     "begin\n"
                     "  while (i <= %1) do\n"
                     "  begin\n"
                     "    insert into T (ID, NAME, AMOUNT) values (:i,\n"
                     "      iif(mod(:i, 97) = 0, null,\n"
                     "        decode(mod(:i, 5), 0, 'Иванов', 1, 'Петрова-Водкина', 2, 'Ёлкин',\n"
                     "               3, 'Щербаков', 'Эйдельман') || ' — путевой лист № ' || :i),\n"
                     "      iif(mod(:i, 89) = 0, null,\n"
                     "        (mod(:i * 7919, 200000001) - 100000000) * 0.0001));\n"
                     "    i = i + 1;\n"
                     "  end\n"
                     "end")
          .arg(rows));
  tr.commit();
}

long argument(int argc, char** argv, int i, long fallback) {
  if (argc <= i) return fallback;
  char* end = nullptr;
  const long v = std::strtol(argv[i], &end, 10);
  if (end == argv[i] || *end != '\0' || v < 1 || v > std::numeric_limits<int>::max())
    throw std::invalid_argument(std::string("not a positive count: ") + argv[i]);
  return v;
}

struct Mode {
  const char* name;
  double best = std::numeric_limits<double>::infinity();
};

template <typename F>
double seconds(F&& run, Checksum& result) {
  const auto t0 = std::chrono::steady_clock::now();
  result = run();
  const auto t1 = std::chrono::steady_clock::now();
  return std::chrono::duration<double>(t1 - t0).count();
}

int run(long rows, long runs) {
  db::ensureLockFolder();
  QTemporaryDir dir;
  if (!dir.isValid()) throw std::runtime_error("cannot create a temporary folder");

  db::Database database;
  database.setDatabaseName(dir.filePath(QStringLiteral("bench_fetch.fdb")));
  database.setLogin(QStringLiteral("SYSDBA"), QString());
  database.create(8192, false);
  struct Drop {
    db::Database& d;
    ~Drop() {
      try {
        d.drop();
      } catch (const db::DbError&) {
        d.disconnect();  // the temporary folder goes anyway
      }
    }
  } drop{database};

  int rc = 0;
  {
    db::Transaction tr(database);
    database.setDefaultTransaction(&tr);
    std::printf("filling %ld rows...\n", rows);
    std::fflush(stdout);
    fill(database, tr, rows);

    Mode bare{"bare client library"};
    Mode buffered{"db::Query, buffered"};
    Mode oneWay{"db::Query, unidirectional"};
    Checksum reference;
    bool haveReference = false;
    auto check = [&](const Mode& m, const Checksum& c) {
      if (!haveReference) {
        reference = c;
        haveReference = true;
      }
      if (c == reference && c.rows == static_cast<std::uint64_t>(rows)) return true;
      std::printf(
          "CHECKSUM MISMATCH in %s: %llu rows, sum %016llx; expected %ld rows, sum %016llx\n",
          m.name, static_cast<unsigned long long>(c.rows), static_cast<unsigned long long>(c.sum),
          rows, static_cast<unsigned long long>(reference.sum));
      return false;
    };

    for (long r = 0; r < runs && rc == 0; ++r) {
      Checksum c;
      Firebird::ITransaction* trh = tr.handle();
      bare.best =
          std::min(bare.best, seconds([&] { return fetchBare(database.attachment(), trh); }, c));
      if (!check(bare, c)) rc = 1;
      buffered.best =
          std::min(buffered.best, seconds([&] { return fetchLayer(database, tr, false); }, c));
      if (!check(buffered, c)) rc = 1;
      oneWay.best =
          std::min(oneWay.best, seconds([&] { return fetchLayer(database, tr, true); }, c));
      if (!check(oneWay, c)) rc = 1;
    }
    tr.commit();
    database.setDefaultTransaction(nullptr);
    if (rc != 0) return rc;

    std::printf("rows: %ld, runs: %ld (best of each), checksum %016llx equal in all runs\n", rows,
                runs, static_cast<unsigned long long>(reference.sum));
    std::printf("  %-28s best %8.3f s\n", bare.name, bare.best);
    for (const Mode* m : {&buffered, &oneWay}) {
      const double ratio = m->best / bare.best;
      std::printf("  %-28s best %8.3f s   ratio layer/bare %.3f   target <= %.1f: %s\n", m->name,
                  m->best, ratio, kTargetRatio, ratio <= kTargetRatio ? "met" : "MISSED");
    }
  }
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const long rows = argument(argc, argv, 1, 1000000);
    const long runs = argument(argc, argv, 2, 5);
    return run(rows, runs);
  } catch (const std::exception& e) {  // db::DbError included
    std::fprintf(stderr, "error: %s\n", e.what());
  }
  return 1;
}
