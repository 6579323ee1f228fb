#include "WindowCommands.h"

#include "automation/Automation.h"
#include "automation/AutomationEndpoint.h"
#include "Commands.h"
#include "help/HelpMenu.h"
#include "help/HelpSystem.h"
#include "windows/MainWindow.h"
#include "plugin/PluginLibrary.h"
#include "automation/WrapperManager.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTextStream>

#include <optional>

namespace {

IDevicePluginModule &ModuleOf(const TPluginLibrary &Library) {
    IDevicePluginModule *module = Library.Module();
    if (!module)
        throw Exception(QStringLiteral("%1: the plug-in has no device module").arg(Library.Path()));
    return *module;
}

// The plug-in's library, whose automation wrappers are registered while it
// is loaded and dropped before it is unloaded.
struct TRegisteredLibrary {
    explicit TRegisteredLibrary(const QString &Path) : Library(Path) {}
    ~TRegisteredLibrary() { HostWrapperManager().DropRegistrations(Registered); }

    const std::size_t Registered = HostWrapperManager().RegistrationCount();
    const TPluginLibrary Library;
};

// The database once every row of it has been read: the window would show a
// fault in a message box while it is built, before a script could answer it.
TConfigDatabase &Checked(TConfigDatabase &Database) {
    Database.CheckRows();
    return Database;
}

// The main window over an existing database and the plug-in's module, with the host's
// help system and the Help menu's "What's this?" controls handed to the plug-in.
struct TSession {
    TSession(const QString &DatabasePath, const QString &PluginPath)
        : Plugin(PluginPath), Library(Plugin.Library), Help(DefaultHelpProject()),
          Database(DatabasePath, TConfigDatabase::TOpenMode::Existing), Window(Checked(Database), ModuleOf(Library)) {
        HandHelpToPlugin(*Library.Plugin(), InstallHelpMenu(Window, Help));
    }

    const TRegisteredLibrary Plugin;
    const TPluginLibrary &Library;
    THelpSystem Help;
    TConfigDatabase Database;
    TMainWindow Window;
};

} // namespace

int CommandGui(const QString &DatabasePath, const QString &PluginPath, const QString &AutomationSocket) {
    std::optional<TSession> session;
    try {
        session.emplace(DatabasePath, PluginPath);
    } catch (const Exception &e) {
        // Started from the desktop menu there is no terminal to read standard
        // error from, so a person on a screen is told in a window as well.
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QMessageBox::critical(nullptr, QGuiApplication::applicationDisplayName(), e.Message());
        throw;
    }
    TAutomationEndpoint endpoint(&session->Window);
    if (!AutomationSocket.isEmpty())
        endpoint.Listen(AutomationSocket);
    session->Window.show();
    return QApplication::exec();
}

namespace {

// A line of standard input as soon as it has come, unlike buffered reads,
// which wait for more; none at its end.
std::optional<QString> ReadInputLine() {
    QByteArray line;
    char buffer[4096];
    while (!line.endsWith('\n') && std::fgets(buffer, sizeof buffer, stdin))
        line += buffer;
    return line.isEmpty() ? std::nullopt : std::optional(QString::fromUtf8(line));
}

} // namespace

int CommandAutomate(const QString &DatabasePath, const QString &PluginPath, const QString &ScriptPath) {
    QString script;
    if (!ScriptPath.isEmpty()) {
        QFile file(ScriptPath);
        if (!file.open(QIODevice::ReadOnly))
            throw Exception(QStringLiteral("%1: cannot read: %2").arg(ScriptPath, file.errorString()));
        script = QString::fromUtf8(file.readAll());
    }
    TSession session(DatabasePath, PluginPath);
    QTextStream out(stdout);
    TAutomation automation(session.Window, &session.Help);
    const int status = ScriptPath.isEmpty() ? automation.Run(ReadInputLine, out) : automation.Run(script, out);
    return status == 0 ? ExitOK : ExitFindings;
}
