#include "app/commands.h"
#include "app/user.h"
#include "framework/fieldbinding.h"
#include "framework/pickers.h"
#include "framework/querymodel.h"
#include "platform/query.h"
#include "refs/dictionaryspecs.h"
#include "refs/drivers.h"
#include "refs/registration.h"
#include "support/frameworkfixture.h"
#include "support/modal.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::onNextModal;

namespace {

class DriverTest : public testsupport::FrameworkFixture {
 protected:
  DriverTest() {
    registerDictionaries();
    exec("insert into AVSUBDIV (SUBDIV, NAME) values (0, 'Hет данных')");
    exec("insert into AVSUBDIV (SUBDIV, NAME) values (1, 'Автоколонна №1')");
    exec("insert into AVSUBDIV (SUBDIV, NAME) values (2, 'Автоколонна №2')");
  }
  void exec(const QString& sql) {
    db::Query q(base_.db());
    q.setSql(sql);
    q.exec();
    base_.tr().commit();
  }
  QString row(const QString& sql) {
    db::Transaction tr(base_.db());
    db::Query q(base_.db(), &tr);
    q.setSql(sql);
    q.open();
    if (q.isEmpty()) return "none";
    QStringList values;
    for (int i = 0; i < q.fieldCount(); ++i) values << q.field(i).asString();
    return values.join('/');
  }
};

// Types text as key presses (QTest's own typing knows only ASCII).
void type(QWidget* w, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
  }
}

TEST_F(DriverTest, EveryTypedFieldIsSavedWhereverTheSaveKeyIsPressed) {
  // Each field in turn is the one still being typed into when Ctrl+S is pressed: it has not
  // been left, so nothing but the save takes its text into the record.
  const char* lastBoxes[] = {"INITIALS", "FULLINIT", "SUBDIV", "SERTIFICATE", "TN", "CLASS"};
  int n = 0;
  for (const char* last : lastBoxes) {
    ++n;
    TfmEdAdriver editor(ctx_);
    TEdRefParams params = dictionaries::drivers();
    params.Rights = rights::kAll;
    const QString initials = QStringLiteral("Петров %1.И.").arg(QChar(0x0410 + n));
    const QString full = QStringLiteral("Петров Иван Ильич %1").arg(n);
    const QString licence = QStringLiteral("5610%1").arg(n, 6, 10, QLatin1Char('0'));
    onNextModal([&](QWidget*) {
      editor.activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
      const auto box = [&](const char* field) -> QWidget* {
        return QString(field) == "INITIALS" ? editor.nameEdit() : editor.fieldWidget(field);
      };
      const std::pair<const char*, QString> typed[] = {{"INITIALS", initials},
                                                       {"FULLINIT", full},
                                                       {"SUBDIV", {}},
                                                       {"SERTIFICATE", licence},
                                                       {"TN", QString::number(1000 + n)},
                                                       {"CLASS", "2"}};
      for (const auto& [field, text] : typed) {
        if (QString(field) == last) continue;  // typed last
        box(field)->setFocus();
        if (QString(field) == "SUBDIV") {
          // The first subdivision after "Hет данных", chosen with the keyboard.
          QTest::keyClick(static_cast<LookupBox*>(box(field))->combo(), Qt::Key_Down);
        } else {
          type(box(field), text);
        }
      }
      QWidget* w = box(last);
      w->setFocus();
      if (QString(last) == "SUBDIV") {
        QTest::keyClick(static_cast<LookupBox*>(w)->combo(), Qt::Key_Down);
        w = static_cast<LookupBox*>(w)->combo();
      } else {
        for (const auto& [field, text] : typed)
          if (QString(field) == last) type(w, text);
      }
      QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier);
      EXPECT_EQ(editor.windowTitle(), "Водители. Редактирование.") << last;
      editor.reject();
      if (editor.isVisible()) editor.Cancel();
    });
    editor.Execute(params, 0);
    const QVariant key = editor.savedKey();
    ASSERT_TRUE(key.isValid()) << last;
    EXPECT_EQ(
        row("select INITIALS, FULLINIT, SUBDIV, SERTIFICATE, TN, CLASS, DISMISS from "
            "AVDRIVER where DRIVER=" +
            key.toString()),
        QStringList({initials, full, "1", licence, QString::number(1000 + n), "2", "0"}).join('/'))
        << last;
  }
  EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
}

TEST_F(DriverTest, ADriverSavedWithoutASubdivisionGetsZero) {
  TfmEdAdriver editor(ctx_);
  TEdRefParams params = dictionaries::drivers();
  params.Rights = rights::kAll;
  onNextModal([&](QWidget*) {
    type(editor.nameEdit(), "Сидоров А.А.");
    EXPECT_TRUE(editor.Save());
    editor.reject();
  });
  editor.Execute(params, 0);
  ASSERT_TRUE(editor.savedKey().isValid());
  EXPECT_EQ(row("select SUBDIV from AVDRIVER where DRIVER=" + editor.savedKey().toString()), "0");
}

