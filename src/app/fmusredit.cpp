#include "app/fmusredit.h"

#include "app/datamodule.h"
#include "platform/dberror.h"
#include "platform/messages.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kNameLength = 30;
constexpr int kPasswordLength = 20;
constexpr int kCommentLength = 200;

QLineEdit* passwordField() {
  auto* e = new QLineEdit;
  e->setMaxLength(kPasswordLength);
  e->setEchoMode(QLineEdit::Password);
  e->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // '*'
  return e;
}
}  // namespace

TfmUsrEdit::TfmUsrEdit(TDM& dm, int key, QWidget* parent)
    : QDialog(parent), store_(dm.IBTransaction), key_(key), savedKey_(key) {
  setWindowTitle(key == 0 ? QStringLiteral("Добавление пользователя")
                          : QStringLiteral("Редактирование пользователя"));

  edName_ = new QLineEdit;
  edName_->setMaxLength(kNameLength);
  edPassword_ = passwordField();
  edConfirmation_ = passwordField();

  gbKind_ = new QGroupBox(QStringLiteral("Уровень доступа пользователя"));
  kind_ = new QButtonGroup(this);
  auto* kindLayout = new QHBoxLayout(gbKind_);
  const QString kinds[] = {QStringLiteral("Администратор"), QStringLiteral("Пользователь")};
  for (int i = 0; i < 2; ++i) {
    auto* rb = new QRadioButton(kinds[i]);
    kind_->addButton(rb, i);
    kindLayout->addWidget(rb);
  }
  kind_->button(0)->setChecked(true);

  meDef_ = new QPlainTextEdit;
  meDef_->setTabChangesFocus(true);
  connect(meDef_, &QPlainTextEdit::textChanged, this, [this] {
    const QString text = meDef_->toPlainText();
    if (text.size() <= kCommentLength) return;
    QTextCursor c = meDef_->textCursor();
    const int pos = std::min<int>(c.position(), kCommentLength);
    meDef_->setPlainText(text.left(kCommentLength));
    c = meDef_->textCursor();
    c.setPosition(pos);
    meDef_->setTextCursor(c);
  });

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Имя пользователя"), edName_);
  form->addRow(QStringLiteral("Пароль"), edPassword_);
  form->addRow(QStringLiteral("Подтверждение пароля"), edConfirmation_);

  btSave_ = new QPushButton(QStringLiteral("Сохранить"));
  btCancel_ = new QPushButton(QStringLiteral("Отмена"));
  // Enter moves to the next field; saving is a deliberate press of the button.
  btSave_->setAutoDefault(false);
  btCancel_->setAutoDefault(false);
  connect(btSave_, &QPushButton::clicked, this, &TfmUsrEdit::save);
  connect(btCancel_, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btSave_);
  buttons->addWidget(btCancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(gbKind_);
  layout->addWidget(new QLabel(QStringLiteral("Комментарий")));
  layout->addWidget(meDef_);
  layout->addLayout(buttons);
  resize(420, 360);

  if (key != 0) {
    const UserRecord r = store_.load(key);
    edName_->setText(r.name);
    edPassword_->setText(r.password);
    edConfirmation_->setText(r.password);
    kind_->button(r.typ == 0 ? 0 : 1)->setChecked(true);
    meDef_->setPlainText(r.def);
  }
  // The built-in administrator keeps its name and kind: the login account is built on them.
  const bool builtIn = key == UserStore::kBuiltInAdministrator;
  edName_->setEnabled(!builtIn);
  gbKind_->setEnabled(!builtIn);
  (builtIn ? static_cast<QWidget*>(edPassword_) : edName_)->setFocus();
}

UserEntry TfmUsrEdit::entry() const {
  UserEntry e;
  e.name = edName_->text();
  e.password = edPassword_->text();
  e.confirmation = edConfirmation_->text();
  e.typ = kind_->checkedId() == 0 ? 0 : 1;
  e.def = meDef_->toPlainText();
  return e;
}

void TfmUsrEdit::save() {
  try {
    const SaveOutcome outcome = store_.save(key_, entry());
    if (!outcome.saved()) {
      msg::error(outcome.refusal);
      return;
    }
    savedKey_ = outcome.key;
    accept();
  } catch (const db::DbError& e) {
    // Rolled back by the store; the person can correct the text and try again.
    msg::error(e.message());
  }
}

void TfmUsrEdit::keyPressEvent(QKeyEvent* e) {
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
      !qobject_cast<QPushButton*>(focusWidget())) {
    focusNextChild();
    return;
  }
  QDialog::keyPressEvent(e);
}

int EditUser(TDM& dm, int key, QWidget* parent) {
  try {
    TfmUsrEdit w(dm, key, parent);
    w.exec();
    return w.savedKey();
  } catch (const db::DbError& e) {
    msg::error(e.message());
    return key;
  }
}
