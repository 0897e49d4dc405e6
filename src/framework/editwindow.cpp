#include "framework/editwindow.h"

#include "framework/fieldbinding.h"
#include "platform/dberror.h"
#include "platform/messages.h"

#include <QAction>
#include <QApplication>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

TfmAbstrEdForm::TfmAbstrEdForm(FrameworkContext& ctx, const QString& name, QWidget* parent)
    : TfmAbstrForm(ctx.ini, name, parent), ctx_(ctx) {}

TfmAbstrEdRef::TfmAbstrEdRef(FrameworkContext& ctx, const QString& name, QWidget* parent)
    : TfmAbstrEdForm(ctx, name, parent), controller_(ctx) {
  form_ = new QFormLayout;
  body()->addLayout(form_);
  body()->addStretch(1);
  lblName_ = new QLabel(QStringLiteral("Наименование :"));
  dbeName_ = new QLineEdit;
  dbeName_->setObjectName(QStringLiteral("dbeName"));
  dbeName_->setMinimumWidth(dbeName_->fontMetrics().averageCharWidth() * 50);
  form_->addRow(lblName_, dbeName_);
  dbeName_->installEventFilter(this);
  // Typing is a change already: Save and Cancel come on, Esc goes off, as soon as a key is hit.
  connect(dbeName_, &QLineEdit::textEdited, this, [this] {
    typing_ = true;
    SetWithRights();
  });

  postAction_ = new QAction(style()->standardIcon(QStyle::SP_DialogSaveButton),
                            QStringLiteral("Сохранить"), this);
  postAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  cancelAction_ = new QAction(style()->standardIcon(QStyle::SP_DialogResetButton),
                              QStringLiteral("Отменить изменения"), this);
  cancelAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  connect(postAction_, &QAction::triggered, this, [this] { Save(); });
  connect(cancelAction_, &QAction::triggered, this, [this] { Cancel(); });
  addAction(postAction_);
  addAction(cancelAction_);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("Правка"));
  edit->addAction(printAction());
  edit->addAction(postAction_);
  edit->addAction(cancelAction_);
  addExitToMenuBar();
  toolBar()->addAction(postAction_);
  toolBar()->addAction(cancelAction_);
  QAction* help = toolBar()->addAction(style()->standardIcon(QStyle::SP_DialogHelpButton),
                                       QStringLiteral("Помощь"));
  help->setEnabled(false);
  toolBar()->addAction(exitAction());
}

TfmAbstrEdRef::~TfmAbstrEdRef() = default;

QWidget* TfmAbstrEdRef::addField(const FieldSpec& spec) {
  auto* binding = new FieldBinding(ctx_, spec, controller_.record(), this);
  bindings_.append(binding);
  connect(binding, &FieldBinding::changed, this, [this] { SetWithRights(); });
  connect(binding, &FieldBinding::edited, this, [this] {
    typing_ = true;
    SetWithRights();
  });
  QWidget* w = binding->widget();
  w->installEventFilter(this);
  if (spec.kind == FieldSpec::Check) {
    form_->addRow(QString(), w);
    if (auto* label = form_->labelForField(w)) label->hide();
    w->setProperty("text", spec.label);
  } else {
    form_->addRow(spec.label, w);
  }
  return w;
}

QWidget* TfmAbstrEdRef::fieldWidget(const QString& field) const {
  for (FieldBinding* b : bindings_)
    if (b->spec().field.compare(field, Qt::CaseInsensitive) == 0) return b->widget();
  return nullptr;
}

void TfmAbstrEdRef::BindNameField(const TEdRefParams& params) {
  delete nameBinding_;
  nameBinding_ = nullptr;
  if (params.NameField.isEmpty()) {
    lblName_->hide();
    dbeName_->hide();
    return;
  }
  // The name box is laid out by the window; the binding only carries the value.
  FieldSpec spec = FieldSpec::text(params.NameField, QString());
  nameBinding_ = new FieldBinding(ctx_, spec, controller_.record(), this);
  nameBinding_->widget()->hide();
  connect(dbeName_, &QLineEdit::editingFinished, this, [this] {
    if (!nameBinding_) return;
    auto* hidden = static_cast<QLineEdit*>(nameBinding_->widget());
    hidden->setText(dbeName_->text());
    if (nameBinding_->apply()) SetWithRights();
  });
}

int TfmAbstrEdRef::Execute(const TEdRefParams& params, int key) {
  BindNameField(params);
  try {
    controller_.open(params, key);
  } catch (const db::DbError& e) {
    msg::error(e.message());
    return QDialog::Rejected;
  }
  lblName_->setText(params.NameLabel.isEmpty() ? QStringLiteral("Наименование :")
                                               : params.NameLabel);
  setWindowTitle(controller_.caption());
  showRecord();
  SetWithRights();
  return exec();
}

