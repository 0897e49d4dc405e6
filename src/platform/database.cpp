#include "platform/database.h"

#include "platform/codepage.h"
#include "platform/dberror.h"
#include "platform/fbapi.h"
#include "platform/query.h"

#include <QDir>
#include <QRegularExpression>
#include <QtGlobal>

#include <ibase.h>

#include <unistd.h>
#include <algorithm>

namespace db {

namespace detail {

Fb& fb() {
  static Fb instance = [] {
    Fb f{};
    f.master = Firebird::fb_get_master_interface();
    f.util = f.master->getUtilInterface();
    f.provider = f.master->getDispatcher();
    return f;
  }();
  return instance;
}

void raise(const Firebird::FbException& e) {
  Firebird::IStatus* st = e.getStatus();
  char text[4096];
  fb().util->formatStatus(text, sizeof text, st);
  const ISC_STATUS* v = st->getErrors();
  const int sqlCode = static_cast<int>(isc_sqlcode(v));
  long engineCode = 0;
  bool lock = false;
  for (const ISC_STATUS* p = v; *p != isc_arg_end;) {
    const ISC_STATUS kind = *p++;
    const ISC_STATUS value = *p++;
    if (kind == isc_arg_gds) {
      if (engineCode == 0) engineCode = static_cast<long>(value);
      if (value == isc_lock_conflict || value == isc_update_conflict || value == isc_deadlock)
        lock = true;
    } else if (kind == isc_arg_cstring) {
      ++p;  // a counted string takes one more slot
    }
  }
  // Names and values inside the engine's text come in the connection's code page.
  throw DbError(CodePage::win1251().decode(text, qstrlen(text)).trimmed(), sqlCode, engineCode,
                lock);
}

}  // namespace detail

using detail::fb;
using detail::guarded;
using detail::Status;

void ensureLockFolder() {
  if (!qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) return;
  const QString dir = QDir::temp().filePath(
      QStringLiteral("vedomir-fblock-%1").arg(static_cast<qulonglong>(getuid())));
  QDir().mkpath(dir);
  QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("FIREBIRD_LOCK", QFile::encodeName(dir));
}

bool isServerPath(const QString& path) {
  // "C:\..." style drive letters are not hosts; a host has at least two characters.
  static const QRegularExpression server(QStringLiteral("^[^:/\\\\]{2,}(/[0-9A-Za-z_]+)?:"));
  return server.match(path).hasMatch();
}

Database::Database() = default;

Database::~Database() {
  disconnect();
}

void Database::detach(Transaction* tr) {
  transactions_.erase(std::remove(transactions_.begin(), transactions_.end(), tr),
                      transactions_.end());
}

void Database::detach(Query* q) {
  queries_.erase(std::remove(queries_.begin(), queries_.end(), q), queries_.end());
}

void Database::connect() {
  if (!connected()) openWith(false, 0, -1);
}

void Database::create(int pageSize, bool forcedWrites) {
  if (connected()) disconnect();
  openWith(true, pageSize, forcedWrites ? 1 : 0);
}

void Database::turnForcedWritesOn() {
  disconnect();
  openWith(false, 0, 1);
}

void Database::drop() {
  if (!connected()) return;
  for (Query* q : std::vector<Query*>(queries_)) q->unprepare();
  for (Transaction* t : std::vector<Transaction*>(transactions_)) t->forget();
  guarded([&] {
    Status st;
    attachment_->dropDatabase(st.get());
  });
  attachment_ = nullptr;
}

void Database::openWith(bool create, int pageSize, int forcedWrites) {
  guarded([&] {
    Status st;
    Firebird::IXpbBuilder* dpb =
        fb().util->getXpbBuilder(st.get(), Firebird::IXpbBuilder::DPB, nullptr, 0);
    struct Dispose {
      Firebird::IXpbBuilder* b;
      ~Dispose() { b->dispose(); }
    } disposeDpb{dpb};
    const QByteArray user = CodePage::win1251().encode(user_);
    const QByteArray password = CodePage::win1251().encode(password_);
    const QByteArray charset = charset_.toLatin1();
    if (!user.isEmpty()) dpb->insertString(st.get(), isc_dpb_user_name, user.constData());
    if (!password.isEmpty()) dpb->insertString(st.get(), isc_dpb_password, password.constData());
    dpb->insertString(st.get(), isc_dpb_lc_ctype, charset.constData());
    if (create) {
      dpb->insertInt(st.get(), isc_dpb_page_size, pageSize);
      dpb->insertInt(st.get(), isc_dpb_sql_dialect, 3);
      dpb->insertString(st.get(), isc_dpb_set_db_charset, charset.constData());
    }
    if (forcedWrites >= 0) dpb->insertInt(st.get(), isc_dpb_force_write, forcedWrites);
    // File names go to the engine in the local encoding of the machine it runs on.
    const QByteArray name = QFile::encodeName(path_);
    const unsigned len = dpb->getBufferLength(st.get());
    const unsigned char* buf = dpb->getBuffer(st.get());
    attachment_ = create ? fb().provider->createDatabase(st.get(), name.constData(), len, buf)
                         : fb().provider->attachDatabase(st.get(), name.constData(), len, buf);
  });
}

void Database::disconnect() noexcept {
  for (Query* q : std::vector<Query*>(queries_)) q->unprepare();
  for (Transaction* t : std::vector<Transaction*>(transactions_)) t->forget();
  if (attachment_) {
    try {
      Status st;
      attachment_->detach(st.get());
    } catch (const Firebird::FbException&) {
      // The connection is lost anyway; release what the client library holds.
    }
    // detach() releases the interface when it succeeds; on failure release it ourselves.
    attachment_ = nullptr;
  }
}

void Database::executeImmediate(const QString& sql) {
  Transaction* tr = defaultTransaction_;
  if (!tr) throw DbError(QStringLiteral("Нет транзакции по умолчанию для выполнения запроса."));
  const QByteArray text = CodePage::win1251().encode(sql);
  Firebird::ITransaction* h = tr->handle();
  guarded([&] {
    Status st;
    attachment_->execute(st.get(), h, 0, text.constData(), 3, nullptr, nullptr, nullptr, nullptr);
  });
}

// ---------------------------------------------------------------------------------------------

Transaction::Transaction(Database& db) : db_(db) {
  db_.attach(this);
}

Transaction::~Transaction() {
  if (handle_) {
    try {
      rollback();
    } catch (const DbError&) {
      forget();
    }
  }
  db_.detach(this);
}

void Transaction::detach(Query* q) {
  openQueries_.erase(std::remove(openQueries_.begin(), openQueries_.end(), q), openQueries_.end());
}

void Transaction::start() {
  if (handle_) return;
  if (!db_.connected()) throw DbError(QStringLiteral("Нет соединения с базой данных."));
  static const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                                      isc_tpb_rec_version, isc_tpb_nowait};
  guarded([&] {
    Status st;
    handle_ = db_.attachment()->startTransaction(st.get(), sizeof tpb, tpb);
  });
}

