#include "framework/querymodel.h"
#include "framework/routines.h"
#include "platform/database.h"
#include "platform/dberror.h"
#include "platform/query.h"
#include "refs/objectimport.h"
#include "refs/objectlist.h"
#include "support/frameworkfixture.h"
#include "support/modal.h"

#include <QFile>
#include <QLineEdit>

#include <gtest/gtest.h>

using testsupport::onNextModal;

namespace {

struct Obj {
  int key;
  int code4;
  QString name;
};

QByteArray header() {
  return QByteArray("SOB\x01\x02\x03\x04", 7);
}

// Blocks of 8 bytes, the last ending in FF FF.
QByteArray directory(int blocks) {
  QByteArray d;
  for (int i = 1; i < blocks; ++i) d += QByteArray(8, '\x11');
  d += QByteArray(6, '\x22') + QByteArray(2, '\xFF');
  return d;
}

QByteArray record(const Obj& o) {
  QByteArray r(58, '\0');
  r[0] = char(o.key >> 8);
  r[1] = char(o.key & 0xFF);
  r[2] = 1;
  r[3] = 2;
  r[4] = 3;
  r[5] = char(o.code4 >> 8);
  r[6] = char(o.code4 & 0xFF);
  r[7] = 5;
  const QByteArray name = TextToOem(o.name);
  r.replace(8, name.size(), name);
  return r;
}

QByteArray records(const QList<Obj>& objects) {
  QByteArray out;
  for (const Obj& o : objects) out += record(o);
  return out;
}

QByteArray endOfRecords() {
  return QByteArray(2, '\xFF') + QByteArray(56, '\0');
}

const QList<Obj> kThree = {{15, 0x1234, "Жилой дом поз. 12"},
                           {300, 7, "Школа на 550 мест"},
                           {701, 0, QString(50, QChar(0x0416))}};  // a name of all 50 bytes

TEST(ObjectFile, ReadsAndChecksTheWholeFile) {
  using objectimport::Problem;
  struct Case {
    const char* what;
    QByteArray bytes;
    Problem problem;
    int count;
  };
  const QByteArray good = header() + directory(3) + records(kThree);
  const Case cases[] = {
      {"records and their end", good + endOfRecords() + "trailing", Problem::None, 3},
      {"records up to the end of the file", good, Problem::None, 3},
      {"a directory without records", header() + directory(1), Problem::None, 0},
      {"an end mark cut short", good + QByteArray(2, '\xFF'), Problem::None, 3},
      {"empty", QByteArray(), Problem::NotObjectFile, 0},
      {"shorter than the header", QByteArray("SOB\x01", 4), Problem::NotObjectFile, 0},
      {"another header", QByteArray("PK\x03\x04\x14\x00\x00", 7) + directory(1) + records(kThree),
       Problem::NotObjectFile, 0},
      {"a directory without its end", header() + QByteArray(8 * 4, '\x11'), Problem::Truncated, 0},
      {"a directory cut inside a block", header() + QByteArray(5, '\x11'), Problem::Truncated, 0},
      {"a record cut short", good.left(good.size() - 20), Problem::Truncated, 0},
  };
  for (const Case& c : cases) {
    const objectimport::Parsed p = objectimport::parse(c.bytes);
    EXPECT_EQ(p.problem, c.problem) << c.what;
    EXPECT_EQ(p.records.size(), c.count) << c.what;
  }

  const objectimport::Parsed p = objectimport::parse(good);
  ASSERT_EQ(p.records.size(), 3);
  EXPECT_EQ(p.records[0].key, 15);
  EXPECT_EQ(p.records[0].code4, 0x1234);              // big-endian
  EXPECT_EQ(p.records[0].name, "Жилой дом поз. 12");  // cut at the first zero byte
  EXPECT_EQ(
      QList<int>({p.records[0].code1, p.records[0].code2, p.records[0].code3, p.records[0].code5}),
      QList<int>({1, 2, 3, 5}));
  EXPECT_EQ(p.records[1].key, 300);
  EXPECT_EQ(p.records[2].name, kThree[2].name);
}

class ObjectImportTest : public testsupport::FrameworkFixture {
 protected:
  ObjectImportTest() {
    db::Query q(base_.db());
    q.setSql("insert into AVOBJ (AVOBJ, NAME) values (:K, :N)");
    for (const auto& [key, name] : {std::pair{0, "Hет данных"}, std::pair{7, "Старый объект"},
                                    std::pair{15, "Котельная"}, std::pair{150, "Гараж"}}) {
      q.param("K").setInt(key);
      q.param("N").setString(QString::fromUtf8(name));
      q.exec();
    }
    base_.tr().commit();
  }

  QString write(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
  }

