#include "framework/routines.h"
#include "platform/dberror.h"
#include "platform/query.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>

using testsupport::TestDatabase;

namespace {

// ---------------------------------------------------------------------------------------------

TEST(AmountInWords, GroupsUnitWordsAndBlanks) {
  const struct {
    qint64 value;
    const char* words;
  } cases[] = {
      {0, "  рублей "},
      {1, "  один рубль "},
      {2, "  два рубля "},
      {5, "  пять рублей "},
      {11, "  одиннадцать рублей "},
      {14, "  четырнадцать рублей "},
      {21, "  двадцать один рубль "},
      {101, "  сто один рубль "},
      {1234, " одна тысяча двести тридцать четыре рубля "},
      {2002, " две тысячи два рубля "},
      {11000, " одиннадцать тысяч рублей "},
      {21000, " двадцать одна тысяча рублей "},
      {1000000, "один миллион  рублей "},
      {2000001, "два миллиона  один рубль "},
      {512000112, "пятьсот двенадцать миллионов  сто двенадцать рублей "},
      {999999999,
       "девятьсот девяносто девять миллионов девятьсот девяносто девять тысяч "
       "девятьсот девяносто девять рублей "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AmountInWords(c.value, "рубль", "рубля", "рублей"), QString::fromUtf8(c.words))
        << c.value;
  }
}

TEST(AmountInWords, WithoutUnitWordsTheNumberWordsKeepTheirBlanks) {
  const struct {
    qint64 value;
    const char* words;
  } cases[] = {
      {0, "   "},
      {1234, " одна тысяча двести тридцать четыре  "},
      {3000000, "три миллиона   "},
  };
  for (const auto& c : cases) EXPECT_EQ(AmountInWords(c.value), QString::fromUtf8(c.words));
}

TEST(AmountInWords, RefusesWhatItCannotSpell) {
  for (qint64 v : {qint64{-1}, qint64{1'000'000'000}}) {
    EXPECT_THROW(AmountInWords(v, "рубль", "рубля", "рублей"), std::out_of_range) << v;
  }
}

// ---------------------------------------------------------------------------------------------

struct RoundCase {
  double value;
  int decPl;
  double rounded;
};
const RoundCase kRoundCases[] = {
    {2.4449, 2, 2.45},  // the cascade carries: 2.445, then 2.45
    {2.4449, 3, 2.445},
    {2.4444, 2, 2.44},
    {34.525, 2, 34.53},  // 34.525 is a little less than that in binary
    {-2.005, 2, -2.01},  // away from zero
    {0.125, 2, 0.13},
    {19.5, 0, 20},
    {2.5, 0, 3},  // a half goes up, not to the even integer
    {-0.5, 0, -1},
    {1.234567, 5, 1.23457},
    {1.2345678, 6, 1.2345678},  // more than 5 places: unchanged
    {2.4449, 0, 3},             // carries through every step: 2.445, 2.45, 2.5, 3
    {2.4449, -1, 3},            // a negative count is taken as 0
};

TEST(RoundDecpl, CascadeOfDecimalRoundings) {
  for (const auto& c : kRoundCases) {
    EXPECT_DOUBLE_EQ(RoundDecpl(c.value, c.decPl), c.rounded) << c.value << " " << c.decPl;
  }
}

TEST(RoundDecpl, NotANumberAndInfinityComeBackUnchanged) {
  EXPECT_TRUE(std::isnan(RoundDecpl(std::numeric_limits<double>::quiet_NaN(), 2)));
  EXPECT_EQ(RoundDecpl(std::numeric_limits<double>::infinity(), 2),
            std::numeric_limits<double>::infinity());
  EXPECT_EQ(RoundDecpl(-std::numeric_limits<double>::infinity(), 0),
            -std::numeric_limits<double>::infinity());
}

TEST(RoundDecplMoney, SameCasesOnTheFixedPointType) {
  for (const auto& c : kRoundCases) {
    // Values with more than four decimals cannot be held by the type.
    if (c.decPl > 4 || std::round(c.value * 10000) != c.value * 10000) continue;
    const Decimal4 v = Decimal4::fromDouble(c.value);
    EXPECT_EQ(RoundDecplMoney(v, c.decPl), Decimal4::fromDouble(c.rounded))
        << c.value << " " << c.decPl;
  }
  const Decimal4 v = *Decimal4::parse("1,2345");
  for (int places : {4, 5, 6, 9}) EXPECT_EQ(RoundDecplMoney(v, places), v) << places;
}

TEST(RoundDecplMoney, AgreesWithTheFloatingCascade) {
  // Every count of 1/10000 from -30 to 30, then a sample of amounts up to ten billion.
  // Beyond that the double's relative tolerance outgrows the places it rounds, and only the
  // exact cascade is right.
  const auto agree = [](std::int64_t raw) {
    for (int places = -1; places <= 6; ++places) {
      const Decimal4 exact = RoundDecplMoney(Decimal4::fromRaw(raw), places);
      const double floating = RoundDecpl(static_cast<double>(raw) / 10000, places);
      if (exact != Decimal4::fromDouble(floating)) {
        ADD_FAILURE() << "raw " << raw << " places " << places << ": " << exact.raw() << " vs "
                      << floating;
        return false;
      }
    }
    return true;
  };
  for (std::int64_t raw = -300'000; raw <= 300'000; ++raw) {
    if (!agree(raw)) return;
  }
  std::mt19937_64 gen(20240501);
  std::uniform_int_distribution<std::int64_t> large(-100'000'000'000'000, 100'000'000'000'000);
  for (int i = 0; i < 200'000; ++i) {
    // Half of them end in 5 at the last decimal, the ties that the cascade carries.
    std::int64_t raw = large(gen);
    if (i % 2) raw = raw / 10 * 10 + (raw < 0 ? -5 : 5);
    if (!agree(raw)) return;
  }
}

TEST(RoundDecplMoney, ExtremeCountsRoundOrRefuse) {
  // Near the ends of the count the steps still carry as they do on small values.
  const std::int64_t big = 922'337'203'685'475LL * 10000;
  const struct {
    std::int64_t raw;
    int places;
    std::int64_t rounded;
  } cases[] = {
      {big + 4449, 2, big + 4500},        {-(big + 4449), 2, -(big + 4500)},
      {-(big + 5809), 0, -(big + 10000)}, {INT64_MAX, 4, INT64_MAX},
      {INT64_MIN, 5, INT64_MIN},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundDecplMoney(Decimal4::fromRaw(c.raw), c.places).raw(), c.rounded) << c.raw;
  }
  EXPECT_THROW(RoundDecplMoney(Decimal4::fromRaw(INT64_MAX), 0), std::overflow_error);
  EXPECT_THROW(RoundDecplMoney(Decimal4::fromRaw(INT64_MIN), 0), std::overflow_error);
}

// ---------------------------------------------------------------------------------------------

TEST(OemText, EveryByteRoundTripsOneCharacterEach) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  const QString text = OemToText(all);
  ASSERT_EQ(text.size(), 256);
  EXPECT_EQ(TextToOem(text), all);
  EXPECT_EQ(OemToText(QByteArray("\x80\xAF\xE0\xF0\xFC|5", 7)), QString("АпрЁ№|5"));
  EXPECT_EQ(TextToOem("Иванов И.И."), QByteArray("\x88\xA2\xA0\xAD\xAE\xA2 \x88.\x88.", 11));
}

TEST(OemText, RefusesWhatThePageCannotHold) {
  const struct {
    const char* text;
    const char* refused;
  } cases[] = {{"Итого 5 ₽", "₽"}, {"«Склад»", "«"}, {"ГСМ — АИ-92", "—"}, {"A€", "€"}};
  for (const auto& c : cases) {
    try {
      TextToOem(QString::fromUtf8(c.text));
      ADD_FAILURE() << c.text << " was converted";
    } catch (const db::EncodingError& e) {
      EXPECT_EQ(e.character(), QString::fromUtf8(c.refused));
      EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.refused))) << e.message().toStdString();
    }
  }
}

