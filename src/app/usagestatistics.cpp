#include "app/usagestatistics.h"

#include "app/datamodule.h"
#include "platform/query.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

QList<UsageRow> readUsageStatistics(db::Query& q) {
  QList<UsageRow> rows;
  q.close();
  q.setSql(QStringLiteral("select * from spconst where Name is not null"));
  q.open();
  for (; !q.eof(); q.next()) {
    QString name = q[QStringLiteral("NAME")].asString();
    while (name.endsWith(QLatin1Char(' '))) name.chop(1);
    rows.append({name, q[QStringLiteral("CNST")].asString().trimmed()});
  }
  q.close();
  return rows;
}

UsageStatisticsPreview::UsageStatisticsPreview(const QList<UsageRow>& rows, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(int(rows.size()), 2, this)) {
  setWindowTitle(QStringLiteral("Статистика открытия пунктов меню"));
  resize(560, 420);
  table_->setHorizontalHeaderLabels(
      {QStringLiteral("Наименование пункта меню"), QStringLiteral("Открыто раз")});
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  for (int r = 0; r < rows.size(); ++r) {
    table_->setItem(r, 0, new QTableWidgetItem(rows[r].name));
    auto* count = new QTableWidgetItem(rows[r].count);
    count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table_->setItem(r, 1, count);
  }
  table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addWidget(buttons);
}

void showUsageStatistics(TDM& dm, QWidget* parent) {
  UsageStatisticsPreview preview(readUsageStatistics(dm.qryTemp), parent);
  preview.exec();
}