void TfmAbstrEdRef::showRecord() {
  typing_ = false;
  if (nameBinding_) {
    nameBinding_->show();
    dbeName_->setText(static_cast<QLineEdit*>(nameBinding_->widget())->text());
    const int max = controller_.record().length(controller_.params().NameField);
    dbeName_->setMaxLength(max > 0 ? max : 32767);
  }
  for (FieldBinding* b : bindings_) b->show();
}

bool TfmAbstrEdRef::BeforeSave() {
  if (!controller_.requireName()) {
    dbeName_->setFocus();
    return false;
  }
  return true;
}

void TfmAbstrEdRef::SetWithRights() {
  const bool pending = controller_.canSave() || typing_;
  postAction_->setEnabled(pending);
  cancelAction_->setEnabled(pending);
  exitAction()->setEnabled(!pending);
}

bool TfmAbstrEdRef::applyAll() {
  // Every box, not only the focused one: what was typed is saved however the save was asked for
  // (a key pressed inside a box, the tool bar, the question on closing).
  if (nameBinding_ && !dbeName_->isHidden()) {
    static_cast<QLineEdit*>(nameBinding_->widget())->setText(dbeName_->text());
    if (!nameBinding_->apply()) {
      dbeName_->setFocus();
      return false;
    }
  }
  for (FieldBinding* b : bindings_)
    if (!b->apply()) return false;
  typing_ = false;
  return true;
}

bool TfmAbstrEdRef::Save() {
  if (!applyAll()) return false;
  controller_.beforeSave = [this] { return BeforeSave(); };
  controller_.afterSave = [this](EditController&) { AfterSave(); };
  const auto result = controller_.save();
  SetWithRights();
  if (result == EditController::SaveResult::Saved) {
    setWindowTitle(controller_.caption());
    statusBar()->showMessage(QStringLiteral("Запись сохранена."), 3000);
  }
  return result == EditController::SaveResult::Saved ||
         result == EditController::SaveResult::NothingToSave;
}

void TfmAbstrEdRef::Cancel() {
  const bool wasNew = controller_.record().isNew();
  controller_.cancel();
  showRecord();
  SetWithRights();
  if (wasNew) done(QDialog::Rejected);
}

void TfmAbstrEdRef::done(int result) {
  if (!applyAll()) return;
  if (controller_.canSave()) {
    const bool save =
        msg::show(msg::Kind::Confirmation, QStringLiteral("Сохранить изменения ?"),
                  QStringLiteral("Внимание"), msg::Yes | msg::No, msg::Yes) == msg::Yes;
    if (save) {
      // A refused or failed save keeps the window open with what was typed.
      if (!Save()) return;
      result = QDialog::Accepted;
    } else {
      controller_.cancel();
    }
  }
  if (controller_.saved()) result = QDialog::Accepted;
  TfmAbstrEdForm::done(result);
}

bool TfmAbstrEdRef::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
    // Enter moves on; a lookup box handles its own Enter, a memo takes it as a new line.
    if (enter && k->modifiers() == Qt::NoModifier && !qobject_cast<LookupBox*>(watched) &&
        !qobject_cast<QPlainTextEdit*>(watched)) {
      focusNextChild();
      return true;
    }
  }
  return TfmAbstrEdForm::eventFilter(watched, e);
}

// ---------------------------------------------------------------------------------------------

const QList<QPair<int, QString>>& TfmAbstrEdRefTypAvt::printForms() {
  static const QList<QPair<int, QString>> forms = {
      {0, QStringLiteral("Путевой лист (стандарт)")},
      {1, QStringLiteral("Путевой лист строительной машины (ЭСМ-2)")},
      {2, QStringLiteral("Путевой лист специального автомобиля (Форма №3)")},
      {3, QStringLiteral("Путевой лист автобуса необщего пользования(Форма №6 (спец))")},
      {4,
       QStringLiteral("Путевой лист автомобильного (стрелкового самоходного) крана (Форма К-1)")},
      {5, QStringLiteral("Путевой лист легкового автомобиля (по 2 п/л на А4)")},
      {6, QStringLiteral("Путевой лист грузового автомобиля 4-С")},
      {7, QStringLiteral("Путевой лист ЭСМ-3")}};
  return forms;
}

TfmAbstrEdRefTypAvt::TfmAbstrEdRefTypAvt(FrameworkContext& ctx, QWidget* parent)
    : TfmAbstrEdRef(ctx, QStringLiteral("fmEdRefTypAvt"), parent) {
  FieldSpec tpl = FieldSpec::of(FieldSpec::Choice, QStringLiteral("TPL"),
                                QStringLiteral("Тип печатной формы путевого листа"));
  tpl.choices = printForms();
  addField(tpl);
}
