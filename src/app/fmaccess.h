#pragma once

#include "app/rights.h"
#include "framework/querymodel.h"
#include "platform/query.h"

#include <QDialog>

#include <functional>

class QPushButton;
class QToolButton;
class TDM;

// "Управление доступом к подсистеме": the users, every subdivision, and the subdivisions the
// current user may see. The changes are the UserStore's; after each one the lists are reopened
// (a full commit closes them) and put back on the rows that were current.
class TfmAccess : public QDialog {
  Q_OBJECT
 public:
  explicit TfmAccess(TDM& dm, QWidget* parent = nullptr);
  ~TfmAccess() override;

  // Opens the users list (which opens the granted list) and the subdivision list. Throws
  // db::DbError.
  void openLists();

  // Opens the user editor for a key (0: add) and returns what EditUser returns. Tests stand in
  // for the modal editor here.
  using UserEditor = std::function<int(int key)>;
  void setUserEditor(UserEditor editor) { editUser_ = std::move(editor); }

  QueryGrid* usersGrid() const { return grUsers_; }
  QueryGrid* subdivGrid() const { return grSubdiv_; }
  QueryGrid* grantedGrid() const { return grRights_; }
  QToolButton* addButton() const { return btAdd_; }
  QToolButton* editButton() const { return btEdit_; }
  QToolButton* deleteButton() const { return btDelete_; }
  QPushButton* grantButton() const { return btGrant_; }
  QPushButton* withdrawButton() const { return btWithdraw_; }
  QPushButton* grantAllButton() const { return btGrantAll_; }
  QPushButton* withdrawAllButton() const { return btWithdrawAll_; }

  // The key of the current row of each list, 0 when the list has no row.
  int currentUser() const;
  int currentSubdiv() const;
  int currentGranted() const;

  void addUser();
  void editUser();
  void deleteUser();
  void grantOne();
  void withdrawOne();
  void grantAll();
  void withdrawAll();

 private:
  void userChanged(int grantedSubdiv = 0);
  // Runs one change; then reopens the lists on the given rows and shows what failed.
  void change(const std::function<void()>& work, int usr, int subdiv, int grantedSubdiv);
  void reopen(int usr, int subdiv, int grantedSubdiv);

  TDM& dm_;
  UserStore store_;
  db::Query qryUsers_;
  db::Query qrySubdiv_;
  db::Query qryRights_;
  QueryModel mdUsers_;
  QueryModel mdSubdiv_;
  QueryModel mdRights_;
  QueryGrid* grUsers_;
  QueryGrid* grSubdiv_;
  QueryGrid* grRights_;
  QToolButton* btAdd_;
  QToolButton* btEdit_;
  QToolButton* btDelete_;
  QPushButton* btGrant_;
  QPushButton* btWithdraw_;
  QPushButton* btGrantAll_;
  QPushButton* btWithdrawAll_;
  UserEditor editUser_;
  bool reopening_ = false;
};

// The menu command "Управление доступом": the window with its lists open, modally. An error
// while opening is shown with its own text.
void ManageAccess(TDM& dm, QWidget* parent = nullptr);
