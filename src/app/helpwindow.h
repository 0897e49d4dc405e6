#pragma once

#include <QDialog>
#include <QUrl>

class QTextBrowser;

// The help of the program: its pages are built into the program and shown from the contents.
class HelpWindow : public QDialog {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // The contents page.
  static QUrl contentsUrl();

  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};
