#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QTableWidget;
class TDM;

namespace db {
class Query;
}

// One line of the usage statistics: the caption of a menu item and how often it was opened.
// Ordinary constants whose name is a blank come along with an empty name, as in the table.
struct UsageRow {
  QString name;
  QString count;
};

// The rows of SPCONST that have a name, read on the given query (the data module's scratch
// query), in the order the database returns them.
QList<UsageRow> readUsageStatistics(db::Query& q);

// A preview of the usage statistics: a read-only table under the headers of the printed list.
class UsageStatisticsPreview : public QDialog {
  Q_OBJECT
 public:
  explicit UsageStatisticsPreview(const QList<UsageRow>& rows, QWidget* parent = nullptr);
  QTableWidget* table() const { return table_; }

 private:
  QTableWidget* table_;
};

// The menu command "...": reads the counters and shows them until the preview is closed.
void showUsageStatistics(TDM& dm, QWidget* parent);
