#pragma once

#include "framework/abstrform.h"
#include "framework/context.h"
#include "framework/listspec.h"
#include "platform/query.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QMenu;
class QueryGrid;
class QueryModel;

// "Поиск": the text that Find and Filter look for.
class TfmAbstrFndRef : public QDialog {
  Q_OBJECT
 public:
  explicit TfmAbstrFndRef(QWidget* parent = nullptr);
  QLineEdit* edit() const { return edit_; }
  // Shows the dialog; the typed text, or nullopt when it was closed without OK.
  std::optional<QString> ask();

 private:
  QLineEdit* edit_;
};

// The list window of every reference book and journal: a read-only grid over one query, quick
// search as you type, Find / Find next / Filter, Add / Edit / Delete under a rights mask, and
// Choose, which in select mode returns the current row.
class TfmAbstrLsRef0 : public TfmAbstrForm {
  Q_OBJECT
 public:
  TfmAbstrLsRef0(FrameworkContext& ctx, ListSpec spec, QWidget* parent = nullptr);
  ~TfmAbstrLsRef0() override;

  // Opens the list on the row of key and shows it modally: 1 chosen (OK), 2 closed, 0 when the
  // list could not be opened (the reason has been shown).
  int Execute(int key, int rights, bool selectMode);
  // The key of the current row; -1 when there is none.
  int currentKey() const;
  QVariant currentValue(const QString& field) const;

  const ListSpec& spec() const { return spec_; }
  TEdRefParams& Params() { return params_; }
  bool filterOn() const { return filterOn_; }
  const QString& quickSearchText() const { return quickSearch_; }
  QueryGrid* grid() const { return grid_; }
  db::Query& currentQuery() { return filterOn_ && fltOpen_ ? qryFlt_ : qryList_; }
  QString statusText() const;
  RecordEditor& editor();

  QAction* addAction_ = nullptr;
  QAction* editAction_ = nullptr;
  QAction* delAction_ = nullptr;
  QAction* choiceAction_ = nullptr;
  QAction* findAction_ = nullptr;
  QAction* findNextAction_ = nullptr;
  QAction* filterAction_ = nullptr;

  // The operations, public so that lists with behaviour of their own can call them.
  void AddActionExecute();
  void EditActionExecute();
  void DelActionExecute();
  void ChoiceActionExecute();
  void FindActionExecute();
  void FindNextActionExecute();
  void FilterActionExecute();
  void typeQuickSearch(QChar c);
  void eraseQuickSearch();
  void SetWithRights();

 protected:
  // Sets the configuration; the base takes it from the description.
  virtual void Configure() {}
  virtual void AfterDelete(db::Transaction& tr, int key);
  // The four lines Find and Filter start from.
  QStringList searchBase() const;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void restoreState() override;
  void saveState() override;

  FrameworkContext& ctx_;
  ListSpec spec_;

 private:
  bool openCurrent(bool showErrors);
  // Closes the list, commits the list transaction and reopens on the key (or the first row).
  void reopenOn(const QVariant& key);
  void incrementalSearch();
  void updateStatus();
  TfmAbstrFndRef* findDialog();

  int rights_ = 0;
  bool selectMode_ = false;
  bool filterOn_ = false;
  bool fltOpen_ = false;
  QString sortField_;
  QString quickSearch_;
  TEdRefParams params_;
  db::Query qryList_;
  db::Query qryFlt_;
  db::Query qryQuerySet_;
  QueryModel* listModel_;
  QueryModel* fltModel_;
  QueryGrid* grid_;
  QLabel* searchCaption_;
  QLabel* searchText_;
  TfmAbstrFndRef* findDialog_ = nullptr;
  std::unique_ptr<RecordEditor> editor_;
};

// The list window with a tool bar; the filter button stays pressed while the filter is on.
class TfmAbstrLsRef : public TfmAbstrLsRef0 {
  Q_OBJECT
 public:
  TfmAbstrLsRef(FrameworkContext& ctx, ListSpec spec, QWidget* parent = nullptr);
};

// Opens a described list: the chosen key when it ended with OK, else -1.
int pickFromList(FrameworkContext& ctx, const ListSpec& spec, int key, int rights, bool selectMode,
                 QWidget* parent = nullptr);
// Registers a described list as the picker of that name.
void registerList(const QString& pickerName, ListSpec spec);
