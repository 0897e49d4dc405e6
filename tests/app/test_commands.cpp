#include "app/bsp.h"
#include "app/commands.h"
#include "app/datamodule.h"
#include "app/user.h"
#include "framework/pickers.h"
#include "platform/dberror.h"
#include "platform/query.h"
#include "support/datamodulefixture.h"
#include "support/messagerecorder.h"
#include "support/testdatabase.h"

#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

using namespace commands;
using testsupport::MessageRecorder;
using testsupport::TestDatabase;

namespace {

// What the stand-in of the task-parameters window does: confirm or not, and which keys the
// person chose in it.
struct Choice {
  bool confirm = true;
  int car = 0;
  int driver = 0;
  int subdiv = 0;
  int tire = 0;
  int akb = 0;
};

// What a stand-in target saw when it ran.
struct Seen {
  int calls = 0;
  int rights = -1;
  int archiveMode = -1;
  QString command;
};

class CommandsTest : public testsupport::DataModuleFixture {
 protected:
  ~CommandsTest() override {
    clearProvided();
    ask_.reset();
  }

  // Stand-ins registered over each other come off in the reverse order.
  void clearProvided() {
    while (!provided_.empty()) provided_.pop_back();
  }
  // The registration of the parameters window is replaced only after the old one put back what
  // it had replaced.
  void replaceParameters(CommandRegistry::Handler handler) {
    ask_.reset();
    ask_ = std::make_unique<ScopedTarget>(targets::kAskTaskParams, std::move(handler));
  }

  // The task-parameters window answers with the choice; records the masks it was asked with and
  // the switches as they were when it was asked.
  void answerParameters(Choice choice) {
    replaceParameters([this, choice](const CommandContext& c) {
      asked_.append(c.mask);
      journalOrderWhenAsked_ = c.bsp.JournalOrder;
      archiveModeWhenAsked_ = c.bsp.ArchiveMode;
      if (!choice.confirm) return false;
      c.bsp.Car = choice.car;
      c.bsp.Driver = choice.driver;
      c.bsp.Subdiv = choice.subdiv;
      c.bsp.Tire = choice.tire;
      c.bsp.Akb = choice.akb;
      return true;
    });
  }

  // A stand-in for the work of the target; `work` may throw or decline.
  void provide(
      const QString& target, std::function<bool()> work = [] { return true; }) {
    provided_.push_back(
        std::make_unique<ScopedTarget>(target, [this, work](const CommandContext& c) {
          ++seen_.calls;
          seen_.rights = c.rights;
          seen_.archiveMode = c.bsp.ArchiveMode;
          seen_.command = c.command.name;
          return work();
        }));
  }
  // Every target of the table gets a stand-in.
  void provideAll() {
    QSet<QString> done;
    for (const CommandDef& c : commandTable())
      if (!c.target.isEmpty() && !done.contains(c.target)) {
        done.insert(c.target);
        provide(c.target);
      }
  }

  Outcome run(const QString& name) {
    const CommandDef* c = findCommand(name);
    EXPECT_NE(c, nullptr) << name.toStdString();
    if (!c) return Outcome::Failed;
    return runCommand(*c, dm_, bsp_, user_, nullptr);
  }

  // The usage counter of an item: NAME and CNST, or nullopt when there is no row.
  std::optional<std::pair<QString, QString>> counter(const QString& id) {
    db::Query q(base_.db());
    q.setSql("select NAME, CNST from SPCONST where IDCONST = :ID");
    q.param("ID").setString(id);
    q.open();
    if (q.isEmpty()) return std::nullopt;
    return std::make_pair(q["NAME"].asString(), q["CNST"].asString());
  }

  void resetObservations() {
    messages_.messages.clear();
    asked_.clear();
    seen_ = {};
    journalOrderWhenAsked_ = archiveModeWhenAsked_ = -99;
  }

