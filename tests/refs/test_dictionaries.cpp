#include "framework/editcontroller.h"
#include "framework/listsql.h"
#include "framework/pickers.h"
#include "framework/querymodel.h"
#include "platform/query.h"
#include "refs/dictionaryeditors.h"
#include "refs/dictionarylists.h"
#include "refs/dictionaryspecs.h"
#include "refs/registration.h"
#include "support/frameworkfixture.h"
#include "support/modal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::onNextModal;

namespace {

class DictionaryTest : public testsupport::FrameworkFixture {
 protected:
  DictionaryTest() { registerDictionaries(); }

  void exec(const QString& sql, int key = 0, const QString& name = {}) {
    db::Query q(base_.db());
    q.setSql(sql);
    if (q.findParam("K")) q.param("K").setInt(key);
    if (q.findParam("N")) q.param("N").setString(name);
    q.exec();
    base_.tr().commit();
  }
  QVariant value(const QString& sql) {
    db::Transaction tr(base_.db());
    db::Query q(base_.db(), &tr);
    q.setSql(sql);
    q.open();
    return q.isEmpty() ? QVariant(QStringLiteral("none")) : q.field(0).asVariant();
  }
};

// Types text as key presses (QTest's own typing knows only ASCII).
void type(QWidget* w, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &release);
  }
}

// Runs the editor of a described list on a new record; f fills it in while it is shown.
template <class Editor>
QVariant saveNew(Editor& editor, const ListSpec& book, const std::function<void()>& f) {
  TEdRefParams params = book;
  params.Rights = rights::kAll;
  onNextModal([&](QWidget*) {
    editor.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&editor));
    f();
    if (editor.isVisible()) editor.reject();
    if (editor.isVisible()) editor.Cancel();  // never leave the test waiting
  });
  editor.Execute(params, 0);
  return editor.savedKey();
}

TEST_F(DictionaryTest, EveryListOpensWithItsCaptionAndListsItsRows) {
  struct Case {
    const char* picker;
    const char* caption;
    const char* insert;  // :K key, :N name
    int listed;          // rows with a key above 0 (the fill kinds of the schema among them)
  };
  const Case cases[] = {
      {"PickMark", "Марки автотранспорта.", "insert into AVMARK (MARK, NAME) values (:K, :N)", 1},
      {"PickVehicleType", "Типы автотранспорта.", "insert into AVKIND (KIND, NAME) values (:K, :N)",
       1},
      {"PickWorkKind", "Виды работ.", "insert into AVKINDWORK (WORKTYPE, NAME) values (:K, :N)", 1},
      {"PickSubdivision", "Подразделения.", "insert into AVSUBDIV (SUBDIV, NAME) values (:K, :N)",
       1},
      {"PickClient", "Клиенты-заказчики работ.",
       "insert into AVCLIENT (CLIENT, NAME) values (:K, :N)", 1},
      {"PickFuel", "Виды топлива.", "insert into AVFUEL (FUEL, NAME) values (:K, :N)", 1},
      {"PickCargo", "Виды грузов.", "insert into AVCARGO (CARGO, NAME) values (:K, :N)", 1},
      {"PickRoute", "Маршруты.", "insert into AVROUTE (ROUTE, NAME, KM) values (:K, :N, 7)", 1},
      {"PickTireDefect", "Наименования дефектов.", "insert into AVDEF (DEF, NAME) values (:K, :N)",
       1},
      {"PickTireConclusion", "Заключения.", "insert into AVZK (ZK, NAME) values (:K, :N)", 1},
      {"PickBatteryDefect", "Наименования дефектов.",
       "insert into AVACDEF (ACDEF, NAME) values (:K, :N)", 1},
      {"PickBatteryConclusion", "Заключения.", "insert into AVACZK (ACZK, NAME) values (:K, :N)",
       1},
      {"PickFillKind", "Виды заправок.",
       "insert into AVGSMT (AVGSMT, TYP, NAME) values (:K, 5, :N)", 10},
      {"PickObject", "Обьекты.", "insert into AVOBJ (AVOBJ, NAME) values (:K, :N)", 1},
      {"PickDriver", "Водители.",
       "insert into AVDRIVER (DRIVER, SUBDIV, INITIALS, FULLINIT) values (:K, 55, :N, :N)", 1},
  };
  for (const Case& c : cases) {
    // The placeholder row is never listed; fill kind 0 is a kind of the schema's own.
    if (QString(c.picker) != "PickFillKind") exec(c.insert, 0, "Hет данных");
    exec(c.insert, 55, "Проба");
  }

  for (const Case& c : cases) {
    QString title;
    int rows = -1;
    int key = -1;
    onNextModal([&](QWidget* w) {
      auto* list = static_cast<TfmAbstrLsRef0*>(w);
      title = list->windowTitle();
      rows = list->grid()->queryModel()->rowCount();
      key = list->currentKey();
      list->reject();
    });
    EXPECT_EQ(Pick(c.picker, ctx_, 0, rights::kAll, false), -1) << c.picker;
    EXPECT_EQ(title, QString(c.caption)) << c.picker;
    EXPECT_EQ(rows, c.listed) << c.picker;
    if (c.listed == 1) {
      EXPECT_EQ(key, 55) << c.picker;
    }

    // In select mode Enter hands the row back.
    onNextModal([&](QWidget* w) {
      auto* list = static_cast<TfmAbstrLsRef0*>(w);
      list->grid()->locate(list->spec().KeyField, 55);
      list->ChoiceActionExecute();
      if (list->isVisible()) list->reject();
    });
    EXPECT_EQ(Pick(c.picker, ctx_, 0, rights::kAll, true), 55) << c.picker;
  }
  EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
}

