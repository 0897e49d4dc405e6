#include "app/bsp.h"
#include "app/commands.h"
#include "app/datamodule.h"
#include "app/fmavtmain.h"
#include "app/helpwindow.h"
#include "app/usagestatistics.h"
#include "app/user.h"
#include "platform/query.h"
#include "support/messagerecorder.h"
#include "support/testdatabase.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>

#include <gtest/gtest.h>

using commands::ScopedTarget;
using testsupport::MessageRecorder;
using testsupport::TestDatabase;

namespace {

const QStringList kClientModeItems = {"mmVedGsmTKart2",   "mmFuelCard",     "mmTabel",
                                      "mmZapNumPL",       "mmVedGsmRazd",   "mmSprPerGSM",
                                      "mmVedGsmRashodSv", "mmVedGsmRazdSv", "mmRaznar"};

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : dm_(dir_.filePath("Ini.ini"), bsp_) {}

  void connect() {
    const testsupport::Target t = testsupport::target();
    dm_.DB.setDatabaseName(base_.path());
    dm_.DB.setLogin(t.user, t.password);
    dm_.DB.connect();
  }
  void execute(const QString& sql) {
    db::Query q(base_.db());
    q.setSql(sql);
    q.exec();
    base_.tr().commit();
  }
  void setClientMode(int mode) {
    execute(QString("update SPCONST set CNST = '%1' where IDCONST = 'CLIENT'").arg(mode));
  }

  // The window after its first showing.
  std::unique_ptr<TfmAvtMain> shownWindow() {
    auto w = std::make_unique<TfmAvtMain>(dm_, bsp_, user_);
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    return w;
  }

  TestDatabase base_;
  QTemporaryDir dir_;
  TBsp bsp_;
  TUser user_;
  TDM dm_;
  MessageRecorder messages_;
};

TEST_F(MainWindowTest, MenuByUserKindAndInstallationVariant) {
  connect();
  for (const int kind : {0, 1}) {
    for (const int mode : {0, 1}) {
      setClientMode(mode);
      user_.typ = kind;
      auto w = shownWindow();
      const std::string what = "kind " + std::to_string(kind) + " mode " + std::to_string(mode);
      EXPECT_EQ(bsp_.ClientMode, mode) << what;  // the constants were read at the first showing
      for (const QString& name : kClientModeItems) {
        ASSERT_NE(w->commandAction(name), nullptr) << name.toStdString();
        EXPECT_EQ(w->commandAction(name)->isVisible(), mode == 1)
            << what << " " << name.toStdString();
      }
      EXPECT_EQ(w->commandAction("mmRaznar2")->isVisible(), mode != 1) << what;
      for (const char* name : {"mmAccess", "mmTire", "mmAkb"})
        EXPECT_EQ(w->commandAction(name)->isVisible(), kind == 0) << what << " " << name;
      ASSERT_NE(w->separatorAbove("mmAccess"), nullptr);
      EXPECT_TRUE(w->separatorAbove("mmAccess")->isSeparator());
      EXPECT_EQ(w->separatorAbove("mmAccess")->isVisible(), kind == 0) << what;
      for (const char* name : {"mmaTire", "mmaAkb", "mmDriver", "mmObj", "mmVedGsmTKart", "N18"})
        EXPECT_TRUE(w->commandAction(name)->isVisible()) << what << " " << name;
      EXPECT_TRUE(messages_.messages.empty()) << what;
    }
  }
}

