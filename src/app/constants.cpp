#include "app/constants.h"

#include "app/bsp.h"

#include <QDateTime>

std::optional<int> constantToInt(const QString& text) {
  bool ok = false;
  const int v = text.trimmed().toInt(&ok);
  return ok ? std::optional<int>(v) : std::nullopt;
}

std::optional<double> constantToReal(const QString& text) {
  QString t = text.trimmed();
  t.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double v = t.toDouble(&ok);
  return ok ? std::optional<double>(v) : std::nullopt;
}

std::optional<QDateTime> constantToDateTime(const QString& text) {
  const QString t = text.trimmed().simplified();
  for (const char* f :
       {"dd.MM.yyyy", "d.M.yyyy", "dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy H:mm:ss", "dd.MM.yyyy HH:mm",
        "dd.MM.yyyy H:mm", "d.M.yyyy H:mm:ss", "d.M.yyyy H:mm"}) {
    const QDateTime dt = QDateTime::fromString(t, QString::fromLatin1(f));
    if (dt.isValid()) return dt;
  }
  return std::nullopt;
}

std::optional<bool> constantToBool(const QString& text) {
  const QString t = text.trimmed();
  if (const auto i = constantToInt(t)) return *i != 0;
  if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
  if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
  return std::nullopt;
}

namespace {

class Loader {
 public:
  Loader(const ConstantRows& rows, QList<ConstantProblem>& problems)
      : rows_(rows), problems_(problems) {}

  // The stored text with trailing blanks removed; nullopt when the row is missing or null.
  // A blank text counts as missing: there is nothing to convert.
  std::optional<QString> text(const QString& id, bool blankIsValue = false) const {
    const auto it = rows_.constFind(id);
    if (it == rows_.constEnd() || !it->has_value()) return std::nullopt;
    QString t = **it;
    while (t.endsWith(QLatin1Char(' '))) t.chop(1);
    if (!blankIsValue && t.trimmed().isEmpty()) return std::nullopt;
    return t;
  }

  void str(const char* id, QString& field) const {
    field = text(QString::fromLatin1(id), true).value_or(QString());
  }

  template <typename T, typename Convert>
  void strict(const char* id, const char* caption, const char* expected, T& field, T missing,
              Convert convert) {
    field = missing;
    const auto t = text(QString::fromLatin1(id));
    if (!t) return;
    if (const auto v = convert(*t)) {
      field = *v;
    } else {
      problems_.append(
          {QString::fromLatin1(id), QString::fromUtf8(caption), *t, QString::fromUtf8(expected)});
    }
  }

  void lenientBool(const char* id, bool& field) const {
    const auto t = text(QString::fromLatin1(id));
    field = t ? constantToBool(*t).value_or(false) : false;
  }

  // Hours (with the default when not a number) times 60, plus the minutes when their row holds
  // a value; no hours row at all starts from 0.
  int nightTime(const char* hoursId, const char* minutesId, int defaultHours) const {
    const auto it = rows_.constFind(QString::fromLatin1(hoursId));
    int minutes = 0;
    if (it != rows_.constEnd() && it->has_value())
      minutes = constantToInt(**it).value_or(defaultHours) * 60;
    const auto m = rows_.constFind(QString::fromLatin1(minutesId));
    if (m != rows_.constEnd() && m->has_value()) minutes += constantToInt(**m).value_or(0);
    return minutes;
  }

 private:
  const ConstantRows& rows_;
  QList<ConstantProblem>& problems_;
};

}  // namespace

