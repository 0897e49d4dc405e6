#include "framework/context.h"
#include "framework/editwindow.h"
#include "framework/listwindow.h"
#include "framework/querymodel.h"
#include "platform/inifile.h"
#include "platform/query.h"
#include "support/frameworkfixture.h"
#include "support/messagerecorder.h"
#include "support/modal.h"
#include "support/testdatabase.h"

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::MessageRecorder;
using testsupport::onNextModal;
using testsupport::TestDatabase;

namespace {

ListSpec marks() {
  ListSpec s;
  s.windowName = "fmLsAvm";
  s.caption = "Марки транспорта";
  s.TableName = "AVMARK";
  s.KeyField = "MARK";
  s.EditorCaption = "Марка.";
  s.InsertSql = "insert into AVMARK (MARK, NAME) values (:MARK, :NAME)";
  s.ModifySql = "update AVMARK set NAME = :NAME where MARK = :OLD_MARK";
  s.KeyProcName = "GET_AVMARK_ID";
  return s;
}

class ListWindowTest : public testsupport::FrameworkFixture {
 protected:
  void addMarks(const QStringList& names) {
    db::Query q(base_.db());
    q.setSql("insert into AVMARK (MARK, NAME) values (:MARK, :NAME)");
    for (int i = 0; i < names.size(); ++i) {
      q.param("MARK").setInt(i + 1);
      q.param("NAME").setString(names[i]);
      q.exec();
    }
    // New keys come after these, as after the initialisation of a real database.
    db::Query gen(base_.db());
    gen.setSql(QStringLiteral("set generator GEN_AVMARK to %1").arg(names.size()));
    gen.exec();
    base_.tr().commit();
  }
  QString currentName(TfmAbstrLsRef& w) { return w.currentValue("NAME").toString(); }
};

// Types text as key presses (QTest's own typing knows only ASCII).
void type(QWidget* w, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
  }
}

// Runs the window modally and calls f while it is shown; returns what Execute returned.
int runList(TfmAbstrLsRef& w, int key, int rights, bool selectMode, std::function<void()> f) {
  onNextModal([&](QWidget*) {
    // Shortcuts reach only the active window.
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    f();
    if (w.isVisible()) w.reject();
  });
  return w.Execute(key, rights, selectMode);
}

