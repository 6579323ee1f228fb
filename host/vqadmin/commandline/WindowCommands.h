#pragma once
// The vqadmin commands that run the host's windows; the application object
// (a TAdminApplication) exists already. Both refuse a database that is
// missing, damaged or holds rows that do not hold together, raising EDatabase.

#include <QString>

// The main window over the database until the user closes it; with an
// automation socket, drivers reach its windows through it meanwhile.
int CommandGui(const QString &DatabasePath, const QString &PluginPath, const QString &AutomationSocket = {});
// Runs the script (standard input when ScriptPath is empty) against the
// windows without showing them; ExitFindings after a command that could not
// run. Raises Exception when the script cannot be read.
int CommandAutomate(const QString &DatabasePath, const QString &PluginPath, const QString &ScriptPath);
