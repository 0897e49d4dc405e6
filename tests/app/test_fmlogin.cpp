#include "app/bsp.h"
#include "app/fmlogin.h"
#include "platform/inifile.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class FmLoginTest : public ::testing::Test {
 protected:
  FmLoginTest() : ini_(dir_.filePath("Ini.ini")) {
    ini_.writeString("MorvelAvt", "ib_pathUMN", "/data/main.fdb");
    ini_.writeString("MorvelAvt", "ib_pathUMN1", "/data/other.fdb");
    ini_.writeString("MorvelAvt", "User", "ПЕТРОВ");
    ini_.writeString("MorvelAvt", "FontSize", "10");
  }
  QTemporaryDir dir_;
  IniFile ini_;
  TBsp bsp_;
};

TEST_F(FmLoginTest, ShowsTheSettingsAndWritesThemBackOnClose) {
  TfmLogin w(ini_, bsp_);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  EXPECT_EQ(w.windowTitle(), "ППП \"Ведомир\"");
  EXPECT_EQ(w.nameEdit()->text(), "ПЕТРОВ");
  EXPECT_EQ(w.dbPathEdit()->text(), "/data/main.fdb");
  EXPECT_EQ(w.pages()->currentIndex(), 0);
  EXPECT_TRUE(w.passwordEdit()->hasFocus());  // the name is known: straight to the password
  EXPECT_EQ(bsp_.FontSize, 10);
  EXPECT_EQ(bsp_.CountNumber, 2);

  QTest::keyClicks(w.passwordEdit(), "secret");
  w.nameEdit()->setText("сидоров");
  QTest::keyClick(w.passwordEdit(), Qt::Key_Return);
  EXPECT_EQ(w.result(), QDialog::Accepted);
  EXPECT_EQ(w.entry().name, "сидоров");
  EXPECT_EQ(w.entry().password, "secret");
  IniFile again(ini_.path());
  EXPECT_EQ(again.readString("MorvelAvt", "User"), "сидоров");
  EXPECT_EQ(again.readString("MorvelAvt", "CountNubber"), "2");
  EXPECT_EQ(again.readString("MorvelAvt", "ib_pathUMN"), "/data/main.fdb");
}

TEST_F(FmLoginTest, EscapeCancelsAndAnEmptyNameGetsTheFocus) {
  ini_.writeString("MorvelAvt", "User", "");
  TfmLogin w(ini_, bsp_);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  EXPECT_TRUE(w.nameEdit()->hasFocus());
  QTest::keyClick(w.nameEdit(), Qt::Key_Escape);
  EXPECT_EQ(w.result(), QDialog::Rejected);
}

TEST_F(FmLoginTest, PathButtonsF7AndTheCommandLine) {
  TfmLogin w(ini_, bsp_, "/from/command/line.fdb");
  QStringList offeredFilters;
  QString answer;
  w.setFilePicker([&](const QString&, const QStringList& filters) {
    offeredFilters = filters;
    return answer;
  });
  w.setBaseChooser([] { return QString("/data/other.fdb"); });
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  EXPECT_EQ(w.dbPathEdit()->text(), "/from/command/line.fdb");

  // A cancelled file dialog keeps the path that was there.
  auto* button = w.pages()->widget(1)->findChildren<QWidget*>().at(2);
  w.pages()->setCurrentIndex(1);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(offeredFilters.value(0), "База данных InterBase (*.gdb)");
  EXPECT_EQ(w.dbPathEdit()->text(), "/from/command/line.fdb");
  answer = "/picked/base.gdb";
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(w.dbPathEdit()->text(), "/picked/base.gdb");
  EXPECT_EQ(bsp_.DbPath, "/picked/base.gdb");

  QTest::keyClick(w.passwordEdit(), Qt::Key_F7);
  EXPECT_EQ(w.dbPathEdit()->text(), "/data/other.fdb");
  EXPECT_EQ(bsp_.DbPath, "/data/other.fdb");
  w.reject();
  EXPECT_EQ(IniFile(ini_.path()).readString("MorvelAvt", "ib_pathUMN"), "/data/other.fdb");
}

TEST_F(FmLoginTest, GetBaseListsTheAlternativesAndEnterPicksOne) {
  TfmGetBase w({"/a.fdb", "/b.fdb"});
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  w.list()->setCurrentRow(1);
  QTest::keyClick(&w, Qt::Key_Return);
  EXPECT_EQ(w.picked(), "/b.fdb");

  TfmGetBase empty({});
  empty.show();
  QTest::keyClick(&empty, Qt::Key_Return);
  QTest::keyClick(&empty, Qt::Key_Escape);
  EXPECT_EQ(empty.picked(), "");
}

}  // namespace