TEST_F(DictionaryTest, ARowStillInUseIsNotRemoved) {
  struct Case {
    const char* picker;
    const char* table;
    const char* key;
    const char* use;  // a row that points to key 55
    const char* message;
  };
  const Case cases[] = {
      {"PickMark", "AVMARK", "MARK", "insert into AVCAR (CAR, MARK, DISMISS) values (1, 55, 1)",
       "Нельзя удалить марку! Есть автомобили этой марки."},
      {"PickVehicleType", "AVKIND", "KIND", "insert into AVCAR (CAR, KIND) values (1, 55)",
       "Нельзя удалить тип транспорта! Есть автомобили этого типа."},
      {"PickFuel", "AVFUEL", "FUEL", "insert into AVCAR (CAR, FUEL) values (1, 55)",
       "Нельзя удалить вид топлива! Есть автомобили, ссылающиеся на него."},
      {"PickFuel", "AVFUEL", "FUEL", "insert into AVROADLIST (ROADLIST, FUEL) values (1, 55)",
       "Нельзя удалить вид топлива! Есть путевые листы, ссылающиеся на него."},
      {"PickFuel", "AVFUEL", "FUEL", "insert into AVGSM (GSM, ROADLIST, FUEL) values (1, 7, 55)",
       "Нельзя удалить вид топлива! Есть путевые листы, ссылающиеся на него."},
      {"PickSubdivision", "AVSUBDIV", "SUBDIV", "insert into AVCAR (CAR, SUBDIV) values (1, 55)",
       "Нельзя удалить подразделение! В нем числятся автомобили."},
      {"PickSubdivision", "AVSUBDIV", "SUBDIV",
       "insert into AVDRIVER (DRIVER, SUBDIV, INITIALS) values (1, 55, 'Петров')",
       "Нельзя удалить подразделение! В нем числятся водители."},
  };
  const auto remove = [&](const char* picker) {
    onNextModal([](QWidget* w) {
      auto* list = static_cast<TfmLsRefInUse*>(w);
      list->delAction_->trigger();
      list->reject();
    });
    Pick(picker, ctx_, 55, rights::kAll, false);
  };
  for (const Case& c : cases) {
    exec(QStringLiteral("insert into %1 (%2, NAME) values (55, :N)").arg(c.table, c.key), 0,
         "Проба");
    exec(c.use);
    messages_.messages.clear();
    remove(c.picker);
    // Refused before the question, with the reason.
    EXPECT_EQ(messages_.texts(), QStringList{c.message}) << c.use;
    EXPECT_EQ(messages_.messages.front().kind, msg::Kind::Warning);
    const QString still =
        QStringLiteral("select count(*) from %1 where %2 = 55").arg(c.table, c.key);
    EXPECT_EQ(value(still).toInt(), 1) << c.use;
    if (QString(c.table) == "AVSUBDIV") {
      EXPECT_EQ(value("select DISMISS from AVSUBDIV where SUBDIV = 55").toInt(), 0);
    }

    // Once nothing points to it, Delete asks and removes.
    for (const char* t : {"AVCAR", "AVNORMFUEL", "AVPRICE", "AVROADLIST", "AVGSM", "AVDRIVER"})
      exec(QStringLiteral("delete from %1").arg(t));
    messages_.messages.clear();
    messages_.answers = {msg::Yes};
    remove(c.picker);
    EXPECT_EQ(messages_.texts(), QStringList{"Действительно удалить запись ?"});
    EXPECT_EQ(
        value(still + " and " + (QString(c.table) == "AVSUBDIV" ? "DISMISS = 0" : "1 = 1")).toInt(),
        0)
        << c.use;
    exec(QStringLiteral("delete from %1").arg(c.table));
  }
}

