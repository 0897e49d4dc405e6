#pragma once

#include <QHash>
#include <QMainWindow>

class QAction;
class QLabel;
class QToolBar;
class TDM;
struct TBsp;
struct TUser;

namespace db {
class Query;
}

// What the status bar shows besides the hint: the name of the database (NAME of the SPCONST row
// BASEID, set outside the program) and its schema version (CNST of BASEVER). Empty when the row
// is missing. Read on the given query with a parameter.
struct StatusTexts {
  QString baseName;
  QString baseVersion;
};
StatusTexts readStatusTexts(db::Query& q);

// The main window: the menu of every command, a tool bar and a status bar. Its first showing
// finishes the start-up (constants of the database); closing it ends the program.
class TfmAvtMain : public QMainWindow {
  Q_OBJECT
 public:
  TfmAvtMain(TDM& dm, TBsp& bsp, TUser& user, QWidget* parent = nullptr);

  // The menu item of a command by its component name; nullptr when there is none.
  QAction* commandAction(const QString& name) const { return actions_.value(name); }
  // The separator above an item, when it has one.
  QAction* separatorAbove(const QString& name) const { return separators_.value(name); }
  // Panels of the status bar: 0 hint, 1 database name, 2 schema version.
  QLabel* statusPanel(int index) const { return panels_[index]; }
  QToolBar* toolBar() const { return toolBar_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool event(QEvent* e) override;

 private:
  void buildMenu();
  void buildToolBar();
  void buildStatusBar();
  void FormCreate();
  void FormShow();
  // Shows or hides the items governed by these visibility rules (commands::Visibility).
  void showItems(unsigned rules);
  void runMenuCommand(const QString& name);

  TDM& dm_;
  TBsp& bsp_;
  TUser& user_;
  QHash<QString, QAction*> actions_;
  QHash<QString, QAction*> separators_;
  QLabel* panels_[3] = {};
  QToolBar* toolBar_ = nullptr;
  bool shownOnce_ = false;
};