// ---------------------------------------------------------------------------------------------

TEST(PeriodText, DayMonthAndLongerPeriods) {
  const struct {
    QDate first;
    QDate last;
    const char* text;
  } cases[] = {
      {QDate(2024, 5, 5), QDate(2024, 5, 5), "5 мая 2024г."},
      {QDate(2024, 5, 1), QDate(2024, 5, 31), "1-31 мая 2024г."},
      {QDate(2024, 4, 30), QDate(2024, 5, 2), "30 апреля 2024г. - 2 мая 2024г."},
      {QDate(2023, 12, 1), QDate(2024, 1, 9), "1 декабря 2023г. - 9 января 2024г."},
      {QDate(2023, 3, 1), QDate(2024, 3, 1), "1 марта 2023г. - 1 марта 2024г."},
      {QDate(), QDate(2024, 3, 1), ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PeriodText(c.first, c.last), QString::fromUtf8(c.text)) << c.text;
  }
  EXPECT_EQ(genitiveMonthNames().size(), 12);
}

// ---------------------------------------------------------------------------------------------

TEST(FuelNames, KindAndGrade) {
  const struct {
    const char* name;
    const char* kind;
    const char* grade;
  } cases[] = {
      {"Дизтопливо", "ДТ", ""},
      {"ДИЗТОПЛИВО летнее", "ДТ", ""},
      {"дизТопливо зимнее", "ДТ", ""},
      {"Дизтопливо-Л", "ДТ", "Л"},
      {"АИ-92 Евро", "АИ", "92"},
      {"аи-95", "АИ", "95"},
      {"Бензин АИ-98 Премиум плюс", "АИ", "98"},
      {"А-76", "", "76"},
      {"А76", "А", "76"},
      {"Бензин а80", "А", "80"},
      {"Бензин A80", "", "80"},  // Latin A: the grade is found, the kind is not
      {"Бензин A76", "", "76"},
      {"Керосин", "КЕРОСИН", ""},
      {"Газ пропан", "", ""},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FuelKind(QString::fromUtf8(c.name)), QString::fromUtf8(c.kind)) << c.name;
    EXPECT_EQ(FuelGrade(QString::fromUtf8(c.name)), QString::fromUtf8(c.grade)) << c.name;
  }
}

