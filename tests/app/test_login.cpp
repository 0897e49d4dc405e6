#include "app/bsp.h"
#include "app/datamodule.h"
#include "app/login.h"
#include "app/user.h"
#include "db/schema.h"
#include "platform/query.h"
#include "support/messagerecorder.h"
#include "support/testdatabase.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>

using testsupport::MessageRecorder;
using testsupport::TestDatabase;

namespace {

const QString kUnknown = "Пользователь с таким именем не зарегистрирован в системе!";
const QString kWrongPassword =
    "Неправильный пароль! Пароль вводится с учетом регистра символов, возможно нажата клавиша "
    "CapsLock!";
const QString kRetry = "Ошибка ввода. Повторите ввод";
const QString kAdmin =
    "Обратитесь к администратору базы данных\n\rдля получения действующего имени и пароля.\n\r"
    "\tВыход из приложения.";

// One window shown: what the person typed (nullopt: "Отмена") and which database the window's
// second page names.
struct Window {
  std::optional<LoginEntry> entry;
  QString dbPath;
};

class LoginTest : public ::testing::Test {
 protected:
  LoginTest() : dm_(dir_.filePath("Ini.ini"), bsp_) {}

  int runLogin(std::deque<Window> windows) {
    shown_ = 0;
    LoginFlow flow(dm_, user_, bsp_, [&]() -> std::optional<LoginEntry> {
      ++shown_;
      if (windows.empty()) return std::nullopt;
      const Window w = windows.front();
      windows.pop_front();
      bsp_.DbPath = w.dbPath;
      return w.entry;
    });
    return flow.run();
  }

  TestDatabase base_;  // outlives the data module's connection to it
  QTemporaryDir dir_;
  TBsp bsp_;
  TUser user_;
  TDM dm_;
  MessageRecorder messages_;
  int shown_ = 0;
};

TEST_F(LoginTest, FailedConnectionsAndCancelAsATable) {
  const QString good = base_.path();
  const QString bad = dir_.filePath("missing.fdb");
  const LoginEntry admin{schema::accountUser(), schema::accountPassword()};
  struct Case {
    const char* what;
    std::deque<Window> windows;
    bool succeeds;
    QStringList messages;
  };
  const Case cases[] = {
      {"three failed connections",
       {{admin, bad}, {admin, bad}, {admin, bad}},
       false,
       {kRetry, kRetry, kAdmin}},
      {"cancel at once", {{std::nullopt, good}}, false, {}},
      {"cancel after one failure", {{admin, bad}, {std::nullopt, good}}, false, {kRetry}},
      {"cancel after two failures",
       {{admin, bad}, {admin, bad}, {std::nullopt, good}},
       false,
       {kRetry, kRetry}},
      {"success after two failures",
       {{admin, bad}, {admin, bad}, {admin, good}},
       true,
       {kRetry, kRetry}},
      {"wrong name and password do not count",
       {{admin, bad},
        {LoginEntry{"никто", "x"}, good},
        {LoginEntry{admin.name, "MIRTBOX"}, good},
        {LoginEntry{"nobody", ""}, good},
        {admin, bad},
        {std::nullopt, good}},
       false,
       {kRetry, kUnknown, kWrongPassword, kUnknown, kRetry}},
  };
  for (const Case& c : cases) {
    messages_.messages.clear();
    dm_.DB.disconnect();
    const int result = runLogin(c.windows);
    EXPECT_EQ(result == LoginFlow::kSucceeded, c.succeeds) << c.what;
    EXPECT_EQ(dm_.DB.connected(), c.succeeds) << c.what;
    EXPECT_EQ(messages_.texts(), c.messages) << c.what;
    EXPECT_EQ(shown_, int(c.windows.size())) << c.what;
    for (const auto& m : messages_.messages) EXPECT_EQ(m.kind, msg::Kind::Error) << c.what;
  }
}

TEST_F(LoginTest, NameWithoutCasePasswordExactUserFilledIn) {
  const int result = runLogin({{LoginEntry{"iuc_ckgqbw", "mirtbox"}, base_.path()}});
  ASSERT_EQ(result, LoginFlow::kSucceeded);
  EXPECT_TRUE(messages_.messages.empty());
  EXPECT_EQ(user_.name, "IUC_CKGQBW");
  EXPECT_EQ(user_.usr, 1);
  EXPECT_EQ(user_.typ, 0);
  EXPECT_FALSE(user_.def.isEmpty());
  InitBspFromUser(user_, bsp_);
  EXPECT_EQ(bsp_.UserName, "IUC_CKGQBW");
  EXPECT_EQ(bsp_.UserDef, user_.def);
  EXPECT_EQ(bsp_.WorkDate, QDate::currentDate());
}

TEST_F(LoginTest, DatabaseWithoutVersionUsesTheTypedServerAccount) {
  db::Query q(base_.db());
  q.setSql("delete from SPCONST where IDCONST = 'BASEVER'");
  q.exec();
  base_.tr().commit();
  // The embedded engine trusts the user name, so any account gets in; the point is which one.
  const int result = runLogin({{LoginEntry{"petrov", "secret"}, base_.path()}});
  ASSERT_EQ(result, LoginFlow::kSucceeded);
  EXPECT_EQ(dm_.DB.userName(), "PETROV");
  EXPECT_EQ(user_.name, "PETROV");
  EXPECT_EQ(user_.usr, 0);
  EXPECT_EQ(user_.typ, 0);
  EXPECT_TRUE(messages_.messages.empty());
}

TEST(LoginSettings, CommandLineAndAlternativeDatabases) {
  EXPECT_EQ(commandLineDatabase({"vedomir"}), "");
  EXPECT_EQ(commandLineDatabase({"vedomir", "a.fdb"}), "");  // five characters: ignored
  EXPECT_EQ(commandLineDatabase({"vedomir", "ab.fdb"}), "ab.fdb");
  EXPECT_EQ(commandLineDatabase({"vedomir", "/data/my", "base.fdb"}), "/data/my base.fdb");
  EXPECT_EQ(alternativeDatabases({"ib_pathUMN=/a.fdb", "ib_pathUMN1=/b.fdb", "FontSize=8",
                                  "old_ib_pathUMN = server:/c.fdb ", "ib_pathUMN2"}),
            QStringList({"/b.fdb", "server:/c.fdb"}));
  EXPECT_TRUE(alternativeDatabases({}).isEmpty());
}

TEST(DataModule, WorkingPeriodFromAndBackToTheSettingsFile) {
  QTemporaryDir dir;
  const QString ini = dir.filePath("Ini.ini");
  TBsp bsp;
  {
    TDM dm(ini, bsp);
    EXPECT_EQ(bsp.Dt1, QDate(2005, 1, 1));
    EXPECT_EQ(bsp.Dt2, QDate(2005, 1, 31));
    bsp.Dt1 = QDate(2024, 5, 1);
    bsp.Dt2 = QDate(2024, 5, 31);
  }
  EXPECT_EQ(IniFile(ini).readString("IDCONST", "dt1"), "01.05.2024");
  TBsp again;
  TDM dm(ini, again);
  EXPECT_EQ(again.Dt2, QDate(2024, 5, 31));
}

TEST(DataModule, MinutesToHours) {
  const std::pair<int, double> cases[] = {{0, 0},     {1, 0.02},   {30, 0.5},   {59, 0.98},
                                          {61, 1.02}, {125, 2.08}, {-30, -0.5}, {1439, 23.98}};
  for (const auto& [m, h] : cases) EXPECT_DOUBLE_EQ(TDM::MinutesToHours(m), h) << m;
}

}  // namespace
