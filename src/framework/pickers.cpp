#include "framework/pickers.h"

#include "platform/messages.h"

#include <QHash>

namespace {
QHash<QString, PickerFunction>& registry() {
  static QHash<QString, PickerFunction> pickers;
  return pickers;
}
QHash<QString, OpenerFunction>& openers() {
  static QHash<QString, OpenerFunction> registered;
  return registered;
}
QString notYet(const QString& name) {
  return QStringLiteral("Это окно пока недоступно в программе (%1).").arg(name);
}
}  // namespace

void registerPicker(const QString& name, PickerFunction picker) {
  registry().insert(name, std::move(picker));
}

bool hasPicker(const QString& name) {
  return registry().contains(name);
}

int Pick(const QString& name, FrameworkContext& ctx, int key, int rights, bool selectMode,
         QWidget* parent) {
  const auto it = registry().constFind(name);
  if (it == registry().constEnd()) {
    msg::info(notYet(name));
    return -1;
  }
  return (*it)(ctx, key, rights, selectMode, parent);
}

void registerOpener(const QString& name, OpenerFunction opener) {
  openers().insert(name, std::move(opener));
}

bool hasOpener(const QString& name) {
  return openers().contains(name);
}

int Open(const QString& name, FrameworkContext& ctx, const QVariantMap& args, QWidget* parent) {
  const auto it = openers().constFind(name);
  if (it == openers().constEnd()) {
    msg::info(notYet(name));
    return -1;
  }
  return (*it)(ctx, args, parent);
}
