#include "refs/prices.h"

#include "platform/dberror.h"
#include "platform/messages.h"
#include "refs/vehiclerules.h"

#include <QFormLayout>
#include <QLabel>
#include <QStatusBar>

namespace {
const char* const kPrices[][2] = {{"HOURS", "За 1 час :"},
                                  {"KM", "За 1 км :"},
                                  {"COEFF", "Стоимость час. стор. :"},
                                  {"HOURUP", "За 1 час сверх:"},
                                  {"KMUP", "За 1 км сверх:"}};
}  // namespace

TfmEdAcarp::TfmEdAcarp(FrameworkContext& ctx, QWidget* parent)
    : TfmEdVehicleBook(ctx, QStringLiteral("fmEdAcarp"), parent) {
  addVehicleHeader();
  for (const auto& p : kPrices) {
    QWidget* w = addField(
        FieldSpec::of(FieldSpec::Number, QString::fromLatin1(p[0]), QString::fromUtf8(p[1])));
    if (!hours_) hours_ = w;
  }
}

int TfmEdAcarp::Execute(const TEdRefParams& params, int key) {
  // The list is a list of vehicles; the row edited is the vehicle's row of prices. The list's
  // own table is left alone.
  TEdRefParams prices = params;
  prices.TableName = QStringLiteral("AVPRICE");
  prices.NameField.clear();  // the state number is shown, not edited
  return TfmEdVehicleBook::Execute(prices, key);
}

void TfmEdAcarp::recordShown() {
  showVehicleHeader();
  hours_->setFocus();
}

bool TfmEdAcarp::BeforeSave() {
  EditRecord& rec = controller().record();
  if (!rec.modified()) return true;
  for (const auto& p : kPrices) {
    const QString field = QString::fromLatin1(p[0]);
    if (isNull(field)) rec.setValue(field, 0.0);
  }
  return true;
}
