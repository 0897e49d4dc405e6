#include "refs/refeditor.h"

#include "platform/dberror.h"
#include "refs/vehiclerules.h"

#include <QAction>
#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QStatusBar>

TfmEdVehicleBook::TfmEdVehicleBook(FrameworkContext& ctx, const QString& name, QWidget* parent)
    : TfmAbstrEdRef(ctx, name, parent) {
  // After the base cancel has given the record its values back.
  connect(cancelAction(), &QAction::triggered, this, [this] {
    showFlags();
    recordShown();
  });
}

QCheckBox* TfmEdVehicleBook::addFlag(const QString& field, const QString& label,
                                     QFormLayout* into) {
  auto* box = new QCheckBox(label);
  box->setObjectName(QStringLiteral("dbch") + field);
  box->installEventFilter(this);  // Enter moves on, as in the other boxes
  (into ? into : form())->addRow(QString(), box);
  connect(box, &QCheckBox::clicked, this, [this, field](bool checked) {
    controller().record().setValue(field, QVariant::fromValue(qint64(checked ? 1 : 0)));
    SetWithRights();
  });
  flags_.append({field, box});
  return box;
}

void TfmEdVehicleBook::showFlags() {
  for (const auto& [field, box] : flags_) {
    const QSignalBlocker block(box);
    box->setChecked(intValue(field) == 1);
  }
}

QWidget* TfmEdVehicleBook::takeField(const FieldSpec& field) {
  QWidget* w = addField(field);
  const QFormLayout::TakeRowResult row = form()->takeRow(w);
  if (row.labelItem) {
    delete row.labelItem->widget();
    delete row.labelItem;
  }
  delete row.fieldItem;  // the item only: the widget stays the editor's
  return w;
}

QWidget* TfmEdVehicleBook::addFieldTo(QFormLayout* target, const FieldSpec& field) {
  QWidget* w = takeField(field);
  target->addRow(field.label, w);
  return w;
}

void TfmEdVehicleBook::showEvent(QShowEvent* e) {
  TfmAbstrEdRef::showEvent(e);
  showFlags();
  recordShown();
}

int TfmEdVehicleBook::intValue(const QString& field) {
  const QVariant v = controller().record().value(field);
  return (!v.isValid() || v.isNull()) ? 0 : v.toInt();
}

bool TfmEdVehicleBook::isNull(const QString& field) {
  const QVariant v = controller().record().value(field);
  return !v.isValid() || v.isNull();
}

void TfmEdVehicleBook::addVehicleHeader() {
  stnumber_ = new QLabel;
  stnumber_->setObjectName(QStringLiteral("lblStnumber"));
  mark_ = new QLabel;
  mark_->setObjectName(QStringLiteral("lblMark"));
  form()->addRow(QStringLiteral("Гос. номер    : "), stnumber_);
  form()->addRow(QStringLiteral("Марка :"), mark_);
}

void TfmEdVehicleBook::showVehicleHeader() {
  if (!stnumber_) return;
  stnumber_->clear();
  mark_->clear();
  try {
    const auto title = vehiclerules::vehicleTitle(ctx_.db, controller().transaction(),
                                                  intValue(QStringLiteral("CAR")));
    stnumber_->setText(title.stnumber);
    mark_->setText(title.mark);
  } catch (const db::DbError& e) {
    statusBar()->showMessage(e.message());
  }
}

QString TfmEdVehicleBook::vehicleText() const {
  if (!stnumber_) return {};
  return (stnumber_->text() + QLatin1Char(' ') + mark_->text()).trimmed();
}
