#include "app/toolcnst.h"

#include "app/bsp.h"
#include "app/constants.h"
#include "app/datamodule.h"
#include "app/helpwindow.h"
#include "platform/codepage.h"
#include "platform/dberror.h"
#include "platform/messages.h"
#include "platform/query.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

// ---------------------------------------------------------------------------------- the writer

struct ConstantWriter::Queries {
  Queries(db::Database& db, db::Transaction& tr) : update(db, &tr), insert(db, &tr) {
    update.setSql(QStringLiteral("update SPCONST set CNST=:NEW_CNST where IDCONST=:IDCONST"));
    insert.setSql(QStringLiteral(
        "insert into SPCONST (IDCONST, NAME, CNST) values (:IDCONST, :NAME, :CNST)"));
  }
  db::Query update;
  db::Query insert;
};

ConstantWriter::ConstantWriter(db::Database& db, db::Transaction& tr) : q_(new Queries(db, tr)) {}

ConstantWriter::~ConstantWriter() {
  delete q_;
}

void ConstantWriter::write(const QString& id, const QString& value, const QString& name) {
  q_->update.param(QStringLiteral("NEW_CNST")).setString(value);
  q_->update.param(QStringLiteral("IDCONST")).setString(id);
  q_->update.exec();
  if (q_->update.rowsAffected() > 0) return;
  q_->insert.param(QStringLiteral("IDCONST")).setString(id);
  if (name.isEmpty())
    q_->insert.param(QStringLiteral("NAME")).setNull();
  else
    q_->insert.param(QStringLiteral("NAME")).setString(name);
  q_->insert.param(QStringLiteral("CNST")).setString(value);
  q_->insert.exec();
}

// ---------------------------------------------------------------------------------- the fields

