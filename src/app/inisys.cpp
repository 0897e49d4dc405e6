#include "app/inisys.h"

#include "app/bsp.h"
#include "app/datamodule.h"
#include "app/toolcnst.h"
#include "platform/dberror.h"
#include "platform/decimal.h"
#include "platform/messages.h"
#include "platform/query.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kNoData = QStringLiteral("Hет данных");  // with a Latin H, as lookups expect

PlaceholderRow row(const char* table, const char* key, const QString& insert,
                   const QString& update) {
  const QString t = QString::fromLatin1(table);
  return {t, QString::fromLatin1(key), insert, update, QStringLiteral("GEN_") + t};
}

QList<PlaceholderRow> buildPlaceholders() {
  const QString n = kNoData;
  return {
      row("AVFUEL", "FUEL",
          QStringLiteral("insert into AVFUEL (FUEL,TYP,NAME,ZDNKOD) values (0,0,'%1',0)").arg(n),
          QStringLiteral("update AVFUEL set TYP=0,NAME='%1',ZDNKOD=0 where FUEL=0").arg(n)),
      row("AVKIND", "KIND", QStringLiteral("insert into AVKIND (KIND,NAME) values (0,'%1')").arg(n),
          QStringLiteral("update AVKIND set NAME='%1' where KIND=0").arg(n)),
      row("AVMARK", "MARK", QStringLiteral("insert into AVMARK (MARK,NAME) values (0,'%1')").arg(n),
          QStringLiteral("update AVMARK set NAME='%1' where MARK=0").arg(n)),
      row("AVSUBDIV", "SUBDIV",
          QStringLiteral("insert into AVSUBDIV (SUBDIV,DISMISS,LEV1,LEV2,LEV3,LEV4,NAME,FNAME) "
                         "values (0,0,0,0,0,0,'%1','%1')")
              .arg(n),
          QStringLiteral("update AVSUBDIV set DISMISS=0,LEV1=0,LEV2=0,LEV3=0,LEV4=0,NAME='%1',"
                         "FNAME='%1' where SUBDIV=0")
              .arg(n)),
      row("AVCLIENT", "CLIENT",
          QStringLiteral("insert into AVCLIENT (CLIENT,DISMISS,HIN,MINUTIN,HOUT,MOUT,KMIN,KMOUT,"
                         "NAME) values (0,0,0,0,0,0,0,0,'%1')")
              .arg(n),
          QStringLiteral("update AVCLIENT set DISMISS=0,HIN=0,MINUTIN=0,HOUT=0,MOUT=0,KMIN=0,"
                         "KMOUT=0,NAME='%1' where CLIENT=0")
              .arg(n)),
      row("AVROUTE", "ROUTE",
          QStringLiteral("insert into AVROUTE (ROUTE,NAME) values (0,'%1')").arg(n),
          QStringLiteral("update AVROUTE set NAME='%1' where ROUTE=0").arg(n)),
      row("AVCAR", "CAR",
          QStringLiteral("insert into AVCAR (CAR,DISMISS,SUBDIV,CLIENT,FUEL,TRAILER,KIND,MARK,"
                         "STNUMBER,HBREAK,MBREAK,HIN,MINUTIN,HOUT,MOUT) values "
                         "(0,0,0,0,0,0,0,0,'%1',0,0,0,0,0,0)")
              .arg(n),
          QStringLiteral("update AVCAR set DISMISS=0,SUBDIV=0,CLIENT=0,FUEL=0,TRAILER=0,KIND=0,"
                         "MARK=0,STNUMBER='%1',HBREAK=0,MBREAK=0,HIN=0,MINUTIN=0,HOUT=0,MOUT=0 "
                         "where CAR=0")
              .arg(n)),
      row("AVAKB", "AKB",
          QStringLiteral("insert into AVAKB (AKB,CAR,NAME,SDATE,NKM,SKM,NHOUR,SHOUR,DATEST,NMHOUR,"
                         "SMHOUR,SVDATE,DISMISS) values (0,0,'%1','01.01.2000',0,0,0,0,"
                         "'01.01.2000',0,0,'01.01.2000',0)")
              .arg(n),
          QStringLiteral("update AVAKB set NAME='%1' where AKB=0").arg(n)),
      row("AVTIRE", "TIRE",
          QStringLiteral("insert into AVTIRE (TIRE,CAR,NAME,SDATE,NKM,SKM,NHOUR,SHOUR,TYP,DATEST,"
                         "SUMMER,SIZE1,SIZE2,SIZE3,NMHOUR,SMHOUR,DISMISS) values (0,0,'%1',"
                         "'01.01.2000',0,0,0,0,0,'01.01.2000',0,0,0,0,0,0,0)")
              .arg(n),
          QStringLiteral("update AVTIRE set NAME='%1' where TIRE=0").arg(n)),
      row("AVCARGO", "CARGO",
          QStringLiteral("insert into AVCARGO (CARGO,NAME) values (0,'%1')").arg(n),
          QStringLiteral("update AVCARGO set NAME='%1' where CARGO=0").arg(n)),
      row("AVDRIVER", "DRIVER",
          QStringLiteral("insert into AVDRIVER (DRIVER,DISMISS,SUBDIV,INITIALS,FULLINIT) values "
                         "(0,0,0,'%1','%1')")
              .arg(n),
          QStringLiteral("update AVDRIVER set DISMISS=0,SUBDIV=0,INITIALS='%1',FULLINIT='%1' "
                         "where DRIVER=0")
              .arg(n)),
      row("AVKINDWORK", "WORKTYPE",
          QStringLiteral("insert into AVKINDWORK (WORKTYPE,NAME) values (0,'%1')").arg(n),
          QStringLiteral("update AVKINDWORK set NAME='%1' where WORKTYPE=0").arg(n)),
      row("AVROADLIST", "ROADLIST",
          QStringLiteral("insert into AVROADLIST (ROADLIST,SNUMBER,CAR,DRIVER,ACCDATE,DRIVER2,"
                         "CLIENT,FUEL,TRAILER,WORKTYPE,DATEIN,DATEOUT,HIN,MINUTIN,HOUT,MOUT,KMIN,"
                         "KMOUT) values (0,'%1',0,0,'01.01.2000',0,0,0,0,0,'01.01.2000',"
                         "'01.01.2000',0,0,0,0,0,0)")
              .arg(n),
          QStringLiteral("update AVROADLIST set SNUMBER='%1',CAR=0,DRIVER=0,ACCDATE='01.01.2000',"
                         "DRIVER2=0,CLIENT=0,FUEL=0,TRAILER=0,WORKTYPE=0,DATEIN='01.01.2000',"
                         "DATEOUT='01.01.2000',HIN=0,MINUTIN=0,HOUT=0,MOUT=0,KMIN=0,KMOUT=0 "
                         "where ROADLIST=0")
              .arg(n)),
  };
}