QList<ConstantProblem> loadConstants(const ConstantRows& rows, TBsp& b) {
  QList<ConstantProblem> problems;
  Loader l(rows, problems);
  const char* kDate = "дата";
  const char* kInt = "целое число";
  const auto dt = [](const QString& t) { return constantToDateTime(t); };
  const auto i = [](const QString& t) { return constantToInt(t); };
  l.str("AVTISINIT", b.IsInit);
  l.str("MAINCHIEF", b.MainChief);
  l.str("MAINRANK", b.MainRank);
  l.str("AVTCHIEF", b.AvtChief);
  l.str("AVTRANK", b.AvtRank);
  l.strict("AVTSUMTIMEFROM", "Летнее время : c", kDate, b.SumTimeFrom, QDateTime(), dt);
  l.strict("AVTSUMTIMETO", "Летнее время : по", kDate, b.SumTimeTo, QDateTime(), dt);
  l.strict("AVTWINTIMEFROM", "Зимнее время : c", kDate, b.WinTimeFrom, QDateTime(), dt);
  l.strict("AVTWINTIMETO", "Зимнее время : по", kDate, b.WinTimeTo, QDateTime(), dt);
  l.strict("AVTWINEXTCHARGE", "Надбавка к летней норме списания ГСМ зимой :", "число",
           b.WinExtCharge, 0.0, [](const QString& t) { return constantToReal(t); });
  l.strict("AVTWINEXTBUKS", "Надбавка линейной нормы при буксировке :", kInt, b.WinExtBuks, 0, i);
  l.strict("AVTDRIVER", "Последний выбранный водитель", kInt, b.Driver, 0, i);
  l.strict("AVTCAR", "Последнее выбранное транспортное средство", kInt, b.Car, 0, i);
  l.strict("AVTAVK", "Последний выбранный тип транспорта", kInt, b.Avk, 0, i);
  l.strict("AVTSUBDIV", "Последнее выбранное подразделение", kInt, b.Subdiv, 0, i);
  l.strict("AVTCLIENT", "Последний выбранный клиент", kInt, b.Client, 0, i);
  l.strict("AVTTIRE", "Последняя выбранная шина", kInt, b.Tire, 0, i);
  l.strict("AVTAKB", "Последний выбранный аккумулятор", kInt, b.Akb, 0, i);
  l.str("AVTDVD", b.Dvd);
  l.str("AVTZAM", b.AvtZam);
  l.str("AVTZAMD", b.AvtZamD);
  l.str("AVTNG", b.AvtNg);
  l.str("AVTNGD", b.AvtNgD);
  l.str("AVTTU", b.AvtTu);
  l.str("AVTTUD", b.AvtTuD);
  l.str("AVTMEX", b.AvtMex);
  l.str("AVTMEXD", b.AvtMexD);
  l.str("AVTSG", b.AvtSg);
  l.str("AVTSGD", b.AvtSgD);
  l.strict("AVTFUEL", "Последний выбранный вид топлива", kInt, b.Fuel, 0, i);
  l.strict("AVTGSMT", "Последний выбранный вид заправки", kInt, b.GsmT, 0, i);
  l.strict("AVTOBJ", "Последний выбранный объект", kInt, b.Obj, 0, i);
  l.str("AVTACC", b.AvtAcc);
  l.str("AVTACCD", b.AvtAccD);
  const auto strictBool = [](const QString& t) { return constantToBool(t); };
  l.strict("CREATEUCH", "Создавать участок пути на весь пробег п/л", "0 или 1", b.CreateUch, false,
           strictBool);
  l.strict("FACTEQNORM", "Брать фактический расход из нормы", "0 или 1", b.FactEqNorm, false,
           strictBool);
  b.NightFrom = l.nightTime("NIGHTTIMEFROMH", "NIGHTTIMEFROMM", 22);
  b.NightTo = l.nightTime("NIGHTTIMETOH", "NIGHTTIMETOM", 6);
  l.lenientBool("TAKEONLYTNKM", b.TakeOnlyTnkm);
  l.lenientBool("GSMFROMPL", b.GsmFromPl);
  l.strict("CLIENT", "Вариант установки (CLIENT)", kInt, b.ClientMode, 0, i);
  l.strict("DECPL", "Количество знаков после запятой", kInt, b.DecPl, 2, i);
  l.lenientBool("AUTOWRITESUBDIV", b.AutoWriteSubdiv);
  b.RoundMode = 5;
  return problems;
}

QString describeProblems(const QList<ConstantProblem>& problems) {
  QStringList lines;
  for (const ConstantProblem& p : problems) {
    lines << QStringLiteral("%1 («%2»): записано «%3», ожидается %4.")
                 .arg(p.id, p.caption, p.found, p.expected);
  }
  return QStringLiteral(
             "Некоторые константы приложения записаны неверно:\n\n%1\n\nНа этот сеанс "
             "взяты значения по умолчанию. Исправьте их в окне \"Настройка Констант "
             "приложения\" (меню \"Настройка\").")
      .arg(lines.join(QLatin1Char('\n')));
}
