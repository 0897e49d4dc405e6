#include "app/login.h"

#include "app/bsp.h"
#include "app/datamodule.h"
#include "app/user.h"
#include "db/schema.h"
#include "platform/dberror.h"
#include "platform/messages.h"

namespace {
constexpr int kFirstVersionWithUsers = 14;
}

LoginFlow::LoginFlow(TDM& dm, TUser& user, TBsp& bsp, AskLogin ask)
    : dm_(dm), user_(user), bsp_(bsp), ask_(std::move(ask)) {}

QString LoginFlow::failureMessage(int counter) {
  if (counter < 2) return QStringLiteral("Ошибка ввода. Повторите ввод");
  return QStringLiteral(
      "Обратитесь к администратору базы данных\n\rдля получения действующего имени и пароля.\n\r"
      "\tВыход из приложения.");
}

int LoginFlow::run() {
  dm_.DB.disconnect();
  int counter = 0;
  for (;;) {
    TryLogin(counter);
    if (dm_.DB.connected()) return kSucceeded;
    if (counter != kCancelled) msg::error(failureMessage(counter));
    ++counter;
    if (counter > 2) return counter;
  }
}

bool LoginFlow::TryLogin(int& outcome) {
  try {
    RunLoginDialog(outcome);
    if (outcome != kCancelled) {
      dm_.DB.connect();
      return true;
    }
    dm_.DB.disconnect();
    return false;
  } catch (const db::DbError&) {
    // Not shown: the start-up loop says what to do next.
    dm_.DB.disconnect();
    return false;
  }
}

int LoginFlow::readSchemaVersion() {
  db::Query& q = dm_.qryTemp;
  q.close();
  q.setSql(QStringLiteral("select cnst from spconst where IDCONST='BASEVER'"));
  try {
    q.open();
  } catch (const db::DbError&) {
    return 0;  // no constants table: a database older than anything we know
  }
  bool ok = false;
  const int v = q.field(0).asString().trimmed().toInt(&ok);
  q.close();
  return ok ? v : 0;
}

void LoginFlow::RunLoginDialog(int& outcome) {
  // A wrong name or password brings the window back as often as needed; it does not count as a
  // failed connection.
  for (;;) {
    const std::optional<LoginEntry> entry = ask_();
    if (!entry) {
      outcome = kCancelled;
      return;
    }
    dm_.DB.disconnect();
    dm_.DB.setDatabaseName(bsp_.DbPath);
    dm_.DB.setLogin(schema::accountUser(), schema::accountPassword());
    dm_.DB.connect();
    const QString name = entry->name.toUpper();
    if (readSchemaVersion() < kFirstVersionWithUsers) {
      // Before the users table existed people entered with a server account of their own.
      dm_.DB.disconnect();
      dm_.DB.setLogin(name, entry->password);
      dm_.DB.connect();
      user_ = TUser{};
      user_.name = name;
      return;
    }
    db::Query& q = dm_.qryTemp;
    q.close();
    q.setSql(QStringLiteral("select usr,pass,typ,def from users where Upper(N)=:N"));
    q.param(QStringLiteral("N")).setString(name);
    q.open();
    if (q.isEmpty()) {
      q.close();
      msg::error(QStringLiteral("Пользователь с таким именем не зарегистрирован в системе!"));
      dm_.DB.disconnect();
      continue;
    }
    if (q[QStringLiteral("pass")].asString() != entry->password) {
      q.close();
      msg::error(
          QStringLiteral("Неправильный пароль! Пароль вводится с учетом регистра символов, "
                         "возможно нажата клавиша CapsLock!"));
      dm_.DB.disconnect();
      continue;
    }
    user_.usr = static_cast<int>(q[QStringLiteral("usr")].asInt());
    user_.def = q[QStringLiteral("def")].asString();
    user_.name = name;
    user_.typ = static_cast<int>(q[QStringLiteral("typ")].asInt());
    q.close();
    // The transaction that read the users is left for the first window to use or end.
    return;
  }
}

void InitBspFromUser(const TUser& user, TBsp& bsp) {
  bsp.UserName = user.name;
  bsp.UserDef = user.def;
  bsp.WorkDate = QDate::currentDate();
}

void readLoginSettings(const IniFile& ini, TBsp& bsp, QString& userName) {
  using namespace inikeys;
  bsp.DbPath = ini.readString(kMain, kDbPath, bsp.DbPath);
  bsp.GrzPath = ini.readString(kMain, kGrzPath, bsp.GrzPath);
  bsp.LnvjPath = ini.readString(kMain, kLnvjPath, bsp.LnvjPath);
  bsp.VrjPath = ini.readString(kMain, kVrjPath, bsp.VrjPath);
  bsp.FontSize = ini.readInteger(kMain, kFontSize, 8);
  bsp.CountNumber = ini.readInteger(kMain, kCountNumber, 2);
  userName = ini.readString(kMain, kUser);
}

void writeLoginSettings(IniFile& ini, const TBsp& bsp, const QString& userName) {
  using namespace inikeys;
  ini.writeString(kMain, kUser, userName);
  ini.writeString(kMain, kDbPath, bsp.DbPath);
  ini.writeString(kMain, kGrzPath, bsp.GrzPath);
  ini.writeString(kMain, kLnvjPath, bsp.LnvjPath);
  ini.writeString(kMain, kVrjPath, bsp.VrjPath);
  ini.writeInteger(kMain, kFontSize, bsp.FontSize);
  ini.writeInteger(kMain, kCountNumber, bsp.CountNumber);
}

QString commandLineDatabase(const QStringList& arguments) {
  const QString path = arguments.mid(1).join(QLatin1Char(' '));
  return path.size() > 5 ? path : QString();
}

QStringList alternativeDatabases(const QStringList& sectionLines) {
  QStringList out;
  for (const QString& line : sectionLines) {
    if (!line.contains(QStringLiteral("ib_pathUMN")) ||
        line.contains(QStringLiteral("ib_pathUMN=")))
      continue;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq >= 0) out << line.mid(eq + 1).trimmed();
  }
  return out;
}
