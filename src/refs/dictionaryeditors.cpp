#include "refs/dictionaryeditors.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

std::function<std::unique_ptr<RecordEditor>(FrameworkContext&, QWidget*)> describedEditor(
    const QString& windowName, QList<FieldSpec> fields) {
  return [windowName, fields = std::move(fields)](
             FrameworkContext& ctx, QWidget* parent) -> std::unique_ptr<RecordEditor> {
    auto editor = std::make_unique<TfmAbstrEdRef>(ctx, windowName, parent);
    for (const FieldSpec& f : fields) editor->addField(f);
    return editor;
  };
}

namespace {

// Takes a described field's box out of the form, without its caption.
void takeBox(QFormLayout* form, QWidget* w) {
  const QFormLayout::TakeRowResult taken = form->takeRow(w);
  if (taken.labelItem) {
    delete taken.labelItem->widget();
    delete taken.labelItem;
  }
  delete taken.fieldItem;
}

// Moves the boxes of described fields, with captions between them, into one row of the form.
// Each part is a caption (a QString) or the column of a box added before.
QHBoxLayout* rowOf(QFormLayout* form, QWidget* owner,
                   const QList<std::pair<QString, QString>>& parts,
                   const std::function<QWidget*(const QString&)>& box) {
  auto* row = new QHBoxLayout;
  for (const auto& [caption, field] : parts) {
    if (!caption.isEmpty()) row->addWidget(new QLabel(caption, owner));
    if (!field.isEmpty()) {
      QWidget* w = box(field);
      takeBox(form, w);
      w->setMaximumWidth(w->fontMetrics().averageCharWidth() * 8 + 16);
      row->addWidget(w);
    }
  }
  row->addStretch(1);
  return row;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

const QStringList& TfmEdAclient::zeroWhenEmpty() {
  static const QStringList fields = {QStringLiteral("HIN"),  QStringLiteral("MINUTIN"),
                                     QStringLiteral("HOUT"), QStringLiteral("MOUT"),
                                     QStringLiteral("KMIN"), QStringLiteral("KMOUT")};
  return fields;
}

TfmEdAclient::TfmEdAclient(FrameworkContext& ctx, QWidget* parent)
    : TfmAbstrEdRef(ctx, QStringLiteral("fmEdAclient"), parent) {
  for (const QString& f : zeroWhenEmpty()) addField(FieldSpec::of(FieldSpec::Integer, f, f));
  const auto box = [this](const QString& f) { return fieldWidget(f); };
  form()->addRow(rowOf(form(), this,
                       {{QStringLiteral("Нулевое время у клиента: выезд"), QStringLiteral("HIN")},
                        {QStringLiteral("ч"), QStringLiteral("MINUTIN")},
                        {QStringLiteral("мин"), QString()},
                        {QStringLiteral("возврат"), QStringLiteral("HOUT")},
                        {QStringLiteral("ч"), QStringLiteral("MOUT")},
                        {QStringLiteral("мин"), QString()}},
                       box));
  form()->addRow(rowOf(form(), this,
                       {{QStringLiteral("Нулевой килом.: выезд"), QStringLiteral("KMIN")},
                        {QStringLiteral("км"), QString()},
                        {QStringLiteral("возврат"), QStringLiteral("KMOUT")},
                        {QStringLiteral("км"), QString()}},
                       box));
  addField(FieldSpec::text(QStringLiteral("ADDRESS"), QStringLiteral("Адрес :"), 60));

  dbchIntern_ = new QCheckBox(QStringLiteral("Внутренний клиент"), this);
  dbchIntern_->setObjectName(QStringLiteral("dbchIntern"));
  dbchIntern_->installEventFilter(this);
  form()->addRow(QString(), dbchIntern_);
  connect(dbchIntern_, &QCheckBox::toggled, this, [this](bool on) {
    controller().record().setValue(QStringLiteral("INTERN"), on ? 1 : 0);
    SetWithRights();
  });
  // After the base has put the record back.
  connect(cancelAction(), &QAction::triggered, this, [this] { showInternal(); });
}

void TfmEdAclient::showInternal() {
  const QSignalBlocker block(dbchIntern_);
  dbchIntern_->setChecked(controller().record().value(QStringLiteral("INTERN")).toInt() == 1);
}

void TfmEdAclient::showEvent(QShowEvent* e) {
  TfmAbstrEdRef::showEvent(e);
  showInternal();
  nameEdit()->setFocus();
}

bool TfmEdAclient::BeforeSave() {
  EditRecord& r = controller().record();
  if (r.modified()) {
    for (const QString& f : zeroWhenEmpty())
      if (r.value(f).isNull()) r.setValue(f, 0);
    r.setValue(QStringLiteral("INTERN"), dbchIntern_->isChecked() ? 1 : 0);
  }
  return TfmAbstrEdRef::BeforeSave();
}

// ---------------------------------------------------------------------------------------------

const QStringList& TfmEdAfuel::fuelTypes() {
  static const QStringList types = {QString(), QStringLiteral("Бензин АИ"),
                                    QStringLiteral("Бензин А-76"), QStringLiteral("Дизтопливо"),
                                    QStringLiteral("Масло")};
  return types;
}

TfmEdAfuel::TfmEdAfuel(FrameworkContext& ctx, QWidget* parent)
    : TfmAbstrEdRef(ctx, QStringLiteral("fmEdAfuel"), parent) {
  cbTyp_ = new QComboBox(this);
  cbTyp_->setObjectName(QStringLiteral("cbTyp"));
  cbTyp_->addItems(fuelTypes());
  cbTyp_->installEventFilter(this);
  form()->addRow(QStringLiteral("Тип ГСМ :"), cbTyp_);
  // Only a choice of the person writes the type: a fuel saved without one keeps TYP empty.
  connect(cbTyp_, &QComboBox::activated, this, [this](int index) {
    controller().record().setValue(QStringLiteral("TYP"), index);
    SetWithRights();
  });
  addField(FieldSpec::of(FieldSpec::Integer, QStringLiteral("ZDNKOD"),
                         QStringLiteral("Код топлива  в ЗДН :")));
  connect(cancelAction(), &QAction::triggered, this, [this] { showType(); });
}

void TfmEdAfuel::showType() {
  const QVariant typ = controller().record().value(QStringLiteral("TYP"));
  const int index = typ.isNull() ? -1 : typ.toInt();
  const QSignalBlocker block(cbTyp_);
  cbTyp_->setCurrentIndex(index >= 0 && index < cbTyp_->count() ? index : -1);
}

void TfmEdAfuel::showEvent(QShowEvent* e) {
  TfmAbstrEdRef::showEvent(e);
  showType();
  nameEdit()->setFocus();
}

// ---------------------------------------------------------------------------------------------

TfmEdAroute::TfmEdAroute(FrameworkContext& ctx, QWidget* parent)
    : TfmAbstrEdRef(ctx, QStringLiteral("fmEdAroute"), parent) {
  addField(
      FieldSpec::of(FieldSpec::Integer, QStringLiteral("KM"), QStringLiteral("Расстояние в км :")));
  auto* frame = new QGroupBox(QStringLiteral("Участки маршрута"), this);
  auto* points = new QFormLayout(frame);
  for (int i = 1; i <= 4; ++i) {
    QWidget* w = addField(FieldSpec::text(QStringLiteral("POINT%1").arg(i),
                                          QStringLiteral("Участок №%1 :").arg(i), 50));
    takeBox(form(), w);
    points->addRow(QStringLiteral("Участок №%1 :").arg(i), w);
  }
  form()->addRow(frame);
}