// The first column of the first row; 0 for no row or null.
qint64 selectNumber(db::Query& q, const QString& sql) {
  q.close();
  q.setSql(sql);
  q.open();
  const qint64 v = q.isEmpty() ? 0 : q.field(0).asInt();
  q.close();
  return v;
}

// After a placeholder row was inserted into a table: new keys must come after every key in
// use, so the generator goes to 1 only when the table holds no row above 0; otherwise it is
// raised to the largest key when it lags behind (rows brought in from elsewhere), never lowered.
void settleGenerator(db::Query& q, const PlaceholderRow& p) {
  const qint64 largest =
      selectNumber(q, QStringLiteral("select max(%1) from %2").arg(p.keyField, p.table));
  qint64 target = 1;
  if (largest > 0) {
    const qint64 current =
        selectNumber(q, QStringLiteral("select gen_id(%1, 0) from RDB$DATABASE").arg(p.generator));
    if (current >= largest) return;
    target = largest;
  }
  q.setSql(QStringLiteral("SET GENERATOR %1 TO %2").arg(p.generator).arg(target));
  q.exec();
}

}  // namespace

const QList<PlaceholderRow>& placeholderRows() {
  static const QList<PlaceholderRow> rows = buildPlaceholders();
  return rows;
}

const QList<DefaultConstant>& defaultConstants() {
  static const QList<DefaultConstant> constants = {
      {QStringLiteral("AVTAVK"), QStringLiteral("0")},
      {QStringLiteral("AVTTIRE"), QStringLiteral("0")},
      {QStringLiteral("AVTAKB"), QStringLiteral("0")},
      {QStringLiteral("AVTCAR"), QStringLiteral("0")},
      {QStringLiteral("AVTCHIEF"), QString()},
      {QStringLiteral("AVTCLIENT"), QStringLiteral("0")},
      {QStringLiteral("AVTDRIVER"), QStringLiteral("0")},
      {QStringLiteral("AVTRANK"), QString()},
      {QStringLiteral("AVTSUBDIV"), QStringLiteral("0")},
      {QStringLiteral("AVTSUMTIMEFROM"), QStringLiteral("01.01.2000")},
      {QStringLiteral("AVTSUMTIMETO"), QStringLiteral("01.01.2000")},
      {QStringLiteral("NIGHTTIMEFROMH"), QStringLiteral("22")},
      {QStringLiteral("NIGHTTIMEFROMM"), QStringLiteral("0")},
      {QStringLiteral("NIGHTTIMETOH"), QStringLiteral("6")},
      {QStringLiteral("NIGHTTIMETOM"), QStringLiteral("0")},
      {QStringLiteral("AVTWINEXTCHARGE"), QStringLiteral("5")},
      {QStringLiteral("AVTWINTIMEFROM"), QStringLiteral("01.01.2000")},
      {QStringLiteral("AVTWINTIMETO"), QStringLiteral("01.01.2000")},
      {QStringLiteral("MAINCHIEF"), QString()},
      {QStringLiteral("MAINRANK"), QString()},
      {QStringLiteral("AVTDVD"), QString()},
  };
  return constants;
}

