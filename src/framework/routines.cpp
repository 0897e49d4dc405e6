#include "framework/routines.h"

#include "platform/codepage.h"
#include "platform/query.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <optional>
#include <stdexcept>

// ---------------------------------------------------------------------------------------------
// Keyboard layout

namespace {
// The letter keys of the US layout in the order of the Russian letters on the same keys.
const QString& layoutKeys(bool shifted) {
  static const QString plain = QStringLiteral("qwertyuiop[]asdfghjkl;'zxcvbnm,.");
  static const QString shift = QStringLiteral("QWERTYUIOP{}ASDFGHJKL:\"ZXCVBNM<>");
  return shifted ? shift : plain;
}
const QString& russianLetters(bool upper) {
  static const QString lower = QStringLiteral("йцукенгшщзхъфывапролджэячсмитьбю");
  static const QString capital = QStringLiteral("ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮ");
  return upper ? capital : lower;
}
}  // namespace

void ToCyrillicLayout(QString& text, int mode) {
  if (mode != kLayoutLower && mode != kLayoutUpper) return;
  const QString& target = russianLetters(mode == kLayoutUpper);
  for (QChar& c : text) {
    qsizetype i = layoutKeys(false).indexOf(c);
    if (i < 0) i = layoutKeys(true).indexOf(c);
    if (i >= 0) c = target.at(i);
  }
}

QString toCyrillicLayout(const QString& text, int mode) {
  QString out = text;
  ToCyrillicLayout(out, mode);
  return out;
}

// ---------------------------------------------------------------------------------------------
// Amount in words

namespace {
const char16_t* const kHundreds[] = {u"",           u"сто ",      u"двести ",   u"триста ",
                                     u"четыреста ", u"пятьсот ",  u"шестьсот ", u"семьсот ",
                                     u"восемьсот ", u"девятьсот "};
const char16_t* const kTeens[] = {
    u"десять ",     u"одиннадцать ", u"двенадцать ", u"тринадцать ",   u"четырнадцать ",
    u"пятнадцать ", u"шестнадцать ", u"семнадцать ", u"восемнадцать ", u"девятнадцать "};
const char16_t* const kTens[] = {u"",
                                 u"",
                                 u"двадцать ",
                                 u"тридцать ",
                                 u"сорок ",
                                 u"пятьдесят ",
                                 u"шестьдесят ",
                                 u"семьдесят ",
                                 u"восемьдесят ",
                                 u"девяносто "};
const char16_t* const kOnes[] = {u"",      u"один ",  u"два ",  u"три ",    u"четыре ",
                                 u"пять ", u"шесть ", u"семь ", u"восемь ", u"девять "};

// Words of a group of three digits; thousands are feminine ("одна тысяча", "две тысячи").
QString groupWords(int group, bool feminine) {
  QString out = QString::fromUtf16(kHundreds[group / 100]);
  const int tens = group / 10 % 10;
  const int ones = group % 10;
  if (tens == 1) return out + QString::fromUtf16(kTeens[ones]);
  out += QString::fromUtf16(kTens[tens]);
  if (feminine && ones == 1) return out + QStringLiteral("одна ");
  if (feminine && ones == 2) return out + QStringLiteral("две ");
  return out + QString::fromUtf16(kOnes[ones]);
}

const QString& unitWord(int group, const QString& one, const QString& few, const QString& many) {
  const int lastTwo = group % 100;
  const int last = group % 10;
  if (lastTwo >= 11 && lastTwo <= 19) return many;
  if (last == 1) return one;
  if (last >= 2 && last <= 4) return few;
  return many;
}
}  // namespace

QString AmountInWords(qint64 value, const QString& one, const QString& few, const QString& many) {
  if (value < 0 || value > 999'999'999) {
    throw std::out_of_range(
        QStringLiteral("Сумма %1 вне пределов записи прописью (0 - 999 999 999).")
            .arg(value)
            .toStdString());
  }
  static const QString millionForms[] = {QStringLiteral("миллион"), QStringLiteral("миллиона"),
                                         QStringLiteral("миллионов")};
  static const QString thousandForms[] = {QStringLiteral("тысяча"), QStringLiteral("тысячи"),
                                          QStringLiteral("тысяч")};
  const int millions = static_cast<int>(value / 1'000'000);
  const int thousands = static_cast<int>(value / 1000 % 1000);
  const int units = static_cast<int>(value % 1000);

  QString out;
  if (millions != 0)
    out += groupWords(millions, false) +
           unitWord(millions, millionForms[0], millionForms[1], millionForms[2]);
  out += QLatin1Char(' ');
  if (thousands != 0)
    out += groupWords(thousands, true) +
           unitWord(thousands, thousandForms[0], thousandForms[1], thousandForms[2]);
  out += QLatin1Char(' ');
  // The units always carry their word, so that zero still reads "рублей".
  out += groupWords(units, false) + unitWord(units, one, few, many);
  out += QLatin1Char(' ');
  return out;
}

