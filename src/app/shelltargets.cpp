#include "app/shelltargets.h"

#include "app/commands.h"
#include "app/fmaccess.h"
#include "app/helpwindow.h"
#include "app/usagestatistics.h"

#include <QWidget>

void registerShellTargets() {
  using commands::CommandContext;
  using commands::CommandRegistry;
  namespace targets = commands::targets;

  CommandRegistry::registerTargetIfAbsent(targets::kUsageStatistics, [](const CommandContext& c) {
    showUsageStatistics(c.dm, c.parent);
    return true;
  });
  CommandRegistry::registerTargetIfAbsent(targets::kHelpContents, [](const CommandContext& c) {
    HelpWindow help(c.parent);
    help.exec();
    return true;
  });
  CommandRegistry::registerTargetIfAbsent(targets::kManageAccess, [](const CommandContext& c) {
    ManageAccess(c.dm, c.parent);
    return true;
  });
  CommandRegistry::registerTargetIfAbsent(targets::kCloseMainWindow, [](const CommandContext& c) {
    if (c.parent) c.parent->window()->close();
    return true;
  });
}