void initialiseDatabase(db::Database& db, db::Transaction& tr) {
  db::TransactionGuard guard(tr);
  db::Query q(db, &tr);
  for (const PlaceholderRow& p : placeholderRows()) {
    q.close();
    q.setSql(QStringLiteral("select %1 from %2 where %1=0").arg(p.keyField, p.table));
    q.open();
    const bool present = !q.isEmpty();
    q.close();
    q.setSql(present ? p.updateSql : p.insertSql);
    q.exec();
    if (!present) settleGenerator(q, p);
  }

  db::Query read(db, &tr);
  read.setSql(QStringLiteral("select CNST from SPCONST where IDCONST=:IDCONST"));
  ConstantWriter writer(db, tr);
  for (const DefaultConstant& c : defaultConstants()) {
    read.param(QStringLiteral("IDCONST")).setString(c.id);
    read.open();
    // A value someone has set is kept; only a missing row or an empty value takes the default.
    const bool unset =
        read.isEmpty() || read.field(0).isNull() || read.field(0).asString().trimmed().isEmpty();
    read.close();
    if (unset) writer.write(c.id, c.value);
  }
  writer.write(QStringLiteral("AVTISINIT"), QStringLiteral("1"));
  guard.commit();
}

bool databaseInitialised(db::Database& db, db::Transaction& tr) {
  db::Query q(db, &tr);
  q.setSql(QStringLiteral("select CNST from SPCONST where IDCONST='AVTISINIT'"));
  q.open();
  return !q.isEmpty() && q.field(0).asString().trimmed() == QStringLiteral("1");
}

// ------------------------------------------------------------------------ the initialisation

namespace {
// The two work windows of this file: one line in bold telling what is going on.
void layOutMessageWindow(QDialog* window, QLabel* message, const QString& name,
                         const QString& title) {
  window->setObjectName(name);
  window->setWindowTitle(title);
  QFont f = message->font();
  f.setBold(true);
  message->setFont(f);
  message->setAlignment(Qt::AlignCenter);
  message->setMinimumSize(380, 60);
  auto* layout = new QVBoxLayout(window);
  layout->addWidget(message);
}
}  // namespace

TfmIni::TfmIni(const QString& message, std::function<QString()> work, QWidget* parent)
    : QDialog(parent), lbMessage_(new QLabel(message, this)), work_(std::move(work)) {
  layOutMessageWindow(this, lbMessage_, QStringLiteral("fmIni"),
                      QStringLiteral("Инициализация системы"));
}