  // The dictionary as another workstation sees it: only what was committed.
  QStringList committed() {
    auto other = base_.connectAgain();
    db::Transaction tr(*other);
    db::Query q(*other, &tr);
    q.setSql("select AVOBJ, NAME from AVOBJ order by AVOBJ");
    q.open();
    QStringList rows;
    for (; !q.eof(); q.next()) rows << q["AVOBJ"].asString() + " " + q["NAME"].asString();
    return rows;
  }
  qint64 nextKey() {
    db::Transaction tr(base_.db());
    db::Query q(base_.db(), &tr);
    q.setSql("select OUT_ID from GET_AVOBJ_ID");
    q.open();
    return q.field(0).asInt();
  }
};

const QStringList kBefore = {"0 Hет данных", "7 Старый объект", "15 Котельная", "150 Гараж"};

TEST_F(ObjectImportTest, AGoodFileReplacesTheDictionaryAndIsCommitted) {
  const QString path = write("grz.bin", header() + directory(2) + records(kThree) + endOfRecords());
  const objectimport::Result r = objectimport::importFile(base_.db(), trList_, path);
  EXPECT_TRUE(r.imported);
  EXPECT_EQ(r.count, 3);
  EXPECT_TRUE(r.refusal.isEmpty());
  EXPECT_EQ(committed(), QStringList({"0 Hет данных", "15 Жилой дом поз. 12",
                                      "300 Школа на 550 мест", "701 " + kThree[2].name}));
  // Objects added by hand afterwards take keys past the imported ones.
  EXPECT_GT(nextKey(), 701);
}

TEST_F(ObjectImportTest, ABadFileLeavesTheDictionaryAsItWas) {
  struct Case {
    const char* what;
    QByteArray bytes;
    QString refusal;  // empty: the database refuses it
  };
  const QString foreign = "Возможно это не справочник объектов!";
  const QString cut = "Файл справочника объектов неполон. Справочник не изменен.";
  const QByteArray good = header() + directory(2) + records(kThree);
  const Case cases[] = {
      {"empty", QByteArray(), foreign},
      {"foreign", QByteArray("MZ\x90\x00\x03\x00\x00\x00", 8) + good, foreign},
      {"truncated record", good.left(good.size() - 1), cut},
      {"truncated directory", header() + QByteArray(12, '\x11'), cut},
      {"two objects with one key", header() + directory(1) + records({kThree[0], kThree[0]}), {}},
  };
  for (const Case& c : cases) {
    const QString path = write("bad.bin", c.bytes);
    if (c.refusal.isEmpty()) {
      EXPECT_THROW(objectimport::importFile(base_.db(), trList_, path), db::DbError) << c.what;
    } else {
      const objectimport::Result r = objectimport::importFile(base_.db(), trList_, path);
      EXPECT_FALSE(r.imported) << c.what;
      EXPECT_EQ(r.refusal, c.refusal) << c.what;
    }
    EXPECT_EQ(committed(), kBefore) << c.what;
  }
  EXPECT_EQ(objectimport::refusalCaption(), "Загрузка невозможна");
}

TEST_F(ObjectImportTest, TheListLoadsFromTheChosenFileWithTheRightToChangeIt) {
  const QString good = write("grz.bin", header() + directory(1) + records(kThree));
  const QString bad = write("bad.bin", QByteArray("SO"));
  struct Case {
    int rights;
    QString file;
    QStringList messages;
    int rows;  // listed afterwards
  };
  const Case cases[] = {
      {rights::kView, good, {"Нет доступа к выполнению операции."}, 3},
      {rights::kAll, QString(), {}, 3},  // no file chosen
      {rights::kAll, bad, {"Возможно это не справочник объектов!"}, 3},
      {rights::kAll, good, {}, 3},
  };
  for (const Case& c : cases) {
    TfmLsObj w(ctx_);
    bool asked = false;
    w.chooseFile = [&](QWidget*) {
      asked = true;
      return c.file;
    };
    int rows = -1;
    QString first;
    messages_.messages.clear();
    onNextModal([&](QWidget*) {
      w.importAction_->trigger();
      rows = w.grid()->queryModel()->rowCount();
      first = w.currentValue("NAME").toString();
      w.reject();
    });
    w.Execute(0, c.rights, false);
    EXPECT_EQ(messages_.texts(), c.messages) << c.rights << c.file.toStdString();
    EXPECT_EQ(asked, c.rights == rights::kAll);
    EXPECT_EQ(rows, c.rows);
    if (!c.messages.isEmpty() && c.rights == rights::kAll) {
      EXPECT_EQ(messages_.messages[0].caption, "Загрузка невозможна");
      EXPECT_EQ(first, "Старый объект");
    }
  }
  EXPECT_EQ(committed().value(1), "15 Жилой дом поз. 12");
}

TEST_F(ObjectImportTest, TheFilterTakesACodeOrRefusesTheText) {
  struct Case {
    QString typed;
    bool on;
    QList<int> keys;
    QString message;
  };
  const QString notNumber = "Код объекта должен быть целым числом.";
  const Case cases[] = {
      {"15", true, {15}, {}},
      {" 150 ", true, {150}, {}},
      {"16", true, {}, {}},
      {"abc", false, {7, 15, 150}, notNumber},
      {"15 or 1=1", false, {7, 15, 150}, notNumber},
  };
  for (const Case& c : cases) {
    TfmLsObj w(ctx_);
    QList<int> keys;
    bool on = false;
    bool offAgain = true;
    messages_.messages.clear();
    onNextModal([&](QWidget*) {
      onNextModal([&](QWidget* dialog) {
        dialog->findChild<QLineEdit*>()->setText(c.typed);
        static_cast<QDialog*>(dialog)->accept();
      });
      w.filterAction_->trigger();
      on = w.codeFilterOn() && w.filterAction_->isChecked();
      QueryModel* m = w.grid()->queryModel();
      for (int row = 0; row < m->rowCount(); ++row) keys << m->value(row, "AVOBJ").toInt();
      if (on) {
        w.filterAction_->trigger();  // off: the whole list again
        offAgain = !w.codeFilterOn() && w.grid()->queryModel()->rowCount() == 3;
      }
      w.reject();
    });
    w.Execute(0, rights::kAll, false);
    EXPECT_EQ(on, c.on) << c.typed.toStdString();
    EXPECT_EQ(keys, c.keys) << c.typed.toStdString();
    EXPECT_TRUE(offAgain) << c.typed.toStdString();
    EXPECT_EQ(messages_.texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
  }
}

}  // namespace
