#include "app/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

msg::Button MessageBoxSink::show(msg::Kind kind, const QString& caption, const QString& text,
                                 int buttons, msg::Button defaultButton) {
  QMessageBox box(QApplication::activeWindow());
  switch (kind) {
    case msg::Kind::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case msg::Kind::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case msg::Kind::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case msg::Kind::Confirmation:
      box.setIcon(QMessageBox::Question);
      break;
    case msg::Kind::Plain:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  box.setWindowTitle(caption);
  // Old texts separate lines with "\n\r"; a box wants plain line feeds.
  QString shown = text;
  shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
  shown.remove(QLatin1Char('\r'));
  box.setText(shown);
  struct Def {
    msg::Button button;
    QString label;
    QMessageBox::ButtonRole role;
  };
  const Def defs[] = {{msg::Yes, QStringLiteral("Да"), QMessageBox::YesRole},
                      {msg::No, QStringLiteral("Нет"), QMessageBox::NoRole},
                      {msg::Ok, QStringLiteral("OK"), QMessageBox::AcceptRole},
                      {msg::Cancel, QStringLiteral("Отмена"), QMessageBox::RejectRole}};
  QList<QPair<QAbstractButton*, msg::Button>> made;
  for (const Def& d : defs) {
    if (!(buttons & d.button)) continue;
    QPushButton* b = box.addButton(d.label, d.role);
    made.append({b, d.button});
    if (d.button == defaultButton) box.setDefaultButton(b);
  }
  box.exec();
  for (const auto& [b, id] : made)
    if (box.clickedButton() == b) return id;
  // Closed by Esc or the window button: the answer of refusal.
  if (buttons & msg::Cancel) return msg::Cancel;
  if (buttons & msg::No) return msg::No;
  return msg::Ok;
}