TEST_F(MainWindowTest, MenuTreeCarriesTheNamesCaptionsAndHints) {
  connect();
  auto w = shownWindow();
  for (const commands::CommandDef& c : commands::commandTable()) {
    QAction* a = w->findChild<QAction*>(c.name);
    ASSERT_NE(a, nullptr) << c.name.toStdString();
    EXPECT_EQ(a->text(), c.caption) << c.name.toStdString();
    EXPECT_EQ(a->statusTip(), c.hint) << c.name.toStdString();
    EXPECT_EQ(a->menu() != nullptr, c.pattern == commands::Pattern::Submenu)
        << c.name.toStdString();
  }
  QStringList bar;
  for (QAction* a : w->menuBar()->actions()) bar << a->objectName();
  EXPECT_EQ(bar, QStringList({"mmNastr", "mmRabota", "mmSprav", "mmOtchet", "mmHelp", "mmExit"}));
  EXPECT_EQ(w->commandAction("mmNastr")->statusTip(), "Настройка параметров приложения");
  EXPECT_EQ(w->commandAction("mmExit")->text(), "Вы&xод");
  EXPECT_EQ(w->commandAction("mmExit")->statusTip(), "Завершить работу приложения");

  // The hint of the item under the mouse goes to the first panel.
  w->commandAction("mmRjour")->showStatusText(w->menuBar());
  EXPECT_EQ(w->statusPanel(0)->text(), "Журнал движения автотранспорта");
  w->commandAction("mmNastr")->showStatusText(w->menuBar());
  EXPECT_EQ(w->statusPanel(0)->text(), "Настройка параметров приложения");
}

TEST_F(MainWindowTest, WindowCaptionSizePlaceAndStatusPanels) {
  connect();
  struct Case {
    const char* what;
    const char* baseId;  // NAME of the BASEID row; nullptr: no row
    QString panel1;
  };
  const Case cases[] = {
      {"without BASEID", nullptr, ""},
      {"with BASEID", "Автобаза №3, г. Нижний", "Автобаза №3, г. Нижний"},
  };
  for (const Case& c : cases) {
    execute("delete from SPCONST where IDCONST = 'BASEID'");
    if (c.baseId)
      execute(QString("insert into SPCONST (IDCONST, NAME, CNST) values ('BASEID', '%1', '7')")
                  .arg(c.baseId));
    auto w = shownWindow();
    EXPECT_EQ(w->windowTitle(), "ППП \"Ведомир\"") << c.what;
    EXPECT_EQ(w->minimumSize(), w->maximumSize()) << c.what;
    EXPECT_GE(w->width(), 360) << c.what;
    EXPECT_LE(w->width(), 380) << c.what;
    EXPECT_GE(w->height(), 250) << c.what;
    EXPECT_LE(w->height(), 280) << c.what;
    EXPECT_EQ(w->pos(), w->screen()->availableGeometry().topLeft()) << c.what;
    EXPECT_EQ(w->statusPanel(1)->text(), c.panel1) << c.what;
    EXPECT_EQ(w->statusPanel(2)->text(), "33") << c.what;
    EXPECT_EQ(w->statusPanel(0)->width(), 120) << c.what;
    EXPECT_EQ(w->statusPanel(1)->width(), 200) << c.what;
    EXPECT_EQ(w->statusPanel(2)->width(), 25) << c.what;
  }
}