TEST_F(DictionaryTest, RemovingASubdivisionOrAClientOnlyDismissesIt) {
  struct Case {
    const char* picker;
    const char* table;
    const char* key;
  };
  for (const Case& c :
       {Case{"PickSubdivision", "AVSUBDIV", "SUBDIV"}, Case{"PickClient", "AVCLIENT", "CLIENT"}}) {
    for (int k : {1, 2})
      exec(QStringLiteral("insert into %1 (%2, NAME) values (:K, :N)").arg(c.table, c.key), k,
           QStringLiteral("Запись %1").arg(k));
    int rowsAfter = -1;
    onNextModal([&](QWidget* w) {
      auto* list = static_cast<TfmAbstrLsRef0*>(w);
      messages_.answers = {msg::Yes};
      list->delAction_->trigger();
      rowsAfter = list->grid()->queryModel()->rowCount();
      list->reject();
    });
    Pick(c.picker, ctx_, 1, rights::kAll, false);
    EXPECT_EQ(rowsAfter, 1) << c.table;
    EXPECT_EQ(
        value(QStringLiteral("select DISMISS from %1 where %2 = 1").arg(c.table, c.key)).toInt(), 1)
        << c.table;
  }
}

TEST_F(DictionaryTest, ClientEditorStoresZerosAndTheInternalSwitch) {
  struct Case {
    QString name;
    bool internal;
    QString hin;  // typed; the other time and kilometre boxes are left empty
  };
  const Case cases[] = {{"ООО «Заказчик»", false, "1"}, {"Цех №3", true, ""}};
  for (const Case& c : cases) {
    TfmEdAclient editor(ctx_);
    const QVariant key = saveNew(editor, dictionaries::clients(), [&] {
      editor.nameEdit()->setFocus();
      type(editor.nameEdit(), c.name);
      auto* hin = static_cast<QLineEdit*>(editor.fieldWidget("HIN"));
      hin->setFocus();
      type(hin, c.hin);
      if (c.internal) editor.internalBox()->click();
      auto* address = static_cast<QLineEdit*>(editor.fieldWidget("ADDRESS"));
      address->setFocus();
      type(address, "ул. Лесная, 1");
      QTest::keyClick(address, Qt::Key_S, Qt::ControlModifier);  // saved from inside the box
    });
    ASSERT_TRUE(key.isValid()) << messages_.texts().join("|").toStdString();
    const QString row =
        QStringLiteral(
            "select trim(NAME) || '/' || HIN || MINUTIN || HOUT || MOUT || KMIN || "
            "KMOUT || '/' || INTERN || '/' || ADDRESS from AVCLIENT where CLIENT=") +
        key.toString();
    EXPECT_EQ(value(row).toString(), c.name + "/" + (c.hin.isEmpty() ? "0" : c.hin) + "00000/" +
                                         (c.internal ? "1" : "0") + "/ул. Лесная, 1");
  }

  // The list shows the current client's zero time and kilometres.
  exec("update AVCLIENT set HIN = 1, MINUTIN = 15, KMIN = 3, KMOUT = 4 where INTERN = 1");
  onNextModal([&](QWidget* w) {
    auto* list = static_cast<TfmLsAclient*>(w);
    list->grid()->locate("INTERN", 1);
    EXPECT_EQ(list->zeroTimeText(), "Нулевое время у клиента: выезд 1 ч 15 мин, возврат 0 ч 0 мин");
    EXPECT_EQ(list->zeroKmText(), "Нулевой килом.: выезд 3 км, возврат 4 км");
    EXPECT_TRUE(list->internalBox()->isChecked());
    list->reject();
  });
  Pick("PickClient", ctx_, 0, rights::kAll, false);
}