// ---------------------------------------------------------------------------------------------
// Fuel names, initials, periods

QString FuelKind(const QString& fuelName) {
  const QString name = fuelName.toUpper();
  if (name.contains(QStringLiteral("ДИЗТОПЛИВО"))) return QStringLiteral("ДТ");
  if (name.contains(QStringLiteral("АИ"))) return QStringLiteral("АИ");
  if (name.contains(QStringLiteral("А80")) || name.contains(QStringLiteral("А76")))
    return QStringLiteral("А");
  if (name.contains(QStringLiteral("КЕРОСИН"))) return QStringLiteral("КЕРОСИН");
  return {};
}

QString FuelGrade(const QString& fuelName) {
  const QString name = fuelName.toUpper();
  const qsizetype dash = name.indexOf(QLatin1Char('-'));
  if (dash >= 0) {
    const QString rest = name.mid(dash + 1);
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    return blank >= 0 ? rest.left(blank) : rest;
  }
  // Cyrillic and Latin A: both are typed in fuel names.
  if (name.contains(QStringLiteral("А80")) || name.contains(QLatin1String("A80")))
    return QStringLiteral("80");
  if (name.contains(QStringLiteral("А76")) || name.contains(QLatin1String("A76")))
    return QStringLiteral("76");
  return {};
}

QString ShortInitials(const QString& fullName) {
  if (!fullName.contains(QLatin1Char(' '))) return fullName;
  const QStringList words = fullName.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (words.isEmpty()) return {};
  QString out = words.at(0);
  if (words.size() < 2) return out;
  out += QLatin1Char(' ') + words.at(1).left(1) + QLatin1Char('.');
  if (words.size() >= 3) out += words.at(2).left(1) + QLatin1Char('.');
  return out;
}

const QStringList& genitiveMonthNames() {
  static const QStringList names = {
      QStringLiteral("января"),  QStringLiteral("февраля"), QStringLiteral("марта"),
      QStringLiteral("апреля"),  QStringLiteral("мая"),     QStringLiteral("июня"),
      QStringLiteral("июля"),    QStringLiteral("августа"), QStringLiteral("сентября"),
      QStringLiteral("октября"), QStringLiteral("ноября"),  QStringLiteral("декабря")};
  return names;
}

namespace {
QString dayMonthYear(const QDate& d) {
  return QStringLiteral("%1 %2 %3г.")
      .arg(d.day())
      .arg(genitiveMonthNames().at(d.month() - 1))
      .arg(d.year());
}
}  // namespace

QString PeriodText(const QDate& first, const QDate& last) {
  if (!first.isValid() || !last.isValid()) return {};
  if (first == last) return dayMonthYear(first);
  if (first.year() == last.year() && first.month() == last.month())
    return QStringLiteral("%1-%2").arg(first.day()).arg(dayMonthYear(last));
  return dayMonthYear(first) + QStringLiteral(" - ") + dayMonthYear(last);
}

// ---------------------------------------------------------------------------------------------
// Rounding

double RoundDecpl(double value, int decPl) {
  if (decPl > 5) return value;
  if (decPl < 0) decPl = 0;
  // Step by step: a value that rounds up at a lower place carries into the next one
  // (2.4449 -> 2.445 -> 2.45), as the printed totals have always been rounded.
  for (int places = 5; places >= decPl; --places) value = roundDecimal(value, places);
  return value;
}

