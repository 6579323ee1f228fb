#include "WindowCommands.h"

#include "Automation.h"
#include "Commands.h"
#include "HelpMenu.h"
#include "HelpSystem.h"
#include "MainWindow.h"
#include "PluginLibrary.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>

namespace {

IDevicePluginModule &ModuleOf(const TPluginLibrary &Library) {
    IDevicePluginModule *module = Library.Module();
    if (!module)
        throw Exception(QStringLiteral("%1: the plug-in has no device module").arg(Library.Path()));
    return *module;
}

// The main window over the database and the plug-in's module, with the host's
// help system and the Help menu's "What's this?" controls handed to the plug-in.
struct TSession {
    TSession(const QString &DatabasePath, const QString &PluginPath)
        : Library(PluginPath), Help(DefaultHelpProject()), Database(DatabasePath),
          Window(Database, ModuleOf(Library)) {
        HandHelpToPlugin(*Library.Plugin(), InstallHelpMenu(Window, Help));
    }

    const TPluginLibrary Library;
    THelpSystem Help;
    TConfigDatabase Database;
    TMainWindow Window;
};

} // namespace

int CommandGui(const QString &DatabasePath, const QString &PluginPath) {
    TSession session(DatabasePath, PluginPath);
    session.Window.show();
    return QApplication::exec();
}

int CommandAutomate(const QString &DatabasePath, const QString &PluginPath, const QString &ScriptPath) {
    QFile file;
    const bool opened = ScriptPath.isEmpty() ? file.open(stdin, QIODevice::ReadOnly)
                                             : (file.setFileName(ScriptPath), file.open(QIODevice::ReadOnly));
    if (!opened)
        throw Exception(QStringLiteral("%1: cannot read: %2").arg(ScriptPath, file.errorString()));
    const QString script = QString::fromUtf8(file.readAll());
    TSession session(DatabasePath, PluginPath);
    QTextStream out(stdout);
    return TAutomation(session.Window, &session.Help).Run(script, out) == 0 ? ExitOK : ExitFindings;
}
