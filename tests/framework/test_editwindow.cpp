#include "framework/context.h"
#include "framework/editcontroller.h"
#include "framework/editwindow.h"
#include "platform/inifile.h"
#include "platform/query.h"
#include "support/frameworkfixture.h"
#include "support/messagerecorder.h"
#include "support/modal.h"
#include "support/testdatabase.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::MessageRecorder;
using testsupport::onNextModal;
using testsupport::TestDatabase;

namespace {

TEdRefParams routes() {
  TEdRefParams p;
  p.Rights = 15;
  p.TableName = "AVROUTE";
  p.KeyField = "ROUTE";
  p.NameField = "NAME";
  p.SelectList = "*";
  p.EditorCaption = "Маршрут.";
  p.InsertSql = "insert into AVROUTE (ROUTE, NAME, KM) values (:ROUTE, :NAME, :KM)";
  p.ModifySql = "update AVROUTE set NAME = :NAME, KM = :KM where ROUTE = :OLD_ROUTE";
  p.KeyProcName = "GET_AVROUTE_ID";
  return p;
}

class EditTest : public testsupport::FrameworkFixture {
 protected:
  QString routeName(int key) {
    db::Transaction tr(base_.db());
    db::Query q(base_.db(), &tr);
    q.setSql("select NAME, KM from AVROUTE where ROUTE = :R");
    q.param("R").setInt(key);
    q.open();
    return q.isEmpty() ? QString("none") : q["NAME"].asString() + "/" + q["KM"].asString();
  }
};

TEST_F(EditTest, NewRecordTakesItsKeyAndAnUpdateUsesTheOldKey) {
  EditController c(ctx_);
  c.open(routes(), 0);
  EXPECT_TRUE(c.record().isNew());
  EXPECT_EQ(c.caption(), "Маршрут. Ввод новой записи.");
  EXPECT_EQ(c.save(), EditController::SaveResult::Refused);  // no name
  EXPECT_EQ(messages_.texts(), QStringList({"Необходимо ввести наименование."}));
  EXPECT_EQ(messages_.messages[0].caption, "Внимание");

  ASSERT_TRUE(c.record().setText("NAME", "Гараж - Карьер"));
  ASSERT_TRUE(c.record().setText("KM", "42"));
  EXPECT_EQ(c.save(), EditController::SaveResult::Saved);
  const int key = c.savedKey().toInt();
  EXPECT_GT(key, 0);
  EXPECT_EQ(c.caption(), "Маршрут. Редактирование.");
  base_.tr().commit();
  EXPECT_EQ(routeName(key), "Гараж - Карьер/42");

  // Two saves in one show: the update each time, with the same key.
  for (const char* name : {"Гараж - Карьер 2", "Гараж - Карьер 3"}) {
    ASSERT_TRUE(c.record().setText("NAME", name));
    EXPECT_EQ(c.save(), EditController::SaveResult::Saved);
  }
  base_.tr().commit();
  EXPECT_EQ(routeName(key), "Гараж - Карьер 3/42");
  EXPECT_EQ(c.savedKey().toInt(), key);
  EXPECT_EQ(c.save(), EditController::SaveResult::NothingToSave);
}

TEST_F(EditTest, TypedTextIsCheckedAgainstTheColumn) {
  EditController c(ctx_);
  c.open(routes(), 0);
  struct Case {
    const char* field;
    QString text;
    bool ok;
  };
  const Case cases[] = {{"KM", "12", true},
                        {"KM", "12,5", false},
                        {"KM", "", true},
                        {"KM", "сто", false},
                        {"NAME", QString(100, 'x'), true},
                        {"NAME", QString(101, 'x'), false}};
  for (const Case& k : cases) {
    EXPECT_EQ(c.record().conversionProblem(k.field, k.text).isEmpty(), k.ok)
        << k.field << " " << k.text.size();
    EXPECT_EQ(c.record().setText(k.field, k.text), k.ok);
  }
  EXPECT_TRUE(c.record().value("KM").isNull());  // an empty number is null
}

TEST_F(EditTest, AFailedWriteKeepsTheEditsAndSaysWhy) {
  TEdRefParams p = routes();
  p.InsertSql = "insert into AVROUTE (ROUTE, NAME, KM) values (:ROUTE, :NAME, :KM / 0)";
  EditController c(ctx_);
  c.open(p, 0);
  c.record().setText("NAME", "Никуда");
  c.record().setText("KM", "5");
  EXPECT_EQ(c.save(), EditController::SaveResult::Failed);
  ASSERT_EQ(messages_.messages.size(), 1u);
  EXPECT_TRUE(messages_.messages[0].text.startsWith("Ошибка добавления/корректировки записи.\n\r"));
  EXPECT_TRUE(messages_.messages[0].text.endsWith("."));
  EXPECT_EQ(messages_.messages[0].caption, "Ошибка");
  EXPECT_TRUE(c.record().modified());
  EXPECT_EQ(c.record().text("NAME"), "Никуда");
  EXPECT_FALSE(c.saved());
}

TEST_F(EditTest, TheWindowAsksOnCloseAndStaysOpenWhenTheSaveFails) {
  TfmAbstrEdRef w(ctx_);
  TEdRefParams p = routes();
  // An insert the engine refuses: the name is no number.
  p.InsertSql = "insert into AVROUTE (ROUTE, NAME) values (:ROUTE, cast(:NAME as integer))";
  int result = -1;
  bool stayedOpen = false;
  onNextModal([&](QWidget*) {
    w.activateWindow();
    w.nameEdit()->setText("Маршрут 1");
    emit w.nameEdit()->textEdited("Маршрут 1");
    EXPECT_FALSE(w.exitAction()->isEnabled());  // Esc does nothing while a change is pending
    QTest::keyClick(w.nameEdit(), Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible());
    // Closing: "Сохранить изменения ?" - Yes - the write fails - the window stays with the text.
    messages_.answers = {msg::Yes};
    w.reject();
    stayedOpen = w.isVisible();
    EXPECT_EQ(w.nameEdit()->text(), "Маршрут 1");
    // Closing again and answering No drops the change.
    messages_.answers = {msg::No};
    w.reject();
  });
  result = w.Execute(p, 0);
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(result, QDialog::Rejected);
  const QStringList texts = messages_.texts();
  ASSERT_GE(texts.size(), 3);
  EXPECT_EQ(texts[0], "Сохранить изменения ?");
  EXPECT_TRUE(texts[1].startsWith("Ошибка добавления/корректировки записи."));
  EXPECT_EQ(texts[2], "Сохранить изменения ?");
  EXPECT_EQ(routeName(1), "none");
}

TEST_F(EditTest, SavedWindowReturnsOkAndCancelOfANewRecordCloses) {
  TfmAbstrEdRef w(ctx_);
  onNextModal([&](QWidget*) {
    w.nameEdit()->setText("Маршрут 2");
    emit w.nameEdit()->textEdited("Маршрут 2");
    EXPECT_TRUE(w.Save());
    w.reject();
  });
  EXPECT_EQ(w.Execute(routes(), 0), QDialog::Accepted);
  const int key = w.savedKey().toInt();
  EXPECT_GT(key, 0);

  TfmAbstrEdRef fresh(ctx_);
  onNextModal([&](QWidget*) {
    fresh.nameEdit()->setText("Не нужен");
    emit fresh.nameEdit()->textEdited("Не нужен");
    fresh.Cancel();  // a new record's window closes on Cancel
  });
  EXPECT_EQ(fresh.Execute(routes(), 0), QDialog::Rejected);
  EXPECT_FALSE(fresh.savedKey().isValid());
}

}  // namespace