QString TfmIni::message() const {
  return lbMessage_->text();
}

void TfmIni::runPendingWork() {
  if (!work_) return;
  const auto work = std::move(work_);
  work_ = nullptr;
  lbMessage_->setText(work());
}

void TfmIni::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  // After the window has painted its waiting line.
  if (work_) QTimer::singleShot(0, this, &TfmIni::runPendingWork);
}

void InitialiseSystem(TDM& dm, TBsp& bsp, QWidget* parent) {
  bool done = bsp.IsInit.trimmed() == QStringLiteral("1");
  try {
    // Another workstation may have initialised the database since this one started.
    done = done || databaseInitialised(dm.DB, dm.IBTransaction);
  } catch (const db::DbError& e) {
    msg::error(e.message());
    return;
  }
  if (done) {
    bsp.IsInit = QStringLiteral("1");
    TfmIni w(initext::kDoneBefore, {}, parent);
    w.exec();
    return;
  }
  if (msg::show(msg::Kind::Confirmation, initext::kQuestion, initext::kQuestionCaption,
                msg::Ok | msg::Cancel, msg::Cancel) != msg::Ok) {
    TfmIni w(initext::kNotDone, {}, parent);
    w.exec();
    return;
  }
  TfmIni w(
      initext::kRunning,
      [&dm, &bsp]() {
        try {
          initialiseDatabase(dm.DB, dm.IBTransaction);
        } catch (const db::DbError& e) {
          msg::show(msg::Kind::Plain, initext::kSaveFailed + QStringLiteral("\n\n") + e.message());
          return initext::kNotDone;
        }
        // Only once the work is committed.
        bsp.IsInit = QStringLiteral("1");
        return initext::kFinished;
      },
      parent);
  w.exec();
}

// ------------------------------------------------------------------ automatic filling of fuel

FuelFillSummary fillFuelRows(db::Database& db, db::Transaction& tr, const QDate& dt1,
                             const QDate& dt2, int mode) {
  FuelFillSummary summary;
  db::TransactionGuard guard(tr);
  db::Query list(db, &tr);
  list.setSql(
      QStringLiteral("select ROADLIST,DATEIN,CAR,DRIVER,FUEL,SNUMBER,KMIN,OSTIN,OSTOUT,FACT,LIT "
                     "from AVROADLIST "
                     "where ROADLIST<>0 and DATEIN>=:DT1 and DATEIN<=:DT2 "
                     "order by CAR,DATEIN,KMIN"));
  list.param(QStringLiteral("DT1")).setDate(dt1);
  list.param(QStringLiteral("DT2")).setDate(dt2);
  db::Query kinds(db, &tr);
  kinds.setSql(QStringLiteral("select TYP from AVGSM where ROADLIST=:PL"));
  db::Query remove(db, &tr);
  remove.setSql(QStringLiteral("delete from AVGSM where ROADLIST=:PL"));
  db::Query newKey(db, &tr);
  newKey.setSql(QStringLiteral("select OUT_ID from GET_AVGSM_ID"));
  db::Query insert(db, &tr);
  insert.setSql(QStringLiteral(
      "insert into AVGSM (GSM,TYP,ROADLIST,ACCDATE,CAR,DRIVER,FUEL,SUBDIV,VDATE,LIT,TYPG) "
      "values (:VGSM,:VTYP,:VROADLIST,:VACCDATE,:VCAR,:VDRIVER,:VFUEL,0,:VVDATE,:VLIT,1)"));

  // The header's total of each kind of row.
  const std::pair<int, QString> sources[] = {{kFuelRemainderOut, QStringLiteral("OSTIN")},
                                             {kFuelFill, QStringLiteral("LIT")},
                                             {kFuelRemainderIn, QStringLiteral("OSTOUT")},
                                             {kFuelConsumption, QStringLiteral("FACT")}};
  for (list.open(); !list.eof(); list.next()) {
    ++summary.waybills;
    const qint64 waybill = list[QStringLiteral("ROADLIST")].asInt();
    QSet<int> present;
    if (mode == kFillRecalculate) {
      remove.param(QStringLiteral("PL")).setInt(waybill);
      remove.exec();
    } else {
      kinds.param(QStringLiteral("PL")).setInt(waybill);
      for (kinds.open(); !kinds.eof(); kinds.next())
        present.insert(static_cast<int>(kinds.field(0).asInt()));
      kinds.close();
      if (present.contains(kFuelConsumption)) continue;
    }
    const QDate departure = list[QStringLiteral("DATEIN")].asDate();
    insert.param(QStringLiteral("VROADLIST")).setInt(waybill);
    insert.param(QStringLiteral("VACCDATE")).setDate(QDate(departure.year(), departure.month(), 1));
    insert.param(QStringLiteral("VCAR")).setValue(list[QStringLiteral("CAR")].asVariant());
    insert.param(QStringLiteral("VDRIVER")).setValue(list[QStringLiteral("DRIVER")].asVariant());
    insert.param(QStringLiteral("VFUEL")).setValue(list[QStringLiteral("FUEL")].asVariant());
    insert.param(QStringLiteral("VVDATE")).setDate(departure);
    int added = 0;
    for (const auto& [kind, column] : sources) {
      if (present.contains(kind)) continue;
      newKey.open();
      const qint64 key = newKey.field(0).asInt();
      newKey.close();
      insert.param(QStringLiteral("VGSM")).setInt(key);
      insert.param(QStringLiteral("VTYP")).setInt(kind);
      // Litres as the header holds them, decimals and all.
      insert.param(QStringLiteral("VLIT")).setDecimal(list[column].asDecimal());
      insert.exec();
      ++added;
    }
    summary.rows += added;
    if (added > 0) ++summary.filled;
  }
  list.close();
  guard.commit();
  return summary;
}

