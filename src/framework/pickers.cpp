#include "framework/pickers.h"

#include "platform/messages.h"

#include <QHash>

namespace {
QHash<QString, PickerFunction>& registry() {
  static QHash<QString, PickerFunction> pickers;
  return pickers;
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
    msg::info(QStringLiteral("Этот справочник пока недоступен в программе (%1).").arg(name));
    return -1;
  }
  return (*it)(ctx, key, rights, selectMode, parent);
}
