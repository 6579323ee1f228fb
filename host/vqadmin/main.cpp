// vqadmin: the administration host of the VQ phone system.

#include "PluginLibrary.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

constexpr int ExitUsage = 2;

void Print(const QString &line) { std::fputs(qPrintable(line + QLatin1Char('\n')), stdout); }
void PrintError(const QString &line) {
    std::fputs(qPrintable(QStringLiteral("vqadmin: ") + line + QLatin1Char('\n')), stderr);
}

int Usage() {
    PrintError(QStringLiteral("usage: vqadmin [--plugin PATH] info"));
    return ExitUsage;
}

// The plug-in's identity, taken through its interfaces, and its version entries.
int Info(const TPluginLibrary &lib) {
    IDevicePlugin *plugin = lib.Plugin();
    Print(QStringLiteral("Plug-in:     %1").arg(lib.Path()));
    Print(QStringLiteral("Type:        %1").arg(lib.Take(plugin->getPluginType())));
    Print(QStringLiteral("ID:          %1").arg(lib.Take(plugin->getPluginID())));
    Print(QStringLiteral("Description: %1").arg(lib.Take(plugin->getDescription())));
    Print(QStringLiteral("Modules:     %1").arg(plugin->getModulesCount()));
    Print(QStringLiteral("Version entries:"));
    const TVersionEntries &entries = lib.VersionEntries();
    for (auto it = entries.begin(); it != entries.end(); ++it)
        Print(QStringLiteral("  %1: %2").arg(it.key(), it.value()));
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString pluginPath = DefaultPluginPath();
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--plugin") && !args.isEmpty())
            pluginPath = args.takeFirst();
        else
            return Usage();
    }
    if (args.size() != 1 || args.first() != QLatin1String("info"))
        return Usage();
    try {
        const TPluginLibrary lib(pluginPath);
        return Info(lib);
    } catch (const Exception &e) {
        PrintError(e.Message());
        return ExitUsage;
    }
}
