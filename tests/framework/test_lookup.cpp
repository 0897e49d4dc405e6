#include "framework/context.h"
#include "framework/fieldbinding.h"
#include "framework/lookup.h"
#include "framework/pickers.h"
#include "platform/inifile.h"
#include "platform/query.h"
#include "support/frameworkfixture.h"
#include "support/messagerecorder.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::TestDatabase;

namespace {

class LookupTest : public testsupport::FrameworkFixture {
 protected:
  void addSubdivisions(const QList<std::pair<int, QVariant>>& rows) {
    db::Query q(base_.db());
    q.setSql("insert into AVSUBDIV (SUBDIV, NAME, DISMISS) values (:S, :N, 0)");
    for (const auto& [key, name] : rows) {
      q.param("S").setInt(key);
      q.param("N").setValue(name);
      q.exec();
    }
    base_.tr().commit();
  }
  FieldSpec subdivision() {
    FieldSpec f = FieldSpec::of(FieldSpec::Lookup, "SUBDIV", "Подразделение");
    f.lookupSql = "SELECT * from AVSUBDIV where DISMISS=0 order by SUBDIV";
    f.lookupKeyField = "SUBDIV";
    f.lookupTable = "AVSUBDIV";
    f.lookupCondition = "DISMISS=0";
    f.picker = "PickSubdivisionForTest";
    return f;
  }
  static void press(QWidget* w, int key, const QString& text = {}) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &e);
  }
};

TEST_F(LookupTest, ItemsKeepTheirKeysSkipPlaceholdersAndNameNulls) {
  addSubdivisions(
      {{0, "Hет данных"}, {1, "Гараж"}, {2, "Гараж"}, {3, QVariant()}, {4, "Нет данных"}});
  db::Query q(base_.db());
  q.setSql("select * from AVSUBDIV order by SUBDIV");
  q.open();
  const auto items = lookup::items(q, "SUBDIV", "NAME");
  ASSERT_EQ(items.size(), 4);
  EXPECT_EQ(items[0].name, "Hет данных");  // Latin H
  EXPECT_EQ(items[0].key, 0);
  EXPECT_EQ(items[1].key, 1);
  EXPECT_EQ(items[2].key, 2);  // same name, its own key
  EXPECT_EQ(items[3].name, "Поле не заполнено");
  EXPECT_EQ(lookup::indexOfKey(items, 2), 2);
  EXPECT_EQ(lookup::indexOfKey(items, 99), 0);
}

TEST_F(LookupTest, AStoredKeyBeyondTheCapIsStillShown) {
  db::Query fill(base_.db());
  fill.setParamCheck(false);
  fill.setSql(
      "execute block as declare i integer = 1; begin while (i <= 5100) do begin "
      "insert into AVSUBDIV (SUBDIV, NAME, DISMISS) values (:i, 'П' || :i, 0); i = i + 1; end end");
  fill.exec();
  base_.tr().commit();
  db::Query q(base_.db());
  q.setSql("select * from AVSUBDIV order by SUBDIV");
  q.open();
  const auto items = lookup::items(q, "SUBDIV", "NAME", 5050);
  EXPECT_EQ(items.size(), lookup::kMaxItems + 1);
  EXPECT_EQ(items[lookup::indexOfKey(items, 5050)].key, 5050);
}

TEST_F(LookupTest, TheBoxWritesKeysNeverNamesAndGivesBackUnmatchedText) {
  addSubdivisions({{1, "Гараж"}, {2, "Гараж"}, {3, "ИВАНОВСКИЙ УЧАСТОК"}, {4, "O'Neil & Co"}});
  QWidget parent;
  LookupBox box(ctx_, subdivision(), &parent);
  QSignalSpy chosen(&box, &LookupBox::keyChosen);
  box.fill(2);
  EXPECT_EQ(box.key(), 2);  // the second of two equal names
  EXPECT_EQ(box.combo()->currentText(), "Гараж");

  // Leaving the box: unknown text gives the choice back, a full name chooses its entry.
  box.combo()->setEditText("Склад, которого нет");
  QFocusEvent out(QEvent::FocusOut);
  QApplication::sendEvent(box.combo(), &out);
  EXPECT_EQ(box.key(), 2);
  EXPECT_EQ(box.combo()->currentText(), "Гараж");
  EXPECT_EQ(chosen.count(), 0);
  box.combo()->setEditText("ИВАНОВСКИЙ УЧАСТОК");
  QApplication::sendEvent(box.combo(), &out);
  EXPECT_EQ(box.key(), 3);
  ASSERT_EQ(chosen.count(), 1);
  box.fill(2);
  chosen.clear();

  // Typed on the Latin layout: the keys that spell ИВАН on the Russian one.
  box.combo()->setEditText("bdfy");
  press(box.combo()->lineEdit(), Qt::Key_Return);
  ASSERT_GE(box.items().size(), 2);
  EXPECT_EQ(box.items()[1].key, 3);
  box.combo()->hidePopup();

  box.search("o'n");  // a quote is a character, not the end of a statement
  ASSERT_EQ(box.items().size(), 2);
  EXPECT_EQ(box.items()[1].key, 4);
  box.search("%");
  EXPECT_EQ(box.items().size(), 1);  // only "Hет данных": no name holds a %
  box.combo()->hidePopup();
  EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(LookupTest, ThePickerButtonChoosesAKey) {
  addSubdivisions({{1, "Гараж"}, {7, "Карьер"}});
  registerPicker("PickSubdivisionForTest",
                 [](FrameworkContext&, int, int rights, bool selectMode, QWidget*) {
                   return (rights == 15 && selectMode) ? 7 : -1;
                 });
  QWidget parent;
  LookupBox box(ctx_, subdivision(), &parent);
  box.fill(1);
  QSignalSpy chosen(&box, &LookupBox::keyChosen);
  EXPECT_TRUE(box.pick());
  EXPECT_EQ(box.key(), 7);
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen.at(0).at(0).toInt(), 7);

  FieldSpec viewOnly = subdivision();
  viewOnly.pickerRights = 1;  // the stand-in picker answers only to full rights
  LookupBox limited(ctx_, viewOnly, &parent);
  limited.fill(1);
  EXPECT_FALSE(limited.pick());
  EXPECT_EQ(limited.key(), 1);
}

}  // namespace

namespace {

TEST(Pickers, UnregisteredListsAndWindowsSaySoAndReturnNothing) {
  testsupport::MessageRecorder messages;
  QTemporaryDir dir;
  IniFile ini(dir.filePath("Ini.ini"));
  db::Database database;
  db::Transaction tr(database);
  db::Query scratch(database);
  FrameworkContext ctx{database, tr, tr, scratch, ini};
  EXPECT_EQ(PickTonneKm(ctx, 0, 15, true), -1);
  EXPECT_EQ(EditRideLine(ctx, {{"ROADLIST", 5}, {"RIDES", 0}}), -1);
  ASSERT_EQ(messages.messages.size(), 2u);
  EXPECT_TRUE(messages.messages[0].text.contains("PickTonneKm"));
  EXPECT_TRUE(messages.messages[1].text.contains("EditRideLine"));

  registerOpener("EditRideLine", [](FrameworkContext&, const QVariantMap& args, QWidget*) {
    return args.value("RIDES").toInt() == 0 ? 77 : -1;
  });
  EXPECT_EQ(EditRideLine(ctx, {{"ROADLIST", 5}, {"RIDES", 0}}), 77);
}

}  // namespace