TfrmReg::TfrmReg(int mode, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmReg"));
  setWindowTitle(QStringLiteral("Выбор режима"));
  chMode_ = new QCheckBox(QStringLiteral("x - перерассчитать, _  - добавить"), this);
  chMode_->setChecked(mode == kFillRecalculate);
  btContinue_ = new QPushButton(QStringLiteral("Продолжить"), this);
  btContinue_->setAutoDefault(false);
  connect(btContinue_, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btContinue_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(chMode_);
  layout->addLayout(buttons);
  chMode_->setFocus();
}

int TfrmReg::mode() const {
  return chMode_->isChecked() ? kFillRecalculate : kFillAddMissing;
}

void TfrmReg::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    if (auto* b = qobject_cast<QPushButton*>(focusWidget()))
      b->click();
    else
      focusNextChild();
    return;
  }
  QDialog::keyPressEvent(e);
}

bool ChooseFillMode(TBsp& bsp, QWidget* parent) {
  TfrmReg w(bsp.RegMode, parent);
  if (w.exec() != QDialog::Accepted) return false;
  bsp.RegMode = w.mode();
  return true;
}

TfmIniGsm::TfmIniGsm(QWidget* parent)
    : QDialog(parent), lbMessage_(new QLabel(initext::kCalculating, this)) {
  layOutMessageWindow(this, lbMessage_, QStringLiteral("fmIniGsm"),
                      QStringLiteral("Автоматическое заполнение заправок"));
}

QString TfmIniGsm::message() const {
  return lbMessage_->text();
}

bool FillFuelRows(TDM& dm, TBsp& bsp, QWidget* parent) {
  TfmIniGsm w(parent);
  if (msg::show(msg::Kind::Confirmation, initext::kQuestion, initext::kQuestionCaption,
                msg::Ok | msg::Cancel, msg::Cancel) != msg::Ok)
    return false;
  w.show();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  FuelFillSummary summary;
  try {
    summary = fillFuelRows(dm.DB, dm.IBTransaction, bsp.Dt1, bsp.Dt2, bsp.RegMode);
  } catch (const db::DbError& e) {
    w.hide();
    msg::show(msg::Kind::Plain, initext::kSaveFailed + QStringLiteral("\n\n") + e.message());
    return false;
  }
  w.hide();
  if (summary.waybills > 0)
    msg::show(msg::Kind::Information, initext::kCalculated, initext::kCalculated);
  return true;
}
