// vqadmin: the administration host of the VQ phone system.

#include "AutomationEndpoint.h"
#include "Commands.h"
#include "HostFailures.h"
#include "PluginLibrary.h"
#include "SiteFile.h"
#include "WindowCommands.h"

#include <QCoreApplication>
#include <QStringList>

#include <memory>

namespace {

int Usage() {
    PrintError(QStringLiteral("usage: vqadmin [--db PATH] [--plugin PATH] info | import FILE | export [FILE] | "
                              "validate [--json] | gui [--automation SOCKET] | automate [SCRIPT] | "
                              "utc [--wid HANDLE] SOCKET KIND NAME [P2 [P3]]"));
    return ExitFailure;
}

// The commands that run windows need a GUI application; automation runs them
// on the offscreen platform unless QT_QPA_PLATFORM names another.
std::unique_ptr<QCoreApplication> MakeApplication(char **argv, const QString &Command) {
    if (Command == QLatin1String("automate") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The arguments are vqadmin's, not Qt's (Qt would take --plugin for its
    // own), so the application sees the program name alone. It keeps argc.
    static int argc = 1;
    std::unique_ptr<QCoreApplication> app;
    if (Command == QLatin1String("gui") || Command == QLatin1String("automate"))
        app = std::make_unique<TAdminApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("VQ"));
    QCoreApplication::setApplicationName(QStringLiteral("vqadmin"));
    return app;
}

int Run(int argc, char **argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QString pluginPath;
    QString databasePath = QStringLiteral("vqadmin.db");
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (args.isEmpty())
            return Usage();
        if (option == QLatin1String("--plugin"))
            pluginPath = args.takeFirst();
        else if (option == QLatin1String("--db"))
            databasePath = args.takeFirst();
        else
            return Usage();
    }
    const QString command = args.value(0);
    const QStringList rest = args.mid(1);
    const std::unique_ptr<QCoreApplication> app = MakeApplication(argv, command);
    try {
        if (command == QLatin1String("info") && rest.isEmpty())
            return CommandInfo(pluginPath.isEmpty() ? FindPlugins() : QStringList{pluginPath});
        if (pluginPath.isEmpty())
            pluginPath = DefaultPluginPath();
        if (command == QLatin1String("import") && rest.size() == 1)
            return CommandImport(databasePath, rest[0]);
        if (command == QLatin1String("export") && rest.size() <= 1)
            return CommandExport(databasePath, rest.value(0));
        if (command == QLatin1String("validate") && (rest.isEmpty() || rest == QStringList{QStringLiteral("--json")}))
            return CommandValidate(databasePath, pluginPath, !rest.isEmpty());
        if (command == QLatin1String("gui") && rest.isEmpty())
            return CommandGui(databasePath, pluginPath);
        if (command == QLatin1String("gui") && rest.size() == 2 && rest[0] == QLatin1String("--automation"))
            return CommandGui(databasePath, pluginPath, rest[1]);
        if (command == QLatin1String("utc"))
            return CommandUTC(rest);
        if (command == QLatin1String("automate") && rest.size() <= 1)
            return CommandAutomate(databasePath, pluginPath, rest.value(0));
        return Usage();
    } catch (const ESiteFile &e) {
        PrintError(e.Message());
        return ExitFindings;
    } catch (const Exception &e) {
        PrintError(e.Message());
        return ExitFailure;
    }
}

} // namespace

// What a command wrote must have reached standard output, else it failed.
int main(int argc, char **argv) {
    const int status = Run(argc, argv);
    return status != ExitFailure && !StandardOutputWritten() ? ExitFailure : status;
}