namespace {

const QString kNameHeader = QStringLiteral("Фамилия И.О.");
const QString kPostHeader = QStringLiteral("Должность");

// The people who sign documents: the row's caption, the constants of the name and of the post.
struct Signatory {
  const char* caption;
  const char* name;
  const char* post;
};
const Signatory kSignatories[] = {
    {"Диспетчер (техник) :", "MAINCHIEF", "MAINRANK"},
    {"Нач. автот.участка :", "AVTCHIEF", "AVTRANK"},
    {"Зам. нач. участка :", "AVTZAM", "AVTZAMD"},
    {"Начальник гаража :", "AVTNG", "AVTNGD"},
    {"Техник по учету :", "AVTTU", "AVTTUD"},
    {"Механик :", "AVTMEX", "AVTMEXD"},
    {"Утверждающий :", "AVTSG", "AVTSGD"},
    {"Аккумуляторщик :", "AVTACC", "AVTACCD"},
};

QList<ConstantField> buildFields() {
  using K = ConstantField::Kind;
  QList<ConstantField> f;
  auto add = [&f](const char* id, const QString& caption, K kind) {
    f.append({QString::fromLatin1(id), caption, kind});
  };
  auto person = [&](int i) {
    const Signatory& s = kSignatories[i];
    add(s.name, QString::fromUtf8(s.caption) + QLatin1Char(' ') + kNameHeader, K::Text);
    add(s.post, QString::fromUtf8(s.caption) + QLatin1Char(' ') + kPostHeader, K::Text);
  };
  person(0);
  person(1);
  add("AVTSUMTIMEFROM", QStringLiteral("Летнее время : c"), K::Date);
  add("AVTSUMTIMETO", QStringLiteral("Летнее время : по"), K::Date);
  add("AVTWINTIMEFROM", QStringLiteral("Зимнее время : c"), K::Date);
  add("AVTWINTIMETO", QStringLiteral("Зимнее время : по"), K::Date);
  add("AVTWINEXTCHARGE", QStringLiteral("Надбавка к летней норме списания ГСМ зимой :"), K::Real);
  add("AVTWINEXTBUKS", QStringLiteral("Надбавка линейной нормы при буксировке :"), K::Integer);
  add("AVTDVD", QStringLiteral("Символ-разделитель для конвертации данных  :"), K::Separator);
  for (int i = 2; i < int(std::size(kSignatories)); ++i) person(i);
  add("DIVISION", QStringLiteral("Наименование подразделения"), K::Text);
  add("ADDRESS", QStringLiteral("Адрес подразделения"), K::Text);
  add("CREATEUCH", QStringLiteral("Создавать участок пути на весь пробег п/л"), K::Check);
  add("FACTEQNORM", QStringLiteral("Брать фактический расход из нормы"), K::Check);
  add("NIGHTTIMEFROMH", QStringLiteral("Ночное время : c, ч"), K::Hours);
  add("NIGHTTIMEFROMM", QStringLiteral("Ночное время : c, мин"), K::Minutes);
  add("NIGHTTIMETOH", QStringLiteral("Ночное время : по, ч"), K::Hours);
  add("NIGHTTIMETOM", QStringLiteral("Ночное время : по, мин"), K::Minutes);
  add("TAKEONLYTNKM", QStringLiteral("Переносить с обратной стороны п/л только тоннокилометры"),
      K::Check);
  add("GSMFROMPL", QStringLiteral("Формировать заправки по лицевой стороне п/л"), K::Check);
  add("OKPO", QStringLiteral("ОКПО"), K::Text);
  add("DECPL", QStringLiteral("Количество знаков после запятой"), K::Decimals);
  add("AUTOWRITESUBDIV",
      QStringLiteral("Заполнять заправки с незаполненным подразделением при вводе новой заправки"),
      K::Check);
  return f;
}

// Text constants and their fields in the settings of the run.
const std::pair<const char*, QString TBsp::*> kTextFields[] = {
    {"MAINCHIEF", &TBsp::MainChief}, {"MAINRANK", &TBsp::MainRank}, {"AVTCHIEF", &TBsp::AvtChief},
    {"AVTRANK", &TBsp::AvtRank},     {"AVTDVD", &TBsp::Dvd},        {"AVTZAM", &TBsp::AvtZam},
    {"AVTZAMD", &TBsp::AvtZamD},     {"AVTNG", &TBsp::AvtNg},       {"AVTNGD", &TBsp::AvtNgD},
    {"AVTTU", &TBsp::AvtTu},         {"AVTTUD", &TBsp::AvtTuD},     {"AVTMEX", &TBsp::AvtMex},
    {"AVTMEXD", &TBsp::AvtMexD},     {"AVTSG", &TBsp::AvtSg},       {"AVTSGD", &TBsp::AvtSgD},
    {"AVTACC", &TBsp::AvtAcc},       {"AVTACCD", &TBsp::AvtAccD},
};
const std::pair<const char*, QDateTime TBsp::*> kDateFields[] = {
    {"AVTSUMTIMEFROM", &TBsp::SumTimeFrom},
    {"AVTSUMTIMETO", &TBsp::SumTimeTo},
    {"AVTWINTIMEFROM", &TBsp::WinTimeFrom},
    {"AVTWINTIMETO", &TBsp::WinTimeTo},
};
const std::pair<const char*, bool TBsp::*> kCheckFields[] = {
    {"CREATEUCH", &TBsp::CreateUch},
    {"FACTEQNORM", &TBsp::FactEqNorm},
    {"TAKEONLYTNKM", &TBsp::TakeOnlyTnkm},
    {"GSMFROMPL", &TBsp::GsmFromPl},
    {"AUTOWRITESUBDIV", &TBsp::AutoWriteSubdiv},
};
const char* const kOrganisation[] = {"DIVISION", "ADDRESS", "OKPO"};

QString id(const char* latin) {
  return QString::fromLatin1(latin);
}

QString dateText(const QDateTime& dt) {
  if (!dt.isValid()) return {};
  return dt.toString(dt.time() == QTime(0, 0) ? QStringLiteral("dd.MM.yyyy")
                                              : QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

QString realText(double v) {
  return QString::number(v, 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString chopped(QString s) {
  while (s.endsWith(QLatin1Char(' '))) s.chop(1);
  return s;
}

QString fieldMessage(const ConstantField& f, const QString& what) {
  return QStringLiteral("Поле \"%1\": %2").arg(f.caption, what);
}

// Why one field cannot be stored, empty when it can.
QString problemOf(const ConstantField& f, const QString& value, int columnLength) {
  const QString t = value.trimmed();
  auto range = [&](int low, int high) -> QString {
    if (t.isEmpty()) return fieldMessage(f, QStringLiteral("значение не введено."));
    const auto v = constantToInt(t);
    if (!v) return fieldMessage(f, QStringLiteral("\"%1\" не является целым числом.").arg(t));
    if (*v < low || *v > high)
      return fieldMessage(f, QStringLiteral("допустимы значения от %1 до %2.").arg(low).arg(high));
    return {};
  };
  switch (f.kind) {
    case ConstantField::Check:
      return {};
    case ConstantField::Date:
      if (!t.isEmpty() && !constantToDateTime(t))
        return fieldMessage(f, QStringLiteral("\"%1\" не является датой (дд.мм.гггг).").arg(t));
      break;
    case ConstantField::Real:
      if (t.isEmpty()) return fieldMessage(f, QStringLiteral("значение не введено."));
      if (!constantToReal(t))
        return fieldMessage(f, QStringLiteral("\"%1\" не является числом.").arg(t));
      break;
    case ConstantField::Integer:
      if (t.isEmpty()) return fieldMessage(f, QStringLiteral("значение не введено."));
      if (!constantToInt(t))
        return fieldMessage(f, QStringLiteral("\"%1\" не является целым числом.").arg(t));
      break;
    case ConstantField::Hours:
      return range(0, 23);
    case ConstantField::Minutes:
      return range(0, 59);
    case ConstantField::Decimals:
      // A fuel quantity is kept with four decimals: more places would show digits never stored.
      return range(0, 4);
    case ConstantField::Separator:
      if (value.size() > 1)
        return fieldMessage(f, QStringLiteral("разделитель должен быть одним символом."));
      break;
    case ConstantField::Text:
      break;
  }
  const QString stored = storedText(f, value);
  if (stored.size() > columnLength)
    return fieldMessage(
        f,
        QStringLiteral("не более %1 символов, введено %2.").arg(columnLength).arg(stored.size()));
  const qsizetype bad = CodePage::win1251().firstUnmappable(stored);
  if (bad >= 0)
    return fieldMessage(
        f, QStringLiteral("символ \"%1\" не может быть записан в базу данных.").arg(stored[bad]));
  return {};
}

}  // namespace

const QList<ConstantField>& constantFields() {
  static const QList<ConstantField> fields = buildFields();
  return fields;
}

const ConstantField* findConstantField(const QString& id) {
  for (const ConstantField& f : constantFields())
    if (f.id == id) return &f;
  return nullptr;
}

ConstantValues constantsFromBsp(const TBsp& b) {
  ConstantValues v;
  for (const auto& [name, member] : kTextFields) v[id(name)] = b.*member;
  for (const auto& [name, member] : kDateFields) v[id(name)] = dateText(b.*member);
  for (const auto& [name, member] : kCheckFields)
    v[id(name)] = b.*member ? kCheckedText : kUncheckedText;
  v[QStringLiteral("AVTWINEXTCHARGE")] = realText(b.WinExtCharge);
  v[QStringLiteral("AVTWINEXTBUKS")] = QString::number(b.WinExtBuks);
  v[QStringLiteral("NIGHTTIMEFROMH")] = QString::number(b.NightFrom / 60);
  v[QStringLiteral("NIGHTTIMEFROMM")] = QString::number(b.NightFrom % 60);
  v[QStringLiteral("NIGHTTIMETOH")] = QString::number(b.NightTo / 60);
  v[QStringLiteral("NIGHTTIMETOM")] = QString::number(b.NightTo % 60);
  v[QStringLiteral("DECPL")] = QString::number(b.DecPl);
  for (const char* name : kOrganisation) v[id(name)] = QString();
  return v;
}

void readOrganisation(db::Query& q, ConstantValues& values) {
  q.close();
  q.setSql(QStringLiteral("select CNST from SPCONST where IDCONST=:IDCONST"));
  for (const char* name : kOrganisation) {
    q.param(QStringLiteral("IDCONST")).setString(id(name));
    q.open();
    values[id(name)] = q.isEmpty() ? QString() : chopped(q.field(0).asString());
    q.close();
  }
}

QString storedText(const ConstantField& f, const QString& value) {
  switch (f.kind) {
    case ConstantField::Date: {
      const auto dt = constantToDateTime(value);
      return dt ? dateText(*dt) : value.trimmed();
    }
    case ConstantField::Real:
    case ConstantField::Integer:
    case ConstantField::Hours:
    case ConstantField::Minutes:
    case ConstantField::Decimals:
      return value.trimmed();
    case ConstantField::Check:
      return value == kCheckedText ? kCheckedText : kUncheckedText;
    case ConstantField::Text:
    case ConstantField::Separator:
      break;
  }
  return value;
}

std::optional<ConstantRefusal> checkConstants(const ConstantValues& values, int columnLength) {
  for (const ConstantField& f : constantFields()) {
    const QString problem = problemOf(f, values.value(f.id), columnLength);
    if (!problem.isEmpty()) return ConstantRefusal{f.id, problem};
  }
  return std::nullopt;
}

void applyConstants(const ConstantValues& v, TBsp& b) {
  const auto text = [&v](const char* name) { return v.value(id(name)); };
  for (const auto& [name, member] : kTextFields) b.*member = chopped(text(name));
  for (const auto& [name, member] : kDateFields)
    b.*member = constantToDateTime(text(name)).value_or(QDateTime());
  for (const auto& [name, member] : kCheckFields) b.*member = text(name) == kCheckedText;
  b.WinExtCharge = constantToReal(text("AVTWINEXTCHARGE")).value_or(0);
  b.WinExtBuks = constantToInt(text("AVTWINEXTBUKS")).value_or(0);
  b.NightFrom = constantToInt(text("NIGHTTIMEFROMH")).value_or(0) * 60 +
                constantToInt(text("NIGHTTIMEFROMM")).value_or(0);
  b.NightTo = constantToInt(text("NIGHTTIMETOH")).value_or(0) * 60 +
              constantToInt(text("NIGHTTIMETOM")).value_or(0);
  b.DecPl = constantToInt(text("DECPL")).value_or(0);
}

int constantColumnLength(db::Database& db, db::Transaction& tr) {
  db::Query q(db, &tr);
  q.setSql(QStringLiteral("select CNST from SPCONST where 1=0"));
  q.prepare();
  return q.fieldLength(0);
}

ConstantsSaveResult saveConstants(db::Database& db, db::Transaction& tr,
                                  const ConstantValues& values, TBsp& bsp) {
  ConstantsSaveResult result;
  try {
    if (const auto refusal = checkConstants(values, constantColumnLength(db, tr))) {
      result.field = refusal->id;
      result.message = refusal->message;
      return result;
    }
    db::TransactionGuard guard(tr);
    ConstantWriter writer(db, tr);
    for (const ConstantField& f : constantFields()) {
      // A new ADDRESS row carries the caption the upgrade gives it.
      const QString name =
          f.id == QStringLiteral("ADDRESS") ? QStringLiteral("Адрес организации") : QString();
      writer.write(f.id, storedText(f, values.value(f.id)), name);
    }
    guard.commit();
  } catch (const db::DbError& e) {
    result.message = kSaveFailed + QStringLiteral("\n\n") + e.message();
    return result;
  }
  applyConstants(values, bsp);
  result.saved = true;
  return result;
}

// ---------------------------------------------------------------------------------- the window

TfmToolCnst::TfmToolCnst(TDM& dm, TBsp& bsp, QWidget* parent)
    : QDialog(parent), dm_(dm), bsp_(bsp) {
  setObjectName(QStringLiteral("fmToolCnst"));
  setWindowTitle(QStringLiteral("Настройка констант "));

  auto* people = new QGroupBox;
  auto* pg = new QGridLayout(people);
  pg->addWidget(new QLabel(kNameHeader), 0, 1);
  pg->addWidget(new QLabel(kPostHeader), 0, 2);
  int row = 1;
  for (const Signatory& s : kSignatories) {
    pg->addWidget(new QLabel(QString::fromUtf8(s.caption)), row, 0);
    pg->addWidget(addLine(id(s.name)), row, 1);
    pg->addWidget(addLine(id(s.post)), row, 2);
    ++row;
  }

  auto* rules = new QGroupBox;
  auto* rg = new QGridLayout(rules);
  auto period = [&](int r, const QString& caption, const char* from, const char* to) {
    rg->addWidget(new QLabel(caption), r, 0);
    rg->addWidget(addLine(id(from), 19), r, 1);
    rg->addWidget(new QLabel(QStringLiteral("по")), r, 2);
    rg->addWidget(addLine(id(to), 19), r, 3);
  };
  period(0, QStringLiteral("Летнее время : c"), "AVTSUMTIMEFROM", "AVTSUMTIMETO");
  period(1, QStringLiteral("Зимнее время : c"), "AVTWINTIMEFROM", "AVTWINTIMETO");
  auto night = new QHBoxLayout;
  auto hoursAndMinutes = [&](const char* h, const char* m) {
    night->addWidget(addLine(id(h), 2));
    night->addWidget(new QLabel(QStringLiteral("ч")));
    night->addWidget(addLine(id(m), 2));
    night->addWidget(new QLabel(QStringLiteral("мин")));
  };
  hoursAndMinutes("NIGHTTIMEFROMH", "NIGHTTIMEFROMM");
  night->addWidget(new QLabel(QStringLiteral("по")));
  hoursAndMinutes("NIGHTTIMETOH", "NIGHTTIMETOM");
  night->addStretch();
  rg->addWidget(new QLabel(QStringLiteral("Ночное время : c")), 2, 0);
  rg->addLayout(night, 2, 1, 1, 3);
  auto single = [&](int r, const QString& caption, const char* name, int width,
                    const QString& unit = {}) {
    rg->addWidget(new QLabel(caption), r, 0);
    auto* line = new QHBoxLayout;
    line->addWidget(addLine(id(name), width));
    if (!unit.isEmpty()) line->addWidget(new QLabel(unit));
    line->addStretch();
    rg->addLayout(line, r, 1, 1, 3);
  };
  single(3, QStringLiteral("Надбавка к летней норме списания ГСМ зимой :"), "AVTWINEXTCHARGE", 6,
         QStringLiteral("%"));
  single(4, QStringLiteral("Надбавка линейной нормы при буксировке :"), "AVTWINEXTBUKS", 6,
         QStringLiteral("%"));
  single(5, QStringLiteral("Символ-разделитель для конвертации данных  :"), "AVTDVD", 2);
  single(6, QStringLiteral("Количество знаков после запятой"), "DECPL", 2);

  auto* organisation = new QGroupBox;
  auto* og = new QGridLayout(organisation);
  og->addWidget(new QLabel(QStringLiteral("Наименование подразделения")), 0, 0);
  og->addWidget(addLine(QStringLiteral("DIVISION")), 0, 1);
  og->addWidget(new QLabel(QStringLiteral("Адрес подразделения")), 1, 0);
  og->addWidget(addLine(QStringLiteral("ADDRESS")), 1, 1);
  og->addWidget(new QLabel(QStringLiteral("ОКПО")), 2, 0);
  og->addWidget(addLine(QStringLiteral("OKPO"), 20), 2, 1, Qt::AlignLeft);

  auto* switches = new QGroupBox;
  auto* sl = new QVBoxLayout(switches);
  for (const char* name :
       {"CREATEUCH", "FACTEQNORM", "TAKEONLYTNKM", "GSMFROMPL", "AUTOWRITESUBDIV"})
    sl->addWidget(addCheck(id(name)));

  btSave_ = new QPushButton(QStringLiteral("Сохранить"));
  btExit_ = new QPushButton(QStringLiteral("Выход"));
  btHelp_ = new QPushButton(QStringLiteral("Помощь"));
  for (QPushButton* b : {btSave_, btExit_, btHelp_}) b->setAutoDefault(false);
  btSave_->setEnabled(false);
  connect(btSave_, &QPushButton::clicked, this, [this] { save(); });
  connect(btExit_, &QPushButton::clicked, this, &QDialog::reject);
  connect(btHelp_, &QPushButton::clicked, this, [this] {
    HelpWindow help(this);
    help.exec();
  });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btSave_);
  buttons->addWidget(btExit_);
  buttons->addWidget(btHelp_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(people);
  layout->addWidget(rules);
  layout->addWidget(organisation);
  layout->addWidget(switches);
  layout->addLayout(buttons);
}

QLineEdit* TfmToolCnst::addLine(const QString& name, int width) {
  auto* e = new QLineEdit;
  e->setObjectName(QStringLiteral("dbe") + name);
  if (const ConstantField* f = findConstantField(name)) e->setToolTip(f->caption);
  if (width > 0) e->setMaximumWidth(e->fontMetrics().averageCharWidth() * width + 16);
  // Whatever is typed can be saved: the check at saving says what does not fit.
  connect(e, &QLineEdit::textChanged, this, &TfmToolCnst::updateSaveButton);
  fields_.insert(name, e);
  return e;
}

QCheckBox* TfmToolCnst::addCheck(const QString& name) {
  const ConstantField* f = findConstantField(name);
  auto* c = new QCheckBox(f ? f->caption : name);
  c->setObjectName(QStringLiteral("ch") + name);
  connect(c, &QCheckBox::toggled, this, &TfmToolCnst::updateSaveButton);
  fields_.insert(name, c);
  return c;
}

ConstantValues TfmToolCnst::values() const {
  ConstantValues v;
  for (auto it = fields_.constBegin(); it != fields_.constEnd(); ++it) {
    if (auto* e = qobject_cast<QLineEdit*>(it.value()))
      v[it.key()] = e->text();
    else if (auto* c = qobject_cast<QCheckBox*>(it.value()))
      v[it.key()] = c->isChecked() ? kCheckedText : kUncheckedText;
  }
  return v;
}

void TfmToolCnst::load() {
  ConstantValues v = constantsFromBsp(bsp_);
  readOrganisation(dm_.qryTemp, v);
  for (auto it = v.constBegin(); it != v.constEnd(); ++it) {
    QWidget* w = fields_.value(it.key());
    const QSignalBlocker block(w);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
      e->setText(it.value());
      e->setCursorPosition(0);
    } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
      c->setChecked(it.value() == kCheckedText);
    }
  }
  loaded_ = values();
  updateSaveButton();
}

void TfmToolCnst::updateSaveButton() {
  // Anything that differs from what was loaded or saved last can be saved, check boxes too.
  btSave_->setEnabled(values() != loaded_);
}

bool TfmToolCnst::save() {
  const ConstantValues v = values();
  const ConstantsSaveResult r = saveConstants(dm_.DB, dm_.IBTransaction, v, bsp_);
  if (!r.saved) {
    if (r.field.isEmpty()) {
      msg::show(msg::Kind::Plain, r.message);
    } else {
      msg::warning(r.message, QStringLiteral("Внимание"));
      if (QWidget* w = fields_.value(r.field)) w->setFocus();
    }
    return false;
  }
  loaded_ = v;
  updateSaveButton();
  return true;
}

void TfmToolCnst::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (loadedOnce_) return;
  loadedOnce_ = true;
  try {
    load();
  } catch (const db::DbError& err) {
    msg::error(err.message());
  }
}

void TfmToolCnst::keyPressEvent(QKeyEvent* e) {
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
      !qobject_cast<QPushButton*>(focusWidget())) {
    focusNextChild();
    return;
  }
  QDialog::keyPressEvent(e);
}

void ShowConstantsWindow(TDM& dm, TBsp& bsp, QWidget* parent) {
  TfmToolCnst w(dm, bsp, parent);
  w.exec();
}