TEST_F(MainWindowTest, ToolBarAndHelpRunTheirCommands) {
  connect();
  QStringList masks;
  int helpShown = 0;
  ScopedTarget ask(commands::targets::kAskTaskParams, [&](const commands::CommandContext& c) {
    masks << c.mask;
    return true;
  });
  ScopedTarget help(commands::targets::kHelpContents, [&](const commands::CommandContext& c) {
    EXPECT_NE(c.parent, nullptr);
    ++helpShown;
    return true;
  });
  auto w = shownWindow();
  QStringList texts;
  QList<bool> enabled;
  for (QAction* a : w->toolBar()->actions()) {
    texts << (a->isSeparator() ? QString("|") : a->text());
    enabled << a->isEnabled();
  }
  EXPECT_EQ(texts, QStringList({"Каскадом", "Упорядочить горизонтально", "Упорядочить вертикально",
                                "|", "Настройка параметров задач", "Помощь", "Выход"}));
  EXPECT_EQ(enabled, QList<bool>({false, false, false, true, true, true, true}));

  w->findChild<QAction*>("tbBsp")->trigger();
  w->commandAction("mmiBsp")->trigger();
  EXPECT_EQ(masks, QStringList({"1111111111111", "1111111111111"}));
  w->findChild<QAction*>("tbHelp")->trigger();
  w->commandAction("mmHelp")->trigger();
  EXPECT_EQ(helpShown, 2);
  EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(MainWindowTest, ExitClosesTheWindow) {
  connect();
  struct Case {
    const char* what;
    std::function<void(TfmAvtMain&)> act;
  };
  const Case cases[] = {
      {"menu", [](TfmAvtMain& w) { w.commandAction("mmExit")->trigger(); }},
      {"tool bar", [](TfmAvtMain& w) { w.findChild<QAction*>("tbExit")->trigger(); }},
      {"Alt+X", [](TfmAvtMain& w) { QTest::keyClick(&w, Qt::Key_X, Qt::AltModifier); }},
  };
  for (const Case& c : cases) {
    auto w = shownWindow();
    w->activateWindow();
    ASSERT_TRUE(w->isVisible()) << c.what;
    c.act(*w);
    EXPECT_FALSE(w->isVisible()) << c.what;
  }
}

TEST_F(MainWindowTest, AStartUpThatCannotReadTheConstantsEndsWithItsMessage) {
  // No connection: reading the constants fails.
  TfmAvtMain w(dm_, bsp_, user_);
  w.show();
  QCoreApplication::processEvents();
  EXPECT_FALSE(w.isVisible());
  ASSERT_EQ(messages_.messages.size(), 1u);
  EXPECT_EQ(messages_.messages[0].kind, msg::Kind::Error);
  EXPECT_FALSE(messages_.messages[0].text.isEmpty());
}

TEST_F(MainWindowTest, UsageStatisticsListTheNamedRows) {
  connect();
  ScopedTarget ask(commands::targets::kAskTaskParams, [](const commands::CommandContext& c) {
    c.bsp.Car = 5;
    return true;
  });
  ScopedTarget report("TfmRepJour", [](const commands::CommandContext&) { return true; });
  const commands::CommandDef* jour = commands::findCommand("mmRjour");
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(commands::runCommand(*jour, dm_, bsp_, user_, nullptr), commands::Outcome::Done);
  execute("insert into SPCONST (IDCONST, NAME, CNST) values ('ZZUNNAMED', NULL, '777')");

  const QList<UsageRow> rows = readUsageStatistics(dm_.qryTemp);
  auto has = [&](const QString& name, const QString& count) {
    for (const UsageRow& r : rows)
      if (r.name == name && r.count == count) return true;
    return false;
  };
  EXPECT_TRUE(has("Журнал движения автотранспорта", "2"));
  EXPECT_TRUE(has("", "33"));  // BASEVER: a blank name, shown empty
  EXPECT_TRUE(has("Адрес организации", ""));
  for (const UsageRow& r : rows) EXPECT_NE(r.count, "777");  // rows without a name stay out

  UsageStatisticsPreview preview(rows);
  QTableWidget* t = preview.table();
  EXPECT_EQ(t->horizontalHeaderItem(0)->text(), "Наименование пункта меню");
  EXPECT_EQ(t->horizontalHeaderItem(1)->text(), "Открыто раз");
  ASSERT_EQ(t->rowCount(), rows.size());
  for (int r = 0; r < t->rowCount(); ++r) {
    EXPECT_EQ(t->item(r, 0)->text(), rows[r].name);
    EXPECT_EQ(t->item(r, 1)->text(), rows[r].count);
  }
  EXPECT_EQ(t->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST(HelpWindow, ContentsLeadToEveryPage) {
  HelpWindow w;
  EXPECT_EQ(w.browser()->source(), HelpWindow::contentsUrl());
  EXPECT_TRUE(w.browser()->toPlainText().contains("Содержание"));

  QFile index(":/help/index.html");
  ASSERT_TRUE(index.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(index.readAll());
  QStringList pages;
  const QRegularExpression href("href=\"([^\"#:]+\\.html)\"");
  for (auto it = href.globalMatch(html); it.hasNext();) pages << it.next().captured(1);
  // Every page shipped is reached from the contents.
  QStringList shipped = QDir(":/help").entryList({"*.html"});
  shipped.removeAll("index.html");
  QStringList linked = pages;
  linked.sort();
  shipped.sort();
  EXPECT_EQ(linked, shipped);
  for (const QString& page : pages) {
    ASSERT_TRUE(QFile::exists(":/help/" + page)) << page.toStdString();
    w.browser()->setSource(QUrl("qrc:/help/" + page));
    EXPECT_FALSE(w.browser()->documentTitle().isEmpty()) << page.toStdString();
    EXPECT_GT(w.browser()->toPlainText().size(), 200) << page.toStdString();
  }
}

}  // namespace
