#include "platform/messages.h"

#include <cstdio>

namespace msg {

namespace {
Sink* current = nullptr;
}

void setSink(Sink* s) {
  current = s;
}
Sink* sink() {
  return current;
}

QString defaultCaption(Kind kind) {
  switch (kind) {
    case Kind::Information:
      return QStringLiteral("Информация");
    case Kind::Warning:
      return QStringLiteral("Предупреждение");
    case Kind::Error:
      return QStringLiteral("Ошибка");
    case Kind::Confirmation:
      return QStringLiteral("Подтверждение");
    case Kind::Plain:
      return QStringLiteral("ППП \"Ведомир\"");
  }
  return {};
}

Button show(Kind kind, const QString& text, const QString& caption, int buttons,
            Button defaultButton) {
  const QString c = caption.isEmpty() ? defaultCaption(kind) : caption;
  if (current) return current->show(kind, c, text, buttons, defaultButton);
  std::fprintf(stderr, "%s: %s\n", qPrintable(c), qPrintable(text));
  return defaultButton;
}

bool confirm(const QString& text, const QString& caption, Button defaultButton) {
  return show(Kind::Confirmation, text, caption, Yes | No, defaultButton) == Yes;
}

}  // namespace msg