  TUser user_;
  std::unique_ptr<ScopedTarget> ask_;
  std::vector<std::unique_ptr<ScopedTarget>> provided_;
  QStringList asked_;
  Seen seen_;
  int journalOrderWhenAsked_ = -99;
  int archiveModeWhenAsked_ = -99;
};

void expectNotChosen(const MessageRecorder& messages, const char* what) {
  ASSERT_EQ(messages.messages.size(), 1u) << what;
  const auto& m = messages.messages.front();
  EXPECT_EQ(m.text, "Выбор не произведен") << what;
  EXPECT_EQ(m.caption, "ППП \"Ведомир\"") << what;
  EXPECT_EQ(m.kind, msg::Kind::Plain) << what;
  EXPECT_EQ(m.buttons, int(msg::Ok)) << what;
}

TEST(CommandTable, IsConsistent) {
  QSet<QString> names;
  QSet<QString> menus;
  for (const CommandDef& c : commandTable()) {
    const std::string n = c.name.toStdString();
    EXPECT_FALSE(names.contains(c.name)) << "twice: " << n;
    names.insert(c.name);
    EXPECT_TRUE(c.parent.isEmpty() || menus.contains(c.parent)) << "menu before its items: " << n;
    if (c.pattern == Pattern::Submenu) menus.insert(c.name);
    EXPECT_FALSE(c.caption.isEmpty()) << n;
    EXPECT_FALSE(c.hint.isEmpty()) << n;
    if (!c.mask.isEmpty()) {
      EXPECT_EQ(c.mask.size(), 13) << n;
      for (const QChar ch : c.mask) EXPECT_TRUE(ch.isDigit()) << n;
    }
    // A key that must be chosen has to be offered by the parameters.
    for (unsigned bit = kDriver; bit <= kObj; bit <<= 1)
      if ((c.requiredAll | c.requiredAny) & bit) {
        EXPECT_TRUE(maskOffers(c.mask, Key(bit))) << n << " key " << bit;
      }
    if (c.pattern == Pattern::APlus) {
      EXPECT_EQ(c.mask, "0000100000000") << n;
      EXPECT_EQ(c.requiredAll, unsigned(kCar)) << n;
    }
    if (c.pattern == Pattern::A) {
      EXPECT_TRUE(c.mask.isEmpty()) << n;
    }
    if (c.counted) {
      EXPECT_EQ(c.pattern, Pattern::B) << n;
    }
    const bool acts = c.pattern != Pattern::Submenu && c.pattern != Pattern::None;
    if (acts) {
      EXPECT_TRUE(!c.target.isEmpty() || !c.mask.isEmpty()) << n;
    }
    if (c.archiveResetAfter) {
      EXPECT_EQ(c.archiveMode, 1) << n;
    }
  }
  // Every item of the reports menu and its submenus is a report.
  QSet<QString> reportMenus = {"mmOtchet"};
  for (const CommandDef& c : commandTable()) {
    if (!reportMenus.contains(c.parent)) continue;
    if (c.pattern == Pattern::Submenu)
      reportMenus.insert(c.name);
    else
      EXPECT_EQ(c.pattern, Pattern::B) << c.name.toStdString();
  }
  EXPECT_EQ(reportMenus, QSet<QString>({"mmOtchet", "mmExecl", "N1", "N2"}));
}

TEST(CommandTable, CaptionsWithoutMnemonics) {
  const std::pair<const char*, const char*> cases[] = {
      {"&Настройка параметров задач", "Настройка параметров задач"},
      {"Настройка &Констант приложения", "Настройка Констант приложения"},
      {"Вы&xод", "Выxод"},
      {"Шины && АКБ", "Шины & АКБ"},
      {"Список шин, подлежащих списанию в след. мес. ",
       "Список шин, подлежащих списанию в след. мес. "},
      {"&", ""},
  };
  for (const auto& [caption, plain] : cases) EXPECT_EQ(plainCaption(caption), plain) << caption;
}

TEST(CommandTable, VisibilityByKindAndClientMode) {
  struct Case {
    const char* name;
    bool kind0cm0, kind0cm1, kind1cm0, kind1cm1;
  };
  const Case cases[] = {
      {"mmAccess", true, true, false, false},
      {"mmTire", true, true, false, false},
      {"mmAkb", true, true, false, false},
      {"mmaTire", true, true, true, true},
      {"mmFuelCard", false, true, false, true},
      {"mmRaznar", false, true, false, true},
      {"mmRaznar2", true, false, true, false},
      {"mmVedGsmTKart2", false, true, false, true},
      {"mmTabel", false, true, false, true},
      {"mmZapNumPL", false, true, false, true},
      {"mmVedGsmRazd", false, true, false, true},
      {"mmSprPerGSM", false, true, false, true},
      {"mmVedGsmRashodSv", false, true, false, true},
      {"mmVedGsmRazdSv", false, true, false, true},
      {"mmVedGsmTKart", true, true, true, true},
      {"mmDriver", true, true, true, true},
  };
  for (const Case& c : cases) {
    const CommandDef* d = findCommand(c.name);
    ASSERT_NE(d, nullptr) << c.name;
    EXPECT_EQ(isVisible(*d, 0, 0), c.kind0cm0) << c.name;
    EXPECT_EQ(isVisible(*d, 0, 1), c.kind0cm1) << c.name;
    EXPECT_EQ(isVisible(*d, 1, 0), c.kind1cm0) << c.name;
    EXPECT_EQ(isVisible(*d, 1, 1), c.kind1cm1) << c.name;
    // Any installation variant other than 1 is the ordinary one.
    EXPECT_EQ(isVisible(*d, 2, 2), c.kind1cm0) << c.name;
  }
}

TEST(CommandRegistry, ScopedTargetPutsBackWhatWasThere) {
  const QString name = "RegistryTestTarget";
  CommandRegistry::unregisterTarget(name);
  {
    ScopedTarget first(name, [](const CommandContext&) { return true; });
    EXPECT_TRUE(CommandRegistry::isRegistered(name));
    {
      ScopedTarget none(name, {});  // an empty handler stands for "not there"
      EXPECT_FALSE(CommandRegistry::isRegistered(name));
    }
    EXPECT_TRUE(CommandRegistry::isRegistered(name));
    EXPECT_FALSE(
        CommandRegistry::registerTargetIfAbsent(name, [](const CommandContext&) { return false; }));
    EXPECT_TRUE(CommandRegistry::registeredTargets().contains(name));
  }
  EXPECT_FALSE(CommandRegistry::isRegistered(name));
}

TEST_F(CommandsTest, ListsGetTheRightsOfTheUserKindAndTheVariant) {
  struct Case {
    const char* name;
    int kind;
    int clientMode;
    int rights;
    int asked;  // lists of one vehicle ask the vehicle first
  };
  const Case cases[] = {
      {"mmDriver", 0, 0, 15, 0},   {"mmDriver", 1, 0, 1, 0},   {"mmAvtoRef", 1, 1, 1, 0},
      {"mmAvtoNorm", 0, 0, 5, 0},  {"mmAvtoNorm", 1, 0, 1, 0}, {"mmAvtoPrice", 0, 1, 5, 0},
      {"mmAvtoPrice", 1, 1, 1, 0}, {"mmKFNrm", 1, 0, 1, 0},    {"mmObj", 0, 0, 1, 0},
      {"mmObj", 0, 1, 15, 0},      {"mmObj", 1, 1, 15, 0},     {"mmObj", 1, 0, 1, 0},
      {"mmDopNorm", 0, 0, 15, 1},  {"mmDopNorm", 1, 0, 1, 1},  {"N9", 1, 1, 1, 1},
      {"mmAvtofast", 0, 1, 15, 1}, {"mmaTire", 1, 0, 15, 1},   {"mmAvtopl", 1, 0, 15, 1},
      {"mmOstf", 1, 0, 15, 1},
  };
  provideAll();
  answerParameters({.car = 12});
  for (const Case& c : cases) {
    resetObservations();
    user_.typ = c.kind;
    bsp_.ClientMode = c.clientMode;
    const std::string what = std::string(c.name) + " kind " + std::to_string(c.kind) + " mode " +
                             std::to_string(c.clientMode);
    EXPECT_EQ(run(c.name), Outcome::Done) << what;
    EXPECT_EQ(seen_.calls, 1) << what;
    EXPECT_EQ(seen_.command, c.name) << what;
    EXPECT_EQ(seen_.rights, c.rights) << what;
    EXPECT_EQ(asked_.size(), c.asked) << what;
    EXPECT_TRUE(messages_.messages.empty()) << what;
    EXPECT_FALSE(counter(c.name)) << what;  // lists are not counted
  }
}

TEST_F(CommandsTest, ParametersCancelledOrARequiredKeyMissing) {
  struct Case {
    const char* name;
    Choice choice;
    Outcome outcome;
    const char* mask;
  };
  const Choice cancel{.confirm = false};
  const Case cases[] = {
      {"mmTire", cancel, Outcome::NotChosen, "0000100000000"},
      {"mmTire", {}, Outcome::NotChosen, "0000100000000"},
      {"mmTire", {.car = 7}, Outcome::Done, "0000100000000"},
      {"mmAvtofast", {.driver = 3}, Outcome::NotChosen, "0000100000000"},
      {"mmRjour", {.driver = 3, .subdiv = 2}, Outcome::NotChosen, "0110100000000"},
      {"mmRjour", {.car = 3}, Outcome::Done, "0110100000000"},
      {"mmRdrivcard", {.car = 3}, Outcome::NotChosen, "0111000000000"},
      {"mmTireakt", {.car = 3}, Outcome::NotChosen, "1001100010000"},
      {"mmTireakt", {.car = 3, .tire = 2}, Outcome::Done, "1001100010000"},
      {"mmAkbakt", {.car = 3, .tire = 2}, Outcome::NotChosen, "1001100001000"},
      {"mmAipr", {.akb = 5}, Outcome::NotChosen, "1000100001000"},
      {"mmKartAkb3", {.car = 1, .akb = 5}, Outcome::Done, "1001100001000"},
      {"N24", {}, Outcome::NotChosen, "0000101000000"},
      {"N24", {.subdiv = 4}, Outcome::Done, "0000101000000"},
      {"N24", {.car = 4}, Outcome::Done, "0000101000000"},
      {"mmRsprv", {}, Outcome::Done, "0110011000000"},
      {"mmRsprv", cancel, Outcome::NotChosen, "0110011000000"},
      {"mmZdn", cancel, Outcome::NotChosen, "0110000000000"},
      {"mmCls", {}, Outcome::Done, "0110000000000"},
      {"mmObjExecl", cancel, Outcome::CancelledSilently, "0110000000001"},
      {"mmFuelDiv", cancel, Outcome::CancelledSilently, "0110001000100"},
      {"mmiBsp", cancel, Outcome::CancelledSilently, "1111111111111"},
      {"mmiBsp", {}, Outcome::Done, "1111111111111"},
  };
  provideAll();
  for (const Case& c : cases) {
    resetObservations();
    bsp_.Car = bsp_.Driver = bsp_.Subdiv = bsp_.Tire = bsp_.Akb = 0;
    answerParameters(c.choice);
    const std::string what = std::string(c.name) + " -> " + std::to_string(int(c.outcome));
    EXPECT_EQ(run(c.name), c.outcome) << what;
    EXPECT_EQ(asked_, QStringList{c.mask}) << what;
    const bool ran = c.outcome == Outcome::Done && !findCommand(c.name)->target.isEmpty();
    EXPECT_EQ(seen_.calls, ran ? 1 : 0) << what;
    if (c.outcome == Outcome::NotChosen)
      expectNotChosen(messages_, what.c_str());
    else
      EXPECT_TRUE(messages_.messages.empty()) << what;
  }
}

TEST_F(CommandsTest, OnlySomeCommandsEndSilentlyWhenTheParametersAreCancelled) {
  const QSet<QString> silent = {"mmiBsp",   "mmObjExecl", "mmVedExecl", "mmExcelPl",
                                "mmRaznar", "mmRaznar2",  "mmObjGsm",   "mmFuelDiv"};
  provideAll();
  answerParameters({.confirm = false});
  int withParameters = 0;
  for (const CommandDef& c : commandTable()) {
    if (c.mask.isEmpty()) continue;
    ++withParameters;
    resetObservations();
    const std::string what = c.name.toStdString();
    const Outcome outcome = runCommand(c, dm_, bsp_, user_, nullptr);
    EXPECT_EQ(seen_.calls, 0) << what;
    EXPECT_EQ(asked_, QStringList{c.mask}) << what;
    if (silent.contains(c.name)) {
      EXPECT_EQ(outcome, Outcome::CancelledSilently) << what;
      EXPECT_TRUE(messages_.messages.empty()) << what;
    } else {
      EXPECT_EQ(outcome, Outcome::NotChosen) << what;
      expectNotChosen(messages_, what.c_str());
    }
    EXPECT_FALSE(counter(c.name)) << what;
  }
  EXPECT_GT(withParameters, int(silent.size()));
}

TEST_F(CommandsTest, ProducedReportsAreCountedUnderTheItemWithItsCaption) {
  provideAll();
  answerParameters({.car = 3, .driver = 1});
  for (int i = 0; i < 2; ++i) EXPECT_EQ(run("mmRjour"), Outcome::Done);
  EXPECT_EQ(counter("mmRjour"),
            std::make_pair(QString("Журнал движения автотранспорта"), QString("2")));

  // The caption is stored as it is now, the count goes on from the stored one.
  db::Query q(base_.db());
  q.setSql("insert into SPCONST (IDCONST, NAME, CNST) values ('mmRdrivcard', 'старое', '41')");
  q.exec();
  base_.tr().commit();
  EXPECT_EQ(run("mmRdrivcard"), Outcome::Done);
  EXPECT_EQ(counter("mmRdrivcard"),
            std::make_pair(QString("Лицевая карточка водителя"), QString("42")));
  EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(CommandsTest, UncountedAndUnfinishedCommandsWriteNothing) {
  provideAll();
  answerParameters({.car = 3});
  const char* uncounted[] = {"N19",      "N20",    "mmT1",     "mmT2",  "mmT3",
                             "mmDriver", "mmTire", "mmAvtopl", "mmZdn", "mmiConst"};
  for (const char* name : uncounted) {
    resetObservations();
    EXPECT_EQ(run(name), Outcome::Done) << name;
    EXPECT_EQ(seen_.calls, 1) << name;
    EXPECT_FALSE(counter(name)) << name;
  }
  // A report whose window gave up without producing anything is not counted either.
  provide("TfmRepJour", [] { return false; });
  EXPECT_EQ(run("mmRjour"), Outcome::Abandoned);
  EXPECT_FALSE(counter("mmRjour"));
  EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(CommandsTest, ArchiveModeIsBackToZeroAfterTheArchiveItems) {
  struct Case {
    const char* name;
    Choice choice;
    bool fails;  // the target throws
    Outcome outcome;
  };
  const Case cases[] = {
      {"mmaTire", {.car = 4}, false, Outcome::Done},
      {"mmaTire", {.confirm = false}, false, Outcome::NotChosen},
      {"mmaTire", {}, false, Outcome::NotChosen},
      {"mmaTire", {.car = 4}, true, Outcome::Failed},
      {"mmaAkb", {.car = 4}, false, Outcome::Done},
      {"mmaAkb", {}, false, Outcome::NotChosen},
      {"N15", {}, false, Outcome::Done},
      {"N15", {.confirm = false}, false, Outcome::NotChosen},
      {"N16", {}, true, Outcome::Failed},
  };
  for (const Case& c : cases) {
    resetObservations();
    clearProvided();
    provideAll();
    if (c.fails)
      provide(findCommand(c.name)->target, []() -> bool { throw std::runtime_error("сбой"); });
    answerParameters(c.choice);
    bsp_.ArchiveMode = 0;
    bsp_.Car = 0;
    const std::string what = std::string(c.name) + " " + std::to_string(int(c.outcome));
    EXPECT_EQ(run(c.name), c.outcome) << what;
    EXPECT_EQ(archiveModeWhenAsked_, 1) << what;
    if (seen_.calls) {
      EXPECT_EQ(seen_.archiveMode, 1) << what;
    }
    EXPECT_EQ(bsp_.ArchiveMode, 0) << what;
  }
  // The write-off certificates and the current journals work on the current items, whatever the
  // switch was before.
  clearProvided();
  provideAll();
  answerParameters({.car = 4});
  for (const char* name : {"mmTirespr", "mmAkbspr", "mmTirespis", "mmTire", "mmAkb"}) {
    resetObservations();
    bsp_.ArchiveMode = 1;
    EXPECT_EQ(run(name), Outcome::Done) << name;
    EXPECT_EQ(archiveModeWhenAsked_, 0) << name;
    EXPECT_EQ(seen_.archiveMode, 0) << name;
  }
}

TEST_F(CommandsTest, JournalOrderIsSetBeforeTheParameters) {
  const std::pair<const char*, int> cases[] = {
      {"mmAvtopl", 0}, {"mmAvtoplAcc", 1}, {"mmPlFactNorm", -1}};
  provideAll();
  for (const bool confirm : {true, false}) {
    answerParameters({.confirm = confirm});
    for (const auto& [name, order] : cases) {
      resetObservations();
      bsp_.JournalOrder = 7;
      EXPECT_EQ(run(name), confirm ? Outcome::Done : Outcome::NotChosen) << name;
      EXPECT_EQ(asked_, QStringList{"1111111100111"}) << name;
      EXPECT_EQ(journalOrderWhenAsked_, order) << name;
      EXPECT_EQ(bsp_.JournalOrder, order) << name;
    }
  }
}

TEST_F(CommandsTest, AMissingTargetIsReportedAndNothingIsAskedOrCounted) {
  struct Case {
    const char* name;
    const char* caption;
    bool withoutParametersWindow;  // the target is there, the parameters window is not
  };
  const Case cases[] = {
      {"mmRjour", "Журнал движения автотранспорта", false},
      {"mmDriver", "Водители", false},
      {"mmaTire", "Шины", false},
      {"mmiConst", "Настройка Констант приложения", false},
      {"mmRjour", "Журнал движения автотранспорта", true},
      {"mmiBsp", "Настройка параметров задач", true},
  };
  provideAll();
  for (const Case& c : cases) {
    resetObservations();
    bsp_.ArchiveMode = 0;
    answerParameters({.car = 3});
    const CommandDef* command = findCommand(c.name);
    std::optional<ScopedTarget> missing;
    if (c.withoutParametersWindow)
      replaceParameters({});
    else
      missing.emplace(command->target, CommandRegistry::Handler{});
    EXPECT_EQ(run(c.name), Outcome::NotAvailable) << c.name;
    ASSERT_EQ(messages_.messages.size(), 1u) << c.name;
    EXPECT_EQ(messages_.messages[0].text,
              QString("Функция \"%1\" пока недоступна в этой версии программы.").arg(c.caption))
        << c.name;
    EXPECT_EQ(messages_.messages[0].caption, "ППП \"Ведомир\"") << c.name;
    EXPECT_TRUE(asked_.isEmpty()) << c.name;
    EXPECT_EQ(seen_.calls, 0) << c.name;
    EXPECT_EQ(bsp_.ArchiveMode, 0) << c.name;
    EXPECT_FALSE(counter(c.name)) << c.name;
  }
}

TEST_F(CommandsTest, ErrorsOfTheWorkAreShownWithTheirText) {
  struct Case {
    const char* name;
    std::function<bool()> work;
    const char* text;
  };
  const Case cases[] = {
      {"mmRjour", []() -> bool { throw db::DbError("Нет связи с базой данных"); },
       "Нет связи с базой данных"},
      {"mmRjour", []() -> bool { throw std::runtime_error("Шаблон отчета не найден"); },
       "Шаблон отчета не найден"},
      {"mmDriver", []() -> bool { throw db::DbError("lock conflict on no wait transaction"); },
       "lock conflict on no wait transaction"},
  };
  answerParameters({.car = 3});
  for (const Case& c : cases) {
    resetObservations();
    clearProvided();
    provide(findCommand(c.name)->target, c.work);
    EXPECT_EQ(run(c.name), Outcome::Failed) << c.name;
    ASSERT_EQ(messages_.messages.size(), 1u) << c.name;
    EXPECT_EQ(messages_.messages[0].kind, msg::Kind::Error) << c.name;
    EXPECT_EQ(messages_.messages[0].text, c.text) << c.name;
    EXPECT_FALSE(counter(c.name)) << c.name;
  }

  // A counter that holds no number: the report was shown, the error is told, nothing written.
  clearProvided();
  provideAll();
  db::Query q(base_.db());
  q.setSql("insert into SPCONST (IDCONST, NAME, CNST) values ('mmRamtr', 'Амортизация', 'x')");
  q.exec();
  base_.tr().commit();
  resetObservations();
  EXPECT_EQ(run("mmRamtr"), Outcome::Failed);
  EXPECT_EQ(seen_.calls, 1);
  ASSERT_EQ(messages_.messages.size(), 1u);
  EXPECT_EQ(messages_.messages[0].kind, msg::Kind::Error);
  EXPECT_TRUE(messages_.messages[0].text.contains("mmRamtr"));
  EXPECT_EQ(counter("mmRamtr"), std::make_pair(QString("Амортизация"), QString("x")));
}

TEST_F(CommandsTest, ItemsWithoutActionDoNothing) {
  provideAll();
  answerParameters({});
  for (const char* name : {"mmObjs", "mmConvert", "mmOtchet", "N2"}) {
    resetObservations();
    EXPECT_EQ(run(name), Outcome::NoAction) << name;
    EXPECT_TRUE(asked_.isEmpty()) << name;
    EXPECT_EQ(seen_.calls, 0) << name;
    EXPECT_TRUE(messages_.messages.empty()) << name;
  }
}

}  // namespace

namespace {

TEST_F(CommandsTest, AListWithARegisteredPickerOpensThroughIt) {
  struct Seen {
    int calls = 0;
    int rights = -1;
    bool selectMode = true;
  };
  static Seen seen;
  registerPicker("PickCargo",
                 [](FrameworkContext&, int key, int rights, bool selectMode, QWidget*) {
                   ++seen.calls;
                   seen.rights = rights;
                   seen.selectMode = selectMode;
                   return key;
                 });
  const std::pair<int, int> kinds[] = {{0, 15}, {1, 1}};
  for (const auto& [kind, rights] : kinds) {
    seen = {};
    user_.typ = kind;
    EXPECT_EQ(run("mmCargo"), Outcome::Done);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.rights, rights);
    EXPECT_FALSE(seen.selectMode);  // the menu opens lists for browsing
  }
  EXPECT_TRUE(messages_.messages.empty());
}

}  // namespace