TEST_F(DictionaryTest, FuelTypeIsWrittenOnlyWhenChosen) {
  struct Case {
    const char* name;
    int downPresses;  // in the type box, from no choice: 1 is the empty entry, 4 "Дизтопливо"
    QVariant typ;
  };
  const Case cases[] = {{"АИ-92", 0, QVariant()}, {"ДТ", 4, 3}, {"Смесь", 1, 0}};
  for (const Case& c : cases) {
    TfmEdAfuel editor(ctx_);
    const QVariant key = saveNew(editor, dictionaries::fuels(), [&] {
      type(editor.nameEdit(), c.name);
      for (int i = 0; i < c.downPresses; ++i) QTest::keyClick(editor.typeBox(), Qt::Key_Down);
      auto* code = static_cast<QLineEdit*>(editor.fieldWidget("ZDNKOD"));
      code->setFocus();
      type(code, "7");
      QTest::keyClick(code, Qt::Key_S, Qt::ControlModifier);
    });
    ASSERT_TRUE(key.isValid()) << c.name;
    const QVariant typ = value("select TYP from AVFUEL where FUEL=" + key.toString());
    EXPECT_EQ(typ.isValid() ? QVariant(typ.toInt()) : QVariant(), c.typ) << c.name;
    EXPECT_EQ(value("select ZDNKOD from AVFUEL where FUEL=" + key.toString()).toInt(), 7);
  }

  // A stored fuel without a type is shown without one and left alone when nothing is typed.
  exec("insert into AVFUEL (FUEL, NAME) values (:K, :N)", 77, "Керосин");
  TfmEdAfuel editor(ctx_);
  TEdRefParams params = dictionaries::fuels();
  params.Rights = rights::kAll;
  onNextModal([&](QWidget*) {
    EXPECT_EQ(editor.typeBox()->currentIndex(), -1);
    EXPECT_EQ(editor.windowTitle(), "Виды топлива. Редактирование.");
    editor.reject();
  });
  editor.Execute(params, 77);
  EXPECT_FALSE(editor.isVisible());
  EXPECT_FALSE(value("select TYP from AVFUEL where FUEL=77").isValid());
  EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
}

