// vqadmin: the administration host of the VQ phone system.

#include "Commands.h"
#include "PluginLibrary.h"
#include "SiteFile.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

void PrintError(const QString &line) {
    std::fputs((QStringLiteral("vqadmin: ") + line + QLatin1Char('\n')).toUtf8().constData(), stderr);
}

int Usage() {
    PrintError(QStringLiteral("usage: vqadmin [--db PATH] [--plugin PATH] info | import FILE | export [FILE] | validate [--json]"));
    return ExitFailure;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString pluginPath = DefaultPluginPath();
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
    try {
        if (command == QLatin1String("info") && rest.isEmpty())
            return CommandInfo(pluginPath);
        if (command == QLatin1String("import") && rest.size() == 1)
            return CommandImport(databasePath, rest[0]);
        if (command == QLatin1String("export") && rest.size() <= 1)
            return CommandExport(databasePath, rest.value(0));
        if (command == QLatin1String("validate") && (rest.isEmpty() || rest == QStringList{QStringLiteral("--json")}))
            return CommandValidate(databasePath, pluginPath, !rest.isEmpty());
        return Usage();
    } catch (const ESiteFile &e) {
        PrintError(e.Message());
        return ExitFindings;
    } catch (const Exception &e) {
        PrintError(e.Message());
        return ExitFailure;
    }
}
