#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QWidget;
class TDM;
struct TBsp;
struct TUser;

// The commands of the main menu as data: what each item does, what it asks first, which keys it
// needs, which rights it hands on, whether its use is counted and who sees it. The main window
// builds its menu from this table and hands every triggered item to runCommand; windows of the
// commands plug themselves in by name through CommandRegistry.
namespace commands {

enum class Pattern {
  None,     // an item that does nothing
  Submenu,  // holds other items
  A,        // a list in browse mode with the item's rights
  APlus,    // the same after the vehicle has been chosen
  B,        // a report: parameters, required keys, the report, its use counted
  C,        // special: optional parameters, then the target
};

// Keys of the task parameters that a command may require.
enum Key : unsigned {
  kDriver = 1u << 0,
  kCar = 1u << 1,
  kAvk = 1u << 2,
  kSubdiv = 1u << 3,
  kClient = 1u << 4,
  kTire = 1u << 5,
  kAkb = 1u << 6,
  kFuel = 1u << 7,
  kGsmT = 1u << 8,
  kObj = 1u << 9,
};

// Who sees an item.
enum Visibility : unsigned {
  kAlways = 0,
  kAdministratorOnly = 1u << 0,  // users of kind 0
  kClientModeOnly = 1u << 1,     // installations with CLIENT = 1
  kNotClientMode = 1u << 2,      // installations with any other CLIENT value
};

// Rights mask handed to a list: 1 view, 2 add, 4 edit, 8 delete.
struct Rights {
  int administrator = 0;  // user kind 0
  int restricted = 0;     // any other kind
  // The installation variant decides instead of the user's kind: full rights with CLIENT = 1,
  // view only otherwise.
  bool byClientMode = false;
};

struct CommandDef {
  QString name;     // component name of the item; also the key of its usage counter
  QString parent;   // name of the menu holding it; empty for the menu bar
  QString caption;  // with its '&' mnemonic
  QString hint;     // shown in the status bar while the mouse is over the item
  Pattern pattern = Pattern::None;
  QString target;  // name under which the work of the command is registered; may be empty for C
  QString mask;    // ParamMask of the task parameters asked first; empty: none asked
  unsigned requiredAll = 0;  // keys that must all be chosen
  unsigned requiredAny = 0;  // keys of which at least one must be chosen
  Rights rights;
  bool counted = false;             // the use of the report is counted in SPCONST
  bool silentCancel = false;        // a cancelled parameters window ends without a message
  std::optional<int> archiveMode;   // ArchiveMode set before the parameters
  bool archiveResetAfter = false;   // ArchiveMode back to 0 when the command ends, however it ends
  std::optional<int> journalOrder;  // JournalOrder set before the parameters
  unsigned visibility = kAlways;
  bool separatorBefore = false;
  int variant = 0;  // for targets that serve several items (mode of a shared report window)

  // Fluent setters for the table.
  CommandDef& needs(unsigned keys);
  CommandDef& needsOneOf(unsigned keys);
  CommandDef& notCounted();
  CommandDef& silentOnCancel();
  CommandDef& withArchiveMode(int mode, bool resetAfter);
  CommandDef& withJournalOrder(int order);
  CommandDef& shownTo(unsigned visibility);
  CommandDef& separated();
  CommandDef& withHint(const QString& text);
  CommandDef& withVariant(int value);
};

// The whole menu tree in menu order: every submenu precedes its items.
const std::vector<CommandDef>& commandTable();
const CommandDef* findCommand(const QString& name);

// The caption without its '&' mnemonic markers ("&&" stands for one '&').
QString plainCaption(const QString& caption);

// Rights handed to the list of the command for a user of this kind in this installation variant.
int rightsFor(const CommandDef& command, int userKind, int clientMode);
// Whether the item is shown to a user of this kind in this installation variant.
bool isVisible(const CommandDef& command, int userKind, int clientMode);
// Whether the required keys of the command are chosen in the settings of the run.
bool requiredKeysChosen(const CommandDef& command, const TBsp& bsp);
// True when the mask enables the field of the key (every character other than '0' enables).
bool maskOffers(const QString& mask, Key key);

// Names of targets that the shell itself knows.
namespace targets {
inline const QString kAskTaskParams = QStringLiteral("AskTaskParams");
inline const QString kUsageStatistics = QStringLiteral("UsageStatistics");
inline const QString kHelpContents = QStringLiteral("HelpContents");
inline const QString kCloseMainWindow = QStringLiteral("CloseMainWindow");
inline const QString kManageAccess = QStringLiteral("ManageAccess");
}  // namespace targets

// Texts of the dispatcher.
inline const QString kAppTitle = QStringLiteral("ППП \"Ведомир\"");
inline const QString kNotChosen = QStringLiteral("Выбор не произведен");
QString notAvailableText(const CommandDef& command);

// What a registered target receives.
struct CommandContext {
  TDM& dm;
  TBsp& bsp;
  const TUser& user;
  QWidget* parent;            // owner of the windows the target opens
  const CommandDef& command;  // the item that was chosen
  int rights = 0;             // for lists: the rights mask of this user
  QString mask;               // for AskTaskParams: the fields to offer
};

// The work behind the targets, registered by name. A handler returns true when its work was
// done: for AskTaskParams that the user confirmed; for a report that it was produced (only then
// is its use counted). Errors are thrown (db::DbError, std::exception) and shown by the runner.
class CommandRegistry {
 public:
  using Handler = std::function<bool(const CommandContext&)>;

  // Registers or replaces the handler of a target.
  static void registerTarget(const QString& name, Handler handler);
  // Registers only when nothing is registered under the name yet; true when it did.
  static bool registerTargetIfAbsent(const QString& name, Handler handler);
  static void unregisterTarget(const QString& name);
  static bool isRegistered(const QString& name);
  // The handler, or an empty function when none is registered.
  static Handler handler(const QString& name);
  static QStringList registeredTargets();
};

// Registers a handler for its lifetime and puts back what was there before.
class ScopedTarget {
 public:
  ScopedTarget(QString name, CommandRegistry::Handler handler);
  ~ScopedTarget();
  ScopedTarget(const ScopedTarget&) = delete;
  ScopedTarget& operator=(const ScopedTarget&) = delete;

 private:
  QString name_;
  CommandRegistry::Handler previous_;
};

enum class Outcome {
  Done,               // the target ran (and a counted report was counted)
  NoAction,           // a submenu or an item without action
  NotChosen,          // "Выбор не произведен" was shown
  CancelledSilently,  // the parameters were cancelled on an item that ends without a message
  Abandoned,          // the target returned without doing its work
  NotAvailable,       // no target registered: the user was told
  Failed,             // an error was shown
};

// Runs one command of the menu: sets the switches it sets, asks its parameters, checks its keys,
// runs its target with the rights of the user, counts a produced report; every message goes
// through the message service.
Outcome runCommand(const CommandDef& command, TDM& dm, TBsp& bsp, const TUser& user,
                   QWidget* parent);

}  // namespace commands