TEST_F(DictionaryTest, RouteAndSubdivisionEditorsWriteTheirColumns) {
  TfmEdAroute route(ctx_);
  const QVariant r = saveNew(route, dictionaries::routes(), [&] {
    type(route.nameEdit(), "Гараж - карьер");
    for (const auto& [field, text] : {std::pair{"KM", "24"}, std::pair{"POINT2", "Развилка"}}) {
      auto* box = static_cast<QLineEdit*>(route.fieldWidget(field));
      box->setFocus();
      type(box, text);
    }
    QTest::keyClick(route.fieldWidget("POINT2"), Qt::Key_S, Qt::ControlModifier);
  });
  ASSERT_TRUE(r.isValid());
  EXPECT_EQ(
      value("select NAME || '/' || KM || '/' || POINT2 from AVROUTE where ROUTE=" + r.toString())
          .toString(),
      "Гараж - карьер/24/Развилка");

  const ListSpec book = dictionaries::subdivisions();
  auto made = book.editor(ctx_, nullptr);
  auto& subdiv = dynamic_cast<TfmAbstrEdRef&>(*made);
  EXPECT_EQ(subdiv.objectName(), "fmEdAsubd");
  const QVariant s = saveNew(subdiv, book, [&] {
    type(subdiv.nameEdit(), "РММ");
    auto* full = static_cast<QLineEdit*>(subdiv.fieldWidget("FNAME"));
    full->setFocus();
    type(full, "Ремонтная мастерская");
    QTest::keyClick(full, Qt::Key_S, Qt::ControlModifier);
  });
  ASSERT_TRUE(s.isValid());
  EXPECT_EQ(value("select trim(NAME) || '/' || trim(FNAME) || '/' || DISMISS from AVSUBDIV "
                  "where SUBDIV=" +
                  s.toString())
                .toString(),
            "РММ/Ремонтная мастерская/0");
}

TEST_F(DictionaryTest, EveryDescribedStatementRunsAgainstTheSchema) {
  exec("insert into AVSUBDIV (SUBDIV, NAME) values (0, 'Hет данных')");
  const ListSpec books[] = {dictionaries::marks(),          dictionaries::vehicleTypes(),
                            dictionaries::workKinds(),      dictionaries::subdivisions(),
                            dictionaries::clients(),        dictionaries::fuels(),
                            dictionaries::cargo(),          dictionaries::routes(),
                            dictionaries::tireDefects(),    dictionaries::tireConclusions(),
                            dictionaries::batteryDefects(), dictionaries::batteryConclusions(),
                            dictionaries::fillKinds(),      dictionaries::objects(),
                            dictionaries::drivers()};
  for (const ListSpec& book : books) {
    TEdRefParams params = book;
    params.Rights = rights::kAll;
    EditController c(ctx_);
    c.open(params, 0);
    ASSERT_TRUE(c.record().setText(book.NameField, "Проба")) << book.TableName.toStdString();
    // What the driver's editor makes of no subdivision (its own test shows it).
    if (book.TableName == "AVDRIVER") c.record().setValue("SUBDIV", 0);
    ASSERT_EQ(c.save(), EditController::SaveResult::Saved)
        << book.TableName.toStdString() << messages_.texts().join("|").toStdString();
    const int key = c.savedKey().toInt();
    ASSERT_TRUE(c.record().setText(book.NameField, "Проба 2"));
    ASSERT_EQ(c.save(), EditController::SaveResult::Saved) << book.TableName.toStdString();
    base_.tr().commit();
    const QString read = QStringLiteral("select trim(%1) from %2 where %3 = %4")
                             .arg(book.NameField, book.TableName, book.KeyField)
                             .arg(key);
    EXPECT_EQ(value(read).toString(), "Проба 2") << book.TableName.toStdString();
    // Listed, then removed (or dismissed) by the list's own statement.
    const QStringList lines = listsql::withCondition(
        book.listSql.isEmpty() ? listsql::build(book.SelectList, book.TableName, book.WherePrefix,
                                                book.KeyField, book.NameField)
                               : book.listSql,
        QStringLiteral(" and %1 = %2").arg(book.KeyField).arg(key));
    const auto listed = [&] {
      db::Transaction tr(base_.db());
      db::Query q(base_.db(), &tr);
      q.sql() = lines;
      q.open();
      return q.recordCount();
    };
    EXPECT_EQ(listed(), 1) << book.TableName.toStdString();
    db::Query del(base_.db());
    del.setSql(book.DeleteSql);
    del.param(book.KeyField).setInt(key);
    del.exec();
    base_.tr().commit();
    EXPECT_EQ(listed(), 0) << book.TableName.toStdString();
  }
  EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
}

}  // namespace
