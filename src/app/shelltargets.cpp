#include "app/shelltargets.h"

#include "app/commands.h"
#include "app/fmaccess.h"
#include "app/helpwindow.h"
#include "app/inisys.h"
#include "app/tasksparams.h"
#include "app/toolcnst.h"
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
  // Every command that needs a date, a period or a key asks it here; the dispatcher tells
  // "Выбор не произведен" when the window was not confirmed.
  CommandRegistry::registerTargetIfAbsent(targets::kAskTaskParams, [](const CommandContext& c) {
    return AskTaskParams(c.dm, c.bsp, c.user, c.mask, c.parent);
  });
  CommandRegistry::registerTargetIfAbsent(QStringLiteral("TfmToolCnst"),
                                          [](const CommandContext& c) {
                                            ShowConstantsWindow(c.dm, c.bsp, c.parent);
                                            return true;
                                          });
  CommandRegistry::registerTargetIfAbsent(QStringLiteral("TfmIni"), [](const CommandContext& c) {
    InitialiseSystem(c.dm, c.bsp, c.parent);
    return true;
  });
  // The period has been asked by the dispatcher; then the mode (Esc keeps the last one) and the
  // filling with its own question.
  CommandRegistry::registerTargetIfAbsent(QStringLiteral("AutoFillFuel"),
                                          [](const CommandContext& c) {
                                            ChooseFillMode(c.bsp, c.parent);
                                            return FillFuelRows(c.dm, c.bsp, c.parent);
                                          });
  CommandRegistry::registerTargetIfAbsent(targets::kCloseMainWindow, [](const CommandContext& c) {
    if (c.parent) c.parent->window()->close();
    return true;
  });
}
