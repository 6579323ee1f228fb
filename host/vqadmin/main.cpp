// vqadmin: the administration host of the VQ phone system.

#include "automation/AutomationEndpoint.h"
#include "commandline/CommandLine.h"
#include "commandline/Commands.h"
#include "windows/HostFailures.h"
#include "plugin/PluginLibrary.h"
#include "sitefile/SiteFile.h"
#include "commandline/WindowCommands.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <memory>

namespace {

using TOptions = const QCommandLineParser &;
using TArguments = const QStringList &;

QString Database(TOptions Options) { return Options.value(QStringLiteral("db")); }
QString Plugin(TOptions Options) {
    return Options.isSet(QStringLiteral("plugin")) ? Options.value(QStringLiteral("plugin")) : DefaultPluginPath();
}

void Print(const QString &Text) { std::fputs(Text.toUtf8().constData(), stdout); }

int Help(TArguments Arguments);

// Every command and option; the help texts and the manual page are made from it.
const TProgramTable &Program() {
    static const TProgramTable program{
        QStringLiteral("vqadmin"),
        QStringLiteral("administration host of the VQ phone system"),
        QStringLiteral("vqadmin keeps the VQ phone system's configuration in an SQLite file or on a PostgreSQL server "
                       "and administers its "
                       "LYN 2 SIP desk phones through the device plug-in: from site files, in the main window, "
                       "by script, or driven by another process."),
        {
            {{QStringLiteral("db")}, QStringLiteral("PATH"),
             QStringLiteral("The configuration database: an SQLite file, vqadmin.db in the working directory when "
                            "not given, or a PostgreSQL database as postgresql://HOST/NAME or 'host=HOST dbname=NAME'."),
             QStringLiteral("vqadmin.db")},
            {{QStringLiteral("plugin")}, QStringLiteral("PATH"),
             QStringLiteral("The plug-in to use instead of the one the host finds (info lists only this one).")},
            {{QStringLiteral("version")}, {},
             QStringLiteral("Shows the host's version and the plug-in it would load.")},
            {{QStringLiteral("manual")}, {}, QStringLiteral("Writes the manual page's table-made sections."), {}, true},
        },
        {
            {QStringLiteral("info"), {}, 0, 0, QStringLiteral("Lists the plug-ins the host finds."),
             QStringLiteral("Every plug-in beside the host and in its installation's plug-in folder "
                            "(lib/vqadmin/plugins), with its identity and version entries; with --plugin, that one."),
             {}, false,
             [](TOptions o, TArguments) {
                 return CommandInfo(o.isSet(QStringLiteral("plugin")) ? QStringList{o.value(QStringLiteral("plugin"))}
                                                                       : FindPlugins());
             }},
            {QStringLiteral("import"), QStringLiteral("FILE"), 1, 1,
             QStringLiteral("Replaces the whole site with a site file's."),
             QStringLiteral("FILE is a JSON site file; the database is created when missing. The import is one "
                            "transaction: a file that is refused (status 1, one line naming the place) leaves the "
                            "database as it was."),
             {}, false, [](TOptions o, TArguments a) { return CommandImport(Database(o), a[0]); }},
            {QStringLiteral("export"), QStringLiteral("[FILE]"), 0, 1,
             QStringLiteral("Writes the site as a site file."),
             QStringLiteral("Every stored value, to FILE (written beside it and renamed into place when complete) "
                            "or to standard output; importing it gives back the same rows."),
             {}, false, [](TOptions o, TArguments a) { return CommandExport(Database(o), a.value(0)); }},
            {QStringLiteral("validate"), {}, 0, 0, QStringLiteral("Validates every profile and device."),
             QStringLiteral("Each through the plug-in's module, with the host's own findings (device IDs or MAC "
                            "addresses used twice): one line per object, then a count. Status 1 when there are "
                            "errors."),
             {{{QStringLiteral("json")}, {}, QStringLiteral("Reports one JSON object instead of lines.")},
              {{QStringLiteral("changed")}, {},
               QStringLiteral("Judges only what changed since the verdicts the database keeps were made, and "
                              "reports from those: the same report, in a moment on a large site. A read-only "
                              "database is judged without keeping anything.")}},
             false,
             [](TOptions o, TArguments) {
                 return CommandValidate(Database(o), Plugin(o), o.isSet(QStringLiteral("json")),
                                        o.isSet(QStringLiteral("changed")));
             }},
            {QStringLiteral("gui"), {}, 0, 0, QStringLiteral("Opens the main window over the database."),
             QStringLiteral("The profiles and devices with the plug-in's verdict on each, and the dialogs that "
                            "edit them."),
             {{{QStringLiteral("automation")}, QStringLiteral("SOCKET"),
               QStringLiteral("Listens on the local socket SOCKET for automation commands (see utc).")}},
             false,
             [](TOptions o, TArguments) {
                 return CommandGui(Database(o), Plugin(o), o.value(QStringLiteral("automation")));
             }},
            {QStringLiteral("automate"), QStringLiteral("[SCRIPT]"), 0, 1,
             QStringLiteral("Runs a script against the host's windows."),
             QStringLiteral("SCRIPT, or standard input, holds one command a line; the windows are not shown and "
                            "every command prints one result line (see AUTOMATE SCRIPTS in the manual), for standard "
                            "input as soon as its line has come. Status 1 after a command that could not run."),
             {}, false,
             [](TOptions o, TArguments a) { return CommandAutomate(Database(o), Plugin(o), a.value(0)); }},
            {QStringLiteral("utc"), QStringLiteral("SOCKET KIND NAME [P2 [P3]]"), 3, 5,
             QStringLiteral("Sends one automation command to a running host."),
             QStringLiteral("The host listens on SOCKET (gui --automation); KIND is command, set, get, table-add, "
                            "table-find, table-get or table-set. Prints the result; status 1 when the host found "
                            "no window or wrapper for the command, 2 when it cannot be reached. Options go before "
                            "SOCKET."),
             {{{QStringLiteral("wid")}, QStringLiteral("HANDLE"),
               QStringLiteral("The window a command returned, instead of the active one.")}},
             true, [](TOptions o, TArguments a) { return CommandUTC(o.value(QStringLiteral("wid")), a); }},
            {QStringLiteral("list"), QStringLiteral("profiles|devices"), 1, 1,
             QStringLiteral("Prints the profile names or the device IDs."),
             QStringLiteral("One a line, for scripts and the shell's completion."), {}, false,
             [](TOptions o, TArguments a) { return CommandList(Database(o), a[0]); }},
            {QStringLiteral("help"), QStringLiteral("[COMMAND]"), 0, 1,
             QStringLiteral("Shows the help of the program or of a command."), {}, {}, false,
             [](TOptions, TArguments a) { return Help(a); }},
        }};
    return program;
}

int Help(TArguments Arguments) {
    const TCommandEntry *command = nullptr;
    if (!Arguments.isEmpty() && !(command = FindCommand(Program(), Arguments[0]))) {
        PrintError(UnknownCommand(Program(), Arguments[0]));
        return ExitFailure;
    }
    Print(HelpText(Program(), command));
    return ExitOK;
}

// The host's version and the plug-in it would load, read without loading it.
int Version(TOptions Options) {
    Print(QStringLiteral("vqadmin %1 (software version %2, device plug-in interface %3)\n")
              .arg(QStringLiteral(VQ_VERSION), QLatin1String(HostSoftwareVersion))
              .arg(HostDPInterface));
    const QString path = Plugin(Options);
    QString error;
    const auto entries = ReadVersionEntries(path, error);
    if (entries)
        error = CheckVersionFit(*entries);
    Print(QStringLiteral("Plug-in: %1, ").arg(path) +
          (error.isEmpty() ? QStringLiteral("version ") + entries->value(QStringLiteral("FileVersion")) : error) +
          QLatin1Char('\n'));
    return ExitOK;
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
    QCoreApplication::setApplicationVersion(QStringLiteral(VQ_VERSION));
    return app;
}

int Run(int argc, char **argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const TParsedCommandLine line = ParseCommandLine(Program(), args);
    if (!line.Error.isEmpty()) {
        PrintError(line.Error);
        return ExitFailure;
    }
    const QCommandLineParser &options = *line.Options;
    const std::unique_ptr<QCoreApplication> app = MakeApplication(argv, line.Command ? line.Command->Name : QString());
    try {
        if (options.isSet(QStringLiteral("help")))
            return Help(line.Command ? QStringList{line.Command->Name} : QStringList{});
        if (options.isSet(QStringLiteral("version")))
            return Version(options);
        if (options.isSet(QStringLiteral("manual"))) {
            Print(ManualSections(Program(), QStringLiteral(VQ_VERSION)));
            return ExitOK;
        }
        if (!line.Command) {
            PrintError(UsageError(Program()));
            return ExitFailure;
        }
        return line.Command->Run(options, line.Arguments);
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