Decimal4 RoundDecplMoney(Decimal4 value, int decPl) {
  // Rounding a four-decimal value to 5 or 4 places changes nothing.
  if (decPl >= 4) return value;
  if (decPl < 0) decPl = 0;
  const bool negative = value.raw() < 0;
  // The magnitude in unsigned arithmetic: it holds the smallest count too, and a rounding step
  // adds at most one unit, which still fits.
  std::uint64_t a = negative ? std::uint64_t{0} - static_cast<std::uint64_t>(value.raw())
                             : static_cast<std::uint64_t>(value.raw());
  std::uint64_t unit = 1;
  for (int places = 3; places >= decPl; --places) {
    unit *= 10;
    // An exact half goes away from zero, as the floating steps do with their tolerance.
    a = (a / unit + (a % unit >= unit / 2 ? 1 : 0)) * unit;
  }
  const std::uint64_t limit = static_cast<std::uint64_t>(INT64_MAX) + (negative ? 1 : 0);
  if (a > limit) throw std::overflow_error("RoundDecplMoney: the rounded value does not fit");
  return Decimal4::fromRaw(negative ? static_cast<std::int64_t>(std::uint64_t{0} - a)
                                    : static_cast<std::int64_t>(a));
}

// ---------------------------------------------------------------------------------------------
// Code page of the exchange files

QString OemToText(const QByteArray& oem) {
  return CodePage::oem866().decode(oem);
}

QByteArray TextToOem(const QString& text) {
  return CodePage::oem866().encode(text);
}

// ---------------------------------------------------------------------------------------------
// Object lines

void ObjectLines(db::Query& query, QStringList& lines) {
  query.close();
  query.setSql(QStringLiteral("select avobj, name from avobj"));
  query.open();
  for (; !query.eof(); query.next()) {
    lines << QString::number(query.field(QStringLiteral("AVOBJ")).asInt()) + QStringLiteral("  ") +
                 query.field(QStringLiteral("NAME")).asString();
  }
  query.close();
}

int FindLineContaining(const QStringList& lines, const QString& text) {
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (lines.at(i).contains(text)) return static_cast<int>(i);
  }
  return -1;
}

namespace {
// The number before the first blank, when the line begins with one.
std::optional<int> leadingKey(const QString& line) {
  const qsizetype blank = line.indexOf(QLatin1Char(' '));
  if (blank <= 0) return std::nullopt;
  bool ok = false;
  const int n = line.left(blank).toInt(&ok);
  if (!ok) return std::nullopt;
  return n;
}
}  // namespace

int FindObjectLine(const QStringList& lines, int key) {
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (leadingKey(lines.at(i)) == key) return static_cast<int>(i);
  }
  return -1;
}

int LeadingNumber(const QString& line) {
  return leadingKey(line).value_or(0);
}

// ---------------------------------------------------------------------------------------------
// Working copies of workbook templates

namespace {
[[noreturn]] void fail(const QString& message) {
  throw std::runtime_error(message.toStdString());
}

// The lock file a spreadsheet program of the desktop keeps beside a workbook it has open.
// Deleting such a workbook would pull it from under the user, so its name is not free.
bool openInSpreadsheet(const QDir& dir, const QString& name) {
  return QFileInfo::exists(dir.filePath(QStringLiteral(".~lock.") + name + QLatin1Char('#')));
}
}  // namespace

QString NewReportWorkbook(const QString& templateName, const QString& templatesDir,
                          const QString& workDir) {
  const QString templatePath = QDir(templatesDir).filePath(templateName);
  if (!QFileInfo(templatePath).isFile())
    fail(QStringLiteral("Не найден шаблон отчета %1.").arg(QDir::toNativeSeparators(templatePath)));
  if (!QDir().mkpath(workDir))
    fail(QStringLiteral("Не удается создать папку для отчетов %1.")
             .arg(QDir::toNativeSeparators(workDir)));
  const QDir dir(workDir);
  const QString suffix = QFileInfo(templateName).suffix();
  const QString extension = suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;

  for (int n = 0; n <= 99; ++n) {
    const QString name = QStringLiteral("rep%1").arg(n, 2, 10, QLatin1Char('0')) + extension;
    const QString path = dir.absoluteFilePath(name);
    if (openInSpreadsheet(dir, name)) continue;
    const QFileInfo info(path);
    if ((info.exists() || info.isSymLink()) && !QFile::remove(path)) continue;
    QFile source(templatePath);
    if (!source.copy(path))
      fail(QStringLiteral("Не удается скопировать шаблон отчета %1 в %2: %3")
               .arg(QDir::toNativeSeparators(templatePath), QDir::toNativeSeparators(path),
                    source.errorString()));
    return path;
  }
  fail(QStringLiteral("В папке %1 нет свободного имени для отчета: файлы с rep00%2 по rep99%2 "
                      "заняты. Закройте открытые отчеты и повторите.")
           .arg(QDir::toNativeSeparators(dir.absolutePath()), extension));
}