TEST_F(DriverTest, DismissingADriverHidesHimAndKeepsHisWaybills) {
  exec(
      "insert into AVDRIVER (DRIVER, SUBDIV, INITIALS, FULLINIT) values (1, 1, 'Авдеев П.П.', "
      "'Авдеев Петр Петрович')");
  exec(
      "insert into AVDRIVER (DRIVER, SUBDIV, INITIALS, FULLINIT) values (2, 2, 'Борисов С.С.', "
      "'Борисов Семен Семенович')");
  exec("insert into AVROADLIST (ROADLIST, DRIVER) values (10, 1)");
  QStringList shown;
  onNextModal([&](QWidget* w) {
    auto* list = static_cast<TfmLsAdriver*>(w);
    messages_.answers = {msg::Yes};
    list->delAction_->trigger();
    QueryModel* m = list->grid()->queryModel();
    for (int r = 0; r < m->rowCount(); ++r) shown << m->value(r, "INITIALS").toString().trimmed();
    list->reject();
  });
  Pick("PickDriver", ctx_, 1, rights::kAll, false);
  EXPECT_EQ(shown, QStringList{"Борисов С.С."});
  EXPECT_EQ(row("select DISMISS from AVDRIVER where DRIVER=1"), "1");
  EXPECT_EQ(row("select DRIVER from AVROADLIST where ROADLIST=10"), "1");

  // A dismissed driver cannot be chosen any more.
  onNextModal([&](QWidget* w) {
    auto* list = static_cast<TfmLsAdriver*>(w);
    list->ChoiceActionExecute();
    if (list->isVisible()) list->reject();
  });
  EXPECT_EQ(Pick("PickDriver", ctx_, 1, rights::kAll, true), 2);
}

TEST_F(DriverTest, TheListShowsTheDriversVehicles) {
  exec("insert into AVMARK (MARK, NAME) values (1, 'КАМАЗ-65115')");
  exec("insert into AVMARK (MARK, NAME) values (2, 'ГАЗ-3309')");
  exec("insert into AVCAR (CAR, MARK, STNUMBER) values (1, 1, 'А123ВС56')");
  exec("insert into AVCAR (CAR, MARK, STNUMBER) values (2, 2, 'К456МН56')");
  struct Case {
    int driver;
    const char* attachments;  // statements
    QString first;
    QString other;
  };
  const Case cases[] = {
      {1, "insert into AVFASTENING (FASTEN, DRIVER, CAR, FIRSTDR) values (1, 1, 1, 1)",
       "А123ВС56 КАМАЗ-65115", ""},
      {2, "insert into AVFASTENING (FASTEN, DRIVER, CAR, FIRSTDR) values (2, 2, 2, 0)", "",
       "К456МН56 ГАЗ-3309"},
      {3, "", "", ""},
  };
  for (const Case& c : cases) {
    exec(QStringLiteral("insert into AVDRIVER (DRIVER, SUBDIV, INITIALS, FULLINIT) values (%1, "
                        "1, 'Водитель %1', 'Водитель номер %1')")
             .arg(c.driver));
    if (*c.attachments) exec(c.attachments);
  }
  for (const Case& c : cases) {
    db::Transaction tr(base_.db());
    EXPECT_EQ(driverVehicle(base_.db(), tr, c.driver, true), c.first) << c.driver;
    EXPECT_EQ(driverVehicle(base_.db(), tr, c.driver, false), c.other) << c.driver;

    QStringList panel;
    onNextModal([&](QWidget* w) {
      auto* list = static_cast<TfmLsAdriver*>(w);
      panel << list->fullNameLabel()->text() << list->subdivisionLabel()->text()
            << list->firstVehicleLabel()->text() << list->otherVehicleLabel()->text();
      list->reject();
    });
    Pick("PickDriver", ctx_, c.driver, rights::kView, false);
    EXPECT_EQ(panel, QStringList({QStringLiteral("Водитель номер %1").arg(c.driver),
                                  "Автоколонна №1", c.first, c.other}));
  }
}

TEST_F(DriverTest, ARestrictedUserSeesTheDriversOfHisSubdivisions) {
  exec("insert into AVDRIVER (DRIVER, SUBDIV, INITIALS) values (1, 1, 'Авдеев П.П.')");
  exec("insert into AVDRIVER (DRIVER, SUBDIV, INITIALS) values (2, 2, 'Борисов С.С.')");
  exec("insert into AVDRIVER (DRIVER, SUBDIV, INITIALS) values (3, 0, 'Власов И.И.')");
  exec("insert into RIGHTS (USR, SUBDIV) values (5, 1)");
  struct Case {
    TUser user;
    QList<int> shown;
  };
  const Case cases[] = {
      {{1, "Администратор", "ADMIN", 0}, {1, 2, 3}},
      {{5, "Диспетчер колонны 1", "DISP", 1}, {1, 3}},  // and the driver of no subdivision
      {{6, "Без прав", "NONE", 1}, {3}},
  };
  for (const Case& c : cases) {
    TfmLsAdriver list(ctx_, &c.user);
    QList<int> shown;
    onNextModal([&](QWidget*) {
      QueryModel* m = list.grid()->queryModel();
      for (int r = 0; r < m->rowCount(); ++r) shown << m->value(r, "DRIVER").toInt();
      list.reject();
    });
    list.Execute(0, rights::kView, false);
    EXPECT_EQ(shown, c.shown) << c.user.usr;
  }
  // Opened through its picker (from the menu or an editor's button), the list narrows for the
  // user the context carries.
  registerDictionaries();
  ctx_.userKey = 6;
  ctx_.userKind = 1;
  QList<int> picked;
  onNextModal([&](QWidget* w) {
    auto* list = static_cast<TfmLsAdriver*>(w);
    QueryModel* m = list->grid()->queryModel();
    for (int r = 0; r < m->rowCount(); ++r) picked << m->value(r, "DRIVER").toInt();
    list->reject();
  });
  Pick("PickDriver", ctx_, 0, rights::kView, true);
  EXPECT_EQ(picked, QList<int>({3}));
  EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
}

}  // namespace
