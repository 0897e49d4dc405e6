#pragma once

// Registers the work of the menu commands that the shell itself provides: the usage statistics,
// the help contents, the users and rights window, the end of the program, the task parameters
// every command asks through, the constants window, the initialisation and the automatic
// filling of fuel rows. A target already
// registered under one of these names (a fuller implementation, a test's stand-in) is kept.
void registerShellTargets();