Firebird::ITransaction* Transaction::handle() {
  start();
  return handle_;
}

void Transaction::closeQueries() noexcept {
  for (Query* q : std::vector<Query*>(openQueries_)) q->close();
  openQueries_.clear();
}

void Transaction::commit() {
  if (!handle_) return;
  closeQueries();
  guarded([&] {
    Status st;
    handle_->commit(st.get());
    handle_ = nullptr;
  });
}

void Transaction::commitRetaining() {
  if (!handle_) return;
  guarded([&] {
    Status st;
    handle_->commitRetaining(st.get());
  });
}

void Transaction::rollback() {
  if (!handle_) return;
  closeQueries();
  guarded([&] {
    Status st;
    handle_->rollback(st.get());
    handle_ = nullptr;
  });
}

void Transaction::rollbackRetaining() {
  if (!handle_) return;
  guarded([&] {
    Status st;
    handle_->rollbackRetaining(st.get());
  });
}

void Transaction::forget() noexcept {
  closeQueries();
  if (handle_) {
    try {
      Status st;
      handle_->rollback(st.get());
    } catch (const Firebird::FbException&) {
    }
    handle_ = nullptr;
  }
}

TransactionGuard::~TransactionGuard() {
  if (!done_) {
    try {
      tr_.rollback();
    } catch (const DbError&) {
      // Already failing: the connection drops the work when it goes.
    }
  }
}

void TransactionGuard::commit() {
  tr_.commit();
  done_ = true;
}

void TransactionGuard::commitRetaining() {
  tr_.commitRetaining();
  done_ = true;
}

}  // namespace db