TEST(ShortInitials, SurnameAndInitials) {
  const struct {
    const char* full;
    const char* shortName;
  } cases[] = {
      {"Иванов Иван Иванович", "Иванов И.И."},
      {"Иванов Иван", "Иванов И."},
      {"Иванов", "Иванов"},
      {"Мамедов Рашид Али оглы", "Мамедов Р.А."},
      {"  Иванов   Иван  Иванович ", "Иванов И.И."},
      {"Иванов ", "Иванов"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShortInitials(QString::fromUtf8(c.full)), QString::fromUtf8(c.shortName)) << c.full;
  }
}

// ---------------------------------------------------------------------------------------------

TEST(ToCyrillicLayout, KeysOfTheLatinLayoutBecomeRussianLetters) {
  const struct {
    const char* typed;
    int mode;
    const char* result;
  } cases[] = {
      {"bdfyjd", kLayoutUpper, "ИВАНОВ"},
      {"BdFyJd", kLayoutUpper, "ИВАНОВ"},
      {"bdfyjd", kLayoutLower, "иванов"},
      {"BDFYJD", kLayoutLower, "иванов"},
      {"[]{};':\",.<>", kLayoutUpper, "ХЪХЪЖЭЖЭБЮБЮ"},
      {"qwertyuiopasdfghjklzxcvbnm", kLayoutLower, "йцукенгшщзфывапролдячсмить"},
      {"12 Иван-q?/`", kLayoutUpper, "12 Иван-Й?/`"},
      {"bdfyjd", 3, "bdfyjd"},
  };
  for (const auto& c : cases) {
    QString text = QString::fromUtf8(c.typed);
    ToCyrillicLayout(text, c.mode);
    EXPECT_EQ(text, QString::fromUtf8(c.result)) << c.typed << " " << c.mode;
    EXPECT_EQ(toCyrillicLayout(QString::fromUtf8(c.typed), c.mode), QString::fromUtf8(c.result));
  }
}

// ---------------------------------------------------------------------------------------------

TEST(ObjectLineSearch, FindLineContainingAndFindObjectLine) {
  const QStringList lines = {"12  Гараж", "1  Склад", "3  Офис 2"};
  const struct {
    const char* text;
    int index;
  } containing[] = {{"12", 0},   {"1", 0},     {"Склад", 1}, {"2", 0},
                    {"Офис", 2}, {"офис", -1}, {"9", -1}};
  for (const auto& c : containing) {
    EXPECT_EQ(FindLineContaining(lines, QString::fromUtf8(c.text)), c.index) << c.text;
  }
  EXPECT_EQ(FindLineContaining({}, "1"), -1);

  const struct {
    int key;
    int index;
  } byKey[] = {{12, 0}, {1, 1}, {3, 2}, {2, -1}, {0, -1}};
  for (const auto& c : byKey) EXPECT_EQ(FindObjectLine(lines, c.key), c.index) << c.key;
  EXPECT_EQ(FindObjectLine({"Склад  1", "0  Hет данных"}, 0), 1);
}

TEST(ObjectLineSearch, LeadingNumber) {
  const struct {
    const char* line;
    int number;
  } cases[] = {{"12  Гараж", 12}, {"0  Hет данных", 0}, {"7 x", 7}, {"Гараж", 0}, {" 12  Гараж", 0},
               {"15", 0},         {"ab  cd", 0},        {"", 0}};
  for (const auto& c : cases)
    EXPECT_EQ(LeadingNumber(QString::fromUtf8(c.line)), c.number) << c.line;
}