TEST_F(ListWindowTest, OpensOnTheKeyOrTheFirstRowAndShowsTheStatus) {
  addMarks({"ГАЗ", "ЗИЛ", "КАМАЗ"});
  struct Case {
    int key;
    QString expect;
  };
  for (const Case& c : {Case{0, "ГАЗ"}, Case{3, "КАМАЗ"}, Case{99, "ГАЗ"}}) {
    TfmAbstrLsRef w(ctx_, marks());
    runList(w, c.key, 15, false, [&] {
      EXPECT_EQ(currentName(w), c.expect) << c.key;
      EXPECT_TRUE(w.statusText().startsWith("Код= ")) << c.key;
    });
  }
  EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(ListWindowTest, EmptyListAndRights) {
  TfmAbstrLsRef w(ctx_, marks());
  runList(w, 0, rights::kAdd | rights::kView, false, [&] {
    EXPECT_EQ(w.statusText(), "Нет записей");
    EXPECT_TRUE(w.addAction_->isEnabled());
    EXPECT_FALSE(w.editAction_->isEnabled());
    EXPECT_FALSE(w.delAction_->isEnabled());
  });

  addMarks({"ГАЗ"});
  TfmAbstrLsRef view(ctx_, marks());
  runList(view, 0, rights::kView, false, [&] {
    EXPECT_FALSE(view.addAction_->isEnabled());
    QTest::keyClick(view.grid(), Qt::Key_Return);  // browse mode: Choose means Edit
    view.DelActionExecute();
  });
  EXPECT_EQ(messages_.texts(), QStringList({"Нет доступа к выполнению операции.",
                                            "Нет доступа к выполнению операции."}));
  EXPECT_EQ(messages_.messages[0].caption, "Внимание");

  TfmAbstrLsRef pick(ctx_, marks());
  onNextModal([&](QWidget*) { QTest::keyClick(pick.grid(), Qt::Key_Return); });
  EXPECT_EQ(pick.Execute(0, rights::kView, true), QDialog::Accepted);
  EXPECT_EQ(pick.currentKey(), 1);
}

TEST_F(ListWindowTest, QuickSearchAsYouType) {
  addMarks({"Бобр", "Ивеко", "Ивушка", "Камаз", "Яуза"});
  TfmAbstrLsRef w(ctx_, marks());
  runList(w, 0, 15, false, [&] {
    type(w.grid(), "ив");
    EXPECT_EQ(currentName(w), "Ивеко");
    EXPECT_EQ(w.quickSearchText(), "ив");
    type(w.grid(), "у");
    EXPECT_EQ(currentName(w), "Ивушка");
    type(w.grid(), "ё");  // not taken
    EXPECT_EQ(w.quickSearchText(), "иву");
    for (int i = 0; i < 3; ++i) QTest::keyClick(w.grid(), Qt::Key_Backspace);
    EXPECT_EQ(currentName(w), "Бобр");
    type(w.grid(), "я");
    EXPECT_EQ(currentName(w), "Яуза");
    type(w.grid(), "яяя");  // nothing at or after: the last row
    EXPECT_EQ(currentName(w), "Яуза");
  });
}

TEST_F(ListWindowTest, FindAndFilterTakeTypedTextLiterally) {
  addMarks({"O'Brien", "Sale 50%", "Sale 500", "Газель", "Drop table AVMARK"});
  TfmAbstrLsRef w(ctx_, marks());
  auto find = [&](const QString& text) {
    onNextModal([text](QWidget* dialog) {
      dialog->findChild<QLineEdit*>()->setText(text);
      static_cast<QDialog*>(dialog)->accept();
    });
    w.FindActionExecute();
  };
  runList(w, 0, 15, false, [&] {
    find("o'b");
    EXPECT_EQ(currentName(w), "O'Brien");
    EXPECT_FALSE(w.findNextAction_->isEnabled());
    find("0%");
    EXPECT_EQ(currentName(w), "Sale 50%");  // % is a character here, not a wildcard
    EXPECT_FALSE(w.findNextAction_->isEnabled());
    find("sale");
    EXPECT_EQ(currentName(w), "Sale 50%");
    EXPECT_TRUE(w.findNextAction_->isEnabled());
    QTest::keyClick(w.grid(), Qt::Key_F3);
    EXPECT_EQ(currentName(w), "Sale 500");
    EXPECT_FALSE(w.findNextAction_->isEnabled());
    find("'; delete from AVMARK; --");
    EXPECT_EQ(messages_.texts().value(0),
              "Не найдена ни одна запись, удовлетворяющая заданным условиям.");

    onNextModal([](QWidget* dialog) {
      dialog->findChild<QLineEdit*>()->setText("ГАЗ");
      static_cast<QDialog*>(dialog)->accept();
    });
    w.FilterActionExecute();
    EXPECT_TRUE(w.filterOn());
    EXPECT_EQ(w.grid()->queryModel()->rowCount(), 1);
    EXPECT_EQ(currentName(w), "Газель");
    w.FilterActionExecute();  // off: the whole list, still on the same row
    EXPECT_FALSE(w.filterOn());
    EXPECT_EQ(currentName(w), "Газель");
    EXPECT_EQ(w.grid()->queryModel()->rowCount(), 5);

    onNextModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    w.FilterActionExecute();  // cancelled: the button stays pressed, the whole list shown
    EXPECT_TRUE(w.filterAction_->isChecked());
    EXPECT_EQ(w.grid()->queryModel()->rowCount(), 5);
  });
  db::Query count(base_.db());
  count.setSql("select count(*) from AVMARK");
  count.open();
  EXPECT_EQ(count.field(0).asInt(), 5);
}

TEST_F(ListWindowTest, DeleteStandsOnTheNextRowOrTheOneBefore) {
  addMarks({"А", "Б", "В"});
  TfmAbstrLsRef w(ctx_, marks());
  runList(w, 2, 15, false, [&] {
    messages_.answers = {msg::Yes};
    w.DelActionExecute();
    EXPECT_EQ(currentName(w), "В");
    messages_.answers = {msg::Yes};
    w.DelActionExecute();  // the last row: the one before
    EXPECT_EQ(currentName(w), "А");
    messages_.answers = {msg::No};
    w.DelActionExecute();
    EXPECT_EQ(messages_.texts().last(), "Удаление данных отменено.");
    messages_.answers = {msg::Yes};
    w.DelActionExecute();  // the only row
    EXPECT_EQ(w.statusText(), "Нет записей");
    EXPECT_FALSE(w.delAction_->isEnabled());
  });
}

TEST_F(ListWindowTest, AddThroughThePlainEditorAndReturnToTheNewRow) {
  addMarks({"Б", "Г"});
  TfmAbstrLsRef w(ctx_, marks());
  runList(w, 0, 15, false, [&] {
    onNextModal([&](QWidget* editor) {
      auto* ed = static_cast<TfmAbstrEdRef*>(editor);
      ed->activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(ed));
      EXPECT_EQ(ed->windowTitle(), "Марка. Ввод новой записи.");
      ed->nameEdit()->setFocus();
      EXPECT_FALSE(ed->postAction()->isEnabled());
      type(ed->nameEdit(), "В новая");
      EXPECT_TRUE(ed->postAction()->isEnabled());  // typing enables Save at once
      EXPECT_FALSE(ed->exitAction()->isEnabled());
      QTest::keyClick(ed->nameEdit(), Qt::Key_S, Qt::ControlModifier);
      EXPECT_EQ(ed->windowTitle(), "Марка. Редактирование.")
          << messages_.texts().join("|").toStdString();
      ed->reject();
      if (ed->isVisible()) ed->Cancel(), ed->reject();  // never leave the test waiting
    });
    w.AddActionExecute();
    EXPECT_EQ(currentName(w), "В новая");
    EXPECT_GT(w.currentKey(), 2);
  });
}

TEST_F(ListWindowTest, WindowStateComesBack) {
  addMarks({"А"});
  {
    TfmAbstrLsRef w(ctx_, marks());
    runList(w, 0, 15, false, [&] {
      w.resize(520, 480);
      w.move(40, 50);
    });
  }
  EXPECT_EQ(ini_.readInteger("fmLsAvm", "Width", 0), 520);
  EXPECT_EQ(ini_.readInteger("fmLsAvm", "Height", 0), 480);
  EXPECT_TRUE(ini_.hasKey("fmLsAvm", "_wndHeadS0"));
  TfmAbstrLsRef again(ctx_, marks());
  runList(again, 0, 15, false, [&] { EXPECT_EQ(again.width(), 520); });
}

}  // namespace
