#include "app/fmaccess.h"

#include "app/datamodule.h"
#include "app/fmusredit.h"
#include "platform/dberror.h"
#include "platform/messages.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString kUsr = QStringLiteral("USR");
const QString kSubdiv = QStringLiteral("SUBDIV");

QToolButton* pictureButton(QStyle* style, QStyle::StandardPixmap pixmap, const QString& tip) {
  auto* b = new QToolButton;
  b->setIcon(style->standardIcon(pixmap));
  b->setIconSize(QSize(24, 24));
  b->setToolTip(tip);
  b->setAutoRaise(false);
  return b;
}

QPushButton* arrowButton(const QString& text, const QString& tip) {
  auto* b = new QPushButton(text);
  b->setToolTip(tip);
  b->setAutoDefault(false);
  return b;
}

int keyOf(const QVariant& v) {
  return v.isValid() ? v.toInt() : 0;
}
}  // namespace

TfmAccess::TfmAccess(TDM& dm, QWidget* parent)
    : QDialog(parent),
      dm_(dm),
      store_(dm.IBTransaction),
      qryUsers_(dm.DB, &dm.IBTransaction),
      qrySubdiv_(dm.DB, &dm.IBTransaction),
      qryRights_(dm.DB, &dm.IBTransaction),
      mdUsers_(qryUsers_, {{QStringLiteral("N"), QStringLiteral("Пользователь"), 20},
                           {QStringLiteral("TYPN"), QStringLiteral("Уровень доступа"), 15},
                           {QStringLiteral("DEF"), QStringLiteral("Описание")}}),
      mdSubdiv_(qrySubdiv_, {{QStringLiteral("NAME"), QStringLiteral("Наименование")}}),
      mdRights_(qryRights_, {{QStringLiteral("NAME"), QStringLiteral("Наименование")}}) {
  setWindowTitle(QStringLiteral("Управление доступом к подсистеме"));
  qryUsers_.setSql(
      QStringLiteral("select us.*,(case when us.TYP=0 then 'Администратор' else 'Пользователь' "
                     "end) as TYPN from users us order by us.N"));
  qrySubdiv_.setSql(
      QStringLiteral("select SUBDIV,NAME from AVSUBDIV where SUBDIV>0 order by NAME"));
  qryRights_.setSql(
      QStringLiteral("select rs.USR,rs.SUBDIV,sv.NAME from RIGHTS rs left join AVSUBDIV sv on "
                     "sv.SUBDIV=rs.SUBDIV where rs.USR=:USR order by sv.NAME"));
  editUser_ = [this](int key) { return EditUser(dm_, key, this); };

  grUsers_ = new QueryGrid;
  grUsers_->setQueryModel(&mdUsers_);
  grSubdiv_ = new QueryGrid;
  grSubdiv_->setQueryModel(&mdSubdiv_);
  grRights_ = new QueryGrid;
  grRights_->setQueryModel(&mdRights_);
  for (QueryModel* m : {&mdUsers_, &mdSubdiv_, &mdRights_})
    connect(m, &QueryModel::failed, this, [](const QString& message) { msg::error(message); });

  btAdd_ = pictureButton(style(), QStyle::SP_FileIcon, QStringLiteral("Добавить"));
  btEdit_ =
      pictureButton(style(), QStyle::SP_FileDialogDetailedView, QStringLiteral("Редактировать"));
  btDelete_ = pictureButton(style(), QStyle::SP_TrashIcon, QStringLiteral("Удалить"));
  btDelete_->setEnabled(false);
  btGrant_ = arrowButton(QStringLiteral(">>"), QStringLiteral("Разрешить доступ"));
  btWithdraw_ = arrowButton(QStringLiteral("<<"), QStringLiteral("Запретить доступ"));
  btGrantAll_ = arrowButton(QStringLiteral(">>>"), QStringLiteral("Разрешить доступ ко всем"));
  btWithdrawAll_ = arrowButton(QStringLiteral("<<<"), QStringLiteral("Запретить доступ ко всем"));

  auto* gbUsers = new QGroupBox(QStringLiteral("Пользователи"));
  auto* userButtons = new QVBoxLayout;
  userButtons->addWidget(btAdd_);
  userButtons->addWidget(btEdit_);
  userButtons->addWidget(btDelete_);
  userButtons->addStretch();
  auto* usersLayout = new QHBoxLayout(gbUsers);
  usersLayout->addWidget(grUsers_, 1);
  usersLayout->addLayout(userButtons);

  auto* gbSubdiv = new QGroupBox(QStringLiteral("Полный список подразделений"));
  (new QVBoxLayout(gbSubdiv))->addWidget(grSubdiv_);
  auto* gbRights = new QGroupBox(QStringLiteral("Подразделения, к которым разрешен доступ"));
  (new QVBoxLayout(gbRights))->addWidget(grRights_);
  auto* arrows = new QVBoxLayout;
  arrows->addStretch();
  for (QPushButton* b : {btGrant_, btWithdraw_, btGrantAll_, btWithdrawAll_}) arrows->addWidget(b);
  arrows->addStretch();
  auto* lower = new QHBoxLayout;
  lower->addWidget(gbSubdiv, 1);
  lower->addLayout(arrows);
  lower->addWidget(gbRights, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(gbUsers, 1);
  layout->addLayout(lower, 1);
  resize(820, 620);

  connect(grUsers_, &QueryGrid::currentRowChanged, this, [this] {
    if (reopening_) return;
    try {
      userChanged();
    } catch (const db::DbError& e) {
      msg::error(e.message());
    }
  });
  connect(btAdd_, &QToolButton::clicked, this, &TfmAccess::addUser);
  connect(btEdit_, &QToolButton::clicked, this, &TfmAccess::editUser);
  connect(btDelete_, &QToolButton::clicked, this, &TfmAccess::deleteUser);
  connect(btGrant_, &QPushButton::clicked, this, &TfmAccess::grantOne);
  connect(btWithdraw_, &QPushButton::clicked, this, &TfmAccess::withdrawOne);
  connect(btGrantAll_, &QPushButton::clicked, this, &TfmAccess::grantAll);
  connect(btWithdrawAll_, &QPushButton::clicked, this, &TfmAccess::withdrawAll);
}

TfmAccess::~TfmAccess() {
  // The grids go before the models and queries they show.
  delete grUsers_;
  delete grSubdiv_;
  delete grRights_;
}

int TfmAccess::currentUser() const {
  return keyOf(grUsers_->currentValue(kUsr));
}

int TfmAccess::currentSubdiv() const {
  return keyOf(grSubdiv_->currentValue(kSubdiv));
}

int TfmAccess::currentGranted() const {
  return keyOf(grRights_->currentValue(kSubdiv));
}

void TfmAccess::openLists() {
  {
    QScopedValueRollback guard(reopening_, true);
    mdUsers_.refresh();
    grUsers_->first();
    mdSubdiv_.refresh();
    grSubdiv_->first();
  }
  userChanged();
}

// The delete button and the granted list follow the current user.
void TfmAccess::userChanged(int grantedSubdiv) {
  const int usr = currentUser();
  btDelete_->setEnabled(usr != 0 && usr != UserStore::kBuiltInAdministrator);
  qryRights_.param(kUsr).setInt(usr);
  mdRights_.refresh();
  if (grantedSubdiv == 0 || !grRights_->locate(kSubdiv, grantedSubdiv)) grRights_->first();
}

void TfmAccess::reopen(int usr, int subdiv, int grantedSubdiv) {
  try {
    {
      QScopedValueRollback guard(reopening_, true);
      mdUsers_.refresh();
      if (usr == 0 || !grUsers_->locate(kUsr, usr)) grUsers_->first();
      mdSubdiv_.refresh();
      if (subdiv == 0 || !grSubdiv_->locate(kSubdiv, subdiv)) grSubdiv_->first();
    }
    userChanged(grantedSubdiv);
  } catch (const db::DbError& e) {
    msg::error(e.message());
  }
}

void TfmAccess::change(const std::function<void()>& work, int usr, int subdiv, int grantedSubdiv) {
  QString failure;
  try {
    work();
  } catch (const db::DbError& e) {
    failure = e.message();  // the store has rolled back
  }
  // The commit or the rollback closed the lists; they come back before any message.
  reopen(usr, subdiv, grantedSubdiv);
  if (!failure.isEmpty()) msg::error(failure);
}

void TfmAccess::addUser() {
  const int before = currentUser();
  const int key = editUser_(0);
  // Even a cancelled editor may have rolled the shared transaction back after a failed save,
  // closing the lists: they are reopened either way.
  reopen(key > 0 ? key : before, currentSubdiv(), currentGranted());
}

void TfmAccess::editUser() {
  const int usr = currentUser();
  if (usr == 0) return;
  editUser_(usr);
  reopen(usr, currentSubdiv(), currentGranted());
}

void TfmAccess::deleteUser() {
  const int usr = currentUser();
  if (usr == 0 || usr == UserStore::kBuiltInAdministrator) return;
  if (!msg::confirm(QStringLiteral("Удалить выбранного пользователя?"))) return;
  change([&] { store_.remove(usr); }, 0, currentSubdiv(), 0);
}

void TfmAccess::grantOne() {
  const int usr = currentUser();
  const int subdiv = currentSubdiv();
  if (usr == 0 || subdiv == 0) return;
  bool granted = false;
  QString failure;
  try {
    granted = store_.grant(usr, subdiv);
  } catch (const db::DbError& e) {
    failure = e.message();
  }
  // Already granted: nothing changed, nothing is said.
  if (!granted && failure.isEmpty()) return;
  reopen(usr, subdiv, subdiv);
  if (!failure.isEmpty()) msg::error(failure);
}

void TfmAccess::withdrawOne() {
  const int usr = currentUser();
  const int granted = currentGranted();
  if (usr == 0 || granted == 0) return;
  change([&] { store_.withdraw(usr, granted); }, usr, currentSubdiv(), 0);
}

void TfmAccess::grantAll() {
  const int usr = currentUser();
  if (usr == 0) return;
  change([&] { store_.grantAll(usr); }, usr, currentSubdiv(), currentGranted());
}

void TfmAccess::withdrawAll() {
  const int usr = currentUser();
  if (usr == 0) return;
  change([&] { store_.withdrawAll(usr); }, usr, currentSubdiv(), 0);
}

void ManageAccess(TDM& dm, QWidget* parent) {
  try {
    TfmAccess w(dm, parent);
    w.openLists();
    w.exec();
  } catch (const db::DbError& e) {
    msg::error(e.message());
  }
}
