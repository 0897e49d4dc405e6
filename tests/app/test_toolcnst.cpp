#include "app/accdate.h"
#include "app/bsp.h"
#include "app/datamodule.h"
#include "app/toolcnst.h"
#include "platform/query.h"
#include "support/datamodulefixture.h"
#include "support/messagerecorder.h"
#include "support/modal.h"
#include "support/testdatabase.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using testsupport::MessageRecorder;
using testsupport::onNextModal;
using testsupport::TestDatabase;

namespace {

// Settings of the run as a database with the usual constants gives them.
TBsp usualSettings() {
  TBsp b;
  b.MainChief = "Иванов И.И.";
  b.MainRank = "диспетчер";
  b.SumTimeFrom = QDateTime(QDate(2024, 4, 1), QTime(0, 0));
  b.SumTimeTo = QDateTime(QDate(2024, 10, 31), QTime(0, 0));
  b.WinTimeFrom = QDateTime(QDate(2024, 11, 1), QTime(0, 0));
  b.WinTimeTo = QDateTime(QDate(2025, 3, 31), QTime(23, 59));
  b.WinExtCharge = 7.5;
  b.WinExtBuks = 10;
  b.NightFrom = 22 * 60;
  b.NightTo = 6 * 60;
  b.DecPl = 2;
  b.CreateUch = true;
  return b;
}

ConstantValues usualValues() {
  ConstantValues v = constantsFromBsp(usualSettings());
  v["DIVISION"] = "Автобаза N 1";
  v["ADDRESS"] = "г. Энск, ул. Заводская, 1";
  v["OKPO"] = "12345678";
  return v;
}

TEST(ConstantsWindowRules, TheFieldsFromTheSettingsOfTheRun) {
  const ConstantValues v = constantsFromBsp(usualSettings());
  const std::pair<const char*, const char*> cases[] = {
      {"MAINCHIEF", "Иванов И.И."},
      {"AVTSUMTIMEFROM", "01.04.2024"},
      {"AVTWINTIMETO", "31.03.2025 23:59:00"},
      {"AVTWINEXTCHARGE", "7,5"},
      {"AVTWINEXTBUKS", "10"},
      {"NIGHTTIMEFROMH", "22"},
      {"NIGHTTIMEFROMM", "0"},
      {"NIGHTTIMETOH", "6"},
      {"DECPL", "2"},
      {"CREATEUCH", "-1"},
      {"FACTEQNORM", "0"},
      {"DIVISION", ""},
  };
  for (const auto& [id, text] : cases) EXPECT_EQ(v.value(id), QString::fromUtf8(text)) << id;
  // Every field of the window has its value; they are saved in this order.
  QStringList order;
  for (const ConstantField& f : constantFields()) {
    EXPECT_TRUE(v.contains(f.id)) << f.id.toStdString();
    order << f.id;
  }
  EXPECT_EQ(order.join(' '),
            "MAINCHIEF MAINRANK AVTCHIEF AVTRANK AVTSUMTIMEFROM AVTSUMTIMETO AVTWINTIMEFROM "
            "AVTWINTIMETO AVTWINEXTCHARGE AVTWINEXTBUKS AVTDVD AVTZAM AVTZAMD AVTNG AVTNGD AVTTU "
            "AVTTUD AVTMEX AVTMEXD AVTSG AVTSGD AVTACC AVTACCD DIVISION ADDRESS CREATEUCH "
            "FACTEQNORM NIGHTTIMEFROMH NIGHTTIMEFROMM NIGHTTIMETOH NIGHTTIMETOM TAKEONLYTNKM "
            "GSMFROMPL OKPO DECPL AUTOWRITESUBDIV");
}

TEST(ConstantsWindowRules, ValuesThatCannotBeStoredAreRefusedNamingTheField) {
  const struct {
    const char* id;
    QString text;
    const char* refusedField;  // nullptr: accepted
  } cases[] = {
      {"AVTSUMTIMEFROM", "31.02.2024", "Летнее время : c"},
      {"AVTWINTIMETO", "весна", "Зимнее время : по"},
      {"AVTSUMTIMETO", "", nullptr},  // no date set
      {"AVTSUMTIMETO", "1.5.2024", nullptr},
      {"AVTWINEXTCHARGE", "пять", "Надбавка к летней норме списания ГСМ зимой :"},
      {"AVTWINEXTCHARGE", "", "Надбавка к летней норме списания ГСМ зимой :"},
      {"AVTWINEXTCHARGE", "7.25", nullptr},
      {"AVTWINEXTBUKS", "1,5", "Надбавка линейной нормы при буксировке :"},
      {"NIGHTTIMEFROMH", "x", "Ночное время : c, ч"},
      {"NIGHTTIMEFROMH", "24", "Ночное время : c, ч"},
      {"NIGHTTIMETOM", "60", "Ночное время : по, мин"},
      {"NIGHTTIMETOM", "59", nullptr},
      {"DECPL", "5", "Количество знаков после запятой"},
      {"DECPL", "", "Количество знаков после запятой"},
      {"DECPL", "4", nullptr},
      {"AVTDVD", ";;", "Символ-разделитель для конвертации данных  :"},
      {"AVTDVD", "|", nullptr},
      {"ADDRESS", QString(65, QChar(u'а')), "Адрес подразделения"},
      {"ADDRESS", QString(64, QChar(u'а')), nullptr},
      {"DIVISION", "Цена в ₽", "Наименование подразделения"},
      {"AVTSGD", QString(70, QChar(u'б')), "Утверждающий : Должность"},
  };
  for (const auto& c : cases) {
    ConstantValues v = usualValues();
    v[c.id] = c.text;
    const auto refusal = checkConstants(v, 64);
    if (!c.refusedField) {
      EXPECT_FALSE(refusal) << c.id << " " << c.text.toStdString();
      continue;
    }
    ASSERT_TRUE(refusal) << c.id << " " << c.text.toStdString();
    EXPECT_EQ(refusal->id, c.id);
    EXPECT_TRUE(refusal->message.startsWith(QString("Поле \"%1\": ").arg(c.refusedField)))
        << refusal->message.toStdString();
  }
  EXPECT_FALSE(checkConstants(usualValues(), 64));
}

class ConstantsTest : public testsupport::DataModuleFixture {
 protected:
  // Every constant as another workstation reads it; a missing row is absent.
  QHash<QString, std::optional<QString>> stored() {
    db::Query q(base_.db());
    q.setSql("select IDCONST, CNST from SPCONST");
    QHash<QString, std::optional<QString>> out;
    for (q.open(); !q.eof(); q.next())
      out.insert(q.field(0).asString(), q.field(1).isNull()
                                            ? std::nullopt
                                            : std::optional<QString>(q.field(1).asString()));
    base_.tr().commit();
    return out;
  }
};

TEST_F(ConstantsTest, ASaveWritesEveryConstantAndThenTheSettings) {
  // An older database: some rows missing, the organisation's name null.
  run("delete from SPCONST where IDCONST in ('AVTZAM', 'AUTOWRITESUBDIV', 'OKPO')");
  run("update SPCONST set CNST=null where IDCONST='DIVISION'");
  ConstantValues v = usualValues();
  v["DIVISION"] = "ООО \"Ромашка\" д'Артаньян";  // quotes go in as they are
  v["AVTZAM"] = "Петров П.П.";
  v["NIGHTTIMEFROMH"] = "23";
  v["NIGHTTIMEFROMM"] = "30";
  v["AVTSUMTIMEFROM"] = "1.4.2024";
  v["FACTEQNORM"] = kCheckedText;
  v["AUTOWRITESUBDIV"] = kCheckedText;
  const ConstantsSaveResult r = saveConstants(dm_.DB, dm_.IBTransaction, v, bsp_);
  ASSERT_TRUE(r.saved) << r.message.toStdString();

  const auto rows = stored();
  const std::pair<const char*, const char*> expected[] = {
      {"DIVISION", "ООО \"Ромашка\" д'Артаньян"},
      {"AVTZAM", "Петров П.П."},
      {"OKPO", "12345678"},
      {"AUTOWRITESUBDIV", "-1"},
      {"FACTEQNORM", "-1"},
      {"CREATEUCH", "-1"},
      {"TAKEONLYTNKM", "0"},
      {"AVTSUMTIMEFROM", "01.04.2024"},  // dates in one form
      {"AVTWINTIMETO", "31.03.2025 23:59:00"},
      {"AVTWINEXTCHARGE", "7,5"},
      {"NIGHTTIMEFROMH", "23"},
      {"ADDRESS", "г. Энск, ул. Заводская, 1"},
  };
  for (const auto& [id, text] : expected) EXPECT_EQ(rows.value(id), QString::fromUtf8(text)) << id;
  for (const ConstantField& f : constantFields())
    EXPECT_TRUE(rows.contains(f.id)) << f.id.toStdString();

  EXPECT_EQ(bsp_.NightFrom, 1410);
  EXPECT_EQ(bsp_.NightTo, 360);
  EXPECT_EQ(bsp_.AvtZam, "Петров П.П.");
  EXPECT_TRUE(bsp_.FactEqNorm);
  EXPECT_TRUE(bsp_.AutoWriteSubdiv);
  EXPECT_FALSE(bsp_.GsmFromPl);
  EXPECT_DOUBLE_EQ(bsp_.WinExtCharge, 7.5);
  EXPECT_EQ(bsp_.SumTimeFrom, QDateTime(QDate(2024, 4, 1), QTime(0, 0)));
  EXPECT_EQ(bsp_.DecPl, 2);
}

TEST_F(ConstantsTest, ARefusedOrFailedSaveWritesNothing) {
  const auto before = stored();
  bsp_ = usualSettings();
  const TBsp settings = bsp_;
  auto sameSettings = [&] {
    return bsp_.MainChief == settings.MainChief && bsp_.NightFrom == settings.NightFrom &&
           bsp_.CreateUch == settings.CreateUch && bsp_.SumTimeFrom == settings.SumTimeFrom;
  };

  // Refused by a check: the fields before the bad one are not written either.
  ConstantValues v = usualValues();
  v["MAINCHIEF"] = "Сидоров С.С.";
  v["NIGHTTIMEFROMH"] = "23";
  v["CREATEUCH"] = kUncheckedText;
  v["ADDRESS"] = QString(65, QChar(u'я'));
  ConstantsSaveResult r = saveConstants(dm_.DB, dm_.IBTransaction, v, bsp_);
  EXPECT_FALSE(r.saved);
  EXPECT_EQ(r.field, "ADDRESS");
  EXPECT_TRUE(r.message.contains("Адрес подразделения"));
  EXPECT_EQ(stored(), before);
  EXPECT_TRUE(sameSettings());

  // Failed in the database halfway: another workstation holds the row of OKPO, which comes
  // after the names, the seasons and the night time.
  v["ADDRESS"] = "г. Энск";
  auto other = base_.connectAgain();
  db::Transaction otherTr(*other);
  db::Query lock(*other, &otherTr);
  lock.setSql("update SPCONST set CNST='1' where IDCONST='OKPO'");
  lock.exec();
  r = saveConstants(dm_.DB, dm_.IBTransaction, v, bsp_);
  otherTr.rollback();
  EXPECT_FALSE(r.saved);
  EXPECT_TRUE(r.field.isEmpty());
  EXPECT_TRUE(r.message.startsWith(kSaveFailed)) << r.message.toStdString();
  EXPECT_EQ(stored(), before);
  EXPECT_TRUE(sameSettings());

  // Once the row is free the same values are saved.
  r = saveConstants(dm_.DB, dm_.IBTransaction, v, bsp_);
  EXPECT_TRUE(r.saved) << r.message.toStdString();
  EXPECT_EQ(stored().value("MAINCHIEF"), "Сидоров С.С.");
  EXPECT_EQ(bsp_.MainChief, "Сидоров С.С.");
  EXPECT_FALSE(bsp_.CreateUch);
}

TEST_F(ConstantsTest, TheWindowSavesChangesOfCheckBoxesTooAndRefusesWhatDoesNotFit) {
  bsp_ = usualSettings();
  run("update SPCONST set CNST='Автобаза N 1' where IDCONST='DIVISION'");
  TfmToolCnst w(dm_, bsp_);
  w.show();
  EXPECT_EQ(w.windowTitle(), "Настройка констант ");
  auto line = [&](const char* id) { return qobject_cast<QLineEdit*>(w.field(id)); };
  auto check = [&](const char* id) { return qobject_cast<QCheckBox*>(w.field(id)); };
  EXPECT_EQ(line("DIVISION")->text(), "Автобаза N 1");
  EXPECT_EQ(line("NIGHTTIMEFROMH")->text(), "22");
  EXPECT_EQ(line("AVTWINTIMEFROM")->text(), "01.11.2024");
  EXPECT_TRUE(check("CREATEUCH")->isChecked());
  // Nothing changed yet, though the organisation's name was filled in.
  EXPECT_FALSE(w.saveButton()->isEnabled());

  check("FACTEQNORM")->click();
  EXPECT_TRUE(w.saveButton()->isEnabled());
  check("FACTEQNORM")->click();  // back as loaded
  EXPECT_FALSE(w.saveButton()->isEnabled());
  check("FACTEQNORM")->click();
  w.saveButton()->click();
  EXPECT_FALSE(w.saveButton()->isEnabled());
  EXPECT_TRUE(bsp_.FactEqNorm);
  EXPECT_EQ(stored().value("FACTEQNORM"), "-1");

  QTest::keyClicks(line("NIGHTTIMETOH"), "x");  // no longer a number
  line("ADDRESS")->setText(QString(65, QChar(u'ж')));
  ASSERT_TRUE(w.saveButton()->isEnabled());
  w.saveButton()->click();
  ASSERT_EQ(messages_.messages.size(), 1u);
  EXPECT_EQ(messages_.messages[0].text,
            "Поле \"Адрес подразделения\": не более 64 символов, введено 65.");
  EXPECT_TRUE(w.saveButton()->isEnabled());
  EXPECT_EQ(bsp_.NightTo, 360);
  EXPECT_EQ(stored().value("ADDRESS"), "");
  EXPECT_EQ(stored().value("NIGHTTIMETOH"), "6");
  w.close();
}

// ------------------------------------------------------------------------------ accounting date

TEST(AccountingDate, TheDateComesBackAsLastChosen) {
  const struct { bool confirm; } cases[] = {{true}, {false}};
  for (const auto& c : cases) {
    QDate date(2024, 3, 17);
    onNextModal([&](QWidget* modal) {
      auto* w = qobject_cast<TfmSetAccdate*>(modal);
      ASSERT_NE(w, nullptr);
      EXPECT_EQ(w->windowTitle(), "Установите дату отчета п/л");
      EXPECT_EQ(w->dateEdit()->date(), QDate(2024, 3, 17));
      w->dateEdit()->setDate(QDate(2024, 4, 1));
      (c.confirm ? w->continueButton() : w->noButton())->click();
    });
    EXPECT_EQ(AskAccountingDate(date), c.confirm);
    EXPECT_EQ(date, QDate(2024, 4, 1)) << c.confirm;
  }
  QDate date(2024, 3, 17);
  onNextModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
  EXPECT_FALSE(AskAccountingDate(date));
  EXPECT_EQ(date, QDate(2024, 3, 17));
}

}  // namespace