namespace {

class EditChoiceTest : public testsupport::FrameworkFixture {};

TEST_F(EditChoiceTest, UntouchedChoicesAndSwitchesChangeNothing) {
  TEdRefParams p;
  p.Rights = 15;
  p.TableName = "AVKIND";
  p.KeyField = "KIND";
  p.NameField = "NAME";
  p.EditorCaption = "Тип.";
  p.InsertSql = "insert into AVKIND (KIND, NAME, TPL) values (:KIND, :NAME, :TPL)";
  p.ModifySql = "update AVKIND set NAME = :NAME, TPL = :TPL where KIND = :OLD_KIND";
  p.KeyProcName = "GET_AVKIND_ID";
  TfmAbstrEdRefTypAvt w(ctx_);
  bool pendingAfterOpen = true;
  onNextModal([&](QWidget*) {
    pendingAfterOpen = w.postAction()->isEnabled();
    w.reject();  // no question: nothing was touched
  });
  w.Execute(p, 0);
  EXPECT_FALSE(pendingAfterOpen);
  EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
}

}  // namespace

namespace {

TEST_F(EditChoiceTest, NumbersShownWithTheirDecimalsAreNoChange) {
  db::Query ins(base_.db());
  ins.setSql(
      "insert into AVTONNOKM (TONNOKM, ROADLIST, TONNFL, KM, NRIDES) values (1, 0, 12, 5, 1)");
  ins.exec();
  base_.tr().commit();
  TEdRefParams p;
  p.TableName = "AVTONNOKM";
  p.KeyField = "TONNOKM";
  p.ModifySql = "update AVTONNOKM set TONNFL = :TONNFL where TONNOKM = :OLD_TONNOKM";
  TfmAbstrEdRef w(ctx_);
  FieldSpec tonnes = FieldSpec::of(FieldSpec::Number, "TONNFL", "Перевезено тонн :");
  tonnes.decimals = 2;
  auto* box = qobject_cast<QLineEdit*>(w.addField(tonnes));
  ASSERT_NE(box, nullptr);
  QString shown;
  bool pending = true;
  onNextModal([&](QWidget*) {
    shown = box->text();
    w.Save();  // takes every box: 12,00 is the 12 stored
    pending = w.controller().record().modified();
    w.reject();
    if (w.isVisible()) w.Cancel(), w.reject();  // never leave the test waiting
  });
  w.Execute(p, 1);
  EXPECT_EQ(shown, "12,00");
  EXPECT_FALSE(pending);
  EXPECT_TRUE(messages_.messages.empty()) << messages_.texts().join("|").toStdString();
}

}  // namespace
