#include "refs/norms.h"

#include "framework/editablegrid.h"
#include "platform/database.h"
#include "platform/dberror.h"
#include "platform/messages.h"
#include "platform/query.h"
#include "refs/normrules.h"
#include "refs/vehiclerules.h"

#include <QAction>
#include <QCheckBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

Decimal4 decimalOf(const QVariant& v) {
  if (!v.isValid() || v.isNull()) return {};
  if (v.userType() == qMetaTypeId<Decimal4>()) return v.value<Decimal4>();
  return Decimal4::fromDouble(v.toDouble());
}

const char* const kBaseColumns[][2] = {{"SUM100", "Норма л/100км:"},
                                       {"RES3", "на перевал :"},
                                       {"RES1", "с насосом :"},
                                       {"WARM", "На разогр. двиг. :"},
                                       {"RES4", "на подьем кузова :"},
                                       {"TNKM", "На 100 тоннокм :"},
                                       {"MOTOH", "На 1 час(спецнорма) :"},
                                       {"BUKS", "на буксировку :"},
                                       {"RES2", "обкатка двиг. :"}};

}  // namespace

// ----------------------------------------------------------------------------- TfmEdAcarn1

TfmEdAcarn1::TfmEdAcarn1(FrameworkContext& ctx, QWidget* parent)
    : TfmEdVehicleBook(ctx, QStringLiteral("fmEdAcarn1"), parent) {
  addVehicleHeader();
  for (const auto& c : kBaseColumns) {
    QWidget* w = addField(
        FieldSpec::of(FieldSpec::Number, QString::fromLatin1(c[0]), QString::fromUtf8(c[1])));
    if (!sum100_) sum100_ = w;
  }

  const int decPl = ctx.decPl;
  model_ = new EditableModel(
      {EditableColumn::text(QStringLiteral("N"), QStringLiteral("Признак")),
       EditableColumn::number(QStringLiteral("KF"), QStringLiteral("Коэфф."), decPl, true),
       EditableColumn::number(QStringLiteral("NORMA"), QStringLiteral("Норма, л"), decPl)},
      this);
  model_->setPoster([this](EditableRow& row) { return postCoefficient(row); });
  grid_ = new EditableGrid;
  grid_->setObjectName(QStringLiteral("dbgKf"));
  grid_->setEditableModel(model_);
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->setColumnWidth(0, fontMetrics().averageCharWidth() * 30);
  body()->insertWidget(1, grid_, 1);

  resize(520, 560);
}

TfmEdAcarn1::~TfmEdAcarn1() = default;

int TfmEdAcarn1::Execute(const TEdRefParams& params, int key) {
  TEdRefParams norms = params;
  norms.TableName = QStringLiteral("AVNORMFUEL");
  norms.NameField.clear();  // the state number is shown, not edited
  return TfmEdVehicleBook::Execute(norms, key);
}

void TfmEdAcarn1::loadCoefficients() {
  try {
    if (!rows_) {
      rows_ = std::make_unique<db::Query>(ctx_.db, &controller().transaction());
      rows_->sql() = QStringList{
          QStringLiteral("select nf.CAR,nf.KFN,( nf.KF + 1) as KF,nf.NORMA,nrm.N,nf.SUM100"),
          QStringLiteral("from AVNORMFUEL nf"),
          QStringLiteral("left join AVKFNORMS nrm on nrm.KFN=nf.KFN"),
          QStringLiteral("where nf.CAR=:CAR and nf.KFN>0"), QStringLiteral("order by nf.KFN")};
    }
    rows_->param(QStringLiteral("CAR")).setInt(intValue(QStringLiteral("CAR")));
    model_->load(*rows_);
  } catch (const db::DbError& e) {
    msg::error(e.message());
  }
}

bool TfmEdAcarn1::postCoefficient(EditableRow& row) {
  const int decPl = ctx_.decPl;
  const Decimal4 multiplier =
      normrules::roundedMultiplier(row.decimal(QStringLiteral("KF")), decPl);
  // The base norm as stored: the coefficient rows always follow the saved base row.
  const Decimal4 base = decimalOf(controller().record().originalValue(QStringLiteral("SUM100")));
  const Decimal4 norm = normrules::coefficientNorm(base, multiplier, decPl);
  if (!post_) {
    post_ = std::make_unique<db::Query>(ctx_.db, &controller().transaction());
    post_->sql() =
        QStringList{QStringLiteral("update AVNORMFUEL"),    QStringLiteral("set"),
                    QStringLiteral("  KF = :KF,"),          QStringLiteral("  NORMA = :NORMA,"),
                    QStringLiteral("  SUM100 = :SUM100"),   QStringLiteral("where"),
                    QStringLiteral("  CAR = :OLD_CAR and"), QStringLiteral("  KFN = :OLD_KFN")};
    post_->prepare();
  }
  // The coefficient is stored as its increment: a multiplier of 1.1 is KF 0.1.
  post_->param(QStringLiteral("KF")).setDecimal(multiplier - Decimal4::fromInt(1));
  post_->param(QStringLiteral("NORMA")).setDecimal(norm);
  post_->param(QStringLiteral("SUM100")).setDecimal(base);
  post_->param(QStringLiteral("OLD_CAR")).setValue(row.oldValue(QStringLiteral("CAR")));
  post_->param(QStringLiteral("OLD_KFN")).setValue(row.oldValue(QStringLiteral("KFN")));
  post_->exec();
  controller().transaction().commitRetaining();
  row.setValue(QStringLiteral("KF"), QVariant::fromValue(multiplier));
  row.setValue(QStringLiteral("NORMA"), QVariant::fromValue(norm));
  row.setValue(QStringLiteral("SUM100"), QVariant::fromValue(base));
  return true;
}

void TfmEdAcarn1::recordShown() {
  showVehicleHeader();
  loadCoefficients();
  sum100_->setFocus();
}

bool TfmEdAcarn1::BeforeSave() {
  // A coefficient typed and not yet posted goes first.
  if (!grid_->postAll()) return false;
  EditRecord& rec = controller().record();
  if (rec.modified() && isNull(QStringLiteral("SUM100")))
    rec.setValue(QStringLiteral("SUM100"), 0.0);
  return true;
}

void TfmEdAcarn1::AfterSave() {
  const Decimal4 base = decimalOf(controller().record().value(QStringLiteral("SUM100")));
  normrules::recomputeCoefficientNorms(ctx_.db, controller().transaction(),
                                       intValue(QStringLiteral("CAR")), base, ctx_.decPl);
  // The grid reads in the same transaction: it shows the norms as just written.
  loadCoefficients();
}

void TfmEdAcarn1::done(int result) {
  // A coefficient typed and not yet posted is posted before the window goes; a refused one
  // keeps the window open (Esc in the grid gives the row back).
  if (!grid_->postAll()) return;
  TfmEdVehicleBook::done(result);
}

// ----------------------------------------------------------------------------- TfmEdKFNorms

TfmEdKFNorms::TfmEdKFNorms(FrameworkContext& ctx, QWidget* parent)
    : TfmEdVehicleBook(ctx, QStringLiteral("fmEdKFNorms"), parent) {
  winter_ = addFlag(QStringLiteral("ZIMN"), QStringLiteral("Признак для зимней нормы:"));
}

void TfmEdKFNorms::AfterSave() {
  normrules::copyCoefficientToVehicles(ctx_.db, controller().transaction(),
                                       intValue(QStringLiteral("KFN")));
}

void TfmEdKFNorms::recordShown() {
  nameEdit()->setFocus();
}
