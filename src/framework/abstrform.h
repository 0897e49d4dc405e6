#pragma once

#include <QDialog>

class IniFile;
class QAction;
class QMenuBar;
class QToolBar;
class QVBoxLayout;
class QStatusBar;

// The root of the program's windows: a menu bar and a tool strip, Exit (Esc) and Print (Ctrl+P,
// an image of the window), and the window's position and size kept in the settings file under
// a section named after the window.
class TfmAbstrForm : public QDialog {
  Q_OBJECT
 public:
  TfmAbstrForm(IniFile& ini, const QString& name, QWidget* parent = nullptr);

  QAction* exitAction() const { return exitAction_; }
  QAction* printAction() const { return printAction_; }
  QMenuBar* menuBar() const { return menuBar_; }
  QToolBar* toolBar() const { return toolBar_; }
  QStatusBar* statusBar() const { return statusBar_; }

  // Writes the position and size (and whatever a derived window adds) to the settings file.
  void done(int result) override;

 protected:
  // The area between the tool strip and the status bar.
  QVBoxLayout* body() const { return body_; }
  IniFile& ini() const { return ini_; }
  QString section() const { return objectName(); }
  void showEvent(QShowEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  // Derived windows keep more in their section (column widths and the like).
  virtual void restoreState() {}
  virtual void saveState() {}
  void printImage();
  // "Выход" as a word on the menu bar (the tool strip's button shows the icon); it follows the
  // Exit action's state, so an editor with changes cannot be left through it either.
  void addExitToMenuBar();

 private:
  IniFile& ini_;
  QMenuBar* menuBar_;
  QToolBar* toolBar_;
  QStatusBar* statusBar_;
  QVBoxLayout* body_;
  QAction* exitAction_;
  QAction* printAction_;
  bool restored_ = false;
};
