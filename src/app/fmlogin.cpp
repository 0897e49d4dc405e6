#include "app/fmlogin.h"

#include "app/bsp.h"
#include "app/datamodule.h"
#include "platform/inifile.h"
#include "platform/messages.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

QString defaultFilePicker(QWidget* parent, const QString& current, const QStringList& filters) {
  QFileDialog dialog(parent, QStringLiteral("Укажите базу данных"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(filters);
  if (!current.isEmpty()) {
    dialog.selectFile(current);
    // Our own databases end in .fdb; show them when the current one does.
    for (const QString& f : filters)
      if (f.contains(QLatin1String("*.") + QFileInfo(current).suffix())) dialog.selectNameFilter(f);
  }
  dialog.setDefaultSuffix(
      filters.value(0).section(QStringLiteral("*."), 1).section(QLatin1Char(')'), 0, 0));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

QStringList filtersFor(const QString& title, const QString& ext, bool ours) {
  QStringList f{QStringLiteral("База данных %1 (*.%2)").arg(title, ext)};
  if (ours) f << QStringLiteral("База данных Firebird (*.fdb)");
  f << QStringLiteral("Все файлы (*)");
  return f;
}

}  // namespace

TfmLogin::TfmLogin(IniFile& ini, TBsp& bsp, const QString& commandLinePath, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      ini_(ini),
      bsp_(bsp) {
  setWindowTitle(QStringLiteral("ППП \"Ведомир\""));
  pages_ = new QTabWidget(this);

  auto* auth = new QWidget;
  auto* title = new QLabel(QStringLiteral("Контроль права доступа"));
  QFont tf = title->font();
  tf.setBold(true);
  tf.setPointSize(tf.pointSize() + 3);
  title->setFont(tf);
  auto* logo = new QLabel(QStringLiteral("Ведомир"));
  logo->setObjectName(QStringLiteral("logo"));
  logo->setAlignment(Qt::AlignCenter);
  logo->setMinimumSize(96, 96);
  logo->setStyleSheet(QStringLiteral(
      "QLabel#logo { background: #2f5d8a; color: white; font-weight: bold; border-radius: 8px; }"));
  edName_ = new QLineEdit;
  edPassword_ = new QLineEdit;
  edPassword_->setEchoMode(QLineEdit::Password);
  edPassword_->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // '*'
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Пользователь"), edName_);
  form->addRow(QStringLiteral("Пароль"), edPassword_);
  auto* authLayout = new QGridLayout(auth);
  authLayout->addWidget(title, 0, 0, 1, 2, Qt::AlignCenter);
  authLayout->addWidget(logo, 1, 0);
  authLayout->addLayout(form, 1, 1);
  pages_->addTab(auth, QStringLiteral("Авторизация пользователя"));

  auto* paths = new QWidget;
  auto* grid = new QGridLayout(paths);
  auto addPath = [&](int row, const QString& label, bool editable, QString TBsp::*field,
                     const QStringList& filters) {
    auto* edit = new QLineEdit;
    edit->setReadOnly(!editable);
    edit->setMinimumWidth(320);
    auto* button = new QToolButton;
    button->setText(QStringLiteral("..."));
    connect(button, &QToolButton::clicked, this,
            [this, edit, field, filters] { pickPath(edit, field, filters); });
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(button, row, 2);
    return edit;
  };
  edDbPath_ = addPath(0, QStringLiteral("БД InterBase :"), true, &TBsp::DbPath,
                      filtersFor(QStringLiteral("InterBase"), QStringLiteral("gdb"), true));
  edGrz_ = addPath(1, QStringLiteral("БД ГРЗ  :"), false, &TBsp::GrzPath,
                   filtersFor(QStringLiteral("ГРЗ"), QStringLiteral("bas"), false));
  edLnvj_ = addPath(2, QStringLiteral("БД ЛНВЖ :"), false, &TBsp::LnvjPath,
                    filtersFor(QStringLiteral("ЛНВЖ"), QStringLiteral("bas"), false));
  edVrj_ = addPath(3, QStringLiteral("БД ВРЖ :"), false, &TBsp::VrjPath,
                   filtersFor(QStringLiteral("ВРЖ"), QStringLiteral("bas"), false));
  connect(edDbPath_, &QLineEdit::editingFinished, this,
          [this] { bsp_.DbPath = edDbPath_->text(); });
  cbFontSize_ = new QComboBox;
  cbFontSize_->addItems({QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10")});
  cbDecimals_ = new QComboBox;
  cbDecimals_->addItems(
      {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
  grid->addWidget(new QLabel(QStringLiteral("Размер шрифта")), 4, 0);
  grid->addWidget(cbFontSize_, 4, 1, Qt::AlignLeft);
  grid->addWidget(new QLabel(QStringLiteral("Кол-во знаков после запятой")), 5, 0);
  grid->addWidget(cbDecimals_, 5, 1, Qt::AlignLeft);
  pages_->addTab(paths, QStringLiteral("Путь к БД"));

  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton(QStringLiteral("Ввод"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // F7 anywhere in the window: the window sees keys before its controls do.
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
  installEventFilter(this);

  QString userName;
  readLoginSettings(ini_, bsp_, userName);
  edName_->setText(userName);
  if (!commandLinePath.isEmpty()) bsp_.DbPath = commandLinePath;

  pickFile_ = [this](const QString& current, const QStringList& filters) {
    return defaultFilePicker(this, current, filters);
  };
  chooseBase_ = [this] { return ChooseBase(ini_, this); };
}

void TfmLogin::showEvent(QShowEvent* e) {
  edDbPath_->setText(bsp_.DbPath);
  edGrz_->setText(bsp_.GrzPath);
  edLnvj_->setText(bsp_.LnvjPath);
  edVrj_->setText(bsp_.VrjPath);
  cbFontSize_->setCurrentIndex(cbFontSize_->findText(QString::number(bsp_.FontSize)));
  cbDecimals_->setCurrentIndex(cbDecimals_->findText(QString::number(bsp_.CountNumber)));
  pages_->setCurrentIndex(0);
  QDialog::showEvent(e);
  (edName_->text().isEmpty() ? edName_ : edPassword_)->setFocus();
}

bool TfmLogin::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F7) {
    takeBase();
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

void TfmLogin::takeBase() {
  const QString path = chooseBase_();
  if (path.isEmpty()) return;
  bsp_.DbPath = path;
  edDbPath_->setText(path);
}

void TfmLogin::pickPath(QLineEdit* edit, QString TBsp::*field, const QStringList& filters) {
  const QString chosen = pickFile_(bsp_.*field, filters);
  // A cancelled dialog keeps the path that was there.
  if (chosen.isEmpty()) return;
  bsp_.*field = chosen;
  edit->setText(chosen);
}

LoginEntry TfmLogin::entry() const {
  return {edName_->text(), edPassword_->text()};
}

void TfmLogin::done(int result) {
  bsp_.DbPath = edDbPath_->text();
  if (cbFontSize_->currentIndex() >= 0) bsp_.FontSize = cbFontSize_->currentText().toInt();
  if (cbDecimals_->currentIndex() >= 0) bsp_.CountNumber = cbDecimals_->currentText().toInt();
  try {
    writeLoginSettings(ini_, bsp_, edName_->text());
  } catch (const std::exception& e) {
    msg::warning(QString::fromUtf8(e.what()));
  }
  QDialog::done(result);
}

// ---------------------------------------------------------------------------------------------

TfmGetBase::TfmGetBase(const QStringList& paths, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Выбор базы"));
  list_ = new QListWidget;
  list_->addItems(paths);
  if (!paths.isEmpty()) list_->setCurrentRow(0);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { pick(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  resize(420, 240);
}

void TfmGetBase::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    pick();
    return;
  }
  QDialog::keyPressEvent(e);
}

void TfmGetBase::pick() {
  if (!list_->currentItem()) return;
  picked_ = list_->currentItem()->text();
  accept();
}

QString ChooseBase(const IniFile& ini, QWidget* parent) {
  QStringList paths;
  try {
    paths = alternativeDatabases(ini.sectionLines(inikeys::kMain));
  } catch (const std::exception& e) {
    msg::error(QString::fromUtf8(e.what()));
  }
  TfmGetBase window(paths, parent);
  window.exec();
  return window.picked();
}