TEST(ObjectLines, OneLinePerObjectAppended) {
  TestDatabase base;
  db::Query q(base.db());
  q.sql() << "insert into AVOBJ (AVOBJ, NAME) values (:AVOBJ, :NAME)";
  const struct {
    int key;
    const char* name;
  } rows[] = {{7, "Склад ГСМ"}, {12, "Гараж участка № 2"}};
  for (const auto& r : rows) {
    q.param("AVOBJ").setInt(r.key);
    q.param("NAME").setString(QString::fromUtf8(r.name));
    q.exec();
  }

  QStringList lines = {"first"};
  ObjectLines(q, lines);
  EXPECT_FALSE(q.active());
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines.at(0), "first");
  QStringList added = lines.mid(1);
  added.sort();
  EXPECT_EQ(added, QStringList({"12  Гараж участка № 2", "7  Склад ГСМ"}));
  EXPECT_EQ(LeadingNumber(lines.at(FindObjectLine(lines, 12))), 12);
}

// ---------------------------------------------------------------------------------------------

class NewReportWorkbookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    templates_ = tmp_.filePath("Reports");
    work_ = tmp_.filePath("work");
    ASSERT_TRUE(QDir().mkpath(templates_));
    ASSERT_TRUE(QDir().mkpath(work_));
    write(QDir(templates_).filePath("OtchMigr.xlsx"), "template");
  }
  static void write(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
  }
  static QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  QString work(const QString& name) const { return QDir(work_).filePath(name); }
  // A spreadsheet program has the workbook open.
  void hold(const QString& name) { write(work(".~lock." + name + "#"), "user"); }
  void release(const QString& name) { ASSERT_TRUE(QFile::remove(work(".~lock." + name + "#"))); }
  QString make() { return NewReportWorkbook("OtchMigr.xlsx", templates_, work_); }
  // The Russian message of the error it throws, empty when it throws none.
  template <typename F>
  static QString errorOf(F f) {
    try {
      f();
    } catch (const std::runtime_error& e) {
      return QString::fromUtf8(e.what());
    }
    return {};
  }

  QTemporaryDir tmp_;
  QString templates_;
  QString work_;
};

TEST_F(NewReportWorkbookTest, FirstFreeNameInOrderAndHeldNamesSkipped) {
  EXPECT_EQ(make(), work("rep00.xlsx"));
  EXPECT_EQ(read(work("rep00.xlsx")), "template");

  hold("rep00.xlsx");
  EXPECT_EQ(make(), work("rep01.xlsx"));
  hold("rep01.xlsx");
  // A name that cannot be deleted (here a folder with a file in it) is skipped too.
  ASSERT_TRUE(QDir().mkpath(work("rep02.xlsx/inside")));
  EXPECT_EQ(make(), work("rep03.xlsx"));
  EXPECT_TRUE(QFileInfo(work("rep02.xlsx/inside")).isDir());

  // An old report that nobody holds makes room for the new one.
  write(work("rep00.xlsx"), "old report");
  release("rep00.xlsx");
  EXPECT_EQ(make(), work("rep00.xlsx"));
  EXPECT_EQ(read(work("rep00.xlsx")), "template");
  EXPECT_EQ(read(work("rep01.xlsx")), "template");
}

TEST_F(NewReportWorkbookTest, AllNamesTakenIsAnErrorAndNothingIsTouched) {
  for (int n = 0; n <= 99; ++n) {
    const QString name = QString("rep%1.xlsx").arg(n, 2, 10, QChar('0'));
    write(work(name), "report " + QByteArray::number(n));
    hold(name);
  }
  const QString error = errorOf([&] { make(); });
  EXPECT_TRUE(error.contains("нет свободного имени")) << error.toStdString();
  EXPECT_TRUE(error.contains("rep99.xlsx")) << error.toStdString();
  EXPECT_EQ(read(work("rep00.xlsx")), "report 0");
  EXPECT_EQ(read(work("rep99.xlsx")), "report 99");
}

TEST_F(NewReportWorkbookTest, MissingTemplateOrUnusableFolderIsAnError) {
  QString error = errorOf([&] { NewReportWorkbook("Nope.xlsx", templates_, work_); });
  EXPECT_TRUE(error.contains("Не найден шаблон отчета")) << error.toStdString();
  EXPECT_TRUE(error.contains("Nope.xlsx")) << error.toStdString();
  EXPECT_FALSE(QFileInfo::exists(work("rep00.xlsx")));

  write(tmp_.filePath("plainfile"), "x");
  error =
      errorOf([&] { NewReportWorkbook("OtchMigr.xlsx", templates_, tmp_.filePath("plainfile")); });
  EXPECT_FALSE(error.isEmpty());
}

TEST_F(NewReportWorkbookTest, TheTemplatesExtensionAndANewFolder) {
  write(QDir(templates_).filePath("Akt.xls"), "old format");
  const QString nested = tmp_.filePath("user/reports");
  const QString path = NewReportWorkbook("Akt.xls", templates_, nested);
  EXPECT_EQ(path, QDir(nested).absoluteFilePath("rep00.xls"));
  EXPECT_EQ(read(path), "old format");
}

}  // namespace
