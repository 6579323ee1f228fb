#include "WindowCommands.h"

#include "Automation.h"
#include "Commands.h"
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

} // namespace

int CommandGui(const QString &DatabasePath, const QString &PluginPath) {
    const TPluginLibrary library(PluginPath);
    TConfigDatabase database(DatabasePath);
    TMainWindow window(database, ModuleOf(library));
    window.show();
    return QApplication::exec();
}

int CommandAutomate(const QString &DatabasePath, const QString &PluginPath, const QString &ScriptPath) {
    QFile file;
    const bool opened = ScriptPath.isEmpty() ? file.open(stdin, QIODevice::ReadOnly)
                                             : (file.setFileName(ScriptPath), file.open(QIODevice::ReadOnly));
    if (!opened)
        throw Exception(QStringLiteral("%1: cannot read: %2").arg(ScriptPath, file.errorString()));
    const QString script = QString::fromUtf8(file.readAll());
    const TPluginLibrary library(PluginPath);
    TConfigDatabase database(DatabasePath);
    TMainWindow window(database, ModuleOf(library));
    QTextStream out(stdout);
    return TAutomation(window).Run(script, out) == 0 ? ExitOK : ExitFindings;
}
